#pragma once
// What a panel shown in the side sheet (PropertyDialog) offers: its name for prompts, an
// unsaved-changes state, and its apply action. The property and data panels derive from it.
#include <QWidget>

namespace tavora::framework::ui {

class SideSheetPanel : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
    ~SideSheetPanel() override;

    // Caption of the unsaved-changes prompt.
    virtual QString panelName() const = 0;
    virtual bool hasUnsavedChanges() const { return false; }
    // The apply button (command 302): store what the panel edits. Panels that only show
    // something keep the default, which does nothing.
    virtual void applyChanges() {}
};

}  // namespace tavora::framework::ui
