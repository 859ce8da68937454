#include "widgets/caption_fit.h"

#include <QFontMetrics>
#include <QRect>
#include <algorithm>
#include <limits>

namespace widgets {
namespace {

QFont AtPixels(QFont font, int pixels) {
    font.setPixelSize(std::max(1, pixels));
    return font;
}

bool AllFit(const std::vector<Caption>& captions, int maxLines, const QFont& font) {
    return std::all_of(captions.begin(), captions.end(),
                       [&](const Caption& c) { return CaptionFits(c.text, c.room, maxLines, font); });
}

}  // namespace

bool CaptionFits(const QString& text, QSize room, int maxLines, const QFont& font) {
    if (text.isEmpty()) return true;
    if (room.isEmpty()) return false;
    const QFontMetrics m(font);
    const QRect used = m.boundingRect(QRect(0, 0, room.width(), std::numeric_limits<int>::max() / 2),
                                      Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, text);
    // A word wider than the room sticks out of it rather than breaking.
    if (used.width() > room.width() || used.height() > room.height()) return false;
    const int lines = (used.height() + m.leading()) / std::max(1, m.lineSpacing());
    return lines <= maxLines;
}

int LargestFittingPixels(const std::vector<Caption>& captions, int maxLines, int least, int most,
                         const QFont& face) {
    most = std::max(least, most);
    if (!AllFit(captions, maxLines, AtPixels(face, least))) return least;
    // Text grows with its size: the largest size that fits lies between one
    // that fits (low) and one past the last that might (high).
    int low = least, high = most + 1;
    while (high - low > 1) {
        const int middle = low + (high - low) / 2;
        (AllFit(captions, maxLines, AtPixels(face, middle)) ? low : high) = middle;
    }
    return low;
}

CaptionSize FitCaptions(const std::vector<Caption>& captions, int maxLines, int least, int most, const QFont& face,
                        int linesAtLeast) {
    // At the least size, in this order: the face's own weight, narrowed
    // step by step; the regular weight, narrowed; then, when allowed, the
    // same on more lines. The first that shows every caption whole is grown
    // as far as it goes.
    std::vector<int> weights{face.weight()};
    if (face.weight() > QFont::Normal) weights.push_back(QFont::Normal);
    std::vector<int> lineCounts{maxLines};
    if (linesAtLeast > maxLines) lineCounts.push_back(linesAtLeast);
    for (const int lines : lineCounts)
        for (const int weight : weights)
            for (int stretch = 100; stretch >= kNarrowestStretch; stretch -= 5) {
                QFont f = face;
                f.setWeight(QFont::Weight(weight));
                f.setStretch(stretch);
                if (!AllFit(captions, lines, AtPixels(f, least))) continue;
                return {LargestFittingPixels(captions, lines, least, most, f), stretch, weight, true};
            }
    return {least, kNarrowestStretch, weights.back(), false};
}

QFont CaptionSize::Applied(QFont face) const {
    face.setPixelSize(pixels);
    face.setStretch(stretch);
    face.setWeight(QFont::Weight(weight));
    return face;
}

CaptionSize CaptionFitMemo::Fit(const std::vector<Caption>& captions, int maxLines, int least, QFont face,
                                int linesAtLeast) {
    // The face's family, weight and style count; its size and width are
    // what is being chosen.
    face.setPixelSize(least);
    face.setStretch(100);
    int tallest = 0;
    QString key = QStringLiteral("%1|%2|%3").arg(face.key()).arg(maxLines).arg(linesAtLeast);
    for (const Caption& c : captions) {
        key += QStringLiteral("|%1x%2|").arg(c.room.width()).arg(c.room.height()) + c.text;
        tallest = std::max(tallest, c.room.height());
    }
    if (const auto known = sizes_.constFind(key); known != sizes_.constEnd()) return *known;
    if (sizes_.size() >= kMostRemembered) sizes_.clear();
    const int most = std::max(least, PixelsForLines(tallest, maxLines, face));
    const CaptionSize size = FitCaptions(captions, maxLines, least, most, face, linesAtLeast);
    sizes_.insert(key, size);
    return size;
}

int PixelsForLines(int height, int lines, const QFont& face) {
    int pixels = std::max(1, height / std::max(1, lines));
    while (pixels > 1 && QFontMetrics(AtPixels(face, pixels)).lineSpacing() * lines > height) --pixels;
    return pixels;
}

}  // namespace widgets
