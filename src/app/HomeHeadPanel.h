#pragma once
// The 35-pixel head of the Home page. Left: the code search box, the navigation buttons
// (最初へ 537, 前へ 266, 次へ 265, 最後へ 538, 更新 539) and the favourites check buttons
// (お気に入りリスト 546, お気に入り追加 544). Right: the document buttons (印刷 375, disabled
// until printing is part of the program; 新規ファイル 549; ファイルを開く 528 with the
// drop-down of recent documents; 保存 271 with the drop-down 上書き保存 / 名前を付けて保存 270).
// Every button sends its command. UI thread only.
#include "app/core/Commands.h"

#include <QWidget>

class QLineEdit;
class QPushButton;
class QToolButton;

namespace tavora::app {

class HomeHeadPanel : public QWidget {
    Q_OBJECT
public:
    static constexpr int Height = 35;

    explicit HomeHeadPanel(QWidget* parent);

    QLineEdit* searchBox() const { return m_search; }
    bool favouritesOnly() const;
    void setFavouritesOnly(bool on);
    void setFavouriteChecked(bool on);
    bool favouriteChecked() const;
    // The recent documents' drop-down; disabled while the list is empty.
    void setRecentFiles(const QStringList& paths);
    QToolButton* recentButton() const { return m_recent; }
    QToolButton* saveMenuButton() const { return m_saveMenu; }
    // Navigation and favourites need a catalogue.
    void setNavigationEnabled(bool enabled);
    // The narrowest head in which every control shows whole (document buttons with their
    // short captions).
    int minimumWidth() const;
    // The controls in the order Tab visits them: the search box, the left buttons, then the
    // document buttons.
    QList<QWidget*> focusChain() const;

signals:
    void command(tavora::app::Command command);
    void recentChosen(const QString& path);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void fitDocumentCaptions(int available);

    QWidget* m_left;
    QWidget* m_right;
    QLineEdit* m_search;
    QPushButton* m_favouritesOnly = nullptr;
    QPushButton* m_favourite = nullptr;
    QList<QPushButton*> m_navigation;
    QList<QPushButton*> m_documents;
    QToolButton* m_recent = nullptr;
    QToolButton* m_saveMenu = nullptr;
    int m_fullDocumentsWidth = 0; // the right part with full captions
    int m_compactDocumentsWidth = 0; // with short captions
};

} // namespace tavora::app
