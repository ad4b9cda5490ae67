#include "companions/common/CompanionMain.h"

#include "Version.h"
#include "base/CommandLine.h"
#include "base/SafeFile.h"
#include "companions/common/WorkFolderLock.h"
#include "schedule/Companions.h"
#include "schedule/EntryFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>

namespace companion {

namespace {

void print(FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

void printMessage(const ProgramInfo &info, const QString &message)
{
    print(stderr, info.name + QStringLiteral(": ") + message + u'\n');
}

// A writer of the schedule is done in well under this; a temporary file of
// its that is older was left by one that was killed.
constexpr std::chrono::minutes kTemporaryStaleAfter{10};

bool isScheduleFileName(QStringView name)
{
    const Qt::CaseSensitivity cs = schedule::fileNameCase();
    return schedule::parseEntryFileName(name, cs) || schedule::isDayListFileName(name, cs)
           || name.compare(schedule::kLauncherLog, cs) == 0;
}

} // namespace

int companionMain(int argc, char **argv, const ProgramInfo &info,
                  const std::function<Report(const QString &folder)> &work)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(info.name);
    QCoreApplication::setApplicationVersion(QStringLiteral(VELLOMAR_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(info.summary
                                     + QStringLiteral("\nIt works on the current folder and takes no arguments."));
    const base::CommandLine command = base::readCommandLine(parser, {}, QCoreApplication::arguments());
    switch (command.action) {
    case base::CommandLine::Action::PrintHelp:
    case base::CommandLine::Action::PrintVersion:
        print(stdout, command.text);
        return 0;
    case base::CommandLine::Action::Refuse:
        printMessage(info, command.text);
        return base::kUsageError;
    case base::CommandLine::Action::Run:
        break;
    }

    // The working folder by the name ".": its full name as text may not
    // lead back to it (bytes that are not UTF-8).
    const QString folder = QStringLiteral(".");
    // A folder that cannot be listed looks empty: brinol.com would blank
    // every day list, zeptra.com would remove nothing and call it done.
    const QFileInfo folderInfo(folder);
    if (!folderInfo.isDir() || !folderInfo.isReadable()) {
        printMessage(info,
                     QStringLiteral("cannot read the folder %1").arg(QDir::toNativeSeparators(QDir::currentPath())));
        return 1;
    }
    WorkFolderLock lock(folder);
    if (const base::Result<> locked = lock.acquire(); !locked) {
        printMessage(info, locked.reason());
        return 1;
    }
    for (const QString &failure : base::removeStaleTemporaries(folder, isScheduleFileName, kTemporaryStaleAfter))
        printMessage(info, QStringLiteral("cannot remove the temporary file %1").arg(failure));
    const Report report = work(folder);
    for (const QString &message : report.messages)
        printMessage(info, message);
    return report.ok ? 0 : 1;
}

} // namespace companion
