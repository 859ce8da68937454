#include "widgets/msgbox_ex1.h"

#include <QEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QtMath>
#include <cmath>

#include "widgets/look.h"
#include "widgets/plain_text.h"
#include "widgets/screen_scale.h"
#include "widgets/touch.h"
#include "widgets/twips.h"

namespace widgets {
namespace {

constexpr int kBlinkInterval = 200;  // milliseconds
constexpr int kBlinkTicks = 4;       // hide, show, hide, show

QPoint TwipsPoint(int x, int y) {
    return {Twips(x), Twips(y)};
}

// The square the sign is drawn in: centred, with a small margin.
QRectF SignBox(QSize size) {
    const qreal side = std::min(size.width(), size.height()) * 0.92;
    return {(size.width() - side) / 2, (size.height() - side) / 2, side, side};
}

void DrawInformation(QPainter& p, const QRectF& box) {
    const qreal s = box.width();
    p.setPen(QPen(QColor(13, 71, 161), s * 0.04));
    p.setBrush(QColor(30, 136, 229));
    p.drawEllipse(box.adjusted(s * 0.02, s * 0.02, -s * 0.02, -s * 0.02));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    const QPointF c = box.center();
    p.drawEllipse(QPointF(c.x(), box.top() + s * 0.27), s * 0.075, s * 0.075);
    p.drawRoundedRect(QRectF(c.x() - s * 0.065, box.top() + s * 0.41, s * 0.13, s * 0.38), s * 0.03,
                      s * 0.03);
}

void DrawWarning(QPainter& p, const QRectF& box) {
    const qreal s = box.width();
    QPainterPath triangle;
    triangle.moveTo(box.center().x(), box.top() + s * 0.06);
    triangle.lineTo(box.right() - s * 0.03, box.bottom() - s * 0.08);
    triangle.lineTo(box.left() + s * 0.03, box.bottom() - s * 0.08);
    triangle.closeSubpath();
    p.setPen(QPen(QColor(130, 90, 0), s * 0.05, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(255, 205, 40));
    p.drawPath(triangle);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    const qreal x = box.center().x();
    p.drawRoundedRect(QRectF(x - s * 0.055, box.top() + s * 0.33, s * 0.11, s * 0.33), s * 0.04,
                      s * 0.04);
    p.drawEllipse(QPointF(x, box.top() + s * 0.76), s * 0.06, s * 0.06);
}

void DrawError(QPainter& p, const QRectF& box) {
    const qreal s = box.width();
    p.setPen(QPen(QColor(127, 0, 0), s * 0.04));
    p.setBrush(QColor(211, 47, 47));
    p.drawEllipse(box.adjusted(s * 0.02, s * 0.02, -s * 0.02, -s * 0.02));
    p.setPen(QPen(Qt::white, s * 0.13, Qt::SolidLine, Qt::RoundCap));
    const QRectF cross = box.adjusted(s * 0.31, s * 0.31, -s * 0.31, -s * 0.31);
    p.drawLine(cross.topLeft(), cross.bottomRight());
    p.drawLine(cross.topRight(), cross.bottomLeft());
}

void DrawTelephone(QPainter& p, const QRectF& box) {
    const qreal s = box.width();
    // A speech bubble: a round body with a tail at the lower left.
    QPainterPath bubble;
    const QRectF body = box.adjusted(s * 0.03, s * 0.03, -s * 0.03, -s * 0.12);
    bubble.addEllipse(body);
    QPainterPath tail;
    tail.moveTo(body.left() + s * 0.18, body.bottom() - s * 0.18);
    tail.lineTo(body.left() + s * 0.02, box.bottom() - s * 0.02);
    tail.lineTo(body.left() + s * 0.40, body.bottom() - s * 0.04);
    tail.closeSubpath();
    p.setPen(QPen(QColor(27, 94, 32), s * 0.04, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(67, 160, 71));
    p.drawPath(bubble.united(tail));
    // The handset: a curved handle with the ear and mouth pieces at its ends,
    // both turned to the inner side of the curve.
    p.save();
    p.translate(body.center());
    p.rotate(45);
    const qreal r = s * 0.25;
    p.translate(0, -r * 0.55);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::white, s * 0.10, Qt::SolidLine, Qt::RoundCap));
    constexpr int kFrom = 205, kSpan = 130;  // degrees, across the bottom
    p.drawArc(QRectF(-r, -r, 2 * r, 2 * r), kFrom * 16, kSpan * 16);
    p.setPen(QPen(Qt::white, s * 0.17, Qt::SolidLine, Qt::RoundCap));
    for (const int degrees : {kFrom, kFrom + kSpan}) {
        const qreal a = qDegreesToRadians(static_cast<qreal>(degrees));
        const QPointF end(r * std::cos(a), -r * std::sin(a));
        p.drawLine(end, end * (1 - 0.40));  // toward the centre of the curve
    }
    p.restore();
}

}  // namespace

QPixmap SignPicture(Sign sign, QSize size) {
    QPixmap picture(size);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box = SignBox(size);
    switch (sign) {
        case Sign::Information:
            DrawInformation(p, box);
            break;
        case Sign::Warning:
            DrawWarning(p, box);
            break;
        case Sign::Error:
            DrawError(p, box);
            break;
        case Sign::Telephone:
            DrawTelephone(p, box);
            break;
    }
    return picture;
}

msgboxEx1::msgboxEx1(QWidget* parent) : QDialog(parent) {
    setObjectName("msgboxEx1");
    BuildLayout();
    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(0);  // inactive until the first activation
    connect(Timer1, &QTimer::timeout, this, &msgboxEx1::Timer1_Timer);
    connect(CmdOk, &QPushButton::clicked, this, &msgboxEx1::CmdOk_Click);
}

void msgboxEx1::BuildLayout() {
    setWindowTitle(QStringLiteral(" Vandrel For Windows Mensaje de información."));
    setWindowIcon(QIcon(QStringLiteral(":/iconos/Vandrel.ico")));
    setFixedSize(Twips(8040), Twips(3000));
    SetBackColor(this, Qt::white);
    if (const QScreen* s = screen())
        move(s->availableGeometry().center() - QPoint(width() / 2, height() / 2));

    const struct {
        Sign sign;
        int left, top, width, height;
    } signs[] = {{Sign::Information, 120, 120, 1275, 1260},
                 {Sign::Warning, 120, 120, 1260, 1260},
                 {Sign::Error, 120, 120, 1230, 1260},
                 {Sign::Telephone, 120, 0, 1245, 1290}};
    for (size_t i = 0; i < Image1.size(); ++i) {
        Image1[i] = new QLabel(this);
        Image1[i]->setObjectName(QStringLiteral("Image1_%1").arg(i));
        PlaceTwips(Image1[i], signs[i].left, signs[i].top, signs[i].width, signs[i].height);
        Image1[i]->setPixmap(SignPicture(signs[i].sign, Image1[i]->size()));
    }
    Image1[0]->raise();  // the window speaks of information unless a caller chooses another

    QFont verdana(QStringLiteral("Verdana"));
    verdana.setPointSizeF(widgets::ScaledPoints(18));
    lblTitulo1 = new QLabel(QStringLiteral("lbltitulo1"), this);
    lblTitulo1->setObjectName("lblTitulo1");
    MakePlain(lblTitulo1);
    lblTitulo1->setFont(verdana);
    SetTextColor(lblTitulo1, QColor(128, 128, 128));
    PlaceTwips(lblTitulo1, 1800, 240, 1530, 435);

    lblMensaje = new QLabel(QStringLiteral("Label1"), this);
    lblMensaje->setObjectName("lblMensaje");
    MakePlain(lblMensaje);  // a message may carry names from the database
    lblMensaje->setFont(SansSerif(9.75));
    SetTextColor(lblMensaje, QColor(64, 64, 64));
    lblMensaje->setWordWrap(true);
    lblMensaje->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    PlaceTwips(lblMensaje, 1800, 840, 6015, 1335);

    CmdOk = new QPushButton(QStringLiteral("Close"), this);
    CmdOk->setObjectName("CmdOk");
    CmdOk->setFont(SansSerif(12, true));
    CmdOk->setAutoDefault(true);  // Enter on the button presses it
    PlaceTwips(CmdOk, 5760, 2400, 2000, 495);
    KeepTouchable(CmdOk);
    CmdOk->setFocus();

    const QColor grey(192, 192, 192);
    const QColor light(224, 224, 224);
    Line1 = {{{TwipsPoint(1560, 720), TwipsPoint(7800, 720), grey},
              {TwipsPoint(5760, 2280), TwipsPoint(8040, 2280), light},
              {TwipsPoint(1560, 0), TwipsPoint(1560, 720), light},
              {TwipsPoint(0, 1440), TwipsPoint(1560, 1440), light},
              {TwipsPoint(5760, 2280), TwipsPoint(5760, 3120), light}}};
}

void msgboxEx1::Form_Activate() {
    setWindowTitle(AsWindowTitle(lblTitulo1->text()));
    // Paint now rather than running the event loop here: a click handled in
    // the middle of the activation could unload the window under it.
    repaint();
    if (blinkStarted_) return;
    blinkStarted_ = true;
    Timer1->setInterval(kBlinkInterval);
    Timer1->start();
}

void msgboxEx1::Timer1_Timer() {
    lblTitulo1->setHidden(!lblTitulo1->isHidden());
    ++blinkCount_;
    if (blinkCount_ == kBlinkTicks) {
        blinkCount_ = 0;
        Timer1->stop();
        lblTitulo1->show();
    }
}

void msgboxEx1::CmdOk_Click() {
    accept();
}

void msgboxEx1::Form_Unload() {
    Timer1->stop();
    blinkStarted_ = false;
    blinkCount_ = 0;
    lblTitulo1->show();
}

void msgboxEx1::done(int result) {
    Form_Unload();
    QDialog::done(result);
}

bool msgboxEx1::event(QEvent* e) {
    const bool handled = QDialog::event(e);
    if (e->type() == QEvent::WindowActivate) Form_Activate();
    return handled;
}

void msgboxEx1::keyPressEvent(QKeyEvent* e) {
    // Only Enter on the button closes the window; Escape does nothing here.
    if (e->key() == Qt::Key_Escape) {
        e->accept();
        return;
    }
    QDialog::keyPressEvent(e);
}

void msgboxEx1::paintEvent(QPaintEvent* e) {
    QDialog::paintEvent(e);
    QPainter p(this);
    for (const LineShape& line : Line1) {
        p.setPen(QPen(line.color, 1));
        p.drawLine(line.from, line.to);
    }
}

}  // namespace widgets
