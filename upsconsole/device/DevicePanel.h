#pragma once

// Lower part of the station view: one device in detail. A line naming the
// current device and six tabs: "Chart", "Real time data", "Data log",
// "Set log", "Status log", "Dev info".
//
// Construct it with its parent only. The station view connects its device
// selection to handleDevItemChanged() and SNMP::devDataChanged to
// handleDeviceData(). Both calls are ignored while the panel is hidden.

#include "SNMPData.h"

#include <QString>
#include <QWidget>

class ChartWidget;
class DevInfoWidget;
class LogWidget;
class QLabel;
class QTabWidget;
class RealTimeWidget;

class DevicePanel : public QWidget
{
    Q_OBJECT
public:
    enum Tab { ChartTab = 0, RealTimeTab, DataLogTab, SetLogTab, StatusLogTab, DevInfoTab };

    explicit DevicePanel(QWidget* parent = nullptr);

    QString currentDevice() const { return m_device; }
    bool isThreePhase() const { return m_threePhase; }

    QTabWidget* tabs() const { return m_tabs; }
    ChartWidget* chart() const { return m_chart; }
    RealTimeWidget* realTime() const { return m_realTime; }
    LogWidget* dataLog() const { return m_dataLog; }
    LogWidget* setLog() const { return m_setLog; }
    LogWidget* statusLog() const { return m_statusLog; }
    DevInfoWidget* devInfo() const { return m_devInfo; }

public slots:
    void handleDevItemChanged(QString ipv4);
    void handleDeviceData(QString ipv4, SNMPData data);

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslateUi();

    QString m_device;
    bool m_threePhase = false;
    QLabel* m_caption = nullptr;
    QLabel* m_address = nullptr;
    QTabWidget* m_tabs = nullptr;
    ChartWidget* m_chart = nullptr;
    RealTimeWidget* m_realTime = nullptr;
    LogWidget* m_dataLog = nullptr;
    LogWidget* m_setLog = nullptr;
    LogWidget* m_statusLog = nullptr;
    DevInfoWidget* m_devInfo = nullptr;
};
