#pragma once

#include <QObject>
#include <QString>

class SNMPTrapdPrivate;

// The console's trap receiver: net-snmp sessions listening for SNMPv1 traps,
// SNMPv2 traps and informs; each trap becomes trapReady(ip, code).
class SNMPTrapd : public QObject
{
    Q_OBJECT
public:
    static SNMPTrapd* instance();

    // Opens the listening sessions on `port` (all IPv4 addresses and [::1]).
    // Returns false when a transport or session could not be opened.
    bool startTrapd(quint16 port);
    bool startTrapd();
    void stopTrapd();
    bool isListening() const;
    quint16 port() const;

    // Figures for the tests and the benchmark.
    quint64 trapsReceived() const;

signals:
    void trapReady(QString ip, int trap);

private:
    SNMPTrapd();
    ~SNMPTrapd() override;
    friend class SNMPTrapdPrivate;
    SNMPTrapdPrivate* d;
};
