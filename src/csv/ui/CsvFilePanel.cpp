#include "csv/ui/CsvFilePanel.h"

#include "csv/PriceRegistration.h"
#include "framework/Files.h"
#include "framework/ui/MessageBox.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileSystemWatcher>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace tavora::csv::ui {

namespace fs = std::filesystem;

namespace {

struct ButtonDef {
    const char* caption;
    int command;
};
// The four buttons of the panel, then the page's entries for the backup and the per-code data.
constexpr ButtonDef kButtons[] = {{"データを登録", 149},     {"以前のデータに復元", 152},
                                  {"旧式データ取込み", 151}, {"株価ダウンロード", 156},
                                  {"バックアップ", 165},     {"データの作成", 379}};
constexpr int ButtonWidth = 140;
constexpr int ButtonHeight = 50;
constexpr int ButtonGap = 10; // six buttons stand in the height four were given

bool isCsvPath(const QString& path) {
    return path.endsWith(".csv", Qt::CaseInsensitive);
}

} // namespace

CsvFilePanel::CsvFilePanel(QWidget* parent)
    : QWidget(parent), m_list(new QListWidget(this)), m_watcher(new QFileSystemWatcher(this)) {
    setObjectName("CsvFilePanel");
    setAcceptDrops(true);
    m_list->setObjectName("csvFileList");
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setAcceptDrops(false); // the panel takes the drop
    m_list->installEventFilter(this);
    m_list->setToolTip(
        "CSVファイルをここにドラッグアンドドロップしてください。Deleteキーで一覧から削除します。");

    auto* layout = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    left->addWidget(new QLabel("登録するCSVファイル", this));
    left->addWidget(m_list, 1);
    layout->addLayout(left, 1);
    auto* right = new QVBoxLayout;
    right->setSpacing(ButtonGap);
    for (const auto& def : kButtons) {
        auto* b = new QPushButton(QString::fromUtf8(def.caption), this);
        b->setFixedSize(ButtonWidth, ButtonHeight);
        b->setObjectName(QString("command_%1").arg(def.command));
        const int cmd = def.command;
        connect(b, &QPushButton::clicked, this, [this, cmd] { emit command(cmd); });
        right->addWidget(b);
        m_buttons.emplace_back(def.command, b);
    }
    right->addStretch();
    layout->addLayout(right);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, &CsvFilePanel::refresh);
}

QPushButton* CsvFilePanel::button(int command) const {
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
    QStringList left;
    for (const QString& p : paths) {
        const fs::path source = p.toStdString();
        std::error_code ec;
        if (!isCsvPath(p) || !fs::is_regular_file(source, ec)) {
            left << QString::fromStdString(source.filename().string());
            continue;
        }
        const fs::path target = m_folder / source.filename();
        if (fs::equivalent(source, target, ec))
            continue; // already in the folder
        if (fs::copy_file(source, target, fs::copy_options::overwrite_existing, ec))
            ++copied;
        else
            left << QString::fromStdString(source.filename().string()) + " (" +
                        QString::fromStdString(ec.message()) + ")";
    }
    refresh();
    if (!left.isEmpty())
        emit message("CSVファイルではないため追加しませんでした: " + left.join(", "));
    else if (copied > 0)
        emit message(QString("%1個のCSVファイルを追加しました").arg(copied));
    return copied;
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
    const auto selected = m_list->selectedItems();
    if (selected.isEmpty())
        return;
    if (framework::ui::MessageBox::askYesNo(
            this, QString("選択した%1個のファイルを取込みフォルダから削除しますか?").arg(selected.size()),
            "登録するCSVファイル") != QMessageBox::Yes)
        return;
    for (auto* item : selected) {
        std::error_code ec;
        fs::remove(m_folder / item->text().toStdString(), ec);
    }
    refresh();
}

} // namespace tavora::csv::ui
