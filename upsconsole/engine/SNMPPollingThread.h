#pragma once

#include "OidMap.h"

#include <QMutex>
#include <QSharedPointer>
#include <QThread>
#include <QVector>
#include <QWeakPointer>

#include <atomic>
#include <memory>

class SNMPSession;

// The requests of one polling pass, prepared once by the engine.
struct PollPlan
{
    std::vector<OidArray> getOids;  // v1: the GET list
    OidArray bulkStart0;            // v2c: just before position 0
    OidArray bulkStart4;            // v2c: just before position 4
    int bulkCount0 = 5;
    int bulkCount4 = 0;
    int oidCount = 0;
};

// Sends the requests of its devices, one pass after another.
class SNMPPollingThread : public QThread
{
    Q_OBJECT
public:
    SNMPPollingThread(int index, int version, std::shared_ptr<const PollPlan> plan, QObject* parent = nullptr);

    int index() const { return m_index; }
    void addSession(const QSharedPointer<SNMPSession>& session);
    // Removes and returns the last session (for rebalancing).
    QSharedPointer<SNMPSession> takeLastSession();
    int sessionCount() const;
    void setPassPause(int ms) { m_pause.store(ms); }
    int passPause() const { return m_pause.load(); }
    void setVersion(int version) { m_version.store(version); }
    int version() const { return m_version.load(); }
    void stop() { m_running.store(false); }
    bool isRunning() const { return m_running.load(); }
    int idleLimit() const { return m_idleLimit; }
    void setIdleLimit(int limit) { m_idleLimit = limit; }
    quint64 passes() const { return m_passes.load(); }

signals:
    void threadFinihed(int index);

protected:
    void run() override;

private:
    void pollSession(SNMPSession* session);

    mutable QMutex m_listLock;
    QVector<QWeakPointer<SNMPSession>> m_sessions;
    std::shared_ptr<const PollPlan> m_plan;
    const int m_index;
    std::atomic<int> m_pause{1000};
    int m_idleLimit = 100;
    // Set before the thread starts, so that a stop requested before run()
    // is reached is not lost.
    std::atomic<bool> m_running{true};
    std::atomic<int> m_version{0};
    int m_idleCount = 0;
    std::atomic<quint64> m_passes{0};
};
