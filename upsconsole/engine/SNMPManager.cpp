#include "SNMPManager.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QWaitCondition>

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>
#include <net-snmp/library/large_fd_set.h>

#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>

#include <cstdlib>
#include <cstring>
#include <mutex>

// ---------------------------------------------------------------------------
// Response queue

ResponseCopy* ResponseQueue::acquire()
{
    QMutexLocker locker(&m_mutex);
    if (m_pool.empty())
        return new ResponseCopy;
    ResponseCopy* r = m_pool.back();
    m_pool.pop_back();
    return r;
}

void ResponseQueue::push(ResponseCopy* response)
{
    QMutexLocker locker(&m_mutex);
    if (m_items.size() >= kLimit) {
        // The value-handling thread has stopped keeping up; keep memory
        // bounded rather than grow without end.
        m_dropped.fetch_add(1);
        response->clear();
        m_pool.push_back(response);
        return;
    }
    m_items.push_back(response);
}

void ResponseQueue::takeAll(std::vector<ResponseCopy*>* out, size_t max)
{
    QMutexLocker locker(&m_mutex);
    while (!m_items.empty() && out->size() < max) {
        out->push_back(m_items.front());
        m_items.pop_front();
    }
}

void ResponseQueue::release(ResponseCopy* response)
{
    response->clear();
    QMutexLocker locker(&m_mutex);
    if (m_pool.size() < 4096)
        m_pool.push_back(response);
    else
        delete response;
}

void ResponseQueue::releaseAll(std::vector<ResponseCopy*>* items)
{
    for (ResponseCopy* r : *items)
        r->clear();
    QMutexLocker locker(&m_mutex);
    for (ResponseCopy* r : *items) {
        if (m_pool.size() < 4096)
            m_pool.push_back(r);
        else
            delete r;
    }
    items->clear();
}

size_t ResponseQueue::size() const
{
    QMutexLocker locker(&m_mutex);
    return m_items.size();
}

void ResponseQueue::clear()
{
    QMutexLocker locker(&m_mutex);
    for (ResponseCopy* r : m_items)
        delete r;
    m_items.clear();
    for (ResponseCopy* r : m_pool)
        delete r;
    m_pool.clear();
}

ResponseQueue::~ResponseQueue()
{
    clear();
}

// ---------------------------------------------------------------------------
// Library

void SNMPManager::initLibrary()
{
    static std::once_flag once;
    std::call_once(once, [] {
        // No MIB files: OIDs are numeric throughout and loading the system
        // MIBs only costs start-up time and log noise.
        setenv("MIBS", "", 1);
        netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_PERSIST_STATE, 1);
        netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DISABLE_PERSISTENT_LOAD, 1);
        netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DISABLE_PERSISTENT_SAVE, 1);
        netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_QUICK_PRINT, 1);
        init_snmp("Upsconsole");
    });
}

// ---------------------------------------------------------------------------
// Callbacks (response thread, manager lock held)

namespace {

int pollCallback(int operation, netsnmp_session* session, int, netsnmp_pdu* pdu, void* magic);
int setCallback(int operation, netsnmp_session* session, int, netsnmp_pdu* pdu, void* magic);

void setRcvBuf(int fd)
{
    if (fd < 0)
        return;
    int size = 4 * 1024 * 1024;
    if (setsockopt(fd, SOL_SOCKET, SO_RCVBUFFORCE, &size, sizeof size) != 0)
        setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
}

} // namespace

int managerCallback(int operation, netsnmp_session* session, int, netsnmp_pdu* pdu, void* magic)
{
    auto* manager = static_cast<SNMPManager*>(session->callback_magic);
    if (!manager)
        return 1;
    const intptr_t tag = reinterpret_cast<intptr_t>(magic);
    if (tag < 0) {
        manager->handleSetAnswer(operation, pdu, int(-tag));
        return 1;
    }
    if (operation == NETSNMP_CALLBACK_OP_RECEIVED_MESSAGE && pdu && pdu->command == SNMP_MSG_RESPONSE)
        manager->handleResponse(pdu, int(tag));
    return 1;
}

namespace {
int pollCallback(int operation, netsnmp_session* session, int reqid, netsnmp_pdu* pdu, void* magic)
{
    return managerCallback(operation, session, reqid, pdu, magic);
}
int setCallback(int operation, netsnmp_session* session, int reqid, netsnmp_pdu* pdu, void* magic)
{
    return managerCallback(operation, session, reqid, pdu, magic);
}
} // namespace

// ---------------------------------------------------------------------------

class ResponseThread : public QThread
{
public:
    explicit ResponseThread(SNMPManager* m) : m_manager(m) { setObjectName(QStringLiteral("snmp-response")); }
    void run() override { m_manager->responseLoop(); }

private:
    SNMPManager* m_manager;
};

SNMPManager::SNMPManager() : m_setCond(new QWaitCondition) {}

SNMPManager::~SNMPManager()
{
    stopResponseThread();
    close();
    delete m_setCond;
}

bool SNMPManager::open(QString* error)
{
    initLibrary();
    netsnmp_session session;
    snmp_sess_init(&session);
    session.version = SNMP_VERSION_2c;
    // A placeholder peer: every request names its own device.
    session.peername = const_cast<char*>("udp:127.0.0.1:161");
    session.callback = pollCallback;
    session.callback_magic = this;
    static const char kDefaultCommunity[] = "public";
    session.community = reinterpret_cast<u_char*>(const_cast<char*>(kDefaultCommunity));
    session.community_len = std::strlen(kDefaultCommunity);
    void* sess = snmp_sess_open(&session);
    if (!sess) {
        char* text = nullptr;
        snmp_error(&session, nullptr, nullptr, &text);
        if (error)
            *error = QString::fromLocal8Bit(text ? text : "unknown error");
        free(text);
        return false;
    }
    netsnmp_transport* transport = snmp_sess_transport(sess);
    m_fd = transport ? transport->sock : -1;
    setRcvBuf(m_fd);
    int sndSize = 1024 * 1024;
    if (m_fd >= 0)
        setsockopt(m_fd, SOL_SOCKET, SO_SNDBUF, &sndSize, sizeof sndSize);
    m_sess = sess;
    return true;
}

quint16 SNMPManager::localPort() const
{
    if (m_fd < 0)
        return 0;
    sockaddr_in addr{};
    socklen_t len = sizeof addr;
    if (getsockname(m_fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0)
        return 0;
    return ntohs(addr.sin_port);
}

void SNMPManager::close()
{
    QMutexLocker locker(&m_lock);
    if (m_sess) {
        snmp_sess_close(m_sess);
        m_sess = nullptr;
        m_fd = -1;
    }
    // Wake any SET still waiting.
    QMutexLocker setLocker(&m_setMutex);
    for (auto it = m_setWaiters.begin(); it != m_setWaiters.end(); ++it) {
        if (!it->done) {
            it->done = true;
            it->error = QStringLiteral("session closed");
        }
    }
    m_setCond->wakeAll();
}

void SNMPManager::startResponseThread()
{
    if (m_thread)
        return;
    m_running = true;
    m_thread = new ResponseThread(this);
    m_thread->start();
}

void SNMPManager::stopResponseThread()
{
    if (!m_thread)
        return;
    m_running = false;
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
}

int SNMPManager::registerDevice(const std::shared_ptr<DeviceLink>& link)
{
    QWriteLocker locker(&m_devLock);
    const int id = m_nextId++;
    if (m_nextId == 0x7FFFFFFF)
        m_nextId = 1;
    if ((id & 1023) == 0) {
        for (auto it = m_devices.begin(); it != m_devices.end();) {
            if (it.value().expired())
                it = m_devices.erase(it);
            else
                ++it;
        }
    }
    m_devices.insert(id, link);
    return id;
}

static netsnmp_pdu* buildPdu(const SNMPManager::Request& request)
{
    netsnmp_pdu* pdu = snmp_pdu_create(request.command);
    if (!pdu)
        return nullptr;
    pdu->version = request.version == 1 ? SNMP_VERSION_2c : SNMP_VERSION_1;
    pdu->community = static_cast<u_char*>(malloc(size_t(request.community.size()) + 1));
    std::memcpy(pdu->community, request.community.constData(), size_t(request.community.size()) + 1);
    pdu->community_len = size_t(request.community.size());
    if (request.command == SNMP_MSG_GETBULK) {
        pdu->non_repeaters = request.nonRepeaters;
        pdu->max_repetitions = request.maxRepetitions;
    }
    auto* pair = static_cast<netsnmp_indexed_addr_pair*>(calloc(1, sizeof(netsnmp_indexed_addr_pair)));
    pair->remote_addr.sin.sin_family = AF_INET;
    pair->remote_addr.sin.sin_port = htons(request.port);
    pair->remote_addr.sin.sin_addr.s_addr = request.ipv4;
    pdu->transport_data = pair;
    pdu->transport_data_length = sizeof(netsnmp_indexed_addr_pair);
    pdu->flags |= UCD_MSG_FLAG_EXPECT_RESPONSE;
    return pdu;
}

static QString sessionError(void* sess)
{
    char* text = nullptr;
    int liberr = 0, syserr = 0;
    snmp_sess_error(sess, &liberr, &syserr, &text);
    const QString result = QString::fromLocal8Bit(text ? text : "unknown error");
    free(text);
    return result;
}

bool SNMPManager::sendRequest(const Request& request, const std::vector<const std::vector<unsigned long>*>& oids,
                              int deviceId, QString* error)
{
    netsnmp_pdu* pdu = buildPdu(request);
    if (!pdu) {
        if (error)
            *error = QStringLiteral("out of memory");
        return false;
    }
    for (const auto* name : oids)
        snmp_add_null_var(pdu, reinterpret_cast<const oid*>(name->data()), name->size());

    QMutexLocker locker(&m_lock);
    if (!m_sess) {
        snmp_free_pdu(pdu);
        if (error)
            *error = QStringLiteral("no SNMP session");
        return false;
    }
    netsnmp_session* s = snmp_sess_session(m_sess);
    s->timeout = long(request.timeoutMs) * 1000L;
    s->retries = request.retries;
    s->version = pdu->version;
    if (snmp_sess_async_send(m_sess, pdu, pollCallback, reinterpret_cast<void*>(intptr_t(deviceId))) == 0) {
        if (error)
            *error = sessionError(m_sess);
        snmp_free_pdu(pdu);
        return false;
    }
    requestsSent.fetch_add(1, std::memory_order_relaxed);
    return true;
}

bool SNMPManager::setValue(const Request& request, const std::vector<unsigned long>& oidName, char type,
                           const QString& value, QString* error)
{
    Request r = request;
    r.command = SNMP_MSG_SET;
    netsnmp_pdu* pdu = buildPdu(r);
    if (!pdu) {
        if (error)
            *error = QStringLiteral("out of memory");
        return false;
    }
    const auto* name = reinterpret_cast<const oid*>(oidName.data());
    switch (type) {
    case 'i': {
        long v = long(value.trimmed().toInt());
        snmp_pdu_add_variable(pdu, name, oidName.size(), ASN_INTEGER, &v, sizeof v);
        break;
    }
    case 'u': {
        u_long v = u_long(value.trimmed().toUInt());
        snmp_pdu_add_variable(pdu, name, oidName.size(), ASN_GAUGE, &v, sizeof v);
        break;
    }
    case 'C': {
        const qulonglong v = value.trimmed().toULongLong();
        counter64 c;
        c.high = u_long(v >> 32);
        c.low = u_long(v & 0xFFFFFFFFull);
        snmp_pdu_add_variable(pdu, name, oidName.size(), ASN_COUNTER64, &c, sizeof c);
        break;
    }
    default: {
        const QByteArray bytes = value.toUtf8();
        snmp_pdu_add_variable(pdu, name, oidName.size(), ASN_OCTET_STR, bytes.constData(), size_t(bytes.size()));
        break;
    }
    }

    int waiterId = 0;
    {
        QMutexLocker setLocker(&m_setMutex);
        waiterId = m_nextSetId++;
        if (m_nextSetId > 0x3FFFFFFF)
            m_nextSetId = 1;
        m_setWaiters.insert(waiterId, SetWaiter());
    }
    {
        QMutexLocker locker(&m_lock);
        if (!m_sess) {
            snmp_free_pdu(pdu);
            QMutexLocker setLocker(&m_setMutex);
            m_setWaiters.remove(waiterId);
            if (error)
                *error = QStringLiteral("no SNMP session");
            return false;
        }
        netsnmp_session* s = snmp_sess_session(m_sess);
        s->timeout = long(r.timeoutMs) * 1000L;
        s->retries = r.retries;
        s->version = pdu->version;
        if (snmp_sess_async_send(m_sess, pdu, setCallback, reinterpret_cast<void*>(intptr_t(-waiterId))) == 0) {
            if (error)
                *error = sessionError(m_sess);
            snmp_free_pdu(pdu);
            QMutexLocker setLocker(&m_setMutex);
            m_setWaiters.remove(waiterId);
            return false;
        }
    }
    // The response thread answers the waiter; the library's own time-out
    // (timeout × (retries + 1)) ends the wait at the latest, with a margin
    // in case the response thread is not running.
    const qint64 limit = qint64(r.timeoutMs) * (r.retries + 1) + 1000;
    QElapsedTimer timer;
    timer.start();
    QMutexLocker setLocker(&m_setMutex);
    while (!m_setWaiters[waiterId].done) {
        const qint64 left = limit - timer.elapsed();
        if (left <= 0)
            break;
        m_setCond->wait(&m_setMutex, static_cast<unsigned long>(left));
    }
    const SetWaiter result = m_setWaiters.take(waiterId);
    if (!result.done) {
        if (error)
            *error = QStringLiteral("Timeout");
        return false;
    }
    if (!result.ok && error)
        *error = result.error;
    return result.ok;
}

void SNMPManager::handleSetAnswer(int op, netsnmp_pdu* pdu, int waiterId)
{
    QMutexLocker setLocker(&m_setMutex);
    auto it = m_setWaiters.find(waiterId);
    if (it == m_setWaiters.end())
        return;
    it->done = true;
    if (op == NETSNMP_CALLBACK_OP_RECEIVED_MESSAGE && pdu) {
        if (pdu->errstat == SNMP_ERR_NOERROR) {
            it->ok = true;
        } else {
            it->ok = false;
            it->error = QString::fromLatin1(snmp_errstring(int(pdu->errstat)));
        }
    } else {
        it->ok = false;
        it->error = QStringLiteral("Timeout");
    }
    m_setCond->wakeAll();
}

void SNMPManager::handleResponse(netsnmp_pdu* pdu, int deviceId)
{
    std::shared_ptr<DeviceLink> device;
    {
        QReadLocker locker(&m_devLock);
        auto it = m_devices.constFind(deviceId);
        if (it != m_devices.constEnd())
            device = it.value().lock();
    }
    // Only the device the request went to may answer it.
    const auto* pair = static_cast<const netsnmp_indexed_addr_pair*>(pdu->transport_data);
    if (!device || !pair || pdu->transport_data_length < int(sizeof(sockaddr_in)) ||
        pair->remote_addr.sa.sa_family != AF_INET || pair->remote_addr.sin.sin_addr.s_addr != device->ipv4) {
        responsesRejected.fetch_add(1, std::memory_order_relaxed);
        return;
    }

    ResponseCopy* copy = m_queue.acquire();
    copy->device = std::move(device);
    copy->errorStatus = pdu->errstat;
    for (netsnmp_variable_list* v = pdu->variables; v; v = v->next_variable) {
        ResponseCopy::Binding b{};
        b.oidOffset = uint32_t(copy->oids.size());
        b.oidLength = uint32_t(v->name_length);
        copy->oids.insert(copy->oids.end(), v->name, v->name + v->name_length);
        b.type = v->type;
        switch (v->type) {
        case ASN_INTEGER:
        case ASN_GAUGE:
        case ASN_COUNTER:
        case ASN_TIMETICKS:
            if (v->val.integer)
                b.integer = *v->val.integer;
            break;
        case ASN_OCTET_STR:
        case ASN_OPAQUE:
        case ASN_IPADDRESS:
            b.textOffset = uint32_t(copy->text.size());
            b.textLength = uint32_t(v->val_len);
            if (v->val.string && v->val_len)
                copy->text.insert(copy->text.end(), v->val.string, v->val.string + v->val_len);
            else
                b.textLength = 0;
            break;
        default:
            break;
        }
        copy->bindings.push_back(b);
    }
    m_queue.push(copy);
    responsesQueued.fetch_add(1, std::memory_order_relaxed);
}

void SNMPManager::responseLoop()
{
    netsnmp_large_fd_set fdset;
    netsnmp_large_fd_set_init(&fdset, 64);
    QElapsedTimer sinceTimeout;
    sinceTimeout.start();
    while (m_running.load()) {
        int fd = -1;
        {
            QMutexLocker locker(&m_lock);
            fd = m_fd;
        }
        if (fd < 0) {
            QThread::msleep(50);
            continue;
        }
        pollfd p{fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, 50);
        if (ready > 0 && (p.revents & POLLIN)) {
            // Drain what is there in one go, keeping the lock for a bounded
            // number of datagrams so that senders get their turn.
            QMutexLocker locker(&m_lock);
            if (!m_sess)
                continue;
            for (int i = 0; i < 64; ++i) {
                NETSNMP_LARGE_FD_ZERO(&fdset);
                NETSNMP_LARGE_FD_SET(fd, &fdset);
                snmp_sess_read2(m_sess, &fdset);
                pollfd again{fd, POLLIN, 0};
                if (::poll(&again, 1, 0) <= 0)
                    break;
            }
        }
        if (sinceTimeout.elapsed() >= 20 || ready == 0) {
            QMutexLocker locker(&m_lock);
            if (m_sess)
                snmp_sess_timeout(m_sess);
            sinceTimeout.restart();
        }
    }
    netsnmp_large_fd_set_cleanup(&fdset);
}
