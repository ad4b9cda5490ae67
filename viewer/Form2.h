#pragma once

#include <QFile>
#include <QWidget>

#include <array>
#include <memory>

class QPushButton;

namespace viewer {
class ListArea;
}

// The day list viewer, "Program to be Run": a button per weekday that shows
// that day's list file, and a button back to the main window. Controls carry
// their designer names, both as members and as object names.
class Form2 : public QWidget
{
    Q_OBJECT
public:
    explicit Form2(QWidget *parent = nullptr);
    ~Form2() override;

    // Handlers, named after control and event.
    void Command1_Click(); // Monday
    void Command2_Click(); // Tuesday
    void Command3_Click(); // Wednesday
    void Command4_Click(); // Thursday
    void Command5_Click(); // Friday
    void Command6_Click(); // Saturday
    void Command7_Click(); // Sunday
    void Command8_Click(); // Back to Main Menu
    void Command9_Click(); // the list renderer, run by the day buttons

    // The day buttons, Monday first.
    std::array<QPushButton *, 7> dayButtons() const;
    viewer::ListArea *listArea() const { return m_listArea; }

    // Controls.
    QPushButton *Command1 = nullptr;
    QPushButton *Command2 = nullptr;
    QPushButton *Command3 = nullptr;
    QPushButton *Command4 = nullptr;
    QPushButton *Command5 = nullptr;
    QPushButton *Command6 = nullptr;
    QPushButton *Command7 = nullptr;
    QPushButton *Command8 = nullptr;
    QPushButton *Command9 = nullptr; // hidden

signals:
    // Back was chosen, or the window was closed: the window that opened the
    // viewer shows itself again. The viewer deletes itself right after.
    void back();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void showDay(int index);
    void unload();

    viewer::ListArea *m_listArea = nullptr;
    // The day list file while a day button runs; closed between clicks.
    QFile m_dayList;
    bool m_unloading = false;
};
