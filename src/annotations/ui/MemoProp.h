#pragma once
// The memo editor of the side sheet ("メモの編集"): the text of one memo, named by its code,
// period and id, and "メモ帳に書き出し", which writes the text to "memo.txt" in the temporary
// folder and opens it in the user's text editor. The side sheet's apply hands a changed text
// to the host, which finds the memo again and records the change as one step. UI thread only.
#include "annotations/MemoEdit.h"
#include "framework/ui/SideSheetPanel.h"

#include <functional>

class QPlainTextEdit;
class QPushButton;

namespace tavora::annotations::ui {

class MemoProp : public framework::ui::SideSheetPanel {
    Q_OBJECT
public:
    struct Host {
        // The memo's new text (as memos store it); the host records it.
        std::function<void(const MemoKey&, const std::string& text)> confirm;
        std::string tmpDir;                         // where "memo.txt" goes
        std::function<void(const QString&)> status; // a line for the status bar
    };

    explicit MemoProp(Host host, QWidget* parent = nullptr);

    QString panelName() const override { return QStringLiteral("メモの編集"); }
    bool hasUnsavedChanges() const override { return changed(); }
    bool applyChanges() override;

    // On opening: the memo's key and its text.
    void initPanel(const MemoKey& key, const std::string& text);
    const MemoKey& key() const { return m_key; }
    // Whether the edit box differs from the memo's text other than by line ends.
    bool changed() const;
    // "メモ帳に書き出し".
    void exportToEditor();

    QPlainTextEdit* editBox() const { return m_edit; }
    QPushButton* exportButton() const { return m_export; }

private:
    Host m_host;
    QPlainTextEdit* m_edit;
    QPushButton* m_export;
    MemoKey m_key;
    std::string m_text;
};

} // namespace tavora::annotations::ui
