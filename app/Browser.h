#pragma once

// The drive, folder and file lists of the main window's program browser.

#include <QComboBox>
#include <QListView>
#include <QListWidget>

class FilesOnly;
class QFileSystemModel;

// The machine's drives: on Windows the drive letters, elsewhere the places
// a user browses (platform::browsableVolumes), the root first. The list is
// read anew each time it is opened.
class DriveList : public QComboBox
{
    Q_OBJECT
public:
    explicit DriveList(QWidget *parent = nullptr);

    void refresh();
    void showPopup() override;
    QString drive() const;                // the selected drive's root folder
    void setDriveOf(const QString &path); // selects the drive holding path; no change signal
};

// A folder and the way to it: the folder's ancestors from the root, the
// folder itself, then its subfolders. Activating a line opens that folder.
class FolderList : public QListWidget
{
    Q_OBJECT
public:
    explicit FolderList(QWidget *parent = nullptr);

    QString path() const { return m_path; }
    // Opens a folder; a folder that cannot be read is refused (false) and
    // the list stays where it was.
    bool setPath(const QString &path);

signals:
    void pathChanged(const QString &path);

private:
    void openRow(int row);
    QString m_path;
    QStringList m_rowPaths;
};

// The names of the files of one folder, with no name filter. Listing runs
// off the user-interface thread (QFileSystemModel), without icons.
class FileList : public QListView
{
    Q_OBJECT
public:
    explicit FileList(QWidget *parent = nullptr);

    QString path() const { return m_path; }
    void setPath(const QString &path);
    QString fileName() const;             // the selected file's name, or empty
    bool selectFile(const QString &name); // when listed already

private:
    QFileSystemModel *m_model;
    FilesOnly *m_files;
    QString m_path;
};
