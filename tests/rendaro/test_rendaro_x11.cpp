#include "LauncherRun.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

namespace {

struct TestWindow {
    QString program;
    qint64 pid = 0;
    QString window;
};

QList<TestWindow> readWindows(const QString &logFile)
{
    QList<TestWindow> windows;
    QFile file(logFile);
    if (!file.open(QIODevice::ReadOnly))
        return windows;
    for (const QByteArray &line : file.readAll().split('\n')) {
        const QList<QByteArray> f = line.split('\t');
        if (f.size() == 3)
            windows.append({QFile::decodeName(f[0]), f[1].toLongLong(), QString::fromLatin1(f[2])});
    }
    return windows;
}

// What xprop says of a window's state properties.
QString windowState(const QString &window)
{
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"), {QStringLiteral("-id"), window, QStringLiteral("_NET_WM_STATE"),
                                          QStringLiteral("WM_STATE")});
    xprop.waitForFinished();
    return QString::fromLocal8Bit(xprop.readAllStandardOutput());
}

bool maximized(const QString &state)
{
    return state.contains(QStringLiteral("_NET_WM_STATE_MAXIMIZED_VERT"))
           && state.contains(QStringLiteral("_NET_WM_STATE_MAXIMIZED_HORZ"));
}

bool iconic(const QString &state)
{
    return state.contains(QStringLiteral("window state: Iconic"));
}

} // namespace

class TestRendaroX11 : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void maxAndMinWindows();
    void cleanup();

private:
    QList<qint64> m_started;
};

void TestRendaroX11::initTestCase()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        QSKIP("needs an X11 display with a window manager (run under xvfb-run with openbox)");
}

void TestRendaroX11::cleanup()
{
    for (qint64 pid : m_started)
        ::kill(pid_t(pid), SIGTERM);
    m_started.clear();
}

void TestRendaroX11::maxAndMinWindows()
{
    QTemporaryDir work;
    const QString log = work.filePath(QStringLiteral("windows.txt"));
    const QString max = work.filePath(QStringLiteral("max/window"));
    const QString min = work.filePath(QStringLiteral("min/window"));
    const QString normal = work.filePath(QStringLiteral("normal/window"));
    for (const QString &path : {max, min, normal})
        QVERIFY(copyProgram("rendaro_test_window", path));
    // A program that never shows a window: the launcher gives up on it quietly.
    const QString windowless = work.filePath(QStringLiteral("windowless/recorder"));
    QVERIFY(copyProgram("rendaro_recorder", windowless));
    QVERIFY(writeDayList(work.filePath(QStringLiteral("datmon.dat")),
                         {QStringLiteral("08:00"), max, QStringLiteral("Max"), QStringLiteral("Monday"),
                          QStringLiteral("08:00"), min, QStringLiteral("Min"), QStringLiteral("Monday"),
                          QStringLiteral("08:00"), normal, QStringLiteral("Normal"), QStringLiteral("Monday"),
                          QStringLiteral("08:00"), windowless, QStringLiteral("Max"), QStringLiteral("Monday")}));

    QElapsedTimer timer;
    timer.start();
    const RunResult run = runLauncher(work.path(), {QStringLiteral("--at"), QStringLiteral("2026-12-07T09:00")}, log);
    qInfo("the launcher started four programs, maximized one window, minimized another and gave up on the windowless Max in %lld ms",
          timer.elapsed());
    QTRY_COMPARE(readWindows(log).size(), 3);
    QMap<QString, TestWindow> byProgram;
    for (const TestWindow &w : readWindows(log)) {
        byProgram.insert(w.program, w);
        m_started.append(w.pid);
    }
    QCOMPARE(run.err, QString());
    QCOMPARE(run.exitCode, 0);
    QTRY_COMPARE(readRecords(log).size(), 1);
    QCOMPARE(readRecords(log).first().program, windowless);

    QTRY_VERIFY2(maximized(windowState(byProgram[max].window)), qPrintable(windowState(byProgram[max].window)));
    QTRY_VERIFY2(iconic(windowState(byProgram[min].window)), qPrintable(windowState(byProgram[min].window)));
    QVERIFY(!iconic(windowState(byProgram[max].window)));
    QVERIFY(!maximized(windowState(byProgram[min].window)));
    const QString normalState = windowState(byProgram[normal].window);
    QVERIFY2(!maximized(normalState) && !iconic(normalState), qPrintable(normalState));
}

QTEST_GUILESS_MAIN(TestRendaroX11)
#include "test_rendaro_x11.moc"
