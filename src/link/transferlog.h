#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

// The transfer window's debug list as a text file to send with a bug report: a header line of
// when, which COM port and which device, then the list's lines as they stand.
namespace TransferLog {

// "2026-12-10 14:15:00<TAB>COM4<TAB>/dev/ttyUSB3"
QString header(const QDateTime &when, int comPortNumber);

// Writes the header and the lines, one a line, in UTF-8. Returns the system's description of a
// failure, or empty text when the file was written. A file already there is replaced only once
// everything is written.
QString write(const QString &path, const QString &header, const QStringList &lines);

} // namespace TransferLog
