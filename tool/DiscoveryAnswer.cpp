#include "DiscoveryAnswer.h"

#include "Crc16Modbus.h"

#include <QHostAddress>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <QtEndian>

namespace DiscoveryAnswer {

namespace {
quint32 be32(const QByteArray& d, int at)
{
    return (quint32(quint8(d[at])) << 24) | (quint32(quint8(d[at + 1])) << 16) | (quint32(quint8(d[at + 2])) << 8) |
           quint32(quint8(d[at + 3]));
}
}

bool parseUdp(const QByteArray& d, Card* card, bool* unknownProduct)
{
    *unknownProduct = false;
    if (d.size() <= 2 || d[0] != 0 || quint8(d[1]) != 0x25 || quint8(d[2]) != 0x18)
        return false;
    if (d.size() == 7) {
        *unknownProduct = true;
        return true;
    }
    if (d.size() < 4)
        return true;
    const int n = quint8(d[3]);
    card->product = QString::fromUtf8(d.mid(4, n));
    if (d.size() <= 7)
        return true;
    int pos = 4 + n;
    bool withMac = false;
    while (pos < d.size()) {
        if (pos + 2 < d.size()) {
            const int prefix = (quint8(d[pos]) << 8) | quint8(d[pos + 1]);
            if (prefix == quint8(d[pos + 2]) + 14) {
                withMac = true;
                pos += 2;
            }
        }
        const int m = quint8(d[pos]);
        const int need = 1 + m + 8 + (withMac ? 6 : 0);
        if (pos + need > d.size())
            break; // a record that does not fit ends the answer
        Interface iface;
        iface.name = QString::fromUtf8(d.mid(pos + 1, m));
        iface.ip = QHostAddress(be32(d, pos + 1 + m)).toString();
        iface.netmask = QHostAddress(be32(d, pos + 5 + m)).toString();
        if (withMac) {
            QStringList mac;
            for (int i = 0; i < 6; ++i)
                mac << QStringLiteral("%1").arg(quint8(d[pos + 9 + m + i]), 2, 16, QLatin1Char('0'));
            iface.mac = mac.join(QLatin1Char(':'));
        }
        if (iface.name == QLatin1String("eth0"))
            card->browse = iface.ip;
        card->interfaces << iface;
        pos += need;
    }
    return true;
}

QByteArray jsonOfRawFrame(const QByteArray& frame)
{
    if (frame.size() < 28)
        return QByteArray();
    if (qFromLittleEndian<quint32>(reinterpret_cast<const uchar*>(frame.constData() + 18)) != 1)
        return QByteArray();
    if (!Crc16Modbus::check(frame))
        return QByteArray();
    // The text ends before the CRC, whose bytes may well hold a "}".
    const QByteArray json = frame.mid(26, frame.size() - 28);
    const int end = json.lastIndexOf('}');
    if (end < 0)
        return QByteArray();
    return json.left(end + 1);
}

bool parseJson(const QByteArray& json, Card* card)
{
    const QJsonDocument doc = QJsonDocument::fromJson(json);
    if (doc.isNull() || !doc.isObject())
        return false;
    const QJsonObject o = doc.object();
    card->host = o.value(QStringLiteral("host")).toString();
    card->product = o.value(QStringLiteral("product")).toString();
    for (const QJsonValue& v : o.value(QStringLiteral("intfInfo")).toArray()) {
        const QJsonArray a = v.toArray();
        Interface iface{a.at(0).toString(), a.at(1).toString(), a.at(2).toString(), a.at(3).toString()};
        if (iface.name == QLatin1String("eth0"))
            card->browse = iface.ip;
        card->interfaces << iface;
    }
    return true;
}

QByteArray rawRequest(const QByteArray& srcMac, quint16 etherType)
{
    QByteArray f(6, char(0xFF));
    QByteArray mac = srcMac.left(6);
    mac.append(QByteArray(6 - mac.size(), '\0'));
    f.append(mac);
    f.append(char(etherType >> 8)).append(char(etherType & 0xFF));
    f.append(QByteArray("\x00\x00\x00\x01", 4));
    char buf[4];
    qToLittleEndian<quint32>(0, buf);
    f.append(buf, 4);
    qToLittleEndian<quint32>(28, buf);
    f.append(buf, 4);
    return Crc16Modbus::append(f);
}

}
