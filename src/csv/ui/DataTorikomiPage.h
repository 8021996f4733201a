#pragma once
// The データ取込 page: the import folder with its buttons above, the column mapping and a live
// preview of the first file below. It carries out its commands itself: registration (with its
// side-sheet panel), the KABU+ download, backup and restore, the per-code export and import,
// and the old-format listing. The price-database jobs run one at a time on a worker
// (PriceJobRunner); after a registration or a restore the current code is opened again. The
// mapping is loaded when the page is shown and stored when it is left and at exit.
// UI thread only.
#include "app/core/Commands.h"
#include "csv/ui/PriceJobRunner.h"
#include "framework/ui/TabPage.h"

#include <QPointer>

#include <functional>
#include <memory>
#include <optional>

class QTimer;

namespace tavora::app {
struct AppContext;
}
namespace tavora::framework::ui {
class SideSheetPanel;
class StatusBar;
} // namespace tavora::framework::ui
namespace tavora::csv {
struct CsvPreview;
struct RegistrationResult;
} // namespace tavora::csv

namespace tavora::csv::ui {

class BackupRestorePanel;
class CodeDataPanel;
class CsvFilePanel;
class CsvMappingPanel;
class CsvPreviewTable;
class CsvRegisterPanel;
class OldDataPanel;
class PreviewLoader;

// What the page needs from the main window.
struct DataPageHost {
    std::function<void(framework::ui::SideSheetPanel*)> addSheetPanel;
    std::function<void(framework::ui::SideSheetPanel*, int width)> openSheet;
    std::function<bool()> closeSheet; // false when the user kept the sheet open
    // Opens the current code again and then shows `statusText` (the opening clears the text).
    std::function<void(const QString& statusText)> reopenCurrentCode;
    framework::ui::StatusBar* status = nullptr;
};

class DataTorikomiPage : public framework::ui::TabPage {
    Q_OBJECT
public:
    DataTorikomiPage(app::AppContext& ctx, DataPageHost host, QWidget* parent = nullptr);
    ~DataTorikomiPage() override;

    QString pageName() const override { return "データ取込"; }
    void initPanel() override;
    void leavePage() override;

    // Carries out a command; false for a command that is not the page's.
    bool onCommand(app::Command command);
    // Writes the mapping's DT_ keys (leaving the page, exit).
    void storeMapping();

    CsvFilePanel* filePanel() const { return m_files; }
    CsvMappingPanel* mappingPanel() const { return m_mapping; }
    CsvPreviewTable* previewTable() const { return m_preview; }
    CsvRegisterPanel* registerPanel() const { return m_register; }
    OldDataPanel* oldDataPanel() const { return m_oldData; }
    BackupRestorePanel* restorePanel() const { return m_restore; }
    CodeDataPanel* codeDataPanel() const { return m_codeData; }
    PriceJobRunner* jobs() const { return m_jobs; }

signals:
    // A registration ended and its result is shown (the status text is in the status bar).
    void registrationShown(const QString& statusText);
    // A job of the page ended.
    void jobFinished();

private:
    void schedulePreview();
    void showPreview(std::shared_ptr<const CsvPreview> preview);
    void openRegisterPanel();
    void startRegistration();
    void showRegistration(const RegistrationResult& result);
    void openOldData();
    void openRestorePanel();
    // Asks before the price database is replaced by backup `name`, then restores it.
    void confirmRestore(const QString& name);
    void startRestore(const QString& name, bool backupFirst);
    void startBackup();
    void startDownload();
    // Starts a job whose button (`cancelCommand`) reads "中止" and stops it until it ends.
    bool startJob(market::PriceJob job, app::Command cancelCommand, PriceJobRunner::Work work);
    void jobEnded();
    void reopenThenSay(const QString& text);
    void openCodeData();
    void exportCode();
    void importCode();
    void status(const QString& text);
    QString currentCode() const;

    app::AppContext& m_ctx;
    DataPageHost m_host;
    CsvFilePanel* m_files;
    CsvMappingPanel* m_mapping;
    CsvPreviewTable* m_preview;
    CsvRegisterPanel* m_register;
    OldDataPanel* m_oldData;
    BackupRestorePanel* m_restore;
    CodeDataPanel* m_codeData;
    PriceJobRunner* m_jobs;
    PreviewLoader* m_previewLoader;
    QTimer* m_previewTimer;
    bool m_registerPreviewWanted = false; // the next preview goes to the register panel too
    std::optional<app::Command> m_cancelCommand; // the button that stops the running job, if any
    QString m_cancelCaption;
};

} // namespace tavora::csv::ui
