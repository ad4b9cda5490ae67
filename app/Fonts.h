#pragma once

// Maps the window fonts of the layout to fonts a Linux desktop has, where
// the named ones are missing: Liberation Sans for the dialog font, its Narrow
// cut (metric-compatible with Arial Narrow) and a serif for the title (on
// Windows widgets::face() chooses among Windows' own). Where the default font of menus
// and message boxes comes out fixed-pitch, a proportional sans takes its
// place. Call it once the application exists.
void installFontSubstitutes();
