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
    // The apply button (command 302): store what the panel edits. Returns whether the sheet
    // may close: false keeps it open with the edits (the panel has said why). Panels that
    // only show something keep the default, which does nothing.
    virtual bool applyChanges() { return true; }
    // Whether the apply button may be pressed now (a panel that could not read what it edits
    // says no, so that an apply cannot overwrite the stored data); applyAllowedChanged() tells
    // the sheet when this changes.
    virtual bool canApply() const { return true; }

signals:
    void applyAllowedChanged();
};

}  // namespace tavora::framework::ui
