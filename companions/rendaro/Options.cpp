#include "companions/rendaro/Options.h"

namespace rendaro {

std::optional<QDateTime> parseAt(const QString &text)
{
    for (const char *format : {"yyyy-MM-ddTHH:mm", "yyyy-MM-ddTHH:mm:ss"}) {
        const QDateTime at = QDateTime::fromString(text, QString::fromLatin1(format));
        if (at.isValid())
            return at;
    }
    return std::nullopt;
}

} // namespace rendaro
