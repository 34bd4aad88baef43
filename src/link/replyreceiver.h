#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <array>
#include <cstdint>

// Counts the reply to one request as its bytes arrive. Bytes before the first acknowledgement
// are shown but not counted; the acknowledgement lands at ReplyBuffer[0] and the words follow it.
// Any byte after the last expected one makes the reply overlong: it then holds bytes that belong
// to no request of ours, so none of it can be trusted.
class ReplyReceiver
{
public:
    static constexpr int BufferSize = 501;
    static constexpr std::uint8_t Ack = 0x06;
    // Bytes kept after a reply: enough for a few copies of the longest reply.
    static constexpr int MaxExtra = 4 * BufferSize;

    // A new request has gone out. The acknowledgement flag is cleared here as well, so late bytes
    // of a reply that was broken off cannot be counted as the answer to this request.
    void beginRequest(int expectedReplyLength);

    // One arrival of bytes. Returns true once the reply is complete, whether by this arrival or an
    // earlier one.
    bool feed(QByteArrayView bytes);

    // Only a complete, acknowledged reply of exactly the expected length is taken: a reply cut
    // short would hand over stale buffer bytes as words, a longer one carries bytes of another.
    bool isAccepted() const;
    bool isComplete() const { return m_complete; }
    bool isOverlong() const { return m_overlong; }
    // The bytes that came after the reply, kept up to a few replies' worth.
    const QByteArray &extra() const { return m_extra; }
    // Every byte after the reply repeats the reply: further copies of the same answer (a radio
    // answering a repeated request late). wholeCopies: and the last copy is complete.
    bool extraRepeatsReply(bool wholeCopies) const;
    // The time-out reports "No Data" unless this holds.
    bool countedAny() const { return !m_awaitingReply && m_replyLength >= 1; }
    // Bytes before the acknowledgement: shown, not counted, and nobody asked for them.
    int strayBefore() const { return m_strayBefore; }
    // Any byte at all since the request, counted or not.
    bool receivedAny() const { return !m_awaitingReply; }

    // Word i of a read reply, taken from the bytes after the acknowledgement.
    std::int32_t replyWord(int i) const;

    void restartDebugLine();

    bool AckSeen() const { return m_ackSeen; }
    int ReplyLength() const { return m_replyLength; }
    const std::array<std::uint8_t, BufferSize> &ReplyBuffer() const { return m_replyBuffer; }
    int ExpectedReplyLength() const { return m_expectedReplyLength; }
    bool AwaitingReply() const { return m_awaitingReply; }
    // Every byte since the request (or since the line was last handed out), as the debug list
    // shows it. Formatted only when asked: only the transfer window shows the list.
    QString DebugLine() const;

private:
    std::array<std::uint8_t, BufferSize> m_replyBuffer{};
    int m_replyLength = 0;
    int m_expectedReplyLength = 0;
    bool m_ackSeen = false;
    bool m_awaitingReply = false;
    bool m_complete = false;
    bool m_overlong = false;
    bool m_extraCut = false;
    bool m_extraRepeats = true; // every byte of m_extra so far repeats the reply
    int m_strayBefore = 0;
    QByteArray m_extra;
    QByteArray m_received; // since restartDebugLine()
};
