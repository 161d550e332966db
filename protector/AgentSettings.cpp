#include "AgentSettings.h"

#include <QCoreApplication>
#include <QFile>
#include <QMutex>
#include <QMutexLocker>
#include <QSettings>
#include <QTextStream>

namespace AgentSettings {

const char kSettingsFile[] = "cfg/settings.ini";

QVariant readSetting(const QString& file, const QString& key)
{
    QSettings settings(file, QSettings::IniFormat);
    return settings.value(key);
}

void writeSetting(const QString& file, const QString& key, const QVariant& value)
{
    QSettings settings(file, QSettings::IniFormat);
    settings.setValue(key, value);
    settings.sync();
}

QVariant read(const QString& key)
{
    return readSetting(QString::fromLatin1(kSettingsFile), key);
}

void write(const QString& key, const QVariant& value)
{
    writeSetting(QString::fromLatin1(kSettingsFile), key, value);
}

int trapPort()
{
    bool ok = false;
    const int port = read(QStringLiteral("system/trap_port")).toInt(&ok);
    if (ok && port >= 1 && port <= 65535)
        return port;
    return 162;
}

} // namespace AgentSettings

namespace {
QMutex& logMutex()
{
    static QMutex mutex;
    return mutex;
}
QString& logDirectoryOverride()
{
    static QString directory;
    return directory;
}
} // namespace

namespace AgentLog {

QString logDirectory()
{
    QMutexLocker locker(&logMutex());
    if (!logDirectoryOverride().isEmpty())
        return logDirectoryOverride();
    return QCoreApplication::applicationDirPath() + QStringLiteral("/log/");
}

void setLogDirectory(const QString& directory)
{
    QMutexLocker locker(&logMutex());
    logDirectoryOverride() = directory;
    if (!directory.isEmpty() && !directory.endsWith(QLatin1Char('/')))
        logDirectoryOverride() += QLatin1Char('/');
}

QString levelLabel(QtMsgType type)
{
    switch (type) {
    case QtDebugMsg:
        return QStringLiteral("Debug:");
    case QtWarningMsg:
        return QStringLiteral("Warning:");
    case QtCriticalMsg:
        return QStringLiteral("Critical:");
    case QtFatalMsg:
        return QStringLiteral("Fatal:");
    case QtInfoMsg:
        return QStringLiteral("Info:");
    }
    return QString();
}

QString formatLine(const QDateTime& time, QtMsgType type, const QString& message)
{
    return time.toString(QStringLiteral("[yyyy-MM-dd hh:mm:ss.zzz]")) + QLatin1Char(' ') + levelLabel(type)
        + QLatin1Char(' ') + message;
}

void appendLine(const QDateTime& time, QtMsgType type, const QString& message)
{
    const QString line = formatLine(time, type, message);
    const QString directory = logDirectory();
    QMutexLocker locker(&logMutex());
    QFile file(directory + time.date().toString(QStringLiteral("yyyyMMdd")) + QStringLiteral(".log"));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return;
    QTextStream stream(&file);
    stream.setCodec("System");
    stream << line << '\n';
    stream.flush();
    file.close();
}

} // namespace AgentLog

void messageHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    AgentLog::appendLine(QDateTime::currentDateTime(), type, message);
}
