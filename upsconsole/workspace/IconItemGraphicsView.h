#pragma once

#include <QGraphicsView>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

class QGraphicsScene;
class QGraphicsWidget;
class QGraphicsFlowLayout;
class IconItemProxy;

// Page 1 of the station view: the current station's parent, child stations
// and own devices as icons in a flow layout.
class IconItemGraphicsView : public QGraphicsView
{
    Q_OBJECT
public:
    explicit IconItemGraphicsView(QWidget* parent = nullptr);

    void setStation(int id, const QString& name);
    void loadStation();
    void setDeviceState(const QString& ipv4, int state);

    int stationId() const { return m_stationId; }
    QString stationName() const { return m_stationName; }
    QList<IconItemProxy*> icons() const;
    QGraphicsFlowLayout* flowLayout() const { return m_layout; }
    QGraphicsWidget* container() const { return m_container; }
    // Addresses of the selected device icons.
    QStringList selectedAddresses() const;

signals:
    void refreshDev();
    void addSuccess(QList<QPair<QString, QString> > list);
    void delSuccess(QStringList list);
    void devItemClicked(QString ipv4);
    void staItemClicked(int staID, QString staName);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private slots:
    void handleRubberBandChanged(QRect viewportRect, QPointF fromScenePoint, QPointF toScenePoint);

private:
    IconItemProxy* addIcon(int kind, const QString& text);
    IconItemProxy* deviceIconAt(const QPoint& viewPos) const;
    void runMenu(bool hasDevice, int stationId, const QStringList& addresses, const QPoint& globalPos);

    QGraphicsScene* m_scene;
    QGraphicsWidget* m_container;
    QGraphicsFlowLayout* m_layout;
    int m_stationId = 0;
    QString m_stationName;
    int m_pressScroll = 0;
    qreal m_pressTop = 0;
    qreal m_pressBottom = 0;
};
