// The terminal's send journal: what it writes is read back whole, anything
// else is refused with a reason, and a file that cannot be read is moved
// aside so the terminal still starts.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>

#include "data/option_files.h"
#include "runtime/program_locale.h"
#include "sending/journal_lock.h"
#include "sending/print_test_helpers.h"
#include "sending/order_sender.h"
#include "sending/send_journal.h"
#include "sending/ticket_follower.h"
#include "support/journal_disks.h"
#include "support/json_edit.h"

namespace {

using sending::JournalEntry;
using sending::SendTry;

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
    e.servidor = "192.168.1.10";
    e.base = "restaurante";
    return e;
}

TEST(SendJournalTest, EveryEntryIsReadBackAsWritten) {
    JournalEntry sending = Entry();
    JournalEntry inDoubt = Entry();
    inDoubt.intento = SendTry{inDoubt.idEnvio, "41", {QDate(2026, 12, 9), "09/12/2026 21:15:03"}, true, sending::TryPhase::Numbered, {}};
    JournalEntry stored = inDoubt;
    stored.intento->fase = sending::TryPhase::Stored;
    stored.impresas = {{sending::TicketKind::Full, "ASISTENTE", 1}, {sending::TicketKind::Group, "BAR", 2}};
    stored.comandas = {sendingtest::SampleTicket("ASISTENTE", {"SOPA"}), sendingtest::SampleTicket("BAR", {})};
    JournalEntry earlier = stored;  // an earlier program's: printed tickets by place, none recorded
    earlier.impresas.clear();
    earlier.comandas.clear();
    earlier.impresasPorLugar = {0, 2};
    JournalEntry noCounter = stored;  // an installation without counter row: empty number and clock
    noCounter.intento->numero.clear();
    noCounter.intento->reloj = {};
    for (const JournalEntry& e : {sending, inDoubt, stored, noCounter, earlier}) {
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
        {"other version", QByteArray(whole).replace("\"version\": 4", "\"version\": 7")},
        {"no database", QByteArray(whole).replace("\"base\"", "\"otra\"")},
        {"a number that is text", QByteArray(whole).replace("\"cantidad\": 2", "\"cantidad\": \"2\"")},
        {"a line without its side dishes", QByteArray(whole).replace("\"contornos\"", "\"otros\"")},
        {"a grid row's number cell that is no number", R"({"version":1,"idEnvio":"x","guardado":false,
            "pedido":{"mesa":"1","mesonero":"a","codVendedor":"1","filas":[["P1","A","dos","1","1","0","0"]]}})"},
        {"no id", QByteArray(whole).replace("\"idEnvio\": \"5b1c-0001\"", "\"idEnvio\": \"\"")},
        {"a cell that is no text", QByteArray(whole).replace("\"P001\"", "17")},
        {"a printed ticket that is no place", R"({"version":1,"idEnvio":"x","guardado":false,"impresas":[-1],
            "pedido":{"mesa":"1","mesonero":"a","codVendedor":"1","filas":[]}})"},
        {"a printed ticket that is no identity", R"({"version":1,"idEnvio":"x","guardado":false,"impresas":["BAR"],
            "pedido":{"mesa":"1","mesonero":"a","codVendedor":"1","filas":[]}})"},
        {"a recorded ticket that is not whole", R"({"version":1,"idEnvio":"x","guardado":false,"comandas":[{}],
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

// Each field is taken only with the type and range its version wrote; any
// other value is damage named by its field, a field the version did not
// write keeps its default, and a printed ticket named twice is read once.
TEST(SendJournalTest, AFieldThatDoesNotFitIsNamedAndAPrintedTicketNamedTwiceIsReadOnce) {
    JournalEntry stored = Entry();
    stored.intento = SendTry{stored.idEnvio, "41", {QDate(2026, 12, 9), "09/12/2026 21:15:03"}, true,
                             sending::TryPhase::Stored, {}};
    stored.comandas = {sendingtest::SampleTicket("COCINA", {"SOPA"})};
    const QByteArray v4 = sending::JournalToJson(stored);
    const QByteArray v3 = testsupport::WithField(v4, "version", 3);
    const QByteArray v2 = testsupport::WithField(v4, "version", 2);
    const QByteArray v1 = R"({"version":1,"idEnvio":"x","guardado":false,
        "pedido":{"mesa":"1","mesonero":"a","codVendedor":"1","filas":[]}})";
    const QJsonValue none(QJsonValue::Undefined);  // the field removed
    const struct {
        const QByteArray& base;
        const char* path;
        QJsonValue value;
        const char* reason;  // nullptr: it reads
        QStringList printed = {};
        std::vector<int> places = {};
    } cases[] = {
        {v4, "impresas", "completa:ASISTENTE:1", "impresas no es una lista"},
        {v4, "impresas", QJsonObject{{"0", "grupo:COCINA:1"}}, "impresas no es una lista"},
        {v4, "impresas", QJsonArray{1.5}, "impresas[0] no es una comanda"},
        {v4, "impresas", QJsonArray{"grupo:COCINA:2", 1, "grupo:COCINA:2", 1}, nullptr, {"grupo:COCINA:2"}, {1}},
        {v2, "impresas", none, "impresas falta"},
        {v1, "impresas", none, nullptr},  // the first entries of version 1 kept none
        {v4, "guardado", "si", "guardado no es sí o no"},
        {v4, "comandas", 5, "comandas no es una lista"},
        {v4, "comandas.0.secciones", "COCINA", "comandas[0].secciones no es una lista"},
        {v4, "intento.numerado", none, "intento.numerado falta"},
        {v3, "intento.numerado", none, nullptr},  // written before the try's phase was
        {v4, "intento.numerado", false, "intento.numerado es no en un envío guardado"},
        {v4, "intento.conRegistro", 1, "intento.conRegistro no es sí o no"},
        {v4, "pedido.lineas.0.cantidad", "2", "pedido.lineas[0].cantidad no es un número"},
        {v4, "pedido.lineas.0.contornos", "PURÉ", "pedido.lineas[0].contornos no es una lista"},
        {v4, "version", 4.5, "version no es un número entero de 1 a 4"},
    };
    for (const auto& c : cases) {
        const QByteArray json = testsupport::WithField(c.base, c.path, c.value);
        SCOPED_TRACE(json.toStdString());
        QString error;
        const std::optional<JournalEntry> e = sending::JournalFromJson(json, &error);
        if (c.reason) {
            EXPECT_FALSE(e.has_value());
            EXPECT_TRUE(error.contains(QString::fromUtf8(c.reason))) << error.toStdString();
            continue;
        }
        ASSERT_TRUE(e.has_value()) << error.toStdString();
        QStringList printed;
        for (const sending::TicketId& id : e->impresas) printed << id.Text();
        EXPECT_EQ(printed, c.printed);
        EXPECT_EQ(e->impresasPorLugar, c.places);
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
    e.intento = SendTry{e.idEnvio, "41", {QDate(2026, 12, 9), "09/12/2026 21:15:03"}, false, sending::TryPhase::Numbered, {}};
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

using Sync = sending::SendJournal::Sync;
using State = sending::SendJournal::State;

// What a terminal finds after the power went, for each sequence of writes:
// the last entry that reached the disk, never an older one, never half of one.
TEST(SendJournalTest, APowerCutLeavesTheLastEntryWrittenToTheDisk) {
    JournalEntry sending = Entry();
    JournalEntry inDoubt = Entry();
    inDoubt.intento = SendTry{inDoubt.idEnvio, "41", {QDate(2026, 12, 9), "09/12/2026 21:15:03"}, true, sending::TryPhase::Numbered, {}};
    JournalEntry stored = inDoubt;
    stored.intento->fase = sending::TryPhase::Stored;
    struct Step {
        const JournalEntry* entry;  // nullptr: Close
        Sync sync;
    };
    const struct {
        const char* name;
        std::vector<Step> steps;
        const JournalEntry* found;  // nullptr: nothing in flight
    } cases[] = {
        {"the first entry", {{&sending, Sync::ToDisk}}, &sending},
        {"sending, then stored", {{&sending, Sync::ToDisk}, {&stored, Sync::ToDisk}}, &stored},
        {"stored, then closed", {{&sending, Sync::ToDisk}, {&stored, Sync::ToDisk}, {nullptr, Sync::ToDisk}}, nullptr},
        {"an entry kept only in the cache", {{&sending, Sync::ToDisk}, {&inDoubt, Sync::CacheOnly}}, &sending},
        {"the cache, then the disk",
         {{&sending, Sync::ToDisk}, {&inDoubt, Sync::CacheOnly}, {&stored, Sync::ToDisk}}, &stored},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        QTemporaryDir dir;
        testsupport::PowerCutDisk disk(dir.path());
        sending::SendJournal journal(dir.filePath("envio_en_curso.json"), &disk);
        for (const Step& step : k.steps) ASSERT_TRUE(step.entry ? journal.Write(*step.entry, step.sync) : journal.Close());
        disk.PowerCut();
        const sending::SendJournal::Loaded loaded = sending::SendJournal(journal.Path()).Load();
        ASSERT_EQ(loaded.state, k.found ? State::Found : State::Empty) << loaded.error.toStdString();
        if (k.found) {
            EXPECT_EQ(loaded.entry, *k.found);
        }
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), k.found ? QStringList{"envio_en_curso.json"} : QStringList{});
    }
}

TEST(SendJournalTest, OnlyWritesToTheDiskWaitForIt) {
    QTemporaryDir dir;
    testsupport::SlowDisk disk;
    sending::SendJournal journal(dir.filePath("envio_en_curso.json"), &disk);
    const struct {
        const char* name;
        std::function<bool()> act;
        int syncs;  // file and folder syncs
    } cases[] = {
        {"to the disk", [&] { return journal.Write(Entry(), Sync::ToDisk); }, 2},
        {"to the cache", [&] { return journal.Write(Entry(), Sync::CacheOnly); }, 0},
        {"closed", [&] { return journal.Close(); }, 1},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        const int before = disk.Syncs();
        ASSERT_TRUE(k.act());
        EXPECT_EQ(disk.Syncs() - before, k.syncs);
    }
}

// The mode of `path` (0 when it is not there).
mode_t ModeOf(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0u;
}

// The process's disk, noting the mode of each temporary file as it is
// renamed over the real one.
class RenameWatchingDisk : public sending::JournalDisk {
public:
    bool MakeFolder(const QString& f, QString* e) override { return real.MakeFolder(f, e); }
    bool WriteFile(const QString& p, const QByteArray& d, QString* e) override { return real.WriteFile(p, d, e); }
    bool SyncFile(const QString& p, QString* e) override { return real.SyncFile(p, e); }
    bool Rename(const QString& from, const QString& to, QString* e) override {
        renamed.push_back(ModeOf(from));
        return real.Rename(from, to, e);
    }
    bool RenameNoReplace(const QString& from, const QString& to, QString* e) override {
        return real.RenameNoReplace(from, to, e);
    }
    bool Remove(const QString& p, QString* e) override { return real.Remove(p, e); }
    bool SyncFolder(const QString& f, QString* e) override { return real.SyncFolder(f, e); }

    sending::JournalDisk& real = sending::ProcessJournalDisk();
    std::vector<mode_t> renamed;
};

// The journal, the tickets file, their temporary files and the lock are this
// user's alone, and so is every folder made for them, whatever the umask and
// whatever an earlier run left (a folder opened to others, a temporary file
// of 0644).
TEST(SendJournalTest, ItsFilesAreTheUsersAloneWhateverTheUmask) {
    const struct {
        mode_t umask;
        const char* folder;   // where the journal goes, under the test's folder
        const char* created;  // the topmost folder the terminal makes ("" none)
        mode_t leftFolder;    // the rights an earlier run left on `folder` (0: not there)
    } cases[] = {
        {022, "nueva/terminal", "nueva", 0},
        {000, "nueva/terminal", "nueva", 0},
        {022, "abierta", "", 0755},
        {000, "abierta", "", 0777},
    };
    const mode_t umaskBefore = ::umask(022);
    for (const auto& c : cases) {
        SCOPED_TRACE(QString("umask %1, %2").arg(c.umask, 3, 8, QChar('0')).arg(c.folder).toStdString());
        QTemporaryDir dir;
        const QString folder = dir.filePath(c.folder);
        if (c.leftFolder) {
            ASSERT_TRUE(QDir(dir.path()).mkpath(c.folder));
            ::chmod(QFile::encodeName(folder).constData(), c.leftFolder);
            QFile leftover(folder + "/envio_en_curso.json.nuevo");
            ASSERT_TRUE(leftover.open(QIODevice::WriteOnly));
            leftover.close();
            ::chmod(QFile::encodeName(leftover.fileName()).constData(), 0644);
        }
        ::umask(c.umask);
        RenameWatchingDisk disk;
        {
            sending::SendJournal journal(folder + "/envio_en_curso.json", &disk);
            ASSERT_TRUE(journal.Write(Entry()));
            sending::TicketFollower follower(folder + "/comandas_en_impresora.json", std::chrono::seconds(5), &disk);
            sending::FollowedTicket failed;
            failed.idEnvio = "5b1c-0001";
            failed.numero = "41";
            failed.impresora = "Cocina";
            follower.Fail({failed});
            const sending::JournalLock lock(folder);
            ASSERT_TRUE(lock.Held()) << lock.Error().toStdString();
            EXPECT_EQ(ModeOf(folder + "/pedidos.lock"), 0600u);
            EXPECT_EQ(ModeOf(journal.Path()), 0600u);
            EXPECT_EQ(ModeOf(follower.Path()), 0600u);
        }
        EXPECT_EQ(ModeOf(folder), 0700u);
        if (*c.created) {
            EXPECT_EQ(ModeOf(dir.filePath(c.created)), 0700u);
        }
        ASSERT_GE(disk.renamed.size(), 2u);  // the journal's and the tickets' temporary files
        for (const mode_t m : disk.renamed) EXPECT_EQ(m, 0600u);
        ::umask(022);
    }
    ::umask(umaskBefore);
}

// Whether a program of its own (a child process) gets the lock of `folder`:
// 0 it does, 1 another program holds it.
int ChildTakes(const QString& folder) {
    const pid_t child = ::fork();
    if (child == 0) {
        const sending::JournalLock lock(folder);
        ::_exit(lock.Held() ? 0 : lock.HeldByAnother() ? 1 : 2);
    }
    int status = -1;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(SendJournalTest, ASecondProgramIsToldAndGetsTheLockOnlyOnceTheFirstIsGone) {
    QTemporaryDir dir;
    {
        sending::JournalLock first(dir.path());
        ASSERT_TRUE(first.Held()) << first.Error().toStdString();
        const sending::JournalLock held = std::move(first);  // moved, still held
        const sending::JournalLock second(dir.path());
        EXPECT_FALSE(second.Held());
        EXPECT_TRUE(second.HeldByAnother());
        EXPECT_EQ(second.Error(), QString::fromUtf8("Ya hay otro programa Pedidos abierto en esta terminal\r") +
                                      dir.path() + QString::fromUtf8("\rUse ese programa, o ciérrelo antes de abrir otro."));
        EXPECT_EQ(ChildTakes(dir.path()), 1);
    }
    EXPECT_EQ(ChildTakes(dir.path()), 0);
    EXPECT_TRUE(sending::JournalLock(dir.path()).Held());
}

// A terminal pointed at another server or database never settles the
// entry of the first: it is moved aside, reported once, never taken over.
TEST(SendJournalTest, AnEntryOfAnotherInstallationIsSetAsideAndNeverTakenOver) {
    const JournalEntry entry = Entry();  // 192.168.1.10, restaurante
    JournalEntry legacy = Entry();
    legacy.servidor.clear();
    legacy.base.clear();
    JournalEntry named = Entry();
    named.servidor = "Caja";
    JournalEntry ported = Entry();
    ported.puerto = 3307;
    const struct {
        const char* name;
        const JournalEntry* written;
        sending::Installation terminal;
        State state;
    } cases[] = {
        {"the same installation", &entry, {"192.168.1.10", "restaurante"}, State::Found},
        {"its server's name in capitals", &named, {"CAJA", "restaurante"}, State::Found},
        {"another server", &entry, {"192.168.1.11", "restaurante"}, State::Foreign},
        {"another database", &entry, {"192.168.1.10", "restaurante_prueba"}, State::Foreign},
        {"its database's name in capitals", &entry, {"192.168.1.10", "Restaurante"}, State::Foreign},
        {"another port", &ported, {"192.168.1.10", "restaurante", 3306}, State::Foreign},
        {"the port it recorded", &ported, {"192.168.1.10", "restaurante", 3307}, State::Found},
        {"an entry that recorded no port", &entry, {"192.168.1.10", "restaurante", 3307}, State::Found},
        {"an earlier program's entry", &legacy, {"192.168.1.11", "otra"}, State::Found},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        QTemporaryDir dir;
        sending::SendJournal journal(dir.filePath("envio_en_curso.json"));
        ASSERT_TRUE(journal.Write(*k.written));
        sending::OrderSender sender(journal, k.terminal);
        const sending::SendJournal::Loaded loaded = sender.Recover();
        ASSERT_EQ(loaded.state, k.state);
        EXPECT_EQ(loaded.entry.idEnvio, entry.idEnvio);
        EXPECT_EQ(sender.Pending().has_value(), k.state == State::Found);
        EXPECT_EQ(QFile::exists(journal.Path() + ".otra-base"), k.state == State::Foreign);
        if (k.state == State::Found) {
            // An entry that named none is stamped with the terminal's.
            EXPECT_TRUE(k.terminal.SameAs(sender.Pending()->servidor, sender.Pending()->base, sender.Pending()->puerto));
            EXPECT_EQ(sender.Pending()->puerto, k.terminal.puerto);
        } else {
            EXPECT_EQ(journal.Load(k.terminal).state, State::Empty);  // reported once
        }
    }
}

TEST(SendJournalTest, AnEntryOfTheVersionBeforeIsReadWithoutInstallation) {
    JournalEntry e = Entry();
    e.servidor.clear();
    e.base.clear();
    QByteArray v2 = sending::JournalToJson(e).replace("\"version\": 4", "\"version\": 2");
    v2.replace("\"servidor\": \"\",", "").replace("\"base\": \"\",", "");
    ASSERT_FALSE(v2.contains("servidor"));
    QString error;
    const std::optional<JournalEntry> back = sending::JournalFromJson(v2, &error);
    ASSERT_TRUE(back.has_value()) << error.toStdString();
    EXPECT_EQ(*back, e);
}

// No two installations share a journal name: each part is written with its
// bytes outside [a-z0-9.-] as %XX and joined by '_'; the server in lower
// case, the database as written, the port as the link takes it.
TEST(SendJournalTest, EachInstallationHasAFileOfItsOwnAndTheEarlierFileGoesToTheFirst) {
    const auto journal = [](const char* servidor, const char* base, unsigned int puerto = 3306) {
        return QFileInfo(sending::DefaultJournalPath({QString::fromUtf8(servidor), QString::fromUtf8(base), puerto}))
            .fileName();
    };
    const QString longName(120, u'B');
    const struct {
        QString file;
        const char* expected;  // nullptr: only that it differs from every other
    } cases[] = {
        {journal("192.168.1.10", "Restaurante"), "envio_en_curso-192.168.1.10_3306_%52estaurante.json"},
        {journal("Caja Principal", "pedidos/2"), "envio_en_curso-caja%20principal_3306_pedidos%2F2.json"},
        {journal("servidor-1", "Año_2026"), "envio_en_curso-servidor-1_3306_%41%C3%B1o%5F2026.json"},
        {journal("a_b", "c"), "envio_en_curso-a%5Fb_3306_c.json"},
        {journal("a", "b_c"), "envio_en_curso-a_3306_b%5Fc.json"},
        {journal("192.168.1.10", "restaurante"), nullptr},
        {journal("192.168.1.10", "restaurante", 3307), "envio_en_curso-192.168.1.10_3307_restaurante.json"},
        {journal("a%5Fb", "c"), nullptr},
        {journal("servidor", longName.toUtf8().constData()), nullptr},
    };
    QSet<QString> seen;
    for (const auto& k : cases) {
        SCOPED_TRACE(k.file.toStdString());
        if (k.expected) {
            EXPECT_EQ(k.file, QString::fromUtf8(k.expected));
        }
        EXPECT_LE(k.file.toUtf8().size(), 240);  // room for ".ilegible.100" within a file name's 255 bytes
        EXPECT_FALSE(seen.contains(k.file));
        seen.insert(k.file);
    }
    EXPECT_EQ(journal("CAJA", "restaurante"), journal("caja", "restaurante"));  // hosts do not tell case apart

    // The port the option files give is the one the link is made on.
    data::OptionFiles options;
    options.settings.insert("port", {"3310", true, "/root/.my.cnf:2", false});
    EXPECT_EQ(sending::InstallationOf("SERVER=caja;DATABASE=r", options).puerto, 3310u);
    EXPECT_EQ(sending::InstallationOf("SERVER=caja;DATABASE=r;PORT=3307", {}).puerto, 3307u);
    EXPECT_EQ(sending::InstallationOf("SERVER=caja;DATABASE=r", {}).puerto, 3306u);

    QTemporaryDir dir;
    sending::SendJournal legacy(dir.filePath("envio_en_curso.json"));
    ASSERT_TRUE(legacy.Write(Entry()));
    sending::SendJournal first(dir.filePath("envio_en_curso-a_b.json"));
    sending::SendJournal second(dir.filePath("envio_en_curso-c_d.json"));
    EXPECT_TRUE(first.TakeOverEarlier(legacy.Path()));
    EXPECT_FALSE(second.TakeOverEarlier(legacy.Path()));
    EXPECT_FALSE(QFile::exists(legacy.Path()));
    EXPECT_EQ(first.Load().state, State::Found);
    EXPECT_EQ(second.Load().state, State::Empty);
    ASSERT_TRUE(second.Write(Entry()));
    EXPECT_FALSE(second.TakeOverEarlier(first.Path()));  // never over a journal of its own
    EXPECT_TRUE(QFile::exists(first.Path()));
}

}  // namespace
