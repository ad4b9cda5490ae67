#include "DayListFile.h"

#include "platform/Trust.h"

#include <QCoreApplication>
#include <QFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace rendaro {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("rendaro", text);
}

DayListFile refused(const QString &why)
{
    return {DayListFile::Refused, {}, why};
}

// Opens name for reading as described above; Missing or Refused when it
// cannot be opened that way.
DayListFile open(const QString &name, QFile &file)
{
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(name).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT)
            return {DayListFile::Missing, {}, {}};
        if (errno == ELOOP)
            return refused(tr("it is a symbolic link"));
        return refused(QString::fromLocal8Bit(std::strerror(errno)));
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return refused(tr("it is not a regular file"));
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return refused(file.errorString());
    }
#else
    Q_UNUSED(name)
    if (!file.exists())
        return {DayListFile::Missing, {}, {}};
    if (!file.open(QIODevice::ReadOnly))
        return refused(file.errorString());
#endif
    return {DayListFile::Read, {}, {}};
}

} // namespace

DayListFile readDayListFile(const QString &name)
{
    QFile file(name);
    DayListFile result = open(name, file);
    if (result.status != DayListFile::Read)
        return result;
    if (const auto why = platform::untrustedOpenFile(file))
        return refused(*why);
    // At most one byte more than the limit: a larger file is not read whole.
    result.bytes = file.read(qMin(file.size(), kMaxDayListSize) + 1);
    if (file.error() != QFileDevice::NoError)
        return refused(file.errorString());
    if (result.bytes.size() > kMaxDayListSize)
        return refused(tr("it is too large to be a day list"));
    return result;
}

} // namespace rendaro
