#pragma once

// The console's reading of cfg/OidList.xml and its matching of a response
// OID to a position and row, as the console does it, so that the tests can
// check the card tree against it.

#include <QDomDocument>
#include <QFile>
#include <QStringList>

struct ConsoleOidMap
{
    QStringList oidList, getList, tableList;

    bool load(const QString& path)
    {
        oidList.clear();
        getList.clear();
        tableList.clear();
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
            return false;
        QDomDocument doc;
        QString message;
        int line = 0, column = 0;
        if (!doc.setContent(&f, &message, &line, &column)) {
            qWarning("OidList.xml: line %d, column %d: %s", line, column, qPrintable(message));
            return false;
        }
        const QDomElement root = doc.documentElement();
        if (root.tagName() != QLatin1String("Oids"))
            return false;
        for (QDomElement g = root.firstChildElement(); !g.isNull(); g = g.nextSiblingElement()) {
            const bool ups = g.tagName() == QLatin1String("UPS");
            if (!ups && g.tagName() != QLatin1String("System"))
                continue;
            for (QDomElement o = g.firstChildElement(QStringLiteral("Oid")); !o.isNull();
                 o = o.nextSiblingElement(QStringLiteral("Oid"))) {
                const QString v = o.attribute(QStringLiteral("Value"));
                oidList << v;
                if (o.attribute(QStringLiteral("Access")).toInt() == 1)
                    getList << v;
                if (ups && o.attribute(QStringLiteral("Type")) == QLatin1String("table"))
                    tableList << v;
            }
        }
        return true;
    }

    // Position of a response OID (dotted, no leading dot), or -1; *row gets the row.
    int match(QString text, int* row) const
    {
        *row = 0;
        for (const QString& t : tableList) {
            if (text.startsWith(t)) {
                const int dot = text.lastIndexOf('.');
                *row = text.mid(dot + 1).toInt();
                text.truncate(dot);
                break;
            }
        }
        return oidList.indexOf(text);
    }

    // Positions that fill a field of the device record.
    static bool hasField(int position)
    {
        if (position == 32 || position == 48 || position == 118 || position >= 135)
            return false;
        if (position >= 55 && position <= 69)
            return false;
        return position >= 0;
    }
    static bool isTextPosition(int position)
    {
        return (position >= 0 && position <= 9) || position == 12;
    }
};
