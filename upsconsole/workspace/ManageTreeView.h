#pragma once

#include <QHash>
#include <QList>
#include <QMap>
#include <QModelIndex>
#include <QString>
#include <QTreeView>

#include <memory>
#include <vector>

class QStandardItem;
class QStandardItemModel;

// One station of the tree (and one for the root "Vud Arori", id 0).
struct StationNode
{
    int id = 0;
    int parentId = -1;
    int state = 0;
    QString name;
    QMap<QString, int> devices; // own devices: address -> last state
    StationNode* parent = nullptr;
    QStandardItem* item = nullptr;
    QList<StationNode*> children;
};

// The station tree of the main window's dock.
class ManageTreeView : public QTreeView
{
    Q_OBJECT
public:
    explicit ManageTreeView(QWidget* parent = nullptr);
    ~ManageTreeView() override;

    // Rebuilds the tree from the database ("Refresh").
    void refresh();
    // Finds a station by its exact name and announces it (station search).
    bool jumpToStation(const QString& name);
    // Moves a station item under another item, as a drop does. Returns false
    // when the move is refused (no target, same parent, a cycle, the root).
    bool moveStation(QStandardItem* item, QStandardItem* newParent);
    // Deletes a station with its sub-stations and devices after asking.
    void deleteStation(QStandardItem* item);
    // Shows the attribute dialog of a station item.
    void showAttribute(QStandardItem* item);

    QStandardItemModel* standardModel() const { return m_model; }
    QStandardItem* rootItem() const;
    QStandardItem* findItem(int stationId) const;
    const StationNode* node(int stationId) const;
    int currentStationId() const { return m_currentStationId; }
    int stationOfDeviceCount() const { return m_stationOfDevice.size(); }

signals:
    void addStationSuccess();
    void stationChanged(int id, QString name);

public slots:
    void updateState(QString ipv4, int state);
    void handleDeviceChanged(bool isAdd, int stationID, QList<QString> listDev);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void changeEvent(QEvent* event) override;

private slots:
    void showContextMenu(QPoint pos);
    void handleItemClicked(QModelIndex index);
    void handleItemChanged(QStandardItem* item);
    void handleAddStation();

private:
    void build();
    StationNode* findNode(StationNode* from, int id) const;
    void createItems(StationNode* node);
    static int devicesValue(const StationNode* node);
    static int childrenValue(const StationNode* node);
    void applyState(StationNode* node, int value);
    void setItemIcon(StationNode* node);
    void collectSubtree(QStandardItem* item, QList<QStandardItem*>& out) const;
    bool isAncestorOrSelf(QStandardItem* ancestor, QStandardItem* item) const;

    QStandardItemModel* m_model;
    std::vector<std::unique_ptr<StationNode> > m_nodes; // every node of the current build
    StationNode* m_rootNode = nullptr;
    int m_currentStationId = 0;
    QStandardItem* m_dragItem = nullptr;
    QHash<QString, StationNode*> m_stationOfDevice;
    bool m_suspendItemChanged = false;
    int m_addParentId = 0;
};
