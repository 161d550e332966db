#pragma once

// One of the device panel's three histories of the current device, chosen at
// construction: 0 data log (table data, and three_phase_data for a
// three-phase device), 1 settings log (set_log), 2 status log (status_log).
// The user picks a date range and runs the query ("Sure"), clears the
// device's rows of this kind, or exports the table to CSV or .xlsx.

#include <QString>
#include <QWidget>

#include <memory>

class CodeTextFile;
class QDateEdit;
class QLabel;
class QPushButton;
class QTableWidget;

class LogWidget : public QWidget
{
    Q_OBJECT
public:
    enum Kind { DataLog = 0, SetLog = 1, StatusLog = 2 };

    explicit LogWidget(int kind, QWidget* parent = nullptr);
    ~LogWidget() override;

    // Called by the panel on every selection. A different address or flag
    // clears the table (the query is not run).
    void setDevice(const QString& ipv4, bool threePhase);

    int kind() const { return m_kind; }
    QString device() const { return m_device; }
    bool isThreePhase() const { return m_threePhase; }
    uint startTime() const { return m_start; }
    uint endTime() const { return m_end; }
    QTableWidget* table() const { return m_table; }
    QDateEdit* startDateEdit() const { return m_startEdit; }
    QDateEdit* endDateEdit() const { return m_endEdit; }

    // Writers of the export. Both return false when the file cannot be written.
    static bool exportCsv(const QTableWidget* table, const QString& fileName);
    static bool exportXlsx(const QTableWidget* table, const QString& fileName);
    // One CSV field: quoted (RFC 4180) when it holds a comma, a double quote
    // or a line break.
    static QString csvField(const QString& text);

protected:
    void changeEvent(QEvent* event) override;

private slots:
    void readLogs();
    void onBtnClearClicked();
    void onBtnExportClicked();

private:
    void retranslateUi();
    void setColumns();
    QString cellText(int column, const QVariant& value) const;

    int m_kind;
    QString m_device;
    bool m_threePhase = false;
    uint m_start = 0;
    uint m_end = 0;
    std::unique_ptr<CodeTextFile> m_logTexts;
    std::unique_ptr<CodeTextFile> m_trapTexts;

    QLabel* m_startLabel = nullptr;
    QLabel* m_endLabel = nullptr;
    QDateEdit* m_startEdit = nullptr;
    QDateEdit* m_endEdit = nullptr;
    QPushButton* m_btnQuery = nullptr;
    QPushButton* m_btnClear = nullptr;
    QPushButton* m_btnExport = nullptr;
    QTableWidget* m_table = nullptr;
};
