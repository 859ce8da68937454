// Where the icon and the caption of a composed button picture go.
#include "widgets/image_button_layout.h"

#include <gtest/gtest.h>

namespace {

using widgets::EdgeRect;
using widgets::LayOutImageButton;

TEST(ImageButtonLayout, IconAndCaptionAreCentredTogetherSixPixelsApart) {
    // 120 px button, 24 px icon, 50 px caption: the group is 80 px wide.
    const auto at = LayOutImageButton(120, 36, 24, 24, 50, 16, false);
    EXPECT_EQ(at.iconX, 20);
    EXPECT_EQ(at.iconY, 6);
    EXPECT_EQ(at.caption, (EdgeRect{50, 10, 120, 26}));
}

TEST(ImageButtonLayout, WithoutACaptionTheIconIsCentredAlone) {
    const auto at = LayOutImageButton(120, 36, 24, 24, 0, 16, true);
    EXPECT_EQ(at.iconX, 48);
    EXPECT_EQ(at.iconY, 6);
    // A caption measured anyway does not move the icon.
    EXPECT_EQ(LayOutImageButton(120, 36, 24, 24, 50, 16, true).iconX, 48);
}

TEST(ImageButtonLayout, HalvesRoundToTheEvenNeighbour) {
    // 60.5 - 40 = 20.5 -> 20; 61.5 - 40 = 21.5 -> 22.
    EXPECT_EQ(LayOutImageButton(121, 36, 24, 24, 50, 16, false).iconX, 20);
    EXPECT_EQ(LayOutImageButton(123, 36, 24, 24, 50, 16, false).iconX, 22);
    // Vertically: 12.5 - 12 -> 0 and 13.5 - 12 -> 2 for the icon;
    // 18 - 7.5 -> 10 and 18.5 - 7.5 = 11 exactly for the caption.
    EXPECT_EQ(LayOutImageButton(120, 25, 24, 24, 50, 16, false).iconY, 0);
    EXPECT_EQ(LayOutImageButton(120, 27, 24, 24, 50, 16, false).iconY, 2);
    EXPECT_EQ(LayOutImageButton(120, 36, 24, 24, 50, 15, false).caption,
              (EdgeRect{50, 10, 120, 25}));
    EXPECT_EQ(LayOutImageButton(120, 37, 24, 24, 50, 15, false).caption.top, 11);
    // Without a caption: 60.5 - 12 = 48.5 -> 48.
    EXPECT_EQ(LayOutImageButton(121, 36, 24, 24, 0, 0, true).iconX, 48);
}

TEST(ImageButtonLayout, AGroupWiderThanTheButtonStartsLeftOfIt) {
    // 20 - 40 = -20; 21.5 - 40 = -18.5 -> -18 (even, not away from zero).
    const auto narrow = LayOutImageButton(40, 36, 24, 24, 50, 16, false);
    EXPECT_EQ(narrow.iconX, -20);
    EXPECT_EQ(narrow.caption.left, 10);
    EXPECT_EQ(narrow.caption.right, 40);
    EXPECT_EQ(LayOutImageButton(43, 36, 24, 24, 50, 16, false).iconX, -18);
}

}  // namespace
