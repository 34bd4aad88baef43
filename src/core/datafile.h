#pragma once

#include "radioimage.h"

#include <QByteArray>
#include <QString>
#include <cstdint>

// The radio data file (.rdat): the header text, the whole image and TuneTxTime, back to back.
namespace DataFile {

constexpr int Size = 2068;
constexpr char Header[] = "RQ73 DT Ver1.0.7";
constexpr int HeaderSize = 16;
// Only the model part of the header is checked, so files of other versions of the tool load.
constexpr int ComparedHeaderSize = 8;
constexpr int ImageOffset = HeaderSize;
constexpr int TuneTxTimeOffset = ImageOffset + RadioImage::Size;

// The file's bytes for an image and a transmit time.
QByteArray encode(const RadioImage &image, std::int32_t tuneTxTime);

} // namespace DataFile

enum class DataFileError {
    None,
    // No path: a cancelled dialog. Nothing happens and nothing is reported.
    EmptyPath,
    NotFound,
    IsFolder,
    // The file exists but cannot be opened or read.
    Unreadable,
    // A pipe, device or socket stands at the path (also behind a link); it is never opened, for
    // loading or saving.
    NotRegular,
    // The first 8 bytes are not "RQ73 DT ".
    WrongHeader,
    // The header fits but the file ends before the 2068 bytes.
    TooShort,
    // Saving: the folder of the target does not exist.
    FolderMissing,
    // Saving: the file cannot be created there (permissions, read-only disk).
    CannotCreate,
    // Saving: writing or replacing the file failed (disk full, device error).
    WriteFailed,
};

struct DataFileResult
{
    DataFileError error = DataFileError::None;
    // The system's own description of the failure, when there is one.
    QString systemText;
    // TooShort: how many bytes the file holds.
    qint64 bytesFound = 0;

    bool ok() const { return error == DataFileError::None; }
};

namespace DataFile {
// The image and transmit time out of a file's bytes, of which only the first 2068 count. Anything
// but success leaves both exactly as they were.
DataFileResult decode(const QByteArray &bytes, RadioImage &image, std::int32_t &tuneTxTime);

// A save writes "NAME.rq73-save-XXXXXX" beside the file NAME first; one left by a save that was
// cut short is removed by the next save of NAME.
constexpr char TemporaryMarker[] = ".rq73-save-";
void removeStrayTemporaries(const QString &path);
} // namespace DataFile

// Loads the first 2068 bytes of the file into image and tuneTxTime. Anything but success leaves
// both exactly as they were.
DataFileResult ReadFromFile(const QString &path, RadioImage &image, std::int32_t &tuneTxTime);

// Writes through a temporary file that replaces the target only once everything is written and on
// the disk, so a failure leaves the file already on disk as it was. A longer file is replaced by
// exactly 2068 bytes; a link keeps pointing at its file, which gets the data.
DataFileResult WriteToFile(const QString &path, const RadioImage &image, std::int32_t tuneTxTime);
