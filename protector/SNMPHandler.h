#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

struct snmp_pdu;
struct snmp_session;

// Relay from net-snmp's callbacks (engine thread) to Qt signals. Belongs to
// the GUI thread (created there first), so its signals are queued across.
class SNMPHandler : public QObject
{
    Q_OBJECT
public:
    static SNMPHandler* instance();

    // The four status bytes of a reply (battery status, input line, output
    // status, capacity), zero for absent variables.
    static QByteArray decodeStatus(const snmp_pdu* pdu);
    // Trap number of a v1 trap, v2 trap or inform; -1 when there is none.
    static long trapNumber(const snmp_pdu* pdu);

    // Called by the polling sessions' callback for each received reply.
    void onResponse(const snmp_session* session, const snmp_pdu* pdu);
    // Called by the trap sessions' callback.
    void onTrap(const QString& host, const snmp_pdu* pdu);

signals:
    void gotSessionData(QString host, QByteArray data);
    void gotTrapdData(QString host, int trap);

private:
    SNMPHandler() = default;
};
