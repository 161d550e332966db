#pragma once

#include <QGraphicsProxyWidget>
#include <QString>
#include <QWidget>

class QLabel;

// A picture (64 x 64) above a text: one device or one station of the icon view.
class IconItem : public QWidget
{
    Q_OBJECT
public:
    enum Kind { Station = 0, Device = 1 };

    IconItem(int kind, const QString& text, QWidget* parent = nullptr);

    int kind() const { return m_kind; }
    QString text() const;

private:
    int m_kind;
    QLabel* m_picture;
    QLabel* m_text;
};

// The graphics item that carries an IconItem in the scene.
class IconItemProxy : public QGraphicsProxyWidget
{
    Q_OBJECT
public:
    enum DataKey { KeyAddress = 0, KeyStationId = 1, KeyStationName = 2 };

    explicit IconItemProxy(int kind, QGraphicsItem* parent = nullptr);

    int kind() const { return m_kind; }
    int state() const { return m_state; }
    void setState(int state) { m_state = state; }
    bool focusFrame() const { return m_focusFrame; }
    void setFocusFrame(bool on) { m_focusFrame = on; }
    QString address() const { return data(KeyAddress).toString(); }
    // Tool tip of a device icon for its state.
    QString stateToolTip() const;

    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

signals:
    void deviceClicked(QString ipv4);
    void stationClicked(int staID, QString name);

protected:
    void hoverEnterEvent(QGraphicsSceneHoverEvent* event) override;
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseDoubleClickEvent(QGraphicsSceneMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    int m_kind;
    bool m_focusFrame = true;
    int m_state = 0;
};
