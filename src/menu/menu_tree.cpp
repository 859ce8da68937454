// The menu buttons of the order screen: the area's main menu, one level per
// click (menu, submenu, product) read from tbl_botones, and the three pages
// of fifteen buttons.
#include <QDebug>
#include <QGroupBox>
#include <QPixmap>
#include <QPushButton>
#include <QSet>

#include "data/sql_text.h"
#include "order/menu_rules.h"
#include "order_screen/pedido_r.h"
#include "runtime/resume_next.h"
#include "data/module1.h"
#include "runtime/dialogs.h"
#include "widgets/c_image_button.h"
#include "widgets/caption_fit.h"
#include "widgets/look.h"
#include "widgets/menu_button.h"
#include "widgets/ole_color.h"
#include "widgets/plain_text.h"
#include "widgets/screen_scale.h"

namespace order_screen {
namespace {

constexpr int kPages = 3;
constexpr int kButtonsPerPage = 15;
// The menu buttons' face: bold, in design points (its size is fitted).
constexpr double kMenuPoints = 8;
constexpr int kPictureSide = 40;  // pixels at the design size

void ShowCritical(const QString& text) {
    dialogs::Current().Message(text, dialogs::kApplicationTitle, dialogs::Icon::Critical);
}

}  // namespace

void Pedido_R::tit_menu(const QString& titulo) {
    for (int page = 0; page < kPages; ++page) NuevoMenu[page]->setTitle(widgets::WithoutMnemonics(order::PageCaption(page, titulo)));
}

bool Pedido_R::LoadPicture(int index, const QString& path) {
    const QPixmap picture = widgets::PictureFromFile(path);
    if (picture.isNull()) return false;
    bmenu[index]->setIcon(QIcon(picture));
    bmenu[index]->setIconSize(QSize(widgets::Scaled(kPictureSide), widgets::Scaled(kPictureSide)));
    return true;
}

void Pedido_R::ShowButtonRow(const data::ResultSet& row, bool onlyExistingPicture) {
    // A row that names no button of the three pages cannot be shown.
    const std::optional<int> index = order::ButtonIndex(row.Field(QStringLiteral("indice")));
    if (!index) return;
    widgets::SetMenuCaption(bmenu[*index], row.Field(QStringLiteral("titulo")).ToTextOrEmpty());
    if (const std::optional<QColor> color = widgets::RowColor(row.Field(QStringLiteral("Color"))))
        widgets::SetFaceColor(bmenu[*index], *color);
    const QString picture = row.Field(QStringLiteral("Picture")).ToTextOrEmpty();
    if (picture.isEmpty() || (onlyExistingPicture && !Module1::Existe_Archivo(picture))) return;
    LoadPicture(*index, picture);
}

void Pedido_R::Menu_Principal() {
    using namespace Module1;
    Pagina_Menu = 0;
    const QColor face = widgets::ButtonFaceColor();
    for (QPushButton* b : bmenu) {
        b->setText(QString());
        widgets::SetFaceColor(b, face);
    }
    tit_menu(QStringLiteral(") Menu Principal"));
    Cadena_Sql = order::MainMenuSql(Area_Actual, data::Escaped);
    Abrir_Tabla(Rs_Botones, Cadena_Sql);
    if (Rs_Botones->RecordCount() == 0) {
        ShowCritical(QStringLiteral("Tabla vacia"));
    } else {
        for (Rs_Botones->MoveFirst(); !Rs_Botones->IsEof(); Rs_Botones->MoveNext()) {
            const data::ResultSet& row = *Rs_Botones;
            const QString titulo = row.Field(QStringLiteral("titulo")).ToTextOrEmpty();
            if (!order::HiddenOnMainMenu(titulo)) ShowButtonRow(row, true);
        }
    }
    FitMenuCaptions();
    for (int page = 0; page < kPages; ++page) NuevoMenu[page]->setVisible(page == 0);
    AVANZAR->setEnabled(true);
    RETROCEDER->setEnabled(true);
}

void Pedido_R::bmenu_Click(int index) {
    Indice_Boton = QString::number(index);
    Titulo_Boton = bmenu[index]->text();
    Buscar_Menu_Venta();
}

void Pedido_R::Buscar_Menu_Venta() {
    using namespace Module1;
    // Each statement on its own: a failing one is skipped and the step goes on.
    rt::ResumeNext("Buscar_Menu_Venta: clicked row", [this] {
        Cadena_Sql = order::ClickedRowSql(Indice_Boton, Titulo_Boton, Menu_Actual, Submenu_Actual,
                                          Area_Actual, data::Escaped);
        Abrir_Tabla(Rs_Botones, Cadena_Sql);
    });
    if (Rs_Botones->RecordCount() == 0) return;  // a blank or stale button
    regre3->setVisible(true);

    Rs_Botones->MoveFirst();
    const data::ResultSet& row = *Rs_Botones;
    const QString titulo = row.Field(QStringLiteral("titulo")).ToTextOrEmpty();
    switch (order::KindOfRow(row.Field(QStringLiteral("Cod_producto")), row.Field(QStringLiteral("esmenu")),
                            row.Field(QStringLiteral("essubmenu")))) {
        case order::RowKind::Product:
            Producto_Sel = row.Field(QStringLiteral("Cod_producto")).ToText();
            rt::ResumeNext("Buscar_Menu_Venta: product", [this] { buscar_arti1(); });
            Menu_Actual.clear();
            Submenu_Actual.clear();
            return;
        case order::RowKind::Menu:
            Menu_Actual = titulo;
            tit_menu(order::PageTitle(titulo));
            Cadena_Sql = order::MenuChildrenSql(titulo, Area_Actual, data::Escaped);
            break;
        case order::RowKind::Submenu:
            Submenu_Actual = titulo;
            Cadena_Sql = order::SubmenuChildrenSql(titulo, Menu_Actual, Area_Actual, data::Escaped);
            break;
        case order::RowKind::Neither:
            return;
    }
    rt::ResumeNext("Buscar_Menu_Venta: children", [this] { Abrir_Tabla(Rs_Botones, Module1::Cadena_Sql); });
    if (Rs_Botones->RecordCount() == 0) {
        ShowCritical(QStringLiteral("no esta asociado 2"));
        return;
    }
    DrawLevel();
}

void Pedido_R::DrawLevel() {
    Pagina_Menu = 0;
    const QColor face = widgets::ButtonFaceColor();
    for (QPushButton* b : bmenu) {
        b->setText(QString());
        widgets::SetFaceColor(b, face);
        b->setIcon(QIcon());
    }
    for (Rs_Botones->MoveFirst(); !Rs_Botones->IsEof(); Rs_Botones->MoveNext())
        ShowButtonRow(*Rs_Botones, false);
    FitMenuCaptions();
    // The visible page stays as it was: a level opened on page 3 shows page 3.
}

void Pedido_R::FitMenuCaptions() {
    using widgets::MenuButton;
    // The screen is the program's only one; its memory outlives it harmlessly.
    static widgets::CaptionFitMemo sizes;
    static QSet<QString> named;  // captions already named in the log
    const QFont design = widgets::SansSerif(kMenuPoints, true);
    const int least = widgets::MinimumTextPixels();
    for (int page = 0; page < kPages; ++page) {
        const auto first = bmenu.begin() + page * kButtonsPerPage;
        // Every button of the page is a room: the blank ones too, so that a
        // page of short captions gets the size three lines would have. At
        // the least size a caption may take every line its button holds.
        std::vector<widgets::Caption> captions;
        for (auto b = first; b != first + kButtonsPerPage; ++b)
            captions.push_back({(*b)->text(), static_cast<const MenuButton*>(*b)->CaptionArea().size()});
        const widgets::CaptionSize size =
            sizes.Fit(captions, MenuButton::kCaptionLines, least, design, widgets::kAnyLines);
        const QFont face = size.Applied(design);
        for (auto b = first; b != first + kButtonsPerPage; ++b)
            if ((*b)->font() != face) (*b)->setFont(face);
        if (size.whole) continue;
        // Drawn broken across lines, every letter shown; the back office can
        // shorten it.
        for (const widgets::Caption& c : captions)
            if (!widgets::CaptionFits(c.text, c.room, widgets::kAnyLines, face) && !named.contains(c.text)) {
                named.insert(c.text);
                qWarning().noquote() << "menu: the caption" << c.text << "of area" << Area_Actual
                                     << "does not fit its button whole even at the least readable size; it is drawn"
                                        " broken across lines (a shorter titulo in tbl_botones reads better)";
            }
    }
}

void Pedido_R::AVANZAR_Click() {
    if (Pagina_Menu < 0 || Pagina_Menu > 1) return;
    ++Pagina_Menu;
    if (!NuevoMenu[0]->isHidden()) {
        NuevoMenu[0]->setVisible(false);
        NuevoMenu[1]->setVisible(true);
    } else if (!NuevoMenu[1]->isHidden()) {
        NuevoMenu[2]->setVisible(true);
        NuevoMenu[1]->setVisible(false);
    }
}

void Pedido_R::RETROCEDER_Click() {
    if (Pagina_Menu < 1 || Pagina_Menu > 2) return;
    --Pagina_Menu;
    if (!NuevoMenu[1]->isHidden()) {
        NuevoMenu[0]->setVisible(true);
        NuevoMenu[1]->setVisible(false);
    } else if (!NuevoMenu[2]->isHidden()) {
        NuevoMenu[1]->setVisible(true);
        NuevoMenu[2]->setVisible(false);
    }
}

void Pedido_R::regre3_Click() {
    Menu_Principal();
    Menu_Actual.clear();
    Submenu_Actual.clear();
}

}  // namespace order_screen
