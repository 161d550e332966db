#pragma once

#include "SNMPInfo.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QTimer>

#include <functional>

struct snmp_pdu;
struct snmp_session;

// Owns the polling sessions (one per host) and the online/offline
// bookkeeping. Everything here runs on the GUI thread; net-snmp calls are
// made under SnmpLock.
class SNMPManage : public QObject
{
    Q_OBJECT
public:
    explicit SNMPManage(QObject* parent = nullptr);
    ~SNMPManage() override;

    void addHost(const SNMPInfo& info);
    void removeHost(const QString& peer);
    void loadHosts();
    void start();
    void stop();

    // One poll step: sends a request to every host, then checks time-outs.
    void poll();

    // For tests and diagnostics.
    int sessionCount() const { return m_sessions.size(); }
    bool hasHost(const QString& peer) const { return m_hostStatus.contains(peer); }
    int hostStatus(const QString& peer) const { return m_hostStatus.value(peer, -1); }
    // net-snmp security level of a host's v3 session (SNMP_SEC_LEVEL_*), or
    // -1 when the host has no open session.
    int securityLevel(const QString& peer) const;
    // Replaces the clock (seconds since 1970) used by the time-out rule.
    void setClock(std::function<qint64()> clock) { m_clock = std::move(clock); }

    // True while an SNMPv3 host's engine ID is still being discovered.
    bool discoveryPending(const QString& peer) const;

    // Response callback of the polling sessions (engine thread).
    static int responseCallback(int operation, snmp_session* session, int reqid, snmp_pdu* pdu, void* magic);
    // Callback of the engine-ID discovery sessions (engine thread).
    static int discoveryCallback(int operation, snmp_session* session, int reqid, snmp_pdu* pdu, void* magic);

signals:
    void eventTriggered(QString host, int event);
    void statusChanged(QString host, int state);
    void dataReady(QString host, QByteArray data);

public slots:
    void onGotSessionData(QString host, QByteArray data);

private:
    // net-snmp discovers an SNMPv3 agent's engine ID with a blocking request
    // inside the first send (up to timeout x retries, six seconds by
    // default), which would stall the GUI thread and, through the library
    // lock, the engine thread at every poll of a card that does not answer.
    // The agent discovers it itself: a noAuthNoPriv probe on a second
    // session, sent like any poll, answered asynchronously.
    struct Discovery
    {
        snmp_session* host = nullptr;
        snmp_session* probe = nullptr;
    };
    void startDiscovery(snmp_session* host);
    void closeDiscovery(snmp_session* host);
    static snmp_pdu* createProbePdu();

    void checkTimeout(qint64 now, const QString& peer);
    qint64 now() const;

    QList<snmp_session*> m_sessions; // newest first
    snmp_pdu* m_template = nullptr;
    QTimer m_pollTimer;
    QHash<QString, int> m_hostStatus;
    QHash<QString, qint64> m_lastSeen;
    QHash<snmp_session*, Discovery*> m_discovery; // by host session
    std::function<qint64()> m_clock;
};
