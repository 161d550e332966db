#include "Database.h"

#include <QSqlError>
#include <QVariant>

namespace {
Database* g_instance = nullptr;
}

Database* Database::instance()
{
    if (!g_instance)
        g_instance = new Database();
    return g_instance;
}

void Database::destroy()
{
    delete g_instance;
    g_instance = nullptr;
}

Database::Database() = default;

Database::~Database()
{
    for (const QString& name : qAsConst(m_names)) {
        {
            QSqlDatabase db = QSqlDatabase::database(name, false);
            if (db.isOpen())
                db.close();
        }
        QSqlDatabase::removeDatabase(name);
    }
    if (g_instance == this)
        g_instance = nullptr;
}

Database::AddResult Database::addConnection(const QString& name, QSqlDatabase& database)
{
    if (m_names.contains(name))
        return Existing;
    // The count is raised before the test and not lowered on refusal.
    ++m_count;
    if (m_count >= m_limit)
        return Refused;
    database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    if (!database.isValid())
        return Refused;
    m_names.append(name);
    return Added;
}

bool Database::createConnection(const QString& name, QSqlDatabase& database)
{
    return addConnection(name, database) != Refused;
}

bool Database::createConnection(const QString& name, QSqlDatabase& database, const QString& user,
                                const QString& password)
{
    switch (addConnection(name, database)) {
    case Existing: return true;
    case Refused: return false;
    case Added: break;
    }
    database.setDatabaseName(name);
    return database.open(user, password);
}

QSqlDatabase Database::getDatabase(const QString& name)
{
    if (!m_names.contains(name))
        return QSqlDatabase();
    QSqlDatabase db = QSqlDatabase::database(name, false);
    if (!db.isOpen())
        db.open();
    return db;
}

bool Database::hasConnection(const QString& name) const
{
    return m_names.contains(name);
}

void Database::removeConnection(const QString& name)
{
    if (!m_names.contains(name))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        if (!db.isValid())
            return;
        if (db.isOpen())
            db.close();
    }
    --m_count;
    m_names.removeAll(name);
    QSqlDatabase::removeDatabase(name);
}

bool Database::tableExists(const QSqlDatabase& database, const QString& table)
{
    QSqlQuery query(database);
    if (!query.prepare(QStringLiteral("select count(*) from sqlite_sequence where name = ?;")))
        return false;
    query.addBindValue(table);
    if (!query.exec() || !query.next())
        return false;
    return query.value(0).toBool();
}

int Database::rowCount(QSqlQuery& query, RowCountPosition position)
{
    int count = 0;
    if (query.last())
        count = query.at() + 1;
    if (position == FirstRow)
        query.first();
    else if (count > 0)
        query.seek(QSql::BeforeFirstRow);
    return count;
}
