#pragma once
// The program's input box: a prompt, one field, and touch keys beside it
// (a keypad to the right for numbers, a keyboard below for words), all large
// enough for a finger and kept inside the screen.
#include <QDialog>

#include "runtime/dialogs.h"

class QLineEdit;

namespace widgets {

class InputBox : public QDialog {
    Q_OBJECT
public:
    // `maxLength` above 0 limits what the field takes.
    InputBox(const QString& title, const QString& prompt, const QString& initial, int maxLength,
             dialogs::Keys keys, QWidget* parent = nullptr);

    QString Text() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Over the middle of the parent's window (of the screen without one),
    // and never past the edges of the screen's available area.
    void PlaceOnScreen();

    QLineEdit* field_;
};

}  // namespace widgets
