#include "Card.h"

#include <QDateTime>
#include <QHostAddress>
#include <cmath>
#include <net-snmp/net-snmp-includes.h>

namespace upssim {

BatteryModel Card::battery;
quint64 Card::droppedPackets = 0;

QString trapName(int trap)
{
    switch (trap) {
    case TrapOverload: return QStringLiteral("overload");
    case TrapSelfTestFailed: return QStringLiteral("self-test failed");
    case TrapDischarged: return QStringLiteral("battery discharged");
    case TrapOnBattery: return QStringLiteral("on battery");
    case TrapBatteryLow: return QStringLiteral("battery low");
    case TrapPowerRestored: return QStringLiteral("power restored");
    case TrapSelfTestPassed: return QStringLiteral("self-test passed");
    case TrapBatteryLowCleared: return QStringLiteral("battery low cleared");
    case TrapTurnedOff: return QStringLiteral("turned off");
    case TrapSleeping: return QStringLiteral("sleeping");
    case TrapTurnedOn: return QStringLiteral("turned on");
    case TrapRebootStarted: return QStringLiteral("reboot started");
    case TrapOnBypass: return QStringLiteral("on bypass");
    case TrapBypassCleared: return QStringLiteral("bypass cleared");
    case TrapOverloadCleared: return QStringLiteral("overload cleared");
    case TrapInputOverVoltage: return QStringLiteral("input over-voltage");
    default: return QStringLiteral("trap %1").arg(trap);
    }
}

static quint32 mix(quint32 x)
{
    x ^= x >> 16;
    x *= 0x7feb352dU;
    x ^= x >> 15;
    x *= 0x846ca68bU;
    x ^= x >> 16;
    return x;
}

Card::Card(int index, quint32 address, bool threePhase, qint64 startMs)
    : m_index(index), m_address(address), m_threePhase(threePhase), m_seed(mix(address ^ 0x5eed1234U)),
      m_startMs(startMs), m_lastTickMs(startMs)
{
    const quint32 s = m_seed;
    const QString addr = addressText();
    const QString tail = QStringLiteral("%1-%2").arg((address >> 8) & 0xff).arg(address & 0xff);
    static const char* singleModels[] = {"VX-1000S", "VX-2000S", "VX-3000S", "VX-6000S"};
    static const int singleVa[] = {1000, 2000, 3000, 6000};
    static const char* threeModels[] = {"VX-10KT", "VX-20KT", "VX-40KT"};
    static const int threeVa[] = {10000, 20000, 40000};
    if (threePhase) {
        m_model = QString::fromLatin1(threeModels[s % 3]);
        m_ratedVa = threeVa[s % 3];
    } else {
        m_model = QString::fromLatin1(singleModels[s % 4]);
        m_ratedVa = singleVa[s % 4];
    }
    m_descr = QStringLiteral("UPS network management card (simulated), %1").arg(m_model);
    m_contact = QStringLiteral("Administrator %1").arg(1 + s % 7);
    m_name = QStringLiteral("ups-%1").arg(tail);
    m_location = QStringLiteral("Building %1, room %2, rack %3")
                     .arg(QChar('A' + int(s % 4)))
                     .arg(100 + int((s >> 3) % 30))
                     .arg(1 + int((s >> 8) % 12));
    m_upsName = QStringLiteral("UPS %1").arg(tail);
    m_upsFw = QStringLiteral("UPS-FW %1.%2").arg(2 + s % 2).arg((s >> 4) % 10);
    m_mfgDate = QStringLiteral("20%1/%2/%3")
                    .arg(18 + int((s >> 5) % 6))
                    .arg(1 + int((s >> 9) % 12), 2, 10, QChar('0'))
                    .arg(1 + int((s >> 13) % 28), 2, 10, QChar('0'));
    m_serial = QStringLiteral("VS%1").arg(qulonglong(mix(s) % 10000000000ULL), 10, 10, QChar('0'));
    m_agentFw = QStringLiteral("CARD-FW 3.%1.%2").arg((s >> 6) % 5).arg((s >> 11) % 20);
    m_battReplaced = QStringLiteral("20%1/%2/01").arg(22 + int((s >> 7) % 3)).arg(1 + int((s >> 17) % 12), 2, 10, QChar('0'));
    m_nominalVolt = threePhase ? 2300 : ((s >> 2) % 3 == 0 ? 2300 : 2200);
    m_baseLoad = 20 + int((s >> 19) % 45);
    Q_UNUSED(addr);
}

QString Card::addressText() const
{
    return QHostAddress(m_address).toString();
}

QString Card::stamp(qint64 nowMs)
{
    return QDateTime::fromMSecsSinceEpoch(nowMs).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

double Card::wave(qint64 nowMs, double periodS, int salt) const
{
    const double phase = double(mix(m_seed + quint32(salt)) % 6283) / 1000.0;
    return std::sin(2.0 * M_PI * (double(nowMs) / 1000.0) / periodS + phase);
}

double Card::jitter(qint64 nowMs, int salt) const
{
    const quint32 h = mix(m_seed ^ quint32(nowMs / 1000) ^ (quint32(salt) * 0x9e3779b9U));
    return double(h % 2001) / 1000.0 - 1.0;
}

int Card::outputStatus() const
{
    if (m_outputOff)
        return 8;
    if (onBattery())
        return m_capacity > 0.0 ? 3 : 8;
    if (m_bypass)
        return 6;
    return 2;
}

int Card::load(qint64 nowMs) const
{
    if (outputStatus() == 8)
        return 0;
    if (m_fixedLoad >= 0)
        return m_fixedLoad;
    return qBound(0, int(std::lround(m_baseLoad + 6.0 * wave(nowMs, 300.0, 1) + 1.5 * jitter(nowMs, 2))), 150);
}

int Card::inputVoltage(qint64 nowMs, int phase) const
{
    if (m_mainsFailed)
        return 0;
    const int base = m_overVoltage ? m_nominalVolt * 125 / 100 : m_nominalVolt;
    return int(std::lround(base + 40.0 * wave(nowMs, 120.0, 10 + phase) + 8.0 * jitter(nowMs, 20 + phase)));
}

int Card::outputVoltage(qint64 nowMs, int phase) const
{
    if (outputStatus() == 8)
        return 0;
    if (m_bypass && !onBattery())
        return inputVoltage(nowMs, phase);
    return int(std::lround(m_nominalVolt + 6.0 * wave(nowMs, 90.0, 30 + phase) + 2.0 * jitter(nowMs, 40 + phase)));
}

int Card::runtimeMinutes(qint64 nowMs) const
{
    const int l = qMax(5, load(nowMs));
    return int(m_capacity / 100.0 * 40.0 * 50.0 / l);
}

int Card::battVoltage() const
{
    // 48 V string (single-phase, 0.01 V) or 384 V string (three-phase, 0.1 V).
    const double full = 5460.0, empty = 4200.0;
    double v = empty + (full - empty) * m_capacity / 100.0;
    if (onBattery())
        v -= 120.0;
    return int(std::lround(v));
}

int Card::battCurrent(qint64 nowMs) const
{
    if (onBattery() && !m_outputOff)
        return -int(std::lround(double(m_ratedVa) * load(nowMs) / 100.0 / 48.0));
    return m_capacity < 100.0 ? 35 : 2;
}

Value Card::value(Field f, int row, qint64 nowMs) const
{
    const int phases = m_threePhase ? 3 : 1;
    const bool tp = m_threePhase;
    // Computed on demand: a GETBULK asks for one object at a time.
    auto loadNow = [&]() { return load(nowMs); };
    auto inFreqNow = [&]() { return m_mainsFailed ? 0 : int(std::lround(500 + 2.0 * wave(nowMs, 60.0, 50))); };
    auto outFreqNow = [&]() { return outputStatus() == 8 ? 0 : (onBattery() ? 500 : inFreqNow()); };
    auto phaseLoad = [&](int p) {
        const int ld = loadNow();
        return ld == 0 ? 0 : qMax(0, ld + (p - 1) * 3 - 2);
    };
    auto phaseCurrent = [&](int p) {
        const int v = outputVoltage(nowMs, p);
        return v == 0 ? 0 : int(std::lround(double(m_ratedVa) / phases * phaseLoad(p) / 100.0 / (v / 10.0) * 10.0));
    };
    auto tpOnly = [&](qint64 v) { return Value::integer(tp ? v : 0); };
    switch (f) {
    case Field::SysDescr: return Value::text(m_descr);
    case Field::SysUpTime: { Value v = Value::integer((nowMs - m_startMs) / 10); v.type = ValType::TimeTicks; return v; }
    case Field::SysContact: return Value::text(m_contact);
    case Field::SysName: return Value::text(m_name);
    case Field::SysLocation: return Value::text(m_location);
    case Field::Model: return Value::text(m_model);
    case Field::UpsName: return Value::text(m_upsName);
    case Field::UpsFirmware: return Value::text(m_upsFw);
    case Field::ManufactureDate: return Value::text(m_mfgDate);
    case Field::Serial: return Value::text(m_serial);
    case Field::AgentFirmware: return Value::text(m_agentFw);
    case Field::BattStatus: return Value::integer(m_lowReported ? 3 : 2);
    case Field::BattTimeOnBattery: return Value::integer(onBattery() ? qint64(m_onBatterySeconds) : 0);
    case Field::BattReplaceDate: return Value::text(m_battReplaced);
    case Field::BattCapacity: return Value::integer(qint64(std::floor(m_capacity)));
    case Field::BattVoltage: return Value::integer(battVoltage());
    case Field::BattTemperature: return Value::integer(std::lround(250 + 15.0 * wave(nowMs, 600.0, 70) + (onBattery() ? 20 : 0)));
    case Field::BattRuntime: return Value::integer(runtimeMinutes(nowMs));
    case Field::BattReplaceFlag: return Value::integer(1);
    case Field::BattFullVoltage: return Value::integer(5460);
    case Field::BattCurrent: return Value::integer(battCurrent(nowMs));
    case Field::InPhases: return Value::integer(phases);
    case Field::InVoltage: return Value::integer(inputVoltage(nowMs, 0));
    case Field::InVoltageMax: return Value::integer(m_mainsFailed ? 0 : inputVoltage(nowMs, 0) + 30 + int(10 * std::fabs(jitter(nowMs, 80))));
    case Field::InVoltageMin: return Value::integer(m_mainsFailed ? 0 : qMax(0, inputVoltage(nowMs, 0) - 30 - int(10 * std::fabs(jitter(nowMs, 81)))));
    case Field::InFrequency: return Value::integer(inFreqNow());
    case Field::InFailCause: return Value::integer(m_mainsFailed ? 1 : (m_overVoltage ? 2 : 0));
    case Field::OutStatus: return Value::integer(outputStatus());
    case Field::OutPhases: return Value::integer(phases);
    case Field::OutVoltage: return Value::integer(outputVoltage(nowMs, 0));
    case Field::OutFrequency: return Value::integer(outFreqNow());
    case Field::OutLoad: return Value::integer(loadNow());
    case Field::OutLineCount: return Value::integer(phases);
    case Field::OutActivePower: return Value::integer(std::lround(m_ratedVa * 0.9 * loadNow() / 100.0));
    case Field::OutLineIndex: return Value::integer(row);
    case Field::OutLineVoltage: return Value::integer(outputVoltage(nowMs, row - 1));
    case Field::OutLineCurrent: return Value::integer(phaseCurrent(row - 1));
    case Field::OutLineLoad: return Value::integer(phaseLoad(row - 1));
    case Field::RatedInVoltage: return Value::integer(m_nominalVolt);
    case Field::MaxInVoltage: return Value::integer(m_maxInVolt);
    case Field::MinInVoltage: return Value::integer(m_minInVolt);
    case Field::RatedOutVoltage: return Value::integer(m_nominalVolt);
    case Field::RatedFrequency: return Value::integer(500);
    case Field::RatedVA: return Value::integer(m_ratedVa);
    case Field::AudibleAlarm: return Value::integer(m_audible);
    case Field::LowBattRuntimeMirror: return Value::integer(m_lowBattRuntime);
    case Field::ShutdownDelay: return Value::integer(60);
    case Field::RestartDelay: return Value::integer(10);
    case Field::BatteryCount: return Value::integer(tp ? 32 : 4);
    case Field::SelfTestInterval: return Value::integer(14);
    case Field::MaxOutVoltage: return Value::integer(m_maxOutVolt);
    case Field::MinOutVoltage: return Value::integer(m_minOutVolt);
    case Field::TempAlarm: return Value::integer(m_tempAlarm);
    case Field::LoadAlarm: return Value::integer(m_loadAlarm);
    case Field::LowBattVoltage: return Value::integer(m_lowBattVolt);
    case Field::LowBattRuntime: return Value::integer(m_lowBattRuntime);
    case Field::CmdTurnOn: case Field::CmdPowerOff: case Field::CmdReboot: case Field::CmdSleep:
    case Field::CmdBypass: case Field::CmdBuzzer: case Field::CmdQuickTest: case Field::CmdDeepTest:
    case Field::CmdSelfCheck: case Field::CmdCancelTest: case Field::CmdClearAlarms:
        return Value::integer(m_commandValue[int(f) - int(Field::CmdTurnOn)]);
    case Field::TestResult: return Value::integer(m_testEndsMs > nowMs ? 4 : m_testResult);
    case Field::TestDate: return Value::text(m_testDate);
    case Field::LastCommand: return Value::text(m_lastCommand);
    case Field::CommandCount: return Value::integer(m_commandCount);
    case Field::TpBattVoltage: return tpOnly(battVoltage() * 8 / 10);
    case Field::TpBattCapacity: return tpOnly(qint64(std::floor(m_capacity)));
    case Field::TpBattRuntime: return tpOnly(runtimeMinutes(nowMs));
    case Field::TpBattCurrent: return tpOnly(battCurrent(nowMs) / 8);
    case Field::TpBattTemperature: return tpOnly(std::lround(250 + 15.0 * wave(nowMs, 600.0, 70)));
    case Field::TpInFrequency: return tpOnly(inFreqNow());
    case Field::TpInVoltR: case Field::TpInVoltS: case Field::TpInVoltT:
        return tpOnly(inputVoltage(nowMs, int(f) - int(Field::TpInVoltR)));
    case Field::TpOutFrequency: return tpOnly(outFreqNow());
    case Field::TpOutVoltR: case Field::TpOutVoltS: case Field::TpOutVoltT:
        return tpOnly(outputVoltage(nowMs, int(f) - int(Field::TpOutVoltR)));
    case Field::TpOutLoadR: case Field::TpOutLoadS: case Field::TpOutLoadT:
        return tpOnly(phaseLoad(int(f) - int(Field::TpOutLoadR)));
    case Field::TpBypassFrequency: return tpOnly(inFreqNow());
    case Field::TpBypassVoltR: case Field::TpBypassVoltS: case Field::TpBypassVoltT:
        return tpOnly(inputVoltage(nowMs, int(f) - int(Field::TpBypassVoltR)));
    case Field::TpInCurR: case Field::TpInCurS: case Field::TpInCurT:
        return tpOnly(onBattery() ? 0 : phaseCurrent(int(f) - int(Field::TpInCurR)) + 5);
    case Field::TpInLineRS: case Field::TpInLineST: case Field::TpInLineTR:
        return tpOnly(std::lround(inputVoltage(nowMs, int(f) - int(Field::TpInLineRS)) * 1.732));
    case Field::TpOutCurR: case Field::TpOutCurS: case Field::TpOutCurT:
        return tpOnly(phaseCurrent(int(f) - int(Field::TpOutCurR)));
    case Field::TpOutPowerR: case Field::TpOutPowerS: case Field::TpOutPowerT:
        return tpOnly(std::lround(m_ratedVa / 3.0 * 0.9 * phaseLoad(int(f) - int(Field::TpOutPowerR)) / 100.0));
    case Field::TpOutVaR: case Field::TpOutVaS: case Field::TpOutVaT:
        return tpOnly(std::lround(m_ratedVa / 3.0 * phaseLoad(int(f) - int(Field::TpOutVaR)) / 100.0));
    case Field::TpOutPfR: case Field::TpOutPfS: case Field::TpOutPfT: return tpOnly(loadNow() ? 90 : 0);
    case Field::TpBypassCurR: case Field::TpBypassCurS: case Field::TpBypassCurT:
        return tpOnly(m_bypass ? phaseCurrent(int(f) - int(Field::TpBypassCurR)) : 0);
    case Field::TpDcBusPos: return tpOnly(outputStatus() == 8 ? 0 : 3850);
    case Field::TpDcBusNeg: return tpOnly(outputStatus() == 8 ? 0 : 3840);
    case Field::TpInverterTemp: return tpOnly(std::lround(380 + 40.0 * loadNow() / 100.0));
    case Field::TpRectifierTemp: return tpOnly(std::lround(350 + 30.0 * loadNow() / 100.0));
    case Field::TpInternalTemp: return tpOnly(std::lround(300 + 20.0 * wave(nowMs, 700.0, 71)));
    case Field::TpFanStatus: return tpOnly(1);
    case Field::TpMode: return tpOnly(outputStatus());
    case Field::PhaseRowCount: return Value::integer(phases);
    case Field::PhIndex: return Value::integer(row);
    case Field::PhInVoltage: return Value::integer(inputVoltage(nowMs, row - 1));
    case Field::PhInCurrent: return Value::integer(onBattery() ? 0 : phaseCurrent(row - 1) + 5);
    case Field::PhInFrequency: return Value::integer(inFreqNow());
    case Field::PhOutVoltage: return Value::integer(outputVoltage(nowMs, row - 1));
    case Field::PhOutCurrent: return Value::integer(phaseCurrent(row - 1));
    case Field::PhOutFrequency: return Value::integer(outFreqNow());
    case Field::PhOutLoad: return Value::integer(phaseLoad(row - 1));
    case Field::PhOutPower: return Value::integer(std::lround(m_ratedVa / double(phases) * 0.9 * phaseLoad(row - 1) / 100.0));
    case Field::PhOutVa: return Value::integer(std::lround(m_ratedVa / double(phases) * phaseLoad(row - 1) / 100.0));
    case Field::PhBypassVoltage: return Value::integer(inputVoltage(nowMs, row - 1));
    case Field::PhBypassFrequency: return Value::integer(inFreqNow());
    case Field::EnvOverTemp: return Value::integer(m_envOverTemp);
    case Field::EnvUnderTemp: return Value::integer(m_envUnderTemp);
    case Field::EnvOverHumi: return Value::integer(m_envOverHumi);
    case Field::EnvUnderHumi: return Value::integer(m_envUnderHumi);
    case Field::EnvTemperature: return Value::integer(std::lround(24 + 3.0 * wave(nowMs, 900.0, 60)));
    case Field::EnvHumidity: return Value::integer(std::lround(45 + 8.0 * wave(nowMs, 1200.0, 61)));
    case Field::EnvContact1: case Field::EnvContact2: return Value::integer(1);
    case Field::EnvWaterLeak: case Field::EnvSmoke: return Value::integer(1);
    case Field::NetAddress: { Value v = Value::integer(m_address); v.type = ValType::IpAddress; return v; }
    case Field::NetMask: { Value v = Value::integer(0xffffff00U); v.type = ValType::IpAddress; return v; }
    case Field::NetGateway: { Value v = Value::integer((m_address & 0xffffff00U) | 1U); v.type = ValType::IpAddress; return v; }
    case Field::NetMac: {
        QByteArray mac(6, 0);
        mac[0] = char(0x02); mac[1] = char(0x35); mac[2] = char(0x18);
        mac[3] = char((m_address >> 16) & 0xff); mac[4] = char((m_address >> 8) & 0xff); mac[5] = char(m_address & 0xff);
        return Value::text(mac);
    }
    case Field::NetDhcp: return Value::integer(1);
    case Field::NetHttpPort: return Value::integer(80);
    case Field::NetServicePort: return Value::integer(8712);
    case Field::NetSnmpPort: return Value::integer(snmpPort);
    case Field::TrapReceiver: { Value v = Value::integer(trapAddress); v.type = ValType::IpAddress; return v; }
    case Field::TrapPort: return Value::integer(trapPort);
    case Field::TrapKind: return Value::integer(trapKind);
    case Field::TrapInformRetries: return Value::integer(informRetries);
    case Field::StatPowerFails: return Value::integer(m_powerFails);
    case Field::StatOnBatterySeconds: return Value::integer(qint64(m_totalOnBattery));
    case Field::StatLastPowerFail: return Value::text(m_lastPowerFail);
    case Field::StatLastPowerReturn: return Value::text(m_lastPowerReturn);
    case Field::StatBattLowCount: return Value::integer(m_battLowCount);
    case Field::StatOverloadCount: return Value::integer(m_overloadCount);
    case Field::StatSelfTestCount: return Value::integer(m_selfTests);
    case Field::StatUptimeSeconds: return Value::integer((nowMs - m_startMs) / 1000);
    case Field::StatTrapsSent: return Value::integer(qint64(m_trapsSent & 0x7fffffff));
    case Field::StatInformsAcked: return Value::integer(qint64(m_informsAcked & 0x7fffffff));
    case Field::StatRequests: return Value::integer(qint64(m_requests & 0x7fffffff));
    case Field::StatSetRequests: return Value::integer(qint64(m_setRequests & 0x7fffffff));
    case Field::StatBadCommunity: return Value::integer(qint64(m_badCommunity & 0x7fffffff));
    case Field::StatDropped: return Value::integer(qint64(droppedPackets & 0x7fffffff));
    case Field::StatInformsFailed: return Value::integer(qint64(m_informsFailed & 0x7fffffff));
    case Field::Count: break;
    }
    return Value::integer(0);
}

int Card::checkSet(Field f, const Value& v) const
{
    const OidEntry& e = OidTree::instance().entry(f);
    if (!e.writable)
        return SNMP_ERR_NOTWRITABLE;
    if (e.type != v.type)
        return SNMP_ERR_WRONGTYPE;
    if (e.type == ValType::OctetString)
        return v.s.size() > e.maxValue ? SNMP_ERR_WRONGLENGTH : SNMP_ERR_NOERROR;
    if (v.i < e.minValue || v.i > e.maxValue)
        return SNMP_ERR_WRONGVALUE;
    return SNMP_ERR_NOERROR;
}

void Card::record(QStringList& log, const QString& line)
{
    log.append(line);
    while (log.size() > 200)
        log.removeFirst();
}

void Card::commitSet(Field f, const Value& v, qint64 nowMs)
{
    const OidEntry& e = OidTree::instance().entry(f);
    const QString shown = e.type == ValType::OctetString ? QString::fromUtf8(v.s) : QString::number(v.i);
    record(m_setLog, QStringLiteral("%1 %2 %3 %4").arg(stamp(nowMs), e.text, QString::fromLatin1(e.name), shown));
    const int i = int(v.i);
    switch (f) {
    case Field::SysContact: m_contact = QString::fromUtf8(v.s); break;
    case Field::SysName: m_name = QString::fromUtf8(v.s); break;
    case Field::SysLocation: m_location = QString::fromUtf8(v.s); break;
    case Field::MaxInVoltage: m_maxInVolt = i; break;
    case Field::MinInVoltage: m_minInVolt = i; break;
    case Field::MaxOutVoltage: m_maxOutVolt = i; break;
    case Field::MinOutVoltage: m_minOutVolt = i; break;
    case Field::TempAlarm: m_tempAlarm = i; break;
    case Field::LoadAlarm: m_loadAlarm = i; updateAlarms(nowMs); break;
    case Field::LowBattVoltage: m_lowBattVolt = i; break;
    case Field::LowBattRuntime: m_lowBattRuntime = i; break;
    case Field::EnvOverTemp: m_envOverTemp = i; break;
    case Field::EnvUnderTemp: m_envUnderTemp = i; break;
    case Field::EnvOverHumi: m_envOverHumi = i; break;
    case Field::EnvUnderHumi: m_envUnderHumi = i; break;
    default:
        if (int(f) >= int(Field::CmdTurnOn) && int(f) <= int(Field::CmdClearAlarms))
            command(f, i, nowMs);
        break;
    }
}

void Card::command(Field f, int value, qint64 nowMs)
{
    const OidEntry& e = OidTree::instance().entry(f);
    m_commandValue[int(f) - int(Field::CmdTurnOn)] = value;
    const bool enable = value == 2;
    m_lastCommand = QStringLiteral("%1 %2").arg(QString::fromLatin1(e.name), enable ? "enable" : "disable");
    ++m_commandCount;
    record(m_commandLog, QStringLiteral("%1 %2 %3 %4").arg(stamp(nowMs)).arg(e.position).arg(QString::fromLatin1(e.name)).arg(value));
    auto startTest = [&](int seconds) {
        if (!enable) {
            m_testEndsMs = 0;
            return;
        }
        m_testEndsMs = nowMs + seconds * 1000;
        ++m_selfTests;
        m_testDate = stamp(nowMs);
    };
    switch (f) {
    case Field::CmdTurnOn:
        if (enable)
            setOutputOff(false, nowMs);
        break;
    case Field::CmdPowerOff: setOutputOff(enable, nowMs); break;
    case Field::CmdReboot:
        if (enable) {
            raise(TrapRebootStarted);
            m_outputOff = true;
            m_restartAtMs = nowMs + 10000;
        }
        break;
    case Field::CmdSleep:
        if (enable && !m_outputOff) {
            m_outputOff = true;
            raise(TrapSleeping);
        }
        break;
    case Field::CmdBypass: setBypass(enable, nowMs); break;
    case Field::CmdBuzzer: m_audible = enable ? 2 : 1; break;
    case Field::CmdQuickTest: startTest(10); break;
    case Field::CmdDeepTest: startTest(60); break;
    case Field::CmdSelfCheck: startTest(10); break;
    case Field::CmdCancelTest:
        if (enable)
            m_testEndsMs = 0;
        break;
    case Field::CmdClearAlarms:
        if (enable) {
            m_forcedLow = false;
            updateAlarms(nowMs);
        }
        break;
    default: break;
    }
}

void Card::raise(int trap)
{
    if (onTrap)
        onTrap(*this, trap);
}

void Card::updateAlarms(qint64 nowMs)
{
    const bool low = m_forcedLow || m_capacity <= battery.lowCapacity;
    if (low != m_lowReported) {
        m_lowReported = low;
        if (low)
            ++m_battLowCount;
        raise(low ? TrapBatteryLow : TrapBatteryLowCleared);
    }
    const bool overload = load(nowMs) >= m_loadAlarm;
    if (overload != m_overloadReported) {
        m_overloadReported = overload;
        if (overload)
            ++m_overloadCount;
        raise(overload ? TrapOverload : TrapOverloadCleared);
    }
    const bool discharged = m_capacity <= 0.0 && onBattery();
    if (discharged && !m_dischargedReported)
        raise(TrapDischarged);
    m_dischargedReported = discharged;
}

void Card::tick(qint64 nowMs)
{
    const double dt = qMax<qint64>(0, nowMs - m_lastTickMs) / 1000.0;
    m_lastTickMs = nowMs;
    if (onBattery() && !m_outputOff) {
        m_capacity = qMax(0.0, m_capacity - battery.dischargePerSecond * dt * qMax(10, load(nowMs)) / 50.0);
    } else {
        m_capacity = qMin(100.0, m_capacity + battery.chargePerSecond * dt);
    }
    if (onBattery()) {
        m_onBatterySeconds += dt;
        m_totalOnBattery += dt;
    } else {
        m_onBatterySeconds = 0.0;
    }
    if (m_restartAtMs && nowMs >= m_restartAtMs) {
        m_restartAtMs = 0;
        m_outputOff = false;
        raise(TrapTurnedOn);
    }
    if (m_testEndsMs && nowMs >= m_testEndsMs) {
        m_testEndsMs = 0;
        m_testResult = m_capacity >= 30.0 ? 2 : 3;
        raise(m_testResult == 2 ? TrapSelfTestPassed : TrapSelfTestFailed);
    }
    updateAlarms(nowMs);
}

void Card::setMainsFailed(bool failed, qint64 nowMs)
{
    tick(nowMs);
    if (failed == m_mainsFailed)
        return;
    const bool wasOnBattery = onBattery();
    m_mainsFailed = failed;
    if (failed) {
        ++m_powerFails;
        m_lastPowerFail = stamp(nowMs);
    } else {
        m_lastPowerReturn = stamp(nowMs);
    }
    if (wasOnBattery != onBattery())
        raise(onBattery() ? TrapOnBattery : TrapPowerRestored);
    updateAlarms(nowMs);
}

void Card::setOverVoltage(bool on, qint64 nowMs)
{
    tick(nowMs);
    if (on == m_overVoltage)
        return;
    const bool wasOnBattery = onBattery();
    m_overVoltage = on;
    if (on)
        raise(TrapInputOverVoltage);
    if (wasOnBattery != onBattery())
        raise(onBattery() ? TrapOnBattery : TrapPowerRestored);
    updateAlarms(nowMs);
}

void Card::setForcedBatteryLow(bool on, qint64 nowMs)
{
    tick(nowMs);
    m_forcedLow = on;
    updateAlarms(nowMs);
}

void Card::setCapacity(int percent, qint64 nowMs)
{
    tick(nowMs);
    m_capacity = qBound(0, percent, 100);
    updateAlarms(nowMs);
}

void Card::setBypass(bool on, qint64 nowMs)
{
    tick(nowMs);
    if (on == m_bypass)
        return;
    m_bypass = on;
    raise(on ? TrapOnBypass : TrapBypassCleared);
}

void Card::setOutputOff(bool off, qint64 nowMs)
{
    tick(nowMs);
    m_restartAtMs = 0;
    if (off == m_outputOff)
        return;
    m_outputOff = off;
    raise(off ? TrapTurnedOff : TrapTurnedOn);
    updateAlarms(nowMs);
}

void Card::setLoad(int percent, qint64 nowMs)
{
    tick(nowMs);
    m_fixedLoad = percent < 0 ? -1 : qMin(percent, 150);
    updateAlarms(nowMs);
}

void Card::setIdentity(Field f, const QString& text)
{
    switch (f) {
    case Field::SysContact: m_contact = text; break;
    case Field::SysName: m_name = text; break;
    case Field::SysLocation: m_location = text; break;
    case Field::Model: m_model = text; break;
    case Field::UpsName: m_upsName = text; break;
    case Field::Serial: m_serial = text; break;
    default: break;
    }
}

QString Card::summary(qint64 nowMs) const
{
    return QStringLiteral("%1 %2 %3 batt=%4 cap=%5 in=%6 fail=%7 out=%8 load=%9%10%11%12")
        .arg(addressText(), m_threePhase ? "3ph" : "1ph", m_model)
        .arg(m_lowReported ? 3 : 2)
        .arg(int(std::floor(m_capacity)))
        .arg(inputVoltage(nowMs, 0))
        .arg(m_mainsFailed ? 1 : (m_overVoltage ? 2 : 0))
        .arg(outputStatus())
        .arg(load(nowMs))
        .arg(m_silent ? " silent" : "")
        .arg(m_slowMs ? QStringLiteral(" slow=%1ms").arg(m_slowMs) : QString())
        .arg(m_bypass ? " bypass" : "");
}

} // namespace upssim
