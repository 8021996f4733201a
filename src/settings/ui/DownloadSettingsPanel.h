#pragma once
// The "株価初回ダウンロード" section: a way to the product site's price-data download page,
// from which a fresh installation gets the prices of every code. It has no keys. UI thread.
#include "settings/ui/SettingsSection.h"

class QPushButton;

namespace tavora::settings::ui {

class DownloadSettingsPanel : public SettingsSection {
    Q_OBJECT
public:
    explicit DownloadSettingsPanel(app::AppContext& ctx, QWidget* parent = nullptr);

    void initPanel() override {}
    bool hasUnsavedChanges() const override { return false; }
    KeyValues keyValues() const override { return {}; }
    void applySaved() override {}

    QPushButton* pageButton() const { return m_page; }

private:
    QPushButton* m_page;
};

} // namespace tavora::settings::ui
