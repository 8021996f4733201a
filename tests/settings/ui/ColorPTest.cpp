// The colour settings panel through the main window: reset, apply, the colour save of the
// twelve keys, the charts taking the colours, and a write that fails.
#include "support/DeskWindow.h"

#include "app/PropertyPanels.h"
#include "app/core/Commands.h"
#include "chart/ui/GraphPanel.h"
#include "framework/Sql.h"
#include "framework/ui/ColorChoice.h"
#include "framework/ui/MessageBox.h"
#include "framework/ui/StatusBar.h"
#include "settings/Settings.h"
#include "settings/ui/ColorP.h"

#include <QComboBox>
#include <QToolButton>

using namespace tavora;
using settings::ui::ColorP;

namespace {

using Rows = std::vector<std::pair<std::string, std::string>>;

// koumokutb in the order the rows were written.
Rows storedSettings(const std::string& path) {
    framework::ZSqlElement db;
    framework::SQL_Open(db, path);
    framework::SQLList rows;
    rows.columns = {"koumoku", "value"};
    framework::SQL_exec(db, "SELECT koumoku,value FROM koumokutb ORDER BY rowid;", rows);
    Rows out;
    for (const auto& r : rows.rows)
        out.emplace_back(r.value("koumoku"), r.value("value"));
    return out;
}

void clearSettings(const std::string& path) {
    framework::ZSqlElement db;
    framework::SQL_Open(db, path);
    framework::SQL_exec(db, "DELETE FROM koumokutb;");
}

} // namespace

class ColorPTest : public QObject {
    Q_OBJECT

    static ColorP* panel(test::DeskWindow& w) { return w.main->propertyPanels()->colorPanel(); }

private slots:
    void resetAndApplyWriteTheTwelveDefaultsOnce() {
        test::DeskWindow w;
        // The user had a dark background and dashed price lines.
        w.ctx.settings.grbuckcr = 0x101010;
        w.ctx.settings.title_cr = 0x00FF00;
        w.ctx.settings.x_sen_cb = settings::kLineDashed;
        QVERIFY(w.command(app::Command::OpenColor));
        ColorP* p = panel(w);
        QVERIFY(p->isVisible());
        QCOMPARE(p->colourBox(0)->color(), 0x101010u);
        QCOMPARE(p->xStyleBox()->currentText(), QString("－－破線"));
        QVERIFY(!p->hasUnsavedChanges());

        QTest::mouseClick(p->resetButton(), Qt::LeftButton);
        QVERIFY(p->hasUnsavedChanges());
        QVERIFY(w.command(app::Command::SheetApply));
        QVERIFY(!w.sheet()->isOpen());
        const Rows expected{
            {"grbuckcr", "16579836"},       {"hiduke_sencr", "15198183"},  {"nedan_sencr", "15198183"},
            {"title_cr", "3684408"},        {"yousen_buckcr", "16777215"}, {"yousen_sencr", "2105376"},
            {"insen_buckcr", "1579032"},    {"insen_sencr", "2105376"},    {"dekidaka_buckcr", "16053492"},
            {"dekidaka_sencr", "13882323"}, {"x_sen_cb", "―　実線"},       {"y_sen_cb", "―　実線"}};
        QCOMPARE(storedSettings(w.ctx.paths.setteiDb), expected);
        for (market::ChartPeriod period : market::kAllPeriods) {
            const auto& paint = w.home()->graphPanel(period)->state().paint;
            QCOMPARE(paint.background, 0xFCFCFCu);
            QCOMPARE(paint.titleColor, 0x383838u);
            QCOMPARE(paint.priceGridStyle, 1);
        }
        QCOMPARE(w.ctx.settings.grbuckcr, 0xFCFCFCu);

        // Opening again and applying without a change writes nothing.
        clearSettings(w.ctx.paths.setteiDb);
        QVERIFY(w.command(app::Command::OpenColor));
        QVERIFY(!p->hasUnsavedChanges());
        QVERIFY(w.command(app::Command::SheetApply));
        QVERIFY(storedSettings(w.ctx.paths.setteiDb).empty());
    }

    void eachStyleBoxSetsTheOtherDirectionsLines() {
        test::DeskWindow w;
        QVERIFY(w.command(app::Command::OpenColor));
        ColorP* p = panel(w);
        // The box on the "X軸" row (the date lines' colour) is the price lines' style.
        QCOMPARE(p->xStyleBox()->y(), p->colourBox(1)->y());
        QCOMPARE(p->yStyleBox()->y(), p->colourBox(2)->y());
        p->xStyleBox()->setCurrentIndex(1);
        QVERIFY(w.command(app::Command::SheetApply));
        QCOMPARE(w.ctx.settings.x_sen_cb, std::string(settings::kLineDotted));
        for (market::ChartPeriod period : market::kAllPeriods) {
            const auto& paint = w.home()->graphPanel(period)->state().paint;
            QCOMPARE(paint.priceGridStyle, 2);
            QCOMPARE(paint.dateGridStyle, 1);
        }
    }

    void coloursComeFromThePopUpAndTheColourDialog() {
        test::DeskWindow w;
        QVERIFY(w.command(app::Command::OpenColor));
        ColorP* p = panel(w);
        auto* box = p->colourBox(4); // 陽線
        QTest::mouseClick(box->dropButton(), Qt::LeftButton);
        QVERIFY(box->popup()->isVisible());
        QTest::mouseClick(box->popup()->swatch(8), Qt::LeftButton);
        QCOMPARE(box->color(), framework::ui::ColorPopup::swatchColors()[8]);
        QVERIFY(box->picked());

        framework::ui::ColorChoice::setNextDialogAnswer(0x123456);
        box->openPopup();
        QTest::mouseClick(box->popup()->otherButton(), Qt::LeftButton);
        QCOMPARE(box->color(), 0x123456u);
        // A cancelled dialog leaves the colour.
        framework::ui::ColorChoice::setNextDialogAnswer(std::nullopt);
        box->openPopup();
        QTest::mouseClick(box->popup()->otherButton(), Qt::LeftButton);
        QCOMPARE(box->color(), 0x123456u);

        // Closing without apply asks first; the next opening shows the chart's colours again.
        framework::ui::MessageBox::setNextAnswer(QMessageBox::Yes);
        QVERIFY(w.main->closeSideSheet());
        QVERIFY(w.settle());
        QCOMPARE(framework::ui::MessageBox::lastCaption(), QString("色の変更"));
        QVERIFY(w.command(app::Command::OpenColor));
        QCOMPARE(box->color(), 0xFFFFFFu);
    }

    void aWriteThatFailsIsReportedWhileTheChartsShowTheNewColours() {
        test::DeskWindow w;
        w.ctx.paths.setteiDb = (w.dir.path() / "missing" / "settei.db").string();
        QVERIFY(w.command(app::Command::OpenColor));
        ColorP* p = panel(w);
        p->colourBox(0)->choose(0x000000);
        QVERIFY(w.command(app::Command::SheetApply));
        QVERIFY(w.main->statusBar()->text().contains("保存できませんでした"));
        QCOMPARE(w.home()->graphPanel(market::ChartPeriod::Week)->state().paint.background, 0u);
        QCOMPARE(w.ctx.settings.grbuckcr, 0u);
    }
};

QTEST_MAIN(ColorPTest)
#include "ColorPTest.moc"
