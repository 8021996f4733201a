// Unsaved work: when the open document holds it, what the title shows, and the copy kept at the
// end of a desktop session and taken back at the next start, on real files.
#include "app/core/WorkRecovery.h"

#include "../annotations/AnnotationTestSupport.h"
#include "annotations/DocumentFile.h"
#include "annotations/Favourites.h"
#include "app/core/DocumentSteps.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

namespace tavora::app {
namespace {

namespace fs = std::filesystem;
using annotations::test::deleted;
using annotations::test::elementRow;

class WorkRecoveryTest : public ::testing::Test {
protected:
    WorkRecoveryTest() {
        m_ctx.paths.root = m_dir.str();
        m_ctx.paths.tmpDir = (m_dir / "tmp").string();
        m_ctx.paths.fileOpenHisDb = (m_dir / "fileopenhis.db").string();
        fs::create_directories(m_ctx.paths.tmpDir);
        for (const char* code : {"7203", "9984"})
            m_ctx.catalogue.append(market::CodeElm{code, code, "", "", "", {}, false});
        ResetDocumentStep(m_ctx);
    }
    // A named document as after an open of a file holding element 1.
    void openNamed() {
        const std::string file = (m_dir / "mine.tvrd").string();
        auto working = annotations::WorkingDocument::createEmpty();
        working.recordStep({elementRow(1)});
        ASSERT_TRUE(annotations::writeDocument(file, working, {"9984"}));
        AdoptOpenedDocument(m_ctx, file, annotations::readDocument(file), 1000);
    }
    annotations::WorkingDocument& working() { return m_ctx.document.working; }

    test::TempDir m_dir;
    AppContext m_ctx;
};

TEST_F(WorkRecoveryTest, ANamedDocumentHoldsWorkWhileItDiffersFromItsFile) {
    openNamed();
    const std::string path = m_ctx.document.savedPath;
    EXPECT_FALSE(HoldsUnsavedWork(m_ctx));
    EXPECT_EQ(DocumentTitle(m_ctx), path);
    working().recordStep({elementRow(2)});
    EXPECT_TRUE(HoldsUnsavedWork(m_ctx));
    EXPECT_EQ(DocumentTitle(m_ctx), "*" + path);
    working().undo(); // back to the file's state
    EXPECT_FALSE(HoldsUnsavedWork(m_ctx));
    // A favourite mark is part of the file too.
    m_ctx.catalogue[0].favourite = true;
    EXPECT_TRUE(HoldsUnsavedWork(m_ctx));
    m_ctx.catalogue[0].favourite = false;
    EXPECT_FALSE(HoldsUnsavedWork(m_ctx));
    // A save of a later state moves the mark there.
    working().redo();
    MarkDocumentSaved(m_ctx, working().mark(), annotations::favouriteCodes(m_ctx.catalogue));
    EXPECT_EQ(DocumentTitle(m_ctx), path);
}

TEST_F(WorkRecoveryTest, TheUntitledDocumentHoldsWorkWhileItHasElementsOrMarks) {
    EXPECT_FALSE(HoldsUnsavedWork(m_ctx));
    EXPECT_EQ(DocumentTitle(m_ctx), "");
    working().recordStep({elementRow(1)});
    EXPECT_TRUE(HoldsUnsavedWork(m_ctx));
    EXPECT_EQ(DocumentTitle(m_ctx), "*無題.tvrd");
    working().recordStep({deleted(elementRow(1))}); // drawn and deleted again: nothing to lose
    EXPECT_FALSE(HoldsUnsavedWork(m_ctx));
    m_ctx.catalogue[1].favourite = true;
    EXPECT_TRUE(HoldsUnsavedWork(m_ctx));
}

TEST_F(WorkRecoveryTest, NothingIsKeptWithoutUnsavedWork) {
    EXPECT_EQ(writeRecovery(m_ctx), RecoveryWrite::Nothing);
    openNamed();
    EXPECT_EQ(writeRecovery(m_ctx), RecoveryWrite::Nothing);
    EXPECT_FALSE(findRecovery(m_ctx.paths));
    EXPECT_FALSE(fs::exists(recoveryFilesOf(m_ctx.paths).folder));
}

// The untitled work and a named document's changes come back as they were shown, the named
// document's file untouched, and marked unsaved.
TEST_F(WorkRecoveryTest, KeptWorkComesBackAsItWasAndTheUsersFileStaysAsItWas) {
    for (const bool named : {false, true}) {
        SCOPED_TRACE(named ? "named" : "untitled");
        ResetDocumentStep(m_ctx);
        if (named)
            openNamed();
        const std::string fileBefore = named ? test::readFile(m_ctx.document.savedPath) : std::string();
        working().recordStep({elementRow(5, "TextElm")});
        working().recordStep({elementRow(6)});
        working().undo(); // what is shown is what is kept, not the redo tail
        m_ctx.catalogue[0].favourite = true;
        const std::string source = m_ctx.document.savedPath;

        ASSERT_EQ(writeRecovery(m_ctx), RecoveryWrite::Written);
        const RecoveryFiles files = recoveryFilesOf(m_ctx.paths);
        struct stat st {};
        ASSERT_EQ(::stat(files.document.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0600u);
        if (named) {
            EXPECT_EQ(test::readFile(source), fileBefore);
        }

        // The next start: a fresh untitled document, then the kept work offered and taken back.
        ResetDocumentStep(m_ctx);
        const auto kept = findRecovery(m_ctx.paths);
        ASSERT_TRUE(kept);
        EXPECT_EQ(kept->source, source);
        EXPECT_GT(kept->time, 0);
        auto read = annotations::readDocument(kept->document);
        ASSERT_TRUE(read.ok()) << read.error;
        AdoptRecoveredDocument(m_ctx, std::move(read), kept->source);
        const auto rows = working().codeState("7203");
        ASSERT_EQ(rows.size(), named ? 2u : 1u);
        const std::vector<std::string> marks = named ? std::vector<std::string>{"7203", "9984"}
                                                     : std::vector<std::string>{"7203"};
        EXPECT_EQ(annotations::favouriteCodes(m_ctx.catalogue), marks);
        EXPECT_EQ(m_ctx.document.savedPath, source);
        EXPECT_EQ(m_ctx.paths.documentName, named ? std::string("mine.tvrd") : std::string("無題.tvrd"));
        EXPECT_TRUE(HoldsUnsavedWork(m_ctx));
        EXPECT_EQ(DocumentTitle(m_ctx).front(), '*');
        discardRecovery(m_ctx.paths);
        EXPECT_FALSE(findRecovery(m_ctx.paths));
        EXPECT_FALSE(fs::exists(files.folder));
    }
}

TEST_F(WorkRecoveryTest, AKeepThatFailsLeavesNoDocumentBehind) {
    working().recordStep({elementRow(1)});
    ASSERT_EQ(writeRecovery(m_ctx), RecoveryWrite::Written);
    const RecoveryFiles files = recoveryFilesOf(m_ctx.paths);
    // The path cannot be written (a folder with a file in it stands in its place): the copy
    // kept earlier is gone too, so it never comes back paired with the wrong path.
    fs::remove(files.source);
    test::writeFile(fs::path(files.source) / "x", "x");
    std::string error;
    EXPECT_EQ(writeRecovery(m_ctx, &error), RecoveryWrite::Failed);
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(findRecovery(m_ctx.paths));
    // The folder itself cannot be made.
    fs::remove_all(files.folder);
    test::writeFile(files.folder, "not a folder");
    error.clear();
    EXPECT_EQ(writeRecovery(m_ctx, &error), RecoveryWrite::Failed);
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(findRecovery(m_ctx.paths));
}

} // namespace
} // namespace tavora::app
