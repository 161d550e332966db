// Measures the protection agent under load: 200 SNMPv2c and 20 SNMPv3
// authPriv cards of upssim on 127.0.22.x, polled once a second by the built
// agent (started with --dry-run-poweroff in a temporary working directory).
// Prints a table: CPU use of the agent over the run, hosts that answered,
// offline events, and the time from a card's mains failure (control
// command) to the agent's countdown message in its log.
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#include <cstdio>
#include <unistd.h>

namespace {
const int kV2Cards = 200;
const int kV3Cards = 20;
const int kFirst = 30; // 127.0.22.30 ..
const int kPort = 22300;
const int kControlPort = 22301;
const int kTrapPort = 22302;

QString cardAddress(int i)
{
    return QStringLiteral("127.0.22.%1").arg(kFirst + i);
}

double cpuSeconds(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray text = stat.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    // Fields after the name: state is index 0, utime 11, stime 12.
    const double ticks = double(fields.value(11).toLongLong() + fields.value(12).toLongLong());
    return ticks / double(sysconf(_SC_CLK_TCK));
}

QString control(const QString& command)
{
    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.22.1"), kControlPort);
    if (!socket.waitForConnected(3000))
        return QStringLiteral("no connection");
    socket.write(command.toUtf8() + '\n');
    QByteArray reply;
    while (!reply.contains("OK\n") && !reply.contains("ERR") && socket.waitForReadyRead(3000))
        reply += socket.readAll();
    return QString::fromUtf8(reply).trimmed();
}

int countEvents(const QString& file, const QString& where)
{
    int n = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench"));
        db.setDatabaseName(file);
        if (db.open()) {
            QSqlQuery q(db);
            if (q.exec(QStringLiteral("select count(distinct host || ':' || event) from snmp_event where ") + where)
                && q.next())
                n = q.value(0).toInt();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bench"));
    return n;
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    int seconds = 120;
    const QStringList args = app.arguments();
    const int at = args.indexOf(QStringLiteral("--seconds"));
    if (at > 0 && at + 1 < args.size())
        seconds = args.at(at + 1).toInt();
    QTextStream out(stdout);

    const QString sim = QStringLiteral(UPS_BINARY_DIR "/bin/upssim");
    const QString agent = QStringLiteral(UPS_BINARY_DIR "/protector/protector");
    if (!QFile::exists(sim) || !QFile::exists(agent)) {
        out << "needs " << sim << " and " << agent << "\n";
        return 1;
    }

    QTemporaryDir work;
    QDir(work.path()).mkpath(QStringLiteral("cfg"));
    QDir(work.path()).mkpath(QStringLiteral("log"));
    QFile::copy(QStringLiteral(UPS_SOURCE_DIR "/protector/cfg/protector.cfg"), work.path() + "/cfg/protector.cfg");
    QFile::copy(agent, work.path() + "/protector");
    {
        QFile ini(work.path() + "/cfg/settings.ini");
        ini.open(QIODevice::WriteOnly);
        ini.write(QStringLiteral("[system]\nlanguage=0\ntrap_port=%1\n").arg(kTrapPort).toUtf8());
    }
    const QString dbFile = work.path() + "/cfg/protector.db";
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("setup"));
        db.setDatabaseName(dbFile);
        db.open();
        QSqlQuery q(db);
        q.exec(QStringLiteral(
            "create table if not exists snmp_session(id integer primary key autoincrement, date integer not null, "
            "ip text not null, port integer not null, version integer not null, community text, authType integer, "
            "privType integer, userName text, password text);"));
        db.transaction();
        for (int i = 0; i < kV2Cards; ++i)
            q.exec(QStringLiteral("insert into snmp_session(date, ip, port, version, community) values(0, '%1', %2, 0, "
                                  "'public')")
                       .arg(cardAddress(i))
                       .arg(kPort));
        for (int i = kV2Cards; i < kV2Cards + kV3Cards; ++i)
            q.exec(QStringLiteral("insert into snmp_session(date, ip, port, version, authType, privType, userName, "
                                  "password) values(0, '%1', %2, 1, 0, 0, 'upsmd5des', 'desprivpass')")
                       .arg(cardAddress(i))
                       .arg(kPort));
        db.commit();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("setup"));

    QProcess simProcess;
    simProcess.setProcessChannelMode(QProcess::MergedChannels);
    simProcess.start(sim, {QStringLiteral("--range"),
                           QStringLiteral("%1-%2").arg(cardAddress(0), cardAddress(kV2Cards + kV3Cards - 1)),
                           QStringLiteral("--port"), QString::number(kPort), QStringLiteral("--control"),
                           QStringLiteral("127.0.22.1:%1").arg(kControlPort), QStringLiteral("--quiet")});
    QByteArray simOut;
    QElapsedTimer wait;
    wait.start();
    while (!simOut.contains("READY") && wait.elapsed() < 10000) {
        simProcess.waitForReadyRead(500);
        simOut += simProcess.readAll();
    }
    if (!simOut.contains("READY")) {
        out << "upssim did not start: " << simOut << "\n";
        return 1;
    }

    QTemporaryDir persist;
    QProcess agentProcess;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("UPS_MESSAGEBOX_AUTO"), QStringLiteral("0"));
    env.insert(QStringLiteral("SNMP_PERSISTENT_DIR"), persist.path());
    agentProcess.setProcessEnvironment(env);
    agentProcess.setWorkingDirectory(work.path());
    agentProcess.start(work.path() + "/protector", {QStringLiteral("--dry-run-poweroff")});
    agentProcess.waitForStarted(5000);
    const qint64 pid = agentProcess.processId();

    // Let it open its sessions, then measure.
    QThread::sleep(5);
    const double cpuStart = cpuSeconds(pid);
    QElapsedTimer run;
    run.start();
    QThread::sleep(static_cast<unsigned long>(seconds));
    const double cpu = cpuSeconds(pid) - cpuStart;
    const double wall = run.elapsed() / 1000.0;
    const int online = countEvents(dbFile, QStringLiteral("event = 1"));
    const int offline = countEvents(dbFile, QStringLiteral("event = 0"));

    // Mains failure to countdown message.
    const QString logFile = work.path() + "/log/" + QDate::currentDate().toString(QStringLiteral("yyyyMMdd")) + ".log";
    const QDateTime sent = QDateTime::currentDateTime();
    control(QStringLiteral("mains on %1").arg(cardAddress(7)));
    qint64 latency = -1;
    QElapsedTimer poll;
    poll.start();
    while (latency < 0 && poll.elapsed() < 5000) {
        QFile log(logFile);
        if (log.open(QIODevice::ReadOnly)) {
            for (const QByteArray& line : log.readAll().split('\n')) {
                if (!line.contains("System: System will be shutdown"))
                    continue;
                const QDateTime when = QDateTime::fromString(QString::fromLatin1(line.mid(1, 23)),
                                                             QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
                latency = sent.msecsTo(when);
            }
        }
        QThread::msleep(20);
    }

    agentProcess.terminate();
    agentProcess.waitForFinished(5000);
    simProcess.terminate();
    simProcess.waitForFinished(5000);

    out << "| measure | value |\n|---|---|\n";
    out << "| hosts polled (v2c + v3 authPriv) | " << kV2Cards << " + " << kV3Cards << " |\n";
    out << "| run length | " << QString::number(wall, 'f', 1) << " s |\n";
    out << "| agent CPU, average of one core | " << QString::number(100.0 * cpu / wall, 'f', 2) << " % |\n";
    out << "| hosts that came online | " << online << " of " << kV2Cards + kV3Cards << " |\n";
    out << "| hosts that went offline during the run | " << offline << " |\n";
    out << "| mains failure to countdown message | " << latency << " ms |\n";
    out.flush();
    return 0;
}
