#include "widgets/dialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <cmath>

#include "widgets/input_box.h"
#include "widgets/look.h"
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

void MakeTouchable(QMessageBox& box) {
    box.setFont(widgets::SansSerif(kBoxTextPoints));
    const int finger = widgets::TouchMinimum();
    const int width = static_cast<int>(std::ceil(kButtonWidthInFingers * finger));
    for (QAbstractButton* button : box.buttons()) button->setMinimumSize(width, finger);
}

class QtDialogs : public Dialogs {
public:
    void Message(const QString& text, const QString& title, Icon icon) override {
        QMessageBox box(ToQt(icon), title, ShownText(text), QMessageBox::Ok, Parent());
        MakeTouchable(box);
        box.exec();
    }
    bool YesNo(const QString& text, const QString& title, Icon icon) override {
        QMessageBox box(ToQt(icon), title, ShownText(text), QMessageBox::NoButton, Parent());
        QAbstractButton* yes = box.addButton(QStringLiteral("Sí"), QMessageBox::YesRole);
        box.addButton(QStringLiteral("No"), QMessageBox::NoRole);
        MakeTouchable(box);
        box.exec();
        return box.clickedButton() == yes;
    }
    QString Input(const QString& prompt, const QString& title, const QString& initial,
                  int maxLength, Keys keys) override {
        widgets::InputBox box(title, ShownText(prompt), initial, maxLength, keys, Parent());
        return box.exec() == QDialog::Accepted ? box.Text() : QString();
    }
};

Dialogs*& Installed() {
    static Dialogs* d = nullptr;
    return d;
}

}  // namespace

Dialogs& Current() {
    static QtDialogs qt;
    return Installed() ? *Installed() : qt;
}

void Install(Dialogs* d) { Installed() = d; }

QString ShownText(const QString& text) {
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

}  // namespace dialogs
