#pragma once
// The order screen: the one window of the program after start-up. It owns the
// whole order being taken (Pedido, which Grid1 shows), the menu position
// and the screen's result sets. Controls are public and carry their names as
// objectName, so the other subsystems' handlers and the tests can reach them.
#include <QWidget>
#include <array>
#include <memory>

#include "data/result_set.h"
#include "order/order.h"
#include "order/screen_statements.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace widgets {
class cImageButton;
class MenuButton;
}
namespace sending {
class OrderSender;
class SendJournal;
class TicketFollower;
struct JournalEntry;
}

namespace order_screen {

class Grid;

// What the screen reads each time it is cleared: the parameters, then the
// waiters.
using order::kSqlMesoneros;
using order::kSqlParametros;

class Pedido_R : public QWidget {
    Q_OBJECT
public:
    // The screen, created (and loaded) on first use.
    static Pedido_R* Instance();
    static bool Exists();

    // ---- lifecycle
    void Form_Load();
    // Closes the screen's result sets, then the connection.
    void Form_Unload();
    // Clears the order and returns to the waiter/table panel.
    void Limpiar();
    // The parameters of `mantenimiento`, the waiter list and the table list.
    void Buscar_Parametros();
    void Desabilita();
    void Habilita();
    // The order is taken by waiter `mesonero` (code `codVendedor`) for table
    // `mesa`: the order's header and the labels that show it.
    void Atender(const QString& mesonero, const QString& mesa, const QString& codVendedor);
    // Puts the icons on the eight buttons that show one.
    void Imagenes_();
    // Stops a typed waiter name, table number and cooking point at the width
    // of the installation's columns they are stored in.
    void LimitTyping();
    // ENVIAR (0), LIMPIAR (1), SALIR (2).
    void Command2_Click(int index);
    // Every menu button without caption, colour or picture.
    void BlankMenuButtons();
    // Stores the order and prints its tickets.
    void Enviar();
    // What is about to touch the order on the screen.
    enum class Accion { Enviar, NuevaLinea, Borrar, Limpiar, Salir, Inicio };
    // Settles a send whose outcome was lost before `accion` touches an order:
    // one found stored has its tickets printed and, when it is the order on
    // the screen, the screen cleared; one found not stored lets the action go
    // on. True when the action may go on. A send of an earlier run (not on
    // the screen) holds back only ENVIAR.
    bool SettlePendingSend(Accion accion);
    // At load: the send an earlier run left in the journal (a terminal
    // switched off in the middle of ENVIAR) is taken over and, with
    // `settleNow`, settled at once and the waiter told.
    void RecoverJournal(bool settleNow = true);
    // Offers again the tickets the printer did not print, one send at a
    // time, as soon as the waiter is not in the middle of a box or a send.
    void OfferReprints();
    // How long a printing failure waits for the follower's next look at the
    // printer before it is asked about, so that its printer's other tickets
    // join the same question.
    static constexpr int kJuntarMs = 700;

    // ---- item entry
    // Looks up Producto_Sel and goes on to the panels or the quantity.
    void buscar_arti1();
    // Turns the product just chosen into an order line, or refuses it.
    void verificar();

    // ---- side-dish and cooking-point panels
    void Buscar_C();   // side dishes from Contorno.txt
    void Buscar_T();   // cooking points from Termino.txt
    void Buscar_C1();  // side dishes from the contornos table
    void Combo2_Click();
    void Command3_Click();
    void Command4_Click();
    void OpenSideDishPanel();
    void OpenCookingPointPanel(int topTwips);

    // ---- waiter and table
    void dbCombo2_Click();
    void Command5_Click();

    // ---- the menu buttons
    void Menu_Principal();
    void tit_menu(const QString& titulo);
    void bmenu_Click(int index);
    void Buscar_Menu_Venta();
    void AVANZAR_Click();
    void RETROCEDER_Click();
    void regre3_Click();

    // ---- the order grid
    void Grid1_Click();
    void Grid1_KeyDown(int keyCode, int shift);
    void Grid2_Click();
    void Grid2_KeyDown(int keyCode, int shift);
    void Borrar();
    void Borrar_G2();
    // A long press on a line or a side dish offers to remove it, by the rules
    // of the Delete key.
    void Grid1_LongPress(int row);
    void Grid2_LongPress(int row);
    // "Teclado" beside the table list: the table number typed on a keypad.
    void cmdTeclado_Click();
    // Shows the screen on the whole panel: full screen where no window
    // manager runs (sized from the screen itself, as a bare X server honours
    // no such request), maximised where one does.
    void ShowOnPanel();

    // ---- controls (objectName = the name below, arrays as Name_index)
    QGroupBox* Frame1 = nullptr;  // information bar
    QGroupBox* Frame2 = nullptr;  // paging buttons
    QGroupBox* Frame3 = nullptr;  // waiter and table panel
    QGroupBox* Frame4 = nullptr;  // menu panel
    QGroupBox* Frame5 = nullptr;  // ENVIAR / LIMPIAR / SALIR
    QGroupBox* Frame6 = nullptr;  // side dishes
    QGroupBox* Frame7 = nullptr;  // cooking point
    std::array<QLabel*, 12> lblLabels{};  // only 0, 1, 2, 3, 4, 6 and 11 exist
    std::array<QLabel*, 5> Label1{};
    std::array<QGroupBox*, 3> NuevoMenu{};
    std::array<QPushButton*, 45> bmenu{};  // widgets::MenuButton each
    QPushButton* RETROCEDER = nullptr;
    QPushButton* regre3 = nullptr;
    QPushButton* AVANZAR = nullptr;
    Grid* Grid1 = nullptr;
    Grid* Grid2 = nullptr;
    std::array<QPushButton*, 3> Command2{};
    QComboBox* dbCombo2 = nullptr;
    QComboBox* Combo1 = nullptr;
    QLineEdit* cod_V = nullptr;
    QPushButton* cmdTeclado = nullptr;  // keypad for the table number
    QPushButton* Command5 = nullptr;
    QLabel* lblContornos = nullptr;  // "CONTORNOS:" in Frame6
    QComboBox* Combo2 = nullptr;
    QPushButton* Command3 = nullptr;
    QLabel* lblTermino = nullptr;  // "TERMINO:" in Frame7
    QComboBox* Combo3 = nullptr;
    QPushButton* Command4 = nullptr;
    // The design's drawing, at the layout factor, centred in the window:
    // every control above lies on it.
    QWidget* Lienzo = nullptr;

    // ---- state of the order being taken
    // The order: its waiter and table, and the lines Grid1 shows.
    order::Order Pedido;
    // The order's lines, as "CANTIDAD ITEM:" shows them.
    qint16 Num_Items() const { return static_cast<qint16>(Pedido.lineas.size()); }
    qint16 Num_Contornos = 0;
    int Fila_Sel = 0;
    QString Area_Actual;
    double Cantidad_Sel = 0;
    std::unique_ptr<data::ResultSet> Rs_General;
    std::unique_ptr<data::ResultSet> Rs_Producto;
    std::unique_ptr<data::ResultSet> Rs_Costo;
    std::unique_ptr<data::ResultSet> Rs_Botones;
    std::array<std::unique_ptr<widgets::cImageButton>, 8> Botones_Imagen;
    // The send in flight, on the terminal's own disk, and what settles it.
    std::unique_ptr<sending::SendJournal> Diario;
    std::unique_ptr<sending::OrderSender> Envios;
    // The tickets handed to the printer and not yet known to be on paper.
    std::unique_ptr<sending::TicketFollower> Seguidor;
    // Menu position.
    QString Menu_Actual;
    QString Submenu_Actual;
    QString Titulo_Boton;
    QString Indice_Boton;
    int Pagina_Menu = 0;

    ~Pedido_R() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    Pedido_R();
    void BuildLayout();
    void BuildInformationBar();
    void BuildMenuPanel();
    void BuildButtonBar();
    void BuildWaiterPanel();
    void BuildSideDishPanels();
    void ConnectHandlers();
    void ConnectTouchHandlers();
    // Asks whether `what` leaves the order.
    bool AskToRemove(const QString& what);
    void ShowCount();
    // Draws the rows of Rs_Botones as a menu or submenu level.
    void DrawLevel();
    // Gives each page's captions the largest size at which the longest of
    // them still shows whole on its button.
    void FitMenuCaptions();
    // Puts the picture of a row on a menu button; false when it cannot be loaded.
    bool LoadPicture(int index, const QString& path);
    // Shows one tbl_botones row on the button its index names: caption, face
    // colour and picture. The main menu shows a picture only when its file
    // exists; a level tries every named picture.
    void ShowButtonRow(const data::ResultSet& row, bool onlyExistingPicture);
    // After a line, added or refused: no side dishes, no cooking point, quantity 1.
    void ResetEntry();
    // The terminal's area: its name on the information bar, or area "0".
    void LoadArea();
    // Buscar_Parametros' steps: what the server holds, and the table list.
    void LoadParametersAndWaiters();
    void FillTableList();
    // Prints a stored send's tickets, closes its journal entry and, when it
    // is the order on the screen, blanks the menu and clears the screen.
    void FinishStoredSend(const sending::JournalEntry& entry, bool enPantalla);
    // OfferReprints is asking: a failure meanwhile joins its questions.
    bool ofreciendo_ = false;
    static constexpr int kReofrecerMs = 300;
};

}  // namespace order_screen
