#pragma once

// Stand-ins for the services of the main window: they record what the
// window asked for and answer as the test says.

#include "platform/ProgramStarter.h"
#include "platform/Prompter.h"
#include "platform/ShortcutMaker.h"

#include <QList>
#include <QString>
#include <QStringList>

struct StartedProgram {
    QString commandLine;
    platform::WindowStyle style;
};

class FakeStarter : public platform::ProgramStarter
{
public:
    platform::StartResult start(const QString &commandLine, platform::WindowStyle style) override
    {
        started.append({commandLine, style});
        if (failing.contains(commandLine))
            return {false, QStringLiteral("the program was not found")};
        return {true, {}};
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

    QStringList commandLines() const
    {
        QStringList lines;
        for (const StartedProgram &p : started)
            lines.append(p.commandLine);
        return lines;
    }

    QList<StartedProgram> started;
    QStringList failing;      // command lines whose start fails
    QStringList failingAtEnd; // command lines whose program ends in failure
};

struct ShownMessage {
    QString prompt;
    platform::Buttons buttons;
};

class FakePrompter : public platform::Prompter
{
public:
    qint16 show(const QString &prompt, platform::Buttons buttons) override
    {
        shown.append({prompt, buttons});
        if (buttons == platform::Buttons::Ok)
            return platform::AnswerOk;
        return answers.isEmpty() ? platform::AnswerCancel : answers.takeFirst();
    }

    QStringList prompts() const
    {
        QStringList list;
        for (const ShownMessage &m : shown)
            list.append(m.prompt);
        return list;
    }

    QList<ShownMessage> shown;
    QList<qint16> answers; // for Yes/No/Cancel questions, in order
};

struct ShortcutRequest {
    QString folder, linkName, target, arguments;
    platform::ShortcutScope scope;
    QString workingFolder;
};

class FakeShortcutMaker : public platform::ShortcutMaker
{
public:
    platform::ShortcutResult create(const QString &folder, const QString &linkName, const QString &target,
                                    const QString &arguments, platform::ShortcutScope scope,
                                    const QString &workingFolder) override
    {
        requests.append({folder, linkName, target, arguments, scope, workingFolder});
        return result;
    }

    QList<ShortcutRequest> requests;
    platform::ShortcutResult result{true, {}, false};
};

// The three fakes, ready to hand to a Main.
struct FakeServices {
    FakeStarter starter;
    FakePrompter prompter;
    FakeShortcutMaker shortcuts;
};
