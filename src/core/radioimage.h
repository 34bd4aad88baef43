#pragma once

#include <QByteArray>
#include <array>
#include <cstdint>

// The one in-memory copy of the radio's alignment data: 2048 bytes, addressed in signed 32-bit
// little-endian words. The radio's wire order is the storage order, so words travel byte for byte.
class RadioImage
{
public:
    static constexpr int Size = 2048;
    static constexpr int WordCount = Size / 4;

    using WordBytes = std::array<std::uint8_t, 4>;

    RadioImage() { bytes_.fill(0); }

    static WordBytes WordToBytes(std::int32_t value);
    // Reads 4 bytes at offset of any buffer; bytes missing past the end of the buffer read as 0.
    static std::int32_t WordFromBytes(const std::uint8_t *buffer, int size, int offset);
    static std::int32_t WordFromBytes(const QByteArray &buffer, int offset);

    static constexpr bool isValidWordAddress(int w) { return w >= 0 && w < WordCount; }

    // Out-of-range addresses read as 0 and are refused on write (asserted in debug builds),
    // so no caller can reach past the image.
    std::int32_t ReadImageWord(int w) const;
    bool WriteImageWord(int w, std::int32_t value);

    std::uint8_t byteAt(int index) const { return bytes_.at(static_cast<std::size_t>(index)); }

    // New keeps the second half: only bytes 0 to 1023 are cleared.
    void clearFirstHalf();

    QByteArray toByteArray() const;
    // Takes exactly Size bytes; a buffer of another size is refused and the image is unchanged.
    bool assign(const QByteArray &bytes);

    bool operator==(const RadioImage &other) const = default;

private:
    std::array<std::uint8_t, Size> bytes_;
};
