#include "XlsxReader.h"

#include <QStringList>
#include <QXmlStreamReader>

#include <quazip.h>
#include <quazipfile.h>

namespace {

QByteArray readEntry(QuaZip& zip, const QString& name)
{
    if (!zip.setCurrentFile(name))
        return QByteArray();
    QuaZipFile file(&zip);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    const QByteArray data = file.readAll();
    file.close();
    return data;
}

// Target of the workbook's first sheet, e.g. "xl/worksheets/sheet1.xml".
QString firstSheetPath(QuaZip& zip)
{
    QString rid;
    QXmlStreamReader wb(readEntry(zip, QStringLiteral("xl/workbook.xml")));
    while (!wb.atEnd()) {
        if (wb.readNext() == QXmlStreamReader::StartElement && wb.name() == QLatin1String("sheet")) {
            for (const QXmlStreamAttribute& a : wb.attributes())
                if (a.name() == QLatin1String("id"))
                    rid = a.value().toString();
            break;
        }
    }
    if (!rid.isEmpty()) {
        QXmlStreamReader rels(readEntry(zip, QStringLiteral("xl/_rels/workbook.xml.rels")));
        while (!rels.atEnd()) {
            if (rels.readNext() == QXmlStreamReader::StartElement && rels.name() == QLatin1String("Relationship") &&
                rels.attributes().value(QLatin1String("Id")) == rid) {
                QString target = rels.attributes().value(QLatin1String("Target")).toString();
                if (target.startsWith(QLatin1Char('/')))
                    return target.mid(1);
                return QStringLiteral("xl/") + target;
            }
        }
    }
    return QStringLiteral("xl/worksheets/sheet1.xml");
}

} // namespace

bool XlsxReader::parseRef(const QString& ref, int* row, int* column)
{
    int col = 0, i = 0;
    while (i < ref.size() && ref[i].isLetter()) {
        col = col * 26 + (ref[i].toUpper().unicode() - 'A' + 1);
        ++i;
    }
    bool ok = false;
    const int r = ref.mid(i).toInt(&ok);
    if (!ok || col == 0 || i == 0)
        return false;
    *row = r;
    *column = col;
    return true;
}

bool XlsxReader::open(const QString& path)
{
    m_cells.clear();
    m_range.clear();
    QuaZip zip(path);
    if (!zip.open(QuaZip::mdUnzip))
        return false;

    QStringList shared;
    {
        QXmlStreamReader ss(readEntry(zip, QStringLiteral("xl/sharedStrings.xml")));
        QString current;
        bool inSi = false;
        while (!ss.atEnd()) {
            const auto token = ss.readNext();
            if (token == QXmlStreamReader::StartElement && ss.name() == QLatin1String("si")) {
                inSi = true;
                current.clear();
            } else if (token == QXmlStreamReader::StartElement && ss.name() == QLatin1String("t") && inSi) {
                current += ss.readElementText();
            } else if (token == QXmlStreamReader::EndElement && ss.name() == QLatin1String("si")) {
                inSi = false;
                shared << current;
            }
        }
    }

    const QByteArray sheet = readEntry(zip, firstSheetPath(zip));
    if (sheet.isEmpty())
        return false;
    QXmlStreamReader xml(sheet);
    QString dimension;
    int minRow = 0, maxRow = 0, minCol = 0, maxCol = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("dimension")) {
            dimension = xml.attributes().value(QLatin1String("ref")).toString();
        } else if (xml.name() == QLatin1String("c")) {
            const QString ref = xml.attributes().value(QLatin1String("r")).toString();
            const QString type = xml.attributes().value(QLatin1String("t")).toString();
            QString value;
            while (!(xml.isEndElement() && xml.name() == QLatin1String("c")) && !xml.atEnd()) {
                xml.readNext();
                if (xml.isStartElement() && (xml.name() == QLatin1String("v") || xml.name() == QLatin1String("t")))
                    value += xml.readElementText();
            }
            if (type == QLatin1String("s"))
                value = shared.value(value.toInt());
            int row, col;
            if (parseRef(ref, &row, &col)) {
                m_cells[qMakePair(row, col)] = value;
                if (minRow == 0 || row < minRow) minRow = row;
                if (row > maxRow) maxRow = row;
                if (minCol == 0 || col < minCol) minCol = col;
                if (col > maxCol) maxCol = col;
            }
        }
    }
    int r1, c1, r2, c2;
    const QString first = dimension.section(QLatin1Char(':'), 0, 0);
    const QString last = dimension.section(QLatin1Char(':'), 1, 1);
    if (!dimension.isEmpty() && parseRef(first, &r1, &c1)) {
        // A one-cell range reads "A1", whether written "A1" or "A1:A1".
        m_range = (last.isEmpty() || last == first) ? first : dimension;
        m_firstRow = r1;
        m_firstColumn = c1;
        m_lastRow = (!last.isEmpty() && parseRef(last, &r2, &c2)) ? r2 : r1;
    } else if (minRow > 0) {
        auto name = [](int row, int col) {
            QString letters;
            while (col > 0) {
                letters.prepend(QChar('A' + (col - 1) % 26));
                col = (col - 1) / 26;
            }
            return letters + QString::number(row);
        };
        m_range = minRow == maxRow && minCol == maxCol ? name(minRow, minCol)
                                                       : name(minRow, minCol) + QLatin1Char(':') + name(maxRow, maxCol);
        m_firstRow = minRow;
        m_lastRow = maxRow;
        m_firstColumn = minCol;
    } else {
        m_range = QStringLiteral("A1");
        m_firstRow = m_lastRow = m_firstColumn = 1;
    }
    return true;
}
