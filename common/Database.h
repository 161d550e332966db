#pragma once

#include <QObject>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>

// SQLite connection helper: one named connection per thread.
//
// The console and the agent use it slightly differently:
//  - console: createConnection(name, db), then sets the file name and opens
//    it itself; rowCount() leaves the query on its first row;
//  - agent: createConnection(name, db, user, password) also opens the file
//    named like the connection; rowCount(query, BeforeFirst) leaves the query
//    before its first row.
class Database : public QObject
{
    Q_OBJECT
public:
    enum RowCountPosition { FirstRow, BeforeFirst };

    static Database* instance();
    // Deletes the singleton (closing every connection it registered).
    static void destroy();

    bool createConnection(const QString& name, QSqlDatabase& database);
    bool createConnection(const QString& name, QSqlDatabase& database, const QString& user,
                          const QString& password);
    QSqlDatabase getDatabase(const QString& name);
    bool hasConnection(const QString& name) const;
    void removeConnection(const QString& name);

    static bool tableExists(const QSqlDatabase& database, const QString& table);
    static int rowCount(QSqlQuery& query, RowCountPosition position = FirstRow);

    int connectionCount() const { return m_count; }

    ~Database() override;

private:
    enum AddResult { Existing, Refused, Added };

    Database();
    AddResult addConnection(const QString& name, QSqlDatabase& database);

    const int m_limit = 5;
    int m_count = 0;
    QStringList m_names;
};
