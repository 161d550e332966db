#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <functional>

// Frames of the card's service link (TCP port 8712):
//   0x68, length L (16-bit big-endian, = 2 + payload size), command code
//   (16-bit big-endian), payload, 8-bit sum of all preceding bytes.
namespace CardCmd {
enum Code : quint16 {
    ReadVersion = 0x0001,
    Reboot = 0x0002,
    ReadIpSettings = 0x0003,
    WriteIpSettings = 0x0004,
    ResetIpSettings = 0x0005,
    ReadDate = 0x0006,
    SyncDate = 0x0007,
    ListLogFiles = 0x0008,
    OpenLogFile = 0x0009,
    LogData = 0x000A,
    SerialOpen = 0x000B,
    SerialSend = 0x000C,
    SerialData = 0x000D,
    ReadFixedParams = 0x000E,
    WriteFixedParams = 0x000F,
    ReadPorts = 0x0010,
    WritePorts = 0x0011,
    ProgramStart = 0x0100,
    ProgramBlock = 0x0101,
    ProgramInstalling = 0x0102,
    ProgramFinished = 0x0103,
    BackupPreparing = 0x0150,
    BackupStart = 0x0151,
    BackupBlock = 0x0152,
};
}

namespace CardFrame {
constexpr quint8 kStart = 0x68;
constexpr int kHeaderSize = 5;   // start, length, command
constexpr int kMinFrameSize = 6; // empty payload
constexpr int kMaxPayload = 65533;

quint8 checksum(const char* data, int size);
// Builds one frame. Payloads longer than kMaxPayload are cut (the length
// field cannot express more).
QByteArray build(quint16 cmd, const QByteArray& payload = QByteArray());

// Byte-wise reassembly of frames from a stream. A frame is taken out of the
// buffer before it is handed on, so a handler may feed more bytes (for
// example from a nested event loop); those are queued and parsed after the
// current input, keeping the stream order.
class Parser
{
public:
    using Handler = std::function<void(quint16 cmd, const quint8* payload, int size)>;

    explicit Parser(int capacity = 4096);
    void feed(const char* data, int size, const Handler& handler);
    void feed(const QByteArray& data, const Handler& handler) { feed(data.constData(), data.size(), handler); }
    // Drops a partial frame.
    void reset();
    int buffered() const { return m_count; }
    // Frames dropped for a wrong checksum since construction.
    int badChecksums() const { return m_badChecksums; }

private:
    void feedByte(char byte, const Handler& handler);

    QByteArray m_buffer;
    int m_capacity;
    int m_count = 0;
    int m_badChecksums = 0;
    bool m_inFeed = false;
    QByteArray m_pending;
};
}
