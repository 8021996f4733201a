#pragma once
// The "銘柄コード" section: which code-list file the catalogue comes from (the downloaded list,
// kept up to date by the reference refresh, or a file of the user's own) and a preview of it.
// A new file is read before anything is saved: one that is missing, unreadable or without
// entries is refused with the reason, and the catalogue in use stays. UI thread only.
#include "settings/ui/SettingsSection.h"

class QCheckBox;
class QLabel;
class QPushButton;

namespace tavora::settings::ui {

class CodeTablePanel;

class CodeSettingsPanel : public SettingsSection {
    Q_OBJECT
public:
    explicit CodeSettingsPanel(app::AppContext& ctx, QWidget* parent = nullptr);

    void initPanel() override;
    bool hasUnsavedChanges() const override;
    QString check() const override;
    KeyValues keyValues() const override;
    void applySaved() override;

    QLabel* pathLabel() const { return m_path; }
    QPushButton* browseButton() const { return m_browse; }
    QPushButton* resetButton() const { return m_reset; }
    QCheckBox* autoRefresh() const { return m_auto; }
    CodeTablePanel* table() const { return m_table; }

private:
    void browse();
    void resetPath();
    void autoToggled(bool on);
    // The code-list file the values shown would put in use.
    std::string listInUse() const;
    bool sourceChanged() const;

    QLabel* m_path;
    QPushButton* m_browse;
    QCheckBox* m_auto;
    QPushButton* m_reset;
    CodeTablePanel* m_table;
    bool m_chosen = false; // a file was chosen with "参照" since the section was filled
};

} // namespace tavora::settings::ui
