// The trap receiver against net-snmp's snmptrap and snmpinform, over IPv4
// and [::1], with malformed datagrams and a flood of traps.

#include "EngineFixture.h"

#include "SNMP.h"
#include "SNMPTrapd.h"

#include <QHostAddress>
#include <QNetworkDatagram>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>
#include <QUdpSocket>

using namespace EngineFixture;

namespace {
const quint16 kTrapPort = 21500;

QStringList trapArgs(const QString& kind, const QString& target)
{
    const QStringList client = {QStringLiteral("--clientaddr=") +
                                (target.startsWith(QLatin1String("udp6")) ? QStringLiteral("::1")
                                                                          : QStringLiteral("127.0.21.2"))};
    if (kind == QLatin1String("v1"))
        return client + QStringList{"-v1", "-c", "public", target, "1.3.6.1.4.1.99999", "127.0.21.2", "6", "5", ""};
    if (kind == QLatin1String("v2c"))
        return client + QStringList{"-v2c", "-c", "public", target, "", "1.3.6.1.4.1.99999.0.7"};
    // inform: answered, or snmpinform fails with a time-out
    return client + QStringList{"-v2c", "-c", "public", "-t", "2", "-r", "0", target, "", "1.3.6.1.4.1.99999.0.7"};
}
} // namespace

class TestTrapd : public QObject
{
    Q_OBJECT

    std::unique_ptr<AppDir> m_app;

private slots:
    void init()
    {
        m_app.reset(new AppDir(testOidList(10, {}, {})));
        m_app->setSetting("snmp/trap_port", kTrapPort);
        m_app->setSetting("snmp/snmp_port", 21599);
        m_app->setSetting("snmp/polling_cycle", 30000);
    }
    void cleanup() { m_app.reset(); }

    void receivesTrapsAndInforms_data()
    {
        QTest::addColumn<QString>("tool");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("ip");
        QTest::addColumn<int>("code");
        const QString v4 = QStringLiteral("udp:127.0.21.1:%1").arg(kTrapPort);
        const QString v6 = QStringLiteral("udp6:[::1]:%1").arg(kTrapPort);
        QTest::newRow("v1 trap") << "snmptrap" << "v1" << v4 << "127.0.21.2" << 6;
        QTest::newRow("v2c trap") << "snmptrap" << "v2c" << v4 << "127.0.21.2" << 8;
        QTest::newRow("inform") << "snmpinform" << "inform" << v4 << "127.0.21.2" << 8;
        QTest::newRow("v1 trap over ::1") << "snmptrap" << "v1" << v6 << "::1" << 6;
        QTest::newRow("v2c trap over ::1") << "snmptrap" << "v2c" << v6 << "::1" << 8;
        QTest::newRow("inform over ::1") << "snmpinform" << "inform" << v6 << "::1" << 8;
    }
    void receivesTrapsAndInforms()
    {
        QFETCH(QString, tool);
        QFETCH(QString, kind);
        QFETCH(QString, target);
        QFETCH(QString, ip);
        QFETCH(int, code);
        SNMP* engine = SNMP::instance();
        QSignalSpy spy(SNMPTrapd::instance(), &SNMPTrapd::trapReady);
        engine->start();
        QVERIFY(SNMPTrapd::instance()->isListening());
        QCOMPARE(SNMPTrapd::instance()->port(), kTrapPort);
        QByteArray out;
        QCOMPARE(runTool(tool, trapArgs(kind, target), &out), 0);
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, 5000);
        QCOMPARE(spy.first().at(0).toString(), ip);
        QCOMPARE(spy.first().at(1).toInt(), code);
        QTRY_COMPARE_WITH_TIMEOUT(m_app->count(QStringLiteral("select count(*) from status_log where device_ip='%1' "
                                                              "and status=%2")
                                                   .arg(ip)
                                                   .arg(code)),
                                  1, 5000);
    }

    // A v2c trap without snmpTrapOID.0 has no code and is dropped.
    void dropsTrapWithoutTrapOid()
    {
        SNMP* engine = SNMP::instance();
        QSignalSpy spy(SNMPTrapd::instance(), &SNMPTrapd::trapReady);
        engine->start();
        // A v1 trap whose specific number is 4 does arrive afterwards.
        QUdpSocket sock;
        QVERIFY(sock.bind(QHostAddress("127.0.21.3"), 0));
        // v2c trap, community public, varbinds: sysUpTime.0 only.
        const QByteArray noTrapOid = QByteArray::fromHex(
            "302a02010104067075626c6963a71d02010102010002010030123010"
            "06082b060102010103004304000000ff");
        sock.writeDatagram(noTrapOid, QHostAddress("127.0.21.1"), kTrapPort);
        QCOMPARE(runTool("snmptrap", {"-v1", "-c", "public", QStringLiteral("udp:127.0.21.1:%1").arg(kTrapPort),
                                      "1.3.6.1.4.1.99999", "127.0.21.2", "6", "4", ""}),
                 0);
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, 5000);
        QCOMPARE(spy.first().at(1).toInt(), 5);
        QTest::qWait(200);
        QCOMPARE(spy.count(), 1);
    }

    void busyPortIsLoggedAndEngineRuns()
    {
        QUdpSocket holder;
        QVERIFY(holder.bind(QHostAddress::AnyIPv4, kTrapPort));
        QTest::ignoreMessage(QtWarningMsg, "Open trapd service failed!\n");
        SNMP* engine = SNMP::instance();
        engine->start();
        QVERIFY(!SNMPTrapd::instance()->isListening());
        engine->addDevice("127.0.21.9", "public");
        QCOMPARE(engine->deviceCount(), 1);
    }

    void survivesMalformedDatagramsAndFloods()
    {
        SNMP* engine = SNMP::instance();
        QSignalSpy spy(SNMPTrapd::instance(), &SNMPTrapd::trapReady);
        engine->start();

        // Capture one real v2c trap as sent by snmptrap, to replay it.
        QUdpSocket capture;
        QVERIFY(capture.bind(QHostAddress("127.0.21.4"), 21590));
        QCOMPARE(runTool("snmptrap", trapArgs("v2c", "udp:127.0.21.4:21590")), 0);
        QTRY_VERIFY_WITH_TIMEOUT(capture.hasPendingDatagrams(), 5000);
        const QByteArray trap = capture.receiveDatagram().data();
        QVERIFY(trap.size() > 20);

        QUdpSocket sender;
        QVERIFY(sender.bind(QHostAddress("127.0.21.5"), 0));
        const QHostAddress receiver("127.0.21.1");
        QRandomGenerator rng(11);
        QList<QByteArray> bad = {QByteArray(), trap.left(trap.size() / 2), trap.left(trap.size() - 1),
                                 QByteArray(60000, char(0x30)), QByteArray("\x30\x84\x7f\xff\xff\xff\x02\x01", 8)};
        QByteArray junk(512, 0);
        for (int i = 0; i < junk.size(); ++i)
            junk[i] = char(rng.bounded(256));
        bad << junk;
        // Truncate the trap at every length.
        for (int n = 1; n < trap.size(); ++n)
            bad << trap.left(n);
        for (const QByteArray& b : bad)
            sender.writeDatagram(b, receiver, kTrapPort);
        QUdpSocket sender6;
        QVERIFY(sender6.bind(QHostAddress(QHostAddress::LocalHostIPv6), 0));
        for (const QByteArray& b : bad)
            sender6.writeDatagram(b, QHostAddress::LocalHostIPv6, kTrapPort);

        // Then a flood of valid traps: every one arrives and gets its row.
        const int flood = 3000;
        for (int i = 0; i < flood; ++i) {
            sender.writeDatagram(trap, receiver, kTrapPort);
            if (i % 200 == 199)
                QTest::qWait(20);
        }
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), flood, 20000);
        for (const auto& args : spy) {
            QCOMPARE(args.at(0).toString(), QStringLiteral("127.0.21.5"));
            QCOMPARE(args.at(1).toInt(), 8);
        }
        QTRY_COMPARE_WITH_TIMEOUT(m_app->count("select count(*) from status_log where device_ip='127.0.21.5'"),
                                  flood, 10000);
        QCOMPARE(engine->stats().trapsLogged, quint64(flood));
    }
};

QTEST_GUILESS_MAIN(TestTrapd)
#include "tst_trapd.moc"
