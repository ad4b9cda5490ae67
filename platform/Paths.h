#pragma once

#include <QString>

namespace platform {

// folder followed by exactly one separator: none is added where the folder
// already ends in one (a drive's root, "C:\" or "/").
QString withTrailingSeparator(const QString &folder);

// folder, one separator, name.
QString joinPath(const QString &folder, const QString &name);

// The folder of the running executable, ending in one separator.
QString applicationFolder();

// Where programs are installed: "C:\PROGRAM FILES" on Windows, where that
// folder exists; elsewhere the system's programs folder ("/usr/bin").
QString programsFolder();

// The plain-text editor that the Help menu starts with a file name.
QString textEditor();

// Whether textEditor() may fail to show a file: the desktop's opener
// (xdg-open) fails where no program is set up for text files, and for a
// missing file. notepad.exe shows any file, or offers to create it.
bool textEditorMayFail();

} // namespace platform
