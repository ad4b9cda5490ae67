// The typical road, end to end on the real programs: Pick Program on a
// program in a folder named in UTF-8, beside an entry file that an earlier
// version wrote in Latin-1; Show List (brinol.com gathers the day list, the
// viewer shows both paths) and Rendaro.exe --list; Deploy with Yes through
// the main window (the real XDG shortcut maker writes the autostart entry),
// then the launcher started as the desktop's autostart starts it, from the
// entry's Exec= and Path=, with no arguments and the real clock; then Reset,
// and zeptra.com clears what was collected.
#include "app/Browser.h"
#include "app/Main.h"
#include "deploy/Deploy.h"
#include "platform/SystemProgramStarter.h"
#include "platform/XdgShortcutMaker.h"
#include "schedule/EntryFile.h"
#include "support/DesktopEntryReader.h"
#include "support/Fakes.h"
#include "support/Files.h"
#include "viewer/Form2.h"
#include "viewer/ListArea.h"
#include "LauncherRun.h"

#include <QCheckBox>
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

    // 1-2. The pick: a program in a folder with a blank and letters beyond
    // Latin-1, today, a time that has passed already (so the real clock
    // starts it at once), Hide. Beside it, an entry of an earlier version,
    // in Latin-1, for a program in "café".
    const QString picked = root.filePath(QString::fromUtf8("łukasz/日本 programs/backup tool"));
    const QString earlier = root.filePath(QString::fromUtf8("café/sync"));
    for (const QString &program : {picked, earlier}) {
        QVERIFY(QDir().mkpath(QFileInfo(program).absolutePath()));
        QVERIFY(QFile::copy(QStringLiteral(RECORDER_PATH), program));
    }
    const schedule::Day &today = schedule::day(QDate::currentDate().dayOfWeek() - 1);
    QVERIFY(testing::writeFile(schedule::entryFileName(today, 9),
                               "00:00\r\n" + earlier.toLatin1() + "\r\nHide\r\n" + QByteArray(today.name.data(), today.name.size()) + "\r\n"));

    platform::SystemProgramStarter starter;
    FakePrompter prompter;
    prompter.answers = {platform::AnswerYes};
    platform::XdgShortcutMaker shortcuts;
    Main main({starter, prompter, shortcuts});
    QVERIFY(main.Dir1->setPath(QFileInfo(picked).absolutePath()));
    QTRY_VERIFY(main.File1->selectFile(QFileInfo(picked).fileName()));
    main.Check1[today.index]->setChecked(true);
    Main::setListText(main.List1, QStringLiteral("AM"));
    Main::setListText(main.List4, QStringLiteral("Hide"));
    main.Command1->click();
    QCOMPARE(testing::readFile(schedule::entryFileName(today, 2)),
             testing::entryText(QStringLiteral("00:00"), picked, QStringLiteral("Hide"), QString(today.name)));

    // 3-4. Show List: brinol.com gathers both, the viewer shows both paths.
    const QList<schedule::Entry> entries{{QStringLiteral("00:00"), picked, QStringLiteral("Hide"), QString(today.name)},
                                         {QStringLiteral("00:00"), earlier, QStringLiteral("Hide"), QString(today.name)}};
    const QString dayList = QString(today.listFile);
    main.Command2->click();
    QTRY_COMPARE(schedule::parseDayList(testing::readFile(dayList)), entries);
    main.viewer()->dayButtons()[today.index]->click();
    const QStringList shown = main.viewer()->listArea()->lines();
    QVERIFY2(shown.contains(picked) && shown.contains(earlier), qPrintable(shown.join(u'|')));
    main.viewer()->Command8->click();
    const RunResult listing = runLauncher(work, {QStringLiteral("--list")});
    QCOMPARE(listing.exitCode, 0);
    QVERIFY2(listing.out.contains(picked) && listing.out.contains(earlier), qPrintable(listing.out));

    // 5. Ready to Deploy..., answered Yes.
    main.Command3->click();
    QCOMPARE(prompter.prompts(), (QStringList{QStringLiteral("Program Picked, Next one Please"), deploy::question(),
                                              deploy::loginMessage()}));
    QTRY_COMPARE(schedule::parseDayList(testing::readFile(dayList)), entries);

    // The next logon: the desktop reads the autostart entry and runs it.
    const auto keys = desktopentry::readEntry(config + QStringLiteral("/autostart/Rendaro.desktop"));
    QVERIFY(keys);
    QCOMPARE(keys->value(QStringLiteral("Type")), QStringLiteral("Application"));
    const auto command = desktopentry::splitExec(keys->value(QStringLiteral("Exec")));
    QVERIFY(command && !command->isEmpty());
    QCOMPARE(command->first(), launcherProgram());
    QCOMPARE(command->size(), 1);
    QCOMPARE(keys->value(QStringLiteral("Path")), work);

    const QString log = root.filePath(QStringLiteral("started.txt"));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("RENDARO_TEST_LOG"), log);
    const testing::Finished logon =
        testing::run(command->first(), command->mid(1), keys->value(QStringLiteral("Path")), environment, 60000);
    QVERIFY(logon.ran);
    QCOMPARE(logon.err, QByteArray());
    QCOMPARE(logon.exitCode, 0);

    QTRY_COMPARE(readRecords(log).size(), 2);
    QStringList started;
    for (const Recorded &record : readRecords(log)) {
        started.append(record.program);
        QCOMPARE(record.workingFolder, QFileInfo(record.program).absolutePath());
        QCOMPARE(record.argumentCount, 0);
        QCOMPARE(record.output, QStringLiteral("/dev/null"));
    }
    started.sort();
    QCOMPARE(started, (QStringList{earlier, picked}));

    // Reset/Clear List: zeptra.com clears the entry file and the day lists, and nothing else.
    QVERIFY(testing::writeFile(QStringLiteral("notes.dat")));
    main.Command5->click();
    QCOMPARE(prompter.shown.size(), 3); // no message of a failed start
    QTRY_COMPARE(QDir(work).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("notes.dat")});
}

QTEST_MAIN(TestTypicalRoad)
#include "test_typical_road.moc"
