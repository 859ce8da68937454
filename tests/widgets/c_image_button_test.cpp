// Icons on buttons (the image list and the composed picture) and icons painted
// once onto a surface, with the program's own .ico files.
#include "widgets/c_image_button.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFontMetrics>
#include <QImage>
#include <QImageReader>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "widgets/image_button_layout.h"
#include "widgets/ole_color.h"

namespace {

QString IconFile(const QString& name) {
    return QStringLiteral(PEDIDOS_SOURCE_DIR "/src/iconos/") + name;
}

// The 24 x 24 image stored in an icon file, read straight from the file.
QImage StoredIcon(const QString& name) {
    QImageReader reader(IconFile(name));
    for (int i = 0; i < reader.imageCount(); ++i) {
        reader.jumpToImage(i);
        const QImage image = reader.read();
        if (image.size() == QSize(24, 24)) return image.convertToFormat(QImage::Format_ARGB32);
    }
    ADD_FAILURE() << "no 24 px image in " << name.toStdString();
    return {};
}

// Counts the fully opaque pixels of `icon` and how many of them `shot` shows
// unchanged at (x, y).
struct IconMatch {
    int opaque = 0;
    int matching = 0;
};
IconMatch MatchIcon(const QImage& shot, const QImage& icon, int x, int y) {
    IconMatch m;
    for (int iy = 0; iy < icon.height(); ++iy)
        for (int ix = 0; ix < icon.width(); ++ix) {
            const QColor c = icon.pixelColor(ix, iy);
            if (c.alpha() != 255) continue;
            ++m.opaque;
            m.matching += shot.pixelColor(x + ix, y + iy).rgb() == c.rgb();
        }
    return m;
}

void ExpectIconAt(const QImage& shot, const QString& name, int x, int y) {
    const IconMatch m = MatchIcon(shot, StoredIcon(name), x, y);
    ASSERT_GT(m.opaque, 60) << "the icon has too few opaque pixels to check";
    EXPECT_EQ(m.matching, m.opaque) << name.toStdString() << " at " << x << "," << y;
}

// Pixels of `shot` inside [left, right) × [top, bottom) that are much darker
// than the button face: the caption's strokes.
int DarkPixels(const QImage& shot, int left, int top, int right, int bottom) {
    int dark = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) dark += qGray(shot.pixel(x, y)) < 100;
    return dark;
}

class ImageButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setPixelSize(14);
        f.setBold(true);
        button = std::make_unique<QPushButton>(QStringLiteral("ENVIAR"));
        button->setFont(f);
        button->resize(120, 36);
    }
    bool ImplementNormal(const QString& normal) {
        imageButton.Init(24, 24);
        return imageButton.Implement(button.get(), normal, {}, {}, {}, {}, 0, 2, 2, 2, 2, false);
    }
    // Where the composition puts the icon for the button's current caption.
    widgets::ImageButtonLayout Expected() const {
        const QSize text = QFontMetrics(button->font()).size(Qt::TextShowMnemonic, button->text());
        return widgets::LayOutImageButton(button->width(), button->height(), 24, 24, text.width(),
                                          text.height(), button->text().isEmpty());
    }
    QImage Shot() const { return button->grab().toImage(); }

    std::unique_ptr<QPushButton> button;
    widgets::cImageButton imageButton;
};

TEST_F(ImageButtonTest, InitGivesEachObjectItsOwnImageListAtItsSize) {
    widgets::cImageButton other;
    const qintptr first = imageButton.Init(24, 24);
    const qintptr second = other.Init(16, 20);
    EXPECT_NE(first, 0);
    EXPECT_NE(second, 0);
    EXPECT_NE(first, second);
    EXPECT_EQ(imageButton.ImageList(), first);
    EXPECT_EQ(other.IconSize(), QSize(16, 20));
    EXPECT_EQ(imageButton.ImageCount(), 0);
}

TEST_F(ImageButtonTest, OneImageForEveryStateUnlessAStateHasItsOwn) {
    EXPECT_FALSE(ImplementNormal(IconFile("enviar.ico")));  // a Qt button takes no image list
    ASSERT_EQ(imageButton.ImageCount(), 1);
    EXPECT_EQ(imageButton.Image(0).size(), QSize(24, 24));
    const QImage normal = imageButton.Image(0).toImage();
    EXPECT_EQ(normal.convertToFormat(QImage::Format_ARGB32), StoredIcon("enviar.ico"));

    // With a hover icon: five images, the hover one at index 1.
    imageButton.Implement(button.get(), IconFile("enviar.ico"), IconFile("close.ico"), {}, {}, {},
                          0, 2, 2, 2, 2, false);
    ASSERT_EQ(imageButton.ImageCount(), 5);
    EXPECT_EQ(imageButton.Image(1).toImage().convertToFormat(QImage::Format_ARGB32),
              StoredIcon("close.ico"));
    for (int i : {0, 2, 3, 4}) EXPECT_EQ(imageButton.Image(i).toImage(), normal) << i;

    // Only a focused icon: index 4 takes it, hover stays normal.
    imageButton.Implement(button.get(), IconFile("enviar.ico"), {}, {}, {}, IconFile("menu.ico"), 0,
                          2, 2, 2, 2, false);
    ASSERT_EQ(imageButton.ImageCount(), 5);
    EXPECT_EQ(imageButton.Image(1).toImage(), normal);
    EXPECT_EQ(imageButton.Image(4).toImage().convertToFormat(QImage::Format_ARGB32),
              StoredIcon("menu.ico"));

    // Implementing again refills the same list.
    EXPECT_FALSE(ImplementNormal(IconFile("enviar.ico")));
    EXPECT_EQ(imageButton.ImageCount(), 1);
    EXPECT_TRUE(imageButton.Image(1).isNull());
}

TEST_F(ImageButtonTest, MissingStateIconsKeepTheNormalOneAndAMissingNormalAddsNothing) {
    imageButton.Init(24, 24);
    imageButton.Implement(button.get(), IconFile("enviar.ico"), IconFile("no_existe.ico"), {}, {},
                          {}, 0, 2, 2, 2, 2, false);
    ASSERT_EQ(imageButton.ImageCount(), 5);
    EXPECT_EQ(imageButton.Image(1).toImage(), imageButton.Image(0).toImage());

    imageButton.Implement(button.get(), IconFile("no_existe.ico"), IconFile("close.ico"), {}, {},
                          {}, 0, 2, 2, 2, 2, false);
    EXPECT_EQ(imageButton.ImageCount(), 0);
}

TEST_F(ImageButtonTest, CompiledInIconsAreFoundByResourceName) {
    imageButton.Init(24, 24);
    imageButton.Implement(button.get(), QStringLiteral(":/iconos/close.ico"), {}, {}, {}, {}, 0, 2,
                          2, 2, 2, true);
    ASSERT_EQ(imageButton.ImageCount(), 1);
    EXPECT_EQ(imageButton.Image(0).toImage().convertToFormat(QImage::Format_ARGB32),
              StoredIcon("close.ico"));
    imageButton.Implement(button.get(), QStringLiteral("close.ico"), {}, {}, {}, {}, 0, 2, 2, 2, 2,
                          true);
    EXPECT_EQ(imageButton.ImageCount(), 1);
    // Not from the resources, the bare name is no file here.
    imageButton.Implement(button.get(), QStringLiteral("close.ico"), {}, {}, {}, {}, 0, 2, 2, 2, 2,
                          false);
    EXPECT_EQ(imageButton.ImageCount(), 0);
}

TEST_F(ImageButtonTest, TheButtonShowsIconAndCaptionCentredAsOneGroup) {
    ImplementNormal(IconFile("enviar.ico"));
    EXPECT_EQ(button->text(), "ENVIAR");  // the caption stays readable
    const widgets::ImageButtonLayout at = Expected();
    ASSERT_GT(at.iconX, 4);
    const QImage shot = Shot();
    ExpectIconAt(shot, "enviar.ico", at.iconX, at.iconY);
    EXPECT_GT(
        DarkPixels(shot, at.caption.left, at.caption.top, at.caption.right - 4, at.caption.bottom),
        30);
    // Nothing but the face between the bevel and the icon, and in the gap.
    EXPECT_EQ(DarkPixels(shot, 4, 4, at.iconX, 32), 0);
    EXPECT_EQ(DarkPixels(shot, at.iconX + 24, 4, at.caption.left, 32), 0);
    EXPECT_EQ(imageButton.Bitmap().size(), QSize(120, 36));
}

TEST_F(ImageButtonTest, AButtonWithoutCaptionGetsTheIconCentredAlone) {
    button->setText(QString());
    button->resize(60, 40);
    ImplementNormal(IconFile("Gointo.ico"));
    ExpectIconAt(Shot(), "Gointo.ico", 18, 8);
}

TEST_F(ImageButtonTest, ANewCaptionOrSizeIsComposedAgain) {
    button->setText(QStringLiteral("SALIR "));
    ImplementNormal(IconFile("limpiar.ico"));
    EXPECT_EQ(button->text(), "SALIR ");
    const int salirX = Expected().iconX;
    ExpectIconAt(Shot(), "limpiar.ico", salirX, Expected().iconY);

    button->setText(QStringLiteral("LIMPIAR"));
    ASSERT_NE(Expected().iconX, salirX);
    ExpectIconAt(Shot(), "limpiar.ico", Expected().iconX, Expected().iconY);

    button->resize(200, 50);
    const QImage wide = Shot();
    ExpectIconAt(wide, "limpiar.ico", Expected().iconX, Expected().iconY);
    EXPECT_EQ(imageButton.Bitmap().size(), QSize(200, 50));
}

TEST_F(ImageButtonTest, AMissingIconLeavesOnlyTheCaption) {
    EXPECT_FALSE(ImplementNormal(IconFile("no_existe.ico")));
    EXPECT_TRUE(button->icon().isNull());
    const widgets::ImageButtonLayout at = Expected();
    const QImage shot = Shot();
    const QColor face = widgets::ButtonFaceColor();
    int iconPixels = 0;
    for (int y = at.iconY; y < at.iconY + 24; ++y)
        for (int x = at.iconX; x < at.iconX + 24; ++x) iconPixels += shot.pixelColor(x, y) != face;
    EXPECT_EQ(iconPixels, 0);
    EXPECT_GT(
        DarkPixels(shot, at.caption.left, at.caption.top, at.caption.right - 4, at.caption.bottom),
        30);
}

TEST_F(ImageButtonTest, TheButtonStillClicksAndDisablesLikeAnyOther) {
    ImplementNormal(IconFile("ok-icon.ico"));
    button->show();
    QSignalSpy clicked(button.get(), &QPushButton::clicked);
    QTest::mouseClick(button.get(), Qt::LeftButton);
    EXPECT_EQ(clicked.count(), 1);

    button->setEnabled(false);
    QTest::mouseClick(button.get(), Qt::LeftButton);
    EXPECT_EQ(clicked.count(), 1);
    // A disabled button shows its picture greyed, not in colour.
    const widgets::ImageButtonLayout at = Expected();
    const IconMatch m = MatchIcon(Shot(), StoredIcon("ok-icon.ico"), at.iconX, at.iconY);
    EXPECT_LT(m.matching, m.opaque / 2);
}

TEST_F(ImageButtonTest, EitherTheObjectOrTheButtonMayGoFirst) {
    auto first = std::make_unique<widgets::cImageButton>();
    first->Init(24, 24);
    first->Implement(button.get(), IconFile("close.ico"), {}, {}, {}, {}, 0, 2, 2, 2, 2, false);
    first.reset();
    // The button draws itself again (no paint reaches the object that is gone)
    // and keeps its caption and icon.
    EXPECT_FALSE(Shot().isNull());
    EXPECT_EQ(button->text(), "ENVIAR");
    EXPECT_FALSE(button->icon().isNull());

    ImplementNormal(IconFile("close.ico"));
    button.reset();
    EXPECT_EQ(imageButton.Button(), nullptr);
}

class DrawBitmapTest : public ::testing::Test {
protected:
    DrawBitmapTest() : target(80, 60, QImage::Format_ARGB32) { target.fill(QColor(255, 0, 255)); }
    QImage target;
    widgets::cImageButton painter;
};

TEST_F(DrawBitmapTest, PaintsTheIconOnItsBackColourAtThePosition) {
    // 0x0000FF is red: red in the low byte.
    ASSERT_TRUE(painter.DrawBitmapDC(IconFile("Vandrel.ico"), &target, 30, 20, 24, 24, 0x0000FF));
    const QImage icon = StoredIcon("Vandrel.ico");
    int transparent = 0;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x) {
            if (icon.pixelColor(x, y).alpha() != 0) continue;
            ++transparent;
            EXPECT_EQ(target.pixelColor(30 + x, 20 + y), QColor(255, 0, 0)) << x << "," << y;
        }
    EXPECT_GT(transparent, 0);
    ExpectIconAt(target, "Vandrel.ico", 30, 20);
    // Outside the 24 x 24 box nothing changed.
    for (const QPoint p : {QPoint(29, 20), QPoint(54, 20), QPoint(30, 19), QPoint(30, 44)})
        EXPECT_EQ(target.pixelColor(p), QColor(255, 0, 255)) << p.x() << "," << p.y();
    EXPECT_EQ(painter.Bitmap().size(), QSize(24, 24));
}

TEST_F(DrawBitmapTest, SystemColoursAreTranslated) {
    ASSERT_TRUE(
        painter.DrawBitmapDC(IconFile("close.ico"), &target, 0, 0, 24, 24, widgets::kButtonFace));
    EXPECT_EQ(target.pixelColor(0, 0), widgets::ButtonFaceColor());
    // A value no colour stands for paints white.
    ASSERT_TRUE(painter.DrawBitmapDC(IconFile("close.ico"), &target, 40, 0, 24, 24, -5));
    EXPECT_EQ(target.pixelColor(40, 0), QColor(255, 255, 255));
}

TEST_F(DrawBitmapTest, AMissingFileReturnsFalseAndLeavesTheTargetUntouched) {
    const QImage before = target;
    EXPECT_FALSE(painter.DrawBitmapDC(IconFile("no_existe.ico"), &target, 10, 10, 24, 24, 0));
    EXPECT_EQ(target, before);
    EXPECT_FALSE(painter.DrawBitmapDC(QString(), &target, 10, 10, 24, 24, 0));
    EXPECT_EQ(target, before);
}

}  // namespace

// A picture the database names is read only when it is a plain file: a pipe
// is refused at once (Qt's own reader would wait on it for ever).
TEST(PictureFromFile, APictureIsReadAndAPipeIsRefusedAtOnce) {
    QTemporaryDir dir;
    const QString png = dir.filePath(QStringLiteral("plato.png"));
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::red);
    ASSERT_TRUE(image.save(png));
    EXPECT_EQ(widgets::PictureFromFile(png).size(), QSize(8, 8));
    const QString fifo = dir.filePath(QStringLiteral("tuberia.png"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_TRUE(widgets::PictureFromFile(fifo).isNull());
}
