#include "app/Browser.h"
#include "app/Fonts.h"
#include "app/Form3.h"
#include "app/Main.h"
#include "platform/Paths.h"
#include "platform/Volumes.h"
#include "support/Fakes.h"
#include "support/Files.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFileSystemModel>
#include <QFontDatabase>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using testing::writeFile;

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void startUpDefaults();
    void listItemsInOrder_data();
    void listItemsInOrder();
    void listsKeepOneSelected_data();
    void listsKeepOneSelected();
    void geometryMatchesTheLayout_data();
    void geometryMatchesTheLayout();
    void fonts();
    void focusStartsOnPickProgramAndTabFollowsTheTable();
    void helpMenu();
    void iconIsThirtyTwoPixelsInSixteenColours();

    void folderListDrivesFileList();
    void driveListAndUnreadablePlaces();
    void drivesFromTheMountTable_data(); // a desktop with a container engine, snaps and removable media
    void drivesFromTheMountTable();

    void aboutShownOnceWhenChosenTwice();
    void helpShowsTheFile_data();
    void helpShowsTheFile();
    void checkPathIsTheApplicationFolder();
    void exitEndsTheEventLoop();

private:
    std::unique_ptr<FakeServices> fakes;
    std::unique_ptr<Main> main;
    QTemporaryDir tree;
};

void TestMainWindow::init()
{
    fakes = std::make_unique<FakeServices>();
    main = std::make_unique<Main>(MainServices{fakes->starter, fakes->prompter, fakes->shortcuts});
}

void TestMainWindow::cleanup()
{
    main.reset();
    fakes.reset();
}

void TestMainWindow::startUpDefaults()
{
    QCOMPARE(main->windowTitle(), QStringLiteral("Vellomar 1.0"));
    QVERIFY(main->isVisible());
    QCOMPARE(main->centralWidget()->size(), QSize(609, 339));

    QCOMPARE(main->Text4->text(), QStringLiteral("1"));
    QCOMPARE(main->Text1->text(), QStringLiteral("Text1"));
    QCOMPARE(main->Text3->text(), QStringLiteral("0"));
    for (QLineEdit *hidden : {main->Text1, main->Text3, main->Text4}) {
        QVERIFY(!hidden->isVisible());
        QCOMPARE(hidden->focusPolicy(), Qt::NoFocus);
    }
    QCOMPARE(Main::listText(main->List2), QStringLiteral("12"));
    QCOMPARE(Main::listText(main->List3), QStringLiteral("00"));
    QCOMPARE(Main::listText(main->List1), QStringLiteral("PM"));
    QCOMPARE(Main::listText(main->List4), QStringLiteral("Normal"));
    for (QCheckBox *box : main->Check1)
        QVERIFY(!box->isChecked());

    // The folder list opens on the programs folder, and the file list lists it.
    QCOMPARE(main->Dir1->path(), platform::programsFolder());
    QCOMPARE(main->File1->path(), main->Dir1->path());
    QTRY_VERIFY(main->File1->model()->rowCount(main->File1->rootIndex()) > 0);
    // The drive list keeps the drive of the working folder.
    QCOMPARE(main->Drive1->drive(), platform::nativeFolder(QStorageInfo(QDir::currentPath()).rootPath()));
    QVERIFY(main->aboutWindow() == nullptr);
}

void TestMainWindow::listItemsInOrder_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QStringList>("items");
    QStringList hours;
    for (int h = 1; h <= 12; ++h)
        hours << QString::asprintf("%02d", h);
    QTest::newRow("List1") << "List1" << QStringList{"AM", "PM"};
    QTest::newRow("List2") << "List2" << hours;
    QTest::newRow("List3") << "List3" << QStringList{"00", "15", "30", "45"};
    QTest::newRow("List4") << "List4" << QStringList{"Normal", "Hide", "Minimize", "Maximize"};
}

void TestMainWindow::listItemsInOrder()
{
    QFETCH(QString, list);
    QFETCH(QStringList, items);
    auto *widget = main->findChild<QListWidget *>(list);
    QVERIFY(widget);
    QStringList actual;
    for (int i = 0; i < widget->count(); ++i)
        actual << widget->item(i)->text();
    QCOMPARE(actual, items);
    QCOMPARE(widget->selectionMode(), QAbstractItemView::SingleSelection);
    QCOMPARE(widget->font().pointSize(), 12);
}

void TestMainWindow::listsKeepOneSelected_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QString>("below"); // after the wheel turned down
    QTest::addColumn<QString>("above"); // then after the up arrow
    QTest::newRow("List1") << "List1" << "PM" << "PM" << "AM"; // the last item
    QTest::newRow("List2") << "List2" << "12" << "12" << "11";
    QTest::newRow("List3") << "List3" << "00" << "15" << "00";
    QTest::newRow("List4") << "List4" << "Normal" << "Hide" << "Normal";
}

void TestMainWindow::listsKeepOneSelected()
{
    QFETCH(QString, list);
    QFETCH(QString, selected);
    QFETCH(QString, below);
    QFETCH(QString, above);
    auto *widget = main->findChild<QListWidget *>(list);
    QVERIFY(widget);
    QCOMPARE(Main::listText(widget), selected);
    const QPoint item = widget->visualItemRect(widget->selectedItems().first()).center();
    // Ctrl+click and Ctrl+Space on the selected item.
    QTest::mouseClick(widget->viewport(), Qt::LeftButton, Qt::ControlModifier, item);
    QCOMPARE(widget->selectedItems().size(), 1);
    QTest::keyClick(widget, Qt::Key_Space, Qt::ControlModifier);
    QCOMPARE(widget->selectedItems().size(), 1);
    QCOMPARE(Main::listText(widget), selected);
    // The wheel and the arrow keys still move it, one item at a time.
    QWheelEvent down(QPointF(item), widget->mapToGlobal(QPointF(item)), {}, QPoint(0, -120), Qt::NoButton,
                     Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget->viewport(), &down);
    QCOMPARE(Main::listText(widget), below);
    QCOMPARE(widget->itemAt(item)->text(), below);
    QTest::keyClick(widget, Qt::Key_Up);
    QCOMPARE(Main::listText(widget), above);
}

void TestMainWindow::geometryMatchesTheLayout_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("twips");
    QTest::addColumn<QString>("caption"); // null: not checked
    auto row = [](const char *name, int l, int t, int w, int h, const char *caption = nullptr) {
        QTest::newRow(name) << QString::fromLatin1(name) << QRect(l, t, w, h) << QString::fromLatin1(caption);
    };
    row("Label1", 360, 960, 495, 375, "Mon");
    row("Label2", 840, 960, 495, 255, "Tue");
    row("Label3", 1320, 960, 495, 255, "Wed");
    row("Label4", 1800, 960, 495, 375, "Thu");
    row("Label5", 2280, 960, 375, 255, "Fri");
    row("Label6", 2760, 960, 495, 255, "Sat");
    row("Label7", 3240, 960, 375, 255, "Sun");
    row("Command1", 240, 4440, 1455, 495, "Pick Program");
    row("Program", 240, 2040, 1335, 855, "Program to be Run when starting up pc");
    row("Drive1", 1680, 2040, 975, 315);
    row("Dir1", 3120, 2040, 2655, 1890);
    row("File1", 6000, 2040, 2655, 1845);
    row("Command2", 1800, 4440, 1095, 495, "Show List");
    row("Command3", 3000, 4440, 1215, 495, "Ready to Deploy...");
    for (int i = 0; i < 7; ++i)
        row(qPrintable(QStringLiteral("Check1_%1").arg(i)), 480 + 480 * i, 1320, 255, 255, "Check1");
    row("Text1", 7680, 4440, 735, 495);
    row("Label8", 4680, 960, 2295, 255, "Time (Will run after below time)");
    row("List1", 6120, 1320, 855, 360);
    row("List2", 4440, 1320, 735, 360);
    row("List3", 5280, 1320, 735, 360);
    row("Label9", 1080, 240, 6975, 615, "Orlen's Vellomar");
    row("Label10", 7080, 960, 1695, 255, "Run Style");
    row("List4", 7320, 1320, 1575, 360);
    row("Text3", 8400, 4080, 375, 285);
    row("Text4", 8520, 4560, 495, 375);
    row("Command4", 6120, 4440, 1335, 495, "Exit");
    row("Command5", 4440, 4440, 1455, 495, "Reset/Clear List");
    row("Line1", 1440, 720, 7800 - 1440, 15);
}

void TestMainWindow::geometryMatchesTheLayout()
{
    QFETCH(QString, name);
    QFETCH(QRect, twips);
    QFETCH(QString, caption);
    auto *widget = main->centralWidget()->findChild<QWidget *>(name);
    QVERIFY2(widget, qPrintable(name));
    QCOMPARE(widget->parentWidget(), main->centralWidget());
    const QRect pixels(twips.x() / 15, twips.y() / 15, twips.width() / 15, twips.height() / 15);
    QCOMPARE(widget->geometry(), pixels);
    if (caption.isNull())
        return;
    auto *label = qobject_cast<QLabel *>(widget);
    auto *button = qobject_cast<QAbstractButton *>(widget);
    QVERIFY(label || button);
    QCOMPARE(label ? label->text() : button->text(), caption);
}

void TestMainWindow::fonts()
{
    QVERIFY(main->Program->wordWrap());
    QCOMPARE(main->Program->font().family(), QStringLiteral("MS Sans Serif"));
    QCOMPARE(main->Program->font().pointSizeF(), 8.25);
    QVERIFY(main->Program->font().bold());
    QCOMPARE(main->Label9->font().family(), QStringLiteral("Book Antiqua"));
    QCOMPARE(main->Label9->font().pointSizeF(), 14.25);
    QVERIFY(main->Label9->font().bold());
    QCOMPARE(main->List1->font().family(), QStringLiteral("MS Sans Serif"));

    // The menu bar and message boxes get a proportional face, also where
    // fontconfig has the Liberation fonts alone (run so by a second test).
    if (qEnvironmentVariableIsSet("FONTCONFIG_FILE"))
        QVERIFY(!QFontDatabase::families().contains(QStringLiteral("DejaVu Sans")));
    installFontSubstitutes(); // as the program does before it opens the window
    main = std::make_unique<Main>(MainServices{fakes->starter, fakes->prompter, fakes->shortcuts});
    QVERIFY2(!QFontInfo(main->menuBar()->font()).fixedPitch(), qPrintable(QFontInfo(main->menuBar()->font()).family()));
    QVERIFY(!QFontInfo(QApplication::font("QMessageBox")).fixedPitch());
}

void TestMainWindow::focusStartsOnPickProgramAndTabFollowsTheTable()
{
    QVERIFY(QTest::qWaitForWindowActive(main.get()));
    QCOMPARE(QApplication::focusWidget(), main->Command1);

    const QList<QWidget *> expected{main->Drive1, main->Dir1, main->File1, main->Command2, main->Command3,
                                    main->Check1[0], main->Check1[1], main->Check1[2], main->Check1[3],
                                    main->Check1[4], main->Check1[5], main->Check1[6],
                                    main->List1, main->List2, main->List3, main->List4,
                                    main->Command4, main->Command5, main->Command1};
    for (QWidget *next : expected) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), next);
    }
}

void TestMainWindow::helpMenu()
{
    const QList<QAction *> menus = main->menuBar()->actions();
    QCOMPARE(menus.size(), 1);
    QCOMPARE(menus[0]->text(), QStringLiteral("Help"));
    QStringList captions;
    for (QAction *item : menus[0]->menu()->actions())
        captions << item->text();
    QCOMPARE(captions, (QStringList{"About", "Readme", "Disclaimer"}));
}

void TestMainWindow::iconIsThirtyTwoPixelsInSixteenColours()
{
    const QImage icon(QStringLiteral(":/vellomar.png"));
    QCOMPARE(icon.size(), QSize(32, 32));
    QVERIFY(icon.colorCount() > 0 && icon.colorCount() <= 16);
    QVERIFY(!main->windowIcon().isNull());
}

void TestMainWindow::folderListDrivesFileList()
{
    const QString root = tree.filePath(QStringLiteral("browse"));
    QVERIFY(writeFile(root + "/run.exe", "x"));
    QVERIFY(writeFile(root + "/notes.txt", "x"));
    QVERIFY(writeFile(root + "/no-extension", "x"));
    QVERIFY(writeFile(root + "/inner/deep.bin", "x"));

    QVERIFY(main->Dir1->setPath(root));
    QCOMPARE(main->File1->path(), main->Dir1->path());
    QTRY_COMPARE(main->File1->model()->rowCount(main->File1->rootIndex()), 3);
    QStringList names;
    for (int r = 0; r < 3; ++r)
        names << main->File1->model()->index(r, 0, main->File1->rootIndex()).data().toString();
    names.sort();
    // No name filter, and no folders among the files.
    QCOMPARE(names, (QStringList{"no-extension", "notes.txt", "run.exe"}));
    QVERIFY(main->File1->fileName().isEmpty());
    QVERIFY(main->File1->selectFile(QStringLiteral("run.exe")));
    QCOMPARE(main->File1->fileName(), QStringLiteral("run.exe"));

    // Opening a folder in the folder list.
    const QList<QListWidgetItem *> found = main->Dir1->findItems(QStringLiteral("inner"), Qt::MatchEndsWith);
    QCOMPARE(found.size(), 1);
    emit main->Dir1->itemActivated(found.first());
    QCOMPARE(main->Dir1->path(), QDir::toNativeSeparators(root + "/inner"));
    QCOMPARE(main->File1->path(), main->Dir1->path());
    QTRY_COMPARE(main->File1->model()->rowCount(main->File1->rootIndex()), 1);
    // The first line is the root; opening it climbs all the way up.
    emit main->Dir1->itemActivated(main->Dir1->item(0));
    QCOMPARE(main->Dir1->path(), QDir::toNativeSeparators(QDir::rootPath()));
    QCOMPARE(main->File1->path(), main->Dir1->path());
}

void TestMainWindow::driveListAndUnreadablePlaces()
{
    // The drive list starts with the root and moves the folder list there.
    QVERIFY(main->Drive1->count() >= 1);
    QCOMPARE(main->Drive1->itemText(0), QDir::toNativeSeparators(QDir::rootPath()));
    QVERIFY(main->Dir1->setPath(tree.path()));
    main->Drive1->setCurrentIndex(0);
    main->Drive1_Change(); // the selection may not have changed: run the handler as a change would
    QCOMPARE(main->Dir1->path(), QDir::toNativeSeparators(QDir::rootPath()));
    QCOMPARE(main->File1->path(), main->Dir1->path());

    // A folder or a drive that cannot be read leaves the lists where they are.
    const QString good = tree.filePath(QStringLiteral("good"));
    QDir().mkpath(good);
    const QString plainFile = tree.filePath(QStringLiteral("plain-file"));
    QVERIFY(writeFile(plainFile, "x"));
    QVERIFY(main->Dir1->setPath(good));
    QVERIFY(!main->Dir1->setPath(tree.filePath(QStringLiteral("missing"))));
    QVERIFY(!main->Dir1->setPath(plainFile));
    const QString before = QDir::toNativeSeparators(good);
    QCOMPARE(main->Dir1->path(), before);
    QCOMPARE(main->File1->path(), before);
    main->Drive1->addItem(QStringLiteral("/no/such/volume"));
    main->Drive1->setCurrentIndex(main->Drive1->count() - 1); // runs Drive1_Change
    QCOMPARE(main->Dir1->path(), before);
    QCOMPARE(main->File1->path(), before);
    QCOMPARE(main->Drive1->drive(), platform::nativeFolder(QStorageInfo(before).rootPath()));

    // Opened, the list is read anew: a volume gone since is gone from it.
    main->Drive1->showPopup();
    QCOMPARE(main->Drive1->findText(QStringLiteral("/no/such/volume")), -1);
    QCOMPARE(main->Drive1->itemText(0), QDir::toNativeSeparators(QDir::rootPath()));
    main->Drive1->hidePopup();
}

void TestMainWindow::drivesFromTheMountTable_data()
{
    QTest::addColumn<QString>("home");
    QTest::addColumn<QStringList>("shown");
    const QStringList shown{"/", "/data", "/home", "/home/ann/cloud", "/media/ann/USB DISK", "/mnt/data",
                            "/run/media/ann/STICK"};
    QTest::newRow("home on its own volume") << "/home/ann" << shown;
    QTest::newRow("home under /var") << "/var/home/ann" << shown + QStringList{"/var/home"};
    QTest::newRow("home on the root") << "/root" << shown;
}

void TestMainWindow::drivesFromTheMountTable()
{
    QFETCH(QString, home);
    QFETCH(QStringList, shown);
    const QList<platform::Volume> table{
        {"/proc", "proc"}, {"/sys", "sysfs"}, {"/dev", "devtmpfs"}, {"/dev/shm", "tmpfs"},
        {"/media/ann/USB DISK", "vfat"}, {"/", "ext4"}, {"/boot", "ext4"}, {"/boot/efi", "vfat"},
        {"/run", "tmpfs"}, {"/run/user/1000/doc", "fuse.portal"}, {"/run/media/ann/STICK", "exfat"},
        {"/run/user/1000/gvfs", "fuse.gvfsd-fuse"}, {"/snap/core22/1033", "squashfs"}, {"/opt/image", "squashfs"},
        {"/var/lib/docker/overlay2/5e1f/merged", "overlay"}, {"/var/home", "btrfs"}, {"/home", "ext4"},
        {"/mnt/data", "xfs"}, {"/data", "ext4"}, {"/etc/hosts", "ext4"}, {"/tmp", "tmpfs"},
        {"/home/ann/cloud", "fuse.rclone"}, {"/usr/local", "ext4"}, {"/mnt/data", "xfs"}};
    QCOMPARE(platform::browsableVolumes(table, home), shown);
}

static int openAboutWindows()
{
    int n = 0;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (qobject_cast<Form3 *>(w) && w->isVisible())
            ++n;
    return n;
}

void TestMainWindow::aboutShownOnceWhenChosenTwice()
{
    main->About_Click();
    Form3 *first = main->aboutWindow();
    QVERIFY(first);
    main->About_Click();
    QCOMPARE(main->aboutWindow(), first);
    QCOMPARE(openAboutWindows(), 1);
    QCOMPARE(first->windowTitle(), QStringLiteral("About this program"));
    QCOMPARE(first->size(), QSize(470, 237));
    QCOMPARE(first->Label1->geometry(), QRect(24, 16, 409, 185));
    QCOMPARE(first->Label1->font().family(), QStringLiteral("Arial"));
    QCOMPARE(first->Label1->font().pointSize(), 12);
    QVERIFY(first->Label1->wordWrap());
    const int length = first->Label1->text().size();
    QVERIFY2(length >= 400 && length <= 550, qPrintable(QString::number(length)));
    QVERIFY(first->parentWidget() == nullptr); // modeless, no owner
    QVERIFY(main->isEnabled());

    // Closed, it is gone; chosen again, it opens afresh.
    QPointer<Form3> closed = first;
    closed->close();
    QTRY_VERIFY(closed.isNull());
    main->About_Click();
    QVERIFY(main->aboutWindow());
    QCOMPARE(openAboutWindows(), 1);
}

void TestMainWindow::helpShowsTheFile_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("present");
    QTest::addColumn<QString>("opener"); // "shows", "fails" or "missing"
    QTest::newRow("opener shows the read-me") << "Readme" << "readme.1st" << true << "shows";
    QTest::newRow("opener fails on the read-me") << "Readme" << "readme.1st" << true << "fails";
    QTest::newRow("no opener for the licence") << "Disc" << "license.txt" << true << "missing";
    QTest::newRow("read-me missing") << "Readme" << "readme.1st" << false << "shows";
}

void TestMainWindow::helpShowsTheFile()
{
    QFETCH(QString, item);
    QFETCH(QString, file);
    QFETCH(bool, present);
    QFETCH(QString, opener);
    testing::WorkFolder work;
    QVERIFY(work.isValid());
    // UTF-8 and, on a line of its own, Latin-1.
    if (present)
        QVERIFY(writeFile(work.filePath(file), "Gr\xc3\xb6\xc3\x9f" "e\r\ncaf\xe9\r\n"));
    const QString commandLine = platform::textEditor() + u' ' + file;
    if (opener == u"fails")
        fakes->starter.failingAtEnd << commandLine;
    if (opener == u"missing")
        fakes->starter.failing << commandLine;

    main->findChild<QAction *>(item)->trigger();

    QCOMPARE(fakes->starter.commandLines(), present ? QStringList{commandLine} : QStringList{});
    if (present)
        QCOMPARE(fakes->starter.started.first().style, platform::WindowStyle::NormalFocus);
    TextWindow *window = main->textWindow(file);
    QCOMPARE(window != nullptr, present && opener != u"shows");
    if (window) {
        QVERIFY(window->isVisible());
        QCOMPARE(window->windowTitle(), file);
        QVERIFY(window->isReadOnly());
        QCOMPARE(window->toPlainText(), QString::fromUtf8("Größe\ncafé"));
        // Chosen again: the same window.
        main->findChild<QAction *>(item)->trigger();
        QCOMPARE(main->textWindow(file), window);
    }
    if (present) {
        QVERIFY(fakes->prompter.shown.isEmpty());
    } else {
        QCOMPARE(fakes->prompter.prompts().size(), 1);
        QVERIFY(fakes->prompter.prompts().first().contains(file));
        QVERIFY(fakes->prompter.prompts().first().contains(QDir::toNativeSeparators(QDir::currentPath())));
    }
}

void TestMainWindow::checkPathIsTheApplicationFolder()
{
    QString path = QStringLiteral("discarded");
    main->CheckPath(path);
    QCOMPARE(path, QDir::toNativeSeparators(QCoreApplication::applicationDirPath()) + QDir::separator());
    QVERIFY(!path.endsWith(QString(2, QDir::separator())));
}

void TestMainWindow::exitEndsTheEventLoop()
{
    main->About_Click();
    QTimer::singleShot(0, main->Command4, &QPushButton::click);
    QTimer watchdog;
    bool timedOut = false;
    watchdog.setSingleShot(true);
    connect(&watchdog, &QTimer::timeout, [&] { timedOut = true; QCoreApplication::exit(1); });
    watchdog.start(5000);
    QCOMPARE(QCoreApplication::exec(), 0);
    QVERIFY(!timedOut);
}

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
