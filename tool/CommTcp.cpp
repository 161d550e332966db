#include "CommTcp.h"

#include "MessageBox.h"

#include <QHostAddress>

CommTcp::CommTcp(QObject* parent) : QObject(parent), m_socket(this), m_parser(4096), m_timer(this)
{
    m_timer.setInterval(100);
    connect(&m_timer, &QTimer::timeout, this, &CommTcp::onTimerTimeout);
    connect(&m_socket, &QTcpSocket::readyRead, this, &CommTcp::onSocketReadyRead);
    connect(&m_socket, &QTcpSocket::disconnected, this, [this] {
        m_timer.stop();
        emit disconnected();
    });
}

CommTcp::~CommTcp()
{
    // The socket outlives the timer; its closing must reach nobody here.
    disconnect(&m_socket, nullptr, this, nullptr);
    m_socket.abort();
}

void CommTcp::connectDevice(QString ip)
{
    m_socket.abort();
    m_socket.connectToHost(QHostAddress(ip), m_port, QIODevice::ReadWrite);
    const bool ok = m_socket.waitForConnected(1000);
    m_parser.reset();
    if (ok) {
        emit connectedToDevice();
    } else {
        const QString text = m_socket.state() == QAbstractSocket::ConnectingState
                                 ? tr("Connection timed out")
                                 : m_socket.errorString();
        m_socket.abort();
        emit connectionError(text);
    }
    m_parser.reset();
}

void CommTcp::disconnectDevice()
{
    m_timer.stop();
    m_socket.disconnectFromHost();
}

void CommTcp::send(int cmd)
{
    send(cmd, QByteArray());
}

void CommTcp::send(int cmd, QByteArray data)
{
    if (!isOpen()) {
        if (m_interactive)
            MessageBox::warning(nullptr, tr("Warning"), tr("Device not connected!"), tr("Sure"));
        return;
    }
    const QByteArray frame = CardFrame::build(quint16(cmd), data);
    if (m_socket.write(frame) != frame.size()) {
        m_timer.stop();
        emit sendError();
        if (m_interactive)
            MessageBox::warning(nullptr, tr("Warning"), tr("Send command failed!"), tr("Sure"));
        return;
    }
    // Handed to the system at once: a stop-and-wait exchange should not
    // wait for the event loop.
    m_socket.flush();
    if (m_timer.isActive())
        m_timer.stop();
}

void CommTcp::onSocketReadyRead()
{
    const QByteArray bytes = m_socket.readAll();
    if (bytes.isEmpty())
        return;
    m_parser.feed(bytes, [this](quint16 cmd, const quint8* data, int size) { dispatch(cmd, data, size); });
    // The idle time-out only ever discards a partial frame; with none
    // buffered there is nothing to time out.
    if (m_parser.buffered() > 0)
        m_timer.start();
    else if (m_timer.isActive())
        m_timer.stop();
}

void CommTcp::onTimerTimeout()
{
    m_timer.stop();
    m_parser.reset();
}

void CommTcp::inform(const QString& text)
{
    if (m_interactive)
        MessageBox::information(nullptr, tr("Information"), text, tr("Sure"));
}

void CommTcp::dispatch(quint16 cmd, const quint8* data, int size)
{
    switch (cmd) {
    case CardCmd::ReadVersion:
    case CardCmd::ProgramStart:
    case CardCmd::ProgramBlock:
    case CardCmd::ProgramInstalling:
    case CardCmd::ProgramFinished:
    case CardCmd::BackupPreparing:
    case CardCmd::BackupStart:
    case CardCmd::BackupBlock:
        emit gotProgRespond(cmd, data, size);
        break;
    case CardCmd::ReadIpSettings:
    case CardCmd::ReadDate:
    case CardCmd::ReadPorts:
        emit gotSettingsRespond(cmd, data, size);
        break;
    case CardCmd::ListLogFiles:
    case CardCmd::OpenLogFile:
    case CardCmd::LogData:
        emit gotLogRespond(cmd, data, size);
        break;
    case CardCmd::SerialOpen:
    case CardCmd::SerialSend:
    case CardCmd::SerialData:
        emit gotSPTestRespond(cmd, data, size);
        break;
    case CardCmd::ReadFixedParams:
        emit gotFixedParamRespond(cmd, data, size);
        break;
    case CardCmd::WriteIpSettings:
        inform(tr("Set device's IP Settings success!"));
        break;
    case CardCmd::ResetIpSettings:
        inform(tr("Reset device's IP Settings success!"));
        break;
    case CardCmd::SyncDate:
        inform(tr("Set device's date success!"));
        break;
    case CardCmd::WriteFixedParams:
        inform(tr("Set device's fixed parameters success!"));
        break;
    case CardCmd::WritePorts:
        inform(tr("Set device's port success!"));
        break;
    default:
        break;
    }
}
