#pragma once

#include <QByteArrayView>
#include <QString>

// The lines of the transfer's debug list: a prefix, then every byte in upper-case hexadecimal
// without leading zeros, each followed by one blank ("TX:54 55 4E 45 4 0 0 1 ").
namespace DebugText {

inline constexpr char TxPrefix[] = "TX:";
inline constexpr char RxPrefix[] = "RX:";
inline constexpr char NoData[] = "No Data";

QString hexLine(const char *prefix, QByteArrayView bytes);

} // namespace DebugText
