#pragma once
// The main panel over a small real market, for tests of the side-sheet panels: one code with
// day bars, the shipped analysis graphs seeded into bunseki.db, settei.db in the same folder.
// Header only: QtTest executables link the UI library.
#include "analysis/BunsekiTable.h"
#include "app/HomePanel.h"
#include "app/MainPanel.h"
#include "app/core/AppContext.h"
#include "framework/ui/PropertyDialog.h"
#include "support/SampleMarket.h"
#include "support/TempDir.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace tavora::test {

struct DeskWindow {
    TempDir dir;
    app::AppContext ctx;
    std::unique_ptr<app::MainPanel> main;

    explicit DeskWindow(const std::vector<SampleCode>& codes = {{"1001", "極東電機", 300, 1000}}) {
        buildSampleContext(ctx, dir.path(), codes);
        ctx.paths.bunsekiDb = (dir.path() / "bunseki.db").string();
        ctx.paths.bunsekiCsv = std::string(TAVORA_DATA_DIR) + "/others/bunseki.csv";
        analysis::SeedBunsekiTable(ctx.paths.bunsekiCsv, ctx.paths.bunsekiDb, ctx.bunsekiList);
        main = std::make_unique<app::MainPanel>(ctx, nullptr, nullptr);
        main->resize(1300, 760);
        main->show();
    }

    app::HomePanel* home() const { return main->homePanel(); }
    framework::ui::PropertyDialog* sheet() const { return main->sideSheet(); }

    // Opens the first code on the UI thread (as the first layout does).
    bool openFirstCode() {
        ctx.currentCode = 0;
        home()->openCurrentCode();
        return home()->series() != nullptr;
    }
    // Sends a command to the main panel and waits until the side sheet stops sliding.
    bool command(app::Command cmd, int param = 0) {
        main->onCommand(cmd, param);
        return settle();
    }
    bool settle() {
        return QTest::qWaitFor([&] { return !sheet()->isSliding(); }, 5000);
    }
    QPushButton* applyButton() const { return main->findChild<QPushButton*>("sheetapply"); }
};

} // namespace tavora::test
