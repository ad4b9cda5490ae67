#include "companions/rendaro/ProcessFamily.h"

#include <QDir>
#include <QFile>
#include <QHash>

#include <unistd.h>

namespace rendaro {

namespace {

struct Process {
    qint64 parent = 0;
    qint64 session = 0;
};

// /proc/<pid>/stat: "pid (name) state ppid pgrp session ..."; the name may
// hold spaces and parentheses, so the fields are counted from its end.
bool readProcess(qint64 pid, Process *process)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 1).split(' ');
    if (fields.size() < 5)
        return false;
    process->parent = fields.at(2).toLongLong();
    process->session = fields.at(4).toLongLong();
    return true;
}

} // namespace

qint64 sessionOf(qint64 pid)
{
    Process process;
    return readProcess(pid, &process) ? process.session : 0;
}

QSet<qint64> processFamily(qint64 pid, qint64 session)
{
    if (session == qint64(::getsid(0)))
        session = 0; // the launcher's own session holds other programs too
    QHash<qint64, Process> all;
    const QStringList names = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &name : names) {
        bool number = false;
        const qint64 other = name.toLongLong(&number);
        Process process;
        if (number && readProcess(other, &process))
            all.insert(other, process);
    }
    QSet<qint64> family{pid};
    for (auto it = all.cbegin(); it != all.cend(); ++it) {
        if (session != 0 && it->session == session) {
            family.insert(it.key());
            continue;
        }
        // a descendant: its line of parents reaches the program
        qint64 up = it->parent;
        for (int depth = 0; up > 1 && up != pid && depth < 64; ++depth)
            up = all.value(up).parent;
        if (up == pid)
            family.insert(it.key());
    }
    return family;
}

} // namespace rendaro
