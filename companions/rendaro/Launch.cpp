#include "Launch.h"

#include "platform/Trust.h"
#include "schedule/Companions.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

#ifdef Q_OS_WIN
#include "platform/windows/WinStart.h"
#endif

namespace rendaro {

Launched launchProgram(const QString &path, schedule::RunStyle style)
{
    const QFileInfo program(path);
    if (!program.isAbsolute())
        return {false, 0, QStringLiteral("the path is not absolute")};
    if (!program.exists())
        return {false, 0, QStringLiteral("there is no such file")};
    if (program.isDir() || !program.isExecutable())
        return {false, 0, QStringLiteral("the file is not a program")};
    QString realPath;
    if (const auto why = platform::refusedProgram(program.absoluteFilePath(), schedule::ownPrograms(), &realPath))
        return {false, 0, *why, true};
    const QFileInfo checked(realPath); // started as checked, whatever a link on the way points at by now

#ifdef Q_OS_WIN
    // The start itself carries the show state: 0 Normal, 1 Hide, 2 Min, 3 Max.
    int runStyle = 0;
    switch (style) {
    case schedule::RunStyle::Normal: runStyle = 0; break;
    case schedule::RunStyle::Hide: runStyle = 1; break;
    case schedule::RunStyle::Min: runStyle = 2; break;
    case schedule::RunStyle::Max: runStyle = 3; break;
    }
    unsigned long pid = 0;
    const winplat::Outcome outcome = winplat::startProgram(
        QDir::toNativeSeparators(checked.absoluteFilePath()).toStdWString(), std::wstring(),
        QDir::toNativeSeparators(checked.absolutePath()).toStdWString(), runStyle, &pid);
    return {outcome.ok, qint64(pid), QString::fromStdWString(outcome.error), false};
#else
    QProcess process;
    process.setProgram(checked.absoluteFilePath());
    process.setArguments({});
    process.setWorkingDirectory(checked.absolutePath());
    if (style == schedule::RunStyle::Hide) {
        process.setStandardInputFile(QProcess::nullDevice());
        process.setStandardOutputFile(QProcess::nullDevice());
        process.setStandardErrorFile(QProcess::nullDevice());
    }
    qint64 pid = 0;
    if (!process.startDetached(&pid))
        return {false, 0, process.errorString(), false};
    return {true, pid, {}};
#endif
}

} // namespace rendaro
