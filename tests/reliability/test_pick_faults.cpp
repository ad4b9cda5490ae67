// Pick Program when the entry files cannot be written: under a write limit
// cut at every size that matters, and in a read-only folder, the user gets
// the message, no partial or temporary file is left, the files already
// written are whole, and the same pick works once writing works again.

#include "app/Browser.h"
#include "app/Main.h"
#include "reliability/EntryOracle.h"
#include "support/Fakes.h"
#include "support/FileSizeLimit.h"

#include <QCheckBox>
#include <QListWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

#include <memory>

namespace {

const QString kPicked = QStringLiteral("Program Picked, Next one Please");

} // namespace

class TestPickFaults : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void writeLimit_data();
    void writeLimit();
    void readOnlyFolder();

private:
    void pickAllDaysAt(const QString &hour, const QString &amPm, const QString &style);
    // The entry files of the working folder and anything else in it.
    QStringList workFiles() const;
    QByteArray entryText(int day) const;

    std::unique_ptr<FakeServices> m_fakes;
    std::unique_ptr<Main> m_main;
    std::unique_ptr<QTemporaryDir> m_work;
    std::unique_ptr<QTemporaryDir> m_programs;
    QString m_oldCurrent;
    QString m_program;
};

void TestPickFaults::init()
{
    m_oldCurrent = QDir::currentPath();
    m_work = std::make_unique<QTemporaryDir>();
    m_programs = std::make_unique<QTemporaryDir>();
    QVERIFY(m_work->isValid() && m_programs->isValid());
    QFile program(m_programs->filePath(QStringLiteral("prog")));
    QVERIFY(program.open(QIODevice::WriteOnly));
    m_program = QDir(m_programs->path()).canonicalPath() + QStringLiteral("/prog");
    QVERIFY(QDir::setCurrent(m_work->path()));
    m_fakes = std::make_unique<FakeServices>();
    m_main = std::make_unique<Main>(MainServices{m_fakes->starter, m_fakes->prompter, m_fakes->shortcuts});
    QVERIFY(m_main->Dir1->setPath(m_programs->path()));
    QTRY_VERIFY(m_main->File1->selectFile(QStringLiteral("prog")));
}

void TestPickFaults::cleanup()
{
    m_main.reset();
    QDir::setCurrent(m_oldCurrent);
    if (m_work)
        QFile::setPermissions(m_work->path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    m_work.reset();
    m_programs.reset();
    m_fakes.reset();
}

void TestPickFaults::pickAllDaysAt(const QString &hour, const QString &amPm, const QString &style)
{
    for (QCheckBox *box : m_main->Check1)
        box->setChecked(true);
    Main::setListText(m_main->List2, hour);
    Main::setListText(m_main->List3, QStringLiteral("30"));
    Main::setListText(m_main->List1, amPm);
    Main::setListText(m_main->List4, style);
    m_main->Command1_Click();
}

QStringList TestPickFaults::workFiles() const
{
    return QDir(m_work->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                          QDir::Name);
}

// An entry of the pick "07 : 30 PM, Hide" for one day, spelled out.
QByteArray TestPickFaults::entryText(int day) const
{
    return "19:30\r\n" + m_program.toLatin1() + "\r\nHide\r\n"
        + QByteArray(oracle::kDayNames[day].data(), qsizetype(oracle::kDayNames[day].size())) + "\r\n";
}

void TestPickFaults::writeLimit_data()
{
    // The seven files differ only in the day line: Monday, Friday and
    // Sunday are the shortest, then Tuesday, then Thursday and Saturday,
    // then Wednesday. Writing stops at the first file that does not fit.
    QTest::addColumn<int>("extra");   // bytes over the size of the Monday file; -1000: nothing fits
    QTest::addColumn<int>("written"); // days written, from Monday on
    QTest::newRow("no byte") << -1000 << 0;
    QTest::newRow("one byte short of Monday") << -1 << 0;
    QTest::newRow("Monday fits, Tuesday does not") << 0 << 1;
    QTest::newRow("Tuesday fits, Wednesday does not") << 1 << 2;
    QTest::newRow("Thursday would fit, Wednesday does not") << 2 << 2;
    QTest::newRow("everything fits") << 3 << 7;
}

void TestPickFaults::writeLimit()
{
#ifndef Q_OS_UNIX
    QSKIP("needs RLIMIT_FSIZE");
#else
    QFETCH(int, extra);
    QFETCH(int, written);
    const qint64 limit = std::max<qint64>(0, entryText(0).size() + extra);
    {
        FileSizeLimit fsize(limit);
        QVERIFY(fsize.ok());
        pickAllDaysAt(QStringLiteral("07"), QStringLiteral("PM"), QStringLiteral("Hide"));
    }
    QCOMPARE(m_fakes->prompter.shown.size(), 1);
    const QString prompt = m_fakes->prompter.shown.first().prompt;

    QStringList expected;
    for (int d = 0; d < written; ++d)
        expected.append(QString::fromLatin1(oracle::kDayCodes[d].data(), 3) + QStringLiteral("2.dat"));
    expected.sort();
    QCOMPARE(workFiles(), expected); // nothing partial, nothing temporary
    for (int d = 0; d < written; ++d) {
        QFile f(QString::fromLatin1(oracle::kDayCodes[d].data(), 3) + QStringLiteral("2.dat"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), entryText(d));
    }
    if (written == 7) {
        QCOMPARE(prompt, kPicked);
        return;
    }
    QVERIFY2(!prompt.contains(kPicked), qPrintable(prompt));
    const QString failed = QString::fromLatin1(oracle::kDayCodes[written].data(), 3) + QStringLiteral("2.dat");
    QVERIFY2(prompt.contains(failed), qPrintable(prompt));
    // The form keeps the pick for a retry.
    QCOMPARE(Main::listText(m_main->List1), QStringLiteral("PM"));
    QCOMPARE(Main::listText(m_main->List4), QStringLiteral("Hide"));

    // Without the limit the same pick goes through, under a number of its own.
    m_main->Command1_Click();
    QCOMPARE(m_fakes->prompter.prompts().last(), kPicked);
    QCOMPARE(workFiles().size(), written + 7);
#endif
}

void TestPickFaults::readOnlyFolder()
{
    if (::geteuid() == 0)
        QSKIP("root writes into read-only folders");
    QVERIFY(QFile::setPermissions(m_work->path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    pickAllDaysAt(QStringLiteral("07"), QStringLiteral("PM"), QStringLiteral("Hide"));
    QCOMPARE(m_fakes->prompter.shown.size(), 1);
    const QString prompt = m_fakes->prompter.shown.first().prompt;
    QVERIFY2(!prompt.contains(kPicked) && prompt.contains(QStringLiteral("Mon2.dat")), qPrintable(prompt));
    QCOMPARE(workFiles(), QStringList());
}

QTEST_MAIN(TestPickFaults)
#include "test_pick_faults.moc"
