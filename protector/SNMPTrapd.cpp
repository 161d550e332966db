#include "SNMPTrapd.h"

#include "AgentSettings.h"
#include "SNMPHandler.h"
#include "SnmpLock.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <QtDebug>

#include <cstdlib>

SNMPTrapd::SNMPTrapd(QObject* parent)
    : QObject(parent)
{
    connect(SNMPHandler::instance(), &SNMPHandler::gotTrapdData, this, &SNMPTrapd::onGotTrapdData,
            Qt::QueuedConnection);
}

SNMPTrapd::~SNMPTrapd()
{
    stopTrapd();
}

bool SNMPTrapd::startTrapd()
{
    m_trapPort = m_portOverride > 0 ? m_portOverride : AgentSettings::trapPort();
    const QString endpoints = QStringLiteral("udp:%1,udp6:[::1]:%1").arg(m_trapPort);
    qInfo() << "Start SNMP trapd service.\r\n";

    SnmpLock::Guard guard(SnmpLock::mutex());
    const QStringList parts = endpoints.split(QLatin1Char(','));
    for (int i = 0; i < parts.size(); ++i) {
        const QByteArray part = parts.at(i).toLatin1();
        netsnmp_transport* transport = netsnmp_transport_open_server("snmptrapd", part.constData());
        if (!transport) {
            qWarning() << "Open trapd service failed!\n";
            return i > 0;
        }
        snmp_session* session = snmpTrapdInitSession(transport);
        if (!session) {
            qWarning() << "Init trapd session port" << parts.at(i) << "failed!\n";
            return i > 0;
        }
        m_sessions.prepend(session);
    }
    return true;
}

void SNMPTrapd::stopTrapd()
{
    SnmpLock::Guard guard(SnmpLock::mutex());
    for (snmp_session* session : qAsConst(m_sessions))
        snmp_close(session);
    m_sessions.clear();
}

snmp_session* SNMPTrapd::snmpTrapdInitSession(netsnmp_transport* transport)
{
    netsnmp_session session;
    snmp_sess_init(&session);
    session.peername = SNMP_DEFAULT_PEERNAME;
    session.version = SNMP_DEFAULT_VERSION;
    session.community_len = SNMP_DEFAULT_COMMUNITY_LEN;
    session.retries = SNMP_DEFAULT_RETRIES;
    session.timeout = SNMP_DEFAULT_TIMEOUT;
    session.callback = &SNMPTrapd::trapCallback;
    session.callback_magic = transport;
    session.authenticator = nullptr;
    session.isAuthoritative = SNMP_SESS_UNKNOWNAUTH;
    // snmp_add frees the transport when it fails.
    snmp_session* added = snmp_add(&session, transport, nullptr, nullptr);
    if (!added)
        qWarning() << "Init trap session error!\n";
    return added;
}

int SNMPTrapd::trapCallback(int operation, snmp_session* session, int reqid, snmp_pdu* pdu, void* magic)
{
    if (operation != NETSNMP_CALLBACK_OP_RECEIVED_MESSAGE || !pdu)
        return 1;
    if (pdu->command != SNMP_MSG_TRAP && pdu->command != SNMP_MSG_TRAP2 && pdu->command != SNMP_MSG_INFORM)
        return 1;
    auto* transport = static_cast<netsnmp_transport*>(magic);
    if (!transport || !transport->f_fmtaddr)
        return 1;
    char* address = transport->f_fmtaddr(transport, pdu->transport_data, pdu->transport_data_length);
    if (!address)
        return 1;

    // "UDP: [192.168.1.20]:1024->[0.0.0.0]:162" -> 192.168.1.20
    const QString text = QString::fromLatin1(address);
    const int open = text.indexOf(QLatin1Char('['));
    const int close = text.indexOf(QLatin1Char(']'));
    const QString host = (open >= 0 && close > open) ? text.mid(open + 1, close - open - 1) : QString();
    SNMPHandler::instance()->onTrap(host, pdu);

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
    free(address);
    return 1;
}

void SNMPTrapd::onGotTrapdData(QString host, int trap)
{
    emit eventTriggered(host, trap);
}
