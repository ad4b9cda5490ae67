#include "companions/rendaro/DayListFile.h"

#include "base/SafeFile.h"
#include "platform/Trust.h"

#include <QFile>

namespace rendaro {

namespace {

DayListFile refused(const QString &why)
{
    return {DayListFile::Refused, {}, why};
}

} // namespace

DayListFile readDayListFile(const QString &name)
{
    QFile file;
    const base::OpenedFile opened = base::openForReading(file, name);
    if (opened.status == base::OpenedFile::Missing)
        return {DayListFile::Missing, {}, {}};
    if (opened.status == base::OpenedFile::Refused)
        return refused(opened.why);
    DayListFile result{DayListFile::Read, {}, {}};
    if (const base::Result<> safe = platform::checkTrust(file); !safe)
        return refused(safe.reason());
    // At most one byte more than the limit: a larger file is not read whole.
    result.bytes = file.read(qMin(file.size(), kMaxDayListSize) + 1);
    if (file.error() != QFileDevice::NoError)
        return refused(file.errorString());
    if (result.bytes.size() > kMaxDayListSize)
        return refused(QStringLiteral("it is too large to be a day list"));
    return result;
}

} // namespace rendaro
