#include "bench/EntryFolder.h"

#include "schedule/DayTable.h"
#include "schedule/Entry.h"
#include "schedule/EntryFile.h"
#include "schedule/TextFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <map>
#include <memory>

namespace bench {
namespace {

std::map<QString, std::unique_ptr<QTemporaryDir>> &folders()
{
    static std::map<QString, std::unique_ptr<QTemporaryDir>> all;
    return all;
}

QString newFolder(const QString &key, bool *made)
{
    auto &slot = folders()[key];
    *made = !slot;
    if (!slot)
        slot = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/vellomar-bench-XXXXXX"));
    return slot->path();
}

schedule::Entry entryFor(int i, int dayIndex)
{
    static const char *styles[] = {"Normal", "Hide", "Min", "Max"};
    const int minutes = (i * 37) % (24 * 4) * 15;
    return {QStringLiteral("%1:%2").arg(minutes / 60, 2, 10, QChar(u'0')).arg(minutes % 60, 2, 10, QChar(u'0')),
            QStringLiteral("/opt/tools/program %1/run-%2.sh").arg(i % 97).arg(i), QString::fromLatin1(styles[i % 4]),
            QString(schedule::day(dayIndex).name)};
}

void writeRaw(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

} // namespace

QString entryFolder(int count)
{
    bool made = false;
    const QString dir = newFolder(QStringLiteral("entries-%1").arg(count), &made);
    if (made) {
        for (int i = 0; i < count; ++i) {
            const int d = i % schedule::kDayCount;
            const auto bytes = schedule::encodeLines(entryFor(i, d).lines());
            writeRaw(dir + u'/' + schedule::entryFileName(schedule::day(d), 2 + i / schedule::kDayCount), *bytes);
        }
    }
    return dir;
}

QString dayListFolder(int count)
{
    bool made = false;
    const QString dir = newFolder(QStringLiteral("daylist-%1").arg(count), &made);
    if (made) {
        QByteArray all;
        for (int i = 0; i < count; ++i)
            all += *schedule::encodeLines(entryFor(i, 0).lines());
        writeRaw(dir + QStringLiteral("/datmon.dat"), all);
    }
    return dir;
}

QString emptyFolder(const QString &purpose)
{
    bool made = false;
    return newFolder(QStringLiteral("empty-") + purpose, &made);
}

} // namespace bench
