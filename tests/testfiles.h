#pragma once

#include "radioimage.h"

#include <QByteArray>
#include <QFile>
#include <QString>

// Real files for the data-file tests.
namespace TestFiles {

inline const QByteArray Header("RQ73 DT Ver1.0.7");

// Neighbouring bytes all differ, so a shifted, cut or partly cleared copy shows.
inline QByteArray patternImage(int seed)
{
    QByteArray bytes(RadioImage::Size, '\0');
    for (int i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>((i * 37 + seed) & 0xFF);
    return bytes;
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

} // namespace TestFiles
