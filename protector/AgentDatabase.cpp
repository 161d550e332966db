#include "AgentDatabase.h"

#include "Database.h"

#include <QSqlQuery>

namespace AgentDatabase {

const char kName[] = "cfg/protector.db";

bool createSchema()
{
    QSqlDatabase db;
    if (!Database::instance()->createConnection(QString::fromLatin1(kName), db, QString(), QString()))
        return false;
    db = Database::instance()->getDatabase(QString::fromLatin1(kName));
    if (!db.isOpen())
        return false;

    QSqlQuery query(db);
    if (!Database::tableExists(db, QStringLiteral("snmp_session"))) {
        query.exec(QStringLiteral(
            "create table if not exists snmp_session(id integer primary key autoincrement, date integer not null, "
            "ip text not null, port integer not null, version integer not null, community text, authType integer, "
            "privType integer, userName text, password text);"));
    }
    if (!Database::tableExists(db, QStringLiteral("snmp_event"))) {
        query.exec(QStringLiteral(
            "create table if not exists snmp_event(id integer primary key autoincrement, date integer not null, "
            "host text not null, event integer not null);"));
        query.exec(QStringLiteral(
            "create trigger if not exists snmp_event_trigger before insert on snmp_event for each row when "
            "((select count(*) from snmp_event) > 60000) begin delete from snmp_event where date = "
            "(select min(date) from snmp_event); end;"));
        // Fails harmlessly when the index exists already (the event table
        // has not held a row yet, so this branch runs at every start).
        query.exec(QStringLiteral("create index snmp_event_index on snmp_event (date)"));
    }
    return true;
}

QSqlDatabase database()
{
    return Database::instance()->getDatabase(QString::fromLatin1(kName));
}

} // namespace AgentDatabase
