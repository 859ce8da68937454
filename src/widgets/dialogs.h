#pragma once
// The seam for the modal boxes the program shows: message box, yes/no box and
// input box. Production shows QMessageBox and the program's own input box with
// touch keys; tests install a scripted answerer.
#include <QString>

class QWidget;

namespace dialogs {

enum class Icon { None, Information, Question, Warning, Critical };

// The keys an input box shows beside its field, for a panel without a
// keyboard: a keyboard for words, or a keypad for numbers.
enum class Keys { Letters, Numbers };

// The application title: the caption of every box that gives none of its own.
inline const QString kApplicationTitle = QStringLiteral("Pedidos_VandrelFW");

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // A box with one OK button; returns when it is closed.
    virtual void Message(const QString& text, const QString& title, Icon icon) = 0;
    // A box with "Sí" and "No"; true for yes.
    virtual bool YesNo(const QString& text, const QString& title, Icon icon) = 0;
    // An input box; the typed text, or "" when cancelled. With `maxLength`
    // above 0 no more than that many characters can be typed; `keys` is what
    // the box offers to type them with.
    virtual QString Input(const QString& prompt, const QString& title, const QString& initial,
                          int maxLength = 0, Keys keys = Keys::Letters) = 0;
};

// The text as a Qt box shows it: the program builds its messages with a
// carriage return (character 13) between lines, which a Qt label would not
// break on; CR LF and a lone CR become one line break.
QString ShownText(const QString& text);

// The dialogs in force (the Qt ones unless a test installed others).
Dialogs& Current();
// Installs `d` (not owned); nullptr puts the Qt dialogs back.
void Install(Dialogs* d);

}  // namespace dialogs
