#include "app/Fonts.h"
#include "app/Main.h"
#include "schedule/DayTable.h"
#include "schedule/Entry.h"
#include "schedule/TextFile.h"
#include "support/Fakes.h"
#include "support/Files.h"
#include "viewer/Form2.h"
#include "viewer/ListArea.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

#include <memory>

using testing::writeFile;

namespace {

QByteArray entryBytes(const QList<schedule::Entry> &entries)
{
    QStringList lines;
    for (const schedule::Entry &e : entries)
        lines += e.lines();
    return *schedule::encodeLines(lines);
}

const schedule::Entry kBackup{"07:30", "C:\\Program Files\\Tools\\backup.exe", "Hide", "Monday"};
const schedule::Entry kSync{"19:45", "D:\\Tools\\sync.exe", "Min", "Monday"};
const schedule::Entry kMail{"12:00", "C:\\mail.exe", "Max", "Friday"};

QStringList boldDays(const Form2 &viewer)
{
    QStringList bold;
    for (QPushButton *b : viewer.dayButtons())
        if (b->font().bold())
            bold << b->text();
    return bold;
}

bool anyMessageBox()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (qobject_cast<QMessageBox *>(w) && w->isVisible())
            return true;
    return false;
}

} // namespace

class TestViewer : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void windowAndInitialState();
    void buttonsFollowTheTable_data();
    void buttonsFollowTheTable();
    void focusStartsOnMondayAndTabFollowsTheTable();

    void lineKinds_data();
    void lineKinds();
    void twoEntriesGiveSixLinesDrawnFromTheTop();
    void eachDayButtonShowsItsOwnFileAndIsTheOnlyBold_data();
    void eachDayButtonShowsItsOwnFileAndIsTheOnlyBold();
    void sameDayTwiceDrawsItOnce();
    void missingEmptyOrUnreadableFileShowsNothing_data();
    void missingEmptyOrUnreadableFileShowsNothing();
    void hugeAndBinaryFilesOpen();

    void backThenShowListGivesAFreshViewer();
    void closeBoxReturnsToMain();

private:
    std::unique_ptr<testing::WorkFolder> m_work;
    std::unique_ptr<Form2> m_viewer;
};

void TestViewer::initTestCase()
{
    installFontSubstitutes();
}

void TestViewer::init()
{
    // Day list files are looked up in the working folder.
    m_work = std::make_unique<testing::WorkFolder>();
    QVERIFY(m_work->isValid());
    m_viewer = std::make_unique<Form2>();
    m_viewer->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_viewer.get()));
}

void TestViewer::cleanup()
{
    m_viewer.reset();
    m_work.reset();
}

void TestViewer::windowAndInitialState()
{
    Form2 &v = *m_viewer;
    QCOMPARE(v.windowTitle(), QStringLiteral("Program to be Run"));
    QCOMPARE(v.size(), QSize(673, 519));
    QCOMPARE(v.minimumSize(), v.maximumSize());
    QCOMPARE(v.font().family(), QStringLiteral("Arial Narrow"));
    QVERIFY(v.font().bold());
    QCOMPARE(v.font().pointSizeF(), 8.25);
    QVERIFY(boldDays(v).isEmpty());
    QVERIFY(!v.Command8->font().bold());
    QVERIFY(v.listArea()->lines().isEmpty());
    QCOMPARE(v.listArea()->lineCount(), 0);
    // The list area lies under the button row, from the top-left corner.
    QCOMPARE(v.listArea()->geometry(), QRect(0, 0, 673, 519));
    for (QWidget *hidden : {static_cast<QWidget *>(v.Command9), static_cast<QWidget *>(v.Text1)}) {
        QVERIFY(!hidden->isVisible());
        QCOMPARE(hidden->focusPolicy(), Qt::NoFocus);
    }
}

void TestViewer::buttonsFollowTheTable_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("leftTwips");
    QTest::addColumn<int>("widthTwips");
    QTest::newRow("Command1") << "Command1" << "Monday" << 120 << 975;
    QTest::newRow("Command2") << "Command2" << "Tuesday" << 1200 << 975;
    QTest::newRow("Command3") << "Command3" << "Wednesday" << 2280 << 1215;
    QTest::newRow("Command4") << "Command4" << "Thursday" << 3600 << 975;
    QTest::newRow("Command5") << "Command5" << "Friday" << 4560 << 975;
    QTest::newRow("Command6") << "Command6" << "Saturday" << 5640 << 975;
    QTest::newRow("Command7") << "Command7" << "Sunday" << 6720 << 975;
    QTest::newRow("Command8") << "Command8" << "Back to Main Menu" << 7800 << 975;
}

void TestViewer::buttonsFollowTheTable()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(int, leftTwips);
    QFETCH(int, widthTwips);
    auto *button = m_viewer->findChild<QPushButton *>(name);
    QVERIFY(button);
    QVERIFY(button->isVisible());
    QCOMPARE(button->text(), caption);
    QCOMPARE(button->geometry(), QRect(leftTwips / 15, 7200 / 15, widthTwips / 15, 495 / 15));
    QCOMPARE(button->font().family(), QStringLiteral("MS Sans Serif"));
    QCOMPARE(button->font().pointSizeF(), 8.25);
    QCOMPARE(button->font().weight(), QFont::Normal);
    // The buttons lie over the list area, which draws behind them.
    QCOMPARE(button->parentWidget(), m_viewer.get());
    QVERIFY(m_viewer->childAt(button->geometry().center()) == button);
}

void TestViewer::focusStartsOnMondayAndTabFollowsTheTable()
{
    m_viewer->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_viewer.get()));
    QCOMPARE(QApplication::focusWidget(), m_viewer->Command1);
    const QList<QWidget *> expected{m_viewer->Command2, m_viewer->Command3, m_viewer->Command4,
                                    m_viewer->Command5, m_viewer->Command6, m_viewer->Command7,
                                    m_viewer->Command8, m_viewer->Command1};
    for (QWidget *next : expected) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), next);
    }
}

void TestViewer::lineKinds_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QString>("text1"); // the last line, rewritten

    auto row = [](const char *name, QByteArray line, QStringList shown, QString text1) {
        QTest::newRow(name) << line + "\r\n" << shown << text1;
    };
    row("time line", "19:30", {"Time: 19:30"}, "Time: 19:30");
    row("colon third", "ab:cd", {"Time: ab:cd"}, "Time: ab:cd");
    row("three characters, colon last", "12:", {"Time: 12:"}, "Time: 12:");
    row("path, colon second", "C:\\setup.exe", {"C:\\setup.exe"}, "C:\\setup.exe");
    row("Hide", "Hide", {"Run Style - Hide"}, "Run Style - Hide");
    row("Max", "Max", {"Run Style - Maximize"}, "Run Style - Maximize");
    row("Min", "Min", {"Run Style - Minimize"}, "Run Style - Minimize");
    row("Normal", "Normal", {"Run Style - Normal"}, "Run Style - Normal");
    row("Minimize spelled out", "Minimize", {"Minimize"}, "Minimize");
    row("Maximize spelled out", "Maximize", {"Maximize"}, "Maximize");
    row("min in lower case", "min", {"min"}, "min");
    row("Hide with a space", "Hide ", {"Hide "}, "Hide ");
    row("NORMAL", "NORMAL", {"NORMAL"}, "NORMAL");
    row("one character", "x", {"x"}, "x");
    row("two characters", "ab", {"ab"}, "ab");
    row("two characters, colon second", "1:", {"1:"}, "1:");
    row("Monday", "Monday", {}, "Monday");
    row("Wednesday", "Wednesday", {}, "Wednesday");
    row("Sunday", "Sunday", {}, "Sunday");
    row("day code", "Mon", {"Mon"}, "Mon");
    row("day in lower case", "friday", {"friday"}, "friday");
    row("day with a space", "Friday ", {"Friday "}, "Friday ");
    row("leading space", " Max", {" Max"}, " Max");
    row("Time text itself", "Time: 19:30", {"Time: 19:30"}, "Time: 19:30");
    QTest::newRow("empty line between") << QByteArray("a\r\n\r\nb\r\n") << QStringList{"a", "", "b"} << "b";
    QTest::newRow("last line without end") << QByteArray("19:45\r\nD:\\Tools\\sync.exe")
                                           << QStringList{"Time: 19:45", "D:\\Tools\\sync.exe"}
                                           << "D:\\Tools\\sync.exe";
    QTest::newRow("LF line ends") << QByteArray("19:45\nMin\nTuesday\n")
                                  << QStringList{"Time: 19:45", "Run Style - Minimize"} << "Tuesday";
    QTest::newRow("8-bit text") << QByteArray("C:\\Caf\xe9\\menu.exe\r\n")
                                << QStringList{QString::fromLatin1("C:\\Caf\xe9\\menu.exe")}
                                << QString::fromLatin1("C:\\Caf\xe9\\menu.exe");
}

void TestViewer::lineKinds()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, shown);
    QFETCH(QString, text1);
    QVERIFY(writeFile(QStringLiteral("dattue.dat"), file));
    m_viewer->Command2->click();
    QCOMPARE(m_viewer->listArea()->lines(), shown);
    QCOMPARE(m_viewer->listArea()->lineCount(), shown.size());
    QCOMPARE(m_viewer->Text1->text(), text1);
    // Everything is drawn in the window font at 12 points.
    QCOMPARE(m_viewer->listArea()->font().family(), QStringLiteral("Arial Narrow"));
    QCOMPARE(m_viewer->listArea()->font().pointSizeF(), 12.0);
    QVERIFY(m_viewer->listArea()->font().bold());
}

void TestViewer::twoEntriesGiveSixLinesDrawnFromTheTop()
{
    viewer::ListArea *area = m_viewer->listArea();
    const QImage blank = area->grab().toImage();
    QVERIFY(writeFile(QStringLiteral("datmon.dat"), entryBytes({kBackup, kSync})));
    m_viewer->Command1->click();
    QCOMPARE(area->lines(), (QStringList{"Time: 07:30", "C:\\Program Files\\Tools\\backup.exe",
                                         "Run Style - Hide", "Time: 19:45", "D:\\Tools\\sync.exe",
                                         "Run Style - Minimize"}));
    QCOMPARE(m_viewer->Text1->text(), QStringLiteral("Monday"));

    // The pixels: every text line from the top has ink in it, and nothing is
    // drawn below the sixth line down to the button row.
    const QImage drawn = area->grab().toImage();
    const int spacing = area->lineSpacing();
    QVERIFY(spacing > 10 && spacing < 40);
    auto rowsDiffer = [&](int top, int bottom) {
        for (int y = top; y < bottom; ++y)
            for (int x = 0; x < drawn.width(); ++x)
                if (drawn.pixel(x, y) != blank.pixel(x, y))
                    return true;
        return false;
    };
    for (int line = 0; line < 6; ++line)
        QVERIFY2(rowsDiffer(line * spacing, (line + 1) * spacing), qPrintable(QString::number(line)));
    QVERIFY(!rowsDiffer(6 * spacing, 480));
    // Drawn from the left edge: the first columns carry ink.
    bool leftInk = false;
    for (int y = 0; y < 6 * spacing && !leftInk; ++y)
        for (int x = 0; x < 6 && !leftInk; ++x)
            leftInk = drawn.pixel(x, y) != blank.pixel(x, y);
    QVERIFY(leftInk);
}

void TestViewer::eachDayButtonShowsItsOwnFileAndIsTheOnlyBold_data()
{
    QTest::addColumn<int>("day");
    for (const schedule::Day &d : schedule::days())
        QTest::newRow(d.name.data()) << d.index;
}

void TestViewer::eachDayButtonShowsItsOwnFileAndIsTheOnlyBold()
{
    QFETCH(int, day);
    for (const schedule::Day &d : schedule::days())
        QVERIFY(writeFile(d.listFile, "C:\\" + QByteArray(d.code.data(), d.code.size()) + ".exe\r\n"));
    // Start from another day being bold (Monday for Friday): only the day
    // pressed last is drawn, and only it is bold.
    m_viewer->dayButtons()[(day + 3) % 7]->click();
    m_viewer->dayButtons()[day]->click();
    const schedule::Day &d = schedule::day(day);
    QCOMPARE(m_viewer->listArea()->lines(), QStringList{"C:\\" + QString(d.code) + ".exe"});
    QCOMPARE(boldDays(*m_viewer), QStringList{QString(d.name)});
    QVERIFY(!m_viewer->Command8->font().bold());
    for (QPushButton *b : m_viewer->dayButtons()) {
        QCOMPARE(b->font().family(), QStringLiteral("MS Sans Serif"));
        QCOMPARE(b->font().pointSizeF(), 8.25);
    }
}

void TestViewer::sameDayTwiceDrawsItOnce()
{
    QVERIFY(writeFile(QStringLiteral("datthu.dat"), entryBytes({kBackup, kSync})));
    m_viewer->Command4->click();
    const QStringList once = m_viewer->listArea()->lines();
    const QImage first = m_viewer->listArea()->grab().toImage();
    m_viewer->Command4->click();
    QCOMPARE(m_viewer->listArea()->lines(), once);
    QCOMPARE(m_viewer->listArea()->lineCount(), 6);
    // The same lines at the same places.
    QCOMPARE(m_viewer->listArea()->grab().toImage(), first);
    QCOMPARE(boldDays(*m_viewer), QStringList{"Thursday"});
}

void TestViewer::missingEmptyOrUnreadableFileShowsNothing_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("missing") << "missing";
    QTest::newRow("empty") << "empty";
    QTest::newRow("a folder") << "folder";
#ifdef Q_OS_UNIX
    QTest::newRow("a pipe with no writer") << "pipe";
    QTest::newRow("no read permission") << "unreadable";
#endif
}

void TestViewer::missingEmptyOrUnreadableFileShowsNothing()
{
    QFETCH(QString, kind);
    // Another day drawn first: the press clears it.
    QVERIFY(writeFile(QStringLiteral("datmon.dat"), entryBytes({kBackup})));
    m_viewer->Command1->click();
    QCOMPARE(m_viewer->listArea()->lineCount(), 3);

    if (kind == u"empty")
        QVERIFY(writeFile(QStringLiteral("datwed.dat")));
    if (kind == u"folder")
        QVERIFY(QDir().mkdir(QStringLiteral("datwed.dat")));
#ifdef Q_OS_UNIX
    if (kind == u"pipe")
        QCOMPARE(::mkfifo("datwed.dat", 0600), 0);
    if (kind == u"unreadable") {
        QVERIFY(writeFile(QStringLiteral("datwed.dat"), entryBytes({kSync})));
        QVERIFY(QFile::setPermissions(QStringLiteral("datwed.dat"), QFile::WriteOwner));
        QFile probe(QStringLiteral("datwed.dat"));
        if (probe.open(QIODevice::ReadOnly))
            QSKIP("this user reads files without read permission");
    }
#endif
    m_viewer->Command3->click();
    QVERIFY(m_viewer->listArea()->lines().isEmpty());
    QCOMPARE(m_viewer->listArea()->lineCount(), 0);
    QCOMPARE(boldDays(*m_viewer), QStringList{"Wednesday"});
    QVERIFY(!anyMessageBox());
    QVERIFY(m_viewer->isVisible());
}

void TestViewer::hugeAndBinaryFilesOpen()
{
    viewer::ListArea *area = m_viewer->listArea();
    // A day of 100,000 entries: every line is read and counted, and the
    // lines that can be seen are the first ones.
    QList<schedule::Entry> many;
    for (int i = 0; i < 100000; ++i)
        many.append({"08:15", "C:\\Jobs\\job" + QString::number(i) + ".exe", "Normal", "Sunday"});
    QVERIFY(writeFile(QStringLiteral("datsun.dat"), entryBytes(many)));
    m_viewer->Command7->click();
    QCOMPARE(area->lineCount(), 300000);
    QVERIFY(area->lines().size() >= 480 / area->lineSpacing());
    QVERIFY(area->lines().size() <= 519 / area->lineSpacing() + 1);
    QCOMPARE(area->lines().mid(0, 4), (QStringList{"Time: 08:15", "C:\\Jobs\\job0.exe", "Run Style - Normal",
                                                   "Time: 08:15"}));
    QCOMPARE(m_viewer->Text1->text(), QStringLiteral("Sunday"));
    QVERIFY(!area->grab().isNull());

    // A binary file: a 10 MB line of every byte value (NUL and the 8-bit
    // range included), then a line of text.
    QByteArray binary(10 * 1024 * 1024, '\0');
    for (qsizetype i = 0; i < binary.size(); ++i)
        binary[i] = char((i * 131) % 256 == '\n' ? 0 : (i * 131) % 256);
    QVERIFY(writeFile(QStringLiteral("datsat.dat"), binary + "\r\nC:\\after.exe\r\n"));
    m_viewer->Command6->click();
    QCOMPARE(area->lineCount(), 2);
    QCOMPARE(area->lines().size(), 2);
    QCOMPARE(area->lines()[0].size(), viewer::ListArea::kKeptCharacters);
    QCOMPARE(area->lines()[0], QString::fromLatin1(binary.left(viewer::ListArea::kKeptCharacters)));
    QCOMPARE(area->lines()[1], QStringLiteral("C:\\after.exe"));
    const QImage drawn = area->grab().toImage();
    QVERIFY(!drawn.isNull());
    QCOMPARE(drawn.size(), QSize(673, 519) * drawn.devicePixelRatio());
}

void TestViewer::backThenShowListGivesAFreshViewer()
{
    m_viewer.reset();
    QVERIFY(writeFile(QStringLiteral("datmon.dat"), entryBytes({kBackup})));
    FakeServices fakes;
    Main main({fakes.starter, fakes.prompter, fakes.shortcuts});
    main.Check1[3]->setChecked(true);
    Main::setListText(main.List4, QStringLiteral("Hide"));
    QVERIFY(!main.viewer());
    main.Command2->click();
    QCOMPARE(fakes.starter.commandLines(), QStringList{"brinol.com"});
    QCOMPARE(fakes.starter.started[0].style, platform::WindowStyle::Hidden);
    QVERIFY(fakes.prompter.shown.isEmpty());
    QVERIFY(!main.isVisible());
    QPointer<Form2> first = main.viewer();
    QVERIFY(first && first->isVisible());
    QVERIFY(boldDays(*first).isEmpty());
    QCOMPARE(first->listArea()->lineCount(), 0);
    first->Command1->click();
    QCOMPARE(first->listArea()->lineCount(), 3);

    first->Command8->click();
    // The main window comes back as it was; the viewer is unloaded.
    QVERIFY(main.isVisible());
    QVERIFY(main.Check1[3]->isChecked());
    QCOMPARE(Main::listText(main.List4), QStringLiteral("Hide"));
    QVERIFY(!main.viewer());
    QVERIFY(first.isNull() || !first->isVisible());
    QTRY_VERIFY(first.isNull());

    main.Command2->click();
    QCOMPARE(fakes.starter.commandLines(), (QStringList{"brinol.com", "brinol.com"}));
    Form2 *second = main.viewer();
    QVERIFY(second);
    QVERIFY(second->isVisible());
    QVERIFY(boldDays(*second).isEmpty());
    QCOMPARE(second->listArea()->lineCount(), 0);
    QVERIFY(second->Text1->text().isEmpty());
    QVERIFY(!main.isVisible());

    // Back and Show List at once, before the old viewer is gone: still a
    // fresh one, never the one being unloaded.
    second->Command1->click();
    QPointer<Form2> dying = second;
    second->Command8->click();
    main.Command2->click();
    QVERIFY(main.viewer());
    QVERIFY(main.viewer() != dying.data());
    QVERIFY(main.viewer()->isVisible());
    QCOMPARE(main.viewer()->listArea()->lineCount(), 0);
    QTRY_VERIFY(dying.isNull());
    QVERIFY(main.viewer());
}

void TestViewer::closeBoxReturnsToMain()
{
    m_viewer.reset();
    FakeServices fakes;
    // A brinol.com that cannot start is told, and the viewer opens all the same.
    fakes.starter.failing << QStringLiteral("brinol.com");
    Main main({fakes.starter, fakes.prompter, fakes.shortcuts});
    QSignalSpy quit(qApp, &QCoreApplication::aboutToQuit);
    main.Command2->click();
    QCOMPARE(fakes.prompter.shown.size(), 1);
    QVERIFY(fakes.prompter.shown[0].prompt.contains(QStringLiteral("brinol.com")));
    QPointer<Form2> viewer = main.viewer();
    QVERIFY(viewer && viewer->isVisible());
    QVERIFY(!main.isVisible());

    QVERIFY(viewer->close());
    QVERIFY(main.isVisible());
    QVERIFY(!main.viewer());
    QTRY_VERIFY(viewer.isNull());
    QCOMPARE(quit.count(), 0);
    // And Show List opens the viewer again.
    main.Command2->click();
    QVERIFY(main.viewer() && main.viewer()->isVisible());
}

QTEST_MAIN(TestViewer)
#include "test_viewer.moc"
