#include "datafile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

QByteArray DataFile::encode(const RadioImage &image, std::int32_t tuneTxTime)
{
    QByteArray bytes(Header, HeaderSize);
    bytes += image.toByteArray();
    for (std::uint8_t b : RadioImage::WordToBytes(tuneTxTime))
        bytes += static_cast<char>(b);
    return bytes;
}

namespace {

// A file too short to hold the whole header still counts as a data file cut short when the bytes
// it has agree with the header.
bool headerMatches(const QByteArray &data)
{
    const qsizetype n = std::min<qsizetype>(data.size(), DataFile::ComparedHeaderSize);
    return std::equal(data.cbegin(), data.cbegin() + n, DataFile::Header);
}

DataFileResult failure(DataFileError error, const QString &systemText = {}, qint64 bytesFound = 0)
{
    return {error, systemText, bytesFound};
}

} // namespace

DataFileResult DataFile::decode(const QByteArray &data, RadioImage &image, std::int32_t &tuneTxTime)
{
    if (!headerMatches(data))
        return failure(DataFileError::WrongHeader);
    if (data.size() < DataFile::Size)
        return failure(DataFileError::TooShort, QString(), data.size());

    image.assign(data.mid(DataFile::ImageOffset, RadioImage::Size));
    tuneTxTime = RadioImage::WordFromBytes(data, DataFile::TuneTxTimeOffset);
    return {};
}

DataFileResult ReadFromFile(const QString &path, RadioImage &image, std::int32_t &tuneTxTime)
{
    if (path.isEmpty())
        return failure(DataFileError::EmptyPath);
    const QFileInfo info(path);
    if (info.isDir())
        return failure(DataFileError::IsFolder);
    if (!info.exists())
        return failure(DataFileError::NotFound);
    // A pipe blocks the open until a writer comes and a device or socket never ends, so only a
    // regular file (also behind a link) is ever opened.
    if (!info.isFile())
        return failure(DataFileError::Unreadable);

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failure(DataFileError::Unreadable, file.errorString());
    QByteArray data;
    while (data.size() < DataFile::Size) {
        const QByteArray chunk = file.read(DataFile::Size - data.size());
        if (chunk.isEmpty())
            break;
        data += chunk;
    }
    if (file.error() != QFileDevice::NoError)
        return failure(DataFileError::Unreadable, file.errorString());

    return DataFile::decode(data, image, tuneTxTime);
}

DataFileResult WriteToFile(const QString &path, const RadioImage &image, std::int32_t tuneTxTime)
{
    if (path.isEmpty())
        return failure(DataFileError::EmptyPath);
    const QFileInfo info(path);
    if (info.isDir())
        return failure(DataFileError::IsFolder);
    if (!info.absoluteDir().exists())
        return failure(DataFileError::FolderMissing);
    // A pipe, device or socket of that name would be replaced by the new file, or the save would
    // wait for a reader; neither is what the technician asked for.
    if (info.exists() && !info.isFile())
        return failure(DataFileError::CannotCreate);

    QSaveFile file(path);
    // Unbuffered, so a disk that fills part-way shows as a short write here. Through the buffer
    // the short write is lost and commit() would put a truncated file in place of the old one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return failure(DataFileError::CannotCreate, file.errorString());
    const QByteArray bytes = DataFile::encode(image, tuneTxTime);
    if (file.write(bytes) != bytes.size()) {
        const QString reason
            = file.error() == QFileDevice::NoError ? QString() : file.errorString();
        file.cancelWriting();
        return failure(DataFileError::WriteFailed, reason);
    }
    if (!file.commit())
        return failure(DataFileError::WriteFailed, file.errorString());
    return {};
}
