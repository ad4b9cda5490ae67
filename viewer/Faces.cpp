#include "viewer/Faces.h"

#include <QFontDatabase>
#include <QPainter>
#include <QPainterPath>
#include <QStringList>

#include <algorithm>
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
        {"MS Sans Serif", {"Microsoft Sans Serif", "Tahoma", "Segoe UI", "Liberation Sans", "Arial"}},
        {"Arial", {"Arial", "Liberation Sans", "Tahoma"}},
        {"Arial Narrow", {"Arial Narrow", "Liberation Sans Narrow", "Arial", "Liberation Sans", "Tahoma"}},
        {"Book Antiqua", {"Book Antiqua", "Palatino Linotype", "Times New Roman", "Liberation Serif", "DejaVu Serif"}},
    };
    for (const Choice &choice : choices)
        if (std::strcmp(choice.family, family) == 0)
            return choice.faces;
    return {QString::fromLatin1(family)};
}

// The first of faces that the system has as an outline face, in bold too
// where bold is asked for. A face it lacks is not asked for: Windows would
// answer with a face of its choosing, under Wine a serif one (C059) for a
// sans; nor a face without a bold cut for bold text, which Wine then draws
// bold at one scale and plain at another.
QString firstOutlineFace(const QStringList &faces, bool bold)
{
    const QStringList present = QFontDatabase::families();
    const auto hasBold = [](const QString &face) {
        const QStringList styles = QFontDatabase::styles(face);
        return std::any_of(styles.cbegin(), styles.cend(),
                           [&](const QString &style) { return QFontDatabase::weight(face, style) >= QFont::Bold; });
    };
    for (const QString &face : faces)
        if (present.contains(face, Qt::CaseInsensitive) && QFontDatabase::isSmoothlyScalable(face) && (!bold || hasBold(face)))
            return face;
    return faces.constLast();
}
#endif

} // namespace

QFont face(const char *family, qreal points, bool bold)
{
    QFont font;
#ifdef Q_OS_WIN
    font.setFamily(firstOutlineFace(outlineFaces(family), bold));
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
