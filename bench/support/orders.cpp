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
    double price;
    const char* group;
};
// Dishes of three print groups of the demo Modelo.txt (two of them also on
// the chef copy), so a ticket run prints every kind of ticket.
constexpr Product kProducts[] = {
    {"E001", "TEQUEÑOS (6 UND)", 219.00, "COCINA"},
    {"S001", "HERVIDO DE RES", 255.50, "COCINA"},
    {"E005", "CHORIZO CARUPANERO", 182.50, "PARRILLA"},
    {"B001", "AGUA MINERAL", 40.00, "BAR"},
    {"B002", "PEPSI-COLA", 45.00, "BAR"},
};

}  // namespace

void UseTerminalFormats() {
    rt::UseStartUpFormats();
}

order::Line DemoLine(int i, const QString& note) {
    const Product& p = kProducts[i % std::size(kProducts)];
    order::Line line;
    line.codigo = QString::fromUtf8(p.code);
    line.nombre = QString::fromUtf8(p.name);
    line.cantidad = 1;
    line.precio = p.price;
    line.subtotal = p.price;
    line.iva = 16;
    line.costo = 40;
    line.codVendedor = QStringLiteral("001");
    line.deposito = QStringLiteral("01");
    line.observacion = note;
    line.imprimir = QString::fromUtf8(p.group);
    return line;
}

order::Order DemoOrder(const QString& mesa, int lines, const QString& notePrefix) {
    order::Order p{mesa, QString::fromUtf8("María Fernández"), QStringLiteral("001"), {}};
    for (int i = 0; i < lines; ++i) {
        const QString note = notePrefix.isEmpty() ? QString() : notePrefix + QStringLiteral("-l%1").arg(i);
        p.lineas.push_back(DemoLine(i, note));
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
        order_screen::AppendLine(*s->Grid1, *s->Grid2, s->Pedido, DemoLine(i), s->Num_Contornos);
}

}  // namespace bench
