#include "order/menu_rules.h"

#include <cmath>

#include "runtime/number_format.h"
#include "runtime/runtime_error.h"

namespace order {

QString MainMenuSql(const QString& area, const Escape& esc) {
    return QStringLiteral("select * from tbl_botones where esmenu = true and departamento='") + esc(area) +
           QStringLiteral("' order by abs(indice) asc;");
}

QString ClickedRowSql(const QString& indice, const QString& titulo, const QString& menuActual,
                      const QString& submenuActual, const QString& area, const Escape& esc) {
    QString sql = QStringLiteral("SELECT * from Tbl_botones WHERE  indice = '") + esc(indice) + QStringLiteral("'");
    if (menuActual.isEmpty()) {
        return sql + QStringLiteral(" And titulo = '") + esc(titulo) + QStringLiteral("'") +
               QStringLiteral(" and departamento = '") + esc(area) + QStringLiteral("' order by indice");
    }
    if (!submenuActual.isEmpty())
        sql += QStringLiteral(" And submenu = '") + esc(submenuActual) + QStringLiteral("'");
    return sql + QStringLiteral(" And menu = '") + esc(menuActual) + QStringLiteral("'") +
           QStringLiteral(" And titulo = '") + esc(titulo) + QStringLiteral("'") +
           QStringLiteral(" and departamento = '") + esc(area) + QStringLiteral("' order by indice;");
}

QString MenuChildrenSql(const QString& titulo, const QString& area, const Escape& esc) {
    return QStringLiteral("SELECT * from Tbl_botones WHERE  menu = ") + QStringLiteral("'") + esc(titulo) +
           QStringLiteral("'") + QStringLiteral(" AND essubmenu=true and departamento='") + esc(area) +
           QStringLiteral("' order by abs(indice) asc;");
}

QString SubmenuChildrenSql(const QString& titulo, const QString& menuActual, const QString& area,
                           const Escape& esc) {
    QString sql = QStringLiteral("SELECT * from Tbl_botones WHERE  submenu = ") + QStringLiteral("'") +
                  esc(titulo) + QStringLiteral("'");
    if (!menuActual.isEmpty()) sql += QStringLiteral(" and menu ='") + esc(menuActual) + QStringLiteral("'");
    return sql + QStringLiteral(" and departamento='") + esc(area) + QStringLiteral("' order by abs(indice) asc;");
}

RowKind KindOfRow(const rt::Variant& codProducto, const rt::Variant& esmenu, const rt::Variant& essubmenu) {
    if (!codProducto.ToTextOrEmpty().isEmpty()) return RowKind::Product;
    if (esmenu.EqualsTrue()) return RowKind::Menu;
    if (essubmenu.EqualsTrue()) return RowKind::Submenu;
    return RowKind::Neither;
}

bool HiddenOnMainMenu(const QString& titulo) { return titulo == QStringLiteral("Sin Menu"); }

int PageTitleBlanks(int length) {
    const double blanks = length > 12 ? (30.0 - length) / 2 : (40.0 - length) / 2;
    // A title too long for the caption gets no blanks (the formula turns negative).
    return std::max(0, static_cast<int>(rt::RoundHalfEven(blanks)));
}

QString PageTitle(const QString& titulo) {
    return QStringLiteral(")") + QString(PageTitleBlanks(static_cast<int>(titulo.size())), QLatin1Char(' ')) +
           titulo;
}

QString PageCaption(int page, const QString& title) {
    return QStringLiteral("(") + QString::number(page + 1) + title;
}

std::optional<int> ButtonIndex(const rt::Variant& indice) {
    if (indice.IsNull()) return std::nullopt;
    double value = 0;
    try {
        value = indice.ToDouble();
    } catch (const rt::RuntimeError&) {
        return std::nullopt;
    }
    if (value != std::floor(value) || value < 0 || value > 44) return std::nullopt;
    return static_cast<int>(value);
}

bool HasValue(const rt::Variant& column) { return !column.ToTextOrEmpty().isEmpty(); }

std::optional<qint64> RowColorValue(const rt::Variant& color) {
    if (!HasValue(color)) return std::nullopt;
    double value = 0;
    try {
        value = color.ToDouble();
    } catch (const rt::RuntimeError&) {
        return std::nullopt;
    }
    if (value != std::floor(value) || std::fabs(value) > 4294967295.0) return std::nullopt;
    return static_cast<qint64>(value);
}

}  // namespace order
