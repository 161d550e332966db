#pragma once

#include <QDateTime>
#include <QString>
#include <QVariant>

// The agent's settings file, its log file and their keys.
namespace AgentSettings {

extern const char kSettingsFile[]; // "cfg/settings.ini"

// Every access opens the INI file afresh, does one operation and closes it.
// readSetting() returns an invalid QVariant when the key is absent.
QVariant readSetting(const QString& file, const QString& key);
void writeSetting(const QString& file, const QString& key, const QVariant& value);

// Shorthands for cfg/settings.ini.
QVariant read(const QString& key);
void write(const QString& key, const QVariant& value);

// The port the trap receiver listens on: system/trap_port when it holds a
// port between 1 and 65535, otherwise 162.
int trapPort();

} // namespace AgentSettings

// Qt message handler of the agent: appends
// "[yyyy-MM-dd hh:mm:ss.zzz] <label> <message>" to <log dir>/yyyyMMdd.log.
void messageHandler(QtMsgType type, const QMessageLogContext& context, const QString& message);

namespace AgentLog {
// The folder of the daily log files: the application directory + "/log/"
// unless a test has set another one.
QString logDirectory();
void setLogDirectory(const QString& directory);
QString levelLabel(QtMsgType type);
QString formatLine(const QDateTime& time, QtMsgType type, const QString& message);
// Appends one line as the message handler does, at the given time.
void appendLine(const QDateTime& time, QtMsgType type, const QString& message);
}
