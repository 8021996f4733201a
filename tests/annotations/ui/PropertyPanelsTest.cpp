// The annotation property panel and the memo editor through the main window: the selection of
// several periods changed as one step, a tool's defaults on every chart and in the settings, the
// price range's position taken at once, and a memo that is gone before its editor confirms.
#include "support/DeskWindow.h"

#include "annotations/AnnotationHistory.h"
#include "annotations/LineElm.h"
#include "annotations/TextElm.h"
#include "annotations/ui/CtrlProp.h"
#include "annotations/ui/MemoProp.h"
#include "app/HomeLeftPanel.h"
#include "app/PropertyPanels.h"
#include "app/core/Commands.h"
#include "app/core/DocumentSteps.h"
#include "chart/ChartGeometry.h"
#include "chart/ui/GraphPanel.h"
#include "chart/ui/GraphPlotAreaPanel.h"
#include "framework/ui/ColorChoice.h"
#include "framework/ui/MessageBox.h"
#include "framework/ui/StatusBar.h"
#include "settings/Settings.h"

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QToolButton>

using namespace tavora;
using annotations::GraphDrawElement;
using framework::ui::MessageBox;
using market::ChartPeriod;

namespace {

// Records what the panels hand to the history; load() gives no elements (as after undoing
// everything).
struct RecordingHistory : annotations::AnnotationHistory {
    struct Step {
        std::vector<std::pair<ChartPeriod, std::size_t>> parts; // period, element count
    };
    std::vector<Step> steps;

    void recordStep(const annotations::GraphDrawList& list, std::span<GraphDrawElement* const> elements) override {
        steps.push_back({{{list.period(), elements.size()}}});
    }
    void recordGroupStep(std::span<const annotations::StepElements> parts) override {
        Step step;
        for (const auto& part : parts)
            step.parts.emplace_back(part.list->period(), part.elements.size());
        steps.push_back(std::move(step));
    }
    void load(annotations::CodeAnnotations&) override {}
};

annotations::LineElm& addLine(test::DeskWindow& w, ChartPeriod period, framework::ColorRef colour, bool selected) {
    annotations::LineElm& line = w.home()->annotationLists().list(period).createLine();
    line.pen_cr = line.font_cr = colour;
    line.selected = selected;
    return line;
}

void pressTool(test::DeskWindow& w, bool chart::ToolFlags::*tool) {
    for (ChartPeriod p : market::kAllPeriods) {
        w.home()->graphPanel(p)->state().tools.clear();
        w.home()->graphPanel(p)->state().tools.*tool = true;
    }
}

chart::ui::GraphPlotAreaPanel* dayPlot(test::DeskWindow& w) {
    return w.home()->graphPanel(ChartPeriod::Day)->plotArea();
}

int dayColumn(test::DeskWindow& w, int fromStart) {
    const chart::GraphViewState& vs = w.home()->graphPanel(ChartPeriod::Day)->state();
    return chart::barCentre(vs, vs.start_bar + fromStart);
}

// A move and a press that arrive together, as from a quick hand or xdotool: the press is
// delivered before the plot area has processed the move.
void clickAt(test::DeskWindow& w, QPoint at, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    auto* plot = dayPlot(w);
    QMouseEvent move(QEvent::MouseMove, QPointF(at), plot->mapToGlobal(QPointF(at)), Qt::NoButton, Qt::NoButton,
                     mods);
    QCoreApplication::sendEvent(plot, &move);
    QTest::mousePress(plot, Qt::LeftButton, mods, at);
    QTest::mouseRelease(plot, Qt::LeftButton, mods, at);
    QCoreApplication::processEvents();
}

// A line drawn with the line tool from one bar and row to another; returns it.
annotations::LineElm& drawLine(test::DeskWindow& w, int fromBar, int fromY, int toBar, int toY) {
    QToolButton* lineTool = w.home()->toolColumn()->button(app::Command::Line);
    if (!lineTool->isChecked())
        lineTool->click();
    auto& list = w.home()->annotationLists().list(ChartPeriod::Day);
    clickAt(w, {dayColumn(w, fromBar), fromY});
    clickAt(w, {dayColumn(w, toBar), toY});
    return static_cast<annotations::LineElm&>(list[list.size() - 1]);
}

QPoint middleOf(const annotations::LineElm& line) {
    return {(line.x1 + line.x2) / 2, (line.y1 + line.y2) / 2};
}

} // namespace

class PropertyPanelsTest : public QObject {
    Q_OBJECT

    static annotations::ui::CtrlProp* ctrl(test::DeskWindow& w) { return w.main->propertyPanels()->ctrlPanel(); }
    static annotations::ui::MemoProp* memo(test::DeskWindow& w) { return w.main->propertyPanels()->memoPanel(); }

private slots:
    void cleanup() { MessageBox::setNextAnswer(QMessageBox::NoButton); }

    void aStyleChangeOfTheSelectionIsOneStepAndKeepsColours() {
        test::DeskWindow w;
        QVERIFY(w.openFirstCode());
        RecordingHistory history;
        w.home()->setAnnotationHistory(&history);
        auto& red = addLine(w, ChartPeriod::Day, 0x0000FF, true);
        auto& green = addLine(w, ChartPeriod::Day, 0x00FF00, true);
        auto& blue = addLine(w, ChartPeriod::Week, 0xFF0000, true);
        auto& untouched = addLine(w, ChartPeriod::Month, 0x123456, false);
        pressTool(w, &chart::ToolFlags::select);

        QVERIFY(w.command(app::Command::OpenCtrlProp));
        QCOMPARE(ctrl(w)->tool(), annotations::PropertyTool::Select);
        QVERIFY(!ctrl(w)->resetButton()->isEnabled());
        ctrl(w)->styleBox()->setCurrentText(settings::kLineDotted);
        QVERIFY(w.command(app::Command::SheetApply));
        QVERIFY(!w.sheet()->isOpen());

        QCOMPARE(history.steps.size(), std::size_t(1));
        const std::vector<std::pair<ChartPeriod, std::size_t>> parts{{ChartPeriod::Day, 2}, {ChartPeriod::Week, 1}};
        QCOMPARE(history.steps[0].parts, parts);
        for (GraphDrawElement* e : {static_cast<GraphDrawElement*>(&red), static_cast<GraphDrawElement*>(&green),
                                    static_cast<GraphDrawElement*>(&blue)})
            QCOMPARE(e->penStyle, 2);
        QCOMPARE(red.pen_cr, 0x0000FFu);
        QCOMPARE(green.font_cr, 0x00FF00u);
        QCOMPARE(blue.pen_cr, 0xFF0000u);
        QCOMPARE(untouched.penStyle, 1);

        // A picked colour reaches every selected element, line and text alike.
        QVERIFY(w.command(app::Command::OpenCtrlProp));
        ctrl(w)->colourBox()->choose(0x00A5FF);
        QVERIFY(w.command(app::Command::SheetApply));
        QCOMPARE(history.steps.size(), std::size_t(2));
        QCOMPARE(red.pen_cr, 0x00A5FFu);
        QCOMPARE(blue.font_cr, 0x00A5FFu);
        QCOMPARE(untouched.pen_cr, 0x123456u);

        // With nothing selected a confirmation records nothing.
        for (ChartPeriod p : market::kAllPeriods)
            w.home()->annotationLists().list(p).setSelected(false);
        QVERIFY(w.command(app::Command::OpenCtrlProp));
        ctrl(w)->styleBox()->setCurrentText(settings::kLineDashed);
        QVERIFY(w.command(app::Command::SheetApply));
        QCOMPARE(history.steps.size(), std::size_t(2));
        QCOMPARE(red.penStyle, 2);
        w.home()->setAnnotationHistory(nullptr);
    }

    // The panel applies to a selection made with Ctrl+click on the chart (move and press
    // delivered together), shows its first element's colour and style, marks what differs,
    // and says when nothing is selected.
    void aSelectionMadeByCtrlClickShowsItsValuesAndTakesTheColour() {
        test::DeskWindow w;
        std::filesystem::create_directories(w.ctx.paths.tmpDir);
        app::ResetDocumentStep(w.ctx); // the open document's history records the steps
        QVERIFY(w.openFirstCode());
        auto& red = drawLine(w, 20, 200, 30, 240);
        auto& blue = drawLine(w, 40, 150, 50, 120);
        red.pen_cr = 0x0000FF;
        blue.pen_cr = 0xFF0000;
        blue.SetPenStyle(3);
        dayPlot(w)->fullPaint();
        const int step = w.ctx.document.working.step();
        QCOMPARE(step, 2);

        w.home()->toolColumn()->button(app::Command::SelectTool)->click(); // 選択ツール
        clickAt(w, middleOf(red), Qt::ControlModifier);
        clickAt(w, middleOf(blue), Qt::ControlModifier);
        QVERIFY(red.selected);
        QVERIFY(blue.selected);

        QVERIFY(w.command(app::Command::OpenCtrlProp));
        QCOMPARE(ctrl(w)->tool(), annotations::PropertyTool::Select);
        QCOMPARE(ctrl(w)->colourBox()->color(), 0x0000FFu); // the first one's
        QCOMPARE(ctrl(w)->styleBox()->currentText(), QString(settings::kLineSolid));
        QVERIFY(ctrl(w)->mixedMark(annotations::ui::CtrlProp::ColourRow)->isVisibleTo(ctrl(w)));
        QVERIFY(ctrl(w)->mixedMark(annotations::ui::CtrlProp::StyleRow)->isVisibleTo(ctrl(w)));
        QVERIFY(!ctrl(w)->mixedMark(annotations::ui::CtrlProp::SizeRow)->isVisibleTo(ctrl(w)));
        QVERIFY(ctrl(w)->selectionNote()->text().contains("2個"));
        ctrl(w)->colourBox()->choose(0x00C000);
        QVERIFY(w.command(app::Command::SheetApply));
        QCOMPARE(red.pen_cr, 0x00C000u);
        QCOMPARE(blue.pen_cr, 0x00C000u);
        QCOMPARE(blue.penStyle, 3); // the style shown was not changed: each keeps its own
        QCOMPARE(w.ctx.document.working.step(), step + 1); // one undo step

        // One element alone: its values, nothing marked.
        clickAt(w, middleOf(blue), Qt::ControlModifier); // Ctrl+click again deselects
        QVERIFY(!blue.selected);
        QVERIFY(w.command(app::Command::OpenCtrlProp));
        QCOMPARE(ctrl(w)->colourBox()->color(), 0x00C000u);
        QVERIFY(!ctrl(w)->mixedMark(annotations::ui::CtrlProp::ColourRow)->isVisibleTo(ctrl(w)));
        QVERIFY(ctrl(w)->selectionNote()->text().contains("1個"));
        MessageBox::setNextAnswer(QMessageBox::Yes);
        QVERIFY(w.command(app::Command::CloseSheet));

        // Nothing selected: the panel says so before and after apply, and nothing changes.
        clickAt(w, {dayColumn(w, 60), 40}); // an empty place
        QVERIFY(!red.selected);
        QVERIFY(w.command(app::Command::OpenCtrlProp));
        QVERIFY(ctrl(w)->selectionNote()->text().contains("選択されている要素がありません"));
        ctrl(w)->colourBox()->choose(0x123456);
        QVERIFY(w.command(app::Command::SheetApply));
        QCOMPARE(w.main->statusBar()->text(), QString("選択されている要素がありません。変更は適用されませんでした。"));
        QCOMPARE(red.pen_cr, 0x00C000u);
        QCOMPARE(w.ctx.document.working.step(), step + 1);
        // The recolouring was recorded as one step: one undo takes both back as drawn.
        w.home()->onCommand(app::Command::Undo);
        const auto& list = w.home()->annotationLists().list(ChartPeriod::Day);
        QCOMPARE(list.size(), std::size_t(2));
        QCOMPARE(list[0].pen_cr, 0xB2B2B2u);
        QCOMPARE(list[1].pen_cr, 0xB2B2B2u);
    }

    void aToolsDefaultsReachEveryChartAndTheSettings() {
        test::DeskWindow w;
        pressTool(w, &chart::ToolFlags::cross);
        QVERIFY(w.command(app::Command::OpenCtrlProp));
        QCOMPARE(ctrl(w)->tool(), annotations::PropertyTool::Cross);
        QCOMPARE(ctrl(w)->sizeBox()->currentText(), QString("9"));

        // A size outside 1 to 72 is refused and the sheet stays open with the boxes.
        ctrl(w)->sizeBox()->setEditText("73");
        MessageBox::setNextAnswer(QMessageBox::Ok);
        QVERIFY(w.command(app::Command::SheetApply));
        QVERIFY(w.sheet()->isOpen());
        QVERIFY(MessageBox::lastText().contains("1から72"));
        QCOMPARE(w.home()->graphPanel(ChartPeriod::Day)->state().toolDefaults.cross.fontSize, 9);

        ctrl(w)->sizeBox()->setEditText("14");
        ctrl(w)->colourBox()->choose(0x0000C0);
        QVERIFY(w.command(app::Command::SheetApply));
        QVERIFY(!w.sheet()->isOpen());
        for (ChartPeriod p : market::kAllPeriods) {
            const chart::ToolStyle& cross = w.home()->graphPanel(p)->state().toolDefaults.cross;
            QCOMPARE(cross.fontSize, 14);
            QCOMPARE(cross.lineColor, 0x0000C0u);
            QCOMPARE(cross.textColor, 0x0000C0u);
        }
        QCOMPARE(w.ctx.settings.jyuji_fontsize, 14);
        QCOMPARE(w.ctx.settings.jyuji_sencr, 0x0000C0u);
        QCOMPARE(w.ctx.settings.jyuji_fontcr, 0x0000C0u);

        // "初期値に戻す" only shows the initial values; apply makes them the defaults.
        QVERIFY(w.command(app::Command::OpenCtrlProp));
        QTest::mouseClick(ctrl(w)->resetButton(), Qt::LeftButton);
        QCOMPARE(ctrl(w)->sizeBox()->currentText(), QString("9"));
        QCOMPARE(w.ctx.settings.jyuji_fontsize, 14);
        QVERIFY(w.command(app::Command::SheetApply));
        QCOMPARE(w.ctx.settings.jyuji_fontsize, 9);
        QCOMPARE(w.ctx.settings.jyuji_sencr, 0xB76800u);
    }

    void thePriceRangePositionIsTakenAtOnce() {
        test::DeskWindow w;
        pressTool(w, &chart::ToolFlags::rangeNedan);
        QVERIFY(w.command(app::Command::OpenCtrlProp));
        QVERIFY(ctrl(w)->positionButton(2)->isEnabled());
        QTest::mouseClick(ctrl(w)->positionButton(2), Qt::LeftButton);
        MessageBox::setNextAnswer(QMessageBox::Yes); // leave without applying
        QVERIFY(w.command(app::Command::CloseSheet));
        QVERIFY(!w.sheet()->isOpen());
        for (ChartPeriod p : market::kAllPeriods)
            QCOMPARE(w.home()->graphPanel(p)->state().toolDefaults.rangeNedanYoko, 2);
        QCOMPARE(w.ctx.settings.rangenedan_yoko, 2);
    }

    void aMemoGoneBeforeItsEditorConfirmsRecordsNothing() {
        test::DeskWindow w;
        QVERIFY(w.openFirstCode());
        RecordingHistory history;
        w.home()->setAnnotationHistory(&history);
        annotations::MemoElm& note = w.home()->annotationLists().list(ChartPeriod::Week).createMemo();
        note.str = "買い\r\n100株";
        w.main->propertyPanels()->openMemo(ChartPeriod::Week, &note);
        QVERIFY(w.settle());
        QVERIFY(w.sheet()->isOpen());
        QCOMPARE(memo(w)->editBox()->toPlainText(), QString("買い\n100株"));
        QVERIFY(!memo(w)->hasUnsavedChanges()); // line ends alone are no change

        memo(w)->editBox()->setPlainText("売り");
        QVERIFY(memo(w)->hasUnsavedChanges());
        w.home()->reloadAnnotations(); // undo took the memo away
        QVERIFY(w.command(app::Command::SheetApply));
        QVERIFY(history.steps.empty());
        QVERIFY(w.main->statusBar()->text().contains("メモ"));

        // A memo that is still there takes the text as one step.
        annotations::MemoElm& kept = w.home()->annotationLists().list(ChartPeriod::Day).createMemo();
        kept.str = "old";
        w.main->propertyPanels()->openMemo(ChartPeriod::Day, &kept);
        QVERIFY(w.settle());
        memo(w)->editBox()->setPlainText("line1\nline2");
        QVERIFY(w.command(app::Command::SheetApply));
        QCOMPARE(history.steps.size(), std::size_t(1));
        QCOMPARE(kept.str, std::string("line1\r\nline2"));
        w.home()->setAnnotationHistory(nullptr);
    }
};

QTEST_MAIN(PropertyPanelsTest)
#include "PropertyPanelsTest.moc"
