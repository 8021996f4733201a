// A chart panel on an opened series: wheel steps and the scale combo box.
#include "support/SampleMarket.h"
#include "support/TempDir.h"
#include "app/core/AppContext.h"
#include "chart/ui/GraphPanel.h"
#include "chart/ui/GraphPlotAreaPanel.h"
#include "framework/Dates.h"
#include "market/OpenChart.h"

#include <QComboBox>
#include <QScrollBar>
#include <QtTest>

using namespace tavora;

class GraphPanelTest : public QObject {
    Q_OBJECT

    struct Fixture {
        test::TempDir dir;
        app::AppContext ctx;
        market::ChartSeries series;
        std::unique_ptr<chart::ui::GraphPanel> panel;

        Fixture() {
            test::buildSampleContext(ctx, dir.path(), {{"1001", "極東電機", 400, 1000}});
            market::OpenChartInput in;
            in.priceDb = &ctx.priceDb;
            in.code = "1001";
            series = market::OpenChart(in);
            panel = std::make_unique<chart::ui::GraphPanel>(market::ChartPeriod::Day, framework::todayYmd(), ctx.scale,
                                                            nullptr);
            panel->resize(800, 500);
            panel->show();
            panel->setSeries(&series.period(market::ChartPeriod::Day), {});
        }
    };

    static void wheel(QWidget* w, int delta) {
        QWheelEvent e(QPointF(50, 50), w->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(w, &e);
    }

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
