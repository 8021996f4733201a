#include "app/HomeLeftPanel.h"

#include <QPainter>
#include <QToolButton>

#include <algorithm>

namespace tavora::app {

namespace {
constexpr int ButtonSize = 25;
constexpr int ButtonLeft = 4;

struct ToolDef {
    const char* caption;
    const char* glyph;  // the face of the 25-pixel button
    Command command;
    int gapBefore;  // pixels above this button (after the previous one)
    bool toggle;
};

// Top group, from y = 10.
constexpr ToolDef kTopTools[] = {
    {"十字カーソル", "╋", Command::CrossCursor, 10, true},
    {"値幅時間", "⇲", Command::TimePrice, 5, true},
    {"高安値表示", "⇕", Command::Takayasu, 5, true},
    {"日数計算", "↔", Command::RangeTime, 5, true},
    {"値幅計算", "↕", Command::RangeNedan, 5, true},
    {"直線", "╱", Command::Line, 5, true},
    {"文字", "A", Command::TextTool, 5, true},
    {"メモ", "✎", Command::MemoTool, 5, true},
    {"選択ツール", "➚", Command::SelectTool, 15, true},
    {"元に戻す", "↶", Command::Undo, 15, false},
    {"やり直し", "↷", Command::Redo, 5, false},
    {"プロパティ", "☰", Command::OpenCtrlProp, 10, false},
};
// Bottom group, from 160 pixels above the bottom edge.
constexpr ToolDef kBottomTools[] = {
    {"ユーザーグラフデータを開く", "▤", Command::OpenUserGraphData, 0, false},
    {"株価データ", "¥", Command::OpenCodeData, 5, false},
    {"分析", "∿", Command::OpenBunseki, 5, false},
    {"色", "◐", Command::OpenColor, 5, false},
};
constexpr int BottomGroupOffset = 160;
}  // namespace

HomeLeftPanel::HomeLeftPanel(QWidget* parent) : QWidget(parent) {
    setObjectName("homeleftpanel");
    auto make = [this](const ToolDef& def) {
        auto* b = new QToolButton(this);
        b->setText(QString::fromUtf8(def.glyph));
        b->setToolTip(QString::fromUtf8(def.caption));
        b->setAccessibleName(QString::fromUtf8(def.caption));
        b->setCheckable(def.toggle);
        b->setAutoRaise(true);
        b->setFixedSize(ButtonSize, ButtonSize);
        b->setEnabled(false);
        const Command cmd = def.command;
        connect(b, &QToolButton::clicked, this, [this, cmd] { emit command(cmd); });
        return b;
    };
    int y = 0;
    for (const auto& def : kTopTools) {
        y += def.gapBefore;
        m_entries.push_back({make(def), def.command, y, 0});
        y += ButtonSize;
    }
    int fromBottom = BottomGroupOffset;
    for (const auto& def : kBottomTools) {
        fromBottom -= def.gapBefore;
        m_entries.push_back({make(def), def.command, 0, fromBottom});
        fromBottom -= ButtonSize;
    }
}

QToolButton* HomeLeftPanel::button(Command command) const {
    for (const auto& e : m_entries)
        if (e.command == command)
            return e.button;
    return nullptr;
}

void HomeLeftPanel::setCommandEnabled(Command command, bool enabled) {
    if (auto* b = button(command))
        b->setEnabled(enabled);
}

QSize HomeLeftPanel::minimumSizeHint() const {
    int topGroup = 0, bottomGroup = 0;
    for (const auto& e : m_entries) {
        if (e.fromBottom > 0)
            bottomGroup = std::max(bottomGroup, e.fromBottom);
        else
            topGroup = std::max(topGroup, e.top + ButtonSize);
    }
    return {Width, topGroup + 10 + bottomGroup};
}

void HomeLeftPanel::resizeEvent(QResizeEvent*) {
    for (const auto& e : m_entries)
        e.button->move(ButtonLeft, e.fromBottom > 0 ? height() - e.fromBottom : e.top);
}

void HomeLeftPanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(QColor(0xE0, 0xE0, 0xE0));
    p.drawLine(width() - 1, 0, width() - 1, height());
}

}  // namespace tavora::app
