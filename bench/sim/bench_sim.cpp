// Measures how many console-sized GETBULK requests per second upssim
// answers and what one request costs it in CPU, beside Debian's snmpd
// serving the same values through "override" lines, in the same run.
//
//   bench_sim [--seconds S] [--window W] [--cards N] [--upssim PATH] [--snmpd PATH]
//
// Addresses 127.0.26.0/24, UDP ports 20500-20509.

#include "Card.h"
#include "OidTree.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>
#include <net-snmp/library/keytools.h>
#include <net-snmp/library/transform_oids.h>

#include <arpa/inet.h>
#include <cstdio>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace upssim;

namespace {

const quint16 kSimPort = 20500;
const quint16 kSnmpdPort = 20501;
int kSimCards = 200;

QByteArray buildBulk(const QVector<oid>& start, int maxRep, long reqid)
{
    netsnmp_session s;
    snmp_sess_init(&s);
    s.version = SNMP_VERSION_2c;
    netsnmp_pdu* pdu = snmp_pdu_create(SNMP_MSG_GETBULK);
    pdu->version = SNMP_VERSION_2c;
    pdu->community = static_cast<u_char*>(malloc(6));
    memcpy(pdu->community, "public", 6);
    pdu->community_len = 6;
    pdu->reqid = reqid;
    pdu->non_repeaters = 0;
    pdu->max_repetitions = maxRep;
    snmp_add_null_var(pdu, start.constData(), size_t(start.size()));
    size_t size = 4096, offset = 0;
    auto* buf = static_cast<u_char*>(malloc(size));
    QByteArray out;
    if (snmp_build(&buf, &size, &offset, &s, pdu) == 0)
        out = QByteArray(reinterpret_cast<const char*>(buf + size - offset), int(offset));
    free(buf);
    snmp_free_pdu(pdu);
    return out;
}

double cpuSeconds(qint64 pid)
{
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray s = f.readAll();
    const QList<QByteArray> parts = s.mid(s.lastIndexOf(')') + 2).split(' ');
    // fields 14 and 15 of the whole line: utime, stime (after ") " they are 12 and 13, 1-based from state)
    const double ticks = parts.value(11).toDouble() + parts.value(12).toDouble();
    return ticks / double(sysconf(_SC_CLK_TCK));
}

struct Result
{
    double reqPerSec = 0;
    double cpuUsPerReq = 0;
    double answerBytes = 0;
    double varbinds = 0;
    quint64 lost = 0;
};

// Closed loop with `window` requests in flight, spread over the targets.
Result run(qint64 serverPid, const QVector<quint32>& targets, quint16 port, const QVector<QByteArray>& requests,
           double seconds, int window)
{
    Result r;
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    int big = 4 << 20;
    setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &big, sizeof(big));
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(0x7f00001a);
    ::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof(local));
    auto sendOne = [&](quint64 i) {
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(port);
        to.sin_addr.s_addr = htonl(targets[int(i % quint64(targets.size()))]);
        const QByteArray& req = requests[int(i % quint64(requests.size()))];
        ::sendto(fd, req.constData(), size_t(req.size()), 0, reinterpret_cast<sockaddr*>(&to), sizeof(to));
    };
    // warm-up; the bindings of the last answer are counted
    double bindingSum = 0;
    int answers = 0;
    for (int i = 0; i < 50; ++i) {
        sendOne(quint64(i));
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 200) > 0) {
            u_char buf[65536];
            const ssize_t n = ::recv(fd, buf, sizeof(buf), 0);
            if (n <= 0)
                continue;
            netsnmp_session s;
            snmp_sess_init(&s);
            netsnmp_pdu* pdu = static_cast<netsnmp_pdu*>(calloc(1, sizeof(netsnmp_pdu)));
            if (snmp_parse(nullptr, &s, pdu, buf, size_t(n)) == 0) {
                int count = 0;
                for (netsnmp_variable_list* v = pdu->variables; v; v = v->next_variable)
                    ++count;
                bindingSum += count;
                ++answers;
            }
            snmp_free_pdu(pdu);
        }
    }
    r.varbinds = answers ? bindingSum / answers : 0;
    const double cpu0 = cpuSeconds(serverPid);
    QElapsedTimer t;
    t.start();
    quint64 sent = 0, received = 0, bytes = 0;
    for (; sent < quint64(window); ++sent)
        sendOne(sent);
    char buf[65536];
    while (t.elapsed() < qint64(seconds * 1000)) {
        pollfd p{fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, 200);
        if (ready <= 0) { // lost answers: refill the window
            r.lost += quint64(window);
            for (int i = 0; i < window; ++i)
                sendOne(sent++);
            continue;
        }
        while (true) {
            const ssize_t n = ::recv(fd, buf, sizeof(buf), MSG_DONTWAIT);
            if (n <= 0)
                break;
            ++received;
            bytes += quint64(n);
            sendOne(sent++);
        }
    }
    const double elapsed = t.elapsed() / 1000.0;
    const double cpu1 = cpuSeconds(serverPid);
    // drain
    QThread::msleep(200);
    while (::recv(fd, buf, sizeof(buf), MSG_DONTWAIT) > 0) {
    }
    ::close(fd);
    r.reqPerSec = received / elapsed;
    r.cpuUsPerReq = received ? (cpu1 - cpu0) * 1e6 / double(received) : 0;
    r.answerBytes = received ? double(bytes) / double(received) : 0;
    return r;
}

struct V3Load
{
    int outstanding = 0;
    quint64 received = 0;
    quint64 bytes = 0;
};

int v3Callback(int op, netsnmp_session*, int, netsnmp_pdu* pdu, void* magic)
{
    auto* load = static_cast<V3Load*>(magic);
    --load->outstanding;
    if (op == NETSNMP_CALLBACK_OP_RECEIVED_MESSAGE && pdu) {
        ++load->received;
        for (netsnmp_variable_list* v = pdu->variables; v; v = v->next_variable)
            load->bytes += 1;
    }
    return 1;
}

// SNMPv3 authPriv (SHA/AES) through net-snmp's own session layer, which does
// the engine discovery, keys and encryption on the client side as well.
Result runV3(qint64 serverPid, const QString& peerName, const QVector<oid>& start, int maxRep,
             const QVector<QVector<oid>>& getOids, double seconds, int window)
{
    Result r;
    netsnmp_session s;
    snmp_sess_init(&s);
    const QByteArray peerText = peerName.toLatin1();
    s.peername = const_cast<char*>(peerText.constData());
    s.version = SNMP_VERSION_3;
    static char user[] = "upsshaaes";
    s.securityName = user;
    s.securityNameLen = strlen(user);
    s.securityLevel = SNMP_SEC_LEVEL_AUTHPRIV;
    s.securityAuthProto = snmp_duplicate_objid(usmHMACSHA1AuthProtocol, USM_AUTH_PROTO_SHA_LEN);
    s.securityAuthProtoLen = USM_AUTH_PROTO_SHA_LEN;
    s.securityAuthKeyLen = USM_AUTH_KU_LEN;
    static u_char authPass[] = "upsshaaes";
    static u_char privPass[] = "aesprivpass";
    if (generate_Ku(s.securityAuthProto, u_int(s.securityAuthProtoLen), authPass, strlen(reinterpret_cast<char*>(authPass)),
                    s.securityAuthKey, &s.securityAuthKeyLen) != SNMPERR_SUCCESS)
        return r;
    s.securityPrivProto = snmp_duplicate_objid(usmAESPrivProtocol, USM_PRIV_PROTO_AES_LEN);
    s.securityPrivProtoLen = USM_PRIV_PROTO_AES_LEN;
    s.securityPrivKeyLen = USM_PRIV_KU_LEN;
    if (generate_Ku(s.securityAuthProto, u_int(s.securityAuthProtoLen), privPass, strlen(reinterpret_cast<char*>(privPass)),
                    s.securityPrivKey, &s.securityPrivKeyLen) != SNMPERR_SUCCESS)
        return r;
    s.timeout = 1000000;
    s.retries = 0;
    void* sp = snmp_sess_open(&s);
    if (!sp)
        return r;
    V3Load load;
    auto sendOne = [&]() {
        netsnmp_pdu* pdu;
        if (getOids.isEmpty()) {
            pdu = snmp_pdu_create(SNMP_MSG_GETBULK);
            pdu->non_repeaters = 0;
            pdu->max_repetitions = maxRep;
            snmp_add_null_var(pdu, start.constData(), size_t(start.size()));
        } else {
            pdu = snmp_pdu_create(SNMP_MSG_GET);
            for (const QVector<oid>& o : getOids)
                snmp_add_null_var(pdu, o.constData(), size_t(o.size()));
        }
        if (snmp_sess_async_send(sp, pdu, v3Callback, &load))
            ++load.outstanding;
        else
            snmp_free_pdu(pdu);
    };
    auto pump = [&](int ms) {
        int fds = 0, block = 0;
        fd_set set;
        FD_ZERO(&set);
        timeval tv{0, ms * 1000};
        snmp_sess_select_info(sp, &fds, &set, &tv, &block);
        tv = timeval{0, ms * 1000};
        if (::select(fds, &set, nullptr, nullptr, &tv) > 0)
            snmp_sess_read(sp, &set);
        else
            snmp_sess_timeout(sp);
    };
    for (int i = 0; i < 20; ++i) { // warm-up
        sendOne();
        while (load.outstanding > 0)
            pump(200);
    }
    load.received = 0;
    load.bytes = 0;
    const double cpu0 = cpuSeconds(serverPid);
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < qint64(seconds * 1000)) {
        while (load.outstanding < window)
            sendOne();
        pump(200);
    }
    const double elapsed = t.elapsed() / 1000.0;
    const double cpu1 = cpuSeconds(serverPid);
    while (load.outstanding > 0)
        pump(200);
    snmp_sess_close(sp);
    r.reqPerSec = load.received / elapsed;
    r.cpuUsPerReq = load.received ? (cpu1 - cpu0) * 1e6 / double(load.received) : 0;
    r.varbinds = load.received ? double(load.bytes) / double(load.received) : 0;
    return r;
}

QString overrideLine(const Instance& in, const Value& v)
{
    const QString oidText = OidTree::format(in.id.constData(), size_t(in.id.size()));
    switch (v.type) {
    case ValType::OctetString: {
        QString s = QString::fromUtf8(v.s);
        s.replace('"', '\'');
        if (s.isEmpty())
            s = QStringLiteral("-");
        return QStringLiteral("override .%1 octet_str \"%2\"").arg(oidText, s);
    }
    case ValType::TimeTicks: return QStringLiteral("override .%1 timeticks %2").arg(oidText).arg(v.i);
    case ValType::IpAddress: return QStringLiteral("override .%1 ipaddress %2.%3.%4.%5").arg(oidText)
                                  .arg((v.i >> 24) & 255).arg((v.i >> 16) & 255).arg((v.i >> 8) & 255).arg(v.i & 255);
    case ValType::Integer: return QStringLiteral("override .%1 integer %2").arg(oidText).arg(v.i);
    }
    return QString();
}

bool waitReady(QProcess& p, const QByteArray& marker, int ms)
{
    QElapsedTimer t;
    t.start();
    QByteArray out;
    while (t.elapsed() < ms) {
        p.waitForReadyRead(100);
        out += p.readAllStandardOutput() + p.readAllStandardError();
        if (marker.isEmpty() ? t.elapsed() > 1500 : out.contains(marker))
            return true;
        if (p.state() == QProcess::NotRunning)
            return false;
    }
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("MIBS", "");
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments();
    double seconds = 3.0;
    int window = 16;
    QString upssim = QStringLiteral(UPS_BIN_DIR "/upssim");
    QString snmpd = QStandardPaths::findExecutable(QStringLiteral("snmpd"), {"/usr/sbin", "/usr/local/sbin"});
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--seconds"))
            seconds = args[i + 1].toDouble();
        else if (args[i] == QLatin1String("--window"))
            window = args[i + 1].toInt();
        else if (args[i] == QLatin1String("--cards"))
            kSimCards = qBound(1, args[i + 1].toInt(), 60000);
        else if (args[i] == QLatin1String("--upssim"))
            upssim = args[i + 1];
        else if (args[i] == QLatin1String("--snmpd"))
            snmpd = args[i + 1];
    }
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_READ_CONFIGS, 1);
    init_snmp("bench_sim");
    QTemporaryDir dir;
    QTextStream out(stdout);

    // The console's two requests: GETBULK(0, 5) from just before position 0,
    // GETBULK(0, size - 3) from just before position 4.
    const OidTree& tree = OidTree::instance();
    const QVector<int> listed = tree.listed();
    QVector<oid> start0 = tree.entries()[listed[0]].id;
    start0.removeLast();
    QVector<oid> start4 = tree.entries()[listed[4]].id;
    start4.removeLast();
    const int bigRep = listed.size() - 3;
    const QVector<QByteArray> small{buildBulk(start0, 5, 11)};
    const QVector<QByteArray> large{buildBulk(start4, bigRep, 12)};
    const QVector<QByteArray> pair{small[0], large[0]};

    // snmpd with the same values of one card (single-phase) as override lines.
    QStringList conf{QStringLiteral("rocommunity public 127.0.0.0/8"), QStringLiteral("sysServices 72"),
                     QStringLiteral("createUser upsshaaes SHA upsshaaes AES aesprivpass"),
                     QStringLiteral("rouser upsshaaes priv"),
                     QStringLiteral("dontLogTCPWrappersConnects yes"),
                     // let snmpd answer the whole walk, as upssim does (its default stops at 100)
                     QStringLiteral("maxGetbulkRepeats 1000"), QStringLiteral("maxGetbulkResponses 1000")};
    Card model(0, 0x7f001a01, false, 0);
    for (const Instance& in : tree.instances(1)) {
        const OidEntry& e = tree.entries()[in.entry];
        if (e.system)
            continue; // snmpd serves its own system group
        conf << overrideLine(in, model.value(e.field, in.row, 0));
    }
    QFile cf(dir.filePath(QStringLiteral("snmpd.conf")));
    cf.open(QIODevice::WriteOnly);
    cf.write(conf.join('\n').toUtf8() + '\n');
    cf.close();

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("MIBS"), QString());
    env.insert(QStringLiteral("SNMP_PERSISTENT_DIR"), dir.filePath(QStringLiteral("persist")));
    env.insert(QStringLiteral("SNMPCONFPATH"), dir.path());
    QDir().mkpath(dir.filePath(QStringLiteral("persist")));

    QProcess sim;
    sim.setProcessEnvironment(env);
    sim.start(upssim, {"--first", "127.0.26.1", "--count", QString::number(kSimCards), "--port", QString::number(kSimPort),
                       "--quiet", "--service-port", "20502", "--no-discovery"});
    if (!waitReady(sim, "READY", 10000)) {
        // without the service side the two service options are unknown
        sim.start(upssim, {"--first", "127.0.26.1", "--count", QString::number(kSimCards), "--port", QString::number(kSimPort), "--quiet"});
        if (!waitReady(sim, "READY", 10000)) {
            fprintf(stderr, "bench_sim: cannot start %s\n", qPrintable(upssim));
            return 1;
        }
    }
    QProcess agent;
    bool haveSnmpd = !snmpd.isEmpty();
    if (haveSnmpd) {
        agent.setProcessEnvironment(env);
        // Logging goes to a file: a full pipe would stall snmpd.
        const QString log = dir.filePath(QStringLiteral("snmpd.log"));
        agent.setStandardOutputFile(QProcess::nullDevice());
        agent.setStandardErrorFile(QProcess::nullDevice());
        agent.start(snmpd, {"-f", "-Lf", log, "-C", "-c", cf.fileName(),
                            "-p", dir.filePath(QStringLiteral("snmpd.pid")), QStringLiteral("udp:127.0.26.250:%1").arg(kSnmpdPort)});
        haveSnmpd = false;
        for (int i = 0; i < 100 && !haveSnmpd && agent.state() != QProcess::NotRunning; ++i) {
            QThread::msleep(100);
            QFile lf(log);
            haveSnmpd = lf.open(QIODevice::ReadOnly) && lf.readAll().contains("NET-SNMP version");
        }
        if (!haveSnmpd)
            fprintf(stderr, "bench_sim: snmpd did not start\n");
    }

    QVector<quint32> simTargets;
    for (int i = 0; i < kSimCards; ++i)
        simTargets << 0x7f001a01u + quint32(i);
    const QVector<quint32> snmpdTargets{0x7f001afau};

    struct Row { QString server, request; Result r; };
    QVector<Row> rows;
    const QVector<QPair<QString, QVector<QByteArray>>> kinds{
        {QStringLiteral("GETBULK 0,5 (first)"), small},
        {QStringLiteral("GETBULK 0,%1 (second)").arg(bigRep), large},
        {QStringLiteral("console pair (both)"), pair}};
    for (const auto& k : kinds) {
        rows.append({QStringLiteral("upssim"), k.first, run(sim.processId(), simTargets, kSimPort, k.second, seconds, window)});
        if (haveSnmpd)
            rows.append({QStringLiteral("snmpd"), k.first, run(agent.processId(), snmpdTargets, kSnmpdPort, k.second, seconds, window)});
    }

    // SNMPv3 authPriv: the agent's GET of four OIDs, and the console-sized GETBULK.
    const QVector<QVector<oid>> agentOids{tree.entry(Field::BattStatus).id, tree.entry(Field::InFailCause).id,
                                          tree.entry(Field::OutStatus).id, tree.entry(Field::BattCapacity).id};
    const QString v3Get = QStringLiteral("v3 authPriv GET 4 (agent)");
    const QString v3Bulk = QStringLiteral("v3 authPriv GETBULK 0,%1").arg(bigRep);
    rows.append({QStringLiteral("upssim"), v3Get, runV3(sim.processId(), QStringLiteral("udp:127.0.26.1:%1").arg(kSimPort), {}, 0, agentOids, seconds, window)});
    if (haveSnmpd)
        rows.append({QStringLiteral("snmpd"), v3Get, runV3(agent.processId(), QStringLiteral("udp:127.0.26.250:%1").arg(kSnmpdPort), {}, 0, agentOids, seconds, window)});
    rows.append({QStringLiteral("upssim"), v3Bulk, runV3(sim.processId(), QStringLiteral("udp:127.0.26.1:%1").arg(kSimPort), start4, bigRep, {}, seconds, window)});
    if (haveSnmpd)
        rows.append({QStringLiteral("snmpd"), v3Bulk, runV3(agent.processId(), QStringLiteral("udp:127.0.26.250:%1").arg(kSnmpdPort), start4, bigRep, {}, seconds, window)});

    out << QStringLiteral("The console's GETBULK requests (v2c) and the agent's GET (v3 authPriv SHA/AES) over loopback, %1 s per row, %2 requests in flight, "
                          "\nupssim with %3 cards, snmpd with %4 override lines\n\n")
               .arg(seconds).arg(window).arg(kSimCards).arg(conf.size() - 7);
    out << QStringLiteral("%1 %2 %3 %4 %5 %6 %7\n")
               .arg(QStringLiteral("server"), -8).arg(QStringLiteral("request"), -28).arg(QStringLiteral("req/s"), 8)
               .arg(QStringLiteral("CPU us/req"), 11).arg(QStringLiteral("1-core req/s"), 13)
               .arg(QStringLiteral("bindings"), 9).arg(QStringLiteral("answer B"), 9);
    out << QString(92, '-') << '\n';
    for (const Row& row : rows)
        out << QStringLiteral("%1 %2 %3 %4 %5 %6 %7\n")
                   .arg(row.server, -8).arg(row.request, -28).arg(row.r.reqPerSec, 8, 'f', 0)
                   .arg(row.r.cpuUsPerReq, 11, 'f', 1)
                   .arg(row.r.cpuUsPerReq > 0 ? 1e6 / row.r.cpuUsPerReq : 0.0, 13, 'f', 0)
                   .arg(row.r.varbinds, 9, 'f', 1)
                   .arg(row.r.answerBytes > 0 ? QString::number(row.r.answerBytes, 'f', 0) : QStringLiteral("-"), 9);
    out << "\nreq/s is bounded by the load generator sharing the machine; CPU us/req is the server's own\n"
           "user+system time per answered request; 1-core req/s = 1e6 / CPU us/req.\n";
    out.flush();

    for (QProcess* p : {&sim, &agent}) {
        if (p->state() != QProcess::NotRunning) {
            p->terminate();
            if (!p->waitForFinished(3000))
                p->kill();
            p->waitForFinished();
        }
    }
    return 0;
}
