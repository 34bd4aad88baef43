#include "debugtext.h"

namespace DebugText {

void appendByte(QString &line, quint8 byte)
{
    line += QString::number(byte, 16).toUpper();
    line += QLatin1Char(' ');
}

QString hexLine(const char *prefix, QByteArrayView bytes)
{
    QString line = QString::fromLatin1(prefix);
    line.reserve(line.size() + 3 * bytes.size());
    for (const char c : bytes)
        appendByte(line, static_cast<quint8>(c));
    return line;
}

} // namespace DebugText
