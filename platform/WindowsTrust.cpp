#include "platform/Trust.h"
#include "platform/TrustSystem.h"

#include "platform/windows/WinTrust.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace platform {

namespace {

base::Result<> trustedBy(const std::optional<std::wstring> &why)
{
    if (why)
        return trust::refused(QString::fromStdWString(*why));
    return {};
}

} // namespace

namespace trust {

// The program's own folder as checkTrust() judges it; a folder further up by
// who may rename or remove what it holds (every user may add folders to a
// drive's root).
base::Result<> folderTrusted(const QString &folder, bool own)
{
    if (own)
        return checkTrust(folder);
    return trustedBy(winplat::untrustedAncestorBecause(QDir::toNativeSeparators(folder).toStdWString()));
}

base::Result<QString> resolveTrusted(const QString &path)
{
    const QString real = QFileInfo(path).canonicalFilePath();
    if (real.isEmpty())
        return refused(QStringLiteral("there is no such file"));
    return real;
}

} // namespace trust

base::Result<> checkTrust(const QString &path)
{
    return trustedBy(
        winplat::untrustedBecause(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()).toStdWString()));
}

// An open file's name: nobody can rename or replace the file while it is open.
base::Result<> checkTrust(const QFile &file)
{
    return checkTrust(file.fileName());
}

bool sameFile(const QString &a, const QString &b)
{
    const QString canonicalA = QFileInfo(a).canonicalFilePath();
    return !canonicalA.isEmpty() && canonicalA.compare(QFileInfo(b).canonicalFilePath(), Qt::CaseInsensitive) == 0;
}

} // namespace platform
