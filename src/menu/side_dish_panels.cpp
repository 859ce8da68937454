// The side-dish and cooking-point panels of the order screen: their lists
// (from the shared data folder, or the contornos table), the choosing, and
// their closing buttons, which hand over to line building.
#include <QComboBox>
#include <QGroupBox>

#include "order/list_file.h"
#include "order/screen_statements.h"
#include "order_screen/grid.h"
#include "order_screen/order_lines.h"
#include "order_screen/pedido_r.h"
#include "runtime/resume_next.h"
#include "runtime/configuration.h"
#include "data/module1.h"
#include "widgets/combo_list.h"
#include "widgets/twips.h"

namespace order_screen {
namespace {

// Replaces the list of `combo` with the entries of a list file of the data folder.
void LoadList(QComboBox* combo, const char* fileName) {
    const QStringList entries =
        order::ReadListFile(rt::PathIn(Module1::Carpeta_Datos, QString::fromLatin1(fileName)));
    widgets::ClearList(combo);
    for (const QString& entry : entries) widgets::AddListItem(combo, entry);
    widgets::FitListEntries(combo);
}

void ShowAtTop(QWidget* frame, int topTwips) {
    frame->move(frame->x(), widgets::TwipsDown(topTwips));
    frame->setVisible(true);
    frame->raise();
}

}  // namespace

void Pedido_R::OpenSideDishPanel() {
    Desabilita();
    ShowAtTop(Frame6, 2760);
    Buscar_C();
    Combo2->setFocus();
}

void Pedido_R::OpenCookingPointPanel(int topTwips) {
    Desabilita();
    ShowAtTop(Frame7, topTwips);
    Combo3->setFocus();
    Buscar_T();
}

void Pedido_R::Buscar_C() {
    rt::ResumeNext("Buscar_C: side-dish grid", [this] { ResetSideDishGrid(*Grid2, Num_Contornos); });
    rt::ResumeNext("Buscar_C: Contorno.txt", [this] { LoadList(Combo2, "Contorno.txt"); });
}

void Pedido_R::Buscar_T() {
    rt::ResumeNext("Buscar_T: Termino.txt", [this] { LoadList(Combo3, "Termino.txt"); });
}

void Pedido_R::Buscar_C1() {
    using namespace Module1;
    Cadena_Sql = order::kSqlContornos;
    Abrir_Tabla(Rs_General, Cadena_Sql);
    widgets::ClearList(Combo2);
    for (Rs_General->MoveFirst(); !Rs_General->IsEof(); Rs_General->MoveNext())
        widgets::AddListItem(Combo2, Rs_General->Field(QStringLiteral("nombre")).ToText());
    widgets::FitListEntries(Combo2);
    ResetSideDishGrid(*Grid2, Num_Contornos);
}

void Pedido_R::Combo2_Click() { AppendSideDish(*Grid2, Num_Contornos, Combo2->currentText()); }

void Pedido_R::Command3_Click() {
    Frame6->setVisible(false);
    if (Rs_Producto->Field(QStringLiteral("termino")).IsNonZero()) {
        // Straight on to the cooking point, a little higher than when opened alone.
        Desabilita();
        ShowAtTop(Frame7, 3480);
        Buscar_T();
        return;
    }
    verificar();
    Habilita();
}

void Pedido_R::Command4_Click() {
    Frame7->setVisible(false);
    verificar();
    Habilita();
}

}  // namespace order_screen
