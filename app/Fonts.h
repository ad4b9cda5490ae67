#pragma once

// Maps the window fonts of the layout to fonts a Linux desktop has, where
// the named ones are missing: Liberation Sans for the dialog font, its Narrow
// cut (metric-compatible with Arial Narrow) and a serif for the title. On
// Windows only Windows' own faces stand in.
void installFontSubstitutes();
