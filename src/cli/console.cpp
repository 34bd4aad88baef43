#include "console.h"

#include <cstdio>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

namespace Console {

bool isTerminal(Stream stream)
{
    FILE *file = stream == Stream::In ? stdin : (stream == Stream::Out ? stdout : stderr);
#ifdef Q_OS_WIN
    return _isatty(_fileno(file)) != 0;
#else
    return ::isatty(::fileno(file)) != 0;
#endif
}

QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

QTextStream &err()
{
    static QTextStream stream(stderr);
    return stream;
}

QString readLine()
{
    static QTextStream stream(stdin);
    return stream.readLine();
}

} // namespace Console
