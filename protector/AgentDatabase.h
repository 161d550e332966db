#pragma once

#include <QSqlDatabase>
#include <QString>

// The agent's database cfg/protector.db: connection and schema.
namespace AgentDatabase {

extern const char kName[]; // "cfg/protector.db", connection name and file name

// Opens the connection (once) and creates whatever part of the schema is
// missing. Returns false when the database cannot be opened.
bool createSchema();

// The open connection, or an invalid one when it could not be opened.
QSqlDatabase database();

} // namespace AgentDatabase
