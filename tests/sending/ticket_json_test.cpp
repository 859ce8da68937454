// A ticket as the journal and the tickets file keep it: its identity's text
// form, and what is refused when read back.
#include "sending/ticket_json.h"

#include <gtest/gtest.h>

#include <QJsonDocument>

#include "sending/print_test_helpers.h"

namespace {

using sending::TicketId;
using sending::TicketKind;

TEST(TicketJson, AnIdentityReadsBackFromItsTextAndAnythingElseIsRefused) {
    for (const TicketId& id : {TicketId{TicketKind::Full, "ASISTENTE", 1}, TicketId{TicketKind::Chef, "CHEF", 1},
                               TicketId{TicketKind::Group, "COCINA: 2do piso", 2}, TicketId{TicketKind::Group, "", 1}})
        EXPECT_EQ(TicketId::FromText(id.Text()), std::optional<TicketId>(id)) << id.Text().toStdString();
    for (const char* text : {"", "COCINA", "grupo:COCINA", "mesa:COCINA:1", "grupo:COCINA:0", "grupo:COCINA:-1",
                             "grupo:COCINA:1x", "grupo:COCINA:+1"})
        EXPECT_FALSE(TicketId::FromText(text).has_value()) << text;
}

TEST(TicketJson, AnythingButAWholeTicketIsRefusedWithAReason) {
    sending::Ticket t = sendingtest::SampleTicket("COCINA", {"PASTICHO"});
    t.secciones[0].lineas[0].contornos = {"PAPAS", "", "ARROZ"};
    t.secciones[0].lineas[0].observacion = "SIN SAL";
    const QByteArray whole = QJsonDocument(sending::TicketToJson(t)).toJson(QJsonDocument::Compact);
    const struct {
        const char* name;
        QByteArray from;
        QByteArray to;
        const char* reason;  // the field named
    } cases[] = {
        {"an unknown kind", "\"tipo\":\"grupo\"", "\"tipo\":\"mesa\"", "comanda.tipo no es"},
        {"no title", "\"titulo\"", "\"otro\"", "comanda.titulo falta"},
        {"a date that is no date", "\"fecha\":\"2026-12-08\"", "\"fecha\":\"ayer\"", "comanda.fecha no es"},
        {"a time that is no time", "\"hora\":\"12:00:00.000\"", "\"hora\":\"mediodia\"", "comanda.hora no es"},
        {"no sections", "\"secciones\"", "\"otras\"", "comanda.secciones falta"},
        {"a quantity that is text", "\"cantidad\":1", "\"cantidad\":\"1\"",
         "comanda.secciones[0].lineas[0].cantidad no es un número"},
        {"a side dish that is no text", "\"PAPAS\"", "7", "comanda.secciones[0].lineas[0].contornos[0] no es"},
        {"a note that is no text", "\"SIN SAL\"", "null", "comanda.secciones[0].lineas[0].observacion no es"},
        {"a title that is a number", "\"titulo\":\"COCINA\"", "\"titulo\":5", "comanda.titulo no es un texto"},
    };
    QString error;
    ASSERT_EQ(sending::TicketFromJson(QJsonDocument::fromJson(whole).object(), &error), std::optional(t));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(whole.contains(c.from)) << whole.toStdString();
        const QJsonDocument doc = QJsonDocument::fromJson(QByteArray(whole).replace(c.from, c.to));
        error.clear();
        EXPECT_FALSE(sending::TicketFromJson(doc.object(), &error).has_value());
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.reason))) << error.toStdString();
    }
    EXPECT_FALSE(sending::TicketFromJson(QJsonValue(3), &error).has_value());
}

}  // namespace
