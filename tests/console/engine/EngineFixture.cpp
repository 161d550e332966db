#include "EngineFixture.h"

#include "AppContext.h"
#include "ConsoleSetup.h"
#include "Database.h"
#include "SNMP.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>
#include <QThread>
#include <QVariant>

#include <csignal>

namespace EngineFixture {

QString testOid(int position)
{
    return QStringLiteral("1.3.6.1.4.1.99999.1.%1.0").arg(position);
}

QString testColumn(int position)
{
    return QStringLiteral("1.3.6.1.4.1.99999.1.%1").arg(position);
}

QString testOidList(int count, const QList<int>& tables, const QList<int>& gets)
{
    QString xml = QStringLiteral("<?xml version=\"1.0\"?>\n<Oids>\n<System>\n");
    for (int i = 0; i < count; ++i) {
        if (i == 10)
            xml += QStringLiteral("</System>\n<UPS>\n");
        const bool table = tables.contains(i);
        xml += QStringLiteral("<Oid Value=\"%1\"%2%3/>\n")
                   .arg(table ? testColumn(i) : testOid(i))
                   .arg(gets.contains(i) ? QStringLiteral(" Access=\"1\"") : QString())
                   .arg(table ? QStringLiteral(" Type=\"table\"") : QString());
    }
    xml += count > 10 ? QStringLiteral("</UPS>\n</Oids>\n") : QStringLiteral("</System>\n</Oids>\n");
    return xml;
}

AppDir::AppDir(const QString& oidListXml)
{
    const QString root = m_dir.path();
    QDir(root).mkpath(QStringLiteral("cfg"));
    QDir(root).mkpath(QStringLiteral("data"));
    const QDir shipped(QStringLiteral(UPS_SOURCE_DIR "/upsconsole/cfg"));
    for (const QFileInfo& fi : shipped.entryInfoList(QDir::Files))
        QFile::copy(fi.absoluteFilePath(), root + QStringLiteral("/cfg/") + fi.fileName());
    if (!oidListXml.isEmpty()) {
        QFile::remove(root + QStringLiteral("/cfg/OidList.xml"));
        QFile f(root + QStringLiteral("/cfg/OidList.xml"));
        if (f.open(QIODevice::WriteOnly))
            f.write(oidListXml.toUtf8());
    }
    qputenv("SNMP_PERSISTENT_DIR", QFile::encodeName(root + QStringLiteral("/snmp")));
    qputenv("MIBS", "");
    AppContext::setAppDirOverride(root);
    AppContext::loadSettings();
    ConsoleSetup::initDatabase(Database::instance());
    ConsoleSetup::initSettingsDefaults();
}

AppDir::~AppDir()
{
    SNMP::destroy();
    Database::instance()->removeConnection(QStringLiteral("Global"));
    Database::destroy();
    AppContext::instance()->settings->sync();
}

void AppDir::setSetting(const QString& key, const QVariant& value)
{
    AppContext::instance()->settings->setValue(key, value);
}

void AppDir::addDevices(const QStringList& ips, const QString& community, bool threePhase, int stationId)
{
    QSqlDatabase db = QSqlDatabase::database(QStringLiteral("Global"), false);
    db.transaction();
    QSqlQuery q(db);
    q.prepare(QStringLiteral("insert into device(create_time, station_id, is_three_phase, device_ip, community, "
                             "name, position, admin) values(strftime('%s','now'), ?, ?, ?, ?, '', '', '');"));
    for (const QString& ip : ips) {
        q.bindValue(0, stationId);
        q.bindValue(1, threePhase ? 1 : 0);
        q.bindValue(2, ip);
        q.bindValue(3, community);
        q.exec();
    }
    db.commit();
}

int AppDir::count(const QString& sql) const
{
    QSqlQuery q(QSqlDatabase::database(QStringLiteral("Global"), false));
    if (!q.exec(sql) || !q.next())
        return -1;
    return q.value(0).toInt();
}

QList<QVariantList> AppDir::rows(const QString& sql) const
{
    QList<QVariantList> out;
    QSqlQuery q(QSqlDatabase::database(QStringLiteral("Global"), false));
    if (!q.exec(sql))
        return out;
    const int columns = q.record().count();
    while (q.next()) {
        QVariantList row;
        for (int i = 0; i < columns; ++i)
            row.append(q.value(i));
        out.append(row);
    }
    return out;
}

Snmpd::Snmpd(const QString& address, quint16 port, const QStringList& lines)
    : m_address(address), m_port(port), m_lines(lines)
{
}

Snmpd::~Snmpd()
{
    stop();
}

bool Snmpd::start()
{
    QFile conf(m_dir.path() + QStringLiteral("/snmpd.conf"));
    if (!conf.open(QIODevice::WriteOnly))
        return false;
    conf.write(m_lines.join(QLatin1Char('\n')).toUtf8() + '\n');
    conf.close();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("SNMP_PERSISTENT_DIR"), m_dir.path());
    env.insert(QStringLiteral("MIBS"), QString());
    m_process.setProcessEnvironment(env);
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.setStandardOutputFile(m_dir.path() + QStringLiteral("/snmpd.log"));
    m_process.start(QStringLiteral("snmpd"),
                    {QStringLiteral("-f"), QStringLiteral("-Lo"), QStringLiteral("-C"), QStringLiteral("-c"),
                     conf.fileName(), QStringLiteral("-p"), m_dir.path() + QStringLiteral("/pid"),
                     QStringLiteral("udp:%1:%2").arg(m_address).arg(m_port)});
    if (!m_process.waitForStarted(5000))
        return false;
    // Ready once it answers.
    for (int i = 0; i < 50; ++i) {
        if (runTool(QStringLiteral("snmpget"),
                    {QStringLiteral("-v1"), QStringLiteral("-c"), QStringLiteral("public"), QStringLiteral("-t"),
                     QStringLiteral("0.2"), QStringLiteral("-r"), QStringLiteral("0"),
                     QStringLiteral("%1:%2").arg(m_address).arg(m_port), QStringLiteral("1.3.6.1.2.1.1.3.0")}) == 0)
            return true;
        if (m_process.state() != QProcess::Running)
            return false;
    }
    return false;
}

void Snmpd::pause()
{
    if (m_process.state() == QProcess::Running)
        ::kill(pid_t(m_process.processId()), SIGSTOP);
}

void Snmpd::resume()
{
    if (m_process.state() == QProcess::Running)
        ::kill(pid_t(m_process.processId()), SIGCONT);
}

void Snmpd::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    resume();
    m_process.terminate();
    if (!m_process.waitForFinished(3000)) {
        m_process.kill();
        m_process.waitForFinished(3000);
    }
}

int runTool(const QString& program, const QStringList& args, QByteArray* output, int msecs)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("MIBS"), QString());
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    if (!p.waitForFinished(msecs)) {
        p.kill();
        p.waitForFinished(1000);
        return -1;
    }
    if (output)
        *output = p.readAll();
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

QString simulatorPath()
{
    const QStringList candidates = {QStringLiteral(UPS_BINARY_DIR "/bin/upssim"),
                                    QStringLiteral(UPS_SOURCE_DIR "/build/bin/upssim")};
    for (const QString& c : candidates) {
        if (QFileInfo(c).isExecutable())
            return c;
    }
    return QString();
}

} // namespace EngineFixture
