#include "platform/XdgShortcutMaker.h"
#include "support/DesktopEntryReader.h"
#include "support/Files.h"
#include "support/Run.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using platform::ShortcutScope;
using platform::XdgShortcutMaker;
using testing::readFile;
using testing::writeFile;

namespace {

// What desktop-file-validate says of a file, where the machine has it: an
// outside reader's judgement of the format.
void expectValid(const QString &file)
{
    const QString validator = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    if (validator.isEmpty())
        return;
    const testing::Finished check = testing::run(validator, {file});
    QVERIFY2(check.ran && check.exitCode == 0, check.out.constData());
}

platform::ShortcutResult makeRendaro(ShortcutScope scope, const QString &target, const QString &working)
{
    XdgShortcutMaker maker;
    return maker.create(QStringLiteral("\\Startup"), QStringLiteral("Rendaro"), target, QString(), scope, working);
}

} // namespace

class TestXdgShortcut : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void entryInItsFolder_data();
    void entryInItsFolder();
    void folders_data();
    void folders();
    void quoting_data();
    void quoting();
    void replacesExisting();
    void failures_data();
    void failures();
    void onlyTheStartupFolder();

private:
    QMap<QByteArray, std::optional<QByteArray>> m_saved;
};

void TestXdgShortcut::init()
{
    for (const char *name : {"HOME", "XDG_CONFIG_HOME", "XDG_CONFIG_DIRS"})
        m_saved[name] = qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt;
}

void TestXdgShortcut::cleanup()
{
    for (auto it = m_saved.cbegin(); it != m_saved.cend(); ++it) {
        if (it.value())
            qputenv(it.key().constData(), *it.value());
        else
            qunsetenv(it.key().constData());
    }
}

void TestXdgShortcut::entryInItsFolder_data()
{
    QTest::addColumn<int>("scope");
    QTest::addColumn<QString>("folder"); // where the entry goes, under the test's folder
    QTest::newRow("current user") << int(ShortcutScope::CurrentUser) << "config";
    QTest::newRow("all users") << int(ShortcutScope::AllUsers) << "first";
}

void TestXdgShortcut::entryInItsFolder()
{
    QFETCH(int, scope);
    QFETCH(QString, folder);
    QTemporaryDir dir;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.filePath(QStringLiteral("config")))); // not there yet
    // A relative entry is not a base folder and is passed over.
    qputenv("XDG_CONFIG_DIRS", QFile::encodeName("relative/xdg:" + dir.filePath("first") + u':' + dir.filePath("second")));

    const auto result = makeRendaro(ShortcutScope(scope), QStringLiteral("/opt/vellomar/Rendaro.exe"),
                                    QStringLiteral("/home/user/work"));
    QVERIFY2(result.ok, qPrintable(result.error));

    const QString file = dir.filePath(folder + "/autostart/Rendaro.desktop");
    QCOMPARE(readFile(file), QByteArray("[Desktop Entry]\n"
                                        "Type=Application\n"
                                        "Name=Rendaro\n"
                                        "Exec=/opt/vellomar/Rendaro.exe\n"
                                        "Path=/home/user/work\n"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{folder});
    expectValid(file);
}

void TestXdgShortcut::folders_data()
{
    QTest::addColumn<QByteArray>("configHome"); // "-" for unset
    QTest::addColumn<QByteArray>("configDirs");
    QTest::addColumn<QString>("currentUser");
    QTest::addColumn<QString>("allUsers");

    QTest::newRow("set") << QByteArray("/c/home") << QByteArray("/c/one:/c/two")
                         << QStringLiteral("/c/home/autostart") << QStringLiteral("/c/one/autostart");
    QTest::newRow("unset") << QByteArray("-") << QByteArray("-")
                           << QStringLiteral("/h/.config/autostart") << QStringLiteral("/etc/xdg/autostart");
    QTest::newRow("empty") << QByteArray("") << QByteArray("")
                           << QStringLiteral("/h/.config/autostart") << QStringLiteral("/etc/xdg/autostart");
    QTest::newRow("relative") << QByteArray("rel/config") << QByteArray("rel:also/rel")
                              << QStringLiteral("/h/.config/autostart") << QStringLiteral("/etc/xdg/autostart");
    QTest::newRow("trailing separators") << QByteArray("/c/home/") << QByteArray("::/c/one/:")
                                         << QStringLiteral("/c/home/autostart") << QStringLiteral("/c/one/autostart");
}

void TestXdgShortcut::folders()
{
    QFETCH(QByteArray, configHome);
    QFETCH(QByteArray, configDirs);
    QFETCH(QString, currentUser);
    QFETCH(QString, allUsers);

    qputenv("HOME", "/h");
    auto set = [](const char *name, const QByteArray &value) {
        if (value == "-")
            qunsetenv(name);
        else
            qputenv(name, value);
    };
    set("XDG_CONFIG_HOME", configHome);
    set("XDG_CONFIG_DIRS", configDirs);
    QCOMPARE(XdgShortcutMaker::autostartFolder(ShortcutScope::CurrentUser), currentUser);
    QCOMPARE(XdgShortcutMaker::autostartFolder(ShortcutScope::AllUsers), allUsers);
}

void TestXdgShortcut::quoting_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("working");
    QTest::addColumn<QByteArray>("execLine");
    QTest::addColumn<QByteArray>("pathLine");

    QTest::newRow("spaces") << QStringLiteral("/opt/my apps/Rendaro.exe") << QStringLiteral("/home/u/my work")
                            << QByteArray("Exec=\"/opt/my apps/Rendaro.exe\"") << QByteArray("Path=/home/u/my work");
    QTest::newRow("shell characters")
        << QStringLiteral("/opt/a;b/$(touch x)/`id`/Rendaro.exe") << QStringLiteral("/w;$(x)")
        << QByteArray("Exec=\"/opt/a;b/\\\\$(touch x)/\\\\`id\\\\`/Rendaro.exe\"") << QByteArray("Path=/w;$(x)");
    QTest::newRow("backslash and quote")
        << QStringLiteral("/opt/back\\slash/\"q\"/Rendaro.exe") << QStringLiteral("/w\\x")
        << QByteArray("Exec=\"/opt/back\\\\\\\\slash/\\\\\"q\\\\\"/Rendaro.exe\"") << QByteArray("Path=/w\\\\x");
    QTest::newRow("percent") << QStringLiteral("/opt/100%/Rendaro.exe") << QStringLiteral("/w/100%")
                             << QByteArray("Exec=/opt/100%%/Rendaro.exe") << QByteArray("Path=/w/100%");
    QTest::newRow("apostrophe, star, hash")
        << QStringLiteral("/opt/it's #1*/Rendaro.exe") << QStringLiteral("/w")
        << QByteArray("Exec=\"/opt/it's #1*/Rendaro.exe\"") << QByteArray("Path=/w");
    QTest::newRow("leading blank of the folder") << QStringLiteral("/opt/v/Rendaro.exe") << QStringLiteral(" /w")
                                                  << QByteArray("Exec=/opt/v/Rendaro.exe") << QByteArray("Path=\\s/w");
    QTest::newRow("not ASCII") << QStringLiteral("/opt/Grüße/Rendaro.exe") << QStringLiteral("/wörk")
                               << QByteArray("Exec=/opt/Gr\xc3\xbc\xc3\x9f" "e/Rendaro.exe")
                               << QByteArray("Path=/w\xc3\xb6rk");
}

void TestXdgShortcut::quoting()
{
    QFETCH(QString, target);
    QFETCH(QString, working);
    QFETCH(QByteArray, execLine);
    QFETCH(QByteArray, pathLine);

    QTemporaryDir dir;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.path()));
    const auto result = makeRendaro(ShortcutScope::CurrentUser, target, working);
    QVERIFY2(result.ok, qPrintable(result.error));

    const QString file = dir.filePath(QStringLiteral("autostart/Rendaro.desktop"));
    const QList<QByteArray> lines = readFile(file).split('\n');
    QVERIFY2(lines.contains(execLine), readFile(file).constData());
    QVERIFY2(lines.contains(pathLine), readFile(file).constData());
    expectValid(file);

    // Read back as a desktop would: the one word is the target, unchanged.
    const auto keys = desktopentry::readEntry(file);
    QVERIFY(keys);
    const auto words = desktopentry::splitExec(keys->value(QStringLiteral("Exec")));
    QVERIFY(words);
    QCOMPARE(*words, QStringList{target});
    QCOMPARE(keys->value(QStringLiteral("Path")), working);
}

void TestXdgShortcut::replacesExisting()
{
    QTemporaryDir dir;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.path()));
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("autostart")));
    const QString file = dir.filePath(QStringLiteral("autostart/Rendaro.desktop"));
    QVERIFY(writeFile(file, "[Desktop Entry]\nType=Application\nName=Old\nExec=/old/Rendaro.exe --flag\nHidden=true\n"));
    QVERIFY(writeFile(dir.filePath(QStringLiteral("autostart/other.desktop")), "[Desktop Entry]\n"));

    const auto result = makeRendaro(ShortcutScope::CurrentUser, QStringLiteral("/new/Rendaro.exe"),
                                    QStringLiteral("/new/work"));
    QVERIFY2(result.ok, qPrintable(result.error));

    QStringList order;
    const auto keys = desktopentry::readEntry(file, &order);
    QVERIFY(keys);
    QCOMPARE(order, (QStringList{QStringLiteral("Type"), QStringLiteral("Name"), QStringLiteral("Exec"),
                                 QStringLiteral("Path")}));
    QCOMPARE(keys->value(QStringLiteral("Exec")), QStringLiteral("/new/Rendaro.exe"));
    // Nothing of the old file is left, and no temporary file beside it.
    const QStringList names = QDir(dir.filePath(QStringLiteral("autostart"))).entryList(QDir::Files | QDir::Hidden);
    QCOMPARE(QSet<QString>(names.begin(), names.end()),
             (QSet<QString>{QStringLiteral("Rendaro.desktop"), QStringLiteral("other.desktop")}));
}

void TestXdgShortcut::failures_data()
{
    QTest::addColumn<int>("scope");
    QTest::addColumn<QString>("base"); // "FILE" stands for a regular file
    QTest::addColumn<bool>("needsAdmin");
    QTest::addColumn<QString>("mustSay");

    const int user = int(ShortcutScope::CurrentUser);
    const int all = int(ShortcutScope::AllUsers);
    QTest::newRow("config home is a file") << user << QStringLiteral("FILE") << false << QStringLiteral("not a folder");
    QTest::newRow("config home under /proc") << user << QStringLiteral("/proc/vellomar-test") << false
                                             << QStringLiteral("/proc/vellomar-test");
    // Nobody may make folders in /sys, root included.
    QTest::newRow("all users without rights") << all << QStringLiteral("/sys/vellomar-test") << true
                                              << QStringLiteral("/sys/vellomar-test");
    QTest::newRow("current user without rights") << user << QStringLiteral("/sys/vellomar-test") << false
                                                 << QStringLiteral("/sys/vellomar-test");
}

void TestXdgShortcut::failures()
{
    QFETCH(int, scope);
    QFETCH(QString, base);
    QFETCH(bool, needsAdmin);
    QFETCH(QString, mustSay);

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("plain-file"));
    QVERIFY(writeFile(file, "not a folder\n"));
    base.replace(QStringLiteral("FILE"), file);
    qputenv(scope == int(ShortcutScope::AllUsers) ? "XDG_CONFIG_DIRS" : "XDG_CONFIG_HOME", QFile::encodeName(base));

    const auto result = makeRendaro(ShortcutScope(scope), QStringLiteral("/opt/v/Rendaro.exe"), QStringLiteral("/w"));
    QVERIFY(!result.ok);
    QVERIFY2(result.error.contains(mustSay), qPrintable(result.error));
    QCOMPARE(result.needsAdmin, needsAdmin);
    QCOMPARE(readFile(file), QByteArray("not a folder\n"));
}

void TestXdgShortcut::onlyTheStartupFolder()
{
    QTemporaryDir dir;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.path()));
    XdgShortcutMaker maker;
    for (const QString &folder : {QStringLiteral("\\Desktop"), QStringLiteral("Startup"), QStringLiteral("\\Startup\\")}) {
        const auto result = maker.create(folder, QStringLiteral("Rendaro"), QStringLiteral("/opt/R.exe"), QString(),
                                         ShortcutScope::CurrentUser, QStringLiteral("/w"));
        QVERIFY2(!result.ok, qPrintable(folder));
    }
    const auto badName = maker.create(QStringLiteral("\\Startup"), QStringLiteral("../Rendaro"), QStringLiteral("/opt/R.exe"),
                                      QString(), ShortcutScope::CurrentUser, QStringLiteral("/w"));
    QVERIFY(!badName.ok);
    QVERIFY(QDir(dir.path()).isEmpty());
}

QTEST_GUILESS_MAIN(TestXdgShortcut)
#include "test_xdg_shortcut.moc"
