#include "app/Browser.h"
#include "app/Main.h"
#include "support/Fakes.h"

#include <QCheckBox>
#include <QFileSystemModel>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

// Reset/Clear List on the real main window with the fake services.
class TestReset : public QObject
{
    Q_OBJECT
private slots:
    void afterStartUp();
    void afterChanges_data();
    void afterChanges();
    void twiceInARow();
    void failedStartIsToldAndWindowStaysUsable();

private:
    static void verifyResetForm(const Main &main);
};

void TestReset::verifyResetForm(const Main &main)
{
    for (int i = 0; i < 7; ++i)
        QVERIFY2(!main.Check1[i]->isChecked(), qPrintable(QStringLiteral("Check1(%1)").arg(i)));
    QCOMPARE(Main::listText(main.List2), QStringLiteral("12"));
    QCOMPARE(Main::listText(main.List3), QStringLiteral("00"));
    QCOMPARE(Main::listText(main.List1), QStringLiteral("AM"));
    QCOMPARE(Main::listText(main.List4), QStringLiteral("Normal"));
    for (const QListWidget *list : {main.List1, main.List2, main.List3, main.List4})
        QCOMPARE(list->selectedItems().size(), 1);
}

void TestReset::afterStartUp()
{
    FakeServices fakes;
    Main main({fakes.starter, fakes.prompter, fakes.shortcuts});
    QCOMPARE(Main::listText(main.List1), QStringLiteral("PM"));
    const QString folder = main.Dir1->path();

    QTest::mouseClick(main.Command5, Qt::LeftButton);

    verifyResetForm(main);
    QCOMPARE(fakes.starter.commandLines(), QStringList{QStringLiteral("zeptra.com")});
    QCOMPARE(fakes.starter.started.first().style, platform::WindowStyle::Hidden);
    QVERIFY(fakes.prompter.shown.isEmpty());
    QCOMPARE(main.Text4->text(), QStringLiteral("1"));
    QCOMPARE(main.Dir1->path(), folder);
}

void TestReset::afterChanges_data()
{
    QTest::addColumn<QList<int>>("ticked");
    QTest::addColumn<QStringList>("choices"); // hour, minute, AM/PM, run style
    QTest::newRow("nothing ticked") << QList<int>{} << QStringList{"07", "45", "PM", "Maximize"};
    QTest::newRow("two days") << QList<int>{0, 3} << QStringList{"01", "15", "AM", "Hide"};
    QTest::newRow("all seven") << QList<int>{0, 1, 2, 3, 4, 5, 6} << QStringList{"11", "30", "PM", "Minimize"};
    QTest::newRow("Sunday, as reset") << QList<int>{6} << QStringList{"12", "00", "AM", "Normal"};
}

void TestReset::afterChanges()
{
    QFETCH(QList<int>, ticked);
    QFETCH(QStringList, choices);
    FakeServices fakes;
    Main main({fakes.starter, fakes.prompter, fakes.shortcuts});
    for (int i : ticked)
        main.Check1[i]->setChecked(true);
    Main::setListText(main.List2, choices[0]);
    Main::setListText(main.List3, choices[1]);
    Main::setListText(main.List1, choices[2]);
    Main::setListText(main.List4, choices[3]);
    // What a pick leaves in the working storage.
    main.Text4->setText(QStringLiteral("5"));
    main.Text1->setText(QStringLiteral("/opt/tools/sync"));
    main.Text3->setText(QStringLiteral("19"));
    QTRY_VERIFY(main.File1->model()->rowCount(main.File1->rootIndex()) > 0);
    const QString someFile = main.File1->model()->index(0, 0, main.File1->rootIndex()).data().toString();
    QVERIFY(main.File1->selectFile(someFile));
    const QString folder = main.Dir1->path();
    const QString drive = main.Drive1->currentText();

    main.Command5_Click();

    verifyResetForm(main);
    QCOMPARE(fakes.starter.commandLines(), QStringList{QStringLiteral("zeptra.com")});
    // The counter carries on; the last pick and the browser stay.
    QCOMPARE(main.Text4->text(), QStringLiteral("5"));
    QCOMPARE(main.Text1->text(), QStringLiteral("/opt/tools/sync"));
    QCOMPARE(main.Text3->text(), QStringLiteral("19"));
    QCOMPARE(main.Dir1->path(), folder);
    QCOMPARE(main.File1->path(), folder);
    QCOMPARE(main.File1->fileName(), someFile);
    QCOMPARE(main.Drive1->currentText(), drive);
}

void TestReset::twiceInARow()
{
    FakeServices fakes;
    Main main({fakes.starter, fakes.prompter, fakes.shortcuts});
    main.Check1[2]->setChecked(true);
    main.Text4->setText(QStringLiteral("3"));

    QTest::mouseClick(main.Command5, Qt::LeftButton);
    QTest::mouseClick(main.Command5, Qt::LeftButton);

    verifyResetForm(main);
    QCOMPARE(fakes.starter.commandLines(), (QStringList{QStringLiteral("zeptra.com"), QStringLiteral("zeptra.com")}));
    QCOMPARE(main.Text4->text(), QStringLiteral("3"));
    QVERIFY(fakes.prompter.shown.isEmpty());
}

void TestReset::failedStartIsToldAndWindowStaysUsable()
{
    FakeServices fakes;
    fakes.starter.failing = {QStringLiteral("zeptra.com")};
    Main main({fakes.starter, fakes.prompter, fakes.shortcuts});
    main.Check1[0]->setChecked(true);
    Main::setListText(main.List1, QStringLiteral("PM"));

    QTest::mouseClick(main.Command5, Qt::LeftButton);

    // The form is reset before the start is tried.
    verifyResetForm(main);
    QCOMPARE(fakes.prompter.shown.size(), 1);
    QCOMPARE(fakes.prompter.shown.first().buttons, platform::Buttons::Ok);
    QVERIFY2(fakes.prompter.shown.first().prompt.contains(QStringLiteral("zeptra.com")),
             qPrintable(fakes.prompter.shown.first().prompt));

    // Still usable: a later Reset, once zeptra.com starts, works as ever.
    QVERIFY(main.isVisible());
    QVERIFY(main.Command5->isEnabled());
    fakes.starter.failing.clear();
    main.Check1[4]->setChecked(true);
    QTest::mouseClick(main.Command5, Qt::LeftButton);
    verifyResetForm(main);
    QCOMPARE(fakes.starter.commandLines().size(), 2);
    QCOMPARE(fakes.prompter.shown.size(), 1);
}

QTEST_MAIN(TestReset)
#include "test_reset.moc"
