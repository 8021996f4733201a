// The pointer tools driven by mouse and key events on a chart panel's plot area: a chart of
// whole-yen bars for the geometry, and the Home page on a real price database for the tool
// column, the code being opened and what is recorded.
#include "../ChartTestSupport.h"
#include "annotations/AnnotationHistory.h"
#include "annotations/LineElm.h"
#include "annotations/RangeTimeElm.h"
#include "annotations/TakayasuElm.h"
#include "annotations/TextElm.h"
#include "app/HomeLeftPanel.h"
#include "app/HomePanel.h"
#include "app/core/AppContext.h"
#include "app/core/Commands.h"
#include "chart/ChartGeometry.h"
#include "chart/ui/GraphPanel.h"
#include "chart/ui/GraphPlotAreaPanel.h"
#include "chart/ui/GraphPlotEdit.h"
#include "framework/Dates.h"
#include "framework/ui/StatusBar.h"
#include "support/SampleMarket.h"
#include "support/TempDir.h"

#include <QScrollBar>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>

using namespace tavora;
using annotations::GraphDrawElement;
using market::ChartPeriod;

namespace {

// What was recorded, step by step, as the rows would be written.
struct RecordedRow {
    std::string code;
    std::string kikan;
    std::string classname;
    int id = 0;
    std::string date;
    std::string str;
    std::string daycount;
    int range_y = 0;
    bool view_bl = true;
};

struct FakeHistory : annotations::AnnotationHistory {
    std::vector<std::vector<RecordedRow>> steps;
    int loads = 0;
    void recordStep(const annotations::GraphDrawList& list,
                    std::span<GraphDrawElement* const> elements) override {
        std::vector<RecordedRow> rows;
        for (GraphDrawElement* e : elements) {
            RecordedRow r{
                list.code(), std::string(list.kikan()), e->classname, e->id, e->date, e->str, {}, e->range_y,
                e->view_bl};
            if (auto* count = dynamic_cast<annotations::RangeTimeElm*>(e))
                r.daycount = count->daycount;
            rows.push_back(r);
        }
        steps.push_back(std::move(rows));
    }
    void load(annotations::CodeAnnotations&) override { ++loads; }
};

} // namespace

class PointerToolsTest : public QObject {
    Q_OBJECT

    // One chart panel on 600 whole-yen bars (open 1000 + 20 x (n mod 5), high open + 10, low
    // open - 10, close open - 4), so the prices under every click are known.
    struct Chart {
        test::TempDir dir;
        app::AppContext ctx;
        chart::PeriodSeries series;
        annotations::GraphDrawList list{ChartPeriod::Day};
        std::unique_ptr<chart::ui::GraphPanel> panel;
        std::vector<std::vector<GraphDrawElement*>> steps;

        // `future`: that many days without prices after the priced ones (the calendar's days).
        explicit Chart(int future = 0) {
            std::vector<chart::test::BarSpec> spec = chart::test::weekdays(2022, 1, 3, 600 + future, 1000);
            for (std::size_t i = 0; i < spec.size(); ++i) {
                const double base = 1000 + 20 * double(i % 5);
                spec[i].open = base;
                spec[i].high = base + 10;
                spec[i].low = base - 10;
                spec[i].close = base - 4;
                if (i >= 600)
                    spec[i].open = spec[i].high = spec[i].low = spec[i].close = std::nullopt;
            }
            chart::test::buildBars(series.bars, spec);
            list.reset("9999");
            panel = std::make_unique<chart::ui::GraphPanel>(ChartPeriod::Day, framework::YmdDate{2024, 3, 29},
                                                            ctx.scale, nullptr);
            panel->resize(800, 500);
            panel->setAnnotationList(&list);
            panel->show();
            panel->setSeries(&series, {});
            QObject::connect(panel.get(), &chart::ui::GraphPanel::annotationsChanged,
                             [this](annotations::GraphDrawList*, std::vector<GraphDrawElement*> e) {
                                 steps.push_back(std::move(e));
                             });
        }
        chart::ui::GraphPlotAreaPanel* plot() const { return panel->plotArea(); }
        chart::GraphViewState& vs() { return panel->state(); }
        void use(bool chart::ToolFlags::*tool) {
            vs().tools.clear();
            vs().tools.*tool = true;
        }
        // The centre of a visible bar, counted from the first one shown.
        int column(int fromStart) { return chart::barCentre(vs(), vs().start_bar + fromStart); }
        int rowOf(double price) { return chart::rowOfPrice(vs(), plot()->height(), price); }
        void move(int x, int y) {
            QTest::mouseMove(plot(), QPoint(x, y));
            QCoreApplication::processEvents();
        }
        void click(int x, int y, Qt::KeyboardModifiers mods = Qt::NoModifier) {
            QTest::mouseClick(plot(), Qt::LeftButton, mods, QPoint(x, y));
            QCoreApplication::processEvents();
        }
    };

    struct Page {
        test::TempDir dir;
        app::AppContext ctx;
        framework::ui::StatusBar status;
        FakeHistory history;
        std::unique_ptr<app::HomePanel> home;

        // `fake`: changes go to a history that notes them; otherwise to the open document's.
        explicit Page(bool fake = true) {
            test::buildSampleContext(ctx, dir.path(),
                                     {{"1001", "極東電機", 200, 1000}, {"1002", "北海製作所", 200, 2000}});
            if (!fake)
                ctx.document.working = annotations::WorkingDocument::createEmpty();  // as start-up makes it
            home = std::make_unique<app::HomePanel>(ctx, &status, nullptr);
            if (fake)
                home->setAnnotationHistory(&history);
            home->resize(1200, 700);
            home->show();
            ctx.currentCode = 0;
            home->openCurrentCode();
        }
        chart::ui::GraphPanel* day() const { return home->graphPanel(ChartPeriod::Day); }
        chart::ui::GraphPlotAreaPanel* plot() const { return day()->plotArea(); }
        QToolButton* tool(int command) const {
            return home->toolColumn()->button(static_cast<app::Command>(command));
        }
        // The centre of a bar, counted from the first one shown (a short series is placed with
        // empty columns before its oldest bar).
        int column(int fromStart) const {
            return chart::barCentre(day()->state(), std::max(1, day()->state().start_bar) + fromStart);
        }
        void click(int x, int y) {
            QTest::mouseClick(plot(), Qt::LeftButton, Qt::NoModifier, QPoint(x, y));
            QCoreApplication::processEvents();
        }
        void move(int x, int y) {
            QTest::mouseMove(plot(), QPoint(x, y));
            QCoreApplication::processEvents();
        }
    };

private slots:
    void toolButtonsToggleOnAllFourPanels() {
        Page page;
        auto flagsOn = [&](bool chart::ToolFlags::*flag) {
            for (ChartPeriod p : market::kAllPeriods)
                if (!(page.home->graphPanel(p)->state().tools.*flag))
                    return false;
            return true;
        };
        auto noTool = [&] {
            for (ChartPeriod p : market::kAllPeriods)
                if (page.home->graphPanel(p)->state().tools.any())
                    return false;
            return true;
        };
        QVERIFY(page.tool(110)->isEnabled());
        page.tool(110)->click();
        QVERIFY(flagsOn(&chart::ToolFlags::cross));
        QVERIFY(page.tool(110)->isChecked());
        page.tool(115)->click();
        QVERIFY(flagsOn(&chart::ToolFlags::line));
        QVERIFY(!page.home->graphPanel(ChartPeriod::Year)->state().tools.cross);
        QVERIFY(!page.tool(110)->isChecked());
        QVERIFY(page.tool(115)->isChecked());
        page.tool(115)->click(); // the pressed button again: no tool at all
        QVERIFY(noTool());
        QVERIFY(!page.tool(115)->isChecked());
    }

    void dayCountRightToLeftEqualsLeftToRight() {
        Chart c;
        c.use(&chart::ToolFlags::rangeTime);
        const int y = c.plot()->height() / 2; // away from the top and bottom edges
        // Away from the edges, where a measurement would scroll the chart.
        c.move(c.column(20), y);
        c.click(c.column(20), y);
        c.move(c.column(24), y);
        c.click(c.column(24), y);
        c.move(c.column(24), y - 1);
        c.click(c.column(24), y - 1);
        c.move(c.column(20), y - 1);
        c.click(c.column(20), y - 1);
        QCOMPARE(c.steps.size(), std::size_t(2));
        auto* a = static_cast<annotations::RangeTimeElm*>(c.steps[0].at(0));
        auto* b = static_cast<annotations::RangeTimeElm*>(c.steps[1].at(0));
        QCOMPARE(a->daycount, std::string("5"));
        QCOMPARE(b->daycount, a->daycount);
        QCOMPARE(b->date, a->date);
        QCOMPARE(a->date, chart::barByNumber(c.vs(), c.vs().start_bar + 20)->date);
        QCOMPARE(b->range_y, a->range_y - 1);
        QVERIFY(!c.vs().inProgress);
    }

    // A line from the newest priced day to a day under the second click: the newest bar itself,
    // the first future day, a far future day, or past the last day (nothing there: the line
    // stays open). The click is taken where it is, also when it follows the move to it before
    // the move was drawn (the events of a fast pointer come in one batch).
    void lineEndsOnTheDayUnderTheSecondClick_data() {
        QTest::addColumn<int>("target"); // bars after the newest priced one (past the last: 26)
        QTest::addColumn<bool>("batched");
        for (bool batched : {false, true}) {
            const char* how = batched ? " (move and click in one batch)" : "";
            QTest::newRow(qPrintable(QString("newest bar") + how)) << 0 << batched;
            QTest::newRow(qPrintable(QString("first future day") + how)) << 1 << batched;
            QTest::newRow(qPrintable(QString("far future day") + how)) << 20 << batched;
            QTest::newRow(qPrintable(QString("past the last day") + how)) << 26 << batched;
        }
    }

    void lineEndsOnTheDayUnderTheSecondClick() {
        QFETCH(int, target);
        QFETCH(bool, batched);
        Chart c(25);
        chart::ui::GraphPanel& panel = *c.panel;
        panel.perform(chart::ui::ChartAction::Newest); // the newest priced day 30 bars from the edge
        c.use(&chart::ToolFlags::line);
        const chart::GraphViewState& vs = c.vs();
        const int newest = 600;
        QCOMPARE(chart::barLeft(vs, newest), (c.plot()->width() / vs.x_haba_p - 30) * vs.x_haba_p);
        const int y = c.plot()->height() / 2;
        c.move(chart::barCentre(vs, newest - 10), y);
        c.click(chart::barCentre(vs, newest - 10), y);
        QVERIFY(vs.inProgress);
        const int x = chart::barCentre(vs, newest + target);
        if (batched) {
            const QPointF at(x, y);
            QMouseEvent move(QEvent::MouseMove, at, c.plot()->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                             Qt::NoModifier);
            QMouseEvent press(QEvent::MouseButtonPress, at, c.plot()->mapToGlobal(at), Qt::LeftButton,
                              Qt::LeftButton, Qt::NoModifier);
            QMouseEvent release(QEvent::MouseButtonRelease, at, c.plot()->mapToGlobal(at), Qt::LeftButton,
                                Qt::NoButton, Qt::NoModifier);
            QCoreApplication::sendEvent(c.plot(), &move);
            QCoreApplication::sendEvent(c.plot(), &press);
            QCoreApplication::sendEvent(c.plot(), &release);
            QCoreApplication::processEvents();
        } else {
            c.move(x, y);
            c.click(x, y);
        }
        if (newest + target > chart::barCount(vs)) {
            QVERIFY(vs.inProgress);
            QVERIFY(c.steps.empty());
            return;
        }
        QVERIFY(!vs.inProgress);
        QCOMPARE(c.steps.size(), std::size_t(1));
        auto* line = static_cast<annotations::LineElm*>(c.steps[0].at(0));
        QCOMPARE(line->date, chart::barByNumber(vs, newest - 10)->date);
        QCOMPARE(line->enddate, chart::barByNumber(vs, newest + target)->date);
        // The cross cursor reads the same day there.
        c.use(&chart::ToolFlags::cross);
        c.move(x, y + 1);
        QCOMPARE(c.plot()->tools().currentBar(), newest + target);
    }

    // The snap label follows the pointer; when it leaves the chart the label goes with it, also
    // when a move was still waiting to be drawn.
    void leavingTheChartWipesTheSnapLabel() {
        Chart c;
        c.use(&chart::ToolFlags::takayasu);
        c.move(c.column(10), 200);
        QVERIFY(c.plot()->visibleImage() != c.plot()->cleanCopy());
        const QPointF at(c.column(12), 210);
        QMouseEvent move(QEvent::MouseMove, at, c.plot()->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(c.plot(), &move);
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(c.plot(), &leave);
        QCoreApplication::processEvents();
        QVERIFY(c.plot()->visibleImage() == c.plot()->cleanCopy());
        c.move(c.column(11), 205); // back in: shown again
        QVERIFY(c.plot()->visibleImage() != c.plot()->cleanCopy());
    }

    void movesAreFoldedIntoTheLatestPosition() {
        Chart c;
        c.use(&chart::ToolFlags::cross);
        const int before = c.plot()->motionsProcessed();
        const int y = c.plot()->height() / 2;
        for (int bar : {10, 11, 12}) {
            QMouseEvent move(QEvent::MouseMove, QPointF(c.column(bar), y),
                             c.plot()->mapToGlobal(QPointF(c.column(bar), y)), Qt::NoButton, Qt::NoButton,
                             Qt::NoModifier);
            QCoreApplication::sendEvent(c.plot(), &move);
        }
        QCOMPARE(c.plot()->motionsProcessed(), before);
        QCoreApplication::processEvents();
        QCOMPARE(c.plot()->motionsProcessed(), before + 1);
        QCOMPARE(c.plot()->tools().currentBar(), c.vs().start_bar + 12);
    }

    void measuringNearAnEdgeScrollsWithTheFastPaint() {
        Chart c;
        c.use(&chart::ToolFlags::timePrice);
        QScrollBar* h = c.panel->horizontalScroll();
        QScrollBar* v = c.panel->verticalScroll();
        h->setValue((h->minimum() + h->maximum()) / 2);
        const int y = c.plot()->height() / 2;
        c.click(c.column(30), y);
        QVERIFY(c.vs().inProgress);
        const int hBefore = h->value(), vBefore = v->value();
        const int paints = c.plot()->fullPaintCount();
        c.move(10, y); // within 30 pixels of the left edge
        QCOMPARE(h->value(), hBefore - h->singleStep());
        QCOMPARE(c.vs().start_bar, h->value());
        c.move(c.column(30), c.plot()->height() - 5); // near the bottom: one step down
        QCOMPARE(v->value(), vBefore + v->singleStep());
        QCOMPARE(c.plot()->fullPaintCount(), paints); // fast paints only while measuring
        c.click(c.column(30), y);
        QVERIFY(!c.vs().inProgress);
        QVERIFY(c.plot()->fullPaintCount() > paints);
        QVERIFY(c.steps.empty());
    }

    void snapHalfwayBetweenOpenAndHighShowsTheHigh() {
        Chart c;
        c.use(&chart::ToolFlags::takayasu);
        const int bar = c.vs().start_bar + 2;
        const market::KeisenElm* b = chart::barByNumber(c.vs(), bar);
        const double halfway = (*b->open + *b->high) / 2;
        // A row whose price, to the whole yen, is the halfway price.
        int row = -1;
        for (int y = 0; y < c.plot()->height(); ++y)
            if (std::trunc(chart::priceAtRow(c.vs(), c.plot()->height(), y)) == halfway)
                row = y;
        QVERIFY(row >= 0);
        c.move(chart::barCentre(c.vs(), bar), row);
        QCOMPARE(c.plot()->tools().snapLabel(), "高値 " + b->highText());
        QCOMPARE(c.vs().snap_kind, 3);
        QVERIFY(c.plot()->visibleImage() != c.plot()->cleanCopy()); // the label is shown
    }

    void emptyingAnExistingTextDeletesIt() {
        Chart c;
        c.use(&chart::ToolFlags::text);
        c.click(c.column(4), 100);
        chart::ui::GraphPlotEdit* editor = c.plot()->editor();
        QVERIFY(editor->isVisible());
        QCOMPARE(editor->width(), 250);
        QCOMPARE(editor->height(), 100);
        QTest::keyClicks(editor->edit(), "sell here");
        c.click(c.column(20), 300); // the click that ends typing
        QVERIFY(!editor->isVisible());
        QCOMPARE(c.steps.size(), std::size_t(1));
        auto* text = static_cast<annotations::TextElm*>(c.steps[0].at(0));
        QCOMPARE(text->str, std::string("sell here"));

        // Another element selected meanwhile: a Delete typed in the editor must not reach it.
        annotations::GraphDrawElement& mark = c.list.createTakayasu();
        mark.SetDate(text->date);
        mark.selected = true;
        c.plot()->fullPaint();
        c.move(text->left + 3, text->top + 3);
        QCOMPARE(c.plot()->tools().hovered(), text);
        c.click(text->left + 3, text->top + 3);
        QVERIFY(editor->isVisible());
        QCOMPARE(editor->text(), std::string("sell here"));
        QTest::keyClick(editor->edit(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(editor->edit(), Qt::Key_Delete);
        QCOMPARE(editor->text(), std::string());
        QVERIFY(mark.view_bl);
        c.click(c.column(20), 300);
        QCOMPARE(c.steps.size(), std::size_t(2));
        QCOMPARE(c.steps[1].at(0), text);
        QVERIFY(!text->view_bl);
        QVERIFY(mark.view_bl);
        QVERIFY(mark.selected);
    }

    void editorCountsCharactersAndKeepsLineBreaks() {
        Chart c;
        c.use(&chart::ToolFlags::text);
        c.click(c.column(4), 100);
        chart::ui::GraphPlotEdit* editor = c.plot()->editor();
        editor->edit()->setPlainText(QString(5000, QChar(0x3042))); // 5,000 × "あ"
        QCOMPARE(editor->edit()->toPlainText().size(), 4095);
        editor->edit()->setPlainText(QString("a\nb"));
        QCOMPARE(editor->text(), std::string("a\r\nb"));
    }

    void anotherToolMidLineLeavesNothingBehind() {
        Page page;
        page.tool(115)->click();
        const int y = 200;
        page.move(page.column(20), y);
        page.click(page.column(20), y);
        page.move(page.column(26), y + 20);
        QVERIFY(page.day()->state().inProgress);
        QCOMPARE(page.home->annotationLists().list(ChartPeriod::Day).size(), std::size_t(1));
        page.tool(112)->click(); // the day count instead
        QVERIFY(!page.day()->state().inProgress);
        QVERIFY(page.home->annotationLists().list(ChartPeriod::Day).empty());
        QVERIFY(page.history.steps.empty());
        QVERIFY(page.plot()->tools().creating() == nullptr);

        // A text being typed is kept when another tool is chosen.
        page.tool(535)->click();
        page.click(page.column(23), 150);
        QTest::keyClicks(page.plot()->editor()->edit(), "memo");
        page.tool(110)->click();
        QCOMPARE(page.history.steps.size(), std::size_t(1));
        QCOMPARE(page.history.steps[0].at(0).str, std::string("memo"));
        QCOMPARE(page.history.steps[0].at(0).code, std::string("1001"));
        QCOMPARE(page.history.steps[0].at(0).kikan, std::string("d"));
        QVERIFY(!page.plot()->editor()->isVisible());
    }

    void whileACodeOpensPressesAndDeleteAreIgnored() {
        Page page;
        page.tool(111)->click();
        page.click(page.column(23), 150);
        QCOMPARE(page.history.steps.size(), std::size_t(1));
        page.home->annotationLists().list(ChartPeriod::Day)[0].selected = true;
        QSignalSpy shown(page.home.get(), &app::HomePanel::chartShown);
        page.ctx.currentCode = 1;
        page.home->reopen(); // the worker opens 1002; the panels are busy meanwhile
        QVERIFY(page.day()->state().busy);
        // Delivered at once, before the opened chart can arrive.
        page.plot()->setFocus();
        QTest::mouseClick(page.plot(), Qt::LeftButton, Qt::NoModifier, QPoint(page.column(25), 150));
        QTest::keyClick(page.plot(), Qt::Key_Delete);
        QCOMPARE(page.history.steps.size(), std::size_t(1));
        QVERIFY(page.home->annotationLists().list(ChartPeriod::Day)[0].view_bl);
        QCOMPARE(page.home->annotationLists().list(ChartPeriod::Day).size(), std::size_t(1));
        QVERIFY(shown.count() > 0 || shown.wait(10000));
        // The lists now belong to 1002; what is made now is recorded under it.
        QCOMPARE(page.home->annotationLists().code(), std::string("1002"));
        page.click(page.column(25), 150);
        QCOMPARE(page.history.steps.size(), std::size_t(2));
        QCOMPARE(page.history.steps[1].at(0).code, std::string("1002"));
        QCOMPARE(page.history.steps[1].at(0).id, 1);
    }

    void deleteWithNothingSelectedRecordsNoStep() {
        Page page;
        page.tool(146)->click();
        page.plot()->setFocus();
        QTest::keyClick(page.plot(), Qt::Key_Delete);
        QVERIFY(page.history.steps.empty());
    }

    void aReloadDropsTheEditorAndTheHalfMadeElement() {
        Page page;
        page.tool(535)->click();
        page.click(page.column(23), 150);
        QVERIFY(page.plot()->editor()->isVisible());
        const int loads = page.history.loads;
        page.home->reloadAnnotations(); // undo, redo, new or open
        QCOMPARE(page.history.loads, loads + 1);
        QVERIFY(!page.plot()->editor()->isVisible());
        QVERIFY(!page.day()->state().inProgress);

        page.tool(112)->click();
        page.click(page.column(23), 150);
        QVERIFY(page.plot()->tools().creating() != nullptr);
        page.home->reloadAnnotations();
        QVERIFY(page.plot()->tools().creating() == nullptr);
        page.move(page.column(28), 150);
        page.click(page.column(28), 150); // starts afresh rather than finishing a dropped element
        QVERIFY(page.history.steps.empty());
        QVERIFY(page.day()->state().inProgress);
    }

    void lineCreatedDeletedAndUndoneIsShownAgain() {
        Page page(false);  // the open document's history
        auto& list = page.home->annotationLists().list(ChartPeriod::Day);
        page.tool(115)->click();
        page.move(page.column(20), 200);
        page.click(page.column(20), 200);
        page.move(page.column(30), 240);
        page.click(page.column(30), 240);
        QCOMPARE(list.size(), std::size_t(1));
        auto* line = static_cast<annotations::LineElm*>(&list[0]);

        page.tool(146)->click();
        const int mx = (line->x1 + line->x2) / 2, my = (line->y1 + line->y2) / 2;
        page.move(mx, my);
        QCOMPARE(page.plot()->tools().hovered(), line);
        page.click(mx, my);
        QVERIFY(line->selected);
        page.plot()->setFocus();
        QTest::keyClick(page.plot(), Qt::Key_Delete);
        QVERIFY(!line->view_bl);
        page.plot()->fullPaint();
        QVERIFY(page.plot()->painter().visible().all.empty());

        page.home->onCommand(app::Command::Undo);
        QCOMPARE(list.size(), std::size_t(1));
        QVERIFY(list[0].view_bl);
        QCOMPARE(list[0].classname, std::string("LineElm"));
        page.plot()->fullPaint();
        QCOMPARE(page.plot()->painter().visible().all.size(), std::size_t(1));

        // A new text after the undo: the deletion can no longer be redone.
        page.tool(535)->click();
        page.click(page.column(40), 150);
        QTest::keyClicks(page.plot()->editor()->edit(), "note");
        page.click(page.column(50), 300);
        QCOMPARE(list.size(), std::size_t(2));
        page.home->onCommand(app::Command::Redo);
        QCOMPARE(list.size(), std::size_t(2));
        QVERIFY(list[0].view_bl);
        QVERIFY(list[1].view_bl);
        QCOMPARE(list[1].str, std::string("note"));
    }

    void memoIsMadeWithItsDate() {
        Page page;
        page.tool(551)->click();
        page.click(page.column(23), 150);
        QCOMPARE(page.history.steps.size(), std::size_t(1));
        const auto& row = page.history.steps[0].at(0);
        QCOMPARE(row.classname, std::string("MemoElm"));
        const auto d = framework::splitDate(row.date);
        QCOMPARE(row.str, std::to_string(d.year) + "年" + std::to_string(d.month) + "月" +
                              std::to_string(d.day) + "日メモ\r\n");
    }
};

QTEST_MAIN(PointerToolsTest)
#include "PointerToolsTest.moc"
