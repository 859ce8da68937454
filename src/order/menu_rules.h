#pragma once
// The rules of the menu-button tree: the statements that find a clicked
// button's row and a level's children, what a row does when clicked, the
// page title of a menu, and which button, colour and picture a row gives.
// Plain functions: every text value is escaped by the caller's function, so
// statement texts keep their exact shape.
#include <QString>
#include <optional>

#include "order/escape.h"
#include "runtime/variant.h"

namespace order {

// The rows of the area's main menu.
QString MainMenuSql(const QString& area, const Escape& esc);

// The row behind a clicked button, by index and caption within the current
// menu and submenu (both empty at main-menu level).
QString ClickedRowSql(const QString& indice, const QString& titulo, const QString& menuActual,
                      const QString& submenuActual, const QString& area, const Escape& esc);

// The children of menu `titulo`.
QString MenuChildrenSql(const QString& titulo, const QString& area, const Escape& esc);

// The children of submenu `titulo`, within menu `menuActual` when one is open.
QString SubmenuChildrenSql(const QString& titulo, const QString& menuActual, const QString& area,
                           const Escape& esc);

// What a clicked row does, by precedence: a product code (null counts as
// empty) makes it a product; else esmenu true opens it as a menu; else
// essubmenu true as a submenu; else nothing.
enum class RowKind { Product, Menu, Submenu, Neither };
RowKind KindOfRow(const rt::Variant& codProducto, const rt::Variant& esmenu, const rt::Variant& essubmenu);

// The main menu never shows rows titled exactly "Sin Menu" (case counts).
bool HiddenOnMainMenu(const QString& titulo);

// The number of blanks before a menu's title in the page captions: (30 − L) / 2
// for titles longer than 12 characters, else (40 − L) / 2, to the nearest with
// halves to even; none for titles of 32 characters or more.
int PageTitleBlanks(int length);

// The text handed to the page captions: ")" + blanks + title.
QString PageTitle(const QString& titulo);

// The caption of page frame k (0, 1, 2): "(" + (k + 1) + title.
QString PageCaption(int page, const QString& title);

// The button a row's indice names (0 to 44), or nothing.
std::optional<int> ButtonIndex(const rt::Variant& indice);

// True when a Color or Picture column holds something (null and "" do not).
bool HasValue(const rt::Variant& column);

// The colour value (as the forms store colours, see widgets/ole_color.h) of
// a row's Color column; nothing when the column holds no whole number that
// could be one.
std::optional<qint64> RowColorValue(const rt::Variant& color);

}  // namespace order
