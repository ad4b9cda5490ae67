#include "app/Main.h"
#include "platform/SystemProgramStarter.h"
#include "schedule/DayTable.h"
#include "schedule/EntryFile.h"
#include "support/Fakes.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// A whole round with the real companion programs: entry files as a pick
// writes them, brinol.com gathers them, Reset starts zeptra.com, which
// clears them.
class TestResetEndToEnd : public QObject
{
    Q_OBJECT
private slots:
    void pickGatherReset();
};

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

} // namespace

void TestResetEndToEnd::pickGatherReset()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString binDir = qEnvironmentVariable("VELLOMAR_BIN_DIR");
    QVERIFY(QFileInfo::exists(binDir + QStringLiteral("/zeptra.com")));
    // The programs are found by bare name, as on an installed system.
    qputenv("PATH", (binDir + QDir::listSeparator() + qEnvironmentVariable("PATH")).toLocal8Bit());
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    auto restore = qScopeGuard([&] { QDir::setCurrent(previous); });

    // A pick of Monday and Thursday, 07:30 PM, Hide, entry number 2.
    const schedule::Entry monday{"19:30", "/opt/tools/sync", "Hide", "Monday"};
    const schedule::Entry thursday{"19:30", "/opt/tools/sync", "Hide", "Thursday"};
    QVERIFY(schedule::writeEntryFile(QStringLiteral("Mon2.dat"), monday).ok);
    QVERIFY(schedule::writeEntryFile(QStringLiteral("Thu2.dat"), thursday).ok);
    QFile notes(QStringLiteral("notes.dat"));
    QVERIFY(notes.open(QIODevice::WriteOnly));
    notes.close();

    QProcess brinol;
    brinol.setProgram(binDir + QStringLiteral("/brinol.com"));
    brinol.start();
    QVERIFY(brinol.waitForFinished(-1));
    QCOMPARE(brinol.exitCode(), 0);
    QCOMPARE(readAll(QStringLiteral("datmon.dat")), QByteArray("19:30\r\n/opt/tools/sync\r\nHide\r\nMonday\r\n"));
    QCOMPARE(readAll(QStringLiteral("datthu.dat")), QByteArray("19:30\r\n/opt/tools/sync\r\nHide\r\nThursday\r\n"));
    QCOMPARE(readAll(QStringLiteral("datwed.dat")), QByteArray());

    platform::SystemProgramStarter starter;
    FakePrompter prompter;
    FakeShortcutMaker shortcuts;
    Main main({starter, prompter, shortcuts});
    QTest::mouseClick(main.Command5, Qt::LeftButton);
    QVERIFY2(prompter.shown.isEmpty(), qPrintable(prompter.prompts().join(u'\n')));

    auto left = [] {
        return QDir::current().entryList(QDir::Files | QDir::Hidden, QDir::Name);
    };
    QTRY_COMPARE(left(), QStringList{QStringLiteral("notes.dat")});
}

QTEST_MAIN(TestResetEndToEnd)
#include "test_reset_end_to_end.moc"
