// The analysis-graph editor through the main window: registering, deleting, the shown flag,
// apply with the reload of every chart, and the guards around bunseki.db.
#include "support/DeskWindow.h"

#include "analysis/BunsekiGraphList.h"
#include "app/PropertyPanels.h"
#include "app/ReopenWorker.h"
#include "app/core/Commands.h"
#include "chart/ui/GraphPanel.h"
#include "chart/ui/GraphPlotAreaPanel.h"
#include "framework/ColorText.h"
#include "framework/ui/ColorChoice.h"
#include "framework/ui/MessageBox.h"
#include "settings/ui/BunsekiP2.h"
#include "settings/ui/BunsekiP2SyousaiP.h"
#include "settings/ui/BunsekiP2TableP.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRadioButton>

#include <filesystem>

using namespace tavora;
using framework::ui::MessageBox;
using settings::ui::BunsekiP2;

namespace {

constexpr framework::ColorRef kMagenta = 0xFF00FF;

int pixelsOf(const QImage& image, framework::ColorRef colour) {
    const QRgb wanted = qRgb(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF));
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += (image.pixel(x, y) & 0xFFFFFF) == (wanted & 0xFFFFFF);
    return n;
}

} // namespace

class BunsekiP2Test : public QObject {
    Q_OBJECT

    static BunsekiP2* editor(test::DeskWindow& w) { return w.main->propertyPanels()->bunsekiPanel(); }
    static settings::ui::BunsekiP2SyousaiP* detail(test::DeskWindow& w) { return editor(w)->detailPanel(); }
    static std::vector<analysis::BunsekiRow> stored(const test::DeskWindow& w) {
        std::vector<analysis::BunsekiRow> rows;
        analysis::ReadBunsekiRows(w.ctx.paths.bunsekiDb, rows);
        return rows;
    }
    static QByteArray fileBytes(const std::string& path) {
        QFile f(QString::fromStdString(path));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private slots:
    void cleanup() { MessageBox::setNextAnswer(QMessageBox::NoButton); }

    void aNewHalfValueIsStoredAndDrawnOnEveryChart() {
        // Eleven years of days: even the year chart has more bars than the window.
        test::DeskWindow w({{"1001", "極東電機", 2900, 1000}});
        QVERIFY(w.openFirstCode());
        QVERIFY(w.command(app::Command::OpenBunseki));
        auto* d = detail(w);
        QCOMPARE(editor(w)->table()->rowCount(), 5);
        d->nameEdit()->setText("半値9");
        d->colourBox()->choose(kMagenta);
        d->widthBox()->setCurrentText("3");
        QTest::mouseClick(d->kindButton(analysis::KindHanne), Qt::LeftButton);
        QVERIFY(d->hanneEdit()->isVisible());
        QTest::keyClicks(d->hanneEdit(), "9");
        QTest::mouseClick(d->registerButton(), Qt::LeftButton);
        QCOMPARE(editor(w)->table()->rowCount(), 6);
        QVERIFY(editor(w)->hasUnsavedChanges());

        QSignalSpy shown(w.home(), &app::HomePanel::chartShown);
        QVERIFY(w.command(app::Command::SheetApply));
        QVERIFY(!w.sheet()->isOpen());
        // The reopening may already have ended while the sheet slid away.
        QVERIFY(!shown.isEmpty() || shown.wait(20000));
        const auto rows = stored(w);
        QCOMPARE(rows.size(), std::size_t(6));
        QCOMPARE(rows.back(), (analysis::BunsekiRow{"半値9", "1", "16711935", "3", "1", "", "1", "9", ""}));
        QVERIFY(w.ctx.bunsekiList.find("半値9"));
        for (market::ChartPeriod period : market::kAllPeriods) {
            w.home()->selectPeriod(period);
            chart::ui::GraphPanel* panel = w.home()->graphPanel(period);
            QVERIFY(QTest::qWaitFor([&] { return panel->isVisible(); }, 2000));
            auto* graphs = const_cast<analysis::BunsekiGraphListList*>(panel->state().graphs);
            QVERIFY(graphs);
            analysis::BunsekiGraphList* line = graphs->find("半値9");
            QVERIFY2(line, market::periodLetter(period).data());
            const QByteArray where = QByteArray(market::periodLetter(period).data()) + " " +
                                     QByteArray::number(qulonglong(line->count()));
            QVERIFY2(line->count() > 9, where.constData());
            // The first eight bars cannot have a value (a window of nine needs nine).
            std::size_t valued = 0;
            for (std::size_t i = 0; i < line->count(); ++i)
                valued += line->hasValue(i) ? 1 : 0;
            QVERIFY2(valued > 0 && valued + 8 <= line->count(), where.constData());
            QVERIFY2(pixelsOf(panel->plotArea()->cleanCopy(), kMagenta) > 10,
                     market::periodLetter(period).data());
        }
    }

    void theShownCellStoresZeroAndOne() {
        test::DeskWindow w;
        QVERIFY(w.command(app::Command::OpenBunseki));
        auto* table = editor(w)->table();
        QCOMPARE(table->item(0, 1)->checkState(), Qt::Checked);
        emit table->cellClicked(0, 1);
        QCOMPARE(table->item(0, 1)->checkState(), Qt::Unchecked);
        QVERIFY(w.command(app::Command::SheetApply));
        QCOMPARE(stored(w)[0][1], std::string("0"));
        QVERIFY(!w.ctx.bunsekiList[0].shown);

        QVERIFY(w.command(app::Command::OpenBunseki));
        emit table->cellClicked(0, 1);
        QVERIFY(w.command(app::Command::SheetApply));
        QCOMPARE(stored(w)[0][1], std::string("1"));
    }

    void applyWithoutAChangeTouchesNothing() {
        test::DeskWindow w;
        QVERIFY(w.openFirstCode());
        const QByteArray before = fileBytes(w.ctx.paths.bunsekiDb);
        QVERIFY(!before.isEmpty());
        QVERIFY(w.command(app::Command::OpenBunseki));
        // Select rows and register them unchanged, toggle a flag twice: still no change.
        editor(w)->table()->selectRow(3);
        QTest::mouseClick(detail(w)->registerButton(), Qt::LeftButton);
        emit editor(w)->table()->cellClicked(1, 1);
        emit editor(w)->table()->cellClicked(1, 1);
        QVERIFY(!editor(w)->hasUnsavedChanges());
        QVERIFY(w.command(app::Command::SheetApply));
        QVERIFY(!w.home()->reopenWorker()->running());
        QCOMPARE(fileBytes(w.ctx.paths.bunsekiDb), before);
    }

    void anUnreadableFileDisablesEditing() {
        test::DeskWindow w;
        const std::string junk = "this is no SQLite file" + std::string(2000, '#');
        test::writeFile(w.ctx.paths.bunsekiDb, junk);
        QVERIFY(w.command(app::Command::OpenBunseki));
        BunsekiP2* e = editor(w);
        QVERIFY(e->problemLabel()->isVisible());
        QVERIFY(!detail(w)->registerButton()->isEnabled());
        QVERIFY(!detail(w)->deleteButton()->isEnabled());
        QVERIFY(!w.applyButton()->isEnabled());
        QCOMPARE(e->table()->rowCount(), 0);
        // Even a forced apply writes nothing and keeps the sheet open.
        w.main->onCommand(app::Command::SheetApply);
        QVERIFY(w.sheet()->isOpen());
        QCOMPARE(test::readFile(w.ctx.paths.bunsekiDb), junk);

        // Once the file is good again the next opening offers everything.
        std::filesystem::remove(w.ctx.paths.bunsekiDb);
        QVERIFY(w.command(app::Command::OpenBunseki));
        QVERIFY(!e->problemLabel()->isVisible());
        QVERIFY(detail(w)->registerButton()->isEnabled());
        QVERIFY(w.applyButton()->isEnabled());
    }

    void aFailedSaveKeepsTheSheetAndItsRows() {
        test::DeskWindow w;
        QVERIFY(w.openFirstCode());
        QVERIFY(w.command(app::Command::OpenBunseki));
        detail(w)->nameEdit()->setText("新しい式");
        QTest::mouseClick(detail(w)->registerButton(), Qt::LeftButton);
        // The file goes away and a folder takes its name: the save cannot open it.
        std::filesystem::remove(w.ctx.paths.bunsekiDb);
        std::filesystem::create_directory(w.ctx.paths.bunsekiDb);
        MessageBox::setNextAnswer(QMessageBox::Ok);
        w.main->onCommand(app::Command::SheetApply);
        QVERIFY(MessageBox::lastText().startsWith("分析グラフを保存できませんでした。"));
        QVERIFY(w.settle());
        QVERIFY(w.sheet()->isOpen());
        QCOMPARE(editor(w)->table()->rowCount(), 6);
        QVERIFY(editor(w)->hasUnsavedChanges());
        QVERIFY(!w.home()->reopenWorker()->running());
        QCOMPARE(w.ctx.bunsekiList.size(), std::size_t(5));
    }

    void selectingARowShowsOnlyThatRowsValues() {
        test::DeskWindow w;
        QVERIFY(w.command(app::Command::OpenBunseki));
        BunsekiP2* e = editor(w);
        auto* d = detail(w);
        // A half value of the user's and a formula graph without kind or parameters.
        d->nameEdit()->setText("半値13");
        QTest::mouseClick(d->kindButton(analysis::KindHanne), Qt::LeftButton);
        d->hanneEdit()->setText("13");
        d->lineBox()->setCurrentIndex(2);
        e->registerDetail();
        d->setDetail(analysis::BunsekiDetail{}, true);
        d->nameEdit()->setText("式だけ");
        d->shownBox()->setChecked(false);
        e->registerDetail();
        QCOMPARE(e->table()->rowCount(), 7);

        e->table()->selectRow(5);
        QCOMPARE(d->hanneEdit()->text(), QString("13"));
        QCOMPARE(d->lineBox()->currentIndex(), 2);
        e->table()->selectRow(6);
        QCOMPARE(d->nameEdit()->text(), QString("式だけ"));
        QVERIFY(!d->kindButton(analysis::KindHanne)->isChecked());
        QCOMPARE(d->hanneEdit()->text(), QString());
        QCOMPARE(d->lineBox()->currentIndex(), 0);
        QVERIFY(!d->shownBox()->isChecked());
        // A row of kind 0 is a formula graph: "式" is chosen for it.
        QVERIFY(d->kindButton(analysis::KindFormula)->isChecked());
        // Registering it unchanged writes nothing of the previous row into it, and says that
        // a formula graph without a formula draws nothing.
        MessageBox::setNextAnswer(QMessageBox::Ok);
        e->registerDetail();
        QVERIFY(MessageBox::lastText().contains("描画されません"));
        QCOMPARE(e->model().rows()[6], (analysis::BunsekiRow{"式だけ", "0", "0", "1", "1", "", "", "", ""}));

        // A role graph's kind and window cannot be changed; its colour can, keeping the rest.
        e->table()->selectRow(3); // 先行スパン1
        QVERIFY(d->kindButton(analysis::KindSenkouSpan1)->isChecked());
        QCOMPARE(d->span1Label(1)->text(), QString("基準線"));
        QVERIFY(!d->kindButton(analysis::KindHanne)->isEnabled());
        e->table()->selectRow(0); // 転換線
        QVERIFY(!d->hanneEdit()->isEnabled());
        QCOMPARE(d->hanneEdit()->text(), QString("9"));
        d->colourBox()->choose(0x00FF00);
        e->registerDetail();
        QCOMPARE(e->model().rows()[0],
                 (analysis::BunsekiRow{"転換線", "1", "65280", "1", "1", "", "1", "9", ""}));
        e->table()->selectRow(5);
        QVERIFY(d->hanneEdit()->isEnabled());
    }

    void windowsAreCheckedBeforeRegistering() {
        test::DeskWindow w;
        QVERIFY(w.command(app::Command::OpenBunseki));
        auto* d = detail(w);
        d->nameEdit()->setText("半値");
        QTest::mouseClick(d->kindButton(analysis::KindHanne), Qt::LeftButton);
        QTest::keyClicks(d->hanneEdit(), "123456x");
        QCOMPARE(d->hanneEdit()->text(), QString("1234")); // four digits at most
        d->hanneEdit()->clear();
        QTest::keyClicks(d->hanneEdit(), "0");
        MessageBox::setNextAnswer(QMessageBox::Ok);
        QTest::mouseClick(d->registerButton(), Qt::LeftButton);
        QVERIFY(MessageBox::lastText().startsWith("半値の本数"));
        QCOMPARE(editor(w)->table()->rowCount(), 5);

        QTest::mouseClick(d->kindButton(analysis::KindChikouSpan), Qt::LeftButton);
        QTest::keyClicks(d->chikouEdit(), "0");
        QTest::mouseClick(d->registerButton(), Qt::LeftButton);
        QCOMPARE(editor(w)->table()->rowCount(), 6);
        QCOMPARE(editor(w)->model().rows()[5][7], std::string("0"));

        d->nameEdit()->clear();
        MessageBox::setNextAnswer(QMessageBox::Ok);
        QTest::mouseClick(d->deleteButton(), Qt::LeftButton);
        QCOMPARE(MessageBox::lastText(), QString("グラフ名が入力されていません。"));
        d->nameEdit()->setText("半値");
        QTest::mouseClick(d->deleteButton(), Qt::LeftButton);
        QCOMPARE(editor(w)->table()->rowCount(), 5);

        // The windows of the moving averages: four digits, at least one bar.
        d->nameEdit()->setText("平均");
        QTest::mouseClick(d->kindButton(analysis::KindMovingAverage), Qt::LeftButton);
        QVERIFY(d->smaEdit()->isVisible());
        QVERIFY(!d->hanneEdit()->isVisible());
        QTest::keyClicks(d->smaEdit(), "123456");
        QCOMPARE(d->smaEdit()->text(), QString("1234"));
        d->smaEdit()->setText("0");
        MessageBox::setNextAnswer(QMessageBox::Ok);
        QTest::mouseClick(d->registerButton(), Qt::LeftButton);
        QVERIFY(MessageBox::lastText().startsWith("単純移動平均の本数"));
        QTest::mouseClick(d->kindButton(analysis::KindExponentialAverage), Qt::LeftButton);
        QVERIFY(d->emaEdit()->isVisible());
        QVERIFY(!d->smaEdit()->isVisible());
        QTest::keyClicks(d->emaEdit(), "12");
        QTest::mouseClick(d->registerButton(), Qt::LeftButton);
        QCOMPARE(editor(w)->model().rows()[5],
                 (analysis::BunsekiRow{"平均", "1", "0", "1", "1", "", "6", "12", ""}));
    }

    void theFormulaFieldSaysWhileTypingWhetherItParses() {
        test::DeskWindow w;
        QVERIFY(w.command(app::Command::OpenBunseki));
        auto* d = detail(w);
        QVERIFY(!d->formulaEdit()->isVisible());
        QTest::mouseClick(d->kindButton(analysis::KindFormula), Qt::LeftButton);
        QVERIFY(d->formulaEdit()->isVisible());
        QVERIFY(d->formulaStatusLabel()->isVisible());
        d->nameEdit()->setText("上のバンド");
        QTest::keyClicks(d->formulaEdit(), "MA(C,20)+2*");
        QCOMPARE(
            d->formulaStatusLabel()->text(),
            QString("式を解釈できません（式の終わり: ここには数、O H L C V、関数、または括弧が必要です）"));
        QTest::keyClicks(d->formulaEdit(), "STD(C,20)");
        QCOMPARE(d->formulaStatusLabel()->text(), QString("式を解釈できます。"));
        // As a Japanese input method types it.
        d->formulaEdit()->setPlainText("ＭＡ（Ｃ，２０）＋２＊ＳＴＤ（Ｃ，２０）");
        QCOMPARE(d->formulaStatusLabel()->text(), QString("式を解釈できます。"));
        d->formulaEdit()->setPlainText("MA(C,20)+2*STB(C,20)");
        QCOMPARE(d->formulaStatusLabel()->text(),
                 QString("式を解釈できません（12文字目: 「STB」という系列や関数はありません）"));

        // A formula that does not parse is stored all the same, with a word that it will not draw.
        MessageBox::setNextAnswer(QMessageBox::Ok);
        QTest::mouseClick(d->registerButton(), Qt::LeftButton);
        QVERIFY(MessageBox::lastText().startsWith(
            "登録しましたが、式を解釈できないため、このグラフは描画されません。"));
        QCOMPARE(
            editor(w)->model().rows().back(),
            (analysis::BunsekiRow{"上のバンド", "1", "0", "1", "1", "MA(C,20)+2*STB(C,20)", "", "", ""}));
        QVERIFY(w.command(app::Command::SheetApply));
        QCOMPARE(stored(w).back()[5], std::string("MA(C,20)+2*STB(C,20)"));
        QVERIFY(w.ctx.bunsekiList.find("上のバンド"));
        QVERIFY(!w.ctx.bunsekiList.find("上のバンド")->program);
    }

    void templatesAddMovingAveragesAndABollingerBandDrawnOnEveryChart() {
        test::DeskWindow w({{"1001", "極東電機", 2900, 1000}});
        QVERIFY(w.openFirstCode());
        QVERIFY(w.command(app::Command::OpenBunseki));
        auto* d = detail(w);
        QCOMPARE(d->templateMenu()->actions().size(), 3);
        QCOMPARE(d->templateMenu()->actions()[0]->text(), QString("移動平均 5/25/75"));
        QCOMPARE(d->templateMenu()->actions()[1]->text(), QString("移動平均 13/26 (週足向け)"));
        QCOMPARE(d->templateMenu()->actions()[2]->text(), QString("ボリンジャーバンド 20 (±2σ)"));
        d->templateMenu()->actions()[0]->trigger();
        d->templateMenu()->actions()[2]->trigger();
        QCOMPARE(editor(w)->table()->rowCount(), 11);
        // The first row of the last set is selected, ready to edit.
        QCOMPARE(d->nameEdit()->text(), QString("ボリンジャー20 +2σ"));
        QVERIFY(d->kindButton(analysis::KindFormula)->isChecked());
        QCOMPARE(d->formulaEdit()->toPlainText(), QString("MA(C,20)+2*STD(C,20)"));
        // A set whose graphs are all there adds nothing more.
        MessageBox::setNextAnswer(QMessageBox::Ok);
        d->templateMenu()->actions()[0]->trigger();
        QCOMPARE(editor(w)->table()->rowCount(), 11);

        QSignalSpy shown(w.home(), &app::HomePanel::chartShown);
        QVERIFY(w.command(app::Command::SheetApply));
        QVERIFY(!shown.isEmpty() || shown.wait(20000));
        QCOMPARE(stored(w).size(), std::size_t(11));
        const framework::ColorRef crimson = framework::rgbColor(220, 20, 60);
        for (market::ChartPeriod period : market::kAllPeriods) {
            w.home()->selectPeriod(period);
            chart::ui::GraphPanel* panel = w.home()->graphPanel(period);
            QVERIFY(QTest::qWaitFor([&] { return panel->isVisible(); }, 2000));
            auto* graphs = const_cast<analysis::BunsekiGraphListList*>(panel->state().graphs);
            QVERIFY(graphs);
            const QByteArray where(market::periodLetter(period).data());
            analysis::BunsekiGraphList* ma5 = graphs->find("移動平均5");
            QVERIFY2(ma5, where.constData());
            std::size_t valued = 0;
            for (std::size_t i = 0; i < ma5->count(); ++i)
                valued += ma5->hasValue(i) ? 1 : 0;
            QVERIFY2(valued > 0, where.constData());
            QVERIFY2(pixelsOf(panel->plotArea()->cleanCopy(), crimson) > 10, where.constData());
            if (period == market::ChartPeriod::Year)
                continue; // eleven years: too few bars for a band of twenty
            // The band stands around its middle wherever all three have a value.
            analysis::BunsekiGraphList* upper = graphs->find("ボリンジャー20 +2σ");
            analysis::BunsekiGraphList* middle = graphs->find("ボリンジャー20 中心");
            analysis::BunsekiGraphList* lower = graphs->find("ボリンジャー20 -2σ");
            QVERIFY2(upper && middle && lower, where.constData());
            std::size_t banded = 0;
            for (std::size_t i = 0; i < middle->count(); ++i) {
                if (!middle->hasValue(i))
                    continue;
                QVERIFY2(upper->hasValue(i) && lower->hasValue(i), where.constData());
                QVERIFY2(upper->number(i) >= middle->number(i) && middle->number(i) >= lower->number(i),
                         where.constData());
                ++banded;
            }
            QVERIFY2(banded > 0, where.constData());
        }
    }
};

QTEST_MAIN(BunsekiP2Test)
#include "BunsekiP2Test.moc"
