#pragma once

#include "SNMPInfo.h"

#include <QByteArray>
#include <QString>
#include <QThread>

#include <atomic>

class SNMPManage;
class SNMPTrapd;

// The monitoring engine: owns the host manager and the trap receiver, and
// its thread drives net-snmp's input (replies, traps, time-outs).
class SNMP : public QThread
{
    Q_OBJECT
public:
    explicit SNMP(QObject* parent = nullptr);
    ~SNMP() override;

    // Starts polling, opens the trap sessions and starts the engine thread.
    void start();
    void addHost(const SNMPInfo& info);
    void removeHost(const QString& peer);
    void modifyHost(const SNMPInfo& infoNew, const SNMPInfo& infoOld);

    SNMPManage* manager() const { return m_manager; }
    SNMPTrapd* trapd() const { return m_trapd; }

signals:
    void eventTriggered(QString host, int event);
    void statusChanged(QString host, int status);
    void dataReady(QString host, QByteArray data);

public slots:
    void handleEvent(QString host, int event);
    void handleStatus(QString host, int event);
    void onDataReady(QString host, QByteArray data);

protected:
    void run() override;

private:
    SNMPManage* m_manager = nullptr;
    SNMPTrapd* m_trapd = nullptr;
    std::atomic_bool m_run{false};
};
