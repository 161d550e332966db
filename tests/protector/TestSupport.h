#pragma once

// Helpers shared by the agent's tests: a fresh working directory laid out as
// the agent expects, a power-off layer that only counts, a Debian snmpd on
// loopback, and a log catcher.

#include "AgentSettings.h"
#include "Database.h"
#include "PowerOff.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QStringList>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <csignal>
#include <sys/types.h>
#include <unistd.h>

// The agent's working directory: cfg/ (with the shipped protector.cfg unless
// told otherwise), translate/ with the built catalogues, log/. The process's
// current directory is moved there for the lifetime of the object.
class AgentWorkDir
{
public:
    explicit AgentWorkDir(bool withEventTexts = true)
    {
        m_oldCwd = QDir::currentPath();
        Database::destroy();
        QDir root(m_dir.path());
        root.mkpath(QStringLiteral("cfg"));
        root.mkpath(QStringLiteral("log"));
        root.mkpath(QStringLiteral("translate"));
        if (withEventTexts)
            QFile::copy(QStringLiteral(UPS_SOURCE_DIR "/protector/cfg/protector.cfg"), path("cfg/protector.cfg"));
        for (const char* qm : {"en.qm", "zh.qm"})
            QFile::copy(QStringLiteral(UPS_BINARY_DIR "/protector/translate/") + QLatin1String(qm),
                        path(QStringLiteral("translate/") + QLatin1String(qm)));
        QDir::setCurrent(m_dir.path());
        AgentLog::setLogDirectory(path(QStringLiteral("log")));
    }
    ~AgentWorkDir()
    {
        Database::destroy();
        AgentLog::setLogDirectory(QString());
        QDir::setCurrent(m_oldCwd);
    }
    QString path(const QString& relative) const { return m_dir.path() + QLatin1Char('/') + relative; }
    QString root() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QString m_oldCwd;
};

class CountingPowerOff : public PowerOff
{
public:
    bool powerOff() override
    {
        ++requests;
        return accept;
    }
    QString name() const override { return QStringLiteral("test"); }
    int requests = 0;
    bool accept = true;
};

// Collects the Qt messages while it lives.
class LogCatcher
{
public:
    LogCatcher()
    {
        lines().clear();
        m_previous = qInstallMessageHandler(&LogCatcher::handler);
    }
    ~LogCatcher() { qInstallMessageHandler(m_previous); }
    static QStringList& lines()
    {
        static QStringList list;
        return list;
    }
    bool contains(const QString& text) const
    {
        for (const QString& line : lines())
            if (line.contains(text))
                return true;
        return false;
    }

private:
    static void handler(QtMsgType, const QMessageLogContext&, const QString& message) { lines() << message; }
    QtMessageHandler m_previous;
};

// Debian's snmpd on a loopback address and port, answering the four status
// OIDs with fixed values and knowing a few SNMPv3 users.
struct SnmpdValues
{
    int battery = 2, input = 0, output = 2, capacity = 87;
};

class SnmpdPeer
{
public:
    using Values = SnmpdValues;

    // listen: snmpd's listening addresses, "address:port" when empty.
    bool start(const QString& address, int port, const Values& values = Values(), const QStringList& extra = {},
               const QString& listen = QString())
    {
        m_address = address;
        m_port = port;
        QFile conf(m_dir.path() + QStringLiteral("/snmpd.conf"));
        if (!conf.open(QIODevice::WriteOnly))
            return false;
        QStringList lines{
            QStringLiteral("rocommunity public default"),
            QStringLiteral("override .1.3.6.1.4.1.935.1.1.1.2.1.1.0 integer %1").arg(values.battery),
            QStringLiteral("override .1.3.6.1.4.1.935.1.1.1.3.2.5.0 integer %1").arg(values.input),
            QStringLiteral("override .1.3.6.1.4.1.935.1.1.1.4.1.1.0 integer %1").arg(values.output),
            QStringLiteral("override .1.3.6.1.4.1.935.1.1.1.2.2.1.0 integer %1").arg(values.capacity),
        };
        lines << extra;
        conf.write(lines.join(QLatin1Char('\n')).toUtf8() + '\n');
        conf.close();

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("SNMP_PERSISTENT_DIR"), m_dir.path() + QStringLiteral("/persist"));
        env.insert(QStringLiteral("MIBS"), QString());
        m_process.setProcessEnvironment(env);
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.start(QStringLiteral("/usr/sbin/snmpd"),
                        {QStringLiteral("-f"), QStringLiteral("-Lo"), QStringLiteral("-C"), QStringLiteral("-c"),
                         conf.fileName(), QStringLiteral("-p"), m_dir.path() + QStringLiteral("/snmpd.pid"),
                         listen.isEmpty() ? QStringLiteral("%1:%2").arg(address).arg(port) : listen});
        if (!m_process.waitForStarted(5000))
            return false;
        // Ready when it answers.
        for (int i = 0; i < 50; ++i) {
            QProcess get;
            get.start(QStringLiteral("snmpget"),
                      {QStringLiteral("-v2c"), QStringLiteral("-c"), QStringLiteral("public"), QStringLiteral("-t"),
                       QStringLiteral("0.2"), QStringLiteral("-r"), QStringLiteral("0"),
                       QStringLiteral("%1:%2").arg(address).arg(port), QStringLiteral(".1.3.6.1.2.1.1.3.0")});
            get.waitForFinished(3000);
            if (get.exitCode() == 0)
                return true;
            QThread::msleep(100);
        }
        return false;
    }
    void pause() { ::kill(static_cast<pid_t>(m_process.processId()), SIGSTOP); }
    void resume() { ::kill(static_cast<pid_t>(m_process.processId()), SIGCONT); }
    ~SnmpdPeer()
    {
        if (m_process.state() != QProcess::NotRunning) {
            resume();
            m_process.terminate();
            if (!m_process.waitForFinished(3000)) {
                m_process.kill();
                m_process.waitForFinished(3000);
            }
        }
    }
    QString output() { return QString::fromLocal8Bit(m_process.readAll()); }

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    QString m_address;
    int m_port = 0;
};

inline QByteArray statusBytes(int battery, int input, int output, int capacity)
{
    QByteArray data(4, '\0');
    data[0] = char(battery);
    data[1] = char(input);
    data[2] = char(output);
    data[3] = char(capacity);
    return data;
}

// The event numbers that a spy on eventTriggered(host, event) saw for one host.
inline QList<int> eventsOf(const QSignalSpy& spy, const QString& host)
{
    QList<int> events;
    for (const auto& args : spy)
        if (args.at(0).toString() == host)
            events << args.at(1).toInt();
    return events;
}

// Sends one line command to upssim's control port on 127.0.22.1 and returns
// its reply (which ends with OK or ERR).
inline QString simulatorControl(int port, const QString& command)
{
    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.22.1"), quint16(port));
    if (!socket.waitForConnected(3000))
        return QStringLiteral("no connection");
    socket.write(command.toUtf8() + '\n');
    QByteArray reply;
    while (!reply.contains("OK\n") && !reply.contains("ERR") && socket.waitForReadyRead(3000))
        reply += socket.readAll();
    return QString::fromUtf8(reply).trimmed();
}
