#include "SettingsDialog.h"

#include "AddHostDialog.h"
#include "AgentDatabase.h"
#include "AgentSettings.h"
#include "FileDialog.h"
#include "MessageBox.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

SettingsDialog::SettingsDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    buildUi();
    retranslate();
    loadSettings();

    connect(m_hostTable, &QTableWidget::cellClicked, this, &SettingsDialog::hostClicked);
    connect(m_runApp, &QCheckBox::clicked, this, &SettingsDialog::onRadioBtnOffAPP);
    connect(m_browse, &QPushButton::clicked, this, &SettingsDialog::onBrowseOffAPP);
    connect(m_add, &QPushButton::clicked, this, &SettingsDialog::addSNMPHost);
    connect(m_modify, &QPushButton::clicked, this, &SettingsDialog::modifySNMPHost);
    connect(m_remove, &QPushButton::clicked, this, &SettingsDialog::removeSNMPHost);
    connect(m_sure, &QPushButton::clicked, this, &SettingsDialog::saveSettings);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void SettingsDialog::buildUi()
{
    resize(405, 540);
    auto* layout = new QVBoxLayout(this);
    m_tabs = new QTabWidget(this);
    layout->addWidget(m_tabs);
    layout->addStretch();
    auto* buttons = new QHBoxLayout;
    m_sure = new QPushButton(this);
    m_cancel = new QPushButton(this);
    buttons->addStretch();
    buttons->addWidget(m_sure);
    buttons->addWidget(m_cancel);
    layout->addLayout(buttons);

    // General
    auto* general = new QWidget(m_tabs);
    auto* generalLayout = new QVBoxLayout(general);
    m_hostGroup = new QGroupBox(general);
    auto* hostLayout = new QVBoxLayout(m_hostGroup);
    m_hostTable = new QTableWidget(0, 3, m_hostGroup);
    m_hostTable->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    m_hostTable->horizontalHeader()->setStretchLastSection(true);
    m_hostTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_hostTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    hostLayout->addWidget(m_hostTable);
    auto* hostButtons = new QHBoxLayout;
    m_add = new QPushButton(m_hostGroup);
    m_modify = new QPushButton(m_hostGroup);
    m_remove = new QPushButton(m_hostGroup);
    hostButtons->addStretch();
    hostButtons->addWidget(m_add);
    hostButtons->addWidget(m_modify);
    hostButtons->addWidget(m_remove);
    hostLayout->addLayout(hostButtons);
    generalLayout->addWidget(m_hostGroup);

    m_warningGroup = new QGroupBox(general);
    auto* warningLayout = new QVBoxLayout(m_warningGroup);
    m_popup = new QCheckBox(m_warningGroup);
    warningLayout->addWidget(m_popup);
    generalLayout->addWidget(m_warningGroup);

    auto* appGroup = new QGroupBox(general);
    auto* appLayout = new QVBoxLayout(appGroup);
    m_runApp = new QCheckBox(appGroup);
    appLayout->addWidget(m_runApp);
    auto* pathRow = new QHBoxLayout;
    m_appPath = new QLineEdit(appGroup);
    m_browse = new QPushButton(appGroup);
    pathRow->addWidget(m_appPath);
    pathRow->addWidget(m_browse);
    appLayout->addLayout(pathRow);
    auto* execRow = new QHBoxLayout;
    m_execLabel = new QLabel(appGroup);
    m_execTime = new QLineEdit(appGroup);
    m_execTime->setValidator(new QIntValidator(1, 90, m_execTime));
    m_execUnit = new QLabel(appGroup);
    execRow->addStretch();
    execRow->addWidget(m_execLabel);
    execRow->addWidget(m_execTime);
    execRow->addWidget(m_execUnit);
    appLayout->addLayout(execRow);
    generalLayout->addWidget(appGroup);
    m_tabs->addTab(general, QString());

    // Shutdown condition
    auto* condition = new QWidget(m_tabs);
    auto* grid = new QGridLayout(condition);
    m_acFailedLabel = new QLabel(condition);
    m_acFailedTime = new QLineEdit(condition);
    m_acFailedTime->setValidator(new QIntValidator(1, 60, m_acFailedTime));
    m_acFailedUnit = new QLabel(condition);
    m_battLowLabel = new QLabel(condition);
    m_battLowTime = new QLineEdit(condition);
    m_battLowTime->setValidator(new QIntValidator(1, 60, m_battLowTime));
    m_battLowUnit = new QLabel(condition);
    m_capacityLabel = new QLabel(condition);
    m_capacity = new QLineEdit(condition);
    m_capacity->setValidator(new QIntValidator(1, 100, m_capacity));
    grid->addWidget(m_acFailedLabel, 0, 0);
    grid->addWidget(m_acFailedTime, 0, 1);
    grid->addWidget(m_acFailedUnit, 0, 2);
    grid->addWidget(m_battLowLabel, 1, 0);
    grid->addWidget(m_battLowTime, 1, 1);
    grid->addWidget(m_battLowUnit, 1, 2);
    grid->addWidget(m_capacityLabel, 2, 0);
    grid->addWidget(m_capacity, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("%"), condition), 2, 2);
    grid->setRowStretch(3, 1);
    m_tabs->addTab(condition, QString());
}

void SettingsDialog::retranslate()
{
    setWindowTitle(tr("Settings"));
    m_tabs->setTabText(0, tr("General"));
    m_tabs->setTabText(1, tr("Shutdown Condition"));
    m_hostGroup->setTitle(tr("Host connection"));
    m_hostTable->setHorizontalHeaderLabels({tr("Host address"), tr("SNMP port"), tr("SNMP version")});
    m_add->setText(tr("Add"));
    m_modify->setText(tr("Modify"));
    m_remove->setText(tr("Remove"));
    m_warningGroup->setTitle(tr("Warning messages"));
    m_popup->setText(tr("Popup warning message"));
    m_runApp->setText(tr("Run application before shutdown computer"));
    m_browse->setText(tr("Browse..."));
    m_execLabel->setText(tr("Maximum execution time:"));
    m_execUnit->setText(tr("minute(s)"));
    m_acFailedLabel->setText(tr("AC failed shutdown time:"));
    m_acFailedUnit->setText(tr("minute(s)"));
    m_battLowLabel->setText(tr("Battery low shutdown time:"));
    m_battLowUnit->setText(tr("minute(s)"));
    m_capacityLabel->setText(tr("AC failed shutdown capacity:"));
    m_sure->setText(tr("Sure"));
    m_cancel->setText(tr("Cancel"));
    for (int row = 0; row < m_hostTable->rowCount(); ++row) {
        QTableWidgetItem* item = m_hostTable->item(row, 2);
        if (item)
            item->setText(item->data(Qt::UserRole).toInt() == 0   ? tr("SNMP v1/v2")
                              : item->data(Qt::UserRole).toInt() == 1 ? tr("SNMP v3")
                                                                      : tr("Unknown"));
    }
}

void SettingsDialog::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QDialog::changeEvent(event);
}

void SettingsDialog::loadSettings()
{
    const QVariant pop = AgentSettings::read(QStringLiteral("system/pop_warning"));
    if (pop.isValid()) {
        m_popup->setChecked(pop.toBool());
        m_popupAtOpen = pop.toBool();
    } else {
        AgentSettings::write(QStringLiteral("system/pop_warning"), true);
        m_popup->setChecked(true);
    }

    const QVariant enable = AgentSettings::read(QStringLiteral("system/shutdown_app_enable"));
    if (enable.isValid()) {
        m_runApp->setChecked(enable.toBool());
    } else {
        AgentSettings::write(QStringLiteral("system/shutdown_app_enable"), false);
        m_runApp->setChecked(false);
    }
    onRadioBtnOffAPP(m_runApp->isChecked());

    const QVariant app = AgentSettings::read(QStringLiteral("system/shutdown_app"));
    if (app.isValid())
        m_appPath->setText(app.toString());

    const QVariant exec = AgentSettings::read(QStringLiteral("system/shutdown_exec_time"));
    if (exec.isValid()) {
        m_execTime->setText(exec.toString());
    } else {
        m_execTime->setText(QStringLiteral("15"));
        AgentSettings::write(QStringLiteral("system/shutdown_exec_time"), 15);
    }

    QSqlQuery query(AgentDatabase::database());
    if (query.exec(QStringLiteral("select ip, port, version from snmp_session;"))) {
        while (query.next()) {
            const int row = m_hostTable->rowCount();
            m_hostTable->insertRow(row);
            setHostRow(row, query.value(0).toString(), query.value(1).toInt(), query.value(2).toInt());
        }
    }

    const struct
    {
        const char* key;
        QLineEdit* edit;
        int fallback;
    } numbers[] = {{"shutdown/ac_failed_time", m_acFailedTime, 5},
                   {"shutdown/batt_low_time", m_battLowTime, 5},
                   {"shutdown/ac_failed_capacity", m_capacity, 20}};
    for (const auto& number : numbers) {
        const QVariant value = AgentSettings::read(QString::fromLatin1(number.key));
        if (value.isValid()) {
            number.edit->setText(value.toString());
        } else {
            number.edit->setText(QString::number(number.fallback));
            AgentSettings::write(QString::fromLatin1(number.key), number.fallback);
        }
    }
}

void SettingsDialog::setHostRow(int row, const QString& ip, int port, int version)
{
    const QString versionText = version == 0 ? tr("SNMP v1/v2") : version == 1 ? tr("SNMP v3") : tr("Unknown");
    const QStringList cells{ip, QString::number(port), versionText};
    for (int column = 0; column < cells.size(); ++column) {
        auto* item = new QTableWidgetItem(cells.at(column));
        item->setTextAlignment(Qt::AlignCenter);
        if (column == 2)
            item->setData(Qt::UserRole, version);
        m_hostTable->setItem(row, column, item);
    }
}

void SettingsDialog::hostClicked(int row, int column)
{
    m_selectedRow = row;
}

void SettingsDialog::onRadioBtnOffAPP(bool checked)
{
    m_appPath->setEnabled(checked);
    m_browse->setEnabled(checked);
    m_execTime->setEnabled(checked);
}

void SettingsDialog::onBrowseOffAPP()
{
    const QString file = FileDialog::getOpenFileName(this, tr("Browse shutdown application"),
                                                     QCoreApplication::applicationDirPath());
    if (!file.isEmpty())
        m_appPath->setText(file);
}

void SettingsDialog::addSNMPHost()
{
    AddHostDialog dialog(AddHostDialog::AddMode, SNMPInfo(), this);
    connect(&dialog, &AddHostDialog::hostAdded, this, &SettingsDialog::hostAddedEvent);
    dialog.exec();
}

void SettingsDialog::hostAddedEvent(SNMPInfo info)
{
    const int row = m_hostTable->rowCount();
    m_hostTable->insertRow(row);
    setHostRow(row, info.ip, info.port, info.version);
    emit hostAdded(info);
}

void SettingsDialog::modifySNMPHost()
{
    if (m_selectedRow < 0 || m_selectedRow >= m_hostTable->rowCount())
        return;
    const QString ip = m_hostTable->item(m_selectedRow, 0)->text();
    QSqlQuery query(AgentDatabase::database());
    query.prepare(QStringLiteral(
        "select port, version, community, authType, privType, userName, password from snmp_session where ip=:1;"));
    query.bindValue(QStringLiteral(":1"), ip);
    SNMPInfo info;
    info.ip = ip;
    if (query.exec() && query.next()) {
        info.port = query.value(0).toInt();
        info.version = query.value(1).toInt();
        if (info.version == 0) {
            info.community = query.value(2).toString();
        } else if (info.version == 1) {
            info.authType = query.value(3).toInt();
            info.privType = query.value(4).toInt();
            info.userName = query.value(5).toString();
            info.password = query.value(6).toString();
        }
    }
    AddHostDialog dialog(AddHostDialog::ModifyMode, info, this);
    connect(&dialog, &AddHostDialog::hostModified, this, &SettingsDialog::hostModifiedEvent);
    dialog.exec();
}

void SettingsDialog::hostModifiedEvent(SNMPInfo infoNew, SNMPInfo infoOld)
{
    if (m_selectedRow >= 0 && m_selectedRow < m_hostTable->rowCount())
        setHostRow(m_selectedRow, infoNew.ip, infoNew.port, infoNew.version);
    emit hostModified(infoNew, infoOld);
}

void SettingsDialog::removeSNMPHost()
{
    if (m_selectedRow < 0 || m_selectedRow >= m_hostTable->rowCount())
        return;
    const QString ip = m_hostTable->item(m_selectedRow, 0)->text();
    const QString peer = ip + QLatin1Char(':') + m_hostTable->item(m_selectedRow, 1)->text();
    const int answer = MessageBox::information(this, tr("Information"), tr("Are you sure to remove host %1").arg(ip),
                                               tr("Sure"), tr("Cancel"));
    if (answer != 0)
        return;
    QSqlQuery query(AgentDatabase::database());
    query.prepare(QStringLiteral("delete from snmp_session where ip=:1;"));
    query.bindValue(QStringLiteral(":1"), ip);
    query.exec();
    m_hostTable->removeRow(m_selectedRow);
    emit hostRemoved(peer);
    m_selectedRow = -1;
}

void SettingsDialog::saveSettings()
{
    if (m_runApp->isChecked()) {
        const QString path = m_appPath->text();
        const QFileInfo file(path);
        if (path.isEmpty() || !file.exists() || !file.isFile()) {
            MessageBox::warning(this, tr("Warning"), tr("Shutdown application is not exist!"), tr("Sure"));
            return;
        }
        bool ok = false;
        const int limit = m_execTime->text().toInt(&ok, 10);
        if (!ok || limit <= 0 || limit > 90) {
            MessageBox::warning(this, tr("Warning"), tr("Maximun execution time is invalid!"), tr("Sure"));
            return;
        }
        AgentSettings::write(QStringLiteral("system/shutdown_app"), path);
        AgentSettings::write(QStringLiteral("system/shutdown_exec_time"), limit);
    }
    AgentSettings::write(QStringLiteral("system/shutdown_app_enable"), m_runApp->isChecked());
    if (m_popup->isChecked() != m_popupAtOpen) {
        AgentSettings::write(QStringLiteral("system/pop_warning"), m_popup->isChecked());
        emit popupStateChanged(m_popup->isChecked());
    }
    AgentSettings::write(QStringLiteral("shutdown/ac_failed_time"), m_acFailedTime->text().toInt());
    AgentSettings::write(QStringLiteral("shutdown/batt_low_time"), m_battLowTime->text().toInt());
    AgentSettings::write(QStringLiteral("shutdown/ac_failed_capacity"), m_capacity->text().toInt());
    accept();
}
