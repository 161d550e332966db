#pragma once

class Database;

// Start-up steps of the console that do not need a window.
namespace ConsoleSetup {
// Opens data/ups.db on connection "Global" and creates what is missing.
bool initDatabase(Database* database);
// Writes the absent keys of the snmp group with their defaults.
void initSettingsDefaults();
}
