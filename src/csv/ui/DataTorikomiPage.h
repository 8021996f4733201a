#pragma once
// The データ取込 page: the import folder with its buttons above, the column mapping and a live
// preview of the first file below. It lays these out and routes its commands: registration
// (with its side-sheet panel), the per-code export and import and the old-format listing it
// carries out itself; the KABU+ download, backup and restore go to the price jobs it shares
// with the settings page. Its price-database jobs run one at a time on the price jobs' runner;
// after a registration the current code is opened again. While a registration or a download
// runs, its button reads "中止" and stops it. The mapping is loaded when the page is shown and
// stored when it is left and at exit. UI thread only.
#include "app/core/Commands.h"
#include "csv/ui/DataPageHost.h"
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
namespace tavora::csv {
struct CodeImportResult;
struct CsvPreview;
struct RegistrationResult;
} // namespace tavora::csv

namespace tavora::csv::ui {

class CodeDataPanel;
class CsvFilePanel;
class CsvMappingPanel;
class CsvPreviewTable;
class CsvRegisterPanel;
class OldDataPanel;
class PreviewLoader;
class PriceJobsController;

class DataTorikomiPage : public framework::ui::TabPage {
    Q_OBJECT
public:
    // `priceJobs` outlives the page.
    DataTorikomiPage(app::AppContext& ctx, DataPageHost host, PriceJobsController& priceJobs,
                     QWidget* parent = nullptr);
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
    CodeDataPanel* codeDataPanel() const { return m_codeData; }
    PriceJobRunner* jobs() const;

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
    void startDownload();
    // The button of `command` reads "中止" and stops the job just started until it ends.
    void showStopOn(app::Command command);
    void jobEnded();
    void reopenThenSay(const QString& text);
    void openCodeData();
    void exportCode();
    void importCode();
    void showCodeImport(const CodeImportResult& result);
    void status(const QString& text);
    QString currentCode() const;

    app::AppContext& m_ctx;
    DataPageHost m_host;
    CsvFilePanel* m_files;
    CsvMappingPanel* m_mapping;
    CsvPreviewTable* m_preview;
    CsvRegisterPanel* m_register;
    OldDataPanel* m_oldData;
    CodeDataPanel* m_codeData;
    PriceJobsController& m_priceJobs;
    PreviewLoader* m_previewLoader;
    QTimer* m_previewTimer;
    bool m_registerPreviewWanted = false; // the next preview goes to the register panel too
    std::optional<app::Command> m_cancelCommand; // the button that stops the running job, if any
    QString m_cancelCaption;
};

} // namespace tavora::csv::ui
