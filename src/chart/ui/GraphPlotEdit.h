#pragma once
// The text editor placed over a chart while a text is typed: a frame drawn as a one-pixel blue
// rectangle holding a plain multi-line edit on a pale grey ground, in the text's colour, face
// and size. It hides itself when it loses the keyboard focus (the text stays until it is read).
// Keys typed into it, Delete among them, stay in it. UI thread only.
#include "framework/Canvas.h"

#include <QFrame>
#include <QPlainTextEdit>

#include <string>

namespace tavora::chart::ui {

class GraphPlotEditInCanpus : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit GraphPlotEditInCanpus(QWidget* parent);

signals:
    void focusLost();

protected:
    bool event(QEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};

class GraphPlotEdit : public QFrame {
    Q_OBJECT
public:
    static constexpr framework::ColorRef kFrameColor = 0xFF0000; // blue
    static constexpr framework::ColorRef kBackground = 0xF3F3F3;
    static constexpr int kMaxCharacters = 4095;

    explicit GraphPlotEdit(QWidget* parent);

    // Shows the editor at `rect` with the text, colour, face and size, and focuses it.
    void open(const framework::Rect& rect, const std::string& text, framework::ColorRef color,
              const std::string& face, int pointSize);
    void close();
    std::string text() const;
    GraphPlotEditInCanpus* edit() const { return m_edit; }

signals:
    void focusLost();

private:
    void limitLength();

    GraphPlotEditInCanpus* m_edit;
};

} // namespace tavora::chart::ui
