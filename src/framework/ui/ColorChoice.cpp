#include "framework/ui/ColorChoice.h"

#include "framework/ui/Theme.h"

#include <QColorDialog>
#include <QGridLayout>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <cstdlib>

namespace tavora::framework::ui {

namespace {

constexpr int GridColumns = 8;
constexpr int SwatchEdge = 16;

struct DialogSeam {
    bool armed = false;
    std::optional<ColorRef> answer;
};
DialogSeam g_dialogSeam;

bool nonInteractive() {
    const char* v = std::getenv("TAVORA_NONINTERACTIVE");
    return v && *v && *v != '0';
}

ColorRef toColorRef(const QColor& c) {
    return ColorRef(c.red()) | (ColorRef(c.green()) << 8) | (ColorRef(c.blue()) << 16);
}

QIcon swatchIcon(ColorRef color, int edge) {
    QPixmap pixmap(edge, edge);
    pixmap.fill(fromColorRef(color));
    QPainter p(&pixmap);
    p.setPen(QColor(0x80, 0x80, 0x80));
    p.drawRect(0, 0, edge - 1, edge - 1);
    return QIcon(pixmap);
}

} // namespace

// ---- the pop-up ----

const std::vector<ColorRef>& ColorPopup::swatchColors() {
    // Four rows of eight: greys, then saturated, pale and dark hues (0x00BBGGRR).
    static const std::vector<ColorRef> colors{
        0x000000, 0x383838, 0x606060, 0x8A8A8A, 0xB2B2B2, 0xD3D3D3, 0xE7E7E7, 0xFFFFFF,
        0x0000FF, 0x0080FF, 0x00D0FF, 0x00C000, 0x808000, 0xFF8000, 0xB76800, 0xFF0080,
        0xC0C0FF, 0xC0E0FF, 0xC0FFFF, 0xC0FFC0, 0xFFFFC0, 0xFFE0C0, 0xFFC0C0, 0xFFC0FF,
        0x000080, 0x004080, 0x008080, 0x006000, 0x404000, 0x800000, 0x780604, 0x800080,
    };
    return colors;
}

ColorPopup::ColorPopup(QWidget* parent)
    : QFrame(parent, Qt::Popup), m_other(new QPushButton("その他の色…", this)) {
    setObjectName("colorpopup");
    setFrameShape(QFrame::Box);
    setFixedSize(PopupWidth, PopupHeight);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(5, 5, 5, 5);
    layout->setSpacing(4);
    auto* grid = new QGridLayout;
    grid->setSpacing(2);
    const auto& colors = swatchColors();
    for (std::size_t i = 0; i < colors.size(); ++i) {
        auto* b = new QToolButton(this);
        b->setAutoRaise(true);
        b->setIcon(swatchIcon(colors[i], SwatchEdge - 4));
        b->setFixedSize(SwatchEdge + 2, SwatchEdge + 2);
        const ColorRef c = colors[i];
        connect(b, &QToolButton::clicked, this, [this, c] {
            hide();
            emit chosen(c);
        });
        grid->addWidget(b, int(i) / GridColumns, int(i) % GridColumns);
        m_swatches.push_back(b);
    }
    layout->addLayout(grid);
    m_other->setObjectName("othercolor");
    connect(m_other, &QPushButton::clicked, this, [this] {
        hide();
        emit otherRequested();
    });
    layout->addWidget(m_other);
}

QToolButton* ColorPopup::swatch(int index) const {
    return index >= 0 && index < int(m_swatches.size()) ? m_swatches[std::size_t(index)] : nullptr;
}

// ---- the choice ----

void ColorChoice::setNextDialogAnswer(std::optional<ColorRef> answer) {
    g_dialogSeam.armed = true;
    g_dialogSeam.answer = answer;
}

ColorChoice::ColorChoice(QWidget* parent, const QString& dropCaption)
    : QWidget(parent), m_swatch(new QToolButton(this)), m_drop(new QToolButton(this)) {
    setFixedSize(SwatchSize + 1 + DropWidth, SwatchSize);
    m_swatch->setObjectName("colorswatch");
    m_swatch->setGeometry(0, 0, SwatchSize, SwatchSize);
    m_swatch->setIconSize(QSize(SwatchSize - 6, SwatchSize - 6));
    m_drop->setObjectName("colordrop");
    m_drop->setGeometry(SwatchSize + 1, 0, DropWidth, SwatchSize);
    m_drop->setArrowType(Qt::DownArrow);
    m_drop->setToolTip(dropCaption.isEmpty() ? QStringLiteral("色") : dropCaption);
    m_drop->setAccessibleName(m_drop->toolTip());
    connect(m_swatch, &QToolButton::clicked, this, &ColorChoice::openPopup);
    connect(m_drop, &QToolButton::clicked, this, &ColorChoice::openPopup);
    updateSwatch();
}

ColorPopup* ColorChoice::popup() {
    // Made at the first opening: a window holds dozens of choices, and building every grid of
    // swatches up front delayed the first chart.
    if (!m_popup) {
        m_popup = new ColorPopup(this);
        m_popup->hide();
        connect(m_popup, &ColorPopup::chosen, this, &ColorChoice::choose);
        connect(m_popup, &ColorPopup::otherRequested, this, &ColorChoice::openDialog);
    }
    return m_popup;
}

void ColorChoice::setColor(ColorRef color) {
    m_color = color & 0xFFFFFF;
    m_picked = false;
    updateSwatch();
}

void ColorChoice::choose(ColorRef color) {
    m_color = color & 0xFFFFFF;
    m_picked = true;
    updateSwatch();
    emit colorChosen(m_color);
}

void ColorChoice::openPopup() {
    // The pop-up's left edge is the swatch's; it opens under the row.
    popup()->move(mapToGlobal(QPoint(0, height())));
    m_popup->show();
}

void ColorChoice::openDialog() {
    std::optional<ColorRef> answer;
    if (g_dialogSeam.armed) {
        answer = g_dialogSeam.answer;
        g_dialogSeam = {};
    } else if (!nonInteractive()) {
        const QColor c = QColorDialog::getColor(fromColorRef(m_color), window(), "色の選択");
        if (c.isValid())
            answer = toColorRef(c);
    }
    if (answer)
        choose(*answer);
}

void ColorChoice::updateSwatch() {
    m_swatch->setIcon(swatchIcon(m_color, SwatchSize - 6));
}

} // namespace tavora::framework::ui
