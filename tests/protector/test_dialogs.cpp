// Settings dialog, host dialog and event log dialog with its exports, driven
// through offscreen widgets with queued message-box answers and file names.
#include "TestSupport.h"

#include "AddHostDialog.h"
#include "AgentDatabase.h"
#include "FileDialog.h"
#include "Language.h"
#include "LogDialog.h"
#include "MainWindow.h"
#include "MessageBox.h"
#include "SettingsDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTableWidget>
#include <QTextCodec>
#include <QtTest>

namespace {
void exec(const QString& sql)
{
    QSqlQuery query(AgentDatabase::database());
    QVERIFY2(query.exec(sql), qPrintable(sql));
}

int count(const QString& sql)
{
    QSqlQuery query(AgentDatabase::database());
    query.exec(sql);
    return query.next() ? query.value(0).toInt() : -1;
}

QStringList rowTexts(QTableWidget* table, int row)
{
    QStringList texts;
    for (int column = 0; column < table->columnCount(); ++column)
        texts << (table->item(row, column) ? table->item(row, column)->text() : QString());
    return texts;
}

// Reads a workbook back with openpyxl: rows of cell values (null for empty).
QJsonArray readWorkbook(const QString& path)
{
    QProcess python;
    python.start("/usr/bin/python3",
                 {"-c",
                  "import json, sys, openpyxl\n"
                  "ws = openpyxl.load_workbook(open(sys.argv[1], 'rb')).worksheets[0]\n"
                  "print(json.dumps([[c.value for c in row] for row in ws.iter_rows()]))\n",
                  path});
    if (!python.waitForFinished(30000) || python.exitCode() != 0) {
        qWarning() << python.readAllStandardError();
        return QJsonArray();
    }
    return QJsonDocument::fromJson(python.readAllStandardOutput()).array();
}

QJsonArray jsonRow(const QStringList& cells)
{
    QJsonArray row;
    for (const QString& cell : cells)
        row.append(cell);
    return row;
}
} // namespace

class TestDialogs : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void firstOpeningWritesSixKeys();
    void saveValidation_data();
    void saveValidation();
    void saveWritesEverything();
    void browse();
    void hostTableAndRemove();
    void hostDialogDefaults();
    void hostValidation_data();
    void hostValidation();
    void addHosts();
    void modifyHost();
    void eventLogDateRange();
    void eventLogClear();
    void csvExport();
    void exportThroughDialog_data();
    void exportThroughDialog();
    void exportFailure();

private:
    QTemporaryDir m_out;
};

void TestDialogs::initTestCase()
{
    qputenv("UPS_MESSAGEBOX_AUTO", "1"); // an unexpected box cancels
}

void TestDialogs::init()
{
    MessageBox::clearAnswers();
    MessageBox::clearShown();
    FileDialog::clearNextFileNames();
}

void TestDialogs::firstOpeningWritesSixKeys()
{
    AgentWorkDir dir;
    QVERIFY(AgentDatabase::createSchema());
    SettingsDialog dialog;
    QSignalSpy popup(&dialog, &SettingsDialog::popupStateChanged);
    QSettings settings(dir.path("cfg/settings.ini"), QSettings::IniFormat);
    QCOMPARE(settings.allKeys().size(), 6);
    QCOMPARE(settings.value("system/pop_warning").toBool(), true);
    QCOMPARE(settings.value("system/shutdown_app_enable").toBool(), false);
    QCOMPARE(settings.value("system/shutdown_exec_time").toInt(), 15);
    QCOMPARE(settings.value("shutdown/ac_failed_time").toInt(), 5);
    QCOMPARE(settings.value("shutdown/batt_low_time").toInt(), 5);
    QCOMPARE(settings.value("shutdown/ac_failed_capacity").toInt(), 20);
    QVERIFY(dialog.popupBox()->isChecked());
    QVERIFY(!dialog.runAppBox()->isChecked());
    QVERIFY(!dialog.appPathEdit()->isEnabled());
    QVERIFY(!dialog.browseButton()->isEnabled());
    QVERIFY(!dialog.execTimeEdit()->isEnabled());
    QCOMPARE(dialog.execTimeEdit()->text(), QStringLiteral("15"));
    QCOMPARE(dialog.acFailedTimeEdit()->text(), QStringLiteral("5"));
    QCOMPARE(dialog.capacityEdit()->text(), QStringLiteral("20"));

    // Saving right after the first opening reports the pop-up setting.
    dialog.saveSettings();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(popup.count(), 1);
    QCOMPARE(popup.first().at(0).toBool(), true);

    SettingsDialog second;
    QSignalSpy popup2(&second, &SettingsDialog::popupStateChanged);
    second.saveSettings();
    QCOMPARE(popup2.count(), 0);
    second.popupBox()->setChecked(false);
    second.saveSettings();
    QCOMPARE(popup2.count(), 1);
    QCOMPARE(AgentSettings::read("system/pop_warning").toBool(), false);
}

void TestDialogs::saveValidation_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("limit");
    QTest::addColumn<QString>("message");
    QTest::newRow("missing application") << "/nonexistent/app.sh" << "10" << "Shutdown application is not exist!";
    QTest::newRow("empty path") << "" << "10" << "Shutdown application is not exist!";
    QTest::newRow("limit 0") << "/bin/true" << "0" << "Maximun execution time is invalid!";
    QTest::newRow("limit 91") << "/bin/true" << "91" << "Maximun execution time is invalid!";
    QTest::newRow("limit empty") << "/bin/true" << "" << "Maximun execution time is invalid!";
}

void TestDialogs::saveValidation()
{
    QFETCH(QString, path);
    QFETCH(QString, limit);
    QFETCH(QString, message);
    AgentWorkDir dir;
    QVERIFY(AgentDatabase::createSchema());
    SettingsDialog dialog;
    dialog.runAppBox()->click();
    QVERIFY(dialog.appPathEdit()->isEnabled());
    dialog.appPathEdit()->setText(path);
    dialog.execTimeEdit()->setText(limit);
    dialog.acFailedTimeEdit()->setText("33");
    MessageBox::setNextAnswer(0);
    dialog.saveSettings();
    QCOMPARE(MessageBox::lastShown().title, QStringLiteral("Warning"));
    QCOMPARE(MessageBox::lastShown().text, message);
    QVERIFY(dialog.result() != QDialog::Accepted);
    // Nothing written.
    QCOMPARE(AgentSettings::read("shutdown/ac_failed_time").toInt(), 5);
    QCOMPARE(AgentSettings::read("system/shutdown_app_enable").toBool(), false);
    QVERIFY(!AgentSettings::read("system/shutdown_app").isValid());
}

void TestDialogs::saveWritesEverything()
{
    AgentWorkDir dir;
    QVERIFY(AgentDatabase::createSchema());
    SettingsDialog dialog;
    dialog.runAppBox()->click();
    dialog.appPathEdit()->setText("/bin/true");
    dialog.execTimeEdit()->setText("30");
    dialog.acFailedTimeEdit()->setText("7");
    dialog.battLowTimeEdit()->setText("3");
    dialog.capacityEdit()->setText("");
    dialog.saveSettings();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(AgentSettings::read("system/shutdown_app").toString(), QStringLiteral("/bin/true"));
    QCOMPARE(AgentSettings::read("system/shutdown_exec_time").toInt(), 30);
    QCOMPARE(AgentSettings::read("system/shutdown_app_enable").toBool(), true);
    QCOMPARE(AgentSettings::read("shutdown/ac_failed_time").toInt(), 7);
    QCOMPARE(AgentSettings::read("shutdown/batt_low_time").toInt(), 3);
    QCOMPARE(AgentSettings::read("shutdown/ac_failed_capacity").toInt(), 0);

    // Switching the application off keeps its path and limit.
    SettingsDialog again;
    QVERIFY(again.runAppBox()->isChecked());
    QCOMPARE(again.appPathEdit()->text(), QStringLiteral("/bin/true"));
    QCOMPARE(again.execTimeEdit()->text(), QStringLiteral("30"));
    again.runAppBox()->click();
    again.saveSettings();
    QCOMPARE(AgentSettings::read("system/shutdown_app_enable").toBool(), false);
    QCOMPARE(AgentSettings::read("system/shutdown_app").toString(), QStringLiteral("/bin/true"));
    QCOMPARE(MessageBox::shown().size(), 0);
}

void TestDialogs::browse()
{
    AgentWorkDir dir;
    SettingsDialog dialog;
    FileDialog::setNextFileName("/usr/bin/env");
    dialog.onBrowseOffAPP();
    QCOMPARE(dialog.appPathEdit()->text(), QStringLiteral("/usr/bin/env"));
    FileDialog::setNextFileName(QString()); // cancelled
    dialog.onBrowseOffAPP();
    QCOMPARE(dialog.appPathEdit()->text(), QStringLiteral("/usr/bin/env"));
}

void TestDialogs::hostTableAndRemove()
{
    AgentWorkDir dir;
    QVERIFY(AgentDatabase::createSchema());
    exec("insert into snmp_session(date, ip, port, version, community) values(1, '10.1.0.1', 161, 0, 'public')");
    exec("insert into snmp_session(date, ip, port, version, userName) values(1, '10.1.0.2', 1161, 1, 'upsuser01')");
    exec("insert into snmp_session(date, ip, port, version) values(1, '10.1.0.3', 162, 5)");
    exec("insert into snmp_session(date, ip, port, version, community) values(1, '10.1.0.1', 2161, 0, 'x')");
    SettingsDialog dialog;
    QTableWidget* table = dialog.hostTable();
    QCOMPARE(table->rowCount(), 4);
    QCOMPARE(rowTexts(table, 0), (QStringList{"10.1.0.1", "161", "SNMP v1/v2"}));
    QCOMPARE(rowTexts(table, 1), (QStringList{"10.1.0.2", "1161", "SNMP v3"}));
    QCOMPARE(rowTexts(table, 2), (QStringList{"10.1.0.3", "162", "Unknown"}));

    QSignalSpy removed(&dialog, &SettingsDialog::hostRemoved);
    dialog.removeSNMPHost(); // nothing selected
    QCOMPARE(MessageBox::shown().size(), 0);
    dialog.hostClicked(0, 1);
    MessageBox::setNextAnswer(1); // Cancel
    dialog.removeSNMPHost();
    QCOMPARE(MessageBox::lastShown().text, QStringLiteral("Are you sure to remove host 10.1.0.1"));
    QCOMPARE(table->rowCount(), 4);
    MessageBox::setNextAnswer(0); // Sure
    dialog.removeSNMPHost();
    QCOMPARE(table->rowCount(), 3);
    QCOMPARE(removed.count(), 1);
    QCOMPARE(removed.first().at(0).toString(), QStringLiteral("10.1.0.1:161"));
    QCOMPARE(dialog.selectedRow(), -1);
    // Every row with that IP is gone from the database.
    QCOMPARE(count("select count(*) from snmp_session where ip='10.1.0.1'"), 0);
    QCOMPARE(count("select count(*) from snmp_session"), 2);

    // Rows added and modified through the host dialog's signals.
    QSignalSpy added(&dialog, &SettingsDialog::hostAdded);
    QSignalSpy modified(&dialog, &SettingsDialog::hostModified);
    SNMPInfo info;
    info.ip = "10.1.0.9";
    info.port = 9161;
    info.version = 1;
    dialog.hostAddedEvent(info);
    QCOMPARE(rowTexts(table, 3), (QStringList{"10.1.0.9", "9161", "SNMP v3"}));
    QCOMPARE(added.count(), 1);
    dialog.hostClicked(0, 0);
    SNMPInfo old;
    old.ip = "10.1.0.2";
    info.ip = "10.1.0.8";
    info.version = 0;
    dialog.hostModifiedEvent(info, old);
    QCOMPARE(rowTexts(table, 0), (QStringList{"10.1.0.8", "9161", "SNMP v1/v2"}));
    QCOMPARE(modified.count(), 1);
}

void TestDialogs::hostDialogDefaults()
{
    AgentWorkDir dir;
    QVERIFY(AgentDatabase::createSchema());
    AddHostDialog dialog(AddHostDialog::AddMode, SNMPInfo());
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Add"));
    QVERIFY(dialog.v2Button()->isChecked());
    QCOMPARE(dialog.communityEdit()->text(), QStringLiteral("public"));
    QCOMPARE(dialog.portEdit()->text(), QStringLiteral("161"));
    QVERIFY(dialog.communityEdit()->isEnabled());
    for (QWidget* w : {static_cast<QWidget*>(dialog.userEdit()), static_cast<QWidget*>(dialog.passwordEdit()),
                       static_cast<QWidget*>(dialog.authBox()), static_cast<QWidget*>(dialog.privBox())})
        QVERIFY(!w->isEnabled());
    dialog.v3Button()->setChecked(true);
    QVERIFY(!dialog.communityEdit()->isEnabled());
    QVERIFY(dialog.userEdit()->isEnabled() && dialog.privBox()->isEnabled());
    QCOMPARE(dialog.passwordEdit()->echoMode(), QLineEdit::Password);
    // The host field refuses text that cannot become an address.
    QTest::keyClicks(dialog.hostEdit(), "10.0.0.300x");
    QVERIFY(!dialog.hostEdit()->text().contains('x'));
}

void TestDialogs::hostValidation_data()
{
    QTest::addColumn<QString>("host");
    QTest::addColumn<QString>("port");
    QTest::addColumn<int>("version"); // 0 v1/v2, 1 v3, -1 none
    QTest::addColumn<QString>("community");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("message");
    QTest::newRow("bad address") << "300.1.1.1" << "161" << 0 << "public" << "" << "" << "Host format error!";
    QTest::newRow("empty address") << "" << "161" << 0 << "public" << "" << "" << "Host format error!";
    QTest::newRow("partial address") << "10.1.1" << "161" << 0 << "public" << "" << "" << "Host format error!";
    QTest::newRow("empty port") << "10.2.0.1" << "" << 0 << "public" << "" << "" << "SNMP port error!";
    QTest::newRow("empty community") << "10.2.0.1" << "161" << 0 << "" << "" << "" << "Community error!";
    QTest::newRow("v2 address exists, other port")
        << "10.2.0.5" << "1161" << 0 << "public" << "" << "" << "SNMP host exists!";
    QTest::newRow("empty user") << "10.2.0.1" << "161" << 1 << "" << "" << "" << "User name cannot be null!";
    QTest::newRow("7-character user")
        << "10.2.0.1" << "161" << 1 << "" << "user007" << "" << "User name must be greater than 8 characters!";
    QTest::newRow("short password") << "10.2.0.1" << "161" << 1 << "" << "upsuser01" << "1234567"
                                    << "Password must be greater than 8 characters!";
    QTest::newRow("v3 address exists")
        << "10.2.0.5" << "161" << 1 << "" << "upsuser01" << "" << "SNMP host exists!";
    QTest::newRow("no version") << "10.2.0.1" << "161" << -1 << "public" << "" << "" << "SNMP version error!";
}

void TestDialogs::hostValidation()
{
    QFETCH(QString, host);
    QFETCH(QString, port);
    QFETCH(int, version);
    QFETCH(QString, community);
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(QString, message);
    AgentWorkDir dir;
    QVERIFY(AgentDatabase::createSchema());
    exec("insert into snmp_session(date, ip, port, version, community) values(1, '10.2.0.5', 161, 0, 'public')");
    AddHostDialog dialog(AddHostDialog::AddMode, SNMPInfo());
    QSignalSpy added(&dialog, &AddHostDialog::hostAdded);
    dialog.hostEdit()->setText(host);
    dialog.portEdit()->setText(port);
    if (version == 1) {
        dialog.v3Button()->setChecked(true);
    } else if (version < 0) {
        dialog.v2Button()->setAutoExclusive(false);
        dialog.v2Button()->setChecked(false);
    }
    dialog.communityEdit()->setText(community);
    dialog.userEdit()->setText(user);
    dialog.passwordEdit()->setText(password);
    MessageBox::setNextAnswer(0);
    dialog.onSure();
    QCOMPARE(MessageBox::lastShown().title, QStringLiteral("Warning"));
    QCOMPARE(MessageBox::lastShown().text, message);
    QVERIFY(dialog.result() != QDialog::Accepted);
    QCOMPARE(added.count(), 0);
    QCOMPARE(count("select count(*) from snmp_session"), 1);
}

void TestDialogs::addHosts()
{
    AgentWorkDir dir;
    QVERIFY(AgentDatabase::createSchema());
    {
        AddHostDialog dialog(AddHostDialog::AddMode, SNMPInfo());
        QSignalSpy added(&dialog, &AddHostDialog::hostAdded);
        dialog.hostEdit()->setText("10.3.0.1");
        dialog.portEdit()->setText("1161");
        dialog.communityEdit()->setText("private");
        dialog.onSure();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(added.count(), 1);
        const SNMPInfo info = added.first().at(0).value<SNMPInfo>();
        QCOMPARE(info.ip, QStringLiteral("10.3.0.1"));
        QCOMPARE(info.port, 1161);
        QCOMPARE(info.version, 0);
        QCOMPARE(info.community, QStringLiteral("private"));
    }
    {
        // 8-character user name, empty password: accepted.
        AddHostDialog dialog(AddHostDialog::AddMode, SNMPInfo());
        QSignalSpy added(&dialog, &AddHostDialog::hostAdded);
        dialog.hostEdit()->setText("10.3.0.2");
        dialog.v3Button()->setChecked(true);
        dialog.userEdit()->setText("upsuser03");
        dialog.authBox()->setCurrentIndex(1);
        dialog.privBox()->setCurrentIndex(1);
        dialog.onSure();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(added.count(), 1);
        const SNMPInfo info = added.first().at(0).value<SNMPInfo>();
        QCOMPARE(info.version, 1);
        QCOMPARE(info.userName, QStringLiteral("upsuser03"));
        QCOMPARE(info.authType, 1);
        QCOMPARE(info.privType, 1);
    }
    QSqlQuery query(AgentDatabase::database());
    QVERIFY(query.exec("select ip, port, version, community, authType, privType, userName, password from "
                       "snmp_session order by id"));
    QVERIFY(query.next());
    QCOMPARE(query.value(0).toString(), QStringLiteral("10.3.0.1"));
    QCOMPARE(query.value(1).toInt(), 1161);
    QCOMPARE(query.value(3).toString(), QStringLiteral("private"));
    QVERIFY(query.next());
    QCOMPARE(query.value(2).toInt(), 1);
    QCOMPARE(query.value(4).toInt(), 1);
    QCOMPARE(query.value(5).toInt(), 1);
    QCOMPARE(query.value(6).toString(), QStringLiteral("upsuser03"));
    QCOMPARE(query.value(7).toString(), QString());
}

void TestDialogs::modifyHost()
{
    AgentWorkDir dir;
    QVERIFY(AgentDatabase::createSchema());
    exec("insert into snmp_session(date, ip, port, version, authType, privType, userName, password) "
         "values(1, '10.4.0.1', 161, 1, 1, 0, 'upsuser01', 'privpass01')");
    exec("insert into snmp_session(date, ip, port, version, community) values(1, '10.4.0.2', 161, 0, 'public')");

    // Through the settings dialog's own query of the selected row.
    SettingsDialog settings;
    settings.hostClicked(0, 0);
    SNMPInfo old;
    old.ip = "10.4.0.1";
    AddHostDialog dialog(AddHostDialog::ModifyMode, old);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Modify"));
    QCOMPARE(dialog.hostEdit()->text(), QStringLiteral("10.4.0.1"));
    QVERIFY(dialog.v3Button()->isChecked());
    QCOMPARE(dialog.userEdit()->text(), QStringLiteral("upsuser01"));
    QCOMPARE(dialog.passwordEdit()->text(), QStringLiteral("privpass01"));
    QCOMPARE(dialog.authBox()->currentIndex(), 1);
    QCOMPARE(dialog.privBox()->currentIndex(), 0);
    QVERIFY(!dialog.communityEdit()->isEnabled());

    connect(&dialog, &AddHostDialog::hostModified, &settings, &SettingsDialog::hostModifiedEvent);
    QSignalSpy modified(&settings, &SettingsDialog::hostModified);
    // Another row uses this address already: accepted when modifying.
    dialog.hostEdit()->setText("10.4.0.2");
    dialog.portEdit()->setText("2161");
    dialog.onSure();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(modified.count(), 1);
    const SNMPInfo newInfo = modified.first().at(0).value<SNMPInfo>();
    const SNMPInfo oldInfo = modified.first().at(1).value<SNMPInfo>();
    QCOMPARE(newInfo.ip, QStringLiteral("10.4.0.2"));
    QCOMPARE(newInfo.port, 2161);
    QCOMPARE(oldInfo.ip, QStringLiteral("10.4.0.1"));
    QCOMPARE(rowTexts(settings.hostTable(), 0), (QStringList{"10.4.0.2", "2161", "SNMP v3"}));
    QCOMPARE(count("select count(*) from snmp_session where ip='10.4.0.1'"), 0);
    QCOMPARE(count("select count(*) from snmp_session where ip='10.4.0.2'"), 2);
    QCOMPARE(count("select count(*) from snmp_session where ip='10.4.0.2' and port=2161 and version=1"), 1);
}

void TestDialogs::eventLogDateRange()
{
    AgentWorkDir dir;
    QVERIFY(AgentDatabase::createSchema());
    CountingPowerOff powerOff;
    MainWindow window(&powerOff); // creates the registered event text reader
    const QDate today = QDate::currentDate();
    const qint64 midnight = QDateTime(today, QTime(0, 0)).toSecsSinceEpoch();
    const qint64 nextMidnight = QDateTime(today.addDays(1), QTime(0, 0)).toSecsSinceEpoch();
    const struct
    {
        qint64 date;
        const char* host;
        int event;
    } rows[] = {{midnight - 1, "10.5.0.1", 1},   {midnight, "10.5.0.2", 6},   {midnight + 43200, "10.5.0.3", 13},
                {nextMidnight, "10.5.0.4", 0}, {nextMidnight + 1, "10.5.0.5", 1}, {midnight + 60, "10.5.0.6", 999}};
    for (const auto& row : rows)
        exec(QString("insert into snmp_event(date, host, event) values(%1, '%2', %3)")
                 .arg(row.date)
                 .arg(row.host)
                 .arg(row.event));

    LogDialog dialog(&window);
    QCOMPARE(dialog.startEdit()->date(), today);
    QCOMPARE(dialog.endEdit()->date(), today);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Event log"));
    QTableWidget* table = dialog.table();
    QCOMPARE(table->rowCount(), 4);
    const auto shown = [](qint64 secs) {
        return QDateTime::fromSecsSinceEpoch(secs).toString("yyyy-MM-dd HH:mm:ss");
    };
    QCOMPARE(rowTexts(table, 0), (QStringList{shown(nextMidnight), "10.5.0.4", "Communication lost"}));
    QCOMPARE(rowTexts(table, 1), (QStringList{shown(midnight + 43200), "10.5.0.3", "UPS turned off"}));
    QCOMPARE(rowTexts(table, 2), (QStringList{shown(midnight + 60), "10.5.0.6", ""}));
    QCOMPARE(rowTexts(table, 3),
             (QStringList{shown(midnight), "10.5.0.2", "Utility power failed, UPS on battery"}));

    // Chinese texts after a language switch.
    Language::instance()->setLanguage(1);
    dialog.onBtnReadLog();
    QCOMPARE(table->item(1, 2)->text(), QString::fromUtf8("UPS已关机"));
    Language::instance()->setLanguage(0);

    // Two days, and a range that ends before it starts.
    dialog.startEdit()->setDate(today.addDays(-1));
    dialog.onBtnReadLog();
    QCOMPARE(table->rowCount(), 5);
    dialog.startEdit()->setDate(today.addDays(2));
    dialog.onBtnReadLog();
    QCOMPARE(table->rowCount(), 0);
    QCOMPARE(MessageBox::shown().size(), 0);
}

void TestDialogs::eventLogClear()
{
    AgentWorkDir dir;
    QVERIFY(AgentDatabase::createSchema());
    CountingPowerOff powerOff;
    MainWindow window(&powerOff);
    window.handleSNMPEvent("10.6.0.1", 1);
    window.handleSNMPEvent("10.6.0.1", 0);
    LogDialog dialog(&window);
    QCOMPARE(dialog.table()->rowCount(), 2);
    MessageBox::setNextAnswer(1);
    dialog.onBtnClear();
    QCOMPARE(MessageBox::lastShown().text, QStringLiteral("Are you sure to remove all logs?"));
    QCOMPARE(dialog.table()->rowCount(), 2);
    QCOMPARE(count("select count(*) from snmp_event"), 2);
    MessageBox::setNextAnswer(0);
    dialog.onBtnClear();
    QCOMPARE(dialog.table()->rowCount(), 0);
    QCOMPARE(count("select count(*) from snmp_event"), 0);
    window.handleSNMPEvent("10.6.0.1", 1);
    QCOMPARE(count("select max(id) from snmp_event"), 1);
}

void TestDialogs::csvExport()
{
    LogDialog::TableText text;
    text.header = QStringList{"Date", "Host address", "Event"};
    text.rows << QStringList{"2026-01-02 03:04:05", "10.7.0.1", "Utility power failed, UPS on battery"};
    text.rows << QStringList{"2026-01-02 03:04:06", "10.7.0.2", QString::fromUtf8("市电恢复")};
    text.rows << QStringList{"2026-01-02 03:04:07", "10.7.0.3", QString()};
    const QString path = m_out.path() + "/events.csv";
    QVERIFY(LogDialog::saveCsv(text, path));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.contains(QTextCodec::codecForName("GBK")->fromUnicode(QString::fromUtf8("市电恢复"))));
    QCOMPARE(QTextCodec::codecForName("GBK")->toUnicode(bytes),
             QString::fromUtf8("Date,Host address,Event,\r\n"
                               "'2026-01-02 03:04:05,10.7.0.1,Utility power failed, UPS on battery,\r\n"
                               "'2026-01-02 03:04:06,10.7.0.2,市电恢复,\r\n"
                               "'2026-01-02 03:04:07,10.7.0.3,,\r\n"));
    // An empty table gives only the header line; a missing header is skipped.
    LogDialog::TableText empty;
    empty.header = QStringList{"Date", QString(), "Event"};
    file.close();
    QVERIFY(LogDialog::saveCsv(empty, path));
    QFile again(path);
    QVERIFY(again.open(QIODevice::ReadOnly));
    QCOMPARE(again.readAll(), QByteArray("Date,Event,\r\n"));
}

void TestDialogs::exportThroughDialog_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<bool>("workbook");
    QTest::addColumn<bool>("withRows");
    QTest::newRow("csv") << "log.csv" << false << true;
    QTest::newRow("xlsx") << "log.xlsx" << true << true;
    QTest::newRow("upper-case CSV is a workbook") << "log.CSV" << true << true;
    QTest::newRow("empty table, workbook") << "empty.xlsx" << true << false;
}

void TestDialogs::exportThroughDialog()
{
    QFETCH(QString, fileName);
    QFETCH(bool, workbook);
    QFETCH(bool, withRows);
    AgentWorkDir dir;
    QVERIFY(AgentDatabase::createSchema());
    CountingPowerOff powerOff;
    MainWindow window(&powerOff);
    if (withRows) {
        window.handleSNMPEvent("10.8.0.1", 6);
        window.handleSNMPEvent("10.8.0.2", 999); // no text
    }
    LogDialog dialog(&window);
    const QList<QStringList> expected = [&] {
        QList<QStringList> rows;
        for (int row = 0; row < dialog.table()->rowCount(); ++row)
            rows << rowTexts(dialog.table(), row);
        return rows;
    }();
    QCOMPARE(expected.size(), withRows ? 2 : 0);

    const QString path = m_out.path() + "/" + fileName;
    QFile::remove(path);
    FileDialog::setNextFileName(path);
    MessageBox::setNextAnswer(0);
    dialog.onBtnSave();
    QTRY_COMPARE_WITH_TIMEOUT(MessageBox::shown().size(), 1, 20000);
    QCOMPARE(MessageBox::lastShown().title, QStringLiteral("Information"));
    QCOMPARE(MessageBox::lastShown().text, QStringLiteral("Export log success !"));
    QVERIFY(!dialog.waitBox()->isVisible());
    QVERIFY(!dialog.exportRunning());

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    file.close();
    QCOMPARE(bytes.startsWith("PK"), workbook);
    if (!workbook) {
        QString text = "Date,Host address,Event,\r\n";
        for (const QStringList& row : expected)
            text += "'" + row.join(',') + ",\r\n";
        QCOMPARE(QTextCodec::codecForName("GBK")->toUnicode(bytes), text);
        return;
    }
    const QJsonArray cells = readWorkbook(path);
    QCOMPARE(cells.size(), expected.size() + 1);
    QCOMPARE(cells.at(0).toArray(), jsonRow({"Date", "Host address", "Event"}));
    for (int row = 0; row < expected.size(); ++row) {
        QJsonArray want = jsonRow(expected.at(row));
        if (expected.at(row).at(2).isEmpty())
            want[2] = QJsonValue(); // an empty text is an empty cell
        QCOMPARE(cells.at(row + 1).toArray(), want);
    }
}

void TestDialogs::exportFailure()
{
    AgentWorkDir dir;
    QVERIFY(AgentDatabase::createSchema());
    CountingPowerOff powerOff;
    MainWindow window(&powerOff);
    LogDialog dialog(&window);
    for (const QString& name : {QString("/nonexistent/dir/log.csv"), QString("/nonexistent/dir/log.xlsx")}) {
        MessageBox::clearShown();
        FileDialog::setNextFileName(name);
        MessageBox::setNextAnswer(0);
        dialog.onBtnSave();
        QTRY_COMPARE_WITH_TIMEOUT(MessageBox::shown().size(), 1, 20000);
        QCOMPARE(MessageBox::lastShown().text, QStringLiteral("Export log failed !"));
    }
    // A cancelled file dialog starts nothing.
    MessageBox::clearShown();
    FileDialog::setNextFileName(QString());
    dialog.onBtnSave();
    QTest::qWait(100);
    QCOMPARE(MessageBox::shown().size(), 0);
}

QTEST_MAIN(TestDialogs)
#include "test_dialogs.moc"
