#include "deploy/Deploy.h"
#include "schedule/Companions.h"

#include "platform/LogonEntry.h"
#include "platform/Paths.h"
#include "platform/Prompter.h"
#include "platform/ShortcutMaker.h"
#include "platform/StartAndReport.h"
#include "platform/Trust.h"

#include <QFileInfo>

namespace deploy {

QString question()
{
    return QStringLiteral(" Want a short cut to your login (account)? Yes to your Login only, No to All users, "
                          "Cancel to clear data list ");
}

QString loginMessage()
{
    return QStringLiteral("DATA FILES GENERATED and File copied to your Login Profile, "
                          "Rendaro will be activated next time you log on");
}

QString allUsersMessage()
{
    return QStringLiteral("DATA FILES GENERATED and File copied to All Users profile, "
                          "Rendaro will be activated next time you log on");
}

QString cancelMessage()
{
    return QStringLiteral("DATA FILES clear, Rendaro not copied, but Check if Program already copied");
}

QString failureMessage(const QString &why, bool needsAdmin)
{
    if (needsAdmin)
        return QStringLiteral(
                   "DATA FILES GENERATED, but the shortcut to Rendaro could not be created for all users: "
                   "administrator rights are needed (%1). Rendaro will not be activated next time you log on")
            .arg(why);
    return QStringLiteral("DATA FILES GENERATED, but the shortcut to Rendaro could not be created: %1. "
                          "Rendaro will not be activated next time you log on")
        .arg(why);
}

QString switchedOffMessage(const QString &why, bool allUsers)
{
    return QStringLiteral("DATA FILES GENERATED and File copied to %1, but %2. "
                          "Rendaro will not be activated next time you log on")
        .arg(allUsers ? QStringLiteral("All Users profile") : QStringLiteral("your Login Profile"), why);
}

QString launcherPath(const QString &applicationFolder)
{
    return platform::withTrailingSeparator(applicationFolder) + schedule::kLauncherProgram;
}

namespace {

// The Startup shortcut to the launcher, which must name the launcher and
// the working folder exactly: a folder name that did not survive as text
// (bytes that are not valid in the system's encoding) names another place,
// or none.
base::Result<void> makeShortcut(const QString &launcher, const QString &workingFolder, platform::ShortcutScope scope,
                                platform::ShortcutMaker &shortcuts)
{
    if (!QFileInfo(launcher).isFile())
        return base::Failure{QStringLiteral("the launcher %1 cannot be found").arg(launcher)};
    if (!platform::sameFile(workingFolder, QStringLiteral(".")))
        return base::Failure{
            QStringLiteral("the name of the working folder, %1, does not lead back to it").arg(workingFolder)};
    return shortcuts.create(QStringLiteral("\\Startup"), QStringLiteral("Rendaro"), launcher, QString(), scope,
                            workingFolder);
}

} // namespace

void deployToStartup(const QString &applicationFolder, const QString &workingFolder, const DeployServices &services)
{
    platform::startHiddenAndReport(services.starter, services.prompter, schedule::kGatherProgram);

    const qint16 answer = services.prompter.show(question(), platform::Buttons::YesNoCancel);

    QString message;
    if (answer == platform::AnswerYes || answer == platform::AnswerNo) {
        const bool allUsers = answer == platform::AnswerNo;
        const auto scope = allUsers ? platform::ShortcutScope::AllUsers : platform::ShortcutScope::CurrentUser;
        const QString launcher = launcherPath(applicationFolder);
        const base::Result<void> made = makeShortcut(launcher, workingFolder, scope, services.shortcuts);
        // Rights are wanting for all users' folder: only an administrator may write it.
        if (!made)
            message = failureMessage(made.reason(), made.failure().denied && allUsers);
        // A shortcut that the user's startup settings keep switched off
        // starts nothing: switched on again where the user may, else said.
        else if (const auto on = platform::switchOnLogonEntry(scope, QStringLiteral("Rendaro"), launcher); !on)
            message = switchedOffMessage(on.reason(), allUsers);
        else
            message = allUsers ? allUsersMessage() : loginMessage();
    } else {
        // Cancel, and Escape or the close button, which answer Cancel too.
        platform::startHiddenAndReport(services.starter, services.prompter, schedule::kClearProgram);
        message = cancelMessage();
    }
    services.prompter.tell(message);
}

} // namespace deploy
