#include "sending/ticket_json.h"

#include <QJsonArray>

#include "sending/json_fields.h"
#include "sending/value_names.h"

namespace sending {
namespace {

// A printer operation's size: a font size in points or a position, never
// anything near this.
constexpr qint64 kOpSizeMax = 1000;

QJsonObject LineToJson(const TicketLine& l) {
    return {{"cantidad", l.cantidad},
            {"nombre", l.nombre},
            {"contornos", QJsonArray::fromStringList(l.contornos)},
            {"termino", l.termino},
            {"observacion", l.observacion}};
}

std::optional<TicketLine> LineFromJson(const QJsonValue& v, const QString& where, QString* error) {
    JsonFields f(v, where, error);
    TicketLine l{f.Number("cantidad"), f.Text("nombre"), f.Texts("contornos"), f.Text("termino"),
                 f.Text("observacion")};
    return f.Ok() ? std::optional(l) : std::nullopt;
}

std::optional<TicketSection> SectionFromJson(const QJsonValue& v, const QString& where, QString* error) {
    JsonFields f(v, where, error);
    TicketSection s{f.Text("grupo"), {}};
    const QJsonArray lineas = f.Array("lineas");
    for (qsizetype i = 0; f.Ok() && i < lineas.size(); ++i) {
        std::optional<TicketLine> linea = LineFromJson(lineas[i], f.Place("lineas", i), error);
        if (!linea) return std::nullopt;
        s.lineas.push_back(std::move(*linea));
    }
    return f.Ok() ? std::optional(s) : std::nullopt;
}

const ValueNames<PrintOp::Kind>& OpNames() {
    static const ValueNames<PrintOp::Kind> names = {
        {PrintOp::Kind::ScaleMillimetres, QStringLiteral("mm")}, {PrintOp::Kind::FontName, QStringLiteral("fuente")},
        {PrintOp::Kind::FontSize, QStringLiteral("tamaño")},     {PrintOp::Kind::CurrentX, QStringLiteral("x")},
        {PrintOp::Kind::PrintLine, QStringLiteral("línea")},     {PrintOp::Kind::EndDoc, QStringLiteral("fin")}};
    return names;
}

std::optional<PrintOp> OpFromJson(const QJsonValue& v, const QString& where, QString* error) {
    JsonFields f(v, where, error);
    const QString name = f.Text("k");
    const std::optional<PrintOp::Kind> kind = ValueOf(OpNames(), name);
    PrintOp op{kind.value_or(PrintOp::Kind::PrintLine), f.Text("t"),
               static_cast<int>(f.Integer("s", 0, kOpSizeMax))};
    if (f.Ok() && !kind) f.Fail(f.Place("k"), QStringLiteral("no es una operación conocida: ") + name);
    return f.Ok() ? std::optional(op) : std::nullopt;
}

// An empty date or time is one that was not read: it prints empty.
template <typename T>
T DateOrTime(JsonFields& f, const char* key, Qt::DateFormat format) {
    const QString text = f.Text(key);
    const T value = T::fromString(text, format);
    if (f.Ok() && !text.isEmpty() && !value.isValid()) f.Fail(f.Place(key), QStringLiteral("no es una fecha u hora"));
    return value;
}

}  // namespace

std::optional<QStringList> TextsFromJson(const QJsonValue& v) { return TextsAt(v, {}, nullptr); }

QJsonArray OpsToJson(const std::vector<PrintOp>& ops) {
    QJsonArray out;
    for (const PrintOp& op : ops)
        out.append(QJsonObject{{"k", NameOf(OpNames(), op.kind)}, {"t", op.text}, {"s", op.size}});
    return out;
}

std::optional<std::vector<PrintOp>> OpsFromJson(const QJsonValue& v, const QString& where, QString* error) {
    if (!v.isArray() || v.toArray().isEmpty()) {
        if (error) *error = where + QStringLiteral(" no es una lista de operaciones");
        return std::nullopt;
    }
    std::vector<PrintOp> ops;
    const QJsonArray list = v.toArray();
    for (qsizetype i = 0; i < list.size(); ++i) {
        const std::optional<PrintOp> op = OpFromJson(list[i], where + u'[' + QString::number(i) + u']', error);
        if (!op) return std::nullopt;
        ops.push_back(*op);
    }
    return ops;
}

QJsonObject TicketToJson(const Ticket& t) {
    QJsonArray secciones;
    for (const TicketSection& s : t.secciones) {
        QJsonArray lineas;
        for (const TicketLine& l : s.lineas) lineas.append(LineToJson(l));
        secciones.append(QJsonObject{{"grupo", s.grupo}, {"lineas", lineas}});
    }
    QJsonObject o{{"tipo", TicketKindName(t.kind)},
                  {"titulo", t.title},
                  {"empresa", t.empresa},
                  {"mesa", t.mesa},
                  {"mesonero", t.mesonero},
                  {"numero", t.numero},
                  {"fecha", t.fecha.toString(Qt::ISODate)},
                  {"hora", t.hora.toString(Qt::ISODateWithMs)},
                  {"secciones", secciones}};
    if (!t.papelAnterior.empty()) o.insert(QStringLiteral("papel"), OpsToJson(t.papelAnterior));
    return o;
}

std::optional<Ticket> TicketFromJson(const QJsonValue& v, QString* error) {
    return TicketFromJson(v, QStringLiteral("comanda"), error);
}

std::optional<Ticket> TicketFromJson(const QJsonValue& v, const QString& where, QString* error) {
    JsonFields f(v, where, error);
    const QString tipo = f.Text("tipo");
    const std::optional<TicketKind> kind = TicketKindFromName(tipo);
    if (f.Ok() && !kind) f.Fail(f.Place("tipo"), QStringLiteral("no es un tipo de comanda conocido: ") + tipo);
    Ticket t;
    t.kind = kind.value_or(TicketKind::Full);
    t.title = f.Text("titulo");
    t.empresa = f.Text("empresa");
    t.mesa = f.Text("mesa");
    t.mesonero = f.Text("mesonero");
    t.numero = f.Text("numero");
    t.fecha = DateOrTime<QDate>(f, "fecha", Qt::ISODate);
    t.hora = DateOrTime<QTime>(f, "hora", Qt::ISODateWithMs);
    const QJsonArray secciones = f.Array("secciones");
    for (qsizetype i = 0; f.Ok() && i < secciones.size(); ++i) {
        std::optional<TicketSection> seccion = SectionFromJson(secciones[i], f.Place("secciones", i), error);
        if (!seccion) return std::nullopt;
        t.secciones.push_back(std::move(*seccion));
    }
    if (f.Ok() && f.Has("papel")) {
        std::optional<std::vector<PrintOp>> papel = OpsFromJson(f.Value("papel"), f.Place("papel"), error);
        if (!papel) return std::nullopt;
        t.papelAnterior = std::move(*papel);
    }
    return f.Ok() ? std::optional(std::move(t)) : std::nullopt;
}

}  // namespace sending
