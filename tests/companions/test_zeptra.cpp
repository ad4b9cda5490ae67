// zeptra.com, the built program, in a temporary working folder.
#include "schedule/EntryFile.h"
#include "support/Files.h"
#include "support/Run.h"

#include <QtTest>

using namespace testing;

class TestZeptra : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY2(QFileInfo::exists(builtProgram("zeptra.com")), "set VELLOMAR_BIN_DIR"); }
    void removesExactlyTheCollectedData();
    void refusesArguments();
};

void TestZeptra::removesExactlyTheCollectedData()
{
    WorkFolder dir;
    QVERIFY(dir.isValid());
    // Nothing to clear is no failure.
    const Finished empty = run(builtProgram("zeptra.com"));
    QCOMPARE(empty.exitCode, 0);
    QCOMPARE(empty.err, QByteArray());
    QVERIFY(dir.names().isEmpty());

    const QStringList data{"Mon2.dat", "Tue10.dat", "Sun123456789.dat", "Wed7.dat", "datmon.dat", "dattue.dat",
                           "datwed.dat", "datthu.dat", "datfri.dat", "datsat.dat", "datsun.dat"};
    QStringList decoys{"notes.dat", "Mon01.dat", "Monday.dat", "datmon.dat.bak", "Mon0.dat", "Mon.dat",
                       "xWed7.dat", "Wed7.txt", "datmonday.dat", "dat.dat", "readme.1st"};
    if (schedule::fileNameCase() == Qt::CaseSensitive)
        decoys << "mon2.dat" << "DATMON.DAT" << "Wed7.DAT";
    // A bad entry file is still an entry file by its name and goes too.
    QVERIFY(writeFile("Thu3.dat", "not an entry"));
    for (const QString &name : data)
        QVERIFY(writeFile(name, entryText("10:00", programPath("x"), "Normal", "Monday")));
    for (const QString &name : decoys)
        QVERIFY(writeFile(name, "keep me"));
    QVERIFY(QDir().mkdir(QStringLiteral("Fri5.dat")));
    QVERIFY(writeFile("sub/Mon2.dat", "in a subfolder"));

    const Finished cleared = run(builtProgram("zeptra.com"));
    QVERIFY(cleared.ran);
    QCOMPARE(cleared.exitCode, 0);
    QCOMPARE(cleared.err, QByteArray());

    QStringList expected = decoys;
    expected << "Fri5.dat" << "sub";
    expected.sort();
    QCOMPARE(dir.names(), expected);
    for (const QString &name : decoys)
        QCOMPARE(readFile(name), QByteArray("keep me"));
    QVERIFY(QFileInfo::exists("sub/Mon2.dat"));
}

void TestZeptra::refusesArguments()
{
    WorkFolder dir;
    QVERIFY(dir.isValid());
    QVERIFY(writeFile("Mon2.dat", entryText("10:00", programPath("x"), "Normal", "Monday")));
    const Finished refused = run(builtProgram("zeptra.com"), {"--force"});
    QCOMPARE(refused.exitCode, 2);
    QVERIFY2(refused.err.startsWith("zeptra.com: ") && refused.err.contains("--force"), refused.err.constData());
    const Finished version = run(builtProgram("zeptra.com"), {"--version"});
    QCOMPARE(version.exitCode, 0);
    QVERIFY(version.out.startsWith("zeptra.com "));
    QVERIFY(QFileInfo::exists("Mon2.dat"));
}

QTEST_GUILESS_MAIN(TestZeptra)
#include "test_zeptra.moc"
