#include "ConsoleSetup.h"

#include "AppContext.h"
#include "Database.h"

#include <QCryptographicHash>
#include <QDebug>
#include <QSettings>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {

void run(QSqlDatabase& db, const char* statement)
{
    QSqlQuery query(db);
    query.exec(QString::fromLatin1(statement));
}

void createTable(QSqlDatabase& db, const char* table, std::initializer_list<const char*> statements)
{
    if (Database::tableExists(db, QString::fromLatin1(table)))
        return;
    for (const char* statement : statements)
        run(db, statement);
}

}

namespace ConsoleSetup {

bool initDatabase(Database* database)
{
    QSqlDatabase db;
    if (!database->createConnection(QStringLiteral("Global"), db))
        return false;
    db = QSqlDatabase::database(QStringLiteral("Global"), false);
    db.setDatabaseName(AppContext::appPath(QStringLiteral("data/ups.db")));
    if (!db.open()) {
        qDebug() << db.lastError();
        return false;
    }
    // Opening succeeds lazily for SQLite; a file that is not a database or a
    // directory that does not exist only shows on the first statement.
    {
        QSqlQuery probe(db);
        if (!probe.exec(QStringLiteral("select count(*) from sqlite_master;"))) {
            qDebug() << probe.lastError();
            db.close();
            return false;
        }
    }

    createTable(db, "station",
                {"create table if not exists station(id integer primary key autoincrement, create_time integer "
                 "not null, name text not null, parent_id integer not null);"});
    createTable(db, "device",
                {"create table device(id integer primary key autoincrement, create_time integer not null, "
                 "station_id integer not null, is_three_phase integer not null, device_ip text not null, "
                 "community text not null, name text, position text, admin text);",
                 "create index device_index on device (device_ip)"});
    createTable(db, "data",
                {"create table data(id integer primary key autoincrement, date integer not null, device_ip text "
                 "not null, batt_status integer not null, batt_running_time integer not null, "
                 "batt_last_replace_date text not null, batt_capacity integer not null, batt_vol integer not "
                 "null, batt_temp integer not null, batt_remain_time integer not null, batt_replace_flag "
                 "integer not null, batt_full_charge_vol integer not null, batt_current integer not null, "
                 "input_phase integer not null, input_line_vol integer not null, input_line_vol_max integer not "
                 "null, input_line_vol_min integer not null, input_freq integer not null, "
                 "input_line_fail_reason integer not null, output_status integer not null, output_phase integer "
                 "not null, output_vol integer not null, output_freq integer not null, output_load integer not "
                 "null);",
                 "create index data_index on data (device_ip)"});
    createTable(db, "three_phase_data",
                {"create table three_phase_data(id integer primary key autoincrement, date integer not null, "
                 "device_ip text not null, batt_vol integer not null, batt_capacity integer not null, "
                 "batt_remain_time integer not null, batt_cur integer not null, batt_temp integer not null, "
                 "input_freq integer not null, input_r_vol integer not null, input_s_vol integer not null, "
                 "input_t_vol integer not null, output_freq integer not null, output_r_vol integer not null, "
                 "output_s_vol integer not null, output_t_vol integer not null, output_r_load integer not null, "
                 "output_s_load integer not null, output_t_load integer not null,bypass_freq integer not null, "
                 "bypass_r_vol integer not null, bypass_s_vol integer not null, bypass_t_vol integer not null);",
                 "create index three_phase_data_index on three_phase_data (device_ip)"});
    createTable(db, "set_log",
                {"create table if not exists set_log(id integer primary key autoincrement, date integer not "
                 "null, device_ip text not null, type integer not null, value text not null, result integer not "
                 "null);",
                 "create index set_log_index on set_log (device_ip)"});
    createTable(db, "status_log",
                {"create table if not exists status_log(id integer primary key autoincrement, date integer not "
                 "null, device_ip text not null, status integer not null);",
                 "create index status_log_index on status_log (device_ip)"});
    if (!Database::tableExists(db, QStringLiteral("user"))) {
        run(db, "create table if not exists user(id integer primary key autoincrement, username text not null, "
                "password text not null, isRoot bool not null);");
        QSqlQuery insert(db);
        insert.prepare(QStringLiteral("insert into user(username, password, isRoot) values(?, ?, ?);"));
        insert.addBindValue(QStringLiteral("admin"));
        insert.addBindValue(QCryptographicHash::hash(QByteArrayLiteral("plomb"), QCryptographicHash::Md5));
        insert.addBindValue(1);
        insert.exec();
    }
    createTable(db, "email_user",
                {"create table if not exists email_user(id integer primary key autoincrement, address text not "
                 "null);"});
    return true;
}

void initSettingsDefaults()
{
    QSettings* settings = AppContext::instance()->settings;
    if (!settings)
        return;
    struct Default
    {
        const char* key;
        QVariant value;
    };
    const Default defaults[] = {
        {"snmp_version", 0},
        {"polling_cycle", 5000u},
        {"polling_timout", 100u},
        {"store_interval", 60u},
        {"polling_retry", 1},
        {"snmp_port", 161u},
        {"trap_port", 162u},
    };
    settings->beginGroup(QStringLiteral("snmp"));
    for (const Default& d : defaults) {
        if (!settings->value(QString::fromLatin1(d.key), QVariant()).isValid())
            settings->setValue(QString::fromLatin1(d.key), d.value);
    }
    settings->endGroup();
}

}
