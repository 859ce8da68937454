#pragma once
// The seam for the modal boxes the program shows: message box, yes/no box and
// input box. The program installs its own at start (the terminal: Qt's message
// boxes and the input box with touch keys, in the screens library); tests
// install a scripted answerer over it.
#include <QString>

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

// The dialogs in force: the ones installed last, else the program's own.
// A program that set none gets boxes that nobody sees: each is logged and
// answered "No" or with an empty text.
Dialogs& Current();
// Installs `d` (not owned) over the program's own; nullptr puts those back.
void Install(Dialogs* d);
// The program's own dialogs (not owned; they outlive every box), set once at
// start.
void SetProgramDialogs(Dialogs* d);

}  // namespace dialogs
