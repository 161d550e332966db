#include "SettingsDialog.h"

#include "Database.h"
#include "MessageBox.h"
#include "SNMP.h"

#include <QVariant>
#include <QEvent>
#include <QHeaderView>
#include <QPushButton>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cmath>

namespace {

const char* const kManagementItems[] = {
    QT_TRANSLATE_NOOP("SettingsDialog", "Name"),
    QT_TRANSLATE_NOOP("SettingsDialog", "Position"),
    QT_TRANSLATE_NOOP("SettingsDialog", "Administrator"),
};

const char* const kManagementColumns[] = {"name", "position", "admin"};

struct ConfigRow
{
    const char* item;
    int type;
    int decimals; // 0: whole number; 1: tenths; 2: hundredths
};

const ConfigRow kConfigRows[] = {
    {QT_TRANSLATE_NOOP("SettingsDialog", "UPS Max Input Volt.(V)"), 4, 1},
    {QT_TRANSLATE_NOOP("SettingsDialog", "UPS Min Input Volt.(V)"), 5, 1},
    {QT_TRANSLATE_NOOP("SettingsDialog", "UPS Max Output Volt.(V)"), 6, 1},
    {QT_TRANSLATE_NOOP("SettingsDialog", "UPS Min Output Volt.(V)"), 7, 1},
    {QT_TRANSLATE_NOOP("SettingsDialog", "UPS Temp. Alarm(\u2103)"), 8, 0},
    {QT_TRANSLATE_NOOP("SettingsDialog", "UPS Load Alarm(%)"), 9, 0},
    {QT_TRANSLATE_NOOP("SettingsDialog", "UPS Low Batt. Volt.(V)"), 10, 2},
    {QT_TRANSLATE_NOOP("SettingsDialog", "UPS Low Batt. Remain Time(min)"), 11, 0},
    {QT_TRANSLATE_NOOP("SettingsDialog", "Env Over Temp.(\u2103)"), 15, 0},
    {QT_TRANSLATE_NOOP("SettingsDialog", "Env Under Temp.(\u2103)"), 16, 0},
    {QT_TRANSLATE_NOOP("SettingsDialog", "Env Over Humi.(%RH)"), 17, 0},
    {QT_TRANSLATE_NOOP("SettingsDialog", "Env Under Humi.(%RH)"), 18, 0},
};
constexpr int kConfigRowCount = int(sizeof(kConfigRows) / sizeof(kConfigRows[0]));

const char* const kControlItems[] = {
    QT_TRANSLATE_NOOP("SettingsDialog", "Power off"),
    QT_TRANSLATE_NOOP("SettingsDialog", "Buzzer"),
    QT_TRANSLATE_NOOP("SettingsDialog", "Batt. self-check"),
};

QString cardText(const char* field)
{
    return QString::fromUtf8(field, int(qstrnlen(field, SNMPData::kTextSize)));
}

QTableWidgetItem* readOnlyItem()
{
    auto* item = new QTableWidgetItem;
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}

QTableWidget* makeTable(QWidget* parent, int rows, int columns, int sectionWidth)
{
    auto* table = new QTableWidget(rows, columns, parent);
    table->horizontalHeader()->setDefaultSectionSize(sectionWidth);
    table->horizontalHeader()->setStretchLastSection(true);
    table->verticalHeader()->setVisible(false);
    return table;
}

} // namespace

int SettingsDialog::configType(int row)
{
    return row >= 0 && row < kConfigRowCount ? kConfigRows[row].type : 0;
}

int SettingsDialog::configValue(int row, const QString& text)
{
    if (row < 0 || row >= kConfigRowCount)
        return 0;
    const QString trimmed = text.trimmed();
    switch (kConfigRows[row].decimals) {
    case 1:
        return int(std::lround(trimmed.toDouble() * 10.0));
    case 2:
        return int(std::lround(trimmed.toDouble() * 100.0));
    default:
        return trimmed.toInt();
    }
}

SettingsDialog::SettingsDialog(const QString& ipv4, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_device(ipv4)
{
    resize(400, 400);
    auto* layout = new QVBoxLayout(this);
    m_tabs = new QTabWidget(this);
    layout->addWidget(m_tabs);

    m_management = makeTable(m_tabs, 3, 2, 175);
    m_config = makeTable(m_tabs, kConfigRowCount, 2, 175);
    m_control = makeTable(m_tabs, 3, 3, 115);
    m_control->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tabs->addTab(m_management, QString());
    m_tabs->addTab(m_config, QString());
    m_tabs->addTab(m_control, QString());

    for (int row = 0; row < 3; ++row)
        m_management->setItem(row, 0, readOnlyItem());
    for (int row = 0; row < kConfigRowCount; ++row)
        m_config->setItem(row, 0, readOnlyItem());
    for (int row = 0; row < 3; ++row) {
        m_control->setItem(row, 0, readOnlyItem());
        m_enable[row] = new QPushButton(m_control);
        m_disable[row] = new QPushButton(m_control);
        m_control->setCellWidget(row, 1, m_enable[row]);
        m_control->setCellWidget(row, 2, m_disable[row]);
    }
    retranslateUi();

    // Fill the values first and connect afterwards, so that opening sends nothing.
    const SNMPData data = SNMP::instance()->getData(ipv4);
    const QString management[] = {cardText(data.sys_name), cardText(data.sys_location), cardText(data.sys_contact)};
    for (int row = 0; row < 3; ++row)
        m_management->setItem(row, 1, new QTableWidgetItem(management[row]));

    const int configValues[] = {data.ups_max_input_volt, data.ups_min_input_volt, data.ups_max_output_volt,
                                data.ups_min_output_volt, data.ups_temp_alarm, data.ups_load_alarm,
                                data.ups_low_batt_volt, data.ups_low_batt_remain_time, data.env_over_temp,
                                data.env_under_temp, data.env_over_humi, data.env_under_humi};
    for (int row = 0; row < kConfigRowCount; ++row) {
        QString text;
        switch (kConfigRows[row].decimals) {
        case 1:
            text = QString::number(configValues[row] * 0.1, 'f', 1);
            break;
        case 2:
            text = QString::number(configValues[row] * 0.01, 'f', 2);
            break;
        default:
            text = QString::number(configValues[row]);
            break;
        }
        m_config->setItem(row, 1, new QTableWidgetItem(text));
    }

    connect(m_management, &QTableWidget::itemChanged, this, &SettingsDialog::managementChangedEvent);
    connect(m_config, &QTableWidget::itemChanged, this, &SettingsDialog::configChangedEvent);
    for (int row = 0; row < 3; ++row) {
        connect(m_enable[row], &QPushButton::clicked, this, &SettingsDialog::controlEvent);
        connect(m_disable[row], &QPushButton::clicked, this, &SettingsDialog::controlEvent);
    }
}

void SettingsDialog::retranslateUi()
{
    setWindowTitle(tr("Settings"));
    m_tabs->setTabText(0, tr("Management Info"));
    m_tabs->setTabText(1, tr("Device Configure"));
    m_tabs->setTabText(2, tr("Device Control"));
    m_management->setHorizontalHeaderLabels({tr("Item"), tr("Value")});
    m_config->setHorizontalHeaderLabels({tr("Item"), tr("Value")});
    m_control->setHorizontalHeaderLabels({tr("Item"), tr("Enable"), tr("Disable")});
    // Item texts change only column 0, which is not connected to anything
    // that reacts to the management or configuration column.
    const QSignalBlocker blockManagement(m_management);
    const QSignalBlocker blockConfig(m_config);
    for (int row = 0; row < 3; ++row)
        m_management->item(row, 0)->setText(tr(kManagementItems[row]));
    for (int row = 0; row < kConfigRowCount; ++row)
        m_config->item(row, 0)->setText(tr(kConfigRows[row].item));
    for (int row = 0; row < 3; ++row) {
        m_control->item(row, 0)->setText(tr(kControlItems[row]));
        m_enable[row]->setText(tr("Enable"));
        m_disable[row]->setText(tr("Disable"));
    }
}

void SettingsDialog::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslateUi();
    QDialog::changeEvent(event);
}

void SettingsDialog::showResult(bool ok)
{
    MessageBox::information(this, tr("Information"), tr("Modified %1!").arg(ok ? tr("success") : tr("failed")),
                            tr("Sure"));
}

void SettingsDialog::managementChangedEvent(QTableWidgetItem* item)
{
    if (!item || item->column() != 1 || item->row() < 0 || item->row() > 2)
        return;
    QSqlQuery query(Database::instance()->getDatabase(QStringLiteral("Global")));
    query.prepare(QStringLiteral("update device set %1=? where device_ip=?;")
                      .arg(QLatin1String(kManagementColumns[item->row()])));
    query.addBindValue(item->text());
    query.addBindValue(m_device);
    showResult(query.exec());
}

void SettingsDialog::configChangedEvent(QTableWidgetItem* item)
{
    if (!item || item->column() != 1 || item->row() < 0 || item->row() >= kConfigRowCount)
        return;
    const int value = configValue(item->row(), item->text());
    const bool ok = SNMP::instance()->setValue(m_device, configType(item->row()), 1, QString::number(value));
    showResult(ok);
}

void SettingsDialog::controlEvent()
{
    QObject* button = sender();
    for (int row = 0; row < 3; ++row) {
        const bool enable = button == m_enable[row];
        if (!enable && button != m_disable[row])
            continue;
        const bool ok = SNMP::instance()->setValue(m_device, 12 + row, 1, QString::number(enable ? 2 : 1));
        MessageBox::information(this, tr("Information"),
                                tr("%1 %2 %3!")
                                    .arg(m_control->item(row, 0)->text(), enable ? tr("enable") : tr("disable"),
                                         ok ? tr("success") : tr("failed")),
                                tr("Sure"));
        return;
    }
}
