#include "IconItem.h"

#include "DeviceDialogs.h"
#include "WorkspaceCommon.h"

#include <QGraphicsSceneMouseEvent>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QVBoxLayout>

IconItem::IconItem(int kind, const QString& text, QWidget* parent) : QWidget(parent), m_kind(kind)
{
    Workspace::ensureResources();
    setStyleSheet(QStringLiteral("background:transparent;"));
    auto* box = new QVBoxLayout(this);
    m_picture = new QLabel(this);
    m_picture->setAlignment(Qt::AlignCenter);
    const QString path = kind == Device ? QStringLiteral(":/qrc/image/ups.png") : QStringLiteral(":/qrc/image/dir.png");
    m_picture->setPixmap(QPixmap(path).scaled(64, 64, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    m_text = new QLabel(this);
    m_text->setTextFormat(Qt::PlainText);
    m_text->setAlignment(Qt::AlignCenter);
    m_text->setText(text);
    box->addWidget(m_picture);
    box->addWidget(m_text);
}

QString IconItem::text() const
{
    return m_text->text();
}

IconItemProxy::IconItemProxy(int kind, QGraphicsItem* parent) : QGraphicsProxyWidget(parent), m_kind(kind)
{
    setAcceptHoverEvents(true);
    setFlag(QGraphicsItem::ItemIsSelectable, kind == IconItem::Device);
    setFlag(QGraphicsItem::ItemIsFocusable, true);
}

QString IconItemProxy::stateToolTip() const
{
    if (m_kind != IconItem::Device)
        return QString();
    switch (m_state) {
    case 1:
        return tr("Online");
    case 2:
        return tr("Alarm");
    default:
        return tr("Offline");
    }
}

void IconItemProxy::paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget)
{
    const bool framed = isSelected() || (m_focusFrame && hasFocus());
    painter->save();
    painter->setPen(framed ? QPen(Qt::blue) : QPen(QColor(255, 255, 255, 0)));
    painter->setBrush(Qt::NoBrush);
    const QRectF r = rect();
    painter->drawRect(QRectF(r.x() - 1, r.y() - 1, r.width() + 1, r.height() + 1));
    painter->restore();
    QGraphicsProxyWidget::paint(painter, option, widget);
}

void IconItemProxy::hoverEnterEvent(QGraphicsSceneHoverEvent* event)
{
    if (m_kind == IconItem::Device)
        setToolTip(stateToolTip());
    QGraphicsProxyWidget::hoverEnterEvent(event);
}

void IconItemProxy::mousePressEvent(QGraphicsSceneMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        event->ignore();
        return;
    }
    if (m_kind == IconItem::Device)
        emit deviceClicked(address());
    // A press never selects the icon (selection is by rubber band and keys);
    // accepting it keeps the view from starting a rubber band here.
    event->accept();
}

void IconItemProxy::mouseDoubleClickEvent(QGraphicsSceneMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        event->ignore();
        return;
    }
    if (m_kind == IconItem::Device)
        DeviceDialogs::runSettings(address(), nullptr);
    else
        emit stationClicked(data(KeyStationId).toInt(), data(KeyStationName).toString());
    event->accept();
}

void IconItemProxy::focusInEvent(QFocusEvent* event)
{
    QGraphicsProxyWidget::focusInEvent(event);
    update();
}

void IconItemProxy::focusOutEvent(QFocusEvent* event)
{
    m_focusFrame = true;
    QGraphicsProxyWidget::focusOutEvent(event);
    update();
}
