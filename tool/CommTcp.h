#pragma once

#include "CardFrame.h"

#include <QByteArray>
#include <QObject>
#include <QTcpSocket>
#include <QTimer>

// The command link to one card: TCP port 8712, framed commands, answers
// routed by command code to the pages.
class CommTcp : public QObject
{
    Q_OBJECT
public:
    explicit CommTcp(QObject* parent = nullptr);
    ~CommTcp() override;

    // Blocks for up to one second; ends in connectedToDevice() or
    // connectionError().
    void connectDevice(QString ip);
    void disconnectDevice();
    bool isOpen() const { return m_socket.isOpen() && m_socket.state() == QAbstractSocket::ConnectedState; }

    // A link of a batch worker shows no message boxes.
    void setInteractive(bool interactive) { m_interactive = interactive; }
    // Only for tests and the simulator demo: another service port.
    void setPort(quint16 port) { m_port = port; }
    static quint16 defaultPort() { return 8712; }
    void setIdleTimeout(int ms) { m_timer.setInterval(ms); }

public slots:
    void send(int cmd, QByteArray data);
    void send(int cmd);

signals:
    void connectedToDevice();
    void connectionError(QString error);
    void disconnected();
    void sendError();
    void gotProgRespond(int cmd, const quint8* data, int size);
    void gotSettingsRespond(int cmd, const quint8* data, int size);
    void gotLogRespond(int cmd, const quint8* data, int size);
    void gotSPTestRespond(int cmd, const quint8* data, int size);
    void gotFixedParamRespond(int cmd, const quint8* data, int size);

private slots:
    void onSocketReadyRead();
    void onTimerTimeout();

private:
    void dispatch(quint16 cmd, const quint8* data, int size);
    void inform(const QString& text);

    QTcpSocket m_socket;
    CardFrame::Parser m_parser;
    QTimer m_timer;
    quint16 m_port = 8712;
    bool m_interactive = true;
};
