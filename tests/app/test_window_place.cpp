// Show List hides the main window and Back shows it again, on a real X
// display with a window manager (xvfb-run, openbox): the window comes back
// at the place and size it had, also after it was moved from outside the
// program, as a user's drag does.
#include "app/Main.h"
#include "support/Fakes.h"
#include "viewer/Form2.h"

#include <QApplication>
#include <QPushButton>
#include <QtTest>

class TestWindowPlace : public QObject
{
    Q_OBJECT
private slots:
    void backRestoresThePlace();
};

void TestWindowPlace::backRestoresThePlace()
{
    FakeServices fakes;
    Main main({fakes.starter, fakes.prompter, fakes.shortcuts});
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    const QPoint first = main.pos();
    QCOMPARE(QProcess::execute("xdotool", {"windowmove", QString::number(main.winId()), "310", "220"}), 0);
    QTRY_VERIFY(main.pos() != first);
    const QRect before = main.geometry();

    main.Command2->click();
    QVERIFY(QTest::qWaitForWindowExposed(main.viewer()));
    QTRY_VERIFY(!main.isVisible());
    main.viewer()->Command8->click();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    QTRY_COMPARE(main.geometry(), before);
}

int main(int argc, char *argv[])
{
    // A real display and its window manager, not the offscreen platform.
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    TestWindowPlace test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_window_place.moc"
