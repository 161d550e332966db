#include "Control.h"

#include <QFile>
#include <QHostAddress>
#include <QPointer>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTextStream>
#include <QTimer>

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

namespace upssim {

static const char* kHelp =
    "Commands (TARGET: all, an address, A-B or a comma list; default all):\n"
    "  list [TARGET]                    one summary line per card\n"
    "  mains fail|ok [TARGET]           mains failure / return (also on|off, on: failure)\n"
    "  overvoltage on|off [TARGET]      input over-voltage (runs on battery)\n"
    "  battlow on|off [TARGET]          force the battery-low state\n"
    "  capacity N [TARGET]              set the battery capacity to N %\n"
    "  load N|auto [TARGET]             fix the output load at N % or let it wander\n"
    "  bypass on|off [TARGET]           output on bypass\n"
    "  output off|on [TARGET]           UPS output switched off / on\n"
    "  silent on|off [TARGET]           stop / resume answering SNMP\n"
    "  slow MS [TARGET]                 delay every answer by MS milliseconds (0: off)\n"
    "  trap N [v1|v2c|inform] [TARGET]  send trap number N now\n"
    "  trap-target HOST:PORT|off        where traps go\n"
    "  trap-kind v1|v2c|inform          kind of trap sent on scenario changes\n"
    "  get POSITION|OID [TARGET]        value of one object\n"
    "  sets [TARGET]                    SET requests the cards accepted\n"
    "  commands [TARGET]                control commands the cards received\n"
    "  stats                            request and trap counters\n"
    "  at SECONDS COMMAND...            run COMMAND after SECONDS seconds\n"
    "  help, quit";

Control::Control(Fleet* fleet, SnmpAgent* agent, QObject* parent)
    : QObject(parent), m_fleet(fleet), m_agent(agent)
{
}

static bool onOff(const QString& w, bool* out)
{
    if (w == QLatin1String("on") || w == QLatin1String("fail") || w == QLatin1String("off-line")) {
        *out = true;
        return true;
    }
    if (w == QLatin1String("off") || w == QLatin1String("ok") || w == QLatin1String("restore")) {
        *out = false;
        return true;
    }
    return false;
}

static int trapKindOf(const QString& w)
{
    if (w == QLatin1String("v1"))
        return 1;
    if (w == QLatin1String("v2c") || w == QLatin1String("v2"))
        return 2;
    if (w == QLatin1String("inform"))
        return 3;
    return 0;
}

QString Control::execute(const QString& line)
{
    QString text = line.trimmed();
    if (text.isEmpty() || text.startsWith('#'))
        return QStringLiteral("OK");
    const QStringList words = text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    QMutexLocker lock(&m_fleet->mutex());
    bool ok = true;
    const QString out = run(words, &ok);
    if (!ok)
        return QStringLiteral("ERR ") + out;
    return out.isEmpty() ? QStringLiteral("OK") : out + QStringLiteral("\nOK");
}

QString Control::run(const QStringList& w, bool* ok)
{
    const QString cmd = w[0].toLower();
    auto err = [&](const QString& m) {
        *ok = false;
        return m;
    };
    QVector<Card*> cards;
    QString error;
    auto target = [&](int index) {
        return m_fleet->select(w.size() > index ? w.mid(index).join(',') : QStringLiteral("all"), &cards, &error);
    };
    const qint64 now = Fleet::nowMs();

    if (cmd == QLatin1String("help"))
        return QString::fromLatin1(kHelp);
    if (cmd == QLatin1String("list") || cmd == QLatin1String("status")) {
        if (!target(1))
            return err(error);
        QStringList lines;
        for (Card* c : cards)
            lines << c->summary(now);
        return lines.join('\n');
    }
    if (cmd == QLatin1String("stats")) {
        const AgentStats& s = m_agent->stats();
        return QStringLiteral("packets=%1 answered=%2 dropped=%3 bad-community=%4 unknown-card=%5 silent-drops=%6 "
                              "traps=%7 informs=%8 informs-acked=%9 informs-failed=%10 malformed=%11")
            .arg(s.requests).arg(s.answered).arg(s.dropped).arg(s.badCommunity).arg(s.unknownCard)
            .arg(s.silentDrops).arg(s.trapsSent).arg(s.informsSent).arg(s.informsAcked).arg(s.informsFailed)
            .arg(qulonglong(snmp_get_statistic(STAT_SNMPINASNPARSEERRS)));
    }
    if (cmd == QLatin1String("at")) {
        bool numOk = false;
        const double seconds = w.value(1).toDouble(&numOk);
        if (!numOk || seconds < 0 || w.size() < 3)
            return err(QStringLiteral("usage: at SECONDS COMMAND..."));
        const QString later = w.mid(2).join(' ');
        QPointer<Control> self(this);
        QTimer::singleShot(int(seconds * 1000), this, [self, later]() {
            if (self) {
                const QString reply = self->execute(later);
                if (reply.startsWith(QLatin1String("ERR")))
                    qWarning("upssim: scheduled \"%s\": %s", qPrintable(later), qPrintable(reply));
            }
        });
        return QString();
    }
    if (cmd == QLatin1String("trap-target")) {
        if (w.size() != 2)
            return err(QStringLiteral("usage: trap-target HOST:PORT|off"));
        if (w[1] == QLatin1String("off")) {
            m_agent->setTrapTarget(QHostAddress(), 162);
            return QString();
        }
        const int colon = w[1].lastIndexOf(':');
        QHostAddress host(w[1].left(colon));
        bool portOk = false;
        const uint port = w[1].mid(colon + 1).toUInt(&portOk);
        if (colon < 0 || host.protocol() != QAbstractSocket::IPv4Protocol || !portOk || port == 0 || port > 65535)
            return err(QStringLiteral("bad trap target \"%1\"").arg(w[1]));
        m_agent->setTrapTarget(host, quint16(port));
        return QString();
    }
    if (cmd == QLatin1String("trap-kind")) {
        const int kind = trapKindOf(w.value(1));
        if (!kind)
            return err(QStringLiteral("usage: trap-kind v1|v2c|inform"));
        m_agent->setTrapKind(kind);
        return QString();
    }
    if (cmd == QLatin1String("trap")) {
        bool numOk = false;
        const int n = w.value(1).toInt(&numOk);
        if (!numOk || n < 0)
            return err(QStringLiteral("usage: trap N [v1|v2c|inform] [TARGET]"));
        int kind = trapKindOf(w.value(2));
        if (!target(kind ? 3 : 2))
            return err(error);
        if (m_agent->options().trapHost.isNull())
            return err(QStringLiteral("no trap target"));
        int sent = 0;
        for (Card* c : cards)
            sent += m_agent->sendTrap(c, n, kind) ? 1 : 0;
        return QStringLiteral("sent %1").arg(sent);
    }
    if (cmd == QLatin1String("sets") || cmd == QLatin1String("commands")) {
        if (!target(1))
            return err(error);
        QStringList lines;
        for (Card* c : cards)
            for (const QString& l : (cmd == QLatin1String("sets") ? c->setLog() : c->commandLog()))
                lines << c->addressText() + ' ' + l;
        return lines.join('\n');
    }
    if (cmd == QLatin1String("get")) {
        if (w.size() < 2)
            return err(QStringLiteral("usage: get POSITION|OID [TARGET]"));
        if (!target(2))
            return err(error);
        const OidTree& tree = OidTree::instance();
        int entry = -1, row = 0;
        bool isPos = false;
        const int pos = w[1].toInt(&isPos);
        for (int i = 0; i < tree.entries().size(); ++i) {
            const OidEntry& e = tree.entries()[i];
            if (isPos ? e.position == pos : e.text == w[1]) {
                entry = i;
                break;
            }
            if (!isPos && e.column && w[1].startsWith(e.text + '.')) {
                entry = i;
                row = w[1].mid(e.text.size() + 1).toInt();
                break;
            }
        }
        if (entry < 0)
            return err(QStringLiteral("unknown object \"%1\"").arg(w[1]));
        const OidEntry& e = tree.entries()[entry];
        QStringList lines;
        for (Card* c : cards) {
            const int rr = e.column ? (row ? row : 1) : 0;
            if (rr > c->rows())
                continue;
            const Value v = c->value(e.field, rr, now);
            lines << QStringLiteral("%1 %2 %3").arg(c->addressText(), QString::fromLatin1(e.name),
                                                     v.type == ValType::OctetString ? QString::fromUtf8(v.s)
                                                                                    : QString::number(v.i));
        }
        return lines.join('\n');
    }

    // Scenarios
    if (cmd == QLatin1String("capacity") || cmd == QLatin1String("slow") || cmd == QLatin1String("load")) {
        bool numOk = false;
        int n = w.value(1).toInt(&numOk);
        if (cmd == QLatin1String("load") && w.value(1) == QLatin1String("auto")) {
            n = -1;
            numOk = true;
        }
        if (!numOk || (n < 0 && cmd != QLatin1String("load")))
            return err(QStringLiteral("usage: %1 N [TARGET]").arg(cmd));
        if (!target(2))
            return err(error);
        for (Card* c : cards) {
            if (cmd == QLatin1String("capacity"))
                c->setCapacity(n, now);
            else if (cmd == QLatin1String("slow"))
                c->setSlowMs(n);
            else
                c->setLoad(n, now);
        }
        return QString();
    }
    bool flag = false;
    static const QStringList flagCommands = {"mains", "overvoltage", "battlow", "bypass", "output", "silent"};
    if (flagCommands.contains(cmd)) {
        if (w.size() < 2 || !onOff(w[1].toLower(), &flag))
            return err(QStringLiteral("usage: %1 on|off [TARGET]").arg(cmd));
        if (!target(2))
            return err(error);
        for (Card* c : cards) {
            if (cmd == QLatin1String("mains"))
                c->setMainsFailed(flag, now);
            else if (cmd == QLatin1String("overvoltage"))
                c->setOverVoltage(flag, now);
            else if (cmd == QLatin1String("battlow"))
                c->setForcedBatteryLow(flag, now);
            else if (cmd == QLatin1String("bypass"))
                c->setBypass(flag, now);
            else if (cmd == QLatin1String("output"))
                c->setOutputOff(w[1].toLower() == QLatin1String("off"), now);
            else
                c->setSilent(flag);
        }
        return QString();
    }
    return err(QStringLiteral("unknown command \"%1\" (try help)").arg(w[0]));
}

bool Control::listen(const QString& hostPort, QString* error)
{
    const int colon = hostPort.lastIndexOf(':');
    QHostAddress host(colon > 0 ? hostPort.left(colon) : QStringLiteral("127.0.0.1"));
    bool ok = false;
    const uint port = hostPort.mid(colon + 1).toUInt(&ok);
    if (host.isNull() || !ok || port > 65535) {
        *error = QStringLiteral("bad control address \"%1\"").arg(hostPort);
        return false;
    }
    m_server = new QTcpServer(this);
    if (!m_server->listen(host, quint16(port))) {
        *error = QStringLiteral("control port %1: %2").arg(hostPort, m_server->errorString());
        return false;
    }
    connect(m_server, &QTcpServer::newConnection, this, &Control::onConnection);
    return true;
}

quint16 Control::port() const
{
    return m_server ? m_server->serverPort() : 0;
}

void Control::onConnection()
{
    while (QTcpSocket* s = m_server->nextPendingConnection()) {
        connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
        connect(s, &QTcpSocket::readyRead, this, [this, s]() {
            while (s->canReadLine()) {
                const QString line = QString::fromUtf8(s->readLine()).trimmed();
                if (line == QLatin1String("quit") || line == QLatin1String("exit")) {
                    s->write("OK\n");
                    s->disconnectFromHost();
                    return;
                }
                s->write(execute(line).toUtf8() + '\n');
            }
            if (s->bytesAvailable() > 4096) { // no line end in sight: not a control client
                s->abort();
            }
        });
    }
}

bool Control::runScript(const QString& path, QString* error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) {
        *error = QStringLiteral("cannot read script %1").arg(path);
        return false;
    }
    QTextStream in(&f);
    int n = 0;
    while (!in.atEnd()) {
        const QString line = in.readLine();
        ++n;
        const QString reply = execute(line);
        if (reply.startsWith(QLatin1String("ERR"))) {
            *error = QStringLiteral("%1:%2: %3").arg(path).arg(n).arg(reply.mid(4));
            return false;
        }
    }
    return true;
}

bool Control::addFlaky(const QString& kind, const QString& target, int periodS, int downS, QString* error)
{
    QVector<Card*> cards;
    if (!m_fleet->select(target, &cards, error))
        return false;
    if (periodS <= 0 || downS <= 0 || downS >= periodS) {
        *error = QStringLiteral("flaky %1: need 0 < down < period").arg(kind);
        return false;
    }
    auto* timer = new QTimer(this);
    const QVector<Card*> list = cards;
    const bool mains = kind == QLatin1String("mains");
    connect(timer, &QTimer::timeout, this, [list, mains, downS, this]() {
        QMutexLocker lock(&m_fleet->mutex());
        for (Card* c : list) {
            if (mains)
                c->setMainsFailed(true, Fleet::nowMs());
            else
                c->setSilent(true);
        }
        QTimer::singleShot(downS * 1000, this, [list, mains, this]() {
            QMutexLocker lock(&m_fleet->mutex());
            for (Card* c : list) {
                if (mains)
                    c->setMainsFailed(false, Fleet::nowMs());
                else
                    c->setSilent(false);
            }
        });
    });
    timer->start(periodS * 1000);
    return true;
}

} // namespace upssim
