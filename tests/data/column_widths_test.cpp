// How much text the installation's columns hold: cutting a value to its
// column, the typing limits of the screen's boxes, and the widths as the
// server reports them for our tables and for an installation's own.
#include <gtest/gtest.h>

#include "data/column_widths.h"
#include "data/mariadb_connection.h"
#include "support/installations.h"

namespace {

using data::ColumnWidth;
using data::ColumnWidths;

TEST(ColumnWidthsFit, CutsToCharactersOrToBytesOfTheColumnsCharacterSet) {
    ColumnWidths w;
    w.Set("comanda", "mesa", {4, 0, "utf8mb4"});
    w.Set("comanda", "observacion", {0, 6, "utf8mb4"});  // a TINYTEXT of six bytes
    w.Set("Comanda", "termino", {0, 6, "latin1"});
    w.Set("comanda", "contorno1", {3, 0, "utf8mb4"});
    const QString emoji = QString::fromUtf8("😀");  // one character, two UTF-16 units, four bytes
    const struct {
        const char *column, *text, *fitted;
    } cases[] = {
        {"mesa", "12", "12"},                    // fits
        {"mesa", "1234", "1234"},                // exactly
        {"mesa", "12345", "1234"},               // one too many
        {"MESA", "ñandú", "ñand"},               // characters, not bytes; any letter case
        {"observacion", "abcdef", "abcdef"},     // six bytes
        {"observacion", "ñññ", "ñññ"},           // three two-byte letters
        {"observacion", "aññxy", "aññx"},        // the y would be the seventh byte
        {"observacion", "abcdeñ", "abcde"},      // a letter is never split
        {"termino", "ñññññññ", "ññññññ"},        // latin1: a byte per letter
        {"no_such_column", "anything at all", "anything at all"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.column);
        EXPECT_EQ(w.Fit("comanda", c.column, QString::fromUtf8(c.text)), QString::fromUtf8(c.fitted));
    }
    EXPECT_EQ(w.Fit("comanda", "contorno1", "a" + emoji + "bc"), "a" + emoji + "b");
    EXPECT_EQ(w.Fit("comanda", "observacion", "ab" + emoji + "c"), "ab" + emoji);
    EXPECT_EQ(w.Fit("comanda", "observacion", "abc" + emoji), "abc");  // no half a pair
}

TEST(ColumnWidthsFit, TheTypingLimitIsTheNarrowestColumnCountingBytesByTheWidestLetter) {
    ColumnWidths w;
    w.Set("D_Fact_r", "observacion", {80, 0, "utf8mb4"});
    w.Set("comanda", "observacion", {0, 255, "latin1"});
    EXPECT_EQ(data::ChefNoteLimit(w), 80);
    w.Set("comanda", "observacion", {0, 255, "utf8mb4"});  // TINYTEXT: 63 letters of four bytes
    EXPECT_EQ(data::ChefNoteLimit(w), 63);
    w.Set("comanda", "observacion", {0, 255, "utf8mb3"});
    EXPECT_EQ(data::ChefNoteLimit(w), 80);
    EXPECT_EQ(data::CookingPointLimit(w), 0);  // nothing known: no limit
    EXPECT_EQ(data::CookingPointLimit(ColumnWidths()), 0);
}

class LearntWidths : public testsupport::OnInstallation<::testing::Test> {
protected:
    static void SetUpTestSuite() { testsupport::ResetDatabase(); }
};
INSTANTIATE_TEST_SUITE_P(Installations, LearntWidths, testsupport::OursAndTheirs(),
                         testsupport::InstallationParamName());

TEST_P(LearntWidths, AreReadFromTheServerForTheTablesOrdersAreWrittenTo) {
    const bool ours = GetParam() == testsupport::Installation::Ours;
    data::MariaDbConnection c;
    c.Open(testsupport::TestConnectionString());
    const ColumnWidths w = data::LearnColumnWidths(c);
    // Ours: VARCHAR(20) table numbers, VARCHAR(500) notes, 60 for a waiter.
    // Theirs: a table number of six in Factura_r, fifteen for the customer,
    // an 80-character note beside a latin1 TINYTEXT, a TIME column that holds
    // no text limit, a 20-character waiter name.
    EXPECT_EQ(data::TableNumberLimit(w), ours ? 20 : 6);
    EXPECT_EQ(data::ChefNoteLimit(w), ours ? 500 : 80);
    EXPECT_EQ(data::CookingPointLimit(w), ours ? 100 : 15);
    EXPECT_EQ(data::WaiterNameLimit(w), ours ? 60 : 20);
    EXPECT_EQ(w.TypingLimit({{"envios", "mesa"}}), ours ? 20 : 0);  // the send record too
    EXPECT_EQ(w.TypingLimit({{"comanda", "hora"}}), ours ? 10 : 0);
    EXPECT_EQ(w.TypingLimit({{"productos", "nom_producto"}}), 0);  // not written: not learnt
    EXPECT_EQ(w.Fit("comanda", "nom_producto", QString(101, 'x')).size(), ours ? 100 : 20);
}

}  // namespace
