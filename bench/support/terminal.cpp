#include "support/terminal.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <memory>

#include "order_screen/pedido_r.h"
#include "sending/escpos.h"
#include "startup/acceso.h"
#include "support/bench_env.h"
#include "widgets/error_box.h"
#include "widgets/qt_dialogs.h"

namespace bench {
namespace {

bool CopyFile(const QString& from, const QString& to) {
    QFile::remove(to);
    return QFile::copy(from, to);
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) qFatal("cannot write %s", qPrintable(path));
    f.write(bytes);
}

}  // namespace

ProgramFolder::ProgramFolder(const QString& printer, const QString& server) {
    if (!dir_.isValid()) qFatal("no temporary folder for the program folder");
    QDir root(dir_.path());
    root.mkpath(QStringLiteral("iconos"));
    root.mkpath(QStringLiteral("datos"));
    const QDir icons(SourcePath(QStringLiteral("src/iconos")));
    for (const QString& name : icons.entryList({QStringLiteral("*.ico")}))
        CopyFile(icons.filePath(name), root.filePath(QStringLiteral("iconos/") + name));
    for (const char* name : {"Contorno.txt", "Termino.txt", "Modelo.txt"})
        CopyFile(SourcePath(QStringLiteral("demo/") + QLatin1String(name)),
                 root.filePath(QStringLiteral("datos/") + QLatin1String(name)));
    CopyFile(SourcePath(QStringLiteral("demo/Empresa.txt")), root.filePath(QStringLiteral("Empresa.txt")));
    const QStringList lines{server, {}, {}, QStringLiteral("01"), DbName(),
                            root.filePath(QStringLiteral("datos")), printer, {}, {}, {}};
    WriteFile(root.filePath(QStringLiteral("Ruta_Datos.txt")), (lines.join("\r\n") + "\r\n").toUtf8());
}

void AnswerDialogs::Message(const QString& text, const QString&, dialogs::Icon) {
    messages << dialogs::ShownText(text);
    std::fprintf(stderr, "bench: the terminal showed a message: %s\n", qPrintable(messages.last()));
}
bool AnswerDialogs::YesNo(const QString&, const QString&, dialogs::Icon) { return false; }
QString AnswerDialogs::Input(const QString&, const QString&, const QString&, int, dialogs::Keys) {
    return QStringLiteral("1");
}

void RecordingConnection::Open(const QString& connectionString) {
    inner_.SetCommandTimeout(CommandTimeout());
    inner_.Open(connectionString);
}

void RecordingConnection::Execute(const QString& sql) {
    if (recording) statements << sql;
    inner_.Execute(sql);
}

data::ResultSet RecordingConnection::Query(const QString& sql) {
    if (recording) statements << sql;
    return inner_.Query(sql);
}

std::vector<data::ResultSet> RecordingConnection::RunTogether(const QStringList& sqls) {
    if (recording) statements << sqls;
    return inner_.RunTogether(sqls);
}

sending::JobResult RecordingPrinter::PrintTicket(const QString&, const sending::Ticket& ticket) {
    QByteArray job = sending::EscPosBytes(ticket);
    ++jobs;
    bytes += job.size();
    if (keep_) kept.push_back(std::move(job));
    return {true, {}};
}

RecordingPrinter* UseRecordingPrinter() {
    auto printer = std::make_unique<RecordingPrinter>(PrinterQueue());
    RecordingPrinter* installed = printer.get();
    sending::SetPrintingSystem(std::move(printer));
    return installed;
}

void StartTerminal(const ProgramFolder& folder, AnswerDialogs& answers, RecordingConnection** recorder) {
    dialogs::Install(&answers);
    startup::ConnectionFactory factory;
    if (recorder) {
        factory = [recorder] {
            auto c = std::make_unique<RecordingConnection>();
            *recorder = c.get();
            return std::unique_ptr<data::Connection>(std::move(c));
        };
    }
    auto* acceso = new startup::Acceso(folder.Path(), factory);
    dialogs::Guarded([acceso] { acceso->Form_Load(); });
    acceso->show();
    Settle();
    acceso->CmdOk_Click();
    Settle();
    if (!answers.messages.isEmpty()) qFatal("start-up showed a message: the bench cannot go on");
}

void BeginOrder(const QString& mesa) {
    order_screen::Pedido_R* s = order_screen::Pedido_R::Instance();
    s->dbCombo2->setCurrentIndex(0);
    s->dbCombo2_Click();
    s->Combo1->setEditText(mesa);
    s->Command5_Click();
}

void Settle() {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

}  // namespace bench
