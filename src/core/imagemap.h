#pragma once

// Where things live in the radio image, in word addresses: the one map the transfers, the live
// frames, the value table and the squelch table read.
namespace ImageMap {

struct Region
{
    int first;
    int last;
    constexpr bool contains(int w) const { return w >= first && w <= last; }
};

inline constexpr int FreqAdjustWord = 0;
// Transmit power and deviation, points 0 to 17 and 18 to 35: power at the even word of a pair.
inline constexpr Region TxTableLow = {16, 51};
inline constexpr Region TxTableHigh = {80, 115};
inline constexpr int TxPointsLow = 18;
inline constexpr Region DataRates = {61, 63};
inline constexpr Region Squelch = {64, 66};
inline constexpr Region VolumesLow = {67, 70};
inline constexpr Region Mics = {71, 75};
inline constexpr Region VolumesHigh = {76, 77};
// The squelch tune table: moved by the transfers up to word 275; its last four words (the
// reference rows) are only ever sent live.
inline constexpr Region SquelchTable = {128, 279};
inline constexpr int LastTransferredWord = 275;
// The tune data window's write ends here.
inline constexpr int LastTuneDataWord = 71;
// Words every transfer skips.
inline constexpr Region Gaps[] = {{1, 15}, {52, 60}, {78, 79}, {116, 127}};
// Words that key the transmitter when they are sent live.
inline constexpr Region TransmitWords[] = {{0, 63}, {71, 74}, {80, 127}};

constexpr int txPowerWord(int point)
{
    return point < TxPointsLow ? TxTableLow.first + 2 * point
                               : TxTableHigh.first + 2 * (point - TxPointsLow);
}

constexpr bool isTransmitWord(int w)
{
    for (const Region &r : TransmitWords) {
        if (r.contains(w))
            return true;
    }
    return false;
}

// The first word a transfer moves at or after w.
constexpr int skipGap(int w)
{
    for (const Region &gap : Gaps) {
        if (gap.contains(w))
            return gap.last + 1;
    }
    return w;
}

} // namespace ImageMap
