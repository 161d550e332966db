#pragma once

#include <QDialog>
#include <QList>
#include <QString>

class QTableWidget;
class CodeTextFile;

// The list of UPS status traps received while the console runs.
class DialogStatus : public QDialog
{
    Q_OBJECT
public:
    static const int kMaxEntries = 1000;

    explicit DialogStatus(QWidget* parent = nullptr);
    ~DialogStatus() override;

    void addStatus(const QString& ipv4, int trap);

    int entryCount() const { return m_entries.size(); }
    QTableWidget* table() const { return m_table; }
    // Text of a trap code in the current language ("" when unknown).
    QString statusText(int trap) const;

protected:
    void changeEvent(QEvent* event) override;

private:
    struct Entry
    {
        QString date;
        QString ipv4;
        int trap;
    };

    void retranslate();

    CodeTextFile* m_texts = nullptr;
    QList<Entry> m_entries; // newest first
    QTableWidget* m_table = nullptr;
};
