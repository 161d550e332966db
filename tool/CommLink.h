#pragma once

#include <QByteArray>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QThread>

typedef struct pcap pcap_t;

// Capture thread of the raw-Ethernet discovery: captures frames of the
// discovery ethertype on one interface and hands copies to the main thread.
class CommLinkThread : public QThread
{
    Q_OBJECT
public:
    explicit CommLinkThread(QObject* parent = nullptr);
    ~CommLinkThread() override;

    void setInterface(const QString& iface) { m_iface = iface; }
    void stopCapture();
    bool sendPacket(const QByteArray& frame);
    bool isCapturing();

signals:
    void dataRecv(QByteArray data);

protected:
    void run() override;

private:
    static void onPacket(unsigned char* user, const struct pcap_pkthdr* header, const unsigned char* bytes);

    QMutex m_mutex;
    pcap_t* m_handle = nullptr;
    bool m_stop = false;
    QString m_iface;
};

class CommLink : public QObject
{
    Q_OBJECT
public:
    static constexpr quint16 kEtherType = 0x88B5;

    explicit CommLink(QObject* parent = nullptr);
    ~CommLink() override;

    // Starts capturing on the interface (no-op if already started for it).
    void start(const QString& iface, const QString& macText);
    void sendRequest();
    QString interfaceName() const { return m_iface; }
    bool isCapturing() { return m_thread.isCapturing(); }
    int restarts() const { return m_restarts; }

    static QByteArray buildRequest(const QByteArray& srcMac);
    // The JSON text of a valid answer, or an empty array.
    static QByteArray parseAnswer(const QByteArray& frame);

signals:
    void gotNetworkInfo(QByteArray data);

private slots:
    void onDataRecv(QByteArray data);

private:
    CommLinkThread m_thread;
    QString m_iface;
    QByteArray m_mac;
    int m_restarts = 0;
};
