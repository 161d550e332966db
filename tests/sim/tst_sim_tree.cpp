// The simulated card's OID tree against the console's cfg/OidList.xml, and
// the card model's scenarios, in-process.

#include "Card.h"
#include "ConsoleOidMap.h"
#include "OidTree.h"

#include <QSet>
#include <QtTest>

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

using namespace upssim;

class TestSimTree : public QObject
{
    Q_OBJECT
private slots:
    void shippedFileIsTheTree();
    void fixedPositions_data();
    void fixedPositions();
    void fileFollowsTreeOrder();
    void consoleBulkPassReachesEveryField_data();
    void consoleBulkPassReachesEveryField();
    void getListIsServedAndCoversTheViews();
    void mainsFailureScenario();
    void statusScenarios();
    void setChecksAndCommands();

private:
    ConsoleOidMap m_map;
    QString fileText() const;
};

QString TestSimTree::fileText() const
{
    QFile f(QStringLiteral(UPS_SOURCE_DIR "/upsconsole/cfg/OidList.xml"));
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    return QString::fromUtf8(f.readAll());
}

void TestSimTree::shippedFileIsTheTree()
{
    QCOMPARE(fileText(), OidTree::instance().oidListXml());
    QVERIFY(m_map.load(QStringLiteral(UPS_SOURCE_DIR "/upsconsole/cfg/OidList.xml")));
    QCOMPARE(m_map.oidList.size(), OidTree::instance().listed().size());
    QVERIFY(m_map.oidList.size() >= 135);
}

void TestSimTree::fixedPositions_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("writable");
    const QString ups = OidTree::upsBase();
    // The agent's four OIDs are console positions 10, 25, 26 and 13.
    QTest::newRow("0") << 0 << "sysDescr" << false;
    QTest::newRow("1") << 1 << "sysContact" << true;
    QTest::newRow("2") << 2 << "sysName" << true;
    QTest::newRow("3") << 3 << "sysLocation" << true;
    QTest::newRow("4") << 4 << "upsIdentModel" << false;
    QTest::newRow("9") << 9 << "upsIdentAgentFirmware" << false;
    QTest::newRow("10") << 10 << "upsBatteryStatus" << false;
    QTest::newRow("12") << 12 << "upsBatteryLastReplaceDate" << false;
    QTest::newRow("13") << 13 << "upsBatteryCapacity" << false;
    QTest::newRow("25") << 25 << "upsInputLineFailCause" << false;
    QTest::newRow("26") << 26 << "upsOutputStatus" << false;
    QTest::newRow("30") << 30 << "upsOutputLoad" << false;
    QTest::newRow("31") << 31 << "upsOutputLineCount" << false;
    QTest::newRow("33") << 33 << "upsOutputLineIndex" << false;
    QTest::newRow("36") << 36 << "upsOutputLineLoad" << false;
    QTest::newRow("38 type 4") << 38 << "upsConfigMaxInputVoltage" << true;
    QTest::newRow("39 type 5") << 39 << "upsConfigMinInputVoltage" << true;
    QTest::newRow("44") << 44 << "upsConfigLowBattRuntime" << false;
    QTest::newRow("49 type 6") << 49 << "upsLimitMaxOutputVoltage" << true;
    QTest::newRow("50 type 7") << 50 << "upsLimitMinOutputVoltage" << true;
    QTest::newRow("51 type 8") << 51 << "upsLimitTemperatureAlarm" << true;
    QTest::newRow("52 type 9") << 52 << "upsLimitLoadAlarm" << true;
    QTest::newRow("53 type 10") << 53 << "upsLimitLowBattVoltage" << true;
    QTest::newRow("54 type 11") << 54 << "upsLimitLowBattRuntime" << true;
    QTest::newRow("56 type 12") << 56 << "upsCommandPowerOff" << true;
    QTest::newRow("60 type 13") << 60 << "upsCommandBuzzer" << true;
    QTest::newRow("63 type 14") << 63 << "upsCommandBatterySelfCheck" << true;
    QTest::newRow("70") << 70 << "tpBatteryVoltage" << false;
    QTest::newRow("89") << 89 << "tpBypassVoltageT" << false;
    QTest::newRow("118") << 118 << "phaseTableRows" << false;
    QTest::newRow("119") << 119 << "phaseIndex" << false;
    QTest::newRow("130") << 130 << "phaseBypassFrequency" << false;
    QTest::newRow("131 type 15") << 131 << "envLimitOverTemperature" << true;
    QTest::newRow("134 type 18") << 134 << "envLimitUnderHumidity" << true;
}

void TestSimTree::fixedPositions()
{
    QFETCH(int, position);
    QFETCH(QString, name);
    QFETCH(bool, writable);
    const OidTree& t = OidTree::instance();
    const QVector<int> listed = t.listed();
    QVERIFY(position < listed.size());
    const OidEntry& e = t.entries()[listed[position]];
    QCOMPARE(e.position, position);
    QCOMPARE(QString::fromLatin1(e.name), name);
    QCOMPARE(e.writable, writable);
    QCOMPARE(e.column, (position >= 33 && position <= 36) || (position >= 119 && position <= 130));
    const QString ups = OidTree::upsBase();
    if (position == 10)
        QCOMPARE(e.text, ups + ".2.1.1.0");
    if (position == 13)
        QCOMPARE(e.text, ups + ".2.2.1.0");
    if (position == 25)
        QCOMPARE(e.text, ups + ".3.2.5.0");
    if (position == 26)
        QCOMPARE(e.text, ups + ".4.1.1.0");
    // Text positions are OCTET STRING, the others INTEGER (or no field).
    if (ConsoleOidMap::isTextPosition(position))
        QCOMPARE(int(e.type), int(ValType::OctetString));
    else if (ConsoleOidMap::hasField(position))
        QCOMPARE(int(e.type), int(ValType::Integer));
}

void TestSimTree::fileFollowsTreeOrder()
{
    const OidTree& t = OidTree::instance();
    const QVector<int> listed = t.listed();
    for (int i = 1; i < listed.size(); ++i) {
        const QVector<oid>& a = t.entries()[listed[i - 1]].id;
        const QVector<oid>& b = t.entries()[listed[i]].id;
        QVERIFY2(snmp_oid_compare(a.constData(), a.size(), b.constData(), b.size()) < 0,
                 qPrintable(QStringLiteral("position %1 does not follow %2").arg(i).arg(i - 1)));
    }
    // Every served object except sysUpTime is in the file.
    for (const OidEntry& e : t.entries())
        QVERIFY2(e.position >= 0 || QLatin1String(e.name) == QLatin1String("sysUpTime"), e.name);
    // No table column is a text prefix of an object outside it (the console
    // matches columns by text prefix).
    for (const OidEntry& col : t.entries()) {
        if (!col.column)
            continue;
        for (const OidEntry& e : t.entries())
            if (!e.column && e.text.startsWith(col.text))
                QFAIL(qPrintable(e.text + " starts with column " + col.text));
    }
}

void TestSimTree::consoleBulkPassReachesEveryField_data()
{
    QTest::addColumn<int>("rows");
    QTest::newRow("single-phase card") << 1;
    QTest::newRow("three-phase card") << 3;
}

// The console's v2c pass: GETBULK(0, 5) from just before position 0 and
// GETBULK(0, size - 3) from just before position 4.
void TestSimTree::consoleBulkPassReachesEveryField()
{
    QFETCH(int, rows);
    QVERIFY(m_map.load(QStringLiteral(UPS_SOURCE_DIR "/upsconsole/cfg/OidList.xml")));
    const QVector<Instance>& tree = OidTree::instance().instances(rows);
    auto walk = [&](const QString& startText, int count) {
        QStringList out;
        const QVector<oid> start = OidTree::parse(startText.left(startText.lastIndexOf('.')));
        for (const Instance& in : tree) {
            if (out.size() >= count)
                break;
            if (snmp_oid_compare(in.id.constData(), in.id.size(), start.constData(), start.size()) > 0)
                out << OidTree::format(in.id.constData(), size_t(in.id.size()));
        }
        return out;
    };
    const QStringList answers = walk(m_map.oidList[0], 5) + walk(m_map.oidList[4], m_map.oidList.size() - 3);
    QSet<QString> reached;
    for (const QString& text : answers) {
        int row = 0;
        const int pos = m_map.match(text, &row);
        if (pos < 0) {
            QVERIFY2(text == QLatin1String("1.3.6.1.2.1.1.3.0"), qPrintable("unmatched " + text));
            continue;
        }
        // The console must credit the value to the object it came from.
        const OidEntry& e = OidTree::instance().entries()[OidTree::instance().listed()[pos]];
        QCOMPARE(e.column ? e.text + '.' + QString::number(row) : e.text, text);
        reached.insert(QStringLiteral("%1/%2").arg(pos).arg(row));
    }
    for (int pos = 0; pos < m_map.oidList.size(); ++pos) {
        if (!ConsoleOidMap::hasField(pos))
            continue;
        const bool column = m_map.tableList.contains(m_map.oidList[pos]);
        for (int row = column ? 1 : 0; row <= (column ? rows : 0); ++row)
            QVERIFY2(reached.contains(QStringLiteral("%1/%2").arg(pos).arg(row)),
                     qPrintable(QStringLiteral("position %1 row %2 not reached").arg(pos).arg(row)));
    }
}

void TestSimTree::getListIsServedAndCoversTheViews()
{
    QVERIFY(m_map.load(QStringLiteral(UPS_SOURCE_DIR "/upsconsole/cfg/OidList.xml")));
    const QVector<Instance>& tree = OidTree::instance().instances(1);
    QSet<QString> served;
    for (const Instance& in : tree)
        served.insert(OidTree::format(in.id.constData(), size_t(in.id.size())));
    for (const QString& g : m_map.getList)
        QVERIFY2(served.contains(g), qPrintable(g + " is in the GET list but not a served instance"));
    QList<int> needed;
    for (int p = 0; p <= 31; ++p)
        needed << p;
    needed << 38 << 39 << 44 << 49 << 50 << 51 << 52 << 53 << 54 << 131 << 132 << 133 << 134;
    for (int p = 70; p <= 89; ++p)
        needed << p;
    for (int p : needed)
        QVERIFY2(m_map.getList.contains(m_map.oidList[p]), qPrintable(QStringLiteral("position %1 not in GET list").arg(p)));
}

void TestSimTree::mainsFailureScenario()
{
    qint64 t = 1'700'000'000'000;
    Card card(0, 0x7f001401, false, t);
    QList<int> traps;
    card.onTrap = [&](Card&, int trap) { traps << trap; };
    Card::battery.dischargePerSecond = 1.0; // 1 % per second at 50 % load
    card.setLoad(50, t);
    QCOMPARE(card.value(Field::BattStatus, 0, t).i, 2);
    QCOMPARE(card.value(Field::InFailCause, 0, t).i, 0);
    QCOMPARE(card.value(Field::OutStatus, 0, t).i, 2);
    QVERIFY(card.value(Field::InVoltage, 0, t).i > 1900);

    card.setMainsFailed(true, t);
    QCOMPARE(traps, QList<int>{TrapOnBattery});
    QCOMPARE(card.value(Field::InFailCause, 0, t).i, 1);
    QCOMPARE(card.value(Field::OutStatus, 0, t).i, 3);
    QCOMPARE(card.value(Field::InVoltage, 0, t).i, 0);
    QVERIFY(card.value(Field::BattCurrent, 0, t).i < 0);

    for (int i = 0; i < 85; ++i) {
        t += 1000;
        card.tick(t);
    }
    QCOMPARE(card.value(Field::BattCapacity, 0, t).i, 15);
    QCOMPARE(card.value(Field::BattStatus, 0, t).i, 3);
    QCOMPARE(card.value(Field::BattTimeOnBattery, 0, t).i, 85);
    QCOMPARE(traps, (QList<int>{TrapOnBattery, TrapBatteryLow}));

    card.setMainsFailed(false, t);
    QCOMPARE(traps.last(), int(TrapPowerRestored));
    QCOMPARE(card.value(Field::OutStatus, 0, t).i, 2);
    QCOMPARE(card.value(Field::BattTimeOnBattery, 0, t).i, 0);
    Card::battery.chargePerSecond = 1.0;
    for (int i = 0; i < 10; ++i) {
        t += 1000;
        card.tick(t);
    }
    QCOMPARE(card.value(Field::BattCapacity, 0, t).i, 25);
    QCOMPARE(card.value(Field::BattStatus, 0, t).i, 2);
    QCOMPARE(traps.last(), int(TrapBatteryLowCleared));
    QCOMPARE(card.value(Field::StatPowerFails, 0, t).i, 1);
    Card::battery = BatteryModel();
}

void TestSimTree::statusScenarios()
{
    const qint64 t = 1'700'000'000'000;
    Card card(0, 0x7f001402, true, t);
    QList<int> traps;
    card.onTrap = [&](Card&, int trap) { traps << trap; };
    QCOMPARE(card.value(Field::InPhases, 0, t).i, 3);
    QCOMPARE(card.value(Field::OutLineCount, 0, t).i, 3);
    QVERIFY(card.value(Field::TpOutVoltS, 0, t).i > 2000);
    card.setBypass(true, t);
    QCOMPARE(card.value(Field::OutStatus, 0, t).i, 6);
    card.setBypass(false, t);
    card.setForcedBatteryLow(true, t);
    QCOMPARE(card.value(Field::BattStatus, 0, t).i, 3);
    card.setForcedBatteryLow(false, t);
    card.setCapacity(42, t);
    QCOMPARE(card.value(Field::BattCapacity, 0, t).i, 42);
    QCOMPARE(card.value(Field::TpBattCapacity, 0, t).i, 42);
    card.setOverVoltage(true, t);
    QCOMPARE(card.value(Field::InFailCause, 0, t).i, 2);
    QCOMPARE(card.value(Field::OutStatus, 0, t).i, 3);
    card.setOverVoltage(false, t);
    card.setOutputOff(true, t);
    QCOMPARE(card.value(Field::OutStatus, 0, t).i, 8);
    QCOMPARE(card.value(Field::OutVoltage, 0, t).i, 0);
    QCOMPARE(traps, (QList<int>{TrapOnBypass, TrapBypassCleared, TrapBatteryLow, TrapBatteryLowCleared,
                                TrapInputOverVoltage, TrapOnBattery, TrapPowerRestored, TrapTurnedOff}));
    // Single-phase cards answer 0 in the three-phase group.
    Card single(1, 0x7f001403, false, t);
    QCOMPARE(single.value(Field::TpOutVoltS, 0, t).i, 0);
    QCOMPARE(single.value(Field::OutLineCount, 0, t).i, 1);
}

void TestSimTree::setChecksAndCommands()
{
    const qint64 t = 1'700'000'000'000;
    Card card(0, 0x7f001404, false, t);
    QCOMPARE(card.checkSet(Field::MaxInVoltage, Value::integer(2654)), int(SNMP_ERR_NOERROR));
    QCOMPARE(card.checkSet(Field::MaxInVoltage, Value::text(QByteArray("2654"))), int(SNMP_ERR_WRONGTYPE));
    QCOMPARE(card.checkSet(Field::MaxInVoltage, Value::integer(99999)), int(SNMP_ERR_WRONGVALUE));
    QCOMPARE(card.checkSet(Field::BattCapacity, Value::integer(5)), int(SNMP_ERR_NOTWRITABLE));
    QCOMPARE(card.checkSet(Field::CmdBuzzer, Value::integer(3)), int(SNMP_ERR_WRONGVALUE));
    card.commitSet(Field::MaxInVoltage, Value::integer(2654), t);
    QCOMPARE(card.value(Field::MaxInVoltage, 0, t).i, 2654);
    card.commitSet(Field::LowBattRuntime, Value::integer(7), t);
    QCOMPARE(card.value(Field::LowBattRuntimeMirror, 0, t).i, 7); // position 44 mirrors 54
    card.commitSet(Field::CmdBuzzer, Value::integer(1), t);
    QCOMPARE(card.value(Field::AudibleAlarm, 0, t).i, 1);
    QCOMPARE(card.value(Field::CmdBuzzer, 0, t).i, 1);
    QCOMPARE(card.commandLog().size(), 1);
    QVERIFY(card.commandLog().first().endsWith(QLatin1String(" 60 upsCommandBuzzer 1")));
    QCOMPARE(card.setLog().size(), 3);
    QCOMPARE(card.value(Field::LastCommand, 0, t).s, QByteArray("upsCommandBuzzer disable"));
}

QTEST_GUILESS_MAIN(TestSimTree)
#include "tst_sim_tree.moc"
