// Where a bare program name is looked for, how it is started, and how the
// end of a watched program is reported.
#include "platform/SystemProgramStarter.h"
#include "support/Files.h"

#include <QtTest>

using platform::SystemProgramStarter;

namespace {

// A shell program that leaves the file "ran" in its working folder.
bool writeProgram(const QString &path)
{
    return testing::writeFile(path, "#!/bin/sh\necho ran > ran\n")
           && QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

} // namespace

class TestProgramStarter : public QObject
{
    Q_OBJECT
private slots:
    void lookup_data();
    void lookup();
    void watchedEnd_data();
    void watchedEnd();
};

void TestProgramStarter::lookup_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("path"); // PATH; "W" stands for the working folder's name
    QTest::addColumn<QString>("found");   // "app", "path" or "" for none

    // The application folder comes first: a program of this test's own name elsewhere is not taken.
    QTest::newRow("application folder first") << "test_program_starter" << QByteArray("/tmp/P") << "app";
    QTest::newRow("on the PATH") << "probe" << QByteArray("/nonexistent:/tmp/P") << "path";
    // Empty, "." and relative PATH entries all mean the working folder.
    QTest::newRow("never the working folder") << "here" << QByteArray(":.:W:../W") << "";
    QTest::newRow("not a program") << "plain" << QByteArray("/tmp/P") << "";
    QTest::newRow("nowhere") << "vellomar-no-such-program.com" << QByteArray("/tmp/P") << "";
}

void TestProgramStarter::lookup()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, path);
    QFETCH(QString, found);
    QTemporaryDir onPath;
    testing::WorkFolder work;
    for (const QString &program : {onPath.filePath("probe"), onPath.filePath("test_program_starter"), work.filePath("here")})
        QVERIFY(writeProgram(program));
    QVERIFY(testing::writeFile(onPath.filePath("plain")));
    const QByteArray saved = qgetenv("PATH");
    auto restore = qScopeGuard([&saved] { qputenv("PATH", saved); });
    qputenv("PATH", path.replace("/tmp/P", QFile::encodeName(onPath.path()))
                        .replace("W", QFile::encodeName(QFileInfo(work.path()).fileName())));
    const QString expected = found == "app" ? QCoreApplication::applicationFilePath()
                                            : found == "path" ? onPath.filePath(name) : QString();
    QCOMPARE(SystemProgramStarter::findProgram(name), expected);
    SystemProgramStarter starter;
    const platform::StartResult result = starter.start(name, platform::WindowStyle::Hidden);
    QCOMPARE(result.started, !found.isEmpty());
    QCOMPARE(result.error.isEmpty(), result.started);
    if (found == "path") // not waited for; started in the working folder
        QTRY_COMPARE(testing::readFile(work.filePath("ran")), QByteArray("ran\n"));
}

void TestProgramStarter::watchedEnd_data()
{
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<bool>("succeeded");
    QTest::newRow("ends well") << "true readme.1st" << true;
    QTest::newRow("ends in failure") << "false readme.1st" << false;
    // The desktop's opener on a machine with no program for text files.
    QTest::newRow("opener without a program") << "xdg-open readme.1st" << false;
}

void TestProgramStarter::watchedEnd()
{
    QFETCH(QString, commandLine);
    QFETCH(bool, succeeded);
    testing::WorkFolder work;
    QVERIFY(testing::writeFile("readme.1st", "read me\n"));
    SystemProgramStarter starter;
    QList<bool> ends;
    const platform::StartResult result =
        starter.startWatched(commandLine, platform::WindowStyle::NormalFocus, [&](bool ok) { ends.append(ok); });
    QVERIFY2(result.started, qPrintable(result.error));
    QVERIFY(ends.isEmpty()); // not waited for: the end arrives through the event loop
    QTRY_COMPARE(ends, QList<bool>{succeeded});
}

QTEST_GUILESS_MAIN(TestProgramStarter)
#include "test_program_starter.moc"
