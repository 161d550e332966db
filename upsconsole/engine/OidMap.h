#pragma once

// The OID list of cfg/OidList.xml and the way a response binding finds its
// place in the device record.

#include "SNMPData.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

using OidArray = std::vector<unsigned long>;

// One variable binding as the engine keeps it after the response thread has
// copied it out of the library's PDU.
struct BindingValue
{
    uint8_t type = 0;        // ASN.1 type byte of the value
    int64_t integer = 0;     // INTEGER (and the other numeric types)
    const char* bytes = nullptr; // OCTET STRING contents
    uint32_t length = 0;
};

class OidMap
{
public:
    // Reads the file and fills the three lists (the engine's
    // resloveOidConfig). Returns false and leaves the lists empty on failure.
    bool load(const QString& path);
    void clear();

    QStringList oidList;
    QStringList getList;
    QStringList tableList;

    // Position of a response OID, or -1. *row receives the table row (0 for
    // scalars). Table columns match on whole sub-identifiers.
    int match(const unsigned long* name, size_t length, int* row) const;
    // Text form, same rules (for tests and for callers holding text).
    int match(const QString& oidText, int* row) const;

    // Stores one binding at a position/row of a record (see SNMPData).
    static void store(SNMPData& record, int position, int row, const BindingValue& value);

    static bool parseOid(const QString& text, OidArray* out);
    static QString oidText(const unsigned long* name, size_t length);

    // Kind of field a position fills.
    enum Kind { None, Text, Int, Table };
    static Kind kindOf(int position);

private:
    void buildIndex();
    static QByteArray key(const unsigned long* name, size_t length)
    {
        return QByteArray::fromRawData(reinterpret_cast<const char*>(name),
                                       int(length * sizeof(unsigned long)));
    }

    QHash<QByteArray, int> m_position; // OID sub-identifiers -> first position
    QHash<QByteArray, int> m_tables;   // table column OIDs
    std::vector<OidArray> m_keysStore; // owns the bytes the hash keys point into
};
