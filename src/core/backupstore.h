#pragma once

#include "transferkind.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <cstdint>
#include <optional>

class RadioImage;

// The folder of automatic backups: one data file per successful read from a radio, and one of
// every data file before Save replaces it with other data, named by the time it was taken and
// its kind. A backup never replaces a file, and only files named
// the way this class names them are ever counted or removed, so anything else a technician puts
// into the folder is left alone.
class BackupStore
{
public:
    static constexpr int DefaultLimit = 200;
    static constexpr int MaxLimit = 100000;
    // The settings value that caps the number of backups kept.
    static constexpr char LimitSetting[] = "BackupLimit";

    // What left the backup: a full read or a squelch read, named as the transfers are, a data
    // file that Save was about to replace with data from elsewhere, or the radio's data read just
    // before a write replaced it.
    enum class Kind { FullRead, SquelchRead, ReplacedFile, BeforeWrite };
    static Kind kindOf(TransferKind transfer)
    {
        return transfer == TransferKind::SquelchRead ? Kind::SquelchRead : Kind::FullRead;
    }

    struct Entry
    {
        QString path;
        QString fileName;
        QDateTime taken;
        Kind kind = Kind::FullRead;
        // 1 for the first file of its time and kind; higher when that name was already taken.
        int sequence = 1;
        qint64 size = 0;
        // When the file was last written; a clock set wrong at the time of a read, or a copied
        // folder, makes the name say something else.
        QDateTime written;
    };

    struct SaveResult
    {
        // Empty when nothing was written.
        QString path;
        // The system's description of the failure, when there is one.
        QString errorText;
        // Backups removed to keep within the cap.
        QStringList removed;

        bool ok() const { return !path.isEmpty(); }
    };

    explicit BackupStore(QString folder);

    // "backups" in the user's application data folder.
    static QString defaultFolder();
    // The stored cap; the default when nothing usable is stored.
    static int storedLimit();
    static bool storeLimit(int limit);

    const QString &folder() const { return m_folder; }

    // Writes the image and transmit time as a new data file named after when and kind, then
    // removes the oldest backups beyond limit, never the new one. The folder is created when
    // missing. Success means the new file is there once the others have been removed.
    SaveResult save(const RadioImage &image, std::int32_t tuneTxTime, Kind kind,
                    const QDateTime &when, int limit) const;
    // The same with the bytes of a file as they are: a copy of a data file about to be replaced,
    // kept whole even when it would not open.
    SaveResult saveBytes(const QByteArray &bytes, Kind kind, const QDateTime &when,
                         int limit) const;

    // The backups in the folder, newest first.
    QList<Entry> entries() const;

    // Removes the backups written longest ago until at most limit remain, keeping keptPath (a
    // backup of this folder) whatever its age; returns the paths removed.
    QStringList prune(int limit, const QString &keptPath = {}) const;

    // "2026-12-10_14-15-00-123_full-read.rdat"; a sequence above 1 adds "_2", "_3"...
    static QString fileName(const QDateTime &when, Kind kind, int sequence = 1);
    // The parts of a backup's file name; nothing for a name this class did not make.
    static std::optional<Entry> parse(const QString &fileName);
    static QString kindKey(Kind kind);

private:
    QString m_folder;
};
