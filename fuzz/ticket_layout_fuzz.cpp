// The kitchen tickets of one send and their ESC/POS bytes. The input's lines
// are: ticket number, business name, waiter, table; then one order line per
// line, as the 15 texts of its grid row separated by '|' (a row whose number
// cells are no numbers is no line); then, after a line "%%", the lines of
// Modelo.txt (no "%%" line: Modelo.txt could not be read). The date and the
// clock are fixed.
#include <QDate>
#include <QTime>

#include "fuzz_support.h"
#include "order/order.h"
#include "runtime/text_file.h"
#include "sending/escpos.h"
#include "sending/print_groups.h"
#include "sending/ticket_json.h"
#include "sending/ticket_layout.h"
#include "sending/ticket_paper.h"

namespace {

using sending::PrintOp;

const QString kModeloMark = QStringLiteral("%%");

sending::TicketInput InputOf(const QStringList& lines, qsizetype rowsEnd) {
    sending::TicketInput in;
    in.numero = lines.value(0);
    in.empresa = lines.value(1);
    in.mesonero = lines.value(2);
    in.mesa = lines.value(3);
    in.fecha = QDate(2026, 12, 8);
    in.reloj = [] { return QTime(21, 5, 9); };
    for (qsizetype i = 4; i < rowsEnd; ++i)
        if (const std::optional<order::Line> l = order::LineFromRow(lines[i].split(u'|'))) in.lineas.push_back(*l);
    return in;
}

void CheckOps(const sending::TicketPaper& t) {
    qsizetype ends = 0;
    for (const PrintOp& op : t.ops) ends += op.kind == PrintOp::Kind::EndDoc ? 1 : 0;
    fuzz::Check(!t.ops.empty() && t.ops.back().kind == PrintOp::Kind::EndDoc && ends == 1,
                "a ticket ends with its one EndDoc", t.title);
}

// A printed line as the printer shows it: each character as written, or '?'
// when code page 850 has no byte for it; a control character is always '?'.
void CheckPrintedText(const QString& written, QStringView shown) {
    const QList<uint> a = written.toUcs4();
    const QList<uint> b = shown.toString().toUcs4();
    fuzz::Check(a.size() == b.size(), "a printed line keeps its length", written);
    for (qsizetype i = 0; i < a.size(); ++i)
        fuzz::Check((a[i] >= 0x20 && b[i] == a[i]) || b[i] == u'?',
                    "a printed character is itself or '?'", written);
}

// The bytes of a ticket read back: one line per PrintLine, double height after
// a size of 12, and the cut last.
void CheckEscPos(const sending::TicketPaper& t) {
    const QByteArray bytes = sending::EscPosBytes(t);
    fuzz::Check(bytes.startsWith("\x1B@\x1Bt\x02"), "a job resets the printer and picks CP850");
    fuzz::Check(bytes.endsWith(QByteArray("\x1DV\x42\x00", 4)), "a job ends with the cut");
    QStringList shown = sending::EscPosText(bytes).split(u'\n');
    fuzz::Check(shown.size() >= 2 && shown.takeLast().isEmpty(), "the text ends with a line break");
    fuzz::Check(shown.takeLast().startsWith(u'\u2702'), "the cut is the last line");
    bool big = false;
    qsizetype k = 0;
    for (const PrintOp& op : t.ops) {
        if (op.kind == PrintOp::Kind::FontSize) big = op.size >= 12;
        if (op.kind != PrintOp::Kind::PrintLine) continue;
        fuzz::Check(k < shown.size(), "every printed line is shown", op.text);
        const QString& line = shown[k++];
        fuzz::Check(line.startsWith(big ? QStringLiteral("\u00BB ") : QStringLiteral("  ")),
                    "double height is marked", line);
        CheckPrintedText(op.text, QStringView(line).mid(2));
    }
    fuzz::Check(k == shown.size(), "nothing but the printed lines is shown");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::UseProgramFormats();
    const QByteArray bytes = fuzz::Bytes(data, size);
    sending::EscPosText(bytes);  // any bytes at all, as a job read back

    const QStringList lines = rt::DecodeTextLines(bytes);
    const qsizetype mark = lines.indexOf(kModeloMark);
    std::optional<QStringList> modelo;
    if (mark >= 0) modelo = lines.mid(mark + 1);
    const sending::TicketInput in = InputOf(lines, mark >= 0 ? mark : lines.size());

    const std::vector<sending::Ticket> tickets = sending::LayOutTickets(in, modelo);
    fuzz::Check(!tickets.empty() && tickets.front().title == QStringLiteral("ASISTENTE"),
                "the full copy always comes first");
    const qsizetype most = modelo ? 2 + sending::TicketGroups(*modelo).size() : 1;
    fuzz::Check(qsizetype(tickets.size()) <= most, "no more tickets than copies and groups");
    for (const sending::Ticket& t : tickets) {
        const sending::TicketPaper paper = sending::PaperOf(t);
        CheckOps(paper);
        CheckEscPos(paper);
        QString error;
        fuzz::Check(sending::TicketFromJson(sending::TicketToJson(t), &error) == t,
                    "a ticket reads back from its file form as it was laid out", error);
    }
    return 0;
}
