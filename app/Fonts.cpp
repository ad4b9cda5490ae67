#include "app/Fonts.h"

#include <QFont>
#include <QStringList>

void installFontSubstitutes()
{
    auto substitute = [](const char *family, QStringList replacements) {
        QFont::insertSubstitutions(QString::fromLatin1(family), replacements);
    };
    substitute("MS Sans Serif", {"Microsoft Sans Serif", "Liberation Sans", "DejaVu Sans"});
    substitute("Arial Narrow", {"Liberation Sans Narrow", "DejaVu Sans Condensed"});
    substitute("Arial", {"Liberation Sans", "DejaVu Sans"});
    substitute("Book Antiqua", {"Palatino Linotype", "URW Palladio L", "Liberation Serif", "DejaVu Serif"});
}
