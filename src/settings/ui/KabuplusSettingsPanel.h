#pragma once
// The "KABU+設定情報" section: the user name and password of the KABU+ price service, used by
// the next download. The password is hidden while typed unless the user reveals it. UI thread.
#include "settings/ui/SettingsSection.h"

class QLineEdit;
class QPushButton;
class QToolButton;

namespace tavora::settings::ui {

class KabuplusSettingsPanel : public SettingsSection {
    Q_OBJECT
public:
    static constexpr const char* kEntriesAcceptedText =
        "入力内容に問題はありません。KABU+での認証は次のダウンロードで行われます。";

    explicit KabuplusSettingsPanel(app::AppContext& ctx, QWidget* parent = nullptr);

    void initPanel() override;
    bool hasUnsavedChanges() const override;
    QString check() const override;
    KeyValues keyValues() const override;
    void applySaved() override;

    QLineEdit* userField() const { return m_user; }
    QLineEdit* passwordField() const { return m_password; }
    QToolButton* revealButton() const { return m_reveal; }
    QPushButton* authenticateButton() const { return m_authenticate; }

private:
    // "認証": the entries checked as a save would check them; the result in the status bar.
    void authenticate();

    QLineEdit* m_user;
    QLineEdit* m_password;
    QToolButton* m_reveal;
    QPushButton* m_authenticate;
};

} // namespace tavora::settings::ui
