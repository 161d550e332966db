#include "IconItemGraphicsView.h"

#include "IconItem.h"
#include "MainMenu.h"
#include "QGraphicsFlowLayout.h"
#include "SNMP.h"
#include "WorkspaceCommon.h"

#include <QContextMenuEvent>
#include <QGraphicsScene>
#include <QGraphicsWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSqlQuery>
#include <QVariant>
#include <QWheelEvent>
#include <QtMath>

IconItemGraphicsView::IconItemGraphicsView(QWidget* parent) : QGraphicsView(parent)
{
    Workspace::ensureResources();
    m_scene = new QGraphicsScene(this);
    setScene(m_scene);
    m_container = new QGraphicsWidget;
    m_layout = new QGraphicsFlowLayout;
    m_container->setLayout(m_layout);
    m_scene->addItem(m_container);
    setDragMode(QGraphicsView::RubberBandDrag);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    connect(this, &QGraphicsView::rubberBandChanged, this, &IconItemGraphicsView::handleRubberBandChanged);
}

void IconItemGraphicsView::setStation(int id, const QString& name)
{
    m_stationId = id;
    m_stationName = name;
}

QList<IconItemProxy*> IconItemGraphicsView::icons() const
{
    QList<IconItemProxy*> result;
    for (int i = 0; i < m_layout->count(); ++i) {
        if (auto* proxy = dynamic_cast<IconItemProxy*>(m_layout->itemAt(i)))
            result.append(proxy);
    }
    return result;
}

QStringList IconItemGraphicsView::selectedAddresses() const
{
    QStringList result;
    for (QGraphicsItem* item : m_scene->selectedItems()) {
        auto* proxy = dynamic_cast<IconItemProxy*>(item);
        if (proxy && proxy->kind() == IconItem::Device)
            result.append(proxy->address());
    }
    return result;
}

IconItemProxy* IconItemGraphicsView::addIcon(int kind, const QString& text)
{
    auto* proxy = new IconItemProxy(kind);
    proxy->setWidget(new IconItem(kind, text));
    m_layout->addItem(proxy);
    if (kind == IconItem::Station) {
        // Queued: moving into a station reloads the scene, which deletes
        // the icon whose double click is still being delivered.
        connect(proxy, &IconItemProxy::stationClicked, this, &IconItemGraphicsView::staItemClicked,
                Qt::QueuedConnection);
    } else {
        connect(proxy, &IconItemProxy::deviceClicked, this, &IconItemGraphicsView::devItemClicked);
    }
    return proxy;
}

void IconItemGraphicsView::loadStation()
{
    while (m_layout->count() > 0) {
        QGraphicsLayoutItem* item = m_layout->itemAt(0);
        m_layout->removeAt(0);
        delete item; // the proxy deletes its embedded widget
    }

    QSqlDatabase db = Workspace::globalDb();
    QSqlQuery parentQuery(db);
    parentQuery.prepare(QStringLiteral("select parent_id from station where id=?;"));
    parentQuery.addBindValue(m_stationId);
    if (parentQuery.exec() && parentQuery.next()) {
        const int parentId = parentQuery.value(0).toInt();
        if (parentId >= 0) {
            QString text;
            if (parentId == 0) {
                text = tr("Vud Arori");
            } else {
                QSqlQuery nameQuery(db);
                nameQuery.prepare(QStringLiteral("select name from station where id=?;"));
                nameQuery.addBindValue(parentId);
                if (nameQuery.exec() && nameQuery.next())
                    text = nameQuery.value(0).toString();
            }
            IconItemProxy* proxy = addIcon(IconItem::Station, text);
            proxy->setData(IconItemProxy::KeyStationId, parentId);
            proxy->setData(IconItemProxy::KeyStationName, text);
        }
    }

    QSqlQuery children(db);
    children.prepare(QStringLiteral("select id, name from station where parent_id=?;"));
    children.addBindValue(m_stationId);
    if (children.exec()) {
        while (children.next()) {
            IconItemProxy* proxy = addIcon(IconItem::Station, children.value(1).toString());
            proxy->setData(IconItemProxy::KeyStationId, children.value(0).toInt());
            proxy->setData(IconItemProxy::KeyStationName, children.value(1).toString());
        }
    }

    QSqlQuery devices(db);
    devices.prepare(QStringLiteral("select device_ip, name from device where station_id=? order by device_ip;"));
    devices.addBindValue(m_stationId);
    if (devices.exec()) {
        while (devices.next()) {
            const QString ip = devices.value(0).toString();
            IconItemProxy* proxy = addIcon(IconItem::Device, devices.value(1).toString());
            proxy->setData(IconItemProxy::KeyAddress, ip);
            proxy->setState(SNMP::exists() ? SNMP::instance()->getState(ip) : 0);
        }
    }

    m_scene->setSceneRect(0, 0, width(), height());
    m_container->resize(size());
}

void IconItemGraphicsView::setDeviceState(const QString& ipv4, int state)
{
    for (IconItemProxy* proxy : icons()) {
        if (proxy->kind() == IconItem::Device && proxy->address() == ipv4)
            proxy->setState(state);
    }
}

IconItemProxy* IconItemGraphicsView::deviceIconAt(const QPoint& viewPos) const
{
    for (QGraphicsItem* item = itemAt(viewPos); item; item = item->parentItem()) {
        if (auto* proxy = dynamic_cast<IconItemProxy*>(item))
            return proxy->kind() == IconItem::Device ? proxy : nullptr;
    }
    return nullptr;
}

void IconItemGraphicsView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton)
        return;
    m_pressScroll = verticalScrollBar()->value();
    m_pressTop = mapToScene(QPoint(0, 0)).y();
    m_pressBottom = mapToScene(QPoint(0, viewport()->height())).y();
    if (IconItemProxy* icon = deviceIconAt(event->pos())) {
        if (event->modifiers() == Qt::ControlModifier) {
            icon->setSelected(true);
        } else if (event->modifiers() == Qt::ShiftModifier) {
            icon->setFocusFrame(false);
            icon->setSelected(false);
        }
    }
    QGraphicsView::mousePressEvent(event);
}

void IconItemGraphicsView::handleRubberBandChanged(QRect viewportRect, QPointF fromScenePoint, QPointF toScenePoint)
{
    Q_UNUSED(fromScenePoint);
    if (viewportRect.isNull())
        return; // the rubber band ended
    if (toScenePoint.y() > m_pressBottom)
        verticalScrollBar()->setValue(m_pressScroll + qRound(toScenePoint.y() - m_pressBottom));
    else if (toScenePoint.y() < m_pressTop)
        verticalScrollBar()->setValue(m_pressScroll - qRound(m_pressTop - toScenePoint.y()));
}

void IconItemGraphicsView::wheelEvent(QWheelEvent* event)
{
    const int step = qRound(event->angleDelta().y() / 8.0);
    verticalScrollBar()->setValue(verticalScrollBar()->value() - step);
    event->accept();
}

void IconItemGraphicsView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_A && event->modifiers() == Qt::ControlModifier) {
        for (IconItemProxy* proxy : icons()) {
            if (proxy->flags() & QGraphicsItem::ItemIsSelectable)
                proxy->setSelected(true);
        }
    }
    event->accept();
}

void IconItemGraphicsView::resizeEvent(QResizeEvent* event)
{
    QGraphicsView::resizeEvent(event);
    if (m_scene->items().size() > 3)
        m_scene->setSceneRect(m_scene->itemsBoundingRect());
    else
        m_scene->setSceneRect(0, 0, width(), height());
    m_container->resize(size());
}

void IconItemGraphicsView::contextMenuEvent(QContextMenuEvent* event)
{
    const QPoint globalPos = event->globalPos();
    if (m_scene->selectedItems().size() > 1) {
        const QStringList addresses = selectedAddresses();
        runMenu(!addresses.isEmpty(), m_stationId, addresses, globalPos);
        return;
    }
    IconItemProxy* icon = nullptr;
    for (QGraphicsItem* item = itemAt(event->pos()); item && !icon; item = item->parentItem())
        icon = dynamic_cast<IconItemProxy*>(item);
    if (icon && icon->kind() == IconItem::Device)
        runMenu(true, m_stationId, {icon->address()}, globalPos);
    else if (icon)
        runMenu(false, icon->data(IconItemProxy::KeyStationId).toInt(), {}, globalPos);
    else
        runMenu(false, m_stationId, {}, globalPos);
}

void IconItemGraphicsView::runMenu(bool hasDevice, int stationId, const QStringList& addresses,
                                   const QPoint& globalPos)
{
    auto* menu = new MainMenu(hasDevice, stationId, addresses, m_stationName, this);
    connect(menu, &MainMenu::addSuccess, this, &IconItemGraphicsView::addSuccess);
    connect(menu, &MainMenu::delSuccess, this, &IconItemGraphicsView::delSuccess);
    connect(menu, &MainMenu::refreshDev, this, &IconItemGraphicsView::refreshDev);
    menu->exec(globalPos);
    delete menu;
}
