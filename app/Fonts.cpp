#include "app/Fonts.h"

#include <QApplication>
#include <QFont>
#include <QFontInfo>
#include <QStringList>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

void installFontSubstitutes()
{
#ifdef Q_OS_WIN
    // Under Wine the system's glyph images of larger sizes lack their left
    // columns (Tahoma at 16 pixels: "00" reads "CC"). There glyphs of more
    // than 14 device pixels are drawn from their outlines instead (Qt's
    // glyph cache limit); the dialog font's 11 pixels keep Wine's images,
    // and with them the bold Wine makes. Windows' own images stay in use on
    // Windows.
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    if (ntdll && GetProcAddress(ntdll, "wine_get_version"))
        qputenv("QT_MAX_CACHED_GLYPH_SIZE", "14");
#else // on Windows widgets::face() picks Windows' own outline faces
    auto substitute = [](const char *family, QStringList replacements) {
        QFont::insertSubstitutions(QString::fromLatin1(family), replacements);
    };
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
