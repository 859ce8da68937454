#pragma once
// Sends through SendOrder on the test database, as the terminal's user, with
// the formats start-up forces; the order tables emptied before each test.
#include <gtest/gtest.h>

#include <memory>

#include "data/mariadb_connection.h"
#include "order/order.h"
#include "runtime/program_locale.h"
#include "sending/send_order.h"
#include "support/installations.h"
#include "support/test_database.h"
#include "support/test_orders.h"

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
    static order::Line Line(const QString& code, const QString& name, double cantidad, double precio,
                            const QString& observacion = QString()) {
        return testsupport::TestLine(code, name, cantidad, precio, observacion);
    }
    static order::Order Order(const QString& mesa, int lines) { return testsupport::TestOrder(mesa, lines); }
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
