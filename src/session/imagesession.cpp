#include "imagesession.h"

#include "blockplan.h"
#include "livetuneframe.h"
#include "settingsstore.h"
#include "transferengine.h"

#include <QDateTime>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QUndoCommand>
#include <QUndoStack>

namespace {

// "True" or "False", as the other switches of the settings file.
constexpr char SafeWriteSetting[] = "SafeWrite";

QString fileNameOf(const QString &path)
{
    return QFileInfo(path).fileName();
}

} // namespace

// One committed edit: the words before and after, put back through the session so the windows,
// the marks and the radio follow exactly as they did for the edit.
class WordEditCommand : public QUndoCommand
{
public:
    WordEditCommand(ImageSession &session, QList<WordChange> before, QList<WordChange> after,
                    ImageSession::LiveKind live)
        : m_session(session)
        , m_before(std::move(before))
        , m_after(std::move(after))
        , m_live(live)
    {}

    void undo() override { apply(m_before); }
    void redo() override
    {
        // The edit itself already wrote the words and sent its frame.
        if (std::exchange(m_first, false))
            return;
        apply(m_after);
    }

private:
    void apply(const QList<WordChange> &words)
    {
        m_session.writeWords(words);
        // Putting a value back never keys the transmitter.
        if (m_live != ImageSession::LiveKind::None) {
            for (const WordChange &c : words)
                m_session.sendTuneValue(c.word, -1);
        }
    }

    ImageSession &m_session;
    const QList<WordChange> m_before;
    const QList<WordChange> m_after;
    const ImageSession::LiveKind m_live;
    bool m_first = true;
};

ImageSession::ImageSession(AppState &state, QObject *parent)
    : QObject(parent)
    , m_state(state)
    , m_live(new LiveTuneSender(this))
    , m_backupFolder(BackupStore::defaultFolder())
    , m_undo(new QUndoStack(this))
    , m_saved(state.image)
    , m_savedTxTime(state.TuneTxTime)
    , m_reference(state.image)
{
    m_state.ImageHasSource = false;
    connect(m_live, &LiveTuneSender::frameFinished, this, &ImageSession::onFrameFinished);
}

ImageSession::~ImageSession()
{
    // A frame on its way when the program ends still reaches the radio; past the drain limit
    // the port gives it up anyway.
    m_live->waitUntilIdle(m_live->drainLimitMs() + 500);
}

bool ImageSession::setWord(int wordAddress, std::int32_t value)
{
    if (!RadioImage::isValidWordAddress(wordAddress))
        return false;
    if (m_state.image.ReadImageWord(wordAddress) == value)
        return true;
    setWords({{wordAddress, value}});
    return true;
}

void ImageSession::setWords(const QList<WordChange> &changes)
{
    for (const WordChange &c : changes) {
        if (RadioImage::isValidWordAddress(c.word) && !m_editStart.contains(c.word))
            m_editStart.insert(c.word, m_state.image.ReadImageWord(c.word));
    }
    writeWords(changes);
}

void ImageSession::writeWords(const QList<WordChange> &changes)
{
    QList<int> written;
    for (const WordChange &c : changes) {
        if (!RadioImage::isValidWordAddress(c.word)
            || m_state.image.ReadImageWord(c.word) == c.value)
            continue;
        m_state.image.WriteImageWord(c.word, c.value);
        written.append(c.word);
    }
    if (written.isEmpty())
        return;
    updateModified();
    emit wordsChanged(written);
}

void ImageSession::commitEdit(const QList<int> &words, LiveKind live)
{
    QList<WordChange> before, after;
    bool changed = false;
    for (const int w : words) {
        const std::int32_t now = word(w);
        const std::int32_t was = m_editStart.value(w, now);
        m_editStart.remove(w);
        before.append({w, was});
        after.append({w, now});
        changed = changed || was != now;
    }
    if (changed)
        m_undo->push(new WordEditCommand(*this, before, after, live));
    for (const int w : words) {
        if (live == LiveKind::TuneValue)
            sendTuneValue(w);
        else if (live == LiveKind::TuneValueRestore)
            sendTuneValue(w, -1);
    }
}

void ImageSession::setTuneTxTime(std::int32_t index)
{
    if (m_state.TuneTxTime == index)
        return;
    m_state.TuneTxTime = index;
    updateModified();
    emit tuneTxTimeChanged(index);
}

void ImageSession::updateModified()
{
    const bool modified = !(m_state.image == m_saved) || m_state.TuneTxTime != m_savedTxTime;
    if (modified == m_modified)
        return;
    m_modified = modified;
    emit modifiedChanged(modified);
}

void ImageSession::markClean(bool newReference)
{
    m_saved = m_state.image;
    m_savedTxTime = m_state.TuneTxTime;
    if (newReference) {
        m_reference = m_state.image;
        m_editStart.clear();
        m_undo->clear();
        emit referenceReplaced();
    }
    updateModified();
}

void ImageSession::setSource(ImageSource source)
{
    m_state.ImageHasSource = source == ImageSource::File || source == ImageSource::Radio;
    if (m_source == source)
        return;
    m_source = source;
    emit sourceChanged(source);
}

void ImageSession::setFile(const QString &path, const QString &name)
{
    if (m_state.CurrentFilePath == path && m_state.CurrentFileName == name)
        return;
    m_state.CurrentFilePath = path;
    m_state.CurrentFileName = name;
    emit fileChanged();
}

void ImageSession::showFileName(const QString &name)
{
    setFile(m_state.CurrentFilePath, name);
}

ForeignData ImageSession::foreignData() const
{
    return m_state.CurrentFilePath.isEmpty() ? ForeignData::None : m_foreign;
}

BackupStore::SaveResult ImageSession::keepReplacedFile(const QString &path)
{
    BackupStore::SaveResult result;
    QFile file(path);
    if (!file.exists())
        return result;
    if (!file.open(QIODevice::ReadOnly)) {
        result.errorText = file.errorString();
        return result;
    }
    // A data file is small; anything far larger is not one, and is kept whole all the same.
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.errorText = file.errorString();
        return result;
    }
    result = BackupStore(m_backupFolder)
                 .saveBytes(bytes, BackupStore::Kind::ReplacedFile, QDateTime::currentDateTime(),
                            BackupStore::storedLimit());
    if (result.ok())
        emit backupSaved(result);
    return result;
}

void ImageSession::newImage()
{
    m_foreign = ForeignData::NewImage;
    m_squelchFromRadio = false;
    m_state.image.clearFirstHalf();
    setSource(ImageSource::New);
    markClean(true);
    emit imageReplaced();
}

DataFileResult ImageSession::open(const QString &path)
{
    return load(path, false);
}

DataFileResult ImageSession::openBackup(const QString &path)
{
    return load(path, true);
}

DataFileResult ImageSession::load(const QString &path, bool isBackup)
{
    const DataFileResult result = ReadFromFile(path, m_state.image, m_state.TuneTxTime);
    if (!result.ok())
        return result;
    // A backup is never written over: the next Save asks for a name of its own.
    setFile(isBackup ? QString() : path, fileNameOf(path));
    m_foreign = isBackup ? ForeignData::OtherFile : ForeignData::None;
    setSource(ImageSource::File);
    markClean(true);
    emit imageReplaced();
    emit tuneTxTimeChanged(m_state.TuneTxTime);
    return result;
}

DataFileResult ImageSession::saveAs(const QString &path)
{
    const DataFileResult result = WriteToFile(path, m_state.image, m_state.TuneTxTime);
    if (result.ok()) {
        setFile(path, fileNameOf(path));
        m_foreign = ForeignData::None;
        markClean(false);
    }
    return result;
}

bool ImageSession::writeNeedsConfirmation(TransferKind kind) const
{
    return !isReadTransfer(kind) && !hasSource()
           && !(kind == TransferKind::SquelchWrite && m_squelchFromRadio);
}

TransferOutcome ImageSession::transfer(TransferKind kind, const TransferRunner &runner)
{
    const TransferSettings settings = transferSettings(kind);
    m_state.TransferIsRead = settings.isRead;
    m_state.TuneDataRange = settings.tuneDataRange;
    m_state.SquelchDataRange = settings.squelchDataRange;
    m_state.TransferSucceeded = false;
    // The transfer opens the same cable: frames still queued go first. Past the bound the
    // transfer tries anyway and reports a port it cannot open.
    waitForLiveLink(m_live->drainLimitMs() + 500);

    TransferOutcome outcome;
    const bool isRead = isReadTransfer(kind);
    // The backup is written the moment the read succeeds, so a transfer window left open
    // cannot cost it; the windows see the new words at the same moment.
    auto afterRead = [&] {
        // Only a read brings the radio's words; a runner that calls this after a write changes
        // nothing.
        if (!isRead)
            return;
        m_foreign = ForeignData::RadioRead;
        if (kind == TransferKind::SquelchRead)
            m_squelchFromRadio = true;
        if (kind == TransferKind::FullRead) {
            setSource(ImageSource::Radio);
            markClean(true);
        } else {
            // Part of the image is the radio's now; what was edited before is no longer undone
            // word by word.
            m_editStart.clear();
            m_undo->clear();
            updateModified();
        }
        emit imageReplaced();
        outcome.backup = saveBackup(kind);
    };
    const RadioImage before = isRead ? m_state.image : RadioImage();
    outcome.succeeded = runner(m_state.image, kind, m_state.ComPortNumber, afterRead);
    m_state.TransferSucceeded = outcome.succeeded;
    m_state.clearTransferSettings();
    // A read that stopped early keeps the blocks it took; the windows must show them too, and
    // the image is no longer any one radio's or file's.
    if (isRead && !outcome.succeeded && !(m_state.image == before)) {
        setSource(ImageSource::PartialRead);
        m_foreign = ForeignData::RadioRead;
    }
    if (isRead && !outcome.succeeded) {
        m_editStart.clear();
        m_undo->clear();
        updateModified();
        emit imageReplaced();
    }
    if (outcome.backup)
        emit backupSaved(*outcome.backup);
    return outcome;
}

BackupStore::SaveResult ImageSession::saveBackup(TransferKind kind)
{
    return BackupStore(m_backupFolder)
        .save(m_state.image, m_state.TuneTxTime, BackupStore::kindOf(kind),
              QDateTime::currentDateTime(),
              BackupStore::storedLimit());
}

QList<QPair<int, int>> ImageSession::fullReadRanges()
{
    QList<QPair<int, int>> ranges;
    for (const BlockPlan::Block &block : BlockPlan(TransferKind::FullRead).blocks()) {
        const int last = block.firstWord + block.count - 1;
        if (!ranges.isEmpty() && ranges.last().second + 1 == block.firstWord)
            ranges.last().second = last;
        else
            ranges.append({block.firstWord, last});
    }
    return ranges;
}

VerifyOutcome ImageSession::verify(const TransferRunner &runner)
{
    waitForLiveLink(m_live->drainLimitMs() + 500);
    RadioImage radio;
    VerifyOutcome outcome;
    outcome.transferred = runner(radio, TransferKind::FullRead, m_state.ComPortNumber, {});
    if (!outcome.transferred)
        return outcome;
    // The gaps the read skips hold nothing from the radio, so they are not compared.
    for (const auto &range : fullReadRanges())
        outcome.differences
            += ImageCompare::differences(m_state.image, radio, range.first, range.second);
    return outcome;
}

CompareOutcome ImageSession::compareWithFile(const QString &path) const
{
    CompareOutcome outcome;
    RadioImage other;
    std::int32_t otherTxTime = 0;
    outcome.file = ReadFromFile(path, other, otherTxTime);
    if (outcome.file.ok())
        outcome.differences = ImageCompare::differences(m_state.image, other);
    return outcome;
}

TransferKind ImageSession::readBeforeWrite(TransferKind writeKind)
{
    return writeKind == TransferKind::SquelchWrite ? TransferKind::SquelchRead
                                                   : TransferKind::FullRead;
}

QList<ImageCompare::Difference> ImageSession::writeChanges(const RadioImage &radio,
                                                           TransferKind writeKind) const
{
    return writeChanges(radio, m_state.image, writeKind);
}

QList<ImageCompare::Difference> ImageSession::writeChanges(const RadioImage &radio,
                                                           const RadioImage &image,
                                                           TransferKind writeKind)
{
    QList<ImageCompare::Difference> changes;
    for (const BlockPlan::Block &block : BlockPlan(writeKind).blocks())
        changes += ImageCompare::differences(radio, image, block.firstWord,
                                             block.firstWord + block.count - 1);
    return changes;
}

BackupStore::SaveResult ImageSession::keepRadioBeforeWrite(const RadioImage &radio)
{
    const BackupStore::SaveResult result
        = BackupStore(m_backupFolder)
              .save(radio, m_state.TuneTxTime, BackupStore::Kind::BeforeWrite,
                    QDateTime::currentDateTime(), BackupStore::storedLimit());
    emit backupSaved(result);
    return result;
}

bool ImageSession::safeWriteEnabled()
{
    return SettingsStore::ReadRegistryText(QString::fromLatin1(SafeWriteSetting))
           != QStringLiteral("False");
}

bool ImageSession::setSafeWriteEnabled(bool on)
{
    return SettingsStore::WriteRegistryText(QString::fromLatin1(SafeWriteSetting),
                                            on ? QStringLiteral("True") : QStringLiteral("False"));
}

void ImageSession::sendTuneValue(int wordAddress)
{
    m_squelchKeys.remove(wordAddress);
    // The frame reads the word and TuneTxTime when it goes out, so a frame that waits behind
    // another never carries a stale value.
    AppState *state = &m_state;
    m_live->send(m_state.ComPortNumber, wordAddress, [state, wordAddress] {
        return LiveTune::tuneDataFrame(wordAddress, state->TuneTxTime, state->image);
    });
}

void ImageSession::sendTuneValue(int wordAddress, int txTimeIndex)
{
    m_squelchKeys.remove(wordAddress);
    const RadioImage *image = &m_state.image;
    m_live->send(m_state.ComPortNumber, wordAddress, [image, wordAddress, txTimeIndex] {
        return LiveTune::tuneDataFrame(wordAddress, txTimeIndex, *image);
    });
}

void ImageSession::sendSquelchTest(int firstWord)
{
    m_squelchKeys.insert(firstWord);
    const RadioImage *image = &m_state.image;
    m_live->send(m_state.ComPortNumber, firstWord,
                 [image, firstWord] { return LiveTune::squelchTestFrame(firstWord, *image); });
}

bool ImageSession::stopTransmitting()
{
    if (m_keyedWord < 0)
        return false;
    sendTuneValue(m_keyedWord, -1);
    return true;
}

bool ImageSession::liveLinkBusy() const
{
    return m_live->isBusy();
}

bool ImageSession::waitForLiveLink(int timeoutMs)
{
    return m_live->waitUntilIdle(timeoutMs);
}

void ImageSession::setLiveDrainLimitMs(int ms)
{
    m_live->setDrainLimitMs(ms);
}

void ImageSession::onFrameFinished(int key, LiveFrameOutcome outcome)
{
    LiveFrameReport report;
    report.word = key;
    report.value = word(key);
    report.outcome = outcome;
    // What the radio does is what the frame said, whatever any setting says now.
    if (outcome == LiveFrameOutcome::Sent) {
        report.txSeconds = LiveTune::keyedSeconds(m_live->finishedFrame());
        const int keyedBefore = m_keyedWord;
        if (report.txSeconds > 0) {
            m_keyedWord = key;
        } else if (key == m_keyedWord && !m_squelchKeys.contains(key)) {
            report.unkeys = true;
            m_keyedWord = -1;
        }
        if (m_keyedWord != keyedBefore)
            emit keyedWordChanged(m_keyedWord);
    }
    const bool wasUnsent = m_unsent.contains(key);
    if (outcome == LiveFrameOutcome::Sent)
        m_unsent.remove(key);
    else
        m_unsent.insert(key);
    emit liveFrameFinished(key, outcome);
    emit liveFrameReported(report);
    if (wasUnsent != m_unsent.contains(key))
        emit unsentChanged({key});
}

void ImageSession::resendUnsent()
{
    const QList<int> words = m_unsent.values();
    for (const int w : words) {
        if (m_squelchKeys.contains(w))
            sendSquelchTest(w);
        else
            sendTuneValue(w);
    }
}

TransferRunner runnerWithoutWindow(const TransferTimings &timings)
{
    return [timings](RadioImage &image, TransferKind kind, int port,
                     const std::function<void()> &afterRead) {
        TransferEngine engine(image);
        engine.setTimings(timings);
        QEventLoop loop;
        bool ok = false;
        QObject::connect(
            &engine, &TransferEngine::retryQuestion, &engine, [&] { engine.cancel(); },
            Qt::QueuedConnection);
        QObject::connect(&engine, &TransferEngine::finished, &loop, [&](bool success) {
            ok = success;
            if (success && isReadTransfer(kind) && afterRead)
                afterRead();
            loop.quit();
        });
        if (engine.start(port, kind).ok())
            loop.exec();
        return ok;
    };
}
