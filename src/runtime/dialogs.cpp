#include "runtime/dialogs.h"

#include <QDebug>

namespace dialogs {
namespace {

// What a program without boxes of its own shows: the log. Nobody can answer,
// so questions are answered "No" and input boxes are cancelled.
class UnattendedDialogs : public Dialogs {
public:
    void Message(const QString& text, const QString& title, Icon) override {
        qWarning().noquote() << "message box with nobody to see it:" << title << "|" << text;
    }
    bool YesNo(const QString& text, const QString& title, Icon) override {
        qWarning().noquote() << "question with nobody to answer it, taken as No:" << title << "|" << text;
        return false;
    }
    QString Input(const QString& prompt, const QString& title, const QString&, int, Keys) override {
        qWarning().noquote() << "input box with nobody to type, taken as cancelled:" << title << "|" << prompt;
        return {};
    }
};

Dialogs*& Installed() {
    static Dialogs* d = nullptr;
    return d;
}

Dialogs*& ProgramDialogs() {
    static Dialogs* d = nullptr;
    return d;
}

}  // namespace

Dialogs& Current() {
    static UnattendedDialogs unattended;
    if (Installed()) return *Installed();
    return ProgramDialogs() ? *ProgramDialogs() : unattended;
}

void Install(Dialogs* d) { Installed() = d; }

void SetProgramDialogs(Dialogs* d) { ProgramDialogs() = d; }

}  // namespace dialogs
