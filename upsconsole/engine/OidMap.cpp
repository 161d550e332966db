#include "OidMap.h"

#include <QDebug>
#include <QDomDocument>
#include <QFile>

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/types.h>
#include <net-snmp/library/asn1.h>

#include <cstddef>

namespace {

struct FieldRef
{
    OidMap::Kind kind = OidMap::None;
    size_t offset = 0;
};

struct FieldTable
{
    FieldRef refs[135];

    FieldTable()
    {
        auto text = [this](int pos, size_t off) { refs[pos] = {OidMap::Text, off}; };
        auto integer = [this](int pos, size_t off) { refs[pos] = {OidMap::Int, off}; };
        auto table = [this](int pos, size_t off) { refs[pos] = {OidMap::Table, off}; };

        text(0, offsetof(SNMPData, sys_text0));
        text(1, offsetof(SNMPData, sys_contact));
        text(2, offsetof(SNMPData, sys_name));
        text(3, offsetof(SNMPData, sys_location));
        text(4, offsetof(SNMPData, ups_model));
        text(5, offsetof(SNMPData, ups_name));
        text(6, offsetof(SNMPData, ups_fw_version));
        text(7, offsetof(SNMPData, ups_manufacture_date));
        text(8, offsetof(SNMPData, ups_serial));
        text(9, offsetof(SNMPData, agent_fw_version));
        integer(10, offsetof(SNMPData, batt_status));
        integer(11, offsetof(SNMPData, batt_running_time));
        text(12, offsetof(SNMPData, batt_last_replace_date));
        const size_t singles[] = {
            offsetof(SNMPData, batt_capacity),      offsetof(SNMPData, batt_vol),
            offsetof(SNMPData, batt_temp),          offsetof(SNMPData, batt_remain_time),
            offsetof(SNMPData, batt_replace_flag),  offsetof(SNMPData, batt_full_charge_vol),
            offsetof(SNMPData, batt_current),       offsetof(SNMPData, input_phase),
            offsetof(SNMPData, input_line_vol),     offsetof(SNMPData, input_line_vol_max),
            offsetof(SNMPData, input_line_vol_min), offsetof(SNMPData, input_freq),
            offsetof(SNMPData, input_line_fail_reason)};
        for (int i = 0; i < 13; ++i)
            integer(13 + i, singles[i]);
        integer(26, offsetof(SNMPData, output_status));
        integer(27, offsetof(SNMPData, output_phase));
        integer(28, offsetof(SNMPData, output_vol));
        integer(29, offsetof(SNMPData, output_freq));
        integer(30, offsetof(SNMPData, output_load));
        integer(31, offsetof(SNMPData, table_col1)); // element 0 of column 1
        table(33, offsetof(SNMPData, table_col1));
        table(34, offsetof(SNMPData, table_col2));
        table(35, offsetof(SNMPData, table_col3));
        table(36, offsetof(SNMPData, table_col4));
        integer(37, offsetof(SNMPData, raw_37));
        integer(38, offsetof(SNMPData, ups_max_input_volt));
        integer(39, offsetof(SNMPData, ups_min_input_volt));
        integer(40, offsetof(SNMPData, raw_40));
        integer(41, offsetof(SNMPData, raw_41));
        integer(42, offsetof(SNMPData, raw_42));
        integer(43, offsetof(SNMPData, raw_43));
        integer(44, offsetof(SNMPData, ups_low_batt_remain_time));
        integer(45, offsetof(SNMPData, raw_45));
        integer(46, offsetof(SNMPData, raw_46));
        integer(47, offsetof(SNMPData, raw_47));
        integer(49, offsetof(SNMPData, ups_max_output_volt));
        integer(50, offsetof(SNMPData, ups_min_output_volt));
        integer(51, offsetof(SNMPData, ups_temp_alarm));
        integer(52, offsetof(SNMPData, ups_load_alarm));
        integer(53, offsetof(SNMPData, ups_low_batt_volt));
        integer(54, offsetof(SNMPData, ups_low_batt_remain_time));
        for (int i = 0; i < 20; ++i)
            integer(70 + i, offsetof(SNMPData, tp_batt_vol) + size_t(i) * sizeof(int32_t));
        for (int i = 0; i < 28; ++i)
            integer(90 + i, offsetof(SNMPData, raw_90_117) + size_t(i) * sizeof(int32_t));
        for (int i = 0; i < 12; ++i)
            table(119 + i, offsetof(SNMPData, extra_table_col) + size_t(i) * sizeof(int32_t) * SNMPData::kTableRows);
        integer(131, offsetof(SNMPData, env_over_temp));
        integer(132, offsetof(SNMPData, env_under_temp));
        integer(133, offsetof(SNMPData, env_over_humi));
        integer(134, offsetof(SNMPData, env_under_humi));
    }
};

const FieldTable& fields()
{
    static const FieldTable table;
    return table;
}

void readGroup(const QDomElement& group, bool tableTest, OidMap* map)
{
    for (QDomElement e = group.firstChildElement(QStringLiteral("Oid")); !e.isNull();
         e = e.nextSiblingElement(QStringLiteral("Oid"))) {
        const QString value = e.attribute(QStringLiteral("Value"));
        map->oidList.append(value);
        bool ok = false;
        if (e.attribute(QStringLiteral("Access")).toInt(&ok) == 1 && ok)
            map->getList.append(value);
        if (tableTest && e.attribute(QStringLiteral("Type")) == QLatin1String("table"))
            map->tableList.append(value);
    }
}

} // namespace

void OidMap::clear()
{
    oidList.clear();
    getList.clear();
    tableList.clear();
    m_position.clear();
    m_tables.clear();
    m_keysStore.clear();
}

bool OidMap::load(const QString& path)
{
    clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        qWarning() << "Oid file open failed.";
        return false;
    }
    QDomDocument doc;
    QString message;
    int line = 0;
    int column = 0;
    if (!doc.setContent(&file, &message, &line, &column)) {
        qWarning().noquote() << QStringLiteral("Error: Parse error at line %1, column %2: %3")
                                    .arg(line)
                                    .arg(column)
                                    .arg(message);
        return false;
    }
    const QDomElement root = doc.documentElement();
    if (root.tagName() != QLatin1String("Oids")) {
        qWarning() << "Oid file corrupted.";
        return false;
    }
    for (QDomElement group = root.firstChildElement(); !group.isNull(); group = group.nextSiblingElement()) {
        if (group.tagName() == QLatin1String("System"))
            readGroup(group, false, this);
        else if (group.tagName() == QLatin1String("UPS"))
            readGroup(group, true, this);
    }
    buildIndex();
    return true;
}

void OidMap::buildIndex()
{
    m_position.clear();
    m_tables.clear();
    m_keysStore.clear();
    m_keysStore.reserve(size_t(oidList.size() + tableList.size()));
    for (int i = 0; i < oidList.size(); ++i) {
        OidArray oid;
        if (!parseOid(oidList.at(i), &oid))
            continue;
        m_keysStore.push_back(std::move(oid));
        const OidArray& kept = m_keysStore.back();
        const QByteArray k = key(kept.data(), kept.size());
        if (!m_position.contains(k))
            m_position.insert(k, i);
    }
    for (const QString& text : tableList) {
        OidArray oid;
        if (!parseOid(text, &oid))
            continue;
        m_keysStore.push_back(std::move(oid));
        const OidArray& kept = m_keysStore.back();
        m_tables.insert(key(kept.data(), kept.size()), 1);
    }
}

bool OidMap::parseOid(const QString& text, OidArray* out)
{
    out->clear();
    QStringRef ref(&text);
    if (ref.startsWith(QLatin1Char('.')))
        ref = ref.mid(1);
    if (ref.isEmpty())
        return false;
    const QVector<QStringRef> parts = ref.split(QLatin1Char('.'));
    if (parts.size() > 128)
        return false;
    for (const QStringRef& part : parts) {
        bool ok = false;
        const qulonglong v = part.toULongLong(&ok);
        if (!ok || v > 0xFFFFFFFFull)
            return false;
        out->push_back(static_cast<unsigned long>(v));
    }
    return true;
}

QString OidMap::oidText(const unsigned long* name, size_t length)
{
    QString text;
    text.reserve(int(length) * 4);
    for (size_t i = 0; i < length; ++i) {
        if (i)
            text.append(QLatin1Char('.'));
        text.append(QString::number(qulonglong(name[i])));
    }
    return text;
}

int OidMap::match(const unsigned long* name, size_t length, int* row) const
{
    *row = 0;
    if (length == 0)
        return -1;
    // A table column listed without its row: the OID is the column plus one
    // sub-identifier, the row number.
    if (length > 1 && !m_tables.isEmpty() && m_tables.contains(key(name, length - 1))) {
        const unsigned long r = name[length - 1];
        *row = r > 0x7FFFFFFFul ? -1 : int(r);
        return m_position.value(key(name, length - 1), -1);
    }
    return m_position.value(key(name, length), -1);
}

int OidMap::match(const QString& oidText, int* row) const
{
    OidArray oid;
    *row = 0;
    if (!parseOid(oidText, &oid))
        return -1;
    return match(oid.data(), oid.size(), row);
}

OidMap::Kind OidMap::kindOf(int position)
{
    if (position < 0 || position >= 135)
        return None;
    return fields().refs[position].kind;
}

void OidMap::store(SNMPData& record, int position, int row, const BindingValue& value)
{
    if (position < 0 || position >= 135)
        return;
    const FieldRef& ref = fields().refs[position];
    char* base = reinterpret_cast<char*>(&record) + ref.offset;
    switch (ref.kind) {
    case None:
        return;
    case Text: {
        if (value.type == ASN_OCTET_STR) {
            const uint32_t n = value.length < uint32_t(SNMPData::kTextSize - 1) ? value.length
                                                                               : uint32_t(SNMPData::kTextSize - 1);
            if (n)
                std::memcpy(base, value.bytes, n);
            base[n] = '\0';
        } else {
            base[0] = '\0';
        }
        return;
    }
    case Int:
        if (value.type == ASN_INTEGER) {
            const int32_t v = int32_t(value.integer);
            std::memcpy(base, &v, sizeof v);
        }
        return;
    case Table:
        if (value.type == ASN_INTEGER && row >= 0 && row < SNMPData::kTableRows) {
            const int32_t v = int32_t(value.integer);
            std::memcpy(base + size_t(row) * sizeof(int32_t), &v, sizeof v);
        }
        return;
    }
}
