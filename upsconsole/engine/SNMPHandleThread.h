#pragma once

#include "OidMap.h"
#include "SNMPData.h"

#include <QHash>
#include <QMutex>
#include <QString>
#include <QThread>

#include <atomic>
#include <memory>
#include <vector>

class ResponseQueue;
struct ResponseCopy;
class QSqlQuery;

// Drains the response queue: fills each device's latest record, stores a
// history sample when one is due, reports new data and alarm changes.
class SNMPHandleThread : public QThread
{
    Q_OBJECT
public:
    SNMPHandleThread(const OidMap* oids, ResponseQueue* queue, QObject* parent = nullptr);
    ~SNMPHandleThread() override;

    SNMPData getData(const QString& ipv4) const;
    bool hasData(const QString& ipv4) const;
    // Zeroes a known device's record. When the device went offline its alarm
    // entry goes too, so that an alarm still present when it comes back is
    // signalled again.
    void resetData(const QString& ipv4, bool offline = false);
    void stop() { m_running.store(false); }

    // Figures for the benchmark and the tests.
    quint64 responsesHandled() const { return m_handled.load(); }
    quint64 valuesDecoded() const { return m_values.load(); }
    quint64 rowsStored() const { return m_rows.load(); }

    // Store a sample: binds the record into the prepared statements.
    static void bindData(QSqlQuery& query, uint date, const QString& ip, const SNMPData& d);
    static void bindThreePhase(QSqlQuery& query, uint date, const QString& ip, const SNMPData& d);

signals:
    void dataReady(QString ipv4, SNMPData data);
    void stateChanged(QString ipv4, bool alarm);

protected:
    void run() override;

private:
    struct Device
    {
        SNMPData record;
        bool alarm = false;
    };
    void createDBConnection();
    void handle(ResponseCopy* response);

    const OidMap* m_oids;
    ResponseQueue* m_queue;
    mutable QMutex m_recordsLock;
    QHash<QString, Device*> m_devices;
    // Set before the thread starts, so that a stop requested before run()
    // is reached is not lost.
    std::atomic<bool> m_running{true};
    std::atomic<quint64> m_handled{0};
    std::atomic<quint64> m_values{0};
    std::atomic<quint64> m_rows{0};

    // Database state, used on this thread only.
    QSqlQuery* m_insertData = nullptr;
    QSqlQuery* m_insertThree = nullptr;
    QSqlQuery* m_selectThree = nullptr;
    bool m_dbOk = false;
    bool m_inTransaction = false;
};
