// The terminal's own files: nothing planted in their folder, nor in the
// folder's place, is followed, changed or read as a journal; a damaged
// journal is kept aside beside the earlier ones, never over them.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>

#include "sending/journal_lock.h"
#include "sending/send_journal.h"
#include "sending/ticket_follower.h"
#include "support/journal_disks.h"

namespace {

using State = sending::SendJournal::State;
using namespace std::chrono_literals;

sending::JournalEntry Entry() {
    sending::JournalEntry e;
    e.idEnvio = "5b1c-0001";
    e.pedido.mesa = "12";
    e.servidor = "192.168.1.10";
    e.base = "restaurante";
    return e;
}

sending::FollowedTicket FailedTicket() {
    sending::FollowedTicket t;
    t.idEnvio = "5b1c-0001";
    t.numero = "41";
    t.impresora = "Cocina";
    return t;
}

// Each link planted where the terminal keeps a file (or its folder) leaves
// the link's target as it was; the terminal tells the technician what is
// wrong, or makes its own file in the link's place.
TEST(JournalFilesTest, ALinkPlantedForAFileOfTheTerminalLeavesItsTargetAsItWas) {
    const struct {
        const char* name;
        const char* planted;  // in the folder; "" the folder itself
        bool hard;            // a second name of the target rather than a symbolic link
        const char* told;     // in the lock's refusal; "" the lock is held
    } cases[] = {
        {"the lock file", "pedidos.lock", false, "es un enlace simbólico"},
        {"the lock file as a second name", "pedidos.lock", true, "tiene otro nombre en el disco"},
        {"the journal's temporary file", "envio_en_curso.json.nuevo", false, ""},
        {"the tickets' temporary file", "comandas_en_impresora.json.nuevo", false, ""},
        {"the journal", "envio_en_curso.json", false, ""},
        {"the folder itself", "", false, "es un enlace simbólico, no una carpeta"},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        QTemporaryDir dir;
        const QString folder = dir.filePath("terminal");
        const bool inFolder = *k.planted != '\0';
        const testsupport::LinkTarget target(dir.filePath("fuera"), !inFolder);
        const QString link = inFolder ? folder + '/' + k.planted : folder;
        if (inFolder) {
            ASSERT_TRUE(QDir().mkpath(folder));
        }
        ASSERT_EQ(k.hard ? ::link(QFile::encodeName(target.Path()).constData(), QFile::encodeName(link).constData())
                         : ::symlink(QFile::encodeName(target.Path()).constData(), QFile::encodeName(link).constData()),
                  0);

        const sending::JournalLock lock(folder);
        sending::SendJournal journal(folder + "/envio_en_curso.json");
        const bool written = journal.Write(Entry());
        sending::TicketFollower follower(folder + "/comandas_en_impresora.json", 5s);
        follower.Fail({FailedTicket()});

        EXPECT_EQ(target.Changed(), QString());
        if (*k.told) {
            EXPECT_FALSE(lock.Held());
            EXPECT_TRUE(lock.Refused());
            EXPECT_TRUE(lock.Error().contains(link + QChar(13) + "Motivo: " + QString::fromUtf8(k.told)))
                << lock.Error().toStdString();
        } else {
            EXPECT_TRUE(lock.Held()) << lock.Error().toStdString();
        }
        // A folder that is not ours holds nothing of the terminal's; in ours
        // the terminal's own files took the links' places.
        EXPECT_EQ(written, inFolder);
        EXPECT_EQ(journal.Load().state, inFolder ? State::Found : State::Empty);
        EXPECT_EQ(sending::TicketFollower(follower.Path(), 5s).Load(), QString());
    }
}

// What is found at the journal's name when it is read: refused by name
// without reading it whole nor waiting on it, and kept aside under a name
// no earlier file has.
TEST(JournalFilesTest, AJournalThatIsNotAFileOfTheTerminalsIsRefusedByNameAndKeptAside) {
    const struct {
        const char* name;
        std::function<bool(const QString& path)> plant;
        const char* told;
        bool root = false;  // giving a file to another user needs root
    } cases[] = {
        {"a pipe nobody writes", [](const QString& p) { return ::mkfifo(QFile::encodeName(p).constData(), 0600) == 0; },
         "es una tubería con nombre (FIFO)"},
        {"a folder", [](const QString& p) { return QDir().mkpath(p); }, "es una carpeta"},
        {"a link to a journal elsewhere",
         [](const QString& p) {
             sending::SendJournal elsewhere(p + ".fuera/envio.json");
             return elsewhere.Write(Entry()) &&
                    ::symlink(QFile::encodeName(elsewhere.Path()).constData(), QFile::encodeName(p).constData()) == 0;
         },
         "es un enlace simbólico"},
        {"larger than a journal can be",
         [](const QString& p) {
             QFile f(p);
             return f.open(QIODevice::WriteOnly) && f.resize(sending::DurableFile::kMaxBytes + 1);
         },
         "tiene más de"},
        {"another user's",
         [](const QString& p) {
             sending::SendJournal journal(p);
             return journal.Write(Entry()) && ::chown(QFile::encodeName(p).constData(), 65534, 65534) == 0;
         },
         "pertenece a otro usuario", true},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        if (k.root && ::geteuid() != 0) continue;
        QTemporaryDir dir;
        sending::SendJournal journal(dir.filePath("envio_en_curso.json"));
        testsupport::LinkTarget earlier(journal.Path() + ".ilegible", false);  // a damaged journal kept before
        ASSERT_TRUE(k.plant(journal.Path()));

        const sending::SendJournal::Loaded loaded = journal.Load();
        EXPECT_EQ(loaded.state, State::Unreadable);
        EXPECT_TRUE(loaded.error.contains(QString::fromUtf8(k.told))) << loaded.error.toStdString();
        EXPECT_EQ(loaded.keptAs, journal.Path() + ".ilegible.2");
        EXPECT_EQ(earlier.Changed(), QString());
        EXPECT_EQ(journal.Load().state, State::Empty);  // told once
    }
}

// A folder of another user's is not looked into, whatever it holds, nor
// written; the technician is told which folder and why.
TEST(JournalFilesTest, AFolderOfAnotherUsersIsNeitherReadNorWritten) {
    if (::geteuid() != 0) GTEST_SKIP() << "giving a folder to another user needs root";
    QTemporaryDir dir;
    const QString folder = dir.filePath("terminal");
    sending::SendJournal journal(folder + "/envio_en_curso.json");
    ASSERT_TRUE(journal.Write(Entry()));
    ASSERT_EQ(::chown(QFile::encodeName(folder).constData(), 65534, 65534), 0);
    const testsupport::LinkTarget inside(folder + "/otro.txt", false);

    const sending::JournalLock lock(folder);
    EXPECT_TRUE(lock.Refused());
    EXPECT_TRUE(lock.Error().contains(folder + QChar(13) + "Motivo: pertenece a otro usuario (uid 65534)"))
        << lock.Error().toStdString();
    EXPECT_FALSE(QFile::exists(folder + "/pedidos.lock"));
    EXPECT_EQ(journal.Load().state, State::Empty);
    EXPECT_FALSE(journal.Write(Entry()));
    EXPECT_TRUE(QFile::exists(journal.Path()));
    EXPECT_EQ(inside.Changed(), QString());
}

}  // namespace
