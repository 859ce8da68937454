#pragma once
// Dialogs answered by the test: every box shown is recorded; yes/no and input
// boxes take the next scripted answer, and a box nobody expected fails the test.
#include <deque>
#include <functional>
#include <stdexcept>
#include <vector>

#include "runtime/dialogs.h"

namespace testsupport {

// Thrown (after the test has been failed) by a box that has no scripted answer.
struct UnexpectedDialog : std::logic_error {
    using std::logic_error::logic_error;
};

class ScriptedDialogs : public dialogs::Dialogs {
public:
    struct Shown {
        QString kind;  // "message", "yesno" or "input"
        QString text;
        QString title;
        dialogs::Icon icon = dialogs::Icon::None;
        int maxLength = 0;  // of an input box: what it let the waiter type
        dialogs::Keys keys = dialogs::Keys::Letters;  // of an input box: what it typed with
    };

    ScriptedDialogs() { dialogs::Install(this); }
    ~ScriptedDialogs() override { dialogs::Install(nullptr); }

    void AnswerYes() { answers_.push_back("yes"); }
    void AnswerNo() { answers_.push_back("no"); }
    void AnswerInput(const QString& text) { answers_.push_back(text); }

    void Message(const QString& text, const QString& title, dialogs::Icon icon) override;
    bool YesNo(const QString& text, const QString& title, dialogs::Icon icon) override;
    // The scripted answer, cut to `maxLength` as the box's field would stop it.
    QString Input(const QString& prompt, const QString& title, const QString& initial,
                  int maxLength, dialogs::Keys keys) override;

    std::vector<Shown> shown;
    size_t AnswersLeft() const { return answers_.size(); }
    // Runs while a yes/no box is up, before it is answered: what the waiter
    // does before pressing (puts paper in the printer, say).
    std::function<void(const Shown&)> beforeAnswer;

private:
    QString NextAnswer(const QString& kind, const QString& text);
    std::deque<QString> answers_;
};

}  // namespace testsupport
