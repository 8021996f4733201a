// A chart panel on an opened series: wheel steps, the scale combo box and the chart's keys.
#include "chart/ui/GraphPanel.h"
#include "app/core/AppContext.h"
#include "chart/ChartGeometry.h"
#include "chart/OpenChart.h"
#include "chart/ui/GraphPlotAreaPanel.h"
#include "framework/Dates.h"
#include "support/SampleMarket.h"
#include "support/TempDir.h"

#include <string>

#include <QComboBox>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSlider>
#include <QtTest>

using namespace tavora;

class GraphPanelTest : public QObject {
    Q_OBJECT

    struct Fixture {
        test::TempDir dir;
        app::AppContext ctx;
        chart::ChartSeries series;
        std::unique_ptr<chart::ui::GraphPanel> panel;

        // `calendar`: the market days after the last price (up to 2025-06-30) come from a
        // calendar, as they do for a code with one; `today` is then 2024-07-10, a future day.
        explicit Fixture(int bars = 400, market::ChartPeriod period = market::ChartPeriod::Day,
                         bool calendar = false) {
            test::buildSampleContext(ctx, dir.path(), {{"1001", "極東電機", bars, 1000}});
            chart::OpenChartInput in;
            in.priceDb = &ctx.priceDb;
            in.code = "1001";
            framework::YmdDate today = framework::todayYmd();
            if (calendar) {
                std::string days;
                for (long long n = framework::daysFromCivil(2024, 7, 1);
                     n <= framework::daysFromCivil(2025, 6, 30); ++n) {
                    const framework::YmdDate d = framework::civilFromDays(n);
                    if (const int w = framework::dayOfWeek(d.year, d.month, d.day); w != 0 && w != 6)
                        days += framework::formatDate(d) + "\n";
                }
                in.calendarPath = (dir / "marketday_jpn.csv").string();
                test::writeFile(in.calendarPath, days);
                today = {2024, 7, 10};
            }
            series = chart::OpenChart(in);
            panel = std::make_unique<chart::ui::GraphPanel>(period, today, ctx.scale, nullptr);
            panel->resize(800, 500);
            panel->show();
            panel->setSeries(&series.period(period), {});
        }
    };

    static void wheel(QWidget* w, int delta, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWheelEvent e(QPointF(50, 50), w->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, delta),
                      Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(w, &e);
    }

    static QSlider* slider(const Fixture& f, const char* name) { return f.panel->findChild<QSlider*>(name); }

private slots:
    void wheelScrollsThePriceAxisOneStep() {
        Fixture f;
        auto* v = f.panel->verticalScroll();
        const int start = v->value();
        QVERIFY(start > v->minimum() && start < v->maximum());
        const int paints = f.panel->plotArea()->fullPaintCount();
        wheel(f.panel->plotArea(), 120);  // forward: one step up (higher prices)
        QCOMPARE(v->value(), start - v->singleStep());
        QCOMPARE(f.panel->state().vscroll.pos, v->value());
        QVERIFY(f.panel->plotArea()->fullPaintCount() > paints);  // a wheel change paints fully
        wheel(f.panel->plotArea(), -120);
        wheel(f.panel->plotArea(), -120);
        QCOMPARE(v->value(), start + v->singleStep());
    }

    // Each key of the chart, pressed on the plot area (where the keyboard is after a click),
    // against what it does to the view.
    void keysScrollTheBars_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("expect"); // the horizontal position after the key
        QTest::newRow("Left: one bar older") << int(Qt::Key_Left) << int(Qt::NoModifier) << "start-1";
        QTest::newRow("Right: one bar newer") << int(Qt::Key_Right) << int(Qt::NoModifier) << "start+1";
        QTest::newRow("Shift+Left: one screen older")
            << int(Qt::Key_Left) << int(Qt::ShiftModifier) << "start-page";
        QTest::newRow("Shift+Right: one screen newer")
            << int(Qt::Key_Right) << int(Qt::ShiftModifier) << "start+page";
        QTest::newRow("Home: the oldest bar") << int(Qt::Key_Home) << int(Qt::NoModifier) << "min";
        QTest::newRow("End: the newest bars") << int(Qt::Key_End) << int(Qt::NoModifier) << "max";
        QTest::newRow("Ctrl+Left is not the chart's")
            << int(Qt::Key_Left) << int(Qt::ControlModifier) << "start";
    }

    void keysScrollTheBars() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, expect);
        Fixture f(1200);
        auto* h = f.panel->horizontalScroll();
        const int page = f.panel->plotArea()->width() / f.panel->state().x_haba_p;
        QVERIFY(h->maximum() - h->minimum() > 2 * page + 2);
        const int start = (h->minimum() + h->maximum()) / 2;
        h->setValue(start);
        QCOMPARE(f.panel->state().start_bar, start);
        const int paints = f.panel->plotArea()->fullPaintCount();
        QTest::keyClick(f.panel->plotArea(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        const std::map<QString, int> expected{{"start-1", start - 1},
                                              {"start+1", start + 1},
                                              {"start-page", start - page},
                                              {"start+page", start + page},
                                              {"min", h->minimum()},
                                              {"max", h->maximum()},
                                              {"start", start}};
        QCOMPARE(f.panel->state().start_bar, expected.at(expect));
        QCOMPARE(h->value(), f.panel->state().start_bar);
        QCOMPARE(f.panel->plotArea()->fullPaintCount() > paints, expect != "start");
    }

    // Opening places the bar of today's period 30 pitches left of the right edge, the history to
    // its left (a year chart's nine years stand at the right, a century of empty years after
    // them); End brings the newest bar with prices there, also after a resize; Home shows the
    // oldest bar at the left edge.
    void openingAndEndPlaceTheirBar_data() {
        QTest::addColumn<int>("period");
        for (market::ChartPeriod p : market::kAllPeriods)
            QTest::newRow(market::periodCaption(p).data()) << market::periodIndex(p);
    }

    void openingAndEndPlaceTheirBar() {
        QFETCH(int, period);
        Fixture f(2000, market::kAllPeriods[std::size_t(period)], true);
        const chart::GraphViewState& vs = f.panel->state();
        auto placedAt = [&] { return (f.panel->plotArea()->width() / vs.x_haba_p - 30) * vs.x_haba_p; };
        const market::KeisenElm* today = chart::anchoredBar(vs);
        QVERIFY(today);
        const int k = chart::barNumber(vs, *today);
        QVERIFY(today->date <= "2024-07-10");
        QVERIFY(k == chart::barCount(vs) || chart::barByNumber(vs, k + 1)->date > "2024-07-10");
        QCOMPARE(chart::barLeft(vs, k), placedAt());
        QCOMPARE(f.panel->horizontalScroll()->value(), vs.start_bar);

        const market::KeisenElm* newest = chart::newestPricedBar(vs);
        QVERIFY(newest && newest->date <= "2024-06-28");
        QVERIFY(chart::barNumber(vs, *newest) < chart::barCount(vs)); // future bars follow it
        QTest::keyClick(f.panel->plotArea(), Qt::Key_Home);
        QCOMPARE(vs.start_bar, 1);
        QTest::keyClick(f.panel->plotArea(), Qt::Key_End);
        QCOMPARE(chart::barLeft(vs, chart::barNumber(vs, *newest)), placedAt());
        f.panel->resize(1000, 500);
        QCOMPARE(chart::barLeft(vs, chart::barNumber(vs, *newest)), placedAt());
        QCOMPARE(f.panel->horizontalScroll()->value(), vs.start_bar);
    }

    // A period opened while its tab is hidden gets its size when shown: today's bar is placed
    // for that size.
    void aPanelOpenedHiddenIsPlacedForItsShownSize() {
        Fixture f(2000, market::ChartPeriod::Year, true);
        chart::ui::GraphPanel hidden(market::ChartPeriod::Year, {2024, 7, 10}, f.ctx.scale, nullptr);
        hidden.resize(300, 200);
        hidden.setSeries(&f.series.period(market::ChartPeriod::Year), {});
        hidden.resize(1100, 600);
        hidden.show();
        const chart::GraphViewState& vs = hidden.state();
        const int w = hidden.plotArea()->width();
        QCOMPARE(w, 1100 - chart::ui::GraphPanel::ScrollThickness);
        QCOMPARE(chart::barLeft(vs, chart::barNumber(vs, *chart::anchoredBar(vs))),
                 (w / vs.x_haba_p - 30) * vs.x_haba_p);
    }

    // + and - (and Ctrl + wheel) step the bar width through the slider's table; the slider
    // follows, and the code's scale takes the pitch as from the slider.
    void plusMinusAndCtrlWheelStepTheBarWidth() {
        Fixture f;
        auto& vs = f.panel->state();
        QCOMPARE(vs.x_haba_p, 3); // a code without a stored scale
        auto* hslider = slider(f, "hori_rs");
        QTest::keyClick(f.panel->plotArea(), Qt::Key_Plus);
        QCOMPARE(vs.x_haba_p, 5);
        QCOMPARE(hslider->value(), 250);                     // the slider's place for pitch 5 (0.25)
        QTest::keyClick(f.panel->plotArea(), Qt::Key_Equal); // "+" without Shift
        QCOMPARE(vs.x_haba_p, 7);
        QTest::keyClick(f.panel->plotArea(), Qt::Key_Minus);
        QCOMPARE(vs.x_haba_p, 5);
        wheel(f.panel->plotArea(), 120, Qt::ControlModifier);
        QCOMPARE(vs.x_haba_p, 7);
        wheel(f.panel->plotArea(), -120, Qt::ControlModifier);
        wheel(f.panel->plotArea(), -120, Qt::ControlModifier);
        QCOMPARE(vs.x_haba_p, 3);
        const int prices = vs.vscroll.pos;
        QCOMPARE(f.panel->verticalScroll()->value(), prices); // Ctrl + wheel leaves the prices
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(f.panel->plotArea(), Qt::Key_Minus);
        QCOMPARE(vs.x_haba_p, 2); // the narrowest stays
        chart::CodeScale stored;
        chart::storeCodeScale(vs, stored);
        QCOMPARE(stored.pitch[0], 2);
    }

    // F fits the prices of the bars in view into the plot: the largest tick size at which
    // they fit, the view centred on them, the vertical slider at that tick size.
    void fFitsThePricesInView() {
        Fixture f;
        auto& vs = f.panel->state();
        QTest::keyClick(f.panel->plotArea(), Qt::Key_F);
        const int height = f.panel->plotArea()->height();
        double high = 0, low = 1e18;
        for (int k = vs.start_bar;
             k <= chart::barCount(vs) && chart::barLeft(vs, k) < f.panel->plotArea()->width(); ++k)
            if (const auto* bar = chart::barByNumber(vs, k); bar && bar->open) {
                high = std::max(high, *bar->high);
                low = std::min(low, *bar->low);
            }
        QVERIFY(high > low);
        QVERIFY(chart::rowOfPrice(vs, height, high) >= 0);
        QVERIFY(chart::rowOfPrice(vs, height, low) <= height);
        QCOMPARE(f.panel->verticalScroll()->value(), vs.vscroll.pos);
        const auto ratio = chart::sliderForTick(vs.y_ichimemori);
        QVERIFY(ratio);
        auto* vslider = slider(f, "vert_rs");
        QCOMPARE(vslider->value(), int(std::lround(*ratio * vslider->maximum())));
        chart::CodeScale stored;
        chart::storeCodeScale(vs, stored);
        QCOMPARE(stored.tick[0], vs.y_ichimemori);
    }

    // Page Up and Down and 1 to 4 are the Home page's: the panel hands them on.
    void codeAndPeriodKeysGoToTheHomePage() {
        Fixture f;
        QSignalSpy spy(f.panel.get(), &chart::ui::GraphPanel::keyCommand);
        const std::pair<Qt::Key, chart::ui::ChartAction> keys[] = {
            {Qt::Key_PageUp, chart::ui::ChartAction::PreviousCode},
            {Qt::Key_PageDown, chart::ui::ChartAction::NextCode},
            {Qt::Key_1, chart::ui::ChartAction::ShowDay},
            {Qt::Key_2, chart::ui::ChartAction::ShowWeek},
            {Qt::Key_3, chart::ui::ChartAction::ShowMonth},
            {Qt::Key_4, chart::ui::ChartAction::ShowYear}};
        for (const auto& [key, action] : keys) {
            QTest::keyClick(f.panel->plotArea(), key);
            QCOMPARE(spy.takeFirst().at(0).toInt(), int(action));
        }
        QTest::keyClick(f.panel->plotArea(), Qt::Key_5);
        QCOMPARE(spy.count(), 0);
    }

    void scaleComboStoresThePeriodsInterval() {
        Fixture f;
        auto* combo = f.panel->scaleCombo();
        const int at = combo->findText("100");
        QVERIFY(at >= 0);
        combo->textActivated(combo->itemText(at));
        QCOMPARE(f.panel->state().grid_yen, 100);
        QCOMPARE(f.ctx.scale.fixedGrid[0], 100);
        QCOMPARE(f.ctx.scale.fixedGrid[1], 0);
    }
};

QTEST_MAIN(GraphPanelTest)
#include "GraphPanelTest.moc"
