#include "annotations/WorkingDocument.h"

#include "AnnotationTestSupport.h"

#include <gtest/gtest.h>

namespace tavora::annotations {
namespace {

using market::ChartPeriod;
using test::deleted;
using test::elementRow;
using test::shownIds;
using V = std::vector<int>;

TEST(WorkingDocumentTest, DeleteUndoneShowsTheLineAgainAndANewStepDiscardsTheRedoTail) {
    auto doc = WorkingDocument::createEmpty();
    ASSERT_TRUE(doc.isOpen());
    ASSERT_TRUE(doc.recordStep({elementRow(1)}));          // the line: step 1
    ASSERT_TRUE(doc.recordStep({deleted(elementRow(1))})); // deleted: step 2
    EXPECT_EQ(shownIds(doc), V{});
    EXPECT_TRUE(doc.undo());
    EXPECT_EQ(doc.step(), 1);
    EXPECT_EQ(shownIds(doc), V{1});
    // A text made now replaces the deletion step.
    ASSERT_TRUE(doc.recordStep({elementRow(2, "TextElm")}));
    EXPECT_EQ(doc.step(), 2);
    EXPECT_EQ(doc.highestStep(), 2);
    EXPECT_FALSE(doc.redo());
    EXPECT_EQ(shownIds(doc), (V{1, 2}));
    // The deletion is gone from the history, not just hidden by the counter.
    for (int s = 0; s < 3; ++s)
        EXPECT_FALSE(doc.redo());
    EXPECT_EQ(shownIds(doc), (V{1, 2}));
}

TEST(WorkingDocumentTest, TwoElementsDeletedInOneStepComeBackWithOneUndo) {
    auto doc = WorkingDocument::createEmpty();
    ASSERT_TRUE(doc.recordStep({elementRow(1)}));
    ASSERT_TRUE(doc.recordStep({elementRow(2, "RangeTimeElm")}));
    ASSERT_TRUE(doc.recordStep({deleted(elementRow(1)), deleted(elementRow(2, "RangeTimeElm"))}));
    EXPECT_EQ(shownIds(doc), V{});
    doc.undo();
    EXPECT_EQ(shownIds(doc), (V{1, 2}));
    doc.redo();
    EXPECT_EQ(shownIds(doc), V{});
}

TEST(WorkingDocumentTest, OneCounterServesAllPeriodsAndCodes) {
    auto doc = WorkingDocument::createEmpty();
    ASSERT_TRUE(doc.recordStep({elementRow(1, "LineElm", ChartPeriod::Day)}));
    ASSERT_TRUE(doc.recordStep({elementRow(1, "TextElm", ChartPeriod::Week)}));
    ASSERT_TRUE(doc.recordStep({elementRow(1, "LineElm", ChartPeriod::Day, "9984")}));
    // Undo while the week chart is shown steps back over the other code's step first.
    doc.undo();
    EXPECT_EQ(shownIds(doc, "9984"), V{});
    EXPECT_EQ(doc.codeState("7203").size(), 2u);
    // Then undo on the day chart takes back the step recorded on the week chart.
    doc.undo();
    const auto rows = doc.codeState("7203");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].period(), ChartPeriod::Day);
}

TEST(WorkingDocumentTest, CountersStayWithinTheirEnds) {
    auto doc = WorkingDocument::createEmpty();
    EXPECT_FALSE(doc.undo());
    EXPECT_FALSE(doc.redo());
    EXPECT_EQ(doc.step(), 0);
    ASSERT_TRUE(doc.recordStep({elementRow(1)}));
    EXPECT_FALSE(doc.redo());
    EXPECT_TRUE(doc.undo());
    EXPECT_FALSE(doc.undo());
    EXPECT_EQ(doc.step(), 0);
    EXPECT_EQ(doc.highestStep(), 1);
}

TEST(WorkingDocumentTest, AnEmptyStepRecordsNothingAndKeepsTheRedoTail) {
    auto doc = WorkingDocument::createEmpty();
    ASSERT_TRUE(doc.recordStep({elementRow(1)}));
    ASSERT_TRUE(doc.recordStep({deleted(elementRow(1))}));
    doc.undo();
    EXPECT_FALSE(doc.recordStep({})); // a Delete with nothing selected
    EXPECT_EQ(doc.step(), 1);
    EXPECT_EQ(doc.highestStep(), 2);
    EXPECT_TRUE(doc.redo());
    EXPECT_EQ(shownIds(doc), V{});
}

TEST(WorkingDocumentTest, AFailedStepLeavesHistoryAndCountersAsTheyWere) {
    auto doc = WorkingDocument::createEmpty();
    ASSERT_TRUE(doc.recordStep({elementRow(1)}));
    ASSERT_TRUE(doc.recordStep({deleted(elementRow(1))}));
    doc.undo();
    // The database refuses every insert from now on.
    ASSERT_EQ(framework::SQL_exec(doc.database(),
                                  "CREATE TRIGGER refuse BEFORE INSERT ON history_graphctrltb "
                                  "BEGIN SELECT RAISE(ABORT, 'full'); END;"),
              0);
    EXPECT_FALSE(doc.recordStep({elementRow(2)}));
    EXPECT_EQ(doc.step(), 1);
    EXPECT_EQ(doc.highestStep(), 2);
    EXPECT_TRUE(doc.redo()); // the redo tail survived the failed step
    EXPECT_EQ(shownIds(doc), V{});
}

// The saved mark: the state shown is the file's only at the step the save wrote, and only while
// that step is the change it was when saved.
TEST(WorkingDocumentTest, TheSavedStateIsTheStepASaveWroteAndNoOtherChangeAtItsNumber) {
    auto doc = WorkingDocument::createEmpty();
    EXPECT_TRUE(doc.atSavedState()); // a new document is its file
    ASSERT_TRUE(doc.recordStep({elementRow(1)}));
    EXPECT_FALSE(doc.atSavedState());
    doc.undo();
    EXPECT_TRUE(doc.atSavedState()); // undone back to the file's state
    doc.redo();
    ASSERT_TRUE(doc.recordStep({elementRow(2)}));
    doc.markSaved(doc.mark()); // saved at step 2
    EXPECT_TRUE(doc.atSavedState());
    doc.undo();
    EXPECT_FALSE(doc.atSavedState());
    doc.redo();
    EXPECT_TRUE(doc.atSavedState());
    // Undo to 1 and change something else: step 2 again, but not what was saved.
    doc.undo();
    ASSERT_TRUE(doc.recordStep({elementRow(3)}));
    EXPECT_EQ(doc.step(), 2);
    EXPECT_FALSE(doc.atSavedState());
    doc.undo();
    EXPECT_FALSE(doc.atSavedState());
    // A failed step changes neither the state nor the mark.
    doc.redo();
    doc.markSaved(doc.mark());
    ASSERT_EQ(framework::SQL_exec(doc.database(), "CREATE TRIGGER refuse BEFORE INSERT ON history_graphctrltb "
                                                  "BEGIN SELECT RAISE(ABORT, 'full'); END;"),
              0);
    EXPECT_FALSE(doc.recordStep({elementRow(4)}));
    EXPECT_TRUE(doc.atSavedState());
    // A copy that belongs to no file is never its saved state.
    doc.markUnsaved();
    EXPECT_FALSE(doc.atSavedState());
}

TEST(WorkingDocumentTest, HasElementsCountsOnlyWhatIsNotDeletedAtTheStepShown) {
    auto doc = WorkingDocument::createEmpty();
    EXPECT_FALSE(doc.hasElements());
    ASSERT_TRUE(doc.recordStep({elementRow(1, "TextElm", ChartPeriod::Week, "9984")}));
    EXPECT_TRUE(doc.hasElements()); // any code, any period
    ASSERT_TRUE(doc.recordStep({deleted(elementRow(1, "TextElm", ChartPeriod::Week, "9984"))}));
    EXPECT_FALSE(doc.hasElements());
    doc.undo();
    EXPECT_TRUE(doc.hasElements());
    doc.undo();
    EXPECT_FALSE(doc.hasElements());
}

} // namespace
} // namespace tavora::annotations
