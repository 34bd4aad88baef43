#include "simulatedradio.h"

#include "blockplan.h"
#include "radioimage.h"
#include "settingsstore.h"

#include <QSettings>
#include <QSocketNotifier>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr char Tag[] = "TUNE";
constexpr int HeaderSize = 8;
constexpr int ReadOperation = 4;
constexpr int WriteOperation = 5;
// Six hundred babble intervals: for the tool, it never ends.
constexpr int BabbleBytes = 600;
// Over eight seconds at line speed: longer than the tool waits for any reply.
constexpr int StormBytes = 100'000;
// A byte due sooner than this is waited for by polling the event loop, so each byte leaves at its
// own due time rather than on the next tick of a millisecond timer.
constexpr qint64 PollBelowNs = 2'000'000;

QString systemError(const char *what)
{
    return QStringLiteral("%1: %2").arg(QLatin1String(what),
                                        QString::fromLocal8Bit(std::strerror(errno)));
}

QSettings toolSettings()
{
    return SettingsStore::openSettings();
}

QString portKey(int comPortNumber)
{
    return QStringLiteral("Ports/COM%1").arg(comPortNumber);
}

} // namespace

SimulatedRadio::SimulatedRadio(QObject *parent)
    : QObject(parent)
    , m_memory(MemorySize, '\0')
{
    m_clock.start();
    m_pumpTimer.setTimerType(Qt::PreciseTimer);
    m_pumpTimer.setSingleShot(true);
    connect(&m_pumpTimer, &QTimer::timeout, this, &SimulatedRadio::pump);
    openTerminal();
}

SimulatedRadio::~SimulatedRadio()
{
    unregisterComPort();
    closeTerminal();
}

bool SimulatedRadio::isOpen() const
{
    return m_masterFd >= 0;
}

QString SimulatedRadio::devicePath() const
{
    return m_devicePath;
}

QString SimulatedRadio::errorString() const
{
    return m_errorString;
}

bool SimulatedRadio::registerAsComPort(int comPortNumber)
{
    withdrawComPort();
    m_comPortNumber = comPortNumber;
    QSettings settings = toolSettings();
    settings.setValue(portKey(comPortNumber), m_devicePath);
    settings.sync();
    m_registeredPath = m_devicePath;
    return settings.status() == QSettings::NoError;
}

void SimulatedRadio::unregisterComPort()
{
    withdrawComPort();
    m_comPortNumber = 0;
}

void SimulatedRadio::withdrawComPort()
{
    if (m_comPortNumber <= 0 || m_registeredPath.isEmpty())
        return;
    QSettings settings = toolSettings();
    // Another radio may have taken the COM number meanwhile; its entry stays.
    if (settings.value(portKey(m_comPortNumber)).toString() == m_registeredPath) {
        settings.remove(portKey(m_comPortNumber));
        settings.sync();
    }
    m_registeredPath.clear();
}

void SimulatedRadio::setReplyTimeoutMs(int ms)
{
    m_replyTimeoutMs = std::max(1, ms);
}

qint64 SimulatedRadio::pauseNs(int perMille) const
{
    return qint64(m_replyTimeoutMs) * perMille * 1000;
}

int SimulatedRadio::registeredComPort() const
{
    return m_comPortNumber;
}

QByteArray &SimulatedRadio::memory()
{
    return m_memory;
}

const QByteArray &SimulatedRadio::memory() const
{
    return m_memory;
}

qint32 SimulatedRadio::memoryWord(int w) const
{
    return RadioImage::WordFromBytes(m_memory, 4 * w);
}

void SimulatedRadio::setMemoryWord(int w, qint32 value)
{
    if (w < 0 || 4 * w + 4 > m_memory.size())
        return;
    const RadioImage::WordBytes bytes = RadioImage::WordToBytes(value);
    for (int i = 0; i < 4; ++i)
        m_memory[4 * w + i] = static_cast<char>(bytes[static_cast<std::size_t>(i)]);
}

void SimulatedRadio::setPaced(bool paced)
{
    m_paced = paced;
}

bool SimulatedRadio::isPaced() const
{
    return m_paced;
}

void SimulatedRadio::setAnswerDelayUs(qint64 us)
{
    m_answerDelayNs = std::max<qint64>(0, us) * 1000;
}

void SimulatedRadio::setOtherMemory(const QByteArray &memory)
{
    m_otherMemory = memory;
}

void SimulatedRadio::setFaultPlan(FaultPlan plan)
{
    m_faultPlan = std::move(plan);
}

namespace {
// The value of all whose name (nameOf) is name, ignoring case; the first of all otherwise.
template<typename T, std::size_t N, typename NameOf>
T byName(const T (&all)[N], NameOf nameOf, const QString &name, bool *ok)
{
    for (const T value : all) {
        if (nameOf(value).compare(name, Qt::CaseInsensitive) == 0) {
            if (ok)
                *ok = true;
            return value;
        }
    }
    if (ok)
        *ok = false;
    return all[0];
}
} // namespace

SimulatedRadio::Fault SimulatedRadio::faultFromName(const QString &name, bool *ok)
{
    static const Fault all[]
        = {Fault::None,     Fault::Silent,   Fault::Refuse,   Fault::JunkBeforeAck,
           Fault::Split,    Fault::CutShort, Fault::Trailing, Fault::Vanish,
           Fault::Babble,   Fault::Late,     Fault::VeryLate, Fault::Duplicate,
           Fault::AckStorm, Fault::Stale,    Fault::Unasked,  Fault::Replaced};
    return byName(all, &SimulatedRadio::faultName, name, ok);
}

QString SimulatedRadio::faultName(Fault fault)
{
    switch (fault) {
    case Fault::None:
        return QStringLiteral("none");
    case Fault::Silent:
        return QStringLiteral("silent");
    case Fault::Refuse:
        return QStringLiteral("refuse");
    case Fault::JunkBeforeAck:
        return QStringLiteral("junk");
    case Fault::Split:
        return QStringLiteral("split");
    case Fault::CutShort:
        return QStringLiteral("cutshort");
    case Fault::Trailing:
        return QStringLiteral("trailing");
    case Fault::Vanish:
        return QStringLiteral("vanish");
    case Fault::Babble:
        return QStringLiteral("babble");
    case Fault::Late:
        return QStringLiteral("late");
    case Fault::VeryLate:
        return QStringLiteral("verylate");
    case Fault::Duplicate:
        return QStringLiteral("duplicate");
    case Fault::AckStorm:
        return QStringLiteral("ackstorm");
    case Fault::Stale:
        return QStringLiteral("stale");
    case Fault::Unasked:
        return QStringLiteral("unasked");
    case Fault::Replaced:
        return QStringLiteral("replaced");
    }
    return {};
}

SimulatedRadio::Line SimulatedRadio::lineFromName(const QString &name, bool *ok)
{
    static const Line all[]
        = {Line::Clean, Line::Echo, Line::Trailer, Line::LateNoise, Line::Junk, Line::JunkWithAck};
    return byName(all, &SimulatedRadio::lineName, name, ok);
}

QString SimulatedRadio::lineName(Line line)
{
    switch (line) {
    case Line::Clean:
        return QStringLiteral("clean");
    case Line::Echo:
        return QStringLiteral("echo");
    case Line::Trailer:
        return QStringLiteral("trailer");
    case Line::LateNoise:
        return QStringLiteral("late-noise");
    case Line::Junk:
        return QStringLiteral("junk");
    case Line::JunkWithAck:
        return QStringLiteral("junk-with-ack");
    }
    return {};
}

QByteArray SimulatedRadio::dressed(const QByteArray &reply, int requestIndex) const
{
    switch (m_line) {
    case Line::Trailer:
        return reply + '\r';
    case Line::Junk:
        return QByteArray("\xFF\x00", 2) + reply;
    case Line::JunkWithAck:
        return QByteArray("\xFF\x06", 2) + char(requestIndex & 0xFF) + reply;
    case Line::Clean:
    case Line::Echo:
    case Line::LateNoise:
        break;
    }
    return reply;
}

const QByteArray &SimulatedRadio::receivedBytes() const
{
    return m_received;
}

qint64 SimulatedRadio::sentByteCount() const
{
    return m_sent;
}

const QList<SimulatedRadio::Request> &SimulatedRadio::requests() const
{
    return m_requests;
}

const QList<SimulatedRadio::LiveFrame> &SimulatedRadio::liveFrames() const
{
    return m_liveFrames;
}

void SimulatedRadio::clearRecords()
{
    m_received.clear();
    m_sent = 0;
    m_sentBytes.clear();
    m_noise.clear();
    m_requests.clear();
    m_liveFrames.clear();
    m_stale.clear();
}

void SimulatedRadio::vanish()
{
    if (!isOpen())
        return;
    // A COM number that names a device which no longer exists would send the tool elsewhere.
    const int com = m_comPortNumber;
    withdrawComPort();
    m_comPortNumber = com;
    closeTerminal();
    emit vanished();
}

bool SimulatedRadio::reappear(bool sameDevice)
{
    if (isOpen())
        return true;
    if (!openTerminal())
        return false;
    if (sameDevice) {
        // Pseudo-terminal numbers are handed out lowest first: holding the ones that come up
        // leads to the old number if it is free at all.
        struct Spare
        {
            int master, slave;
            QSocketNotifier *notifier;
        };
        QList<Spare> spares;
        for (int i = 0; i < 8 && m_devicePath != m_lastDevicePath; ++i) {
            spares.append({m_masterFd, m_heldSlaveFd, m_notifier});
            m_notifier = nullptr;
            m_masterFd = m_heldSlaveFd = -1;
            if (!openTerminal()) {
                // Keep the last one that opened.
                const Spare last = spares.takeLast();
                m_masterFd = last.master;
                m_heldSlaveFd = last.slave;
                m_notifier = last.notifier;
                break;
            }
        }
        for (const Spare &spare : std::as_const(spares)) {
            spare.notifier->setEnabled(false);
            spare.notifier->deleteLater();
            ::close(spare.master);
            ::close(spare.slave);
        }
    }
    if (m_comPortNumber > 0)
        registerAsComPort(m_comPortNumber);
    emit reappeared(m_devicePath);
    return true;
}

bool SimulatedRadio::openTerminal()
{
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0) {
        m_errorString = systemError("posix_openpt");
        return false;
    }
    const char *name = nullptr;
    if (::grantpt(master) != 0 || ::unlockpt(master) != 0 || !(name = ::ptsname(master))) {
        m_errorString = systemError("pseudo-terminal set-up");
        ::close(master);
        return false;
    }
    const QString path = QString::fromLocal8Bit(name);

    // Holding the slave end open ourselves keeps the master from seeing a hang-up whenever the
    // tool closes its port between transfers.
    const int slave = ::open(name, O_RDWR | O_NOCTTY);
    if (slave < 0) {
        m_errorString = systemError("open slave");
        ::close(master);
        return false;
    }
    // Raw from the start: an echoing line discipline would hand our replies back to us.
    termios tio{};
    if (::tcgetattr(slave, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::cfsetispeed(&tio, B115200);
        ::cfsetospeed(&tio, B115200);
        tio.c_cflag |= CLOCAL | CREAD;
        ::tcsetattr(slave, TCSANOW, &tio);
    }
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    ::fcntl(master, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave, F_SETFD, FD_CLOEXEC);

    m_masterFd = master;
    m_heldSlaveFd = slave;
    m_devicePath = path;
    m_errorString.clear();
    m_notifier = new QSocketNotifier(master, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SimulatedRadio::onMasterReadable);
    return true;
}

void SimulatedRadio::closeTerminal()
{
    m_pumpTimer.stop();
    m_queue.clear();
    m_pending.clear();
    if (m_notifier) {
        // This may run inside the notifier's own signal (a slot of requestReceived).
        m_notifier->setEnabled(false);
        m_notifier->deleteLater();
        m_notifier = nullptr;
    }
    if (m_masterFd >= 0)
        ::close(m_masterFd);
    if (m_heldSlaveFd >= 0)
        ::close(m_heldSlaveFd);
    m_masterFd = -1;
    m_heldSlaveFd = -1;
    if (!m_devicePath.isEmpty())
        m_lastDevicePath = m_devicePath;
    m_devicePath.clear();
}

void SimulatedRadio::onMasterReadable()
{
    char buffer[4096];
    while (m_masterFd >= 0) {
        const ssize_t n = ::read(m_masterFd, buffer, sizeof buffer);
        if (n > 0) {
            m_received.append(buffer, n);
            m_pending.append(buffer, n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        // End of file or a hard error: stay deaf rather than be woken in a loop.
        if (m_notifier)
            m_notifier->setEnabled(false);
        break;
    }
    parse();
}

void SimulatedRadio::parse()
{
    const QByteArray tag(Tag);
    while (m_masterFd >= 0) {
        const qsizetype at = m_pending.indexOf(tag);
        if (at < 0) {
            // Keep a possible beginning of the tag for the next arrival.
            if (m_pending.size() > tag.size() - 1)
                m_pending.remove(0, m_pending.size() - (tag.size() - 1));
            return;
        }
        m_pending.remove(0, at);
        if (m_pending.size() < HeaderSize)
            return;
        const int operation = static_cast<quint8>(m_pending.at(4));
        const int count = static_cast<quint8>(m_pending.at(7));
        const int length = operation == ReadOperation ? HeaderSize : HeaderSize + 4 * count;
        if (m_pending.size() < length)
            return;
        const QByteArray frame = m_pending.left(length);
        m_pending.remove(0, length);
        if (operation == ReadOperation || operation == WriteOperation)
            handleRequest(frame);
        else
            handleLiveFrame(frame);
    }
}

void SimulatedRadio::handleRequest(const QByteArray &frame)
{
    Request request;
    request.operation = static_cast<quint8>(frame.at(4));
    request.firstWord = static_cast<quint8>(frame.at(5)) + 256 * static_cast<quint8>(frame.at(6));
    request.count = static_cast<quint8>(frame.at(7));
    request.data = frame.mid(HeaderSize);
    request.frame = frame;
    const int index = static_cast<int>(m_requests.size());
    m_requests.append(request);

    // Talk that stops at a request stops when the radio has heard it: at line speed, only after
    // the request's last byte.
    const qint64 heardNs = m_clock.nsecsElapsed() + (m_paced ? frame.size() * nsPerByte() : 0);
    bool cut = false;
    for (Outgoing &item : m_queue) {
        if (!item.dropOnRequest)
            continue;
        qsizetype keep = 0;
        if (item.startNs < heardNs) {
            keep = item.bytes.size();
            if (item.nsPerByte > 0)
                keep = std::min(keep,
                                (heardNs - item.startNs + item.nsPerByte - 1) / item.nsPerByte);
        }
        keep = std::max(keep, item.sent);
        if (keep < item.bytes.size()) {
            item.bytes.truncate(keep);
            cut = true;
        }
    }
    if (cut) {
        m_queue.removeIf(
            [](const Outgoing &item) { return item.bytes.isEmpty() && !item.vanishAfter; });
        m_queueEndNs = 0;
        for (const Outgoing &item : std::as_const(m_queue))
            m_queueEndNs
                = std::max(m_queueEndNs, item.startNs + item.nsPerByte * item.bytes.size());
    }

    const Fault fault = m_faultPlan ? m_faultPlan(index) : Fault::None;
    const bool isRead = request.operation == ReadOperation;

    if (!isRead && fault != Fault::Silent && fault != Fault::Refuse && fault != Fault::Vanish
        && fault != Fault::AckStorm && fault != Fault::Stale && fault != Fault::Replaced) {
        storeWrite(request);
    }

    QByteArray reply = isRead ? readReply(request.firstWord, request.count)
                              : QByteArray(1, static_cast<char>(Ack));
    const qint64 now = m_clock.nsecsElapsed();
    qint64 start = now + (m_paced ? frame.size() * nsPerByte() : 0) + m_answerDelayNs;
    const qint64 pause = pauseNs(SplitPausePerMille);
    const qint64 staleEnd = releaseStale(request, now);
    if (staleEnd >= 0)
        start = std::max(start, staleEnd + StrayGapNs);

    if (m_line == Line::Echo) {
        // The cable hands every byte back as it goes out; the radio hears the request when the
        // echo ends.
        schedule(now, frame);
    }
    switch (fault) {
    case Fault::None:
        schedule(start, dressed(reply, index));
        if (m_line == Line::LateNoise) {
            m_noise.append({m_queueEndNs + LateNoiseNs, QByteArray("\xFE\x00\xFF", 3)});
            pump();
        }
        break;
    case Fault::Silent:
        break;
    case Fault::Refuse:
        reply[0] = static_cast<char>(Nak);
        schedule(start, reply);
        break;
    case Fault::JunkBeforeAck:
        schedule(start, QByteArray("\xFF\x00", 2) + reply);
        break;
    case Fault::Split:
        if (reply.size() < 3) {
            schedule(start, reply);
        } else {
            const qsizetype a = reply.size() / 3;
            const qsizetype b = 2 * reply.size() / 3;
            schedule(start, reply.left(a));
            schedule(m_queueEndNs + pause, reply.mid(a, b - a));
            schedule(m_queueEndNs + pause, reply.mid(b));
        }
        break;
    case Fault::CutShort:
        if (isRead)
            schedule(start, reply.left(1 + (reply.size() - 1) / 2));
        break;
    case Fault::Trailing: {
        QByteArray trailing(TrailingBytes, '\0');
        for (int i = 0; i < TrailingBytes; ++i)
            trailing[i] = static_cast<char>(i % 2 ? 0x5A : 0xA5);
        schedule(start, reply + trailing);
        break;
    }
    case Fault::Vanish:
    case Fault::Replaced:
        if (isRead)
            schedule(start, reply.left(std::max<qsizetype>(1, reply.size() / 2)));
        schedule(std::max(start, m_queueEndNs) + pauseNs(VanishDelayPerMille), {}, true);
        if (fault == Fault::Replaced) {
            connect(this, &SimulatedRadio::vanished, this, &SimulatedRadio::comeBackReplaced,
                    Qt::SingleShotConnection);
        }
        break;
    case Fault::Stale:
        m_stale.append({request, now});
        break;
    case Fault::Unasked: {
        schedule(start, reply);
        QByteArray stray(1, static_cast<char>(Ack));
        if (isRead) {
            // The tool's next block: it follows this one, past the gaps of the image.
            const int c = request.firstWord + request.count;
            stray = readReply(request.firstWord, BlockPlan::nextBlockCount(c, request.count));
        }
        schedule(m_queueEndNs + StrayLeadNs, stray);
        break;
    }
    case Fault::Babble: {
        const qint64 interval = pauseNs(BabblePerMille);
        for (int i = 0; i < BabbleBytes; ++i)
            schedule(start + i * interval, QByteArray(1, '\xFF'), false, true);
        break;
    }
    case Fault::Late:
        // Like a busy radio, it answers in order: later requests queue up behind this reply.
        // Counted from when the radio has heard the request, as the tool's time-out is.
        schedule(heardNs + pauseNs(LatePerMille), reply);
        break;
    case Fault::VeryLate:
        schedule(heardNs + pauseNs(VeryLatePerMille), reply);
        break;
    case Fault::Duplicate:
        schedule(start, reply + reply);
        break;
    case Fault::AckStorm: {
        // At line speed even when unpaced: an endless stream cannot go out all at once.
        const qint64 byteNs = (1'000'000'000LL * BitsPerByte + BaudRate / 2) / BaudRate;
        schedule(start, QByteArray(StormBytes, static_cast<char>(Ack)), false, true, byteNs);
        break;
    }
    }
    emit requestReceived(index);
}

void SimulatedRadio::storeWrite(const Request &request)
{
    for (int i = 0; i < request.count; ++i)
        setMemoryWord(request.firstWord + i, RadioImage::WordFromBytes(request.data, 4 * i));
}

qint64 SimulatedRadio::releaseStale(const Request &request, qint64 now)
{
    const auto replyLength
        = [](const Request &r) { return r.operation == ReadOperation ? 1 + 4 * r.count : 1; };
    for (qsizetype i = 0; i < m_stale.size(); ++i) {
        const Held &held = m_stale.at(i);
        if (replyLength(held.request) != replyLength(request)
            || held.request.firstWord == request.firstWord
            || now - held.receivedNs < pauseNs(StaleAfterPerMille)) {
            continue;
        }
        const Request late = held.request;
        m_stale.removeAt(i);
        QByteArray reply(1, static_cast<char>(Ack));
        if (late.operation == ReadOperation)
            reply = readReply(late.firstWord, late.count);
        else
            storeWrite(late);
        const qint64 wire = m_paced ? request.frame.size() * nsPerByte() : 0;
        schedule(now + wire + StrayLeadNs, reply);
        return m_queueEndNs;
    }
    return -1;
}

void SimulatedRadio::comeBackReplaced()
{
    QTimer::singleShot(pauseNs(ReturnPerMille) / 1'000'000, this, [this] {
        if (isOpen())
            return;
        if (m_otherMemory.size() == MemorySize) {
            m_memory = m_otherMemory;
        } else {
            for (char &byte : m_memory)
                byte = static_cast<char>(~byte);
        }
        reappear(true);
    });
}

void SimulatedRadio::handleLiveFrame(const QByteArray &frame)
{
    LiveFrame live;
    live.command = static_cast<quint8>(frame.at(4));
    live.wordAddress = static_cast<quint8>(frame.at(5)) + 256 * static_cast<quint8>(frame.at(6));
    const int count = static_cast<quint8>(frame.at(7));
    for (int i = 0; i < count; ++i)
        live.words.append(RadioImage::WordFromBytes(frame, HeaderSize + 4 * i));
    const int seconds = live.command >> 4;
    if ((live.command & 0x0F) == 2 && seconds >= 1 && seconds <= 10)
        live.transmitSeconds = seconds;
    live.frame = frame;
    const int index = static_cast<int>(m_liveFrames.size());
    m_liveFrames.append(live);
    emit liveFrameReceived(index);
}

QByteArray SimulatedRadio::readReply(int firstWord, int count) const
{
    QByteArray reply(1, static_cast<char>(Ack));
    for (int i = 0; i < 4 * count; ++i) {
        const int index = 4 * firstWord + i;
        reply.append(index < m_memory.size() ? m_memory.at(index) : '\0');
    }
    return reply;
}

qint64 SimulatedRadio::nsPerByte() const
{
    return m_paced ? (1'000'000'000LL * BitsPerByte + BaudRate / 2) / BaudRate : 0;
}

void SimulatedRadio::schedule(qint64 startNs, const QByteArray &bytes, bool vanishAfter,
                              bool dropOnRequest, qint64 pacing)
{
    Outgoing item;
    item.startNs = std::max(startNs, m_queueEndNs);
    item.nsPerByte = pacing >= 0 ? pacing : nsPerByte();
    item.bytes = bytes;
    item.vanishAfter = vanishAfter;
    item.dropOnRequest = dropOnRequest;
    m_queueEndNs = item.startNs + item.nsPerByte * bytes.size();
    m_queue.append(item);
    pump();
}

void SimulatedRadio::pump()
{
    const qint64 now = m_clock.nsecsElapsed();
    bool full = false;
    // Noise on the line waits for nobody: it lands between, or inside, whatever is going out.
    while (!m_noise.isEmpty() && m_noise.first().first <= now && m_masterFd >= 0) {
        const QByteArray bytes = m_noise.takeFirst().second;
        const ssize_t n = ::write(m_masterFd, bytes.constData(), size_t(bytes.size()));
        if (n > 0) {
            m_sentBytes.append(bytes.constData(), n);
            m_sent += n;
        }
    }
    while (!m_queue.isEmpty() && m_masterFd >= 0) {
        Outgoing &item = m_queue.first();
        if (now < item.startNs)
            break;
        qsizetype due = item.bytes.size();
        if (item.nsPerByte > 0)
            due = std::min<qsizetype>(due, (now - item.startNs) / item.nsPerByte);
        while (item.sent < due) {
            const ssize_t n
                = ::write(m_masterFd, item.bytes.constData() + item.sent, size_t(due - item.sent));
            if (n > 0) {
                m_sentBytes.append(item.bytes.constData() + item.sent, n);
                item.sent += n;
                m_sent += n;
            } else if (n < 0 && errno == EINTR) {
                continue;
            } else if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
                // The terminal is broken; what is queued can never go out.
                m_queue.clear();
                m_pumpTimer.stop();
                return;
            } else {
                // The terminal's buffer is full (nobody reads): try again a little later.
                full = true;
                break;
            }
        }
        if (item.sent < item.bytes.size())
            break;
        const bool vanishNow = item.vanishAfter;
        m_queue.removeFirst();
        if (vanishNow) {
            vanish();
            return;
        }
    }
    armPump(now, full);
}

qint64 SimulatedRadio::nextDueNs() const
{
    const Outgoing &item = m_queue.first();
    if (item.nsPerByte <= 0 || item.bytes.isEmpty())
        return item.startNs;
    return item.startNs + (item.sent + 1) * item.nsPerByte;
}

void SimulatedRadio::armPump(qint64 now, bool terminalFull)
{
    if ((m_queue.isEmpty() && m_noise.isEmpty()) || m_masterFd < 0) {
        m_pumpTimer.stop();
        return;
    }
    if (terminalFull) {
        m_pumpTimer.start(1);
        return;
    }
    qint64 due = m_queue.isEmpty() ? m_noise.first().first : nextDueNs();
    if (!m_noise.isEmpty())
        due = std::min(due, m_noise.first().first);
    const qint64 wait = due - now;
    m_pumpTimer.start(wait < PollBelowNs ? 0 : static_cast<int>(wait / 1'000'000) - 1);
}
