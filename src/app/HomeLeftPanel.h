#pragma once
// The drawing-tool column at the left of the Home page, 33 pixels wide: 25 x 25 toggle
// buttons for the pointer tools, undo and redo, the property panel, and at the bottom the
// data, analysis and colour panels. Each sends its command. The pointer tools, the history
// and the property and settings panels come with their own subsystems, so their buttons stay
// disabled until then. UI thread only.
#include "app/core/Commands.h"

#include <QWidget>

#include <vector>

class QToolButton;

namespace tavora::app {

class HomeLeftPanel : public QWidget {
    Q_OBJECT
public:
    static constexpr int Width = 33;

    explicit HomeLeftPanel(QWidget* parent);

    // Enables the button of one command (when its subsystem is in place).
    void setCommandEnabled(Command command, bool enabled);
    QToolButton* button(Command command) const;
    // As high as the top group and the bottom group need without overlapping.
    QSize minimumSizeHint() const override;

signals:
    void command(tavora::app::Command command);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    struct Entry {
        QToolButton* button;
        Command command;
        int top;        // from the top edge, or
        int fromBottom; // > 0: placed this far above the bottom edge
    };
    std::vector<Entry> m_entries;
};

}  // namespace tavora::app
