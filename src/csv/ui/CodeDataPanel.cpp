#include "csv/ui/CodeDataPanel.h"

#include "csv/ui/SheetHead.h"
#include "framework/ui/FileDialog.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

namespace tavora::csv::ui {

namespace {

const char* const kHelp =
    "csvファイルをドラッグアンドドロップしてください。インポート後、そのcsvファイルのデータがデータベースに登"
    "録されます。\n"
    "1列目:日付、2列目:始値、3列目:高値、4列目:安値、5列目:終値、6列目:出来高としてください。";

// The first local .csv file a drag carries; empty when none.
QString droppedCsv(const QMimeData* data) {
    if (!data || !data->hasUrls())
        return {};
    for (const QUrl& url : data->urls())
        if (url.isLocalFile() && url.toLocalFile().endsWith(".csv", Qt::CaseInsensitive))
            return url.toLocalFile();
    return {};
}

} // namespace

CodeDataPanel::CodeDataPanel(QWidget* parent) : SideSheetPanel(parent) {
    setObjectName("DataImportExportP");
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(
        makeSheetHead(this, "データの作成", "データベースをエクスポート、インポートします。").layout);

    layout->addWidget(sheetCaption(this, "エクスポート"));
    m_code = new QLineEdit(this);
    m_code->setObjectName("code");
    m_code->setFixedWidth(350);
    m_code->setPlaceholderText("コード");
    m_export = new QPushButton("エクスポート", this);
    m_export->setObjectName("export");
    auto* exportRow = new QHBoxLayout;
    exportRow->addStretch();
    exportRow->addWidget(m_code);
    exportRow->addWidget(m_export);
    layout->addLayout(exportRow);

    layout->addWidget(sheetCaption(this, "インポート"));
    layout->addWidget(new QLabel("csvファイル", this));
    m_file = new QLineEdit(this);
    m_file->setObjectName("file");
    m_file->setAcceptDrops(true);
    m_file->installEventFilter(this); // a dropped .csv file sets the field to its path
    layout->addWidget(m_file);
    m_open = new QToolButton(this);
    m_open->setObjectName("openFile");
    m_open->setText("フォルダを開く");
    m_open->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    m_open->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    auto* openRow = new QHBoxLayout;
    openRow->addStretch();
    openRow->addWidget(m_open);
    layout->addLayout(openRow);
    auto* help = new QLabel(QString::fromUtf8(kHelp), this);
    help->setWordWrap(true);
    help->setMinimumHeight(60);
    layout->addWidget(help);
    m_import = new QPushButton("インポート", this);
    m_import->setObjectName("import");
    layout->addWidget(m_import, 0, Qt::AlignLeft);
    m_result = new QPlainTextEdit(this);
    m_result->setObjectName("result");
    m_result->setReadOnly(true);
    m_result->setFixedSize(440, 90);
    layout->addWidget(m_result);
    layout->addStretch();

    connect(m_export, &QPushButton::clicked, this, &CodeDataPanel::exportRequested);
    connect(m_import, &QPushButton::clicked, this, &CodeDataPanel::importRequested);
    connect(m_open, &QToolButton::clicked, this, &CodeDataPanel::chooseFile);
}

void CodeDataPanel::prepare(const QString& code) {
    m_code->setText(code);
    m_file->clear();
    m_result->clear();
}

QString CodeDataPanel::code() const {
    return m_code->text().trimmed();
}

QString CodeDataPanel::file() const {
    return m_file->text().trimmed();
}

void CodeDataPanel::setFile(const QString& path) {
    m_file->setText(path);
}

void CodeDataPanel::setResult(const QString& text) {
    m_result->setPlainText(text);
}

QString CodeDataPanel::result() const {
    return m_result->toPlainText();
}

void CodeDataPanel::chooseFile() {
    const QString path = framework::ui::FileDialog::openFile(
        this, "CSVファイルをセットします。", framework::ui::FileKind::CsvImport, "CSVファイル(*.csv)");
    if (!path.isEmpty())
        m_file->setText(path);
}

bool CodeDataPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_file)
        return SideSheetPanel::eventFilter(watched, event);
    if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (!droppedCsv(drag->mimeData()).isEmpty()) {
            drag->acceptProposedAction();
            return true;
        }
    } else if (event->type() == QEvent::Drop) {
        auto* drop = static_cast<QDropEvent*>(event);
        const QString path = droppedCsv(drop->mimeData());
        if (!path.isEmpty()) {
            m_file->setText(path);
            drop->acceptProposedAction();
            return true;
        }
    }
    return SideSheetPanel::eventFilter(watched, event);
}

} // namespace tavora::csv::ui
