// Agent start-up pieces: database schema and its bound, settings, log file,
// languages and event texts.
#include "TestSupport.h"

#include "AgentDatabase.h"
#include "AgentSettings.h"
#include "Language.h"
#include "MainWindow.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QTableWidget>
#include <QSettings>
#include <QSqlQuery>
#include <QtTest>

class TestFoundation : public QObject
{
    Q_OBJECT
private slots:
    void freshWorkingDirectory();
    void secondStartWithEmptyEventTable();
    void eventTableBound();
    void logLineLabels_data();
    void logLineLabels();
    void logFilePerDay();
    void messageHandlerAppends();
    void missingLogFolderDropsLine();
    void storedLanguage_data();
    void storedLanguage();
    void missingEventTextFile();
    void missingCfgFolder();
};

static QStringList schemaObjects()
{
    QSqlQuery query(AgentDatabase::database());
    query.exec(QStringLiteral("select type || ':' || name from sqlite_master order by name"));
    QStringList names;
    while (query.next())
        names << query.value(0).toString();
    return names;
}

void TestFoundation::freshWorkingDirectory()
{
    AgentWorkDir dir;
    QVERIFY(AgentDatabase::createSchema());
    QVERIFY(QFile::exists(dir.path("cfg/protector.db")));
    const QStringList objects = schemaObjects();
    QVERIFY2(objects.contains("table:snmp_session"), qPrintable(objects.join(',')));
    QVERIFY(objects.contains("table:snmp_event"));
    QVERIFY(objects.contains("trigger:snmp_event_trigger"));
    QVERIFY(objects.contains("index:snmp_event_index"));

    // The main window applies the stored language: only system/language=0 is
    // written until the settings dialog is opened.
    CountingPowerOff powerOff;
    {
        MainWindow window(&powerOff);
        QCOMPARE(window.windowTitle(), QStringLiteral("Upsguard"));
        QVERIFY(window.languageGroup()->actions().at(0)->isChecked());
    }
    QSettings settings(dir.path("cfg/settings.ini"), QSettings::IniFormat);
    QCOMPARE(settings.allKeys(), QStringList{"system/language"});
    QCOMPARE(settings.value("system/language").toInt(), 0);
    QCOMPARE(powerOff.requests, 0);
}

void TestFoundation::secondStartWithEmptyEventTable()
{
    AgentWorkDir dir;
    QVERIFY(AgentDatabase::createSchema());
    // A second start: the event table has never held a row, so its
    // statements run again; the index statement fails quietly.
    Database::destroy();
    QVERIFY(AgentDatabase::createSchema());
    QVERIFY(schemaObjects().contains("index:snmp_event_index"));
    {
        QSqlQuery query(AgentDatabase::database());
        QVERIFY(query.exec("insert into snmp_event(date, host, event) values(1, 'h', 1)"));
    }
    // Once an event is stored, the event-table statements are skipped.
    Database::destroy();
    QVERIFY(AgentDatabase::createSchema());
    QSqlQuery count(AgentDatabase::database());
    QVERIFY(count.exec("select count(*) from snmp_event"));
    QVERIFY(count.next());
    QCOMPARE(count.value(0).toInt(), 1);
}

void TestFoundation::eventTableBound()
{
    AgentWorkDir dir;
    QVERIFY(AgentDatabase::createSchema());
    QSqlDatabase db = AgentDatabase::database();
    // 60001 rows; the oldest second (date 100) holds three of them.
    QVERIFY(db.transaction());
    QSqlQuery insert(db);
    QVERIFY(insert.prepare("insert into snmp_event(date, host, event) values(:1, :2, :3)"));
    for (int i = 0; i < 60001; ++i) {
        insert.bindValue(":1", i < 3 ? 100 : 200 + i);
        insert.bindValue(":2", QStringLiteral("10.0.0.1"));
        insert.bindValue(":3", i % 70);
        QVERIFY(insert.exec());
    }
    QVERIFY(db.commit());
    QSqlQuery count(db);
    QVERIFY(count.exec("select count(*), min(date) from snmp_event") && count.next());
    QCOMPARE(count.value(0).toInt(), 60001);
    QCOMPARE(count.value(1).toInt(), 100);

    // The 60002nd event removes every row of the oldest second first.
    QVERIFY(insert.exec());
    QVERIFY(count.exec("select count(*), min(date) from snmp_event") && count.next());
    QCOMPARE(count.value(0).toInt(), 60001 - 3 + 1);
    QCOMPARE(count.value(1).toInt(), 203);
}

void TestFoundation::logLineLabels_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("line");
    const QString time = "[2026-05-04 03:02:01.007]";
    QTest::newRow("debug") << int(QtDebugMsg) << time + " Debug: text";
    QTest::newRow("warning") << int(QtWarningMsg) << time + " Warning: text";
    QTest::newRow("critical") << int(QtCriticalMsg) << time + " Critical: text";
    QTest::newRow("fatal") << int(QtFatalMsg) << time + " Fatal: text";
    QTest::newRow("info") << int(QtInfoMsg) << time + " Info: text";
    QTest::newRow("other") << 42 << time + "  text";
}

void TestFoundation::logLineLabels()
{
    QFETCH(int, type);
    QFETCH(QString, line);
    const QDateTime time(QDate(2026, 5, 4), QTime(3, 2, 1, 7));
    QCOMPARE(AgentLog::formatLine(time, QtMsgType(type), "text"), line);
}

void TestFoundation::logFilePerDay()
{
    AgentWorkDir dir;
    AgentLog::appendLine(QDateTime(QDate(2026, 3, 1), QTime(23, 59, 59, 999)), QtWarningMsg, "last");
    AgentLog::appendLine(QDateTime(QDate(2026, 3, 2), QTime(0, 0, 0, 0)), QtInfoMsg, "first");
    AgentLog::appendLine(QDateTime(QDate(2026, 3, 2), QTime(0, 0, 1, 0)), QtInfoMsg, "second");
    QFile day1(dir.path("log/20260301.log"));
    QFile day2(dir.path("log/20260302.log"));
    QVERIFY(day1.open(QIODevice::ReadOnly));
    QVERIFY(day2.open(QIODevice::ReadOnly));
    QCOMPARE(day1.readAll(), QByteArray("[2026-03-01 23:59:59.999] Warning: last\n"));
    QCOMPARE(day2.readAll(),
             QByteArray("[2026-03-02 00:00:00.000] Info: first\n[2026-03-02 00:00:01.000] Info: second\n"));
}

void TestFoundation::messageHandlerAppends()
{
    AgentWorkDir dir;
    QtMessageHandler previous = qInstallMessageHandler(messageHandler);
    qInfo("handler line %d", 7);
    qInstallMessageHandler(previous);
    QFile file(dir.path("log/" + QDate::currentDate().toString("yyyyMMdd") + ".log"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    QVERIFY2(text.contains("] Info: handler line 7\n"), text.constData());
    QVERIFY(text.startsWith('['));
}

void TestFoundation::missingLogFolderDropsLine()
{
    AgentWorkDir dir;
    AgentLog::setLogDirectory(dir.path("nolog"));
    AgentLog::appendLine(QDateTime::currentDateTime(), QtWarningMsg, "dropped");
    QVERIFY(!QDir(dir.path("nolog")).exists());
}

void TestFoundation::storedLanguage_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("section");
    QTest::newRow("absent") << QVariant() << 0 << "Event_English";
    QTest::newRow("english") << QVariant(0) << 0 << "Event_English";
    QTest::newRow("chinese") << QVariant(1) << 1 << "Event_Chinese";
    QTest::newRow("out of range") << QVariant(5) << 0 << "Event_English";
    QTest::newRow("negative") << QVariant(-1) << 0 << "Event_English";
    QTest::newRow("text") << QVariant("zh") << 0 << "Event_English";
}

void TestFoundation::storedLanguage()
{
    QFETCH(QVariant, stored);
    QFETCH(int, index);
    QFETCH(QString, section);
    AgentWorkDir dir;
    if (stored.isValid())
        AgentSettings::write("system/language", stored);
    CountingPowerOff powerOff;
    MainWindow window(&powerOff);
    QCOMPARE(Language::instance()->current(), index);
    QCOMPARE(Language::instance()->eventSection(), section);
    QCOMPARE(AgentSettings::read("system/language").toInt(), index);
    QVERIFY(window.languageGroup()->actions().at(index)->isChecked());
    if (index == 1) {
        QCOMPARE(window.eventText(1), QString::fromUtf8("通信恢复"));
        QCOMPARE(window.windowTitle(), QString::fromUtf8("UPS 守护"));
        QCOMPARE(QCoreApplication::translate("MainWindow", "Settings"), QString::fromUtf8("设置"));
        // Back to English: the English catalogue replaces the Chinese one.
        Language::instance()->setLanguage(0);
        QTRY_COMPARE(window.windowTitle(), QStringLiteral("Upsguard"));
        QCOMPARE(QCoreApplication::translate("MainWindow", "Settings"), QStringLiteral("Settings"));
    } else {
        QCOMPARE(window.eventText(1), QStringLiteral("Communication restored"));
        QCOMPARE(QCoreApplication::translate("MainWindow", "Settings"), QStringLiteral("Settings"));
    }
}

void TestFoundation::missingEventTextFile()
{
    AgentWorkDir dir(false);
    QVERIFY(AgentDatabase::createSchema());
    CountingPowerOff powerOff;
    MainWindow window(&powerOff);
    QCOMPARE(window.eventText(6), QString());
    // Still stored, but not shown.
    window.handleSNMPEvent("10.1.1.1", 6);
    QCOMPARE(window.eventTable()->rowCount(), 0);
    QSqlQuery query(AgentDatabase::database());
    QVERIFY(query.exec("select host, event from snmp_event") && query.next());
    QCOMPARE(query.value(0).toString(), QStringLiteral("10.1.1.1"));
    QCOMPARE(query.value(1).toInt(), 6);
}

void TestFoundation::missingCfgFolder()
{
    AgentWorkDir dir;
    QVERIFY(QDir(dir.path("cfg")).removeRecursively());
    // No database: no hosts, events not stored, no message; the window and
    // its event table still work.
    QVERIFY(!AgentDatabase::createSchema());
    CountingPowerOff powerOff;
    MainWindow window(&powerOff);
    QCOMPARE(window.hostList(), QStringList());
    window.displaySNMPEvent("10.1.1.2", "text");
    window.handleSNMPEvent("10.1.1.2", 6);
    QCOMPARE(window.eventTable()->rowCount(), 1);
    // (Writing system/language makes QSettings create cfg/ again; the event
    // table only appears at the next start.)
    QSqlQuery query(AgentDatabase::database());
    QVERIFY(!query.exec("select count(*) from snmp_event"));
}

QTEST_MAIN(TestFoundation)
#include "test_foundation.moc"
