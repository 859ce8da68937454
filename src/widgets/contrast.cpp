#include "widgets/contrast.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace widgets {
namespace {

double Channel(double c) { return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); }

double Luminance(const QColor& c) {
    return 0.2126 * Channel(c.redF()) + 0.7152 * Channel(c.greenF()) + 0.0722 * Channel(c.blueF());
}

// `from` moved `step` 255ths of the way to `to`.
QColor Mixed(const QColor& from, const QColor& to, int step) {
    const auto mix = [step](int a, int b) { return a + (b - a) * step / 255; };
    return QColor(mix(from.red(), to.red()), mix(from.green(), to.green()), mix(from.blue(), to.blue()));
}

// The fewest steps from `wanted` towards `end` (black or white) after which
// the shade is `enough` (the luminance moves one way all along, so a search
// of halves finds it); nothing when even `end` is not.
template <typename Enough>
std::optional<int> StepsTowards(const QColor& wanted, const QColor& end, Enough enough) {
    if (!enough(Luminance(end))) return std::nullopt;
    int low = 0, high = 255;  // enough at `high`; `low` still to be tried
    while (low < high) {
        const int middle = (low + high) / 2;
        if (enough(Luminance(Mixed(wanted, end, middle))))
            high = middle;
        else
            low = middle + 1;
    }
    return high;
}

}  // namespace

double ContrastRatio(const QColor& a, const QColor& b) {
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor ReadableTextOn(const QColor& background) {
    const QColor black(Qt::black), white(Qt::white);
    return ContrastRatio(background, black) >= ContrastRatio(background, white) ? black : white;
}

QColor ShadeReaching(const QColor& wanted, const QColor& against, double ratio) {
    const QColor opaque = wanted.toRgb();
    if (ContrastRatio(opaque, against) >= ratio) return QColor(opaque.rgb());
    // The luminances at or below which, and at or above which, a colour
    // stands `ratio` against `against`.
    const double la = Luminance(against);
    const double darkEnough = (la + 0.05) / ratio - 0.05;
    const double lightEnough = (la + 0.05) * ratio - 0.05;
    const QColor black(Qt::black), white(Qt::white);
    const std::optional<int> toBlack =
        StepsTowards(opaque, black, [darkEnough](double l) { return l <= darkEnough; });
    const std::optional<int> toWhite =
        StepsTowards(opaque, white, [lightEnough](double l) { return l >= lightEnough; });
    if (toBlack && (!toWhite || *toBlack <= *toWhite)) return Mixed(opaque, black, *toBlack);
    if (toWhite) return Mixed(opaque, white, *toWhite);
    return ReadableTextOn(against);
}

}  // namespace widgets
