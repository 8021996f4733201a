#pragma once
// A page behind one of the title-bar tabs other than Home (the settings page, the data-import
// page): its name for prompts, its unsaved state and what it does when shown and left.
#include <QWidget>

namespace tavora::framework::ui {

class TabPage : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
    ~TabPage() override;

    virtual QString pageName() const = 0;
    virtual bool hasUnsavedChanges() const { return false; }
    // Called each time the page is shown.
    virtual void initPanel() {}
    // Called when the user leaves the page (the data-import page stores its column mapping).
    virtual void leavePage() {}
};

}  // namespace tavora::framework::ui
