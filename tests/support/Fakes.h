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

struct StartedProgram { QString commandLine; platform::WindowStyle style; };

class FakeStarter : public platform::ProgramStarter
{
public:
    platform::StartResult start(const QString &commandLine, platform::WindowStyle style) override
    {
        started.append({commandLine, style});
        return {!failing.contains(commandLine), QStringLiteral("the program was not found")};
    }

    // The watched program ends at once, before the call returns.
    platform::StartResult startWatched(const QString &commandLine, platform::WindowStyle style,
                                       std::function<void(bool)> ended) override
    {
        const platform::StartResult result = start(commandLine, style);
        if (result.started)
            ended(!failingAtEnd.contains(commandLine));
        return result;
    }

    QStringList commandLines() const { QStringList l; for (const auto &p : started) l << p.commandLine; return l; }

    QList<StartedProgram> started;
    QStringList failing;      // command lines whose start fails
    QStringList failingAtEnd; // command lines whose program ends in failure
};

struct ShownMessage { QString prompt; platform::Buttons buttons; };

class FakePrompter : public platform::Prompter
{
public:
    qint16 show(const QString &prompt, platform::Buttons buttons) override
    {
        shown.append({prompt, buttons});
        const bool ok = buttons == platform::Buttons::Ok;
        return ok ? platform::AnswerOk : answers.isEmpty() ? platform::AnswerCancel : answers.takeFirst();
    }

    QStringList prompts() const { QStringList l; for (const auto &m : shown) l << m.prompt; return l; }

    QList<ShownMessage> shown;
    QList<qint16> answers; // for Yes/No/Cancel questions, in order
};

// The services to hand to a Main. Shortcuts are the real ones: every test
// runs with its own XDG folders (or, on Windows, in a Wine prefix of its own).
struct FakeServices { FakeStarter starter; FakePrompter prompter; SystemShortcutMaker shortcuts; };
