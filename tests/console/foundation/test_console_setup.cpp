#include "AppContext.h"
#include "ConsoleSetup.h"
#include "Database.h"

#include <QCryptographicHash>
#include <QProcess>
#include <QSettings>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

namespace {
QStringList names(QSqlDatabase db, const char* type)
{
    QStringList out;
    QSqlQuery q(db);
    q.exec(QString("select name from sqlite_master where type='%1' and name not like 'sqlite_%' order by name")
               .arg(type));
    while (q.next())
        out << q.value(0).toString();
    return out;
}
}

class TestConsoleSetup : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_dir.reset(new QTemporaryDir);
        QVERIFY(QDir(m_dir->path()).mkpath("cfg"));
        QVERIFY(QDir(m_dir->path()).mkpath("data"));
        AppContext::setAppDirOverride(m_dir->path());
        AppContext::loadSettings();
    }
    void cleanup()
    {
        Database::destroy();
        delete AppContext::instance()->settings;
        AppContext::instance()->settings = nullptr;
    }

    void firstStartWritesTheSevenSnmpKeys()
    {
        ConsoleSetup::initSettingsDefaults();
        AppContext::instance()->settings->sync();
        QSettings s(m_dir->filePath("cfg/settings.ini"), QSettings::IniFormat);
        QCOMPARE(s.allKeys().size(), 7);
        QCOMPARE(s.value("snmp/snmp_version").toInt(), 0);
        QCOMPARE(s.value("snmp/polling_cycle").toUInt(), 5000u);
        QCOMPARE(s.value("snmp/polling_timout").toUInt(), 100u);
        QCOMPARE(s.value("snmp/store_interval").toUInt(), 60u);
        QCOMPARE(s.value("snmp/polling_retry").toInt(), 1);
        QCOMPARE(s.value("snmp/snmp_port").toUInt(), 161u);
        QCOMPARE(s.value("snmp/trap_port").toUInt(), 162u);
        QVERIFY(!s.contains("display_mode"));
        QVERIFY(!s.contains("language"));
    }

    void existingKeysSurvive()
    {
        {
            QSettings s(m_dir->filePath("cfg/settings.ini"), QSettings::IniFormat);
            s.setValue("snmp/polling_cycle", 2000);
            s.setValue("snmp/snmp_version", 1);
            s.setValue("snmp/polling_timout", 100);
            s.setValue("snmp/store_interval", 5);
            s.setValue("snmp/polling_retry", 3);
            s.setValue("snmp/snmp_port", 1161);
            s.setValue("language", 1);
        }
        AppContext::loadSettings();
        ConsoleSetup::initSettingsDefaults();
        AppContext::instance()->settings->sync();
        QSettings s(m_dir->filePath("cfg/settings.ini"), QSettings::IniFormat);
        QCOMPARE(s.value("snmp/polling_cycle").toUInt(), 2000u);
        QCOMPARE(s.value("snmp/snmp_version").toInt(), 1);
        QCOMPARE(s.value("snmp/store_interval").toUInt(), 5u);
        QCOMPARE(s.value("snmp/polling_retry").toInt(), 3);
        QCOMPARE(s.value("snmp/snmp_port").toUInt(), 1161u);
        QCOMPARE(s.value("snmp/trap_port").toUInt(), 162u); // the only key added
        QCOMPARE(s.value("language").toInt(), 1);
        QCOMPARE(s.allKeys().size(), 8);
    }

    void garbageSettingsFileIsSurvived()
    {
        QFile f(m_dir->filePath("cfg/settings.ini"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        static const char garbage[] = "\x00\x01\xff[snmp\n=====\n\x7f";
        f.write(garbage, sizeof(garbage) - 1);
        f.close();
        AppContext::loadSettings();
        ConsoleSetup::initSettingsDefaults();
        AppContext::instance()->settings->sync();
        QSettings s(m_dir->filePath("cfg/settings.ini"), QSettings::IniFormat);
        QCOMPARE(s.value("snmp/polling_cycle").toUInt(), 5000u);
    }

    void freshDatabaseHasSchemaAndOneAdmin()
    {
        QVERIFY(ConsoleSetup::initDatabase(Database::instance()));
        QSqlDatabase db = Database::instance()->getDatabase("Global");
        QCOMPARE(names(db, "table"), QStringList({"data", "device", "email_user", "set_log", "station",
                                                  "status_log", "three_phase_data", "user"}));
        QCOMPARE(names(db, "index"), QStringList({"data_index", "device_index", "set_log_index",
                                                  "status_log_index", "three_phase_data_index"}));
        QSqlQuery q(db);
        QVERIFY(q.exec("select username, password, isRoot from user"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), QString("admin"));
        QCOMPARE(q.value(1).toByteArray(), QCryptographicHash::hash("plomb", QCryptographicHash::Md5));
        QCOMPARE(q.value(2).toInt(), 1);
        QVERIFY(!q.next());
    }

    void restartAddsNoSecondAdminAndKeepsData()
    {
        QVERIFY(ConsoleSetup::initDatabase(Database::instance()));
        {
            QSqlQuery q(Database::instance()->getDatabase("Global"));
            QVERIFY(q.exec("insert into station(create_time, name, parent_id) values(1, 'A', 0)"));
        }
        Database::destroy();
        QVERIFY(ConsoleSetup::initDatabase(Database::instance()));
        QSqlDatabase db = Database::instance()->getDatabase("Global");
        QSqlQuery q(db);
        QVERIFY(q.exec("select count(*) from user"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), 1);
        QVERIFY(q.exec("select count(*) from station"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), 1);
        QCOMPARE(names(db, "index").size(), 5); // repeated CREATE statements failed harmlessly
    }

    void deletedUsersStayDeleted()
    {
        QVERIFY(ConsoleSetup::initDatabase(Database::instance()));
        {
            QSqlQuery q(Database::instance()->getDatabase("Global"));
            QVERIFY(q.exec("delete from user"));
        }
        Database::destroy();
        QVERIFY(ConsoleSetup::initDatabase(Database::instance()));
        QSqlQuery q(Database::instance()->getDatabase("Global"));
        QVERIFY(q.exec("select count(*) from user"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), 0);
    }

    void unusableDatabaseFails_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("missing data directory") << "nodir";
        QTest::newRow("file is not a database") << "garbage";
    }
    void unusableDatabaseFails()
    {
        QFETCH(QString, kind);
        const QByteArray junk(4096, 'x');
        if (kind == "nodir") {
            QVERIFY(QDir(m_dir->filePath("data")).removeRecursively());
        } else {
            QFile f(m_dir->filePath("data/ups.db"));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(junk);
        }
        QVERIFY(!ConsoleSetup::initDatabase(Database::instance()));
        if (kind == "garbage") {
            QFile f(m_dir->filePath("data/ups.db"));
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), junk); // nothing was overwritten
        }
    }
    void databaseLockedByAnotherProcess()
    {
        QVERIFY(ConsoleSetup::initDatabase(Database::instance()));
        {
            QSqlQuery q(Database::instance()->getDatabase("Global"));
            QVERIFY(q.exec("insert into station(create_time, name, parent_id) values(1, 'kept', 0)"));
        }
        Database::destroy();

        // Another process holds an exclusive lock while the console starts.
        QProcess locker;
        locker.start("/usr/bin/python3",
                     {"-c", "import sqlite3, sys, time\n"
                            "c = sqlite3.connect(sys.argv[1], isolation_level=None)\n"
                            "c.execute('begin exclusive')\n"
                            "print('locked', flush=True)\n"
                            "sys.stdin.readline()\n",
                      m_dir->filePath("data/ups.db")});
        QVERIFY(locker.waitForReadyRead(10000));
        QCOMPARE(locker.readLine().trimmed(), QByteArray("locked"));

        // After the driver's busy time-out start-up fails like with any
        // unusable database, and the file is left as it was.
        QVERIFY(!ConsoleSetup::initDatabase(Database::instance()));
        Database::destroy();
        locker.write("\n");
        QVERIFY(locker.waitForFinished(10000));

        QVERIFY(ConsoleSetup::initDatabase(Database::instance()));
        QSqlQuery q(Database::instance()->getDatabase("Global"));
        QVERIFY(q.exec("select name from station"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), QString("kept"));
        QVERIFY(q.exec("select count(*) from user"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), 1);
    }

    void readOnlyDatabaseStillOpens()
    {
        QVERIFY(ConsoleSetup::initDatabase(Database::instance()));
        Database::destroy();
        QFile::setPermissions(m_dir->filePath("data/ups.db"), QFile::ReadOwner | QFile::ReadUser);
        // Reading works; the failing writes are ignored and nothing crashes.
        QVERIFY(ConsoleSetup::initDatabase(Database::instance()));
        QSqlQuery q(Database::instance()->getDatabase("Global"));
        QVERIFY(q.exec("select count(*) from user"));
    }

private:
    QScopedPointer<QTemporaryDir> m_dir;
};

QTEST_GUILESS_MAIN(TestConsoleSetup)
#include "test_console_setup.moc"
