#pragma once

#include <QMap>
#include <QPair>
#include <QString>

// Minimal reader of the first worksheet of an .xlsx workbook (a zip of XML
// parts), enough for importing device lists.
class XlsxReader
{
public:
    bool open(const QString& path);
    // Used range as given by the sheet ("A1:A7"), or computed from the cells.
    QString usedRange() const { return m_range; }
    int firstRow() const { return m_firstRow; }
    int lastRow() const { return m_lastRow; }
    int firstColumn() const { return m_firstColumn; }
    QString cell(int row, int column) const { return m_cells.value(qMakePair(row, column)); }

    // "B12" -> row 12, column 2.
    static bool parseRef(const QString& ref, int* row, int* column);

private:
    QMap<QPair<int, int>, QString> m_cells;
    QString m_range;
    int m_firstRow = 0, m_lastRow = 0, m_firstColumn = 0;
};
