// Show List hides the main window and Back shows it again, on a real X
// display with a window manager (xvfb-run, openbox): the window comes back
// at the place and size it had, also after the window manager moved it.
#include "app/Main.h"
#include "support/Fakes.h"
#include "viewer/Form2.h"

#include <QApplication>
#include <QPushButton>
#include <QtTest>

#include <xcb/xcb.h>

namespace {

// Asks the window manager to move a window, as a user's drag or a pager does
// (_NET_MOVERESIZE_WINDOW from source 2): the program itself did not place it.
void moveByWindowManager(QWidget &window, QPoint to)
{
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    QVERIFY(x11);
    xcb_connection_t *c = x11->connection();
    const char name[] = "_NET_MOVERESIZE_WINDOW";
    xcb_intern_atom_reply_t *atom = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, sizeof name - 1, name), nullptr);
    QVERIFY(atom);
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = xcb_window_t(window.winId());
    event.type = atom->atom;
    event.data.data32[0] = XCB_GRAVITY_NORTH_WEST | (1 << 8) | (1 << 9) | (2 << 12); // x, y; from a pager
    event.data.data32[1] = uint32_t(to.x());
    event.data.data32[2] = uint32_t(to.y());
    free(atom);
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    xcb_send_event(c, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&event));
    xcb_flush(c);
}

} // namespace

class TestWindowPlace : public QObject
{
    Q_OBJECT
private slots:
    void backRestoresThePlace_data();
    void backRestoresThePlace();
};

void TestWindowPlace::backRestoresThePlace_data()
{
    QTest::addColumn<QPoint>("to");
    QTest::addColumn<bool>("byWindowManager");
    QTest::newRow("moved by the user") << QPoint(310, 220) << true;
    QTest::newRow("moved by the program") << QPoint(40, 330) << false;
}

void TestWindowPlace::backRestoresThePlace()
{
    QFETCH(QPoint, to);
    QFETCH(bool, byWindowManager);
    FakeServices fakes;
    Main main({fakes.starter, fakes.prompter, fakes.shortcuts});
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    if (byWindowManager)
        moveByWindowManager(main, to);
    else
        main.move(to);
    QTRY_COMPARE(main.pos(), to);
    const QRect before = main.geometry();

    main.Command2->click();
    QVERIFY(main.viewer());
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
