// OID map, value storing and the missed-response rule of a session.

#include "OidMap.h"
#include "SNMPSession.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/types.h>
#include <net-snmp/library/asn1.h>

class TestOidMap : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString write(const QByteArray& content)
    {
        static int n = 0;
        const QString path = m_dir.filePath(QStringLiteral("oid%1.xml").arg(++n));
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(content);
        return path;
    }
    static BindingValue integer(int v, uint8_t type = ASN_INTEGER)
    {
        BindingValue b;
        b.type = type;
        b.integer = v;
        return b;
    }
    static BindingValue text(const QByteArray& bytes, uint8_t type = ASN_OCTET_STR)
    {
        BindingValue b;
        b.type = type;
        b.bytes = bytes.constData();
        b.length = uint32_t(bytes.size());
        return b;
    }

private slots:
    void readsListsInDocumentOrder()
    {
        OidMap map;
        QVERIFY(map.load(write("<Oids><System><Oid Value=\"1.1.0\" Access=\"1\"/><Oid Value=\"1.2\" Type=\"table\"/>"
                               "<Other/></System><Ignored><Oid Value=\"9.9.0\"/></Ignored>"
                               "<UPS><Oid Value=\"2.1.0\" Access=\"2\"/><Oid Value=\"2.2\" Type=\"table\" Access=\"1\"/>"
                               "<Oid Value=\"2.3\" Type=\"Table\"/><Note/><Oid/></UPS></Oids>")));
        QCOMPARE(map.oidList, QStringList({"1.1.0", "1.2", "2.1.0", "2.2", "2.3", ""}));
        QCOMPARE(map.getList, QStringList({"1.1.0", "2.2"}));
        // "table" counts only inside UPS and only in that spelling.
        QCOMPARE(map.tableList, QStringList({"2.2"}));
    }

    void badFilesLeaveListsEmpty_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("message");
        QTest::newRow("wrong root") << QByteArray("<Oid><System><Oid Value=\"1.0\"/></System></Oid>")
                                    << QStringLiteral("Oid file corrupted.");
        QTest::newRow("parse error") << QByteArray("<Oids><System><Oid Value=\"1.0\"></System></Oids>")
                                     << QStringLiteral("^Error: Parse error at line 1, column \\d+: .+");
        QTest::newRow("missing") << QByteArray() << QStringLiteral("Oid file open failed.");
    }
    void badFilesLeaveListsEmpty()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        const QString path = content.isEmpty() ? m_dir.filePath(QStringLiteral("absent.xml")) : write(content);
        if (message.startsWith(QLatin1Char('^')))
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(message));
        else
            QTest::ignoreMessage(QtWarningMsg, message.toLatin1().constData());
        OidMap map;
        map.oidList << QStringLiteral("stale");
        QVERIFY(!map.load(path));
        QVERIFY(map.oidList.isEmpty());
        QVERIFY(map.getList.isEmpty());
        QVERIFY(map.tableList.isEmpty());
    }

    void matchesPositionsAndRows_data()
    {
        QTest::addColumn<QString>("oid");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("row");
        QTest::newRow("scalar") << "1.3.6.1.4.1.9.1.0" << 0 << 0;
        QTest::newRow("scalar with leading dot") << ".1.3.6.1.4.1.9.2.0" << 1 << 0;
        QTest::newRow("table row 3") << "1.3.6.1.4.1.9.3.1.2.3" << 2 << 3;
        QTest::newRow("table row 0") << "1.3.6.1.4.1.9.3.1.2.0" << 2 << 0;
        QTest::newRow("table row 150") << "1.3.6.1.4.1.9.3.1.2.150" << 2 << 150;
        // A column ending in .2 is no prefix of a column ending in .20.
        QTest::newRow("not a sub-identifier prefix") << "1.3.6.1.4.1.9.3.1.20.0" << 3 << 0;
        QTest::newRow("deeper than a row") << "1.3.6.1.4.1.9.3.1.2.3.4" << -1 << 0;
        QTest::newRow("unknown") << "1.3.6.1.4.1.9.77.0" << -1 << 0;
        QTest::newRow("column itself") << "1.3.6.1.4.1.9.3.1.2" << 2 << 0;
        QTest::newRow("first of duplicates") << "1.3.6.1.4.1.9.9.0" << 4 << 0;
    }
    void matchesPositionsAndRows()
    {
        QFETCH(QString, oid);
        QFETCH(int, position);
        QFETCH(int, row);
        OidMap map;
        QVERIFY(map.load(write("<Oids><UPS><Oid Value=\"1.3.6.1.4.1.9.1.0\"/><Oid Value=\"1.3.6.1.4.1.9.2.0\"/>"
                               "<Oid Value=\"1.3.6.1.4.1.9.3.1.2\" Type=\"table\"/>"
                               "<Oid Value=\"1.3.6.1.4.1.9.3.1.20.0\"/><Oid Value=\"1.3.6.1.4.1.9.9.0\"/>"
                               "<Oid Value=\"1.3.6.1.4.1.9.9.0\"/></UPS></Oids>")));
        int gotRow = -7;
        QCOMPARE(map.match(oid, &gotRow), position);
        if (position >= 0)
            QCOMPARE(gotRow, row);
    }

    void storesByPositionAndSyntax()
    {
        SNMPData d;
        OidMap::store(d, 4, 0, text("Model 3000"));
        QCOMPARE(QByteArray(d.ups_model), QByteArray("Model 3000"));
        // Another syntax at a text position empties the text.
        OidMap::store(d, 4, 0, integer(5));
        QCOMPARE(QByteArray(d.ups_model), QByteArray());
        // Longer than 255 bytes: cut.
        OidMap::store(d, 2, 0, text(QByteArray(400, 'x')));
        QCOMPARE(qstrlen(d.sys_name), 255u);
        OidMap::store(d, 12, 0, text("2024-01-02"));
        QCOMPARE(QByteArray(d.batt_last_replace_date), QByteArray("2024-01-02"));

        OidMap::store(d, 10, 0, integer(2));
        QCOMPARE(d.batt_status, 2);
        // Gauge32 at an INTEGER position keeps the value.
        OidMap::store(d, 10, 0, integer(9, ASN_GAUGE));
        QCOMPARE(d.batt_status, 2);
        OidMap::store(d, 25, 0, integer(1));
        QCOMPARE(d.input_line_fail_reason, 1);
        OidMap::store(d, 26, 0, integer(3));
        QCOMPARE(d.output_status, 3);
        OidMap::store(d, 30, 0, integer(45));
        QCOMPARE(d.output_load, 45);

        // 44 and 54 share one field: the later binding wins.
        OidMap::store(d, 44, 0, integer(7));
        OidMap::store(d, 54, 0, integer(9));
        QCOMPARE(d.ups_low_batt_remain_time, 9);
        OidMap::store(d, 44, 0, integer(4));
        QCOMPARE(d.ups_low_batt_remain_time, 4);

        OidMap::store(d, 33, 3, integer(33));
        QCOMPARE(d.table_col1[3], 33);
        OidMap::store(d, 31, 0, integer(12));
        QCOMPARE(d.table_col1[0], 12);
        OidMap::store(d, 33, 0, integer(13));
        QCOMPARE(d.table_col1[0], 13);
        // Rows outside 0..99 are dropped.
        const SNMPData before = d;
        OidMap::store(d, 36, 100, integer(1));
        OidMap::store(d, 36, -1, integer(1));
        OidMap::store(d, 130, 1000, integer(1));
        QCOMPARE(std::memcmp(&before, &d, sizeof d), 0);
        OidMap::store(d, 130, 99, integer(130));
        QCOMPARE(d.extra_table_col[11][99], 130);

        OidMap::store(d, 70, 0, integer(700));
        OidMap::store(d, 89, 0, integer(890));
        QCOMPARE(d.tp_batt_vol, 700);
        QCOMPARE(d.tp_bypass_t_vol, 890);
        OidMap::store(d, 90, 0, integer(90));
        OidMap::store(d, 117, 0, integer(117));
        QCOMPARE(d.raw_90_117[0], 90);
        QCOMPARE(d.raw_90_117[27], 117);
        OidMap::store(d, 134, 0, integer(20));
        QCOMPARE(d.env_under_humi, 20);
        OidMap::store(d, 38, 0, integer(276));
        QCOMPARE(d.ups_max_input_volt, 276);

        // Positions without a field change nothing.
        const SNMPData again = d;
        for (int p : {32, 48, 55, 60, 69, 118, 135, 500, -1})
            OidMap::store(d, p, 0, integer(1));
        QCOMPARE(std::memcmp(&again, &d, sizeof d), 0);
        QCOMPARE(d.reserved1, 0);
        QCOMPARE(d.reserved2, 0);
    }

    // A v2c pass sends two requests; the third request without an answer
    // takes an online device offline, once.
    void offlineAtThirdRequest()
    {
        SNMPSession::Target target;
        SNMPSession session(nullptr, QStringLiteral("127.0.21.200"), QStringLiteral("public"), target);
        QSignalSpy spy(&session, &SNMPSession::commStatusChanged);
        session.gotData(QStringLiteral("127.0.21.200"));
        QCOMPARE(session.state(), 1);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.takeFirst().at(1).toBool(), true);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("SNMP session, 127.0.21.200get bulk error: .*"));
        session.getBulk(QStringLiteral("1.3.6.1"), 0, 5);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("SNMP session, 127.0.21.200get bulk error: .*"));
        session.getBulk(QStringLiteral("1.3.6.1"), 0, 5);
        QCOMPARE(session.state(), 1);
        QCOMPARE(spy.count(), 0);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("SNMP session, 127.0.21.200get bulk error: .*"));
        session.getBulk(QStringLiteral("1.3.6.1"), 0, 5);
        QCOMPARE(session.state(), 0);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.takeFirst().at(1).toBool(), false);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("SNMP session, 127.0.21.200get bulk error: .*"));
        session.getBulk(QStringLiteral("1.3.6.1"), 0, 5);
        QCOMPARE(spy.count(), 0);
        QCOMPARE(session.missed(), 3);
        // Another device's answer changes nothing; its own brings it back.
        session.gotData(QStringLiteral("127.0.21.201"));
        QCOMPARE(session.state(), 0);
        session.gotData(QStringLiteral("127.0.21.200"));
        QCOMPARE(session.state(), 1);
        QCOMPARE(session.missed(), 0);
        // An alarm change does not bring an offline device online.
        session.setState(0);
        QVERIFY(!session.setAlarmState(true));
        QCOMPARE(session.state(), 0);
    }
};

QTEST_GUILESS_MAIN(TestOidMap)
#include "tst_oidmap.moc"
