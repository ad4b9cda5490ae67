#include "widgets/Faces.h"

#include <QFontDatabase>
#include <QStringList>

#include <cstring>

namespace widgets {

namespace {

#ifdef Q_OS_WIN
QStringList outlineFaces(const char *family)
{
    struct Choice {
        const char *family;
        QStringList faces;
    };
    // Tahoma and Arial come with every Windows. A Wine prefix may have
    // neither, only the faces of the system beneath it.
    static const Choice choices[] = {
        {"MS Sans Serif", {"Microsoft Sans Serif", "Tahoma", "Segoe UI", "Arial", "Liberation Sans", "DejaVu Sans"}},
        {"Arial", {"Arial", "Liberation Sans", "Tahoma"}},
        {"Arial Narrow", {"Arial Narrow", "Liberation Sans Narrow", "Arial", "Liberation Sans", "Tahoma"}},
        {"Book Antiqua", {"Book Antiqua", "Palatino Linotype", "Times New Roman", "Liberation Serif", "DejaVu Serif"}},
    };
    for (const Choice &choice : choices)
        if (std::strcmp(choice.family, family) == 0)
            return choice.faces;
    return {QString::fromLatin1(family)};
}

// The first of faces that the system has as an outline face. A face it
// lacks is not asked for: Windows would answer with a face of its choosing,
// under Wine a serif one (C059) for a sans.
QString firstOutlineFace(const QStringList &faces)
{
    const QStringList present = QFontDatabase::families();
    for (const QString &face : faces)
        if (present.contains(face, Qt::CaseInsensitive) && QFontDatabase::isSmoothlyScalable(face))
            return face;
    return faces.constLast();
}
#endif

} // namespace

QFont face(const char *family, qreal points, bool bold)
{
    QFont font;
#ifdef Q_OS_WIN
    font.setFamily(firstOutlineFace(outlineFaces(family)));
#else
    font.setFamily(QString::fromLatin1(family));
#endif
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

} // namespace widgets
