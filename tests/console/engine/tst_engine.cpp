// The polling engine against real peers: Debian's snmpd as UPS cards, forged
// and malformed datagrams on the manager socket.

#include "EngineFixture.h"

#include "AppContext.h"
#include "SNMP.h"
#include "SNMPPollingThread.h"

#include <QHostAddress>
#include <QNetworkDatagram>
#include <QRandomGenerator>
#include <QSettings>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QUdpSocket>

using namespace EngineFixture;

namespace {

const QList<int> kTables = {33, 34, 35, 36};
const QList<int> kGets = {0, 4, 10, 13, 21, 25, 28};

QString oidList()
{
    return testOidList(90, kTables, kGets);
}

// snmpd lines for one card. battStatus/failReason decide the alarm.
QStringList cardLines(int battStatus = 2, int failReason = 0, bool v1Only = false)
{
    QStringList l;
    if (v1Only) {
        l << "com2sec card default public"
          << "group cardgroup v1 card"
          << "view all included .1"
          << "access cardgroup \"\" v1 noauth exact all none none";
    } else {
        l << "rocommunity public 127.0.0.0/8"
          << "rwcommunity private 127.0.0.0/8";
    }
    const QString p = QStringLiteral("override .1.3.6.1.4.1.99999.1.");
    l << p + "0.0 octet_str \"sys0\"" << p + "1.0 octet_str \"Ops\"" << p + "2.0 octet_str \"Card-A\""
      << p + "3.0 octet_str \"Room 1\"" << p + "4.0 octet_str \"MODEL-X\""
      << p + "5.0 integer 5"                       // wrong type for a text
      << p + QStringLiteral("10.0 integer %1").arg(battStatus)
      << p + "11.0 gauge 77"                       // wrong type for an integer
      << p + "12.0 octet_str \"2023-05-06\"" << p + "13.0 integer 95" << p + "21.0 integer 2300"
      << p + QStringLiteral("25.0 integer %1").arg(failReason) << p + "28.0 integer 2200"
      << p + "33.1 integer 11" << p + "33.3 integer 33"
      << p + "34.2 integer 22" << p + "34.150 integer 99"   // row outside 0..99
      << "override -rw .1.3.6.1.4.1.99999.1.38.0 integer 276" << p + "39.0 integer 160";
    for (int i = 70; i < 90; ++i)
        l << p + QStringLiteral("%1.0 integer %2").arg(i).arg(i * 10);
    return l;
}

// Turns a captured request into a response with the same request id.
QByteArray asResponse(QByteArray b)
{
    int i = 0;
    auto readLen = [&b, &i]() {
        const uchar c = uchar(b.at(i++));
        if (c < 0x80)
            return int(c);
        int n = c & 0x7f, len = 0;
        while (n-- > 0)
            len = (len << 8) | uchar(b.at(i++));
        return len;
    };
    if (b.size() < 10 || uchar(b.at(0)) != 0x30)
        return QByteArray();
    i = 1;
    readLen();
    for (int skip = 0; skip < 2; ++skip) { // version, community
        ++i;
        i += readLen();
    }
    if (i >= b.size())
        return QByteArray();
    b[i] = char(0xA2);
    return b;
}

} // namespace

class TestEngine : public QObject
{
    Q_OBJECT

private:
    void baseSettings(AppDir& app, quint16 port, int version = 1)
    {
        app.setSetting("snmp/snmp_version", version);
        app.setSetting("snmp/polling_cycle", 300);
        app.setSetting("snmp/polling_timout", 300);
        app.setSetting("snmp/polling_retry", 0);
        app.setSetting("snmp/snmp_port", port);
        app.setSetting("snmp/trap_port", 21801);
    }

private slots:
    // The engine stops its threads right after starting them when it is torn
    // down early; a stop that comes before the thread runs must still end it.
    void stopBeforeTheThreadRunsEndsIt()
    {
        auto plan = std::make_shared<PollPlan>();
        // Thread 0 never ends by itself when idle.
        SNMPPollingThread thread(0, 1, plan);
        thread.stop();
        thread.start();
        const bool ended = thread.wait(5000);
        thread.stop();
        thread.wait();
        QVERIFY(ended);
    }

    void init() { SNMP::setIdealThreadCountOverride(0); }

    void spreadsDevicesOverThreads_data()
    {
        QTest::addColumn<int>("devices");
        QTest::addColumn<int>("ideal");
        QTest::addColumn<QVector<int>>("counts");
        QTest::newRow("2500 on 4") << 2500 << 4 << QVector<int>{833, 833, 834};
        QTest::newRow("5000 on 4") << 5000 << 4 << QVector<int>{1250, 1250, 1250, 1250};
        QTest::newRow("none") << 0 << 4 << QVector<int>{0};
        QTest::newRow("1001 on 1") << 1001 << 1 << QVector<int>{1001};
    }
    void spreadsDevicesOverThreads()
    {
        QFETCH(int, devices);
        QFETCH(int, ideal);
        QFETCH(QVector<int>, counts);
        AppDir app(oidList());
        baseSettings(app, 21999);
        app.setSetting("snmp/polling_cycle", 30000);
        QStringList ips;
        for (int i = 0; i < devices; ++i)
            ips << QStringLiteral("127.0.21.%1").arg(i % 250 + 1);
        app.addDevices(ips, "public");
        app.addDevices({"127.0.21.251"}, "public", false, -1); // not monitored
        SNMP::setIdealThreadCountOverride(ideal);
        SNMP* engine = SNMP::instance();
        engine->start();
        QCOMPARE(engine->idealThreadCount(), ideal);
        QCOMPARE(engine->threadSessionCounts(), counts);
        QCOMPARE(engine->deviceCount(), devices);
        // The stored cycle is in force from the start.
        for (int pause : engine->threadPassPauses())
            QCOMPARE(pause, 30000);
        if (devices == 0) {
            engine->addDevice("127.0.21.252", "public");
            QCOMPARE(engine->threadSessionCounts(), QVector<int>{1});
        }
    }

    void addedThreadEndsWhenIdle()
    {
        AppDir app(oidList());
        baseSettings(app, 21999);
        app.setSetting("snmp/polling_cycle", 200);
        QStringList ips;
        for (int i = 0; i < 1000; ++i)
            ips << QStringLiteral("127.0.21.%1").arg(i % 250 + 1);
        app.addDevices(ips, "public");
        SNMP::setIdealThreadCountOverride(2);
        SNMP* engine = SNMP::instance();
        engine->start();
        QCOMPARE(engine->threadSessionCounts(), QVector<int>{1000});
        // Thread 0 is full: the next device gets a new thread, which takes
        // its share from the older one.
        engine->addDevice("127.0.21.253", "public");
        QCOMPARE(engine->threadSessionCounts(), (QVector<int>{500, 501}));
        for (int pause : engine->threadPassPauses())
            QCOMPARE(pause, 200);
        // Remove every device: the added thread runs idle and ends; the first
        // thread stays.
        engine->removeDevice("127.0.21.253");
        for (int i = 0; i < 1000; ++i)
            engine->removeDevice(ips.at(i));
        QCOMPARE(engine->deviceCount(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(engine->threadSessionCounts().size(), 1, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(engine->threadSessionCounts(), QVector<int>{0}, 5000);
        // A device added now goes to the remaining thread.
        engine->addDevice("127.0.21.254", "public");
        QCOMPARE(engine->threadSessionCounts(), QVector<int>{1});
    }

    void pollsCardValues_data()
    {
        QTest::addColumn<int>("version");
        QTest::newRow("v1 GET") << 0;
        QTest::newRow("v2c GETBULK") << 1;
    }
    void pollsCardValues()
    {
        QFETCH(int, version);
        Snmpd card("127.0.21.10", 21010, cardLines());
        QVERIFY(card.start());
        AppDir app(oidList());
        baseSettings(app, 21010, version);
        app.addDevices({"127.0.21.10"}, "public");
        SNMP* engine = SNMP::instance();
        QSignalSpy states(engine, &SNMP::stateChanged);
        QSignalSpy data(engine, &SNMP::devDataChanged);
        engine->start();
        QTRY_COMPARE_WITH_TIMEOUT(engine->getState("127.0.21.10"), 1, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(data.count() >= 4, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(QByteArray(engine->getData("127.0.21.10").ups_model), QByteArray("MODEL-X"), 5000);
        const SNMPData d = engine->getData("127.0.21.10");
        QCOMPARE(QByteArray(d.sys_text0), QByteArray("sys0"));
        QCOMPARE(d.batt_status, 2);
        QCOMPARE(d.batt_capacity, 95);
        QCOMPARE(d.input_line_vol, 2300);
        QCOMPARE(d.output_vol, 2200);
        QCOMPARE(states.first().at(1).toInt(), 1);
        QCOMPARE(app.count("select count(*) from status_log where device_ip='127.0.21.10' and status=1"), 1);
        if (version == 1) {
            // Everything after position 4 comes with the bulk pass.
            QCOMPARE(QByteArray(d.sys_contact), QByteArray("Ops"));
            QCOMPARE(QByteArray(d.batt_last_replace_date), QByteArray("2023-05-06"));
            QCOMPARE(d.table_col1[1], 11);
            QCOMPARE(d.table_col1[3], 33);
            QCOMPARE(d.table_col2[2], 22);
            QCOMPARE(d.ups_max_input_volt, 276);
            QCOMPARE(d.tp_batt_vol, 700);
            QCOMPARE(d.tp_bypass_t_vol, 890);
            // Wrong syntaxes: the text is empty, the integer keeps 0.
            QCOMPARE(QByteArray(d.ups_name), QByteArray());
            QCOMPARE(d.batt_running_time, 0);
        } else {
            // v1 fetches the GET list only.
            QCOMPARE(QByteArray(d.sys_contact), QByteArray());
            QCOMPARE(d.table_col1[3], 0);
            QCOMPARE(d.ups_max_input_volt, 0);
        }
        QCOMPARE(engine->stats().responsesRejected, 0ull);
    }

    void goesOfflineAndComesBack()
    {
        Snmpd normal("127.0.21.11", 21011, cardLines(2, 0));
        Snmpd alarmed("127.0.21.12", 21011, cardLines(3, 0));
        QVERIFY(normal.start());
        QVERIFY(alarmed.start());
        AppDir app(oidList());
        baseSettings(app, 21011, 1);
        app.setSetting("snmp/store_interval", 1); // a sample is due all the time
        app.addDevices({"127.0.21.11", "127.0.21.12"}, "public");
        SNMP* engine = SNMP::instance();
        QSignalSpy states(engine, &SNMP::stateChanged);
        engine->start();
        QTRY_COMPARE_WITH_TIMEOUT(engine->getState("127.0.21.11"), 1, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(engine->getState("127.0.21.12"), 2, 10000);

        normal.pause();
        alarmed.pause();
        QTRY_COMPARE_WITH_TIMEOUT(engine->getState("127.0.21.11"), 0, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(engine->getState("127.0.21.12"), 0, 10000);
        engine->flushStatusLog();
        QTest::qWait(1000); // several more passes without answers
        engine->flushStatusLog();
        for (const char* ip : {"127.0.21.11", "127.0.21.12"}) {
            QCOMPARE(app.count(QStringLiteral("select count(*) from status_log where device_ip='%1' and status=0")
                                   .arg(ip)),
                     1);
        }
        // The record was zeroed on the change.
        QCOMPARE(QByteArray(engine->getData("127.0.21.11").ups_model), QByteArray());

        states.clear();
        normal.resume();
        alarmed.resume();
        QTRY_COMPARE_WITH_TIMEOUT(engine->getState("127.0.21.11"), 1, 10000);
        // Still in alarm after coming back: shown as alarm again.
        QTRY_COMPARE_WITH_TIMEOUT(engine->getState("127.0.21.12"), 2, 10000);
        engine->flushStatusLog();
        for (const char* ip : {"127.0.21.11", "127.0.21.12"}) {
            QCOMPARE(app.count(QStringLiteral("select count(*) from status_log where device_ip='%1' and status=1")
                                   .arg(ip)),
                     2);
        }
        QList<int> alarmedStates;
        for (const auto& args : states)
            if (args.at(0).toString() == QLatin1String("127.0.21.12"))
                alarmedStates << args.at(1).toInt();
        QCOMPARE(alarmedStates, (QList<int>{1, 2}));
        // No sample is stored from the zeroed record of a device that has
        // just come back: only answers carrying the stored columns make one.
        QTRY_VERIFY_WITH_TIMEOUT(app.count("select count(*) from data where device_ip='127.0.21.11' and date >= "
                                           "(select max(date) from status_log where device_ip='127.0.21.11')") >= 2,
                                 5000);
        QCOMPARE(app.count("select count(*) from data where input_line_vol=0 or batt_status=0 or output_vol=0"), 0);
        const auto rows = app.rows("select status from status_log where device_ip='127.0.21.11' order by id");
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows.at(0).at(0).toInt(), 1);
        QCOMPARE(rows.at(1).at(0).toInt(), 0);
        QCOMPARE(rows.at(2).at(0).toInt(), 1);
    }

    void storesOneRowPerInterval()
    {
        Snmpd single("127.0.21.13", 21013, cardLines());
        Snmpd three("127.0.21.14", 21013, cardLines());
        QVERIFY(single.start());
        QVERIFY(three.start());
        AppDir app(oidList());
        baseSettings(app, 21013, 1);
        app.setSetting("snmp/store_interval", 100000);
        app.addDevices({"127.0.21.13"}, "public", false);
        app.addDevices({"127.0.21.14"}, "public", true);
        SNMP* engine = SNMP::instance();
        engine->start();
        QTRY_COMPARE_WITH_TIMEOUT(engine->getState("127.0.21.13"), 1, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(engine->getState("127.0.21.14"), 1, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(engine->getData("127.0.21.14").tp_batt_vol == 700, 5000);
        QCOMPARE(app.count("select count(*) from data"), 0);

        for (int interval = 1; interval <= 3; ++interval) {
            // One store interval elapses: every device is due once.
            engine->setStoreInterval(1);
            QMetaObject::invokeMethod(engine, "storeTimeout");
            engine->setStoreInterval(100000);
            QTRY_COMPARE_WITH_TIMEOUT(app.count("select count(*) from data where device_ip='127.0.21.13'"), interval,
                                      5000);
            QTRY_COMPARE_WITH_TIMEOUT(app.count("select count(*) from data where device_ip='127.0.21.14'"), interval,
                                      5000);
            // More answers arrive without another row.
            const quint64 handled = engine->stats().responsesHandled;
            QTRY_VERIFY_WITH_TIMEOUT(engine->stats().responsesHandled >= handled + 8, 5000);
            QCOMPARE(app.count("select count(*) from data"), 2 * interval);
        }
        QCOMPARE(app.count("select count(*) from three_phase_data where device_ip='127.0.21.13'"), 0);
        QCOMPARE(app.count("select count(*) from three_phase_data where device_ip='127.0.21.14'"), 3);
        // Each three-phase row carries the date of the data row stored with it.
        QCOMPARE(app.rows("select date from three_phase_data where device_ip='127.0.21.14' order by id"),
                 app.rows("select date from data where device_ip='127.0.21.14' order by id"));
        const auto row = app.rows("select batt_status, batt_last_replace_date, batt_capacity, input_line_vol, "
                                  "output_vol from data where device_ip='127.0.21.13' limit 1");
        QCOMPARE(row.at(0), (QVariantList{2, "2023-05-06", 95, 2300, 2200}));
        const auto tp = app.rows("select batt_vol, input_r_vol, bypass_t_vol from three_phase_data limit 1");
        QCOMPARE(tp.at(0), (QVariantList{700, 760, 890}));
        QCOMPARE(engine->stats().rowsStored, 6ull);

        // The one-second timer: with interval 1 each device becomes due on
        // every tick; rows never exceed the ticks that made them due.
        engine->setStoreInterval(1);
        QTRY_VERIFY_WITH_TIMEOUT(app.count("select count(*) from data where device_ip='127.0.21.13'") >= 5, 10000);
    }

    void removedDeviceKeepsRecord()
    {
        Snmpd card("127.0.21.15", 21015, cardLines());
        QVERIFY(card.start());
        AppDir app(oidList());
        baseSettings(app, 21015, 1);
        app.addDevices({"127.0.21.15"}, "public");
        SNMP* engine = SNMP::instance();
        engine->start();
        QTRY_COMPARE_WITH_TIMEOUT(QByteArray(engine->getData("127.0.21.15").ups_model), QByteArray("MODEL-X"), 10000);
        engine->removeDevice("127.0.21.15");
        QCOMPARE(engine->getState("127.0.21.15"), 0);
        QVERIFY(!engine->setValue("127.0.21.15", 4, 1, "250"));
        QTest::qWait(800);
        QCOMPARE(QByteArray(engine->getData("127.0.21.15").ups_model), QByteArray("MODEL-X"));
        QCOMPARE(engine->getData("127.0.21.15").batt_capacity, 95);
        QCOMPARE(app.count("select count(*) from set_log"), 0);
        // Unknown devices read as zeros.
        QCOMPARE(engine->getData("127.0.21.99").batt_capacity, 0);
        QCOMPARE(engine->getState("127.0.21.99"), 0);
    }

    void setValueLogsResult()
    {
        Snmpd card("127.0.21.16", 21016, cardLines());
        QVERIFY(card.start());
        AppDir app(oidList());
        baseSettings(app, 21016, 1);
        app.addDevices({"127.0.21.16"}, "private");
        SNMP* engine = SNMP::instance();
        engine->start();
        QTRY_COMPARE_WITH_TIMEOUT(engine->getState("127.0.21.16"), 1, 10000);

        QVERIFY(engine->setValue("127.0.21.16", 4, 1, "250"));            // writable
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("SNMP session, set value error:.*"));
        QVERIFY(!engine->setValue("127.0.21.16", 5, 1, "170"));           // read-only
        QVERIFY(!engine->setValue("127.0.21.16", 4, 9, "1"));             // unknown syntax: not sent, no row
        QVERIFY(!engine->setValue("127.0.21.77", 4, 1, "1"));             // unknown device: no row
        const auto rows = app.rows("select device_ip, type, value, result from set_log order by id");
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows.at(0), (QVariantList{"127.0.21.16", 4, "250", 1}));
        QCOMPARE(rows.at(1), (QVariantList{"127.0.21.16", 5, "170", 0}));
        QByteArray out;
        QCOMPARE(runTool("snmpget", {"-v2c", "-c", "public", "-Oqv", "127.0.21.16:21016",
                                     "1.3.6.1.4.1.99999.1.38.0"},
                         &out),
                 0);
        QCOMPARE(out.trimmed().split('\n').last(), QByteArray("250"));
        QTRY_COMPARE_WITH_TIMEOUT(engine->getData("127.0.21.16").ups_max_input_volt, 250, 5000);
    }

    void settersChangeNextRequests()
    {
        Snmpd v1card("127.0.21.17", 21017, cardLines(2, 0, true)); // answers v1 only
        QVERIFY(v1card.start());
        AppDir app(oidList());
        baseSettings(app, 21018, 1); // wrong port, v2c
        app.addDevices({"127.0.21.17"}, "public");
        SNMP* engine = SNMP::instance();
        engine->start();
        QVariantMap t = engine->sessionTarget("127.0.21.17");
        QCOMPARE(t.value("timeoutMs").toInt(), 300); // milliseconds from the start
        QCOMPARE(t.value("port").toInt(), 21018);
        QTest::qWait(1000);
        QCOMPARE(engine->getState("127.0.21.17"), 0);

        engine->onSnmpPortChanged(21017);
        QCOMPARE(engine->sessionTarget("127.0.21.17").value("port").toInt(), 21017);
        QTest::qWait(1000);
        QCOMPARE(engine->getState("127.0.21.17"), 0); // right port, but v2c is refused

        engine->setSNMPVersion(0);
        QTRY_COMPARE_WITH_TIMEOUT(engine->getState("127.0.21.17"), 1, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(QByteArray(engine->getData("127.0.21.17").ups_model), QByteArray("MODEL-X"), 5000);

        engine->setPollingTimeout(1500);
        engine->setRetry(3);
        engine->setPollingCycle(2000);
        t = engine->sessionTarget("127.0.21.17");
        QCOMPARE(t.value("timeoutMs").toInt(), 1500);
        QCOMPARE(t.value("retries").toInt(), 3);
        QCOMPARE(t.value("version").toInt(), 0);
        QCOMPARE(engine->threadPassPauses(), QVector<int>{2000});
        // Devices added later follow the settings file, as the dialog writes
        // it before announcing a change.
        engine->addDevice("127.0.21.18", "public");
        QCOMPARE(engine->sessionTarget("127.0.21.18").value("port").toInt(), 21018);
    }

    void survivesBadInputOnManagerSocket()
    {
        AppDir app(oidList());
        baseSettings(app, 21030, 1);
        app.setSetting("snmp/polling_timout", 3000);
        app.addDevices({"127.0.21.30"}, "public");
        QUdpSocket device;
        QVERIFY(device.bind(QHostAddress("127.0.21.30"), 21030));
        QUdpSocket stranger;
        QVERIFY(stranger.bind(QHostAddress("127.0.21.31"), 0));
        app.setSetting("snmp/polling_cycle", 1500);
        SNMP* engine = SNMP::instance();
        QSignalSpy online(engine, &SNMP::stateChanged);
        engine->start();
        const quint16 managerPort = engine->managerPort();
        QVERIFY(managerPort != 0);

        auto nextRequest = [&device]() {
            while (device.hasPendingDatagrams())
                device.receiveDatagram();
            if (!device.waitForReadyRead(5000))
                return QByteArray();
            return device.receiveDatagram().data();
        };

        // Garbage of every shape at the manager socket.
        QRandomGenerator rng(7);
        QByteArray junk(300, 0);
        for (int i = 0; i < junk.size(); ++i)
            junk[i] = char(rng.bounded(256));
        const QByteArray request = nextRequest();
        QVERIFY(!request.isEmpty());
        const QByteArray forged = asResponse(request);
        QVERIFY(!forged.isEmpty());
        const QList<QByteArray> bad = {junk, QByteArray(), forged.left(forged.size() / 2),
                                       QByteArray(60000, char(0x30)), QByteArray("\x30\x84\xff\xff\xff\xff", 6)};
        for (const QByteArray& b : bad) {
            stranger.writeDatagram(b, QHostAddress::LocalHost, managerPort);
            device.writeDatagram(b, QHostAddress::LocalHost, managerPort);
        }
        // A well-formed answer from an address that is no device is refused.
        stranger.writeDatagram(forged, QHostAddress::LocalHost, managerPort);
        QTRY_COMPARE_WITH_TIMEOUT(engine->stats().responsesRejected, 1ull, 5000);
        QTest::qWait(300);
        QCOMPARE(online.count(), 0);
        QCOMPARE(engine->stats().responsesHandled, 0ull);

        // The device's own answer is taken.
        const QByteArray genuine = asResponse(nextRequest());
        QVERIFY(!genuine.isEmpty());
        device.writeDatagram(genuine, QHostAddress::LocalHost, managerPort);
        QTRY_VERIFY_WITH_TIMEOUT(online.count() >= 1, 5000);
        QCOMPARE(online.first().at(0).toString(), QStringLiteral("127.0.21.30"));
        QCOMPARE(online.first().at(1).toInt(), 1);
        QCOMPARE(engine->stats().responsesHandled, 1ull);
        QCOMPARE(engine->stats().responsesRejected, 1ull);
    }
};

QTEST_GUILESS_MAIN(TestEngine)
#include "tst_engine.moc"
