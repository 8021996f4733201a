#pragma once
// The page of the "設定" tab: a tree of its sections at the left, the chosen section at the
// right under the section's description, and the save button. Saving checks every section
// first, and every value with the checks of tavora-cli config (nothing is written while one is
// refused, and the user is told why), writes
// all their keys to settei.db in one transaction, and only when that succeeded copies them
// into the context and says "データーを保存しました。". UI thread only.
#include "app/core/Commands.h"
#include "framework/ui/TabPage.h"

#include <vector>

class QLabel;
class QPushButton;
class QStackedWidget;
class QTreeWidget;

namespace tavora::app {
struct AppContext;
}

namespace tavora::settings::ui {

class SettingsSection;

class SettingsPage : public framework::ui::TabPage {
    Q_OBJECT
public:
    static constexpr const char* kSavedText = "データーを保存しました。";
    static constexpr const char* kNotSavedText = "データーを保存できませんでした。";

    explicit SettingsPage(app::AppContext& ctx, QWidget* parent = nullptr);
    ~SettingsPage() override;

    QString pageName() const override;
    bool hasUnsavedChanges() const override;
    void initPanel() override;

    // The save action; true when the keys were written.
    bool save();
    void selectSection(int index);
    int currentSection() const;
    SettingsSection* section(int index) const { return m_sections.at(std::size_t(index)); }
    int sectionCount() const { return int(m_sections.size()); }
    QTreeWidget* tree() const { return m_tree; }
    QLabel* descriptionLabel() const { return m_description; }
    QPushButton* saveButton() const { return m_save; }

signals:
    void command(tavora::app::Command command);
    void statusText(const QString& text);

private:
    // Fills the section from the context unless it holds unsaved changes, then shows it.
    void showSection(int index);
    // Shows the section as it is.
    void raiseSection(int index);
    // Shows the section that cannot be saved and says why.
    void refuse(int index, const QString& problem);

    app::AppContext& m_ctx;
    QTreeWidget* m_tree;
    QLabel* m_description;
    QStackedWidget* m_stack;
    QPushButton* m_save;
    std::vector<SettingsSection*> m_sections;
    // The sections are filled from the context when the page is first shown (initPanel), not
    // when it is built: the code table reads the whole code list, which start-up does not need.
    bool m_filled = false;
};

} // namespace tavora::settings::ui
