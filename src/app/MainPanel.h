#pragma once
// The main panel below the title bar: it switches the pages of the title-bar tabs, hosts
// the side sheet in which property and data panels open, shows the help menu and the notice
// pop-up, and routes the numbered commands of its children to the code that carries them
// out. It holds no subsystem logic of its own. UI thread only.
#include "app/core/Commands.h"

#include <QWidget>

#include <array>

class QMenu;

namespace tavora::framework::ui {
class NoticePopup;
class PropertyDialog;
class ShadowPanel;
class SideSheetPanel;
class StatusBar;
class TabPage;
class TitleTabBar;
}  // namespace tavora::framework::ui
namespace tavora::printing::ui {
class DataPrintDialog;
}

namespace tavora::csv::ui {
class DataTorikomiPage;
class PriceJobsController;
} // namespace tavora::csv::ui

namespace tavora::app {

struct AppContext;
class HomePanel;
class PropertyPanels;
class VersionDialog;

class MainPanel : public QWidget {
    Q_OBJECT
public:
    enum Tab : int { TabHome = 0, TabImport = 1, TabSettings = 2, TabHelp = 3 };

    MainPanel(AppContext& ctx, framework::ui::TitleTabBar* tabs, QWidget* parent);
    ~MainPanel() override;

    HomePanel* homePanel() const { return m_home; }
    // The colour, analysis-graph and annotation property panels of the side sheet.
    PropertyPanels* propertyPanels() const { return m_properties; }
    framework::ui::StatusBar* statusBar() const { return m_status; }
    framework::ui::PropertyDialog* sideSheet() const { return m_sheet; }
    framework::ui::NoticePopup* noticePopup() const { return m_notice; }
    QMenu* helpMenu() const { return m_helpMenu; }
    // The page shown now (Home, import or settings).
    int visiblePage() const { return m_visiblePage; }

    // Puts the page of the import or settings tab in place and enables its tab. Takes ownership.
    void installPage(Tab tab, framework::ui::TabPage* page);
    // Side-sheet panels are added once and opened by their commands.
    void addSheetPanel(framework::ui::SideSheetPanel* panel);
    void showSheetPanel(framework::ui::SideSheetPanel* panel, int width);
    // Closes the side sheet after asking about unsaved changes; false when the user kept it.
    bool closeSideSheet();

    // Places the status bar, the pages and the side sheet for the current size.
    void layoutPages();
    // The Home page's smallest size and the status bar.
    QSize minimumSizeHint() const override;

    // The update notice of the shutdown hand-off: slides in towards 500 pixels.
    void showUpdateNotice(const QString& text);

    // The データ取込 page (it carries out its own commands).
    csv::ui::DataTorikomiPage* importPage() const { return m_import; }
    // The backup, restore and download shared by the import and settings pages.
    csv::ui::PriceJobsController* priceJobs() const { return m_priceJobs; }
    // At exit: the page shown is left as a tab change leaves it (the import page keeps its mapping).
    void leaveVisiblePage();

public slots:
    void onCommand(tavora::app::Command command, int param = 0);
    void selectTab(int index, int previous);

signals:
    void minimizeRequested();
    void closeRequested();  // the software update asked to end the program
    void showWindowRequested();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildHelpMenu();
    void installImportPage();
    void openHelpMenu();
    void helpAction(int item);
    void openSitePage(const QString& path, const QString& caption);
    bool confirmLeaving(const QString& caption);
    framework::ui::TabPage* page(int tab) const;

    AppContext& m_ctx;
    framework::ui::TitleTabBar* m_tabs;
    framework::ui::StatusBar* m_status;
    HomePanel* m_home;
    std::array<framework::ui::TabPage*, 3> m_pages{};  // indexed by Tab; Home is m_home
    framework::ui::ShadowPanel* m_shadow;
    framework::ui::PropertyDialog* m_sheet;
    framework::ui::NoticePopup* m_notice;
    PropertyPanels* m_properties = nullptr;
    VersionDialog* m_version = nullptr;
    printing::ui::DataPrintDialog* m_print = nullptr;  // made on first use
    csv::ui::PriceJobsController* m_priceJobs = nullptr;
    csv::ui::DataTorikomiPage* m_import = nullptr;
    QMenu* m_helpMenu = nullptr;
    int m_visiblePage = TabHome;
};

}  // namespace tavora::app
