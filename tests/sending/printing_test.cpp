// Which installed printer gets the tickets, and what the waiter reads when
// tickets did not reach it.
#include "sending/printing.h"

#include <gtest/gtest.h>

namespace {

using sending::FindPrinter;

TEST(FindPrinterTest, MatchesWithoutRegardToLetterCaseButOtherwiseExactly) {
    const QStringList installed{"Oficina", "Cocina", "Barra"};
    EXPECT_EQ(FindPrinter(installed, "COCINA"), "Cocina");
    EXPECT_EQ(FindPrinter(installed, "cocina"), "Cocina");
    EXPECT_EQ(FindPrinter(installed, "Cocina "), "");  // no trimming
    EXPECT_EQ(FindPrinter(installed, "Cocin"), "");
    EXPECT_EQ(FindPrinter(installed, ""), "");
    EXPECT_EQ(FindPrinter({}, "Cocina"), "");
    EXPECT_EQ(FindPrinter({"Añejo", "COCINA-2"}, "añejo"), "Añejo");
}

TEST(FindPrinterTest, TheFirstMatchInListOrderWins) {
    EXPECT_EQ(FindPrinter({"barra", "BARRA"}, "Barra"), "barra");
}

TEST(PrintFailureMessageTest, NamesTicketNumberPrinterAndEveryFailedTicket) {
    const QString m = sending::PrintFailureMessage("57", "12", "Cocina", {"ASISTENTE", "CHEF", "BAR"},
                                                   "No se pudo conectar");
    EXPECT_TRUE(m.startsWith("Error de impresión..."));
    EXPECT_TRUE(m.contains("mesa 12 quedó guardado (comanda 57)"));
    EXPECT_TRUE(m.contains("impresora Cocina: ASISTENTE, CHEF, BAR."));
    EXPECT_TRUE(m.contains("No envíe el pedido de nuevo."));
    EXPECT_TRUE(m.endsWith("No se pudo conectar"));
}

}  // namespace
