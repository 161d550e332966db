// The shutdown controller: countdown start, shorten and cancel, capacity
// rule, the shutdown application with its time limit, and the power-off
// request (always the counting fake here).
#include "TestSupport.h"

#include "ShutdownController.h"

#include <QSignalSpy>
#include <QtTest>

#include <QFileInfo>

static const char kCountdown5[] = "System will be shutdown in 5.0 minute(s)";

class TestController : public QObject
{
    Q_OBJECT
private slots:
    void mainsFailsAndReturns();
    void capacityRule_data();
    void capacityRule();
    void batteryLowShortensOnlyWhenShorter();
    void thresholdsNeverSaved();
    void twoHostsOneOnBattery();
    void laterAlarmsNeverRunSequenceTwice();
    void executionLimit_data();
    void executionLimit();
    void noApplicationShutsDown_data();
    void noApplicationShutsDown();
    void applicationRunsThenShutsDown();
    void applicationTimeLimitKillsGroup();
    void applicationCannotStart();

private:
    static void setThresholds(int ac, int batt, int capacity)
    {
        AgentSettings::write("shutdown/ac_failed_time", ac);
        AgentSettings::write("shutdown/batt_low_time", batt);
        AgentSettings::write("shutdown/ac_failed_capacity", capacity);
    }
    static void expire(ShutdownController& controller)
    {
        // What the single-shot timer does when it runs out.
        controller.shutdownTimer()->stop();
        controller.onOffAPPTimeout();
    }
    static QString writeScript(const AgentWorkDir& dir, const QString& name, const QString& body)
    {
        const QString path = dir.path(name);
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write("#!/bin/sh\n" + body.toUtf8() + "\n");
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return path;
    }
    static QStringList texts(const QSignalSpy& spy)
    {
        QStringList list;
        for (const auto& args : spy)
            list << args.at(0).toString();
        return list;
    }
};

void TestController::mainsFailsAndReturns()
{
    AgentWorkDir dir;
    setThresholds(5, 3, 20);
    CountingPowerOff powerOff;
    ShutdownController controller(&powerOff);
    QSignalSpy spy(&controller, &ShutdownController::message);

    controller.checkShutdownCondition("10.0.0.1", statusBytes(2, 0, 2, 90));
    QCOMPARE(spy.count(), 0); // first reply without alarm cancels nothing
    controller.checkShutdownCondition("10.0.0.1", statusBytes(2, 4, 3, 90));
    QCOMPARE(texts(spy), QStringList{kCountdown5});
    QVERIFY(controller.countdownArmed());
    QCOMPARE(controller.shutdownTimer()->interval(), 5 * 60000);
    QVERIFY(controller.shutdownTimer()->isActive());
    // The same record again changes nothing.
    controller.checkShutdownCondition("10.0.0.1", statusBytes(2, 4, 3, 90));
    QCOMPARE(spy.count(), 1);
    // Mains returns.
    controller.checkShutdownCondition("10.0.0.1", statusBytes(2, 0, 2, 90));
    QCOMPARE(texts(spy), (QStringList{kCountdown5, "System shutdown is canceled"}));
    QVERIFY(!controller.shutdownTimer()->isActive());
    QVERIFY(!controller.countdownArmed());

    // Mains fails again and the countdown runs out: no application, so the
    // computer is powered off.
    controller.checkShutdownCondition("10.0.0.1", statusBytes(2, 4, 3, 90));
    QVERIFY(controller.countdownArmed());
    expire(controller);
    QVERIFY(controller.shutdownStarted());
    QCOMPARE(powerOff.requests, 1);
}

void TestController::capacityRule_data()
{
    QTest::addColumn<int>("threshold");
    QTest::addColumn<int>("input");
    QTest::addColumn<int>("capacity");
    QTest::addColumn<bool>("shutsDown");
    QTest::newRow("below threshold on mains failure") << 20 << 4 << 15 << true;
    QTest::newRow("at threshold") << 20 << 4 << 20 << false;
    QTest::newRow("mains normal") << 20 << 0 << 5 << false;
    QTest::newRow("byte 200 reads -56") << 1 << 1 << 200 << true;
    QTest::newRow("threshold never saved, 128 reads negative") << -1 << 2 << 128 << true;
    QTest::newRow("threshold never saved, 127") << -1 << 2 << 127 << false;
}

void TestController::capacityRule()
{
    QFETCH(int, threshold);
    QFETCH(int, input);
    QFETCH(int, capacity);
    QFETCH(bool, shutsDown);
    AgentWorkDir dir;
    if (threshold >= 0)
        setThresholds(5, 5, threshold);
    CountingPowerOff powerOff;
    ShutdownController controller(&powerOff);
    QSignalSpy spy(&controller, &ShutdownController::message);
    controller.checkShutdownCondition("10.0.0.1", statusBytes(2, input, 3, capacity));
    QCOMPARE(powerOff.requests, shutsDown ? 1 : 0);
    QCOMPARE(controller.shutdownStarted(), shutsDown);
    // The changed input byte still reaches the countdown right after.
    if (input != 0)
        QVERIFY(texts(spy).last().startsWith("System will be shutdown in"));
}

void TestController::batteryLowShortensOnlyWhenShorter()
{
    AgentWorkDir dir;
    setThresholds(5, 2, 10);
    CountingPowerOff powerOff;
    ShutdownController controller(&powerOff);
    QSignalSpy spy(&controller, &ShutdownController::message);
    controller.checkShutdownCondition("h", statusBytes(2, 4, 3, 90));
    controller.checkShutdownCondition("h", statusBytes(3, 4, 3, 90)); // battery low: 2 < ~5 minutes left
    QCOMPARE(texts(spy), (QStringList{kCountdown5, "System will be shutdown in 2.0 minute(s)"}));
    QCOMPARE(controller.shutdownTimer()->interval(), 2 * 60000);

    // A longer battery-low time keeps the earlier deadline.
    setThresholds(1, 9, 10);
    controller.checkShutdownCondition("h", statusBytes(2, 4, 3, 90));
    controller.checkShutdownCondition("h", statusBytes(3, 4, 3, 90));
    QCOMPARE(spy.count(), 2);
    QVERIFY(controller.shutdownTimer()->remainingTime() <= 2 * 60000);
}

void TestController::thresholdsNeverSaved()
{
    AgentWorkDir dir;
    CountingPowerOff powerOff;
    ShutdownController controller(&powerOff);
    QSignalSpy spy(&controller, &ShutdownController::message);
    controller.checkShutdownCondition("h", statusBytes(2, 1, 3, 90));
    QCOMPARE(texts(spy), QStringList{"System will be shutdown in 0.2 minute(s)"});
    QCOMPARE(controller.shutdownTimer()->interval(), 12000);
}

void TestController::twoHostsOneOnBattery()
{
    AgentWorkDir dir;
    setThresholds(1, 1, 10);
    CountingPowerOff powerOff;
    ShutdownController controller(&powerOff);
    QSignalSpy spy(&controller, &ShutdownController::message);
    // Both answer every second, one on battery, one normal.
    for (int second = 0; second < 30; ++second) {
        controller.checkShutdownCondition("10.0.0.1", statusBytes(2, 4, 3, 90));
        controller.checkShutdownCondition("10.0.0.2", statusBytes(2, 0, 2, 100));
    }
    QCOMPARE(texts(spy), QStringList{"System will be shutdown in 1.0 minute(s)"});
    QVERIFY(controller.countdownArmed());
    QVERIFY(controller.shutdownTimer()->isActive());
    // The countdown runs to its end.
    expire(controller);
    QCOMPARE(powerOff.requests, 1);

    // The normal host changing does not cancel while the other is in alarm;
    // once the battery host is back on mains the countdown is cancelled.
    AgentWorkDir dir2;
    setThresholds(1, 1, 10);
    ShutdownController second(&powerOff);
    QSignalSpy spy2(&second, &ShutdownController::message);
    second.checkShutdownCondition("10.0.0.1", statusBytes(2, 4, 3, 90));
    second.checkShutdownCondition("10.0.0.2", statusBytes(2, 0, 2, 100));
    second.checkShutdownCondition("10.0.0.2", statusBytes(4, 0, 2, 100));
    QVERIFY(second.countdownArmed());
    second.checkShutdownCondition("10.0.0.1", statusBytes(2, 0, 2, 90));
    QVERIFY(!second.countdownArmed());
    QCOMPARE(texts(spy2), (QStringList{"System will be shutdown in 1.0 minute(s)", "System shutdown is canceled"}));
}

void TestController::laterAlarmsNeverRunSequenceTwice()
{
    AgentWorkDir dir;
    setThresholds(1, 1, 10);
    CountingPowerOff powerOff;
    powerOff.accept = false; // refused: the agent stays alive
    ShutdownController controller(&powerOff);
    QSignalSpy spy(&controller, &ShutdownController::message);
    controller.checkShutdownCondition("h", statusBytes(2, 4, 3, 90));
    expire(controller);
    QCOMPARE(powerOff.requests, 1);
    controller.checkShutdownCondition("h", statusBytes(2, 0, 2, 90));
    controller.checkShutdownCondition("h", statusBytes(2, 4, 3, 90));
    QCOMPARE(spy.count(), 2); // a new countdown message
    QVERIFY(controller.countdownArmed());
    expire(controller);
    QCOMPARE(powerOff.requests, 1);
}

void TestController::executionLimit_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<int>("minutes");
    QTest::newRow("absent") << QVariant() << 15;
    QTest::newRow("0") << QVariant(0) << 15;
    QTest::newRow("120") << QVariant(120) << 15;
    QTest::newRow("1") << QVariant(1) << 1;
    QTest::newRow("90") << QVariant(90) << 90;
    QTest::newRow("text") << QVariant("abc") << 15;
}

void TestController::executionLimit()
{
    QFETCH(QVariant, stored);
    QFETCH(int, minutes);
    AgentWorkDir dir;
    if (stored.isValid())
        AgentSettings::write("system/shutdown_exec_time", stored);
    const QString app = writeScript(dir, "app.sh", "sleep 30");
    AgentSettings::write("system/shutdown_app_enable", true);
    AgentSettings::write("system/shutdown_app", app);
    CountingPowerOff powerOff;
    ShutdownController controller(&powerOff);
    controller.runShutdownSequence();
    QVERIFY(controller.appTimeLimit());
    QCOMPARE(controller.shutdownTimer()->interval(), minutes * 60000);
    QVERIFY(controller.shutdownProcess()->waitForStarted(5000));
    QCOMPARE(powerOff.requests, 0);
}

void TestController::noApplicationShutsDown_data()
{
    QTest::addColumn<QVariant>("enable");
    QTest::addColumn<QVariant>("app");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("enable absent") << QVariant() << QVariant() << QStringList();
    QTest::newRow("disabled") << QVariant(false) << QVariant("/bin/true") << QStringList();
    QTest::newRow("enabled, no application") << QVariant(true) << QVariant() << QStringList();
    QTest::newRow("enabled, empty application") << QVariant(true) << QVariant("") << QStringList();
    QTest::newRow("enabled, missing file") << QVariant(true) << QVariant("/nonexistent/app")
                                           << QStringList{"Shutdown application is invalid!"};
}

void TestController::noApplicationShutsDown()
{
    QFETCH(QVariant, enable);
    QFETCH(QVariant, app);
    QFETCH(QStringList, messages);
    AgentWorkDir dir;
    if (enable.isValid())
        AgentSettings::write("system/shutdown_app_enable", enable);
    if (app.isValid())
        AgentSettings::write("system/shutdown_app", app);
    CountingPowerOff powerOff;
    ShutdownController controller(&powerOff);
    QSignalSpy spy(&controller, &ShutdownController::message);
    controller.runShutdownSequence();
    QCOMPARE(powerOff.requests, 1);
    QVERIFY(controller.shutdownStarted());
    QCOMPARE(texts(spy), messages);
    controller.runShutdownSequence(); // runs once
    QCOMPARE(powerOff.requests, 1);
}

void TestController::applicationRunsThenShutsDown()
{
    AgentWorkDir dir;
    const QString marker = dir.path("ran");
    const QString app = writeScript(dir, "app.sh", "echo closing databases\ntouch '" + marker + "'\nexit 3");
    AgentSettings::write("system/shutdown_app_enable", true);
    AgentSettings::write("system/shutdown_app", app);
    AgentSettings::write("system/shutdown_exec_time", 2);
    CountingPowerOff powerOff;
    ShutdownController controller(&powerOff);
    QSignalSpy spy(&controller, &ShutdownController::message);
    QSignalSpy finished(controller.shutdownProcess(), QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished));
    controller.runShutdownSequence();
    QCOMPARE(texts(spy), QStringList{"Start to executing shutdown application."});
    QCOMPARE(powerOff.requests, 0);
    QVERIFY(finished.wait(10000));
    QVERIFY(QFile::exists(marker));
    // Whatever the exit code, the computer is shut down.
    QCOMPARE(powerOff.requests, 1);
    QVERIFY(!controller.appTimeLimit());
}

static bool processGone(qint64 pid)
{
    if (::kill(pid_t(pid), 0) != 0)
        return true;
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return true;
    const QByteArray text = stat.readAll();
    const int close = text.lastIndexOf(')');
    return close > 0 && text.size() > close + 2 && text.at(close + 2) == 'Z';
}

void TestController::applicationTimeLimitKillsGroup()
{
    AgentWorkDir dir;
    const QString childPid = dir.path("child.pid");
    // The application starts a child of its own and never ends by itself.
    const QString app = writeScript(dir, "app.sh", "sleep 300 &\necho $! > '" + childPid + "'\nwait");
    AgentSettings::write("system/shutdown_app_enable", true);
    AgentSettings::write("system/shutdown_app", app);
    AgentSettings::write("system/shutdown_exec_time", 1);
    AgentSettings::write("shutdown/ac_failed_time", 1);
    CountingPowerOff powerOff;
    ShutdownController controller(&powerOff);
    QSignalSpy spy(&controller, &ShutdownController::message);
    QSignalSpy finished(controller.shutdownProcess(), QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished));

    controller.checkShutdownCondition("h", statusBytes(2, 4, 3, 90));
    expire(controller); // the countdown ends: the application starts
    QVERIFY(controller.shutdownProcess()->waitForStarted(5000));
    QVERIFY(controller.appTimeLimit());
    QCOMPARE(controller.shutdownTimer()->interval(), 60000);
    QTRY_VERIFY_WITH_TIMEOUT(QFile(childPid).size() > 0, 5000);
    QFile pidFile(childPid);
    QVERIFY(pidFile.open(QIODevice::ReadOnly));
    const qint64 child = pidFile.readAll().trimmed().toLongLong();
    const qint64 parent = controller.shutdownProcess()->processId();
    QVERIFY(child > 0);
    QVERIFY(!processGone(child));
    QCOMPARE(powerOff.requests, 0);

    expire(controller); // the time limit ends
    QVERIFY(finished.wait(10000));
    QTRY_VERIFY_WITH_TIMEOUT(processGone(child), 5000);
    QVERIFY(processGone(parent));
    // The error and the finish both lead to the shutdown; one request is made.
    QCOMPARE(powerOff.requests, 1);
    QVERIFY(texts(spy).contains("Shutdown application exit!"));
}

void TestController::applicationCannotStart()
{
    AgentWorkDir dir;
    // Exists but is not executable.
    const QString app = dir.path("notexec.sh");
    QFile file(app);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\n");
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    AgentSettings::write("system/shutdown_app_enable", true);
    AgentSettings::write("system/shutdown_app", app);
    CountingPowerOff powerOff;
    ShutdownController controller(&powerOff);
    QSignalSpy spy(&controller, &ShutdownController::message);
    controller.runShutdownSequence();
    QTRY_COMPARE_WITH_TIMEOUT(powerOff.requests, 1, 5000);
    QCOMPARE(texts(spy), (QStringList{"Start to executing shutdown application.", "Shutdown application exit!"}));
    // The error clears the started flag: a later expiry may run it again.
    QVERIFY(!controller.shutdownStarted());
    QVERIFY(!controller.shutdownTimer()->isActive());
}

QTEST_MAIN(TestController)
#include "test_controller.moc"
