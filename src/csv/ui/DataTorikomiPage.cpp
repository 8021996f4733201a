#include "csv/ui/DataTorikomiPage.h"

#include "market/StockCode.h"

#include "app/core/AppContext.h"
#include "csv/CodeCsv.h"
#include "csv/CsvMappingStore.h"
#include "csv/OldData.h"
#include "csv/PriceRegistration.h"
#include "csv/ui/CodeDataPanel.h"
#include "csv/ui/CsvFilePanel.h"
#include "csv/ui/CsvMappingPanel.h"
#include "csv/ui/CsvPreviewTable.h"
#include "csv/ui/CsvRegisterPanel.h"
#include "csv/ui/OldDataPanel.h"
#include "csv/ui/PreviewLoader.h"
#include "csv/ui/PriceJobRunner.h"
#include "csv/ui/PriceJobsController.h"
#include "framework/Files.h"
#include "framework/ui/FileDialog.h"
#include "framework/ui/MessageBox.h"
#include "framework/ui/StatusBar.h"
#include "market/PriceDatabase.h"
#include "market/StockCode.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QTimer>
#include <QVBoxLayout>

namespace tavora::csv::ui {

using framework::ui::MessageBox;

namespace {

constexpr int PreviewDelayMs = 300; // typing in a title field settles before the file is read again
constexpr int RefusedFilesShown = 10;

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

// One status line for a registration: "N 件登録", then the rows skipped, the files refused
// (the first named with its reason) and a cancel, when there are any.
QString registrationStatusText(const RegistrationResult& result) {
    if (!result.error.empty())
        return qs(result.error);
    std::size_t skipped = 0;
    const FileRegistration* firstRefused = nullptr;
    for (const auto& file : result.files) {
        skipped += file.stored ? file.rowsSkipped : 0;
        if (!file.stored && !firstRefused)
            firstRefused = &file;
    }
    QStringList more;
    if (skipped > 0)
        more << QString("スキップ %1行").arg(skipped);
    if (const std::size_t refused = result.filesRefused(); refused > 0 && firstRefused)
        more << QString("登録できなかったファイル %1件: %2: %3%4")
                    .arg(refused)
                    .arg(qs(firstRefused->path.filename().string()), qs(firstRefused->refusal),
                         refused > 1 ? QString(" ほか") : QString());
    if (result.cancelled)
        more << "中止しました";
    QString text = qs(registeredCountText(result.rowsStored));
    if (!more.isEmpty())
        text += "（" + more.join("、") + "）";
    return text;
}

} // namespace

DataTorikomiPage::DataTorikomiPage(app::AppContext& ctx, DataPageHost host, PriceJobsController& priceJobs,
                                   QWidget* parent)
    : TabPage(parent), m_ctx(ctx), m_host(std::move(host)), m_files(new CsvFilePanel(this)),
      m_mapping(new CsvMappingPanel(this)), m_preview(new CsvPreviewTable(this)),
      m_register(new CsvRegisterPanel), m_oldData(new OldDataPanel), m_codeData(new CodeDataPanel),
      m_priceJobs(priceJobs), m_previewLoader(new PreviewLoader(this)), m_previewTimer(new QTimer(this)) {
    setObjectName("DataTorikomi");
    setAutoFillBackground(true);

    // The mapping takes the height its ten rows need; the file list takes the rest.
    auto* lower = new QWidget(this);
    lower->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto* lowerLayout = new QHBoxLayout(lower);
    lowerLayout->setContentsMargins(0, 0, 0, 0);
    lowerLayout->addWidget(m_mapping);
    auto* previewBox = new QVBoxLayout;
    previewBox->addWidget(new QLabel("先頭のファイルの読込み結果", lower));
    previewBox->addWidget(m_preview, 1);
    lowerLayout->addLayout(previewBox, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_files, 1);
    layout->addWidget(lower);

    for (framework::ui::SideSheetPanel* panel :
         std::initializer_list<framework::ui::SideSheetPanel*>{m_register, m_oldData, m_codeData})
        if (m_host.addSheetPanel) {
            m_host.addSheetPanel(panel);
        } else { // without a side sheet the page keeps them, hidden
            panel->setParent(this);
            panel->hide();
        }
    m_files->setFolder(m_ctx.paths.csvWorkDir);

    m_previewTimer->setSingleShot(true);
    m_previewTimer->setInterval(PreviewDelayMs);
    connect(m_previewTimer, &QTimer::timeout, this, [this] {
        if (m_files->files().empty()) {
            m_preview->showMessage("計　（登録するCSVファイルがありません）");
            return;
        }
        m_previewLoader->load(m_files->files().front(), m_mapping->mapping());
    });
    connect(m_previewLoader, &PreviewLoader::loaded, this, &DataTorikomiPage::showPreview);
    connect(m_mapping, &CsvMappingPanel::mappingChanged, this, &DataTorikomiPage::schedulePreview);
    connect(m_files, &CsvFilePanel::command, this, [this](app::Command cmd) { onCommand(cmd); });
    connect(m_files, &CsvFilePanel::message, this, &DataTorikomiPage::status);
    connect(m_files, &CsvFilePanel::filesChanged, this, &DataTorikomiPage::schedulePreview);
    connect(m_register, &CsvRegisterPanel::runRequested, this,
            [this] { onCommand(app::Command::RunRegistration); });
    connect(m_register, &CsvRegisterPanel::backupToggled, this,
            [this](bool on) { m_ctx.settings.buckupcreate_ch = on; });
    connect(m_codeData, &CodeDataPanel::exportRequested, this,
            [this] { onCommand(app::Command::ExportCode); });
    connect(m_codeData, &CodeDataPanel::importRequested, this,
            [this] { onCommand(app::Command::ImportCode); });
    connect(jobs(), &PriceJobRunner::finished, this, &DataTorikomiPage::jobEnded);
    connect(&m_priceJobs, &PriceJobsController::downloadEnded, this, [this] {
        m_files->refresh(); // the files it stored
        schedulePreview();
    });

    m_mapping->setMapping(loadCsvMapping(m_ctx.paths.setteiDb));
}

DataTorikomiPage::~DataTorikomiPage() = default;

PriceJobRunner* DataTorikomiPage::jobs() const {
    return m_priceJobs.runner();
}

void DataTorikomiPage::initPanel() {
    m_mapping->setMapping(loadCsvMapping(m_ctx.paths.setteiDb));
    m_files->refresh();
    schedulePreview();
}

void DataTorikomiPage::leavePage() {
    storeMapping();
}

void DataTorikomiPage::storeMapping() {
    if (!storeCsvMapping(m_ctx.paths.setteiDb, m_mapping->mapping()))
        status("取込み設定を保存できませんでした");
}

bool DataTorikomiPage::onCommand(app::Command command) {
    // While a registration or a download runs, its button stops it.
    if (command == m_cancelCommand) {
        jobs()->cancel();
        status("中止しています…");
        return true;
    }
    switch (command) {
    case app::Command::Download:
        startDownload();
        return true;
    case app::Command::Register:
        openRegisterPanel();
        return true;
    case app::Command::RunRegistration:
        startRegistration();
        return true;
    case app::Command::OldData:
        openOldData();
        return true;
    case app::Command::Restore:
        m_priceJobs.openRestorePanel();
        return true;
    case app::Command::ImportCode:
        importCode();
        return true;
    case app::Command::ExportCode:
        exportCode();
        return true;
    case app::Command::Backup:
        m_priceJobs.startBackup();
        return true;
    case app::Command::OpenCodeData:
        openCodeData();
        return true;
    case app::Command::RefreshImportFolder:
        m_files->refresh();
        schedulePreview();
        return true;
    default:
        return false;
    }
}

void DataTorikomiPage::status(const QString& text) {
    if (m_host.status)
        m_host.status->setText(text);
}

QString DataTorikomiPage::currentCode() const {
    if (!m_ctx.currentCode || *m_ctx.currentCode >= m_ctx.catalogue.size())
        return {};
    return qs(m_ctx.catalogue[*m_ctx.currentCode].code);
}

// ---- preview and registration

void DataTorikomiPage::schedulePreview() {
    m_previewTimer->start();
}

void DataTorikomiPage::showPreview(std::shared_ptr<const CsvPreview> preview) {
    m_preview->showPreview(*preview);
    if (m_registerPreviewWanted) {
        m_registerPreviewWanted = false;
        m_register->preview()->showPreview(*preview);
    }
}

void DataTorikomiPage::openRegisterPanel() {
    m_files->refresh();
    if (m_files->files().empty()) {
        MessageBox::information(this, "csvファイルをドラッグアンドドロップで登録してください。", pageName());
        return;
    }
    m_register->preview()->showMessage("計　（読込み中）");
    m_register->setBackup(m_ctx.settings.buckupcreate_ch);
    m_registerPreviewWanted = true;
    m_previewTimer->stop();
    m_previewLoader->load(m_files->files().front(), m_mapping->mapping());
    if (m_host.openSheet)
        m_host.openSheet(m_register, CsvRegisterPanel::Width);
}

void DataTorikomiPage::startRegistration() {
    if (m_host.closeSheet && !m_host.closeSheet())
        return;
    m_files->refresh();
    RegistrationRequest request;
    request.files = m_files->files();
    if (request.files.empty()) {
        MessageBox::information(this, "csvファイルをドラッグアンドドロップで登録してください。", pageName());
        return;
    }
    request.mapping = m_mapping->mapping();
    request.priceDbDir = m_ctx.paths.priceDbDir;
    request.backupDir = m_ctx.paths.backupDir;
    request.backupFirst = m_ctx.settings.buckupcreate_ch;
    for (const auto& entry : m_ctx.catalogue)
        request.catalogueCodes.push_back(entry.code);
    storeMapping(); // the mapping a registration used is the one kept
    // The runner belongs to the price jobs, which may outlive the page: the result finds the
    // page only while it is there.
    const bool started = jobs()->start(
        market::PriceJob::Registration,
        [page = QPointer(this), request](framework::ProgressSink& progress, const std::atomic<bool>& cancel,
                                         market::PriceJobGuard::Ticket&) -> PriceJobRunner::Done {
            auto result =
                std::make_shared<RegistrationResult>(registerPriceFiles(request, progress, &cancel));
            return [page, result] {
                if (page)
                    page->showRegistration(*result);
            };
        });
    if (started)
        showStopOn(app::Command::Register);
}

void DataTorikomiPage::showRegistration(const RegistrationResult& result) {
    const QString text = registrationStatusText(result);
    const std::size_t refused = result.filesRefused();
    status(text);
    if (!result.error.empty()) {
        MessageBox::warning(this, qs(result.error), "CSVデータを登録");
    } else if (refused > 0) {
        QStringList lines;
        for (const auto& file : result.files)
            if (!file.stored && lines.size() < RefusedFilesShown)
                lines << qs(file.path.filename().string()) + ": " + qs(file.refusal);
        if (refused > static_cast<std::size_t>(lines.size()))
            lines << QString("ほか %1件").arg(refused - static_cast<std::size_t>(lines.size()));
        MessageBox::warning(this, "次のファイルは登録されませんでした。\n" + lines.join("\n"),
                            "CSVデータを登録");
    }
    if (result.rowsStored > 0)
        reopenThenSay(text);
    emit registrationShown(text);
}

// ---- old data

void DataTorikomiPage::openOldData() {
    std::size_t total = 0;
    const auto names = listOldCodeFolders(m_ctx.paths.codeDir, &total);
    m_oldData->setFolders(names, total);
    if (m_host.openSheet)
        m_host.openSheet(m_oldData, OldDataPanel::Width);
}

// ---- jobs shared with the settings page

void DataTorikomiPage::startDownload() {
    if (m_priceJobs.startDownload())
        showStopOn(app::Command::Download);
}

void DataTorikomiPage::showStopOn(app::Command command) {
    m_cancelCommand = command;
    if (auto* button = m_files->button(command)) {
        m_cancelCaption = button->text();
        button->setText("中止");
    }
}

void DataTorikomiPage::reopenThenSay(const QString& text) {
    if (m_host.reopenCurrentCode)
        m_host.reopenCurrentCode(text);
}

void DataTorikomiPage::jobEnded() {
    if (auto* button = m_cancelCommand ? m_files->button(*m_cancelCommand) : nullptr)
        button->setText(m_cancelCaption);
    m_cancelCommand.reset();
    emit jobFinished();
}

// ---- per-code export and import

void DataTorikomiPage::openCodeData() {
    m_codeData->prepare(currentCode());
    if (m_host.openSheet)
        m_host.openSheet(m_codeData, CodeDataPanel::Width);
}

void DataTorikomiPage::exportCode() {
    const std::string code = m_codeData->code().toStdString();
    std::vector<market::PriceRow> rows;
    CodeExportResult read = readCodeRows(m_ctx.priceDb, code, rows);
    if (!read.ok) {
        m_codeData->setResult(qs(read.message));
        return;
    }
    const QString path = framework::ui::FileDialog::saveFile(
        window(), "CSVファイルに保存します。", framework::ui::FileKind::CsvExport,
        qs(codeExportFileName(m_ctx.appTitle, code)), "CSVファイル (*.csv);;すべてのファイル (*.*)", "csv");
    if (path.isEmpty())
        return; // cancelled, or a refused path (its message box said why): nothing written
    m_codeData->setResult(qs(writeCodeCsv(rows, path.toStdString()).message));
}

void DataTorikomiPage::importCode() {
    const std::string code = m_codeData->code().toStdString();
    const std::string file = m_codeData->file().toStdString();
    const std::string dbDir = m_ctx.paths.priceDbDir;
    auto catalogue = std::make_shared<const market::CatalogueCodes>(m_ctx.catalogue);
    const bool started = jobs()->start(market::PriceJob::CodeImport,
                                       [page = QPointer(this), code, file, dbDir, catalogue](
                                           framework::ProgressSink& progress, const std::atomic<bool>&,
                                           market::PriceJobGuard::Ticket&) -> PriceJobRunner::Done {
                                           progress.status("インポート中");
                                           framework::ZSqlElement db;
                                           market::PriceDatabase::open(db, dbDir);
                                           const auto result = importCodeCsv(db, code, file, catalogue.get());
                                           return [page, result] {
                                               if (page)
                                                   page->showCodeImport(result);
                                           };
                                       });
    if (!started)
        m_codeData->setResult(jobs()->lastRefusal());
}

void DataTorikomiPage::showCodeImport(const CodeImportResult& result) {
    status(QString());
    m_codeData->setResult(qs(result.message));
    if (result.ok && qs(result.code) == currentCode())
        reopenThenSay(QString());
}

} // namespace tavora::csv::ui
