#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <cstdint>

// Every byte that arrived after one request, read as the line's contract says (see
// TransferEngine): what was echo or noise, which bytes are the counted reply, and what came after
// it. It judges nothing; the engine decides what the reading is evidence of.
//
// - Bytes before the first 0x06 are noise: kept for the debug list, not counted.
// - A one-wire cable echoes the request before the radio answers. The request's own bytes, byte
//   for byte, are skipped once even where they hold 0x06 (a write's data often does), and while
//   the bytes so far could still be the beginning of that echo nothing is counted.
// - The counted reply is the first 0x06 after that and the bytes that follow it, up to the
//   reply's length.
// - Bytes after the counted reply are extra: a trailer, noise, a late copy. Among them a 0x06
//   with a whole reply's length after it is a second complete reply.
// - A complete reply that ends the window and begins after the counted one's 0x06 is the tail:
//   a second way to read the bytes. Either the count began at noise before the real answer, or
//   another reply (a late one, a copy) came before or after the one counted.
class ReplyWindow
{
public:
    static constexpr std::uint8_t Ack = 0x06;
    // Bytes beyond this are not kept: a radio that keeps talking has said enough by then.
    static constexpr int MaxBytes = 8192;

    // A new request has gone out; expectedLength is the length of its reply.
    void begin(QByteArrayView request, int expectedLength);
    void feed(QByteArrayView bytes);

    bool receivedAny() const { return !m_bytes.isEmpty(); }
    bool ackSeen() const { return m_ackAt >= 0; }
    bool isComplete() const
    {
        return m_ackAt >= 0 && m_bytes.size() - m_ackAt >= m_expected && m_expected > 0;
    }
    int expectedLength() const { return m_expected; }
    // Bytes after the counted reply.
    int extraCount() const;
    bool hasSecondReply() const;
    bool hasTailReply() const;
    // The counted reply, and the tail reading when there is one; empty otherwise.
    QByteArrayView counted() const;
    QByteArrayView tail() const;
    // Every way to read the window as one complete reply: each 0x06 from the counted one's on
    // that has a whole reply's length after it, up to max of them (the first is counted()).
    QList<QByteArrayView> readings(int max) const;
    // Bytes skipped as the echo of the request.
    bool echoed() const { return m_echoed; }
    // Bytes before the counted reply that were neither echo nor acknowledgement.
    int noiseBefore() const { return m_noise; }
    bool overflowed() const { return m_overflow; }

    // Word i of a read reply (the bytes after its acknowledgement).
    static std::int32_t replyWord(QByteArrayView reply, int i);

    // Every byte since begin(), as the debug list shows it.
    const QByteArray &bytes() const { return m_bytes; }
    QString DebugLine() const;

private:
    void scanForAck();

    QByteArray m_request;
    QByteArray m_bytes;
    int m_expected = 0;
    qsizetype m_scan = 0;   // where the search for the acknowledgement goes on
    qsizetype m_ackAt = -1; // the first counted byte
    qsizetype m_extraScan = 0;
    qsizetype m_extraAck = -1; // the first 0x06 after the counted reply
    int m_noise = 0;
    bool m_echoDone = false;
    bool m_echoed = false;
    bool m_overflow = false;
};
