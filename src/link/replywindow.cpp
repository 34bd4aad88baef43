#include "replywindow.h"

#include "debugtext.h"
#include "radioimage.h"

#include <cstring>

void ReplyWindow::begin(QByteArrayView request, int expectedLength)
{
    m_request.resize(0);
    m_request.append(request);
    m_bytes.resize(0); // keeps its capacity for the next reply
    m_expected = expectedLength;
    m_scan = 0;
    m_ackAt = -1;
    m_extraScan = 0;
    m_extraAck = -1;
    m_noise = 0;
    m_echoDone = request.isEmpty();
    m_echoed = false;
    m_overflow = false;
}

void ReplyWindow::feed(QByteArrayView bytes)
{
    const qsizetype room = MaxBytes - m_bytes.size();
    if (bytes.size() > room) {
        m_overflow = true;
        bytes = bytes.first(room);
    }
    if (bytes.isEmpty())
        return;
    m_bytes.append(bytes);
    if (m_ackAt < 0)
        scanForAck();
    if (!isComplete() || m_extraAck >= 0)
        return;
    if (m_extraScan < m_ackAt + m_expected)
        m_extraScan = m_ackAt + m_expected;
    const char *data = m_bytes.constData();
    for (; m_extraScan < m_bytes.size(); ++m_extraScan) {
        if (static_cast<std::uint8_t>(data[m_extraScan]) == Ack) {
            m_extraAck = m_extraScan;
            break;
        }
    }
}

void ReplyWindow::scanForAck()
{
    const char *data = m_bytes.constData();
    const qsizetype n = m_bytes.size();
    const qsizetype requestSize = m_request.size();
    while (m_scan < n) {
        if (!m_echoDone && data[m_scan] == m_request.at(0)) {
            const qsizetype have = n - m_scan;
            if (have >= requestSize) {
                if (std::memcmp(data + m_scan, m_request.constData(), size_t(requestSize)) == 0) {
                    m_scan += requestSize;
                    m_echoDone = true;
                    m_echoed = true;
                    continue;
                }
            } else if (std::memcmp(data + m_scan, m_request.constData(), size_t(have)) == 0) {
                return; // may still be the echo: wait for the rest
            }
        }
        if (static_cast<std::uint8_t>(data[m_scan]) == Ack) {
            m_ackAt = m_scan;
            return;
        }
        ++m_noise;
        ++m_scan;
    }
}

int ReplyWindow::extraCount() const
{
    return isComplete() ? int(m_bytes.size() - m_ackAt - m_expected) : 0;
}

bool ReplyWindow::hasSecondReply() const
{
    return m_extraAck >= 0 && m_bytes.size() - m_extraAck >= m_expected;
}

bool ReplyWindow::hasTailReply() const
{
    if (!isComplete())
        return false;
    const qsizetype at = m_bytes.size() - m_expected;
    return at > m_ackAt && static_cast<std::uint8_t>(m_bytes.at(at)) == Ack;
}

QByteArrayView ReplyWindow::counted() const
{
    if (!isComplete())
        return {};
    return QByteArrayView(m_bytes).sliced(m_ackAt, m_expected);
}

QByteArrayView ReplyWindow::tail() const
{
    if (!hasTailReply())
        return {};
    return QByteArrayView(m_bytes).last(m_expected);
}

QList<QByteArrayView> ReplyWindow::readings(int max) const
{
    QList<QByteArrayView> result;
    if (!isComplete())
        return result;
    const QByteArrayView all(m_bytes);
    for (qsizetype at = m_ackAt; at + m_expected <= all.size() && result.size() < max; ++at) {
        if (static_cast<std::uint8_t>(all.at(at)) == Ack)
            result.append(all.sliced(at, m_expected));
    }
    return result;
}

std::int32_t ReplyWindow::replyWord(QByteArrayView reply, int i)
{
    return RadioImage::WordFromBytes(reinterpret_cast<const std::uint8_t *>(reply.data()),
                                     int(reply.size()), 1 + 4 * i);
}

QString ReplyWindow::DebugLine() const
{
    return DebugText::hexLine(DebugText::RxPrefix, m_bytes);
}
