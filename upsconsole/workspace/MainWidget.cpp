#include "MainWidget.h"

#include "DeviceDialogs.h"
#include "DialogStatus.h"
#include "IconItemGraphicsView.h"
#include "MainMenu.h"
#include "SNMP.h"
#include "WorkspaceCommon.h"

#include <QEvent>
#include <QHash>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QSplitter>
#include <QSqlQuery>
#include <QStackedWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "DevicePanel.h"
#include "SNMPTrapd.h"

namespace {
const int kColumns = 12;
}

MainWidget::MainWidget(QWidget* parent) : QWidget(parent)
{
    auto* box = new QVBoxLayout(this);
    m_splitter = new QSplitter(Qt::Vertical, this);
    m_stack = new QStackedWidget(m_splitter);

    m_table = new QTableWidget(0, kColumns, m_stack);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setContextMenuPolicy(Qt::CustomContextMenu);
    m_stack->addWidget(m_table);

    m_iconView = new IconItemGraphicsView(m_stack);
    m_stack->addWidget(m_iconView);

    auto* panel = new DevicePanel(m_splitter);
    m_panel = panel;
    m_panel->hide();
    m_splitter->addWidget(m_stack);
    m_splitter->addWidget(m_panel);
    m_splitter->setStretchFactor(0, 4);
    m_splitter->setStretchFactor(1, 6);
    box->addWidget(m_splitter);

    auto* row = new QHBoxLayout;
    m_note = new QLabel(this);
    m_btnViewMore = new QPushButton(this);
    row->addWidget(m_note);
    row->addStretch();
    row->addWidget(m_btnViewMore);
    box->addLayout(row);

    m_status = new DialogStatus(this);

    connect(m_table, &QTableWidget::cellClicked, this, &MainWidget::handleTableClickedEvent);
    connect(m_table, &QTableWidget::cellDoubleClicked, this, &MainWidget::handleTableDoubleClickedEvent);
    connect(m_table, &QWidget::customContextMenuRequested, this, &MainWidget::displayMenuOnTable);
    connect(SNMPTrapd::instance(), &SNMPTrapd::trapReady, this, &MainWidget::onTrapReady);
    connect(m_btnViewMore, &QPushButton::clicked, this, &MainWidget::onBtnViewMoreClicked);
    connect(m_iconView, &IconItemGraphicsView::addSuccess, this, &MainWidget::handleAddSuccess);
    connect(m_iconView, &IconItemGraphicsView::delSuccess, this, &MainWidget::handleDelSuccess);
    connect(m_iconView, &IconItemGraphicsView::refreshDev, this, &MainWidget::refreshStation);
    connect(m_iconView, &IconItemGraphicsView::devItemClicked, this, &MainWidget::showDeviceInPanel);
    connect(m_iconView, &IconItemGraphicsView::staItemClicked, this, &MainWidget::handleStationChanged);
    if (SNMP::exists()) {
        SNMP* engine = SNMP::instance();
        connect(engine, &SNMP::devDataChanged, panel, &DevicePanel::handleDeviceData);
        connect(engine, &SNMP::devDataChanged, this, &MainWidget::updateDeviceRow);
        connect(engine, &SNMP::stateChanged, this, &MainWidget::handleDevStatusChanged);
    }
    retranslate();
}

void MainWidget::retranslate()
{
    m_table->setHorizontalHeaderLabels({tr("IP"), tr("Name"), tr("Position"), tr("Device Status"),
                                        tr("Communication Status"), tr("Temperature(℃)"), tr("Load(%)"),
                                        tr("Ouput Voltage(V)"), tr("Battery Capacity(%)"), tr("Input Status"),
                                        tr("Battery Status"), tr("Administrator")});
    m_btnViewMore->setText(tr("View more"));
    if (m_noteShown)
        m_note->setText(tr("New UPS Status Triggered"));
}

void MainWidget::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
        // Status texts of the rows follow the language as well.
        if (!m_iconMode)
            refreshStation();
    }
    QWidget::changeEvent(event);
}

void MainWidget::handleStationChanged(int id, QString station)
{
    m_stationId = id;
    m_stationName = station;
    m_iconView->setStation(id, station);
    refreshStation();
}

void MainWidget::handleAddStationEvent()
{
    refreshStation();
}

void MainWidget::setIconMode(bool iconMode)
{
    m_iconMode = iconMode;
    m_stack->setCurrentIndex(iconMode ? 1 : 0);
    refreshStation();
}

void MainWidget::showDevicePanel(bool show)
{
    m_panel->setVisible(show);
}

void MainWidget::refreshStation()
{
    if (m_iconMode) {
        m_iconView->loadStation();
        return;
    }
    m_table->clearContents();
    m_table->setRowCount(0);
    m_ipList.clear();
    m_filled.clear();
    fillStation(m_stationId);
    m_table->setRowCount(m_ipList.size());
}

void MainWidget::fillStation(int stationId)
{
    if (m_filled.contains(stationId))
        return; // a parent loop in the stored tree must not recurse forever
    m_filled.insert(stationId);
    QSqlDatabase db = Workspace::globalDb();
    QSqlQuery devices(db);
    devices.prepare(QStringLiteral("select device_ip from device where station_id=? order by device_ip;"));
    devices.addBindValue(stationId);
    if (devices.exec()) {
        while (devices.next()) {
            const QString ip = devices.value(0).toString();
            const int row = m_ipList.size();
            m_table->setRowCount(row + 1);
            for (int c = 0; c < kColumns; ++c) {
                auto* item = new QTableWidgetItem;
                item->setTextAlignment(Qt::AlignCenter);
                m_table->setItem(row, c, item);
            }
            m_table->item(row, 0)->setText(ip);
            m_ipList.append(ip);
            updateDeviceRow(ip, SNMP::exists() ? SNMP::instance()->getData(ip) : SNMPData());
        }
    }
    QSqlQuery children(db);
    children.prepare(QStringLiteral("select id from station where parent_id=?;"));
    children.addBindValue(stationId);
    QList<int> ids;
    if (children.exec()) {
        while (children.next())
            ids.append(children.value(0).toInt());
    }
    for (int id : qAsConst(ids))
        fillStation(id);
}

void MainWidget::setCell(int row, int column, const QString& text, const QColor& color)
{
    QTableWidgetItem* item = m_table->item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        item->setTextAlignment(Qt::AlignCenter);
        m_table->setItem(row, column, item);
    }
    item->setText(text);
    if (color.isValid())
        item->setForeground(color);
}

static QString fixedText(const char* field, int size)
{
    return QString::fromUtf8(field, int(qstrnlen(field, size)));
}

void MainWidget::updateDeviceRow(QString ipv4, SNMPData data)
{
    if (m_iconMode)
        return;
    const int row = m_ipList.indexOf(ipv4);
    if (row < 0)
        return;
    const int state = SNMP::exists() ? SNMP::instance()->getState(ipv4) : 0;
    const QColor green(QStringLiteral("green"));
    const QColor red(QStringLiteral("red"));
    const QColor black(QStringLiteral("black"));

    setCell(row, 1, fixedText(data.sys_name, SNMPData::kTextSize));
    setCell(row, 2, fixedText(data.sys_location, SNMPData::kTextSize));
    if (state == 1)
        setCell(row, 3, tr("Normal"), green);
    else if (state == 2)
        setCell(row, 3, tr("Alarm"), red);
    else
        setCell(row, 3, tr("Unknown"), black);
    if (state == 1 || state == 2)
        setCell(row, 4, tr("Online"), green);
    else
        setCell(row, 4, tr("Offline"), red);
    setCell(row, 5, QString::number(data.batt_temp * 0.1, 'f', 1));
    setCell(row, 6, QString::number(data.output_load));
    setCell(row, 7, QString::number(data.output_vol * 0.1, 'f', 1));
    setCell(row, 8, QString::number(data.batt_capacity));
    switch (data.input_line_fail_reason) {
    case 0:
        if (state != 0)
            setCell(row, 9, tr("Normal"), green);
        else
            setCell(row, 9, tr("Unknown"), black);
        break;
    case 1:
        setCell(row, 9, tr("No input"), red);
        break;
    case 2:
        setCell(row, 9, tr("Input over-voltage"), red);
        break;
    default:
        setCell(row, 9, tr("Unknown"), black);
        break;
    }
    if (data.batt_status == 2) {
        if (state != 0)
            setCell(row, 10, tr("Normal"), green);
        else
            setCell(row, 10, tr("Unknown"), black);
    } else if (data.batt_status == 3) {
        setCell(row, 10, tr("Battery voltage low"), red);
    } else {
        setCell(row, 10, tr("Unknown"), black);
    }
    setCell(row, 11, fixedText(data.sys_contact, SNMPData::kTextSize));
}

void MainWidget::handleDevStatusChanged(QString ipv4, int state)
{
    if (m_iconMode)
        m_iconView->setDeviceState(ipv4, state);
    else
        updateDeviceRow(ipv4, SNMP::exists() ? SNMP::instance()->getData(ipv4) : SNMPData());
}

void MainWidget::showDeviceInPanel(QString ipv4)
{
    static_cast<DevicePanel*>(m_panel)->handleDevItemChanged(ipv4);
}

void MainWidget::handleTableClickedEvent(int row, int column)
{
    Q_UNUSED(column);
    if (row >= 0 && row < m_ipList.size())
        showDeviceInPanel(m_ipList.at(row));
}

void MainWidget::handleTableDoubleClickedEvent(int row, int column)
{
    Q_UNUSED(column);
    QTableWidgetItem* item = m_table->item(row, 0);
    if (item)
        DeviceDialogs::runSettings(item->text(), this);
}

void MainWidget::displayMenuOnTable(QPoint pos)
{
    QStringList addresses;
    const bool onCell = m_table->itemAt(pos) != nullptr;
    if (onCell) {
        QSet<int> rows;
        QList<int> ordered;
        for (QTableWidgetItem* item : m_table->selectedItems()) {
            if (!rows.contains(item->row())) {
                rows.insert(item->row());
                ordered.append(item->row());
            }
        }
        for (int row : qAsConst(ordered)) {
            QTableWidgetItem* item = m_table->item(row, 0);
            if (item && !addresses.contains(item->text()))
                addresses.append(item->text());
        }
    }
    auto* menu = new MainMenu(onCell, m_stationId, addresses, m_stationName, this);
    connect(menu, &MainMenu::addSuccess, this, &MainWidget::handleAddSuccess);
    connect(menu, &MainMenu::delSuccess, this, &MainWidget::handleDelSuccess);
    connect(menu, &MainMenu::refreshDev, this, &MainWidget::refreshStation);
    menu->exec(m_table->viewport()->mapToGlobal(pos));
    delete menu;
}

void MainWidget::handleAddSuccess(QList<QPair<QString, QString> > list)
{
    // The devices may have gone to a child station (context menu of a
    // station icon); tell the tree about the station that holds them.
    QList<int> stations;
    QHash<int, QList<QString> > byStation;
    QSqlDatabase db = Workspace::globalDb();
    for (const auto& pair : list) {
        if (SNMP::exists())
            SNMP::instance()->addDevice(pair.first, pair.second);
        int station = m_stationId;
        QSqlQuery query(db);
        query.prepare(QStringLiteral("select station_id from device where device_ip=?;"));
        query.addBindValue(pair.first);
        if (query.exec() && query.next())
            station = query.value(0).toInt();
        if (!byStation.contains(station))
            stations.append(station);
        byStation[station].append(pair.first);
    }
    for (int station : qAsConst(stations))
        emit deviceChanged(true, station, byStation.value(station));
    refreshStation();
}

void MainWidget::handleDelSuccess(QStringList list)
{
    for (const QString& address : qAsConst(list)) {
        if (SNMP::exists())
            SNMP::instance()->removeDevice(address);
    }
    emit deviceChanged(false, m_stationId, list);
    refreshStation();
}

void MainWidget::onTrapReady(QString ipv4, int trap)
{
    m_status->addStatus(ipv4, trap);
    m_noteShown = true;
    m_note->setText(tr("New UPS Status Triggered"));
    m_note->setStyleSheet(QStringLiteral("color:red;"));
}

void MainWidget::onBtnViewMoreClicked()
{
    m_noteShown = false;
    m_note->clear();
    m_status->exec();
}
