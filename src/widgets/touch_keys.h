#pragma once
// Keys on the screen that type into a field, for a panel without a keyboard:
// a keypad for numbers or a Spanish keyboard in capitals for words. Every key
// is a push button captioned with exactly what it types or does; none takes
// the focus, so the field keeps its cursor and a real keyboard still types.
#include <QWidget>

#include "runtime/dialogs.h"

class QGridLayout;
class QLineEdit;
class QPushButton;

namespace widgets {

class TouchKeys : public QWidget {
    Q_OBJECT
public:
    // Keys of `kind` typing into `field` (not owned; it must outlive the keys).
    TouchKeys(dialogs::Keys kind, QLineEdit* field, QWidget* parent = nullptr);

signals:
    // "Aceptar" and "Cancelar" were pressed.
    void accepted();
    void cancelled();

private:
    // Where a key sits in the grid of keys.
    struct Spot {
        int row, column, rowSpan = 1, columnSpan = 1;
    };

    QPushButton* AddKey(const QString& caption, Spot spot);
    // A key that inserts `typed` at the field's cursor; insert() keeps the
    // field's length limit and validator in force.
    void AddTypingKey(const QString& caption, const QString& typed, Spot spot);
    // One key per character of each row, left to right from the first row.
    void AddCharacterRows(const QStringList& rows);
    void AddWordKeys(Spot erase, Spot accept, Spot cancel);

    QLineEdit* field_;
    QGridLayout* grid_;
};

}  // namespace widgets
