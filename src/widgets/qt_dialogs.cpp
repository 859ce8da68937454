#include "widgets/qt_dialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDebug>
#include <QMessageBox>
#include <QPushButton>
#include <cmath>

#include "widgets/input_box.h"
#include "widgets/look.h"
#include "widgets/plain_text.h"
#include "widgets/screen_scale.h"

namespace dialogs {
namespace {

QMessageBox::Icon ToQt(Icon icon) {
    switch (icon) {
        case Icon::Information: return QMessageBox::Information;
        case Icon::Question: return QMessageBox::Question;
        case Icon::Warning: return QMessageBox::Warning;
        case Icon::Critical: return QMessageBox::Critical;
        case Icon::None: break;
    }
    return QMessageBox::NoIcon;
}

QWidget* Parent() { return QApplication::activeWindow(); }

// A message or question box read and answered by finger: a larger text and
// buttons a fingertip high and wider than a fingertip.
constexpr double kBoxTextPoints = 12;
constexpr double kButtonWidthInFingers = 2.5;

// Also plain: a message may carry a name from the database or a server's
// error text, shown as typed.
void MakeTouchable(QMessageBox& box) {
    widgets::MakePlain(box);
    box.setFont(widgets::SansSerif(kBoxTextPoints));
    const int finger = widgets::TouchMinimum();
    const int width = static_cast<int>(std::ceil(kButtonWidthInFingers * finger));
    for (QAbstractButton* button : box.buttons()) button->setMinimumSize(width, finger);
}

// What a box said, in the log: a technician reading it later learns what the
// waiter was told (boxes never hold a password).
void LogShown(const QString& title, const QString& text) {
    qInfo().noquote() << "box shown:" << title.trimmed() << "-" << ShownText(text).replace('\n', QStringLiteral(" / "));
}

}  // namespace

void QtDialogs::Message(const QString& text, const QString& title, Icon icon) {
    QMessageBox box(ToQt(icon), widgets::AsWindowTitle(title), ShownText(text), QMessageBox::Ok, Parent());
    MakeTouchable(box);
    LogShown(title, text);
    box.exec();
}

bool QtDialogs::YesNo(const QString& text, const QString& title, Icon icon) {
    QMessageBox box(ToQt(icon), widgets::AsWindowTitle(title), ShownText(text), QMessageBox::NoButton, Parent());
    QAbstractButton* yes = box.addButton(QStringLiteral("Sí"), QMessageBox::YesRole);
    box.addButton(QStringLiteral("No"), QMessageBox::NoRole);
    MakeTouchable(box);
    box.exec();
    return box.clickedButton() == yes;
}

QString QtDialogs::Input(const QString& prompt, const QString& title, const QString& initial, int maxLength,
                         Keys keys) {
    widgets::InputBox box(title, ShownText(prompt), initial, maxLength, keys, Parent());
    return box.exec() == QDialog::Accepted ? box.Text() : QString();
}

QString ShownText(const QString& text) {
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

}  // namespace dialogs
