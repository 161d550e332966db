#include "ManageTreeView.h"

#include "AddDialog.h"
#include "AttributeDialog.h"
#include "MessageBox.h"
#include "WorkspaceCommon.h"

#include <QDropEvent>
#include <QEvent>
#include <QIcon>
#include <QMenu>
#include <QMouseEvent>
#include <QSqlQuery>
#include <QStandardItemModel>
#include <QVariant>

namespace {
const int kIdRole = Qt::UserRole;
const int kParentRole = Qt::UserRole + 1;
}

ManageTreeView::ManageTreeView(QWidget* parent) : QTreeView(parent), m_model(new QStandardItemModel(this))
{
    Workspace::ensureResources();
    setModel(m_model);
    setContextMenuPolicy(Qt::CustomContextMenu);
    setDragDropMode(QAbstractItemView::InternalMove);
    setDefaultDropAction(Qt::MoveAction);
    setEditTriggers(QAbstractItemView::DoubleClicked);
    setHeaderHidden(true);

    connect(this, &QWidget::customContextMenuRequested, this, &ManageTreeView::showContextMenu);
    connect(this, &QAbstractItemView::clicked, this, &ManageTreeView::handleItemClicked);
    connect(m_model, &QStandardItemModel::itemChanged, this, &ManageTreeView::handleItemChanged);
    build();
}

ManageTreeView::~ManageTreeView() = default;

QStandardItem* ManageTreeView::rootItem() const
{
    return m_model->item(0);
}

void ManageTreeView::refresh()
{
    if (!Workspace::globalDb().isOpen())
        return; // keep what is shown rather than an empty tree
    m_suspendItemChanged = true;
    m_model->clear();
    build();
    m_suspendItemChanged = false;
}

void ManageTreeView::build()
{
    QSqlDatabase db = Workspace::globalDb();
    if (!db.isOpen())
        return;

    const bool suspended = m_suspendItemChanged;
    m_suspendItemChanged = true;

    // The hash refers to nodes of this build only.
    m_stationOfDevice.clear();
    m_dragItem = nullptr;

    auto* rootItem = new QStandardItem(tr("Vud Arori"));
    rootItem->setData(0, kIdRole);
    rootItem->setData(-1, kParentRole);
    rootItem->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDropEnabled);

    std::vector<std::unique_ptr<StationNode> > nodes;
    auto root = std::make_unique<StationNode>();
    root->id = 0;
    root->parentId = -1;
    root->item = rootItem;
    StationNode* rootNode = root.get();
    nodes.push_back(std::move(root));

    QList<StationNode*> loaded;
    QSqlQuery query(db);
    if (query.exec(QStringLiteral("select * from station order by parent_id;"))) {
        while (query.next()) {
            auto node = std::make_unique<StationNode>();
            node->id = query.value(0).toInt();
            node->name = query.value(2).toString();
            node->parentId = query.value(3).toInt();
            loaded.append(node.get());
            nodes.push_back(std::move(node));
        }
    }
    for (StationNode* node : loaded) {
        QSqlQuery devices(db);
        devices.prepare(QStringLiteral("select device_ip from device where station_id=?;"));
        devices.addBindValue(node->id);
        if (!devices.exec())
            continue;
        while (devices.next()) {
            const QString ip = devices.value(0).toString();
            node->devices.insert(ip, 0);
            m_stationOfDevice.insert(ip, node);
        }
    }

    for (StationNode* node : loaded) {
        if (node->parentId == 0) {
            node->parent = rootNode;
            rootNode->children.append(node);
        }
    }
    for (StationNode* parent : loaded) {
        for (StationNode* child : loaded) {
            if (child != parent && child->parentId == parent->id && child->parentId != 0) {
                child->parent = parent;
                parent->children.append(child);
            }
        }
    }

    m_model->setItem(0, rootItem); // replaces (and frees) the previous root
    m_nodes.swap(nodes);           // frees the previous nodes
    m_rootNode = rootNode;
    createItems(m_rootNode);
    expand(rootItem->index());

    // Addresses of stations that are not shown (missing parent, cycles) are
    // not tracked either.
    for (auto it = m_stationOfDevice.begin(); it != m_stationOfDevice.end();) {
        if (it.value()->item == nullptr)
            it = m_stationOfDevice.erase(it);
        else
            ++it;
    }
    m_suspendItemChanged = suspended;
}

void ManageTreeView::createItems(StationNode* node)
{
    for (StationNode* child : node->children) {
        auto* item = new QStandardItem(QIcon(Workspace::stateIconPath(0)), child->name);
        item->setData(child->id, kIdRole);
        item->setData(child->parentId, kParentRole);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemIsDragEnabled |
                       Qt::ItemIsDropEnabled);
        child->item = item;
        node->item->appendRow(item);
        createItems(child);
    }
}

StationNode* ManageTreeView::findNode(StationNode* from, int id) const
{
    if (!from)
        return nullptr;
    if (from->id == id)
        return from;
    for (StationNode* child : from->children) {
        if (StationNode* found = findNode(child, id))
            return found;
    }
    return nullptr;
}

const StationNode* ManageTreeView::node(int stationId) const
{
    return findNode(m_rootNode, stationId);
}

QStandardItem* ManageTreeView::findItem(int stationId) const
{
    const StationNode* n = node(stationId);
    return n ? n->item : nullptr;
}

void ManageTreeView::handleItemClicked(QModelIndex index)
{
    if (!index.isValid())
        return;
    const int id = index.data(kIdRole).toInt();
    if (id == m_currentStationId)
        return;
    m_currentStationId = id;
    emit stationChanged(id, index.data(Qt::DisplayRole).toString());
}

int ManageTreeView::devicesValue(const StationNode* node)
{
    int value = 0;
    for (auto it = node->devices.cbegin(); it != node->devices.cend(); ++it) {
        value = qMax(value, it.value());
        if (value == 2)
            break;
    }
    return value;
}

int ManageTreeView::childrenValue(const StationNode* node)
{
    int value = 0;
    for (const StationNode* child : node->children) {
        value = qMax(value, child->state);
        if (value == 2)
            break;
    }
    return value;
}

void ManageTreeView::setItemIcon(StationNode* node)
{
    if (!node->item)
        return;
    const bool suspended = m_suspendItemChanged;
    m_suspendItemChanged = true;
    node->item->setIcon(QIcon(Workspace::stateIconPath(node->state)));
    m_suspendItemChanged = suspended;
}

void ManageTreeView::applyState(StationNode* node, int value)
{
    // A station shows the worst of its own devices and its child stations,
    // so that an alarm further down is never hidden by a healthy device
    // higher up.
    while (node && node->parent) { // the root is never changed
        node->state = qMax(value, childrenValue(node));
        setItemIcon(node);
        node = node->parent;
        value = qMax(childrenValue(node), devicesValue(node));
    }
}

void ManageTreeView::updateState(QString ipv4, int state)
{
    StationNode* station = m_stationOfDevice.value(ipv4, nullptr);
    if (!station)
        return;
    auto it = station->devices.find(ipv4);
    if (it == station->devices.end() || it.value() == state)
        return;
    it.value() = state;
    applyState(station, devicesValue(station));
}

void ManageTreeView::handleDeviceChanged(bool isAdd, int stationID, QList<QString> listDev)
{
    StationNode* station = findNode(m_rootNode, stationID);
    if (isAdd) {
        if (!station)
            return;
        for (const QString& ip : listDev) {
            station->devices.insert(ip, 0);
            m_stationOfDevice.insert(ip, station);
        }
        applyState(station, devicesValue(station));
        return;
    }
    // Removed devices are taken from the station that holds them: the table
    // also lists (and deletes) the devices of sub-stations.
    QList<StationNode*> touched;
    for (const QString& ip : listDev) {
        StationNode* holder = m_stationOfDevice.take(ip);
        if (!holder)
            holder = station;
        if (!holder)
            continue;
        holder->devices.remove(ip);
        if (!touched.contains(holder))
            touched.append(holder);
    }
    if (station && !touched.contains(station))
        touched.append(station);
    for (StationNode* node : qAsConst(touched))
        applyState(node, devicesValue(node));
}

void ManageTreeView::showContextMenu(QPoint pos)
{
    const QModelIndex index = indexAt(pos);
    QStandardItem* item = index.isValid() ? m_model->itemFromIndex(index) : nullptr;
    const bool isStation = item && item->data(kIdRole).toInt() != 0;

    QMenu menu(this);
    QAction* add = menu.addAction(tr("Add"));
    QAction* del = menu.addAction(tr("Delete"));
    menu.addSeparator();
    QAction* rename = menu.addAction(tr("Rename"));
    menu.addSeparator();
    QAction* attribute = menu.addAction(tr("Attribute"));
    menu.addSeparator();
    QAction* refreshAction = menu.addAction(tr("Refresh"));
    add->setEnabled(item != nullptr);
    del->setEnabled(isStation);
    rename->setEnabled(isStation);
    attribute->setEnabled(item != nullptr);

    QAction* chosen = menu.exec(viewport()->mapToGlobal(pos));
    if (!chosen)
        return;
    if (chosen == add) {
        m_addParentId = item->data(kIdRole).toInt();
        AddDialog dialog(0, m_addParentId, this);
        connect(&dialog, &AddDialog::addStationSuccess, this, &ManageTreeView::handleAddStation);
        dialog.exec();
    } else if (chosen == del) {
        deleteStation(item);
    } else if (chosen == rename) {
        edit(index);
    } else if (chosen == attribute) {
        showAttribute(item);
    } else if (chosen == refreshAction) {
        refresh();
    }
}

void ManageTreeView::handleAddStation()
{
    build();
    emit addStationSuccess();
}

void ManageTreeView::handleItemChanged(QStandardItem* item)
{
    if (m_suspendItemChanged || !item)
        return;
    const int id = item->data(kIdRole).toInt();
    StationNode* station = findNode(m_rootNode, id);
    if (!station || !station->parent || station->name == item->text())
        return;
    // An empty name is stored as an empty text (never as NULL, which the
    // column refuses).
    const QString text = item->text().isNull() ? QStringLiteral("") : item->text();
    QSqlQuery query(Workspace::globalDb());
    query.prepare(QStringLiteral("update station set name=? where id=?;"));
    query.addBindValue(text);
    query.addBindValue(id);
    if (query.exec())
        station->name = text;
}

void ManageTreeView::collectSubtree(QStandardItem* item, QList<QStandardItem*>& out) const
{
    for (int r = 0; r < item->rowCount(); ++r)
        collectSubtree(item->child(r), out);
    out.append(item);
}

void ManageTreeView::deleteStation(QStandardItem* item)
{
    if (!item || item->data(kIdRole).toInt() == 0)
        return;
    const int answer = MessageBox::warning(
        this, tr("Warning"), tr("Are you sure to delete this station including it's child stations and deivces?"),
        tr("Yes"), tr("No"));
    if (answer != 0)
        return;
    QStandardItem* parentItem = item->parent();
    const int parentId = parentItem ? parentItem->data(kIdRole).toInt() : 0;
    const QString parentText = parentItem ? parentItem->text() : tr("Vud Arori");

    QList<QStandardItem*> subtree;
    collectSubtree(item, subtree);
    QSqlDatabase db = Workspace::globalDb();
    // The whole subtree goes, or nothing does.
    bool ok = db.transaction();
    for (QStandardItem* station : subtree) {
        if (!ok)
            break;
        const int id = station->data(kIdRole).toInt();
        QSqlQuery devices(db);
        devices.prepare(QStringLiteral("delete from device where station_id=?;"));
        devices.addBindValue(id);
        QSqlQuery stations(db);
        stations.prepare(QStringLiteral("delete from station where id=?;"));
        stations.addBindValue(id);
        ok = devices.exec() && stations.exec();
    }
    if (ok)
        ok = db.commit();
    if (!ok) {
        db.rollback();
        MessageBox::warning(this, tr("Warning"), tr("Delete failed!"), tr("Sure"));
        return;
    }

    refresh();
    m_currentStationId = parentId;
    emit stationChanged(parentId, parentText);
    MessageBox::information(this, tr("Information"), tr("Delete success!"), tr("Sure"));
}

void ManageTreeView::showAttribute(QStandardItem* item)
{
    if (!item)
        return;
    QList<QStandardItem*> subtree;
    collectSubtree(item, subtree);
    const int substations = subtree.size() - 1;
    int devices = 0;
    QSqlDatabase db = Workspace::globalDb();
    for (QStandardItem* station : subtree) {
        QSqlQuery query(db);
        query.prepare(QStringLiteral("select count(*) from device where station_id=?;"));
        query.addBindValue(station->data(kIdRole).toInt());
        if (query.exec() && query.next())
            devices += query.value(0).toInt();
    }
    AttributeDialog dialog(0, this);
    dialog.showStation(item->data(kIdRole).toInt(), substations, devices);
}

void ManageTreeView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        const QModelIndex index = indexAt(event->pos());
        m_dragItem = index.isValid() ? m_model->itemFromIndex(index) : nullptr;
    }
    QTreeView::mousePressEvent(event);
}

bool ManageTreeView::isAncestorOrSelf(QStandardItem* ancestor, QStandardItem* item) const
{
    for (QStandardItem* it = item; it; it = it->parent()) {
        if (it == ancestor)
            return true;
    }
    return false;
}

bool ManageTreeView::moveStation(QStandardItem* item, QStandardItem* newParent)
{
    if (!item || !newParent || item->model() != m_model || newParent->model() != m_model)
        return false;
    const int id = item->data(kIdRole).toInt();
    const int newParentId = newParent->data(kIdRole).toInt();
    if (id == 0 || !item->parent())
        return false; // the root stays where it is
    if (newParentId == item->data(kParentRole).toInt())
        return false;
    if (isAncestorOrSelf(item, newParent))
        return false; // a station cannot live under itself

    QSqlQuery query(Workspace::globalDb());
    query.prepare(QStringLiteral("update station set parent_id=? where id=?;"));
    query.addBindValue(newParentId);
    query.addBindValue(id);
    if (!query.exec())
        return false; // the view keeps showing what the database holds

    const bool suspended = m_suspendItemChanged;
    m_suspendItemChanged = true;
    item->setData(newParentId, kParentRole);
    QStandardItem* oldParent = item->parent();
    QList<QStandardItem*> row = oldParent->takeRow(item->row());
    newParent->appendRow(row);
    m_suspendItemChanged = suspended;
    expand(newParent->index());

    StationNode* moved = findNode(m_rootNode, id);
    StationNode* target = findNode(m_rootNode, newParentId);
    if (moved && target && moved->parent) {
        StationNode* previous = moved->parent;
        previous->children.removeAll(moved);
        moved->parentId = newParentId;
        moved->parent = target;
        target->children.append(moved);
        // Both former and new ancestors follow the moved station's state.
        if (previous->parent)
            applyState(previous, devicesValue(previous));
        if (target->parent)
            applyState(target, devicesValue(target));
    }
    return true;
}

void ManageTreeView::dropEvent(QDropEvent* event)
{
    // A drop between two items counts as a drop onto the item under the
    // cursor; the model is rearranged here, never by the base class, so the
    // stored parent always matches the view.
    const QModelIndex index = indexAt(event->pos());
    QStandardItem* target = index.isValid() ? m_model->itemFromIndex(index) : nullptr;
    if (event->source() == this)
        moveStation(m_dragItem, target);
    event->setDropAction(Qt::IgnoreAction);
    event->accept();
    stopAutoScroll();
    setState(NoState);
    viewport()->update();
}

bool ManageTreeView::jumpToStation(const QString& name)
{
    QStandardItem* found = nullptr;
    for (int r = 0; r < m_model->rowCount() && !found; ++r) {
        if (m_model->item(r)->text() == name)
            found = m_model->item(r);
    }
    if (!found) {
        QList<QStandardItem*> stack;
        for (int r = m_model->rowCount() - 1; r >= 0; --r)
            stack.append(m_model->item(r));
        while (!stack.isEmpty() && !found) {
            QStandardItem* item = stack.takeLast();
            if (item->text() == name) {
                found = item;
                break;
            }
            for (int r = item->rowCount() - 1; r >= 0; --r)
                stack.append(item->child(r));
        }
    }
    if (!found)
        return false;
    emit stationChanged(found->data(kIdRole).toInt(), found->text());
    for (QStandardItem* it = found; it; it = it->parent())
        expand(it->index());
    return true;
}

void ManageTreeView::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        if (QStandardItem* root = rootItem()) {
            const bool suspended = m_suspendItemChanged;
            m_suspendItemChanged = true;
            root->setText(tr("Vud Arori"));
            m_suspendItemChanged = suspended;
        }
    }
    QTreeView::changeEvent(event);
}
