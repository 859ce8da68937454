#pragma once
// The real terminal inside a benchmark program: a program folder laid out as
// an installation has it (Ruta_Datos.txt naming the bench database and the
// kitchen queue, the demo's shared files, the icons), the real start-up form
// loaded and "Aceptar" clicked, and the boxes the terminal asks answered from
// a script (quantity 1, no note to the chef).
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>
#include <vector>

#include "data/mariadb_connection.h"
#include "sending/printing_system.h"
#include "support/bench_env.h"
#include "runtime/dialogs.h"

namespace bench {

// A program folder in a temporary directory.
class ProgramFolder {
public:
    // `printer`: line 7 of Ruta_Datos.txt; `server`: line 1, the bench
    // database unless the terminal is to reach it through a proxy.
    explicit ProgramFolder(const QString& printer, const QString& server = DbHost());
    QString Path() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
};

class AnswerDialogs : public dialogs::Dialogs {
public:
    void Message(const QString& text, const QString& title, dialogs::Icon icon) override;
    bool YesNo(const QString& text, const QString& title, dialogs::Icon icon) override;
    QString Input(const QString& prompt, const QString& title, const QString& initial,
                  int maxLength, dialogs::Keys keys) override;
    // Messages shown so far (none is expected in a benchmark).
    QStringList messages;
};

// The terminal's connection with a switch that records every statement
// sent through it, so a floor can send exactly the same ones.
class RecordingConnection : public data::Connection {
public:
    void Open(const QString& connectionString) override;
    bool IsOpen() const override { return inner_.IsOpen(); }
    void Close() override { inner_.Close(); }
    void Execute(const QString& sql) override;
    data::ResultSet Query(const QString& sql) override;
    std::vector<data::ResultSet> RunTogether(const QStringList& sqls) override;
    QString Escape(const QString& text) const override { return inner_.Escape(text); }
    data::SessionFacts& SessionFacts() override { return inner_.SessionFacts(); }

    bool recording = false;
    QStringList statements;

private:
    data::MariaDbConnection inner_;
};

// A ticket printer that turns each ticket into its printer bytes, as the
// kitchen queue would get them, and keeps only the count (or every job).
class RecordingPrinter : public sending::PrintingSystem {
public:
    explicit RecordingPrinter(QString name, bool keepJobs = false)
        : name_(std::move(name)), keep_(keepJobs) {}
    sending::PrinterList InstalledPrinters() override { return {true, {}, {name_}}; }
    sending::JobResult PrintTicket(const QString& printer, const sending::Ticket& ticket) override;

    long long jobs = 0, bytes = 0;
    std::vector<QByteArray> kept;

private:
    QString name_;
    bool keep_;
};

// A RecordingPrinter for the bench queue, installed as the printing system;
// the pointer stays valid while it is installed.
RecordingPrinter* UseRecordingPrinter();

// The start-up form loaded from `folder`, "Aceptar" clicked and the order
// screen shown; the boxes answered by `answers`. With `recorder`, that
// connection is the terminal's (not owned by the caller afterwards).
void StartTerminal(const ProgramFolder& folder, AnswerDialogs& answers,
                   RecordingConnection** recorder = nullptr);

// Waiter and table picked and CONTINUAR pressed: the main menu shows.
void BeginOrder(const QString& mesa);

// Lets the screen handle what is pending (repaints included).
void Settle();

}  // namespace bench
