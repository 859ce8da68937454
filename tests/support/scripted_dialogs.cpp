#include "support/scripted_dialogs.h"

#include <gtest/gtest.h>

namespace testsupport {

void ScriptedDialogs::Message(const QString& text, const QString& title, dialogs::Icon icon) {
    shown.push_back({"message", text, title, icon});
}

QString ScriptedDialogs::NextAnswer(const QString& kind, const QString& text) {
    if (answers_.empty()) {
        ADD_FAILURE() << "unexpected " << kind.toStdString() << " box: " << text.toStdString();
        // Stops the code under test: a prompt that repeats until it gets a
        // valid answer would otherwise never end.
        throw UnexpectedDialog(kind.toStdString() + " box: " + text.toStdString());
    }
    QString answer = answers_.front();
    answers_.pop_front();
    return answer;
}

bool ScriptedDialogs::YesNo(const QString& text, const QString& title, dialogs::Icon icon) {
    shown.push_back({"yesno", text, title, icon});
    if (beforeAnswer) beforeAnswer(shown.back());
    return NextAnswer("yes/no", text) == "yes";
}

QString ScriptedDialogs::Input(const QString& prompt, const QString& title, const QString&,
                               int maxLength, dialogs::Keys keys) {
    shown.push_back({"input", prompt, title, dialogs::Icon::None, maxLength, keys});
    const QString answer = NextAnswer("input", prompt);
    return maxLength > 0 ? answer.left(maxLength) : answer;
}

}  // namespace testsupport
