#pragma once

// Shared set-up of the engine tests: a temporary application directory with
// cfg/ and data/, the database on connection "Global", and real SNMP peers
// (Debian's snmpd, the project's simulator).

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

namespace EngineFixture {

// Enterprise subtree served by the snmpd peers of the tests.
QString testOid(int position);          // 1.3.6.1.4.1.99999.1.<position>.0
QString testColumn(int position);       // 1.3.6.1.4.1.99999.1.<position>
// OidList.xml with positions 0..count-1 under the test subtree; positions in
// `tables` are table columns, those in `gets` have Access 1.
QString testOidList(int count, const QList<int>& tables, const QList<int>& gets);

class AppDir
{
public:
    // Creates cfg/ (shipped files + the given OidList.xml text, or the
    // shipped one when empty) and data/, points the console at it, opens the
    // database and writes the settings defaults.
    explicit AppDir(const QString& oidListXml = QString());
    ~AppDir();
    QString path() const { return m_dir.path(); }
    void setSetting(const QString& key, const QVariant& value);
    // Adds device rows (one transaction).
    void addDevices(const QStringList& ips, const QString& community, bool threePhase = false,
                    int stationId = 1);
    int count(const QString& sql) const;
    QList<QVariantList> rows(const QString& sql) const;

private:
    QTemporaryDir m_dir;
};

// Debian's snmpd on one address, configured by `lines` (override, community).
class Snmpd
{
public:
    Snmpd(const QString& address, quint16 port, const QStringList& lines);
    ~Snmpd();
    bool start();
    void pause();   // SIGSTOP: stops answering
    void resume();  // SIGCONT
    void stop();
    QString address() const { return m_address; }
    quint16 port() const { return m_port; }

private:
    QTemporaryDir m_dir;
    QString m_address;
    quint16 m_port;
    QStringList m_lines;
    QProcess m_process;
};

// Runs a command-line tool and returns its exit code (-1 when it did not
// finish within the time limit).
int runTool(const QString& program, const QStringList& args, QByteArray* output = nullptr, int msecs = 10000);

QString simulatorPath();

} // namespace EngineFixture
