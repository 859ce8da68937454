// What the waiter reads when ENVIAR could not store the order: the program
// goes on, so the message tells what became of the order instead of saying
// the program ends.
#include <gtest/gtest.h>

#include "runtime/program_locale.h"
#include "sending/send_messages.h"

namespace {

TEST(SendFailureMessage, SaysWhatBecameOfTheOrderAndWhatToDoNext) {
    sending::SendResult notStored;
    notStored.lastError = "Deadlock found";
    sending::SendResult unknown = notStored;
    unknown.outcome = sending::Verdict::NoAnswer;
    unknown.enDuda = sending::SendTry{"id", "57", {}, false, sending::TryPhase::Numbered, {}};
    sending::SendResult undecidable;
    undecidable.outcome = sending::Verdict::CannotTell;
    undecidable.enDuda = sending::SendTry{"id", "57", {}, false, sending::TryPhase::Numbered, {}};
    const struct {
        const char* name;
        sending::SendResult result;
        const char* text;
    } cases[] = {
        {"not stored", notStored,
         "Error en Base de datos...\rEl pedido no se guardó y sigue en pantalla.\r"
         "Presione ENVIAR de nuevo.\rDeadlock found"},
        {"outcome not known", unknown,
         "Error en Base de datos...\rNo se pudo confirmar si el pedido quedó guardado; sigue en "
         "pantalla.\rPresione ENVIAR de nuevo: si ya se guardó, no se guardará dos veces.\r"
         "Deadlock found"},
        {"nobody can tell", undecidable,
         "No se puede confirmar si el pedido de la Mesa 12 quedó guardado (comanda N° 57).\r"
         "Verifique en caja si la comanda está registrada;\rsi no lo está, presione ENVIAR de "
         "nuevo."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(sending::SendFailureMessage(c.result, "12"), QString::fromUtf8(c.text));
    }
}

}  // namespace

namespace {

// A settled send of table 12: on the screen, or left by an earlier run.
sending::SettleReport Settled(bool enPantalla) {
    sending::SettleReport r;
    r.enPantalla = enPantalla;
    r.entry.idEnvio = "id";
    r.entry.pedido.mesa = "12";
    r.entry.pedido.mesonero = "Ana";
    order::Line line;
    line.codigo = "P001";
    line.nombre = "PARRILLA";
    line.cantidad = 2;
    r.entry.pedido.lineas = {line, order::Line()};  // the second has no code: no line
    r.entry.intento = sending::SendTry{"id", "57", {}, false, sending::TryPhase::Numbered, {}};
    return r;
}

// The order's quantities as the grid shows them, under the formats start-up forces.
class SettleMessages : public ProgramFormats {};

TEST_F(SettleMessages, NameTheOrderTheWaiterCannotSeeAndTheTicketNumberOfTheOneOnScreen) {
    sending::SettleReport noNumber = Settled(false);
    noNumber.entry.intento.reset();  // the power went before any COMMIT
    const struct {
        const char* name;
        QString text;
        const char* expected;
    } cases[] = {
        {"stored, on screen", sending::StoredAfterAllMessage(Settled(true)),
         "El pedido de la Mesa 12 sí quedó guardado (comanda N° 57).\r"
         "Se imprimen sus comandas y la pantalla queda lista para otro pedido."},
        {"stored, earlier run", sending::StoredAfterAllMessage(Settled(false)),
         "El último pedido de esta terminal quedó guardado y faltan sus comandas:\r"
         "Mesa 12, Mesero(a) Ana, comanda N° 57.\rSe imprimen ahora."},
        {"not stored, earlier run", sending::NotStoredMessage(noNumber.entry),
         "El último pedido de esta terminal no llegó a guardarse:\rMesa 12, Mesero(a) Ana.\r"
         "   2,000  PARRILLA\rTome el pedido de nuevo."},
        {"no answer, on screen", sending::NoAnswerMessage(Settled(true)),
         "Error en Base de datos...\rNo se pudo comprobar si el pedido de la Mesa 12 quedó guardado "
         "(comanda N° 57).\rEl pedido sigue en pantalla; intente de nuevo en unos momentos."},
        {"no answer, earlier run", sending::NoAnswerMessage(Settled(false)),
         "Error en Base de datos...\rNo se pudo comprobar si el último pedido de esta terminal quedó "
         "guardado:\rMesa 12, Mesero(a) Ana, comanda N° 57.\rSe comprobará antes del próximo envío."},
        {"cannot tell, earlier run", sending::CannotTellMessage(Settled(false)),
         "No se puede confirmar si el último pedido de esta terminal quedó guardado:\r"
         "Mesa 12, Mesero(a) Ana, comanda N° 57.\r   2,000  PARRILLA\r"
         "Verifique en caja si la comanda está registrada;\rsi no lo está, tome el pedido de nuevo."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.text, QString::fromUtf8(c.expected));
    }
}

}  // namespace
