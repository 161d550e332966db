#include "OidTree.h"

#include <QStringList>
#include <algorithm>
#include <net-snmp/net-snmp-includes.h>

namespace upssim {

namespace {

struct Def
{
    const char* suffix;   // under the UPS base, or a full OID when it starts with "1.3.6.1.2"
    const char* name;
    Field field;
    ValType type;
    int flags;
    int minValue;
    int maxValue;
    const char* unit;
};

enum : int { Listed = 1, Get = 2, Column = 4, Write = 8, System = 16 };
constexpr int L = Listed;
constexpr int LG = Listed | Get;
constexpr ValType I = ValType::Integer;
constexpr ValType S = ValType::OctetString;

// The whole tree, in OID order. Positions (index among the Listed entries)
// are what the console's device record is built on:
//   0..3 System group, 4..9 identity, 10..19 battery, 20..25 input,
//   26..36 output (31 row count, 33..36 columns of the output line table),
//   37..54 configuration and limits, 55..69 commands (56 power off,
//   60 buzzer, 63 battery self-check), 70..117 three-phase values,
//   118..130 phase table, 131..134 environment limits, 135.. extras.
const Def kDefs[] = {
    // System group (MIB-II). sysObjectID is not served: the console's first
    // GETBULK asks for five objects from sysDescr and needs sysLocation.
    {"1.3.6.1.2.1.1.1.0", "sysDescr", Field::SysDescr, S, LG | System, 0, 255, ""},
    {"1.3.6.1.2.1.1.3.0", "sysUpTime", Field::SysUpTime, ValType::TimeTicks, 0, 0, 0, "1/100 s"},
    {"1.3.6.1.2.1.1.4.0", "sysContact", Field::SysContact, S, LG | System | Write, 0, 255, ""},
    {"1.3.6.1.2.1.1.5.0", "sysName", Field::SysName, S, LG | System | Write, 0, 255, ""},
    {"1.3.6.1.2.1.1.6.0", "sysLocation", Field::SysLocation, S, LG | System | Write, 0, 255, ""},

    // Identity
    {"1.1.1.0", "upsIdentModel", Field::Model, S, LG, 0, 0, ""},
    {"1.1.2.0", "upsIdentName", Field::UpsName, S, LG, 0, 0, ""},
    {"1.2.1.0", "upsIdentFirmware", Field::UpsFirmware, S, LG, 0, 0, ""},
    {"1.2.2.0", "upsIdentManufactureDate", Field::ManufactureDate, S, LG, 0, 0, ""},
    {"1.2.3.0", "upsIdentSerial", Field::Serial, S, LG, 0, 0, ""},
    {"1.2.4.0", "upsIdentAgentFirmware", Field::AgentFirmware, S, LG, 0, 0, ""},

    // Battery: base values, then measurements
    {"2.1.1.0", "upsBatteryStatus", Field::BattStatus, I, LG, 0, 0, "2 normal, 3 low"},
    {"2.1.2.0", "upsBatteryTimeOnBattery", Field::BattTimeOnBattery, I, LG, 0, 0, "s"},
    {"2.1.3.0", "upsBatteryLastReplaceDate", Field::BattReplaceDate, S, LG, 0, 0, ""},
    {"2.2.1.0", "upsBatteryCapacity", Field::BattCapacity, I, LG, 0, 0, "%"},
    {"2.2.2.0", "upsBatteryVoltage", Field::BattVoltage, I, LG, 0, 0, "0.01 V"},
    {"2.2.3.0", "upsBatteryTemperature", Field::BattTemperature, I, LG, 0, 0, "0.1 C"},
    {"2.2.4.0", "upsBatteryRuntimeRemaining", Field::BattRuntime, I, LG, 0, 0, "min"},
    {"2.2.5.0", "upsBatteryReplaceIndicator", Field::BattReplaceFlag, I, LG, 0, 0, "1 no, 2 replace"},
    {"2.2.6.0", "upsBatteryFullChargeVoltage", Field::BattFullVoltage, I, LG, 0, 0, "0.01 V"},
    {"2.2.7.0", "upsBatteryCurrent", Field::BattCurrent, I, LG, 0, 0, "0.1 A"},

    // Input
    {"3.1.1.0", "upsInputPhases", Field::InPhases, I, LG, 0, 0, ""},
    {"3.2.1.0", "upsInputVoltage", Field::InVoltage, I, LG, 0, 0, "0.1 V"},
    {"3.2.2.0", "upsInputVoltageMax", Field::InVoltageMax, I, LG, 0, 0, "0.1 V"},
    {"3.2.3.0", "upsInputVoltageMin", Field::InVoltageMin, I, LG, 0, 0, "0.1 V"},
    {"3.2.4.0", "upsInputFrequency", Field::InFrequency, I, LG, 0, 0, "0.1 Hz"},
    {"3.2.5.0", "upsInputLineFailCause", Field::InFailCause, I, LG, 0, 0, "0 normal, 1 no input, 2 over-voltage"},

    // Output
    {"4.1.1.0", "upsOutputStatus", Field::OutStatus, I, LG, 0, 0, "2 on line, 3 on battery, 6 on bypass, 8 off"},
    {"4.1.2.0", "upsOutputPhases", Field::OutPhases, I, LG, 0, 0, ""},
    {"4.2.1.0", "upsOutputVoltage", Field::OutVoltage, I, LG, 0, 0, "0.1 V"},
    {"4.2.2.0", "upsOutputFrequency", Field::OutFrequency, I, LG, 0, 0, "0.1 Hz"},
    {"4.2.3.0", "upsOutputLoad", Field::OutLoad, I, LG, 0, 0, "%"},
    {"4.3.1.0", "upsOutputLineCount", Field::OutLineCount, I, LG, 0, 0, "rows"},
    {"4.3.2.0", "upsOutputActivePower", Field::OutActivePower, I, L, 0, 0, "W"},
    {"4.3.3.1.1", "upsOutputLineIndex", Field::OutLineIndex, I, L | Column, 0, 0, ""},
    {"4.3.3.1.2", "upsOutputLineVoltage", Field::OutLineVoltage, I, L | Column, 0, 0, "0.1 V"},
    {"4.3.3.1.3", "upsOutputLineCurrent", Field::OutLineCurrent, I, L | Column, 0, 0, "0.1 A"},
    {"4.3.3.1.4", "upsOutputLineLoad", Field::OutLineLoad, I, L | Column, 0, 0, "%"},

    // Configuration and limits
    {"5.1.1.0", "upsConfigRatedInputVoltage", Field::RatedInVoltage, I, LG, 0, 0, "0.1 V"},
    {"5.1.2.0", "upsConfigMaxInputVoltage", Field::MaxInVoltage, I, LG | Write, 1000, 3500, "0.1 V"},
    {"5.1.3.0", "upsConfigMinInputVoltage", Field::MinInVoltage, I, LG | Write, 1000, 3500, "0.1 V"},
    {"5.1.4.0", "upsConfigRatedOutputVoltage", Field::RatedOutVoltage, I, LG, 0, 0, "0.1 V"},
    {"5.1.5.0", "upsConfigRatedFrequency", Field::RatedFrequency, I, LG, 0, 0, "0.1 Hz"},
    {"5.1.6.0", "upsConfigRatedVA", Field::RatedVA, I, LG, 0, 0, "VA"},
    {"5.1.7.0", "upsConfigAudibleAlarm", Field::AudibleAlarm, I, LG, 0, 0, "1 disabled, 2 enabled"},
    {"5.1.8.0", "upsConfigLowBattRuntime", Field::LowBattRuntimeMirror, I, LG, 0, 0, "min"},
    {"5.1.9.0", "upsConfigShutdownDelay", Field::ShutdownDelay, I, LG, 0, 0, "s"},
    {"5.1.10.0", "upsConfigRestartDelay", Field::RestartDelay, I, LG, 0, 0, "s"},
    {"5.1.11.0", "upsConfigBatteryCount", Field::BatteryCount, I, LG, 0, 0, ""},
    {"5.1.12.0", "upsConfigSelfTestInterval", Field::SelfTestInterval, I, L, 0, 0, "days"},
    {"5.2.1.0", "upsLimitMaxOutputVoltage", Field::MaxOutVoltage, I, LG | Write, 1000, 3500, "0.1 V"},
    {"5.2.2.0", "upsLimitMinOutputVoltage", Field::MinOutVoltage, I, LG | Write, 1000, 3500, "0.1 V"},
    {"5.2.3.0", "upsLimitTemperatureAlarm", Field::TempAlarm, I, LG | Write, 0, 100, "C"},
    {"5.2.4.0", "upsLimitLoadAlarm", Field::LoadAlarm, I, LG | Write, 0, 150, "%"},
    {"5.2.5.0", "upsLimitLowBattVoltage", Field::LowBattVoltage, I, LG | Write, 0, 60000, "0.01 V"},
    {"5.2.6.0", "upsLimitLowBattRuntime", Field::LowBattRuntime, I, LG | Write, 0, 600, "min"},

    // Commands: write 2 to run (enable), 1 to cancel (disable)
    {"6.1.1.0", "upsCommandTurnOn", Field::CmdTurnOn, I, L | Write, 1, 2, ""},
    {"6.1.2.0", "upsCommandPowerOff", Field::CmdPowerOff, I, L | Write, 1, 2, ""},
    {"6.1.3.0", "upsCommandReboot", Field::CmdReboot, I, L | Write, 1, 2, ""},
    {"6.1.4.0", "upsCommandSleep", Field::CmdSleep, I, L | Write, 1, 2, ""},
    {"6.1.5.0", "upsCommandBypass", Field::CmdBypass, I, L | Write, 1, 2, ""},
    {"6.1.6.0", "upsCommandBuzzer", Field::CmdBuzzer, I, L | Write, 1, 2, ""},
    {"6.1.7.0", "upsCommandQuickTest", Field::CmdQuickTest, I, L | Write, 1, 2, ""},
    {"6.1.8.0", "upsCommandDeepTest", Field::CmdDeepTest, I, L | Write, 1, 2, ""},
    {"6.1.9.0", "upsCommandBatterySelfCheck", Field::CmdSelfCheck, I, L | Write, 1, 2, ""},
    {"6.1.10.0", "upsCommandCancelTest", Field::CmdCancelTest, I, L | Write, 1, 2, ""},
    {"6.1.11.0", "upsCommandClearAlarms", Field::CmdClearAlarms, I, L | Write, 1, 2, ""},
    {"6.1.12.0", "upsTestResult", Field::TestResult, I, L, 0, 0, "1 none, 2 passed, 3 failed, 4 running"},
    {"6.1.13.0", "upsTestDate", Field::TestDate, S, L, 0, 0, ""},
    {"6.1.14.0", "upsLastCommand", Field::LastCommand, S, L, 0, 0, ""},
    {"6.1.15.0", "upsCommandCount", Field::CommandCount, I, L, 0, 0, ""},

    // Three-phase values (single-phase cards answer 0)
    {"8.1.1.0", "tpBatteryVoltage", Field::TpBattVoltage, I, LG, 0, 0, "0.1 V"},
    {"8.1.2.0", "tpBatteryCapacity", Field::TpBattCapacity, I, LG, 0, 0, "%"},
    {"8.1.3.0", "tpBatteryRuntime", Field::TpBattRuntime, I, LG, 0, 0, "min"},
    {"8.1.4.0", "tpBatteryCurrent", Field::TpBattCurrent, I, LG, 0, 0, "0.1 A"},
    {"8.1.5.0", "tpBatteryTemperature", Field::TpBattTemperature, I, LG, 0, 0, "0.1 C"},
    {"8.2.1.0", "tpInputFrequency", Field::TpInFrequency, I, LG, 0, 0, "0.1 Hz"},
    {"8.2.2.0", "tpInputVoltageR", Field::TpInVoltR, I, LG, 0, 0, "0.1 V"},
    {"8.2.3.0", "tpInputVoltageS", Field::TpInVoltS, I, LG, 0, 0, "0.1 V"},
    {"8.2.4.0", "tpInputVoltageT", Field::TpInVoltT, I, LG, 0, 0, "0.1 V"},
    {"8.3.1.0", "tpOutputFrequency", Field::TpOutFrequency, I, LG, 0, 0, "0.1 Hz"},
    {"8.3.2.0", "tpOutputVoltageR", Field::TpOutVoltR, I, LG, 0, 0, "0.1 V"},
    {"8.3.3.0", "tpOutputVoltageS", Field::TpOutVoltS, I, LG, 0, 0, "0.1 V"},
    {"8.3.4.0", "tpOutputVoltageT", Field::TpOutVoltT, I, LG, 0, 0, "0.1 V"},
    {"8.3.5.0", "tpOutputLoadR", Field::TpOutLoadR, I, LG, 0, 0, "%"},
    {"8.3.6.0", "tpOutputLoadS", Field::TpOutLoadS, I, LG, 0, 0, "%"},
    {"8.3.7.0", "tpOutputLoadT", Field::TpOutLoadT, I, LG, 0, 0, "%"},
    {"8.4.1.0", "tpBypassFrequency", Field::TpBypassFrequency, I, LG, 0, 0, "0.1 Hz"},
    {"8.4.2.0", "tpBypassVoltageR", Field::TpBypassVoltR, I, LG, 0, 0, "0.1 V"},
    {"8.4.3.0", "tpBypassVoltageS", Field::TpBypassVoltS, I, LG, 0, 0, "0.1 V"},
    {"8.4.4.0", "tpBypassVoltageT", Field::TpBypassVoltT, I, LG, 0, 0, "0.1 V"},
    {"8.5.1.0", "tpInputCurrentR", Field::TpInCurR, I, L, 0, 0, "0.1 A"},
    {"8.5.2.0", "tpInputCurrentS", Field::TpInCurS, I, L, 0, 0, "0.1 A"},
    {"8.5.3.0", "tpInputCurrentT", Field::TpInCurT, I, L, 0, 0, "0.1 A"},
    {"8.5.4.0", "tpInputLineVoltageRS", Field::TpInLineRS, I, L, 0, 0, "0.1 V"},
    {"8.5.5.0", "tpInputLineVoltageST", Field::TpInLineST, I, L, 0, 0, "0.1 V"},
    {"8.5.6.0", "tpInputLineVoltageTR", Field::TpInLineTR, I, L, 0, 0, "0.1 V"},
    {"8.6.1.0", "tpOutputCurrentR", Field::TpOutCurR, I, L, 0, 0, "0.1 A"},
    {"8.6.2.0", "tpOutputCurrentS", Field::TpOutCurS, I, L, 0, 0, "0.1 A"},
    {"8.6.3.0", "tpOutputCurrentT", Field::TpOutCurT, I, L, 0, 0, "0.1 A"},
    {"8.6.4.0", "tpOutputPowerR", Field::TpOutPowerR, I, L, 0, 0, "W"},
    {"8.6.5.0", "tpOutputPowerS", Field::TpOutPowerS, I, L, 0, 0, "W"},
    {"8.6.6.0", "tpOutputPowerT", Field::TpOutPowerT, I, L, 0, 0, "W"},
    {"8.6.7.0", "tpOutputVaR", Field::TpOutVaR, I, L, 0, 0, "VA"},
    {"8.6.8.0", "tpOutputVaS", Field::TpOutVaS, I, L, 0, 0, "VA"},
    {"8.6.9.0", "tpOutputVaT", Field::TpOutVaT, I, L, 0, 0, "VA"},
    {"8.6.10.0", "tpOutputPowerFactorR", Field::TpOutPfR, I, L, 0, 0, "0.01"},
    {"8.6.11.0", "tpOutputPowerFactorS", Field::TpOutPfS, I, L, 0, 0, "0.01"},
    {"8.6.12.0", "tpOutputPowerFactorT", Field::TpOutPfT, I, L, 0, 0, "0.01"},
    {"8.7.1.0", "tpBypassCurrentR", Field::TpBypassCurR, I, L, 0, 0, "0.1 A"},
    {"8.7.2.0", "tpBypassCurrentS", Field::TpBypassCurS, I, L, 0, 0, "0.1 A"},
    {"8.7.3.0", "tpBypassCurrentT", Field::TpBypassCurT, I, L, 0, 0, "0.1 A"},
    {"8.8.1.0", "tpDcBusPositive", Field::TpDcBusPos, I, L, 0, 0, "0.1 V"},
    {"8.8.2.0", "tpDcBusNegative", Field::TpDcBusNeg, I, L, 0, 0, "0.1 V"},
    {"8.8.3.0", "tpInverterTemperature", Field::TpInverterTemp, I, L, 0, 0, "0.1 C"},
    {"8.8.4.0", "tpRectifierTemperature", Field::TpRectifierTemp, I, L, 0, 0, "0.1 C"},
    {"8.8.5.0", "tpInternalTemperature", Field::TpInternalTemp, I, L, 0, 0, "0.1 C"},
    {"8.8.6.0", "tpFanStatus", Field::TpFanStatus, I, L, 0, 0, "1 ok, 2 fault"},
    {"8.8.7.0", "tpOperatingMode", Field::TpMode, I, L, 0, 0, "same codes as upsOutputStatus"},
    {"8.9.1.0", "phaseTableRows", Field::PhaseRowCount, I, L, 0, 0, "rows"},
    {"8.9.2.1.1", "phaseIndex", Field::PhIndex, I, L | Column, 0, 0, ""},
    {"8.9.2.1.2", "phaseInputVoltage", Field::PhInVoltage, I, L | Column, 0, 0, "0.1 V"},
    {"8.9.2.1.3", "phaseInputCurrent", Field::PhInCurrent, I, L | Column, 0, 0, "0.1 A"},
    {"8.9.2.1.4", "phaseInputFrequency", Field::PhInFrequency, I, L | Column, 0, 0, "0.1 Hz"},
    {"8.9.2.1.5", "phaseOutputVoltage", Field::PhOutVoltage, I, L | Column, 0, 0, "0.1 V"},
    {"8.9.2.1.6", "phaseOutputCurrent", Field::PhOutCurrent, I, L | Column, 0, 0, "0.1 A"},
    {"8.9.2.1.7", "phaseOutputFrequency", Field::PhOutFrequency, I, L | Column, 0, 0, "0.1 Hz"},
    {"8.9.2.1.8", "phaseOutputLoad", Field::PhOutLoad, I, L | Column, 0, 0, "%"},
    {"8.9.2.1.9", "phaseOutputPower", Field::PhOutPower, I, L | Column, 0, 0, "W"},
    {"8.9.2.1.10", "phaseOutputVa", Field::PhOutVa, I, L | Column, 0, 0, "VA"},
    {"8.9.2.1.11", "phaseBypassVoltage", Field::PhBypassVoltage, I, L | Column, 0, 0, "0.1 V"},
    {"8.9.2.1.12", "phaseBypassFrequency", Field::PhBypassFrequency, I, L | Column, 0, 0, "0.1 Hz"},

    // Environment limits, then readings
    {"9.2.1.0", "envLimitOverTemperature", Field::EnvOverTemp, I, LG | Write, -40, 100, "C"},
    {"9.2.2.0", "envLimitUnderTemperature", Field::EnvUnderTemp, I, LG | Write, -40, 100, "C"},
    {"9.2.3.0", "envLimitOverHumidity", Field::EnvOverHumi, I, LG | Write, 0, 100, "%RH"},
    {"9.2.4.0", "envLimitUnderHumidity", Field::EnvUnderHumi, I, LG | Write, 0, 100, "%RH"},
    {"9.3.1.0", "envTemperature", Field::EnvTemperature, I, L, 0, 0, "C"},
    {"9.3.2.0", "envHumidity", Field::EnvHumidity, I, L, 0, 0, "%RH"},
    {"9.3.3.0", "envContact1", Field::EnvContact1, I, L, 0, 0, "1 open, 2 closed"},
    {"9.3.4.0", "envContact2", Field::EnvContact2, I, L, 0, 0, "1 open, 2 closed"},
    {"9.3.5.0", "envWaterLeak", Field::EnvWaterLeak, I, L, 0, 0, "1 dry, 2 leak"},
    {"9.3.6.0", "envSmoke", Field::EnvSmoke, I, L, 0, 0, "1 clear, 2 smoke"},

    // Card network and trap settings (read-only here)
    {"10.1.1.0", "cardAddress", Field::NetAddress, ValType::IpAddress, L, 0, 0, ""},
    {"10.1.2.0", "cardNetmask", Field::NetMask, ValType::IpAddress, L, 0, 0, ""},
    {"10.1.3.0", "cardGateway", Field::NetGateway, ValType::IpAddress, L, 0, 0, ""},
    {"10.1.4.0", "cardMacAddress", Field::NetMac, S, L, 0, 0, ""},
    {"10.1.5.0", "cardDhcp", Field::NetDhcp, I, L, 0, 0, "1 off, 2 on"},
    {"10.1.6.0", "cardHttpPort", Field::NetHttpPort, I, L, 0, 0, ""},
    {"10.1.7.0", "cardServicePort", Field::NetServicePort, I, L, 0, 0, ""},
    {"10.1.8.0", "cardSnmpPort", Field::NetSnmpPort, I, L, 0, 0, ""},
    {"10.2.1.0", "trapReceiverAddress", Field::TrapReceiver, ValType::IpAddress, L, 0, 0, ""},
    {"10.2.2.0", "trapReceiverPort", Field::TrapPort, I, L, 0, 0, ""},
    {"10.2.3.0", "trapKind", Field::TrapKind, I, L, 0, 0, "1 v1 trap, 2 v2c trap, 3 inform"},
    {"10.2.4.0", "trapInformRetries", Field::TrapInformRetries, I, L, 0, 0, ""},

    // Counters
    {"11.1.1.0", "statPowerFailures", Field::StatPowerFails, I, L, 0, 0, ""},
    {"11.1.2.0", "statOnBatterySeconds", Field::StatOnBatterySeconds, I, L, 0, 0, "s"},
    {"11.1.3.0", "statLastPowerFailure", Field::StatLastPowerFail, S, L, 0, 0, ""},
    {"11.1.4.0", "statLastPowerReturn", Field::StatLastPowerReturn, S, L, 0, 0, ""},
    {"11.1.5.0", "statBatteryLowCount", Field::StatBattLowCount, I, L, 0, 0, ""},
    {"11.1.6.0", "statOverloadCount", Field::StatOverloadCount, I, L, 0, 0, ""},
    {"11.1.7.0", "statSelfTestCount", Field::StatSelfTestCount, I, L, 0, 0, ""},
    {"11.1.8.0", "statUptimeSeconds", Field::StatUptimeSeconds, I, L, 0, 0, "s"},
    {"11.1.9.0", "statTrapsSent", Field::StatTrapsSent, I, L, 0, 0, ""},
    {"11.1.10.0", "statInformsAcknowledged", Field::StatInformsAcked, I, L, 0, 0, ""},
    {"11.1.11.0", "statRequests", Field::StatRequests, I, L, 0, 0, ""},
    {"11.1.12.0", "statSetRequests", Field::StatSetRequests, I, L, 0, 0, ""},
    {"11.1.13.0", "statBadCommunity", Field::StatBadCommunity, I, L, 0, 0, ""},
    {"11.1.14.0", "statDroppedPackets", Field::StatDropped, I, L, 0, 0, ""},
    {"11.1.15.0", "statInformsFailed", Field::StatInformsFailed, I, L, 0, 0, ""},
};

} // namespace

QString OidTree::enterpriseBase() { return QStringLiteral("1.3.6.1.4.1.935"); }
QString OidTree::upsBase() { return enterpriseBase() + QStringLiteral(".1.1.1"); }

QVector<oid> OidTree::parse(const QString& dotted)
{
    QVector<oid> out;
    QString t = dotted.trimmed();
    if (t.startsWith('.'))
        t.remove(0, 1);
    if (t.isEmpty())
        return out;
    for (const QString& part : t.split('.')) {
        bool ok = false;
        const qulonglong v = part.toULongLong(&ok);
        if (!ok || v > 0xffffffffULL)
            return {};
        out.append(static_cast<oid>(v));
    }
    return out;
}

QString OidTree::format(const oid* id, size_t len)
{
    QString s;
    s.reserve(int(len) * 3);
    for (size_t i = 0; i < len; ++i) {
        if (i)
            s += '.';
        s += QString::number(qulonglong(id[i]));
    }
    return s;
}

static bool oidLess(const QVector<oid>& a, const QVector<oid>& b)
{
    return snmp_oid_compare(a.constData(), size_t(a.size()), b.constData(), size_t(b.size())) < 0;
}

OidTree::OidTree()
{
    m_byField.fill(-1, static_cast<int>(Field::Count));
    int position = 0;
    for (const Def& d : kDefs) {
        OidEntry e;
        const QString suffix = QString::fromLatin1(d.suffix);
        e.text = suffix.startsWith(QLatin1String("1.3.6.1.")) ? suffix : upsBase() + '.' + suffix;
        e.id = parse(e.text);
        e.name = d.name;
        e.field = d.field;
        e.type = d.type;
        e.column = d.flags & Column;
        e.writable = d.flags & Write;
        e.getList = d.flags & Get;
        e.system = d.flags & System;
        e.position = (d.flags & Listed) ? position++ : -1;
        e.minValue = d.minValue;
        e.maxValue = d.maxValue;
        e.unit = d.unit;
        m_byField[static_cast<int>(d.field)] = m_entries.size();
        m_entries.append(e);
    }
    for (int rows = 1; rows <= kMaxRows; ++rows) {
        QVector<Instance>& list = m_instances[rows];
        for (int i = 0; i < m_entries.size(); ++i) {
            const OidEntry& e = m_entries[i];
            if (!e.column) {
                list.append({e.id, i, 0});
                continue;
            }
            for (int r = 1; r <= rows; ++r) {
                Instance in{e.id, i, r};
                in.id.append(oid(r));
                list.append(in);
            }
        }
        std::sort(list.begin(), list.end(),
                  [](const Instance& a, const Instance& b) { return oidLess(a.id, b.id); });
    }
}

const OidTree& OidTree::instance()
{
    static const OidTree tree;
    return tree;
}

QVector<int> OidTree::listed() const
{
    QVector<int> out;
    for (int i = 0; i < m_entries.size(); ++i)
        if (m_entries[i].position >= 0)
            out.append(i);
    return out;
}

const QVector<Instance>& OidTree::instances(int rows) const
{
    return m_instances[qBound(1, rows, kMaxRows)];
}

QString OidTree::oidListXml() const
{
    QString out;
    out += QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
    out += QStringLiteral("<!-- OIDs polled by the console. The position of an Oid (its index in\n"
                          "     document order, System first) selects the field of the device record.\n"
                          "     Access=\"1\": fetched by GET when polling with SNMP v1.\n"
                          "     Type=\"table\": a table column, listed without a row number.\n"
                          "     Generated from the simulated card's OID tree (upssim, option print-oidlist). -->\n");
    out += QStringLiteral("<Oids>\n");
    auto group = [&](bool system) {
        out += system ? QStringLiteral("  <System>\n") : QStringLiteral("  <UPS>\n");
        for (const OidEntry& e : m_entries) {
            if (e.position < 0 || e.system != system)
                continue;
            out += QStringLiteral("    <Oid Value=\"%1\"").arg(e.text);
            if (e.getList)
                out += QStringLiteral(" Access=\"1\"");
            if (e.column)
                out += QStringLiteral(" Type=\"table\"");
            out += QStringLiteral("/> <!-- %1 %2 -->\n").arg(e.position, 3).arg(QString::fromLatin1(e.name));
        }
        out += system ? QStringLiteral("  </System>\n") : QStringLiteral("  </UPS>\n");
    };
    group(true);
    group(false);
    out += QStringLiteral("</Oids>\n");
    return out;
}

} // namespace upssim
