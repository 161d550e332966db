#pragma once

// The card's OID tree. One table describes every object the card serves;
// cfg/OidList.xml of the console is generated from the same table
// (upssim --print-oidlist), so that the console's positions and the card's
// tree cannot drift apart.

#include <QString>
#include <QVector>
#include <net-snmp/net-snmp-config.h>
#include <net-snmp/types.h>

namespace upssim {

enum class ValType { Integer, OctetString, TimeTicks, IpAddress };

// Every leaf the card serves. The value of each is computed by Card.
enum class Field : int {
    SysDescr, SysUpTime, SysContact, SysName, SysLocation,
    Model, UpsName, UpsFirmware, ManufactureDate, Serial, AgentFirmware,
    BattStatus, BattTimeOnBattery, BattReplaceDate,
    BattCapacity, BattVoltage, BattTemperature, BattRuntime, BattReplaceFlag, BattFullVoltage, BattCurrent,
    InPhases, InVoltage, InVoltageMax, InVoltageMin, InFrequency, InFailCause,
    OutStatus, OutPhases, OutVoltage, OutFrequency, OutLoad,
    OutLineCount, OutActivePower,
    OutLineIndex, OutLineVoltage, OutLineCurrent, OutLineLoad,
    RatedInVoltage, MaxInVoltage, MinInVoltage, RatedOutVoltage, RatedFrequency, RatedVA,
    AudibleAlarm, LowBattRuntimeMirror, ShutdownDelay, RestartDelay, BatteryCount, SelfTestInterval,
    MaxOutVoltage, MinOutVoltage, TempAlarm, LoadAlarm, LowBattVoltage, LowBattRuntime,
    CmdTurnOn, CmdPowerOff, CmdReboot, CmdSleep, CmdBypass, CmdBuzzer, CmdQuickTest, CmdDeepTest,
    CmdSelfCheck, CmdCancelTest, CmdClearAlarms,
    TestResult, TestDate, LastCommand, CommandCount,
    TpBattVoltage, TpBattCapacity, TpBattRuntime, TpBattCurrent, TpBattTemperature,
    TpInFrequency, TpInVoltR, TpInVoltS, TpInVoltT,
    TpOutFrequency, TpOutVoltR, TpOutVoltS, TpOutVoltT, TpOutLoadR, TpOutLoadS, TpOutLoadT,
    TpBypassFrequency, TpBypassVoltR, TpBypassVoltS, TpBypassVoltT,
    TpInCurR, TpInCurS, TpInCurT, TpInLineRS, TpInLineST, TpInLineTR,
    TpOutCurR, TpOutCurS, TpOutCurT, TpOutPowerR, TpOutPowerS, TpOutPowerT,
    TpOutVaR, TpOutVaS, TpOutVaT, TpOutPfR, TpOutPfS, TpOutPfT,
    TpBypassCurR, TpBypassCurS, TpBypassCurT,
    TpDcBusPos, TpDcBusNeg, TpInverterTemp, TpRectifierTemp, TpInternalTemp, TpFanStatus, TpMode,
    PhaseRowCount,
    PhIndex, PhInVoltage, PhInCurrent, PhInFrequency, PhOutVoltage, PhOutCurrent, PhOutFrequency,
    PhOutLoad, PhOutPower, PhOutVa, PhBypassVoltage, PhBypassFrequency,
    EnvOverTemp, EnvUnderTemp, EnvOverHumi, EnvUnderHumi,
    EnvTemperature, EnvHumidity, EnvContact1, EnvContact2, EnvWaterLeak, EnvSmoke,
    NetAddress, NetMask, NetGateway, NetMac, NetDhcp, NetHttpPort, NetServicePort, NetSnmpPort,
    TrapReceiver, TrapPort, TrapKind, TrapInformRetries,
    StatPowerFails, StatOnBatterySeconds, StatLastPowerFail, StatLastPowerReturn, StatBattLowCount,
    StatOverloadCount, StatSelfTestCount, StatUptimeSeconds, StatTrapsSent, StatInformsAcked,
    StatRequests, StatSetRequests, StatBadCommunity, StatDropped, StatInformsFailed,
    Count
};

struct OidEntry
{
    QString text;              // dotted text as in OidList.xml (scalar with ".0", column without row)
    QVector<oid> id;           // the same, numeric
    const char* name = "";     // descriptive object name
    Field field = Field::SysDescr;
    ValType type = ValType::Integer;
    bool column = false;       // table column: instances are id + row
    bool writable = false;
    bool getList = false;      // Access="1": part of the console's SNMP v1 GET list
    int position = -1;         // index in OidList.xml; -1 when the console does not list it
    bool system = false;       // System group of OidList.xml
    int minValue = 0, maxValue = 0; // accepted range of an INTEGER SET (strings: max length)
    const char* unit = "";
};

// One served instance: a scalar, or one row of a column.
struct Instance
{
    QVector<oid> id;
    int entry = -1;  // index into OidTree::entries()
    int row = 0;     // 0 for scalars
};

class OidTree
{
public:
    static const OidTree& instance();

    // Every object, in OidList.xml order (sysUpTime, which the console does
    // not list, sits in tree order among the System entries).
    const QVector<OidEntry>& entries() const { return m_entries; }
    // Entries the console lists, in position order.
    QVector<int> listed() const;
    // All instances served by a card whose tables have `rows` rows
    // (1 or 3), sorted in lexicographic OID order.
    const QVector<Instance>& instances(int rows) const;

    int entryOf(Field f) const { return m_byField[static_cast<int>(f)]; }
    const OidEntry& entry(Field f) const { return m_entries[entryOf(f)]; }

    // The text of cfg/OidList.xml.
    QString oidListXml() const;

    static QString enterpriseBase(); // "1.3.6.1.4.1.935"
    static QString upsBase();        // enterpriseBase + ".1.1.1"
    static QVector<oid> parse(const QString& dotted);
    static QString format(const oid* id, size_t len);

    // Table rows: 1 for single-phase cards, 3 for three-phase cards.
    static constexpr int kMaxRows = 3;

private:
    OidTree();
    QVector<OidEntry> m_entries;
    QVector<int> m_byField;
    QVector<Instance> m_instances[kMaxRows + 1];
};

} // namespace upssim
