// The kitchen tickets of recorded orders, compared with hand-checked renderings.
// Each folder under tests/golden/tickets is one case:
//   pedido.txt   the order: "clave: valor" lines for the header (numero,
//                empresa, mesonero, mesa, fecha as yyyy-MM-dd, hora as HH:mm:ss
//                = the first clock reading; every further reading is one second
//                later), then the grid rows, each starting with a line "fila"
//                followed by its cells by name (codigo, nombre, cant, precio,
//                subtotal, iva, costo, contorno1..3, termino, vendedor,
//                deposito, observacion, imprimir; unnamed cells are empty) and
//                optionally "celdas: N" to cut the row to its first N cells.
//                Lines starting with "#" are comments.
//   Modelo.txt   the print groups; a case without it cannot read the file.
//   tickets.txt  the expected tickets: "== title", then one line per printed
//                line: the settings made before it, in order ("mm",
//                'font "Draft 6cpi"', "size N", "x N"), then the text in
//                quotes, joined by " | "; "END" ends the document.
#include "sending/ticket_layout.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <map>

#include "runtime/program_locale.h"
#include "runtime/text_file.h"
#include "sending/ticket_json.h"
#include "sending/ticket_paper.h"

namespace {

using namespace sending;

const QString kCasos = QStringLiteral(PEDIDOS_SOURCE_DIR "/tests/golden/tickets");
const QStringList kCeldas = {"codigo",  "nombre",   "cant",      "precio",      "subtotal",
                             "iva",     "costo",    "contorno1", "contorno2",   "contorno3",
                             "termino", "vendedor", "deposito",  "observacion", "imprimir"};

std::optional<QStringList> ReadLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    return rt::DecodeTextLines(file.readAll());
}

// A line from the cells pedido.txt names: numbers as the grid shows them
// (a missing or empty cell is 0).
order::Line LineOf(QStringList cells) {
    cells.resize(order::kOrderColumns);
    for (int col : {order::kColCant, order::kColPrecio, order::kColSubTotal, order::kColIva, order::kColCosto})
        if (cells[col].isEmpty()) cells[col] = "0";
    std::optional<order::Line> line = order::LineFromRow(cells);
    if (!line) ADD_FAILURE() << "pedido.txt: a number cell that is no number in " << cells.join('|').toStdString();
    return line.value_or(order::Line());
}

// Reads pedido.txt into `entrada`; the clock ticks from `hora` on.
void ReadOrder(const QStringList& lines, TicketInput& entrada, QTime& hora) {
    std::vector<QStringList> filas;
    const std::map<QString, QString*> texts = {{"numero", &entrada.numero},
                                               {"empresa", &entrada.empresa},
                                               {"mesonero", &entrada.mesonero},
                                               {"mesa", &entrada.mesa}};
    for (const QString& line : lines) {
        if (line.isEmpty() || line.startsWith('#')) continue;
        if (line == "fila") {
            filas.emplace_back(QStringList(kCeldas.size(), QString()));
            continue;
        }
        const QString key = line.section(':', 0, 0);
        QString value = line.section(':', 1);
        if (value.startsWith(' ')) value.remove(0, 1);
        QStringList* fila = filas.empty() ? nullptr : &filas.back();
        const qsizetype cell = kCeldas.indexOf(key);
        if (fila && cell >= 0 && cell < fila->size())
            (*fila)[cell] = value;
        else if (fila && key == "celdas")
            fila->resize(value.toInt());
        else if (texts.contains(key))
            *texts.at(key) = value;
        else if (key == "fecha")
            entrada.fecha = QDate::fromString(value, Qt::ISODate);
        else if (key == "hora")
            hora = QTime::fromString(value, "HH:mm:ss");
        else
            ADD_FAILURE() << "pedido.txt: unknown line " << line.toStdString();
    }
    for (const QStringList& fila : filas) entrada.lineas.push_back(LineOf(fila));
}

QString Render(const std::vector<Ticket>& tickets) {
    QStringList out;
    for (const Ticket& ticket : tickets) {
        out << "== " + ticket.title;
        QStringList pending;
        for (const PrintOp& op : PaperOf(ticket).ops) {
            switch (op.kind) {
                case PrintOp::Kind::ScaleMillimetres:
                    pending << "mm";
                    continue;
                case PrintOp::Kind::FontName:
                    pending << "font \"" + op.text + '"';
                    continue;
                case PrintOp::Kind::FontSize:
                    pending << "size " + QString::number(op.size);
                    continue;
                case PrintOp::Kind::CurrentX:
                    pending << "x " + QString::number(op.size);
                    continue;
                case PrintOp::Kind::PrintLine:
                    pending << '"' + op.text + '"';
                    break;
                case PrintOp::Kind::EndDoc:
                    pending << "END";
                    break;
            }
            out << pending.join(" | ");
            pending.clear();
        }
        if (!pending.isEmpty()) out << pending.join(" | ");
        out << QString();
    }
    return out.join('\n');
}

// The first line where the two renderings part, with the lines before it and
// a few lines of each rendering after it.
std::string Difference(const QString& expected, const QString& actual) {
    const QStringList e = expected.split('\n'), a = actual.split('\n');
    qsizetype at = 0;
    while (at < e.size() && at < a.size() && e[at] == a[at]) ++at;
    std::string out = "first difference at line " + std::to_string(at + 1) + ":\n";
    const auto show = [&out](const QStringList& lines, qsizetype from, qsizetype to,
                             const char* mark) {
        for (qsizetype i = std::max<qsizetype>(0, from); i < std::min(to, lines.size()); ++i)
            out += mark + std::to_string(i + 1) + ": " + lines[i].toStdString() + "\n";
    };
    show(e, at - 3, at, "  ");
    show(e, at, at + 4, "- expected ");
    show(a, at, at + 4, "+ actual   ");
    return out + "whole actual rendering:\n" + actual.toStdString();
}

class TicketLayoutGolden : public ProgramFormats {};

TEST_F(TicketLayoutGolden, EveryCaseFolderPrintsItsExpectedTickets) {
    const QStringList casos = QDir(kCasos).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    ASSERT_GE(casos.size(), 10) << "golden cases missing under " << kCasos.toStdString();
    for (const QString& caso : casos) {
        SCOPED_TRACE(caso.toStdString());
        const QString dir = kCasos + '/' + caso + '/';
        const std::optional<QStringList> pedido = ReadLines(dir + "pedido.txt");
        const std::optional<QStringList> esperado = ReadLines(dir + "tickets.txt");
        ASSERT_TRUE(pedido && esperado) << "pedido.txt or tickets.txt missing";
        TicketInput entrada;
        QTime hora;
        ReadOrder(*pedido, entrada, hora);
        entrada.reloj = [&hora] { return std::exchange(hora, hora.addSecs(1)); };
        const std::vector<Ticket> tickets = LayOutTickets(entrada, ReadLines(dir + "Modelo.txt"));
        const QString actual = Render(tickets);
        const QString expected = esperado->join('\n').trimmed() + '\n';
        EXPECT_TRUE(actual.trimmed() + '\n' == expected) << Difference(expected, actual);
        // As the journal and the tickets file keep them: read back, the same tickets.
        for (const Ticket& t : tickets) {
            QString error;
            EXPECT_EQ(TicketFromJson(TicketToJson(t), &error), std::optional<Ticket>(t)) << error.toStdString();
        }
    }
}

}  // namespace
