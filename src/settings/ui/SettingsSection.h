#pragma once
// One section of the settings page: the 64 x 64 settings mark with the section's title, the
// description the page shows for it, and its controls. The page fills every section from the
// context when shown, asks each for its problems and rows when the user saves, writes all rows
// at once and then lets each section copy its values into the context. UI thread only.
#include "app/core/Commands.h"
#include "settings/SettingsStore.h"

#include <QWidget>

class QLabel;
class QVBoxLayout;

namespace tavora::app {
struct AppContext;
}

namespace tavora::settings::ui {

class SettingsSection : public QWidget {
    Q_OBJECT
public:
    SettingsSection(app::AppContext& ctx, const QString& treeCaption, const QString& title,
                    const QString& description, QWidget* parent = nullptr);
    ~SettingsSection() override;

    const QString& treeCaption() const { return m_treeCaption; }
    const QString& title() const { return m_title; }
    const QString& description() const { return m_description; }

    // The controls from the context (each time the section is shown).
    virtual void initPanel() = 0;
    // The controls differ from the context.
    virtual bool hasUnsavedChanges() const = 0;
    // Why the values shown cannot be saved; empty when they can.
    virtual QString check() const { return {}; }
    // The keys and texts to write.
    virtual KeyValues keyValues() const = 0;
    // After the rows were written: the context takes the values.
    virtual void applySaved() = 0;

signals:
    // A command for the main window (backup, restore, the download page, the code-list reload).
    void command(tavora::app::Command command);
    // A text for the status bar.
    void statusText(const QString& text);

protected:
    // Where a section puts its controls, below the title.
    QVBoxLayout* body() const { return m_body; }
    // A section caption inside the panel ("銘柄CSV情報", "認証情報"...).
    QLabel* addCaption(const QString& text);

    app::AppContext& m_ctx;

private:
    QString m_treeCaption;
    QString m_title;
    QString m_description;
    QVBoxLayout* m_body;
};

// The flag texts of the settings store.
inline std::string flagText(bool on) {
    return on ? "1" : "0";
}

} // namespace tavora::settings::ui
