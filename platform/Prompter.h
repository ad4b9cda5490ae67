#pragma once

#include <QString>

namespace platform {

// The button sets of a message box and the platform's answer codes.
enum class Buttons { Ok, YesNoCancel };

enum Answer : qint16 {
    AnswerOk = 1,
    AnswerCancel = 2, // also Escape and the close button
    AnswerYes = 6,
    AnswerNo = 7,
};

// A modal message box with the application title as its caption, no icon.
class Prompter
{
public:
    virtual ~Prompter() = default;
    virtual qint16 show(const QString &prompt, Buttons buttons) = 0;

    void tell(const QString &prompt) { show(prompt, Buttons::Ok); }
};

} // namespace platform
