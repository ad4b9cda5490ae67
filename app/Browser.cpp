#include "app/Browser.h"

#include "platform/Paths.h"
#include "platform/Volumes.h"

#include <QAbstractFileIconProvider>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QStorageInfo>

DriveList::DriveList(QWidget *parent)
    : QComboBox(parent)
{
    refresh();
}

void DriveList::refresh()
{
    const QSignalBlocker blocker(this);
    // The drive selected stays selected while it is there; a fresh list
    // selects the drive of the working folder.
    const QString selected = count() > 0 ? drive() : QString();
    clear();
    addItems(platform::browsableVolumes(platform::mountedVolumes(), QDir::homePath()));
    const int kept = findText(selected);
    if (kept >= 0)
        setCurrentIndex(kept);
    else
        setDriveOf(QDir::currentPath());
}

void DriveList::showPopup()
{
    // Volumes come and go while the window is open.
    refresh();
    QComboBox::showPopup();
}

QString DriveList::drive() const
{
    return currentText();
}

void DriveList::setDriveOf(const QString &path)
{
    const QSignalBlocker blocker(this);
    const QString root = platform::nativeFolder(QStorageInfo(path).rootPath());
    const int i = findText(root);
    setCurrentIndex(i >= 0 ? i : 0);
}

FolderList::FolderList(QWidget *parent)
    : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::itemActivated, this, [this](QListWidgetItem *item) {
        openRow(row(item));
    });
}

bool FolderList::setPath(const QString &path)
{
    const QFileInfo info(path);
    const QDir dir(info.absoluteFilePath());
    if (!info.isDir() || !info.isReadable() || !info.isExecutable())
        return false;
    const QString clean = platform::nativeFolder(dir.canonicalPath());

    QStringList chain;
    QDir walk(dir.canonicalPath());
    chain.prepend(walk.absolutePath());
    while (walk.cdUp())
        chain.prepend(walk.absolutePath());

    clear();
    m_rowPaths.clear();
    int depth = 0;
    for (const QString &folder : chain) {
        const QString name = depth == 0 ? platform::nativeFolder(folder) : QFileInfo(folder).fileName();
        addItem(QString(depth, u' ') + name);
        m_rowPaths.append(folder);
        ++depth;
    }
    const int current = count() - 1;
    const QStringList children = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString &child : children) {
        addItem(QString(depth, u' ') + child);
        m_rowPaths.append(dir.absoluteFilePath(child));
    }
    setCurrentRow(current);
    scrollToItem(item(current));

    const bool changed = clean != m_path;
    m_path = clean;
    if (changed)
        emit pathChanged(m_path);
    return true;
}

void FolderList::openRow(int row)
{
    if (row >= 0 && row < m_rowPaths.size() && !setPath(m_rowPaths[row]))
        setCurrentRow(m_rowPaths.indexOf(QDir::fromNativeSeparators(m_path)));
}

namespace {
// The lists show names only. Qt's default provider looks up a theme icon for
// every file, which keeps the user-interface thread busy for seconds on a
// folder of a few thousand programs.
class NoIcons : public QAbstractFileIconProvider
{
public:
    QIcon icon(IconType) const override { return {}; }
    QIcon icon(const QFileInfo &) const override { return {}; }
};
} // namespace

FileList::FileList(QWidget *parent)
    : QListView(parent)
    , m_model(new QFileSystemModel(this))
{
    static NoIcons noIcons;
    m_model->setIconProvider(&noIcons);
    m_model->setOption(QFileSystemModel::DontResolveSymlinks);
    m_model->setFilter(QDir::Files);
    m_model->setNameFilterDisables(false);
    setModel(m_model);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    connect(m_model, &QFileSystemModel::directoryLoaded, this, [this](const QString &loaded) {
        if (QDir(loaded) == QDir(m_path))
            emit listed(m_path);
    });
}

void FileList::setPath(const QString &path)
{
    m_path = path;
    clearSelection();
    setRootIndex(m_model->setRootPath(QDir::fromNativeSeparators(path)));
}

QString FileList::fileName() const
{
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    if (selected.isEmpty())
        return {};
    return m_model->fileName(selected.first());
}

bool FileList::selectFile(const QString &name)
{
    const QModelIndex index = m_model->index(QDir(QDir::fromNativeSeparators(m_path)).absoluteFilePath(name));
    if (!index.isValid() || index.parent() != rootIndex())
        return false;
    setCurrentIndex(index);
    selectionModel()->select(index, QItemSelectionModel::ClearAndSelect);
    return true;
}
