// The size of a page's captions: as large as the room allows for its longest
// caption, words never broken, never more lines than allowed, never below the
// least size given.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <limits>

#include "widgets/caption_fit.h"
#include "widgets/look.h"

namespace {

using widgets::Caption;

QFont Bold(int pixels) {
    QFont f = widgets::SansSerif(8, true);
    f.setPixelSize(pixels);
    return f;
}

TEST(CaptionFit, ACaptionFitsWhenEveryWordFitsTheWidthAndTheLinesTheHeight) {
    const QFont f = Bold(16);
    const QFontMetrics m(f);
    const int word = m.horizontalAdvance(QStringLiteral("CHAMPIÑONES"));
    const int line = m.lineSpacing();
    const struct {
        const char* text;
        QSize room;
        int lines;
        bool fits;
    } cases[] = {
        {"CHAMPIÑONES", {word, line}, 1, true},
        {"CHAMPIÑONES", {word - 2, 5 * line}, 3, false},  // a word is never broken
        {"CHAMPIÑONES", {word, line - 2}, 1, false},
        {"CHAMPIÑONES CHAMPIÑONES CHAMPIÑONES", {word + 4, 3 * line}, 3, true},  // one word a line
        {"CHAMPIÑONES CHAMPIÑONES CHAMPIÑONES", {word + 4, 3 * line}, 2, false},
        {"CHAMPIÑONES CHAMPIÑONES CHAMPIÑONES", {word + 4, 2 * line}, 3, false},
        {"", {1, 1}, 1, true},
        {"X", {0, 0}, 3, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(widgets::CaptionFits(QString::fromUtf8(c.text), c.room, c.lines, f), c.fits)
            << c.text << " in " << c.room.width() << "x" << c.room.height() << " on " << c.lines;
}

TEST(CaptionFit, APageGetsTheLargestSizeAtWhichItsLongestCaptionStillFits) {
    const QSize button(150, 100);
    const struct {
        std::vector<const char*> captions;
    } pages[] = {{{"TE", "AGUA"}},
                 {{"CERVEZA", "WHISKY", "RON SANTA TERESA"}},
                 {{"PECHUGA A LA PLANCHA", "CHURRASCO"}},
                 {{"EMPANADAS DE CARNE", "SANCOCHO DE GALLINA", "CAMARONES AL AJILLO"}}};
    const int least = 12, most = widgets::PixelsForLines(button.height(), 3, Bold(12));
    for (const auto& page : pages) {
        std::vector<Caption> captions;
        for (const char* text : page.captions) captions.push_back({QString::fromUtf8(text), button});
        const int size = widgets::LargestFittingPixels(captions, 3, least, most, Bold(12));
        SCOPED_TRACE(page.captions.back());
        ASSERT_GE(size, least);
        ASSERT_LE(size, most);
        for (const Caption& c : captions) EXPECT_TRUE(widgets::CaptionFits(c.text, c.room, 3, Bold(size)));
        // One pixel more and some caption no longer fits, or three lines no
        // longer stand in the button.
        if (size < most) {
            bool oneOut = false;
            for (const Caption& c : captions) oneOut = oneOut || !widgets::CaptionFits(c.text, c.room, 3, Bold(size + 1));
            EXPECT_TRUE(oneOut) << size;
        }
        // A longer caption on the page never makes the page's captions larger.
        captions.push_back({QStringLiteral("SOLOMO DE CUERITO A LA PARRILLA"), button});
        EXPECT_LE(widgets::LargestFittingPixels(captions, 3, least, most, Bold(12)), size);
    }
    // A caption that fits at no size is drawn at the least size.
    EXPECT_EQ(widgets::LargestFittingPixels({{QStringLiteral("SUPERCALIFRAGILISTICO"), {30, 76}}}, 3, least, most, Bold(12)),
              least);
    EXPECT_EQ(widgets::LargestFittingPixels({}, 3, least, most, Bold(12)), most) << "a blank page";
}

TEST(CaptionFit, APageTooWideForTheLeastSizeIsNarrowedNoMoreThanItNeeds) {
    const int least = 12;
    const QFont face = Bold(12);
    QFont atLeast = face;
    atLeast.setPixelSize(least);
    const int word = QFontMetrics(atLeast).horizontalAdvance(QStringLiteral("CHAMPIÑONES"));
    const struct {
        int width;  // of the room, against the word at the least size
        bool narrowed;
    } cases[] = {{word + 40, false}, {word + 2, false}, {word * 9 / 10, true}, {word * 3 / 4, true}};
    for (const auto& c : cases) {
        const std::vector<Caption> page{{QString::fromUtf8("EXTRA CHAMPIÑONES"), {c.width, 80}}};
        const widgets::CaptionSize size = widgets::FitCaptions(page, 3, least, 40, face);
        SCOPED_TRACE(c.width);
        EXPECT_EQ(size.stretch < 100, c.narrowed);
        EXPECT_GE(size.stretch, widgets::kNarrowestStretch);
        QFont drawn = face;
        drawn.setPixelSize(size.pixels);
        drawn.setStretch(size.stretch);
        EXPECT_GE(size.pixels, least);
        EXPECT_TRUE(widgets::CaptionFits(page[0].text, page[0].room, 3, drawn));
        if (size.stretch < 100) {
            drawn.setStretch(size.stretch + 5);
            drawn.setPixelSize(least);
            EXPECT_FALSE(widgets::CaptionFits(page[0].text, page[0].room, 3, drawn)) << "narrowed more than needed";
        }
    }
    const widgets::CaptionSize hopeless = widgets::FitCaptions({{QStringLiteral("X"), {2, 80}}}, 3, least, 40, face);
    EXPECT_EQ(hopeless, (widgets::CaptionSize{least, widgets::kNarrowestStretch, QFont::Normal, false}));
}

// A 1024x768 panel's menu button (81x79 for the caption): a long word takes
// the regular weight before it is broken, a long caption more lines.
TEST(CaptionFit, AtTheLeastSizeALongWordTakesTheRegularWeightAndALongCaptionMoreLines) {
    const QSize room(81, 79);
    const int least = 12, any = std::numeric_limits<int>::max();
    const QFont face = Bold(12);
    const struct {
        const char* caption;
        bool whole;
    } cases[] = {{"ESPECIALIDADES", true},
                 {"HAMBURGUESAS Y SANDWICHES", true},
                 {"PARRILLA MIXTA PARA DOS PERSONAS CON CONTORNOS", true},
                 {"SUPERCALIFRAGILISTICOESPIALIDOSO", false}};
    QFont narrowestBold = face;
    narrowestBold.setStretch(widgets::kNarrowestStretch);
    narrowestBold.setPixelSize(least);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caption);
        const std::vector<Caption> page{{QString::fromUtf8(c.caption), room}};
        const widgets::CaptionSize size = widgets::FitCaptions(page, 3, least, 30, face, any);
        EXPECT_EQ(size.whole, c.whole);
        if (!c.whole) continue;
        EXPECT_TRUE(widgets::CaptionFits(page[0].text, room, any, size.Applied(face)));
        // Each step back was needed: no regular weight where bold narrowed fits.
        if (size.weight == QFont::Normal) {
            EXPECT_FALSE(widgets::CaptionFits(page[0].text, room, any, narrowestBold));
        }
        // And without the extra lines it is not whole.
        if (!widgets::CaptionFits(page[0].text, room, 3, size.Applied(face))) {
            EXPECT_FALSE(widgets::FitCaptions(page, 3, least, 30, face).whole);
        }
    }
}

TEST(CaptionFit, TheMemoryAnswersAsTheRuleUpToThreeLinesOfTheTallestRoom) {
    widgets::CaptionFitMemo memo;
    const std::vector<std::vector<Caption>> pages = {
        {{QStringLiteral("CERVEZA"), {150, 100}}},
        {{QStringLiteral("CERVEZA"), {90, 100}}},  // the same caption in a narrower room
        {{QStringLiteral("SOLOMO DE CUERITO"), {90, 100}}},
        {{QStringLiteral("CERVEZA"), {150, 100}}, {QStringLiteral("MERENGADA DE FRESA"), {150, 100}}}};
    for (int round = 0; round < 2; ++round)
        for (const auto& page : pages)
            for (QFont face : {Bold(12), widgets::SansSerif(8)})
                EXPECT_EQ(memo.Fit(page, 3, 12, face),
                          widgets::FitCaptions(page, 3, 12, widgets::PixelsForLines(100, 3, face), face))
                    << page.back().text.toStdString() << " round " << round;
}

TEST(CaptionFit, ThreeLinesOfTheSizeForThreeLinesStandInTheHeightAndNoLarger) {
    for (int height : {40, 76, 111, 160}) {
        const int size = widgets::PixelsForLines(height, 3, Bold(12));
        EXPECT_LE(QFontMetrics(Bold(size)).lineSpacing() * 3, height) << height;
        EXPECT_GT(QFontMetrics(Bold(size + 1)).lineSpacing() * 3, height) << height;
    }
}

}  // namespace
