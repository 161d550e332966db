#include "SNMPPollingThread.h"

#include "SNMPSession.h"

#include <QElapsedTimer>

SNMPPollingThread::SNMPPollingThread(int index, int version, std::shared_ptr<const PollPlan> plan, QObject* parent)
    : QThread(parent), m_plan(std::move(plan)), m_index(index), m_version(version)
{
}

void SNMPPollingThread::addSession(const QSharedPointer<SNMPSession>& session)
{
    QMutexLocker locker(&m_listLock);
    m_sessions.append(session.toWeakRef());
}

QSharedPointer<SNMPSession> SNMPPollingThread::takeLastSession()
{
    QMutexLocker locker(&m_listLock);
    while (!m_sessions.isEmpty()) {
        QSharedPointer<SNMPSession> s = m_sessions.takeLast().toStrongRef();
        if (s)
            return s;
    }
    return {};
}

int SNMPPollingThread::sessionCount() const
{
    QMutexLocker locker(&m_listLock);
    return m_sessions.size();
}

void SNMPPollingThread::pollSession(SNMPSession* session)
{
    const PollPlan& plan = *m_plan;
    if (m_version.load() != 1) {
        if (plan.getOids.empty() || !session->getValue(plan.getOids))
            QThread::msleep(10);
        return;
    }
    if (plan.oidCount == 0) {
        QThread::msleep(10);
        return;
    }
    session->getBulk(plan.bulkStart0, 0, plan.bulkCount0);
    if (plan.oidCount >= 5) {
        if (!session->getBulk(plan.bulkStart4, 0, plan.bulkCount4))
            QThread::msleep(10);
    }
}

void SNMPPollingThread::run()
{
    QVector<QSharedPointer<SNMPSession>> batch;
    while (m_running.load()) {
        int count = 0;
        {
            QMutexLocker locker(&m_listLock);
            count = m_sessions.size();
        }
        if (count == 0) {
            if (m_index > 0 && ++m_idleCount > m_idleLimit)
                break;
            QThread::msleep(10);
            continue;
        }
        // A pass is spread over up to half the cycle: thousands of requests
        // sent back to back would arrive at the cards (and their answers at
        // our socket) faster than receive buffers can hold them.
        const int pause = m_pause.load();
        const qint64 window = qint64(pause) / 2;
        const qint64 spacingUs = count > 0 ? window * 1000 / count : 0;
        QElapsedTimer passTimer;
        passTimer.start();
        // Walk the list by position; the GUI thread may append or take the
        // last entries meanwhile, so the list is read under its lock one
        // entry at a time and the request is sent without holding it.
        int sent = 0;
        for (int i = 0; m_running.load();) {
            QSharedPointer<SNMPSession> session;
            {
                QMutexLocker locker(&m_listLock);
                if (i >= m_sessions.size())
                    break;
                session = m_sessions.at(i).toStrongRef();
                if (!session) {
                    m_sessions.removeAt(i);
                    continue;
                }
            }
            pollSession(session.data());
            session.reset();
            ++i;
            ++sent;
            while (spacingUs > 0 && m_running.load()) {
                const qint64 aheadUs = qint64(sent) * spacingUs - passTimer.nsecsElapsed() / 1000;
                if (aheadUs < 1000)
                    break;
                QThread::usleep(quint64(qMin<qint64>(aheadUs, 20000)));
            }
        }
        m_passes.fetch_add(1);
        // The next pass starts one cycle after this one started (a pass that
        // took longer than the cycle is followed by a short rest only).
        while (m_running.load()) {
            const qint64 current = m_pause.load();
            if (current <= 0)
                break;
            const qint64 left = qMax<qint64>(current - passTimer.elapsed(), 0);
            if (left == 0) {
                QThread::msleep(10);
                break;
            }
            QThread::msleep(quint64(qMin<qint64>(20, left)));
        }
    }
    emit threadFinihed(m_index);
}
