#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;

// "System Settings": the monitoring engine's SNMP settings, written to the
// settings file at once and announced by a signal per value.
class SysSettingsDialog : public QDialog
{
    Q_OBJECT
public:
    explicit SysSettingsDialog(QWidget* parent = nullptr);

    QComboBox* versionBox() const { return m_version; }
    QLineEdit* cycleEdit() const { return m_cycle; }
    QLineEdit* timeoutEdit() const { return m_timeout; }
    QLineEdit* storeEdit() const { return m_store; }
    QLineEdit* retryEdit() const { return m_retry; }
    QLineEdit* snmpPortEdit() const { return m_snmpPort; }
    QLineEdit* trapPortEdit() const { return m_trapPort; }

signals:
    void snmpVersionChanged(int index);
    void pollingCycleChanged(uint cycle);
    void pollingTimeoutChanged(uint timeout);
    void storeIntervalChanged(uint interval);
    void pollingRetryChanged(int retry);
    void snmpPortChanged(ushort port);
    void trapPortChanged(ushort port);

protected:
    void changeEvent(QEvent* event) override;

private slots:
    void changeSNMPVersion(int index);
    void changePollingCycle();
    void changePollingTimeout();
    void changeStoreInterval();
    void changePollingRetry();
    void onSnmpPortChanged();
    void onTrapPortChanged();

private:
    struct Record
    {
        int version = 0;
        uint cycle = 0;
        uint timeout = 0;
        uint store = 0;
        uint retry = 0;
        ushort snmpPort = 0;
        ushort trapPort = 0;
    };

    void retranslate();
    void writeSetting(const char* key, const QVariant& value);
    QLineEdit* addRow(int row, int top, const char* unit);

    Record m_record;
    QLabel* m_captions[7] = {};
    QLabel* m_units[7] = {};
    QComboBox* m_version;
    QLineEdit* m_cycle;
    QLineEdit* m_timeout;
    QLineEdit* m_store;
    QLineEdit* m_retry;
    QLineEdit* m_snmpPort;
    QLineEdit* m_trapPort;
    class QGridLayout* m_grid;
};
