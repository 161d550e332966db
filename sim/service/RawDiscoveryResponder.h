#pragma once

#include <QByteArray>
#include <QMutex>
#include <QString>
#include <QThread>

typedef struct pcap pcap_t;

// Captures raw-Ethernet discovery requests on one interface and sends the
// answers the host builds. The capture handle is opened by open() in the
// calling thread (and so in its network namespace), then run() loops on it.
class RawDiscoveryResponder : public QThread
{
    Q_OBJECT
public:
    RawDiscoveryResponder(const QString& iface, quint16 etherType);
    ~RawDiscoveryResponder() override;

    bool open(QString* error);
    void stop();
    bool send(const QByteArray& frame);
    QByteArray mac() const { return m_mac; }

signals:
    void requestCaptured(QByteArray frame);

protected:
    void run() override;

private:
    static void onPacket(unsigned char* user, const struct pcap_pkthdr* header, const unsigned char* bytes);

    QString m_iface;
    quint16 m_etherType;
    QByteArray m_mac;
    QMutex m_mutex;
    pcap_t* m_handle = nullptr;
};
