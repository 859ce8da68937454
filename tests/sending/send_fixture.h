#pragma once
// Sends through SendOrder on the test database, as the terminal's user, with
// the formats start-up forces; the order tables emptied before each test.
#include <gtest/gtest.h>

#include <memory>

#include "data/mariadb_connection.h"
#include "order_screen/order_lines.h"
#include "runtime/program_locale.h"
#include "sending/send_order.h"
#include "support/installations.h"
#include "support/order_rows.h"
#include "support/test_database.h"

namespace sendingtest {

class SendFixture : public ProgramFormats {
protected:
    static void SetUpTestSuite() { testsupport::ResetDatabase(); }
    void SetUp() override {
        ProgramFormats::SetUp();
        testsupport::EmptyOrders(100);
    }

    static std::unique_ptr<data::MariaDbConnection> Connect() {
        auto c = std::make_unique<data::MariaDbConnection>();
        c->Open(testsupport::TestConnectionString());
        return c;
    }
    static sending::SendOptions Options() {
        sending::SendOptions o;
        o.connectionString = testsupport::TestConnectionString();
        o.pausaConexionMs = 0;
        return o;
    }
    // A grid row of 15 cells as item entry fills it.
    static QStringList Row(const QString& code, const QString& name, const QString& cantidad,
                           const QString& precio, const QString& observacion = QString()) {
        return testsupport::OrderRow(
            {code, name, cantidad, precio, precio, "16,00", "4,000", "", "001", "01", observacion, ""});
    }
    static sending::OrderToSend Order(const QString& mesa, int lines) {
        sending::OrderToSend p{mesa, "María Fernández", "001", {}};
        for (int i = 1; i <= lines; ++i)
            p.filas.push_back(
                Row(QString("P%1").arg(i), QString("PLATO %1").arg(i), "1,000", "10,00"));
        return p;
    }
    static QString Count(const char* table) {
        return testsupport::RootQuery(QString("select count(*) from ") + table).value(0);
    }
    static QString Counter() {
        return testsupport::RootQuery("select control_Comanda from mantenimiento").value(0);
    }
};

// The same on each installation a terminal may join (the test's parameter).
class SendFixtureOn : public testsupport::OnInstallation<SendFixture> {
protected:
    bool WithSendRecord() const { return GetParam() == testsupport::Installation::Ours; }
};

}  // namespace sendingtest
