#include "radioimage.h"

#include <QtGlobal>

#include <algorithm>

RadioImage::WordBytes RadioImage::WordToBytes(std::int32_t value)
{
    const auto u = static_cast<std::uint32_t>(value);
    return {static_cast<std::uint8_t>(u & 0xFFu), static_cast<std::uint8_t>((u >> 8) & 0xFFu),
            static_cast<std::uint8_t>((u >> 16) & 0xFFu),
            static_cast<std::uint8_t>((u >> 24) & 0xFFu)};
}

std::int32_t RadioImage::WordFromBytes(const std::uint8_t *buffer, int size, int offset)
{
    std::uint32_t u = 0;
    for (int i = 3; i >= 0; --i) {
        const int index = offset + i;
        const std::uint32_t b = (index >= 0 && index < size) ? buffer[index] : 0u;
        u = (u << 8) | b;
    }
    return static_cast<std::int32_t>(u);
}

std::int32_t RadioImage::WordFromBytes(const QByteArray &buffer, int offset)
{
    return WordFromBytes(reinterpret_cast<const std::uint8_t *>(buffer.constData()),
                         static_cast<int>(buffer.size()), offset);
}

std::int32_t RadioImage::ReadImageWord(int w) const
{
    Q_ASSERT(isValidWordAddress(w));
    if (!isValidWordAddress(w))
        return 0;
    return WordFromBytes(bytes_.data(), Size, 4 * w);
}

bool RadioImage::WriteImageWord(int w, std::int32_t value)
{
    Q_ASSERT(isValidWordAddress(w));
    if (!isValidWordAddress(w))
        return false;
    const WordBytes b = WordToBytes(value);
    for (int i = 0; i < 4; ++i)
        bytes_[static_cast<std::size_t>(4 * w + i)] = b[static_cast<std::size_t>(i)];
    return true;
}

void RadioImage::clearFirstHalf()
{
    std::fill(bytes_.begin(), bytes_.begin() + Size / 2, std::uint8_t{0});
}

QByteArray RadioImage::toByteArray() const
{
    return QByteArray(reinterpret_cast<const char *>(bytes_.data()), Size);
}

bool RadioImage::assign(const QByteArray &bytes)
{
    if (bytes.size() != Size)
        return false;
    std::copy(bytes.cbegin(), bytes.cend(), reinterpret_cast<char *>(bytes_.data()));
    return true;
}
