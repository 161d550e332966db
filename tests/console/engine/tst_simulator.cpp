// The engine against the project's card simulator: cards on loopback
// addresses, the shipped OidList.xml, scenarios driven over the simulator's
// control port (mains failure, silence, traps) and a three-phase card.

#include "EngineFixture.h"

#include "SNMP.h"
#include "SNMPTrapd.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTest>

using namespace EngineFixture;

namespace {
const quint16 kAgentPort = 21040;
const quint16 kTrapPort = 21041;
const quint16 kControlPort = 21042;
const QStringList kCards = {"127.0.21.40", "127.0.21.41", "127.0.21.42"};
} // namespace

class TestSimulator : public QObject
{
    Q_OBJECT

    QProcess m_sim;
    std::unique_ptr<AppDir> m_app;

    QString control(const QString& line)
    {
        QTcpSocket s;
        s.connectToHost(QStringLiteral("127.0.0.1"), kControlPort);
        if (!s.waitForConnected(3000))
            return QStringLiteral("ERR no connection");
        s.write(line.toUtf8() + '\n');
        s.waitForBytesWritten(1000);
        QByteArray reply;
        while (s.waitForReadyRead(500))
            reply += s.readAll();
        return QString::fromUtf8(reply).trimmed();
    }

private slots:
    void initTestCase()
    {
        const QString sim = simulatorPath();
        if (sim.isEmpty())
            QSKIP("upssim has not been built");
        m_sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_sim.start(sim, {"--cards", kCards.join(','), "--port", QString::number(kAgentPort), "--three-phase",
                          "127.0.21.42", "--trap-target", QStringLiteral("127.0.0.1:%1").arg(kTrapPort),
                          "--control", QStringLiteral("127.0.0.1:%1").arg(kControlPort), "--quiet"});
        QVERIFY(m_sim.waitForStarted(5000));
        QByteArray out;
        for (int i = 0; i < 50 && !out.contains("READY"); ++i) {
            m_sim.waitForReadyRead(200);
            out += m_sim.readAllStandardOutput();
        }
        QVERIFY2(out.contains("READY"), out.constData());

        m_app.reset(new AppDir()); // the shipped OidList.xml, written for the simulator's tree
        m_app->setSetting("snmp/snmp_version", 1);
        m_app->setSetting("snmp/polling_cycle", 500);
        m_app->setSetting("snmp/polling_timout", 500);
        m_app->setSetting("snmp/snmp_port", kAgentPort);
        m_app->setSetting("snmp/trap_port", kTrapPort);
        m_app->setSetting("snmp/store_interval", 100000);
        m_app->addDevices(kCards.mid(0, 2), "private", false);
        m_app->addDevices(kCards.mid(2), "private", true);
        SNMP::instance()->start();
    }

    void cleanupTestCase()
    {
        m_app.reset();
        if (m_sim.state() != QProcess::NotRunning) {
            m_sim.terminate();
            if (!m_sim.waitForFinished(5000))
                m_sim.kill();
        }
    }

    void cardsComeOnlineWithTheirValues()
    {
        SNMP* engine = SNMP::instance();
        QVERIFY(engine->oidList().size() > 130);
        for (const QString& ip : kCards)
            QTRY_COMPARE_WITH_TIMEOUT(engine->getState(ip), 1, 10000);
        for (const QString& ip : kCards) {
            // The record is zeroed when the card comes online, so the values
            // of the first answers may need another pass.
            QTRY_VERIFY_WITH_TIMEOUT(qstrlen(engine->getData(ip).ups_model) > 0, 5000);
            QTRY_VERIFY_WITH_TIMEOUT(qstrlen(engine->getData(ip).sys_text0) > 0, 5000);
            const SNMPData d = engine->getData(ip);
            // Positions 0 and 4 are the starts of the two bulk requests.
            QVERIFY(qstrlen(d.sys_text0) > 0);
            QVERIFY(qstrlen(d.sys_name) > 0);
            QCOMPARE(d.batt_status, 2);
            QCOMPARE(d.input_line_fail_reason, 0);
            QVERIFY(d.input_line_vol > 0);
        }
        QTRY_VERIFY_WITH_TIMEOUT(engine->getData("127.0.21.42").tp_input_r_vol > 0, 5000);
        QCOMPARE(engine->stats().responsesRejected, 0ull);
    }

    void threePhaseRowsShareTheDate()
    {
        SNMP* engine = SNMP::instance();
        engine->setStoreInterval(1);
        QMetaObject::invokeMethod(engine, "storeTimeout");
        engine->setStoreInterval(100000);
        QTRY_COMPARE_WITH_TIMEOUT(m_app->count("select count(*) from data"), 3, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(m_app->count("select count(*) from three_phase_data"), 1, 5000);
        QCOMPARE(m_app->count("select count(*) from data d join three_phase_data t on d.device_ip=t.device_ip "
                              "and d.date=t.date where t.device_ip='127.0.21.42'"),
                 1);
        QVERIFY(m_app->count("select input_r_vol from three_phase_data") > 0);
    }

    void mainsFailureIsAnAlarm()
    {
        SNMP* engine = SNMP::instance();
        QVERIFY(!control("mains fail 127.0.21.40").startsWith("ERR"));
        QTRY_COMPARE_WITH_TIMEOUT(engine->getState("127.0.21.40"), 2, 10000);
        QCOMPARE(engine->getState("127.0.21.41"), 1);
        QVERIFY(!control("mains ok 127.0.21.40").startsWith("ERR"));
        QTRY_COMPARE_WITH_TIMEOUT(engine->getState("127.0.21.40"), 1, 10000);
    }

    void silentCardGoesOfflineOnce()
    {
        SNMP* engine = SNMP::instance();
        QVERIFY(!control("silent on 127.0.21.41").startsWith("ERR"));
        QTRY_COMPARE_WITH_TIMEOUT(engine->getState("127.0.21.41"), 0, 10000);
        QTest::qWait(1500);
        engine->flushStatusLog();
        QCOMPARE(m_app->count("select count(*) from status_log where device_ip='127.0.21.41' and status=0"), 1);
        QVERIFY(!control("silent off 127.0.21.41").startsWith("ERR"));
        QTRY_COMPARE_WITH_TIMEOUT(engine->getState("127.0.21.41"), 1, 10000);
        engine->flushStatusLog();
        QCOMPARE(m_app->count("select count(*) from status_log where device_ip='127.0.21.41' and status=1"), 2);
    }

    void trapsFromCards_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("v1") << "v1";
        QTest::newRow("v2c") << "v2c";
        QTest::newRow("inform") << "inform";
    }
    void trapsFromCards()
    {
        QFETCH(QString, kind);
        QSignalSpy traps(SNMPTrapd::instance(), &SNMPTrapd::trapReady);
        const QString reply = control(QStringLiteral("trap 5 %1 127.0.21.42").arg(kind));
        QVERIFY2(reply.contains("sent 1"), qPrintable(reply));
        QTRY_COMPARE_WITH_TIMEOUT(traps.count(), 1, 5000);
        QCOMPARE(traps.first().at(0).toString(), QStringLiteral("127.0.21.42"));
        QCOMPARE(traps.first().at(1).toInt(), 6);
    }

    void setValueReachesTheCard()
    {
        SNMP* engine = SNMP::instance();
        QVERIFY(engine->setValue("127.0.21.40", 8, 1, "45"));
        QTRY_COMPARE_WITH_TIMEOUT(engine->getData("127.0.21.40").ups_temp_alarm, 45, 5000);
        QCOMPARE(m_app->count("select count(*) from set_log where device_ip='127.0.21.40' and type=8 and result=1"), 1);
    }
};

QTEST_GUILESS_MAIN(TestSimulator)
#include "tst_simulator.moc"
