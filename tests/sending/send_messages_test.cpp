// What the waiter reads when ENVIAR could not store the order: the program
// goes on, so the message tells what became of the order instead of saying
// the program ends.
#include <gtest/gtest.h>

#include "sending/send_messages.h"

namespace {

TEST(SendFailureMessage, SaysWhatBecameOfTheOrderAndWhatToDoNext) {
    sending::SendResult notStored;
    notStored.lastError = "Deadlock found";
    sending::SendResult unknown = notStored;
    unknown.outcomeUnknown = true;
    unknown.enDuda = sending::SendInDoubt{"id", "57", {}};
    sending::SendResult undecidable;
    undecidable.undecidable = true;
    undecidable.enDuda = sending::SendInDoubt{"id", "57", {}};
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
