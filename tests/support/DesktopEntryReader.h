#pragma once

// Reads desktop entry files the way a desktop's autostart does, written
// from the Desktop Entry rules on their own, so that tests can check what
// the shortcut code writes against a reader it does not share.

#include <QFile>
#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>

namespace desktopentry {

// The value of a string key: \s \n \t \r \\ decoded.
inline QString unescape(const QString &raw)
{
    QString out;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (raw[i] != u'\\' || i + 1 == raw.size()) {
            out += raw[i];
            continue;
        }
        const QChar c = raw[++i];
        if (c == u's') out += u' ';
        else if (c == u'n') out += u'\n';
        else if (c == u't') out += u'\t';
        else if (c == u'r') out += u'\r';
        else if (c == u'\\') out += u'\\';
        else { out += u'\\'; out += c; }
    }
    return out;
}

// The keys of the [Desktop Entry] group, values unescaped; nothing when the
// file cannot be read or has no such group first.
inline std::optional<QMap<QString, QString>> readEntry(const QString &path, QStringList *keyOrder = nullptr)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QMap<QString, QString> keys;
    bool inGroup = false;
    for (const QString &line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[')) {
            inGroup = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        if (!inGroup)
            continue;
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0)
            return std::nullopt;
        const QString key = line.left(eq).trimmed();
        keys.insert(key, unescape(line.mid(eq + 1).trimmed()));
        if (keyOrder)
            keyOrder->append(key);
    }
    return keys;
}

// An Exec value (already unescaped) split into program and arguments:
// blanks separate, double quotes group, and inside them a backslash makes
// the next ", `, $ or \ literal; %% is a literal %.
inline std::optional<QStringList> splitExec(const QString &exec)
{
    QStringList words;
    QString word;
    bool inWord = false;
    bool quoted = false;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec[i];
        if (quoted) {
            if (c == u'\\' && i + 1 < exec.size() && QStringLiteral("\"`$\\").contains(exec[i + 1]))
                word += exec[++i];
            else if (c == u'"')
                quoted = false;
            else if (c == u'%' && i + 1 < exec.size() && exec[i + 1] == u'%')
                word += exec[++i];
            else
                word += c;
        } else if (c == u' ') {
            if (inWord)
                words.append(word);
            word.clear();
            inWord = false;
        } else if (c == u'"') {
            quoted = true;
            inWord = true;
        } else if (c == u'%' && i + 1 < exec.size() && exec[i + 1] == u'%') {
            word += exec[++i];
            inWord = true;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (quoted)
        return std::nullopt;
    if (inWord)
        words.append(word);
    return words;
}

} // namespace desktopentry
