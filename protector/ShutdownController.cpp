#include "ShutdownController.h"

#include "AgentSettings.h"
#include "PowerOff.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QMetaEnum>
#include <QtDebug>

#include <climits>
#include <csignal>
#include <sys/types.h>
#include <unistd.h>

namespace {
QString trMain(const char* text)
{
    return QCoreApplication::translate("MainWindow", text);
}

int settingInt(const char* key)
{
    return AgentSettings::read(QString::fromLatin1(key)).toInt();
}

bool isAlarm(const QByteArray& data)
{
    return static_cast<quint8>(data.at(0)) == 3 || data.at(1) != 0;
}
} // namespace

void ShutdownProcess::setupChildProcess()
{
    ::setpgid(0, 0);
}

void ShutdownProcess::killGroup()
{
    const qint64 pid = processId();
    if (pid > 0)
        ::kill(-static_cast<pid_t>(pid), SIGKILL);
    kill();
}

ShutdownController::ShutdownController(PowerOff* powerOff, QObject* parent)
    : QObject(parent)
    , m_powerOff(powerOff)
{
    m_shutdownTimer.setSingleShot(true);
    m_shutdownTimer.setTimerType(Qt::PreciseTimer); // remaining time is compared when shortening
    m_shutdownProcess.setProcessChannelMode(QProcess::MergedChannels);
    connect(&m_shutdownTimer, &QTimer::timeout, this, &ShutdownController::onOffAPPTimeout);
    connect(&m_shutdownProcess, &QProcess::errorOccurred, this, &ShutdownController::onOffAPPError);
    connect(&m_shutdownProcess, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this,
            &ShutdownController::onOffAPPFinished);
    connect(&m_shutdownProcess, &QProcess::readyRead, this, &ShutdownController::onOutput);
}

ShutdownController::~ShutdownController()
{
    m_shutdownProcess.disconnect(this);
    if (m_shutdownProcess.state() != QProcess::NotRunning) {
        m_shutdownProcess.killGroup();
        m_shutdownProcess.waitForFinished(3000);
    }
}

void ShutdownController::checkShutdownCondition(const QString& host, const QByteArray& data)
{
    if (data.size() < 4)
        return;
    const QByteArray last = m_lastData.value(host, QByteArray(4, '\xff'));
    const bool alarm = isAlarm(data);
    int minutes = 0;
    bool changed = false;
    if (data.at(0) != last.at(0)) {
        minutes = settingInt("shutdown/batt_low_time");
        changed = true;
    }
    if (data.at(1) != last.at(1)) {
        minutes = settingInt("shutdown/ac_failed_time");
        changed = true;
    }
    const int threshold = settingInt("shutdown/ac_failed_capacity");
    if (data.at(1) != 0 && static_cast<qint8>(data.at(3)) < threshold)
        runShutdownSequence();

    m_lastData.insert(host, data.left(4));

    if (changed) {
        if (alarm)
            updateCountdown(true, minutes);
        else if (!anyHostInAlarm())
            updateCountdown(false, minutes); // another host still in alarm keeps the countdown
    }
}

bool ShutdownController::anyHostInAlarm() const
{
    for (auto it = m_lastData.cbegin(); it != m_lastData.cend(); ++it) {
        if (isAlarm(it.value()))
            return true;
    }
    return false;
}

void ShutdownController::forgetHost(const QString& host)
{
    m_lastData.remove(host);
}

void ShutdownController::updateCountdown(bool start, int minutes)
{
    if (start) {
        qint64 ms = minutes >= 1 ? qint64(minutes) * 60000 : 12000;
        if (ms > INT_MAX)
            ms = INT_MAX;
        const QString text = trMain("System will be shutdown in %1 minute(s)")
                                 .arg(QString::number(double(ms) / 60000.0, 'f', 1));
        if (!m_shutdownTimer.isActive()) {
            m_countdownArmed = true;
            m_shutdownTimer.start(int(ms));
            emit message(text);
        } else if (ms < m_shutdownTimer.remainingTime()) {
            m_shutdownTimer.start(int(ms));
            emit message(text);
        }
    } else if (m_countdownArmed) {
        m_countdownArmed = false;
        m_shutdownTimer.stop();
        emit message(trMain("System shutdown is canceled"));
    }
}

void ShutdownController::onOffAPPTimeout()
{
    const bool limitReached = m_appTimeLimit;
    if (m_countdownArmed) {
        m_countdownArmed = false;
        runShutdownSequence();
    }
    if (limitReached && m_shutdownProcess.state() != QProcess::NotRunning) {
        qWarning() << "Shutdown application exceeded its time limit; ending it and its child processes.";
        m_shutdownProcess.killGroup();
    }
}

int ShutdownController::executionLimit()
{
    const QVariant stored = AgentSettings::read(QStringLiteral("system/shutdown_exec_time"));
    bool ok = false;
    const int limit = stored.toInt(&ok);
    return (stored.isValid() && ok && limit >= 1 && limit <= 90) ? limit : 15;
}

void ShutdownController::runShutdownSequence()
{
    if (m_shutdownStarted)
        return;
    const QVariant enable = AgentSettings::read(QStringLiteral("system/shutdown_app_enable"));
    const QVariant app = AgentSettings::read(QStringLiteral("system/shutdown_app"));

    if (!enable.isValid() || !enable.toBool()) {
        m_shutdownStarted = true;
        onOffAPPFinished(0, QProcess::NormalExit);
        return;
    }
    const QString path = app.toString();
    if (!app.isValid() || path.isEmpty()) {
        // Enabled without an application: protecting the computer comes
        // first, so shut down as if no application were wanted.
        m_shutdownStarted = true;
        onOffAPPFinished(0, QProcess::NormalExit);
        return;
    }
    const QFileInfo file(path);
    if (file.exists() && file.isFile()) {
        emit message(trMain("Start to executing shutdown application."));
        m_shutdownStarted = true;
        m_appTimeLimit = true;
        m_shutdownTimer.start(executionLimit() * 60000);
        m_shutdownProcess.setProgram(path);
        m_shutdownProcess.setArguments({});
        m_shutdownProcess.start(QIODevice::ReadWrite);
        return;
    }
    emit message(trMain("Shutdown application is invalid!"));
    m_shutdownStarted = true;
    onOffAPPFinished(0, QProcess::NormalExit);
}

void ShutdownController::onOffAPPFinished(int exitCode, QProcess::ExitStatus exitStatus)
{
    const char* status = QMetaEnum::fromType<QProcess::ExitStatus>().valueToKey(exitStatus);
    qDebug() << "System shutdown code:" << exitCode << ", status:" << status;
    if (m_appTimeLimit && m_shutdownProcess.state() == QProcess::NotRunning) {
        m_appTimeLimit = false;
        if (!m_countdownArmed)
            m_shutdownTimer.stop();
    }
    shutdownComputer();
}

void ShutdownController::onOffAPPError(QProcess::ProcessError error)
{
    qWarning() << "Shutdown application error" << error << m_shutdownProcess.errorString();
    emit message(trMain("Shutdown application exit!"));
    m_shutdownStarted = false;
    m_shutdownTimer.stop();
    m_countdownArmed = false;
    onOffAPPFinished(0, QProcess::NormalExit);
}

void ShutdownController::shutdownComputer()
{
    // A killed application reports an error and a finish; one accepted
    // request is enough.
    if (m_powerOffAccepted) {
        qInfo() << "Power-off already requested.";
        return;
    }
    ++m_powerOffRequests;
    if (!m_powerOff) {
        qWarning() << "No power-off layer.";
        return;
    }
    m_powerOffAccepted = m_powerOff->powerOff();
    if (!m_powerOffAccepted)
        qWarning() << "The system did not accept the power-off request.";
}

void ShutdownController::onOutput()
{
    while (m_shutdownProcess.canReadLine())
        qInfo().noquote() << "Shutdown application:" << QString::fromLocal8Bit(m_shutdownProcess.readLine()).trimmed();
}
