#include "app/MainPanel.h"

#include "app/AppIcon.h"
#include "app/HomeLeftPanel.h"
#include "app/HomePanel.h"
#include "app/PrintRoute.h"
#include "app/PropertyPanels.h"
#include "app/VersionDialog.h"
#include "app/core/AppContext.h"
#include "app/core/Commands.h"
#include "app/core/Startup.h"
#include "csv/ui/DataTorikomiPage.h"
#include "csv/ui/PriceJobsController.h"
#include "framework/ui/Browser.h"
#include "framework/ui/MessageBox.h"
#include "framework/ui/NoticePopup.h"
#include "framework/ui/PropertyDialog.h"
#include "framework/ui/ShadowPanel.h"
#include "framework/ui/SideSheetPanel.h"
#include "framework/ui/StatusBar.h"
#include "framework/ui/TabPage.h"
#include "framework/ui/TitleTabBar.h"
#include "settings/SettingsStore.h"
#include "settings/ui/SettingsPage.h"

#include <QMenu>
#include <QUrl>

namespace tavora::app {

using framework::ui::MessageBox;
using framework::ui::StatusBar;

namespace {
const char* const kUnsavedText =
    "編集中のデータがあります。このまま他の処理に移った場合それらのデータは保存されません。"
    "\r\n未保存のままでよろしいですか?";
const char* const kUpdateQuestion =
    "アップロードボタンが押されました。ソフトウエアを閉じてソフトウエアの更新作業を実行してもよろしいですか?"
    "（更新作業はソフトウエアの終了後に行われます）";
constexpr int HelpMenuWidth = 250;

enum HelpItem : int { HelpManual, HelpUpdate, HelpInfo, HelpHistory, HelpBoard };
} // namespace

MainPanel::MainPanel(AppContext& ctx, framework::ui::TitleTabBar* tabs, QWidget* parent)
    : QWidget(parent), m_ctx(ctx), m_tabs(tabs), m_status(new StatusBar(this)), m_home(nullptr),
      m_shadow(new framework::ui::ShadowPanel(this)), m_sheet(nullptr),
      m_notice(new framework::ui::NoticePopup(appIcon(), this)) {
    setObjectName("maintpanel");
    m_home = new HomePanel(ctx, m_status, this);
    m_sheet = new framework::ui::PropertyDialog(this, m_shadow, StatusBar::Height);
    m_sheet->hide();
    connect(m_home, &HomePanel::command, this, [this](Command cmd, int param) { onCommand(cmd, param); });
    connect(m_sheet, &framework::ui::PropertyDialog::applyRequested, this,
            [this] { onCommand(Command::SheetApply); });
    connect(m_sheet, &framework::ui::PropertyDialog::closeRequested, this,
            [this] { onCommand(Command::CloseSheet); });
    connect(m_notice, &framework::ui::NoticePopup::clicked, this,
            [this] { onCommand(Command::NoticeClicked); });
    if (m_tabs) {
        connect(m_tabs, &framework::ui::TitleTabBar::tabSelected, this, &MainPanel::selectTab);
        // The import and settings pages arrive with their own subsystems; until then their
        // tabs cannot be chosen.
        m_tabs->setTabEnabled(TabImport, false);
        m_tabs->setTabEnabled(TabSettings, false);
    }
    buildHelpMenu();
    installImportPage();
    auto* settingsPage = new settings::ui::SettingsPage(ctx);
    connect(settingsPage, &settings::ui::SettingsPage::command, this,
            [this](Command cmd) { onCommand(cmd); });
    connect(settingsPage, &settings::ui::SettingsPage::statusText, m_status, &StatusBar::setText);
    installPage(TabSettings, settingsPage);
    m_properties = new PropertyPanels(ctx, *this, *m_home, *m_status);
}

void MainPanel::installImportPage() {
    csv::ui::DataPageHost host;
    host.addSheetPanel = [this](framework::ui::SideSheetPanel* p) { addSheetPanel(p); };
    host.openSheet = [this](framework::ui::SideSheetPanel* p, int width) { showSheetPanel(p, width); };
    host.closeSheet = [this] { return closeSideSheet(); };
    host.reopenCurrentCode = [this](const QString& statusText) { m_home->reopenThenShow(statusText); };
    host.status = m_status;
    // Made before the page: destroyed first, it ends a running job while the page is there.
    m_priceJobs = new csv::ui::PriceJobsController(m_ctx, host, this);
    m_import = new csv::ui::DataTorikomiPage(m_ctx, std::move(host), *m_priceJobs);
    installPage(TabImport, m_import);
    m_home->toolColumn()->setCommandEnabled(Command::OpenCodeData, true);
}

void MainPanel::leaveVisiblePage() {
    if (auto* p = page(m_visiblePage))
        p->leavePage();
}

MainPanel::~MainPanel() = default;

framework::ui::TabPage* MainPanel::page(int tab) const {
    return tab == TabImport || tab == TabSettings ? m_pages[std::size_t(tab)] : nullptr;
}

void MainPanel::installPage(Tab tab, framework::ui::TabPage* p) {
    if (tab != TabImport && tab != TabSettings)
        return;
    p->setParent(this);
    p->hide();
    m_pages[std::size_t(tab)] = p;
    if (m_tabs)
        m_tabs->setTabEnabled(tab, true);
    layoutPages();
}

void MainPanel::addSheetPanel(framework::ui::SideSheetPanel* panel) {
    m_sheet->addPanel(panel);
}

void MainPanel::showSheetPanel(framework::ui::SideSheetPanel* panel, int width) {
    m_sheet->openPanel(panel, width);
}

bool MainPanel::confirmLeaving(const QString& caption) {
    return MessageBox::askYesNo(this, QString::fromUtf8(kUnsavedText), caption) == QMessageBox::Yes;
}

bool MainPanel::closeSideSheet() {
    auto* panel = m_sheet->currentPanel();
    if (m_sheet->isOpen() && panel && panel->hasUnsavedChanges() && !confirmLeaving(panel->panelName()))
        return false;
    if (m_sheet->isOpen())
        m_sheet->closeSheet();
    return true;
}

QSize MainPanel::minimumSizeHint() const {
    return m_home->minimumSizeHint() + QSize(0, StatusBar::Height);
}

void MainPanel::resizeEvent(QResizeEvent*) {
    layoutPages();
}

void MainPanel::layoutPages() {
    const int w = width();
    const int h = height();
    m_status->setGeometry(0, h - StatusBar::Height, w, StatusBar::Height);
    const QRect pageRect(0, 0, w, std::max(0, h - StatusBar::Height));
    m_home->setGeometry(pageRect);
    m_home->relayoutCharts(); // at once: a hidden window delivers its resize events late
    for (auto* p : m_pages)
        if (p)
            p->setGeometry(pageRect);
    m_sheet->relayout();
}

void MainPanel::selectTab(int index, int previous) {
    auto putBack = [this](int tab) {
        if (m_tabs)
            m_tabs->setCurrentIndex(tab);
    };
    if (index == TabHelp) {
        putBack(previous);
        openHelpMenu();
        return;
    }
    auto* panel = m_sheet->currentPanel();
    if (m_sheet->isOpen() && panel && panel->hasUnsavedChanges()) {
        if (!confirmLeaving(panel->panelName())) {
            putBack(previous);
            return;
        }
        m_sheet->closeSheet();
    }
    if (m_visiblePage == TabSettings && index != TabSettings) {
        auto* settings = page(TabSettings);
        if (settings && settings->hasUnsavedChanges() &&
            !confirmLeaving(QString("設定 %1").arg(settings->pageName()))) {
            putBack(TabSettings);
            return;
        }
    }
    if (m_visiblePage == TabImport && index != TabImport)
        if (auto* import = page(TabImport))
            import->leavePage();

    auto* chosen = page(index);
    if (index != TabHome && !chosen) {
        putBack(m_visiblePage); // no page behind this tab yet
        return;
    }
    m_home->hide();
    for (auto* p : m_pages)
        if (p)
            p->hide();
    // A message belongs to the page it was said on ("保存しました"); a running job's progress
    // stays.
    if (index != m_visiblePage && !m_status->isWaiting())
        m_status->setText(QString());
    m_visiblePage = index;
    if (index == TabHome) {
        m_home->show();
        m_home->relayoutCharts();
    } else {
        chosen->show();
        chosen->initPanel();
    }
    m_sheet->raise();
}

void MainPanel::buildHelpMenu() {
    m_helpMenu = new QMenu(this);
    m_helpMenu->setObjectName("helpmenu");
    m_helpMenu->setFixedWidth(HelpMenuWidth);
    const char* const items[] = {"マニュアル", "ソフトウエアアップロード", "ソフトウエア情報",
                                 "バージョン履歴", "サポート掲示板"};
    for (int i = 0; i < 5; ++i) {
        QAction* a = m_helpMenu->addAction(QString::fromUtf8(items[i]));
        connect(a, &QAction::triggered, this, [this, i] { helpAction(i); });
    }
}

void MainPanel::openHelpMenu() {
    QPoint at = mapToGlobal(QPoint(0, 0));
    if (m_tabs) {
        const QRect tab = m_tabs->tabRect(TabHelp);
        at = m_tabs->mapToGlobal(QPoint(tab.left(), tab.bottom() - 5));
    }
    m_helpMenu->popup(at);
}

void MainPanel::openSitePage(const QString& path, const QString& caption) {
    framework::ui::Browser::open(this, QUrl(QString::fromStdString(m_ctx.settings.site_url) + path), caption);
}

void MainPanel::helpAction(int item) {
    switch (item) {
    case HelpManual:
        openSitePage("/manual/manual_index.html", "マニュアル");
        break;
    case HelpHistory:
        openSitePage("/download.html#sousa_4", "バージョン履歴");
        break;
    case HelpBoard:
        openSitePage("/bbs/patio.cgi", "サポート掲示板");
        break;
    case HelpInfo:
        if (!m_version)
            m_version = new VersionDialog(m_ctx, window());
        m_version->showCentred();
        break;
    case HelpUpdate:
        if (MessageBox::askYesNo(this, QString::fromUtf8(kUpdateQuestion), "ソフトウエア更新") ==
            QMessageBox::Yes) {
            m_ctx.updateOnExit = true;
            emit closeRequested();
        }
        break;
    default:
        break;
    }
}

void MainPanel::showUpdateNotice(const QString& text) {
    m_notice->showNotice(text, Qt::white, 500);
}

void MainPanel::onCommand(Command command, int param) {
    switch (command) {
    case Command::SheetApply:
        if (auto* panel = m_sheet->currentPanel(); panel && !panel->applyChanges())
            break; // the panel keeps its edits and has said why
        m_sheet->closeSheet();
        break;
    case Command::CloseSheet:
        closeSideSheet();
        break;
    case Command::OpenColor:
    case Command::OpenBunseki:
    case Command::OpenCtrlProp:
        m_properties->onCommand(command, param);
        break;
    case Command::HelpMenu:
        openHelpMenu();
        break;
    case Command::Print:
        openPrintDialog(m_print, m_ctx, *m_home, this, window());
        break;
    case Command::NoticeClicked:
        emit showWindowRequested();
        openHelpMenu(); // as the help tab does, without changing the page
        break;
    case Command::Minimize:
        emit minimizeRequested();
        break;
    case Command::StoreAdView:
        settings::SettingsStore(m_ctx.paths.setteiDb)
            .write({{"adpanel_view_type", m_ctx.settings.adpanel_view_type}});
        break;
    case Command::StoreScale:
        storeCurrentCodeScale(m_ctx);
        break;
    case Command::OpenCodeData:
    case Command::RefreshImportFolder:
        m_import->onCommand(command);
        break;
    case Command::Backup: // from the settings page (the import page carries out its own)
    case Command::Restore:
        m_priceJobs->onCommand(command);
        break;
    case Command::DownloadPage:
        openSitePage("/kabukadata_download.html", "マニュアル");
        break;
    case Command::FirstCode:
    case Command::PrevCode:
    case Command::NextCode:
    case Command::LastCode:
    case Command::Refresh:
    case Command::ToggleFavourite:
    case Command::FavouritesOnly:
    case Command::ReloadCodeList:
        m_home->onCommand(command, param); // the Home page carries these out
        break;
    default:
        // Commands of subsystems that are not part of the program yet have no route; their
        // buttons are disabled, so nothing reaches here from the user.
        break;
    }
}

} // namespace tavora::app
