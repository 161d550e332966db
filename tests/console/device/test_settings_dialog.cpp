// Device settings dialog: management info in the database, limits and
// control commands by SNMP SET through the engine, against the project's
// card simulator (upssim) and Debian's snmpd (a read-only OID).

#include "DeviceTestSupport.h"
#include "MessageBox.h"
#include "SNMP.h"
#include "SettingsDialog.h"

#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>

namespace {
const char kSimAddress[] = "127.0.25.20";
const quint16 kSimPort = 25500;
const char kSnmpdAddress[] = "127.0.25.21";
const quint16 kSnmpdPort = 25501;

QString simulatorPath()
{
    const QStringList candidates = {qEnvironmentVariable("UPS_UPSSIM"), QStringLiteral(UPS_BINARY_DIR "/bin/upssim"),
                                    QStringLiteral(UPS_SOURCE_DIR "/build/bin/upssim")};
    for (const QString& c : candidates) {
        if (!c.isEmpty() && QFileInfo(c).isExecutable())
            return c;
    }
    return QString();
}

int runTool(const QString& program, const QStringList& args, QByteArray* output = nullptr)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("MIBS", QString());
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    if (!p.waitForFinished(10000)) {
        p.kill();
        p.waitForFinished(1000);
        return -1;
    }
    if (output)
        *output = p.readAll();
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

QByteArray snmpget(const QString& target, const QString& oid)
{
    QByteArray out;
    if (runTool("snmpget", {"-v2c", "-c", "public", "-Oqv", "-t", "1", "-r", "1", target, oid}, &out) != 0)
        return QByteArray();
    return out.trimmed().split('\n').last();
}
} // namespace

class TestSettingsDialog : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ConsoleDir> m_console;
    std::unique_ptr<QTemporaryDir> m_peerDir;
    QProcess* m_peer = nullptr;

    void stopPeer()
    {
        if (!m_peer)
            return;
        m_peer->terminate();
        if (!m_peer->waitForFinished(3000)) {
            m_peer->kill();
            m_peer->waitForFinished(2000);
        }
        delete m_peer;
        m_peer = nullptr;
    }

    bool startSimulator()
    {
        const QString sim = simulatorPath();
        if (sim.isEmpty())
            return false;
        m_peer = new QProcess;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("MIBS", QString());
        env.insert("SNMP_PERSISTENT_DIR", m_peerDir->path());
        m_peer->setProcessEnvironment(env);
        m_peer->start(sim, {"--first", kSimAddress, "--count", "1", "--port", QString::number(kSimPort), "--bind",
                            kSimAddress, "--quiet"});
        if (!m_peer->waitForStarted(5000))
            return false;
        while (!m_peer->canReadLine()) {
            if (!m_peer->waitForReadyRead(10000))
                return false;
        }
        return m_peer->readLine().trimmed() == "READY";
    }

    bool startSnmpd(const QStringList& lines)
    {
        QFile conf(m_peerDir->filePath("snmpd.conf"));
        if (!conf.open(QIODevice::WriteOnly))
            return false;
        conf.write(lines.join('\n').toUtf8() + '\n');
        conf.close();
        m_peer = new QProcess;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("MIBS", QString());
        env.insert("SNMP_PERSISTENT_DIR", m_peerDir->path());
        m_peer->setProcessEnvironment(env);
        m_peer->setProcessChannelMode(QProcess::MergedChannels);
        m_peer->setStandardOutputFile(m_peerDir->filePath("snmpd.log"));
        m_peer->start("snmpd", {"-f", "-Lo", "-C", "-c", conf.fileName(), "-p", m_peerDir->filePath("pid"),
                                QString("udp:%1:%2").arg(kSnmpdAddress).arg(kSnmpdPort)});
        if (!m_peer->waitForStarted(5000))
            return false;
        const QString target = QString("%1:%2").arg(kSnmpdAddress).arg(kSnmpdPort);
        for (int i = 0; i < 50; ++i) {
            if (!snmpget(target, "1.3.6.1.2.1.1.3.0").isEmpty())
                return true;
            if (m_peer->state() != QProcess::Running)
                return false;
        }
        return false;
    }

    // Engine polling one device at the given address and port.
    SNMP* startEngine(const QString& address, quint16 port)
    {
        QSettings* settings = AppContext::instance()->settings;
        settings->setValue("snmp/snmp_version", 1);
        settings->setValue("snmp/polling_cycle", 300);
        settings->setValue("snmp/polling_timout", 500);
        settings->setValue("snmp/polling_retry", 1);
        settings->setValue("snmp/snmp_port", port);
        settings->setValue("snmp/store_interval", 100000);
        settings->setValue("snmp/trap_port", port + 10); // never the system's 162
        if (!m_console->exec("insert into device(create_time, station_id, is_three_phase, device_ip, community, "
                             "name, position, admin) values(1, 1, 0, ?, 'private', 'old', '', '');",
                             {address}))
            return nullptr;
        SNMP* engine = SNMP::instance();
        engine->start();
        return engine;
    }

    int setLogCount() const { return m_console->count("select count(*) from set_log;"); }

    QVariantList lastSetLog() const
    {
        QSqlQuery query(m_console->db());
        if (!query.exec("select device_ip, type, value, result from set_log order by id desc limit 1;") || !query.next())
            return {};
        return {query.value(0).toString(), query.value(1).toInt(), query.value(2).toString(), query.value(3).toInt()};
    }

    void editCell(QTableWidget* table, int row, const QString& text)
    {
        table->item(row, 1)->setText(text); // emits itemChanged like an edit
    }

private slots:
    void initTestCase()
    {
        // Safety net: a box nobody answered prints to stderr instead of waiting.
        qputenv("UPS_MESSAGEBOX_AUTO", "0");
        qputenv("MIBS", "");
    }

    void init()
    {
        m_console.reset(new ConsoleDir);
        QVERIFY(m_console->ok());
        m_peerDir.reset(new QTemporaryDir);
        qputenv("SNMP_PERSISTENT_DIR", m_peerDir->path().toLocal8Bit());
        MessageBox::clearAnswers();
        MessageBox::clearShown();
    }

    void cleanup()
    {
        if (SNMP::exists())
            SNMP::destroy();
        stopPeer();
        m_console.reset();
    }

    void configValues_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("value");
        QTest::newRow("max input volt 265.4") << 0 << "265.4" << 4 << 2654;
        QTest::newRow("min output volt 180") << 3 << "180" << 7 << 1800;
        QTest::newRow("temp alarm 45") << 4 << "45" << 8 << 45;
        QTest::newRow("low batt volt 12.34") << 6 << "12.34" << 10 << 1234;
        QTest::newRow("low batt volt 10.005 rounds") << 6 << "10.006" << 10 << 1001;
        QTest::newRow("remain time 5") << 7 << "5" << 11 << 5;
        QTest::newRow("env over temp 40") << 8 << "40" << 15 << 40;
        QTest::newRow("env under humi 20") << 11 << "20" << 18 << 20;
        QTest::newRow("not a number, scaled") << 0 << "abc" << 4 << 0;
        QTest::newRow("not a number, integer") << 5 << "12x" << 9 << 0;
    }

    void configValues()
    {
        QFETCH(int, row);
        QFETCH(QString, text);
        QFETCH(int, type);
        QFETCH(int, value);
        QCOMPARE(SettingsDialog::configType(row), type);
        QCOMPARE(SettingsDialog::configValue(row, text), value);
    }

    void layoutAndTexts()
    {
        SettingsDialog dialog("127.0.25.99");
        QCOMPARE(dialog.windowTitle(), QString("Settings"));
        QCOMPARE(dialog.size(), QSize(400, 400));
        QCOMPARE(dialog.tabs()->tabText(0), QString("Management Info"));
        QCOMPARE(dialog.tabs()->tabText(1), QString("Device Configure"));
        QCOMPARE(dialog.tabs()->tabText(2), QString("Device Control"));
        QCOMPARE(dialog.managementTable()->rowCount(), 3);
        QCOMPARE(dialog.configTable()->rowCount(), 12);
        QCOMPARE(dialog.controlTable()->rowCount(), 3);
        QCOMPARE(dialog.configTable()->item(6, 0)->text(), QString("UPS Low Batt. Volt.(V)"));
        QVERIFY(!(dialog.configTable()->item(6, 0)->flags() & Qt::ItemIsEditable));
        QVERIFY(dialog.configTable()->item(6, 1)->flags() & Qt::ItemIsEditable);
        QCOMPARE(dialog.controlTable()->item(1, 0)->text(), QString("Buzzer"));
        QCOMPARE(dialog.enableButton(1)->text(), QString("Enable"));
        QCOMPARE(dialog.disableButton(1)->text(), QString("Disable"));
        // A device the engine does not know: zeros and empty texts.
        QCOMPARE(dialog.managementTable()->item(0, 1)->text(), QString());
        QCOMPARE(dialog.configTable()->item(0, 1)->text(), QString("0.0"));
        QCOMPARE(dialog.configTable()->item(6, 1)->text(), QString("0.00"));
        QCOMPARE(dialog.configTable()->item(4, 1)->text(), QString("0"));
        QCOMPARE(setLogCount(), 0);
    }

    void againstSimulator()
    {
        if (simulatorPath().isEmpty())
            QSKIP("upssim not built");
        QVERIFY(startSimulator());
        SNMP* engine = startEngine(kSimAddress, kSimPort);
        QVERIFY(engine);
        QTRY_VERIFY_WITH_TIMEOUT(engine->getData(kSimAddress).ups_max_input_volt != 0, 15000);
        const SNMPData data = engine->getData(kSimAddress);
        const QString target = QString("%1:%2").arg(kSimAddress).arg(kSimPort);

        SettingsDialog dialog(kSimAddress);
        // Opening shows the latest record and sends nothing.
        QCOMPARE(dialog.managementTable()->item(0, 1)->text(), QString::fromUtf8(data.sys_name));
        QCOMPARE(dialog.managementTable()->item(1, 1)->text(), QString::fromUtf8(data.sys_location));
        QCOMPARE(dialog.managementTable()->item(2, 1)->text(), QString::fromUtf8(data.sys_contact));
        QCOMPARE(dialog.configTable()->item(0, 1)->text(), QString::number(data.ups_max_input_volt * 0.1, 'f', 1));
        QCOMPARE(dialog.configTable()->item(6, 1)->text(), QString::number(data.ups_low_batt_volt * 0.01, 'f', 2));
        QCOMPARE(setLogCount(), 0);
        QCOMPARE(MessageBox::shown().size(), 0);

        // Management info: the database only, apostrophes kept, no SET.
        MessageBox::setNextAnswer(0);
        editCell(dialog.managementTable(), 0, "O'Brien's UPS");
        QCOMPARE(MessageBox::lastShown().title, QString("Information"));
        QCOMPARE(MessageBox::lastShown().text, QString("Modified success!"));
        MessageBox::setNextAnswer(0);
        editCell(dialog.managementTable(), 2, "Ops' desk");
        QCOMPARE(m_console->count("select count(*) from device where device_ip=? and name=? and admin=?;",
                                  {kSimAddress, "O'Brien's UPS", "Ops' desk"}),
                 1);
        QCOMPARE(setLogCount(), 0);

        // Limits: scaled values reach the card and the set_log.
        const QStringList oids = engine->oidList();
        struct Case
        {
            int row;
            const char* text;
            int type;
            const char* value;
            int position;
        };
        const Case cases[] = {{0, "265.4", 4, "2654", 38}, {6, "12.34", 10, "1234", 53}, {4, "47", 8, "47", 51}};
        int rows = 0;
        for (const Case& c : cases) {
            MessageBox::setNextAnswer(0);
            editCell(dialog.configTable(), c.row, c.text);
            QCOMPARE(MessageBox::lastShown().text, QString("Modified success!"));
            QCOMPARE(setLogCount(), ++rows);
            QCOMPARE(lastSetLog(), (QVariantList{kSimAddress, c.type, c.value, 1}));
            QCOMPARE(snmpget(target, oids.at(c.position)), QByteArray(c.value));
        }

        // Control: "Disable" for "Buzzer" sends type 13 with 1.
        MessageBox::setNextAnswer(0);
        QTest::mouseClick(dialog.disableButton(1), Qt::LeftButton);
        QCOMPARE(MessageBox::lastShown().text, QString("Buzzer disable success!"));
        QCOMPARE(lastSetLog(), (QVariantList{kSimAddress, 13, "1", 1}));
        MessageBox::setNextAnswer(0);
        QTest::mouseClick(dialog.enableButton(2), Qt::LeftButton);
        QCOMPARE(MessageBox::lastShown().text, QString("Batt. self-check enable success!"));
        QCOMPARE(lastSetLog(), (QVariantList{kSimAddress, 14, "2", 1}));
        QCOMPARE(setLogCount(), rows + 2);
    }

    void readOnlyOidIsRefused()
    {
        if (QStandardPaths::findExecutable("snmpd", {"/usr/sbin", "/usr/bin"}).isEmpty())
            QSKIP("snmpd not installed");
        // The card's limit OIDs of the shipped OID list, served read-only.
        QStringList oids;
        {
            SNMP* probe = SNMP::instance();
            oids = probe->oidList();
            SNMP::destroy();
        }
        QVERIFY(oids.size() > 60);
        QStringList lines{"rocommunity public 127.0.0.0/8", "rwcommunity private 127.0.0.0/8",
                          QString("override .%1 integer 2640").arg(oids.at(38)),
                          QString("override .%1 integer 60").arg(oids.at(60)),
                          QString("override .%1 octet_str \"RO-CARD\"").arg(oids.at(4))};
        QVERIFY(startSnmpd(lines));
        SNMP* engine = startEngine(kSnmpdAddress, kSnmpdPort);
        QVERIFY(engine);
        QTRY_COMPARE_WITH_TIMEOUT(engine->getData(kSnmpdAddress).ups_max_input_volt, 2640, 15000);

        SettingsDialog dialog(kSnmpdAddress);
        QCOMPARE(setLogCount(), 0);
        MessageBox::setNextAnswer(0);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("SNMP session, set value error:.*"));
        editCell(dialog.configTable(), 0, "265.4");
        QCOMPARE(MessageBox::lastShown().text, QString("Modified failed!"));
        QCOMPARE(lastSetLog(), (QVariantList{kSnmpdAddress, 4, "2654", 0}));
        QCOMPARE(snmpget(QString("%1:%2").arg(kSnmpdAddress).arg(kSnmpdPort), oids.at(38)), QByteArray("2640"));

        MessageBox::setNextAnswer(0);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("SNMP session, set value error:.*"));
        QTest::mouseClick(dialog.disableButton(1), Qt::LeftButton);
        QCOMPARE(MessageBox::lastShown().text, QString("Buzzer disable failed!"));
        QCOMPARE(lastSetLog(), (QVariantList{kSnmpdAddress, 13, "1", 0}));
        QCOMPARE(setLogCount(), 2);
    }
};

QTEST_MAIN(TestSettingsDialog)
#include "test_settings_dialog.moc"
