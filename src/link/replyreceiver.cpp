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
    restartDebugLine();
}

bool ReplyReceiver::feed(QByteArrayView bytes)
{
    m_awaitingReply = false;
    bool completedNow = false;
    for (const char c : bytes) {
        const auto byte = static_cast<std::uint8_t>(c);
        DebugText::appendByte(m_debugLine, byte);
        // A radio that keeps talking after its reply must not write past the buffer.
        if (m_replyLength >= 0 && m_replyLength < BufferSize)
            m_replyBuffer[static_cast<std::size_t>(m_replyLength)] = byte;
        if (byte == Ack)
            m_ackSeen = true;
        if (m_ackSeen) {
            ++m_replyLength;
            if (m_replyLength == m_expectedReplyLength) {
                completedNow = true;
                m_complete = true;
            }
        }
    }
    if (completedNow)
        m_ackSeen = false;
    return m_complete;
}

bool ReplyReceiver::isAccepted() const
{
    return m_complete && m_replyLength >= m_expectedReplyLength && m_replyBuffer[0] == Ack;
}

std::int32_t ReplyReceiver::replyWord(int i) const
{
    return RadioImage::WordFromBytes(m_replyBuffer.data(), BufferSize, 1 + 4 * i);
}

void ReplyReceiver::restartDebugLine()
{
    m_debugLine = QString::fromLatin1(DebugText::RxPrefix);
}
