// The terminal's send journal: what it writes is read back whole, anything
// else is refused with a reason, and a file that cannot be read is moved
// aside so the terminal still starts.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "runtime/program_locale.h"
#include "sending/send_journal.h"

namespace {

using sending::JournalEntry;
using sending::SendInDoubt;

JournalEntry Entry() {
    JournalEntry e;
    e.idEnvio = "5b1c-0001";
    e.pedido.mesa = "12";
    e.pedido.mesonero = QString::fromUtf8("D'Angelo Pérez \\ \"el Chino\"");
    e.pedido.codVendedor = "004";
    order::Line linea;
    linea.codigo = "P001";
    linea.nombre = QString::fromUtf8("TEQUEÑOS 'PICANTES'");
    linea.cantidad = 2;
    linea.precio = 1234.57;
    linea.contornos = {QString::fromUtf8("PURÉ")};
    linea.observacion = "sin sal\npor favor";
    e.pedido.lineas = {linea, order::Line()};
    return e;
}

TEST(SendJournalTest, EveryEntryIsReadBackAsWritten) {
    JournalEntry sending = Entry();
    JournalEntry inDoubt = Entry();
    inDoubt.intento = SendInDoubt{inDoubt.idEnvio, "41", {QDate(2026, 12, 9), "09/12/2026 21:15:03"}, true, true, {}};
    JournalEntry stored = inDoubt;
    stored.guardado = true;
    stored.impresas = {0, 2};
    JournalEntry noCounter = stored;  // an installation without counter row: empty number and clock
    noCounter.intento->numero.clear();
    noCounter.intento->reloj = {};
    for (const JournalEntry& e : {sending, inDoubt, stored, noCounter}) {
        QString error;
        const std::optional<JournalEntry> back = sending::JournalFromJson(sending::JournalToJson(e), &error);
        ASSERT_TRUE(back.has_value()) << error.toStdString();
        EXPECT_EQ(*back, e);
    }
}

TEST(SendJournalTest, AnythingButAWholeEntryIsRefusedWithAReason) {
    const QByteArray whole = sending::JournalToJson(Entry());
    const struct {
        const char* name;
        QByteArray json;
    } cases[] = {
        {"cut off", whole.left(whole.size() / 2)},
        {"empty", ""},
        {"other version", QByteArray(whole).replace("\"version\": 2", "\"version\": 7")},
        {"a number that is text", QByteArray(whole).replace("\"cantidad\": 2", "\"cantidad\": \"2\"")},
        {"a line without its side dishes", QByteArray(whole).replace("\"contornos\"", "\"otros\"")},
        {"a grid row's number cell that is no number", R"({"version":1,"idEnvio":"x","guardado":false,
            "pedido":{"mesa":"1","mesonero":"a","codVendedor":"1","filas":[["P1","A","dos","1","1","0","0"]]}})"},
        {"no id", QByteArray(whole).replace("\"idEnvio\": \"5b1c-0001\"", "\"idEnvio\": \"\"")},
        {"a cell that is no text", QByteArray(whole).replace("\"P001\"", "17")},
        {"a printed ticket that is no place", R"({"version":1,"idEnvio":"x","guardado":false,"impresas":[-1],
            "pedido":{"mesa":"1","mesonero":"a","codVendedor":"1","filas":[]}})"},
        {"stored without its try", QByteArray(whole).replace("\"guardado\": false", "\"guardado\": true")},
        {"a try without date", R"({"version":1,"idEnvio":"x","guardado":false,
            "pedido":{"mesa":"1","mesonero":"a","codVendedor":"1","filas":[]},
            "intento":{"numero":"4","fecha":"ayer","hora":"","conRegistro":false}})"},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        QString error;
        EXPECT_FALSE(sending::JournalFromJson(k.json, &error).has_value());
        EXPECT_FALSE(error.isEmpty());
    }
}

// An entry the earlier program left, its lines as grid rows of masked texts:
// read with the numbers they show, so the send is settled and printed.
class SendJournalFormats : public ProgramFormats {};

TEST_F(SendJournalFormats, AnEntryWithGridRowsFromTheEarlierProgramIsReadAsLines) {
    const QByteArray json = QString::fromUtf8(R"({"version":1,"idEnvio":"x","guardado":false,"impresas":[],
        "pedido":{"mesa":"12","mesonero":"Ana","codVendedor":"004","filas":[
            ["P001","TEQUEÑOS","2,500","1.234,50","3.086,25","16,00","4,000","PAPAS","ARROZ","","TRES CUARTOS",
             "004","01","SIN SAL","COCINA"],
            ["","","","","","","","","","","","","","",""]]}})").toUtf8();
    QString error;
    const std::optional<JournalEntry> e = sending::JournalFromJson(json, &error);
    ASSERT_TRUE(e.has_value()) << error.toStdString();
    ASSERT_EQ(e->pedido.lineas.size(), 2u);
    const order::Line& l = e->pedido.lineas[0];
    EXPECT_EQ(l.codigo, "P001");
    EXPECT_EQ(l.nombre, QString::fromUtf8("TEQUEÑOS"));
    EXPECT_DOUBLE_EQ(l.cantidad, 2.5);
    EXPECT_DOUBLE_EQ(l.precio, 1234.5);
    EXPECT_DOUBLE_EQ(l.subtotal, 3086.25);
    EXPECT_DOUBLE_EQ(l.iva, 16);
    EXPECT_DOUBLE_EQ(l.costo, 4);
    EXPECT_EQ(l.contornos, QStringList({"PAPAS", "ARROZ"}));
    EXPECT_EQ(l.termino, "TRES CUARTOS");
    EXPECT_EQ(l.observacion, "SIN SAL");
    EXPECT_EQ(l.imprimir, "COCINA");
    EXPECT_FALSE(order::IsOrderLine(e->pedido.lineas[1]));
}

TEST(SendJournalTest, TheFileHoldsTheLastEntryUntilClosedAndAnUnreadableOneIsMovedAside) {
    QTemporaryDir dir;
    sending::SendJournal journal(dir.filePath("terminal/envio_en_curso.json"));
    EXPECT_EQ(journal.Load().state, sending::SendJournal::State::Empty);

    JournalEntry e = Entry();
    ASSERT_TRUE(journal.Write(e));  // creates its folder
    e.intento = SendInDoubt{e.idEnvio, "41", {QDate(2026, 12, 9), "09/12/2026 21:15:03"}, false, true, {}};
    ASSERT_TRUE(journal.Write(e));
    sending::SendJournal::Loaded loaded = journal.Load();
    ASSERT_EQ(loaded.state, sending::SendJournal::State::Found);
    EXPECT_EQ(loaded.entry, e);

    journal.Close();
    EXPECT_EQ(journal.Load().state, sending::SendJournal::State::Empty);

    QFile bad(journal.Path());
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("{\"version\"");
    bad.close();
    loaded = journal.Load();
    EXPECT_EQ(loaded.state, sending::SendJournal::State::Unreadable);
    EXPECT_FALSE(loaded.error.isEmpty());
    EXPECT_TRUE(QFile::exists(journal.Path() + ".ilegible"));
    EXPECT_EQ(journal.Load().state, sending::SendJournal::State::Empty);  // reported once
}

TEST(SendJournalTest, AJournalThatCannotBeWrittenDoesNotStopTheSend) {
    QTemporaryDir dir;
    QFile blocker(dir.filePath("no-folder"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));  // a file where the folder should be
    blocker.close();
    sending::SendJournal journal(dir.filePath("no-folder/envio_en_curso.json"));
    EXPECT_FALSE(journal.Write(Entry()));
    journal.Close();  // nothing to remove: no error
    EXPECT_EQ(journal.Load().state, sending::SendJournal::State::Empty);
}

}  // namespace
