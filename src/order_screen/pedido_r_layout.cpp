// The controls of the order screen, at their design places (twips), with
// their fonts, colours and captions.
#include <QComboBox>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "order_screen/grid.h"
#include "order_screen/pedido_r.h"
#include "widgets/look.h"
#include "widgets/menu_button.h"
#include "widgets/ole_color.h"
#include "widgets/plain_text.h"
#include "widgets/touch.h"
#include "widgets/twips.h"

namespace order_screen {
namespace {

using widgets::PlaceOnPanel;
using widgets::SansSerif;
using widgets::TwipsAcross;
using widgets::TwipsDown;

const QColor kLightCyan(192, 255, 255);
const QColor kLightGreen(192, 255, 192);
const QColor kLightGrey(192, 192, 192);

// The drawing holds every control: the grid reaches 20175 twips across and
// the button bar 9615 down.
constexpr int kDrawingWidth = 20400;
constexpr int kDrawingHeight = 9840;

QGroupBox* NewFrame(QWidget* parent, const char* name, const QString& caption, const QFont& font,
                    int left, int top, int width, int height) {
    auto* frame = new QGroupBox(caption, parent);
    frame->setObjectName(QString::fromLatin1(name));
    frame->setFont(font);
    PlaceOnPanel(frame, left, top, width, height);
    return frame;
}

QLabel* NewLabel(QWidget* parent, const QString& name, const QString& caption, const QFont& font,
                 int left, int top, int width, int height) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name);
    // The bar's labels show the area's and the waiter's names as typed.
    widgets::MakePlain(label);
    label->setFont(font);
    PlaceOnPanel(label, left, top, width, height);
    if (!caption.isEmpty()) widgets::FitCaption(label, caption);
    return label;
}

template <typename Button = QPushButton>
QPushButton* NewButton(QWidget* parent, const QString& name, const QString& caption,
                       const QFont& font, int left, int top, int width, int height) {
    auto* button = new Button(caption, parent);
    button->setObjectName(name);
    button->setFont(font);
    button->setFocusPolicy(Qt::TabFocus);
    PlaceOnPanel(button, left, top, width, height);
    widgets::KeepTouchable(button);
    return button;
}

// An editable drop-down list; its height is the one its font needs, and
// never less than a finger's, and its list is made for a finger. A list that
// is only picked from (`pickOnly`) opens at any press on its field.
QComboBox* NewCombo(QWidget* parent, const char* name, int left, int top, int width, bool pickOnly) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QString::fromLatin1(name));
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setFont(SansSerif(18));
    combo->move(TwipsAcross(left), TwipsDown(top));
    combo->resize(TwipsAcross(left + width) - TwipsAcross(left), combo->sizeHint().height());
    widgets::KeepTouchable(combo);
    widgets::MakeListTouchable(combo, pickOnly);
    return combo;
}

// A label that reads the same while its frame is disabled: the information
// bar is disabled in the first state, and its area name and date must still
// be read at a glance.
void KeepTextWhenDisabled(QLabel* label) {
    QPalette pal = label->palette();
    pal.setColor(QPalette::Disabled, QPalette::WindowText, pal.color(QPalette::Active, QPalette::WindowText));
    label->setPalette(pal);
}

// A panel that opens over the order grid hides it: the grid's lines and
// text do not show through the panel's own.
void KeepOpaque(QWidget* panel) { widgets::SetBackColor(panel, panel->palette().color(QPalette::Window)); }

QString Indexed(const char* name, int index) {
    return QString::fromLatin1(name) + QLatin1Char('_') + QString::number(index);
}

}  // namespace

void Pedido_R::BuildLayout() {
    setFont(SansSerif(8));
    // The controls lie on a drawing stretched to the panel, centred in the
    // window, which takes the whole screen.
    Lienzo = new QWidget(this);
    Lienzo->setObjectName(QStringLiteral("Lienzo"));
    Lienzo->resize(TwipsAcross(kDrawingWidth), TwipsDown(kDrawingHeight));
    setMinimumSize(Lienzo->size());
    resize(Lienzo->size());
    BuildInformationBar();
    BuildMenuPanel();

    Grid1 = new Grid(Lienzo);
    Grid1->setObjectName(QStringLiteral("Grid1"));
    PlaceOnPanel(Grid1, 6120, 2040, 14055, 6255);
    Grid1->SetColors(Qt::white, QColor(255, 255, 192), Qt::black, QColor(224, 224, 224));

    BuildButtonBar();
    BuildWaiterPanel();
    BuildSideDishPanels();
}

void Pedido_R::BuildInformationBar() {
    Frame1 = NewFrame(Lienzo, "Frame1", QStringLiteral("Información"), SansSerif(18, true, true), 240,
                      120, 18135, 1695);
    const struct {
        int index;
        const char* caption;
        int left, width;
    } heads[] = {{0, "Mesero(a):", 120, 4935},  {2, "MESA #:", 5160, 1935},
                 {3, "AREA:", 7320, 3255},      {6, "Fecha:", 10680, 3255},
                 {4, "CANTIDAD ITEM:", 14400, 3255}};
    for (const auto& h : heads) {
        QLabel* label = NewLabel(Frame1, Indexed("lblLabels", h.index), QString::fromUtf8(h.caption),
                                 SansSerif(18, true), h.left, 600, h.width, 555);
        widgets::SetBackColor(label, kLightCyan);
        KeepTextWhenDisabled(label);
        lblLabels[h.index] = label;
    }
    const struct {
        int index, left, width;
        bool centred;
    } values[] = {{0, 120, 4935, false},
                  {1, 5160, 1935, true},
                  {2, 7320, 3255, false},
                  {4, 10680, 3255, false},
                  {3, 14400, 3255, true}};
    for (const auto& v : values) {
        QLabel* label =
            NewLabel(Frame1, Indexed("Label1", v.index), QString(), SansSerif(18), v.left, 1080, v.width, 495);
        widgets::SetBackColor(label, Qt::white);
        KeepTextWhenDisabled(label);
        if (v.centred) label->setAlignment(Qt::AlignCenter);
        Label1[v.index] = label;
    }
}

void Pedido_R::BuildMenuPanel() {
    Frame4 = NewFrame(Lienzo, "Frame4", QString(), SansSerif(8), 120, 1920, 5895, 7695);
    static constexpr int kColumnLefts[3] = {120, 1920, 3720};
    static constexpr int kRowTops[5] = {360, 1480, 2600, 3720, 4840};
    for (int page = 0; page < 3; ++page) {
        QGroupBox* frame = NewFrame(Frame4, "", QString(), SansSerif(12, true), 120, 240, 5655, 6015);
        frame->setObjectName(Indexed("NuevoMenu", page));
        widgets::SetBackColor(frame, kLightGrey);
        frame->setVisible(page == 0);
        NuevoMenu[page] = frame;
    }
    for (int i = 0; i < 45; ++i) {
        const int inPage = i % 15;
        QPushButton* button = NewButton<widgets::MenuButton>(NuevoMenu[i / 15], Indexed("bmenu", i), QString(),
                                        SansSerif(8, true), kColumnLefts[inPage % 3],
                                        kRowTops[inPage / 3], 1750, 1100);
        widgets::SetFaceColor(button, widgets::ButtonFaceColor());
        bmenu[i] = button;
    }
    Frame2 = NewFrame(Frame4, "Frame2", QString(), SansSerif(8), 0, 6240, 5775, 1410);
    widgets::SetBackColor(Frame2, kLightGrey);
    RETROCEDER = NewButton(Frame2, QStringLiteral("RETROCEDER"), QString(), SansSerif(8), 120, 285, 1455, 850);
    regre3 = NewButton(Frame2, QStringLiteral("regre3"), QString(), SansSerif(8), 1680, 285, 2190, 850);
    regre3->setVisible(false);
    AVANZAR = NewButton(Frame2, QStringLiteral("AVANZAR"), QString(), SansSerif(8), 3960, 285, 1410, 850);
}

void Pedido_R::BuildButtonBar() {
    Frame5 = NewFrame(Lienzo, "Frame5", QString(), SansSerif(8), 6120, 8400, 12135, 1215);
    const char* captions[3] = {"ENVIAR", "LIMPIAR", "SALIR "};
    for (int i = 0; i < 3; ++i)
        Command2[i] = NewButton(Frame5, Indexed("Command2", i), QString::fromLatin1(captions[i]),
                                SansSerif(12, true), 240 + 3120 * i, 240, 3000, 735);
}

void Pedido_R::BuildWaiterPanel() {
    Frame3 = NewFrame(Lienzo, "Frame3", QStringLiteral("PEDIDOS"), SansSerif(24, true, true), 6240, 2640,
                      6135, 4575);
    lblLabels[11] = NewLabel(Frame3, QStringLiteral("lblLabels_11"), QStringLiteral("Mesero(a):"),
                             SansSerif(18, true), 240, 720, 3735, 555);
    dbCombo2 = NewCombo(Frame3, "dbCombo2", 240, 1200, 3735, true);
    lblLabels[1] = NewLabel(Frame3, QStringLiteral("lblLabels_1"), QStringLiteral("Mesa #:"),
                            SansSerif(18, true), 4080, 720, 1695, 555);
    Combo1 = NewCombo(Frame3, "Combo1", 4080, 1200, 1695, false);
    cod_V = new QLineEdit(Frame3);
    cod_V->setObjectName(QStringLiteral("cod_V"));
    PlaceOnPanel(cod_V, 3000, 360, 1095, 345);
    cod_V->setVisible(false);
    cmdTeclado = NewButton(Frame3, QStringLiteral("cmdTeclado"), QStringLiteral("Teclado"),
                           SansSerif(12, true), 4080, 1920, 1695, 735);
    Command5 = NewButton(Frame3, QStringLiteral("Command5"), QStringLiteral("CONTINUAR"),
                         SansSerif(13.5, true), 1920, 3000, 2295, 975);
    widgets::SetFaceColor(Command5, kLightGreen);
    KeepOpaque(Frame3);
    Frame3->raise();
}

void Pedido_R::BuildSideDishPanels() {
    Frame6 = NewFrame(Lienzo, "Frame6", QStringLiteral("Contornos"), SansSerif(13.5, true), 8640, 3240,
                      5175, 4935);
    lblContornos = NewLabel(Frame6, QStringLiteral("lblContornos"), QStringLiteral("CONTORNOS:"),
                            SansSerif(18, true), 120, 600, 4935, 555);
    Combo2 = NewCombo(Frame6, "Combo2", 120, 1080, 4935, true);
    Grid2 = new Grid(Frame6);
    Grid2->setObjectName(QStringLiteral("Grid2"));
    PlaceOnPanel(Grid2, 120, 1800, 4935, 2055);
    QFont gridFont = Grid2->font();
    gridFont.setBold(true);
    Grid2->setFont(gridFont);
    Command3 = NewButton(Frame6, QStringLiteral("Command3"), QString(), SansSerif(8), 1920, 4080, 1335, 615);
    Frame6->setVisible(false);

    Frame7 = NewFrame(Lienzo, "Frame7", QStringLiteral("Termino"), SansSerif(13.5, true), 9960, 2520,
                      5055, 2535);
    lblTermino = NewLabel(Frame7, QStringLiteral("lblTermino"), QStringLiteral("TERMINO:"),
                          SansSerif(18, true), 120, 480, 4815, 555);
    Combo3 = NewCombo(Frame7, "Combo3", 120, 960, 4815, false);
    Command4 = NewButton(Frame7, QStringLiteral("Command4"), QString(), SansSerif(8), 1920, 1800, 1335, 615);
    Frame7->setVisible(false);
    KeepOpaque(Frame6);
    KeepOpaque(Frame7);
    Frame6->raise();
    Frame7->raise();
}

}  // namespace order_screen
