#include "SNMPManage.h"

#include "AgentDatabase.h"
#include "SNMPHandler.h"
#include "SnmpLock.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>
#include <net-snmp/library/snmpusm.h>

#include <QDateTime>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTextCodec>
#include <QtDebug>

#include <cstring>

namespace {
const oid kStatusOids[4][14] = {
    {1, 3, 6, 1, 4, 1, 935, 1, 1, 1, 2, 1, 1, 0}, // battery status
    {1, 3, 6, 1, 4, 1, 935, 1, 1, 1, 3, 2, 5, 0}, // input line status
    {1, 3, 6, 1, 4, 1, 935, 1, 1, 1, 4, 1, 1, 0}, // output status
    {1, 3, 6, 1, 4, 1, 935, 1, 1, 1, 2, 2, 1, 0}, // battery capacity
};

QByteArray local8(const QString& text)
{
    return text.toLocal8Bit();
}

// Duplicates a byte string for a session structure (net-snmp copies what
// snmp_open needs, the caller frees its own buffers afterwards).
} // namespace

SNMPManage::SNMPManage(QObject* parent)
    : QObject(parent)
{
    m_pollTimer.setInterval(1000);
    m_pollTimer.setSingleShot(false);

    {
        SnmpLock::Guard guard(SnmpLock::mutex());
        m_template = snmp_pdu_create(SNMP_MSG_GET);
        if (m_template) {
            for (const auto& name : kStatusOids)
                snmp_add_null_var(m_template, name, 14);
        }
    }
    if (!m_template)
        qWarning() << "Create PDU failed!";

    AgentDatabase::createSchema();

    connect(SNMPHandler::instance(), &SNMPHandler::gotSessionData, this, &SNMPManage::onGotSessionData,
            Qt::QueuedConnection);
    connect(&m_pollTimer, &QTimer::timeout, this, &SNMPManage::poll);
}

SNMPManage::~SNMPManage()
{
    m_pollTimer.stop();
    SnmpLock::Guard guard(SnmpLock::mutex());
    for (snmp_session* session : qAsConst(m_sessions)) {
        closeDiscovery(session);
        snmp_close(session);
    }
    m_sessions.clear();
    if (m_template)
        snmp_free_pdu(m_template);
    m_template = nullptr;
}

qint64 SNMPManage::now() const
{
    return m_clock ? m_clock() : QDateTime::currentSecsSinceEpoch();
}

void SNMPManage::loadHosts()
{
    QSqlQuery query(AgentDatabase::database());
    if (!query.exec(QStringLiteral("select * from snmp_session;")))
        return;
    while (query.next()) {
        const QSqlRecord record = query.record();
        SNMPInfo info;
        info.ip = record.value(QStringLiteral("ip")).toString();
        info.port = record.value(QStringLiteral("port")).toInt();
        info.version = record.value(QStringLiteral("version")).toInt();
        if (info.version == 0) {
            info.community = record.value(QStringLiteral("community")).toString();
        } else if (info.version == 1) {
            info.authType = record.value(QStringLiteral("authType")).toInt();
            info.privType = record.value(QStringLiteral("privType")).toInt();
            info.userName = record.value(QStringLiteral("userName")).toString();
            info.password = record.value(QStringLiteral("password")).toString();
        }
        addHost(info);
    }
}

void SNMPManage::addHost(const SNMPInfo& info)
{
    if (info.version != 0 && info.version != 1)
        return;

    SnmpLock::Guard guard(SnmpLock::mutex());
    netsnmp_session session;
    snmp_sess_init(&session);

    const QByteArray community = local8(info.community);
    const QByteArray user = local8(info.userName);
    const QByteArray password = local8(info.password);

    if (info.version == 0) {
        session.version = SNMP_VERSION_2c;
        session.community = reinterpret_cast<u_char*>(const_cast<char*>(community.constData()));
        session.community_len = static_cast<size_t>(community.size());
    } else {
        session.version = SNMP_VERSION_3;
        session.securityModel = USM_SEC_MODEL_NUMBER;
        session.securityName = const_cast<char*>(user.constData());
        session.securityNameLen = static_cast<size_t>(user.size());
        if (info.userName.size() < 8)
            session.securityLevel = SNMP_SEC_LEVEL_NOAUTH;
        else if (info.password.isEmpty())
            session.securityLevel = SNMP_SEC_LEVEL_AUTHNOPRIV;
        else if (info.password.size() < 8)
            session.securityLevel = SNMP_SEC_LEVEL_NOAUTH;
        else
            session.securityLevel = SNMP_SEC_LEVEL_AUTHPRIV;

        if (session.securityLevel != SNMP_SEC_LEVEL_NOAUTH) {
            // The user name is the authentication pass phrase.
            if (info.authType == 1) {
                session.securityAuthProto = const_cast<oid*>(usmHMACSHA1AuthProtocol);
                session.securityAuthProtoLen = USM_AUTH_PROTO_SHA_LEN;
            } else {
                session.securityAuthProto = const_cast<oid*>(usmHMACMD5AuthProtocol);
                session.securityAuthProtoLen = USM_AUTH_PROTO_MD5_LEN;
            }
            session.securityAuthKeyLen = USM_AUTH_KU_LEN;
            bool authOk = generate_Ku(session.securityAuthProto, static_cast<u_int>(session.securityAuthProtoLen),
                                      reinterpret_cast<const u_char*>(user.constData()),
                                      static_cast<size_t>(user.size()), session.securityAuthKey,
                                      &session.securityAuthKeyLen)
                == SNMPERR_SUCCESS;
            if (!authOk)
                qWarning() << "Error generating a key (Ku) from the supplied authentication pass phrase!";
            if (authOk && session.securityLevel == SNMP_SEC_LEVEL_AUTHPRIV) {
                if (info.privType == 1) {
                    session.securityPrivProto = const_cast<oid*>(usmAESPrivProtocol);
                    session.securityPrivProtoLen = USM_PRIV_PROTO_AES_LEN;
                } else {
                    session.securityPrivProto = const_cast<oid*>(usmDESPrivProtocol);
                    session.securityPrivProtoLen = USM_PRIV_PROTO_DES_LEN;
                }
                session.securityPrivKeyLen = USM_PRIV_KU_LEN;
                if (generate_Ku(session.securityAuthProto, static_cast<u_int>(session.securityAuthProtoLen),
                                reinterpret_cast<const u_char*>(password.constData()),
                                static_cast<size_t>(password.size()), session.securityPrivKey,
                                &session.securityPrivKeyLen)
                    != SNMPERR_SUCCESS)
                    qWarning() << "Error generating a key (Ku) from the supplied privacy pass phrase!";
            }
        }
    }

    const QString peer = info.peer();
    char peerName[32];
    std::memset(peerName, 0, sizeof(peerName));
    const QByteArray peerBytes = peer.toLatin1();
    std::strncpy(peerName, peerBytes.constData(), sizeof(peerName) - 1);
    session.peername = peerName;

    m_hostStatus[peer] = 0;
    m_lastSeen[peer] = now();

    session.callback = &SNMPManage::responseCallback;
    session.callback_magic = nullptr;

    snmp_session* opened = snmp_open(&session);
    if (!opened) {
        qWarning() << "Create SNMP session failed!";
        return;
    }
    m_sessions.prepend(opened);
    if (opened->version == SNMP_VERSION_3) {
        // Never let the library probe (and block) in snmp_send.
        opened->flags |= SNMP_FLAGS_DONT_PROBE;
        if (opened->securityEngineIDLen == 0)
            startDiscovery(opened);
    }
}

void SNMPManage::startDiscovery(snmp_session* host)
{
    netsnmp_session session;
    snmp_sess_init(&session);
    session.version = SNMP_VERSION_3;
    session.securityModel = USM_SEC_MODEL_NUMBER;
    session.securityLevel = SNMP_SEC_LEVEL_NOAUTH;
    session.peername = host->peername;
    session.flags |= SNMP_FLAGS_DONT_PROBE;
    auto* discovery = new Discovery;
    discovery->host = host;
    session.callback = &SNMPManage::discoveryCallback;
    session.callback_magic = discovery;
    discovery->probe = snmp_open(&session);
    if (!discovery->probe) {
        delete discovery;
        qWarning() << "Create SNMP session failed!";
        return;
    }
    discovery->probe->flags |= SNMP_FLAGS_DONT_PROBE;
    m_discovery.insert(host, discovery);
}

void SNMPManage::closeDiscovery(snmp_session* host)
{
    Discovery* discovery = m_discovery.take(host);
    if (!discovery)
        return;
    snmp_close(discovery->probe);
    delete discovery;
}

snmp_pdu* SNMPManage::createProbePdu()
{
    // The request of RFC 3414's discovery: no user, no security, no engine
    // ID. The agent answers with a report that carries its engine ID.
    if (!usm_get_user(nullptr, 0, const_cast<char*>(""))) {
        auto* user = static_cast<struct usmUser*>(calloc(1, sizeof(struct usmUser)));
        if (!user)
            return nullptr;
        user->name = strdup("");
        user->secName = strdup("");
        user->authProtocolLen = USM_AUTH_PROTO_NOAUTH_LEN;
        user->authProtocol = snmp_duplicate_objid(usmNoAuthProtocol, user->authProtocolLen);
        user->privProtocolLen = USM_PRIV_PROTO_NOPRIV_LEN;
        user->privProtocol = snmp_duplicate_objid(usmNoPrivProtocol, user->privProtocolLen);
        usm_add_user(user);
    }
    snmp_pdu* pdu = snmp_pdu_create(SNMP_MSG_GET);
    if (!pdu)
        return nullptr;
    pdu->version = SNMP_VERSION_3;
    pdu->securityName = strdup("");
    pdu->securityNameLen = 0;
    pdu->securityLevel = SNMP_SEC_LEVEL_NOAUTH;
    pdu->securityModel = USM_SEC_MODEL_NUMBER;
    return pdu;
}

int SNMPManage::discoveryCallback(int operation, snmp_session* session, int reqid, snmp_pdu* pdu, void* magic)
{
    auto* discovery = static_cast<Discovery*>(magic);
    if (operation != NETSNMP_CALLBACK_OP_RECEIVED_MESSAGE || !pdu || !discovery || !discovery->host)
        return 1;
    snmp_session* host = discovery->host;
    if (pdu->securityEngineIDLen == 0 || host->securityEngineIDLen != 0)
        return 1;
    // Called inside snmp_read2, under the library lock.
    host->securityEngineID = static_cast<u_char*>(netsnmp_memdup(pdu->securityEngineID, pdu->securityEngineIDLen));
    host->securityEngineIDLen = host->securityEngineID ? pdu->securityEngineIDLen : 0;
    if (host->contextEngineIDLen == 0 && host->securityEngineID) {
        host->contextEngineID = static_cast<u_char*>(netsnmp_memdup(pdu->securityEngineID, pdu->securityEngineIDLen));
        host->contextEngineIDLen = host->contextEngineID ? pdu->securityEngineIDLen : 0;
    }
    // Localise the keys for this engine now.
    host->flags &= ~SNMP_FLAGS_USER_CREATED;
    if (create_user_from_session(host) != SNMPERR_SUCCESS)
        qWarning() << "SNMPv3 user of" << host->peername << "could not be set up";
    return 1;
}

bool SNMPManage::discoveryPending(const QString& peer) const
{
    SnmpLock::Guard guard(SnmpLock::mutex());
    for (snmp_session* session : m_sessions) {
        if (session->peername && peer == QLatin1String(session->peername))
            return session->version == SNMP_VERSION_3 && session->securityEngineIDLen == 0;
    }
    return false;
}

void SNMPManage::removeHost(const QString& peer)
{
    SnmpLock::Guard guard(SnmpLock::mutex());
    for (int i = 0; i < m_sessions.size(); ++i) {
        snmp_session* session = m_sessions.at(i);
        if (session->peername && peer == QLatin1String(session->peername)) {
            m_sessions.removeAt(i);
            m_hostStatus.remove(peer);
            m_lastSeen.remove(peer);
            closeDiscovery(session);
            snmp_close(session);
            return;
        }
    }
}

int SNMPManage::securityLevel(const QString& peer) const
{
    SnmpLock::Guard guard(SnmpLock::mutex());
    for (snmp_session* session : m_sessions) {
        if (session->peername && peer == QLatin1String(session->peername))
            return session->version == SNMP_VERSION_3 ? session->securityLevel : 0;
    }
    return -1;
}

void SNMPManage::start()
{
    qInfo() << "Start SNMP NMS service.\r\n";
    m_pollTimer.start(1000);
}

void SNMPManage::stop()
{
    m_pollTimer.stop();
}

void SNMPManage::poll()
{
    const qint64 current = now();
    // Each peer name is checked once even if the session list changes.
    QStringList peers;
    {
        SnmpLock::Guard guard(SnmpLock::mutex());
        for (snmp_session* session : qAsConst(m_sessions)) {
            if (session->version == SNMP_VERSION_3 && session->securityEngineIDLen == 0) {
                // Engine ID not known yet: probe instead of polling.
                auto discovery = m_discovery.constFind(session);
                if (discovery != m_discovery.constEnd()) {
                    netsnmp_pdu* probe = createProbePdu();
                    if (probe && !snmp_send(discovery.value()->probe, probe))
                        snmp_free_pdu(probe);
                }
            } else {
                if (m_discovery.contains(session))
                    closeDiscovery(session);
                if (m_template) {
                    netsnmp_pdu* copy = snmp_clone_pdu(m_template);
                    if (copy && !snmp_send(session, copy))
                        snmp_free_pdu(copy);
                }
            }
            peers << QString::fromLatin1(session->peername ? session->peername : "");
        }
    }
    for (const QString& peer : qAsConst(peers))
        checkTimeout(current, peer);
}

void SNMPManage::checkTimeout(qint64 current, const QString& peer)
{
    auto seen = m_lastSeen.find(peer);
    if (seen == m_lastSeen.end())
        return;
    if (current - seen.value() <= 10)
        return;
    seen.value() = current;
    auto status = m_hostStatus.find(peer);
    if (status != m_hostStatus.end() && status.value() != 0) {
        status.value() = 0;
        const QString ip = peer.section(QLatin1Char(':'), 0, 0);
        emit statusChanged(ip, 0);
        emit eventTriggered(ip, 0);
    }
}

int SNMPManage::responseCallback(int operation, snmp_session* session, int reqid, snmp_pdu* pdu, void* magic)
{
    if (operation != NETSNMP_CALLBACK_OP_RECEIVED_MESSAGE || !pdu)
        return 0;
    SNMPHandler::instance()->onResponse(session, pdu);
    return 1;
}

void SNMPManage::onGotSessionData(QString host, QByteArray data)
{
    const QString ip = host.section(QLatin1Char(':'), 0, 0);
    auto status = m_hostStatus.find(host);
    if (status != m_hostStatus.end() && status.value() != 1) {
        const int old = status.value();
        status.value() = 1;
        emit statusChanged(ip, 1);
        if (old == 0)
            emit eventTriggered(ip, 1);
    }
    auto seen = m_lastSeen.find(host);
    if (seen != m_lastSeen.end())
        seen.value() = now();
    emit dataReady(ip, data);
}
