#pragma once

#include <mutex>

// Every call into net-snmp is made while holding this lock: the GUI thread
// (open, send, close) and the engine thread (select info, read, time-outs and
// the callbacks they run) never use the library at the same time. The lock
// is recursive because callbacks run inside snmp_read2 and may send.
namespace SnmpLock {
std::recursive_mutex& mutex();
using Guard = std::lock_guard<std::recursive_mutex>;

// net-snmp is initialised once per process (init_snmp("Velmora")) while at
// least one engine exists, and shut down with the last one.
void acquireLibrary();
void releaseLibrary();
}
