#include "settings/ui/MoravelSettingsPanel.h"

#include "app/core/AppContext.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <tuple>

namespace tavora::settings::ui {

namespace {
constexpr int ButtonWidth = 150;
}

MoravelSettingsPanel::MoravelSettingsPanel(app::AppContext& ctx, QWidget* parent)
    : SettingsSection(ctx, "モラベル", "モラベル　設定情報",
                      "モラベルがインストールされていた場合、モラベルの株価データを取り込んだり、"
                      "日中足が取得することができます。",
                      parent),
      m_sync(new QCheckBox("起動時にモラベルの株価データを取り込む", this)),
      m_today(new QCheckBox("日中の株価データを取得する", this)),
      m_backup(new QPushButton("バックアップ", this)),
      m_restore(new QPushButton("以前のデータに復元", this)) {
    setObjectName("ZSetteiMoravelPanel");
    addCaption("モラベルとの連携");
    m_sync->setObjectName("sync_moravel_db");
    m_sync->setMinimumWidth(300);
    m_today->setObjectName("use_moravel_day_data");
    body()->addWidget(m_sync);
    body()->addWidget(m_today);
    body()->addSpacing(16);
    addCaption("その他機能");
    // Each button right-aligned, its explanation under it.
    auto* grid = new QGridLayout;
    int row = 0;
    for (auto [button, text, cmd] :
         {std::tuple{m_backup, "現在の株価データのバックアップを作成します", app::Command::Backup},
          std::tuple{m_restore, "バックアップより株価データを復元します", app::Command::Restore}}) {
        button->setFixedWidth(ButtonWidth);
        grid->addWidget(button, row++, 1, Qt::AlignRight);
        grid->addWidget(new QLabel(QString::fromUtf8(text), this), row++, 1, Qt::AlignRight);
        connect(button, &QPushButton::clicked, this, [this, cmd = cmd] { emit command(cmd); });
    }
    m_backup->setObjectName("backupbutton");
    m_restore->setObjectName("restorebutton");
    grid->setColumnStretch(0, 1);
    body()->addLayout(grid);
    body()->addStretch(1);
}

void MoravelSettingsPanel::initPanel() {
    m_sync->setChecked(m_ctx.settings.sync_moravel_db);
    m_today->setChecked(m_ctx.settings.use_moravel_day_data);
}

bool MoravelSettingsPanel::hasUnsavedChanges() const {
    return m_sync->isChecked() != m_ctx.settings.sync_moravel_db ||
           m_today->isChecked() != m_ctx.settings.use_moravel_day_data;
}

KeyValues MoravelSettingsPanel::keyValues() const {
    return {{"sync_moravel_db", flagText(m_sync->isChecked())},
            {"use_moravel_day_data", flagText(m_today->isChecked())}};
}

void MoravelSettingsPanel::applySaved() {
    m_ctx.settings.sync_moravel_db = m_sync->isChecked();
    m_ctx.settings.use_moravel_day_data = m_today->isChecked();
}

} // namespace tavora::settings::ui
