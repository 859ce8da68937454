#include "widgets/dialogs.h"

#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

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

class QtDialogs : public Dialogs {
public:
    void Message(const QString& text, const QString& title, Icon icon) override {
        QMessageBox box(ToQt(icon), title, ShownText(text), QMessageBox::Ok, Parent());
        box.exec();
    }
    bool YesNo(const QString& text, const QString& title, Icon icon) override {
        QMessageBox box(ToQt(icon), title, ShownText(text), QMessageBox::NoButton, Parent());
        QAbstractButton* yes = box.addButton(QStringLiteral("Sí"), QMessageBox::YesRole);
        box.addButton(QStringLiteral("No"), QMessageBox::NoRole);
        box.exec();
        return box.clickedButton() == yes;
    }
    QString Input(const QString& prompt, const QString& title, const QString& initial,
                  int maxLength) override {
        QInputDialog dialog(Parent());
        dialog.setWindowTitle(title);
        dialog.setLabelText(ShownText(prompt));
        dialog.setTextValue(initial);
        if (auto* edit = dialog.findChild<QLineEdit*>(); edit && maxLength > 0)
            edit->setMaxLength(maxLength);
        dialog.setOkButtonText(QStringLiteral("Aceptar"));
        dialog.setCancelButtonText(QStringLiteral("Cancelar"));
        return dialog.exec() == QDialog::Accepted ? dialog.textValue() : QString();
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
