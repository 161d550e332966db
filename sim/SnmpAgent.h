#pragma once

// The SNMP side of all cards: one UDP socket on the wildcard address (or a
// given one), requests decoded and answers encoded by net-snmp's session
// layer (v1, v2c and SNMPv3 USM), each answer and each trap sent from the
// address of the card it belongs to (IP_PKTINFO).
//
// Requests are read and answered on a thread of their own that waits on
// that one socket only, so that the cost of a request does not grow with
// the number of other sockets in the process (the cards' service side has
// some per card). Everything it shares with the event-loop thread is
// guarded by the fleet's mutex.

#include "Fleet.h"

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QVector>
#include <atomic>
#include <map>
#include <thread>

struct snmp_pdu;
struct snmp_session;
struct netsnmp_transport_s;

namespace upssim {

struct V3User
{
    QByteArray name;
    int level = 1;            // 1 noAuthNoPriv, 2 authNoPriv, 3 authPriv
    QByteArray authProto;     // "MD5" or "SHA"
    QByteArray authPass;
    QByteArray privProto;     // "DES" or "AES"
    QByteArray privPass;
    bool write = false;

    // "name:level[:auth:authpass[:priv:privpass]][:rw]" with level noauth, auth or priv.
    static bool parse(const QString& text, V3User* out, QString* error);
    static QVector<V3User> defaults();
};

struct AgentOptions
{
    QString bindAddress = QStringLiteral("0.0.0.0");
    quint16 port = 161;
    QByteArray readCommunity = "public";
    QByteArray writeCommunity = "private";
    QVector<V3User> users;
    QByteArray engineId;            // raw bytes; empty: derived default
    // Traps
    QHostAddress trapHost;          // null: no traps
    quint16 trapPort = 162;
    int trapKind = 2;               // 1 v1 trap, 2 v2c trap, 3 v2c inform
    QByteArray trapCommunity = "public";
    int informRetries = 3;
    int informTimeoutMs = 1000;
};

struct AgentStats
{
    quint64 requests = 0, answered = 0, dropped = 0, badCommunity = 0, unknownCard = 0, silentDrops = 0,
            trapsSent = 0, informsSent = 0, informsAcked = 0, informsFailed = 0;
};

class SnmpAgent : public QObject
{
    Q_OBJECT
public:
    SnmpAgent(Fleet* fleet, const AgentOptions& options, QObject* parent = nullptr);
    ~SnmpAgent() override;

    bool start(QString* error);
    const AgentOptions& options() const { return m_options; }
    const AgentStats& stats() const { return m_stats; }
    QString engineIdHex() const;

    void setTrapTarget(const QHostAddress& host, quint16 port);
    void setTrapKind(int kind);
    // Send trap number `trap` from the card now (with the configured kind).
    bool sendTrap(Card* card, int trap, int kind = 0);

    // Library glue (public for the C callbacks).
    int handleMessage(int op, snmp_session* session, snmp_pdu* pdu);
    int preParse(void* transportData, int length);
    void informDone(quint32 cardAddress, bool acked);

private slots:
    void armDelayTimer();
    void flushDelayed();
    void libraryTimeouts();
    void onTrapRaised(upssim::Card* card, int trap);

private:
    void ioLoop();
    Card* cardOf(snmp_pdu* pdu) const;
    snmp_pdu* answer(Card* card, snmp_pdu* request);
    void deliver(Card* card, snmp_pdu* response);
    static void initLibrary();

    Fleet* m_fleet;
    AgentOptions m_options;
    AgentStats m_stats;
    void* m_sess = nullptr;
    netsnmp_transport_s* m_transport = nullptr;
    std::thread m_io;
    std::atomic<bool> m_running{false};
    QTimer m_delayTimer;
    QTimer m_libraryTimer;
    std::multimap<qint64, snmp_pdu*> m_delayed;
    int m_pendingInforms = 0;
};

} // namespace upssim
