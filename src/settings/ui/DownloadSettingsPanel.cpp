#include "settings/ui/DownloadSettingsPanel.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tavora::settings::ui {

DownloadSettingsPanel::DownloadSettingsPanel(app::AppContext& ctx, QWidget* parent)
    : SettingsSection(ctx, "株価初回ダウンロード", "株価初回ダウンロード",
                      "タボラをインストール時はサンプルデータのみの株価データの為、"
                      "全銘柄の株価を表示するために株価を追加インストールする必要があります。",
                      parent),
      m_page(new QPushButton("ダウンロードページ", this)) {
    setObjectName("ZSetteiKabukaDownLoadPanel");
    addCaption("ダウンロードページ");
    auto* grid = new QGridLayout;
    m_page->setObjectName("downloadpagebutton");
    m_page->setFixedWidth(150);
    auto* text = new QLabel("ダウンロードページを表示します。その後、サイトに表示される"
                            "ダウンロードボタンをクリックしてください。",
                            this);
    text->setWordWrap(true);
    text->setMinimumHeight(2 * text->fontMetrics().height() + 4);
    grid->addWidget(m_page, 0, 1, Qt::AlignRight);
    grid->addWidget(text, 1, 0, 1, 2);
    grid->setColumnStretch(0, 1);
    body()->addLayout(grid);
    body()->addStretch(1);
    connect(m_page, &QPushButton::clicked, this, [this] { emit command(app::Command::DownloadPage); });
}

} // namespace tavora::settings::ui
