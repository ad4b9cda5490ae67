#pragma once

#include <QString>

namespace platform {
class ProgramStarter;
class Prompter;
class ShortcutMaker;
} // namespace platform

namespace deploy {

// What Deploy asks of the system.
struct DeployServices {
    platform::ProgramStarter &starter;
    platform::Prompter &prompter;
    platform::ShortcutMaker &shortcuts;
};

// The question, with its blank before "Want" and after "list".
QString question();

// The closing messages.
QString loginMessage();
QString allUsersMessage();
QString cancelMessage();
// What replaces the first two when the shortcut could not be made.
QString failureMessage(const QString &why, bool needsAdmin);
// What replaces them when the shortcut was made but stays switched off.
QString switchedOffMessage(const QString &why, bool allUsers);

// The launcher beside the program: the application folder, one separator,
// "Rendaro.exe" ("C:\Tools" and "C:\Tools\" give "C:\Tools\Rendaro.exe",
// "C:\" gives "C:\Rendaro.exe", "/" gives "/Rendaro.exe").
QString launcherPath(const QString &applicationFolder);

// Ready to Deploy: starts brinol.com, asks the question, and on Yes (current
// login) or No (all users) requests the Startup shortcut to the launcher, or
// on any other answer starts zeptra.com; then tells the user which. The
// shortcut starts the launcher in workingFolder, where the day lists are.
void deployToStartup(const QString &applicationFolder, const QString &workingFolder, const DeployServices &services);

} // namespace deploy
