#pragma once

#include "OidMap.h"

#include <QMutex>
#include <QObject>
#include <QString>
#include <QStringList>

#include <atomic>
#include <memory>

class SNMPManager;
struct DeviceLink;

// One monitored device: its target (address, port, community, version,
// time-out, retries), its communication state and its missed-response count.
// Created and owned on the GUI thread; a polling thread sends through it.
class SNMPSession : public QObject
{
    Q_OBJECT
public:
    struct Target
    {
        int version = 0;       // 0 v1, 1 v2c
        int timeoutMs = 100;
        int retries = 1;
        quint16 port = 161;
        QByteArray community;
    };

    SNMPSession(SNMPManager* manager, const QString& address, const QString& community, const Target& target,
                QObject* parent = nullptr);
    ~SNMPSession() override;

    QString address() const { return m_address; }
    bool addressValid() const { return m_ipv4 != 0; }

    // Asynchronous requests (polling thread). Both raise the missed count.
    bool getBulk(const QString& oid, int nonRepeaters, int maxRepetitions);
    bool getValue(const QStringList& oids);
    bool getBulk(const OidArray& oid, int nonRepeaters, int maxRepetitions);
    bool getValue(const std::vector<OidArray>& oids);
    // Synchronous SET (GUI thread). syntax: 1 INTEGER, 2 Gauge32, 3 Counter64,
    // 4 OCTET STRING.
    bool setValue(const QString& oid, int syntax, const QString& value, QString* error = nullptr);

    int state() const { return m_state.load(); }
    void setState(int state) { m_state.store(state); }
    // Online with or without alarm, unless the device is offline.
    bool setAlarmState(bool alarm);
    int missed() const { return m_missed.load(); }
    bool storeDue() const;
    void setStoreDue(bool due);
    std::shared_ptr<DeviceLink> link() const { return m_link; }

    // Target changes (GUI thread, under the session's lock).
    void setVersion(int version);
    void setTimeoutMs(int timeoutMs);
    void setRetries(int retries);
    void setPort(quint16 port);
    Target target() const;

public slots:
    void gotData(QString ipv4);

signals:
    void commStatusChanged(QString ipv4, bool state);

private:
    bool send(int command, const std::vector<const OidArray*>& oids, int nonRepeaters, int maxRepetitions,
              const char* what);
    void countRequest();

    SNMPManager* m_manager;
    QString m_address;
    quint32 m_ipv4 = 0;
    int m_deviceId = 0;
    std::shared_ptr<DeviceLink> m_link;
    mutable QMutex m_lock;
    Target m_target;
    std::atomic<int> m_state{0};
    std::atomic<int> m_missed{0};
};
