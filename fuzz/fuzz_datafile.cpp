// A data file of arbitrary bytes: loading either takes exactly the file's image and transmit time
// or changes nothing. The bytes go to the decoder ReadFromFile hands the file's bytes to; reading
// the file itself is the tests' business, and a file per input is more than ten times slower.
#include "datafile.h"
#include "radioimage.h"

#include <QByteArray>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));

    // A recognisable state, so that any change by a failed load shows.
    RadioImage image;
    for (int w = 0; w < RadioImage::WordCount; ++w)
        image.WriteImageWord(
            w, static_cast<std::int32_t>(static_cast<std::uint32_t>(w) * 2654435761u));
    const RadioImage before = image;
    std::int32_t tuneTxTime = -12345;

    const DataFileResult result = DataFile::decode(bytes, image, tuneTxTime);

    const bool header = std::memcmp(bytes.constData(), DataFile::Header,
                                    std::min<std::size_t>(size, DataFile::ComparedHeaderSize))
                        == 0;
    if (result.ok()) {
        check(size >= std::size_t(DataFile::Size) && header);
        // Saving what was loaded gives back the file's first 2068 bytes, version part aside.
        QByteArray saved = DataFile::encode(image, tuneTxTime);
        QByteArray loaded = bytes.left(DataFile::Size);
        check(saved.size() == loaded.size());
        loaded.replace(DataFile::ComparedHeaderSize,
                       DataFile::HeaderSize - DataFile::ComparedHeaderSize,
                       saved.mid(DataFile::ComparedHeaderSize,
                                 DataFile::HeaderSize - DataFile::ComparedHeaderSize));
        check(saved == loaded);
    } else {
        check(image == before && tuneTxTime == -12345);
        if (!header)
            check(result.error == DataFileError::WrongHeader);
        else if (size < std::size_t(DataFile::Size))
            check(result.error == DataFileError::TooShort && result.bytesFound == qint64(size));
        else
            check(false);
    }
    return 0;
}
