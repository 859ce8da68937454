// The shades that keep text and edges readable, and the outlines the menu
// buttons and the style's controls paint with them.
#include <gtest/gtest.h>

#include "support/edge_probe.h"
#include "widgets/contrast.h"
#include "widgets/look.h"
#include "widgets/menu_button.h"
#include "widgets/ole_color.h"

namespace {

using widgets::ContrastRatio;
const QColor kPageGrey(192, 192, 192);

TEST(ShadeReaching, ReachesItsRatioAsNearAsItCanAndLeavesAColourThatAlreadyDoes) {
    for (const double ratio : {widgets::kEdgeContrast, widgets::kTextContrast})
        for (const QColor back : {kPageGrey, QColor(239, 239, 239), QColor(192, 255, 255), QColor(0, 0, 128),
                                  QColor(119, 119, 119), QColor(Qt::black), QColor(Qt::white)})
            for (int rgb = 0; rgb < 216; ++rgb) {  // the colour cube in steps of 51
                const QColor wanted(rgb / 36 * 51, rgb / 6 % 6 * 51, rgb % 6 * 51);
                const QColor shade = widgets::ShadeReaching(wanted, back, ratio);
                EXPECT_GE(ContrastRatio(shade, back), ratio) << wanted.name().toStdString();
                if (ContrastRatio(wanted, back) >= ratio) {
                    EXPECT_EQ(shade, wanted);
                }
            }
    // The nearest shade: the message title's grey (128) turns into the
    // lightest grey that reads on white (118), the white bevel into the
    // lightest that shows 3:1 on the page grey (105).
    EXPECT_NEAR(widgets::ShadeReaching(QColor(128, 128, 128), Qt::white, 4.5).red(), 118, 1);
    EXPECT_NEAR(widgets::ShadeReaching(Qt::white, kPageGrey, 3).green(), 105, 1);
}

// A menu button whatever its face, a default button (focus outline) and a
// field, on the forms' backgrounds: outlines at 3:1, the caption at 4.5:1.
TEST(Edges, MenuButtonsWhateverTheirFaceAndTheStylesControlsShowOnThePageTheyStandOn) {
    QWidget page;
    page.resize(300, 100);
    auto* menu = new widgets::MenuButton(QStringLiteral("SOPA"), &page);
    menu->setGeometry(10, 10, 117, 73);
    menu->setFont(widgets::SansSerif(12, true));
    auto* button = new QPushButton(QStringLiteral("Aceptar"), &page);
    button->setGeometry(140, 10, 70, 40);
    button->setDefault(true);
    auto* field = new QLineEdit(&page);
    field->setGeometry(140, 60, 150, 30);
    page.show();
    for (const QColor back : {kPageGrey, QColor(239, 239, 239), QColor(224, 224, 224), QColor(Qt::white)})
        for (const QColor face : {QColor(Qt::white), widgets::ButtonFaceColor(), kPageGrey, QColor(Qt::black),
                                  QColor(0, 0, 128), QColor(255, 255, 0)})
            for (const bool down : {false, true}) {
                widgets::SetBackColor(&page, back);
                widgets::SetFaceColor(menu, face);
                menu->setDown(down);
                const QImage shot = page.grab().toImage().convertToFormat(QImage::Format_RGB32);
                const std::string what = back.name().toStdString() + " " + face.name().toStdString();
                for (const QWidget* w : std::initializer_list<const QWidget*>{menu, button, field})
                    EXPECT_GE(testsupport::WeakestEdge(shot, w->geometry(), back), widgets::kEdgeContrast)
                        << what << " " << w->metaObject()->className();
                const QColor caption = menu->palette().color(QPalette::ButtonText);
                EXPECT_GE(ContrastRatio(caption, face), widgets::kTextContrast) << what;
                const QImage inside = shot.copy(menu->geometry().adjusted(4, 4, -4, -4));
                const auto* pixels = reinterpret_cast<const QRgb*>(inside.constBits());
                // The caption is drawn in that colour.
                EXPECT_GT(std::count(pixels, pixels + inside.width() * inside.height(), caption.rgb()), 20) << what;
            }
}

}  // namespace
