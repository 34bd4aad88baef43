#include "datafile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <algorithm>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>
#endif

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

// On the disk before it is given the file's name, so a power cut cannot leave the name on an
// empty file.
bool syncToDisk(QFile &file)
{
#ifdef Q_OS_WIN
    return FlushFileBuffers(reinterpret_cast<HANDLE>(_get_osfhandle(file.handle()))) != 0;
#else
    return ::fsync(file.handle()) == 0;
#endif
}

void setNewFilePermissions(QFile &file)
{
#ifdef Q_OS_WIN
    Q_UNUSED(file);
#else
    const mode_t mask = ::umask(0);
    ::umask(mask);
    (void)::fchmod(file.handle(), 0666 & ~mask);
#endif
}

// Puts from in the place of to, in one step that either happens whole or not at all.
bool replaceFile(const QString &from, const QString &to, QString *reason)
{
#ifdef Q_OS_WIN
    if (MoveFileExW(reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(from).utf16()),
                    reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(to).utf16()),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    *reason = qt_error_string(int(GetLastError()));
    return false;
#else
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0)
        return true;
    *reason = qt_error_string(errno);
    return false;
#endif
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
        return failure(DataFileError::NotRegular);

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
        return failure(DataFileError::NotRegular);

    // A link is followed, so the link stays and its file gets the data.
    const QString target = info.isSymLink() ? info.symLinkTarget() : info.absoluteFilePath();
    const QFileInfo targetInfo(target);
    const QDir folder = targetInfo.absoluteDir();
    const QString prefix = targetInfo.fileName() + QString::fromLatin1(DataFile::TemporaryMarker);
    DataFile::removeStrayTemporaries(target);

    // The new data goes into a file of its own beside the old one and is renamed over it only
    // once whole: a save cut short at any moment leaves the data file as it was, and at most a
    // temporary file that the next save of the same file removes.
    QTemporaryFile file(folder.filePath(prefix + QStringLiteral("XXXXXX")));
    if (!file.open())
        return failure(DataFileError::CannotCreate, file.errorString());
    const QByteArray bytes = DataFile::encode(image, tuneTxTime);
    if (file.write(bytes) != bytes.size() || !file.flush() || !syncToDisk(file)) {
        const QString reason
            = file.error() == QFileDevice::NoError ? QString() : file.errorString();
        return failure(DataFileError::WriteFailed, reason);
    }
    // The same permissions as the file it replaces; a new file gets those any new file would.
    if (targetInfo.exists())
        file.setPermissions(QFile::permissions(target));
    else
        setNewFilePermissions(file);
    file.close();
    QString reason;
    if (!replaceFile(file.fileName(), target, &reason))
        return failure(DataFileError::WriteFailed, reason);
    file.setAutoRemove(false);
    return {};
}

void DataFile::removeStrayTemporaries(const QString &path)
{
    const QFileInfo info(path);
    const QString prefix = info.fileName() + QString::fromLatin1(TemporaryMarker);
    const QDir folder = info.absoluteDir();
    const QStringList names = folder.entryList({prefix + QStringLiteral("??????")},
                                               QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names)
        QFile::remove(folder.filePath(name));
}
