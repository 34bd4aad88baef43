#include "backupstore.h"

#include "datafile.h"
#include "settingsstore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <algorithm>

namespace {

const char *const TimeFormat = "yyyy-MM-dd_HH-mm-ss-zzz";
const char *const Suffix = ".rdat";

// Most files one time and kind can share before the backup gives up on finding a free name.
constexpr int MaxSequence = 1000;

bool olderFirst(const BackupStore::Entry &a, const BackupStore::Entry &b)
{
    if (a.taken != b.taken)
        return a.taken < b.taken;
    if (a.sequence != b.sequence)
        return a.sequence < b.sequence;
    return a.fileName < b.fileName;
}

// The names alone cannot be trusted for age: a clock that was wrong once leaves names from the
// future that would otherwise outlive every backup written after them.
bool writtenFirst(const BackupStore::Entry &a, const BackupStore::Entry &b)
{
    if (a.written != b.written)
        return a.written < b.written;
    return olderFirst(a, b);
}

QString text(const char *source)
{
    return QCoreApplication::translate("BackupStore", source);
}

} // namespace

BackupStore::BackupStore(QString folder)
    : m_folder(std::move(folder))
{}

QString BackupStore::defaultFolder()
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (data.isEmpty())
        return {};
    return data + QStringLiteral("/backups");
}

int BackupStore::storedLimit()
{
    bool ok = false;
    const int n = SettingsStore::ReadRegistryText(QString::fromLatin1(LimitSetting)).toInt(&ok);
    return ok && n >= 1 && n <= MaxLimit ? n : DefaultLimit;
}

bool BackupStore::storeLimit(int limit)
{
    return SettingsStore::WriteRegistryText(QString::fromLatin1(LimitSetting),
                                            QString::number(std::clamp(limit, 1, MaxLimit)));
}

QString BackupStore::kindKey(Kind kind)
{
    switch (kind) {
    case Kind::SquelchRead:
        return QStringLiteral("squelch-read");
    case Kind::ReplacedFile:
        return QStringLiteral("replaced-file");
    case Kind::BeforeWrite:
        return QStringLiteral("before-write");
    case Kind::FullRead:
        break;
    }
    return QStringLiteral("full-read");
}

QString BackupStore::fileName(const QDateTime &when, Kind kind, int sequence)
{
    QString name
        = when.toString(QString::fromLatin1(TimeFormat)) + QLatin1Char('_') + kindKey(kind);
    if (sequence > 1)
        name += QStringLiteral("_%1").arg(sequence);
    return name + QString::fromLatin1(Suffix);
}

std::optional<BackupStore::Entry> BackupStore::parse(const QString &fileName)
{
    static const QRegularExpression pattern(QStringLiteral(
        R"(^(\d{4}-\d{2}-\d{2}_\d{2}-\d{2}-\d{2}-\d{3})_(full-read|squelch-read|replaced-file|before-write)(?:_(\d{1,4}))?\.rdat$)"));
    const QRegularExpressionMatch match = pattern.match(fileName);
    if (!match.hasMatch())
        return std::nullopt;
    Entry entry;
    entry.fileName = fileName;
    entry.taken = QDateTime::fromString(match.captured(1), QString::fromLatin1(TimeFormat));
    if (!entry.taken.isValid())
        return std::nullopt;
    for (const Kind kind :
         {Kind::FullRead, Kind::SquelchRead, Kind::ReplacedFile, Kind::BeforeWrite}) {
        if (match.captured(2) == kindKey(kind))
            entry.kind = kind;
    }
    entry.sequence = match.captured(3).isEmpty() ? 1 : match.captured(3).toInt();
    if (entry.sequence < 2 && !match.captured(3).isEmpty())
        return std::nullopt;
    return entry;
}

BackupStore::SaveResult BackupStore::save(const RadioImage &image, std::int32_t tuneTxTime,
                                          Kind kind, const QDateTime &when, int limit) const
{
    return saveBytes(DataFile::encode(image, tuneTxTime), kind, when, limit);
}

BackupStore::SaveResult BackupStore::saveBytes(const QByteArray &bytes, Kind kind,
                                               const QDateTime &when, int limit) const
{
    SaveResult result;
    if (m_folder.isEmpty()) {
        result.errorText = text(QT_TRANSLATE_NOOP("BackupStore", "No data folder"));
        return result;
    }
    if (!QDir().mkpath(m_folder)) {
        result.errorText = text(QT_TRANSLATE_NOOP("BackupStore", "Cannot create %1"))
                               .arg(QDir::toNativeSeparators(m_folder));
        return result;
    }
    for (int sequence = 1; sequence <= MaxSequence; ++sequence) {
        const QString path = m_folder + QLatin1Char('/') + fileName(when, kind, sequence);
        QFile file(path);
        // NewOnly fails when the name is taken, also by a file that appeared a moment ago.
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            if (QFileInfo::exists(path))
                continue;
            result.errorText = file.errorString();
            return result;
        }
        if (file.write(bytes) != bytes.size() || !file.flush()) {
            result.errorText = file.errorString();
            file.close();
            // A partial backup would later open as a damaged file.
            file.remove();
            return result;
        }
        file.close();
        if (file.error() != QFileDevice::NoError) {
            result.errorText = file.errorString();
            file.remove();
            return result;
        }
        result.removed = prune(limit, path);
        // Something else may have removed it meanwhile; a backup that is not there is not saved.
        if (QFileInfo::exists(path))
            result.path = path;
        else
            result.errorText
                = text(QT_TRANSLATE_NOOP("BackupStore", "The new backup is gone from the folder"));
        return result;
    }
    result.errorText = text(QT_TRANSLATE_NOOP("BackupStore", "No free file name"));
    return result;
}

QList<BackupStore::Entry> BackupStore::entries() const
{
    QList<Entry> list;
    if (m_folder.isEmpty())
        return list;
    const QDir dir(m_folder);
    const QFileInfoList files
        = dir.entryInfoList({QStringLiteral("*") + QString::fromLatin1(Suffix)}, QDir::Files);
    for (const QFileInfo &info : files) {
        std::optional<Entry> entry = parse(info.fileName());
        if (!entry)
            continue;
        entry->path = info.absoluteFilePath();
        entry->size = info.size();
        entry->written = info.lastModified();
        list.append(*entry);
    }
    std::sort(list.begin(), list.end(),
              [](const Entry &a, const Entry &b) { return olderFirst(b, a); });
    return list;
}

QStringList BackupStore::prune(int limit, const QString &keptPath) const
{
    QStringList removed;
    QList<Entry> list = entries();
    const int keep = std::clamp(limit, 1, MaxLimit);
    qsizetype excess = list.size() - keep;
    if (excess <= 0)
        return removed;
    std::sort(list.begin(), list.end(), writtenFirst);
    // Every backup is in this folder, so its name is enough to tell it.
    const QString kept = keptPath.isEmpty() ? QString() : QFileInfo(keptPath).fileName();
    for (const Entry &entry : std::as_const(list)) {
        if (excess == 0)
            break;
        if (entry.fileName == kept)
            continue;
        --excess;
        if (QFile::remove(entry.path))
            removed.append(entry.path);
    }
    return removed;
}
