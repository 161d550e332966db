#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QObject>
#include <QPair>
#include <QString>
#include <QStringList>

#include <memory>

class QCommandLineParser;
class QTcpServer;
class QUdpSocket;
class RawDiscoveryResponder;
class CardSession;

// The service side of the simulated cards: the framed command protocol on
// TCP 8712, the UDP multicast discovery responder and the raw-Ethernet
// discovery responder, with switches that make a card misbehave on purpose.
class CardServiceHost : public QObject
{
    Q_OBJECT
public:
    // Switches that make the cards misbehave.
    struct Faults
    {
        int dropBlock = -1;       // leave the answer to this block index unsent ...
        int dropBlockTimes = 1;   // ... this many times (-1: always)
        int rejectBlock = -1;     // answer 00 to this block index
        int closeAtBlock = -1;    // close the connection when this block arrives
        bool rejectStart = false; // answer 00 to ProgramStart
        int backupCloseAfter = -1; // close the connection after this many backup chunks
        int backupEmptyAfter = -1; // answer an empty chunk after this many chunks
        bool garbage = false;     // put stray bytes in front of every answer
        int splitDelayMs = -1;    // send every answer in two parts, this far apart
    };

    struct Options
    {
        quint16 servicePort = 8712;
        bool oldProtocol = false;
        QString versionText;        // overrides the firmware version answer when set
        QString rawIface;           // interface for raw-Ethernet discovery, empty = off
        bool udpDiscovery = true;
        quint16 discoveryPort = 8888;
        QString discoveryFormat = QStringLiteral("prefixed"); // prefixed | plain | short
        QString productName = QStringLiteral("Velmora NMC-2");
        int backupChunk = 1000;
        int backupSize = 4096;      // size of a program nobody uploaded yet
        int installDelayMs = 100;
        int blockDelayMs = 0;       // time a card takes to store a block before acknowledging it
        int logIntervalMs = 200;
        QString serialMode = QStringLiteral("echo"); // echo | modbus
        Faults faults;
    };

    // What one card holds and what it was sent.
    struct Card
    {
        QHostAddress address;
        QByteArray mac; // 6 bytes
        QByteArray ipSettings; // 80 bytes
        qint64 clockOffsetSecs = 0;
        QByteArray ports; // 12 bytes
        QJsonObject fixedParams;
        QMap<int, QByteArray> programs; // type -> image
        QMap<int, QString> versions;    // type -> version text
        QList<QPair<QString, QStringList>> logFiles;
        // Every request frame received, in order (command, payload).
        QList<QPair<quint16, QByteArray>> requests;
        // Image bytes of every ProgramBlock arrival (without sequence byte)
        // and its sequence byte (-1 in the old protocol).
        QList<QPair<int, int>> blockArrivals;
        int uploadsCompleted = 0;
        int rebootCount = 0;
        int connections = 0;
        int discoveryAnswers = 0;
        int rawAnswers = 0;
        bool serialOpen = false;
        QByteArray serialOpenParams;
        int dropsLeft = 0;
        bool dropArmed = false;
    };

    explicit CardServiceHost(QObject* parent = nullptr);
    ~CardServiceHost() override;

    static void addOptions(QCommandLineParser& parser);
    bool start(const QCommandLineParser& parser, const QList<QHostAddress>& cards, QString* error);
    bool start(const Options& options, const QList<QHostAddress>& cards, QString* error);
    static bool parseOptions(const QCommandLineParser& parser, Options* options, QString* error);

    const Options& options() const { return m_options; }
    Options& mutableOptions() { return m_options; }
    int cardCount() const { return m_cards.size(); }
    Card* card(int index) { return m_cards.value(index).get(); }
    Card* card(const QHostAddress& address);
    // Service connections open right now, and the most at any one time.
    int activeSessions() const { return m_activeSessions; }
    int maxActiveSessions() const { return m_maxActiveSessions; }
    // Uploads between an accepted ProgramStart and the finished notice.
    int maxActiveUploads() const { return m_maxActiveUploads; }

    // Discovery answers of a card, as sent.
    QByteArray udpAnswer(const Card& card) const;
    QByteArray rawAnswer(const Card& card, const QByteArray& destMac, const QByteArray& srcMac) const;
    QByteArray descriptionJson(const Card& card) const;

signals:
    void requestReceived(int cardIndex, int cmd);

private:
    friend class CardSession;
    void onNewConnection(int cardIndex);
    void onDiscoveryDatagram();
    void onRawRequest(QByteArray frame);

    Options m_options;
    QList<std::shared_ptr<Card>> m_cards;
    QList<QTcpServer*> m_servers;
    QUdpSocket* m_discovery = nullptr;
    QList<QUdpSocket*> m_answerSockets;
    RawDiscoveryResponder* m_raw = nullptr;
    int m_activeSessions = 0;
    int m_maxActiveSessions = 0;
    int m_activeUploads = 0;
    int m_maxActiveUploads = 0;
};
