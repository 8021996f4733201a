#include "app/HomeHeadPanel.h"

#include "app/core/Commands.h"
#include "framework/ui/Theme.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>

#include <algorithm>

namespace tavora::app {

namespace {
const char* const kShortCaptions[] = {"印刷", "新規", "開く", "保存"};
constexpr int CaptionPadding = 12;
} // namespace

HomeHeadPanel::HomeHeadPanel(QWidget* parent)
    : QWidget(parent), m_left(new QWidget(this)), m_right(new QWidget(this)),
      m_search(new QLineEdit(m_left)) {
    setObjectName("homeheadpanel");
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, framework::ui::themeColor(4));
    setPalette(pal);
    m_left->setObjectName("homeheadleftpanel");
    m_right->setObjectName("homeheadrightpanel");

    auto* left = new QHBoxLayout(m_left);
    left->setContentsMargins(6, 5, 0, 5);
    left->setSpacing(3);
    m_search->setObjectName("searchbox");
    m_search->setPlaceholderText("コード・銘柄名");
    m_search->setFixedWidth(120);
    connect(m_search, &QLineEdit::returnPressed, this, [this] { emit command(Command::Search); });
    left->addWidget(m_search);

    auto addTo = [this](QHBoxLayout* layout, QWidget* owner, const QString& caption, const char* name,
                        Command cmd, int width, bool checkable) {
        auto* b = new QPushButton(caption, owner);
        b->setObjectName(name);
        b->setStyleSheet("QPushButton { padding: 0px 4px; }");
        b->setFixedSize(std::max(width, b->fontMetrics().horizontalAdvance(caption) + 12), 25);
        b->setCheckable(checkable);
        b->setFocusPolicy(Qt::TabFocus); // a click leaves the keyboard with the chart
        connect(b, &QPushButton::clicked, this, [this, cmd] { emit command(cmd); });
        layout->addWidget(b);
        return b;
    };
    m_navigation << addTo(left, m_left, "最初へ", "firstbutton", Command::FirstCode, 40, false)
                 << addTo(left, m_left, "前へ", "prevbutton", Command::PrevCode, 36, false)
                 << addTo(left, m_left, "次へ", "nextbutton", Command::NextCode, 36, false)
                 << addTo(left, m_left, "最後へ", "lastbutton", Command::LastCode, 40, false)
                 << addTo(left, m_left, "更新", "refreshbutton", Command::Refresh, 36, false);
    m_favouritesOnly =
        addTo(left, m_left, "お気に入りリスト", "favlistcheck", Command::FavouritesOnly, 60, true);
    m_favourite = addTo(left, m_left, "お気に入り追加", "favaddcheck", Command::ToggleFavourite, 60, true);
    m_navigation << m_favouritesOnly << m_favourite;
    left->addStretch();

    // The document buttons: print, new, open with its recent files, save with its two choices.
    auto* right = new QHBoxLayout(m_right);
    right->setContentsMargins(0, 5, 6, 5);
    right->setSpacing(2);
    right->addStretch();
    auto dropDown = [this, right](const char* name) {
        auto* b = new QToolButton(m_right);
        b->setObjectName(name);
        b->setFixedSize(11, 25);
        b->setArrowType(Qt::DownArrow);
        b->setPopupMode(QToolButton::InstantPopup);
        b->setStyleSheet("QToolButton::menu-indicator { image: none; }");
        b->setMenu(new QMenu(b));
        b->setFocusPolicy(Qt::NoFocus);
        right->addWidget(b);
        return b;
    };
    m_documents << addTo(right, m_right, "印刷", "printbutton", Command::Print, 36, false)
                << addTo(right, m_right, "新規ファイル", "newbutton", Command::NewDocument, 60, false)
                << addTo(right, m_right, "ファイルを開く", "openbutton", Command::OpenDocument, 60, false);
    m_recent = dropDown("recentbutton");
    right->addSpacing(4);
    m_documents << addTo(right, m_right, "保存", "savebutton", Command::Save, 36, false);
    m_saveMenu = dropDown("savemenubutton");
    m_saveMenu->menu()->addAction("上書き保存", this, [this] { emit command(Command::Save); });
    m_saveMenu->menu()->addAction("名前を付けて保存", this, [this] { emit command(Command::SaveAs); });
    for (auto* b : m_documents)
        b->setToolTip(b->text());
    setRecentFiles({});
    m_fullDocumentsWidth = m_right->sizeHint().width();
    // The same row with each button narrowed to its short caption (drop-downs and gaps kept).
    m_compactDocumentsWidth = m_fullDocumentsWidth;
    for (int i = 0; i < m_documents.size(); ++i)
        m_compactDocumentsWidth -= m_documents[i]->width() -
                                   (m_documents[i]->fontMetrics().horizontalAdvance(kShortCaptions[i]) + CaptionPadding);
}

int HomeHeadPanel::minimumWidth() const {
    return m_left->sizeHint().width() + m_compactDocumentsWidth;
}

QList<QWidget*> HomeHeadPanel::focusChain() const {
    QList<QWidget*> chain{m_search};
    for (auto* b : m_navigation)
        chain << b;
    for (auto* b : m_documents)
        chain << b;
    return chain;
}

// A narrow window shows the document buttons with short captions rather than cut ones; the
// tooltips keep the full names.
void HomeHeadPanel::fitDocumentCaptions(int available) {
    const bool compact = available < m_fullDocumentsWidth;
    for (int i = 0; i < m_documents.size(); ++i) {
        QPushButton* b = m_documents[i];
        const QString caption = compact ? QString::fromUtf8(kShortCaptions[i]) : b->toolTip();
        if (b->text() == caption)
            continue;
        b->setText(caption);
        b->setFixedWidth(b->fontMetrics().horizontalAdvance(caption) + CaptionPadding);
    }
}

void HomeHeadPanel::resizeEvent(QResizeEvent*) {
    // The left part keeps what it needs; the document buttons take the rest.
    fitDocumentCaptions(width() - m_left->sizeHint().width());
    const int rightWidth = std::clamp(width() - m_left->sizeHint().width(), 0, m_right->sizeHint().width());
    m_left->setGeometry(0, 0, width() - rightWidth, Height);
    m_right->setGeometry(width() - rightWidth, 0, rightWidth, Height);
}

bool HomeHeadPanel::favouritesOnly() const {
    return m_favouritesOnly->isChecked();
}
void HomeHeadPanel::setFavouritesOnly(bool on) {
    m_favouritesOnly->setChecked(on);
}
void HomeHeadPanel::setFavouriteChecked(bool on) {
    m_favourite->setChecked(on);
}
bool HomeHeadPanel::favouriteChecked() const {
    return m_favourite->isChecked();
}

void HomeHeadPanel::setRecentFiles(const QStringList& paths) {
    QMenu* menu = m_recent->menu();
    menu->clear();
    for (const QString& path : paths)
        menu->addAction(path, this, [this, path] { emit recentChosen(path); });
    m_recent->setEnabled(!paths.isEmpty());
}

void HomeHeadPanel::setNavigationEnabled(bool enabled) {
    for (auto* b : m_navigation)
        b->setEnabled(enabled);
    m_search->setEnabled(enabled);
}

} // namespace tavora::app
