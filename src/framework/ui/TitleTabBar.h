#pragma once
// The application's tab bar under the system title bar: tabs at fixed places (left edge and
// width each) and, at the right end, the icon with the caption. A click selects a tab and
// is reported; the owner may put the selection back without a report. UI thread only.
#include <QIcon>
#include <QWidget>

#include <vector>

namespace tavora::framework::ui {

class TitleTabBar : public QWidget {
    Q_OBJECT
public:
    static constexpr int Height = 30;

    struct Tab {
        QString caption;
        int left;
        int width;
        bool enabled = true;
    };

    TitleTabBar(const QIcon& icon, const QString& caption, std::vector<Tab> tabs, QWidget* parent = nullptr);

    int currentIndex() const { return m_current; }
    // Changes the selection without reporting it (used to put a refused switch back).
    void setCurrentIndex(int index);
    // The tab's rectangle in this widget's coordinates.
    QRect tabRect(int index) const;
    int count() const { return int(m_tabs.size()); }
    // Acts as a click on the tab; a disabled tab ignores it.
    void clickTab(int index);
    // A tab whose page is not available yet is drawn greyed and cannot be chosen.
    void setTabEnabled(int index, bool enabled);
    bool isTabEnabled(int index) const { return m_tabs.at(std::size_t(index)).enabled; }

signals:
    void tabSelected(int index, int previous);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QIcon m_icon;
    QString m_caption;
    std::vector<Tab> m_tabs;
    int m_current = 0;
};

}  // namespace tavora::framework::ui
