#pragma once
// Icons on push buttons, next to their caption, and icons painted once onto a
// drawing surface. Icons come from .ico files (or the compiled-in pictures).
//
// Each object keeps an image list (one or five pictures: normal, hover,
// pressed, disabled, focused) and the last picture it composed. A Qt button
// takes no image list, so Implement always composes the icon and the caption
// into one picture and makes the button show it inside its bevel; the
// button's text() keeps the caption. The object must live as long as its
// button is shown; when it ends, the button draws itself again.
#include <QFont>
#include <QPixmap>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QtGlobal>
#include <memory>
#include <vector>

class QAbstractButton;
class QPaintDevice;

namespace widgets {

class cImageButton {
public:
    cImageButton();
    ~cImageButton();
    cImageButton(const cImageButton&) = delete;
    cImageButton& operator=(const cImageButton&) = delete;

    // Remembers the icon size and creates a new, empty image list; returns
    // its handle (never 0).
    qintptr Init(int Width, int Height);

    // Fills the image list from the icon files (empty path = none) and puts
    // the `Normal` icon and the button's caption on `hButton`. True would mean
    // the button took the image list; a Qt button never does, so the composed
    // picture is used and the result is false. With `FromRes` the paths name
    // compiled-in pictures (":/iconos/<name>", or just "<name>"). A missing
    // icon leaves the button without it; that is no error.
    bool Implement(QAbstractButton* hButton, const QString& Normal, const QString& Hover,
                   const QString& Pressed, const QString& Disabled, const QString& Focused,
                   int imgAlign, int LeftMargin, int TopMargin, int RightMargin, int BottomMargin,
                   bool FromRes);

    // Paints the icon file at `lWidth` × `lHeight` on the back colour (a
    // Windows colour value, system colours allowed) at (`x`, `Y`) of `lHdc`,
    // once. False, with the target untouched, when the icon cannot be loaded.
    bool DrawBitmapDC(const QString& sIconPath, QPaintDevice* lHdc, int x, int Y, int lWidth,
                      int lHeight, qint64 lBackColorImage);

    // Read-only views of the object's state.
    qintptr ImageList() const { return imageList_; }
    QSize IconSize() const { return iconSize_; }
    int ImageCount() const { return static_cast<int>(images_.size()); }
    QPixmap Image(int index) const;  // null outside the list
    // The last picture composed (by Implement or DrawBitmapDC).
    const QPixmap& Bitmap() const { return bitmap_; }
    QAbstractButton* Button() const { return button_; }

private:
    class Face;  // the paint override installed on the button
    struct Composed {
        QSize size;
        qreal ratio = 0;
        QString caption;
        QFont font;
        bool operator==(const Composed&) const = default;
    };

    void FillImageList(const QString& normal, const QString (&states)[4], bool fromRes);
    Composed CurrentState() const;
    void ComposeFallback();
    void PaintButton();

    qintptr imageList_ = 0;
    QSize iconSize_;
    std::vector<QPixmap> images_;
    QPixmap bitmap_;
    QPixmap normalIcon_;  // the icon of the composition, at the remembered size
    Composed composed_;   // what bitmap_ shows when it is the button's picture
    bool bitmapIsButtons_ = false;
    QPointer<QAbstractButton> button_;
    std::unique_ptr<Face> face_;
};

// A picture file from outside the program (a menu button's picture the
// database names), read through the bounded reader first: a pipe, a device
// or an oversized file is refused (and logged) instead of stopping the
// screen. Null when missing, refused or no picture.
QPixmap PictureFromFile(const QString& path);

}  // namespace widgets
