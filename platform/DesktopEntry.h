#pragma once

#include "base/Result.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

namespace platform {

// Desktop entry files (freedesktop.org Desktop Entry format), as the XDG
// autostart folders hold them.

// One argument of an Exec line: as it is when it holds no reserved
// character, else in double quotes with ", `, $ and \ escaped by a
// backslash. A literal % is doubled (it would start a field code).
QString quoteExecArgument(const QString &argument);

// A value of type string: backslash, newline, tab and carriage return
// escaped, a leading blank written as \s. Nothing when the value holds
// another control character, which a desktop entry cannot carry.
std::optional<QString> escapeStringValue(const QString &value);

// A string value read back: \s \n \t \r \\ decoded.
QString unescapeStringValue(const QString &value);

// An Exec value read back as a desktop's launcher reads it (GLib splits it
// as a shell would, before any field code is expanded): blanks separate
// words, double quotes group with \ escaping $ ` " \, single quotes group
// literally, a backslash outside quotes makes the next character literal.
// Nothing when a quote is left open.
std::optional<QStringList> splitExecValue(const QString &exec);

// The keys of a file's [Desktop Entry] group and their values, unescaped as
// string values; localised keys (Name[de]) and comments are left out.
QHash<QString, QString> readDesktopEntry(const QByteArray &file);

// The whole file of an application entry that starts program (with
// arguments, each quoted) in workingFolder, only while program exists
// (TryExec). The entry is read back as a
// desktop reads it and must name exactly that program, those arguments and
// that folder; a failure otherwise, or when a value cannot be written at all.
base::Result<QByteArray> applicationEntry(const QString &name, const QString &program, const QStringList &arguments,
                                          const QString &workingFolder);

} // namespace platform
