// The real boxes (not the scripted ones): the input box with its touch keys,
// what pressing them (by mouse, by finger or on a keyboard) makes of the
// answer, the limit given by the caller, and boxes whose buttons and keys a
// finger can press and that stay on the screen.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <functional>

#include "runtime/dialogs.h"
#include "widgets/screen_scale.h"
#include "widgets/touch_keys.h"

namespace {

using dialogs::Keys;

// Runs `act` on the modal box that opens next. A box `act` leaves open is
// closed and fails the test, so a failed step never hangs the program.
void WithNextBox(std::function<void(QWidget& box)> act) {
    QTimer::singleShot(0, [act] {
        QWidget* box = QApplication::activeModalWidget();
        ASSERT_NE(box, nullptr);
        box->activateWindow();  // a keyboard types into the active window
        EXPECT_TRUE(QTest::qWaitForWindowActive(box));
        act(*box);
        if (box->isVisible()) ADD_FAILURE() << "the box stayed open";
        box->close();
    });
}

// The button captioned `caption`; null unless there is exactly one.
QPushButton* Button(const QWidget& box, const QString& caption) {
    QPushButton* found = nullptr;
    for (QPushButton* b : box.findChildren<QPushButton*>())
        if (b->text() == caption) {
            if (found != nullptr) return nullptr;
            found = b;
        }
    return found;
}

// One step on the open box: "caption" clicks that key, "~caption" touches it
// with a finger, "'text" types text on a keyboard, "<Return>" and "<Escape>"
// press those keys of a keyboard.
void Do(QWidget& box, QLineEdit& field, const QString& step) {
    if (step.startsWith('\'') || step.startsWith('<')) {
        // A keyboard types into the focus, which no key may have taken.
        ASSERT_EQ(QApplication::focusWidget(), &field);
        if (step.startsWith('\''))
            QTest::keyClicks(&field, step.mid(1));
        else
            QTest::keyClick(&field, step == "<Return>" ? Qt::Key_Return : Qt::Key_Escape);
        return;
    }
    const bool touch = step.startsWith('~');
    QPushButton* key = Button(box, touch ? step.mid(1) : step);
    ASSERT_NE(key, nullptr) << "no single key " << step.toStdString();
    if (!touch) {
        QTest::mouseClick(key, Qt::LeftButton);
        return;
    }
    static QPointingDevice* const finger = QTest::createTouchDevice();
    const QPoint middle = key->rect().center();
    QTest::touchEvent(&box, finger).press(0, middle, key);
    QTest::touchEvent(&box, finger).release(0, middle, key);
}

struct Case {
    const char* initial;
    int maxLength;
    const char* steps;  // separated by '|'
    const char* answer;
};

void CheckAnswers(Keys keys, std::initializer_list<Case> cases) {
    for (const Case& c : cases) {
        SCOPED_TRACE(c.steps);
        WithNextBox([&c](QWidget& box) {
            auto* field = box.findChild<QLineEdit*>();
            ASSERT_NE(field, nullptr);
            for (const QString& step : QString::fromUtf8(c.steps).split('|')) {
                Do(box, *field, step);
                if (::testing::Test::HasFatalFailure()) return;
            }
        });
        EXPECT_EQ(dialogs::Current().Input("Escriba", "Pedidos", QString::fromUtf8(c.initial),
                                           c.maxLength, keys),
                  QString::fromUtf8(c.answer));
    }
}

TEST(InputBox, TypingStopsAtTheLimitAndNoLimitTakesEverything) {
    CheckAnswers(Keys::Letters, {{"", 5, "'mesa 1234|<Return>", "mesa "},
                                 {"", 0, "'mesa 1234|<Return>", "mesa 1234"}});
}

TEST(InputBox, TheKeypadTypesNumbers) {
    CheckAnswers(Keys::Numbers,
                 {{"", 0, "1|2|,|5|Aceptar", "12,5"},
                  {"", 0, "6|Borrar|Borrar|7|8|9|0|Aceptar", "7890"},  // Borrar on an empty field
                  {"", 3, "1|2|3|4|Aceptar", "123"},
                  {"12", 0, "Borrar|3|Aceptar", "3"},  // the given text starts selected
                  {"", 0, "4|Cancelar", ""},
                  {"", 0, "~3|~,|~5|~Aceptar", "3,5"},
                  {"", 0, "1|'2|3|<Return>", "123"},
                  {"", 0, "8|<Escape>", ""}});
}

TEST(InputBox, TheKeyboardTypesANoteInCapitals) {
    CheckAnswers(Keys::Letters, {{"", 0, "S|I|N|Espacio|Ñ|Á|É|Í|Ó|Ú|Ü|Aceptar", "SIN ÑÁÉÍÓÚÜ"},
                                 {"", 0, "1|/|2|,|.|-|Q|Borrar|Aceptar", "1/2,.-"},
                                 {"", 2, "A|B|C|Aceptar", "AB"},
                                 {"", 0, "Q|Cancelar", ""},
                                 {"", 0, "~Ñ|~Espacio|~Aceptar", "Ñ "},
                                 {"", 0, "'sin |Ñ|'o|<Return>", "sin Ño"}});
}

// Every character of `characters` as a caption, with the keys that are words.
QStringList Captions(const QString& characters, QStringList words) {
    for (QChar c : characters) words << QString(c);
    words.sort();
    return words;
}

TEST(InputBox, KeysAreFingerSizedAndLeaveTheFocusAndTheBoxStaysOnTheScreen) {
    const QRect room = QGuiApplication::primaryScreen()->availableGeometry();
    const struct {
        Keys keys;
        QStringList captions;
    } kinds[] = {
        {Keys::Numbers, Captions("0123456789,", {"Borrar", "Aceptar", "Cancelar"})},
        {Keys::Letters, Captions("1234567890QWERTYUIOPASDFGHJKLÑZXCVBNMÁÉÍÓÚÜ,.-/",
                                 {"Espacio", "Borrar", "Aceptar", "Cancelar"})},
    };
    // Without a window under it the box is centred on the screen; over a
    // window in the screen's corner it is kept inside.
    const QRect unders[] = {{}, {room.right() - 150, room.bottom() - 100, 150, 100}};
    for (const auto& kind : kinds)
        for (const QRect& under : unders) {
            SCOPED_TRACE(testing::Message() << kind.captions.size() << " keys"
                                            << (under.isNull() ? "" : ", over a window"));
            QWidget parent;
            if (!under.isNull()) {
                parent.setGeometry(under);
                parent.show();
                parent.activateWindow();
                ASSERT_TRUE(QTest::qWaitForWindowActive(&parent));
            }
            WithNextBox([&kind, room](QWidget& box) {
                EXPECT_TRUE(room.contains(box.frameGeometry()));
                auto* field = box.findChild<QLineEdit*>();
                auto* keys = box.findChild<widgets::TouchKeys*>();
                ASSERT_TRUE(field != nullptr && keys != nullptr);
                EXPECT_GE(field->height(), widgets::TouchMinimum());
                // The keypad to the right of the field, the keyboard below it.
                const QRect fieldAt(field->mapTo(&box, QPoint()), field->size());
                const QRect keysAt(keys->mapTo(&box, QPoint()), keys->size());
                EXPECT_TRUE(kind.keys == Keys::Numbers ? keysAt.left() > fieldAt.right()
                                                       : keysAt.top() > fieldAt.bottom());
                QStringList captions;
                for (QPushButton* key : keys->findChildren<QPushButton*>()) {
                    captions << key->text();
                    EXPECT_GE(key->height(), widgets::TouchMinimum()) << key->text().toStdString();
                    EXPECT_GT(key->width(), key->fontMetrics().horizontalAdvance(key->text()))
                        << key->text().toStdString();  // the caption is not cut off
                    EXPECT_EQ(key->focusPolicy(), Qt::NoFocus) << key->text().toStdString();
                }
                captions.sort();
                EXPECT_EQ(captions, kind.captions);
                box.close();  // closing the window cancels
            });
            EXPECT_EQ(dialogs::Current().Input("Escriba", "Pedidos", "1", 0, kind.keys), "");
        }
}

TEST(MessageBoxes, ButtonsAreFingerSizedAndKeepTheirAnswers) {
    const struct {
        bool question;
        const char* pressed;
        bool answer;
    } cases[] = {{false, "OK", false}, {true, "Sí", true}, {true, "No", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pressed);
        WithNextBox([&c](QWidget& box) {
            EXPECT_EQ(box.windowTitle(), "Pedidos");
            EXPECT_EQ(box.findChildren<QPushButton*>().size(), c.question ? 2 : 1);
            const int finger = widgets::TouchMinimum();
            for (QPushButton* b : box.findChildren<QPushButton*>()) {
                EXPECT_GE(b->height(), finger) << b->text().toStdString();
                EXPECT_GE(b->width(), 2.5 * finger) << b->text().toStdString();
            }
            QPushButton* pressed = Button(box, QString::fromUtf8(c.pressed));
            ASSERT_NE(pressed, nullptr);
            QTest::mouseClick(pressed, Qt::LeftButton);
        });
        if (c.question)
            EXPECT_EQ(dialogs::Current().YesNo("¿Seguro?", "Pedidos", dialogs::Icon::Question),
                      c.answer);
        else
            dialogs::Current().Message("Listo", "Pedidos", dialogs::Icon::Information);
    }
}

}  // namespace
