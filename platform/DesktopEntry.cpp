#include "platform/DesktopEntry.h"

#include <QCoreApplication>

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

std::optional<QByteArray> applicationEntry(const QString &name, const QString &program,
                                           const QStringList &arguments, const QString &workingFolder,
                                           QString *why)
{
    QStringList command{quoteExecArgument(program)};
    for (const QString &argument : arguments)
        command.append(quoteExecArgument(argument));

    const auto nameValue = escapeStringValue(name);
    const auto execValue = escapeStringValue(command.join(u' '));
    const auto pathValue = escapeStringValue(workingFolder);
    if (!nameValue || !execValue || !pathValue) {
        if (why)
            *why = QCoreApplication::translate("platform", "a name or path holds a control character");
        return std::nullopt;
    }
    const QString text = QStringLiteral("[Desktop Entry]\n"
                                        "Type=Application\n"
                                        "Name=%1\n"
                                        "Exec=%2\n"
                                        "Path=%3\n")
                             .arg(*nameValue, *execValue, *pathValue);
    return text.toUtf8();
}

} // namespace platform
