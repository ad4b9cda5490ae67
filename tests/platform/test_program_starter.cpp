// Where a bare program name is looked for, and what a start that fails says.
#include "platform/Paths.h"
#include "platform/SystemProgramStarter.h"
#include "support/Files.h"

#include <QtTest>

using platform::SystemProgramStarter;

namespace {

// A small shell program that leaves "ran" in the working folder.
void writeProgram(const QString &path)
{
    QVERIFY(testing::writeFile(path, "#!/bin/sh\necho ran > started.txt\n"));
    QVERIFY(QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther));
}

} // namespace

class TestProgramStarter : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void joinPath_data(); // the application folder itself: CheckPath on the main window
    void joinPath();
    void missingProgram();
    void applicationFolderFirst();
    void neverFromWorkingFolder();
    void foundOnPathAndStartedInTheWorkingFolder();
    void watchedEndReported_data();
    void watchedEndReported();

private:
    QByteArray m_oldPath;
    QString m_oldCurrent;
};

void TestProgramStarter::init()
{
    m_oldPath = qgetenv("PATH");
    m_oldCurrent = QDir::currentPath();
}

void TestProgramStarter::cleanup()
{
    qputenv("PATH", m_oldPath);
    QDir::setCurrent(m_oldCurrent);
}

void TestProgramStarter::joinPath_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<QString>("withSeparator");
    QTest::newRow("posix root") << "/" << QChar('/') << "/";
    QTest::newRow("posix folder") << "/opt/tools" << QChar('/') << "/opt/tools/";
    QTest::newRow("drive root") << "C:\\" << QChar('\\') << "C:\\";
    QTest::newRow("drive folder") << "C:\\TOOLS" << QChar('\\') << "C:\\TOOLS\\";
    QTest::newRow("already ends in one") << "D:\\Tools\\" << QChar('\\') << "D:\\Tools\\";
}

void TestProgramStarter::joinPath()
{
    QFETCH(QString, folder);
    QFETCH(QChar, separator);
    QFETCH(QString, withSeparator);
    QCOMPARE(platform::withTrailingSeparator(folder, separator), withSeparator);
    if (separator == platform::separator()) {
        QCOMPARE(platform::joinPath(folder, "setup.exe"), withSeparator + "setup.exe");
        QVERIFY(!platform::joinPath(folder, "setup.exe").contains(QString(2, separator)));
    }
}

void TestProgramStarter::missingProgram()
{
    SystemProgramStarter starter;
    const platform::StartResult result = starter.start("vellomar-no-such-program.com", platform::WindowStyle::Hidden);
    QVERIFY(!result.started);
    QVERIFY(!result.error.isEmpty());
    QVERIFY(SystemProgramStarter::findProgram("vellomar-no-such-program.com").isEmpty());
}

void TestProgramStarter::applicationFolderFirst()
{
#ifndef Q_OS_UNIX
    QSKIP("uses a shell program");
#else
    // A program of the same name as this test, earlier on the PATH.
    const QString name = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    QTemporaryDir onPath;
    writeProgram(onPath.filePath(name));
    qputenv("PATH", QFile::encodeName(onPath.path()) + ':' + m_oldPath);
    QCOMPARE(QFileInfo(SystemProgramStarter::findProgram(name)).canonicalFilePath(),
             QFileInfo(QCoreApplication::applicationFilePath()).canonicalFilePath());
#endif
}

void TestProgramStarter::neverFromWorkingFolder()
{
#ifndef Q_OS_UNIX
    QSKIP("uses a shell program");
#else
    QTemporaryDir work;
    writeProgram(work.filePath("vellomar-only-here"));
    QVERIFY(QDir::setCurrent(work.path()));
    // Empty, "." and relative PATH entries all mean the working folder.
    const QByteArray relative = QFile::encodeName(QFileInfo(work.path()).fileName());
    qputenv("PATH", ":.:" + relative + ":../" + relative + ':' + m_oldPath);
    QVERIFY(SystemProgramStarter::findProgram("vellomar-only-here").isEmpty());

    SystemProgramStarter starter;
    const platform::StartResult result = starter.start("vellomar-only-here", platform::WindowStyle::Hidden);
    QVERIFY(!result.started);
    QVERIFY(!result.error.isEmpty());
#endif
}

void TestProgramStarter::foundOnPathAndStartedInTheWorkingFolder()
{
#ifndef Q_OS_UNIX
    QSKIP("uses a shell program");
#else
    QTemporaryDir onPath;
    QTemporaryDir work;
    writeProgram(onPath.filePath("vellomar-probe-tool"));
    QVERIFY(testing::writeFile(onPath.filePath("vellomar-plain-file")));
    qputenv("PATH", "/nonexistent:" + QFile::encodeName(onPath.path()) + ':' + m_oldPath);
    QCOMPARE(SystemProgramStarter::findProgram("vellomar-probe-tool"), onPath.filePath("vellomar-probe-tool"));
    QVERIFY(SystemProgramStarter::findProgram("vellomar-plain-file").isEmpty());

    QVERIFY(QDir::setCurrent(work.path()));
    SystemProgramStarter starter;
    const platform::StartResult result = starter.start("vellomar-probe-tool", platform::WindowStyle::Hidden);
    QVERIFY2(result.started, qPrintable(result.error));
    // Not waited for: the program runs on beside the test.
    QTRY_VERIFY(QFile::exists(work.filePath("started.txt")));
    QTRY_COMPARE(QFileInfo(work.filePath("started.txt")).size(), qint64(4));
#endif
}

void TestProgramStarter::watchedEndReported_data()
{
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<bool>("succeeded");
    QTest::newRow("ends well") << "true readme.1st" << true;
    QTest::newRow("ends in failure") << "false readme.1st" << false;
    // The desktop's opener on a machine with no program for text files.
    QTest::newRow("opener without a program") << platform::textEditor() + " readme.1st" << false;
}

void TestProgramStarter::watchedEndReported()
{
    QFETCH(QString, commandLine);
    QFETCH(bool, succeeded);
#ifdef Q_OS_UNIX
    const QString program = commandLine.left(commandLine.indexOf(u' '));
    QVERIFY2(!SystemProgramStarter::findProgram(program).isEmpty(), qPrintable(program + " is not installed"));
    QTemporaryDir work;
    QVERIFY(testing::writeFile(work.filePath("readme.1st"), "read me\n"));
    QVERIFY(QDir::setCurrent(work.path()));
    // The test's environment has no desktop, no data folders that set up a
    // program for text files, and no browser for the opener's last resort.
    SystemProgramStarter starter;
    QList<bool> ends;
    const platform::StartResult result = starter.startWatched(commandLine, platform::WindowStyle::NormalFocus,
                                                              [&](bool ok) { ends.append(ok); });
    QVERIFY2(result.started, qPrintable(result.error));
    // Not waited for: the end arrives later, through the event loop.
    QVERIFY(ends.isEmpty());
    QTRY_COMPARE(ends, QList<bool>{succeeded});
#endif
}

QTEST_GUILESS_MAIN(TestProgramStarter)
#include "test_program_starter.moc"
