#include "platform/DesktopEntry.h"

namespace platform {

namespace {

bool isReserved(QChar c)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    return reserved.contains(c);
}

} // namespace

QString quoteExecArgument(const QString &argument)
{
    bool needsQuotes = argument.isEmpty();
    for (QChar c : argument)
        needsQuotes = needsQuotes || isReserved(c);

    QString out;
    if (needsQuotes)
        out += u'"';
    for (QChar c : argument) {
        if (needsQuotes && (c == u'"' || c == u'`' || c == u'$' || c == u'\\'))
            out += u'\\';
        if (c == u'%')
            out += u'%';
        out += c;
    }
    if (needsQuotes)
        out += u'"';
    return out;
}

std::optional<QString> escapeStringValue(const QString &value)
{
    QString out;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c == u'\\')
            out += QStringLiteral("\\\\");
        else if (c == u'\n')
            out += QStringLiteral("\\n");
        else if (c == u'\t')
            out += QStringLiteral("\\t");
        else if (c == u'\r')
            out += QStringLiteral("\\r");
        else if (c == u' ' && i == 0)
            out += QStringLiteral("\\s"); // a reader trims blanks after "="
        else if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return std::nullopt;
        else
            out += c;
    }
    return out;
}

QString unescapeStringValue(const QString &value)
{
    QString out;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c != u'\\' || i + 1 == value.size()) {
            out += c;
            continue;
        }
        switch (value[++i].unicode()) {
        case 's':
            out += u' ';
            break;
        case 'n':
            out += u'\n';
            break;
        case 't':
            out += u'\t';
            break;
        case 'r':
            out += u'\r';
            break;
        case '\\':
            out += u'\\';
            break;
        default:
            out += u'\\';
            out += value[i];
            break;
        }
    }
    return out;
}

std::optional<QStringList> splitExecValue(const QString &exec)
{
    QStringList words;
    QString word;
    bool inWord = false;
    QChar quote; // '"' or '\'' while inside quotes
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec[i];
        const bool more = i + 1 < exec.size();
        if (quote == u'\'') {
            if (c == u'\'')
                quote = QChar();
            else
                word += c;
        } else if (quote == u'"') {
            if (c == u'"')
                quote = QChar();
            else if (c == u'\\' && more && QStringView(u"$`\"\\").contains(exec[i + 1]))
                word += exec[++i];
            else
                word += c;
        } else if (c == u' ' || c == u'\t' || c == u'\n') {
            if (inWord)
                words.append(word);
            word.clear();
            inWord = false;
        } else {
            inWord = true;
            if (c == u'"' || c == u'\'')
                quote = c;
            else if (c == u'\\' && more)
                word += exec[++i];
            else
                word += c;
        }
    }
    if (!quote.isNull())
        return std::nullopt;
    if (inWord)
        words.append(word);
    return words;
}

QHash<QString, QString> readDesktopEntry(const QByteArray &file)
{
    QHash<QString, QString> keys;
    bool inGroup = false;
    for (const QByteArray &raw : file.split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.startsWith(u'[')) {
            inGroup = line == QLatin1String("[Desktop Entry]");
        } else if (inGroup && !line.startsWith(u'#')) {
            const qsizetype equals = line.indexOf(u'=');
            const QString key = line.left(equals).trimmed();
            if (equals > 0 && !key.contains(u'[') && !keys.contains(key))
                keys.insert(key, unescapeStringValue(line.mid(equals + 1).trimmed()));
        }
    }
    return keys;
}

base::Result<QByteArray> applicationEntry(const QString &name, const QString &program, const QStringList &arguments,
                                          const QString &workingFolder)
{
    QStringList command{quoteExecArgument(program)};
    for (const QString &argument : arguments)
        command.append(quoteExecArgument(argument));

    const auto nameValue = escapeStringValue(name);
    const auto execValue = escapeStringValue(command.join(u' '));
    const auto pathValue = escapeStringValue(workingFolder);
    // TryExec: where the program is gone (its package removed), a desktop
    // passes over the entry instead of failing at every logon.
    const auto tryExecValue = escapeStringValue(program);
    if (!nameValue || !execValue || !pathValue || !tryExecValue)
        return base::Failure{QStringLiteral("a name or path holds a control character")};
    // What a desktop will read, which a value that only looks right would
    // not survive: a % doubled for the field codes stays doubled in the
    // program GLib looks for.
    const std::optional<QStringList> readBack = splitExecValue(unescapeStringValue(*execValue));
    if (!readBack || *readBack != QStringList{program} + arguments || unescapeStringValue(*pathValue) != workingFolder)
        return base::Failure{
            QStringLiteral("a desktop would not read \"%1\" in \"%2\" back as written").arg(program, workingFolder)};
    const QString text = QStringLiteral("[Desktop Entry]\n"
                                        "Type=Application\n"
                                        "Name=%1\n"
                                        "Exec=%2\n"
                                        "TryExec=%3\n"
                                        "Path=%4\n")
                             .arg(*nameValue, *execValue, *tryExecValue, *pathValue);
    return text.toUtf8();
}

} // namespace platform
