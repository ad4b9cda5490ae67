// A whole round with the real companion programs: entry files as a pick
// writes them, brinol.com gathers them, Reset starts zeptra.com, which
// clears them.
#include "app/Main.h"
#include "platform/SystemProgramStarter.h"
#include "schedule/EntryFile.h"
#include "support/Fakes.h"
#include "support/Files.h"
#include "support/Run.h"

#include <QPushButton>
#include <QtTest>

using namespace testing;

class TestResetEndToEnd : public QObject
{
    Q_OBJECT
private slots:
    void pickGatherReset();
};

void TestResetEndToEnd::pickGatherReset()
{
    WorkFolder dir;
    QVERIFY(dir.isValid());
    const QString binDir = qEnvironmentVariable("VELLOMAR_BIN_DIR");
    QVERIFY(QFileInfo::exists(builtProgram("zeptra.com")));
    // The programs are found by bare name, as on an installed system.
    qputenv("PATH", (binDir + QDir::listSeparator() + qEnvironmentVariable("PATH")).toLocal8Bit());

    // A pick of Monday and Thursday, 07:30 PM, Hide, entry number 2.
    QVERIFY(schedule::writeEntryFile("Mon2.dat", {"19:30", "/opt/tools/sync", "Hide", "Monday"}).ok);
    QVERIFY(schedule::writeEntryFile("Thu2.dat", {"19:30", "/opt/tools/sync", "Hide", "Thursday"}).ok);
    QVERIFY(writeFile("notes.dat"));

    const Finished brinol = run(builtProgram("brinol.com"));
    QCOMPARE(brinol.exitCode, 0);
    QCOMPARE(readFile("datmon.dat"), entryText("19:30", "/opt/tools/sync", "Hide", "Monday"));
    QCOMPARE(readFile("datthu.dat"), entryText("19:30", "/opt/tools/sync", "Hide", "Thursday"));
    QCOMPARE(readFile("datwed.dat"), QByteArray(""));

    platform::SystemProgramStarter starter;
    FakePrompter prompter;
    FakeShortcutMaker shortcuts;
    Main main({starter, prompter, shortcuts});
    QTest::mouseClick(main.Command5, Qt::LeftButton);
    QVERIFY2(prompter.shown.isEmpty(), qPrintable(prompter.prompts().join(u'\n')));
    QTRY_COMPARE(dir.names(), QStringList{QStringLiteral("notes.dat")});
}

QTEST_MAIN(TestResetEndToEnd)
#include "test_reset_end_to_end.moc"
