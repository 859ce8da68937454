#include "widgets/image_button_layout.h"

#include "runtime/number_format.h"

namespace widgets {
namespace {

// round(a / 2 - b / 2) with exact halves.
int CentredStart(int outer, int inner) {
    return static_cast<int>(rt::RoundHalfEven(outer / 2.0 - inner / 2.0));
}

}  // namespace

ImageButtonLayout LayOutImageButton(int clientWidth, int clientHeight, int iconWidth,
                                    int iconHeight, int textWidth, int textHeight,
                                    bool captionEmpty) {
    ImageButtonLayout out;
    const int group = captionEmpty ? iconWidth : iconWidth + textWidth + kIconCaptionGap;
    out.iconX = CentredStart(clientWidth, group);
    out.iconY = CentredStart(clientHeight, iconHeight);
    out.caption.left = out.iconX + iconWidth + kIconCaptionGap;
    out.caption.top = CentredStart(clientHeight, textHeight);
    out.caption.right = clientWidth;
    out.caption.bottom = out.caption.top + textHeight;
    return out;
}

}  // namespace widgets
