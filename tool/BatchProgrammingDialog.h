#pragma once

#include <QDialog>
#include <QList>
#include <QStringList>

class QComboBox;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QThread;
class BatchProgrammingThread;

class BatchProgrammingDialog : public QDialog
{
    Q_OBJECT
public:
    // workers < 0: one per processor thread.
    explicit BatchProgrammingDialog(QWidget* parent = nullptr, int workers = -1);
    ~BatchProgrammingDialog() override;

    static QString statusText(int status);

    QTableWidget* table() const { return m_table; }
    QStringList devices() const { return m_devices; }
    QComboBox* typeBox() const { return m_comboType; }
    QLineEdit* ipEdit() const { return m_editIp; }
    QLineEdit* fileEdit() const { return m_editFile; }
    int workerCount() const { return m_workers.size(); }
    void setBlockTimeout(int ms);
    // Adds an address as "Add Device" does, without messages.
    bool addDevice(const QString& ip);
    void deleteRow(int row);
    QString reportText() const;
    // Index of the device each task start went to, in order (for tests).
    QList<int> startedOrder() const { return m_startedOrder; }

signals:
    void taskStart(int index);

public slots:
    void onBtnRefreshClicked();
    void onBtnAddClicked();
    void onBtnChooseClicked();
    void onBtnExportClicked();
    void onBtnImportClicked();
    void onBtnProgramClicked();

private slots:
    void onBatchFinished();
    void onCustomContextMenuRequested(QPoint pos);
    void onProgrammingStarted(qlonglong bytesTotal);
    void onProgrammingUpdated(qlonglong bytesWritten);

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();
    void startRun(int mode);
    void handOut(BatchProgrammingThread* worker);
    int rowOfSender();

    QTableWidget* m_table;
    QComboBox* m_comboType;
    QPushButton* m_btnRefresh;
    QPushButton* m_btnImport;
    QPushButton* m_btnExport;
    QPushButton* m_btnProgram;
    QLineEdit* m_editIp;
    QPushButton* m_btnAdd;
    QLineEdit* m_editFile;
    QPushButton* m_btnChoose;

    QStringList m_devices;
    int m_next = 0;
    QList<QThread*> m_threads;
    QList<BatchProgrammingThread*> m_workers;
    QList<int> m_startedOrder;
};
