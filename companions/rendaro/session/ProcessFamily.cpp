#include "companions/rendaro/session/ProcessFamily.h"

#include <QDir>
#include <QFile>
#include <QHash>

#include <functional>

#include <unistd.h>

namespace rendaro {

std::optional<ProcessLinks> processLinks(qint64 pid)
{
    // "pid (name) state parent group session ...": the name may hold any
    // character, ")" too, so the fields are counted from its last ")".
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (pid <= 0 || !stat.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray text = stat.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 1).simplified().split(' ');
    if (fields.size() < 4)
        return std::nullopt;
    return ProcessLinks{fields[1].toLongLong(), fields[3].toLongLong()};
}

namespace {

using LinksOf = std::function<std::optional<ProcessLinks>(qint64 pid)>;

bool startedBy(qint64 process, qint64 program, qint64 session, const LinksOf &linksOf)
{
    if (process == program)
        return true;
    std::optional<ProcessLinks> links = linksOf(process);
    // A program started without a session of its own shares this one,
    // which says nothing of whose it is.
    if (links && session > 0 && links->session == session && session != ::getsid(0))
        return true;
    for (int depth = 0; links && links->parent > 1 && depth < 64; ++depth) {
        if (links->parent == program)
            return true;
        links = linksOf(links->parent);
    }
    return false;
}

} // namespace

bool startedBy(qint64 process, qint64 program, qint64 session)
{
    return startedBy(process, program, session, processLinks);
}

// Every process's links read once, rather than once for each process whose
// parents lead through it.
QSet<qint64> processFamily(qint64 program, qint64 session)
{
    QHash<qint64, ProcessLinks> all;
    const QStringList names = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &name : names) {
        bool number = false;
        const qint64 process = name.toLongLong(&number);
        if (const std::optional<ProcessLinks> links = number ? processLinks(process) : std::nullopt)
            all.insert(process, *links);
    }
    const LinksOf known = [&all](qint64 pid) {
        const auto found = all.constFind(pid);
        return found == all.cend() ? std::nullopt : std::optional<ProcessLinks>(*found);
    };
    QSet<qint64> family{program};
    for (auto it = all.cbegin(); it != all.cend(); ++it)
        if (startedBy(it.key(), program, session, known))
            family.insert(it.key());
    return family;
}

} // namespace rendaro
