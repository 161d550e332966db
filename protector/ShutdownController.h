#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QTimer>

class PowerOff;

// The shutdown application runs in a process group of its own, so that it
// can be ended together with everything it started.
class ShutdownProcess : public QProcess
{
    Q_OBJECT
public:
    using QProcess::QProcess;
    // Kills the whole process group of the application.
    void killGroup();

protected:
    void setupChildProcess() override;
};

// Counts down when a UPS host reports mains failure or low battery, runs the
// configured shutdown application for at most its time limit, then asks the
// system to power off. Lives in the main window; its messages become event
// table rows with the object "System".
class ShutdownController : public QObject
{
    Q_OBJECT
public:
    // powerOff is not owned and must outlive the controller.
    explicit ShutdownController(PowerOff* powerOff, QObject* parent = nullptr);
    ~ShutdownController() override;

    // Evaluates one status record of a host.
    void checkShutdownCondition(const QString& host, const QByteArray& data);
    void updateCountdown(bool start, int minutes);
    void runShutdownSequence();
    void shutdownComputer();
    // Forgets the last record of a host that is no longer watched.
    void forgetHost(const QString& host);

    bool countdownArmed() const { return m_countdownArmed; }
    bool shutdownStarted() const { return m_shutdownStarted; }
    bool appTimeLimit() const { return m_appTimeLimit; }
    QTimer* shutdownTimer() { return &m_shutdownTimer; }
    ShutdownProcess* shutdownProcess() { return &m_shutdownProcess; }
    int powerOffRequests() const { return m_powerOffRequests; }

    // The application's time limit in minutes from system/shutdown_exec_time
    // (15 when absent or outside 1 to 90).
    static int executionLimit();

signals:
    // A row for the event table.
    void message(QString text);

public slots:
    void onOffAPPTimeout();
    void onOffAPPError(QProcess::ProcessError error);
    void onOffAPPFinished(int exitCode, QProcess::ExitStatus exitStatus);

private:
    bool anyHostInAlarm() const;
    void onOutput();

    PowerOff* m_powerOff;
    QHash<QString, QByteArray> m_lastData; // per host, all bytes 255 before the first record
    bool m_countdownArmed = false;
    QTimer m_shutdownTimer;
    bool m_shutdownStarted = false;
    ShutdownProcess m_shutdownProcess;
    bool m_appTimeLimit = false;
    bool m_powerOffAccepted = false;
    int m_powerOffRequests = 0;
};
