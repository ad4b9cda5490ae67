#include "app/Browser.h"
#include "app/Main.h"
#include "support/Fakes.h"

#include <QFileSystemModel>
#include <QtTest>

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void fileListFollowsFolder();
};

void TestMainWindow::fileListFollowsFolder()
{
    FakeServices fakes;
    Main main({fakes.starter, fakes.prompter, fakes.shortcuts});
    qDebug() << main.Dir1->path() << main.File1->path();
    QTRY_VERIFY(main.File1->model()->rowCount(main.File1->rootIndex()) > 0);
}

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
