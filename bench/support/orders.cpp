#include "support/orders.h"

#include "order_screen/pedido_r.h"
#include "runtime/regional_formats.h"
#include "runtime/text_file.h"
#include "support/bench_env.h"

namespace bench {
namespace {

struct Product {
    const char* code;
    const char* name;
    const char* price;
    const char* group;
};
// Dishes of three print groups of the demo Modelo.txt (two of them also on
// the chef copy), so a ticket run prints every kind of ticket.
constexpr Product kProducts[] = {
    {"E001", "TEQUEÑOS (6 UND)", "219,00", "COCINA"},
    {"S001", "HERVIDO DE RES", "255,50", "COCINA"},
    {"E005", "CHORIZO CARUPANERO", "182,50", "PARRILLA"},
    {"B001", "AGUA MINERAL", "40,00", "BAR"},
    {"B002", "PEPSI-COLA", "45,00", "BAR"},
};

}  // namespace

void UseTerminalFormats() {
    rt::UseStartUpFormats();
}

order_screen::OrderLine DemoLine(int i, const QString& note) {
    const Product& p = kProducts[i % std::size(kProducts)];
    order_screen::OrderLine line;
    line.codigo = QString::fromUtf8(p.code);
    line.nombre = QString::fromUtf8(p.name);
    line.cantidad = QStringLiteral("1,000");
    line.precio = QString::fromUtf8(p.price);
    line.subtotal = QString::fromUtf8(p.price);
    line.iva = QStringLiteral("16,00");
    line.costo = QStringLiteral("40,000");
    line.cod_vendedor = QStringLiteral("001");
    line.deposito = QStringLiteral("01");
    line.observacion = note;
    line.imprimir = QString::fromUtf8(p.group);
    return line;
}

QStringList GridRow(const order_screen::OrderLine& l) { return order_screen::RowCells(l); }

sending::OrderToSend DemoOrder(const QString& mesa, int lines, const QString& notePrefix) {
    sending::OrderToSend p{mesa, QString::fromUtf8("María Fernández"), QStringLiteral("001"), {}};
    for (int i = 0; i < lines; ++i) {
        const QString note = notePrefix.isEmpty() ? QString() : notePrefix + QStringLiteral("-l%1").arg(i);
        p.filas.push_back(GridRow(DemoLine(i, note)));
    }
    return p;
}

QStringList DemoModelo() {
    rt::TextFileReader reader(SourcePath(QStringLiteral("demo/Modelo.txt")));
    QStringList lines;
    while (!reader.AtEndOfStream()) lines << reader.ReadLine();
    return lines;
}

void PutLinesOnScreen(int lines) {
    order_screen::Pedido_R* s = order_screen::Pedido_R::Instance();
    for (int i = 0; i < lines; ++i)
        order_screen::AppendLine(*s->Grid1, *s->Grid2, DemoLine(i), s->Num_Items, s->Num_Contornos);
}

}  // namespace bench
