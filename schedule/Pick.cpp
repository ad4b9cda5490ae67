#include "schedule/Pick.h"

#include "schedule/EntryFile.h"
#include "schedule/RunStyle.h"
#include "schedule/TextFile.h"
#include "schedule/Time24.h"

#include <QFileInfo>

namespace schedule {

namespace {

bool nameTaken(const QDir &folder, const QString &name)
{
    const QFileInfo info(folder.filePath(name));
    // A dangling link is a name in use too: writing through it would create
    // whatever it points at.
    return info.exists() || info.isSymLink();
}

} // namespace

base::Result<Entry> pickEntry(const Pick &pick, const Day &day)
{
    auto refuse = [](const QString &text) -> base::Result<Entry> { return base::Failure{text}; };
    if (pick.path.isEmpty())
        return refuse(QStringLiteral("No program is chosen."));
    const RunStyleName *style = runStyleByWord(pick.runStyle);
    if (!style)
        return refuse(QStringLiteral("Choose a run style."));
    if (pick.amPm != u"AM" && pick.amPm != u"PM")
        return refuse(QStringLiteral("Choose AM or PM."));
    if (!isHourChoice(pick.hour) || !isMinuteChoice(pick.minute))
        return refuse(QStringLiteral("Choose an hour and a minute."));
    const Entry entry{timeLine(hour24(pick.hour, pick.amPm), pick.minute), pick.path, QString(style->code),
                      QString(day.name)};

    // A line feed or carriage return in a file name would split the entry
    // into other lines; the other control characters cannot be shown or
    // typed back either, an invisible character hides in the name, and a
    // direction mark makes the name read as another.
    if (refusedPathCharacter(pick.path))
        return refuse(QStringLiteral("The program path \"%1\" holds a control character (such as a line break), an "
                                     "invisible character or a text-direction mark, which the schedule cannot store. "
                                     "Rename the file, then pick it again.")
                          .arg(visibleText(pick.path)));
    const base::Result<QByteArray> bytes = encodeLines(entry.lines());
    if (!bytes)
        return refuse(QStringLiteral("The program path \"%1\" cannot be stored in the schedule: the character "
                                     "\"%2\" has no 8-bit form. Move or rename the program, then pick it again.")
                          .arg(pick.path, bytes.reason()));
    // What is written must read back as the same four lines.
    if (decodeLines(*bytes) != entry.lines())
        return refuse(QStringLiteral("The program path \"%1\" cannot be stored in the schedule as it is.")
                          .arg(visibleText(pick.path)));
    if (const base::Result<Entry> valid = validateEntry(entry.lines()); !valid)
        return refuse(QStringLiteral("The pick cannot be stored in the schedule: %1.").arg(valid.reason()));
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
        const base::Result<Entry> entry = pickEntry(pick, d);
        if (!entry) {
            outcome.status = PickOutcome::Refused;
            outcome.failure = entry.failure();
            return outcome;
        }
        entries.append({&d, *entry});
    }

    outcome.number = freeEntryNumber(folder, pick, from);
    for (const auto &[d, entry] : entries) {
        const QString file = folder.filePath(entryFileName(*d, outcome.number));
        const base::Result<> result = writeEntryFile(file, entry);
        if (!result) {
            outcome.status = PickOutcome::WriteFailed;
            outcome.failedFile = QDir::toNativeSeparators(QFileInfo(file).absoluteFilePath());
            outcome.failure = result.failure();
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
