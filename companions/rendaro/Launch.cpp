#include "Launch.h"

#include <QCoreApplication>
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
        return {false, 0, QCoreApplication::translate("rendaro", "the path is not absolute")};
    if (!program.exists())
        return {false, 0, QCoreApplication::translate("rendaro", "there is no such file")};
    if (program.isDir() || !program.isExecutable())
        return {false, 0, QCoreApplication::translate("rendaro", "the file is not a program")};

#ifdef Q_OS_WIN
    const winplat::Outcome outcome = winplat::startProgram(
        program.absoluteFilePath().toStdWString(), std::wstring(), program.absolutePath().toStdWString(),
        static_cast<int>(style));
    return {outcome.ok, 0, QString::fromStdWString(outcome.error)};
#else
    QProcess process;
    process.setProgram(program.absoluteFilePath());
    process.setArguments({});
    process.setWorkingDirectory(program.absolutePath());
    if (style == schedule::RunStyle::Hide) {
        process.setStandardInputFile(QProcess::nullDevice());
        process.setStandardOutputFile(QProcess::nullDevice());
        process.setStandardErrorFile(QProcess::nullDevice());
    }
    qint64 pid = 0;
    if (!process.startDetached(&pid))
        return {false, 0, process.errorString()};
    return {true, pid, {}};
#endif
}

} // namespace rendaro
