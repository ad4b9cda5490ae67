#pragma once

#include <QFont>

namespace widgets {

// A font of the windows' layout, by the family the layout names ("MS Sans
// Serif", "Arial", "Arial Narrow", "Book Antiqua"). On Windows only outline
// faces are used: "MS Sans Serif" is a bitmap face there that loses parts of
// its glyphs at the list's size and has no bold at some scales, so the first
// present of Microsoft Sans Serif, Tahoma and Segoe UI stands in for it; the
// Arial faces are used themselves, else metric-compatible ones; a sans face
// never falls back to a serif one. Elsewhere the family is asked for as it
// is and the application's substitutes (app/Fonts) pick a face the system has.
QFont face(const char *family, qreal points, bool bold = false);

} // namespace widgets
