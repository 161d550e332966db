#pragma once

// The console's one SNMP manager endpoint: a single UDP socket shared by all
// devices, driven through net-snmp's single-session API under one lock. Each
// request carries its device's address; a response thread reads the socket
// and queues (address, copy of the response) for the value-handling thread.

#include <QMutex>
#include <QString>
#include <QThread>
#include <QHash>
#include <QReadWriteLock>

#include <atomic>
#include <deque>
#include <memory>
#include <vector>

struct snmp_pdu;

// What the engine shares about one device between its threads.
struct DeviceLink
{
    QString address;           // IPv4 text
    quint32 ipv4 = 0;          // network byte order
    std::atomic<bool> storeDue{false};
};

// A response as the value-handling thread receives it: the device and a flat
// copy of the bindings (no per-binding allocation; objects are recycled).
struct ResponseCopy
{
    struct Binding
    {
        uint32_t oidOffset;
        uint32_t oidLength;
        uint8_t type;
        int64_t integer;
        uint32_t textOffset;
        uint32_t textLength;
    };
    std::shared_ptr<DeviceLink> device;
    long errorStatus = 0;
    std::vector<Binding> bindings;
    std::vector<unsigned long> oids;
    std::vector<char> text;

    void clear()
    {
        device.reset();
        errorStatus = 0;
        bindings.clear();
        oids.clear();
        text.clear();
    }
};

// Process-wide response queue: appended by the response thread, drained by
// the value-handling thread.
class ResponseQueue
{
public:
    ResponseCopy* acquire();                         // from the pool
    void push(ResponseCopy* response);               // append (drops when full)
    void takeAll(std::vector<ResponseCopy*>* out, size_t max);
    void release(ResponseCopy* response);            // back to the pool
    void releaseAll(std::vector<ResponseCopy*>* items);
    size_t size() const;
    quint64 dropped() const { return m_dropped.load(); }
    void clear();
    ~ResponseQueue();

    static constexpr size_t kLimit = 200000;

private:
    mutable QMutex m_mutex;
    std::deque<ResponseCopy*> m_items;
    std::vector<ResponseCopy*> m_pool;
    std::atomic<quint64> m_dropped{0};
};

class SNMPManager
{
public:
    struct Request
    {
        int command = 0;          // SNMP_MSG_GET / GETBULK / SET
        int version = 0;          // 0 v1, 1 v2c
        QByteArray community;
        quint32 ipv4 = 0;         // network byte order
        quint16 port = 161;
        int timeoutMs = 1000;
        int retries = 1;
        int nonRepeaters = 0;
        int maxRepetitions = 0;
    };

    SNMPManager();
    ~SNMPManager();

    // Opens the shared endpoint on an ephemeral local port (IPv4 only).
    bool open(QString* error);
    void close();
    bool isOpen() const { return m_sess != nullptr; }
    quint16 localPort() const;

    void startResponseThread();
    void stopResponseThread();

    // The manager keeps only a weak reference: a session may be destroyed
    // after the manager without telling it.
    int registerDevice(const std::shared_ptr<DeviceLink>& link);

    // Asynchronous GET/GETBULK of the given OIDs for a registered device.
    bool sendRequest(const Request& request, const std::vector<const std::vector<unsigned long>*>& oids,
                     int deviceId, QString* error);
    // Synchronous SET of one value; waits up to timeout × (retries + 1).
    // value: for type 'i' int, 'u' gauge, 'C' counter64, 's' string.
    bool setValue(const Request& request, const std::vector<unsigned long>& oid, char type, const QString& value,
                  QString* error);

    ResponseQueue& queue() { return m_queue; }

    // Counters for the benchmark and the tests.
    std::atomic<quint64> requestsSent{0};
    std::atomic<quint64> responsesQueued{0};
    std::atomic<quint64> responsesRejected{0};

    static void initLibrary();

private:
    friend class ResponseThread;
    friend int managerCallback(int, struct snmp_session*, int, struct snmp_pdu*, void*);
    void responseLoop();
    void handleResponse(struct snmp_pdu* pdu, int deviceId);
    void handleSetAnswer(int op, struct snmp_pdu* pdu, int waiterId);

    QMutex m_lock; // around every call on the shared session
    void* m_sess = nullptr;
    int m_fd = -1;
    std::atomic<bool> m_running{false};
    QThread* m_thread = nullptr;

    QReadWriteLock m_devLock;
    QHash<int, std::weak_ptr<DeviceLink>> m_devices; // expired entries are pruned
    int m_nextId = 1;

    struct SetWaiter
    {
        bool done = false;
        bool ok = false;
        QString error;
    };
    QMutex m_setMutex;
    QHash<int, SetWaiter> m_setWaiters;
    int m_nextSetId = 1;
    class QWaitCondition* m_setCond;

    ResponseQueue m_queue;
};
