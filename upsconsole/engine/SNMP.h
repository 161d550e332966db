#pragma once

// Public face of the console's monitoring engine. The user interface talks
// to the engine only through the members declared in the "public interface"
// blocks below; everything else is the engine's own business.

#include "SNMPData.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <QVector>

class SNMPPrivate;

class SNMP : public QObject
{
    Q_OBJECT
public:
    // ---- public interface (GUI thread) ----
    static SNMP* instance();
    // Deletes the singleton: stops every engine thread and the trap service.
    static void destroy();
    static bool exists();

    void start();

    void addDevice(const QString& ipv4, const QString& community);
    void removeDevice(const QString& ipv4);
    int getState(const QString& ipv4) const;   // 0 offline/unknown, 1 normal, 2 alarm
    SNMPData getData(const QString& ipv4) const;
    // SNMP SET of one command type (4..18); syntax 1 INTEGER, 2 Gauge32,
    // 3 Counter64, 4 OCTET STRING. Synchronous; logs a set_log row.
    bool setValue(const QString& ipv4, int type, int syntax, const QString& value);

    QStringList oidList() const;
    QStringList getList() const;
    QStringList tableList() const;
    // ---- end of public interface ----

    ~SNMP() override;

    // Reads cfg/OidList.xml into the three OID lists (done by the constructor).
    void resloveOidConfig();
    // The session's store-due flag (value-handling thread); false when unknown.
    bool isStoreDue(const QString& ipv4) const;
    void setStoreDue(const QString& ipv4, bool due);

    // Tests replace QThread::idealThreadCount() before the engine is created
    // (0 restores the machine's value).
    static void setIdealThreadCountOverride(int count);
    int idealThreadCount() const;
    // Devices per polling thread, in thread order.
    QVector<int> threadSessionCounts() const;
    // Sets the idle limit of polling threads created from now on (tests).
    void setIdleLimit(int limit);
    // Pause after a pass of each polling thread, in thread order.
    QVector<int> threadPassPauses() const;
    int deviceCount() const;
    // Local UDP port of the shared manager endpoint.
    quint16 managerPort() const;
    // Target of the first session of an address (version, timeoutMs,
    // retries, port, community); empty when unknown.
    QVariantMap sessionTarget(const QString& ipv4) const;
    // Writes the status-log rows waiting for the next batch now.
    void flushStatusLog();

    struct Stats
    {
        quint64 requestsSent = 0;
        quint64 responsesQueued = 0;
        quint64 responsesRejected = 0;
        quint64 responsesDropped = 0;
        quint64 responsesHandled = 0;
        quint64 valuesDecoded = 0;
        quint64 rowsStored = 0;
        quint64 samplesDue = 0;
        quint64 offlineChanges = 0;
        quint64 onlineChanges = 0;
        quint64 trapsLogged = 0;
        quint64 statusRowsWritten = 0;
        quint64 samplesPending = 0; // due but not yet answered
    };
    Stats stats() const;

public slots:
    // Engine settings (connected by the main window to the settings dialog).
    void setSNMPVersion(int version);
    void setPollingCycle(uint cycle);
    void setPollingTimeout(uint timeout);
    void setRetry(int retry);
    void setStoreInterval(uint interval);
    void onSnmpPortChanged(ushort port);

private slots:
    void storeTimeout();
    void pollingThreadFinished(int index);
    void commStateChanged(QString ipv4, bool online);
    void alarmStateChanged(QString ipv4, bool alarm);
    void dataChanged(QString ipv4, SNMPData data);
    void onTrapReady(QString ipv4, int trap);

signals:
    void gotData(QString ipv4);
    void devDataChanged(QString ipv4, SNMPData data);
    void stateChanged(QString ipv4, int state);

private:
    SNMP();
    friend class SNMPPrivate;
    SNMPPrivate* d = nullptr;
};
