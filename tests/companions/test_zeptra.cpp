#include "companions/CompanionProcess.h"
#include "schedule/EntryFile.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace testing;

class TestZeptra : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY2(QFileInfo::exists(companionProgram("zeptra.com")), "set VELLOMAR_BIN_DIR"); }
    void removesExactlyTheCollectedData();
    void succeedsOnAnEmptyFolder();
    void refusesArguments();
};

void TestZeptra::removesExactlyTheCollectedData()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QStringList data{"Mon2.dat", "Tue10.dat", "Sun123456789.dat", "Wed7.dat", "datmon.dat", "dattue.dat",
                           "datwed.dat", "datthu.dat", "datfri.dat", "datsat.dat", "datsun.dat"};
    QStringList decoys{"notes.dat", "Mon01.dat", "Monday.dat", "datmon.dat.bak", "Mon0.dat", "Mon.dat",
                       "xWed7.dat", "Wed7.txt", "datmonday.dat", "dat.dat", "readme.1st"};
    if (schedule::fileNameCase() == Qt::CaseSensitive)
        decoys << "mon2.dat" << "DATMON.DAT" << "Wed7.DAT";
    // A bad entry file is still an entry file by its name and goes too.
    QVERIFY(writeBytes(dir.path(), "Thu3.dat", "not an entry"));
    for (const QString &name : data)
        QVERIFY(writeBytes(dir.path(), name, entryText("10:00", programPath("x"), "Normal", "Monday")));
    for (const QString &name : decoys)
        QVERIFY(writeBytes(dir.path(), name, "keep me"));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("Fri5.dat")));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
    QVERIFY(writeBytes(dir.path() + "/sub", "Mon2.dat", "in a subfolder"));

    const Finished run = runCompanion("zeptra.com", dir.path());
    QVERIFY(run.ran);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.err, QByteArray());

    QStringList left = QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    QStringList expected = decoys;
    expected << "Fri5.dat" << "sub";
    left.sort();
    expected.sort();
    QCOMPARE(left, expected);
    for (const QString &name : decoys)
        QCOMPARE(readBytes(dir.path(), name), QByteArray("keep me"));
    QVERIFY(exists(dir.path() + "/sub", "Mon2.dat"));
}

void TestZeptra::succeedsOnAnEmptyFolder()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const Finished run = runCompanion("zeptra.com", dir.path());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.err, QByteArray());
    QVERIFY(QDir(dir.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
}

void TestZeptra::refusesArguments()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(writeBytes(dir.path(), "Mon2.dat", entryText("10:00", programPath("x"), "Normal", "Monday")));
    const Finished refused = runCompanion("zeptra.com", dir.path(), {"--force"});
    QCOMPARE(refused.exitCode, 2);
    QVERIFY2(refused.err.startsWith("zeptra.com: ") && refused.err.contains("--force"), refused.err.constData());
    const Finished version = runCompanion("zeptra.com", dir.path(), {"--version"});
    QCOMPARE(version.exitCode, 0);
    QVERIFY(version.out.startsWith("zeptra.com "));
    QVERIFY(exists(dir.path(), "Mon2.dat"));
}

QTEST_GUILESS_MAIN(TestZeptra)
#include "test_zeptra.moc"
