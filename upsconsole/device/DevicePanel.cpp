#include "DevicePanel.h"

#include "ChartWidget.h"
#include "Database.h"
#include "DevInfoWidget.h"
#include "LogWidget.h"
#include "RealTimeWidget.h"
#include "SNMP.h"

#include <QVariant>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QSqlQuery>
#include <QTabWidget>
#include <QVBoxLayout>

DevicePanel::DevicePanel(QWidget* parent)
    : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    auto* line = new QHBoxLayout;
    m_caption = new QLabel(this);
    m_address = new QLabel(this);
    m_address->setObjectName(QStringLiteral("currentDevice"));
    line->addWidget(m_caption);
    line->addWidget(m_address);
    line->addStretch();
    layout->addLayout(line);

    m_tabs = new QTabWidget(this);
    m_chart = new ChartWidget(m_tabs);
    m_realTime = new RealTimeWidget(m_tabs);
    m_dataLog = new LogWidget(LogWidget::DataLog, m_tabs);
    m_setLog = new LogWidget(LogWidget::SetLog, m_tabs);
    m_statusLog = new LogWidget(LogWidget::StatusLog, m_tabs);
    m_devInfo = new DevInfoWidget(m_tabs);
    m_tabs->addTab(m_chart, QString());
    m_tabs->addTab(m_realTime, QString());
    m_tabs->addTab(m_dataLog, QString());
    m_tabs->addTab(m_setLog, QString());
    m_tabs->addTab(m_statusLog, QString());
    m_tabs->addTab(m_devInfo, QString());
    layout->addWidget(m_tabs);
    retranslateUi();
}

void DevicePanel::retranslateUi()
{
    m_caption->setText(tr("Current Device:"));
    m_tabs->setTabText(ChartTab, tr("Chart"));
    m_tabs->setTabText(RealTimeTab, tr("Real time data"));
    m_tabs->setTabText(DataLogTab, tr("Data log"));
    m_tabs->setTabText(SetLogTab, tr("Set log"));
    m_tabs->setTabText(StatusLogTab, tr("Status log"));
    m_tabs->setTabText(DevInfoTab, tr("Dev info"));
}

void DevicePanel::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslateUi();
    QWidget::changeEvent(event);
}

void DevicePanel::handleDevItemChanged(QString ipv4)
{
    if (!isVisible())
        return;
    m_device = ipv4;
    m_threePhase = false;
    QSqlQuery query(Database::instance()->getDatabase(QStringLiteral("Global")));
    query.prepare(QStringLiteral("select is_three_phase from device where device_ip=?;"));
    query.addBindValue(ipv4);
    if (query.exec() && query.next())
        m_threePhase = query.value(0).toInt() != 0;

    m_chart->changeDevice(m_threePhase);
    m_realTime->setThreePhase(m_threePhase);
    m_dataLog->setDevice(ipv4, m_threePhase);
    m_setLog->setDevice(ipv4, false);
    m_statusLog->setDevice(ipv4, false);
    m_address->setText(ipv4);

    const SNMPData data = SNMP::instance()->getData(ipv4);
    m_realTime->showData(data);
    m_devInfo->showData(data);
}

void DevicePanel::handleDeviceData(QString ipv4, SNMPData data)
{
    if (!isVisible() || ipv4 != m_device)
        return;
    m_chart->addData(data);
    if (m_tabs->currentIndex() == RealTimeTab)
        m_realTime->showData(data);
    else if (m_tabs->currentIndex() == DevInfoTab)
        m_devInfo->showData(data);
}
