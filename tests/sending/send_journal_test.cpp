// The terminal's send journal: what it writes is read back whole, anything
// else is refused with a reason, and a file that cannot be read is moved
// aside so the terminal still starts.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

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
    QStringList fila(15);
    fila[0] = "P001";
    fila[1] = QString::fromUtf8("TEQUEÑOS 'PICANTES'");
    fila[2] = "2,000";
    fila[13] = "sin sal\npor favor";
    e.pedido.filas = {fila, QStringList(15)};
    return e;
}

TEST(SendJournalTest, EveryEntryIsReadBackAsWritten) {
    JournalEntry sending = Entry();
    JournalEntry inDoubt = Entry();
    inDoubt.intento = SendInDoubt{inDoubt.idEnvio, "41", {QDate(2026, 12, 9), "09/12/2026 21:15:03"}, true};
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
        {"other version", QByteArray(whole).replace("\"version\": 1", "\"version\": 7")},
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

TEST(SendJournalTest, TheFileHoldsTheLastEntryUntilClosedAndAnUnreadableOneIsMovedAside) {
    QTemporaryDir dir;
    sending::SendJournal journal(dir.filePath("terminal/envio_en_curso.json"));
    EXPECT_EQ(journal.Load().state, sending::SendJournal::State::Empty);

    JournalEntry e = Entry();
    ASSERT_TRUE(journal.Write(e));  // creates its folder
    e.intento = SendInDoubt{e.idEnvio, "41", {QDate(2026, 12, 9), "09/12/2026 21:15:03"}, false};
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
