// Item entry on the order screen: the product lookup with its quantity
// prompt, and the building of the order line (note to the chef, cost, price,
// tax) into the grid.
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include "data/sql_text.h"
#include "order/pricing.h"
#include "order/screen_statements.h"
#include "order_screen/grid.h"
#include "order_screen/order_lines.h"
#include "order_screen/pedido_r.h"
#include "data/module1.h"
#include "runtime/dialogs.h"

namespace order_screen {
namespace {

const QString kPreguntaNota = QStringLiteral("¿ Desea Colocar una Observación al Chef. ?");
const QString kTituloNota = QStringLiteral(" Sistema Vandrel For Windows. ");
const QString kPromptNota = QStringLiteral("Escriba una Observación para el Chef.: ");
const QString kTituloPedidos = QStringLiteral("Pedidos");
const QString kPromptCantidad = QStringLiteral("Cantidad del Plato o Bebidas...");
const QString kCantidadFuera = QStringLiteral("La Cantidad es hasta 10 Platos o Bebidas");
const QString kNoEsNumero = QStringLiteral("Solamente Numeros Enteros...");
const QString kSinPrecio = QStringLiteral("Error No hay Existencia o Producto sin Precio de Venta...");

order::PricingInput PricingFrom(const data::ResultSet& product, const data::ResultSet& cost,
                                double cantidadSel) {
    using namespace Module1;
    const auto field = [&product](const char* name) { return product.Field(QString::fromLatin1(name)); };
    order::PricingInput in;
    in.prices = {field("dolar"), field("precio_a"), field("precio_b"), field("precio_c"), field("P_Dollar")};
    in.flags = {field("Impuesto1"), field("Impuesto2"), field("Impuesto3")};
    in.rates = {Iva, Iva_Reducido, Iva_Lujo};
    in.precioV = Precio_V;
    in.dollar = Dollar;
    in.hasCostRow = cost.RecordCount() > 0;
    if (in.hasCostRow) in.costo = cost.Field(QStringLiteral("costo"));
    in.cantidadSel = cantidadSel;
    return in;
}

}  // namespace

void Pedido_R::buscar_arti1() {
    using namespace Module1;
    if (Producto_Sel.isEmpty()) return;
    if (!SettlePendingSend(Accion::NuevaLinea)) return;
    // The cost row is asked with the product: the product's own code is
    // almost always the code touched, and then its answer is there when the
    // line is priced (a code stored otherwise is simply asked again).
    const QString productSql = order::ProductSql(Producto_Sel, data::Escaped);
    const Leer_Adelantado adelantado({productSql, order::CostSql(Producto_Sel, data::Escaped)});
    Cadena_Sql = productSql;
    Abrir_Tabla(Rs_Producto, Cadena_Sql);
    if (Rs_Producto->RecordCount() == 0) return;
    // Products sold by weight are weighed at the counter, not ordered here.
    if (Rs_Producto->Field(QStringLiteral("Peso")).EqualsTrue()) return;
    if (Rs_Producto->Field(QStringLiteral("contorno")).IsNonZero()) {
        OpenSideDishPanel();
        return;
    }
    if (Rs_Producto->Field(QStringLiteral("termino")).IsNonZero()) {
        OpenCookingPointPanel(3600);
        return;
    }
    // The prompt has no way out but a valid quantity.
    for (;;) {
        const order::QuantityAnswer answer = order::CheckQuantity(dialogs::Current().Input(
            kPromptCantidad, dialogs::kApplicationTitle, QString(), 0, dialogs::Keys::Numbers));
        if (answer.check == order::QuantityCheck::Accepted) {
            Cantidad_Sel = answer.value;
            break;
        }
        Mensaje = answer.check == order::QuantityCheck::OutOfRange ? kCantidadFuera : kNoEsNumero;
        Mostrar_Mensaje();
    }
    verificar();
}

void Pedido_R::verificar() {
    using namespace Module1;
    // 1. The note, asked before the price is looked at.
    Mensaje = kPreguntaNota;
    QString note;
    if (dialogs::Current().YesNo(Mensaje, kTituloNota, dialogs::Icon::Question)) {
        const int limit = data::ChefNoteLimit(Anchos);
        note = order::ChefNote(dialogs::Current().Input(kPromptNota, kTituloPedidos, QString(), limit,
                                                        dialogs::Keys::Letters),
                               limit);
    }

    // 2. The cost row.
    const data::ResultSet& product = *Rs_Producto;
    const rt::Variant code = product.Field(QStringLiteral("Cod_producto"));
    Cadena_Sql = order::CostSql(code.ToTextOrEmpty(), data::Escaped);
    Abrir_Tabla(Rs_Costo, Cadena_Sql);

    // 3-6. Price, quantity, tax.
    const std::optional<order::LineNumbers> numbers = order::PriceLine(PricingFrom(product, *Rs_Costo, Cantidad_Sel));
    const rt::Variant name = product.Field(QStringLiteral("nom_producto"));
    if (!numbers || name.IsNull()) {
        Mensaje = kSinPrecio;
        Mostrar_Mensaje();
        ResetEntry();
        return;
    }

    // 7. The line.
    order::Line line;
    line.codigo = code.ToTextOrEmpty();
    line.nombre = name.ToText();
    line.cantidad = numbers->cantidad;
    line.costo = numbers->costo;
    line.precio = numbers->precio;
    line.subtotal = numbers->subtotal;
    line.iva = numbers->iva;
    line.termino = Combo3->currentText();
    line.codVendedor = cod_V->text();
    line.deposito = Area_Actual;
    line.observacion = note;
    line.imprimir = product.Field(QStringLiteral("cocina")).ToTextOrEmpty();
    AppendLine(*Grid1, *Grid2, Pedido, std::move(line), Num_Contornos);
    ShowCount();
    ResetEntry();
}

void Pedido_R::ResetEntry() {
    EmptySideDishes(*Grid2, Num_Contornos);
    Combo3->setEditText(QString());
    Cantidad_Sel = 1;
}

}  // namespace order_screen
