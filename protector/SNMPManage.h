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

    // Response callback of the polling sessions (engine thread).
    static int responseCallback(int operation, snmp_session* session, int reqid, snmp_pdu* pdu, void* magic);

signals:
    void eventTriggered(QString host, int event);
    void statusChanged(QString host, int state);
    void dataReady(QString host, QByteArray data);

public slots:
    void onGotSessionData(QString host, QByteArray data);

private:
    void checkTimeout(qint64 now, const QString& peer);
    qint64 now() const;

    QList<snmp_session*> m_sessions; // newest first
    snmp_pdu* m_template = nullptr;
    QTimer m_pollTimer;
    QHash<QString, int> m_hostStatus;
    QHash<QString, qint64> m_lastSeen;
    std::function<qint64()> m_clock;
};
