// A window for the launcher to minimize, maximize or withdraw: shown
// minimized with RENDARO_TEST_MINIMIZED set, of a fixed size for its first
// second (openbox maximizes no such window) with RENDARO_TEST_FIXED set.
// Once shown it appends "<executable> <window id>" to the file named by
// RENDARO_TEST_LOG. It ends with the X server of its test.
#include <QApplication>
#include <QFile>
#include <QTimer>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(200, 150);
    if (qEnvironmentVariableIsSet("RENDARO_TEST_FIXED")) {
        window.setFixedSize(200, 150);
        QTimer::singleShot(1000, &window, [&window] { window.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX); });
    }
    qEnvironmentVariableIsSet("RENDARO_TEST_MINIMIZED") ? window.showMinimized() : window.show();
    QTimer::singleShot(0, &window, [&window] {
        QFile log(qEnvironmentVariable("RENDARO_TEST_LOG"));
        if (log.open(QIODevice::Append))
            log.write(QFile::encodeName(QCoreApplication::applicationFilePath()) + ' ' + QByteArray::number(window.winId()) + '\n');
    });
    return app.exec();
}
