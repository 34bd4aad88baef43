#include "debugtext.h"

namespace DebugText {

void appendByte(QString &line, quint8 byte)
{
    // Without a temporary string: a reply adds three characters per byte to its line.
    static constexpr char Digits[] = "0123456789ABCDEF";
    const char text[] = {Digits[byte >> 4], Digits[byte & 0x0F], ' '};
    line += QLatin1StringView(byte < 0x10 ? text + 1 : text, byte < 0x10 ? 2 : 3);
}

QString hexLine(const char *prefix, QByteArrayView bytes)
{
    QString line;
    line.reserve(qsizetype(qstrlen(prefix)) + 3 * bytes.size());
    line += QLatin1StringView(prefix);
    for (const char c : bytes)
        appendByte(line, static_cast<quint8>(c));
    return line;
}

} // namespace DebugText
