#include "SysSettingsDialog.h"

#include "AppContext.h"
#include "MessageBox.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QGridLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QSettings>
#include <QVBoxLayout>

namespace {
const uint kMinCycle = 1000;
}

SysSettingsDialog::SysSettingsDialog(QWidget* parent) : QDialog(parent)
{
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    resize(300, 300);
    auto* box = new QVBoxLayout(this);
    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    auto* content = new QWidget(scroll);
    m_grid = new QGridLayout(content);
    scroll->setWidget(content);
    box->addWidget(scroll);

    for (int i = 0; i < 7; ++i) {
        m_captions[i] = new QLabel(content);
        m_grid->addWidget(m_captions[i], i, 0);
    }
    m_version = new QComboBox(content);
    m_version->addItems({QStringLiteral("v1"), QStringLiteral("v2c")});
    m_grid->addWidget(m_version, 0, 1);
    m_cycle = addRow(1, 30000, "ms");
    m_timeout = addRow(2, 10000, "ms");
    m_store = addRow(3, 100000, "s");
    m_retry = addRow(4, 10, nullptr);
    m_snmpPort = addRow(5, 65535, nullptr);
    m_trapPort = addRow(6, 65535, nullptr);
    m_grid->setRowStretch(7, 1);

    // Load first, connect afterwards: loading sends nothing.
    QSettings* settings = AppContext::instance()->settings;
    if (settings) {
        settings->beginGroup(QStringLiteral("snmp"));
        m_record.version = settings->value(QStringLiteral("snmp_version"), 0).toInt();
        m_record.cycle = settings->value(QStringLiteral("polling_cycle"), 5000).toUInt();
        m_record.timeout = settings->value(QStringLiteral("polling_timout"), 100).toUInt();
        m_record.store = settings->value(QStringLiteral("store_interval"), 60).toUInt();
        m_record.retry = settings->value(QStringLiteral("polling_retry"), 1).toUInt();
        m_record.snmpPort = ushort(settings->value(QStringLiteral("snmp_port"), 161).toUInt());
        m_record.trapPort = ushort(settings->value(QStringLiteral("trap_port"), 162).toUInt());
        settings->endGroup();
    }
    m_version->setCurrentIndex(m_record.version);
    m_cycle->setText(QString::number(m_record.cycle));
    m_timeout->setText(QString::number(m_record.timeout));
    m_store->setText(QString::number(m_record.store));
    m_retry->setText(QString::number(m_record.retry));
    m_snmpPort->setText(QString::number(m_record.snmpPort));
    m_trapPort->setText(QString::number(m_record.trapPort));

    connect(m_version, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &SysSettingsDialog::changeSNMPVersion);
    connect(m_cycle, &QLineEdit::editingFinished, this, &SysSettingsDialog::changePollingCycle);
    connect(m_timeout, &QLineEdit::editingFinished, this, &SysSettingsDialog::changePollingTimeout);
    connect(m_store, &QLineEdit::editingFinished, this, &SysSettingsDialog::changeStoreInterval);
    connect(m_retry, &QLineEdit::editingFinished, this, &SysSettingsDialog::changePollingRetry);
    connect(m_snmpPort, &QLineEdit::editingFinished, this, &SysSettingsDialog::onSnmpPortChanged);
    connect(m_trapPort, &QLineEdit::editingFinished, this, &SysSettingsDialog::onTrapPortChanged);
    retranslate();
}

QLineEdit* SysSettingsDialog::addRow(int row, int top, const char* unit)
{
    QWidget* content = m_captions[row]->parentWidget();
    auto* edit = new QLineEdit(content);
    edit->setValidator(new QIntValidator(0, top, edit));
    m_grid->addWidget(edit, row, 1);
    if (unit) {
        m_units[row] = new QLabel(QString::fromLatin1(unit), content);
        m_grid->addWidget(m_units[row], row, 2);
    }
    return edit;
}

void SysSettingsDialog::retranslate()
{
    setWindowTitle(QCoreApplication::translate("SettingsDialog", "System Settings"));
    m_captions[0]->setText(QCoreApplication::translate("SettingsDialog", "SNMP Version    :"));
    m_captions[1]->setText(QCoreApplication::translate("SettingsDialog", "Polling cycle   :"));
    m_captions[2]->setText(QCoreApplication::translate("SettingsDialog", "Polling timeout :"));
    m_captions[3]->setText(QCoreApplication::translate("SettingsDialog", "Store data cycle:"));
    m_captions[4]->setText(QCoreApplication::translate("SettingsDialog", "Polling retry   :"));
    m_captions[5]->setText(QCoreApplication::translate("SettingsDialog", "SNMP Port       :"));
    m_captions[6]->setText(QCoreApplication::translate("SettingsDialog", "Trap Port       :"));
}

void SysSettingsDialog::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QDialog::changeEvent(event);
}

void SysSettingsDialog::writeSetting(const char* key, const QVariant& value)
{
    if (QSettings* settings = AppContext::instance()->settings)
        settings->setValue(QStringLiteral("snmp/") + QLatin1String(key), value);
}

void SysSettingsDialog::changeSNMPVersion(int index)
{
    m_record.version = index;
    writeSetting("snmp_version", index);
    emit snmpVersionChanged(index);
}

void SysSettingsDialog::changePollingCycle()
{
    bool ok = false;
    const uint value = m_cycle->text().toUInt(&ok);
    if (!ok || value == m_record.cycle)
        return;
    if (value < kMinCycle) {
        MessageBox::information(nullptr, QCoreApplication::translate("SettingsDialog", "Information"),
                                QCoreApplication::translate("SettingsDialog", "Polling cycle must greater than %1!").arg(kMinCycle),
                                QCoreApplication::translate("SettingsDialog", "Sure"));
        return;
    }
    m_record.cycle = value;
    writeSetting("polling_cycle", value);
    emit pollingCycleChanged(value);
}

void SysSettingsDialog::changePollingTimeout()
{
    bool ok = false;
    const uint value = m_timeout->text().toUInt(&ok);
    if (!ok || value == m_record.timeout)
        return;
    m_record.timeout = value;
    writeSetting("polling_timout", value);
    emit pollingTimeoutChanged(value);
}

void SysSettingsDialog::changeStoreInterval()
{
    bool ok = false;
    const uint value = m_store->text().toUInt(&ok);
    if (!ok || value == m_record.store)
        return;
    m_record.store = value;
    writeSetting("store_interval", value);
    emit storeIntervalChanged(value);
}

void SysSettingsDialog::changePollingRetry()
{
    bool ok = false;
    const uint value = m_retry->text().toUInt(&ok);
    if (!ok || value == m_record.retry)
        return;
    m_record.retry = value;
    writeSetting("polling_retry", value);
    emit pollingRetryChanged(int(value));
}

void SysSettingsDialog::onSnmpPortChanged()
{
    bool ok = false;
    const uint value = m_snmpPort->text().toUInt(&ok);
    if (!ok || value > 65535 || value == m_record.snmpPort)
        return;
    m_record.snmpPort = ushort(value);
    writeSetting("snmp_port", value);
    emit snmpPortChanged(ushort(value));
}

void SysSettingsDialog::onTrapPortChanged()
{
    bool ok = false;
    const uint value = m_trapPort->text().toUInt(&ok);
    if (!ok || value > 65535 || value == m_record.trapPort)
        return;
    m_record.trapPort = ushort(value);
    writeSetting("trap_port", value);
    emit trapPortChanged(ushort(value));
}
