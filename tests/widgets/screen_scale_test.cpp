// The panel's factors: each common panel filled both ways, one direction
// never stretched past the other by more than the rule allows, the finger's
// and the eye's least sizes, and controls that meet in the design still
// meeting once stretched.
#include <gtest/gtest.h>

#include <QFontInfo>
#include <QWidget>

#include "widgets/look.h"
#include "widgets/screen_scale.h"
#include "widgets/twips.h"

namespace {

TEST(ScreenScale, EachPanelIsFilledBothWaysUnlessItsShapeIsTooFarFromTheDesigns) {
    const struct {
        QSize panel;
        double across, down;
        bool filled;  // both ways, to the pixel
    } cases[] = {
        {{1024, 768}, 0.7529, 1.1707, true},   // 4:3
        {{1280, 1024}, 0.9412, 1.5610, true},  // 5:4
        {{1280, 800}, 0.9412, 1.2195, true},   // 16:10
        {{1920, 1080}, 1.4118, 1.6463, true},  // 16:9
        {{1366, 768}, 1.0044, 1.1707, true},
        {{1360, 600}, 1.0, 0.9146, true},        // wider than the design
        {{3840, 2160}, 2.8235, 3.2927, true},
        {{800, 1280}, 0.5882, 1.0294, false},    // on its side: held to kMostStretch
        {{5120, 1080}, 2.8811, 1.6463, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QStringLiteral("%1x%2").arg(c.panel.width()).arg(c.panel.height()).toStdString());
        const widgets::LayoutFactors f = widgets::FillFactors(widgets::kDesignSize, c.panel);
        EXPECT_NEAR(f.across, c.across, 1e-4);
        EXPECT_NEAR(f.down, c.down, 1e-4);
        EXPECT_LE(std::max(f.across / f.down, f.down / f.across), widgets::kMostStretch + 1e-9);
        const int width = int(widgets::kDesignSize.width() * f.across + 0.5);
        const int height = int(widgets::kDesignSize.height() * f.down + 0.5);
        EXPECT_LE(width, c.panel.width());
        EXPECT_LE(height, c.panel.height());
        EXPECT_EQ(width >= c.panel.width() - 1 && height >= c.panel.height() - 1, c.filled);
    }
    EXPECT_EQ(widgets::FillFactors(widgets::kDesignSize, QSize()), widgets::LayoutFactors{})
        << "no screen: the design as drawn";
}

TEST(ScreenScale, AFingerNeedsNineMillimetresAndAnEyeThreePointTwoWhateverThePanelReports) {
    const struct {
        double dpi;
        int finger, text;
    } cases[] = {{96, 35, 12}, {85, 31, 11}, {72, 26, 9}, {160, 57, 20}, {0, 35, 12}, {12000, 35, 12}, {-1, 35, 12}};
    for (const auto& c : cases) {
        EXPECT_EQ(widgets::TouchMinimumAt(c.dpi), c.finger) << c.dpi;
        EXPECT_EQ(widgets::MinimumTextPixelsAt(c.dpi), c.text) << c.dpi;
    }
}

TEST(ScreenScale, NoFontIsDrawnBelowTheLeastSizeThatReadsWhateverTheFactor) {
    const int least = widgets::MinimumTextPixels();
    for (double factor : {0.5, 0.7529, 1.0, 1.4118}) {
        widgets::SetLayoutScale(factor);
        for (double points : {8.0, 9.75, 12.0, 18.0}) {
            const int pixels = QFontInfo(widgets::SansSerif(points)).pixelSize();
            EXPECT_GE(pixels, least) << points << " pt at " << factor;
            // Above the floor the design's proportions hold.
            if (points * factor * 96 / 72 > least + 1) {
                EXPECT_NEAR(pixels, points * factor * 96 / 72, 1) << points;
            }
        }
    }
    widgets::SetLayoutScale(1);
}

TEST(ScreenScale, ControlsThatMeetInTheDesignMeetAtEveryPairOfFactors) {
    QWidget left, right, below;
    for (widgets::LayoutFactors f : {widgets::LayoutFactors{0.7529, 1.1707}, {0.9412, 1.5610}, {1.0, 1.0},
                                     {1.4118, 1.6463}, {1.0, 0.9146}}) {
        widgets::SetLayout(f);
        // Two buttons side by side, and a bar under the first.
        widgets::PlaceOnPanel(&left, 240, 240, 3000, 735);
        widgets::PlaceOnPanel(&right, 3240, 240, 3000, 735);
        widgets::PlaceOnPanel(&below, 240, 975, 3000, 500);
        EXPECT_EQ(left.geometry().right() + 1, right.x()) << f.across;
        EXPECT_EQ(right.geometry().right() + 1, widgets::TwipsAcross(6240)) << f.across;
        EXPECT_EQ(left.geometry().bottom() + 1, below.y()) << f.down;
        EXPECT_EQ(below.geometry().bottom() + 1, widgets::TwipsDown(1475)) << f.down;
        // A box keeps its shape: the smaller factor both ways.
        widgets::PlaceTwips(&left, 0, 0, 3000, 3000);
        EXPECT_EQ(left.width(), left.height()) << f.across << "x" << f.down;
    }
    widgets::SetLayoutScale(1);
    widgets::PlaceOnPanel(&left, 6120, 8400, 12135, 1215);
    EXPECT_EQ(left.geometry(), QRect(408, 560, 809, 81)) << "factor 1 is the design to the pixel";
}

}  // namespace
