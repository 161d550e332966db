// Host monitoring over SNMP v2c and v3 against Debian's snmpd, and the trap
// receiver fed by snmptrap/snmpinform, all on 127.0.22.x.
#include "TestSupport.h"

#include "AgentDatabase.h"
#include "SNMP.h"
#include "SNMPHandler.h"
#include "SNMPManage.h"
#include "SNMPTrapd.h"
#include "SnmpLock.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <QSignalSpy>
#include <QSqlQuery>
#include <QElapsedTimer>
#include <QUdpSocket>
#include <QtTest>

#include <atomic>

namespace {
const char kAddress[] = "127.0.22.1";
const int kPort = 22161;

QStringList agentAddresses()
{
    return {"127.0.22.1:22161", "127.0.22.2:22162", "127.0.22.3:22163", "127.0.22.5:22165", "127.0.22.6:22166",
            "127.0.22.4:22164", "127.0.22.4:22167"};
}

SNMPInfo v2Host(const QString& ip, int port)
{
    SNMPInfo info;
    info.ip = ip;
    info.port = port;
    info.version = 0;
    info.community = "public";
    return info;
}

SNMPInfo v3Host(const QString& ip, int port, const QString& user, const QString& password, int auth, int priv)
{
    SNMPInfo info;
    info.ip = ip;
    info.port = port;
    info.version = 1;
    info.userName = user;
    info.password = password;
    info.authType = auth;
    info.privType = priv;
    return info;
}

int runTool(const QString& program, const QStringList& args)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("MIBS", "");
    process.setProcessEnvironment(env);
    process.start(program, args);
    if (!process.waitForFinished(10000))
        return -1;
    return process.exitCode();
}
} // namespace

class TestEngine : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void v2cHostStates();
    void v3Hosts_data();
    void v3Hosts();
    void securityLevels_data();
    void securityLevels();
    void silentV3HostDoesNotStall();
    void twoHostsOnOneIp();
    void lateReplyForRemovedHost();
    void decodeMissingCapacity();
    void traps();
    void trapPortInUse();

private:
    QTemporaryDir m_persist;
    SnmpdPeer m_snmpd;
};

void TestEngine::initTestCase()
{
    qputenv("SNMP_PERSISTENT_DIR", m_persist.path().toLocal8Bit());
    qputenv("MIBS", "");
    // Keep the library initialised across the engines of the test cases.
    SnmpLock::acquireLibrary();
    QVERIFY(m_snmpd.start(kAddress, kPort, SnmpdValues(),
                          {"createUser upsuser01 MD5 upsuser01 DES privpass01",
                           "createUser upsuser02 SHA upsuser02 AES privpass02",
                           "createUser upsuser03 MD5 upsuser03", "createUser user007",
                           "rouser upsuser01 priv", "rouser upsuser02 priv", "rouser upsuser03 auth",
                           "rouser user007 noauth"},
                          agentAddresses().join(',')));
}

void TestEngine::cleanupTestCase()
{
    SnmpLock::releaseLibrary();
}

void TestEngine::v2cHostStates()
{
    AgentWorkDir dir;
    QVERIFY(AgentDatabase::createSchema());
    {
        QSqlQuery insert(AgentDatabase::database());
        QVERIFY(insert.exec(QStringLiteral("insert into snmp_session(date, ip, port, version, community) "
                                           "values(1, '%1', %2, 0, 'public')")
                                .arg(kAddress)
                                .arg(kPort)));
        // A host nobody answers for, and a row of an unknown version.
        QVERIFY(insert.exec("insert into snmp_session(date, ip, port, version, community) "
                            "values(1, '127.0.22.9', 22169, 0, 'public')"));
        QVERIFY(insert.exec("insert into snmp_session(date, ip, port, version) values(1, '127.0.22.8', 22168, 7)"));
    }
    std::atomic<qint64> clock{1000000};
    SNMP engine;
    engine.trapd()->setTrapPort(22201);
    engine.manager()->setClock([&clock] { return clock.load(); });
    QCOMPARE(engine.manager()->sessionCount(), 2);
    QSignalSpy events(&engine, &SNMP::eventTriggered);
    QSignalSpy status(&engine, &SNMP::statusChanged);
    QSignalSpy data(&engine, &SNMP::dataReady);
    engine.start();

    const QString host = kAddress;
    QTRY_COMPARE_WITH_TIMEOUT(eventsOf(events, host), QList<int>{1}, 5000);
    QCOMPARE(eventsOf(status, host), QList<int>{1});
    QTRY_VERIFY(!data.isEmpty());
    QCOMPARE(data.first().at(0).toString(), host);
    QCOMPARE(data.first().at(1).toByteArray(), statusBytes(2, 0, 2, 87));

    // Silence: the first tick more than 10 s after the last reply.
    m_snmpd.pause();
    QTest::qWait(1200);
    clock += 10;
    QTest::qWait(1200);
    QCOMPARE(eventsOf(events, host), QList<int>{1});
    clock += 1;
    QTRY_COMPARE_WITH_TIMEOUT(eventsOf(events, host), (QList<int>{1, 0}), 3000);
    QCOMPARE(eventsOf(status, host), (QList<int>{1, 0}));
    // Still silent: the check recurs without further events.
    clock += 11;
    QTest::qWait(1200);
    QCOMPARE(eventsOf(events, host), (QList<int>{1, 0}));

    // It answers again.
    const int repliesBefore = data.count();
    m_snmpd.resume();
    QTRY_COMPARE_WITH_TIMEOUT(eventsOf(events, host), (QList<int>{1, 0, 1}), 5000);
    QCOMPARE(eventsOf(status, host), (QList<int>{1, 0, 1}));
    QTRY_VERIFY(data.count() > repliesBefore);

    // The silent host never produced anything.
    QCOMPARE(eventsOf(events, "127.0.22.9"), QList<int>());
    QCOMPARE(engine.manager()->hostStatus("127.0.22.9:22169"), 0);
    QCOMPARE(engine.manager()->hostStatus(host + ":22161"), 1);
}

void TestEngine::v3Hosts_data()
{
    QTest::addColumn<SNMPInfo>("info");
    QTest::newRow("authPriv MD5/DES") << v3Host("127.0.22.2", 22162, "upsuser01", "privpass01", 0, 0);
    QTest::newRow("authPriv SHA/AES") << v3Host("127.0.22.3", 22163, "upsuser02", "privpass02", 1, 1);
    QTest::newRow("authNoPriv, 8 characters, no password") << v3Host("127.0.22.5", 22165, "upsuser03", "", 0, 0);
    QTest::newRow("noAuthNoPriv, 7 characters") << v3Host("127.0.22.6", 22166, "user007", "whatever1", 1, 1);
}

void TestEngine::v3Hosts()
{
    QFETCH(SNMPInfo, info);
    AgentWorkDir dir;
    SNMP engine;
    engine.trapd()->setTrapPort(22202);
    QSignalSpy events(&engine, &SNMP::eventTriggered);
    QSignalSpy data(&engine, &SNMP::dataReady);
    engine.start();
    engine.addHost(info);
    QTRY_COMPARE_WITH_TIMEOUT(eventsOf(events, info.ip), QList<int>{1}, 8000);
    QTRY_VERIFY(!data.isEmpty());
    QCOMPARE(data.last().at(1).toByteArray(), statusBytes(2, 0, 2, 87));
}

void TestEngine::securityLevels_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<int>("level");
    QTest::newRow("7-character user") << "user007" << "privpass01" << int(SNMP_SEC_LEVEL_NOAUTH);
    QTest::newRow("8 characters, empty password") << "upsuser03" << "" << int(SNMP_SEC_LEVEL_AUTHNOPRIV);
    QTest::newRow("short password") << "upsuser01" << "short" << int(SNMP_SEC_LEVEL_NOAUTH);
    QTest::newRow("authPriv") << "upsuser01" << "privpass01" << int(SNMP_SEC_LEVEL_AUTHPRIV);
}

void TestEngine::securityLevels()
{
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(int, level);
    AgentWorkDir dir;
    SNMPManage manager;
    // The real agent answers, so opening the session (engine ID discovery)
    // is quick whatever the level.
    const SNMPInfo info = v3Host("127.0.22.2", 22162, user, password, 0, 0);
    manager.addHost(info);
    QCOMPARE(manager.securityLevel(info.peer()), level);
    manager.removeHost(info.peer());
    QCOMPARE(manager.sessionCount(), 0);
    QVERIFY(!manager.hasHost(info.peer()));
}

void TestEngine::silentV3HostDoesNotStall()
{
    AgentWorkDir dir;
    SNMP engine;
    engine.trapd()->setTrapPort(22206);
    QSignalSpy events(&engine, &SNMP::eventTriggered);
    engine.start();
    // Nothing answers at 127.0.22.30: its engine ID is never learnt.
    const SNMPInfo dead = v3Host("127.0.22.30", 22230, "upsuser01", "privpass01", 0, 0);
    const SNMPInfo live = v3Host("127.0.22.2", 22162, "upsuser01", "privpass01", 0, 0);
    engine.addHost(dead);
    engine.addHost(live);
    QVERIFY(engine.manager()->discoveryPending(dead.peer()));
    // A poll step does not wait for it (the library's own discovery would
    // block here for its time-out times its retries, six seconds).
    QElapsedTimer step;
    step.start();
    engine.manager()->poll();
    engine.manager()->poll();
    QVERIFY2(step.elapsed() < 3000, qPrintable(QString::number(step.elapsed())));
    // The live host is discovered and polled meanwhile.
    QTRY_COMPARE_WITH_TIMEOUT(eventsOf(events, live.ip), QList<int>{1}, 8000);
    QVERIFY(!engine.manager()->discoveryPending(live.peer()));
    QVERIFY(engine.manager()->discoveryPending(dead.peer()));
    QCOMPARE(eventsOf(events, dead.ip), QList<int>());
    engine.removeHost(dead.peer());
    QCOMPARE(engine.manager()->sessionCount(), 1);
}

void TestEngine::twoHostsOnOneIp()
{
    AgentWorkDir dir;
    SNMP engine;
    engine.trapd()->setTrapPort(22203);
    QSignalSpy events(&engine, &SNMP::eventTriggered);
    engine.start();
    engine.addHost(v2Host("127.0.22.4", 22164));
    engine.addHost(v2Host("127.0.22.4", 22167));
    QCOMPARE(engine.manager()->sessionCount(), 2);
    QTRY_COMPARE_WITH_TIMEOUT(eventsOf(events, "127.0.22.4"), (QList<int>{1, 1}), 5000);
    QCOMPARE(engine.manager()->hostStatus("127.0.22.4:22164"), 1);
    QCOMPARE(engine.manager()->hostStatus("127.0.22.4:22167"), 1);

    // Modifying one of them starts it over as unknown.
    engine.modifyHost(v2Host("127.0.22.4", 22167), v2Host("127.0.22.4", 22164));
    QCOMPARE(engine.manager()->sessionCount(), 2);
    QVERIFY(!engine.manager()->hasHost("127.0.22.4:22164"));
    engine.removeHost("127.0.22.4:22167");
    QCOMPARE(engine.manager()->sessionCount(), 1);
    engine.removeHost("127.0.22.4:22167");
    QCOMPARE(engine.manager()->sessionCount(), 0);
    engine.removeHost("127.0.22.4:9999"); // unknown: nothing happens
}

void TestEngine::lateReplyForRemovedHost()
{
    AgentWorkDir dir;
    SNMPManage manager;
    QSignalSpy events(&manager, &SNMPManage::eventTriggered);
    QSignalSpy status(&manager, &SNMPManage::statusChanged);
    QSignalSpy data(&manager, &SNMPManage::dataReady);
    manager.onGotSessionData("10.9.9.9:161", statusBytes(2, 0, 2, 50));
    QCOMPARE(data.count(), 1);
    QCOMPARE(data.first().at(0).toString(), QStringLiteral("10.9.9.9"));
    QCOMPARE(events.count(), 0);
    QCOMPARE(status.count(), 0);
}

void TestEngine::decodeMissingCapacity()
{
    SnmpLock::Guard guard(SnmpLock::mutex());
    netsnmp_pdu* pdu = snmp_pdu_create(SNMP_MSG_RESPONSE);
    const oid battery[] = {1, 3, 6, 1, 4, 1, 935, 1, 1, 1, 2, 1, 1, 0};
    const oid output[] = {1, 3, 6, 1, 4, 1, 935, 1, 1, 1, 4, 1, 1, 0};
    const oid other[] = {1, 3, 6, 1, 2, 1, 1, 3, 0};
    long value = 0x103; // only the low byte counts
    snmp_pdu_add_variable(pdu, battery, 14, ASN_INTEGER, &value, sizeof(value));
    value = 6;
    snmp_pdu_add_variable(pdu, output, 14, ASN_INTEGER, &value, sizeof(value));
    value = 9;
    snmp_pdu_add_variable(pdu, other, 9, ASN_INTEGER, &value, sizeof(value));
    QCOMPARE(SNMPHandler::decodeStatus(pdu), statusBytes(3, 0, 6, 0));
    snmp_free_pdu(pdu);
}

void TestEngine::traps()
{
    AgentWorkDir dir;
    SNMP engine;
    engine.trapd()->setTrapPort(22204);
    QSignalSpy events(&engine, &SNMP::eventTriggered);
    engine.start();
    QCOMPARE(engine.trapd()->sessionCount(), 2); // IPv4 and IPv6 loopback

    // SNMPv1, specific trap 5, from a card that is not a configured host.
    QCOMPARE(runTool("snmptrap", {"-v1", "-c", "anything", "--clientaddr=127.0.22.20", "127.0.22.1:22204",
                                  ".1.3.6.1.4.1.935", "127.0.22.20", "6", "5", ""}),
             0);
    QTRY_COMPARE_WITH_TIMEOUT(eventsOf(events, "127.0.22.20"), QList<int>{6}, 5000);

    // SNMPv2c trap whose snmpTrapOID.0 ends in .12.
    QCOMPARE(runTool("snmptrap", {"-v2c", "-c", "other", "--clientaddr=127.0.22.21", "127.0.22.1:22204", "",
                                  ".1.3.6.1.4.1.935.0.12"}),
             0);
    QTRY_COMPARE_WITH_TIMEOUT(eventsOf(events, "127.0.22.21"), QList<int>{13}, 5000);

    // An inform is answered (snmpinform waits for the response with its
    // request id and fails without it) and reported.
    QCOMPARE(runTool("snmpinform", {"-v2c", "-c", "public", "-t", "2", "-r", "0", "--clientaddr=127.0.22.22",
                                    "127.0.22.1:22204", "", ".1.3.6.1.4.1.935.0.7"}),
             0);
    QTRY_COMPARE_WITH_TIMEOUT(eventsOf(events, "127.0.22.22"), QList<int>{8}, 5000);

    // SNMPv1 specific trap 0 reports event 1.
    QCOMPARE(runTool("snmptrap", {"-v1", "-c", "x", "--clientaddr=127.0.22.23", "127.0.22.1:22204",
                                  ".1.3.6.1.4.1.935", "127.0.22.23", "6", "0", ""}),
             0);
    QTRY_COMPARE_WITH_TIMEOUT(eventsOf(events, "127.0.22.23"), QList<int>{1}, 5000);

    // Over IPv6 loopback.
    if (runTool("snmptrap", {"-v2c", "-c", "x", "udp6:[::1]:22204", "", ".1.3.6.1.4.1.935.0.30"}) == 0)
        QTRY_COMPARE_WITH_TIMEOUT(eventsOf(events, "::1"), QList<int>{31}, 5000);
}

void TestEngine::trapPortInUse()
{
    AgentWorkDir dir;
    QUdpSocket blocker;
    QVERIFY(blocker.bind(QHostAddress::AnyIPv4, 22205));
    LogCatcher log;
    SNMP engine;
    engine.trapd()->setTrapPort(22205);
    QSignalSpy data(&engine, &SNMP::dataReady);
    engine.start();
    QVERIFY(log.contains("Open trapd service failed!\n"));
    QCOMPARE(engine.trapd()->sessionCount(), 0);
    // Polling goes on.
    engine.addHost(v2Host(kAddress, kPort));
    QTRY_VERIFY_WITH_TIMEOUT(!data.isEmpty(), 5000);
}

QTEST_MAIN(TestEngine)
#include "test_engine.moc"
