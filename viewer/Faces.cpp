#include "viewer/Faces.h"

#include <QStringList>

#include <cstring>

namespace viewer {

namespace {

#ifdef Q_OS_WIN
// Tahoma comes with every Windows and with Wine: the last sans resort.
QStringList outlineFaces(const char *family)
{
    struct Choice {
        const char *family;
        QStringList faces;
    };
    static const Choice choices[] = {
        {"MS Sans Serif", {"Microsoft Sans Serif", "Tahoma", "Segoe UI"}},
        {"Arial", {"Arial", "Liberation Sans", "Tahoma"}},
        {"Arial Narrow", {"Arial Narrow", "Liberation Sans Narrow", "Arial", "Liberation Sans", "Tahoma"}},
        {"Book Antiqua", {"Book Antiqua", "Palatino Linotype", "Times New Roman"}},
    };
    for (const Choice &choice : choices)
        if (std::strcmp(choice.family, family) == 0)
            return choice.faces;
    return {QString::fromLatin1(family)};
}
#endif

} // namespace

QFont face(const char *family, qreal points, bool bold)
{
    QFont font;
#ifdef Q_OS_WIN
    font.setFamilies(outlineFaces(family));
#else
    font.setFamily(QString::fromLatin1(family));
#endif
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

} // namespace viewer
