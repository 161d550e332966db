#include "CardServiceHost.h"

#include "CardFrame.h"
#include "Crc16Modbus.h"
#include "RawDiscoveryResponder.h"

#include <QCommandLineParser>
#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QNetworkDatagram>
#include <QNetworkInterface>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUdpSocket>
#include <QtEndian>

namespace {

const QByteArray kSignature("\x00\x25\x18", 3);
const quint16 kRawEtherType = 0x88B5;

QByteArray ipField(const QString& text)
{
    QByteArray field = text.toLatin1().left(15);
    field.append(QByteArray(16 - field.size(), '\0'));
    return field;
}

QString macText(const QByteArray& mac)
{
    QStringList parts;
    for (char c : mac)
        parts << QStringLiteral("%1").arg(quint8(c), 2, 16, QLatin1Char('0'));
    return parts.join(QLatin1Char(':'));
}

// Card-side description of a second, internal interface.
const char kUsbName[] = "usb0";
const char kUsbIp[] = "192.168.7.1";
const char kUsbMask[] = "255.255.255.252";

} // namespace

// One TCP connection to a card's service port.
class CardSession : public QObject
{
public:
    CardSession(CardServiceHost* host, int cardIndex, QTcpSocket* socket)
        : QObject(socket), m_host(host), m_index(cardIndex), m_socket(socket), m_parser(70000)
    {
        connect(socket, &QTcpSocket::readyRead, this, [this] { onRead(); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        m_logTimer.setInterval(qMax(1, host->m_options.logIntervalMs));
        ++host->m_activeSessions;
        host->m_maxActiveSessions = qMax(host->m_maxActiveSessions, host->m_activeSessions);
        connect(&m_logTimer, &QTimer::timeout, this, [this] { streamLog(); });
    }

    ~CardSession() override
    {
        --m_host->m_activeSessions;
        setUploadCounted(false);
    }

    void setUploadCounted(bool counted)
    {
        if (counted == m_uploadCounted)
            return;
        m_uploadCounted = counted;
        m_host->m_activeUploads += counted ? 1 : -1;
        m_host->m_maxActiveUploads = qMax(m_host->m_maxActiveUploads, m_host->m_activeUploads);
    }

private:
    CardServiceHost::Card& card() { return *m_host->m_cards[m_index]; }
    const CardServiceHost::Options& opt() const { return m_host->m_options; }
    const CardServiceHost::Faults& faults() const { return m_host->m_options.faults; }

    void onRead()
    {
        const QByteArray data = m_socket->readAll();
        m_parser.feed(data, [this](quint16 cmd, const quint8* payload, int size) {
            handle(cmd, QByteArray(reinterpret_cast<const char*>(payload), size));
        });
    }

    void answer(quint16 cmd, const QByteArray& payload = QByteArray())
    {
        m_out.append(CardFrame::build(cmd, payload));
        pump();
    }

    // Writes queued answers in order; a split answer holds back the ones
    // after it until its second half went out.
    void pump()
    {
        while (!m_splitBusy && !m_out.isEmpty()) {
            const QByteArray frame = m_out.takeFirst();
            if (faults().garbage)
                m_socket->write(QByteArray::fromHex("0102fe55aa"));
            if (faults().splitDelayMs < 0) {
                m_socket->write(frame);
                continue;
            }
            m_socket->write(frame.left(3));
            m_socket->flush();
            m_splitBusy = true;
            QPointer<QTcpSocket> socket(m_socket);
            const QByteArray rest = frame.mid(3);
            QTimer::singleShot(faults().splitDelayMs, this, [this, socket, rest] {
                m_splitBusy = false;
                if (!socket || socket->state() != QAbstractSocket::ConnectedState)
                    return;
                socket->write(rest);
                socket->flush();
                pump();
            });
        }
    }

    void answerByte(quint16 cmd, bool ok) { answer(cmd, QByteArray(1, ok ? '\x01' : '\x00')); }

    void later(int ms, std::function<void()> fn)
    {
        QPointer<QTcpSocket> socket(m_socket);
        QTimer::singleShot(ms, this, [socket, fn] {
            if (socket && socket->state() == QAbstractSocket::ConnectedState)
                fn();
        });
    }

    void closeNow()
    {
        m_socket->abort();
    }

    void handle(quint16 cmd, const QByteArray& payload)
    {
        card().requests.append(qMakePair(cmd, payload));
        emit m_host->requestReceived(m_index, cmd);
        switch (cmd) {
        case CardCmd::ReadVersion: {
            const int type = payload.isEmpty() ? 1 : quint8(payload[0]);
            answer(cmd, card().versions.value(type, card().versions.value(1)).toUtf8());
            break;
        }
        case CardCmd::Reboot:
            ++card().rebootCount;
            later(100, [this] { closeNow(); });
            break;
        case CardCmd::ReadIpSettings:
            answer(cmd, card().ipSettings);
            break;
        case CardCmd::WriteIpSettings:
            if (payload.size() == 80)
                card().ipSettings = payload;
            answerByte(cmd, payload.size() == 80);
            break;
        case CardCmd::ResetIpSettings:
            card().ipSettings = defaultIpSettings(card().address);
            answerByte(cmd, true);
            break;
        case CardCmd::ReadDate:
            answer(cmd, QDateTime::currentDateTime()
                            .addSecs(card().clockOffsetSecs)
                            .toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"))
                            .toLatin1());
            break;
        case CardCmd::SyncDate: {
            const QDateTime t = QDateTime::fromString(QString::fromLatin1(payload), QStringLiteral("yyyy-MM-dd hh:mm:ss"));
            if (t.isValid())
                card().clockOffsetSecs = QDateTime::currentDateTime().secsTo(t);
            answerByte(cmd, t.isValid());
            break;
        }
        case CardCmd::ListLogFiles: {
            QByteArray list;
            for (const auto& file : card().logFiles) {
                const QByteArray name = file.first.toUtf8().left(255);
                list.append(char(name.size()));
                list.append(name);
            }
            answer(cmd, list);
            break;
        }
        case CardCmd::OpenLogFile:
            openLog(QString::fromLocal8Bit(payload));
            break;
        case CardCmd::SerialOpen:
            serialOpen(payload);
            break;
        case CardCmd::SerialSend:
            serialSend(payload);
            break;
        case CardCmd::ReadFixedParams:
            answer(cmd, QJsonDocument(card().fixedParams).toJson(QJsonDocument::Compact));
            break;
        case CardCmd::WriteFixedParams: {
            const QJsonDocument doc = QJsonDocument::fromJson(payload);
            if (doc.isObject())
                card().fixedParams = doc.object();
            answerByte(cmd, doc.isObject());
            break;
        }
        case CardCmd::ReadPorts:
            answer(cmd, card().ports);
            break;
        case CardCmd::WritePorts:
            if (payload.size() == 12)
                card().ports = payload;
            answerByte(cmd, payload.size() == 12);
            break;
        case CardCmd::ProgramStart:
            programStart(payload);
            break;
        case CardCmd::ProgramBlock:
            programBlock(payload);
            break;
        case CardCmd::BackupStart:
            backupStart(payload);
            break;
        case CardCmd::BackupBlock:
            backupBlock();
            break;
        default:
            break; // unknown codes get no answer
        }
    }

    // --- upload -----------------------------------------------------------
    void programStart(const QByteArray& payload)
    {
        m_uploading = false;
        if (payload.size() != 5 || faults().rejectStart || quint8(payload[0]) > 2) {
            answerByte(CardCmd::ProgramStart, false);
            return;
        }
        m_type = quint8(payload[0]);
        m_size = qFromBigEndian<quint32>(reinterpret_cast<const uchar*>(payload.constData() + 1));
        if (m_size == 0) {
            answerByte(CardCmd::ProgramStart, false);
            return;
        }
        m_image.clear();
        m_expectedSeq = 0;
        m_accepted = 0;
        m_lastBlock.clear();
        m_uploading = true;
        setUploadCounted(true);
        card().dropsLeft = faults().dropBlockTimes;
        answerByte(CardCmd::ProgramStart, true);
    }

    void programBlock(const QByteArray& payload)
    {
        if (!m_uploading) {
            card().blockArrivals.append(qMakePair(payload.size(), -1));
            answerByte(CardCmd::ProgramBlock, false);
            return;
        }
        const bool old = opt().oldProtocol;
        int seq = -1;
        QByteArray data = payload;
        if (!old) {
            if (payload.isEmpty()) {
                answerByte(CardCmd::ProgramBlock, false);
                return;
            }
            seq = quint8(payload[0]);
            data = payload.mid(1);
        }
        card().blockArrivals.append(qMakePair(data.size(), seq));

        bool duplicate = false;
        if (!old && seq != m_expectedSeq) {
            if (m_accepted > 0 && seq == quint8(m_expectedSeq - 1) && payload == m_lastBlock) {
                duplicate = true;
            } else {
                m_uploading = false; // out of sequence
                answerByte(CardCmd::ProgramBlock, false);
                return;
            }
        }
        const int index = duplicate ? m_accepted - 1 : m_accepted;
        if (faults().closeAtBlock == index) {
            m_uploading = false;
            closeNow();
            return;
        }
        if (faults().rejectBlock == index) {
            m_uploading = false;
            answerByte(CardCmd::ProgramBlock, false);
            return;
        }
        if (!duplicate) {
            if (data.isEmpty() || data.size() > 1024 || m_image.size() + data.size() > qint64(m_size)) {
                m_uploading = false;
                answerByte(CardCmd::ProgramBlock, false);
                return;
            }
            m_image.append(data);
            ++m_accepted;
            m_expectedSeq = quint8(m_expectedSeq + 1);
            m_lastBlock = payload;
        }
        if (faults().dropBlock == index && card().dropsLeft != 0) {
            if (card().dropsLeft > 0)
                --card().dropsLeft;
            return; // the card "lost" its answer
        }
        if (opt().blockDelayMs > 0)
            later(opt().blockDelayMs, [this] { answerByte(CardCmd::ProgramBlock, true); });
        else
            answerByte(CardCmd::ProgramBlock, true);
        if (!duplicate && m_image.size() == qint64(m_size)) {
            m_uploading = false;
            card().programs[m_type] = m_image;
            ++card().uploadsCompleted;
            const int delay = opt().installDelayMs + opt().blockDelayMs;
            later(delay, [this] { answer(CardCmd::ProgramInstalling); });
            later(2 * delay, [this] {
                setUploadCounted(false);
                answer(CardCmd::ProgramFinished);
            });
        }
    }

    // --- backup -----------------------------------------------------------
    void backupStart(const QByteArray& payload)
    {
        const int type = payload.isEmpty() ? 0 : quint8(payload[0]);
        answer(CardCmd::BackupPreparing);
        if (!card().programs.contains(type)) {
            QByteArray image(opt().backupSize, '\0');
            for (int i = 0; i < image.size(); ++i)
                image[i] = char((i * 7 + type) & 0xFF);
            card().programs[type] = image;
        }
        m_backup = card().programs.value(type);
        m_backupPos = 0;
        m_backupChunks = 0;
        QByteArray size(4, '\0');
        qToBigEndian<quint32>(quint32(m_backup.size()), reinterpret_cast<uchar*>(size.data()));
        answer(CardCmd::BackupStart, size);
    }

    void backupBlock()
    {
        if (faults().backupCloseAfter >= 0 && m_backupChunks >= faults().backupCloseAfter) {
            closeNow();
            return;
        }
        if (faults().backupEmptyAfter >= 0 && m_backupChunks >= faults().backupEmptyAfter) {
            answer(CardCmd::BackupBlock);
            return;
        }
        const QByteArray chunk = m_backup.mid(m_backupPos, qMax(1, opt().backupChunk));
        m_backupPos += chunk.size();
        ++m_backupChunks;
        answer(CardCmd::BackupBlock, chunk);
    }

    // --- logs -------------------------------------------------------------
    void openLog(const QString& name)
    {
        for (const auto& file : card().logFiles) {
            if (file.first == name) {
                m_logName = name;
                m_logLines = file.second;
                m_logTick = 0;
                answerByte(CardCmd::OpenLogFile, true);
                m_logTimer.start();
                return;
            }
        }
        answerByte(CardCmd::OpenLogFile, false);
    }

    void streamLog()
    {
        QString line;
        if (!m_logLines.isEmpty())
            line = m_logLines.takeFirst();
        else
            line = QStringLiteral("[%1] %2: tick %3")
                       .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")))
                       .arg(m_logName)
                       .arg(++m_logTick);
        answer(CardCmd::LogData, line.toUtf8());
    }

    // --- serial port --------------------------------------------------------
    void serialOpen(const QByteArray& payload)
    {
        if (payload.isEmpty()) {
            card().serialOpen = false; // closing is not answered
            return;
        }
        bool ok = payload.size() >= 2;
        const int n = ok ? quint8(payload[1]) : 0;
        ok = ok && n > 0 && payload.size() == 2 + n + 5;
        if (ok) {
            const uchar* idx = reinterpret_cast<const uchar*>(payload.constData()) + 2 + n;
            ok = idx[0] <= 7 && idx[1] <= 3 && idx[2] <= 2 && idx[3] <= 2 && idx[4] <= 1;
        }
        card().serialOpen = ok;
        if (ok)
            card().serialOpenParams = payload;
        answerByte(CardCmd::SerialOpen, ok);
    }

    void serialSend(const QByteArray& payload)
    {
        if (!card().serialOpen || payload.isEmpty()) {
            answerByte(CardCmd::SerialSend, false);
            return;
        }
        answerByte(CardCmd::SerialSend, true);
        QByteArray reply;
        if (opt().serialMode == QLatin1String("modbus"))
            reply = modbusReply(payload);
        else
            reply = payload;
        if (!reply.isEmpty())
            later(20, [this, reply] { answer(CardCmd::SerialData, reply); });
    }

    static QByteArray modbusReply(const QByteArray& request)
    {
        if (request.size() < 4 || !Crc16Modbus::check(request))
            return QByteArray();
        const quint8 addr = quint8(request[0]);
        const quint8 func = quint8(request[1]);
        QByteArray reply;
        reply.append(char(addr));
        if ((func == 3 || func == 4) && request.size() == 8) {
            const int start = (quint8(request[2]) << 8) | quint8(request[3]);
            const int count = (quint8(request[4]) << 8) | quint8(request[5]);
            if (count < 1 || count > 125) {
                reply.append(char(func | 0x80)).append(char(3));
            } else {
                reply.append(char(func)).append(char(count * 2));
                for (int i = 0; i < count; ++i) {
                    const int value = (start + i) & 0xFFFF;
                    reply.append(char(value >> 8)).append(char(value & 0xFF));
                }
            }
        } else if (func == 6 && request.size() == 8) {
            reply = request.left(6);
        } else {
            reply.append(char(func | 0x80)).append(char(1));
        }
        return Crc16Modbus::append(reply);
    }

public:
    static QByteArray defaultIpSettings(const QHostAddress& address)
    {
        const quint32 a = address.toIPv4Address();
        const QHostAddress gateway((a & 0xFFFFFF00u) | 1u);
        QByteArray s;
        s += ipField(address.toString());
        s += ipField(QStringLiteral("255.255.255.0"));
        s += ipField(gateway.toString());
        s += ipField(QStringLiteral("8.8.8.8"));
        s += ipField(QStringLiteral("8.8.4.4"));
        return s;
    }

private:
    CardServiceHost* m_host;
    int m_index;
    QTcpSocket* m_socket;
    CardFrame::Parser m_parser;
    QList<QByteArray> m_out;
    bool m_splitBusy = false;
    bool m_uploadCounted = false;

    bool m_uploading = false;
    int m_type = 0;
    quint32 m_size = 0;
    QByteArray m_image;
    quint8 m_expectedSeq = 0;
    int m_accepted = 0;
    QByteArray m_lastBlock;

    QByteArray m_backup;
    int m_backupPos = 0;
    int m_backupChunks = 0;

    QTimer m_logTimer;
    QString m_logName;
    QStringList m_logLines;
    int m_logTick = 0;
};

CardServiceHost::CardServiceHost(QObject* parent) : QObject(parent) {}

CardServiceHost::~CardServiceHost()
{
    // Sessions count themselves down on the host: end them while it is whole.
    qDeleteAll(m_servers);
    m_servers.clear();
    delete m_raw;
}

void CardServiceHost::addOptions(QCommandLineParser& parser)
{
    parser.addOption({QStringLiteral("service-port"), QStringLiteral("TCP port of the cards' service link (8712)."), QStringLiteral("port"), QStringLiteral("8712")});
    parser.addOption({QStringLiteral("old-protocol"), QStringLiteral("Cards report firmware v1.2.2 (blocks without sequence byte).")});
    parser.addOption({QStringLiteral("card-version"), QStringLiteral("Firmware version text the cards report."), QStringLiteral("text")});
    parser.addOption({QStringLiteral("raw-iface"), QStringLiteral("Answer raw-Ethernet discovery on this interface."), QStringLiteral("iface")});
    parser.addOption({QStringLiteral("no-discovery"), QStringLiteral("Do not answer UDP multicast discovery.")});
    parser.addOption({QStringLiteral("discovery-format"), QStringLiteral("UDP discovery answer: prefixed, plain or short."), QStringLiteral("format"), QStringLiteral("prefixed")});
    parser.addOption({QStringLiteral("product"), QStringLiteral("Product name in discovery answers."), QStringLiteral("name")});
    parser.addOption({QStringLiteral("backup-chunk"), QStringLiteral("Bytes per backup chunk (1000)."), QStringLiteral("n"), QStringLiteral("1000")});
    parser.addOption({QStringLiteral("install-delay"), QStringLiteral("Milliseconds before the installing and finished notices (100)."), QStringLiteral("ms"), QStringLiteral("100")});
    parser.addOption({QStringLiteral("block-delay"), QStringLiteral("Milliseconds a card takes to store each uploaded block (0)."), QStringLiteral("ms"), QStringLiteral("0")});
    parser.addOption({QStringLiteral("serial-mode"), QStringLiteral("Serial port behaviour: echo or modbus."), QStringLiteral("mode"), QStringLiteral("echo")});
    parser.addOption({QStringLiteral("fault"),
                      QStringLiteral("Misbehave: drop-block=N[:times|:all], reject-block=N, close-block=N, reject-start, "
                                     "backup-close=N, backup-empty=N, garbage, split=MS. May be repeated."),
                      QStringLiteral("fault")});
}

bool CardServiceHost::parseOptions(const QCommandLineParser& parser, Options* o, QString* error)
{
    bool ok = true;
    if (parser.isSet(QStringLiteral("service-port"))) {
        o->servicePort = quint16(parser.value(QStringLiteral("service-port")).toUInt(&ok));
        if (!ok || o->servicePort == 0) {
            *error = QStringLiteral("invalid --service-port");
            return false;
        }
    }
    o->oldProtocol = parser.isSet(QStringLiteral("old-protocol"));
    o->versionText = parser.value(QStringLiteral("card-version"));
    o->rawIface = parser.value(QStringLiteral("raw-iface"));
    o->udpDiscovery = !parser.isSet(QStringLiteral("no-discovery"));
    if (parser.isSet(QStringLiteral("discovery-format")))
        o->discoveryFormat = parser.value(QStringLiteral("discovery-format"));
    if (!QStringList{QStringLiteral("prefixed"), QStringLiteral("plain"), QStringLiteral("short")}.contains(o->discoveryFormat)) {
        *error = QStringLiteral("invalid --discovery-format");
        return false;
    }
    if (parser.isSet(QStringLiteral("product")))
        o->productName = parser.value(QStringLiteral("product"));
    if (parser.isSet(QStringLiteral("backup-chunk")))
        o->backupChunk = qMax(1, parser.value(QStringLiteral("backup-chunk")).toInt());
    if (parser.isSet(QStringLiteral("install-delay")))
        o->installDelayMs = qMax(0, parser.value(QStringLiteral("install-delay")).toInt());
    if (parser.isSet(QStringLiteral("block-delay")))
        o->blockDelayMs = qMax(0, parser.value(QStringLiteral("block-delay")).toInt());
    if (parser.isSet(QStringLiteral("serial-mode")))
        o->serialMode = parser.value(QStringLiteral("serial-mode"));
    for (const QString& f : parser.values(QStringLiteral("fault"))) {
        const QString key = f.section(QLatin1Char('='), 0, 0);
        const QString value = f.section(QLatin1Char('='), 1);
        const int n = value.section(QLatin1Char(':'), 0, 0).toInt(&ok);
        if (key == QLatin1String("garbage")) {
            o->faults.garbage = true;
        } else if (key == QLatin1String("reject-start")) {
            o->faults.rejectStart = true;
        } else if (!ok) {
            *error = QStringLiteral("invalid --fault %1").arg(f);
            return false;
        } else if (key == QLatin1String("drop-block")) {
            o->faults.dropBlock = n;
            const QString times = value.section(QLatin1Char(':'), 1);
            o->faults.dropBlockTimes = times == QLatin1String("all") ? -1 : (times.isEmpty() ? 1 : times.toInt());
        } else if (key == QLatin1String("reject-block")) {
            o->faults.rejectBlock = n;
        } else if (key == QLatin1String("close-block")) {
            o->faults.closeAtBlock = n;
        } else if (key == QLatin1String("backup-close")) {
            o->faults.backupCloseAfter = n;
        } else if (key == QLatin1String("backup-empty")) {
            o->faults.backupEmptyAfter = n;
        } else if (key == QLatin1String("split")) {
            o->faults.splitDelayMs = n;
        } else {
            *error = QStringLiteral("unknown --fault %1").arg(f);
            return false;
        }
    }
    return true;
}

bool CardServiceHost::start(const QCommandLineParser& parser, const QList<QHostAddress>& cards, QString* error)
{
    Options o;
    if (!parseOptions(parser, &o, error))
        return false;
    return start(o, cards, error);
}

bool CardServiceHost::start(const Options& options, const QList<QHostAddress>& cards, QString* error)
{
    m_options = options;
    for (int i = 0; i < cards.size(); ++i) {
        auto card = std::make_shared<Card>();
        card->address = cards[i];
        const quint32 a = cards[i].toIPv4Address();
        card->mac = QByteArray::fromHex("02a0");
        card->mac.append(char(a >> 24)).append(char(a >> 16)).append(char(a >> 8)).append(char(a));
        card->ipSettings = CardSession::defaultIpSettings(cards[i]);
        card->ports = QByteArray::fromHex("0100160000170100500101BB");
        card->fixedParams = QJsonObject{{QStringLiteral("devserial"), QStringLiteral("VM%1").arg(a & 0xFFFF, 6, 10, QLatin1Char('0'))},
                                        {QStringLiteral("ethaddr"), macText(card->mac)},
                                        {QStringLiteral("name"), QStringLiteral("UPS card %1").arg(cards[i].toString())}};
        const QString fw = !options.versionText.isEmpty() ? options.versionText
                           : options.oldProtocol          ? QStringLiteral("v1.2.2 build-20190312")
                                                          : QStringLiteral("v1.3.1 build-20240518");
        card->versions[0] = QStringLiteral("v2.4.0 app-20240518");
        card->versions[1] = fw;
        card->versions[2] = QStringLiteral("v1.0.7 patch-20240601");
        card->logFiles << qMakePair(QStringLiteral("a.log"), QStringList{QStringLiteral("a.log opened"), QStringLiteral("line <2> & \"quoted\"")})
                       << qMakePair(QStringLiteral("sys.log"), QStringList{QStringLiteral("system start"), QStringLiteral("snmp agent ready")});
        m_cards.append(card);

        auto* server = new QTcpServer(this);
        // A card whose service port is taken (another simulator on the same
        // addresses) goes without it; the rest of the simulator carries on.
        if (!server->listen(cards[i], options.servicePort))
            qWarning("upssim: cannot listen on %s:%u: %s", qPrintable(cards[i].toString()), options.servicePort,
                     qPrintable(server->errorString()));
        connect(server, &QTcpServer::newConnection, this, [this, i] { onNewConnection(i); });
        m_servers.append(server);

        if (options.udpDiscovery) {
            // Each card answers discovery from its own address.
            auto* answerSocket = new QUdpSocket(this);
            answerSocket->bind(cards[i], 0);
            m_answerSockets.append(answerSocket);
        }
    }

    if (options.udpDiscovery) {
        m_discovery = new QUdpSocket(this);
        const QHostAddress group(QStringLiteral("224.0.0.100"));
        // Bound to the group address: unicast answers to a tool on the same
        // host never land here.
        if (!m_discovery->bind(group, options.discoveryPort, QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint))
            qWarning("upssim: cannot bind discovery port %u: %s", options.discoveryPort,
                     qPrintable(m_discovery->errorString()));
        for (const QNetworkInterface& iface : QNetworkInterface::allInterfaces()) {
            if (!(iface.flags() & QNetworkInterface::IsUp))
                continue;
            if ((iface.flags() & QNetworkInterface::CanMulticast) || (iface.flags() & QNetworkInterface::IsLoopBack))
                m_discovery->joinMulticastGroup(group, iface);
        }
        connect(m_discovery, &QUdpSocket::readyRead, this, &CardServiceHost::onDiscoveryDatagram);
    }

    if (!options.rawIface.isEmpty()) {
        m_raw = new RawDiscoveryResponder(options.rawIface, kRawEtherType);
        QString rawError;
        if (!m_raw->open(&rawError)) {
            *error = rawError;
            delete m_raw;
            m_raw = nullptr;
            return false;
        }
        connect(m_raw, &RawDiscoveryResponder::requestCaptured, this, &CardServiceHost::onRawRequest, Qt::QueuedConnection);
        m_raw->start();
    }
    return true;
}

CardServiceHost::Card* CardServiceHost::card(const QHostAddress& address)
{
    for (auto& c : m_cards)
        if (c->address.isEqual(address))
            return c.get();
    return nullptr;
}

void CardServiceHost::onNewConnection(int cardIndex)
{
    QTcpServer* server = m_servers[cardIndex];
    while (QTcpSocket* socket = server->nextPendingConnection()) {
        ++m_cards[cardIndex]->connections;
        new CardSession(this, cardIndex, socket);
    }
}

QByteArray CardServiceHost::udpAnswer(const Card& card) const
{
    QByteArray a = kSignature;
    if (m_options.discoveryFormat == QLatin1String("short")) {
        a.append(QByteArray(4, '\0'));
        return a;
    }
    const QByteArray name = m_options.productName.toUtf8().left(255);
    a.append(char(name.size()));
    a.append(name);
    const bool prefixed = m_options.discoveryFormat == QLatin1String("prefixed");
    auto record = [&](const QByteArray& ifName, quint32 ip, quint32 mask, const QByteArray& mac) {
        if (prefixed) {
            const int prefix = ifName.size() + 14;
            a.append(char(prefix >> 8)).append(char(prefix & 0xFF));
        }
        a.append(char(ifName.size()));
        a.append(ifName);
        char buf[4];
        qToBigEndian<quint32>(ip, buf);
        a.append(buf, 4);
        qToBigEndian<quint32>(mask, buf);
        a.append(buf, 4);
        if (prefixed)
            a.append(mac);
    };
    record("eth0", card.address.toIPv4Address(), 0xFFFFFF00u, card.mac);
    QByteArray usbMac = card.mac;
    usbMac[0] = char(0x06);
    record(kUsbName, QHostAddress(QString::fromLatin1(kUsbIp)).toIPv4Address(), 0xFFFFFFFCu, usbMac);
    return a;
}

QByteArray CardServiceHost::descriptionJson(const Card& card) const
{
    QByteArray usbMac = card.mac;
    usbMac[0] = char(0x06);
    QJsonObject o;
    o[QStringLiteral("host")] = card.address.toString();
    o[QStringLiteral("product")] = m_options.productName;
    o[QStringLiteral("intfInfo")] = QJsonArray{
        QJsonArray{QStringLiteral("eth0"), card.address.toString(), QStringLiteral("255.255.255.0"), macText(card.mac)},
        QJsonArray{QString::fromLatin1(kUsbName), QString::fromLatin1(kUsbIp), QString::fromLatin1(kUsbMask), macText(usbMac)}};
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

QByteArray CardServiceHost::rawAnswer(const Card& card, const QByteArray& destMac, const QByteArray& srcMac) const
{
    QByteArray f = destMac.left(6);
    f.append(srcMac.left(6));
    f.append(char(kRawEtherType >> 8)).append(char(kRawEtherType & 0xFF));
    f.append(QByteArray("\x00\x00\x00\x01", 4));
    char buf[4];
    qToLittleEndian<quint32>(1, buf);
    f.append(buf, 4);
    const QByteArray json = descriptionJson(card);
    qToLittleEndian<quint32>(quint32(26 + json.size() + 2), buf);
    f.append(buf, 4);
    f.append(json);
    return Crc16Modbus::append(f);
}

void CardServiceHost::onDiscoveryDatagram()
{
    while (m_discovery->hasPendingDatagrams()) {
        const QNetworkDatagram d = m_discovery->receiveDatagram(1500);
        const QByteArray data = d.data();
        if (data.size() < 3 || !data.startsWith(kSignature))
            continue;
        // Answers are themselves signed; a card ignores other cards' answers
        // (they are never sent to the group, but be safe).
        for (int i = 0; i < m_cards.size(); ++i) {
            ++m_cards[i]->discoveryAnswers;
            m_answerSockets[i]->writeDatagram(udpAnswer(*m_cards[i]), d.senderAddress(), m_options.discoveryPort);
        }
    }
}

void CardServiceHost::onRawRequest(QByteArray frame)
{
    if (!m_raw || frame.size() < 28 || !Crc16Modbus::check(frame.left(28)))
        return;
    const quint32 kind = qFromLittleEndian<quint32>(reinterpret_cast<const uchar*>(frame.constData() + 18));
    if (kind != 0)
        return;
    const QByteArray requester = frame.mid(6, 6);
    for (auto& c : m_cards) {
        ++c->rawAnswers;
        m_raw->send(rawAnswer(*c, requester, m_raw->mac()));
    }
}
