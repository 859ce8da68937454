#pragma once
// How large a set of captions can be drawn so that every one of them shows
// whole in its own room: words kept whole, on a few lines at most. Menu
// buttons use it for the captions of a page (one size for the page, set by
// its longest caption), the lists for their entries.
#include <QFont>
#include <QHash>
#include <QSize>
#include <QString>
#include <limits>
#include <vector>

namespace widgets {

struct Caption {
    QString text;
    QSize room;  // where it is drawn, in pixels
};

// A room as tall as any text, and a line count as large as any: for text
// on one line whose height does not matter, and for "as many lines as fit".
inline constexpr int kAnyHeight = std::numeric_limits<int>::max() / 4;
inline constexpr int kAnyLines = std::numeric_limits<int>::max();

// True when `text` in `font`, wrapped at word boundaries, is at most
// `maxLines` lines and fits `room` whole (no word wider than the room).
bool CaptionFits(const QString& text, QSize room, int maxLines, const QFont& font);

// The largest pixel size from `least` to `most` at which every caption fits
// its room on at most `maxLines` lines, in `face` (its family, weight and
// width); `least` when not even that size fits them all.
int LargestFittingPixels(const std::vector<Caption>& captions, int maxLines, int least, int most,
                         const QFont& face);

// How a page's captions are drawn: their pixel size, their width in percent
// of the face's own (QFont::setStretch) and their weight; `whole` is false
// when some caption cannot be shown whole even so.
struct CaptionSize {
    int pixels;
    int stretch;
    int weight;
    bool whole;
    bool operator==(const CaptionSize&) const = default;
    // `face` drawn at this size, width and weight.
    QFont Applied(QFont face) const;
};
// Narrower than this, letters stop reading as the face's.
inline constexpr int kNarrowestStretch = 70;
// The size for a page: the face as it is when the captions fit it at `least`
// or more (then as large as they fit, up to `most`). Otherwise, at `least`,
// the first of these that shows them whole, then grown as far as it goes:
// the face narrowed in steps of 5 % down to kNarrowestStretch; the regular
// weight (of a bold face), narrowed the same way; the same again on up to
// `linesAtLeast` lines, where the caller allows more lines at the least size
// than above it. A word longer than the room even then is drawn at `least`,
// as narrow as allowed, and the size says it is not whole.
CaptionSize FitCaptions(const std::vector<Caption>& captions, int maxLines, int least, int most, const QFont& face,
                        int linesAtLeast = 0);

// FitCaptions up to the size at which `maxLines` lines fill the tallest
// room (so that a page of short captions reads like any other), with a
// memory of the answers it gave: a waiter walks the same few menu levels all
// evening, and measuring a page's captions at several sizes costs more than
// drawing them.
class CaptionFitMemo {
public:
    CaptionSize Fit(const std::vector<Caption>& captions, int maxLines, int least, QFont face, int linesAtLeast = 0);

private:
    static constexpr int kMostRemembered = 512;
    QHash<QString, CaptionSize> sizes_;
};

// The largest pixel size at which `lines` lines of `face` stand in `height`.
int PixelsForLines(int height, int lines, const QFont& face);

}  // namespace widgets
