// End to end: the built agent, started with --dry-run-poweroff in a working
// directory of its own, watches a card of the project's simulator; the card
// loses mains, the agent counts down (12 s: thresholds never saved) and asks
// for the power-off, which the dry-run layer only logs.
#include "TestSupport.h"

#include "AgentDatabase.h"

#include <QSqlQuery>
#include <QTcpSocket>
#include <QtTest>

namespace {
const char kCard[] = "127.0.22.60";
const int kCardPort = 22260;
const int kControlPort = 22261;
const int kTrapPort = 22262;
const char kDryRunLine[] = "Dry run: the computer would be powered off now.";

QString simulator()
{
    return QStringLiteral(UPS_BINARY_DIR "/bin/upssim");
}
QString agent()
{
    return QStringLiteral(UPS_BINARY_DIR "/protector/protector");
}

QString control(const QString& command)
{
    return simulatorControl(kControlPort, command);
}

// Events the running agent stored, read through a connection of our own.
QList<QPair<QString, int>> storedEvents(const QString& dbFile)
{
    QList<QPair<QString, int>> events;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "scenario-reader");
        db.setDatabaseName(dbFile);
        if (db.open()) {
            QSqlQuery query(db);
            if (query.exec("select host, event from snmp_event order by id"))
                while (query.next())
                    events << qMakePair(query.value(0).toString(), query.value(1).toInt());
        }
        db.close();
    }
    QSqlDatabase::removeDatabase("scenario-reader");
    return events;
}

QByteArray readLog(const QString& dir)
{
    QFile file(dir + "/log/" + QDate::currentDate().toString("yyyyMMdd") + ".log");
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

class TestScenario : public QObject
{
    Q_OBJECT
private slots:
    void mainsFailureLeadsToPowerOff();
};

void TestScenario::mainsFailureLeadsToPowerOff()
{
    if (!QFileInfo::exists(simulator()))
        QSKIP("the simulator upssim has not been built");
    QVERIFY2(QFileInfo::exists(agent()), qPrintable(agent()));

    AgentWorkDir dir;
    // The agent's log folder is beside its binary: run a copy from here.
    QVERIFY(QFile::copy(agent(), dir.path("protector")));
    QVERIFY(AgentDatabase::createSchema());
    {
        QSqlQuery insert(AgentDatabase::database());
        QVERIFY(insert.exec(QStringLiteral("insert into snmp_session(date, ip, port, version, community) "
                                           "values(strftime('%s','now'), '%1', %2, 0, 'public')")
                                .arg(kCard)
                                .arg(kCardPort)));
    }
    Database::destroy();
    AgentSettings::write("system/trap_port", kTrapPort);

    QProcess sim;
    sim.setProcessChannelMode(QProcess::MergedChannels);
    sim.start(simulator(), {"--cards", kCard, "--port", QString::number(kCardPort), "--control",
                            QStringLiteral("127.0.22.1:%1").arg(kControlPort), "--trap-target",
                            QStringLiteral("127.0.22.1:%1").arg(kTrapPort), "--trap-kind", "v2c", "--quiet"});
    QVERIFY(sim.waitForStarted(5000));
    QByteArray simOutput;
    QTRY_VERIFY_WITH_TIMEOUT((simOutput += sim.readAll()).contains("READY") || sim.state() != QProcess::Running,
                             10000);
    QVERIFY2(sim.state() == QProcess::Running, simOutput.constData());

    QTemporaryDir persist;
    QProcess protector;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("UPS_MESSAGEBOX_AUTO", "0");
    env.insert("SNMP_PERSISTENT_DIR", persist.path());
    protector.setProcessEnvironment(env);
    protector.setWorkingDirectory(dir.root());
    protector.setProcessChannelMode(QProcess::ForwardedChannels);
    protector.start(dir.path("protector"), {"--dry-run-poweroff"});
    QVERIFY(protector.waitForStarted(5000));

    const QString db = dir.path("cfg/protector.db");
    const QPair<QString, int> answered(kCard, 1);
    QTRY_VERIFY_WITH_TIMEOUT(storedEvents(db).contains(answered), 15000);
    QVERIFY(!readLog(dir.root()).contains(kDryRunLine));
    QVERIFY(readLog(dir.root()).contains("Info: Start SNMP trapd service."));
    QVERIFY(!readLog(dir.root()).contains("Open trapd service failed!"));

    QCOMPARE(control(QStringLiteral("mains on %1").arg(kCard)), QStringLiteral("OK"));
    // The card's trap arrives as an event of its own.
    QTRY_VERIFY_WITH_TIMEOUT(storedEvents(db).size() > 1, 10000);
    const auto events = storedEvents(db);
    QVERIFY(std::any_of(events.begin(), events.end(),
                        [](const QPair<QString, int>& e) { return e.first == kCard && e.second > 1; }));
    // Twelve seconds later the power-off is requested, and only logged.
    QTRY_VERIFY_WITH_TIMEOUT(readLog(dir.root()).contains(kDryRunLine), 30000);
    QCOMPARE(protector.state(), QProcess::Running);

    protector.terminate();
    if (!protector.waitForFinished(5000)) {
        protector.kill();
        protector.waitForFinished(5000);
    }
    control("quit");
    sim.terminate();
    if (!sim.waitForFinished(5000)) {
        sim.kill();
        sim.waitForFinished(5000);
    }
}

QTEST_MAIN(TestScenario)
#include "test_scenario.moc"
