// Ready to Deploy...: what is started, the closing message and the autostart
// entry a desktop reads at logon, written by the real XDG shortcut maker into
// temporary folders. The plain road with Yes is test_typical_road's.
#include "deploy/Deploy.h"
#include "platform/XdgShortcutMaker.h"
#include "support/AsUser.h"
#include "support/Fakes.h"
#include "support/Files.h"

#include <QtTest>

#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace testing;

// What is wrong in the world before Deploy.
enum Trouble { NoTrouble, NoLauncher, ConfigHomeIsFile, NoRights, ReadOnly };

// The answer; the program folder's and the working folder's names, as bytes; how the first stands in Exec=
// (quotes aside; "" for no entry) and the second in Path=; what the closing message holds; how the program
// folder's name stands in TryExec=, where not as it is; and the user's own autostart entry before Deploy,
// switched off by this line.
struct Row {
    qint16 answer;
    QByteArray app, work, exec, path;
    QString said;
    QByteArray tryExec = {};
    Trouble trouble = NoTrouble;
    QByteArray own = {};
};

class TestDeploy : public QObject
{
    Q_OBJECT
private slots:
    void deploy_data();
    void deploy();
};

// clang-format off
void TestDeploy::deploy_data()
{
    QTest::addColumn<Row>("row");
    auto row = [](const QByteArray &tag, const Row &r) { QTest::newRow(tag.constData()) << r; };
    row("No", {7, "app", "work", "app", "work", "File copied to All Users profile"});
    // Cancel, and what the box returns for Escape and its close button, and any other value.
    for (qint16 answer : {2, -6, 6 + 256})
        row("answer " + QByteArray::number(answer), {answer, "app", "work", "", "", "DATA FILES clear, Rendaro not copied"});
    row("semicolon alone", {6, "a;b", "w;x", "\"a;b", "w;x", "File copied to your Login Profile"});
    row("blanks, not ASCII", {6, "Gr\xc3\xbc\xc3\x9f" "e apps", "w\xc3\xb6rk", "\"Gr\xc3\xbc\xc3\x9f" "e apps",
        "w\xc3\xb6rk", "File copied to your Login Profile"});
    row("shell characters", {6, "$(x)`id`", "$(w)", "\"\\\\$(x)\\\\`id\\\\`", "$(w)", "File copied to your Login Profile"});
    row("backslash and quote", {6, "b\\s\"q\"", "w\\x", "\"b\\\\\\\\s\\\\\"q\\\\\"", "w\\\\x", "File copied to your Login Profile",
        "b\\\\s\"q\""});
    // GLib looks for the program before it reads %% as %: no entry can name it.
    row("percent", {6, "100%", "work", "", "", "could not be created: a desktop would not read"});
    // Bytes that are not UTF-8 do not survive as text: the name leads elsewhere.
    row("working folder not UTF-8", {6, "app", "w\xff", "", "", "does not lead back to it"});
    row("no launcher", {6, "app", "work", "", "", "Rendaro.exe cannot be found", {}, NoLauncher});
    row("config home is a file", {6, "app", "work", "", "", "config is not a folder", {}, ConfigHomeIsFile});
    // A user's own entry that hides the one for all users: Yes replaces it, No cannot.
    row("Yes over own Hidden=true", {6, "app", "work", "app", "work", "File copied to your Login Profile", {}, NoTrouble, "Hidden=true"});
    row("No under own Hidden=true", {7, "app", "work", "app", "work",
        "All Users profile, but your own entry %1/config/autostart/Rendaro.desktop switches it off (Hidden=true). Rendaro will not",
        {}, NoTrouble, "Hidden=true"});
    row("No under own GNOME switch", {7, "app", "work", "app", "work", "switches it off (X-GNOME-Autostart-enabled=false)", {},
        NoTrouble, "X-GNOME-Autostart-enabled=false"});
    row("No without rights", {7, "app", "work", "", "", "all users: administrator rights are needed (/sys/vellomar", {}, NoRights});
    // An administrator could not write there either.
    row("No on a read-only file system", {7, "app", "work", "", "", "could not be created: %1/ro/autostart: Read-only file system",
        {}, ReadOnly});
}
// clang-format on

void TestDeploy::deploy()
{
    QFETCH(Row, row);
    auto [answer, app, work, exec, path, said, tryExec, trouble, own] = row;
    QTemporaryDir dir;
    const QByteArray root = QFile::encodeName(dir.path()) + '/';
    const QString previous = QDir::currentPath();
    const auto back = qScopeGuard([&previous] { QDir::setCurrent(previous); });
    QVERIFY(::mkdir(root + app, 0755) == 0 && ::mkdir(root + work, 0755) == 0 && ::chdir(root + work) == 0);
    const QString launcher = QFile::decodeName(root + app + "/Rendaro.exe");
    QVERIFY(trouble == NoLauncher || (writeFile(launcher) && QFile::setPermissions(launcher, QFileDevice::Permissions(0x7755))));
    const QByteArray ownEntry = "[Desktop Entry]\nType=Application\nName=Rendaro\nExec=" + root + app + "/Rendaro.exe\n" + own + "\n";
    QVERIFY(own.isEmpty() || writeFile(dir.filePath("config/autostart/Rendaro.desktop"), ownEntry));
    QVERIFY(trouble != ConfigHomeIsFile || writeFile(dir.filePath("config")));
    if (trouble == ReadOnly && !isRoot())
        QSKIP("a read-only file system takes root to mount");
    // A file system mounted read-only, in a mount namespace of the test's own.
    QVERIFY(trouble != ReadOnly
            || (::mkdir(root + "ro", 0755) == 0 && ::unshare(CLONE_NEWNS) == 0 && ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0
                && ::mount("vellomar", root + "ro", "tmpfs", MS_RDONLY, nullptr) == 0));
    const auto unmount = qScopeGuard([&] {
        if (trouble == ReadOnly)
            ::umount2(root + "ro", MNT_DETACH);
    });
    // Relative or unset, the XDG variables leave the default folders.
    qputenv("XDG_CONFIG_HOME", "config");
    qunsetenv("XDG_CONFIG_DIRS");
    QCOMPARE(platform::XdgShortcutMaker::autostartFolder(platform::ShortcutScope::CurrentUser), QDir::homePath() + "/.config/autostart");
    QCOMPARE(platform::XdgShortcutMaker::autostartFolder(platform::ShortcutScope::AllUsers), "/etc/xdg/autostart");
    qputenv("XDG_CONFIG_HOME", root + "config");
    // /sys: where nobody may make folders, root included. A relative entry ("dirs") is passed over.
    qputenv("XDG_CONFIG_DIRS", trouble == NoRights ? "/sys/vellomar" : trouble == ReadOnly ? root + "ro" : "dirs:" + root + "dirs:" + root + "more");
    FakeServices fakes;
    fakes.prompter.answers = {answer};
    const mode_t umask = ::umask(002); // a desktop entry is 0644 whatever the umask
    deploy::deployToStartup(QFile::decodeName(root + app), QDir::currentPath(), {fakes.starter, fakes.prompter, fakes.shortcuts});
    ::umask(umask);

    const bool cancelled = answer != platform::AnswerYes && answer != platform::AnswerNo;
    QCOMPARE(fakes.starter.commandLines, QStringList("brinol.com") + (cancelled ? QStringList("zeptra.com") : QStringList()));
    QCOMPARE(fakes.starter.styles, QList<platform::WindowStyle>(cancelled ? 2 : 1, platform::WindowStyle::Hidden));
    QCOMPARE(fakes.prompter.shown.size(), 2);
    QCOMPARE(fakes.prompter.shown[0].buttons, platform::Buttons::YesNoCancel);
    QCOMPARE(fakes.prompter.shown[1].buttons, platform::Buttons::Ok);
    QVERIFY2(fakes.prompter.shown[1].prompt.contains(said.replace("%1", dir.path())), qPrintable(fakes.prompter.shown[1].prompt));
    const QString base = answer == platform::AnswerNo ? "dirs" : "config", entry = dir.filePath(base + "/autostart/Rendaro.desktop");
    for (const QString folder : {"config", "dirs", "more"})
        QCOMPARE(QFileInfo::exists(dir.filePath(folder + "/autostart/Rendaro.desktop")),
                 (!exec.isEmpty() && base == folder) || (!own.isEmpty() && folder == "config"));
    if (exec.isEmpty())
        return;
    const QByteArray quote = exec.startsWith('"') ? "\"" : "";
    QCOMPARE(readFile(entry), "[Desktop Entry]\nType=Application\nName=Rendaro\nExec=" + quote + root + exec.mid(quote.size()) + "/Rendaro.exe" + quote
                                  + "\nTryExec=" + root + (tryExec.isEmpty() ? app : tryExec) + "/Rendaro.exe\nPath=" + root + path + "\n");
    auto mode = [](const QString &file) {
        struct stat info = {};
        return ::stat(QFile::encodeName(file), &info) ? -1 : int(info.st_mode & 07777);
    };
    QCOMPARE(mode(entry), 0644);
    QCOMPARE(mode(QFileInfo(entry).path()), 0755);
    const Finished check = run(QStringLiteral("desktop-file-validate"), {entry});
    QCOMPARE(check.out, QByteArray());
    QCOMPARE(check.exitCode, 0);
}

QTEST_GUILESS_MAIN(TestDeploy)
#include "test_deploy.moc"
