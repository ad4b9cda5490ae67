// Shows the viewer on a real X display with a Monday of two entries,
// grabs the window as the display shows it and checks the picture: the
// client area is 673 x 519, the six display lines are drawn at the top, the
// area below them down to the button row is empty, and the button row is
// drawn.
//   viewer_screenshot <output.png>      (run under xvfb-run)

#include "app/Fonts.h"
#include "schedule/Entry.h"
#include "schedule/TextFile.h"
#include "viewer/Form2.h"
#include "viewer/ListArea.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

namespace {

int failures = 0;

void check(bool ok, const QString &what)
{
    std::printf("%s: %s\n", ok ? "ok" : "FAIL", qPrintable(what));
    if (!ok)
        ++failures;
}

int colours(const QImage &image, const QRect &band)
{
    QSet<QRgb> seen;
    for (int y = band.top(); y <= band.bottom(); ++y)
        for (int x = band.left(); x <= band.right(); ++x)
            seen.insert(image.pixel(x, y));
    return int(seen.size());
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: viewer_screenshot <output.png>\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    // The picture is of the real display, not of the offscreen test platform.
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    installFontSubstitutes();

    QTemporaryDir work;
    if (!work.isValid() || !QDir::setCurrent(work.path()))
        return 2;
    const QList<schedule::Entry> day{
        {"07:30", "C:\\Program Files\\Tools\\backup.exe", "Hide", "Monday"},
        {"19:45", "D:\\Tools\\sync.exe", "Min", "Monday"},
    };
    QStringList lines;
    for (const schedule::Entry &e : day)
        lines += e.lines();
    QFile file(QStringLiteral("datmon.dat"));
    if (!file.open(QIODevice::WriteOnly) || file.write(*schedule::encodeLines(lines)) < 0)
        return 2;
    file.close();

    Form2 viewer;
    viewer.show();
    if (!QTest::qWaitForWindowExposed(&viewer)) {
        check(false, QStringLiteral("the viewer window was shown on the display"));
        return 1;
    }
    viewer.Command1->click();
    // Let the display take the repaint before the picture is taken.
    for (int i = 0; i < 10; ++i) {
        QCoreApplication::processEvents();
        QTest::qWait(20);
    }

    const QImage shot = viewer.screen()->grabWindow(viewer.winId()).toImage();
    if (!shot.save(out))
        check(false, QStringLiteral("picture saved as %1").arg(out));
    std::printf("window %d x %d, picture in %s\n", shot.width(), shot.height(), qPrintable(out));
    check(shot.size() == QSize(673, 519), QStringLiteral("client area is 673 x 519"));
    if (shot.size() != QSize(673, 519))
        return 1;

    const int spacing = viewer.listArea()->lineSpacing();
    check(viewer.listArea()->lines().size() == 6, QStringLiteral("six display lines"));
    check(colours(shot, shot.rect()) > 8, QStringLiteral("the window is not blank"));
    for (int line = 0; line < 6; ++line)
        check(colours(shot, QRect(0, line * spacing, 673, spacing)) > 2,
              QStringLiteral("display line %1 is drawn").arg(line + 1));
    check(colours(shot, QRect(0, 6 * spacing, 673, 480 - 6 * spacing)) == 1,
          QStringLiteral("nothing below the sixth line"));
    check(colours(shot, QRect(0, 480, 673, 33)) > 8, QStringLiteral("the button row is drawn"));
    std::printf("%d failed\n", failures);
    return failures == 0 ? 0 : 1;
}
