#include "sending/ticket_json.h"

#include <QJsonArray>

namespace sending {
namespace {

QString Text(const QJsonObject& o, const char* key) { return o.value(QLatin1String(key)).toString(); }

bool Texts(const QJsonObject& o, std::initializer_list<const char*> keys) {
    for (const char* key : keys)
        if (!o.value(QLatin1String(key)).isString()) return false;
    return true;
}

std::optional<QStringList> TextList(const QJsonValue& v) {
    if (!v.isArray()) return std::nullopt;
    QStringList out;
    for (const QJsonValue& t : v.toArray()) {
        if (!t.isString()) return std::nullopt;
        out << t.toString();
    }
    return out;
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
    std::optional<QStringList> contornos = TextList(o.value(QLatin1String("contornos")));
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

}  // namespace

QJsonObject TicketToJson(const Ticket& t) {
    QJsonArray secciones;
    for (const TicketSection& s : t.secciones) {
        QJsonArray lineas;
        for (const TicketLine& l : s.lineas) lineas.append(LineToJson(l));
        secciones.append(QJsonObject{{"grupo", s.grupo}, {"lineas", lineas}});
    }
    return {{"tipo", TicketKindName(t.kind)},
            {"titulo", t.title},
            {"empresa", t.empresa},
            {"mesa", t.mesa},
            {"mesonero", t.mesonero},
            {"numero", t.numero},
            {"fecha", t.fecha.toString(Qt::ISODate)},
            {"hora", t.hora.toString(Qt::ISODateWithMs)},
            {"secciones", secciones}};
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
             {}};
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
