#include "schedule/Pick.h"

#include "schedule/EntryFile.h"
#include "schedule/RunStyle.h"
#include "schedule/TextFile.h"
#include "schedule/Time24.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <algorithm>

namespace schedule {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("schedule", text);
}

bool nameTaken(const QDir &folder, const QString &name)
{
    const QFileInfo info(folder.filePath(name));
    // A dangling link is a name in use too: writing through it would create
    // whatever it points at.
    return info.exists() || info.isSymLink();
}

} // namespace

std::optional<Entry> pickEntry(const Pick &pick, const Day &day, QString *why)
{
    auto refuse = [why](const QString &text) -> std::optional<Entry> {
        if (why)
            *why = text;
        return std::nullopt;
    };
    if (pick.path.isEmpty())
        return refuse(tr("No program is chosen."));
    const RunStyleName *style = runStyleByWord(pick.runStyle);
    if (!style)
        return refuse(tr("Choose a run style."));
    if (pick.amPm != u"AM" && pick.amPm != u"PM")
        return refuse(tr("Choose AM or PM."));
    if (!isHourChoice(pick.hour) || !isMinuteChoice(pick.minute))
        return refuse(tr("Choose an hour and a minute."));
    const Entry entry{timeLine(hour24(pick.hour, pick.amPm), pick.minute), pick.path, QString(style->code),
                      QString(day.name)};

    // A line feed or carriage return in a file name would split the entry
    // into other lines; the other control characters cannot be shown or
    // typed back either, and a direction mark makes the name read as another.
    if (std::any_of(pick.path.cbegin(), pick.path.cend(), isRefusedPathCharacter))
        return refuse(tr("The program path \"%1\" holds a control character (such as a line break) or a "
                         "text-direction mark, which the schedule cannot store. Rename the file, then pick it again.")
                          .arg(visibleText(pick.path)));
    QString bad;
    const std::optional<QByteArray> bytes = encodeLines(entry.lines(), &bad);
    if (!bytes)
        return refuse(tr("The program path \"%1\" cannot be stored in the schedule: the character "
                         "\"%2\" has no 8-bit form. Move or rename the program, then pick it again.")
                          .arg(pick.path, bad));
    // What is written must read back as the same four lines.
    if (decodeLines(*bytes) != entry.lines())
        return refuse(tr("The program path \"%1\" cannot be stored in the schedule as it is.").arg(visibleText(pick.path)));
    QString invalid;
    if (!validateEntry(entry.lines(), &invalid))
        return refuse(tr("The pick cannot be stored in the schedule: %1.").arg(invalid));
    return entry;
}

qint64 freeEntryNumber(const QDir &folder, const Pick &pick, qint64 from)
{
    qint64 number = from;
    for (;;) {
        bool taken = false;
        for (const Day &d : days())
            if (pick.days[d.index] && nameTaken(folder, entryFileName(d, number)))
                taken = true;
        if (!taken)
            return number;
        ++number;
    }
}

PickOutcome writePick(const QDir &folder, const Pick &pick, qint64 from)
{
    PickOutcome outcome;
    outcome.number = from;

    // Every entry is checked before the first file is written, so a pick
    // that cannot be stored leaves nothing behind.
    QList<std::pair<const Day *, Entry>> entries;
    for (const Day &d : days()) {
        if (!pick.days[d.index])
            continue;
        QString why;
        const std::optional<Entry> entry = pickEntry(pick, d, &why);
        if (!entry) {
            outcome.status = PickOutcome::Refused;
            outcome.error = why;
            return outcome;
        }
        entries.append({&d, *entry});
    }

    outcome.number = freeEntryNumber(folder, pick, from);
    for (const auto &[d, entry] : entries) {
        const QString file = folder.filePath(entryFileName(*d, outcome.number));
        const WriteResult result = writeEntryFile(file, entry);
        if (!result.ok) {
            outcome.status = PickOutcome::WriteFailed;
            outcome.failedFile = QDir::toNativeSeparators(QFileInfo(file).absoluteFilePath());
            outcome.error = result.error;
            return outcome;
        }
        outcome.written.append(d->index);
    }
    return outcome;
}

QString dayNames(const QList<int> &dayIndexes)
{
    QStringList names;
    for (int index : dayIndexes)
        names.append(QString(day(index).name));
    return names.join(QStringLiteral(", "));
}

} // namespace schedule
