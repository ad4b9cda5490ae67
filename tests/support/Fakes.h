#pragma once

// Stand-ins for the services of the main window: they record what the
// window asked for and answer as the test says.

#include "platform/ProgramStarter.h"
#include "platform/Prompter.h"
#ifdef Q_OS_WIN
#include "platform/WindowsShortcutMaker.h"
using SystemShortcutMaker = platform::WindowsShortcutMaker;
#else
#include "platform/XdgShortcutMaker.h"
using SystemShortcutMaker = platform::XdgShortcutMaker;
#endif

#include <QStringList>
#include <QTimer>

class FakeStarter : public platform::ProgramStarter
{
public:
    // A watched program ends at once; its end is told from the event loop, as the real starter tells it.
    base::Result<qint64> start(const QString &program, const QStringList &arguments, platform::WindowStyle style, std::function<void(bool)> ended = {}) override
    {
        const QString commandLine = (QStringList{program} + arguments).join(u' ');
        commandLines.append(commandLine), styles.append(style);
        if (failing.contains(commandLine))
            return base::Failure{QStringLiteral("the program was not found")};
        if (ended)
            QTimer::singleShot(0, [ended, ok = !failingAtEnd.contains(commandLine)] { ended(ok); });
        return 1;
    }

    QStringList commandLines;
    QList<platform::WindowStyle> styles;
    QStringList failing;      // command lines whose start fails
    QStringList failingAtEnd; // command lines whose program ends in failure
};

// clang-format off
struct ShownMessage { QString prompt; platform::Buttons buttons; };
// clang-format on

class FakePrompter : public platform::Prompter
{
public:
    qint16 show(const QString &prompt, platform::Buttons buttons) override
    {
        shown.append({prompt, buttons});
        const bool ok = buttons == platform::Buttons::Ok;
        return ok ? qint16(platform::AnswerOk) : answers.isEmpty() ? qint16(platform::AnswerCancel) : answers.takeFirst();
    }

    QStringList prompts() const
    {
        QStringList l;
        for (const auto &m : shown)
            l << m.prompt;
        return l;
    }

    QList<ShownMessage> shown;
    QList<qint16> answers; // for Yes/No/Cancel questions, in order
};

// The services to hand to a Main. Shortcuts are the real ones: every test
// runs with its own XDG folders (or, on Windows, in a Wine prefix of its own).
// clang-format off
struct FakeServices { FakeStarter starter; FakePrompter prompter; SystemShortcutMaker shortcuts; };
// clang-format on
