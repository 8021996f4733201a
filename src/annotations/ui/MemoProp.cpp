#include "annotations/ui/MemoProp.h"

#include "framework/ui/CharacterLimit.h"
#include "settings/ui/PanelHead.h"

#include <QDesktopServices>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace tavora::annotations::ui {

MemoProp::MemoProp(Host host, QWidget* parent)
    : SideSheetPanel(parent), m_host(std::move(host)), m_edit(new QPlainTextEdit(this)),
      m_export(new QPushButton("メモ帳に書き出し", this)) {
    setObjectName("MemoProp");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(settings::ui::makePanelTitle(this, "メモの編集"));
    auto* body = new QVBoxLayout;
    body->setContentsMargins(20, 10, 10, 0);
    body->addWidget(new QLabel("メモ内容（2048文字以内）", this));
    m_edit->setObjectName("memotext");
    m_edit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_edit->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    m_edit->setMinimumHeight(200);
    m_edit->setMaximumHeight(600);
    framework::ui::limitCharacters(m_edit, kMemoMaxCharacters);
    body->addWidget(m_edit, 1);
    m_export->setObjectName("exportmemo");
    m_export->setFixedSize(150, 25);
    body->addWidget(m_export, 0, Qt::AlignRight);
    layout->addLayout(body, 1);
    connect(m_export, &QPushButton::clicked, this, &MemoProp::exportToEditor);
}

void MemoProp::initPanel(const MemoKey& key, const std::string& text) {
    m_key = key;
    m_text = text;
    m_edit->setPlainText(QString::fromStdString(normaliseLineEnds(text)));
}

bool MemoProp::changed() const {
    return memoTextDiffers(m_text, m_edit->toPlainText().toStdString());
}

bool MemoProp::applyChanges() {
    if (!changed())
        return true; // an unchanged memo records nothing
    const std::string text = storedMemoText(m_edit->toPlainText().toStdString());
    if (m_host.confirm)
        m_host.confirm(m_key, text);
    m_text = text;
    return true;
}

void MemoProp::exportToEditor() {
    std::string error;
    const std::string path = writeMemoFile(m_host.tmpDir, m_edit->toPlainText().toStdString(), &error);
    QString problem;
    if (path.empty())
        problem = QString("memo.txtを書き出せませんでした: %1").arg(QString::fromStdString(error));
    else if (!QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path))))
        problem =
            QString("memo.txtを開くアプリケーションが見つかりません: %1").arg(QString::fromStdString(path));
    if (!problem.isEmpty() && m_host.status)
        m_host.status(problem);
}

} // namespace tavora::annotations::ui
