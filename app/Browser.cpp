#include "app/Browser.h"

#include "platform/Paths.h"
#include "platform/Volumes.h"

#include <QAbstractFileIconProvider>
#include <QAccessible>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QSortFilterProxyModel>
#include <QStorageInfo>

namespace {

// Qt's own combo box interface (the drives as items of its list, the drive
// chosen as its value, the actions that open and close the list), named by
// the list's accessible name: on Linux Qt names a combo box by its value,
// for a screen reader to find the name in a label beside it, and the drive
// list has no such label. Qt's interface stays in Qt's cache under the list
// until this one, which took its place there, goes.
class DriveListAccessible : public QAccessibleInterface
{
public:
    explicit DriveListAccessible(QAccessibleInterface *qts)
        : m_qts(qts)
    {
    }
    ~DriveListAccessible() override { QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(m_qts)); }

    QString text(QAccessible::Text kind) const override
    {
        const QString name = kind == QAccessible::Name && m_qts->object()
                                 ? static_cast<const QWidget *>(m_qts->object())->accessibleName()
                                 : QString();
        return name.isEmpty() ? m_qts->text(kind) : name;
    }

    bool isValid() const override { return m_qts->isValid(); }
    QObject *object() const override { return m_qts->object(); }
    QWindow *window() const override { return m_qts->window(); }
    QList<std::pair<QAccessibleInterface *, QAccessible::Relation>>
    relations(QAccessible::Relation match) const override
    {
        return m_qts->relations(match);
    }
    QAccessibleInterface *focusChild() const override { return m_qts->focusChild(); }
    QAccessibleInterface *childAt(int x, int y) const override { return m_qts->childAt(x, y); }
    QAccessibleInterface *parent() const override { return m_qts->parent(); }
    QAccessibleInterface *child(int index) const override { return m_qts->child(index); }
    int childCount() const override { return m_qts->childCount(); }
    int indexOfChild(const QAccessibleInterface *child) const override { return m_qts->indexOfChild(child); }
    void setText(QAccessible::Text kind, const QString &text) override { m_qts->setText(kind, text); }
    QRect rect() const override { return m_qts->rect(); }
    QAccessible::Role role() const override { return m_qts->role(); }
    QAccessible::State state() const override { return m_qts->state(); }
    QColor foregroundColor() const override { return m_qts->foregroundColor(); }
    QColor backgroundColor() const override { return m_qts->backgroundColor(); }
    void *interface_cast(QAccessible::InterfaceType type) override { return m_qts->interface_cast(type); }
    void virtual_hook(int id, void *data) override { m_qts->virtual_hook(id, data); }

private:
    QAccessibleInterface *m_qts;
};

// Asked for the drive list, asks again with itself out of the way, which
// gives Qt's own interface, and wraps that.
QAccessibleInterface *driveListAccessible(const QString &className, QObject *object)
{
    static bool asking = false;
    if (asking || className != QLatin1String("DriveList"))
        return nullptr;
    asking = true;
    QAccessibleInterface *qts = QAccessible::queryAccessibleInterface(object);
    asking = false;
    return qts ? new DriveListAccessible(qts) : nullptr;
}

} // namespace

DriveList::DriveList(QWidget *parent)
    : QComboBox(parent)
{
    static const bool named = (QAccessible::installFactory(driveListAccessible), true);
    Q_UNUSED(named)
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
    const QString root = QDir::toNativeSeparators(QStorageInfo(path).rootPath());
    const int i = findText(root);
    setCurrentIndex(i >= 0 ? i : 0);
}

FolderList::FolderList(QWidget *parent)
    : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::itemActivated, this, [this](QListWidgetItem *item) { openRow(row(item)); });
}

bool FolderList::setPath(const QString &path)
{
    const QFileInfo info(path);
    const QDir dir(info.absoluteFilePath());
    if (!info.isDir() || !info.isReadable() || !info.isExecutable())
        return false;
    const QString clean = QDir::toNativeSeparators(dir.canonicalPath());

    QStringList chain;
    QDir walk(dir.canonicalPath());
    chain.prepend(walk.absolutePath());
    while (walk.cdUp())
        chain.prepend(walk.absolutePath());

    clear();
    m_rowPaths.clear();
    int depth = 0;
    for (const QString &folder : chain) {
        const QString name = depth == 0 ? QDir::toNativeSeparators(folder) : QFileInfo(folder).fileName();
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

// The files of the model's root folder and no folder: QFileSystemModel lets
// every folder on the way to a root it was given before past its filter, so
// /usr of an earlier /usr/bin would show in the list of / as if a file.
class FilesOnly : public QSortFilterProxyModel
{
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;
    void setRoot(const QModelIndex &root)
    {
        m_root = root;
        invalidateFilter();
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex &parent) const override
    {
        return parent != m_root
               || !static_cast<const QFileSystemModel *>(sourceModel())->isDir(sourceModel()->index(row, 0, parent));
    }

private:
    QPersistentModelIndex m_root;
};

FileList::FileList(QWidget *parent)
    : QListView(parent)
    , m_model(new QFileSystemModel(this))
    , m_files(new FilesOnly(this))
{
    static NoIcons noIcons;
    m_model->setIconProvider(&noIcons);
    m_model->setOption(QFileSystemModel::DontResolveSymlinks);
    m_model->setFilter(QDir::Files);
    m_model->setNameFilterDisables(false);
    m_files->setSourceModel(m_model);
    setModel(m_files);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
}

void FileList::setPath(const QString &path)
{
    m_path = path;
    clearSelection();
    const QModelIndex root = m_model->setRootPath(QDir::fromNativeSeparators(path));
    m_files->setRoot(root);
    setRootIndex(m_files->mapFromSource(root));
}

QString FileList::fileName() const
{
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    if (selected.isEmpty())
        return {};
    return m_model->fileName(m_files->mapToSource(selected.first()));
}

bool FileList::selectFile(const QString &name)
{
    const QModelIndex index =
        m_files->mapFromSource(m_model->index(QDir(QDir::fromNativeSeparators(m_path)).absoluteFilePath(name)));
    if (!index.isValid() || index.parent() != rootIndex())
        return false;
    setCurrentIndex(index);
    selectionModel()->select(index, QItemSelectionModel::ClearAndSelect);
    return true;
}
