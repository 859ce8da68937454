// Windows colour values and the lists of editable combo boxes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QPalette>

#include "widgets/combo_list.h"
#include "widgets/contrast.h"
#include "widgets/look.h"
#include "widgets/qt_dialogs.h"
#include "widgets/ole_color.h"

namespace {

using widgets::TranslateOleColor;

TEST(OleColor, RedIsTheLowByteAndSystemColoursComeFromThePalette) {
    EXPECT_EQ(TranslateOleColor(0x0000FF), QColor(255, 0, 0));
    EXPECT_EQ(TranslateOleColor(0x00FF00), QColor(0, 255, 0));
    EXPECT_EQ(TranslateOleColor(0xFF0000), QColor(0, 0, 255));
    EXPECT_EQ(TranslateOleColor(0xC0FFFF), QColor(255, 255, 192));
    EXPECT_EQ(TranslateOleColor(0), QColor(0, 0, 0));
    EXPECT_EQ(TranslateOleColor(widgets::kButtonFace), QApplication::palette().color(QPalette::Button));
    EXPECT_EQ(widgets::ButtonFaceColor(), QApplication::palette().color(QPalette::Button));
    EXPECT_EQ(TranslateOleColor(-2147483633LL), QApplication::palette().color(QPalette::Button));
}

TEST(OleColor, ValuesThatAreNoColourGiveNothing) {
    EXPECT_FALSE(TranslateOleColor(-1).has_value());
    EXPECT_FALSE(TranslateOleColor(0x1000000).has_value());
    EXPECT_FALSE(TranslateOleColor(0x800000FFLL).has_value());  // no such system colour
}

TEST(OleColor, AMenuRowsColorColumnIsAColourOrNothing) {
    using widgets::RowColor;
    EXPECT_EQ(RowColor(12648447.0), QColor(255, 255, 192));  // 0xC0FFFF: red in the low byte
    EXPECT_EQ(RowColor(255.0), QColor(255, 0, 0));
    EXPECT_FALSE(RowColor(rt::Variant()));
    EXPECT_FALSE(RowColor(""));
    EXPECT_FALSE(RowColor("rojo"));
}

// A menu colour of the back office, light or dark, keeps its caption
// readable: black or white, at a contrast of at least 4.5 on every face.
TEST(Contrast, AColouredButtonsCaptionReadsOnItsFace) {
    using widgets::ContrastRatio;
    EXPECT_NEAR(ContrastRatio(Qt::black, Qt::white), 21.0, 0.01);
    EXPECT_NEAR(ContrastRatio(QColor(118, 118, 118), Qt::white), 4.54, 0.02);
    const struct {
        QColor face;
        QColor caption;
    } cases[] = {
        {QColor(255, 255, 192), Qt::black},  // light yellow
        {QColor(192, 192, 192), Qt::black},  // the screen's light grey
        {QColor(0, 0, 128), Qt::white},      // navy
        {QColor(128, 0, 0), Qt::white},      // maroon
        {QColor(255, 0, 0), Qt::black},      // red: black reads better than white
        {QColor(0, 0, 255), Qt::white},
    };
    QPushButton button;
    for (const auto& c : cases) {
        widgets::SetFaceColor(&button, c.face);
        EXPECT_EQ(button.palette().color(QPalette::ButtonText), c.caption) << c.face.name().toStdString();
    }
    for (int r = 0; r < 256; r += 15)
        for (int g = 0; g < 256; g += 15)
            for (int b = 0; b < 256; b += 15) {
                const QColor face(r, g, b);
                EXPECT_GE(ContrastRatio(face, widgets::ReadableTextOn(face)), 4.5) << face.name().toStdString();
            }
}

TEST(ComboList, FillingTheListLeavesTheTextAsItWas) {
    QComboBox combo;
    combo.setEditable(true);
    combo.setEditText("12B");
    widgets::AddListItem(&combo, "1");
    widgets::AddListItem(&combo, "2");
    EXPECT_EQ(combo.count(), 2);
    EXPECT_EQ(combo.currentText(), "12B");

    widgets::ClearList(&combo);
    EXPECT_EQ(combo.count(), 0);
    EXPECT_EQ(combo.currentText(), "");
    widgets::AddListItem(&combo, "1");
    EXPECT_EQ(combo.currentText(), "");
    EXPECT_EQ(combo.currentIndex(), -1);
}

TEST(ComboList, ATypedEntryAndEnterIsNoPick) {
    QComboBox combo;
    combo.setEditable(true);
    combo.setInsertPolicy(QComboBox::NoInsert);
    widgets::AddListItem(&combo, "Arroz blanco");
    widgets::PickOnlyFromList(&combo);
    int picks = 0;
    QObject::connect(&combo, &QComboBox::activated, [&picks](int) { ++picks; });
    QTest::keyClicks(combo.lineEdit(), "Arroz blanco");
    QTest::keyClick(combo.lineEdit(), Qt::Key_Return);
    EXPECT_EQ(picks, 0);
    EXPECT_EQ(combo.currentText(), "Arroz blanco");
}

}  // namespace

namespace {

TEST(DialogText, CarriageReturnsBreakTheLineInAQtBox) {
    EXPECT_EQ(dialogs::ShownText("Error en Base de datos...\rSe Desconectara del sistema."),
              "Error en Base de datos...\nSe Desconectara del sistema.");
    EXPECT_EQ(dialogs::ShownText("a\r\nb\nc"), "a\nb\nc");
    EXPECT_EQ(dialogs::ShownText("       Código No Existente, "), "       Código No Existente, ");
}

}  // namespace

#include <QFontInfo>
#include <QLabel>

#include "widgets/look.h"
#include "widgets/screen_scale.h"

namespace {

TEST(FitCaption, ACaptionTooWideForItsLabelGetsASmallerFontAndOneThatFitsKeepsIts) {
    const int before = QFontInfo(widgets::SansSerif(18, true)).pixelSize();
    // Smaller first; at the least size that reads, narrower.
    for (int width : {200, 160, 120, 100}) {
        QLabel label;
        label.setFont(widgets::SansSerif(18, true));
        label.resize(width, 30);
        widgets::FitCaption(&label, "CANTIDAD ITEM:");
        EXPECT_LT(QFontInfo(label.font()).pixelSize(), before) << width;
        EXPECT_GE(QFontInfo(label.font()).pixelSize(), widgets::MinimumTextPixels()) << width;
        EXPECT_LE(QFontMetrics(label.font()).horizontalAdvance("CANTIDAD ITEM:"), width - 4) << width;
    }

    QLabel wide;
    wide.setFont(widgets::SansSerif(18, true));
    wide.resize(600, 30);
    widgets::FitCaption(&wide, "AREA:");
    EXPECT_EQ(wide.font().pointSizeF(), 18);
}

}  // namespace

#include <QTextLayout>

#include "widgets/menu_button.h"

namespace {

// The number of text-coloured rows of pixels: one line of caption or several.
int InkRows(const QImage& image, const QColor& ink) {
    int rows = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == ink) {
                ++rows;
                break;
            }
    return rows;
}

TEST(MenuButton, ALongCaptionWrapsAndTheTextStaysTheCaption) {
    widgets::MenuButton button;
    button.resize(117, 73);
    QPalette pal = button.palette();
    pal.setColor(QPalette::ButtonText, QColor(255, 0, 0));
    button.setPalette(pal);
    QFont f = button.font();
    f.setPointSize(8);
    button.setFont(f);

    button.setText("SOPA");
    const int oneLine = InkRows(button.grab().toImage(), QColor(255, 0, 0));
    button.setText(QString::fromUtf8("PARRILLA MIXTA PARA DOS PERSONAS"));
    const int wrapped = InkRows(button.grab().toImage(), QColor(255, 0, 0));
    EXPECT_GT(oneLine, 0);
    EXPECT_GT(wrapped, 2 * oneLine);  // three lines or more
    EXPECT_EQ(button.text(), QString::fromUtf8("PARRILLA MIXTA PARA DOS PERSONAS"));
}

// The lines `button` lays its caption out on.
QStringList CaptionLines(const widgets::MenuButton& button) {
    QTextLayout layout(button.text(), button.font());
    layout.setTextOption(button.CaptionOption());
    layout.beginLayout();
    QStringList lines;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(button.CaptionArea().width());
        lines << button.text().mid(line.textStart(), line.textLength()).trimmed();
    }
    layout.endLayout();
    return lines;
}

TEST(MenuButton, OnlyAWordWiderThanTheButtonIsBrokenTheOthersStayWhole) {
    const struct {
        const char* caption;
        bool broken;  // some word does not fit the button's width
    } cases[] = {{"PARRILLA MIXTA PARA DOS", false},
                 {"SUPERCALIFRAGILISTICOESPIALIDO CON PAPAS", true},
                 {"CON PAPAS OTORRINOLARINGOLOGICAMENTE Y SAL", true}};
    widgets::MenuButton button;
    button.resize(88, 86);
    QFont f = button.font();
    f.setPixelSize(12);
    f.setBold(true);
    button.setFont(f);
    for (const auto& c : cases) {
        button.setText(QString::fromUtf8(c.caption));
        const QStringList lines = CaptionLines(button);
        SCOPED_TRACE(lines.join(" / ").toStdString());
        EXPECT_EQ(lines.join(QString()).remove(' '), button.text().remove(' ')) << "every letter shown";
        QStringList words;
        for (const QString& line : lines) words << line.split(' ', Qt::SkipEmptyParts);
        // The words that fit the width are on the lines as they are.
        const int width = button.CaptionArea().width();
        for (const QString& word : button.text().split(' '))
            if (QFontMetrics(f).horizontalAdvance(word) <= width) {
                EXPECT_TRUE(words.contains(word)) << word.toStdString();
            }
        EXPECT_EQ(words.size() != button.text().split(' ').size(), c.broken);
    }
}

}  // namespace

#include <QAbstractItemView>
#include <QComboBox>

#include "widgets/combo_list.h"

namespace {

TEST(ListEntries, AreAsLargeAsTheListAllowsForTheLongestAndNeverBelowTheLeastSizeThatReads) {
    const struct {
        const char* longest;
        bool atLeastTheField, narrowed;
    } cases[] = {{"Papas", true, false},
                 {"Ensalada mixta de la casa", false, false},
                 {"Tostones con queso rallado y nata de la casa", false, true}};
    for (const auto& c : cases) {
        QComboBox combo;
        combo.setFont(widgets::SansSerif(18));
        combo.resize(240, 40);
        for (const char* entry : {"Arroz", c.longest}) widgets::AddListItem(&combo, QString::fromUtf8(entry));
        widgets::FitListEntries(&combo);
        const QFont entries = combo.view()->font();
        SCOPED_TRACE(c.longest);
        EXPECT_GE(QFontInfo(entries).pixelSize(), widgets::MinimumTextPixels());
        EXPECT_EQ(QFontInfo(entries).pixelSize() >= QFontInfo(combo.font()).pixelSize(), c.atLeastTheField);
        EXPECT_EQ(entries.stretch() < 100, c.narrowed);
        EXPECT_LE(QFontMetrics(entries).horizontalAdvance(QString::fromUtf8(c.longest)), combo.width()) << "cut";
    }
}

}  // namespace
