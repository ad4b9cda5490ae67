#include "app/Fonts.h"

#include <QApplication>
#include <QFont>
#include <QFontInfo>
#include <QStringList>

void installFontSubstitutes()
{
    auto substitute = [](const char *family, QStringList replacements) {
        QFont::insertSubstitutions(QString::fromLatin1(family), replacements);
    };
#ifndef Q_OS_WIN // there viewer::face() picks Windows' own outline faces
    substitute("MS Sans Serif", {"Microsoft Sans Serif", "Liberation Sans", "DejaVu Sans"});
    substitute("Arial Narrow", {"Liberation Sans Narrow", "DejaVu Sans Condensed"});
    substitute("Arial", {"Liberation Sans", "DejaVu Sans"});
    substitute("Book Antiqua", {"Palatino Linotype", "URW Palladio L", "Liberation Serif", "DejaVu Serif"});
    // Where no desktop sets the font of menus and message boxes, it is
    // fontconfig's sans-serif, and on a system that has the Liberation fonts
    // alone that is Liberation Mono. A proportional face is chosen instead.
    if (QFontInfo(QApplication::font()).fixedPitch()) {
        QFont font = QApplication::font();
        font.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")});
        QApplication::setFont(font);
    }
#endif
}
