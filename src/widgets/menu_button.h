#pragma once
// A large touch button whose caption wraps onto several lines, as the menu
// buttons need for product names wider than the button; a picture, when it
// has one, sits above the caption. text() stays the caption as stored, so
// code that matches captions sees exactly what the database holds.
#include <QPushButton>
#include <QTextOption>

namespace widgets {

class MenuButton : public QPushButton {
    Q_OBJECT
public:
    using QPushButton::QPushButton;

    // Where the caption is drawn: inside the frame, below the picture when
    // there is one.
    QRect CaptionArea() const;
    // How the caption is laid out in CaptionArea: centred, wrapped at words;
    // a word wider than the button is broken, the others stay whole.
    QTextOption CaptionOption() const;
    // Captions are drawn on up to this many lines.
    static constexpr int kCaptionLines = 3;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRect Inside() const;
};

// Sets the caption of a menu button as the database holds it: text() keeps
// it, the button draws it as typed ('&' included), and no '&' in it becomes
// an Alt+letter shortcut that would press the button from the keyboard.
void SetMenuCaption(QPushButton* button, const QString& caption);

}  // namespace widgets
