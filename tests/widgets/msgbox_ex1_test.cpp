// The message window: its drawing, the blinking title (ticks driven by hand)
// and how it closes.
#include "widgets/contrast.h"
#include "widgets/msgbox_ex1.h"
#include "widgets/screen_scale.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

namespace {

class MsgboxTest : public ::testing::Test {
protected:
    // The window becoming active, as the window system reports it.
    void Activate() {
        QEvent activate(QEvent::WindowActivate);
        QCoreApplication::sendEvent(&box, &activate);
    }
    bool TitleShown() const { return !box.lblTitulo1->isHidden(); }

    widgets::msgboxEx1 box;
};

TEST_F(MsgboxTest, TheDesignShowsItsTextsLinesAndSigns) {
    EXPECT_EQ(box.windowTitle(), QString::fromUtf8(" Vandrel For Windows Mensaje de información."));
    EXPECT_EQ(box.size(), QSize(536, 200));
    EXPECT_EQ(box.lblTitulo1->text(), "lbltitulo1");
    EXPECT_EQ(box.lblMensaje->text(), "Label1");
    EXPECT_TRUE(box.lblMensaje->wordWrap());
    EXPECT_EQ(box.CmdOk->text(), "Close");
    // The design's button, grown to a fingertip's height.
    EXPECT_EQ(box.CmdOk->geometry(), QRect(384, 160, 133, std::max(33, widgets::TouchMinimum())));
    EXPECT_FALSE(box.Timer1->isActive());
    EXPECT_EQ(box.Timer1->interval(), 0);

    const QImage shot = box.grab().toImage();
    EXPECT_EQ(shot.pixelColor(300, 48), QColor(192, 192, 192));   // under the title
    EXPECT_EQ(shot.pixelColor(450, 152), QColor(224, 224, 224));  // above the button
    EXPECT_EQ(shot.pixelColor(104, 20), QColor(224, 224, 224));   // right of the sign
    EXPECT_EQ(shot.pixelColor(50, 96), QColor(224, 224, 224));    // below the sign
    EXPECT_EQ(shot.pixelColor(530, 190), QColor(Qt::white));
    // The grey title and the dark grey message read on the white window.
    for (const QLabel* text : {box.lblTitulo1, box.lblMensaje})
        EXPECT_GE(widgets::ContrastRatio(text->palette().color(QPalette::WindowText), Qt::white),
                  widgets::kTextContrast)
            << text->objectName().toStdString();
}

TEST_F(MsgboxTest, EachSignIsDrawnInItsColour) {
    // Information blue, warning yellow, error red, telephone green.
    const auto blue = [](QColor c) { return c.blue() > 150 && c.red() < 100; };
    const auto yellow = [](QColor c) { return c.red() > 200 && c.green() > 150 && c.blue() < 100; };
    const auto red = [](QColor c) { return c.red() > 150 && c.green() < 100 && c.blue() < 100; };
    const auto green = [](QColor c) { return c.green() > 120 && c.red() < 100 && c.blue() < 100; };
    const std::function<bool(QColor)> colour[] = {blue, yellow, red, green};
    for (size_t i = 0; i < box.Image1.size(); ++i) {
        const QImage sign = box.Image1[i]->pixmap().toImage();
        ASSERT_EQ(sign.size(), box.Image1[i]->size()) << i;
        int own = 0, white = 0;
        for (int y = 0; y < sign.height(); ++y)
            for (int x = 0; x < sign.width(); ++x) {
                const QColor c = sign.pixelColor(x, y);
                if (c.alpha() < 255) continue;
                own += colour[i](c);
                white += c == QColor(Qt::white);
            }
        EXPECT_GT(own, sign.width() * sign.height() / 6) << "sign " << i;
        // Every sign but the warning carries a white mark.
        if (i != 1) {
            EXPECT_GT(white, 100) << "sign " << i;
        }
    }
}

TEST_F(MsgboxTest, ActivationTakesTheTitleAndTheTitleBlinksTwice) {
    box.lblTitulo1->setText(QStringLiteral("Aviso"));
    Activate();
    EXPECT_EQ(box.windowTitle(), "Aviso");
    EXPECT_TRUE(box.BlinkStarted());
    EXPECT_TRUE(box.Timer1->isActive());
    EXPECT_EQ(box.Timer1->interval(), 200);

    const bool shownAfter[] = {false, true, false};
    for (int tick = 0; tick < 3; ++tick) {
        box.Timer1_Timer();
        EXPECT_EQ(TitleShown(), shownAfter[tick]) << "tick " << tick + 1;
        EXPECT_EQ(box.BlinkCount(), tick + 1);
        EXPECT_TRUE(box.Timer1->isActive());
    }
    box.Timer1_Timer();
    EXPECT_TRUE(TitleShown());
    EXPECT_EQ(box.BlinkCount(), 0);
    EXPECT_FALSE(box.Timer1->isActive());
}

TEST_F(MsgboxTest, ReactivationNeitherRestartsNorSpeedsUpTheBlinking) {
    box.show();
    Activate();
    box.Timer1_Timer();
    ASSERT_FALSE(TitleShown());
    Activate();  // away and back while blinking
    EXPECT_EQ(box.BlinkCount(), 1);
    EXPECT_FALSE(TitleShown());
    EXPECT_EQ(box.Timer1->interval(), 200);
    for (int i = 0; i < 3; ++i) box.Timer1_Timer();
    EXPECT_FALSE(box.Timer1->isActive());
    EXPECT_TRUE(box.lblTitulo1->isVisible());

    // Once steady, the title stays steady.
    Activate();
    EXPECT_FALSE(box.Timer1->isActive());
    EXPECT_TRUE(box.BlinkStarted());
    box.close();
}

TEST_F(MsgboxTest, ALongTitleIsWholeInTheCaption) {
    const QString title = QString::fromUtf8(
        "Pedido enviado a la cocina: revise la impresora de comandas del área de barra");
    box.lblTitulo1->setText(title);
    ASSERT_GT(box.lblTitulo1->fontMetrics().horizontalAdvance(title), box.lblTitulo1->width());
    Activate();
    EXPECT_EQ(box.windowTitle(), title);
}

TEST_F(MsgboxTest, EnterOnTheButtonClosesTheWindowLikeAClick) {
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
        box.show();
        Activate();
        ASSERT_TRUE(box.Timer1->isActive());
        QTest::keyClick(box.CmdOk, key);
        EXPECT_FALSE(box.isVisible()) << key;
        EXPECT_EQ(box.result(), QDialog::Accepted);
        EXPECT_FALSE(box.Timer1->isActive());
    }
    box.show();
    Activate();
    QTest::mouseClick(box.CmdOk, Qt::LeftButton);
    EXPECT_FALSE(box.isVisible());
    EXPECT_FALSE(box.Timer1->isActive());
}

TEST_F(MsgboxTest, OtherKeysDoNothing) {
    box.show();
    Activate();
    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_A, Qt::Key_Tab}) {
        QTest::keyClick(box.CmdOk, key);
        EXPECT_TRUE(box.isVisible()) << key;
    }
    EXPECT_TRUE(box.Timer1->isActive());
    box.close();
}

TEST_F(MsgboxTest, AWindowShownAgainStartsAfresh) {
    box.show();
    Activate();
    box.Timer1_Timer();
    box.close();  // unloading stops the timer mid-blink
    EXPECT_FALSE(box.Timer1->isActive());
    EXPECT_FALSE(box.isVisible());
    EXPECT_TRUE(TitleShown());

    box.show();
    EXPECT_FALSE(box.BlinkStarted());
    Activate();
    EXPECT_TRUE(box.Timer1->isActive());
    EXPECT_EQ(box.BlinkCount(), 0);
    box.Timer1_Timer();
    EXPECT_FALSE(TitleShown());
    box.close();
}

}  // namespace
