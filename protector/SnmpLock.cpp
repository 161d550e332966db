#include "SnmpLock.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <cstdlib>

namespace SnmpLock {

std::recursive_mutex& mutex()
{
    static std::recursive_mutex m;
    return m;
}

static int s_users = 0;

void acquireLibrary()
{
    Guard guard(mutex());
    if (s_users++ > 0)
        return;
    // The agent needs no MIB files, and keeps away from the system's
    // persistent state and configuration files.
    setenv("MIBS", "", 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_READ_CONFIGS, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DISABLE_PERSISTENT_LOAD, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_PERSIST_STATE, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_QUICK_PRINT, 1);
    init_snmp("Velmora");
}

void releaseLibrary()
{
    Guard guard(mutex());
    if (s_users <= 0 || --s_users > 0)
        return;
    snmp_shutdown("Velmora");
}

} // namespace SnmpLock
