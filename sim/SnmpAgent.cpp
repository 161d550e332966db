#include "SnmpAgent.h"

#include <QDebug>
#include <QStringList>

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>
#include <net-snmp/library/large_fd_set.h>
#include <net-snmp/library/lcd_time.h>
#include <net-snmp/library/snmpusm.h>
#include <net-snmp/library/snmpv3.h>

#include <arpa/inet.h>
#include <cstdlib>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

namespace upssim {

namespace {

const oid kSysUpTime[] = {1, 3, 6, 1, 2, 1, 1, 3, 0};
const oid kSnmpTrapOid[] = {1, 3, 6, 1, 6, 3, 1, 1, 4, 1, 0};
const oid kEnterprise[] = {1, 3, 6, 1, 4, 1, 935};

// v1 has no exception values and fewer error codes (RFC 2576, 4.3).
int v1Error(int v2)
{
    switch (v2) {
    case SNMP_ERR_NOERROR: return SNMP_ERR_NOERROR;
    case SNMP_ERR_WRONGVALUE: case SNMP_ERR_WRONGENCODING: case SNMP_ERR_WRONGTYPE:
    case SNMP_ERR_WRONGLENGTH: case SNMP_ERR_INCONSISTENTVALUE:
        return SNMP_ERR_BADVALUE;
    case SNMP_ERR_NOACCESS: case SNMP_ERR_NOTWRITABLE: case SNMP_ERR_NOCREATION:
    case SNMP_ERR_INCONSISTENTNAME: case SNMP_ERR_AUTHORIZATIONERROR:
        return SNMP_ERR_NOSUCHNAME;
    case SNMP_ERR_TOOBIG: case SNMP_ERR_NOSUCHNAME: case SNMP_ERR_BADVALUE: case SNMP_ERR_READONLY:
        return v2;
    default: return SNMP_ERR_GENERR;
    }
}

int preParseHook(netsnmp_session* session, netsnmp_transport*, void* data, int length)
{
    auto* agent = static_cast<SnmpAgent*>(session->callback_magic);
    return agent ? agent->preParse(data, length) : 0;
}

int sessionCallback(int op, netsnmp_session* session, int, netsnmp_pdu* pdu, void* magic)
{
    return static_cast<SnmpAgent*>(magic)->handleMessage(op, session, pdu);
}

struct InformTicket
{
    SnmpAgent* agent;
    quint32 card;
};

int informCallback(int op, netsnmp_session*, int, netsnmp_pdu*, void* magic)
{
    auto* t = static_cast<InformTicket*>(magic);
    if (op == NETSNMP_CALLBACK_OP_RECEIVED_MESSAGE)
        t->agent->informDone(t->card, true);
    else if (op == NETSNMP_CALLBACK_OP_TIMED_OUT)
        t->agent->informDone(t->card, false);
    else
        return 1;
    delete t;
    return 1;
}

int compare(const oid* a, size_t al, const QVector<oid>& b)
{
    return snmp_oid_compare(a, al, b.constData(), size_t(b.size()));
}

// First instance whose OID equals (exact) or follows (next) the given one.
const Instance* findExact(const QVector<Instance>& list, const oid* id, size_t len)
{
    int lo = 0, hi = list.size();
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        if (compare(id, len, list[mid].id) > 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    if (lo < list.size() && compare(id, len, list[lo].id) == 0)
        return &list[lo];
    return nullptr;
}

int findNextIndex(const QVector<Instance>& list, const oid* id, size_t len)
{
    int lo = 0, hi = list.size();
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        if (compare(id, len, list[mid].id) >= 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo; // == size(): end of the tree
}

// Whether `id` lies under an object the card knows (noSuchInstance rather
// than noSuchObject).
bool underKnownObject(const oid* id, size_t len)
{
    for (const OidEntry& e : OidTree::instance().entries()) {
        const size_t objLen = size_t(e.id.size()) - (e.column ? 0 : 1);
        if (len >= objLen && snmp_oid_compare(id, objLen, e.id.constData(), objLen) == 0)
            return true;
    }
    return false;
}

int setValue(netsnmp_variable_list* var, const Value& v)
{
    switch (v.type) {
    case ValType::Integer: {
        long x = long(v.i);
        return snmp_set_var_typed_value(var, ASN_INTEGER, &x, sizeof(x));
    }
    case ValType::TimeTicks: {
        u_long x = u_long(v.i);
        return snmp_set_var_typed_value(var, ASN_TIMETICKS, &x, sizeof(x));
    }
    case ValType::IpAddress: {
        const in_addr_t x = htonl(quint32(v.i));
        return snmp_set_var_typed_value(var, ASN_IPADDRESS, &x, sizeof(x));
    }
    case ValType::OctetString:
        return snmp_set_var_typed_value(var, ASN_OCTET_STR, v.s.constData(), size_t(v.s.size()));
    }
    return -1;
}

netsnmp_variable_list* addValue(netsnmp_pdu* pdu, const QVector<oid>& id, const Value& v)
{
    netsnmp_variable_list* var = snmp_add_null_var(pdu, id.constData(), size_t(id.size()));
    if (var)
        setValue(var, v);
    return var;
}

size_t estimate(const netsnmp_variable_list* var)
{
    return var->name_length * 2 + var->val_len + 8;
}

} // namespace

// ---------------------------------------------------------------- users

bool V3User::parse(const QString& text, V3User* out, QString* error)
{
    QStringList p = text.split(':');
    V3User u;
    if (!p.isEmpty() && p.last() == QLatin1String("rw")) {
        u.write = true;
        p.removeLast();
    } else if (!p.isEmpty() && p.last() == QLatin1String("ro")) {
        p.removeLast();
    }
    auto fail = [&](const QString& why) {
        if (error)
            *error = QStringLiteral("bad SNMPv3 user \"%1\": %2").arg(text, why);
        return false;
    };
    if (p.size() < 2 || p[0].isEmpty())
        return fail(QStringLiteral("expected name:level[:auth:authpass[:priv:privpass]][:rw]"));
    u.name = p[0].toUtf8();
    const QString level = p[1].toLower();
    if (level == QLatin1String("noauth") || level == QLatin1String("noauthnopriv"))
        u.level = 1;
    else if (level == QLatin1String("auth") || level == QLatin1String("authnopriv"))
        u.level = 2;
    else if (level == QLatin1String("priv") || level == QLatin1String("authpriv"))
        u.level = 3;
    else
        return fail(QStringLiteral("level must be noauth, auth or priv"));
    const int need = u.level == 1 ? 2 : (u.level == 2 ? 4 : 6);
    if (p.size() != need)
        return fail(QStringLiteral("wrong number of fields for this level"));
    if (u.level >= 2) {
        u.authProto = p[2].toUpper().toLatin1();
        u.authPass = p[3].toUtf8();
        if (u.authProto != "MD5" && u.authProto != "SHA")
            return fail(QStringLiteral("authentication must be MD5 or SHA"));
        if (u.authPass.size() < 8)
            return fail(QStringLiteral("authentication pass phrase needs at least 8 characters"));
    }
    if (u.level == 3) {
        u.privProto = p[4].toUpper().toLatin1();
        u.privPass = p[5].toUtf8();
        if (u.privProto != "DES" && u.privProto != "AES")
            return fail(QStringLiteral("privacy must be DES or AES"));
        if (u.privPass.size() < 8)
            return fail(QStringLiteral("privacy pass phrase needs at least 8 characters"));
    }
    *out = u;
    return true;
}

QVector<V3User> V3User::defaults()
{
    // The protection agent keys authentication with the user name itself,
    // so the default users' authentication pass phrase is their name; it
    // asks without authentication for names shorter than 8 characters
    // ("upsuser").
    QVector<V3User> users;
    V3User u;
    QString err;
    for (const char* user : {"upsuser:noauth",
                             "upsnoauth:noauth",
                             "upsmd5auth:auth:MD5:upsmd5auth",
                             "upsshaauth:auth:SHA:upsshaauth",
                             "upsmd5des:priv:MD5:upsmd5des:DES:desprivpass:rw",
                             "upsshaaes:priv:SHA:upsshaaes:AES:aesprivpass:rw"}) {
        if (parse(QString::fromLatin1(user), &u, &err))
            users.append(u);
    }
    return users;
}

// ---------------------------------------------------------------- agent

SnmpAgent::SnmpAgent(Fleet* fleet, const AgentOptions& options, QObject* parent)
    : QObject(parent), m_fleet(fleet), m_options(options)
{
    m_delayTimer.setSingleShot(true);
    connect(&m_delayTimer, &QTimer::timeout, this, &SnmpAgent::flushDelayed);
    connect(&m_libraryTimer, &QTimer::timeout, this, &SnmpAgent::libraryTimeouts);
    qRegisterMetaType<upssim::Card*>("upssim::Card*");
    // Traps raised while the SNMP thread handles a SET arrive queued.
    connect(m_fleet, &Fleet::trapRaised, this, &SnmpAgent::onTrapRaised);
    const quint32 trapAddr = m_options.trapHost.isNull() ? 0 : m_options.trapHost.toIPv4Address();
    for (int i = 0; i < m_fleet->size(); ++i) {
        Card* c = m_fleet->at(i);
        c->snmpPort = m_options.port;
        c->trapAddress = trapAddr;
        c->trapPort = m_options.trapPort;
        c->trapKind = m_options.trapKind;
        c->informRetries = m_options.informRetries;
    }
}

SnmpAgent::~SnmpAgent()
{
    m_running = false;
    if (m_io.joinable())
        m_io.join();
    QMutexLocker lock(&m_fleet->mutex());
    for (auto& d : m_delayed)
        snmp_free_pdu(d.second);
    m_delayed.clear();
    if (m_sess)
        snmp_sess_close(m_sess);
}

void SnmpAgent::initLibrary()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    qputenv("MIBS", "");
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_READ_CONFIGS, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_PERSIST_STATE, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DISABLE_PERSISTENT_LOAD, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DISABLE_PERSISTENT_SAVE, 1);
    init_snmp("upssim");
}

QString SnmpAgent::engineIdHex() const
{
    u_char buf[64];
    const size_t n = snmpv3_get_engineID(buf, sizeof(buf));
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(buf), int(n)).toHex());
}

bool SnmpAgent::start(QString* error)
{
    initLibrary();

    QByteArray engine = m_options.engineId;
    if (engine.isEmpty())
        engine = QByteArray::fromHex("800003a704") + "upssim";
    if (set_exact_engineID(reinterpret_cast<const u_char*>(engine.constData()), size_t(engine.size())) != SNMPERR_SUCCESS) {
        *error = QStringLiteral("cannot set the SNMP engine ID");
        return false;
    }
    // The library registers its engine in the time list at start-up; the
    // engine ID chosen here replaces that one.
    set_enginetime(reinterpret_cast<const u_char*>(engine.constData()), u_int(engine.size()),
                   snmpv3_local_snmpEngineBoots(), snmpv3_local_snmpEngineTime(), TRUE);
    const QVector<V3User> users = m_options.users;
    for (const V3User& u : users) {
        QByteArray line = u.name;
        if (u.level >= 2)
            line += ' ' + u.authProto + ' ' + u.authPass;
        if (u.level == 3)
            line += ' ' + u.privProto + ' ' + u.privPass;
        usm_parse_create_usmUser("createUser", line.data());
        if (!usm_get_user(reinterpret_cast<u_char*>(engine.data()), size_t(engine.size()), u.name.data())) {
            *error = QStringLiteral("cannot create SNMPv3 user %1").arg(QString::fromUtf8(u.name));
            return false;
        }
    }

    const QByteArray endpoint = QStringLiteral("udp:%1:%2").arg(m_options.bindAddress).arg(m_options.port).toLatin1();
    m_transport = netsnmp_transport_open_server("upssim", endpoint.constData());
    if (!m_transport) {
        *error = QStringLiteral("cannot listen on %1 (%2)").arg(QString::fromLatin1(endpoint), QString::fromLocal8Bit(strerror(errno)));
        return false;
    }
    const int big = 8 * 1024 * 1024;
    setsockopt(m_transport->sock, SOL_SOCKET, SO_RCVBUF, &big, sizeof(big));
    setsockopt(m_transport->sock, SOL_SOCKET, SO_SNDBUF, &big, sizeof(big));

    netsnmp_session s;
    snmp_sess_init(&s);
    s.version = SNMP_DEFAULT_VERSION;
    s.isAuthoritative = SNMP_SESS_AUTHORITATIVE;
    s.callback = sessionCallback;
    s.callback_magic = this;
    s.flags |= SNMP_FLAGS_DONT_PROBE;
    s.retries = qMax(0, m_options.informRetries);
    s.timeout = long(qMax(10, m_options.informTimeoutMs)) * 1000L;
    m_sess = snmp_sess_add(&s, m_transport, preParseHook, nullptr);
    if (!m_sess) {
        *error = QStringLiteral("cannot create the SNMP session");
        return false;
    }
    m_running = true;
    m_io = std::thread([this]() { ioLoop(); });
    return true;
}

void SnmpAgent::ioLoop()
{
    const int fd = m_transport->sock;
    netsnmp_large_fd_set set;
    netsnmp_large_fd_set_init(&set, fd + 1);
    while (m_running) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 200) <= 0 || !(p.revents & POLLIN))
            continue;
        QMutexLocker lock(&m_fleet->mutex());
        for (int i = 0; i < 256; ++i) {
            NETSNMP_LARGE_FD_ZERO(&set);
            NETSNMP_LARGE_FD_SET(fd, &set);
            snmp_sess_read2(m_sess, &set);
            pollfd q{fd, POLLIN, 0};
            if (::poll(&q, 1, 0) <= 0 || !(q.revents & POLLIN))
                break;
        }
    }
    netsnmp_large_fd_set_cleanup(&set);
}

// Resends of unanswered informs. The timer runs only while informs are
// outstanding: every wake-up of the event loop polls all of the process's
// sockets, and with thousands of cards that is not free.
void SnmpAgent::libraryTimeouts()
{
    QMutexLocker lock(&m_fleet->mutex());
    if (m_sess)
        snmp_sess_timeout(m_sess);
    if (m_pendingInforms <= 0)
        m_libraryTimer.stop();
}

int SnmpAgent::preParse(void* data, int length)
{
    ++m_stats.requests;
    if (!data || length != int(sizeof(netsnmp_indexed_addr_pair))) {
        ++m_stats.dropped;
        return 0;
    }
    const auto* pair = static_cast<const netsnmp_indexed_addr_pair*>(data);
    if (pair->local_addr.sa.sa_family != AF_INET) {
        ++m_stats.unknownCard;
        return 0;
    }
    Card* card = m_fleet->find(ntohl(pair->local_addr.sin.sin_addr.s_addr));
    if (!card) {
        ++m_stats.unknownCard;
        return 0;
    }
    if (card->silent()) {
        ++m_stats.silentDrops;
        return 0;
    }
    return 1;
}

Card* SnmpAgent::cardOf(snmp_pdu* pdu) const
{
    if (!pdu->transport_data || pdu->transport_data_length != int(sizeof(netsnmp_indexed_addr_pair)))
        return nullptr;
    const auto* pair = static_cast<const netsnmp_indexed_addr_pair*>(pdu->transport_data);
    return m_fleet->find(ntohl(pair->local_addr.sin.sin_addr.s_addr));
}

int SnmpAgent::handleMessage(int op, snmp_session* session, snmp_pdu* pdu)
{
    if (op != NETSNMP_CALLBACK_OP_RECEIVED_MESSAGE || !pdu)
        return 1;
    if (session->s_snmp_errno == SNMPERR_USM_AUTHENTICATIONFAILURE) {
        ++m_stats.dropped;
        return 1;
    }
    switch (pdu->command) {
    case SNMP_MSG_GET: case SNMP_MSG_GETNEXT: case SNMP_MSG_GETBULK: case SNMP_MSG_SET: break;
    default:
        return 1; // responses to informs are matched by the library; nothing else is served
    }
    Card* card = cardOf(pdu);
    if (!card) {
        ++m_stats.unknownCard;
        return 1;
    }
    snmp_pdu* response = answer(card, pdu);
    if (!response)
        return 1;
    deliver(card, response);
    return 1;
}

void SnmpAgent::deliver(Card* card, snmp_pdu* response)
{
    if (card->slowMs() > 0) {
        if (m_delayed.size() >= 100000) { // a flood at a slow card: shed it
            snmp_free_pdu(response);
            ++m_stats.dropped;
            return;
        }
        m_delayed.emplace(Fleet::nowMs() + card->slowMs(), response);
        QMetaObject::invokeMethod(this, &SnmpAgent::armDelayTimer, Qt::QueuedConnection);
        return;
    }
    if (snmp_sess_send(m_sess, response) == 0) {
        snmp_free_pdu(response);
        ++m_stats.dropped;
        return;
    }
    ++m_stats.answered;
}

void SnmpAgent::armDelayTimer()
{
    QMutexLocker lock(&m_fleet->mutex());
    if (!m_delayed.empty())
        m_delayTimer.start(int(qMax<qint64>(0, m_delayed.begin()->first - Fleet::nowMs())));
}

void SnmpAgent::flushDelayed()
{
    QMutexLocker lock(&m_fleet->mutex());
    const qint64 now = Fleet::nowMs();
    while (!m_delayed.empty() && m_delayed.begin()->first <= now) {
        snmp_pdu* r = m_delayed.begin()->second;
        m_delayed.erase(m_delayed.begin());
        if (snmp_sess_send(m_sess, r) == 0) {
            snmp_free_pdu(r);
            ++m_stats.dropped;
        } else {
            ++m_stats.answered;
        }
    }
    if (!m_delayed.empty())
        m_delayTimer.start(int(qMax<qint64>(0, m_delayed.begin()->first - now)));
}

snmp_pdu* SnmpAgent::answer(Card* card, snmp_pdu* req)
{
    const bool v1 = req->version == SNMP_VERSION_1;
    bool mayWrite = false;
    if (req->version == SNMP_VERSION_3) {
        const QByteArray name(req->securityName, int(req->securityNameLen));
        const V3User* user = nullptr;
        for (const V3User& u : m_options.users)
            if (u.name == name)
                user = &u;
        if (!user)
            return nullptr;
        if (req->securityLevel < user->level) {
            snmp_pdu* r = snmp_clone_pdu(req);
            if (!r)
                return nullptr;
            r->command = SNMP_MSG_RESPONSE;
            r->errstat = SNMP_ERR_AUTHORIZATIONERROR;
            r->errindex = 0;
            return r;
        }
        mayWrite = user->write;
    } else if (req->version == SNMP_VERSION_1 || req->version == SNMP_VERSION_2c) {
        const QByteArray community(reinterpret_cast<const char*>(req->community), int(req->community_len));
        if (community == m_options.writeCommunity) {
            mayWrite = true;
        } else if (community != m_options.readCommunity) {
            ++m_stats.badCommunity;
            card->countBadCommunity();
            return nullptr;
        }
        if (v1 && req->command == SNMP_MSG_GETBULK)
            return nullptr;
    } else {
        return nullptr;
    }
    card->countRequest();

    const qint64 now = Fleet::nowMs();
    const QVector<Instance>& tree = OidTree::instance().instances(card->rows());
    const QVector<OidEntry>& entries = OidTree::instance().entries();
    auto valueOf = [&](const Instance& in) {
        return card->value(entries[in.entry].field, in.row, now);
    };

    snmp_pdu* r = snmp_clone_pdu(req);
    if (!r)
        return nullptr;
    r->command = SNMP_MSG_RESPONSE;
    r->errstat = SNMP_ERR_NOERROR;
    r->errindex = 0;
    auto fail = [&](int status, int index) {
        // Error answers carry the request's bindings unchanged.
        snmp_free_varbind(r->variables);
        r->variables = nullptr;
        for (netsnmp_variable_list* v = req->variables; v; v = v->next_variable)
            snmp_add_null_var(r, v->name, v->name_length);
        r->errstat = v1 ? v1Error(status) : status;
        r->errindex = index;
        return r;
    };

    switch (req->command) {
    case SNMP_MSG_GET: {
        int i = 1;
        for (netsnmp_variable_list* v = r->variables; v; v = v->next_variable, ++i) {
            const Instance* in = findExact(tree, v->name, v->name_length);
            if (in) {
                setValue(v, valueOf(*in));
            } else if (v1) {
                return fail(SNMP_ERR_NOSUCHNAME, i);
            } else {
                snmp_set_var_typed_value(v, underKnownObject(v->name, v->name_length) ? SNMP_NOSUCHINSTANCE : SNMP_NOSUCHOBJECT,
                                         nullptr, 0);
            }
        }
        return r;
    }
    case SNMP_MSG_GETNEXT: {
        int i = 1;
        for (netsnmp_variable_list* v = r->variables; v; v = v->next_variable, ++i) {
            const int n = findNextIndex(tree, v->name, v->name_length);
            if (n < tree.size()) {
                snmp_set_var_objid(v, tree[n].id.constData(), size_t(tree[n].id.size()));
                setValue(v, valueOf(tree[n]));
            } else if (v1) {
                return fail(SNMP_ERR_NOSUCHNAME, i);
            } else {
                snmp_set_var_typed_value(v, SNMP_ENDOFMIBVIEW, nullptr, 0);
            }
        }
        return r;
    }
    case SNMP_MSG_GETBULK: {
        QVector<netsnmp_variable_list*> asked;
        for (netsnmp_variable_list* v = req->variables; v; v = v->next_variable)
            asked.append(v);
        snmp_free_varbind(r->variables);
        r->variables = nullptr;
        const int nonRep = qBound(0, int(req->non_repeaters), asked.size());
        const int maxRep = qMax(0, int(req->max_repetitions));
        size_t limit = 60000;
        if (req->version == SNMP_VERSION_3 && req->msgMaxSize > 484)
            limit = qMin<size_t>(limit, size_t(req->msgMaxSize) - 300);
        size_t bytes = 0;
        int count = 0;
        const int maxVarbinds = 5000;
        // Adds instance n, or endOfMibView named `name` when n is past the end.
        auto emitAt = [&](int n, const oid* name, size_t len) {
            netsnmp_variable_list* var;
            if (n < tree.size()) {
                var = addValue(r, tree[n].id, valueOf(tree[n]));
            } else {
                var = snmp_add_null_var(r, name, len);
                if (var)
                    snmp_set_var_typed_value(var, SNMP_ENDOFMIBVIEW, nullptr, 0);
            }
            if (var)
                bytes += estimate(var);
            ++count;
            return n < tree.size();
        };
        for (int i = 0; i < nonRep; ++i)
            emitAt(findNextIndex(tree, asked[i]->name, asked[i]->name_length), asked[i]->name, asked[i]->name_length);
        const int repeaters = asked.size() - nonRep;
        if (repeaters > 0) {
            QVector<int> cursor(repeaters);
            QVector<const oid*> lastName(repeaters);
            QVector<size_t> lastLen(repeaters);
            for (int j = 0; j < repeaters; ++j) {
                netsnmp_variable_list* a = asked[nonRep + j];
                cursor[j] = findNextIndex(tree, a->name, a->name_length);
                lastName[j] = a->name;
                lastLen[j] = a->name_length;
            }
            for (int rep = 0; rep < maxRep; ++rep) {
                bool any = false;
                for (int j = 0; j < repeaters; ++j) {
                    if (emitAt(cursor[j], lastName[j], lastLen[j])) {
                        lastName[j] = tree[cursor[j]].id.constData();
                        lastLen[j] = size_t(tree[cursor[j]].id.size());
                        ++cursor[j];
                        any = true;
                    }
                }
                if (!any || bytes > limit || count >= maxVarbinds)
                    break;
            }
        }
        // Trim to the size limit (RFC 3416: fewer repetitions may be returned).
        if (bytes > limit) {
            size_t acc = 0;
            netsnmp_variable_list* prev = nullptr;
            for (netsnmp_variable_list* v = r->variables; v; prev = v, v = v->next_variable) {
                acc += estimate(v);
                if (acc > limit && prev) {
                    snmp_free_varbind(v);
                    prev->next_variable = nullptr;
                    break;
                }
            }
        }
        return r;
    }
    case SNMP_MSG_SET: {
        card->countSet();
        if (!mayWrite)
            return fail(SNMP_ERR_NOACCESS, 1);
        struct Pending { Field f; Value v; };
        QVector<Pending> todo;
        int i = 1;
        for (netsnmp_variable_list* v = req->variables; v; v = v->next_variable, ++i) {
            const Instance* in = findExact(tree, v->name, v->name_length);
            if (!in)
                return fail(underKnownObject(v->name, v->name_length) ? SNMP_ERR_NOTWRITABLE : SNMP_ERR_NOCREATION, i);
            Value val;
            if (v->type == ASN_INTEGER && v->val.integer) {
                val = Value::integer(*v->val.integer);
            } else if (v->type == ASN_OCTET_STR) {
                val = Value::text(QByteArray(reinterpret_cast<const char*>(v->val.string), int(v->val_len)));
            } else {
                val.type = ValType::TimeTicks; // any other syntax: never matches a writable object
                if (v->type == ASN_IPADDRESS)
                    val.type = ValType::IpAddress;
            }
            const Field f = entries[in->entry].field;
            int status = card->checkSet(f, val);
            if (status == SNMP_ERR_NOERROR && v->type != ASN_INTEGER && v->type != ASN_OCTET_STR)
                status = SNMP_ERR_WRONGTYPE;
            if (status != SNMP_ERR_NOERROR)
                return fail(status, i);
            todo.append({f, val});
        }
        for (const Pending& p : todo)
            card->commitSet(p.f, p.v, now);
        return r;
    }
    default:
        snmp_free_pdu(r);
        return nullptr;
    }
}

// ---------------------------------------------------------------- traps

void SnmpAgent::setTrapTarget(const QHostAddress& host, quint16 port)
{
    QMutexLocker lock(&m_fleet->mutex());
    m_options.trapHost = host;
    m_options.trapPort = port;
    for (int i = 0; i < m_fleet->size(); ++i) {
        m_fleet->at(i)->trapAddress = host.isNull() ? 0 : host.toIPv4Address();
        m_fleet->at(i)->trapPort = port;
    }
}

void SnmpAgent::setTrapKind(int kind)
{
    QMutexLocker lock(&m_fleet->mutex());
    m_options.trapKind = kind;
    for (int i = 0; i < m_fleet->size(); ++i)
        m_fleet->at(i)->trapKind = kind;
}

void SnmpAgent::onTrapRaised(Card* card, int trap)
{
    if (!m_options.trapHost.isNull() && !card->silent())
        sendTrap(card, trap);
}

bool SnmpAgent::sendTrap(Card* card, int trap, int kind)
{
    QMutexLocker lock(&m_fleet->mutex());
    if (!m_sess || m_options.trapHost.isNull() || m_options.trapHost.protocol() != QAbstractSocket::IPv4Protocol)
        return false;
    if (kind == 0)
        kind = m_options.trapKind;
    const qint64 now = Fleet::nowMs();
    netsnmp_pdu* pdu = snmp_pdu_create(kind == 1 ? SNMP_MSG_TRAP : (kind == 3 ? SNMP_MSG_INFORM : SNMP_MSG_TRAP2));
    pdu->version = kind == 1 ? SNMP_VERSION_1 : SNMP_VERSION_2c;
    pdu->community = static_cast<u_char*>(malloc(size_t(qMax(1, m_options.trapCommunity.size()))));
    memcpy(pdu->community, m_options.trapCommunity.constData(), size_t(m_options.trapCommunity.size()));
    pdu->community_len = size_t(m_options.trapCommunity.size());
    const Value upTime = card->value(Field::SysUpTime, 0, now);
    if (kind == 1) {
        pdu->enterprise = static_cast<oid*>(malloc(sizeof(kEnterprise)));
        memcpy(pdu->enterprise, kEnterprise, sizeof(kEnterprise));
        pdu->enterprise_length = OID_LENGTH(kEnterprise);
        const in_addr_t a = htonl(card->address());
        memcpy(pdu->agent_addr, &a, 4);
        pdu->trap_type = SNMP_TRAP_ENTERPRISESPECIFIC;
        pdu->specific_type = trap;
        pdu->time = u_long(upTime.i);
    } else {
        u_long ticks = u_long(upTime.i);
        snmp_pdu_add_variable(pdu, kSysUpTime, OID_LENGTH(kSysUpTime), ASN_TIMETICKS, &ticks, sizeof(ticks));
        oid trapOid[OID_LENGTH(kEnterprise) + 2];
        memcpy(trapOid, kEnterprise, sizeof(kEnterprise));
        trapOid[OID_LENGTH(kEnterprise)] = 0;
        trapOid[OID_LENGTH(kEnterprise) + 1] = oid(trap);
        snmp_pdu_add_variable(pdu, kSnmpTrapOid, OID_LENGTH(kSnmpTrapOid), ASN_OBJECT_ID, trapOid, sizeof(trapOid));
    }
    for (Field f : {Field::BattStatus, Field::InFailCause, Field::OutStatus, Field::BattCapacity})
        addValue(pdu, OidTree::instance().entry(f).id, card->value(f, 0, now));

    auto* pair = static_cast<netsnmp_indexed_addr_pair*>(calloc(1, sizeof(netsnmp_indexed_addr_pair)));
    pair->remote_addr.sin.sin_family = AF_INET;
    pair->remote_addr.sin.sin_addr.s_addr = htonl(m_options.trapHost.toIPv4Address());
    pair->remote_addr.sin.sin_port = htons(m_options.trapPort);
    pair->local_addr.sin.sin_family = AF_INET;
    pair->local_addr.sin.sin_addr.s_addr = htonl(card->address());
    pdu->transport_data = pair;
    pdu->transport_data_length = int(sizeof(netsnmp_indexed_addr_pair));

    int ok;
    if (kind == 3) {
        auto* ticket = new InformTicket{this, card->address()};
        ok = snmp_sess_async_send(m_sess, pdu, informCallback, ticket);
        if (!ok) {
            delete ticket;
        } else {
            ++m_stats.informsSent;
            ++m_pendingInforms;
            if (!m_libraryTimer.isActive())
                m_libraryTimer.start(qBound(10, m_options.informTimeoutMs / 4, 100));
        }
    } else {
        ok = snmp_sess_send(m_sess, pdu);
    }
    if (!ok) {
        snmp_free_pdu(pdu);
        qWarning() << "upssim: trap from" << card->addressText() << "not sent";
        return false;
    }
    ++m_stats.trapsSent;
    card->countTrapSent();
    return true;
}

void SnmpAgent::informDone(quint32 cardAddress, bool acked)
{
    --m_pendingInforms;
    Card* c = m_fleet->find(cardAddress);
    if (acked) {
        ++m_stats.informsAcked;
        if (c)
            c->countInformAcked();
    } else {
        ++m_stats.informsFailed;
        if (c)
            c->countInformFailed();
    }
}

} // namespace upssim
