// Benchmark of the console's monitoring engine, headless.
//
//   bench_console_engine --cards 5000 --seconds 120      polling run against upssim
//   bench_console_engine --trap-rate 2000 --trap-seconds 10   trap burst
//
// Prints one table row per run (see README.md).

#include "AppContext.h"
#include "ConsoleSetup.h"
#include "Database.h"
#include "SNMP.h"
#include "SNMPTrapd.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QMutex>
#include <QProcess>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QVariant>

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <sys/resource.h>

#include <atomic>
#include <cstdio>

namespace {

double cpuSeconds()
{
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    return double(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) + double(ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e6;
}

long peakRssKb()
{
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    return ru.ru_maxrss;
}

QString sourceDir()
{
    return QStringLiteral(UPS_SOURCE_DIR);
}

bool prepareAppDir(const QString& dir)
{
    QDir(dir).mkpath(QStringLiteral("cfg"));
    QDir(dir).mkpath(QStringLiteral("data"));
    const QDir shipped(sourceDir() + QStringLiteral("/upsconsole/cfg"));
    for (const QFileInfo& fi : shipped.entryInfoList(QDir::Files))
        QFile::copy(fi.absoluteFilePath(), dir + QStringLiteral("/cfg/") + fi.fileName());
    qputenv("SNMP_PERSISTENT_DIR", QFile::encodeName(dir + QStringLiteral("/snmp")));
    AppContext::setAppDirOverride(dir);
    AppContext::loadSettings();
    if (!ConsoleSetup::initDatabase(Database::instance()))
        return false;
    ConsoleSetup::initSettingsDefaults();
    return true;
}

// Sends v2c traps at a fixed rate from its own net-snmp session.
class TrapLoad : public QThread
{
public:
    TrapLoad(quint16 port, int rate, int seconds) : m_port(port), m_rate(rate), m_seconds(seconds) {}
    std::atomic<int> sent{0};

protected:
    void run() override
    {
        netsnmp_session s;
        snmp_sess_init(&s);
        const QByteArray peer = QStringLiteral("udp:127.0.0.1:%1").arg(m_port).toLatin1();
        s.peername = const_cast<char*>(peer.constData());
        s.version = SNMP_VERSION_2c;
        s.community = reinterpret_cast<u_char*>(const_cast<char*>("public"));
        s.community_len = 6;
        void* sess = snmp_sess_open(&s);
        if (!sess)
            return;
        const oid trapOid[] = {1, 3, 6, 1, 6, 3, 1, 1, 4, 1, 0};
        const oid value[] = {1, 3, 6, 1, 4, 1, 99999, 0, 7};
        const oid uptime[] = {1, 3, 6, 1, 2, 1, 1, 3, 0};
        QElapsedTimer clock;
        clock.start();
        const qint64 total = qint64(m_rate) * m_seconds;
        while (sent.load() < total) {
            // Keep to the rate: the n-th trap leaves at n / rate seconds.
            const qint64 due = qint64(double(clock.nsecsElapsed()) / 1e9 * m_rate);
            while (sent.load() < qMin(due + 1, total)) {
                netsnmp_pdu* pdu = snmp_pdu_create(SNMP_MSG_TRAP2);
                long ticks = 100;
                snmp_pdu_add_variable(pdu, uptime, OID_LENGTH(uptime), ASN_TIMETICKS, &ticks, sizeof ticks);
                snmp_pdu_add_variable(pdu, trapOid, OID_LENGTH(trapOid), ASN_OBJECT_ID, value, sizeof value);
                if (!snmp_sess_send(sess, pdu))
                    snmp_free_pdu(pdu);
                sent.fetch_add(1);
            }
            QThread::usleep(500);
        }
        snmp_sess_close(sess);
    }

private:
    quint16 m_port;
    int m_rate;
    int m_seconds;
};

int trapBurst(int rate, int seconds, quint16 port)
{
    QTemporaryDir tmp;
    if (!prepareAppDir(tmp.path()))
        return 1;
    QSettings* st = AppContext::instance()->settings;
    st->setValue("snmp/trap_port", port);
    SNMP* engine = SNMP::instance();
    QMutex arrivalsLock;
    QVector<qint64> arrivals;
    arrivals.reserve(rate * seconds + 16);
    QElapsedTimer clock;
    clock.start();
    QObject::connect(
        SNMPTrapd::instance(), &SNMPTrapd::trapReady, SNMPTrapd::instance(),
        [&](QString, int) {
            QMutexLocker l(&arrivalsLock);
            arrivals.append(clock.nsecsElapsed());
        },
        Qt::DirectConnection);
    engine->start();

    // GUI responsiveness: how late a 10 ms timer fires; row latency: time
    // from a trap's arrival to the commit of its status_log row.
    qint64 maxLate = 0;
    qint64 lastTick = clock.nsecsElapsed();
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        maxLate = qMax(maxLate, now - lastTick - 10000000);
        lastTick = now;
    });
    tick.start(10);
    qint64 maxRowLatency = 0;
    quint64 written = 0;
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        const quint64 w = engine->stats().statusRowsWritten;
        if (w > written) {
            QMutexLocker l(&arrivalsLock);
            if (int(written) < arrivals.size())
                maxRowLatency = qMax(maxRowLatency, clock.nsecsElapsed() - arrivals.at(int(written)));
            written = w;
        }
    });
    sampler.start(20);

    TrapLoad load(port, rate, seconds);
    const double cpu0 = cpuSeconds();
    load.start();
    QElapsedTimer wall;
    wall.start();
    {
        QEventLoop loop;
        QTimer done;
        QObject::connect(&done, &QTimer::timeout, [&] {
            if ((!load.isRunning() && engine->stats().statusRowsWritten >= quint64(load.sent.load()) &&
                 wall.elapsed() > qint64(seconds) * 1000 + 500) ||
                wall.elapsed() > qint64(seconds) * 1000 + 10000)
                loop.quit();
        });
        done.start(100);
        loop.exec();
    }
    load.wait();
    QCoreApplication::processEvents();
    engine->flushStatusLog();
    const double cpu = cpuSeconds() - cpu0;
    int rows = 0;
    {
        QSqlQuery q(QSqlDatabase::database(QStringLiteral("Global"), false));
        if (q.exec(QStringLiteral("select count(*) from status_log where status=8")) && q.next())
            rows = q.value(0).toInt();
    }
    std::printf("| trap burst | %d/s x %d s | sent %d | received %llu | status_log rows %d | lost %d | "
                "max row latency %.0f ms | max GUI timer lateness %.0f ms | CPU %.1f s | peak RSS %ld MB |\n",
                rate, seconds, load.sent.load(), (unsigned long long)SNMPTrapd::instance()->trapsReceived(), rows,
                load.sent.load() - rows, double(maxRowLatency) / 1e6, double(maxLate) / 1e6, cpu, peakRssKb() / 1024);
    std::fflush(stdout);
    SNMP::destroy();
    Database::instance()->removeConnection(QStringLiteral("Global"));
    Database::destroy();
    return 0;
}

int pollingRun(int cards, int seconds, int cycle, int storeInterval, int timeoutMs, int retry, quint16 port,
               const QString& first, const QString& simPath)
{
    QTemporaryDir tmp;
    if (!prepareAppDir(tmp.path()))
        return 1;
    QSettings* st = AppContext::instance()->settings;
    st->setValue("snmp/snmp_version", 1);
    st->setValue("snmp/polling_cycle", cycle);
    st->setValue("snmp/polling_timout", timeoutMs);
    st->setValue("snmp/polling_retry", retry);
    st->setValue("snmp/store_interval", storeInterval);
    st->setValue("snmp/snmp_port", port);
    st->setValue("snmp/trap_port", port + 1);

    const quint32 base = QHostAddress(first).toIPv4Address();
    QStringList ips;
    for (int i = 0; i < cards; ++i)
        ips << QHostAddress(base + quint32(i)).toString();
    {
        QSqlDatabase db = QSqlDatabase::database(QStringLiteral("Global"), false);
        db.transaction();
        QSqlQuery q(db);
        q.prepare(QStringLiteral("insert into device(create_time, station_id, is_three_phase, device_ip, community, "
                                 "name, position, admin) values(strftime('%s','now'), 1, ?, ?, 'public', '', '', '');"));
        for (int i = 0; i < cards; ++i) {
            q.bindValue(0, i % 10 == 0 ? 1 : 0);
            q.bindValue(1, ips.at(i));
            q.exec();
        }
        db.commit();
    }

    QStringList simArgs = {QStringLiteral("--first"), first, QStringLiteral("--count"), QString::number(cards),
                           QStringLiteral("--port"), QString::number(port), QStringLiteral("--three-phase-every"),
                           QStringLiteral("10"), QStringLiteral("--quiet")};
    {
        // Without discovery the simulator needs one descriptor less per card.
        QProcess help;
        help.start(simPath, {QStringLiteral("--help")});
        help.waitForFinished(5000);
        if (help.readAllStandardOutput().contains("--no-discovery"))
            simArgs << QStringLiteral("--no-discovery");
    }
    QProcess sim;
    sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    sim.start(simPath, simArgs);
    if (!sim.waitForStarted(5000))
        return 2;
    QByteArray banner;
    QElapsedTimer wait;
    wait.start();
    while (!banner.contains("READY") && wait.elapsed() < 30000) {
        sim.waitForReadyRead(500);
        banner += sim.readAllStandardOutput();
    }
    if (!banner.contains("READY")) {
        std::fprintf(stderr, "upssim did not start\n");
        return 3;
    }

    SNMP* engine = SNMP::instance();
    const double cpu0 = cpuSeconds();
    QElapsedTimer clock;
    clock.start();
    engine->start();
    qint64 allOnlineMs = -1;
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        if (allOnlineMs >= 0)
            return;
        for (const QString& ip : qAsConst(ips))
            if (engine->getState(ip) == 0)
                return;
        allOnlineMs = clock.elapsed();
    });
    sampler.start(100);
    {
        QEventLoop loop;
        QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
        loop.exec();
    }
    const double wall = clock.elapsed() / 1000.0;
    const double cpu = cpuSeconds() - cpu0;
    const SNMP::Stats s = engine->stats();
    int online = 0;
    for (const QString& ip : qAsConst(ips))
        online += engine->getState(ip) != 0 ? 1 : 0;
    int dataRows = 0;
    {
        QSqlQuery q(QSqlDatabase::database(QStringLiteral("Global"), false));
        if (q.exec(QStringLiteral("select count(*) from data")) && q.next())
            dataRows = q.value(0).toInt();
    }
    std::printf("| %d | %d s | %s | %.0f | %.0f | %.0f | %.0f%% | %ld MB | %llu | %d / %llu (rows / due) | "
                "online %d, rejected %llu, queue drops %llu |\n",
                cards, seconds, allOnlineMs < 0 ? "never" : qPrintable(QStringLiteral("%1 s").arg(allOnlineMs / 1000.0, 0, 'f', 1)),
                double(s.requestsSent) / wall, double(s.responsesHandled) / wall,
                cpu > 0 ? double(s.valuesDecoded) / cpu : 0.0, 100.0 * cpu / wall, peakRssKb() / 1024,
                (unsigned long long)s.offlineChanges, dataRows, (unsigned long long)(s.samplesDue - s.samplesPending), online,
                (unsigned long long)s.responsesRejected, (unsigned long long)s.responsesDropped);
    std::fflush(stdout);
    SNMP::destroy();
    sim.terminate();
    sim.waitForFinished(5000);
    Database::instance()->removeConnection(QStringLiteral("Global"));
    Database::destroy();
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("MIBS", "");
    QCoreApplication app(argc, argv);
    QCommandLineParser p;
    p.addHelpOption();
    const QCommandLineOption cardsOpt("cards", "Number of simulated cards.", "n", "1000");
    const QCommandLineOption secondsOpt("seconds", "Length of the polling run.", "s", "120");
    const QCommandLineOption cycleOpt("cycle", "Polling cycle in ms.", "ms", "5000");
    const QCommandLineOption storeOpt("store", "Store interval in s.", "s", "30");
    const QCommandLineOption timeoutOpt("timeout", "Request time-out in ms.", "ms", "1000");
    const QCommandLineOption retryOpt("retry", "Retries.", "n", "1");
    const QCommandLineOption portOpt("port", "Agent port of the cards.", "port", "21161");
    const QCommandLineOption firstOpt("first", "First card address.", "addr", "127.30.0.1");
    const QString defaultSim = QFileInfo::exists(QStringLiteral(UPS_BIN_DIR "/upssim_snmponly"))
                                   ? QStringLiteral(UPS_BIN_DIR "/upssim_snmponly")
                                   : QStringLiteral(UPS_BIN_DIR "/upssim");
    const QCommandLineOption simOpt("sim", "Simulator binary.", "path", defaultSim);
    const QCommandLineOption trapRateOpt("trap-rate", "Run the trap burst with this many traps per second.", "n");
    const QCommandLineOption trapSecondsOpt("trap-seconds", "Length of the trap burst.", "s", "10");
    for (const auto& o : {cardsOpt, secondsOpt, cycleOpt, storeOpt, timeoutOpt, retryOpt, portOpt, firstOpt, simOpt,
                          trapRateOpt, trapSecondsOpt})
        p.addOption(o);
    p.process(app);
    if (p.isSet(trapRateOpt))
        return trapBurst(p.value(trapRateOpt).toInt(), p.value(trapSecondsOpt).toInt(),
                         quint16(p.value(portOpt).toUInt() + 1));
    return pollingRun(p.value(cardsOpt).toInt(), p.value(secondsOpt).toInt(), p.value(cycleOpt).toInt(),
                      p.value(storeOpt).toInt(), p.value(timeoutOpt).toInt(), p.value(retryOpt).toInt(),
                      quint16(p.value(portOpt).toUInt()), p.value(firstOpt), p.value(simOpt));
}
