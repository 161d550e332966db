#pragma once

#include <QList>
#include <QObject>
#include <QString>

struct snmp_session;
struct netsnmp_transport_s;
struct snmp_pdu;

// Receives SNMP traps and informs and turns them into agent events
// (trap number + 1). The sessions are served by the engine thread's loop.
class SNMPTrapd : public QObject
{
    Q_OBJECT
public:
    explicit SNMPTrapd(QObject* parent = nullptr);
    ~SNMPTrapd() override;

    // Opens the listening sessions on "udp:<port>,udp6:[::1]:<port>". The
    // port is system/trap_port, 162 when not set. Returns false when the
    // first transport could not be opened.
    bool startTrapd();
    void stopTrapd();

    int trapPort() const { return m_trapPort; }
    // Overrides the port read from the settings (0 = read the settings).
    void setTrapPort(int port) { m_portOverride = port; }
    int sessionCount() const { return m_sessions.size(); }

    static int trapCallback(int operation, snmp_session* session, int reqid, snmp_pdu* pdu, void* magic);

signals:
    void eventTriggered(QString ip, int type);

public slots:
    void onGotTrapdData(QString host, int trap);

private:
    snmp_session* snmpTrapdInitSession(netsnmp_transport_s* transport);

    int m_trapPort = 162;
    int m_portOverride = 0;
    QList<snmp_session*> m_sessions; // newest first
};
