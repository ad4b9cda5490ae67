// Pick Program on the real main window: the entry files it leaves in the
// working folder, byte for byte, and what the user is told.
#include "app/Browser.h"
#include "app/Main.h"
#include "platform/Paths.h"
#include "support/Fakes.h"
#include "support/FileSizeLimit.h"
#include "support/Files.h"

#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include <cerrno>
#include <cstring>
#include <memory>

namespace {

const QString kPicked = QStringLiteral("Program Picked, Next one Please");
const QString kNoFile = QStringLiteral("You didn't select any file, please make a selection");

} // namespace

using namespace testing;

class TestPickProgram : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void counterAndFiles_data();
    void counterAndFiles();
    void programAtRoot();
    void nothingWritten_data();
    void nothingWritten();
    void earlierRunSurvivesTwoPicksInARow();
    void folderNotWritable();
    void stopsAtFirstFailedFile();

private:
    // A main window whose browser shows the programs folder with `file` selected.
    void openMain(const QString &folder, const QString &file);
    void tickOnly(const QList<int> &days);
    QStringList workFiles() const { return m_work->names(); }
    void verifyNotReset(const QString &hour, const QString &minute, const QString &amPm, const QString &style);

    std::unique_ptr<FakeServices> m_fakes;
    std::unique_ptr<Main> m_main;
    std::unique_ptr<testing::WorkFolder> m_work;
    std::unique_ptr<QTemporaryDir> m_programs;
    QString m_program; // the full path a pick of "prog" writes
};

void TestPickProgram::init()
{
    m_work = std::make_unique<testing::WorkFolder>();
    m_programs = std::make_unique<QTemporaryDir>();
    QVERIFY(m_work->isValid() && m_programs->isValid());
    QVERIFY(testing::writeFile(m_programs->filePath("prog")));
    m_program = QDir::toNativeSeparators(QDir(m_programs->path()).canonicalPath() + "/prog");
    m_fakes = std::make_unique<FakeServices>();
}

void TestPickProgram::cleanup()
{
    m_main.reset();
    m_work.reset();
    m_programs.reset();
    m_fakes.reset();
}

void TestPickProgram::openMain(const QString &folder, const QString &file)
{
    m_main = std::make_unique<Main>(MainServices{m_fakes->starter, m_fakes->prompter, m_fakes->shortcuts});
    QVERIFY(m_main->Dir1->setPath(folder));
    QTRY_VERIFY(m_main->File1->selectFile(file));
    QCOMPARE(m_main->File1->fileName(), file);
}

void TestPickProgram::tickOnly(const QList<int> &days)
{
    for (QCheckBox *box : m_main->Check1)
        box->setChecked(false);
    for (int i : days)
        m_main->Check1[i]->setChecked(true);
}

void TestPickProgram::verifyNotReset(const QString &hour, const QString &minute, const QString &amPm,
                                     const QString &style)
{
    QCOMPARE(Main::listText(m_main->List2), hour);
    QCOMPARE(Main::listText(m_main->List3), minute);
    QCOMPARE(Main::listText(m_main->List1), amPm);
    QCOMPARE(Main::listText(m_main->List4), style);
}

void TestPickProgram::counterAndFiles_data()
{
    QTest::addColumn<QString>("counter");
    QTest::addColumn<QList<int>>("days");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QStringList>("choices"); // hour, minute, AM/PM, run style
    QTest::addColumn<QString>("timeLine");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("file");
    QTest::newRow("only Sunday, 07 PM") << "1" << QList<int>{6} << "8" << QStringList{"07", "30", "PM", "Hide"}
                                        << "19:30" << "Hide" << "prog";
    QTest::newRow("Monday and Thursday, 12 AM") << "5" << QList<int>{0, 3} << "6"
                                                << QStringList{"12", "30", "AM", "Normal"} << "00:30" << "Normal" << "prog";
    QTest::newRow("Thursday first, 01 AM") << "1" << QList<int>{3, 5} << "5"
                                           << QStringList{"01", "15", "AM", "Minimize"} << "01:15" << "Min" << "prog";
    QTest::newRow("Wednesday, 09 AM") << "1" << QList<int>{2} << "4" << QStringList{"09", "45", "AM", "Maximize"}
                                      << "09:45" << "Max" << "prog";
    QTest::newRow("all seven, 12 PM") << "1" << QList<int>{0, 1, 2, 3, 4, 5, 6} << "2"
                                      << QStringList{"12", "00", "PM", "Hide"} << "12:00" << "Hide" << "prog";
    QTest::newRow("large counter, 11 PM") << "99" << QList<int>{1} << "101"
                                          << QStringList{"11", "45", "PM", "Minimize"} << "23:45" << "Min" << "prog";
    // A name beyond Latin-1, as the user's locale writes it.
    QTest::newRow("name in UTF-8") << "1" << QList<int>{4} << "6" << QStringList{"12", "00", "PM", "Normal"} << "12:00"
                                  << "Normal" << QString::fromUtf8("łukasz 日本 é.exe");
}

void TestPickProgram::counterAndFiles()
{
    QFETCH(QString, counter);
    QFETCH(QList<int>, days);
    QFETCH(QString, after);
    QFETCH(QStringList, choices);
    QFETCH(QString, timeLine);
    QFETCH(QString, code);
    QFETCH(QString, file);
    QVERIFY(testing::writeFile(m_programs->filePath(file)));
    const QString program = QDir::toNativeSeparators(QDir(m_programs->path()).canonicalPath() + u'/' + file);
    openMain(m_programs->path(), file);
    m_main->Text4->setText(counter);
    tickOnly(days);
    Main::setListText(m_main->List2, choices[0]);
    Main::setListText(m_main->List3, choices[1]);
    Main::setListText(m_main->List1, choices[2]);
    Main::setListText(m_main->List4, choices[3]);

    m_main->Command1->click();

    QCOMPARE(m_main->Text4->text(), after);
    QStringList expected;
    for (int i : days) {
        const QString name = kDayCodes[i] + after + ".dat";
        expected.append(name);
        QCOMPARE(readFile(name), entryText(timeLine, program, code, kDayNames[i]));
    }
    expected.sort();
    QCOMPARE(workFiles(), expected);

    QCOMPARE(m_fakes->prompter.prompts(), QStringList{kPicked});
    QCOMPARE(m_fakes->prompter.shown.first().buttons, platform::Buttons::Ok);
    QCOMPARE(m_main->Text1->text(), program);
    QCOMPARE(m_main->Text3->text(), timeLine.left(2));
    // Reset for the next pick.
    for (QCheckBox *box : m_main->Check1)
        QVERIFY(box->isChecked());
    verifyNotReset("12", "00", "AM", "Normal");
    QCOMPARE(m_main->File1->fileName(), file);
    QCOMPARE(m_main->Dir1->path(), QDir::toNativeSeparators(QDir(m_programs->path()).canonicalPath()));
}

void TestPickProgram::programAtRoot()
{
    // Only a root folder that already holds a file will do: the test writes
    // nothing outside its own folders.
    const QString root = QDir::rootPath();
    const QStringList files = QDir(root).entryList(QDir::Files | QDir::Readable, QDir::Name);
    if (files.isEmpty())
        QSKIP("the root folder holds no file to pick");
    openMain(root, files.first());
    tickOnly({0});
    m_main->Command1->click();

    const QString expected = QDir::toNativeSeparators(root) + files.first();
    QCOMPARE(m_main->Text1->text(), expected);
    QVERIFY(!expected.contains(QString(2, QDir::separator())));
    QCOMPARE(readFile("Mon2.dat"), entryText("12:00", expected, "Normal", "Monday"));
}

void TestPickProgram::nothingWritten_data()
{
    QTest::addColumn<QString>("file"); // empty: none selected
    QTest::addColumn<QList<int>>("days");
    QTest::addColumn<QString>("prompt"); // the one message, exactly
    QTest::addColumn<QStringList>("mentions"); // or what the one message mentions
    QTest::addColumn<QString>("counter"); // empty: not checked
    QTest::newRow("no day ticked") << "prog" << QList<int>{} << QString() << QStringList{} << "8";
    QTest::newRow("no file selected") << "" << QList<int>{3} << kNoFile << QStringList{} << "5";
#ifdef Q_OS_WIN
    const QString noEightBit = QString::fromUtf8("tool\u0100.exe");
    QTest::newRow("path without an 8-bit form")
        << noEightBit << QList<int>{0, 1} << QString() << QStringList{noEightBit, QString::fromUtf8("\u0100")} << "";
#endif
    // A line break would split the entry into other lines.
    QTest::newRow("name with line breaks") << "x\nNormal\r\nMonday" << QList<int>{0} << QString()
                                           << QStringList{"x\\nNormal\\r\\nMonday", "control character"} << "";
    // Others may change the program: the launcher would not start it.
    QTest::newRow("program others may change") << "shared" << QList<int>{0} << QString()
                                               << QStringList{"Rendaro would not start", "(mode 0666)"} << "";
}

void TestPickProgram::nothingWritten()
{
    QFETCH(QString, file);
    QFETCH(QList<int>, days);
    QFETCH(QString, prompt);
    QFETCH(QStringList, mentions);
    QFETCH(QString, counter);
    if (!file.isEmpty())
        QVERIFY(testing::writeFile(m_programs->filePath(file)));
    if (file == "shared")
        QVERIFY(QFile::setPermissions(m_programs->filePath(file), QFileDevice::Permissions(0x6666)));
    openMain(m_programs->path(), file.isEmpty() ? QStringLiteral("prog") : file);
    if (file.isEmpty()) {
        m_main->File1->clearSelection();
        QVERIFY(m_main->File1->fileName().isEmpty());
    }
    tickOnly(days);
    Main::setListText(m_main->List2, "07");
    Main::setListText(m_main->List4, "Hide");

    m_main->Command1->click();

    if (!counter.isEmpty())
        QCOMPARE(m_main->Text4->text(), counter);
    QVERIFY(workFiles().isEmpty());
    QCOMPARE(m_fakes->prompter.shown.size(), prompt.isEmpty() && mentions.isEmpty() ? 0 : 1);
    if (!prompt.isEmpty())
        QCOMPARE(m_fakes->prompter.shown.first().prompt, prompt);
    for (const QString &word : mentions)
        QVERIFY2(m_fakes->prompter.shown.first().prompt.contains(word), qPrintable(m_fakes->prompter.shown.first().prompt));
    for (const ShownMessage &m : m_fakes->prompter.shown)
        QCOMPARE(m.buttons, platform::Buttons::Ok);
    // The form is not reset.
    verifyNotReset("07", "00", "PM", "Hide");
    for (int i = 0; i < 7; ++i)
        QCOMPARE(m_main->Check1[i]->isChecked(), days.contains(i));
}

void TestPickProgram::earlierRunSurvivesTwoPicksInARow()
{
    const QByteArray earlier = entryText("08:15", "/earlier/run", "Min", "Monday");
    QVERIFY(testing::writeFile("Mon2.dat", earlier));

    openMain(m_programs->path(), "prog");
    tickOnly({0, 1});
    m_main->Command1->click();

    // Tue2.dat was free, but the files of one pick share their number.
    QCOMPARE(m_main->Text4->text(), QStringLiteral("3"));
    QCOMPARE(readFile("Mon2.dat"), earlier);
    QCOMPARE(readFile("Mon3.dat"), entryText("12:00", m_program, "Normal", "Monday"));
    QCOMPARE(readFile("Tue3.dat"), entryText("12:00", m_program, "Normal", "Tuesday"));
    QCOMPARE(workFiles(), (QStringList{"Mon2.dat", "Mon3.dat", "Tue3.dat"}));
    QCOMPARE(m_fakes->prompter.prompts(), QStringList{kPicked});

    // The next pick, on the form as the first left it (every day, 12 AM,
    // Normal): the raised counter carries on from there.
    m_main->Command1->click();
    QCOMPARE(m_main->Text4->text(), QStringLiteral("4"));
    QStringList expected{"Mon2.dat", "Mon3.dat", "Tue3.dat"};
    for (int i = 0; i < 7; ++i) {
        expected.append(kDayCodes[i] + QStringLiteral("4.dat"));
        QCOMPARE(readFile(expected.last()), entryText("00:00", m_program, "Normal", kDayNames[i]));
    }
    expected.sort();
    QCOMPARE(workFiles(), expected);
    QCOMPARE(m_fakes->prompter.prompts(), (QStringList{kPicked, kPicked}));
}

void TestPickProgram::folderNotWritable()
{
#ifndef Q_OS_LINUX
    QSKIP("needs a folder in which even root cannot create files");
#else
    // No one, root included, can create a file in /proc.
    QFile probe(QStringLiteral("/proc/vellomar-probe"));
    if (probe.open(QIODevice::WriteOnly))
        QSKIP("/proc takes new files here");
    openMain(m_programs->path(), "prog");
    QVERIFY(QDir::setCurrent(QStringLiteral("/proc")));
    tickOnly({0, 4});
    Main::setListText(m_main->List1, "AM");
    Main::setListText(m_main->List4, "Hide");

    m_main->Command1->click();

    QCOMPARE(m_fakes->prompter.shown.size(), 1);
    const QString prompt = m_fakes->prompter.shown.first().prompt;
    QVERIFY2(prompt.contains(QStringLiteral("/proc/Mon2.dat")), qPrintable(prompt));
    QVERIFY2(prompt.contains(QStringLiteral("No entry file of this pick was written")), qPrintable(prompt));
    QVERIFY(!prompt.contains(kPicked));
    QVERIFY(!QFileInfo::exists(QStringLiteral("/proc/Mon2.dat")));
    verifyNotReset("12", "00", "AM", "Hide");
    QVERIFY(!m_main->Check1[1]->isChecked());

    // Once the user is back in a folder that takes files, the same pick works.
    QVERIFY(QDir::setCurrent(m_work->path()));
    m_main->Command1->click();
    QCOMPARE(workFiles(), (QStringList{"Fri3.dat", "Mon3.dat"}));
    QCOMPARE(m_fakes->prompter.prompts().last(), kPicked);
#endif
}

void TestPickProgram::stopsAtFirstFailedFile()
{
#ifndef Q_OS_UNIX
    QSKIP("needs a file size limit");
#else
    openMain(m_programs->path(), "prog");
    tickOnly({0, 2, 6});
    // The Monday file fits the limit; the Wednesday file is three bytes longer.
    const qint64 monday = entryText("12:00", m_program, "Normal", "Monday").size();
    {
        FileSizeLimit limit(monday);
        QVERIFY(limit.ok());
        m_main->Command1->click();
    }

    QCOMPARE(m_fakes->prompter.shown.size(), 1);
    const QString prompt = m_fakes->prompter.shown.first().prompt;
    QVERIFY2(prompt.contains(QDir::toNativeSeparators(QDir(m_work->path()).absoluteFilePath("Wed2.dat"))),
             qPrintable(prompt));
    QVERIFY2(prompt.contains(QStringLiteral("Already written for this pick: Monday.")), qPrintable(prompt));
    QVERIFY2(prompt.contains(QString::fromLocal8Bit(strerror(EFBIG))), qPrintable(prompt));
    QCOMPARE(readFile("Mon2.dat"), entryText("12:00", m_program, "Normal", "Monday"));
    QCOMPARE(workFiles(), QStringList{"Mon2.dat"});
    verifyNotReset("12", "00", "PM", "Normal");
    QVERIFY(!m_main->Check1[1]->isChecked());
#endif
}

QTEST_MAIN(TestPickProgram)
#include "test_pick_program.moc"
