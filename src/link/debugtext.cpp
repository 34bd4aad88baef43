#include "debugtext.h"

namespace DebugText {

QString hexLine(const char *prefix, QByteArrayView bytes)
{
    // Written in place: a full read's list holds some 1,600 bytes, and appending them one by one
    // cost more than the transfer's own work.
    static constexpr char Digits[] = "0123456789ABCDEF";
    const auto prefixLength = static_cast<qsizetype>(qstrlen(prefix));
    QString line(prefixLength + 3 * bytes.size(), Qt::Uninitialized);
    QChar *out = line.data();
    for (qsizetype i = 0; i < prefixLength; ++i)
        *out++ = QLatin1Char(prefix[i]);
    for (const char c : bytes) {
        const auto byte = static_cast<quint8>(c);
        if (byte >= 0x10)
            *out++ = QLatin1Char(Digits[byte >> 4]);
        *out++ = QLatin1Char(Digits[byte & 0x0F]);
        *out++ = QLatin1Char(' ');
    }
    line.truncate(out - line.constData());
    return line;
}

} // namespace DebugText
