#pragma once
// The web side panel at the right of the Home page: the address of the product site's page
// for the current code, with a link that opens it in the browser, and its width switch
// (HomeHeadAdButtonPanel, 10 x 10). UI thread only.
#include <QWidget>

class QLabel;

namespace tavora::app {

class AdContainerPanel : public QWidget {
    Q_OBJECT
public:
    explicit AdContainerPanel(QWidget* parent);

    // Shows the page at `url` (an absolute address on the product site).
    void navigate(const QString& url);
    QString address() const { return m_address; }

private:
    QLabel* m_caption;
    QLabel* m_link;
    QString m_address;
};

// The 10 x 10 switch that cycles the web side panel's width (view type 1 -> 2 -> 0 -> 1).
class HomeHeadAdButtonPanel : public QWidget {
    Q_OBJECT
public:
    explicit HomeHeadAdButtonPanel(QWidget* parent);

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
};

// The page path of a code on the product site: the code's page, or the blog for indices
// and when no code is current.
QString adPagePath(const QString& symbol, bool isIndexOrNone);
// The next view type of the width switch: 1 -> 2 -> 0 -> 1.
int nextAdViewType(int viewType);
// The side panel's width for a view type and the Home page width: 0, W / 2 or 400.
int adPanelWidth(int viewType, int homeWidth);

}  // namespace tavora::app
