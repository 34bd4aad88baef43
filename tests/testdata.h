#pragma once

#include "radioimage.h"

#include <QByteArray>
#include <QFile>
#include <QString>

// The tests' data: byte patterns for images and radio memories, literal bytes written as hex, and
// real files.
namespace TestData {

inline const QByteArray Header("RQ73 DT Ver1.0.7");

// Bytes written out as hex ("54 55 4e" or "54554e"), so expected frames stay literal.
inline QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

// A whole image's bytes, (i * multiplier + offset) & 0xFF. With an odd multiplier neighbouring
// bytes all differ, so a shifted, cut or partly cleared copy shows.
inline QByteArray patternBytes(int multiplier, int offset)
{
    QByteArray bytes(RadioImage::Size, '\0');
    for (int i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>((i * multiplier + offset) & 0xFF);
    return bytes;
}

inline QByteArray patternImage(int seed)
{
    return patternBytes(37, seed);
}

inline bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace TestData
