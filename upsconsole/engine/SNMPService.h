#pragma once

#include <QThread>

class SNMPServicePrivate;

// Runs net-snmp's receive loop for the trap sessions.
class SNMPService : public QThread
{
    Q_OBJECT
public:
    static SNMPService* instance();

    // Opens the trap sessions on `port` and starts the loop (no-op when
    // already running).
    void start(quint16 port = 162);
    void stop();
    bool running() const;

private:
    SNMPService();
    ~SNMPService() override;
    void run() override;
    SNMPServicePrivate* d;
};
