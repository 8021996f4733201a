#pragma once
// The "モラベル" section: whether start-up takes the companion program's price warehouse over
// and whether an opened chart asks it for today's prices; and the backup and restore of the
// price database. UI thread only.
#include "settings/ui/SettingsSection.h"

class QCheckBox;
class QPushButton;

namespace tavora::settings::ui {

class MoravelSettingsPanel : public SettingsSection {
    Q_OBJECT
public:
    explicit MoravelSettingsPanel(app::AppContext& ctx, QWidget* parent = nullptr);

    void initPanel() override;
    bool hasUnsavedChanges() const override;
    KeyValues keyValues() const override;
    void applySaved() override;

    QCheckBox* syncAtStart() const { return m_sync; }
    QCheckBox* todayPrices() const { return m_today; }
    QPushButton* backupButton() const { return m_backup; }
    QPushButton* restoreButton() const { return m_restore; }

private:
    QCheckBox* m_sync;
    QCheckBox* m_today;
    QPushButton* m_backup;
    QPushButton* m_restore;
};

} // namespace tavora::settings::ui
