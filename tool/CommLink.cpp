#include "CommLink.h"

#include "DiscoveryAnswer.h"

#include <QtEndian>

#include <pcap/pcap.h>

CommLinkThread::CommLinkThread(QObject* parent) : QThread(parent) {}

CommLinkThread::~CommLinkThread()
{
    stopCapture();
}

void CommLinkThread::stopCapture()
{
    {
        // A thread still opening its device sees the flag before looping.
        QMutexLocker lock(&m_mutex);
        m_stop = true;
        if (m_handle)
            pcap_breakloop(m_handle);
    }
    wait();
    QMutexLocker lock(&m_mutex);
    m_stop = false;
}

bool CommLinkThread::isCapturing()
{
    QMutexLocker lock(&m_mutex);
    return m_handle != nullptr;
}

bool CommLinkThread::sendPacket(const QByteArray& frame)
{
    QMutexLocker lock(&m_mutex);
    if (!m_handle)
        return false;
    return pcap_sendpacket(m_handle, reinterpret_cast<const u_char*>(frame.constData()), frame.size()) == 0;
}

void CommLinkThread::onPacket(unsigned char* user, const struct pcap_pkthdr* header, const unsigned char* bytes)
{
    auto* self = reinterpret_cast<CommLinkThread*>(user);
    emit self->dataRecv(QByteArray(reinterpret_cast<const char*>(bytes), int(header->caplen)));
}

void CommLinkThread::run()
{
    if (m_iface.isEmpty())
        return;
    char errbuf[PCAP_ERRBUF_SIZE] = {0};
    // On Linux the capture device is the interface itself. A short read
    // time-out keeps pcap_breakloop responsive.
    pcap_t* handle = pcap_open_live(m_iface.toLocal8Bit().constData(), 65536, 1, 1000, errbuf);
    if (!handle)
        return;
    const QByteArray filter = "ether proto " + QByteArray::number(CommLink::kEtherType);
    struct bpf_program program;
    if (pcap_compile(handle, &program, filter.constData(), 1, 0xFFFFFF) < 0) {
        pcap_close(handle);
        return;
    }
    if (pcap_setfilter(handle, &program) < 0) {
        pcap_freecode(&program);
        pcap_close(handle);
        return;
    }
    pcap_freecode(&program);
    {
        QMutexLocker lock(&m_mutex);
        if (m_stop) {
            pcap_close(handle);
            return;
        }
        m_handle = handle;
    }
    pcap_loop(handle, 0, &CommLinkThread::onPacket, reinterpret_cast<unsigned char*>(this));
    QMutexLocker lock(&m_mutex);
    pcap_close(m_handle);
    m_handle = nullptr;
}

CommLink::CommLink(QObject* parent) : QObject(parent)
{
    connect(&m_thread, &CommLinkThread::dataRecv, this, &CommLink::onDataRecv, Qt::QueuedConnection);
}

CommLink::~CommLink()
{
    m_thread.stopCapture();
}

void CommLink::start(const QString& iface, const QString& macText)
{
    if (iface == m_iface)
        return;
    m_iface = iface;
    QByteArray mac;
    const QStringList parts = macText.split(QLatin1Char(':'));
    for (const QString& part : parts)
        mac.append(char(part.toUInt(nullptr, 16)));
    mac = mac.left(6);
    mac.append(QByteArray(6 - mac.size(), '\0'));
    m_mac = mac;
    if (m_thread.isRunning()) {
        m_thread.stopCapture();
        ++m_restarts;
    }
    m_thread.setInterface(iface);
    m_thread.start();
}

QByteArray CommLink::buildRequest(const QByteArray& srcMac)
{
    return DiscoveryAnswer::rawRequest(srcMac, kEtherType);
}

void CommLink::sendRequest()
{
    m_thread.sendPacket(buildRequest(m_mac));
}

QByteArray CommLink::parseAnswer(const QByteArray& frame)
{
    return DiscoveryAnswer::jsonOfRawFrame(frame);
}

void CommLink::onDataRecv(QByteArray data)
{
    const QByteArray json = parseAnswer(data);
    if (!json.isEmpty())
        emit gotNetworkInfo(json);
}
