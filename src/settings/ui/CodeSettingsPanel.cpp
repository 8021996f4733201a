#include "settings/ui/CodeSettingsPanel.h"

#include "app/core/AppContext.h"
#include "app/core/CatalogueStartup.h"
#include "framework/ui/FileDialog.h"
#include "settings/ui/CodeTablePanel.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tavora::settings::ui {

namespace {
constexpr int ButtonWidth = 150;

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}
} // namespace

CodeSettingsPanel::CodeSettingsPanel(app::AppContext& ctx, QWidget* parent)
    : SettingsSection(ctx, "銘柄コード", "銘柄コード情報",
                      "グラフ化する銘柄情報を登録します。ＣＳＶファイルを読み込んでください。"
                      "自動更新にチェックを入れるとタボラのサーバーの銘柄と同期されます。",
                      parent),
      m_path(new QLabel(this)), m_browse(new QPushButton("参照", this)),
      m_auto(new QCheckBox("自動更新する", this)), m_reset(new QPushButton("初期値に戻す", this)),
      m_table(new CodeTablePanel(this)) {
    setObjectName("ZSetteiCodePanel");
    addCaption("銘柄CSV情報");
    m_path->setObjectName("codelistpath");
    m_path->setAutoFillBackground(true);
    m_path->setStyleSheet("background: white; padding: 4px;");
    m_path->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_path->setMinimumHeight(25);
    body()->addWidget(m_path);
    // "参照" sits under the label's right end.
    auto* browseRow = new QHBoxLayout;
    browseRow->addStretch(1);
    m_browse->setObjectName("browsebutton");
    m_browse->setFixedWidth(ButtonWidth);
    browseRow->addWidget(m_browse);
    body()->addLayout(browseRow);
    auto* optionRow = new QHBoxLayout;
    m_auto->setObjectName("codeauto");
    m_reset->setObjectName("resetpathbutton");
    optionRow->addWidget(m_auto);
    optionRow->addSpacing(20);
    optionRow->addWidget(m_reset);
    optionRow->addStretch(1);
    body()->addLayout(optionRow);
    body()->addSpacing(10);
    addCaption("コード一覧");
    body()->addWidget(m_table, 1);

    connect(m_browse, &QPushButton::clicked, this, &CodeSettingsPanel::browse);
    connect(m_reset, &QPushButton::clicked, this, &CodeSettingsPanel::resetPath);
    connect(m_auto, &QCheckBox::toggled, this, &CodeSettingsPanel::autoToggled);
}

void CodeSettingsPanel::initPanel() {
    m_chosen = false;
    m_path->setText(qs(m_ctx.paths.codeListInUse));
    {
        const QSignalBlocker block(m_auto);
        m_auto->setChecked(m_ctx.settings.codeauto_ch);
    }
    m_path->setEnabled(!m_auto->isChecked());
    m_browse->setEnabled(!m_auto->isChecked());
    m_table->initPanel(m_ctx.paths.codeListInUse);
}

void CodeSettingsPanel::browse() {
    const QString chosen = framework::ui::FileDialog::openFile(
        window(), "CSVファイルを指定します。", framework::ui::FileKind::CodeList, "CSVファイル(*.csv)");
    if (chosen.isEmpty() || !QFileInfo(chosen).isFile())
        return;
    m_path->setText(chosen);
    m_chosen = true;
}

void CodeSettingsPanel::resetPath() {
    m_path->setText(qs(m_ctx.paths.codeInfoCsv));
}

void CodeSettingsPanel::autoToggled(bool on) {
    m_path->setEnabled(!on);
    m_browse->setEnabled(!on);
    if (on)
        resetPath(); // the downloaded list replaces a chosen file
}

std::string CodeSettingsPanel::listInUse() const {
    Settings s;
    s.codelistcsvpath = m_path->text().toStdString();
    s.codeauto_ch = m_auto->isChecked();
    return SettingsStore::codeListInUse(s, m_ctx.paths.codeInfoCsv);
}

bool CodeSettingsPanel::sourceChanged() const {
    return m_chosen || m_auto->isChecked() != m_ctx.settings.codeauto_ch ||
           listInUse() != m_ctx.paths.codeListInUse;
}

bool CodeSettingsPanel::hasUnsavedChanges() const {
    return sourceChanged() || m_path->text() != qs(m_ctx.paths.codeListInUse);
}

QString CodeSettingsPanel::check() const {
    if (!sourceChanged())
        return {};
    const std::string problem = app::CodeListFileProblem(listInUse());
    if (problem.empty())
        return {};
    return qs(problem) + "\n銘柄リストは以前のまま使います。";
}

KeyValues CodeSettingsPanel::keyValues() const {
    // Unchanged keys are not written again: the stored list may be the downloaded one that a
    // first start without the server has not fetched yet.
    if (!sourceChanged())
        return {};
    return {{"codelistcsvpath", m_path->text().toStdString()},
            {"codeauto_ch", flagText(m_auto->isChecked())}};
}

void CodeSettingsPanel::applySaved() {
    if (sourceChanged()) {
        m_ctx.settings.codelistcsvpath = m_path->text().toStdString();
        m_ctx.settings.codeauto_ch = m_auto->isChecked();
        m_ctx.paths.codeListInUse = listInUse();
        emit command(
            app::Command::ReloadCodeList); // the main window reloads the catalogue and opens its first code
    }
    initPanel();
}

} // namespace tavora::settings::ui
