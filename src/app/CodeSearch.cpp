#include "app/CodeSearch.h"

#include "app/CodeSearchPopup.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>

namespace tavora::app {

namespace {
constexpr int PopupWidth = 360;

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}
} // namespace

CodeSearch::CodeSearch(const market::CodeList& catalogue, QLineEdit* box, CodeSearchPopup* popup,
                       QObject* parent)
    : QObject(parent), m_catalogue(catalogue), m_box(box), m_popup(popup) {
    connect(m_box, &QLineEdit::textEdited, this, &CodeSearch::listMatches);
    connect(m_popup, &CodeSearchPopup::chosen, this, &CodeSearch::chosen);
    m_box->installEventFilter(this);
}

void CodeSearch::showMatches(const std::vector<std::size_t>& positions) {
    QStringList lines;
    for (const std::size_t i : positions)
        lines << QString("%1 %2").arg(qs(m_catalogue[i].code), qs(m_catalogue[i].name));
    m_popup->showLines(lines, positions, m_box, PopupWidth);
}

void CodeSearch::listMatches(const QString& text) {
    const QString wanted = text.trimmed();
    const auto positions = wanted.isEmpty() ? std::vector<std::size_t>{}
                                            : market::SearchCodeIndices(m_catalogue, wanted.toStdString());
    if (positions.empty())
        m_popup->hide();
    else
        showMatches(positions);
}

void CodeSearch::search() {
    m_popup->hide();
    const QString text = m_box->text().trimmed();
    if (text.isEmpty())
        return;
    const auto positions = market::SearchCodeIndices(m_catalogue, text.toStdString());
    if (positions.empty())
        emit notFound(text);
    else if (positions.size() == 1)
        emit openRequested(positions.front());
    else
        showMatches(positions);
}

void CodeSearch::chosen(const QString& line, std::size_t position) {
    // The line names its entry; a catalogue read again since it was listed is searched anew.
    const QString code = line.section(' ', 0, 0);
    if (position < m_catalogue.size() && qs(m_catalogue[position].code) == code) {
        emit openRequested(position);
        return;
    }
    m_box->setText(line.section(' ', 1));
    search();
}

void CodeSearch::showCurrent(const market::CodeElm* entry) {
    m_popup->hide();
    m_box->setText(entry ? qs(entry->name) : QString());
    m_box->setCursorPosition(0);
}

bool CodeSearch::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_box)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::FocusOut:
        m_popup->hide();
        break;
    case QEvent::FocusIn:
        // The box shows the current name: a click into it starts a new search text.
        if (static_cast<QFocusEvent*>(event)->reason() == Qt::MouseFocusReason)
            QTimer::singleShot(0, m_box, &QLineEdit::selectAll);
        break;
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Escape) {
            m_popup->hide();
        } else if (key == Qt::Key_Down || key == Qt::Key_Up) {
            if (!m_popup->isVisible())
                listMatches(m_box->text());
            if (m_popup->isVisible())
                m_popup->moveHighlight(key == Qt::Key_Down ? 1 : -1);
            return true;
        } else if ((key == Qt::Key_Return || key == Qt::Key_Enter) && m_popup->isVisible() &&
                   m_popup->highlighted() >= 0) {
            m_popup->choose(m_popup->highlighted());
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace tavora::app
