// Ready to Deploy...: the question, the autostart entry a desktop reads at
// logon (written by the real XDG shortcut maker into temporary folders) and
// the closing message.
#include "deploy/Deploy.h"
#include "platform/XdgShortcutMaker.h"
#include "support/Fakes.h"
#include "support/Files.h"
#include "support/Run.h"

#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace testing;

namespace {

const QString kQuestion = " Want a short cut to your login (account)? Yes to your Login only, No to All users, "
                          "Cancel to clear data list ";
const QString kLogin = "DATA FILES GENERATED and File copied to your Login Profile, Rendaro will be activated next time "
                       "you log on";
const QString kAllUsers = "DATA FILES GENERATED and File copied to All Users profile, Rendaro will be activated next "
                          "time you log on";
const QString kCancel = "DATA FILES clear, Rendaro not copied, but Check if Program already copied";
const QString kFailed = "DATA FILES GENERATED, but the shortcut to Rendaro could not be created: ";

// A temporary world: the program folder app/ with the launcher in it, the
// working folder, and the two autostart bases; the working folder is current.
struct World {
    QTemporaryDir root;
    QString previous = QDir::currentPath();
    bool ok = false;
    explicit World(const QByteArray &appName = "app", const QByteArray &workName = "work")
    {
        const QByteArray base = QFile::encodeName(root.path()) + '/';
        ::mkdir(base + appName, 0755);
        ::mkdir(base + workName, 0755);
        ok = writeFile(app(appName) + "/Rendaro.exe") && ::chdir(base + workName) == 0;
        qputenv("XDG_CONFIG_HOME", base + "config");
        qputenv("XDG_CONFIG_DIRS", base + "dirs:" + base + "more");
    }
    ~World() { QDir::setCurrent(previous); }
    QString app(const QByteArray &name = "app") const { return root.path() + '/' + QFile::decodeName(name); }
    QString entry(const char *base) const { return root.path() + '/' + base + "/autostart/Rendaro.desktop"; }
    QString deploy(FakeServices &fakes, const QString &appFolder)
    {
        platform::XdgShortcutMaker shortcuts;
        deploy::deployToStartup(appFolder, QDir::currentPath(), {fakes.starter, fakes.prompter, shortcuts});
        return fakes.prompter.prompts().value(1);
    }
};

} // namespace

class TestDeploy : public QObject
{
    Q_OBJECT
private slots:
    void answers_data();
    void answers();
    void entries_data();
    void entries();
};

void TestDeploy::answers_data()
{
    QTest::addColumn<qint16>("answer");
    QTest::addColumn<QString>("trouble");    // what is wrong in the world before Deploy
    QTest::addColumn<QString>("entryIn");    // the autostart base that gets the entry, or ""
    QTest::addColumn<QString>("message");    // the closing message, or how a failure's begins and what it says

    QTest::newRow("Yes") << qint16(6) << "" << "config" << kLogin;
    QTest::newRow("No") << qint16(7) << "" << "dirs" << kAllUsers;
    // Cancel, and what the box returns for Escape and its close button, and any other value.
    for (qint16 answer : {2, 1, -6, 6 + 256})
        QTest::addRow("answer %d", answer) << answer << "" << "" << kCancel;
    QTest::newRow("Yes, config home is a file") << qint16(6) << "config file" << "" << kFailed + "|not a folder";
    QTest::newRow("No without rights") << qint16(7) << "dirs in /sys" << ""
                                       << "DATA FILES GENERATED, but the shortcut to Rendaro could not be created for "
                                          "all users: administrator rights are needed|/sys/vellomar";
    QTest::newRow("Yes, no launcher") << qint16(6) << "no launcher" << "" << kFailed + "|Rendaro.exe cannot be found";
}

void TestDeploy::answers()
{
    QFETCH(qint16, answer);
    QFETCH(QString, trouble);
    QFETCH(QString, entryIn);
    QFETCH(QString, message);

    World world;
    QVERIFY(world.ok);
    if (trouble == "config file")
        QVERIFY(writeFile(world.root.filePath("config"), "not a folder"));
    else if (trouble == "dirs in /sys") // where nobody may make folders, root included
        qputenv("XDG_CONFIG_DIRS", "/sys/vellomar-test");
    else if (trouble == "no launcher")
        QVERIFY(QFile::remove(world.app() + "/Rendaro.exe"));
    FakeServices fakes;
    fakes.prompter.answers = {answer};
    const QString shown = world.deploy(fakes, world.app());

    const bool cancelled = answer != 6 && answer != 7;
    const QStringList started = cancelled ? QStringList{"brinol.com", "zeptra.com"} : QStringList{"brinol.com"};
    QCOMPARE(fakes.starter.commandLines(), started);
    for (const StartedProgram &p : fakes.starter.started)
        QCOMPARE(p.style, platform::WindowStyle::Hidden);
    QCOMPARE(fakes.prompter.shown.size(), 2);
    QCOMPARE(fakes.prompter.shown[0].prompt, kQuestion);
    QCOMPARE(fakes.prompter.shown[0].buttons, platform::Buttons::YesNoCancel);
    QCOMPARE(fakes.prompter.shown[1].buttons, platform::Buttons::Ok);
    const QStringList parts = message.split(u'|');
    QVERIFY2(parts.size() == 1 ? shown == message : shown.startsWith(parts[0]) && shown.contains(parts[1]),
             qPrintable(shown));
    for (const char *base : {"config", "dirs", "more"})
        QCOMPARE(QFileInfo::exists(world.entry(base)), entryIn == base);
    if (!entryIn.isEmpty())
        QCOMPARE(readFile(world.entry(entryIn.toLatin1())),
                 "[Desktop Entry]\nType=Application\nName=Rendaro\nExec=" + QFile::encodeName(world.app())
                     + "/Rendaro.exe\nPath=" + QFile::encodeName(QDir::currentPath()) + "\n");
}

void TestDeploy::entries_data()
{
    QTest::addColumn<QByteArray>("appName");  // the program folder's name, as bytes
    QTest::addColumn<QByteArray>("workName"); // the working folder's
    QTest::addColumn<QByteArray>("exec");     // how the program folder's name stands in Exec=, quotes aside
    QTest::addColumn<QByteArray>("path");     // how the working folder's stands in Path=; or why no entry

    QTest::newRow("plain") << QByteArray("app") << QByteArray("work") << QByteArray("app") << QByteArray("work");
    QTest::newRow("spaces") << QByteArray("my apps") << QByteArray("my work") << QByteArray("\"my apps")
                            << QByteArray("my work");
    QTest::newRow("semicolon alone") << QByteArray("a;b") << QByteArray("w;x") << QByteArray("\"a;b")
                                     << QByteArray("w;x");
    QTest::newRow("shell characters") << QByteArray("$(x)`id`") << QByteArray("$(w)") << QByteArray("\"\\\\$(x)\\\\`id\\\\`")
                                      << QByteArray("$(w)");
    QTest::newRow("backslash and quote") << QByteArray("b\\s\"q\"") << QByteArray("w\\x")
                                         << QByteArray("\"b\\\\\\\\s\\\\\"q\\\\\"") << QByteArray("w\\\\x");
    QTest::newRow("not ASCII") << QByteArray("Gr\xc3\xbc\xc3\x9f" "e") << QByteArray("w\xc3\xb6rk")
                               << QByteArray("Gr\xc3\xbc\xc3\x9f" "e") << QByteArray("w\xc3\xb6rk");
    // GLib looks for the program before it reads %% as %: no entry can name it.
    QTest::newRow("percent") << QByteArray("100%") << QByteArray("work") << QByteArray()
                             << QByteArray("a desktop would not read");
    // Bytes that are not UTF-8 do not survive as text: the name leads elsewhere.
    QTest::newRow("working folder not UTF-8") << QByteArray("app") << QByteArray("w\xff") << QByteArray()
                                              << QByteArray("does not lead back to it");
}

void TestDeploy::entries()
{
    QFETCH(QByteArray, appName);
    QFETCH(QByteArray, workName);
    QFETCH(QByteArray, exec);
    QFETCH(QByteArray, path);

    const mode_t umask = ::umask(002); // a desktop entry is 0644 whatever the umask
    World world(appName, workName);
    QVERIFY(world.ok);
    FakeServices fakes;
    fakes.prompter.answers = {platform::AnswerYes};
    const QString shown = world.deploy(fakes, world.app(appName));
    ::umask(umask);

    const QString entry = world.entry("config");
    if (exec.isEmpty()) {
        QVERIFY2(shown.startsWith(kFailed) && shown.contains(QString::fromUtf8(path)), qPrintable(shown));
        QVERIFY(!QFileInfo::exists(entry));
        return;
    }
    QCOMPARE(shown, kLogin);
    const QByteArray root = QFile::encodeName(world.root.path()) + '/';
    const bool quoted = exec.startsWith('"');
    QCOMPARE(readFile(entry).split('\n'),
             (QList<QByteArray>{"[Desktop Entry]", "Type=Application", "Name=Rendaro",
                                "Exec=" + QByteArray(quoted ? "\"" : "") + root + exec.mid(quoted ? 1 : 0)
                                    + "/Rendaro.exe" + (quoted ? "\"" : ""),
                                "Path=" + root + path, ""}));
    QCOMPARE(QFileInfo(entry).permissions() & 0x7777, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser
                                                          | QFile::WriteUser | QFile::ReadGroup | QFile::ReadOther);
    QCOMPARE(QFileInfo(QFileInfo(entry).absolutePath()).permissions() & 0x0077,
             QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther); // 0755, not 0700
    const Finished check = run(QStringLiteral("desktop-file-validate"), {entry});
    QVERIFY2(check.ran && check.exitCode == 0 && check.out.isEmpty(), check.out.constData());
}

QTEST_GUILESS_MAIN(TestDeploy)
#include "test_deploy.moc"
