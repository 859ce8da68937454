// The PEDIDOS panel: the waiter picked from the list (his code into cod_V),
// the table, and CONTINUAR, which starts the order on the main menu.
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include "data/sql_text.h"
#include "order/screen_statements.h"
#include "order_screen/pedido_r.h"
#include "data/module1.h"

namespace order_screen {

void Pedido_R::dbCombo2_Click() {
    using namespace Module1;
    const QString name = dbCombo2->currentText();
    if (name.isEmpty()) return;
    Cadena_Sql = order::WaiterSql(name, data::Escaped);
    Abrir_Tabla(Rs_General, Cadena_Sql);
    if (Rs_General->RecordCount() > 0) {
        const QString code = Rs_General->Field(QStringLiteral("cod_vendedor")).ToTextOrEmpty();
        if (!code.isEmpty()) cod_V->setText(code);
        return;
    }
    Codigo_No_Existe();
    dbCombo2->setEditText(QString());
    dbCombo2->setFocus();
}

void Pedido_R::Command5_Click() {
    if (Combo1->currentText().isEmpty() || cod_V->text().isEmpty()) {
        // Not accepted: the waiter is sent to what is missing, nothing else changes.
        (cod_V->text().isEmpty() ? dbCombo2 : Combo1)->setFocus();
        return;
    }
    Habilita();
    Frame3->setVisible(false);
    Atender(dbCombo2->currentText(), Combo1->currentText(), cod_V->text());
    Label1[3]->setText(QStringLiteral("0"));
    Menu_Principal();
}

void Pedido_R::Atender(const QString& mesonero, const QString& mesa, const QString& codVendedor) {
    Pedido.mesonero = mesonero;
    Pedido.mesa = mesa;
    Pedido.codVendedor = codVendedor;
    Label1[0]->setText(mesonero);
    Label1[1]->setText(mesa);
    cod_V->setText(codVendedor);
}

}  // namespace order_screen
