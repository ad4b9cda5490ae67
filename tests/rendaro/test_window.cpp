// A window for the launcher to minimize, maximize or withdraw, shown
// minimized with RENDARO_TEST_MINIMIZED set: once shown it appends
// "<executable> <window id>" to the file named by RENDARO_TEST_LOG. It ends
// with the X server of its test.
#include <QApplication>
#include <QFile>
#include <QTimer>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(200, 150);
    qEnvironmentVariableIsSet("RENDARO_TEST_MINIMIZED") ? window.showMinimized() : window.show();
    QTimer::singleShot(0, &window, [&window] {
        QFile log(qEnvironmentVariable("RENDARO_TEST_LOG"));
        if (log.open(QIODevice::Append))
            log.write(QFile::encodeName(QCoreApplication::applicationFilePath()) + ' '
                      + QByteArray::number(window.winId()) + '\n');
    });
    return app.exec();
}
