#pragma once
// The notice pop-up at the bottom-right corner of the work area: it slides in towards a
// width its caller chooses (half the remaining difference every 10 ms), settles at 300 x 200
// 20 pixels inside the corner, stays five seconds and shrinks away (halving every 10 ms).
// A click on it is reported (command 595). UI thread only.
#include <QWidget>

class QLabel;
class QTimer;

namespace tavora::framework::ui {

class NoticePopup : public QWidget {
    Q_OBJECT
public:
    static constexpr int SettledWidth = 300;
    static constexpr int SettledHeight = 200;
    static constexpr int CornerInset = 20;
    static constexpr int StayMs = 5000;

    explicit NoticePopup(const QIcon& icon, QWidget* parent = nullptr);

    // Shows `text` (in `textColor`) sliding in towards `targetWidth`.
    void showNotice(const QString& text, const QColor& textColor, int targetWidth);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void growStep();
    void shrinkStep();
    QRect workArea() const;
    void placeAtWidth(int width);

    QLabel* m_icon;
    QLabel* m_text;
    QTimer* m_growTimer;    // 10 ms steps of the slide-in
    QTimer* m_stayTimer;    // 5 s before shrinking
    QTimer* m_shrinkTimer;  // 10 ms steps of the slide-out
    int m_targetWidth = SettledWidth;
};

}  // namespace tavora::framework::ui
