#pragma once
// A translucent cover laid over the part of a window that must not be used while a side
// sheet or drop-down is open. A click on it is reported so the owner can close what it covers
// for. UI thread only.
#include <QWidget>

namespace tavora::framework::ui {

class ShadowPanel : public QWidget {
    Q_OBJECT
public:
    explicit ShadowPanel(QWidget* parent = nullptr);

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
};

}  // namespace tavora::framework::ui
