// upssim as a child process, driven by net-snmp's command-line tools and
// received by snmptrapd. Addresses 127.0.20.0/24, ports 20100-20199.

#include "ConsoleOidMap.h"
#include "OidTree.h"

#include <QHostAddress>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <QtTest>

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

using namespace upssim;

namespace {
const quint16 kSnmpPort = 20161;
const quint16 kTrapPort = 20162;
const quint16 kDeadTrapPort = 20163;
const quint16 kControlPort = 20164;
const quint16 kServicePort = 20165;
const int kCards = 20;          // 127.0.20.1 .. 127.0.20.20, every 4th three-phase
const QString kUps = QStringLiteral("1.3.6.1.4.1.935.1.1.1");
const QString kBattStatus = kUps + ".2.1.1.0";
const QString kInputFail = kUps + ".3.2.5.0";
const QString kOutStatus = kUps + ".4.1.1.0";
const QString kCapacity = kUps + ".2.2.1.0";

QString card(int n) { return QStringLiteral("127.0.20.%1").arg(n); }
QString peer(int n) { return QStringLiteral("%1:%2").arg(card(n)).arg(kSnmpPort); }
}

class TestUpssim : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();

    void answersComeFromTheCardAddress();
    void v1GetPassOfAccessEntries_data();
    void v1GetPassOfAccessEntries();
    void v2cConsolePassReachesEveryField_data();
    void v2cConsolePassReachesEveryField();
    void agentOidsFollowScenarios();
    void v3SecurityLevels_data();
    void v3SecurityLevels();
    void v3Refusals();
    void writableLimitsReadBack_data();
    void writableLimitsReadBack();
    void controlCommandsRecorded();
    void errorStatuses_data();
    void errorStatuses();
    void walkAndGetNext();
    void trapsFromTheCardAddress();
    void informResendLimit();
    void silentAndSlow();
    void malformedPacketsDropped();
    void scriptRanAtStart();

private:
    QString tool(const QString& program, const QStringList& args, int* exitCode = nullptr);
    QString getValue(int n, const QString& oid, const QStringList& extra = {QStringLiteral("-v2c"), QStringLiteral("-cpublic")});
    QString control(const QString& command);
    QString trapLog();

    QTemporaryDir m_dir;
    QProcess m_sim;
    QProcess m_trapd;
    QTcpSocket m_control;
    ConsoleOidMap m_map;
    QByteArray m_trapOut;
};

QString TestUpssim::tool(const QString& program, const QStringList& args, int* exitCode)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("MIBS"), QString());
    env.insert(QStringLiteral("SNMP_PERSISTENT_DIR"), m_dir.filePath(QStringLiteral("persist")));
    env.insert(QStringLiteral("SNMPCONFPATH"), m_dir.filePath(QStringLiteral("conf")));
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    if (!p.waitForFinished(20000)) {
        p.kill();
        p.waitForFinished();
    }
    if (exitCode)
        *exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return QString::fromUtf8(p.readAll());
}

QString TestUpssim::getValue(int n, const QString& oid, const QStringList& extra)
{
    QString out = tool(QStringLiteral("snmpget"), extra + QStringList{"-Oqv", "-t", "2", "-r", "1", peer(n), oid}).trimmed();
    if (out.startsWith('"') && out.endsWith('"'))
        out = out.mid(1, out.size() - 2);
    return out;
}

QString TestUpssim::control(const QString& command)
{
    m_control.write(command.toUtf8() + '\n');
    QStringList lines;
    while (true) {
        while (!m_control.canReadLine())
            if (!m_control.waitForReadyRead(5000))
                return QStringLiteral("ERR no answer");
        const QString line = QString::fromUtf8(m_control.readLine()).trimmed();
        if (line == QLatin1String("OK"))
            return lines.join('\n');
        if (line.startsWith(QLatin1String("ERR")))
            return line;
        lines << line;
    }
}

QString TestUpssim::trapLog()
{
    m_trapOut += m_trapd.readAll();
    return QString::fromUtf8(m_trapOut);
}

void TestUpssim::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QDir().mkpath(m_dir.filePath(QStringLiteral("persist")));
    QDir().mkpath(m_dir.filePath(QStringLiteral("conf")));
    QVERIFY(m_map.load(QStringLiteral(UPS_SOURCE_DIR "/upsconsole/cfg/OidList.xml")));

    // Trap receiver.
    QFile conf(m_dir.filePath(QStringLiteral("snmptrapd.conf")));
    QVERIFY(conf.open(QIODevice::WriteOnly));
    conf.write("disableAuthorization yes\n");
    conf.close();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("MIBS"), QString());
    env.insert(QStringLiteral("SNMP_PERSISTENT_DIR"), m_dir.filePath(QStringLiteral("persist")));
    m_trapd.setProcessEnvironment(env);
    m_trapd.setProcessChannelMode(QProcess::MergedChannels);
    m_trapd.start(QStringLiteral("snmptrapd"), {"-f", "-Lo", "-n", "-On", "-C", "-c", conf.fileName(),
                                                 QStringLiteral("udp:127.0.0.1:%1").arg(kTrapPort)});
    QVERIFY(m_trapd.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(trapLog().contains(QLatin1String("NET-SNMP version")), 10000);

    QFile script(m_dir.filePath(QStringLiteral("start.txt")));
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("# start-up script\ncapacity 42 127.0.20.20\nat 0.2 bypass on 127.0.20.19\n");
    script.close();

    const QString program = QStringLiteral(UPS_BINARY_DIR "/bin/upssim");
    QStringList args{"--first", card(1), "--count", QString::number(kCards), "--port", QString::number(kSnmpPort),
                     "--three-phase-every", "4", "--control", QStringLiteral("127.0.0.1:%1").arg(kControlPort),
                     "--trap-target", QStringLiteral("127.0.0.1:%1").arg(kTrapPort), "--trap-kind", "v2c",
                     "--inform-retries", "1", "--inform-timeout", "300", "--script", script.fileName(),
                     // capacities stay put while the test reads them (the battery model is tested in-process)
                     "--discharge-minutes", "1000000", "--charge-minutes", "1000000"};
    // The cards' service side (when built in) must stay inside this test's ports.
    QProcess help;
    help.start(program, {"--help"});
    QVERIFY(help.waitForFinished(10000));
    const QByteArray helpText = help.readAllStandardOutput();
    if (helpText.contains("--service-port"))
        args << "--service-port" << QString::number(kServicePort);
    if (helpText.contains("--no-discovery"))
        args << "--no-discovery";

    m_sim.setProcessEnvironment(env);
    m_sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_sim.start(program, args);
    QVERIFY2(m_sim.waitForStarted(), qPrintable(m_sim.errorString()));
    QByteArray out;
    QTRY_VERIFY_WITH_TIMEOUT((out += m_sim.readAllStandardOutput()).contains("READY"), 10000);
    m_control.connectToHost(QHostAddress::LocalHost, kControlPort);
    QVERIFY(m_control.waitForConnected(5000));
}

void TestUpssim::cleanupTestCase()
{
    m_control.abort();
    for (QProcess* p : {&m_sim, &m_trapd}) {
        if (p->state() != QProcess::NotRunning) {
            p->terminate();
            if (!p->waitForFinished(5000)) {
                p->kill();
                p->waitForFinished();
            }
        }
    }
}

// A plain socket bound to the wildcard address would answer from
// 127.0.0.1; every answer must come from the address it was sent to.
void TestUpssim::answersComeFromTheCardAddress()
{
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_READ_CONFIGS, 1);
    init_snmp("tst_upssim");
    QUdpSocket sock;
    QVERIFY(sock.bind(QHostAddress(QHostAddress::LocalHost), 0));
    const oid sysName[] = {1, 3, 6, 1, 2, 1, 1, 5, 0};
    for (int n = 1; n <= kCards; ++n) {
        netsnmp_session s;
        snmp_sess_init(&s);
        s.version = SNMP_VERSION_2c;
        s.community = reinterpret_cast<u_char*>(const_cast<char*>("public"));
        s.community_len = 6;
        netsnmp_pdu* pdu = snmp_pdu_create(SNMP_MSG_GET);
        pdu->reqid = 1000 + n;
        pdu->version = SNMP_VERSION_2c;
        pdu->community = static_cast<u_char*>(malloc(6));
        memcpy(pdu->community, "public", 6);
        pdu->community_len = 6;
        snmp_add_null_var(pdu, sysName, OID_LENGTH(sysName));
        size_t size = 2048, offset = 0;
        auto* buf = static_cast<u_char*>(malloc(size));
        QCOMPARE(snmp_build(&buf, &size, &offset, &s, pdu), 0);
        // net-snmp encodes from the end of the buffer backwards
        const QByteArray packet(reinterpret_cast<const char*>(buf + size - offset), int(offset));
        free(buf);
        snmp_free_pdu(pdu);
        QCOMPARE(sock.writeDatagram(packet, QHostAddress(card(n)), kSnmpPort), qint64(packet.size()));
        QTRY_VERIFY_WITH_TIMEOUT(sock.hasPendingDatagrams(), 5000);
        QHostAddress from;
        quint16 fromPort = 0;
        QByteArray reply(int(sock.pendingDatagramSize()), 0);
        sock.readDatagram(reply.data(), reply.size(), &from, &fromPort);
        QCOMPARE(from.toString(), card(n));
        QCOMPARE(fromPort, kSnmpPort);
        QVERIFY(reply.contains(QStringLiteral("ups-20-%1").arg(n).toLatin1()));
    }
}

void TestUpssim::v1GetPassOfAccessEntries_data()
{
    QTest::addColumn<int>("n");
    QTest::newRow("single-phase") << 1;
    QTest::newRow("three-phase") << 4;
}

// The console's v1 pass: one GET of every Access="1" entry.
void TestUpssim::v1GetPassOfAccessEntries()
{
    QFETCH(int, n);
    int code = 0;
    const QString out = tool(QStringLiteral("snmpget"), QStringList{"-v1", "-cpublic", "-On", "-t", "2", peer(n)} + m_map.getList, &code);
    QCOMPARE(code, 0);
    QVERIFY2(!out.contains(QLatin1String("Error")), qPrintable(out));
    const QStringList lines = out.split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), m_map.getList.size());
    for (int i = 0; i < lines.size(); ++i) {
        const QString& oidText = m_map.getList[i];
        QVERIFY(lines[i].startsWith('.' + oidText + " = "));
        const int pos = m_map.oidList.indexOf(oidText);
        const bool text = ConsoleOidMap::isTextPosition(pos);
        QVERIFY2(lines[i].contains(text ? QLatin1String("STRING: ") : QLatin1String("INTEGER: ")), qPrintable(lines[i]));
    }
    QVERIFY(out.contains(QStringLiteral("\"ups-20-%1\"").arg(n)));
    QVERIFY(out.contains('.' + kUps + QStringLiteral(".3.1.1.0 = INTEGER: %1").arg(n % 4 == 0 ? 3 : 1)));
}

void TestUpssim::v2cConsolePassReachesEveryField_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("rows");
    QTest::newRow("single-phase") << 2 << 1;
    QTest::newRow("three-phase") << 8 << 3;
}

// The console's v2c pass: GETBULK(0, 5) from just before position 0 and
// GETBULK(0, size - 3) from just before position 4.
void TestUpssim::v2cConsolePassReachesEveryField()
{
    QFETCH(int, n);
    QFETCH(int, rows);
    auto before = [](const QString& o) { return o.left(o.lastIndexOf('.')); };
    QString out;
    for (const auto& req : {qMakePair(before(m_map.oidList[0]), 5), qMakePair(before(m_map.oidList[4]), m_map.oidList.size() - 3)}) {
        int code = 0;
        out += tool(QStringLiteral("snmpbulkget"), {"-v2c", "-cpublic", "-On", "-Cn0", QStringLiteral("-Cr%1").arg(req.second),
                                                     peer(n), req.first}, &code);
        QCOMPARE(code, 0);
    }
    QSet<QString> reached;
    QStringList badType;
    const QRegularExpression re(QStringLiteral("^\\.([0-9.]+) = (\\w+):"));
    for (const QString& line : out.split('\n', Qt::SkipEmptyParts)) {
        const auto m = re.match(line);
        if (!m.hasMatch())
            continue;
        int row = 0;
        const int pos = m_map.match(m.captured(1), &row);
        if (pos < 0)
            continue;
        reached.insert(QStringLiteral("%1/%2").arg(pos).arg(row));
        if (ConsoleOidMap::hasField(pos) && m.captured(2) != (ConsoleOidMap::isTextPosition(pos) ? "STRING" : "INTEGER"))
            badType << line;
    }
    QVERIFY2(badType.isEmpty(), qPrintable(badType.join('\n')));
    for (int pos = 0; pos < m_map.oidList.size(); ++pos) {
        if (!ConsoleOidMap::hasField(pos))
            continue;
        const bool column = m_map.tableList.contains(m_map.oidList[pos]);
        for (int row = column ? 1 : 0; row <= (column ? rows : 0); ++row)
            QVERIFY2(reached.contains(QStringLiteral("%1/%2").arg(pos).arg(row)),
                     qPrintable(QStringLiteral("position %1 row %2 not reached").arg(pos).arg(row)));
    }
}

// The agent's four OIDs are the console's positions 10, 25, 26 and 13.
void TestUpssim::agentOidsFollowScenarios()
{
    const QStringList v3{"-v3", "-l", "authPriv", "-u", "upsshaaes", "-a", "SHA", "-A", "upsshaaes", "-x", "AES", "-X", "aesprivpass"};
    auto four = [&](const QStringList& auth) {
        int code = 0;
        const QString out = tool(QStringLiteral("snmpget"), auth + QStringList{"-Oqv", "-t", "2", peer(5), kBattStatus, kInputFail, kOutStatus, kCapacity}, &code);
        return out.split('\n', Qt::SkipEmptyParts).join(' ');
    };
    QCOMPARE(four({"-v2c", "-cpublic"}), QStringLiteral("2 0 2 100"));
    QCOMPARE(control(QStringLiteral("mains fail ") + card(5)), QString());
    QCOMPARE(control(QStringLiteral("capacity 18 ") + card(5)), QString());
    QCOMPARE(four({"-v2c", "-cpublic"}), QStringLiteral("3 1 3 18"));
    QCOMPARE(four(v3), QStringLiteral("3 1 3 18"));
    QCOMPARE(getValue(5, m_map.oidList[21]), QStringLiteral("0")); // no input voltage
    QCOMPARE(control(QStringLiteral("mains ok ") + card(5)), QString());
    QCOMPARE(control(QStringLiteral("capacity 90 ") + card(5)), QString());
    QCOMPARE(four(v3), QStringLiteral("2 0 2 90"));
    QCOMPARE(control(QStringLiteral("overvoltage on ") + card(5)), QString());
    QCOMPARE(four({"-v2c", "-cpublic"}), QStringLiteral("2 2 3 90"));
    QCOMPARE(control(QStringLiteral("overvoltage off ") + card(5)), QString());
    QCOMPARE(control(QStringLiteral("bypass on ") + card(5)), QString());
    QCOMPARE(four({"-v1", "-cpublic"}), QStringLiteral("2 0 6 90"));
    QCOMPARE(control(QStringLiteral("bypass off ") + card(5)), QString());
}

void TestUpssim::v3SecurityLevels_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("noAuthNoPriv") << QStringList{"-l", "noAuthNoPriv", "-u", "upsnoauth"};
    QTest::newRow("noAuthNoPriv short name") << QStringList{"-l", "noAuthNoPriv", "-u", "upsuser"};
    QTest::newRow("authNoPriv MD5") << QStringList{"-l", "authNoPriv", "-u", "upsmd5auth", "-a", "MD5", "-A", "upsmd5auth"};
    QTest::newRow("authNoPriv SHA") << QStringList{"-l", "authNoPriv", "-u", "upsshaauth", "-a", "SHA", "-A", "upsshaauth"};
    QTest::newRow("authPriv MD5 DES") << QStringList{"-l", "authPriv", "-u", "upsmd5des", "-a", "MD5", "-A", "upsmd5des", "-x", "DES", "-X", "desprivpass"};
    QTest::newRow("authPriv SHA AES") << QStringList{"-l", "authPriv", "-u", "upsshaaes", "-a", "SHA", "-A", "upsshaaes", "-x", "AES", "-X", "aesprivpass"};
}

void TestUpssim::v3SecurityLevels()
{
    QFETCH(QStringList, args);
    QCOMPARE(getValue(6, QStringLiteral("1.3.6.1.2.1.1.5.0"), QStringList{"-v3"} + args), QStringLiteral("ups-20-6"));
    // snmpwalk over v3 as well (discovery, then many requests)
    int code = 0;
    const QString walk = tool(QStringLiteral("snmpwalk"), QStringList{"-v3"} + args + QStringList{"-On", peer(6), kUps + ".2"}, &code);
    QCOMPARE(code, 0);
    QCOMPARE(walk.count('\n'), 10);
}

void TestUpssim::v3Refusals()
{
    int code = 0;
    QString out = tool(QStringLiteral("snmpget"), {"-v3", "-l", "authNoPriv", "-u", "upsshaauth", "-a", "SHA", "-A", "wrongpassword",
                                                    "-t", "1", "-r", "0", peer(6), kCapacity}, &code);
    QVERIFY(code != 0);
    QVERIFY2(out.contains(QLatin1String("Authentication failure")), qPrintable(out));
    out = tool(QStringLiteral("snmpget"), {"-v3", "-l", "noAuthNoPriv", "-u", "upsshaaes", "-t", "1", "-r", "0", peer(6), kCapacity}, &code);
    QVERIFY2(out.contains(QLatin1String("authorizationError")), qPrintable(out));
    out = tool(QStringLiteral("snmpget"), {"-v3", "-l", "noAuthNoPriv", "-u", "nobody", "-t", "1", "-r", "0", peer(6), kCapacity}, &code);
    QVERIFY2(out.contains(QLatin1String("Unknown user name")), qPrintable(out));
    // read-only v3 user may not SET
    out = tool(QStringLiteral("snmpset"), {"-v3", "-l", "authNoPriv", "-u", "upsshaauth", "-a", "SHA", "-A", "upsshaauth", "-t", "1", "-r", "0",
                                            peer(6), m_map.oidList[52], "i", "70"}, &code);
    QVERIFY2(out.contains(QLatin1String("noAccess")), qPrintable(out));
    out = tool(QStringLiteral("snmpset"), {"-v3", "-l", "authPriv", "-u", "upsmd5des", "-a", "MD5", "-A", "upsmd5des", "-x", "DES", "-X", "desprivpass",
                                            peer(6), m_map.oidList[52], "i", "70"}, &code);
    QCOMPARE(code, 0);
    QCOMPARE(getValue(6, m_map.oidList[52]), QStringLiteral("70"));
}

void TestUpssim::writableLimitsReadBack_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("value");
    QTest::newRow("type 4") << 4 << 38 << 2654;
    QTest::newRow("type 5") << 5 << 39 << 1700;
    QTest::newRow("type 6") << 6 << 49 << 2450;
    QTest::newRow("type 7") << 7 << 50 << 1950;
    QTest::newRow("type 8") << 8 << 51 << 50;
    QTest::newRow("type 9") << 9 << 52 << 85;
    QTest::newRow("type 10") << 10 << 53 << 1234;
    QTest::newRow("type 11") << 11 << 54 << 8;
    QTest::newRow("type 15") << 15 << 131 << 38;
    QTest::newRow("type 16") << 16 << 132 << 3;
    QTest::newRow("type 17") << 17 << 133 << 85;
    QTest::newRow("type 18") << 18 << 134 << 15;
}

void TestUpssim::writableLimitsReadBack()
{
    QFETCH(int, position);
    QFETCH(int, value);
    int code = 0;
    const QString out = tool(QStringLiteral("snmpset"), {"-v2c", "-cprivate", "-On", peer(7), m_map.oidList[position], "i", QString::number(value)}, &code);
    QCOMPARE(code, 0);
    QVERIFY2(out.contains(QStringLiteral("INTEGER: %1").arg(value)), qPrintable(out));
    QCOMPARE(getValue(7, m_map.oidList[position]), QString::number(value));
    QCOMPARE(getValue(7, m_map.oidList[position], {"-v1", "-cpublic"}), QString::number(value));
    if (position == 54) // position 44 shows the same limit
        QCOMPARE(getValue(7, m_map.oidList[44]), QString::number(value));
    QVERIFY(control(QStringLiteral("sets ") + card(7)).contains(m_map.oidList[position] + ' '));
}

void TestUpssim::controlCommandsRecorded()
{
    int code = 0;
    tool(QStringLiteral("snmpset"), {"-v2c", "-cprivate", peer(9), m_map.oidList[56], "i", "2"}, &code);
    QCOMPARE(code, 0);
    tool(QStringLiteral("snmpset"), {"-v1", "-cprivate", peer(9), m_map.oidList[60], "i", "1"}, &code);
    QCOMPARE(code, 0);
    tool(QStringLiteral("snmpset"), {"-v2c", "-cprivate", peer(9), m_map.oidList[63], "i", "2"}, &code);
    QCOMPARE(code, 0);
    const QStringList log = control(QStringLiteral("commands ") + card(9)).split('\n');
    QCOMPARE(log.size(), 3);
    QVERIFY(log[0].endsWith(QLatin1String(" 56 upsCommandPowerOff 2")));
    QVERIFY(log[1].endsWith(QLatin1String(" 60 upsCommandBuzzer 1")));
    QVERIFY(log[2].endsWith(QLatin1String(" 63 upsCommandBatterySelfCheck 2")));
    QCOMPARE(getValue(9, kOutStatus), QStringLiteral("8"));   // output switched off
    QCOMPARE(getValue(9, m_map.oidList[43]), QStringLiteral("1")); // buzzer disabled
    QCOMPARE(getValue(9, m_map.oidList[60]), QStringLiteral("1"));
    tool(QStringLiteral("snmpset"), {"-v2c", "-cprivate", peer(9), m_map.oidList[56], "i", "1"}, &code);
    QCOMPARE(getValue(9, kOutStatus), QStringLiteral("2"));
    QVERIFY(trapLog().isEmpty() || true);
}

void TestUpssim::errorStatuses_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("expected");
    const QString cap = kCapacity;
    const QString maxIn = kUps + ".5.1.2.0";
    QTest::newRow("read-only v2c") << QStringList{"snmpset", "-v2c", "-cprivate", cap, "i", "5"} << "notWritable";
    QTest::newRow("read-only v1") << QStringList{"snmpset", "-v1", "-cprivate", cap, "i", "5"} << "noSuchName";
    QTest::newRow("wrong type v2c") << QStringList{"snmpset", "-v2c", "-cprivate", maxIn, "s", "2500"} << "wrongType";
    QTest::newRow("wrong type v1") << QStringList{"snmpset", "-v1", "-cprivate", maxIn, "s", "2500"} << "badValue";
    QTest::newRow("gauge for integer") << QStringList{"snmpset", "-v2c", "-cprivate", maxIn, "u", "2500"} << "wrongType";
    QTest::newRow("out of range") << QStringList{"snmpset", "-v2c", "-cprivate", maxIn, "i", "99999"} << "wrongValue";
    QTest::newRow("bad command value") << QStringList{"snmpset", "-v2c", "-cprivate", kUps + ".6.1.6.0", "i", "3"} << "wrongValue";
    QTest::newRow("read community") << QStringList{"snmpset", "-v2c", "-cpublic", maxIn, "i", "2500"} << "noAccess";
    QTest::newRow("no such object") << QStringList{"snmpset", "-v2c", "-cprivate", kUps + ".99.1.0", "i", "1"} << "noCreation";
    QTest::newRow("wrong community get") << QStringList{"snmpget", "-v2c", "-cnotthisone", cap} << "Timeout";
    QTest::newRow("wrong community set") << QStringList{"snmpset", "-v1", "-cnotthisone", maxIn, "i", "2500"} << "Timeout";
    QTest::newRow("get missing v1") << QStringList{"snmpget", "-v1", "-cpublic", kUps + ".2.2.1.1"} << "noSuchName";
    QTest::newRow("get missing instance v2c") << QStringList{"snmpget", "-v2c", "-cpublic", kUps + ".2.2.1.1"} << "No Such Instance";
    QTest::newRow("get missing object v2c") << QStringList{"snmpget", "-v2c", "-cpublic", kUps + ".99.1.0"} << "No Such Object";
}

void TestUpssim::errorStatuses()
{
    QFETCH(QStringList, args);
    QFETCH(QString, expected);
    const QString program = args.takeFirst();
    const QString oidText = args[2];
    QStringList full = args.mid(0, 2) + QStringList{"-t", "0.5", "-r", "0", peer(10)} + args.mid(2);
    const QString before = getValue(10, oidText);
    const QString out = tool(program, full);
    QVERIFY2(out.contains(expected), qPrintable(out));
    QCOMPARE(getValue(10, oidText), before); // nothing was written
}

void TestUpssim::walkAndGetNext()
{
    for (int n : {11, 12}) {
        int code = 0;
        const QString out = tool(QStringLiteral("snmpwalk"), {"-v2c", "-cpublic", "-On", peer(n), "1.3.6.1"}, &code);
        QCOMPARE(code, 0);
        const int rows = n % 4 == 0 ? 3 : 1;
        QVERIFY(out.contains(QLatin1String("No more variables left")));
        QCOMPARE(out.count('\n') - 1, OidTree::instance().instances(rows).size());
        const QString v1 = tool(QStringLiteral("snmpwalk"), {"-v1", "-cpublic", "-On", peer(n), kUps + ".4.3"}, &code);
        QCOMPARE(code, 0);
        QCOMPARE(v1.count('\n'), 2 + 4 * rows);
    }
    QCOMPARE(tool(QStringLiteral("snmpgetnext"), {"-v2c", "-cpublic", "-On", peer(11), m_map.oidList[9]}).trimmed(),
             '.' + kBattStatus + " = INTEGER: 2");
    QVERIFY(tool(QStringLiteral("snmpgetnext"), {"-v2c", "-cpublic", "-On", peer(11), "1.3.6.1.4.1.936"}).contains(QLatin1String("No more variables")));
    QVERIFY(tool(QStringLiteral("snmpgetnext"), {"-v1", "-cpublic", "-On", peer(11), "1.3.6.1.4.1.936"}).contains(QLatin1String("noSuchName")));
    QVERIFY(tool(QStringLiteral("snmpgetnext"), {"-v2c", "-cpublic", "-On", peer(11), "1.3.6.1.2.1.1.1.0"}).contains(QLatin1String(".1.3.6.1.2.1.1.3.0 = Timeticks")));
    // GETBULK with non-repeaters and two repeaters
    const QString bulk = tool(QStringLiteral("snmpbulkget"), {"-v2c", "-cpublic", "-On", "-Cn1", "-Cr3", peer(11), "1.3.6.1.2.1.1.4.0",
                                                              m_map.oidList[33], m_map.oidList[34]});
    QCOMPARE(bulk.count('\n'), 7);
    QVERIFY(bulk.startsWith(QLatin1String(".1.3.6.1.2.1.1.5.0 = STRING")));
}

void TestUpssim::trapsFromTheCardAddress()
{
    QCOMPARE(control(QStringLiteral("trap 5 v1 ") + card(13)), QStringLiteral("sent 1"));
    QCOMPARE(control(QStringLiteral("trap 7 v2c ") + card(14)), QStringLiteral("sent 1"));
    QCOMPARE(control(QStringLiteral("trap 9 inform ") + card(15)), QStringLiteral("sent 1"));
    QCOMPARE(control(QStringLiteral("mains fail ") + card(16)), QString());
    QTRY_VERIFY_WITH_TIMEOUT(trapLog().contains(QLatin1String("[127.0.20.13]:20161->")), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(trapLog().contains(QLatin1String("[127.0.20.14]:20161->")), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(trapLog().contains(QLatin1String("[127.0.20.15]:20161->")), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(trapLog().contains(QLatin1String("[127.0.20.16]:20161->")), 5000);
    const QStringList entries = trapLog().split(QRegularExpression(QStringLiteral("\\n(?=\\d{4}-\\d\\d-\\d\\d )")));
    auto entryOf = [&](int n) {
        for (const QString& e : entries)
            if (e.contains(QStringLiteral("[%1]:20161->").arg(card(n))))
                return e;
        return QString();
    };
    QVERIFY2(entryOf(13).contains(QLatin1String("TRAP, SNMP v1")), qPrintable(entryOf(13)));
    QVERIFY(entryOf(13).contains(QLatin1String(".1.3.6.1.4.1.935 Enterprise Specific Trap (5)")));
    QVERIFY(entryOf(14).contains(QLatin1String(".1.3.6.1.6.3.1.1.4.1.0 = OID: .1.3.6.1.4.1.935.0.7")));
    QVERIFY(entryOf(15).contains(QLatin1String(".1.3.6.1.6.3.1.1.4.1.0 = OID: .1.3.6.1.4.1.935.0.9")));
    // mains failure: on battery (5), with the status values
    QVERIFY(entryOf(16).contains(QLatin1String(".1.3.6.1.4.1.935.0.5")));
    QVERIFY(entryOf(16).contains('.' + kInputFail + " = INTEGER: 1"));
    QVERIFY(entryOf(16).contains('.' + kOutStatus + " = INTEGER: 3"));
    QTRY_VERIFY_WITH_TIMEOUT(control(QStringLiteral("stats")).contains(QLatin1String("informs-acked=1")), 5000);
    QCOMPARE(control(QStringLiteral("mains ok ") + card(16)), QString());
}

void TestUpssim::informResendLimit()
{
    QUdpSocket manager; // receives but never answers
    QVERIFY(manager.bind(QHostAddress::LocalHost, kDeadTrapPort));
    QCOMPARE(control(QStringLiteral("trap-target 127.0.0.1:%1").arg(kDeadTrapPort)), QString());
    const QString before = control(QStringLiteral("stats"));
    QVERIFY(before.contains(QLatin1String("informs-failed=0")));
    QCOMPARE(control(QStringLiteral("trap 3 inform ") + card(17)), QStringLiteral("sent 1"));
    QTRY_VERIFY_WITH_TIMEOUT(control(QStringLiteral("stats")).contains(QLatin1String("informs-failed=1")), 10000);
    int received = 0;
    QSet<QByteArray> distinct;
    while (manager.hasPendingDatagrams()) {
        QHostAddress from;
        QByteArray d(int(manager.pendingDatagramSize()), 0);
        manager.readDatagram(d.data(), d.size(), &from);
        QCOMPARE(from.toString(), card(17));
        distinct.insert(d);
        ++received;
    }
    QCOMPARE(received, 2);      // first send and one resend (--inform-retries 1)
    QCOMPARE(distinct.size(), 1); // the resend is the same inform
    QCOMPARE(control(QStringLiteral("trap-target 127.0.0.1:%1").arg(kTrapPort)), QString());
}

void TestUpssim::silentAndSlow()
{
    int code = 0;
    QCOMPARE(control(QStringLiteral("silent on ") + card(18)), QString());
    QVERIFY(tool(QStringLiteral("snmpget"), {"-v2c", "-cpublic", "-t", "0.5", "-r", "0", peer(18), kCapacity}, &code).contains(QLatin1String("Timeout")));
    QVERIFY(tool(QStringLiteral("snmpget"), {"-v3", "-l", "noAuthNoPriv", "-u", "upsnoauth", "-t", "0.5", "-r", "0", peer(18), kCapacity}, &code).contains(QLatin1String("Timeout")));
    QCOMPARE(getValue(17, kCapacity), QStringLiteral("100")); // the others keep answering
    QCOMPARE(control(QStringLiteral("silent off ") + card(18)), QString());
    QCOMPARE(getValue(18, kCapacity), QStringLiteral("100"));

    QCOMPARE(control(QStringLiteral("slow 1500 ") + card(18)), QString());
    QVERIFY(tool(QStringLiteral("snmpget"), {"-v2c", "-cpublic", "-t", "0.3", "-r", "0", peer(18), kCapacity}).contains(QLatin1String("Timeout")));
    QCOMPARE(tool(QStringLiteral("snmpget"), {"-v2c", "-cpublic", "-Oqv", "-t", "8", "-r", "0", peer(18), kCapacity}).trimmed(), QStringLiteral("100"));
    QCOMPARE(control(QStringLiteral("slow 0 ") + card(18)), QString());
}

void TestUpssim::malformedPacketsDropped()
{
    QUdpSocket sock;
    QVERIFY(sock.bind(QHostAddress(QHostAddress::LocalHost), 0));
    // A valid v2c GET of sysName.0, then damaged variants of it.
    const QByteArray good = QByteArray::fromHex("302902010104067075626c6963a01c02040000000102010002010030"
                                                "0e300c06082b060102010105000500");
    QList<QByteArray> bad;
    bad << good.left(good.size() / 2);                                   // truncated
    QByteArray v = good; v[4] = 7; bad << v;                             // unknown version
    bad << QByteArray::fromHex("3084ffffffff020101") + QByteArray(40, 'x'); // huge length
    bad << QByteArray::fromHex("30820000");                              // empty sequence
    bad << QByteArray();                                                 // empty datagram
    QByteArray junk(700, 0);
    quint32 x = 12345;
    for (char& c : junk) { x = x * 1103515245u + 12345u; c = char(x >> 24); }
    bad << junk;                                                         // random bytes
    QByteArray nested = QByteArray::fromHex("30") + QByteArray(1, char(0x7f));
    for (int i = 0; i < 60; ++i) nested += QByteArray::fromHex("307d");
    bad << nested;                                                       // deep nesting
    for (const QByteArray& b : bad)
        sock.writeDatagram(b, QHostAddress(card(19)), kSnmpPort);
    sock.writeDatagram(good, QHostAddress(card(19)), kSnmpPort);
    QTRY_VERIFY_WITH_TIMEOUT(sock.hasPendingDatagrams(), 5000);
    QHostAddress from;
    QByteArray reply(int(sock.pendingDatagramSize()), 0);
    sock.readDatagram(reply.data(), reply.size(), &from);
    QVERIFY(reply.contains("ups-20-19"));
    QTest::qWait(200);
    QVERIFY(!sock.hasPendingDatagrams()); // nothing answered the damaged ones
    // Randomly damaged copies of a v2c GETBULK and a v3 discovery request.
    const QByteArray bulk = QByteArray::fromHex("302c02010104067075626c6963a51f0204000000070201000201"
                                                "143011300f060b2b06010401872701010101010500");
    const QByteArray v3 = QByteArray::fromHex("303e020103301102044ba1b05b020300ffe3040104020103041030"
                                              "0e0400020100020100040004000400301404000400a00e02045089"
                                              "b1f6020100020100300000");
    for (int i = 0; i < 400; ++i) {
        QByteArray m = (i % 2) ? bulk : v3;
        const int flips = 1 + int((x = x * 1103515245u + 12345u) >> 28);
        for (int f = 0; f < flips; ++f) {
            x = x * 1103515245u + 12345u;
            m[int((x >> 8) % quint32(m.size()))] = char(x >> 24);
        }
        if (i % 7 == 0)
            m.truncate(int((x >> 4) % quint32(m.size())));
        sock.writeDatagram(m, QHostAddress(card(19)), kSnmpPort);
    }
    QTest::qWait(300);
    while (sock.hasPendingDatagrams()) // some damaged copies are still valid requests
        sock.readDatagram(nullptr, 0);
    QCOMPARE(getValue(19, QStringLiteral("1.3.6.1.2.1.1.5.0")), QStringLiteral("ups-20-19"));
    QCOMPARE(getValue(20, QStringLiteral("1.3.6.1.2.1.1.5.0")), QStringLiteral("ups-20-20"));
    QCOMPARE(getValue(20, QStringLiteral("1.3.6.1.2.1.1.5.0"), {"-v3", "-l", "noAuthNoPriv", "-u", "upsuser"}), QStringLiteral("ups-20-20"));
    QVERIFY(m_sim.state() == QProcess::Running);
}

void TestUpssim::scriptRanAtStart()
{
    QCOMPARE(getValue(20, kCapacity).toInt(), 42);
    QTRY_COMPARE_WITH_TIMEOUT(getValue(19, kOutStatus), QStringLiteral("6"), 5000);
    QVERIFY(control(QStringLiteral("list ") + card(20)).contains(QLatin1String("cap=42")));
    QVERIFY(control(QStringLiteral("frobnicate")).startsWith(QLatin1String("ERR")));
    QVERIFY(control(QStringLiteral("mains fail 10.0.0.1")).startsWith(QLatin1String("ERR no card")));
}

QTEST_GUILESS_MAIN(TestUpssim)
#include "tst_upssim.moc"
