#pragma once

#include "appstate.h"
#include "backupstore.h"
#include "datafile.h"
#include "imagecompare.h"
#include "livetunesender.h"
#include "transferkind.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

// Where the image's words came from. Only a file or a full read from a radio count as data
// someone put there; writing anything else would replace a radio's calibration with zeros.
// PartialRead: a read that ended early left some blocks of a radio among the words that were
// there before.
enum class ImageSource { StartUp, New, File, Radio, PartialRead };

// Why the image is not the data of the file Save writes to: it is (None), New cleared it, a read
// brought a radio's words into it, or it came from another file (a backup).
enum class ForeignData { None, NewImage, RadioRead, OtherFile };

// One change of one word, as the windows and the rescale make them.
struct WordChange
{
    int word = 0;
    std::int32_t value = 0;
};

class QUndoStack;

// What the live link did with one frame, told in words the status bar can show.
struct LiveFrameReport
{
    int word = 0;           // the first word the frame carried
    std::int32_t value = 0; // its value when the frame was built
    LiveFrameOutcome outcome = LiveFrameOutcome::Sent;
    // Seconds the frame keys the transmitter for, read from the frame itself; 0 when it does not.
    int txSeconds = 0;
    // The frame went out without keying for the word that keyed the transmitter last: the radio
    // is no longer transmitting.
    bool unkeys = false;
};

// Runs one transfer of kind between image and the radio on COM port comPortNumber and returns
// whether it succeeded; afterRead runs the moment a read succeeds. The window program runs it in
// the transfer window, the command line on the console, the tests headless.
using TransferRunner = std::function<bool(RadioImage &image, TransferKind kind, int comPortNumber,
                                          const std::function<void()> &afterRead)>;

struct TransferTimings;
// Runs the transfer with no window: nobody is there to answer Retry, so a transfer that would ask
// is given up at once. For an alignment run and for tests.
TransferRunner runnerWithoutWindow(const TransferTimings &timings);

struct TransferOutcome
{
    bool succeeded = false;
    // After a successful read: the copy left in the backup folder, or why there is none.
    std::optional<BackupStore::SaveResult> backup;
};

struct VerifyOutcome
{
    // False when the read did not complete; the runner has said why.
    bool transferred = false;
    // The words read that differ: before is the current image, after the radio.
    QList<ImageCompare::Difference> differences;
};

struct CompareOutcome
{
    DataFileResult file;
    // before is the current image, after the file.
    QList<ImageCompare::Difference> differences;
};

// The one owner of the radio image and everything about it: the file it is saved to, where its
// words came from, the backup policy and the live link to the radio. Every change of a word goes
// through here and is announced, so the windows follow the image instead of being told to
// refresh, and there is one place that sees every change.
//
// The process-wide values keep their names in AppState; this is the one place that writes the
// image, TuneTxTime, the file state and the transfer settings.
class ImageSession : public QObject
{
    Q_OBJECT
public:
    explicit ImageSession(AppState &state, QObject *parent = nullptr);
    ~ImageSession() override;

    AppState &state() { return m_state; }
    const AppState &state() const { return m_state; }
    const RadioImage &image() const { return m_state.image; }
    std::int32_t word(int wordAddress) const { return m_state.image.ReadImageWord(wordAddress); }

    ImageSource source() const { return m_source; }
    // Whether the image holds a file's or a radio's data (not start-up zeros or New).
    bool hasSource() const { return m_state.ImageHasSource; }

    // ---- edits ----
    // Writes the word; announces it when it changed. False for an address outside the image.
    // A write is part of an edit until the edit is committed: a slider drag writes on every
    // step and commits at the release.
    bool setWord(int wordAddress, std::int32_t value);
    // Several words as one change (a rescale of a whole table).
    void setWords(const QList<WordChange> &changes);
    void setTuneTxTime(std::int32_t index);

    // How a committed edit reaches the radio, and how its undo and redo do.
    enum class LiveKind {
        None,      // the image only: a squelch box, a rescale
        TuneValue, // one frame per word, as the tune data window sends it
        // One frame per word that never keys the transmitter: a value put back (Revert). Undo
        // and Redo of a tune value send these too; keying stays a deliberate act on the value's
        // own control.
        TuneValueRestore,
    };
    // Ends the edit of these words: one undo step from the words as they were before the edit
    // to what they hold now, and, for a tune value, the live frame. Words that end as they began
    // make no step, but a tune value still goes to the radio (a slider moved back to its word).
    void commitEdit(const QList<int> &words, LiveKind live);
    QUndoStack *undoStack() const { return m_undo; }

    // ---- unsaved changes and changed values ----
    // Whether the image or TuneTxTime differ from what was last opened, saved or fully read
    // (start-up and New count as a fresh, unchanged image).
    bool isModified() const { return m_modified; }
    // The word as the image was last opened or fully read; changed values are marked against it.
    std::int32_t referenceWord(int wordAddress) const
    {
        return m_reference.ReadImageWord(wordAddress);
    }
    bool isChanged(int wordAddress) const
    {
        return word(wordAddress) != referenceWord(wordAddress);
    }

    // ---- files ----
    // Clears the first half of the image (the second half is kept) and forgets the source.
    void newImage();
    // Loads the file; on success it becomes the file Save writes to (unless it is a backup,
    // which is never written over) and the name shown. Anything else changes nothing.
    DataFileResult open(const QString &path);
    DataFileResult openBackup(const QString &path);
    // Writes the image and TuneTxTime; on success path becomes the file Save writes to.
    DataFileResult saveAs(const QString &path);
    // The file Save writes to without asking; empty when there is none yet.
    const QString &filePath() const { return m_state.CurrentFilePath; }
    const QString &fileName() const { return m_state.CurrentFileName; }
    // The name shown in the title: the file dialog puts the chosen name there at once, and a
    // command that then fails puts the previous one back.
    void showFileName(const QString &name);
    // What Save would put over the file it writes to, when that is not the file's own data (and
    // its edits); None when there is no such file.
    ForeignData foreignData() const;
    // Keeps a copy of the file at path, byte for byte, in the backup folder before Save replaces
    // it with other data. A file that is not there needs no copy: the result is then empty with
    // no error text.
    BackupStore::SaveResult keepReplacedFile(const QString &path);

    // ---- the radio ----
    // Whether a write of kind must be confirmed first: the image was never filled from a file or
    // a radio since start-up or New. Every command that writes the radio asks the same.
    // A squelch write of a squelch table read from the radio asks nothing.
    bool writeNeedsConfirmation(TransferKind kind) const;
    // Since start-up or New, only the squelch table was read from a radio; the rest never filled.
    bool onlySquelchFromRadio() const { return !hasSource() && m_squelchFromRadio; }
    // Runs the transfer on the image after the live link has let its frames out. A successful
    // full read makes the radio the image's source and leaves a backup; any read that ran
    // announces the image as replaced, as its blocks went into it.
    TransferOutcome transfer(TransferKind kind, const TransferRunner &runner);
    // Reads the radio into an image of its own and compares it over the words a read covers;
    // the image, the file state and the backups do not change.
    VerifyOutcome verify(const TransferRunner &runner);
    // Compares the image with a data file; nothing changes.
    CompareOutcome compareWithFile(const QString &path) const;

    // ---- a write backed up and previewed ----
    // The read that covers the words a write of writeKind sends.
    static TransferKind readBeforeWrite(TransferKind writeKind);
    // The words a write of writeKind would change in a radio that holds radio: before is the
    // radio, after the image.
    QList<ImageCompare::Difference> writeChanges(const RadioImage &radio,
                                                 TransferKind writeKind) const;
    static QList<ImageCompare::Difference> writeChanges(const RadioImage &radio,
                                                        const RadioImage &image,
                                                        TransferKind writeKind);
    // Keeps the radio's data, read just before a write, in the backup folder.
    BackupStore::SaveResult keepRadioBeforeWrite(const RadioImage &radio);
    // The setting "Back up and preview before writing"; on unless turned off.
    static bool safeWriteEnabled();
    static bool setSafeWriteEnabled(bool on);

    // ---- the live link ----
    // Sends one word of the tune data window, with the transmit time when the word keys the
    // transmitter; the frame is built from the image when it goes out.
    void sendTuneValue(int wordAddress);
    // The same with a transmit time of its own (list index 0..9, -1 none) instead of TuneTxTime.
    void sendTuneValue(int wordAddress, int txTimeIndex);
    // Sends the squelch window's Test frame of the pair starting at firstWord.
    void sendSquelchTest(int firstWord);
    bool liveLinkBusy() const;
    // Sends the word that keyed the transmitter last again with a command that does not key,
    // which ends the transmission at once. False when no keyed frame went out since the last
    // such stop, and nothing is sent.
    bool stopTransmitting();
    // The word whose frame keyed the transmitter last and was not stopped since; -1 for none.
    int keyedWord() const { return m_keyedWord; }
    // Words whose last frame could not be sent; a later frame for the word that goes out clears
    // the mark.
    const QSet<int> &unsentWords() const { return m_unsent; }
    // Sends every unsent value again, as its edit would.
    void resendUnsent();
    // Lets the queued frames leave the cable; false when the port was still busy after timeoutMs.
    bool waitForLiveLink(int timeoutMs);
    void setLiveDrainLimitMs(int ms);
    LiveTuneSender &liveLink() { return *m_live; }

    // ---- backups ----
    // Where every successful read leaves a copy; the user's data folder unless told otherwise.
    const QString &backupFolder() const { return m_backupFolder; }
    void setBackupFolder(const QString &folder) { m_backupFolder = folder; }

    // The words a full read covers, as ranges of first and last word.
    static QList<QPair<int, int>> fullReadRanges();

signals:
    // Words written by an edit, in the order written.
    void wordsChanged(const QList<int> &words);
    // The whole image may differ: New, Open, a read.
    void imageReplaced();
    void tuneTxTimeChanged(int index);
    // CurrentFilePath or CurrentFileName changed.
    void fileChanged();
    void sourceChanged(ImageSource source);
    // After a successful read, whether or not the copy could be written.
    void backupSaved(const BackupStore::SaveResult &result);
    // One live frame is finished; key is the first word it carried.
    void liveFrameFinished(int key, LiveFrameOutcome outcome);
    void liveFrameReported(const LiveFrameReport &report);
    void unsentChanged(const QList<int> &words);
    // A frame keyed the transmitter, or the frame that ends it went out: keyedWord() changed.
    void keyedWordChanged(int word);
    void modifiedChanged(bool modified);
    // The reference the changed marks are made against was replaced (Open, a full read, New).
    void referenceReplaced();

private:
    DataFileResult load(const QString &path, bool isBackup);
    // The image as it is now becomes the saved state and, unless only saved, the reference.
    void markClean(bool newReference);
    void updateModified();
    void onFrameFinished(int key, LiveFrameOutcome outcome);
    void writeWords(const QList<WordChange> &changes);
    friend class WordEditCommand;
    void setSource(ImageSource source);
    void setFile(const QString &path, const QString &name);
    BackupStore::SaveResult saveBackup(TransferKind kind);

    AppState &m_state;
    ImageSource m_source = ImageSource::StartUp;
    ForeignData m_foreign = ForeignData::OtherFile;
    LiveTuneSender *m_live;
    QString m_backupFolder;
    QUndoStack *m_undo;
    // The words of the edit in progress as they were before it began.
    QHash<int, std::int32_t> m_editStart;
    RadioImage m_saved;
    std::int32_t m_savedTxTime = 5;
    RadioImage m_reference;
    bool m_modified = false;
    QSet<int> m_unsent;
    // First words of the squelch Test frames sent, to tell their frames from tune values.
    QSet<int> m_squelchKeys;
    int m_keyedWord = -1;
    bool m_squelchFromRadio = false;
};
Q_DECLARE_METATYPE(LiveFrameReport)
