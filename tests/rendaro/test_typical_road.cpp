// The typical road, end to end on the real programs: picks through the main
// window of a program in a folder named in UTF-8, beside an entry file that
// an earlier version wrote in Latin-1, whose path is refused rather than
// read as a look-alike that exists; Show List (brinol.com gathers, the
// viewer draws), Deploy with Yes (the real XDG shortcut maker), the launcher
// started as a desktop's autostart starts it, with no arguments and the real
// clock, and Reset (zeptra.com clears).
#include "app/Browser.h"
#include "app/Main.h"
#include "platform/SystemProgramStarter.h"
#include "platform/XdgShortcutMaker.h"
#include "rendaro/LauncherRun.h"
#include "support/Fakes.h"
#include "viewer/ListArea.h"

#include <QCheckBox>
#include <QPushButton>
#include <QtTest>

#include <sys/stat.h>

using namespace testing;

class TestTypicalRoad : public QObject
{
    Q_OBJECT
private slots:
    void pickShowDeployLogonReset();
};

void TestTypicalRoad::pickShowDeployLogonReset()
{
    ::umask(022); // as a Debian login makes files
    QTemporaryDir root;
    const QString work = root.filePath("work"), config = root.filePath("config");
    QVERIFY(QDir(root.path()).mkdir("work"));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config));
    QVERIFY(QDir::setCurrent(work));
    const QString folder = root.filePath(QString::fromUtf8("łukasz/日本 programs")), picked = folder + "/backup tool";
    const QString earlier = root.filePath(QString::fromUtf8("café/sync"));
    for (const QString &program : {picked, earlier})
        QVERIFY(copyRecorder(program));
    const int today = QDate::currentDate().dayOfWeek() - 1, other = (today + 3) % 7;
    QVERIFY(writeFile(kDayCodes[today] + QStringLiteral("9.dat"), "00:00\r\n" + earlier.toLatin1() + "\r\nHide\r\n" + kDayNames[today] + "\r\n"));

    platform::SystemProgramStarter starter;
    platform::XdgShortcutMaker shortcuts;
    FakePrompter prompter;
    prompter.answers = {platform::AnswerYes};
    Main main({starter, prompter, shortcuts});

    // Today and another day, 12 AM (so due at once; 12 is the hour the form
    // starts with), Hide: first the launcher itself, which would start the
    // list over and over, then the program.
    for (int i = 0; i < 7; ++i)
        main.Check1[i]->setChecked(i == today || i == other);
    Main::setListText(main.List1, "AM");
    Main::setListText(main.List4, "Hide");
    for (const QString &path : {kLauncher, picked}) {
        QVERIFY(main.Dir1->setPath(QFileInfo(path).absolutePath()));
        QTRY_VERIFY(main.File1->selectFile(QFileInfo(path).fileName()));
        main.Command1->click();
    }
    QVERIFY2(prompter.prompts().value(0).contains("it is Rendaro.exe"), qPrintable(prompter.prompts().value(0)));
    QCOMPARE(prompter.prompts().value(1), QStringLiteral("Program Picked, Next one Please"));
    const QByteArray entry = entryText("00:00", picked, "Hide", kDayNames[today]);
    QCOMPARE(readFile(kDayCodes[today] + main.Text4->text() + ".dat"), entry);
    QCOMPARE(QDir(work).entryList(QDir::Files).size(), 3);

    // Show List: brinol.com gathers on its own; today's button shows the entry.
    // (Which window shows when is test_gui's.)
    main.Command2->click();
    QTRY_VERIFY(readFile(kDayLists[today]).startsWith(entry));
    main.viewer()->dayButtons()[today]->click();
    QCOMPARE(main.viewer()->listArea()->lines(), (QStringList{"Time: 00:00", picked, "Run Style - Hide"}));
    main.viewer()->Command8->click();

    // Ready to Deploy..., Yes: the entry a desktop starts at the next logon.
    main.Command3->click();
    QCOMPARE(prompter.prompts().mid(2),
             (QStringList{" Want a short cut to your login (account)? Yes to your Login only, No to All users, Cancel to clear data list ",
                          "DATA FILES GENERATED and File copied to your Login Profile, Rendaro will be activated next time you log on"}));
    // The build and temporary folders' names need no quoting or escapes.
    QCOMPARE(readFile(config + "/autostart/Rendaro.desktop"),
             QString("[Desktop Entry]\nType=Application\nName=Rendaro\nExec=%1\nTryExec=%1\nPath=%2\n").arg(kLauncher, work).toUtf8());

    const QString log = root.filePath("started.txt");
    qputenv("RENDARO_TEST_LOG", QFile::encodeName(log));
    // The logon: the launcher stays for the session, until it is told to end.
    QProcess logon;
    logon.setWorkingDirectory(work);
    logon.start(kLauncher, {});
    QTRY_COMPARE(readRecords(log).size(), 1);
    logon.terminate();
    QVERIFY(logon.waitForFinished(10000));
    QCOMPARE(logon.readAllStandardError(), QByteArray());
    QCOMPARE(logon.exitCode(), 0);
    QStringList started;
    for (const QStringList &record : readRecords(log))
        started.append(record[0] + u' ' + record[3]);
    started.sort();
    QCOMPARE(started, QStringList{picked + " /dev/null"});
    QVERIFY(readFile("rendaro.log").contains(" started 00:00 Hide " + QFile::encodeName(picked) + " (process "));
    QVERIFY(readFile("rendaro.log").contains(" end of session (SIGTERM): 1 started, 0 not started"));

    // Reset/Clear List: zeptra.com clears the schedule, and nothing else.
    QVERIFY(writeFile("notes.dat"));
    main.Command5->click();
    QCOMPARE(prompter.shown.size(), 4); // no message of a failed start
    QTRY_COMPARE(QDir(work).entryList(QDir::Files), (QStringList{"notes.dat", "rendaro.log", "vellomar.lock"}));
}

QTEST_MAIN(TestTypicalRoad)
#include "test_typical_road.moc"
