#include "app/Main.h"

#include "app/Browser.h"
#include "app/Form3.h"
#include "app/Lines.h"
#include "app/TextWindow.h"
#include "platform/Paths.h"
#include "platform/ProgramStarter.h"
#include "platform/Prompter.h"
#include "platform/StartAndReport.h"
#include "schedule/DayTable.h"
#include "schedule/RunStyle.h"
#include "viewer/Form2.h"
#include "widgets/CaptionButton.h"
#include "widgets/ChoiceList.h"
#include "widgets/Faces.h"
#include "widgets/Fit.h"
#include "widgets/Twips.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLayout>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>

namespace {

using widgets::twips;

} // namespace

Main::Main(MainServices services, QWidget *parent)
    : QMainWindow(parent)
    , m_services(services)
{
    setObjectName(QStringLiteral("Main"));
    setWindowTitle(QStringLiteral("Vellomar 1.0"));
    // 32 x 32 pixels in 16 colours; the program files carry the full-colour icon.
    setWindowIcon(QIcon(QStringLiteral(":/window.png")));
    buildControls();
    buildMenu();
    Form_Load();
}

Main::~Main()
{
    delete m_form2;
    delete m_form3;
    for (const QPointer<TextWindow> &window : std::as_const(m_textWindows))
        delete window;
}

void Main::buildControls()
{
    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(twips(9135), twips(5085));
    client->setFont(widgets::face("MS Sans Serif", 8.25));
    setCentralWidget(client);
    // The window keeps the size of its client area and menu bar.
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    auto place = [client](auto *widget, const char *name, QRect where) {
        widget->setParent(client);
        widget->setObjectName(QString::fromLatin1(name));
        widget->setGeometry(where);
        return widget;
    };
    auto label = [&](const char *name, const QString &text, QRect where) {
        auto *l = place(new QLabel(text), name, where);
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return l;
    };
    auto button = [&](const char *name, const char *text, QRect where) {
        return place(new widgets::CaptionButton(QString::fromLatin1(text)), name, where);
    };
    auto list = [&](const char *name, QStringList items, QRect where) {
        auto *l = place(new widgets::ChoiceList, name, where);
        l->addItems(items);
        l->setFont(widgets::face("MS Sans Serif", 12));
        l->setSelectionMode(QAbstractItemView::SingleSelection);
        l->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        l->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        l->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
        // One item fills the box; the wheel and the arrow keys reach the others.
        const int itemHeight = where.height() - 2 * l->frameWidth();
        for (int i = 0; i < l->count(); ++i)
            l->item(i)->setSizeHint(QSize(where.width() - 2 * l->frameWidth(), itemHeight));
        l->setCurrentRow(-1);
        return l;
    };
    auto hiddenText = [&](const char *name, const char *text, QRect where) {
        auto *t = place(new QLineEdit(QString::fromLatin1(text)), name, where);
        t->setFocusPolicy(Qt::NoFocus);
        t->hide();
        return t;
    };

    const int labelLeft[7] = {360, 840, 1320, 1800, 2280, 2760, 3240};
    const int labelWidth[7] = {495, 495, 495, 495, 375, 495, 375};
    const int labelHeight[7] = {375, 255, 255, 375, 255, 255, 255};
    for (int i = 0; i < 7; ++i)
        dayLabels[i] = label(qPrintable(QStringLiteral("Label%1").arg(i + 1)), QString(schedule::day(i).code),
                             twips(labelLeft[i], 960, labelWidth[i], labelHeight[i]));

    Command1 = button("Command1", "Pick Program", twips(240, 4440, 1455, 495));
    Program = label("Program", QStringLiteral("Program to be Run when starting up pc"), twips(240, 2040, 1335, 855));
    Program->setFont(widgets::face("MS Sans Serif", 8.25, true));
    Program->setWordWrap(true);
    Drive1 = place(new DriveList, "Drive1", twips(1680, 2040, 975, 315));
    Dir1 = place(new FolderList, "Dir1", twips(3120, 2040, 2655, 1890));
    File1 = place(new FileList, "File1", twips(6000, 2040, 2655, 1845));
    Command2 = button("Command2", "Show List", twips(1800, 4440, 1095, 495));
    Command3 = button("Command3", "Ready to Deploy...", twips(3000, 4440, 1215, 495));
    for (int i = 0; i < 7; ++i) {
        Check1[i] = place(new QCheckBox(QStringLiteral("Check1")), qPrintable(QStringLiteral("Check1_%1").arg(i)),
                          twips(480 + 480 * i, 1320, 255, 255));
        // Read out by the day it stands for, as the label above it shows.
        Check1[i]->setAccessibleName(QString(schedule::day(i).name));
    }
    Text1 = hiddenText("Text1", "Text1", twips(7680, 4440, 735, 495));
    Label8 = label("Label8", QStringLiteral("Time (Will run after below time)"), twips(4680, 960, 2295, 255));
    List1 = list("List1", {QStringLiteral("AM"), QStringLiteral("PM")}, twips(6120, 1320, 855, 360));
    QStringList hours;
    for (int h = 1; h <= 12; ++h)
        hours.append(QStringLiteral("%1").arg(h, 2, 10, QLatin1Char('0')));
    List2 = list("List2", hours, twips(4440, 1320, 735, 360));
    List3 = list("List3", {QStringLiteral("00"), QStringLiteral("15"), QStringLiteral("30"), QStringLiteral("45")},
                 twips(5280, 1320, 735, 360));
    Label9 = label("Label9", QStringLiteral("Orlen's Vellomar"), twips(1080, 240, 6975, 615));
    Label9->setFont(widgets::face("Book Antiqua", 14.25, true));
    Label10 = label("Label10", QStringLiteral("Run Style"), twips(7080, 960, 1695, 255));
    QStringList styles;
    for (const schedule::RunStyleName &style : schedule::runStyles())
        styles.append(QString(style.word));
    List4 = list("List4", styles, twips(7320, 1320, 1575, 360));
    Text3 = hiddenText("Text3", "0", twips(8400, 4080, 375, 285));
    Text4 = hiddenText("Text4", "", twips(8520, 4560, 495, 375));
    Command4 = button("Command4", "Exit", twips(6120, 4440, 1335, 495));
    Command5 = button("Command5", "Reset/Clear List", twips(4440, 4440, 1455, 495));

    // A horizontal rule from (1440, 720) to (7800, 720), drawn under the title.
    Line1 = place(new Rule, "Line1", QRect(twips(1440), twips(720), twips(7800 - 1440), 1));
    Line1->setAttribute(Qt::WA_TransparentForMouseEvents);
    Line1->lower();
    for (QWidget *framed : std::initializer_list<QWidget *>{List1, List2, List3, List4, Dir1, File1})
        outline(framed);
    widgets::fitTexts(client);

    // Each list by the label a sighted user reads beside it.
    const std::pair<QWidget *, const char *> names[] = {{List2, "Hour"},        {List3, "Minute"}, {List1, "AM or PM"},
                                                        {List4, "Run Style"},   {Drive1, "Drive"}, {Dir1, "Folder"},
                                                        {File1, "Program file"}};
    for (const auto &[widget, name] : names)
        widget->setAccessibleName(QString::fromLatin1(name));

    QWidget *order[] = {Command1,  Drive1,    Dir1,      File1,     Command2,  Command3,  Check1[0],
                        Check1[1], Check1[2], Check1[3], Check1[4], Check1[5], Check1[6], List1,
                        List2,     List3,     List4,     Command4,  Command5};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(Drive1, &QComboBox::currentIndexChanged, this, &Main::Drive1_Change);
    connect(Dir1, &FolderList::pathChanged, this, &Main::Dir1_Change);
    connect(Command1, &QPushButton::clicked, this, &Main::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Main::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Main::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Main::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &Main::Command5_Click);
}

void Main::buildMenu()
{
    QMenu *help = menuBar()->addMenu(QStringLiteral("Help"));
    help->setObjectName(QStringLiteral("Help"));
    QAction *about = help->addAction(QStringLiteral("About"), this, &Main::About_Click);
    about->setObjectName(QStringLiteral("About"));
    QAction *readme = help->addAction(QStringLiteral("Readme"), this, &Main::Readme_Click);
    readme->setObjectName(QStringLiteral("Readme"));
    QAction *disc = help->addAction(QStringLiteral("Disclaimer"), this, &Main::Disc_Click);
    disc->setObjectName(QStringLiteral("Disc"));
}

void Main::setListText(QListWidget *list, const QString &text)
{
    const QList<QListWidgetItem *> found = list->findItems(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (found.isEmpty())
        return;
    list->setCurrentItem(found.first());
    list->scrollToItem(found.first(), QAbstractItemView::PositionAtTop);
}

QString Main::listText(const QListWidget *list)
{
    const QList<QListWidgetItem *> selected = list->selectedItems();
    return selected.isEmpty() ? QString() : selected.first()->text();
}

void Main::setTimeAndStyle(const QString &amPm)
{
    setListText(List2, QStringLiteral("12"));
    setListText(List3, QStringLiteral("00"));
    setListText(List1, amPm);
    setListText(List4, QStringLiteral("Normal"));
}

void Main::Form_Load()
{
    Text4->setText(QStringLiteral("1"));
    setTimeAndStyle(QStringLiteral("PM"));
    show();
    Command1->setFocus();
    // "C:\PROGRAM FILES" on Windows; the system's programs folder elsewhere.
    Dir1->setPath(platform::programsFolder());
}

void Main::Drive1_Change()
{
    // A drive that cannot be read leaves the folder list where it was.
    if (!Dir1->setPath(Drive1->drive()))
        Drive1->setDriveOf(Dir1->path());
}

void Main::Dir1_Change()
{
    File1->setPath(Dir1->path());
}

void Main::Command4_Click()
{
    // Started programs are detached and keep running.
    QCoreApplication::quit();
}

void Main::About_Click()
{
    if (!m_form3) {
        m_form3 = new Form3;
        m_form3->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_form3->show();
    m_form3->raise();
    m_form3->activateWindow();
}

void Main::Readme_Click()
{
    startEditor(QStringLiteral("readme.1st"));
}

void Main::Disc_Click()
{
    startEditor(QStringLiteral("license.txt"));
}

QString Main::CheckPath() const
{
    return platform::applicationFolder();
}

void Main::startHidden(const QString &program)
{
    platform::startHiddenAndReport(m_services.starter, m_services.prompter, program);
}

void Main::startEditor(const QString &file)
{
    if (!platform::textEditorMayFail()) {
        platform::startAndReport(m_services.starter, m_services.prompter, platform::textEditor(), file,
                                 platform::WindowStyle::NormalFocus);
        return;
    }
    if (!QFileInfo(file).isFile()) {
        m_services.prompter.tell(QStringLiteral("The file \"%1\" is not in the working folder %2.")
                                     .arg(file, QDir::toNativeSeparators(QDir::currentPath())));
        return;
    }
    // The opener's result arrives later, from the event loop.
    const QPointer<Main> self(this);
    const QString path = QFileInfo(file).absoluteFilePath();
    const base::Result<qint64> started = m_services.starter.start(
        platform::textEditor(), {file}, platform::WindowStyle::NormalFocus, [self, path](bool shown) {
            if (!shown && self)
                self->showTextFile(path);
        });
    if (!started)
        showTextFile(path);
}

void Main::showTextFile(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    QPointer<TextWindow> &window = m_textWindows[name];
    if (!window) {
        const base::Result<TextWindow *> opened = TextWindow::open(path);
        if (!opened) {
            m_services.prompter.tell(
                QStringLiteral("Could not read %1: %2.").arg(QDir::toNativeSeparators(path), opened.reason()));
            return;
        }
        window = *opened;
    }
    window->show();
    window->raise();
    window->activateWindow();
}
