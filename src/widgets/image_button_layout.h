#pragma once
// Where the icon and the caption go when both are composed into one picture
// for a button: centred together as one group, 6 pixels apart, each centred
// vertically. Pure geometry, in pixels of the button's client area.

namespace widgets {

// Pixels between the icon and the caption.
constexpr int kIconCaptionGap = 6;

// A rectangle by its edges; right and bottom are exclusive.
struct EdgeRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool operator==(const EdgeRect&) const = default;
};

struct ImageButtonLayout {
    int iconX = 0;
    int iconY = 0;
    EdgeRect caption;
};

// The layout on a client area of `clientWidth` × `clientHeight` for an icon of
// `iconWidth` × `iconHeight` and a caption measured at `textWidth` ×
// `textHeight`. Without a caption the icon is centred alone. Halves round to
// the even neighbour.
ImageButtonLayout LayOutImageButton(int clientWidth, int clientHeight, int iconWidth,
                                    int iconHeight, int textWidth, int textHeight,
                                    bool captionEmpty);

}  // namespace widgets
