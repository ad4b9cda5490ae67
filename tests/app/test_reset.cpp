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
    void afterChanges_data();
    void afterChanges();
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

void TestReset::afterChanges_data()
{
    QTest::addColumn<QList<int>>("ticked"); // nothing ticked, no choices: as started
    QTest::addColumn<QStringList>("choices"); // hour, minute, AM/PM, run style
    QTest::addColumn<int>("clicks");
    QTest::newRow("after start-up") << QList<int>{} << QStringList{} << 1;
    QTest::newRow("nothing ticked") << QList<int>{} << QStringList{"07", "45", "PM", "Maximize"} << 1;
    QTest::newRow("two days") << QList<int>{0, 3} << QStringList{"01", "15", "AM", "Hide"} << 1;
    QTest::newRow("all seven") << QList<int>{0, 1, 2, 3, 4, 5, 6} << QStringList{"11", "30", "PM", "Minimize"} << 1;
    QTest::newRow("Sunday, as reset") << QList<int>{6} << QStringList{"12", "00", "AM", "Normal"} << 1;
    QTest::newRow("twice in a row") << QList<int>{2} << QStringList{"07", "45", "PM", "Maximize"} << 2;
}

void TestReset::afterChanges()
{
    QFETCH(QList<int>, ticked);
    QFETCH(QStringList, choices);
    QFETCH(int, clicks);
    FakeServices fakes;
    Main main({fakes.starter, fakes.prompter, fakes.shortcuts});
    QCOMPARE(Main::listText(main.List1), QStringLiteral("PM"));
    for (int i : ticked)
        main.Check1[i]->setChecked(true);
    QString text4 = QStringLiteral("1"), text1 = QStringLiteral("Text1"), text3 = QStringLiteral("0");
    if (!choices.isEmpty()) {
        Main::setListText(main.List2, choices[0]);
        Main::setListText(main.List3, choices[1]);
        Main::setListText(main.List1, choices[2]);
        Main::setListText(main.List4, choices[3]);
        // What a pick leaves in the working storage.
        main.Text4->setText(text4 = QStringLiteral("5"));
        main.Text1->setText(text1 = QStringLiteral("/opt/tools/sync"));
        main.Text3->setText(text3 = QStringLiteral("19"));
        QTRY_VERIFY(main.File1->model()->rowCount(main.File1->rootIndex()) > 0);
        QVERIFY(main.File1->selectFile(main.File1->model()->index(0, 0, main.File1->rootIndex()).data().toString()));
    }
    const QString folder = main.Dir1->path();
    const QString file = main.File1->fileName();
    const QString drive = main.Drive1->currentText();

    for (int i = 0; i < clicks; ++i)
        QTest::mouseClick(main.Command5, Qt::LeftButton);

    verifyResetForm(main);
    QCOMPARE(fakes.starter.commandLines(), QStringList(clicks, QStringLiteral("zeptra.com")));
    for (const StartedProgram &p : fakes.starter.started)
        QCOMPARE(p.style, platform::WindowStyle::Hidden);
    QVERIFY(fakes.prompter.shown.isEmpty());
    // The counter carries on; the last pick and the browser stay.
    QCOMPARE(main.Text4->text(), text4);
    QCOMPARE(main.Text1->text(), text1);
    QCOMPARE(main.Text3->text(), text3);
    QCOMPARE(main.Dir1->path(), folder);
    QCOMPARE(main.File1->path(), folder);
    QCOMPARE(main.File1->fileName(), file);
    QCOMPARE(main.Drive1->currentText(), drive);
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
