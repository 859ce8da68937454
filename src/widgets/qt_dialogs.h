#pragma once
// The terminal's boxes: Qt's message boxes with buttons a finger can press,
// and the input box with touch keys.
#include <QString>

#include "runtime/dialogs.h"

namespace dialogs {

class QtDialogs final : public Dialogs {
public:
    void Message(const QString& text, const QString& title, Icon icon) override;
    bool YesNo(const QString& text, const QString& title, Icon icon) override;
    QString Input(const QString& prompt, const QString& title, const QString& initial, int maxLength,
                  Keys keys) override;
};

// The text as a Qt box shows it: the program builds its messages with a
// carriage return (character 13) between lines, which a Qt label would not
// break on; CR LF and a lone CR become one line break.
QString ShownText(const QString& text);

}  // namespace dialogs
