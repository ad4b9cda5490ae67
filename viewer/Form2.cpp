#include "viewer/Form2.h"

#include "schedule/DayTable.h"
#include "viewer/LineReader.h"
#include "viewer/ListArea.h"
#include "viewer/ListRenderer.h"
#include "widgets/CaptionButton.h"
#include "widgets/Faces.h"
#include "widgets/Fit.h"
#include "widgets/Twips.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QPushButton>

namespace {

using widgets::twips;

QFont buttonFont(bool bold)
{
    return widgets::face("MS Sans Serif", 8.25, bold);
}

constexpr qreal kListPointSize = 12;

} // namespace

Form2::Form2(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Program to be Run"));
    setFont(widgets::face("Arial Narrow", 8.25, true));
    // The same frame as the main window: the size the window opens with.
    setFixedSize(twips(10095), twips(7785));
    buildControls();
}

Form2::~Form2() = default;

void Form2::buildControls()
{
    // The list area is the whole client area: lines that reach the button
    // row are drawn behind the buttons.
    m_listArea = new viewer::ListArea(this);
    m_listArea->setGeometry(rect());
    m_listArea->setAccessibleName(QStringLiteral("Programs of the day"));

    auto button = [this](const QString &name, const QString &caption, int left, int width) {
        auto *b = new widgets::CaptionButton(caption, this);
        b->setObjectName(name);
        b->setGeometry(twips(left, 7200, width, 495));
        b->setFont(buttonFont(false));
        b->setAutoDefault(false);
        return b;
    };
    // The day buttons, captioned with the days' names.
    QPushButton **dayMembers[] = {&Command1, &Command2, &Command3, &Command4, &Command5, &Command6, &Command7};
    const int dayLeft[schedule::kDayCount] = {120, 1200, 2280, 3600, 4560, 5640, 6720};
    const int dayWidth[schedule::kDayCount] = {975, 975, 1215, 975, 975, 975, 975};
    for (const schedule::Day &d : schedule::days())
        *dayMembers[d.index] =
            button(QStringLiteral("Command%1").arg(d.index + 1), QString(d.name), dayLeft[d.index], dayWidth[d.index]);
    Command8 = button(QStringLiteral("Command8"), QStringLiteral("Back to Main Menu"), 7800, 975);

    Command9 = button(QStringLiteral("Command9"), QStringLiteral("Command9"), 0, 975);
    Command9->setFocusPolicy(Qt::NoFocus);
    Command9->hide();

    // Room for the caption of the day that is shown, which is bold.
    for (QPushButton *day : dayButtons())
        day->setFont(buttonFont(true));
    widgets::fitTexts(this);
    for (QPushButton *day : dayButtons())
        day->setFont(buttonFont(false));

    QWidget *order[] = {Command1, Command2, Command3, Command4, Command5, Command6, Command7, Command8};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
    Command1->setFocus();

    connect(Command1, &QPushButton::clicked, this, &Form2::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form2::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form2::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Form2::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &Form2::Command5_Click);
    connect(Command6, &QPushButton::clicked, this, &Form2::Command6_Click);
    connect(Command7, &QPushButton::clicked, this, &Form2::Command7_Click);
    connect(Command8, &QPushButton::clicked, this, &Form2::Command8_Click);
    connect(Command9, &QPushButton::clicked, this, &Form2::Command9_Click);
}

std::array<QPushButton *, 7> Form2::dayButtons() const
{
    return {Command1, Command2, Command3, Command4, Command5, Command6, Command7};
}

void Form2::Command1_Click()
{
    showDay(0);
}
void Form2::Command2_Click()
{
    showDay(1);
}
void Form2::Command3_Click()
{
    showDay(2);
}
void Form2::Command4_Click()
{
    showDay(3);
}
void Form2::Command5_Click()
{
    showDay(4);
}
void Form2::Command6_Click()
{
    showDay(5);
}
void Form2::Command7_Click()
{
    showDay(6);
}

void Form2::showDay(int index)
{
    m_listArea->clear();
    const std::array<QPushButton *, 7> buttons = dayButtons();
    for (int i = 0; i < schedule::kDayCount; ++i)
        buttons[i]->setFont(buttonFont(i == index));

    // A day whose list cannot be read shows nothing, without a message.
    // Only plain files are read: a pipe or a device under the name of a
    // day list would block the window or never end.
    m_dayList.setFileName(schedule::day(index).listFile);
    if (QFileInfo(m_dayList.fileName()).isFile() && m_dayList.open(QIODevice::ReadOnly))
        Command9_Click();
    m_dayList.close();
}

void Form2::Command9_Click()
{
    if (!m_dayList.isOpen())
        return;
    viewer::LineReader reader(m_dayList, viewer::ListArea::kKeptCharacters);
    while (std::optional<QString> line = reader.next()) {
        const std::optional<QString> shown = viewer::displayLine(*line);
        if (font().pointSizeF() != kListPointSize) {
            QFont f = font();
            f.setPointSizeF(kListPointSize);
            setFont(f);
        }
        if (shown)
            m_listArea->addLine(*shown);
    }
}

void Form2::Command8_Click()
{
    unload();
}

void Form2::closeEvent(QCloseEvent *event)
{
    // Closing the viewer is Back: the main window, hidden while the viewer
    // is open, must come back, or the program would run on with no window.
    unload();
    event->accept();
}

void Form2::unload()
{
    if (m_unloading)
        return;
    m_unloading = true;
    emit back();
    hide();
    deleteLater();
}
