#include "SNMPHandleThread.h"

#include "AppContext.h"
#include "Database.h"
#include "SNMPManager.h"

#include <QDateTime>
#include <QDebug>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {
const QString kConnection = QStringLiteral("DB_DATA");
}

SNMPHandleThread::SNMPHandleThread(const OidMap* oids, ResponseQueue* queue, QObject* parent)
    : QThread(parent), m_oids(oids), m_queue(queue)
{
    setObjectName(QStringLiteral("snmp-handle"));
}

SNMPHandleThread::~SNMPHandleThread()
{
    qDeleteAll(m_devices);
}

SNMPData SNMPHandleThread::getData(const QString& ipv4) const
{
    QMutexLocker locker(&m_recordsLock);
    auto it = m_devices.constFind(ipv4);
    if (it == m_devices.constEnd())
        return SNMPData();
    return it.value()->record;
}

bool SNMPHandleThread::hasData(const QString& ipv4) const
{
    QMutexLocker locker(&m_recordsLock);
    return m_devices.contains(ipv4);
}

void SNMPHandleThread::resetData(const QString& ipv4, bool offline)
{
    QMutexLocker locker(&m_recordsLock);
    auto it = m_devices.find(ipv4);
    if (it == m_devices.end())
        return;
    it.value()->record.reset();
    if (offline)
        it.value()->alarm = false;
}

void SNMPHandleThread::createDBConnection()
{
    Database* database = Database::instance();
    if (!database->hasConnection(kConnection)) {
        QSqlDatabase db;
        if (!database->createConnection(kConnection, db)) {
            qWarning() << "Create database connection failed!";
            return;
        }
        db = QSqlDatabase::database(kConnection, false);
        db.setDatabaseName(AppContext::appPath(QStringLiteral("data/ups.db")));
        if (!db.open()) {
            qWarning() << db.lastError();
            return;
        }
    }
    QSqlDatabase db = QSqlDatabase::database(kConnection, false);
    if (!db.isOpen())
        return;
    {
        // Write-ahead log: the GUI thread's writes and ours do not block each
        // other's readers, and commits need no journal rewrite.
        QSqlQuery pragma(db);
        pragma.exec(QStringLiteral("pragma journal_mode=WAL;"));
        pragma.exec(QStringLiteral("pragma synchronous=NORMAL;"));
    }
    m_insertData = new QSqlQuery(db);
    m_insertThree = new QSqlQuery(db);
    m_selectThree = new QSqlQuery(db);
    bool ok = m_insertData->prepare(QStringLiteral(
        "insert into data(date, device_ip, batt_status, batt_running_time, batt_last_replace_date, batt_capacity, "
        "batt_vol, batt_temp, batt_remain_time, batt_replace_flag, batt_full_charge_vol, batt_current, "
        "input_phase, input_line_vol, input_line_vol_max, input_line_vol_min, input_freq, input_line_fail_reason, "
        "output_status, output_phase, output_vol, output_freq, output_load) values(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
        "?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?);"));
    ok = m_insertThree->prepare(QStringLiteral(
             "insert into three_phase_data(date, device_ip, batt_vol, batt_capacity, batt_remain_time, batt_cur, "
             "batt_temp, input_freq, input_r_vol, input_s_vol, input_t_vol, output_freq, output_r_vol, "
             "output_s_vol, output_t_vol, output_r_load, output_s_load, output_t_load, bypass_freq, bypass_r_vol, "
             "bypass_s_vol, bypass_t_vol) values(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
             "?);")) &&
         ok;
    ok = m_selectThree->prepare(QStringLiteral("select is_three_phase from device where device_ip=?;")) && ok;
    if (!ok)
        qWarning() << "Prepare data statements failed:" << m_insertData->lastError().text();
    m_dbOk = ok;
}

void SNMPHandleThread::bindData(QSqlQuery& q, uint date, const QString& ip, const SNMPData& d)
{
    int i = 0;
    q.bindValue(i++, date);
    q.bindValue(i++, ip);
    q.bindValue(i++, d.batt_status);
    q.bindValue(i++, d.batt_running_time);
    q.bindValue(i++, QString::fromUtf8(d.batt_last_replace_date, int(qstrnlen(d.batt_last_replace_date,
                                                                               SNMPData::kTextSize))));
    q.bindValue(i++, d.batt_capacity);
    q.bindValue(i++, d.batt_vol);
    q.bindValue(i++, d.batt_temp);
    q.bindValue(i++, d.batt_remain_time);
    q.bindValue(i++, d.batt_replace_flag);
    q.bindValue(i++, d.batt_full_charge_vol);
    q.bindValue(i++, d.batt_current);
    q.bindValue(i++, d.input_phase);
    q.bindValue(i++, d.input_line_vol);
    q.bindValue(i++, d.input_line_vol_max);
    q.bindValue(i++, d.input_line_vol_min);
    q.bindValue(i++, d.input_freq);
    q.bindValue(i++, d.input_line_fail_reason);
    q.bindValue(i++, d.output_status);
    q.bindValue(i++, d.output_phase);
    q.bindValue(i++, d.output_vol);
    q.bindValue(i++, d.output_freq);
    q.bindValue(i++, d.output_load);
}

void SNMPHandleThread::bindThreePhase(QSqlQuery& q, uint date, const QString& ip, const SNMPData& d)
{
    q.bindValue(0, date);
    q.bindValue(1, ip);
    const int32_t* v = &d.tp_batt_vol;
    for (int i = 0; i < 20; ++i)
        q.bindValue(2 + i, v[i]);
}

void SNMPHandleThread::handle(ResponseCopy* response)
{
    const QString& address = response->device->address;
    const bool due = response->device->storeDue.load();

    SNMPData* out = nullptr;
    bool alarmBefore = false;
    bool alarmNow = false;
    bool carriesSample = false;
    SNMPData snapshot;
    {
        QMutexLocker locker(&m_recordsLock);
        Device*& device = m_devices[address];
        if (!device)
            device = new Device;
        SNMPData& record = device->record;
        if (response->errorStatus == 0) {
            quint64 values = 0;
            for (const ResponseCopy::Binding& b : response->bindings) {
                int row = 0;
                const int position = m_oids->match(response->oids.data() + b.oidOffset, b.oidLength, &row);
                if (position < 0)
                    continue;
                BindingValue value;
                value.type = b.type;
                value.integer = b.integer;
                value.bytes = response->text.data() + b.textOffset;
                value.length = b.textLength;
                OidMap::store(record, position, row, value);
                // The stored columns come from positions 10..30 (and 70..89
                // for three-phase); an answer without any of them (the short
                // bulk request of positions 0..4) does not make a sample.
                if ((position >= 10 && position <= 30) || (position >= 70 && position <= 89))
                    carriesSample = true;
                ++values;
            }
            m_values.fetch_add(values, std::memory_order_relaxed);
        }
        std::memcpy(static_cast<void*>(&snapshot), &record, sizeof(SNMPData));
        out = &snapshot;
        alarmBefore = device->alarm;
        alarmNow = snapshot.input_line_fail_reason != 0 || snapshot.batt_status != 2;
        device->alarm = alarmNow;
    }

    if (due && m_dbOk && carriesSample) {
        // The flag stays set until a sample has really been stored.
        response->device->storeDue.store(false);
        m_selectThree->bindValue(0, address);
        bool threePhase = false;
        if (m_selectThree->exec() && m_selectThree->next())
            threePhase = m_selectThree->value(0).toBool();
        m_selectThree->finish();
        if (!m_inTransaction) {
            QSqlDatabase::database(kConnection, false).transaction();
            m_inTransaction = true;
        }
        const uint date = uint(QDateTime::currentSecsSinceEpoch());
        bindData(*m_insertData, date, address, *out);
        if (m_insertData->exec())
            m_rows.fetch_add(1, std::memory_order_relaxed);
        if (threePhase) {
            bindThreePhase(*m_insertThree, date, address, *out);
            m_insertThree->exec();
        }
    }

    emit dataReady(address, *out);
    if (alarmNow != alarmBefore)
        emit stateChanged(address, alarmNow);
    m_handled.fetch_add(1, std::memory_order_relaxed);
}

void SNMPHandleThread::run()
{
    createDBConnection();
    std::vector<ResponseCopy*> batch;
    batch.reserve(256);
    while (m_running.load()) {
        m_queue->takeAll(&batch, 256);
        if (batch.empty()) {
            QThread::msleep(10);
            continue;
        }
        for (ResponseCopy* r : batch)
            handle(r);
        if (m_inTransaction) {
            QSqlDatabase::database(kConnection, false).commit();
            m_inTransaction = false;
        }
        m_queue->releaseAll(&batch);
    }
    delete m_insertData;
    delete m_insertThree;
    delete m_selectThree;
    m_insertData = m_insertThree = m_selectThree = nullptr;
    if (Database::instance()->hasConnection(kConnection))
        Database::instance()->removeConnection(kConnection);
}
