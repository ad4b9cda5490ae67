// The typical road, end to end on the real programs: a pick's entry file,
// Deploy with Yes through the main window (brinol.com gathers the day
// list, the real XDG shortcut maker writes the autostart entry), then the
// launcher started as the desktop's autostart starts it, from the entry's
// Exec= and Path=, with no arguments and the real clock; then Reset, and
// zeptra.com clears what was collected.
#include "app/Main.h"
#include "deploy/Deploy.h"
#include "platform/SystemProgramStarter.h"
#include "platform/XdgShortcutMaker.h"
#include "schedule/EntryFile.h"
#include "platform/DesktopEntry.h"
#include "support/Fakes.h"
#include "support/Files.h"
#include "LauncherRun.h"

#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

class TestTypicalRoad : public QObject
{
    Q_OBJECT
private slots:
    void pickDeployLogon();
};

void TestTypicalRoad::pickDeployLogon()
{
    if (platform::SystemProgramStarter::findProgram(QStringLiteral("brinol.com")).isEmpty())
        QSKIP("brinol.com is neither built beside this test nor on the PATH");
    // Files are made as a Debian login makes them; the launcher refuses a
    // day list that others may write.
    ::umask(022);

    QTemporaryDir root;
    const QString work = root.filePath(QStringLiteral("work"));
    QVERIFY(QDir(root.path()).mkdir(QStringLiteral("work")));
    const QString config = root.filePath(QStringLiteral("config"));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config));
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(work));
    auto restore = qScopeGuard([&] { QDir::setCurrent(previous); });

    // 1-2. The pick: a program in a folder with a blank, today, a time that
    // has passed already (so the real clock starts it at once), Hide.
    const QString picked = root.filePath(QStringLiteral("my programs/backup tool"));
    QVERIFY(QDir().mkpath(QFileInfo(picked).absolutePath()));
    QVERIFY(QFile::copy(QStringLiteral(RECORDER_PATH), picked));
    const schedule::Day &today = schedule::day(QDate::currentDate().dayOfWeek() - 1);
    const schedule::Entry entry{QStringLiteral("00:00"), picked, QStringLiteral("Hide"), QString(today.name)};
    QVERIFY(schedule::writeEntryFile(schedule::entryFileName(today, 2), entry).ok);

    // 5. Ready to Deploy..., answered Yes.
    platform::SystemProgramStarter starter;
    FakePrompter prompter;
    prompter.answers = {platform::AnswerYes};
    platform::XdgShortcutMaker shortcuts;
    Main main({starter, prompter, shortcuts});
    main.Command3->click();
    QCOMPARE(prompter.prompts(), (QStringList{deploy::question(), deploy::loginMessage()}));

    // brinol.com runs on its own; the day list is there once it is done.
    const QString dayList = QString(today.listFile);
    QTRY_COMPARE(schedule::parseDayList(testing::readFile(dayList)), QList<schedule::Entry>{entry});

    // The next logon: the desktop reads the autostart entry and runs it.
    QMap<QString, QString> keys;
    for (const QString &line : QString::fromUtf8(testing::readFile(config + "/autostart/Rendaro.desktop")).split(u'\n'))
        keys.insert(line.section(u'=', 0, 0), platform::unescapeStringValue(line.section(u'=', 1)));
    QCOMPARE(keys.value("Type"), QStringLiteral("Application"));
    const auto command = platform::splitExecValue(keys.value("Exec"));
    QCOMPARE(command, QStringList{launcherProgram()});
    QCOMPARE(keys.value("Path"), work);

    const QString log = root.filePath(QStringLiteral("started.txt"));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("RENDARO_TEST_LOG"), log);
    const testing::Finished logon = testing::run(command->first(), command->mid(1), keys.value("Path"), environment, 60000);
    QVERIFY(logon.ran);
    QCOMPARE(logon.err, QByteArray());
    QCOMPARE(logon.exitCode, 0);

    QTRY_COMPARE(readRecords(log).size(), 1);
    const Recorded started = readRecords(log).first();
    QCOMPARE(started.program, picked);
    QCOMPARE(started.workingFolder, QFileInfo(picked).absolutePath());
    QCOMPARE(started.argumentCount, 0);
    QCOMPARE(started.output, QStringLiteral("/dev/null"));

    // Reset/Clear List: zeptra.com clears the entry file and the day lists, and nothing else.
    QVERIFY(testing::writeFile(QStringLiteral("notes.dat")));
    main.Command5->click();
    QCOMPARE(prompter.shown.size(), 2); // no message of a failed start
    QTRY_COMPARE(QDir(work).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("notes.dat")});
}

QTEST_MAIN(TestTypicalRoad)
#include "test_typical_road.moc"
