#include "transferlog.h"

#include "portopen.h"

#include <QSaveFile>

namespace TransferLog {

QString header(const QDateTime &when, int comPortNumber)
{
    return QStringLiteral("%1\tCOM%2\t%3")
        .arg(when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")))
        .arg(comPortNumber)
        .arg(portDeviceName(comPortNumber));
}

QString write(const QString &path, const QString &header, const QStringList &lines)
{
    QSaveFile file(path);
    // Text mode: the line ends a text editor of the system expects.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return file.errorString();
    QByteArray bytes = header.toUtf8() + '\n';
    for (const QString &line : lines)
        bytes += line.toUtf8() + '\n';
    if (file.write(bytes) != bytes.size() || !file.commit())
        return file.errorString();
    return {};
}

} // namespace TransferLog
