#include "SNMP.h"

#include "AppContext.h"
#include "CodeTextFile.h"
#include "Database.h"
#include "EmailService.h"
#include "Language.h"
#include "OidMap.h"
#include "SNMPHandleThread.h"
#include "SNMPManager.h"
#include "SNMPPollingThread.h"
#include "SNMPService.h"
#include "SNMPSession.h"
#include "SNMPTrapd.h"

#include <QDebug>
#include <QHash>
#include <QMap>
#include <QSettings>
#include <QSharedPointer>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QThread>
#include <QTimer>
#include <QVariant>

#include <memory>

namespace {
SNMP* s_instance = nullptr;
int s_idealOverride = 0;

const char kStatusInsert[] =
    "insert into status_log(date, device_ip, status) values(strftime('%s', 'now'), ?, ?);";

QSqlDatabase globalDb()
{
    return QSqlDatabase::database(QStringLiteral("Global"), false);
}

void deleteSession(SNMPSession* session)
{
    if (QThread::currentThread() == session->thread())
        delete session;
    else
        session->deleteLater();
}
} // namespace

class SNMPPrivate
{
public:
    SNMP* q = nullptr;
    bool started = false;
    SNMPManager manager;
    CodeTextFile* trapTexts = nullptr;
    QVector<QSharedPointer<SNMPSession>> sessions;
    QHash<QString, QVector<SNMPSession*>> byAddress;
    QList<SNMPPollingThread*> threads;
    SNMPHandleThread* handle = nullptr;
    OidMap oids;
    std::shared_ptr<PollPlan> plan;
    QStringList addresses;
    QMap<int, int> setTypeMap;
    int idealThreadCount = 1;
    int version = 0;
    int pollingCycle = 5000;
    int idleLimit = 100;
    QTimer storeTimer;
    QVector<int> storeCounters; // parallel to sessions
    uint storeInterval = 30;

    struct StatusRow
    {
        QString ip;
        int status;
    };
    QVector<StatusRow> pendingStatus;
    QTimer statusFlush;

    quint64 samplesDue = 0;
    quint64 offlineChanges = 0;
    quint64 onlineChanges = 0;
    quint64 trapsLogged = 0;
    quint64 statusRowsWritten = 0;

    QSettings* settings() const { return AppContext::instance()->settings; }

    void buildPlan();
    SNMPSession* firstSession(const QString& ip) const
    {
        auto it = byAddress.constFind(ip);
        return it == byAddress.constEnd() || it->isEmpty() ? nullptr : it->first();
    }
    void addSession(const QString& ip, const QString& community);
    SNMPPollingThread* createThread();
    void initPollingThread();
    void queueStatus(const QString& ip, int status);
};

void SNMPPrivate::buildPlan()
{
    auto p = std::make_shared<PollPlan>();
    for (const QString& text : oids.getList) {
        OidArray oid;
        if (OidMap::parseOid(text, &oid))
            p->getOids.push_back(std::move(oid));
    }
    p->oidCount = oids.oidList.size();
    // GETBULK answers with the successors of its start OID. Start just
    // before positions 0 and 4 so that those positions come back too.
    auto before = [](const QString& text) {
        OidArray oid;
        if (!OidMap::parseOid(text, &oid))
            return oid;
        if (oid.back() == 0) {
            if (oid.size() > 1)
                oid.pop_back();
        } else {
            oid.back() -= 1;
            oid.push_back(0xFFFFFFFFul);
        }
        return oid;
    };
    if (p->oidCount > 0)
        p->bulkStart0 = before(oids.oidList.at(0));
    if (p->oidCount >= 5)
        p->bulkStart4 = before(oids.oidList.at(4));
    p->bulkCount0 = 5;
    p->bulkCount4 = qMax(1, p->oidCount - 3);
    plan = p;
}

void SNMPPrivate::addSession(const QString& ip, const QString& community)
{
    QSettings* s = settings();
    SNMPSession::Target target;
    target.version = s ? s->value(QStringLiteral("snmp/snmp_version"), 0).toInt() : 0;
    target.timeoutMs = s ? s->value(QStringLiteral("snmp/polling_timout"), 100).toInt() : 100;
    target.retries = s ? s->value(QStringLiteral("snmp/polling_retry"), 1).toInt() : 1;
    target.port = quint16(s ? s->value(QStringLiteral("snmp/snmp_port"), 161).toUInt() : 161);
    QSharedPointer<SNMPSession> session(new SNMPSession(&manager, ip, community, target), deleteSession);
    QObject::connect(session.data(), &SNMPSession::commStatusChanged, q, &SNMP::commStateChanged);
    storeCounters.append(0);
    sessions.append(session);
    addresses.append(ip);
    byAddress[ip].append(session.data());
}

SNMPPollingThread* SNMPPrivate::createThread()
{
    auto* thread = new SNMPPollingThread(threads.size(), version, plan);
    thread->setPassPause(pollingCycle);
    thread->setIdleLimit(idleLimit);
    QObject::connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    QObject::connect(thread, &SNMPPollingThread::threadFinihed, q, &SNMP::pollingThreadFinished);
    threads.append(thread);
    return thread;
}

void SNMPPrivate::initPollingThread()
{
    const int n = sessions.size();
    int t = idealThreadCount;
    if (n <= t * 1000)
        t = qMax(1, (n + 999) / 1000);
    const int per = n / t;
    int next = 0;
    for (int i = 0; i < t; ++i) {
        SNMPPollingThread* thread = createThread();
        const int end = (i == t - 1) ? n : next + per;
        for (; next < end; ++next)
            thread->addSession(sessions.at(next));
        if (i < t - 1)
            thread->start(QThread::InheritPriority);
    }
    threads.last()->start(QThread::InheritPriority);
    qInfo().nospace() << "Max thread num:" << idealThreadCount << ", current thread num:" << t + 1;
    for (int i = 0; i < threads.size(); ++i)
        qInfo() << "Thread" << i << "device num:" << threads.at(i)->sessionCount();
}

void SNMPPrivate::queueStatus(const QString& ip, int status)
{
    pendingStatus.append({ip, status});
    if (!statusFlush.isActive())
        statusFlush.start();
}

// ---------------------------------------------------------------------------

SNMP* SNMP::instance()
{
    if (!s_instance)
        s_instance = new SNMP;
    return s_instance;
}

void SNMP::destroy()
{
    delete s_instance;
    s_instance = nullptr;
}

bool SNMP::exists()
{
    return s_instance != nullptr;
}

void SNMP::setIdealThreadCountOverride(int count)
{
    s_idealOverride = count;
}

SNMP::SNMP() : d(new SNMPPrivate)
{
    d->q = this;
    d->trapTexts = new CodeTextFile(AppContext::appPath(QStringLiteral("cfg/trap.conf")));
    d->idealThreadCount = s_idealOverride > 0 ? s_idealOverride : qMax(1, QThread::idealThreadCount());
    d->version = 0;
    d->storeInterval = 30;

    qRegisterMetaType<SNMPData>("SNMPData");

    d->setTypeMap = {{4, 38},  {5, 39},  {6, 49},  {7, 50},  {8, 51},  {9, 52},   {10, 53},  {11, 54},
                     {12, 56}, {13, 60}, {14, 63}, {15, 131}, {16, 132}, {17, 133}, {18, 134}};

    if (QSettings* s = d->settings()) {
        d->version = s->value(QStringLiteral("snmp/snmp_version"), 0).toInt();
        d->storeInterval = s->value(QStringLiteral("snmp/store_interval"), 60).toUInt();
        const uint cycle = s->value(QStringLiteral("snmp/polling_cycle"), 5000).toUInt();
        d->pollingCycle = int(qMin<uint>(cycle, 3600000u));
    }

    d->storeTimer.setInterval(1000);
    connect(&d->storeTimer, &QTimer::timeout, this, &SNMP::storeTimeout);
    d->statusFlush.setSingleShot(true);
    d->statusFlush.setInterval(20);
    connect(&d->statusFlush, &QTimer::timeout, this, &SNMP::flushStatusLog);
    connect(SNMPTrapd::instance(), &SNMPTrapd::trapReady, this, &SNMP::onTrapReady, Qt::QueuedConnection);

    resloveOidConfig();

    QString error;
    if (!d->manager.open(&error))
        qWarning().noquote() << "Start snmp service error:" << error;
}

SNMP::~SNMP()
{
    delete d->trapTexts;
    d->trapTexts = nullptr;
    d->manager.stopResponseThread();
    d->storeTimer.stop();
    for (SNMPPollingThread* t : qAsConst(d->threads))
        t->stop();
    while (!d->threads.isEmpty()) {
        SNMPPollingThread* t = d->threads.takeFirst();
        disconnect(t, nullptr, this, nullptr);
        t->wait();
        delete t;
    }
    if (d->handle) {
        d->handle->stop();
        d->handle->wait();
        delete d->handle;
        d->handle = nullptr;
    }
    d->byAddress.clear();
    d->sessions.clear();
    flushStatusLog();
    SNMPService::instance()->stop();
    d->manager.close();
    d->manager.queue().clear();
    delete d;
    if (s_instance == this)
        s_instance = nullptr;
}

void SNMP::resloveOidConfig()
{
    d->oids.load(AppContext::appPath(QStringLiteral("cfg/OidList.xml")));
    d->buildPlan();
}

void SNMP::start()
{
    if (d->started)
        return;

    QSqlDatabase db = globalDb();
    if (db.isOpen()) {
        QSqlQuery pragma(db);
        pragma.exec(QStringLiteral("pragma journal_mode=WAL;"));
        pragma.exec(QStringLiteral("pragma synchronous=NORMAL;"));
    }

    d->handle = new SNMPHandleThread(&d->oids, &d->manager.queue());
    connect(d->handle, &SNMPHandleThread::dataReady, this, &SNMP::dataChanged);
    connect(d->handle, &SNMPHandleThread::stateChanged, this, &SNMP::alarmStateChanged);
    d->handle->start();

    if (db.isOpen()) {
        QSqlQuery query(db);
        if (query.exec(QStringLiteral("select device_ip, community from device where station_id>-1;"))) {
            while (query.next())
                d->addSession(query.value(0).toString(), query.value(1).toString());
        }
    }
    d->initPollingThread();

    d->storeTimer.start();
    d->manager.startResponseThread();
    quint16 trapPort = 162;
    if (QSettings* s = d->settings())
        trapPort = quint16(s->value(QStringLiteral("snmp/trap_port"), 162).toUInt());
    SNMPService::instance()->start(trapPort);
    d->started = true;
}

void SNMP::addDevice(const QString& ipv4, const QString& community)
{
    d->addSession(ipv4, community);
    const QSharedPointer<SNMPSession> session = d->sessions.last();
    if (!d->started)
        return;
    SNMPPollingThread* fewest = nullptr;
    for (SNMPPollingThread* t : qAsConst(d->threads)) {
        if (!fewest || t->sessionCount() < fewest->sessionCount())
            fewest = t;
    }
    if (fewest && fewest->sessionCount() < 1000) {
        fewest->addSession(session);
        return;
    }
    if (d->threads.size() < d->idealThreadCount) {
        SNMPPollingThread* fresh = d->createThread();
        const int per = d->sessions.size() / d->threads.size();
        for (SNMPPollingThread* t : qAsConst(d->threads)) {
            if (t == fresh)
                continue;
            QVector<QSharedPointer<SNMPSession>> moved;
            while (t->sessionCount() > per) {
                QSharedPointer<SNMPSession> s = t->takeLastSession();
                if (!s)
                    break;
                moved.prepend(s);
            }
            for (const auto& s : moved)
                fresh->addSession(s);
        }
        fresh->addSession(session);
        fresh->start(QThread::InheritPriority);
        return;
    }
    if (fewest)
        fewest->addSession(session);
}

void SNMP::removeDevice(const QString& ipv4)
{
    const int index = d->addresses.indexOf(ipv4);
    if (index < 0)
        return;
    SNMPSession* session = d->sessions.at(index).data();
    auto it = d->byAddress.find(ipv4);
    if (it != d->byAddress.end()) {
        it->removeOne(session);
        if (it->isEmpty())
            d->byAddress.erase(it);
    }
    d->storeCounters.removeAt(index);
    d->sessions.removeAt(index);
    d->addresses.removeAt(index);
}

int SNMP::getState(const QString& ipv4) const
{
    SNMPSession* s = d->firstSession(ipv4);
    return s ? s->state() : 0;
}

SNMPData SNMP::getData(const QString& ipv4) const
{
    return d->handle ? d->handle->getData(ipv4) : SNMPData();
}

bool SNMP::isStoreDue(const QString& ipv4) const
{
    SNMPSession* s = d->firstSession(ipv4);
    return s ? s->storeDue() : false;
}

void SNMP::setStoreDue(const QString& ipv4, bool due)
{
    if (SNMPSession* s = d->firstSession(ipv4))
        s->setStoreDue(due);
}

bool SNMP::setValue(const QString& ipv4, int type, int syntax, const QString& value)
{
    SNMPSession* session = d->firstSession(ipv4);
    if (!session)
        return false;
    if (syntax < 1 || syntax > 4)
        return false;
    const int position = d->setTypeMap.value(type, -1);
    const QString oid = position >= 0 && position < d->oids.oidList.size() ? d->oids.oidList.at(position) : QString();
    QString error;
    const bool ok = session->setValue(oid, syntax, value, &error);
    if (!ok)
        qWarning().noquote() << "SNMP session, set value error:" << error;
    QSqlDatabase db = globalDb();
    if (db.isOpen()) {
        QSqlQuery query(db);
        query.prepare(QStringLiteral(
            "insert into set_log(date, device_ip, type, value, result) values(strftime('%s', 'now'), ?, ?, ?, ?);"));
        query.addBindValue(ipv4);
        query.addBindValue(type);
        query.addBindValue(value);
        query.addBindValue(ok ? 1 : 0);
        query.exec();
    }
    return ok;
}

QStringList SNMP::oidList() const { return d->oids.oidList; }
QStringList SNMP::getList() const { return d->oids.getList; }
QStringList SNMP::tableList() const { return d->oids.tableList; }

QVariantMap SNMP::sessionTarget(const QString& ipv4) const
{
    QVariantMap map;
    SNMPSession* s = d->firstSession(ipv4);
    if (!s)
        return map;
    const SNMPSession::Target t = s->target();
    map.insert(QStringLiteral("version"), t.version);
    map.insert(QStringLiteral("timeoutMs"), t.timeoutMs);
    map.insert(QStringLiteral("retries"), t.retries);
    map.insert(QStringLiteral("port"), int(t.port));
    map.insert(QStringLiteral("community"), QString::fromUtf8(t.community));
    return map;
}

int SNMP::idealThreadCount() const { return d->idealThreadCount; }

QVector<int> SNMP::threadSessionCounts() const
{
    QVector<int> counts;
    for (SNMPPollingThread* t : qAsConst(d->threads))
        counts.append(t->sessionCount());
    return counts;
}

QVector<int> SNMP::threadPassPauses() const
{
    QVector<int> pauses;
    for (SNMPPollingThread* t : qAsConst(d->threads))
        pauses.append(t->passPause());
    return pauses;
}

void SNMP::setIdleLimit(int limit) { d->idleLimit = limit; }
int SNMP::deviceCount() const { return d->sessions.size(); }
quint16 SNMP::managerPort() const { return d->manager.localPort(); }

SNMP::Stats SNMP::stats() const
{
    Stats s;
    s.requestsSent = d->manager.requestsSent.load();
    s.responsesQueued = d->manager.responsesQueued.load();
    s.responsesRejected = d->manager.responsesRejected.load();
    s.responsesDropped = d->manager.queue().dropped();
    if (d->handle) {
        s.responsesHandled = d->handle->responsesHandled();
        s.valuesDecoded = d->handle->valuesDecoded();
        s.rowsStored = d->handle->rowsStored();
    }
    s.samplesDue = d->samplesDue;
    s.offlineChanges = d->offlineChanges;
    s.onlineChanges = d->onlineChanges;
    s.trapsLogged = d->trapsLogged;
    s.statusRowsWritten = d->statusRowsWritten;
    for (const auto& session : qAsConst(d->sessions))
        s.samplesPending += session->storeDue() && session->state() != 0 ? 1 : 0;
    return s;
}

// ---- engine settings ------------------------------------------------------

void SNMP::setSNMPVersion(int version)
{
    d->version = version;
    for (const auto& s : qAsConst(d->sessions))
        s->setVersion(version);
    for (SNMPPollingThread* t : qAsConst(d->threads))
        t->setVersion(version);
}

void SNMP::setPollingCycle(uint cycle)
{
    qInfo() << "Set cycle:" << cycle << "ms";
    d->pollingCycle = int(qMin<uint>(cycle, 3600000u));
    for (SNMPPollingThread* t : qAsConst(d->threads))
        t->setPassPause(d->pollingCycle);
}

void SNMP::setPollingTimeout(uint timeout)
{
    qInfo() << "Set timeout:" << timeout << "ms";
    for (const auto& s : qAsConst(d->sessions))
        s->setTimeoutMs(int(qMin<uint>(timeout, 600000u)));
}

void SNMP::setRetry(int retry)
{
    qInfo() << "Set retry:" << retry;
    for (const auto& s : qAsConst(d->sessions))
        s->setRetries(qBound(0, retry, 100));
}

void SNMP::setStoreInterval(uint interval)
{
    qInfo() << "Set store:" << interval;
    d->storeInterval = interval;
}

void SNMP::onSnmpPortChanged(ushort port)
{
    qInfo() << "Set SNMP port:" << port;
    for (const auto& s : qAsConst(d->sessions))
        s->setPort(port);
}

// ---- private slots ----------------------------------------------------------

void SNMP::storeTimeout()
{
    for (int i = 0; i < d->storeCounters.size(); ++i) {
        int& counter = d->storeCounters[i];
        ++counter;
        if (uint(counter) >= d->storeInterval) {
            counter = 0;
            SNMPSession* s = d->sessions.at(i).data();
            if (!s->storeDue() && s->state() != 0)
                ++d->samplesDue;
            s->setStoreDue(true);
        }
    }
}

void SNMP::pollingThreadFinished(int index)
{
    Q_UNUSED(index);
    auto* thread = qobject_cast<SNMPPollingThread*>(sender());
    if (thread)
        d->threads.removeOne(thread);
}

void SNMP::commStateChanged(QString ipv4, bool online)
{
    d->queueStatus(ipv4, online ? 1 : 0);
    if (online)
        ++d->onlineChanges;
    else
        ++d->offlineChanges;
    emit stateChanged(ipv4, online ? 1 : 0);
    if (d->handle)
        d->handle->resetData(ipv4, !online);
}

void SNMP::alarmStateChanged(QString ipv4, bool alarm)
{
    auto it = d->byAddress.constFind(ipv4);
    if (it == d->byAddress.constEnd())
        return;
    bool changed = false;
    for (SNMPSession* s : *it)
        changed = s->setAlarmState(alarm) || changed;
    if (changed)
        emit stateChanged(ipv4, alarm ? 2 : 1);
}

void SNMP::dataChanged(QString ipv4, SNMPData data)
{
    emit devDataChanged(ipv4, data);
    emit gotData(ipv4);
    auto it = d->byAddress.constFind(ipv4);
    if (it == d->byAddress.constEnd())
        return;
    const QVector<SNMPSession*> list = *it;
    for (SNMPSession* s : list)
        s->gotData(ipv4);
}

void SNMP::onTrapReady(QString ipv4, int trap)
{
    const SNMPData data = getData(ipv4);
    d->queueStatus(ipv4, trap);
    ++d->trapsLogged;
    QString text;
    if (d->trapTexts) {
        const QString section = QStringLiteral("Event_") + Language::instance()->currentLocale();
        text = d->trapTexts->textOf(section, trap);
    }
    if (!text.isEmpty())
        EmailService::instance()->sendTrapMail(ipv4, data, text);
}

void SNMP::flushStatusLog()
{
    if (d->pendingStatus.isEmpty())
        return;
    QSqlDatabase db = globalDb();
    if (!db.isOpen()) {
        d->pendingStatus.clear();
        return;
    }
    // Rows that arrive together (a burst of traps, many devices coming
    // online at start-up) go in one transaction.
    const bool tx = d->pendingStatus.size() > 1 && db.transaction();
    QSqlQuery query(db);
    query.prepare(QString::fromLatin1(kStatusInsert));
    for (const auto& row : qAsConst(d->pendingStatus)) {
        query.bindValue(0, row.ip);
        query.bindValue(1, row.status);
        if (query.exec())
            ++d->statusRowsWritten;
    }
    if (tx)
        db.commit();
    d->pendingStatus.clear();
}
