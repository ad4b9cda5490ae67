#include "companions/rendaro/Console.h"

#include <QTextStream>

#include <cstdio>

namespace rendaro {

void attachConsole() {}

void answer(const QString &text, const QString &)
{
    QTextStream(stdout) << text;
}

} // namespace rendaro
