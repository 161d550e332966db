#include "RawDiscoveryResponder.h"

#include <QFile>
#include <QNetworkInterface>

#include <pcap/pcap.h>

RawDiscoveryResponder::RawDiscoveryResponder(const QString& iface, quint16 etherType)
    : m_iface(iface), m_etherType(etherType)
{
}

RawDiscoveryResponder::~RawDiscoveryResponder()
{
    stop();
}

bool RawDiscoveryResponder::open(QString* error)
{
    const QNetworkInterface ni = QNetworkInterface::interfaceFromName(m_iface);
    m_mac = QByteArray::fromHex(ni.hardwareAddress().remove(QLatin1Char(':')).toLatin1());
    if (m_mac.size() != 6) {
        *error = QStringLiteral("interface %1 has no Ethernet address").arg(m_iface);
        return false;
    }
    char errbuf[PCAP_ERRBUF_SIZE] = {0};
    pcap_t* handle = pcap_open_live(m_iface.toLocal8Bit().constData(), 65536, 1, 100, errbuf);
    if (!handle) {
        *error = QStringLiteral("pcap_open_live(%1): %2").arg(m_iface, QString::fromLocal8Bit(errbuf));
        return false;
    }
    const QByteArray filter = "ether proto " + QByteArray::number(m_etherType);
    struct bpf_program program;
    if (pcap_compile(handle, &program, filter.constData(), 1, 0xFFFFFF) < 0 || pcap_setfilter(handle, &program) < 0) {
        *error = QStringLiteral("pcap filter on %1: %2").arg(m_iface, QString::fromLocal8Bit(pcap_geterr(handle)));
        pcap_close(handle);
        return false;
    }
    pcap_freecode(&program);
    QMutexLocker lock(&m_mutex);
    m_handle = handle;
    return true;
}

void RawDiscoveryResponder::stop()
{
    {
        QMutexLocker lock(&m_mutex);
        if (m_handle)
            pcap_breakloop(m_handle);
    }
    wait();
    QMutexLocker lock(&m_mutex);
    if (m_handle) {
        pcap_close(m_handle);
        m_handle = nullptr;
    }
}

bool RawDiscoveryResponder::send(const QByteArray& frame)
{
    QMutexLocker lock(&m_mutex);
    if (!m_handle)
        return false;
    return pcap_sendpacket(m_handle, reinterpret_cast<const u_char*>(frame.constData()), frame.size()) == 0;
}

void RawDiscoveryResponder::onPacket(unsigned char* user, const struct pcap_pkthdr* header, const unsigned char* bytes)
{
    auto* self = reinterpret_cast<RawDiscoveryResponder*>(user);
    emit self->requestCaptured(QByteArray(reinterpret_cast<const char*>(bytes), int(header->caplen)));
}

void RawDiscoveryResponder::run()
{
    pcap_t* handle;
    {
        QMutexLocker lock(&m_mutex);
        handle = m_handle;
    }
    if (handle)
        pcap_loop(handle, 0, &RawDiscoveryResponder::onPacket, reinterpret_cast<unsigned char*>(this));
}
