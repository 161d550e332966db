#include "SNMP.h"

#include "SNMPManage.h"
#include "SNMPTrapd.h"
#include "SnmpLock.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>
#include <net-snmp/library/large_fd_set.h>

SNMP::SNMP(QObject* parent)
    : QThread(parent)
{
    qRegisterMetaType<SNMPInfo>("SNMPInfo");
    m_manager = new SNMPManage;
    m_trapd = new SNMPTrapd;
    SnmpLock::acquireLibrary();
    m_manager->loadHosts();

    connect(m_manager, &SNMPManage::eventTriggered, this, &SNMP::handleEvent);
    connect(m_manager, &SNMPManage::statusChanged, this, &SNMP::handleStatus);
    connect(m_manager, &SNMPManage::dataReady, this, &SNMP::onDataReady);
    connect(m_trapd, &SNMPTrapd::eventTriggered, this, &SNMP::handleEvent);
}

SNMP::~SNMP()
{
    m_run = false;
    m_manager->stop();
    m_trapd->stopTrapd();
    wait();
    delete m_trapd;
    m_trapd = nullptr;
    delete m_manager; // closes the polling sessions
    m_manager = nullptr;
    SnmpLock::releaseLibrary();
}

void SNMP::start()
{
    m_manager->start();
    m_trapd->startTrapd();
    m_run = true;
    QThread::start(QThread::InheritPriority);
}

void SNMP::addHost(const SNMPInfo& info)
{
    m_manager->addHost(info);
}

void SNMP::removeHost(const QString& peer)
{
    m_manager->removeHost(peer);
}

void SNMP::modifyHost(const SNMPInfo& infoNew, const SNMPInfo& infoOld)
{
    removeHost(infoOld.peer());
    addHost(infoNew);
}

void SNMP::handleEvent(QString host, int event)
{
    emit eventTriggered(host, event);
}

void SNMP::handleStatus(QString host, int event)
{
    emit statusChanged(host, event);
}

void SNMP::onDataReady(QString host, QByteArray data)
{
    emit dataReady(host, data);
}

void SNMP::run()
{
    netsnmp_large_fd_set readSet;
    netsnmp_large_fd_set_init(&readSet, 64);
    while (m_run) {
        int fds = 0;
        int block = 0;
        struct timeval timeout = {0, 0};
        {
            SnmpLock::Guard guard(SnmpLock::mutex());
            NETSNMP_LARGE_FD_ZERO(&readSet);
            snmp_select_info2(&fds, &readSet, &timeout, &block);
        }
        // Never block in select: the GUI thread may open or close sessions
        // meanwhile, and replies are picked up within ~50 ms anyway.
        timeout.tv_sec = 0;
        timeout.tv_usec = 0;
        const int count = fds > 0 ? netsnmp_large_fd_set_select(fds, &readSet, nullptr, nullptr, &timeout) : 0;
        if (count > 0) {
            SnmpLock::Guard guard(SnmpLock::mutex());
            snmp_read2(&readSet);
        } else if (count == 0) {
            {
                SnmpLock::Guard guard(SnmpLock::mutex());
                snmp_timeout();
            }
            msleep(50);
        } else {
            msleep(50);
        }
    }
    netsnmp_large_fd_set_cleanup(&readSet);
}
