#pragma once

#include <QDialog>
#include <QStringList>
#include <QVector>

class CodeTextFile;
class QDateEdit;
class QLabel;
class QMessageBox;
class QPushButton;
class QTableWidget;

// Carries the export thread's two signals to the dialog; lives on the GUI
// thread and is deleted after the thread has emitted its last signal.
class ExportNotifier : public QObject
{
    Q_OBJECT
signals:
    void started();
    void finished(bool isSuccess);
};

// The stored events for a range of days, newest first, with CSV and
// workbook export.
class LogDialog : public QDialog
{
    Q_OBJECT
public:
    // A copy of a table's texts: the header, then the rows (null strings for
    // missing header sections or cells).
    struct TableText
    {
        QStringList header;
        QVector<QStringList> rows;
    };

    explicit LogDialog(QWidget* parent = nullptr);
    ~LogDialog() override;

    static TableText snapshot(const QTableWidget* table);
    static bool saveCsv(const TableText& table, const QString& fileName);
    static bool saveXlsx(const TableText& table, const QString& fileName);

    // For tests.
    QDateEdit* startEdit() const { return m_start; }
    QDateEdit* endEdit() const { return m_end; }
    QTableWidget* table() const { return m_table; }
    QMessageBox* waitBox() const { return m_waitBox; }
    bool exportRunning() const { return m_exportRunning; }

signals:
    void exportStarted();
    void exportFinished(bool isSuccess);

public slots:
    void onBtnReadLog();
    void onBtnSave();
    void onBtnClear();
    void onWaitExport();
    void onExportFinished(bool result);

private:
    QString eventText(int event) const;

    QDateEdit* m_start;
    QDateEdit* m_end;
    QTableWidget* m_table;
    QMessageBox* m_waitBox;
    CodeTextFile* m_eventTexts = nullptr;
    bool m_exportRunning = false;
    bool m_exportDone = false;
};
