#include "Launcher.h"
#include "Options.h"
#include "platform/Trust.h"
#include "Today.h"
#include "Waiting.h"
#include "support/Files.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace std::chrono_literals;
using rendaro::WaitOutcome;

namespace {

// A wall clock the test moves: every nap passes the time slept, plus any
// jump the test has planned for that nap (a suspend, a clock change).
class FakeClock : public rendaro::Clock
{
public:
    explicit FakeClock(QDateTime start) : m_now(std::move(start)) {}
    QDateTime now() override { return m_now; }
    void sleep(std::chrono::milliseconds span) override
    {
        naps.append(span);
        m_now = m_now.addMSecs(span.count());
        if (jumps.contains(naps.size()))
            m_now = m_now.addSecs(jumps.value(naps.size()));
        QVERIFY2(naps.size() < 100000, "the wait does not end");
    }

    QList<std::chrono::milliseconds> naps;
    QMap<qsizetype, qint64> jumps; // after the nth nap, seconds
private:
    QDateTime m_now;
};

QDateTime at(const char *text)
{
    return QDateTime::fromString(QString::fromLatin1(text), Qt::ISODate);
}

} // namespace

class TestRendaroUnits : public QObject
{
    Q_OBJECT
private slots:
    void waitUntil_data();
    void waitUntil();
    void dayEndsAtMidnightWithoutLateStarts();
    void parseAt_data();
    void parseAt();
    void trust_data();
    void trust();
    void trustsNoOtherOwner();
};

void TestRendaroUnits::waitUntil_data()
{
    QTest::addColumn<QDateTime>("start");
    QTest::addColumn<QDateTime>("target");
    QTest::addColumn<int>("jumpAfterNap"); // the clock jumps after that nap (0: never)
    QTest::addColumn<qint64>("jumpSeconds");
    QTest::addColumn<bool>("due");         // else the day ended at midnight
    QTest::addColumn<int>("naps");
    QTest::addColumn<QDateTime>("end");
    // Naps of at most a minute, re-reading the clock after each.
    QTest::newRow("an hour, a minute a nap") << at("2026-12-07T07:00:30") << at("2026-12-07T08:00:00") << 0
                                             << qint64(0) << true << 60 << at("2026-12-07T08:00:00");
    QTest::newRow("suspended three hours") << at("2026-12-07T07:00:00") << at("2026-12-07T08:00:00") << 3
                                           << qint64(3 * 3600) << true << 3 << at("2026-12-07T10:03:00");
    QTest::newRow("clock set back") << at("2026-12-07T07:58:00") << at("2026-12-07T08:00:00") << 1
                                    << qint64(-3600) << true << 62 << at("2026-12-07T08:00:00");
    QTest::newRow("already due") << at("2026-12-07T09:00:00") << at("2026-12-07T08:00:00") << 0 << qint64(0)
                                 << true << 0 << at("2026-12-07T09:00:00");
    // The target lies in the next day; the wait must not reach it.
    QTest::newRow("target after midnight") << at("2026-12-07T23:58:30") << at("2026-12-08T00:30:00") << 0
                                           << qint64(0) << false << 2 << at("2026-12-08T00:00:30");
    QTest::newRow("woken the next morning") << at("2026-12-07T22:00:00") << at("2026-12-07T23:45:00") << 1
                                            << qint64(5 * 3600) << false << 1 << at("2026-12-08T03:01:00");
}

void TestRendaroUnits::waitUntil()
{
    QFETCH(QDateTime, start);
    QFETCH(QDateTime, target);
    QFETCH(int, jumpAfterNap);
    QFETCH(qint64, jumpSeconds);
    QFETCH(bool, due);
    QFETCH(int, naps);
    QFETCH(QDateTime, end);
    FakeClock clock(start);
    if (jumpAfterNap)
        clock.jumps[jumpAfterNap] = jumpSeconds;
    QCOMPARE(rendaro::waitUntil(clock, target, QDate(2026, 12, 7)), due ? WaitOutcome::Due : WaitOutcome::Midnight);
    QCOMPARE(clock.now(), end);
    QCOMPARE(clock.naps.size(), naps);
    for (auto nap : clock.naps) {
        QVERIFY(nap > 0ms);
        QVERIFY(nap <= 60s);
    }
}

void TestRendaroUnits::dayEndsAtMidnightWithoutLateStarts()
{
    testing::WorkFolder work;
    QVERIFY(work.isValid());
    QVERIFY(testing::writeFile("datmon.dat", "23:45\r\n/nonexistent/late.exe\r\nNormal\r\nMonday\r\n"));

    FakeClock clock(at("2026-12-07T23:30:00"));
    clock.jumps[1] = 39 * 60; // suspended from 23:31 to 00:10
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    QCOMPARE(rendaro::runToday({}, clock, outStream, errStream), 0);
    QCOMPARE(out, QStringLiteral("Monday 2026-12-07 23:30: datmon.dat, 1 entries\n"
                                 "waiting until 23:45\n"
                                 "midnight: 1 entries not started today\n"));
    QCOMPARE(err, QString()); // no start was tried
    QCOMPARE(clock.naps.size(), 1);
}

void TestRendaroUnits::parseAt_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDateTime>("expected"); // invalid: refused
    QTest::newRow("minutes") << QStringLiteral("2026-12-07T07:15") << at("2026-12-07T07:15:00");
    QTest::newRow("seconds") << QStringLiteral("2026-12-07T07:14:58") << at("2026-12-07T07:14:58");
    QTest::newRow("blank instead of T") << QStringLiteral("2026-12-07 07:15") << QDateTime();
    QTest::newRow("hour 24") << QStringLiteral("2026-12-07T24:00") << QDateTime();
    QTest::newRow("31 November") << QStringLiteral("2026-11-31T07:00") << QDateTime();
    QTest::newRow("empty") << QString() << QDateTime();
}

void TestRendaroUnits::parseAt()
{
    QFETCH(QString, text);
    QFETCH(QDateTime, expected);
    const auto parsed = rendaro::parseAt(text);
    QCOMPARE(parsed.has_value(), expected.isValid());
    if (parsed) {
        QCOMPARE(*parsed, expected);
        QCOMPARE(parsed->timeSpec(), Qt::LocalTime);
    }
}

void TestRendaroUnits::trust_data()
{
    QTest::addColumn<bool>("folder");
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("trusted");
    QTest::newRow("file 0600") << false << 0600 << true;
    QTest::newRow("file 0644") << false << 0644 << true;
    QTest::newRow("file 0620 group may write") << false << 0620 << false;
    QTest::newRow("file 0602 others may write") << false << 0602 << false;
    QTest::newRow("folder 0700") << true << 0700 << true;
    QTest::newRow("folder 0775") << true << 0775 << false;
    QTest::newRow("folder 1777 like /tmp") << true << 01777 << false;
    QTest::newRow("folder 1770 group may write") << true << 01770 << false;
}

void TestRendaroUnits::trust()
{
    QFETCH(bool, folder);
    QFETCH(int, mode);
    QFETCH(bool, trusted);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("thing"));
    QVERIFY(folder ? QDir(dir.path()).mkdir(QStringLiteral("thing")) : testing::writeFile(path));
    QCOMPARE(::chmod(QFile::encodeName(path).constData(), mode_t(mode)), 0);
    const auto why = platform::untrustedBecause(path);
    QVERIFY2(why.has_value() != trusted, why ? qPrintable(*why) : "trusted");
    if (why)
        QVERIFY(why->contains(QStringLiteral("write")));
}

void TestRendaroUnits::trustsNoOtherOwner()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("datmon.dat"));
    QVERIFY(testing::writeFile(path));
    QVERIFY(!platform::untrustedBecause(path));
    if (::chown(QFile::encodeName(path).constData(), 65534, 65534) != 0)
        QSKIP("only root can give a file to another user");
    const auto why = platform::untrustedBecause(path);
    QVERIFY(why);
    QVERIFY2(why->contains(QStringLiteral("another user")), qPrintable(*why));
    QVERIFY(platform::untrustedBecause(dir.filePath(QStringLiteral("missing"))));
}

QTEST_GUILESS_MAIN(TestRendaroUnits)
#include "test_rendaro_units.moc"
