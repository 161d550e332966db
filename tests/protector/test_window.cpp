// The agent's main window: events stored, shown and popped up, host rows and
// their lamps, host list operations, language switch, controller rows.
#include "TestSupport.h"

#include "AboutDialog.h"
#include "LogDialog.h"
#include "SettingsDialog.h"
#include "AgentDatabase.h"
#include "Language.h"
#include "Led.h"
#include "ListWidgetItem.h"
#include "MainWindow.h"
#include "MessageBox.h"
#include "ShutdownController.h"

#include <QAction>
#include <QActionGroup>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QSqlQuery>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>

namespace {
void addHostRow(const QString& ip, int port)
{
    QSqlQuery query(AgentDatabase::database());
    query.prepare("insert into snmp_session(date, ip, port, version, community) values(1, :1, :2, 0, 'public')");
    query.bindValue(":1", ip);
    query.bindValue(":2", port);
    QVERIFY(query.exec());
}

QStringList rowTexts(QTableWidget* table, int row)
{
    QStringList texts;
    for (int column = 0; column < table->columnCount(); ++column)
        texts << (table->item(row, column) ? table->item(row, column)->text() : QString());
    return texts;
}

int storedEvents()
{
    QSqlQuery query(AgentDatabase::database());
    query.exec("select count(*) from snmp_event");
    return query.next() ? query.value(0).toInt() : -1;
}
} // namespace

class TestWindow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void eventsStoredShownAndPopped_data();
    void eventsStoredShownAndPopped();
    void popupWithoutText();
    void tableKeepsLast5000Rows();
    void hostLampsAndTooltips();
    void hostListOperations();
    void languageSwitch();
    void clearContentKeepsDatabase();
    void controllerRows();
    void aboutAndClock();
    void settingsDialogWiring();
};

void TestWindow::initTestCase()
{
    // Any box that a test did not expect answers itself instead of blocking.
    qputenv("UPS_MESSAGEBOX_AUTO", "0");
    QCOMPARE(MainWindow::warningEvents().size(), 33);
}

void TestWindow::init()
{
    MessageBox::clearAnswers();
    MessageBox::clearShown();
}

void TestWindow::eventsStoredShownAndPopped_data()
{
    QTest::addColumn<bool>("popWarning");
    QTest::addColumn<int>("event");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("popsUp");
    QTest::newRow("warning event 13") << true << 13 << "UPS turned off" << true;
    QTest::newRow("warning event 72") << true << 72 << "Battery end of life" << true;
    QTest::newRow("host silent never pops") << true << 0 << "Communication lost" << false;
    QTest::newRow("event 6 is not a warning") << true << 6 << "Utility power failed, UPS on battery" << false;
    QTest::newRow("pop-ups off") << false << 13 << "UPS turned off" << false;
}

void TestWindow::eventsStoredShownAndPopped()
{
    QFETCH(bool, popWarning);
    QFETCH(int, event);
    QFETCH(QString, text);
    QFETCH(bool, popsUp);
    AgentWorkDir dir;
    QVERIFY(AgentDatabase::createSchema());
    AgentSettings::write("system/pop_warning", popWarning);
    CountingPowerOff powerOff;
    MainWindow window(&powerOff);
    QCOMPARE(window.popWarning(), popWarning);
    window.handleSNMPEvent("10.0.0.5", event);

    QCOMPARE(window.eventTable()->rowCount(), 1);
    const QStringList row = rowTexts(window.eventTable(), 0);
    QCOMPARE(row.at(1), QStringLiteral("10.0.0.5"));
    QCOMPARE(row.at(2), text);
    QVERIFY(QDateTime::fromString(row.at(0), "yyyy-MM-dd HH:mm:ss").isValid());
    QCOMPARE(window.eventTable()->item(0, 2)->textAlignment(), int(Qt::AlignCenter));

    QSqlQuery query(AgentDatabase::database());
    QVERIFY(query.exec("select id, date, host, event from snmp_event") && query.next());
    QCOMPARE(query.value(2).toString(), QStringLiteral("10.0.0.5"));
    QCOMPARE(query.value(3).toInt(), event);
    QVERIFY(qAbs(query.value(1).toLongLong() - QDateTime::currentSecsSinceEpoch()) < 5);

    QCOMPARE(MessageBox::shown().size(), popsUp ? 1 : 0);
    if (popsUp) {
        QCOMPARE(MessageBox::lastShown().title, QStringLiteral("Warning"));
        QCOMPARE(MessageBox::lastShown().text, "10.0.0.5 " + text);
    }
}

void TestWindow::popupWithoutText()
{
    AgentWorkDir dir(false); // no event texts
    QVERIFY(AgentDatabase::createSchema());
    CountingPowerOff powerOff;
    MainWindow window(&powerOff);
    window.setPopWarning(true);
    window.handleSNMPEvent("10.0.0.6", 3);
    QCOMPARE(window.eventTable()->rowCount(), 0);
    QCOMPARE(storedEvents(), 1);
    QCOMPARE(MessageBox::lastShown().text, QStringLiteral("10.0.0.6 "));
}

void TestWindow::tableKeepsLast5000Rows()
{
    AgentWorkDir dir;
    CountingPowerOff powerOff;
    MainWindow window(&powerOff);
    for (int i = 0; i < 5001; ++i)
        window.displaySNMPEvent(QString("h%1").arg(i), "e");
    QCOMPARE(window.eventTable()->rowCount(), 5000);
    QCOMPARE(window.eventTable()->item(0, 1)->text(), QStringLiteral("h1"));
    QCOMPARE(window.eventTable()->item(4999, 1)->text(), QStringLiteral("h5000"));
}

void TestWindow::hostLampsAndTooltips()
{
    AgentWorkDir dir;
    QVERIFY(AgentDatabase::createSchema());
    addHostRow("10.0.1.1", 161);
    addHostRow("10.0.1.2", 161);
    CountingPowerOff powerOff;
    MainWindow window(&powerOff);
    QCOMPARE(window.hostList(), (QStringList{"10.0.1.1", "10.0.1.2"}));
    ListWidgetItem* item = window.hostItem(0);
    QVERIFY(item);
    QCOMPARE(window.hostListWidget()->item(0)->sizeHint().height(), 40);
    QCOMPARE(item->led()->color(), QColor(Qt::gray));
    QCOMPARE(item->toolTip(), QStringLiteral("Offline"));

    window.handleSNMPStatus("10.0.1.1", 1);
    QCOMPARE(item->led()->color(), QColor(Qt::green));
    window.handleSNMPData("10.0.1.1", statusBytes(2, 0, 2, 87));
    QCOMPARE(item->led()->color(), QColor(Qt::green));
    QCOMPARE(item->toolTip(), QStringLiteral("Battery status: Normal\nInput status: Normal\n"
                                             "Output status: On line\nBattery capacity: 87 %"));
    window.handleSNMPData("10.0.1.1", statusBytes(3, 1, 3, 200));
    QCOMPARE(item->led()->color(), QColor(Qt::red));
    QCOMPARE(item->toolTip(), QStringLiteral("Battery status: Battery low\nInput status: No transfer\n"
                                             "Output status: On battery\nBattery capacity: 200 %"));
    window.handleSNMPData("10.0.1.1", statusBytes(9, 2, 6, 0));
    QCOMPARE(item->toolTip(), QStringLiteral("Battery status: Unknow\nInput status: High line voltage\n"
                                             "Output status: On bypass\nBattery capacity: 0 %"));
    window.handleSNMPData("10.0.1.1", statusBytes(2, 7, 1, 0));
    QVERIFY(item->toolTip().contains("Input status: Unknown\nOutput status: Unknow"));

    // Offline in alarm, back in alarm: green until the alarm state changes.
    window.handleSNMPStatus("10.0.1.1", 0);
    QCOMPARE(item->led()->color(), QColor(Qt::gray));
    QCOMPARE(item->toolTip(), QStringLiteral("Offline"));
    window.handleSNMPStatus("10.0.1.1", 1);
    window.handleSNMPData("10.0.1.1", statusBytes(2, 7, 1, 0));
    QCOMPARE(item->led()->color(), QColor(Qt::green));
    window.handleSNMPData("10.0.1.1", statusBytes(2, 0, 2, 90));
    window.handleSNMPData("10.0.1.1", statusBytes(2, 4, 3, 90));
    QCOMPARE(item->led()->color(), QColor(Qt::red));

    // The other host and unknown hosts are untouched.
    QCOMPARE(window.hostItem(1)->led()->color(), QColor(Qt::gray));
    window.handleSNMPStatus("10.9.9.9", 1);
    window.handleSNMPData("10.9.9.9", statusBytes(2, 0, 2, 90));
    QCOMPARE(window.hostItem(1)->led()->color(), QColor(Qt::gray));
}

void TestWindow::hostListOperations()
{
    AgentWorkDir dir;
    QVERIFY(AgentDatabase::createSchema());
    addHostRow("10.0.2.1", 161);
    addHostRow("10.0.2.1", 1161);
    addHostRow("10.0.2.2", 161);
    CountingPowerOff powerOff;
    MainWindow window(&powerOff);
    QCOMPARE(window.hostList(), (QStringList{"10.0.2.1", "10.0.2.1", "10.0.2.2"}));

    // Removing a host whose IP occurs twice: both list entries, one row.
    window.removeSNMPHostEvent("10.0.2.1:1161");
    QCOMPARE(window.hostList(), QStringList{"10.0.2.2"});
    QCOMPARE(window.hostListWidget()->count(), 2);
    window.removeSNMPHostEvent("10.7.7.7:161"); // unknown
    QCOMPARE(window.hostListWidget()->count(), 2);

    SNMPInfo added;
    added.ip = "10.0.2.3";
    window.addSNMPHostEvent(added);
    QCOMPARE(window.hostList(), (QStringList{"10.0.2.2", "10.0.2.3"}));
    QCOMPARE(window.hostListWidget()->count(), 3);
    QCOMPARE(window.hostItem(2)->led()->color(), QColor(Qt::gray));

    // Modify: the entry and the row's label change, the lamp goes grey.
    window.handleSNMPStatus("10.0.2.2", 1);
    SNMPInfo oldInfo;
    oldInfo.ip = "10.0.2.2";
    SNMPInfo newInfo;
    newInfo.ip = "10.0.2.9";
    window.modifySNMPHostEvent(newInfo, oldInfo);
    QCOMPARE(window.hostList(), (QStringList{"10.0.2.9", "10.0.2.3"}));
    QCOMPARE(window.hostItem(0)->host(), QStringLiteral("10.0.2.9"));
    QCOMPARE(window.hostItem(0)->findChild<QLabel*>()->text(), QStringLiteral("10.0.2.9"));
    QCOMPARE(window.hostItem(0)->led()->color(), QColor(Qt::gray));
    // Unknown old host: nothing happens.
    oldInfo.ip = "10.6.6.6";
    window.modifySNMPHostEvent(newInfo, oldInfo);
    QCOMPARE(window.hostList(), (QStringList{"10.0.2.9", "10.0.2.3"}));
}

void TestWindow::languageSwitch()
{
    AgentWorkDir dir;
    QVERIFY(AgentDatabase::createSchema());
    CountingPowerOff powerOff;
    MainWindow window(&powerOff);
    window.handleSNMPEvent("10.0.3.1", 10);
    QCOMPARE(window.eventTable()->item(0, 2)->text(), QStringLiteral("Utility power restored"));

    window.languageGroup()->actions().at(1)->trigger();
    QCOMPARE(AgentSettings::read("system/language").toInt(), 1);
    QTRY_COMPARE(window.windowTitle(), QString::fromUtf8("UPS 守护"));
    QCOMPARE(window.eventTable()->horizontalHeaderItem(0)->text(), QString::fromUtf8("时间"));
    // Rows already shown keep their language; new ones are Chinese.
    QCOMPARE(window.eventTable()->item(0, 2)->text(), QStringLiteral("Utility power restored"));
    window.handleSNMPEvent("10.0.3.1", 10);
    QCOMPARE(window.eventTable()->item(1, 2)->text(), QString::fromUtf8("市电恢复"));

    window.languageGroup()->actions().at(0)->trigger();
    QTRY_COMPARE(window.windowTitle(), QStringLiteral("Upsguard"));
    QCOMPARE(window.eventTable()->horizontalHeaderItem(0)->text(), QStringLiteral("Time"));
    QCOMPARE(AgentSettings::read("system/language").toInt(), 0);
}

void TestWindow::clearContentKeepsDatabase()
{
    AgentWorkDir dir;
    QVERIFY(AgentDatabase::createSchema());
    CountingPowerOff powerOff;
    MainWindow window(&powerOff);
    window.handleSNMPEvent("10.0.4.1", 1);
    window.handleSNMPEvent("10.0.4.1", 0);
    QCOMPARE(window.eventTable()->rowCount(), 2);
    window.clearEventTable();
    QCOMPARE(window.eventTable()->rowCount(), 0);
    QCOMPARE(storedEvents(), 2);
}

void TestWindow::controllerRows()
{
    AgentWorkDir dir;
    QVERIFY(AgentDatabase::createSchema());
    addHostRow("10.0.5.1", 161);
    CountingPowerOff powerOff;
    MainWindow window(&powerOff);
    // Data for a host that is not listed still reaches the controller.
    window.handleSNMPData("10.0.5.2", statusBytes(2, 1, 3, 90));
    QCOMPARE(window.eventTable()->rowCount(), 1);
    const QStringList row = rowTexts(window.eventTable(), 0);
    QCOMPARE(row.at(1), QStringLiteral("System"));
    QCOMPARE(row.at(2), QStringLiteral("System will be shutdown in 0.2 minute(s)"));
    QCOMPARE(storedEvents(), 0); // controller rows are not stored
    QVERIFY(window.controller()->countdownArmed());
    QCOMPARE(MessageBox::shown().size(), 0);
}

void TestWindow::aboutAndClock()
{
    AgentWorkDir dir;
    CountingPowerOff powerOff;
    MainWindow window(&powerOff);
    AboutDialog about(&window);
    QCOMPARE(about.size(), QSize(400, 200));
    QCOMPARE(about.windowTitle(), QStringLiteral("About"));
    QVERIFY(about.text().startsWith(
        "<html><span style=\"font-weight:bold; font-size:16px\">Upsguard v1.0.2</span><br><br>Built on "));
    QVERIFY(about.text().endsWith("<br><br>The program is used for power off protection by SNMP.</html>"));
    QTRY_VERIFY_WITH_TIMEOUT(!window.clockLabel()->text().isEmpty(), 3000);
    QVERIFY(QDateTime::fromString(window.clockLabel()->text(), "yyyy-MM-dd HH:mm:ss").isValid());
}

void TestWindow::settingsDialogWiring()
{
    AgentWorkDir dir;
    QVERIFY(AgentDatabase::createSchema());
    addHostRow("10.0.6.1", 161);
    CountingPowerOff powerOff;
    MainWindow window(&powerOff);
    QVERIFY(!window.popWarning());
    // Drive the modal dialog from inside its own event loop.
    bool seen = false;
    QTimer::singleShot(0, [&seen] {
        auto* dialog = qobject_cast<SettingsDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        seen = true;
        SNMPInfo info;
        info.ip = "10.0.6.2";
        dialog->hostAddedEvent(info);
        dialog->hostClicked(0, 0);
        MessageBox::setNextAnswer(0);
        dialog->removeSNMPHost(); // 10.0.6.1
        dialog->saveSettings();   // first opening: pop-ups switch on
    });
    window.showSettingsDialog();
    QVERIFY(seen);
    QCOMPARE(window.hostList(), QStringList{"10.0.6.2"});
    QCOMPARE(window.hostListWidget()->count(), 1);
    QVERIFY(window.popWarning());

    // The log dialog opens modally with the stored events and closes.
    window.handleSNMPEvent("10.0.6.2", 13);
    int rows = -1;
    QTimer::singleShot(0, [&rows] {
        auto* dialog = qobject_cast<LogDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        rows = dialog->table()->rowCount();
        dialog->accept();
    });
    window.showLogDialog();
    QCOMPARE(rows, 1);
}

QTEST_MAIN(TestWindow)
#include "test_window.moc"
