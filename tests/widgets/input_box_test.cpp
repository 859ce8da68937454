// The real input box (not the scripted one): a limit given by the caller
// stops what can be typed into its field.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include "widgets/dialogs.h"

namespace {

// Types `text` into the box that opens next and accepts it with Enter.
void TypeIntoNextBox(const QString& text) {
    QTimer::singleShot(0, [text] {
        QWidget* box = QApplication::activeModalWidget();
        ASSERT_NE(box, nullptr);
        auto* field = box->findChild<QLineEdit*>();
        ASSERT_NE(field, nullptr);
        QTest::keyClicks(field, text);
        QTest::keyClick(field, Qt::Key_Return);
    });
}

TEST(InputBox, TypingStopsAtTheLimitAndNoLimitTakesEverything) {
    const struct {
        int maxLength;
        const char* typed;
        const char* answer;
    } cases[] = {{5, "mesa 1234", "mesa "}, {0, "mesa 1234", "mesa 1234"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.maxLength);
        TypeIntoNextBox(QString::fromLatin1(c.typed));
        EXPECT_EQ(dialogs::Current().Input("Escriba", "Pedidos", QString(), c.maxLength),
                  QString::fromLatin1(c.answer));
    }
}

}  // namespace
