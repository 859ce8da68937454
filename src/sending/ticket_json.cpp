#include "sending/ticket_json.h"

#include <QJsonArray>

#include "sending/value_names.h"

namespace sending {
namespace {

QString Text(const QJsonObject& o, const char* key) { return o.value(QLatin1String(key)).toString(); }

bool Texts(const QJsonObject& o, std::initializer_list<const char*> keys) {
    for (const char* key : keys)
        if (!o.value(QLatin1String(key)).isString()) return false;
    return true;
}

QJsonObject LineToJson(const TicketLine& l) {
    return {{"cantidad", l.cantidad},
            {"nombre", l.nombre},
            {"contornos", QJsonArray::fromStringList(l.contornos)},
            {"termino", l.termino},
            {"observacion", l.observacion}};
}

std::optional<TicketLine> LineFromJson(const QJsonValue& v) {
    const QJsonObject o = v.toObject();
    if (!v.isObject() || !o.value(QLatin1String("cantidad")).isDouble() ||
        !Texts(o, {"nombre", "termino", "observacion"}))
        return std::nullopt;
    std::optional<QStringList> contornos = TextsFromJson(o.value(QLatin1String("contornos")));
    if (!contornos) return std::nullopt;
    return TicketLine{o.value(QLatin1String("cantidad")).toDouble(), Text(o, "nombre"), std::move(*contornos),
                      Text(o, "termino"), Text(o, "observacion")};
}

std::optional<TicketSection> SectionFromJson(const QJsonValue& v) {
    const QJsonObject o = v.toObject();
    if (!v.isObject() || !Texts(o, {"grupo"}) || !o.value(QLatin1String("lineas")).isArray()) return std::nullopt;
    TicketSection s{Text(o, "grupo"), {}};
    for (const QJsonValue& l : o.value(QLatin1String("lineas")).toArray()) {
        std::optional<TicketLine> linea = LineFromJson(l);
        if (!linea) return std::nullopt;
        s.lineas.push_back(std::move(*linea));
    }
    return s;
}

const ValueNames<PrintOp::Kind>& OpNames() {
    static const ValueNames<PrintOp::Kind> names = {
        {PrintOp::Kind::ScaleMillimetres, QStringLiteral("mm")}, {PrintOp::Kind::FontName, QStringLiteral("fuente")},
        {PrintOp::Kind::FontSize, QStringLiteral("tamaño")},     {PrintOp::Kind::CurrentX, QStringLiteral("x")},
        {PrintOp::Kind::PrintLine, QStringLiteral("línea")},     {PrintOp::Kind::EndDoc, QStringLiteral("fin")}};
    return names;
}

}  // namespace

std::optional<QStringList> TextsFromJson(const QJsonValue& v) {
    if (!v.isArray()) return std::nullopt;
    QStringList out;
    for (const QJsonValue& t : v.toArray()) {
        if (!t.isString()) return std::nullopt;
        out << t.toString();
    }
    return out;
}

QJsonArray OpsToJson(const std::vector<PrintOp>& ops) {
    QJsonArray out;
    for (const PrintOp& op : ops)
        out.append(QJsonObject{{"k", NameOf(OpNames(), op.kind)}, {"t", op.text}, {"s", op.size}});
    return out;
}

std::optional<std::vector<PrintOp>> OpsFromJson(const QJsonValue& v) {
    if (!v.isArray()) return std::nullopt;
    std::vector<PrintOp> ops;
    for (const QJsonValue& opv : v.toArray()) {
        const QJsonObject op = opv.toObject();
        const std::optional<PrintOp::Kind> kind = ValueOf(OpNames(), Text(op, "k"));
        if (!kind || !op.value(QLatin1String("t")).isString()) return std::nullopt;
        ops.push_back({*kind, Text(op, "t"), op.value(QLatin1String("s")).toInt()});
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
    const auto fail = [error](const char* why) {
        if (error) *error = QString::fromUtf8(why);
        return std::optional<Ticket>();
    };
    const QJsonObject o = v.toObject();
    if (!v.isObject() || !Texts(o, {"tipo", "titulo", "empresa", "mesa", "mesonero", "numero", "fecha", "hora"}))
        return fail("comanda incompleta");
    const std::optional<TicketKind> kind = TicketKindFromName(Text(o, "tipo"));
    if (!kind) return fail("tipo de comanda desconocido");
    Ticket t{*kind,
             Text(o, "titulo"),
             Text(o, "empresa"),
             Text(o, "mesa"),
             Text(o, "mesonero"),
             Text(o, "numero"),
             QDate::fromString(Text(o, "fecha"), Qt::ISODate),
             QTime::fromString(Text(o, "hora"), Qt::ISODateWithMs),
             {},
             {}};
    if (o.contains(QLatin1String("papel"))) {
        std::optional<std::vector<PrintOp>> papel = OpsFromJson(o.value(QLatin1String("papel")));
        if (!papel || papel->empty()) return fail("comanda de un programa anterior ilegible");
        t.papelAnterior = std::move(*papel);
    }
    // An empty date or time is one that was not read: it prints empty.
    if ((!Text(o, "fecha").isEmpty() && !t.fecha.isValid()) || (!Text(o, "hora").isEmpty() && !t.hora.isValid()))
        return fail("fecha u hora de la comanda ilegible");
    if (!o.value(QLatin1String("secciones")).isArray()) return fail("comanda sin líneas");
    for (const QJsonValue& s : o.value(QLatin1String("secciones")).toArray()) {
        std::optional<TicketSection> seccion = SectionFromJson(s);
        if (!seccion) return fail("línea de comanda ilegible");
        t.secciones.push_back(std::move(*seccion));
    }
    return t;
}

}  // namespace sending
