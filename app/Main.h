#pragma once

#include "app/Form3.h"
#include "app/TextWindow.h"
#include "viewer/Form2.h"

#include <QHash>
#include <QLineEdit>
#include <QMainWindow>
#include <QPointer>

#include <array>

class QCheckBox;
class QFrame;
class QLabel;
class QListWidget;
class QPushButton;
class DriveList;
class FolderList;
class FileList;

namespace platform {
class ProgramStarter;
class Prompter;
class ShortcutMaker;
} // namespace platform

// The things the main window asks of the system; tests hand in fakes.
struct MainServices {
    platform::ProgramStarter &starter;
    platform::Prompter &prompter;
    platform::ShortcutMaker &shortcuts;
};

// The main window: the schedule controls, the program browser, the five
// buttons and the Help menu. Controls carry their designer names, both as
// members and as object names.
class Main : public QMainWindow
{
    Q_OBJECT
public:
    explicit Main(MainServices services, QWidget *parent = nullptr);
    ~Main() override;

    // Handlers, named after control and event, each with the file that
    // defines it (all in app/).
    void Form_Load();      // Main.cpp
    void Drive1_Change();  // Main.cpp
    void Dir1_Change();    // Main.cpp
    void Command1_Click(); // Pick Program: PickProgram.cpp
    void Command2_Click(); // Show List: ShowList.cpp
    void Command3_Click(); // Ready to Deploy...: DeployClick.cpp
    void Command4_Click(); // Exit: Main.cpp
    void Command5_Click(); // Reset/Clear List: Reset.cpp
    void About_Click();    // Main.cpp
    void Readme_Click();   // Main.cpp
    void Disc_Click();     // Main.cpp

    // The application folder, ending in one separator. Main.cpp
    QString CheckPath() const;

    // The list texts: setting selects the item of that text, reading gives
    // the selected item's text (empty when none is selected).
    static void setListText(QListWidget *list, const QString &text);
    // The time and run style lists at 12:00 Normal, with amPm: the form's start
    // and the state after a pick or a reset.
    void setTimeAndStyle(const QString &amPm);
    static QString listText(const QListWidget *list);

    Form2 *viewer() const { return m_form2; }

    // Controls.
    std::array<QLabel *, 7> dayLabels{}; // Label1 .. Label7
    QPushButton *Command1 = nullptr;
    QLabel *Program = nullptr;
    DriveList *Drive1 = nullptr;
    FolderList *Dir1 = nullptr;
    FileList *File1 = nullptr;
    QPushButton *Command2 = nullptr;
    QPushButton *Command3 = nullptr;
    std::array<QCheckBox *, 7> Check1{};
    QLineEdit *Text1 = nullptr; // hidden; Pick Program writes the path, nothing reads it (kept on purpose)
    QLabel *Label8 = nullptr;
    QListWidget *List1 = nullptr; // AM, PM
    QListWidget *List2 = nullptr; // hour
    QListWidget *List3 = nullptr; // minute
    QLabel *Label9 = nullptr;
    QLabel *Label10 = nullptr;
    QListWidget *List4 = nullptr; // run style
    QLineEdit *Text3 = nullptr;   // hidden; Pick Program writes the 24-hour hour, nothing reads it (kept on purpose)
    QLineEdit *Text4 = nullptr;
    QPushButton *Command4 = nullptr;
    QPushButton *Command5 = nullptr;
    QFrame *Line1 = nullptr;

private:
    void buildControls();
    void buildMenu();
    // Starts a companion program hidden, without waiting; a start that fails
    // is told to the user, and the window stays as it is.
    void startHidden(const QString &program);
    // Opens a Help file (relative to the working folder) in the editor; where
    // the desktop's opener cannot show it, the file is shown here.
    void startEditor(const QString &file);
    void showTextFile(const QString &file);

    MainServices m_services;
    QPointer<Form2> m_form2;
    QPointer<Form3> m_form3;
    QHash<QString, QPointer<TextWindow>> m_textWindows;
};
