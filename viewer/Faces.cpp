#include "viewer/Faces.h"

#include <QFontInfo>
#include <QPainter>
#include <QPainterPath>
#include <QStringList>

#include <cstring>

namespace viewer {

namespace {

#ifdef Q_OS_WIN
QStringList outlineFaces(const char *family)
{
    struct Choice {
        const char *family;
        QStringList faces;
    };
    // Tahoma comes with every Windows and with Wine.
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

// The first of faces that this system has under that very name. A name may
// be answered with another face: Wine gives a TrueType file of bitmaps named
// "MS Sans Serif" for "Microsoft Sans Serif". The last is taken where none is.
QString firstPresentFace(const QStringList &faces)
{
    for (const QString &face : faces)
        if (QFontInfo(QFont(face)).family().compare(face, Qt::CaseInsensitive) == 0)
            return face;
    return faces.constLast();
}
#endif

} // namespace

QFont face(const char *family, qreal points, bool bold)
{
    QFont font;
#ifdef Q_OS_WIN
    font.setFamily(firstPresentFace(outlineFaces(family)));
#else
    font.setFamily(QString::fromLatin1(family));
#endif
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

bool textFromOutlines()
{
#ifdef Q_OS_WIN
    return true;
#else
    return false;
#endif
}

void drawText(QPainter &painter, const QPointF &origin, const QString &text)
{
    if (!textFromOutlines()) {
        painter.drawText(origin, text);
        return;
    }
    QPainterPath path;
    path.addText(origin, painter.font(), text);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(path, painter.pen().color());
    painter.restore();
}

} // namespace viewer
