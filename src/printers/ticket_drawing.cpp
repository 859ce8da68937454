#include "printers/ticket_drawing.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

namespace printers {

using sending::PrintOp;
namespace {

constexpr double kMillimetresPerInch = 25.4;

// Walks the operations of one ticket over the pages of a device. Positions
// are kept in millimetres (the only scale the tickets use) and turned into
// device pixels only to draw.
class PagePainter {
public:
    PagePainter(QPainter& painter, QPagedPaintDevice& device)
        : painter_(painter),
          device_(device),
          pixels_x_(device.logicalDpiX() / kMillimetresPerInch),
          pixels_y_(device.logicalDpiY() / kMillimetresPerInch),
          page_height_(device.pageLayout().paintRect(QPageLayout::Millimeter).height()) {
        font_.setStyleHint(QFont::TypeWriter);
        font_.setPointSize(10);
        painter_.setFont(font_);
    }

    // False when the device refuses a new page.
    bool Apply(const PrintOp& op) {
        switch (op.kind) {
            case PrintOp::Kind::FontName:
                font_.setFamily(op.text);
                painter_.setFont(font_);
                return true;
            case PrintOp::Kind::FontSize:
                if (op.size > 0) font_.setPointSize(op.size);
                painter_.setFont(font_);
                return true;
            case PrintOp::Kind::CurrentX:
                x_ = op.size;
                return true;
            case PrintOp::Kind::PrintLine:
                return Line(op.text);
            case PrintOp::Kind::ScaleMillimetres:
            case PrintOp::Kind::EndDoc:
                return true;
        }
        return true;
    }

private:
    bool Line(const QString& text) {
        const QFontMetricsF metrics(font_, &device_);
        const double height = metrics.lineSpacing() / pixels_y_;
        if (y_ > 0 && y_ + height > page_height_) {
            if (!device_.newPage()) return false;
            y_ = 0;
        }
        painter_.drawText(QPointF(x_ * pixels_x_, y_ * pixels_y_ + metrics.ascent()), text);
        y_ += height;
        x_ = 0;  // the next line starts at the left margin again
        return true;
    }

    QPainter& painter_;
    QPagedPaintDevice& device_;
    const double pixels_x_;
    const double pixels_y_;
    const double page_height_;
    QFont font_;
    double x_ = 0;
    double y_ = 0;
};

}  // namespace

namespace {
QString JobTitle(const QString& title) { return QStringLiteral("Comanda %1").arg(title); }
}  // namespace

QString TicketJobTitle(const Ticket& ticket) { return JobTitle(ticket.title); }

bool DrawTicket(QPagedPaintDevice& device, const TicketPaper& ticket, QString* error) {
    QPainter painter;
    if (!painter.begin(&device)) {
        *error = QStringLiteral("No se pudo dibujar la comanda \"%1\".").arg(ticket.title);
        return false;
    }
    PagePainter pages(painter, device);
    for (const PrintOp& op : ticket.ops) {
        if (!pages.Apply(op)) {
            painter.end();
            *error = QStringLiteral("No se pudo empezar otra página de la comanda \"%1\".")
                         .arg(ticket.title);
            return false;
        }
    }
    if (!painter.end()) {
        *error = QStringLiteral("No se pudo terminar la comanda \"%1\".").arg(ticket.title);
        return false;
    }
    return true;
}

QByteArray TicketPdf(const TicketPaper& ticket, const QPageLayout& layout, QString* error) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setCreator(QStringLiteral("Pedidos"));
        writer.setTitle(JobTitle(ticket.title));
        writer.setResolution(300);
        if (!writer.setPageLayout(layout)) {
            *error = QStringLiteral("La página de la impresora no sirve para la comanda \"%1\".")
                         .arg(ticket.title);
            return {};
        }
        if (!DrawTicket(writer, ticket, error)) return {};
    }
    return buffer.data();
}

}  // namespace printers
