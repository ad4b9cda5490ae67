// A thousand picks in a row through the "Pick Program" handler, all seven
// days ticked each time: afterwards every entry file is there, each pick
// under a number of its own, each file whole and the right day's.

#include "app/Browser.h"
#include "app/Main.h"
#include "reliability/EntryOracle.h"
#include "support/Fakes.h"

#include <QCheckBox>
#include <QListWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <map>
#include <vector>

namespace {

constexpr int kPicks = 1000;

} // namespace

class TestManyPicks : public QObject
{
    Q_OBJECT
private slots:
    void thousandPicksAllDays();
};

void TestManyPicks::thousandPicksAllDays()
{
    QTemporaryDir work;
    QTemporaryDir programs;
    QVERIFY(work.isValid() && programs.isValid());
    QFile prog(programs.filePath(QStringLiteral("prog")));
    QVERIFY(prog.open(QIODevice::WriteOnly));
    const QString old = QDir::currentPath();
    QVERIFY(QDir::setCurrent(work.path()));
    auto restore = qScopeGuard([&] { QDir::setCurrent(old); });

    FakeServices fakes;
    Main main({fakes.starter, fakes.prompter, fakes.shortcuts});
    QVERIFY(main.Dir1->setPath(programs.path()));
    QTRY_VERIFY(main.File1->selectFile(QStringLiteral("prog")));
    const QByteArray path = (QDir(programs.path()).canonicalPath() + QStringLiteral("/prog")).toLatin1();

    // The first pick at start-up's 12:00 PM, Normal; every later one at what
    // the form is reset to after a pick: all days ticked, 12:00 AM, Normal.
    for (QCheckBox *box : main.Check1)
        box->setChecked(true);
    for (int i = 0; i < kPicks; ++i)
        main.Command1_Click();

    QCOMPARE(fakes.prompter.shown.size(), kPicks);
    for (const ShownMessage &m : fakes.prompter.shown)
        QCOMPARE(m.prompt, QStringLiteral("Program Picked, Next one Please"));

    // Every file has a pick number; each number carries all seven days.
    struct File {
        QString name;
        int day;
        qint64 number;
    };
    std::vector<File> found;
    std::map<qint64, int> daysOfNumber;
    const QStringList files = QDir(work.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    QCOMPARE(files.size(), kPicks * 7);
    for (const QString &name : files) {
        int day = -1;
        for (int d = 0; d < 7; ++d)
            if (name.startsWith(QString::fromLatin1(oracle::kDayCodes[d].data(), 3)))
                day = d;
        bool ok = false;
        const qint64 number = name.mid(3, name.size() - 7).toLongLong(&ok);
        QVERIFY2(day >= 0 && name.endsWith(QStringLiteral(".dat")) && ok && !name.mid(3).startsWith(u'0'),
                 qPrintable(name));
        daysOfNumber[number] |= 1 << day;
        found.push_back({name, day, number});
    }
    QCOMPARE(int(daysOfNumber.size()), kPicks);
    for (const auto &[number, days] : daysOfNumber)
        QVERIFY2(days == 0x7f, qPrintable(QString::number(number)));

    // Only the first pick was made at start-up's 12:00 PM.
    const qint64 first = daysOfNumber.begin()->first;
    for (const File &file : found) {
        QFile f(work.filePath(file.name));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray expected = QByteArray(file.number == first ? "12:00" : "00:00") + "\r\n" + path
            + "\r\nNormal\r\n"
            + QByteArray(oracle::kDayNames[file.day].data(), qsizetype(oracle::kDayNames[file.day].size())) + "\r\n";
        QVERIFY2(f.readAll() == expected, qPrintable(file.name));
    }
}

QTEST_MAIN(TestManyPicks)
#include "test_many_picks.moc"
