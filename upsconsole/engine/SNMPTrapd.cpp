#include "SNMPTrapd.h"

#include "SNMPManager.h"

#include <QDebug>
#include <QList>
#include <QMap>

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <sys/socket.h>

#include <atomic>

class SNMPTrapdPrivate
{
public:
    SNMPTrapd* owner = nullptr;
    quint16 port = 162;
    QList<netsnmp_session*> sessions; // newest first
    QMap<netsnmp_session*, netsnmp_transport*> transports;
    std::atomic<quint64> received{0};

    static int callback(int op, netsnmp_session* session, int reqid, netsnmp_pdu* pdu, void* magic);
    netsnmp_session* snmpTrapdInitSession(netsnmp_transport* transport);
};

namespace {
const oid kTrapOid[] = {1, 3, 6, 1, 6, 3, 1, 1, 4, 1, 0};
}

int SNMPTrapdPrivate::callback(int op, netsnmp_session* session, int, netsnmp_pdu* pdu, void* magic)
{
    auto* d = static_cast<SNMPTrapdPrivate*>(magic);
    if (op != NETSNMP_CALLBACK_OP_RECEIVED_MESSAGE || !d || !pdu)
        return 1;
    if (pdu->command != SNMP_MSG_TRAP && pdu->command != SNMP_MSG_TRAP2 && pdu->command != SNMP_MSG_INFORM)
        return 1;

    QString address;
    netsnmp_transport* transport = d->transports.value(session, nullptr);
    if (transport && transport->f_fmtaddr) {
        char* text = transport->f_fmtaddr(transport, pdu->transport_data, pdu->transport_data_length);
        if (text) {
            const QString s = QString::fromLatin1(text);
            free(text);
            const int open = s.indexOf(QLatin1Char('['));
            const int close = s.indexOf(QLatin1Char(']'));
            if (open >= 0 && close > open)
                address = s.mid(open + 1, close - open - 1);
        }
    }

    int code = -1;
    if (pdu->command == SNMP_MSG_TRAP) {
        code = int(pdu->specific_type);
    } else {
        for (netsnmp_variable_list* v = pdu->variables; v; v = v->next_variable) {
            if (snmp_oid_compare(v->name, v->name_length, kTrapOid, OID_LENGTH(kTrapOid)) == 0) {
                if (v->type == ASN_OBJECT_ID && v->val.objid && v->val_len >= sizeof(oid))
                    code = int(v->val.objid[v->val_len / sizeof(oid) - 1]);
                break;
            }
        }
    }

    if (pdu->command == SNMP_MSG_INFORM) {
        netsnmp_pdu* reply = snmp_clone_pdu(pdu);
        if (reply) {
            reply->command = SNMP_MSG_RESPONSE;
            reply->errstat = 0;
            reply->errindex = 0;
            if (!snmp_send(session, reply))
                snmp_free_pdu(reply);
        }
    }

    if (address.isEmpty())
        return 1;
    if (code >= 0 && code < 0x7FFFFFFF) {
        d->received.fetch_add(1, std::memory_order_relaxed);
        emit d->owner->trapReady(address, code + 1);
    }
    return 1;
}

netsnmp_session* SNMPTrapdPrivate::snmpTrapdInitSession(netsnmp_transport* transport)
{
    netsnmp_session session;
    snmp_sess_init(&session);
    session.peername = SNMP_DEFAULT_PEERNAME;
    session.version = SNMP_DEFAULT_VERSION;
    session.community_len = SNMP_DEFAULT_COMMUNITY_LEN;
    session.retries = SNMP_DEFAULT_RETRIES;
    session.timeout = SNMP_DEFAULT_TIMEOUT;
    session.callback = callback;
    session.callback_magic = this;
    session.authenticator = nullptr;
    session.isAuthoritative = SNMP_SESS_UNKNOWNAUTH;
    return snmp_add(&session, transport, nullptr, nullptr);
}

SNMPTrapd::SNMPTrapd() : d(new SNMPTrapdPrivate)
{
    d->owner = this;
}

SNMPTrapd::~SNMPTrapd()
{
    stopTrapd();
    delete d;
}

SNMPTrapd* SNMPTrapd::instance()
{
    static SNMPTrapd* trapd = new SNMPTrapd;
    return trapd;
}

bool SNMPTrapd::startTrapd()
{
    return startTrapd(d->port);
}

bool SNMPTrapd::startTrapd(quint16 port)
{
    SNMPManager::initLibrary();
    if (!d->sessions.isEmpty())
        stopTrapd();
    d->port = port;
    char endpoints[64];
    snprintf(endpoints, sizeof endpoints, "udp:%hu,udp6:[::1]:%hu", port, port);
    qInfo().noquote() << "Start SNMP trapd service.\r\n";
    const QStringList parts = QString::fromLatin1(endpoints).split(QLatin1Char(','));
    for (const QString& part : parts) {
        const QByteArray text = part.toLatin1();
        netsnmp_transport* transport = netsnmp_tdomain_transport(text.constData(), 1, "snmptrapd");
        if (!transport) {
            qWarning().noquote() << "Open trapd service failed!\n";
            return false;
        }
        // Bursts of traps must not overflow the socket while the loop is busy.
        int size = 4 * 1024 * 1024;
        if (setsockopt(transport->sock, SOL_SOCKET, SO_RCVBUFFORCE, &size, sizeof size) != 0)
            setsockopt(transport->sock, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
        netsnmp_session* session = d->snmpTrapdInitSession(transport);
        if (!session) {
            qWarning().noquote() << "Init trap session error!\n";
            qWarning().noquote() << "Init trapd session port" + part + "failed!\n";
            return false;
        }
        d->sessions.prepend(session);
        d->transports.insert(session, transport);
    }
    return true;
}

void SNMPTrapd::stopTrapd()
{
    for (netsnmp_session* s : qAsConst(d->sessions))
        snmp_close(s);
    d->sessions.clear();
    d->transports.clear();
}

bool SNMPTrapd::isListening() const
{
    return !d->sessions.isEmpty();
}

quint16 SNMPTrapd::port() const
{
    return d->port;
}

quint64 SNMPTrapd::trapsReceived() const
{
    return d->received.load();
}
