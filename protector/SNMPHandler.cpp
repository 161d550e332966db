#include "SNMPHandler.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <QCoreApplication>

namespace {
const oid kBatteryStatus[] = {1, 3, 6, 1, 4, 1, 935, 1, 1, 1, 2, 1, 1, 0};
const oid kInputLine[] = {1, 3, 6, 1, 4, 1, 935, 1, 1, 1, 3, 2, 5, 0};
const oid kOutputStatus[] = {1, 3, 6, 1, 4, 1, 935, 1, 1, 1, 4, 1, 1, 0};
const oid kCapacity[] = {1, 3, 6, 1, 4, 1, 935, 1, 1, 1, 2, 2, 1, 0};
const oid kSnmpTrapOid[] = {1, 3, 6, 1, 6, 3, 1, 1, 4, 1, 0};
constexpr size_t kLen = 14;

bool sameOid(const netsnmp_variable_list* var, const oid* name, size_t len)
{
    return snmp_oid_compare(var->name, var->name_length, name, len) == 0;
}

quint8 lowByte(const netsnmp_variable_list* var)
{
    switch (var->type) {
    case ASN_INTEGER:
    case ASN_COUNTER:
    case ASN_GAUGE:
    case ASN_TIMETICKS:
    case ASN_UINTEGER:
        if (var->val.integer)
            return static_cast<quint8>(*var->val.integer & 0xff);
        return 0;
    default:
        return var->val_len > 0 ? var->val.string[0] : 0;
    }
}
} // namespace

SNMPHandler* SNMPHandler::instance()
{
    static SNMPHandler* handler = nullptr;
    if (!handler) {
        handler = new SNMPHandler;
        // Queued signals carry these types.
        qRegisterMetaType<QByteArray>("QByteArray");
    }
    return handler;
}

QByteArray SNMPHandler::decodeStatus(const snmp_pdu* pdu)
{
    QByteArray data(4, '\0');
    for (const netsnmp_variable_list* var = pdu->variables; var; var = var->next_variable) {
        if (!var->val.string && !var->val.integer)
            continue;
        if (var->type == SNMP_NOSUCHOBJECT || var->type == SNMP_NOSUCHINSTANCE || var->type == SNMP_ENDOFMIBVIEW
            || var->type == ASN_NULL)
            continue;
        int index = -1;
        if (sameOid(var, kBatteryStatus, kLen))
            index = 0;
        else if (sameOid(var, kInputLine, kLen))
            index = 1;
        else if (sameOid(var, kOutputStatus, kLen))
            index = 2;
        else if (sameOid(var, kCapacity, kLen))
            index = 3;
        if (index >= 0)
            data[index] = static_cast<char>(lowByte(var));
    }
    return data;
}

long SNMPHandler::trapNumber(const snmp_pdu* pdu)
{
    if (pdu->command == SNMP_MSG_TRAP)
        return pdu->specific_type;
    if (pdu->command == SNMP_MSG_TRAP2 || pdu->command == SNMP_MSG_INFORM) {
        for (const netsnmp_variable_list* var = pdu->variables; var; var = var->next_variable) {
            if (!sameOid(var, kSnmpTrapOid, sizeof(kSnmpTrapOid) / sizeof(oid)))
                continue;
            if (var->type != ASN_OBJECT_ID || !var->val.objid || var->val_len < sizeof(oid))
                return -1;
            const oid last = var->val.objid[var->val_len / sizeof(oid) - 1];
            // A sub-identifier beyond the int range reads as negative.
            return static_cast<int>(static_cast<unsigned int>(last));
        }
    }
    return -1;
}

void SNMPHandler::onResponse(const snmp_session* session, const snmp_pdu* pdu)
{
    const QString peer = QString::fromLatin1(session->peername ? session->peername : "");
    emit gotSessionData(peer, decodeStatus(pdu));
}

void SNMPHandler::onTrap(const QString& host, const snmp_pdu* pdu)
{
    const long number = trapNumber(pdu);
    if (number >= 0 && number < 0x7fffffff)
        emit gotTrapdData(host, static_cast<int>(number + 1));
}
