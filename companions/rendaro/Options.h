#pragma once

#include <QDateTime>
#include <QStringList>

#include <optional>

namespace rendaro {

struct Options {
    bool list = false;            // --list: tell what today would do, start nothing
    bool once = false;            // --once: today's entries, then end
};

// "YYYY-MM-DDTHH:MM", optionally with ":SS", as a local time.
std::optional<QDateTime> parseAt(const QString &text);

} // namespace rendaro
