// The one layout factor: which factor each common panel gets, the finger's
// least height, and controls that meet in the design still meeting once scaled.
#include <gtest/gtest.h>

#include <QWidget>

#include "widgets/screen_scale.h"
#include "widgets/twips.h"

namespace {

TEST(ScreenScale, EachPanelGetsTheLargestFactorAtWhichTheOrderScreenFits) {
    const struct {
        QSize panel;
        double factor;
        bool fillsWidth;
    } cases[] = {{{1024, 768}, 0.7529, true},   {{1280, 800}, 0.9412, true}, {{1366, 768}, 1.0044, true},
                 {{1920, 1080}, 1.4118, true},  {{3840, 2160}, 2.8235, true}, {{800, 1280}, 0.5882, true},
                 {{1360, 600}, 0.9146, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.panel.width());
        const double f = widgets::FitScale(widgets::kDesignSize, c.panel);
        EXPECT_NEAR(f, c.factor, 1e-4);
        const QSize scaled = widgets::kDesignSize * f;
        EXPECT_LE(scaled.width(), c.panel.width());
        EXPECT_LE(scaled.height(), c.panel.height());
        EXPECT_EQ(scaled.width() >= c.panel.width() - 1, c.fillsWidth);
    }
    EXPECT_EQ(widgets::FitScale(widgets::kDesignSize, QSize()), 1) << "no screen: the design as drawn";
}

TEST(ScreenScale, AFingerNeedsNineMillimetresWhateverThePanelReports) {
    const struct {
        double dpi;
        int pixels;
    } cases[] = {{96, 35}, {72, 26}, {160, 57}, {0, 35}, {12000, 35}, {-1, 35}};
    for (const auto& c : cases) EXPECT_EQ(widgets::TouchMinimumAt(c.dpi), c.pixels) << c.dpi;
}

TEST(ScreenScale, ControlsThatMeetInTheDesignMeetAtEveryFactor) {
    QWidget left, right;
    for (double factor : {0.7529, 1.0, 1.4118, 2.8235}) {
        widgets::SetLayoutScale(factor);
        // Two buttons side by side.
        widgets::PlaceTwips(&left, 240, 240, 3000, 735);
        widgets::PlaceTwips(&right, 3240, 240, 3000, 735);
        EXPECT_EQ(left.geometry().right() + 1, right.x()) << factor;
        EXPECT_EQ(right.geometry().right() + 1, widgets::Twips(6240)) << factor;
    }
    widgets::SetLayoutScale(1);
    widgets::PlaceTwips(&left, 6120, 8400, 12135, 1215);
    EXPECT_EQ(left.geometry(), QRect(408, 560, 809, 81)) << "factor 1 is the design to the pixel";
}

}  // namespace
