#include "replyreceiver.h"

#include "debugtext.h"
#include "radioimage.h"

void ReplyReceiver::beginRequest(int expectedReplyLength)
{
    m_expectedReplyLength = expectedReplyLength;
    m_replyLength = 0;
    m_awaitingReply = true;
    m_ackSeen = false;
    m_complete = false;
    m_overlong = false;
    m_extraCut = false;
    m_extraRepeats = true;
    m_strayBefore = 0;
    m_extra.clear();
    restartDebugLine();
}

bool ReplyReceiver::feed(QByteArrayView bytes)
{
    if (!bytes.isEmpty())
        m_awaitingReply = false;
    m_received.append(bytes);
    for (const char c : bytes) {
        const auto byte = static_cast<std::uint8_t>(c);
        if (m_complete) {
            // Nothing is stored in the reply buffer past the reply, so a radio that keeps talking
            // cannot overwrite the words already received.
            m_overlong = true;
            if (m_extra.size() < MaxExtra) {
                // Judged as it comes: a radio that keeps talking would otherwise have the whole
                // of what it said compared again at every arrival.
                m_extraRepeats = m_extraRepeats && m_expectedReplyLength > 0
                                 && byte == m_replyBuffer[static_cast<std::size_t>(
                                        m_extra.size() % m_expectedReplyLength)];
                m_extra.append(static_cast<char>(byte));
            } else {
                m_extraCut = true;
            }
            continue;
        }
        if (m_replyLength < BufferSize)
            m_replyBuffer[static_cast<std::size_t>(m_replyLength)] = byte;
        if (byte == Ack)
            m_ackSeen = true;
        else if (!m_ackSeen)
            ++m_strayBefore;
        if (m_ackSeen) {
            ++m_replyLength;
            if (m_replyLength >= m_expectedReplyLength) {
                m_complete = true;
                m_ackSeen = false;
            }
        }
    }
    return m_complete;
}

bool ReplyReceiver::isAccepted() const
{
    return m_complete && !m_overlong && m_replyLength == m_expectedReplyLength
           && m_replyBuffer[0] == Ack;
}

bool ReplyReceiver::extraRepeatsReply(bool wholeCopies) const
{
    if (!m_complete || m_extraCut || m_expectedReplyLength < 1 || !m_extraRepeats)
        return false;
    return !wholeCopies || m_extra.size() % m_expectedReplyLength == 0;
}

std::int32_t ReplyReceiver::replyWord(int i) const
{
    return RadioImage::WordFromBytes(m_replyBuffer.data(), BufferSize, 1 + 4 * i);
}

QString ReplyReceiver::DebugLine() const
{
    return DebugText::hexLine(DebugText::RxPrefix, m_received);
}

void ReplyReceiver::restartDebugLine()
{
    m_received.resize(0); // keeps its capacity for the next reply
}
