#include "CardFrame.h"

namespace CardFrame {

quint8 checksum(const char* data, int size)
{
    quint8 sum = 0;
    for (int i = 0; i < size; ++i)
        sum = quint8(sum + quint8(data[i]));
    return sum;
}

QByteArray build(quint16 cmd, const QByteArray& payload)
{
    const int size = qMin(payload.size(), kMaxPayload);
    const int length = size + 2;
    QByteArray frame;
    frame.reserve(size + kMinFrameSize);
    frame.append(char(kStart));
    frame.append(char((length >> 8) & 0xFF));
    frame.append(char(length & 0xFF));
    frame.append(char((cmd >> 8) & 0xFF));
    frame.append(char(cmd & 0xFF));
    frame.append(payload.constData(), size);
    frame.append(char(checksum(frame.constData(), frame.size())));
    return frame;
}

Parser::Parser(int capacity) : m_capacity(capacity)
{
    m_buffer.resize(capacity);
}

void Parser::reset()
{
    m_count = 0;
}

void Parser::feed(const char* data, int size, const Handler& handler)
{
    if (m_inFeed) {
        m_pending.append(data, size);
        return;
    }
    m_inFeed = true;
    for (int i = 0; i < size; ++i)
        feedByte(data[i], handler);
    while (!m_pending.isEmpty()) {
        const QByteArray more = m_pending;
        m_pending.clear();
        for (char c : more)
            feedByte(c, handler);
    }
    m_inFeed = false;
}

void Parser::feedByte(char byte, const Handler& handler)
{
    if (m_count == 0 && quint8(byte) != kStart)
        return;
    if (m_count >= m_capacity)
        m_count = 0;
    m_buffer[m_count++] = byte;
    if (m_count < 3)
        return;
    const int length = (quint8(m_buffer[1]) << 8) | quint8(m_buffer[2]);
    const int frameSize = length + 4;
    if (m_count != frameSize)
        return;
    // Take the frame out before handing it on.
    const QByteArray frame(m_buffer.constData(), frameSize);
    m_count = 0;
    if (length < 2)
        return;
    if (checksum(frame.constData(), frameSize - 1) != quint8(frame[frameSize - 1])) {
        ++m_badChecksums;
        return;
    }
    const quint16 cmd = quint16((quint8(frame[3]) << 8) | quint8(frame[4]));
    handler(cmd, reinterpret_cast<const quint8*>(frame.constData()) + kHeaderSize, length - 2);
}

}
