// The engine and the main window in this process against cards of the
// project's simulator upssim: SNMPv3 users at every level, a card that goes
// silent and comes back, and the shutdown decisions with two cards of which
// one loses mains. Skipped when upssim has not been built.
#include "TestSupport.h"

#include "AgentDatabase.h"
#include "MainWindow.h"
#include "SNMP.h"
#include "SNMPManage.h"
#include "SNMPTrapd.h"
#include "ShutdownController.h"
#include "SnmpLock.h"

#include <QSignalSpy>
#include <QTableWidget>
#include <QTcpSocket>
#include <QtTest>

#include <atomic>

namespace {
const int kPort = 22270;
const int kControlPort = 22271;

QString card(int i)
{
    return QStringLiteral("127.0.22.%1").arg(70 + i);
}

QString control(const QString& command)
{
    return simulatorControl(kControlPort, command);
}

SNMPInfo host(int i, int version = 0, const QString& user = QString(), const QString& password = QString(),
              int auth = 0, int priv = 0)
{
    SNMPInfo info;
    info.ip = card(i);
    info.port = kPort;
    info.version = version;
    info.community = "public";
    info.userName = user;
    info.password = password;
    info.authType = auth;
    info.privType = priv;
    return info;
}

QStringList systemRows(QTableWidget* table)
{
    QStringList rows;
    for (int row = 0; row < table->rowCount(); ++row)
        if (table->item(row, 1)->text() == QLatin1String("System"))
            rows << table->item(row, 2)->text();
    return rows;
}
} // namespace

class TestSimulator : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void v3Users_data();
    void v3Users();
    void silenceAndReturn();
    void twoCardsOneOnBattery();

private:
    QTemporaryDir m_persist;
    QProcess m_sim;
    bool m_libraryHeld = false;
};

void TestSimulator::initTestCase()
{
    const QString sim = QStringLiteral(UPS_BINARY_DIR "/bin/upssim");
    if (!QFileInfo::exists(sim))
        QSKIP("the simulator upssim has not been built");
    qputenv("SNMP_PERSISTENT_DIR", m_persist.path().toLocal8Bit());
    qputenv("UPS_MESSAGEBOX_AUTO", "0");
    SnmpLock::acquireLibrary();
    m_libraryHeld = true;
    m_sim.setProcessChannelMode(QProcess::MergedChannels);
    m_sim.start(sim, {"--range", card(0) + "-" + card(7), "--port", QString::number(kPort), "--control",
                      QStringLiteral("127.0.22.1:%1").arg(kControlPort), "--v3-user", "user007:noauth", "--v3-user",
                      "upsuser03:auth:MD5:upsuser03", "--v3-user", "upsmd5des:priv:MD5:upsmd5des:DES:desprivpass",
                      "--v3-user", "upsshaaes:priv:SHA:upsshaaes:AES:aesprivpass", "--quiet"});
    QVERIFY(m_sim.waitForStarted(5000));
    QByteArray output;
    QTRY_VERIFY_WITH_TIMEOUT((output += m_sim.readAll()).contains("READY") || m_sim.state() != QProcess::Running,
                             10000);
    QVERIFY2(m_sim.state() == QProcess::Running, output.constData());
}

void TestSimulator::cleanupTestCase()
{
    if (m_sim.state() != QProcess::NotRunning) {
        m_sim.terminate();
        if (!m_sim.waitForFinished(5000)) {
            m_sim.kill();
            m_sim.waitForFinished(5000);
        }
    }
    if (m_libraryHeld)
        SnmpLock::releaseLibrary();
}

void TestSimulator::v3Users_data()
{
    QTest::addColumn<SNMPInfo>("info");
    QTest::newRow("noAuthNoPriv, 7-character user") << host(0, 1, "user007", "", 0, 0);
    QTest::newRow("authNoPriv, 8 characters, no password") << host(1, 1, "upsuser03", "", 0, 0);
    QTest::newRow("authPriv MD5/DES") << host(2, 1, "upsmd5des", "desprivpass", 0, 0);
    QTest::newRow("authPriv SHA/AES") << host(3, 1, "upsshaaes", "aesprivpass", 1, 1);
    QTest::newRow("v2c") << host(4);
}

void TestSimulator::v3Users()
{
    QFETCH(SNMPInfo, info);
    AgentWorkDir dir;
    SNMP engine;
    engine.trapd()->setTrapPort(22272);
    QSignalSpy events(&engine, &SNMP::eventTriggered);
    QSignalSpy data(&engine, &SNMP::dataReady);
    engine.start();
    engine.addHost(info);
    QTRY_COMPARE_WITH_TIMEOUT(eventsOf(events, info.ip), QList<int>{1}, 8000);
    QTRY_VERIFY(!data.isEmpty());
    const QByteArray values = data.last().at(1).toByteArray();
    QCOMPARE(int(values.at(0)), 2); // battery normal
    QCOMPARE(int(values.at(1)), 0); // mains normal
    QCOMPARE(int(values.at(2)), 2); // on line
}

void TestSimulator::silenceAndReturn()
{
    AgentWorkDir dir;
    std::atomic<qint64> clock{2000000};
    SNMP engine;
    engine.trapd()->setTrapPort(22273);
    engine.manager()->setClock([&clock] { return clock.load(); });
    QSignalSpy events(&engine, &SNMP::eventTriggered);
    QSignalSpy status(&engine, &SNMP::statusChanged);
    engine.start();
    engine.addHost(host(5));
    QTRY_COMPARE_WITH_TIMEOUT(eventsOf(events, card(5)), QList<int>{1}, 5000);

    QCOMPARE(control("silent on " + card(5)), QStringLiteral("OK"));
    QTest::qWait(1500); // replies already on their way arrive
    clock += 15;
    QTRY_COMPARE_WITH_TIMEOUT(eventsOf(events, card(5)), (QList<int>{1, 0}), 3000);
    QCOMPARE(control("silent off " + card(5)), QStringLiteral("OK"));
    QTRY_COMPARE_WITH_TIMEOUT(eventsOf(events, card(5)), (QList<int>{1, 0, 1}), 5000);
    QCOMPARE(eventsOf(status, card(5)), (QList<int>{1, 0, 1}));
}

void TestSimulator::twoCardsOneOnBattery()
{
    AgentWorkDir dir;
    QVERIFY(AgentDatabase::createSchema());
    AgentSettings::write("shutdown/ac_failed_time", 1);
    AgentSettings::write("shutdown/batt_low_time", 1);
    AgentSettings::write("shutdown/ac_failed_capacity", 20);
    CountingPowerOff powerOff;
    SNMP engine;
    engine.trapd()->setTrapPort(22274);
    engine.start();
    MainWindow window(&powerOff);
    window.setEngine(&engine);
    connect(&engine, &SNMP::eventTriggered, &window, &MainWindow::handleSNMPEvent);
    connect(&engine, &SNMP::statusChanged, &window, &MainWindow::handleSNMPStatus);
    connect(&engine, &SNMP::dataReady, &window, &MainWindow::handleSNMPData);
    window.addSNMPHostEvent(host(6));
    window.addSNMPHostEvent(host(7));
    QTRY_COMPARE_WITH_TIMEOUT(window.eventTable()->rowCount(), 2, 5000); // both answered

    QCOMPARE(control("mains on " + card(6)), QStringLiteral("OK"));
    QTRY_VERIFY_WITH_TIMEOUT(window.controller()->countdownArmed(), 3000);
    // Several rounds of replies from both cards: the countdown keeps going.
    QSignalSpy rows(window.controller(), &ShutdownController::message);
    QTest::qWait(3500);
    QCOMPARE(rows.count(), 0);
    QVERIFY(window.controller()->countdownArmed());
    QCOMPARE(systemRows(window.eventTable()), QStringList{"System will be shutdown in 1.0 minute(s)"});

    // The card returns to mains: cancelled.
    QCOMPARE(control("mains off " + card(6)), QStringLiteral("OK"));
    QTRY_VERIFY_WITH_TIMEOUT(!window.controller()->countdownArmed(), 3000);
    QCOMPARE(systemRows(window.eventTable()).last(), QStringLiteral("System shutdown is canceled"));
    QCOMPARE(powerOff.requests, 0);

    // The other card loses mains with little capacity left: at once.
    QCOMPARE(control("capacity 10 " + card(7)), QStringLiteral("OK"));
    QCOMPARE(control("mains on " + card(7)), QStringLiteral("OK"));
    QTRY_COMPARE_WITH_TIMEOUT(powerOff.requests, 1, 3000);
    QVERIFY(window.controller()->shutdownStarted());
    window.setEngine(nullptr);
}

QTEST_MAIN(TestSimulator)
#include "test_simulator.moc"
