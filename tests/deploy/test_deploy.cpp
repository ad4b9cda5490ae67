#include "app/Browser.h"
#include "app/Main.h"
#include "deploy/Deploy.h"
#include "support/Fakes.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QPushButton>
#include <QCoreApplication>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QtTest>

using platform::ShortcutScope;

namespace {

// Every control of the window with what it holds, to see that a handler
// changed none.
QStringList snapshot(const Main &main)
{
    QStringList lines;
    lines << QStringLiteral("window visible=%1 title=%2").arg(main.isVisible()).arg(main.windowTitle());
    for (const QWidget *w : main.findChildren<QWidget *>()) {
        if (w->objectName().isEmpty())
            continue;
        QString value;
        if (auto *b = qobject_cast<const QAbstractButton *>(w))
            value = QStringLiteral("%1 checked=%2").arg(b->text()).arg(b->isChecked());
        else if (auto *e = qobject_cast<const QLineEdit *>(w))
            value = e->text();
        else if (auto *f = qobject_cast<const FolderList *>(w))
            value = f->path();
        else if (auto *l = qobject_cast<const QListWidget *>(w))
            value = QStringLiteral("row=%1 text=%2").arg(l->currentRow()).arg(Main::listText(l));
        else if (auto *d = qobject_cast<const DriveList *>(w))
            value = QStringLiteral("drive=%1").arg(d->drive());
        else if (auto *fl = qobject_cast<const FileList *>(w))
            value = fl->path() + u'|' + fl->fileName();
        lines << QStringLiteral("%1 %2 visible=%3 enabled=%4 %5")
                     .arg(w->objectName(), QString::fromLatin1(w->metaObject()->className()))
                     .arg(w->isVisible())
                     .arg(w->isEnabled())
                     .arg(value);
    }
    return lines;
}

// A form that is not in its start-up state, so that a reset would show.
void setSomeValues(Main &main)
{
    main.Check1[1]->setChecked(true);
    main.Check1[4]->setChecked(true);
    Main::setListText(main.List1, QStringLiteral("AM"));
    Main::setListText(main.List2, QStringLiteral("07"));
    Main::setListText(main.List3, QStringLiteral("30"));
    Main::setListText(main.List4, QStringLiteral("Hide"));
    main.Text4->setText(QStringLiteral("5"));
    main.Text1->setText(QStringLiteral("/usr/bin/true"));
    main.Text3->setText(QStringLiteral("07"));
}

QString expectedLauncher()
{
    return QDir::toNativeSeparators(QCoreApplication::applicationDirPath()) + QDir::separator()
           + QStringLiteral("Rendaro.exe");
}

} // namespace


// The texts the user sees, letter for letter.
const QString kQuestion = QStringLiteral(
    " Want a short cut to your login (account)? Yes to your Login only, No to All users, Cancel to clear data list ");
const QString kLoginMessage = QStringLiteral(
    "DATA FILES GENERATED and File copied to your Login Profile, Rendaro will be activated next time you log on");
const QString kAllUsersMessage = QStringLiteral(
    "DATA FILES GENERATED and File copied to All Users profile, Rendaro will be activated next time you log on");
const QString kCancelMessage = QStringLiteral(
    "DATA FILES clear, Rendaro not copied, but Check if Program already copied");

class TestDeploy : public QObject
{
    Q_OBJECT
private slots:
    void answers_data();
    void answers();
    void twoClicksRequestTwice();
    void failedBrinolStartIsToldAndDeployGoesOn();
    void launcherPath_data();
    void launcherPath();
};

void TestDeploy::answers_data()
{
    QTest::addColumn<qint16>("answer");
    QTest::addColumn<int>("shortcut"); // what the shortcut maker answers: 0 made, 1 failed, 2 needs admin rights
    QTest::addColumn<QStringList>("started");
    QTest::addColumn<int>("scope"); // of the one shortcut request; -1: none
    QTest::addColumn<QString>("message"); // the closing message exactly, or what it must say

    const QStringList brinol{QStringLiteral("brinol.com")};
    const QStringList both{QStringLiteral("brinol.com"), QStringLiteral("zeptra.com")};
    const int user = int(ShortcutScope::CurrentUser), all = int(ShortcutScope::AllUsers);
    QTest::newRow("Yes") << qint16(6) << 0 << brinol << user << kLoginMessage;
    QTest::newRow("No") << qint16(7) << 0 << brinol << all << kAllUsersMessage;
    QTest::newRow("Cancel") << qint16(2) << 0 << both << -1 << kCancelMessage;
    // What the message box returns for Escape and its close button.
    QTest::newRow("Escape") << qint16(platform::AnswerCancel) << 0 << both << -1 << kCancelMessage;
    QTest::newRow("Ok") << qint16(1) << 0 << both << -1 << kCancelMessage;
    QTest::newRow("negative") << qint16(-6) << 0 << both << -1 << kCancelMessage;
    QTest::newRow("Yes+256") << qint16(6 + 256) << 0 << both << -1 << kCancelMessage;
    // The shortcut fails: one message that says so and why, never the success message.
    QTest::newRow("Yes, folder is a file") << qint16(6) << 1 << brinol << user << "could not be created";
    QTest::newRow("No, no rights") << qint16(7) << 2 << brinol << all << "administrator rights are needed";
    QTest::newRow("No, other reason") << qint16(7) << 1 << brinol << all << "could not be created";
}

void TestDeploy::answers()
{
    QFETCH(qint16, answer);
    QFETCH(int, shortcut);
    QFETCH(QStringList, started);
    QFETCH(int, scope);
    QFETCH(QString, message);

    FakeServices fakes;
    fakes.prompter.answers = {answer};
    const QString why = QStringLiteral("/some/where: the reason the system gave");
    if (shortcut)
        fakes.shortcuts.result = {false, why, shortcut == 2};
    Main main({fakes.starter, fakes.prompter, fakes.shortcuts});
    setSomeValues(main);
    const QStringList before = snapshot(main);

    main.Command3->click();

    QCOMPARE(fakes.starter.commandLines(), started);
    for (const StartedProgram &p : fakes.starter.started)
        QCOMPARE(p.style, platform::WindowStyle::Hidden);

    QCOMPARE(fakes.prompter.shown.size(), 2);
    QCOMPARE(fakes.prompter.shown[0].prompt,
             QStringLiteral(" Want a short cut to your login (account)? Yes to your Login only, No to All users, "
                            "Cancel to clear data list "));
    QCOMPARE(fakes.prompter.shown[0].buttons, platform::Buttons::YesNoCancel);
    QCOMPARE(fakes.prompter.shown[1].buttons, platform::Buttons::Ok);
    const QString shown = fakes.prompter.shown[1].prompt;
    if (!shortcut) {
        QCOMPARE(shown, message);
    } else {
        QVERIFY2(shown.contains(message) && shown.contains(why), qPrintable(shown));
        QVERIFY(shown != kLoginMessage && shown != kAllUsersMessage);
        QVERIFY(!shown.contains(QStringLiteral("File copied")));
        QCOMPARE(shown.contains(QStringLiteral("administrator")), shortcut == 2);
    }

    QCOMPARE(fakes.shortcuts.requests.size(), scope < 0 ? 0 : 1);
    if (scope >= 0) {
        const ShortcutRequest &r = fakes.shortcuts.requests.first();
        QCOMPARE(r.folder, QStringLiteral("\\Startup"));
        QCOMPARE(r.linkName, QStringLiteral("Rendaro"));
        QCOMPARE(r.target, expectedLauncher());
        QCOMPARE(r.arguments, QString());
        QCOMPARE(int(r.scope), scope);
        QCOMPARE(r.workingFolder, QDir::toNativeSeparators(QDir::currentPath()));
    }

    QCOMPARE(snapshot(main), before);
}

void TestDeploy::twoClicksRequestTwice()
{
    FakeServices fakes;
    fakes.prompter.answers = {platform::AnswerYes, platform::AnswerNo};
    Main main({fakes.starter, fakes.prompter, fakes.shortcuts});

    main.Command3->click();
    main.Command3->click();

    QCOMPARE(fakes.starter.commandLines(), (QStringList{QStringLiteral("brinol.com"), QStringLiteral("brinol.com")}));
    QCOMPARE(fakes.shortcuts.requests.size(), 2);
    QCOMPARE(fakes.shortcuts.requests[0].scope, ShortcutScope::CurrentUser);
    QCOMPARE(fakes.shortcuts.requests[1].scope, ShortcutScope::AllUsers);
    QCOMPARE(fakes.shortcuts.requests[0].target, fakes.shortcuts.requests[1].target);
    QCOMPARE(fakes.prompter.prompts().mid(1, 1), QStringList{kLoginMessage});
    QCOMPARE(fakes.prompter.prompts().last(), kAllUsersMessage);
}

void TestDeploy::failedBrinolStartIsToldAndDeployGoesOn()
{
    FakeServices fakes;
    fakes.starter.failing = {QStringLiteral("brinol.com"), QStringLiteral("zeptra.com")};
    fakes.prompter.answers = {platform::AnswerCancel};
    Main main({fakes.starter, fakes.prompter, fakes.shortcuts});

    main.Command3->click();

    const QStringList prompts = fakes.prompter.prompts();
    QCOMPARE(prompts.size(), 4);
    QVERIFY(prompts[0].contains(QStringLiteral("brinol.com")));
    QVERIFY(prompts[0].contains(QStringLiteral("the program was not found")));
    QCOMPARE(prompts[1], kQuestion);
    QVERIFY(prompts[2].contains(QStringLiteral("zeptra.com")));
    QCOMPARE(prompts[3], kCancelMessage);
}

void TestDeploy::launcherPath_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<QString>("launcher");

    const QChar back(u'\\');
    const QChar slash(u'/');
    QTest::newRow("C:\\Tools\\") << QStringLiteral("C:\\Tools\\") << back << QStringLiteral("C:\\Tools\\Rendaro.exe");
    QTest::newRow("C:\\") << QStringLiteral("C:\\") << back << QStringLiteral("C:\\Rendaro.exe");
    QTest::newRow("/opt/vellomar/") << QStringLiteral("/opt/vellomar/") << slash << QStringLiteral("/opt/vellomar/Rendaro.exe");
    QTest::newRow("/") << QStringLiteral("/") << slash << QStringLiteral("/Rendaro.exe");
}

void TestDeploy::launcherPath()
{
    QFETCH(QString, folder);
    QFETCH(QChar, separator);
    QFETCH(QString, launcher);
    QCOMPARE(deploy::launcherPath(folder, separator), launcher);
}

QTEST_MAIN(TestDeploy)
#include "test_deploy.moc"
