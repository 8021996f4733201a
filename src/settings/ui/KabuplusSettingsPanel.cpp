#include "settings/ui/KabuplusSettingsPanel.h"

#include "app/core/AppContext.h"
#include "framework/ui/Theme.h"
#include "settings/SettingChecks.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace tavora::settings::ui {

namespace {
constexpr int LabelWidth = 170;
constexpr int FieldWidth = 400;
constexpr int RevealSize = 25;

// An eye, open or struck through.
QIcon eyeIcon(bool open) {
    QPixmap pm(20, 20);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(framework::ui::themeColor(1), 1.6));
    QPainterPath eye;
    eye.moveTo(2, 10);
    eye.quadTo(10, 2, 18, 10);
    eye.quadTo(10, 18, 2, 10);
    p.drawPath(eye);
    p.setBrush(framework::ui::themeColor(1));
    p.drawEllipse(QPointF(10, 10), 2.5, 2.5);
    if (!open)
        p.drawLine(QPointF(3, 17), QPointF(17, 3));
    return QIcon(pm);
}

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}
} // namespace

KabuplusSettingsPanel::KabuplusSettingsPanel(app::AppContext& ctx, QWidget* parent)
    : SettingsSection(ctx, "KABU+設定情報", "KABU+　設定情報",
                      "KABU+から株価データをダウンロードするにはKABU+のID、パスワードを入力してください。",
                      parent),
      m_user(new QLineEdit(this)), m_password(new QLineEdit(this)), m_reveal(new QToolButton(this)),
      m_authenticate(new QPushButton("認証", this)) {
    setObjectName("ZSetteiKabukaDataPanel");
    addCaption("認証情報");
    auto* grid = new QGridLayout;
    auto* userLabel = new QLabel("ユーザーID：", this);
    userLabel->setFixedWidth(LabelWidth);
    auto* passwordLabel = new QLabel("パスワード：", this);
    passwordLabel->setFixedWidth(LabelWidth);
    m_user->setObjectName("kabuplusid");
    m_user->setFixedWidth(FieldWidth);
    m_user->setInputMethodHints(Qt::ImhLatinOnly | Qt::ImhNoAutoUppercase);
    m_password->setObjectName("kabupluspw");
    m_password->setFixedWidth(FieldWidth);
    m_password->setEchoMode(QLineEdit::Password);
    m_reveal->setObjectName("revealpassword");
    m_reveal->setFixedSize(RevealSize, RevealSize);
    m_reveal->setCheckable(true);
    m_reveal->setToolTip("パスワード表示");
    m_reveal->setIcon(eyeIcon(false));
    auto* passwordRow = new QHBoxLayout;
    passwordRow->setSpacing(2);
    passwordRow->addWidget(m_password);
    passwordRow->addWidget(m_reveal);
    passwordRow->addStretch(1);
    grid->addWidget(userLabel, 0, 0);
    grid->addWidget(m_user, 0, 1, Qt::AlignLeft);
    grid->addWidget(passwordLabel, 1, 0);
    grid->addLayout(passwordRow, 1, 1);
    grid->setColumnStretch(1, 1);
    body()->addLayout(grid);
    auto* buttonRow = new QHBoxLayout;
    m_authenticate->setObjectName("authenticatebutton");
    m_authenticate->setFixedWidth(150);
    buttonRow->addSpacing(LabelWidth);
    buttonRow->addWidget(m_authenticate);
    buttonRow->addStretch(1);
    body()->addLayout(buttonRow);
    body()->addStretch(1);

    connect(m_reveal, &QToolButton::toggled, this, [this](bool shown) {
        m_password->setEchoMode(shown ? QLineEdit::Normal : QLineEdit::Password);
        m_reveal->setIcon(eyeIcon(shown));
    });
    connect(m_authenticate, &QPushButton::clicked, this, &KabuplusSettingsPanel::authenticate);
}

void KabuplusSettingsPanel::initPanel() {
    m_user->setText(qs(m_ctx.settings.kabuplusid));
    m_password->setText(qs(m_ctx.settings.kabupluspw));
    m_reveal->setChecked(false);
}

bool KabuplusSettingsPanel::hasUnsavedChanges() const {
    return m_user->text() != qs(m_ctx.settings.kabuplusid) ||
           m_password->text() != qs(m_ctx.settings.kabupluspw);
}

QString KabuplusSettingsPanel::check() const {
    return {};
}

void KabuplusSettingsPanel::authenticate() {
    // The service is asked only by the download itself; here the entries are checked as they
    // would be when saved.
    std::optional<std::string> problem = checkKabuPlusId(m_user->text().toStdString());
    if (!problem)
        problem = checkKabuPlusPassword(m_password->text().toStdString());
    if (!problem && (m_user->text().isEmpty() || m_password->text().isEmpty()))
        problem = "ユーザーIDとパスワードを入力してください。";
    emit statusText(problem ? QString::fromStdString(*problem) : QString(kEntriesAcceptedText));
}

KeyValues KabuplusSettingsPanel::keyValues() const {
    return {{"kabuplusid", m_user->text().toStdString()}, {"kabupluspw", m_password->text().toStdString()}};
}

void KabuplusSettingsPanel::applySaved() {
    m_ctx.settings.kabuplusid = m_user->text().toStdString();
    m_ctx.settings.kabupluspw = m_password->text().toStdString();
}

} // namespace tavora::settings::ui
