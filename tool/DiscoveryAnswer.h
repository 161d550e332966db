#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Parsing of the cards' discovery answers, apart from any widget.
namespace DiscoveryAnswer {

struct Interface
{
    QString name;
    QString ip;
    QString netmask;
    QString mac; // empty when the answer carries none
};

struct Card
{
    QString host;      // JSON answers name it; UDP answers take the sender
    QString product;
    QList<Interface> interfaces;
    QString browse;    // address of the interface named "eth0"
};

// UDP answer: signature 00 25 18, product name, interface records with an
// optional length prefix (which switches MAC addresses on). False when the
// datagram is no answer. 7-byte answers give the product "Unknown" (set by
// the caller, which translates it) and no interfaces: *unknownProduct.
bool parseUdp(const QByteArray& datagram, Card* card, bool* unknownProduct);

// Raw-Ethernet answer frame: the JSON text of a valid answer, or empty.
QByteArray jsonOfRawFrame(const QByteArray& frame);
// JSON description; false when it is not an object.
bool parseJson(const QByteArray& json, Card* card);

QByteArray rawRequest(const QByteArray& srcMac, quint16 etherType);

}
