#include "settings/ui/SettingsPage.h"

#include "app/core/AppContext.h"
#include "framework/ui/MessageBox.h"
#include "framework/ui/Theme.h"
#include "settings/SettingChecks.h"
#include "settings/SettingsStore.h"
#include "settings/ui/CodeSettingsPanel.h"
#include "settings/ui/DownloadSettingsPanel.h"
#include "settings/ui/KabuplusSettingsPanel.h"
#include "settings/ui/MoravelSettingsPanel.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tavora::settings::ui {

namespace {
constexpr int TreeWidth = 200;
}

SettingsPage::SettingsPage(app::AppContext& ctx, QWidget* parent)
    : TabPage(parent), m_ctx(ctx), m_tree(new QTreeWidget(this)), m_description(new QLabel(this)),
      m_stack(new QStackedWidget(this)), m_save(new QPushButton("保存", this)) {
    setObjectName("ZSetteiPanel");
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, framework::ui::themeColor(4));
    setPalette(pal);

    m_sections = {new CodeSettingsPanel(ctx), new KabuplusSettingsPanel(ctx), new MoravelSettingsPanel(ctx),
                  new DownloadSettingsPanel(ctx)};
    m_tree->setObjectName("settingstree");
    m_tree->setFixedWidth(TreeWidth);
    m_tree->setHeaderHidden(true);
    m_tree->setRootIsDecorated(false);
    for (auto* s : m_sections) {
        m_tree->addTopLevelItem(new QTreeWidgetItem(QStringList{s->treeCaption()}));
        m_stack->addWidget(s);
        connect(s, &SettingsSection::command, this, &SettingsPage::command);
        connect(s, &SettingsSection::statusText, this, &SettingsPage::statusText);
    }
    m_description->setObjectName("setsumeilabel");
    m_description->setWordWrap(true);
    m_description->setMinimumHeight(40);
    m_description->setStyleSheet("background: white; padding: 6px;");
    m_save->setObjectName("savebutton");
    m_save->setFixedWidth(150);

    auto* right = new QVBoxLayout;
    right->addWidget(m_description);
    right->addWidget(m_stack, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_save);
    right->addLayout(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_tree);
    layout->addLayout(right, 1);

    connect(m_tree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (item)
            showSection(m_tree->indexOfTopLevelItem(item));
    });
    connect(m_save, &QPushButton::clicked, this, [this] { save(); });
    selectSection(0);
}

SettingsPage::~SettingsPage() = default;

int SettingsPage::currentSection() const {
    return m_stack->currentIndex();
}

void SettingsPage::selectSection(int index) {
    if (index < 0 || index >= sectionCount())
        return;
    m_tree->setCurrentItem(m_tree->topLevelItem(index)); // shows it through currentItemChanged
    showSection(index);
}

void SettingsPage::showSection(int index) {
    SettingsSection* s = section(index);
    // A section shown again keeps what the user typed there; otherwise it shows the context.
    if (m_filled && !s->hasUnsavedChanges())
        s->initPanel();
    raiseSection(index);
}

void SettingsPage::raiseSection(int index) {
    SettingsSection* s = section(index);
    m_stack->setCurrentWidget(s);
    m_description->setText(s->description());
}

QString SettingsPage::pageName() const {
    return section(currentSection())->treeCaption();
}

bool SettingsPage::hasUnsavedChanges() const {
    if (!m_filled)
        return false; // nothing was shown, so nothing was changed
    for (auto* s : m_sections)
        if (s->hasUnsavedChanges())
            return true;
    return false;
}

void SettingsPage::initPanel() {
    m_filled = true;
    for (auto* s : m_sections)
        s->initPanel();
    raiseSection(currentSection());
}

void SettingsPage::refuse(int index, const QString& problem) {
    selectSection(index);
    emit statusText(kNotSavedText);
    framework::ui::MessageBox::warning(this, problem, "設定 " + section(index)->treeCaption());
}

bool SettingsPage::save() {
    if (!m_filled)
        initPanel(); // the sections show the context, so there is nothing new to write
    // Every value passes the checks tavora-cli config applies; nothing is written while one fails.
    KeyValues rows;
    for (int i = 0; i < sectionCount(); ++i) {
        if (const QString problem = section(i)->check(); !problem.isEmpty()) {
            refuse(i, problem);
            return false;
        }
        for (const auto& [key, value] : section(i)->keyValues()) {
            const SettingCheck checked = checkSetting(key, value);
            if (!checked.ok) {
                refuse(i, QString::fromStdString(checked.error));
                return false;
            }
            rows.emplace_back(key, checked.value);
        }
    }
    if (!SettingsStore(m_ctx.paths.setteiDb).write(rows)) {
        emit statusText(kNotSavedText);
        framework::ui::MessageBox::warning(
            this, QString("設定を保存できませんでした: %1").arg(QString::fromStdString(m_ctx.paths.setteiDb)),
            "設定");
        return false;
    }
    for (auto* s : m_sections)
        s->applySaved();
    emit statusText(kSavedText);
    return true;
}

} // namespace tavora::settings::ui
