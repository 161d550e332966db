#pragma once

// One simulated UPS network card: identity, settings, the UPS state it
// reports and the scenarios that change that state.

#include "OidTree.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

namespace upssim {

struct Value
{
    ValType type = ValType::Integer;
    qint64 i = 0;
    QByteArray s;

    static Value integer(qint64 v) { Value x; x.i = v; return x; }
    static Value text(const QByteArray& v) { Value x; x.type = ValType::OctetString; x.s = v; return x; }
    static Value text(const QString& v) { return text(v.toUtf8()); }
};

// Trap numbers (the v1 specific-trap number, the last component of the
// v2c snmpTrapOID; a console shows number + 1).
enum Trap : int {
    TrapOverload = 2,
    TrapSelfTestFailed = 3,
    TrapDischarged = 4,
    TrapOnBattery = 5,
    TrapBatteryLow = 7,
    TrapPowerRestored = 9,
    TrapSelfTestPassed = 10,
    TrapBatteryLowCleared = 11,
    TrapTurnedOff = 12,
    TrapSleeping = 13,
    TrapTurnedOn = 14,
    TrapRebootStarted = 15,
    TrapOnBypass = 16,
    TrapBypassCleared = 17,
    TrapOverloadCleared = 18,
    TrapInputOverVoltage = 19,
};
QString trapName(int trap);

// Process-wide rates of the battery model.
struct BatteryModel
{
    double dischargePerSecond = 100.0 / 600.0; // % per second on battery
    double chargePerSecond = 100.0 / 1200.0;   // % per second on mains
    int lowCapacity = 20;                      // % at or below which the battery counts as low
};

class Card
{
public:
    Card(int index, quint32 address, bool threePhase, qint64 startMs);

    int index() const { return m_index; }
    quint32 address() const { return m_address; }
    QString addressText() const;
    bool threePhase() const { return m_threePhase; }
    int rows() const { return m_threePhase ? 3 : 1; }

    // Value of one instance at time `nowMs` (milliseconds since the epoch).
    Value value(Field f, int row, qint64 nowMs) const;
    // SET: check one binding (0 or an SNMP v2 error status), then commit.
    int checkSet(Field f, const Value& v) const;
    void commitSet(Field f, const Value& v, qint64 nowMs);

    // Advances the battery and the scenario timers.
    void tick(qint64 nowMs);

    // Scenarios
    void setMainsFailed(bool failed, qint64 nowMs);
    void setOverVoltage(bool on, qint64 nowMs);
    void setForcedBatteryLow(bool on, qint64 nowMs);
    void setCapacity(int percent, qint64 nowMs);
    void setBypass(bool on, qint64 nowMs);
    void setOutputOff(bool off, qint64 nowMs);
    void setLoad(int percent, qint64 nowMs);   // -1: back to the card's own wandering load
    void setSilent(bool on) { m_silent = on; }
    void setSlowMs(int ms) { m_slowMs = qMax(0, ms); }
    void setIdentity(Field f, const QString& text);

    bool silent() const { return m_silent; }
    int slowMs() const { return m_slowMs; }
    bool mainsFailed() const { return m_mainsFailed; }
    bool onBattery() const { return m_mainsFailed || m_overVoltage; }
    double capacity() const { return m_capacity; }

    // Recorded SETs and control commands ("time field value" lines).
    const QStringList& setLog() const { return m_setLog; }
    const QStringList& commandLog() const { return m_commandLog; }

    // Counters kept by the SNMP side.
    void countRequest() { ++m_requests; }
    void countSet() { ++m_setRequests; }
    void countBadCommunity() { ++m_badCommunity; }
    void countTrapSent() { ++m_trapsSent; }
    void countInformAcked() { ++m_informsAcked; }
    void countInformFailed() { ++m_informsFailed; }
    quint64 requests() const { return m_requests; }
    quint64 trapsSent() const { return m_trapsSent; }
    quint64 informsAcked() const { return m_informsAcked; }
    quint64 informsFailed() const { return m_informsFailed; }

    // Trap receiver settings shown in the tree.
    quint32 trapAddress = 0;
    int trapPort = 162;
    int trapKind = 2;
    int informRetries = 3;
    int snmpPort = 161;

    // Called for every trap the card raises.
    std::function<void(Card&, int trap)> onTrap;

    static BatteryModel battery;
    static quint64 droppedPackets; // malformed datagrams, all cards

    QString summary(qint64 nowMs) const;

private:
    int outputStatus() const;
    int load(qint64 nowMs) const;
    double wave(qint64 nowMs, double periodS, int salt) const;
    double jitter(qint64 nowMs, int salt) const;
    int inputVoltage(qint64 nowMs, int phase) const;
    int outputVoltage(qint64 nowMs, int phase) const;
    int runtimeMinutes(qint64 nowMs) const;
    int battVoltage() const;
    int battCurrent(qint64 nowMs) const;
    void raise(int trap);
    void updateAlarms(qint64 nowMs);
    void command(Field f, int value, qint64 nowMs);
    void record(QStringList& log, const QString& line);
    static QString stamp(qint64 nowMs);

    int m_index;
    quint32 m_address;
    bool m_threePhase;
    quint32 m_seed;
    qint64 m_startMs;
    qint64 m_lastTickMs;

    // Identity
    QString m_descr, m_contact, m_name, m_location, m_model, m_upsName, m_upsFw, m_mfgDate, m_serial,
        m_agentFw, m_battReplaced;
    int m_nominalVolt;   // 0.1 V
    int m_ratedVa;
    int m_baseLoad;      // %
    int m_fixedLoad = -1;

    // Settings
    int m_maxInVolt = 2640, m_minInVolt = 1760, m_maxOutVolt = 2420, m_minOutVolt = 1980;
    int m_tempAlarm = 45, m_loadAlarm = 90, m_lowBattVolt = 4400, m_lowBattRuntime = 5;
    int m_envOverTemp = 40, m_envUnderTemp = 5, m_envOverHumi = 80, m_envUnderHumi = 10;
    int m_audible = 2;
    int m_commandValue[11] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    QString m_lastCommand;
    int m_commandCount = 0;

    // State
    bool m_mainsFailed = false, m_overVoltage = false, m_forcedLow = false, m_bypass = false,
         m_outputOff = false, m_silent = false;
    int m_slowMs = 0;
    double m_capacity = 100.0;
    double m_onBatterySeconds = 0.0;
    double m_totalOnBattery = 0.0;
    bool m_lowReported = false, m_overloadReported = false, m_dischargedReported = false;
    qint64 m_restartAtMs = 0;   // reboot: output back on at this time
    qint64 m_testEndsMs = 0;    // self-test running until this time
    int m_testResult = 1;
    QString m_testDate;
    int m_powerFails = 0, m_battLowCount = 0, m_overloadCount = 0, m_selfTests = 0;
    QString m_lastPowerFail, m_lastPowerReturn;

    quint64 m_requests = 0, m_setRequests = 0, m_badCommunity = 0, m_trapsSent = 0, m_informsAcked = 0,
            m_informsFailed = 0;
    QStringList m_setLog, m_commandLog;
};

} // namespace upssim
