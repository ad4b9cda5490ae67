// The main window and the viewer with fake services: a session (start-up,
// the lists, Reset/Clear List, Show List and back, About), the program
// browser, the Help files, Pick Program's entry files byte for byte with its
// messages and the form it leaves, and what the viewer draws of day lists.
#include "app/Browser.h"
#include "app/Form3.h"
#include "app/Main.h"
#include "support/Fakes.h"
#include "support/Files.h"
#include "viewer/LineReader.h"
#include "viewer/ListArea.h"

#include <QtTest>
#include <QtWidgets>

#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace testing;

namespace {

// An entry file's bytes: its time and run style lines, the path, and the day its name begins with.
QByteArray entry(const QStringList &timeAndStyle, const QString &path, const QString &file)
{
    const auto day = std::find_if(kDayCodes, kDayCodes + 7, [&](const char *code) { return file.startsWith(code); });
    return entryText(timeAndStyle[0], path, timeAndStyle[1], kDayNames[day - kDayCodes]);
}

// The counter, the hour, minute, AM/PM and run style lists, and the day boxes.
QString form(const Main &m)
{
    QStringList state{m.Text4->text()};
    for (const QListWidget *list : {m.List2, m.List3, m.List1, m.List4})
        state << Main::listText(list);
    for (const QCheckBox *box : m.Check1)
        state << (box->isChecked() ? "x" : "-");
    return state.join(' ');
}

// What a screen reader says of each control that Tab reaches, from first on.
QStringList tabNames(QWidget *first)
{
    QStringList names;
    for (QWidget *w = first; names.isEmpty() || w != first; w = w->nextInFocusChain())
        if (w->parentWidget() == first->parentWidget() && w->isVisible() && (w->focusPolicy() & Qt::TabFocus))
            names << QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
    return names;
}

template <typename Window>
QList<Window *> shown()
{
    QList<Window *> windows;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *window = qobject_cast<Window *>(w); window && window->isVisible())
            windows << window;
    return windows;
}

// A pick: the days ticked; the hour, minute, AM/PM and run style chosen; what is set up before it; the counter
// before and after; the names left in the working folder; the time and run style lines of its entry files; and
// what the one message holds (no message when empty).
// clang-format off
struct PickRow { QList<int> days; QStringList choices; QString setup; QStringList counter, files = {}, lines = {}, told = {}; };
// clang-format on

} // namespace

class TestGui : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void session();
    void browser();
    void help_data();
    void help();
    void pick_data();
    void pick();
    void draws_data();
    void draws();
    void readError();

private:
    std::unique_ptr<Main> m_main;
    std::optional<FakeServices> m_fakes;
    std::optional<WorkFolder> m_work;
};

void TestGui::init()
{
    m_main.reset(); // before its services, and before the working folder goes
    m_work.emplace();
    m_fakes.emplace();
    m_main = std::make_unique<Main>(MainServices{m_fakes->starter, m_fakes->prompter, m_fakes->shortcuts});
}

void TestGui::session()
{
    QVERIFY(QTest::qWaitForWindowActive(m_main.get()));
    QCOMPARE(QApplication::focusWidget(), m_main->Command1);
    QCOMPARE(m_main->Dir1->path(), "/usr/bin");
    QCOMPARE(form(*m_main), "1 12 00 PM Normal - - - - - - -");
    const QStringList days{"Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"};
    QCOMPARE(tabNames(m_main->Command1), QStringList({"Pick Program", "Drive", "Folder", "Program file", "Show List", "Ready to Deploy..."}) + days
                                             + QStringList({"AM or PM", "Hour", "Minute", "Run Style", "Exit", "Reset/Clear List"}));

    // Reset/Clear List; the counter carries on.
    m_main->Check1[3]->setChecked(true), m_main->Check1[6]->setChecked(true), m_main->Text4->setText("5");
    QTest::mouseClick(m_main->Command5, Qt::LeftButton);
    QCOMPARE(form(*m_main), "5 12 00 AM Normal - - - - - - -");

    // A list keeps one item selected, the one in view, after Ctrl+click, Ctrl+Space, the wheel turned
    // down, and the up arrow.
    const std::pair<QListWidget *, QString> lists[] = {{m_main->List2, "12 12 12 11"}, {m_main->List4, "Normal Normal Hide Normal"}};
    for (const auto &[list, items] : lists) {
        const QPoint item = list->visualItemRect(list->selectedItems().first()).center();
        QStringList seen;
        auto see = [&, list = list] { seen << (list->itemAt(item)->isSelected() ? list->itemAt(item)->text() : "?"); };
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, item), see();
        QTest::keyClick(list, Qt::Key_Space, Qt::ControlModifier), see();
        QWheelEvent down(item, list->mapToGlobal(item), {}, {0, -120}, {}, {}, Qt::NoScrollPhase, false);
        QApplication::sendEvent(list->viewport(), &down), see();
        QTest::keyClick(list, Qt::Key_Up), see();
        QCOMPARE(seen.join(' '), items);
    }

    // Show List, then Back; Show List, then the close box: a fresh viewer each time, also where
    // brinol.com cannot start, which the user is told.
    m_fakes->starter.failing << "brinol.com";
    for (int round = 0; round < 2; ++round) {
        m_main->Command2->click();
        QPointer<Form2> viewer = m_main->viewer();
        QVERIFY(!m_main->isVisible());
        QVERIFY(viewer->isVisible());
        QCOMPARE(tabNames(viewer->Command1), days + QStringList{"Back to Main Menu"});
        viewer->Command1->click();
        round == 0 ? viewer->Command8->click() : void(viewer->close());
        QVERIFY(m_main->isVisible());
        QTRY_VERIFY(viewer.isNull());
    }
    QCOMPARE(m_fakes->starter.commandLines.join(' '), "zeptra.com brinol.com brinol.com");
    QCOMPARE(m_fakes->prompter.shown.size(), 2);
    QCOMPARE(m_fakes->prompter.prompts().filter("brinol.com").size(), 2);

    // About, chosen twice: one window.
    m_main->About_Click(), m_main->About_Click();
    QCOMPARE(shown<Form3>().size(), 1);
}

void TestGui::browser()
{
    const QString root = QDir(m_work->path()).canonicalPath();
    for (const char *name : {"run.exe", "notes.txt", "no-extension", "inner/deep.bin", "locked/hidden.exe"})
        QVERIFY(writeFile(root + "/" + name));
    QVERIFY(m_main->Dir1->setPath(root));
    QTRY_COMPARE(m_main->File1->model()->rowCount(m_main->File1->rootIndex()), 3); // every file, no folder
    emit m_main->Dir1->itemActivated(m_main->Dir1->findItems("inner", Qt::MatchEndsWith).value(0));
    QTRY_VERIFY(m_main->File1->selectFile("deep.bin"));
    QVERIFY(m_main->Dir1->setPath(root)); // a folder visited before is no file
    QTRY_COMPARE(m_main->File1->model()->rowCount(m_main->File1->rootIndex()), 3);
    m_main->Drive1->setCurrentIndex(0);
    m_main->Drive1_Change(); // the selection may not have changed: run the handler as a change would
    QCOMPARE(m_main->File1->path(), "/");

    // The drive list as a screen reader has it: named "Drive", the drive chosen its value, the drives
    // listed its items; its own action opens the list, where the keys choose another drive. The second
    // drive: a file system mounted in a mount namespace of the test's own, holding the home folder.
    const QString volume = root + "/volume";
    const QByteArray home = qgetenv("HOME");
    QVERIFY(QDir().mkdir(volume) && ::unshare(CLONE_NEWNS) == 0 && ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0
            && ::mount("vellomar", volume.toLocal8Bit(), "tmpfs", 0, "size=64k") == 0 && qputenv("HOME", volume.toLocal8Bit()));
    QAccessibleInterface *drive = QAccessible::queryAccessibleInterface(m_main->Drive1);
    QVERIFY(drive->actionInterface());
    drive->actionInterface()->doAction(QAccessibleActionInterface::showMenuAction());
    qputenv("HOME", home);
    QStringList listed, heard;
    for (int i = 0; i < m_main->Drive1->count(); ++i)
        listed << m_main->Drive1->itemText(i), heard << (drive->childCount() == 1 ? drive->child(0)->child(i)->text(QAccessible::Name) : "");
    QCOMPARE(drive->text(QAccessible::Name), "Drive");
    QCOMPARE(drive->text(QAccessible::Value), "/");
    QCOMPARE(heard, listed);
    QVERIFY2(listed.contains(volume) && m_main->Drive1->view()->isVisible(), qPrintable(listed.join(' ')));
    for (int i = 0; i < listed.indexOf(volume); ++i)
        QTest::keyClick(m_main->Drive1->view(), Qt::Key_Down);
    QTest::keyClick(m_main->Drive1->view(), Qt::Key_Return);
    QCOMPARE(drive->text(QAccessible::Value), volume);
    QCOMPARE(m_main->Dir1->path(), volume);
    QVERIFY(m_main->Dir1->setPath(root) && ::umount2(volume.toLocal8Bit(), MNT_DETACH) == 0);

    // A folder this user cannot read; root reads every folder, so the test drops to nobody.
    QVERIFY(m_main->Dir1->setPath(root) && QFile::setPermissions(root, QFile::Permissions(0x7755)) && QFile::setPermissions(root + "/locked", {}));
    const uid_t uid = ::getuid();
    QVERIFY(uid != 0 || ::setresuid(65534, 65534, 0) == 0);
    emit m_main->Dir1->itemActivated(m_main->Dir1->findItems("locked", Qt::MatchEndsWith).value(0));
    QVERIFY(::setresuid(uid, uid, uid) == 0 && QFile::setPermissions(root + "/locked", QFile::Permissions(0x7700)));
    QCOMPARE(m_main->File1->path(), root);
}

// clang-format off
void TestGui::help_data()
{
    // The menu item, its file, and what the desktop's opener does with it; or no file to open.
    QTest::addColumn<QString>("row");
    for (const char *row : {"Readme readme.1st shows", "Disc license.txt fails", "Readme readme.1st missing",
                            "Disc license.txt none"})
        QTest::newRow(row) << row;
}
// clang-format on

void TestGui::help()
{
    QFETCH(QString, row);
    const QString file = row.section(' ', 1, 1), opener = row.section(' ', 2), command = "xdg-open " + file;
    QVERIFY(opener == "none"
            || writeFile(file, "Gr\xc3\xb6\xc3\x9f"
                               "e\r\ncaf\xe9\r\n")); // UTF-8, then a Latin-1 line
    if (opener != "shows")
        (opener == "fails" ? m_fakes->starter.failingAtEnd : m_fakes->starter.failing) << command;

    m_main->findChild<QAction *>(row.section(' ', 0, 0))->trigger();

    QCOMPARE(m_fakes->starter.commandLines, opener == "none" ? QStringList{} : QStringList{command});
    QVERIFY(opener == "none" || m_fakes->starter.styles[0] == platform::WindowStyle::NormalFocus);
    QCoreApplication::processEvents();                               // the opener's end, told from the event loop
    const QList<QPlainTextEdit *> windows = shown<QPlainTextEdit>(); // where the opener cannot show the file
    QCOMPARE(windows.size() == 1 && windows[0]->isReadOnly() && windows[0]->windowTitle() == file
                 && windows[0]->toPlainText() == QString::fromUtf8("Größe\ncafé"),
             opener == "fails" || opener == "missing");
    // Where there is no file, the message names it and the working folder.
    QCOMPARE(m_fakes->prompter.prompts().filter(file).filter(QDir::currentPath()).size(), opener == "none" ? 1 : 0);
}

// clang-format off
void TestGui::pick_data()
{
    QTest::addColumn<PickRow>("row");
    const QStringList picked{"Program Picked, Next one Please"}, refused{"07", "00", "PM", "Hide"};
    QTest::newRow("Thursday first") << PickRow{{3, 5}, {"09", "15", "PM", "Minimize"}, "", {"1", "5"}, {"Sat5.dat", "Thu5.dat"},
                                               {"21:15", "Min"}, picked};
    QTest::newRow("only Sunday, noon") << PickRow{{6}, {"12", "00", "PM", "Maximize"}, "", {"99", "106"}, {"Sun106.dat"},
                                                  {"12:00", "Max"}, picked};
    // An earlier run's Mon2.dat, and dangling links Tue3.dat and Wed4.dat (not among the names) of which only the first
    // counts: Wednesday is not ticked.
    QTest::newRow("names taken, 12 AM") << PickRow{{0, 1}, {"12", "30", "AM", "Hide"}, "taken", {"1", "4"},
                                                   {"Mon2.dat", "Mon4.dat", "Tue4.dat"}, {"00:30", "Hide"}, picked};
    // Picks that write nothing: no names left, no entry lines.
    QTest::newRow("no day ticked") << PickRow{{}, refused, "", {"1", "8"}};
    QTest::newRow("no file selected") << PickRow{{3}, refused, "no file", {"1", "5"}, {}, {}, {"You didn't select any file"}};
    QTest::newRow("line breaks") << PickRow{{0}, refused, "x\r\nMonday", {"1", "2"}, {}, {}, {"x\\r\\nMonday", "control character"}};
    // Started in a folder whose name is not UTF-8, beside one that looks the same as text.
    QTest::newRow("folder not UTF-8") << PickRow{{1}, {"03", "45", "AM", "Normal"}, "not UTF-8", {"1", "3"}, {"Tue3.dat"},
                                                 {"03:45", "Normal"}, picked};
    QTest::newRow("stopped part way") << PickRow{{0, 4, 5}, refused, "limit", {"1", "2"}, {"Fri2.dat", "Mon2.dat"}, {"19:00", "Hide"},
                                                 {"/Sat2.dat could not be written: File too large", "written for this pick: Monday, Friday."}};
}
// clang-format on

void TestGui::pick()
{
    QFETCH(PickRow, row);
    const auto &[days, choices, setup, counter, files, lines, told] = row;
    QTemporaryDir programs;
    const QString folder = QDir(programs.path()).canonicalPath(), file = setup.startsWith('x') ? setup : "prog";
    QVERIFY(writeFile(folder + "/" + file));
    QVERIFY(setup != "taken" || (writeFile("Mon2.dat", "earlier") && QFile::link("nowhere", "Tue3.dat") && QFile::link("nowhere", "Wed4.dat")));
    const QByteArray bad = "bad\xff"
                           "name",
                     alike = "bad\xef\xbf\xbd"
                             "name";
    QVERIFY(setup != "not UTF-8" || (::mkdir(bad, 0700) == 0 && ::mkdir(alike, 0700) == 0 && ::chdir(bad) == 0));
    QVERIFY(m_main->Dir1->setPath(folder));
    if (setup != "no file")
        QTRY_VERIFY(m_main->File1->selectFile(file));
    for (int day : days)
        m_main->Check1[day]->setChecked(true);
    for (int i = 0; QListWidget * list : {m_main->List2, m_main->List3, m_main->List1, m_main->List4})
        Main::setListText(list, choices[i++]);
    m_main->Text4->setText(counter[0]);
    const QString before = form(*m_main).section(' ', 1);
    rlimit unlimited{};
    QVERIFY(::getrlimit(RLIMIT_FSIZE, &unlimited) == 0);
    if (setup == "limit") { // a full disk: the Monday and Friday files fit, the Saturday file is longer
        const rlimit full{rlim_t(entry(lines, folder + "/prog", "Mon").size()), unlimited.rlim_max};
        QVERIFY(::setrlimit(RLIMIT_FSIZE, &full) == 0);
    }

    m_main->Command1->click();

    QVERIFY(::setrlimit(RLIMIT_FSIZE, &unlimited) == 0);
    QCOMPARE(m_main->Text4->text(), counter[1]);
    QCOMPARE(QDir().entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name), files);
    for (const QString &name : files.filter(QRegularExpression("\\D" + counter[1] + "\\.")))
        QCOMPARE(readFile(name), entry(lines, folder + "/" + file, name));
    QCOMPARE(m_fakes->prompter.shown.size(), told.isEmpty() ? 0 : 1);
    for (const QString &part : told)
        QVERIFY2(m_fakes->prompter.prompts().value(0).contains(part), qPrintable(part));
    QCOMPARE(form(*m_main).section(' ', 1), told.value(0).startsWith("Program") ? "12 00 AM Normal x x x x x x x" : before);
    // Nothing went to the look-alike.
    QVERIFY(setup != "not UTF-8" || (QFile::remove(files[0]) && ::chdir("..") == 0 && ::rmdir(bad) == 0 && ::rmdir(alike) == 0));
}

// clang-format off
void TestGui::draws_data()
{
    QTest::addColumn<int>("day");         // whose button is clicked, after another day's
    QTest::addColumn<QByteArray>("file"); // its list; or <none>, <folder>, <pipe>, <1 GiB> (a sparse line, then one more)
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("each kind")
        << 0 << QByteArray("19:30\r\nC:\\setup.exe\r\nHide\r\nMax\r\nMin\r\nNormal\r\nTuesday\r\n1:\r\n\r\n12:00")
        << QStringList{"Time: 19:30", "C:\\setup.exe", "Run Style - Hide", "Run Style - Maximize",
                       "Run Style - Minimize", "Run Style - Normal", "1:", "", "Time: 12:00"};
    // A line keeps 1024 characters, far more than the window shows, and never part of one.
    QTest::newRow("long line") << 1 << QString(1030, u'日').toUtf8() + "\r\nx" << QStringList{QString(1024, u'日'), "x"};
    QTest::newRow("no list") << 2 << QByteArray("<none>") << QStringList{};
    QTest::newRow("empty") << 3 << QByteArray() << QStringList{};
    QTest::newRow("a folder") << 4 << QByteArray("<folder>") << QStringList{};
    QTest::newRow("a pipe") << 5 << QByteArray("<pipe>") << QStringList{};
    QTest::newRow("1 GiB line") << 6 << QByteArray("<1 GiB>") << QStringList{QString(1024, QChar(0)), "C:\\after.exe"};
    QTest::newRow("100,000 lines") << 0 << QByteArray("x\n").repeated(100000) << QStringList{"as many as fit"};
    // The file is read in chunks of 64 KiB: a CR LF across a border ends one line.
    QTest::newRow("CR LF across chunks") << 6 << QByteArray(65531, 'p') + "\r\nab\r\nx"
                                        << QStringList{QString(1024, 'p'), "ab", "x"};
}
// clang-format on

void TestGui::draws()
{
    QFETCH(int, day);
    QFETCH(QByteArray, file);
    QFETCH(QStringList, lines);
    const int other = day == 0 ? 6 : 0;
    QFile list(kDayLists[day]), statm("/proc/self/statm");
    QVERIFY(writeFile(kDayLists[other], "/other") && statm.open(QIODevice::ReadOnly));
    QVERIFY(file != "<folder>" || QDir().mkdir(list.fileName()));
    QVERIFY(file != "<pipe>" || ::mkfifo(kDayLists[day], 0600) == 0);
    if (!file.startsWith('<') || file == "<1 GiB>")
        QVERIFY(list.open(QIODevice::WriteOnly) && list.write(file.startsWith('<') ? "" : file) >= 0
                && (file != "<1 GiB>" || (list.resize(1 << 30) && list.seek(1 << 30) && list.write("\r\nC:\\after.exe") > 0)));
    list.close();
    m_main->Command2->click();
    const std::array<QPushButton *, 7> buttons = m_main->viewer()->dayButtons();
    // Read with 512 MiB more address space than the test holds now.
    rlimit limit{};
    QVERIFY(::getrlimit(RLIMIT_AS, &limit) == 0);
    const rlimit cut{rlim_t(statm.readAll().split(' ')[0].toLongLong() * ::getpagesize() + (512 << 20)), limit.rlim_max};
    QVERIFY(::setrlimit(RLIMIT_AS, &cut) == 0);
    for (int i : {other, day, day}) // another day's list first, then this day twice
        buttons[i]->click();
    QVERIFY(::setrlimit(RLIMIT_AS, &limit) == 0);
    if (lines == QStringList{"as many as fit"}) // the lines that reach into 519 pixels
        lines = QStringList(qCeil(519.0 / m_main->viewer()->listArea()->lineSpacing()), "x");
    QCOMPARE(m_main->viewer()->listArea()->lines(), lines);
    for (QPushButton *button : buttons)
        QCOMPARE(button->font().bold(), button == buttons[day]);
    QCOMPARE(shown<QWidget>().size(), 1); // the viewer, and no message
}

// A read that fails ends a day list: the part of a line read before it is no line.
void TestGui::readError()
{
    struct Failing : QBuffer {
        qint64 readData(char *data, qint64 size) override { return pos() < buffer().size() ? QBuffer::readData(data, size) : -1; }
    } device;
    device.setData("a\r\nb");
    QVERIFY(device.open(QIODevice::ReadOnly));
    viewer::LineReader reader(device, 1024);
    QStringList lines;
    while (const std::optional<QString> line = reader.next())
        lines << *line;
    QCOMPARE(lines, QStringList{"a"});
}

QTEST_MAIN(TestGui)
#include "test_gui.moc"
