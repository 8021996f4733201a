#include "csv/ui/CsvFilePanel.h"

#include "csv/PriceRegistration.h"
#include "framework/Files.h"
#include "framework/ui/FileDialog.h"
#include "framework/ui/MessageBox.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileSystemWatcher>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace tavora::csv::ui {

namespace fs = std::filesystem;

namespace {

struct ButtonDef {
    const char* caption;
    app::Command command;
};
// The four buttons of the panel, then the page's entries for the backup and the per-code data.
using app::Command;
constexpr ButtonDef kButtons[] = {
    {"データを登録", Command::Register},    {"以前のデータに復元", Command::Restore},
    {"旧式データ取込み", Command::OldData}, {"株価ダウンロード", Command::Download},
    {"バックアップ", Command::Backup},      {"データの作成", Command::OpenCodeData}};
constexpr int ButtonWidth = 140;
constexpr int ButtonHeight = 50;
constexpr int ButtonGap = 10; // six buttons stand in the height four were given
constexpr int NamesAsked = 10; // the names a delete question lists before "ほか"

bool isCsvPath(const QString& path) {
    return path.endsWith(".csv", Qt::CaseInsensitive);
}

} // namespace

CsvFilePanel::CsvFilePanel(QWidget* parent)
    : QWidget(parent), m_list(new QListWidget(this)), m_add(new QPushButton("ファイルを追加", this)),
      m_menu(new QMenu(this)), m_removeAction(nullptr), m_watcher(new QFileSystemWatcher(this)) {
    setObjectName("CsvFilePanel");
    setAcceptDrops(true);
    m_list->setObjectName("csvFileList");
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setAcceptDrops(false); // the panel takes the drop
    m_list->installEventFilter(this);
    m_list->setToolTip("CSVファイルをここにドラッグアンドドロップするか、ファイルを追加で選んでください。"
                       "Deleteキーで一覧から削除します。");
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_list, &QListWidget::customContextMenuRequested, this, &CsvFilePanel::showContextMenu);
    m_add->setObjectName("addFiles");
    connect(m_add, &QPushButton::clicked, this, &CsvFilePanel::addFromDialog);
    m_menu->setObjectName("csvFileMenu");
    connect(m_menu->addAction("追加"), &QAction::triggered, this, &CsvFilePanel::addFromDialog);
    m_removeAction = m_menu->addAction("削除");
    connect(m_removeAction, &QAction::triggered, this, &CsvFilePanel::removeSelected);

    auto* layout = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    auto* head = new QHBoxLayout;
    head->addWidget(new QLabel("登録するCSVファイル", this));
    head->addStretch();
    head->addWidget(m_add);
    left->addLayout(head);
    left->addWidget(m_list, 1);
    layout->addLayout(left, 1);
    auto* right = new QVBoxLayout;
    right->setSpacing(ButtonGap);
    for (const auto& def : kButtons) {
        auto* b = new QPushButton(QString::fromUtf8(def.caption), this);
        b->setFixedSize(ButtonWidth, ButtonHeight);
        b->setObjectName(QString("command_%1").arg(app::commandNumber(def.command)));
        const app::Command cmd = def.command;
        connect(b, &QPushButton::clicked, this, [this, cmd] { emit command(cmd); });
        right->addWidget(b);
        m_buttons.emplace_back(def.command, b);
    }
    right->addStretch();
    layout->addLayout(right);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, &CsvFilePanel::refresh);
}

QPushButton* CsvFilePanel::button(app::Command command) const {
    for (const auto& [cmd, b] : m_buttons)
        if (cmd == command)
            return b;
    return nullptr;
}

void CsvFilePanel::setFolder(const fs::path& folder) {
    if (!m_watcher->directories().isEmpty())
        m_watcher->removePaths(m_watcher->directories());
    m_folder = folder;
    if (!folder.empty() && framework::CreateZDirectory(folder))
        m_watcher->addPath(QString::fromStdString(folder.string()));
    refresh();
}

void CsvFilePanel::refresh() {
    m_files = csvFilesIn(m_folder);
    m_list->clear();
    for (const auto& f : m_files)
        m_list->addItem(QString::fromStdString(f.filename().string()));
    emit filesChanged();
}

int CsvFilePanel::addFiles(const QStringList& paths) {
    int copied = 0;
    QStringList notCsv;
    QStringList failed;
    for (const QString& p : paths) {
        const fs::path source = p.toStdString();
        const QString name = QString::fromStdString(source.filename().string());
        std::error_code ec;
        if (!isCsvPath(p) || !fs::is_regular_file(source, ec)) {
            notCsv << name;
            continue;
        }
        const fs::path target = m_folder / source.filename();
        if (fs::equivalent(source, target, ec))
            continue; // already in the folder
        if (fs::copy_file(source, target, fs::copy_options::overwrite_existing, ec))
            ++copied;
        else
            failed << name + " (" + QString::fromStdString(ec.message()) + ")";
    }
    refresh();
    QStringList said;
    if (copied > 0)
        said << QString("%1個のCSVファイルを追加しました").arg(copied);
    if (!notCsv.isEmpty())
        said << "CSVファイルではないため追加しませんでした: " + notCsv.join(", ");
    if (!failed.isEmpty())
        said << "コピーできませんでした: " + failed.join(", ");
    if (!said.isEmpty())
        emit message(said.join("　"));
    return copied;
}

void CsvFilePanel::addFromDialog() {
    // The folder starts where CSV files to import were last chosen (also for the per-code import).
    const QStringList paths =
        framework::ui::FileDialog::openFiles(window(), "登録するCSVファイルを追加",
                                             framework::ui::FileKind::CsvImport, "CSVファイル (*.csv *.CSV)");
    if (paths.isEmpty())
        return; // cancelled
    addFiles(paths);
}

void CsvFilePanel::showContextMenu(const QPoint& at) {
    m_removeAction->setEnabled(!m_list->selectedItems().isEmpty());
    m_menu->popup(m_list->viewport()->mapToGlobal(at));
}

void CsvFilePanel::dragEnterEvent(QDragEnterEvent* event) {
    const QMimeData* data = event->mimeData();
    if (!data->hasUrls())
        return;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile() && isCsvPath(url.toLocalFile())) {
            event->acceptProposedAction();
            return;
        }
}

void CsvFilePanel::dropEvent(QDropEvent* event) {
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile())
            paths << url.toLocalFile();
    if (paths.isEmpty())
        return;
    addFiles(paths);
    event->acceptProposedAction();
}

bool CsvFilePanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_list && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        removeSelected();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void CsvFilePanel::removeSelected() {
    // The names, not the rows: a file arriving while the question is open re-reads the list.
    QStringList names;
    for (const auto* item : m_list->selectedItems())
        names << item->text();
    if (names.isEmpty())
        return;
    names.sort();
    QStringList shown = names.mid(0, NamesAsked);
    if (names.size() > NamesAsked)
        shown << QString("ほか %1個").arg(names.size() - NamesAsked);
    const QString question =
        names.size() == 1
            ? QString("%1 を取込みフォルダから削除しますか?").arg(names.front())
            : QString("選択した%1個のファイルを取込みフォルダから削除しますか?\n").arg(names.size()) +
                  shown.join("\n");
    if (framework::ui::MessageBox::askYesNo(this, question, "登録するCSVファイル") != QMessageBox::Yes)
        return;
    int removed = 0;
    QStringList gone;
    QStringList failed;
    for (const QString& name : names) {
        const fs::path path = m_folder / name.toStdString();
        std::error_code ec;
        if (!fs::is_regular_file(path, ec))
            gone << name;
        else if (fs::remove(path, ec))
            ++removed;
        else
            failed << name + " (" + QString::fromStdString(ec.message()) + ")";
    }
    refresh();
    QStringList said;
    if (removed > 0)
        said << QString("%1個のファイルを削除しました").arg(removed);
    if (!gone.isEmpty())
        said << gone.join(", ") + " はもうありません";
    if (!failed.isEmpty())
        said << "削除できませんでした: " + failed.join(", ");
    emit message(said.join("　"));
}

} // namespace tavora::csv::ui
