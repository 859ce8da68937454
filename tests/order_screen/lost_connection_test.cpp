// The server cannot be reached while an order is on the screen: a menu
// touch says so and the program goes on with the order as it was; once the
// server is back, the next touch connects again by itself.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <functional>

#include "order_screen/grid.h"
#include "order_screen/screen_fixture.h"

namespace {

using order_screen::Pedido_R;

class LostConnectionTest : public testsupport::OrderScreenOn {
protected:
    enum class Broken { Closed, DroppedByServer };

    void SetUp() override {
        testsupport::OrderScreenOn::SetUp();
        PointAt(true);
    }
    void TearDown() override {
        Module1::Cadena_Conexion.clear();
        testsupport::OrderScreenOn::TearDown();
    }
    // Waiter María Fernández at table 5 on the main menu, two lines ordered.
    Pedido_R* Taking() {
        Pedido_R* s = Load();
        const int waiter = s->dbCombo2->findText(QString::fromUtf8("María Fernández"));
        EXPECT_GE(waiter, 0);
        s->dbCombo2->setCurrentIndex(waiter);
        emit s->dbCombo2->activated(waiter);
        s->Combo1->setEditText("5");
        s->Command5_Click();
        AddLine(s, "P001");
        AddLine(s, "B010");
        return s;
    }
    static void PointAt(bool serverUp) {
        Module1::Cadena_Conexion = rt::BuildConnectionString(
            testsupport::DbName(), serverUp ? testsupport::DbHost() : testsupport::DbDownHost());
    }
    static void Break(Broken how) {
        if (how == Broken::Closed) {
            Module1::Conexion->Close();  // as a send that could not reconnect leaves it
            return;
        }
        const QString id = Module1::Conexion->Query("select connection_id()").Field(0).ToText();
        testsupport::RootQuery("kill " + id);
    }
    static QStringList Order(Pedido_R* s) {
        QStringList rows;
        for (int r = 1; r < s->Grid1->Rows(); ++r)
            rows << s->Grid1->TextMatrix(r, 0) + "|" + s->Grid1->TextMatrix(r, 1);
        return rows;
    }
};

INSTANTIATE_TEST_SUITE_P(Installations, LostConnectionTest, testsupport::OursAndTheirs(),
                         testsupport::InstallationParamName());

TEST_P(LostConnectionTest, AMenuTouchSaysSoKeepsTheOrderAndTheNextOneConnectsAgain) {
    const QString message = QString::fromUtf8(
        "Error en Base de datos...\rNo hay conexión con el servidor; lo que está en pantalla no "
        "se ha perdido.\rIntente de nuevo en un momento.\r");
    const auto menuButton = [](Pedido_R* s) { return s->bmenu[2]; };  // PARRILLA
    const auto backButton = [](Pedido_R* s) { return s->regre3; };
    const auto onMainMenu = [](Pedido_R* s) { s->regre3->click(); };
    const auto inParrilla = [](Pedido_R* s) {
        s->regre3->click();
        s->bmenu[2]->click();
    };
    const struct {
        const char* name;
        Broken how;
        std::function<void(Pedido_R*)> from;
        std::function<QPushButton*(Pedido_R*)> touch;
        const char* firstCaption;  // of the level the touch opens
    } cases[] = {
        {"a menu button, connection closed", Broken::Closed, onMainMenu, menuButton,
         "CORTES DE RES"},
        {"a menu button, connection dropped", Broken::DroppedByServer, onMainMenu, menuButton,
         "CORTES DE RES"},
        {"back to the main menu, connection closed", Broken::Closed, inParrilla, backButton,
         "ENTRADAS"},
        {"back to the main menu, connection dropped", Broken::DroppedByServer, inParrilla,
         backButton, "ENTRADAS"},
    };
    Pedido_R* s = Taking();
    const QStringList order = Order(s);
    ASSERT_EQ(order.size(), 2);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs.shown.clear();
        c.from(s);
        ASSERT_TRUE(dialogs.shown.empty());
        Break(c.how);
        PointAt(false);
        EXPECT_NO_THROW(c.touch(s)->click());  // the program does not end
        ASSERT_EQ(dialogs.shown.size(), 1u);
        EXPECT_TRUE(dialogs.shown[0].text.startsWith(message))
            << dialogs.shown[0].text.toStdString();
        EXPECT_GT(dialogs.shown[0].text.size(), message.size());  // the client's reason follows
        EXPECT_EQ(dialogs.shown[0].title, " Sistema VandrelFW ");
        EXPECT_EQ(dialogs.shown[0].icon, dialogs::Icon::Information);
        EXPECT_EQ(Order(s), order);
        EXPECT_EQ(s->Label1[1]->text(), "5");

        PointAt(true);
        EXPECT_NO_THROW(c.touch(s)->click());
        EXPECT_EQ(dialogs.shown.size(), 1u);
        EXPECT_EQ(s->bmenu[0]->text(), c.firstCaption);
        EXPECT_EQ(Order(s), order);
    }
}

}  // namespace
