#include "SNMPSession.h"

#include "SNMPManager.h"

#include <QDebug>

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <arpa/inet.h>

SNMPSession::SNMPSession(SNMPManager* manager, const QString& address, const QString& community,
                         const Target& target, QObject* parent)
    : QObject(parent), m_manager(manager), m_address(address), m_target(target)
{
    m_target.community = community.toUtf8();
    in_addr a{};
    if (inet_pton(AF_INET, address.trimmed().toLatin1().constData(), &a) == 1)
        m_ipv4 = a.s_addr;
    m_link = std::make_shared<DeviceLink>();
    m_link->address = address;
    m_link->ipv4 = m_ipv4;
    if (m_manager)
        m_deviceId = m_manager->registerDevice(m_link);
}

SNMPSession::~SNMPSession() = default;

void SNMPSession::countRequest()
{
    // Raise the missed count up to 3; reaching 3 while online means offline.
    int current = m_missed.load();
    while (current < 3) {
        if (m_missed.compare_exchange_weak(current, current + 1)) {
            if (current + 1 == 3) {
                if (m_state.exchange(0) != 0)
                    emit commStatusChanged(m_address, false);
            }
            return;
        }
    }
}

bool SNMPSession::send(int command, const std::vector<const OidArray*>& oids, int nonRepeaters,
                       int maxRepetitions, const char* what)
{
    QMutexLocker locker(&m_lock);
    countRequest();
    if (!m_manager || m_ipv4 == 0) {
        qWarning().noquote() << QStringLiteral("SNMP session, ") + m_address + QLatin1String(what) +
                                    QStringLiteral("invalid address");
        return false;
    }
    SNMPManager::Request request;
    request.command = command;
    request.version = m_target.version;
    request.community = m_target.community;
    request.ipv4 = m_ipv4;
    request.port = m_target.port;
    request.timeoutMs = m_target.timeoutMs;
    request.retries = m_target.retries;
    request.nonRepeaters = nonRepeaters;
    request.maxRepetitions = maxRepetitions;
    QString error;
    if (!m_manager->sendRequest(request, oids, m_deviceId, &error)) {
        qWarning().noquote() << QStringLiteral("SNMP session, ") + m_address + QLatin1String(what) + error;
        return false;
    }
    return true;
}

bool SNMPSession::getBulk(const OidArray& oid, int nonRepeaters, int maxRepetitions)
{
    return send(SNMP_MSG_GETBULK, {&oid}, nonRepeaters, maxRepetitions, "get bulk error: ");
}

bool SNMPSession::getValue(const std::vector<OidArray>& oids)
{
    std::vector<const OidArray*> list;
    list.reserve(oids.size());
    for (const OidArray& o : oids)
        list.push_back(&o);
    // The address is not part of this message, as the program always wrote it.
    QMutexLocker locker(&m_lock);
    countRequest();
    if (!m_manager || m_ipv4 == 0) {
        qWarning() << "SNMP session, get multi error:" << "invalid address";
        return false;
    }
    SNMPManager::Request request;
    request.command = SNMP_MSG_GET;
    request.version = m_target.version;
    request.community = m_target.community;
    request.ipv4 = m_ipv4;
    request.port = m_target.port;
    request.timeoutMs = m_target.timeoutMs;
    request.retries = m_target.retries;
    QString error;
    if (!m_manager->sendRequest(request, list, m_deviceId, &error)) {
        qWarning().noquote() << QStringLiteral("SNMP session, get multi error:") + error;
        return false;
    }
    return true;
}

bool SNMPSession::getBulk(const QString& oid, int nonRepeaters, int maxRepetitions)
{
    OidArray name;
    if (!OidMap::parseOid(oid, &name)) {
        countRequest();
        qWarning().noquote() << QStringLiteral("SNMP session, ") + m_address +
                                    QStringLiteral("get bulk error: bad OID ") + oid;
        return false;
    }
    return getBulk(name, nonRepeaters, maxRepetitions);
}

bool SNMPSession::getValue(const QStringList& oids)
{
    std::vector<OidArray> names;
    names.reserve(size_t(oids.size()));
    for (const QString& text : oids) {
        OidArray name;
        if (OidMap::parseOid(text, &name))
            names.push_back(std::move(name));
    }
    return getValue(names);
}

bool SNMPSession::setValue(const QString& oid, int syntax, const QString& value, QString* error)
{
    OidArray name;
    if (!OidMap::parseOid(oid, &name)) {
        if (error)
            *error = QStringLiteral("bad OID");
        return false;
    }
    char type = 0;
    switch (syntax) {
    case 1: type = 'i'; break;
    case 2: type = 'u'; break;
    case 3: type = 'C'; break;
    case 4: type = 's'; break;
    default:
        return false;
    }
    QMutexLocker locker(&m_lock);
    if (!m_manager || m_ipv4 == 0) {
        if (error)
            *error = QStringLiteral("invalid address");
        return false;
    }
    SNMPManager::Request request;
    request.version = m_target.version;
    request.community = m_target.community;
    request.ipv4 = m_ipv4;
    request.port = m_target.port;
    request.timeoutMs = m_target.timeoutMs;
    request.retries = m_target.retries;
    locker.unlock(); // a SET may wait for seconds; polling goes on meanwhile
    return m_manager->setValue(request, name, type, value, error);
}

bool SNMPSession::setAlarmState(bool alarm)
{
    int current = m_state.load();
    while (current != 0) {
        if (m_state.compare_exchange_weak(current, alarm ? 2 : 1))
            return true;
    }
    return false;
}

bool SNMPSession::storeDue() const
{
    return m_link->storeDue.load();
}

void SNMPSession::setStoreDue(bool due)
{
    m_link->storeDue.store(due);
}

void SNMPSession::setVersion(int version)
{
    QMutexLocker locker(&m_lock);
    m_target.version = version;
}

void SNMPSession::setTimeoutMs(int timeoutMs)
{
    QMutexLocker locker(&m_lock);
    m_target.timeoutMs = timeoutMs;
}

void SNMPSession::setRetries(int retries)
{
    QMutexLocker locker(&m_lock);
    m_target.retries = retries;
}

void SNMPSession::setPort(quint16 port)
{
    QMutexLocker locker(&m_lock);
    m_target.port = port;
}

SNMPSession::Target SNMPSession::target() const
{
    QMutexLocker locker(&m_lock);
    return m_target;
}

void SNMPSession::gotData(QString ipv4)
{
    if (ipv4 != m_address)
        return;
    m_missed.store(0);
    int expected = 0;
    if (m_state.compare_exchange_strong(expected, 1))
        emit commStatusChanged(m_address, true);
}
