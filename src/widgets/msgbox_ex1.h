#pragma once
// The system's own message window: a title that blinks twice when the window
// first becomes active, the message, one "Close" button and four stacked sign
// pictures (information on top). The caller sets the texts of lblTitulo1 and
// lblMensaje before showing it; the window copies the title into its caption.
#include <QColor>
#include <QDialog>
#include <QPixmap>
#include <QPoint>
#include <QSize>
#include <array>

class QLabel;
class QPushButton;
class QTimer;

namespace widgets {

// One straight line of the window's drawing, in pixels.
struct LineShape {
    QPoint from;
    QPoint to;
    QColor color;
};

// The four sign pictures, in the order of Image1.
enum class Sign { Information, Warning, Error, Telephone };

// A sign picture drawn to fill `size`.
QPixmap SignPicture(Sign sign, QSize size);

class msgboxEx1 : public QDialog {
    Q_OBJECT
public:
    explicit msgboxEx1(QWidget* parent = nullptr);

    // Each activation: the caption takes the title; the first one starts
    // the blinking.
    void Form_Activate();
    // One blink step: the title hides or shows; after four steps the timer
    // stops with the title shown.
    void Timer1_Timer();
    void CmdOk_Click();
    // Stops the blinking; a window shown again starts afresh.
    void Form_Unload();

    bool BlinkStarted() const { return blinkStarted_; }
    int BlinkCount() const { return blinkCount_; }

    QLabel* lblTitulo1 = nullptr;
    QLabel* lblMensaje = nullptr;
    QPushButton* CmdOk = nullptr;
    std::array<QLabel*, 4> Image1{};
    QTimer* Timer1 = nullptr;
    std::array<LineShape, 5> Line1{};

    // Closing the window in any way unloads it.
    void done(int result) override;

protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    void BuildLayout();

    bool blinkStarted_ = false;
    quint8 blinkCount_ = 0;
};

}  // namespace widgets
