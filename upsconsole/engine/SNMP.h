#pragma once

// Public face of the console's monitoring engine. The user interface talks
// to the engine only through the members declared in the "public interface"
// blocks below; everything else is the engine's own business.

#include "SNMPData.h"

#include <QObject>
#include <QString>
#include <QStringList>

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

public slots:
    // Engine settings (connected by the main window to the settings dialog).
    void setSNMPVersion(int version);
    void setPollingCycle(uint cycle);
    void setPollingTimeout(uint timeout);
    void setRetry(int retry);
    void setStoreInterval(uint interval);
    void onSnmpPortChanged(ushort port);

signals:
    void gotData(QString ipv4);
    void devDataChanged(QString ipv4, SNMPData data);
    void stateChanged(QString ipv4, int state);

private:
    SNMP();
    friend class SNMPPrivate;
    SNMPPrivate* d = nullptr;
};
