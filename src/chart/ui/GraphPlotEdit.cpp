#include "chart/ui/GraphPlotEdit.h"

#include "framework/ui/QtCanvas.h"

#include <QKeyEvent>
#include <QTextCursor>

namespace tavora::chart::ui {

GraphPlotEditInCanpus::GraphPlotEditInCanpus(QWidget* parent) : QPlainTextEdit(parent) {
    setObjectName("graphplotedit_text");
    setFrameShape(QFrame::NoFrame);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTabChangesFocus(false);
}

bool GraphPlotEditInCanpus::event(QEvent* event) {
    // Editing keys belong to the text: no shortcut of the chart or the window may take them.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Delete || key->key() == Qt::Key_Backspace || !key->text().isEmpty()) {
            event->accept();
            return true;
        }
    }
    return QPlainTextEdit::event(event);
}

void GraphPlotEditInCanpus::focusOutEvent(QFocusEvent* event) {
    QPlainTextEdit::focusOutEvent(event);
    emit focusLost();
}

GraphPlotEdit::GraphPlotEdit(QWidget* parent) : QFrame(parent), m_edit(new GraphPlotEditInCanpus(this)) {
    setObjectName("graphplotedit");
    setFrameShape(QFrame::Box);
    setLineWidth(1);
    QPalette frame = palette();
    frame.setColor(QPalette::WindowText, framework::ui::toQColor(kFrameColor));
    setPalette(frame);
    hide();
    connect(m_edit, &QPlainTextEdit::textChanged, this, &GraphPlotEdit::limitLength);
    connect(m_edit, &GraphPlotEditInCanpus::focusLost, this, [this] {
        hide();
        emit focusLost();
    });
}

void GraphPlotEdit::open(const framework::Rect& rect, const std::string& text, framework::ColorRef color,
                         const std::string& face, int pointSize) {
    setGeometry(rect.left, rect.top, rect.width(), rect.height());
    m_edit->setGeometry(1, 1, std::max(0, rect.width() - 2), std::max(0, rect.height() - 2));
    QPalette pal = m_edit->palette();
    pal.setColor(QPalette::Base, framework::ui::toQColor(kBackground));
    pal.setColor(QPalette::Text, framework::ui::toQColor(color));
    m_edit->setPalette(pal);
    m_edit->setFont(framework::ui::makeFont(framework::Font{face, std::clamp(pointSize, 1, 96), 400},
                                            logicalDpiY() > 0 ? logicalDpiY() : 96));
    QString shown = QString::fromStdString(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    m_edit->setPlainText(shown);
    m_edit->moveCursor(QTextCursor::End);
    show();
    raise();
    m_edit->setFocus(Qt::MouseFocusReason);
}

void GraphPlotEdit::close() {
    hide();
    m_edit->clear();
}

std::string GraphPlotEdit::text() const {
    // Lines end in "\r\n" in stored texts, as the memo texts do.
    QString plain = m_edit->toPlainText();
    plain.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return plain.toStdString();
}

void GraphPlotEdit::limitLength() {
    // Counted in characters of the stored text (a line break is stored as two); a character
    // made of two UTF-16 units is never cut in two.
    const QString plain = m_edit->toPlainText();
    int characters = 0;
    for (qsizetype i = 0; i < plain.size();) {
        const bool pair = plain[i].isHighSurrogate() && i + 1 < plain.size() && plain[i + 1].isLowSurrogate();
        const int size = plain[i] == QLatin1Char('\n') ? 2 : 1;
        if (characters + size > kMaxCharacters) {
            QTextCursor cursor = m_edit->textCursor();
            cursor.setPosition(int(i));
            cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
            cursor.removeSelectedText();
            return;
        }
        characters += size;
        i += pair ? 2 : 1;
    }
}

} // namespace tavora::chart::ui
