#include "widgets/c_image_button.h"

#include <QAbstractButton>
#include <QBuffer>
#include <QEvent>
#include <QFileInfo>
#include <QFontMetrics>
#include <QIcon>
#include <QImageReader>
#include <QPainter>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QStylePainter>

#include "runtime/bounded_file.h"
#include "widgets/image_button_layout.h"
#include "widgets/ole_color.h"

namespace widgets {
namespace {

// The caption as the button reports it into a buffer of 100 characters: at
// most 99, up to the first NUL.
constexpr int kCaptionBuffer = 100;

QString ButtonCaption(const QAbstractButton* button) {
    QString text = button->text().left(kCaptionBuffer - 1);
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    if (nul >= 0) text.truncate(nul);
    return text;
}

// The compiled-in picture a resource name stands for.
QString ResourcePath(const QString& name) {
    if (name.startsWith(u':')) return name;
    return QStringLiteral(":/iconos/") + QFileInfo(name).fileName();
}

// An icon file is a few KB; a large one holds 256-pixel images: 4 MB is more
// than any of them.
constexpr qint64 kIconBound = 4 * 1024 * 1024;

// One icon at `size`: the image of the file with exactly that size, or else
// its largest image scaled to it. Null when the file is missing or unreadable.
QPixmap LoadIcon(const QString& path, QSize size) {
    if (path.isEmpty() || size.isEmpty()) return {};
    // A file of the icon folder is read as bytes first, through the reader
    // that refuses pipes, devices and oversized files (it logs them): Qt's
    // image reader would wait on a pipe for ever. Compiled-in icons are ours.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    QImageReader reader;
    if (path.startsWith(u':')) {
        reader.setFileName(path);
    } else {
        bytes = rt::ReadBoundedFile(path, kIconBound).bytes;
        if (bytes.isEmpty()) return {};
        buffer.open(QIODevice::ReadOnly);
        reader.setDevice(&buffer);
        reader.setFormat(QFileInfo(path).suffix().toLower().toLatin1());  // as the name would tell Qt
    }
    QImage best;
    const int count = std::max(1, reader.imageCount());
    for (int i = 0; i < count; ++i) {
        if (i > 0 && !reader.jumpToImage(i)) break;
        const QImage image = reader.read();
        if (image.isNull()) break;
        if (image.size() == size) return QPixmap::fromImage(image);
        if (best.isNull() || image.width() * image.height() > best.width() * best.height())
            best = image;
    }
    if (best.isNull()) return {};
    return QPixmap::fromImage(best.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}

QPixmap LoadIcon(const QString& path, QSize size, bool fromRes) {
    if (path.isEmpty()) return {};
    return LoadIcon(fromRes ? ResourcePath(path) : path, size);
}

// The handles of image lists: unique for the life of the program.
qintptr NextImageListHandle() {
    static qintptr last = 0;
    return ++last;
}

// A button's style option, as a push button fills it for its own painting.
QStyleOptionButton ButtonOption(const QAbstractButton* button) {
    QStyleOptionButton opt;
    opt.initFrom(button);
    opt.features = QStyleOptionButton::None;
    if (const auto* push = qobject_cast<const QPushButton*>(button)) {
        if (push->isFlat()) opt.features |= QStyleOptionButton::Flat;
        if (push->isDefault()) opt.features |= QStyleOptionButton::DefaultButton;
        if (push->autoDefault()) opt.features |= QStyleOptionButton::AutoDefaultButton;
    }
    opt.state |= button->isDown() ? QStyle::State_Sunken : QStyle::State_Raised;
    if (button->isChecked()) opt.state |= QStyle::State_On;
    return opt;
}

}  // namespace

// Draws the composed picture in place of the button's own contents.
class cImageButton::Face : public QObject {
public:
    explicit Face(cImageButton& owner) : owner_(owner) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Paint || watched != owner_.button_) return false;
        owner_.PaintButton();
        return true;
    }

private:
    cImageButton& owner_;
};

cImageButton::cImageButton() = default;

cImageButton::~cImageButton() {
    face_.reset();  // no longer drawn by us: the button paints itself again
    if (button_) button_->update();
}

qintptr cImageButton::Init(int Width, int Height) {
    iconSize_ = QSize(Width, Height);
    images_.clear();
    imageList_ = NextImageListHandle();
    return imageList_;
}

QPixmap PictureFromFile(const QString& path) {
    const QByteArray bytes = rt::ReadBoundedFile(path, kIconBound).bytes;
    QPixmap picture;
    if (bytes.isEmpty()) return picture;
    // The name's suffix first, as Qt does for a path; else what the bytes say.
    if (!picture.loadFromData(bytes, QFileInfo(path).suffix().toLower().toLatin1().constData()))
        picture.loadFromData(bytes);
    return picture;
}

QPixmap cImageButton::Image(int index) const {
    if (index < 0 || index >= ImageCount()) return {};
    return images_[static_cast<size_t>(index)];
}

void cImageButton::FillImageList(const QString& normal, const QString (&states)[4], bool fromRes) {
    images_.clear();
    bool anyState = false;
    for (const QString& s : states) anyState = anyState || !s.isEmpty();
    // One picture serves every state; five when any state has its own.
    const int copies = anyState ? 5 : 1;
    for (int i = 0; i < copies; ++i) {
        const QPixmap icon = LoadIcon(normal, iconSize_, fromRes);
        if (!icon.isNull()) images_.push_back(icon);  // a missing icon adds nothing
    }
    for (int i = 0; i < 4; ++i) {
        const size_t index = static_cast<size_t>(i) + 1;
        if (states[i].isEmpty() || index >= images_.size()) continue;
        const QPixmap icon = LoadIcon(states[i], iconSize_, fromRes);
        if (!icon.isNull()) images_[index] = icon;
    }
}

bool cImageButton::Implement(QAbstractButton* hButton, const QString& Normal, const QString& Hover,
                             const QString& Pressed, const QString& Disabled,
                             const QString& Focused, [[maybe_unused]] int imgAlign,
                             [[maybe_unused]] int LeftMargin, [[maybe_unused]] int TopMargin,
                             [[maybe_unused]] int RightMargin, [[maybe_unused]] int BottomMargin,
                             bool FromRes) {
    // The alignment and margins place an image list on a button; the
    // composed picture centres the icon with the caption instead.
    FillImageList(Normal, {Hover, Pressed, Disabled, Focused}, FromRes);
    if (!hButton) return false;

    if (button_ != hButton) {
        face_.reset();
        if (button_) button_->update();
        button_ = hButton;
        face_ = std::make_unique<Face>(*this);
        hButton->installEventFilter(face_.get());
    }
    normalIcon_ = LoadIcon(Normal, iconSize_, FromRes);
    // The button carries its icon too, so that it reports (and, once this
    // object is gone, draws) what it shows.
    hButton->setIcon(normalIcon_.isNull() ? QIcon() : QIcon(normalIcon_));
    hButton->setIconSize(iconSize_);
    ComposeFallback();
    hButton->update();
    return false;
}

cImageButton::Composed cImageButton::CurrentState() const {
    return {button_->size(), button_->devicePixelRatioF(), ButtonCaption(button_), button_->font()};
}

void cImageButton::ComposeFallback() {
    bitmap_ = QPixmap();
    const Composed state = CurrentState();
    QPixmap picture(state.size * state.ratio);
    picture.setDevicePixelRatio(state.ratio);
    picture.fill(ButtonFaceColor());

    QPainter p(&picture);
    p.setFont(state.font);
    const QSize text = QFontMetrics(state.font).size(Qt::TextShowMnemonic, state.caption);
    const ImageButtonLayout at =
        LayOutImageButton(state.size.width(), state.size.height(), iconSize_.width(),
                          iconSize_.height(), text.width(), text.height(), state.caption.isEmpty());
    if (!normalIcon_.isNull()) p.drawPixmap(at.iconX, at.iconY, normalIcon_);
    p.setPen(button_->palette().color(QPalette::ButtonText));
    p.drawText(QRect(at.caption.left, at.caption.top, at.caption.width(), at.caption.height()),
               Qt::AlignLeft | Qt::AlignTop | Qt::TextShowMnemonic, state.caption);
    p.end();

    bitmap_ = picture;
    composed_ = state;
    bitmapIsButtons_ = true;
}

void cImageButton::PaintButton() {
    QAbstractButton* button = button_;
    // A new size, caption or font since the last composition: compose again.
    if (!bitmapIsButtons_ || composed_ != CurrentState()) ComposeFallback();

    const QStyleOptionButton opt = ButtonOption(button);
    QStylePainter p(button);
    p.drawControl(QStyle::CE_PushButtonBevel, opt);

    QStyle* style = button->style();
    p.save();
    p.setClipRect(style->subElementRect(QStyle::SE_PushButtonContents, &opt, button));
    QPoint shift;
    if (opt.state & QStyle::State_Sunken)
        shift = QPoint(style->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &opt, button),
                       style->pixelMetric(QStyle::PM_ButtonShiftVertical, &opt, button));
    const bool enabled = opt.state & QStyle::State_Enabled;
    p.drawPixmap(shift,
                 enabled ? bitmap_ : style->generatedIconPixmap(QIcon::Disabled, bitmap_, &opt));
    p.restore();

    if (opt.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(opt);
        focus.rect = style->subElementRect(QStyle::SE_PushButtonFocusRect, &opt, button);
        p.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}

bool cImageButton::DrawBitmapDC(const QString& sIconPath, QPaintDevice* lHdc, int x, int Y,
                                int lWidth, int lHeight, qint64 lBackColorImage) {
    bitmap_ = QPixmap();
    bitmapIsButtons_ = false;
    const QSize size(lWidth, lHeight);
    const QPixmap icon = LoadIcon(sIconPath, size);  // always from a file
    if (icon.isNull() || !lHdc) return false;

    // An untranslatable colour is -1: the low 24 bits of it, white.
    const QColor back = TranslateOleColor(lBackColorImage).value_or(QColor(255, 255, 255));
    QPixmap picture(size);
    picture.fill(back);
    QPainter compose(&picture);
    compose.drawPixmap(0, 0, icon);
    compose.end();

    QPainter target(lHdc);
    if (!target.isActive()) return false;
    target.setCompositionMode(QPainter::CompositionMode_Source);  // a plain copy
    target.drawPixmap(x, Y, picture);
    target.end();
    bitmap_ = picture;
    return true;
}

}  // namespace widgets
