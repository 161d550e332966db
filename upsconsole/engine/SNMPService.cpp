#include "SNMPService.h"

#include "SNMPManager.h"
#include "SNMPTrapd.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>
#include <net-snmp/library/large_fd_set.h>

#include <atomic>

class SNMPServicePrivate
{
public:
    SNMPService* owner = nullptr;
    std::atomic<bool> running{false};
};

SNMPService::SNMPService() : d(new SNMPServicePrivate)
{
    d->owner = this;
    setObjectName(QStringLiteral("snmp-trap-service"));
    SNMPManager::initLibrary();
}

SNMPService::~SNMPService()
{
    stop();
    delete d;
}

SNMPService* SNMPService::instance()
{
    static SNMPService* service = new SNMPService;
    return service;
}

void SNMPService::start(quint16 port)
{
    if (d->running.load() || isRunning())
        return;
    SNMPTrapd::instance()->startTrapd(port);
    d->running.store(true);
    QThread::start(QThread::InheritPriority);
}

void SNMPService::stop()
{
    d->running.store(false);
    wait();
    SNMPTrapd::instance()->stopTrapd();
}

bool SNMPService::running() const
{
    return d->running.load();
}

void SNMPService::run()
{
    // The loop waits in select() up to 50 ms, so a burst of traps is read as
    // it arrives and an idle receiver still notices a stop request quickly.
    netsnmp_large_fd_set readfds;
    netsnmp_large_fd_set_init(&readfds, FD_SETSIZE);
    while (d->running.load()) {
        int numfds = 0;
        int block = 0;
        struct timeval timeout = {0, 50000};
        NETSNMP_LARGE_FD_ZERO(&readfds);
        snmp_select_info2(&numfds, &readfds, &timeout, &block);
        if (timeout.tv_sec > 0 || timeout.tv_usec > 50000 || block) {
            timeout.tv_sec = 0;
            timeout.tv_usec = 50000;
        }
        const int count = netsnmp_large_fd_set_select(numfds, &readfds, nullptr, nullptr, &timeout);
        if (count > 0) {
            snmp_read2(&readfds);
        } else if (count == 0) {
            snmp_timeout();
        } else {
            QThread::msleep(50);
        }
    }
    netsnmp_large_fd_set_cleanup(&readfds);
}
