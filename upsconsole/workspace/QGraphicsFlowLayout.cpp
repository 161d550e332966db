#include "QGraphicsFlowLayout.h"

#include <QGraphicsWidget>
#include <QtMath>

QGraphicsFlowLayout::QGraphicsFlowLayout(QGraphicsLayoutItem* parent) : QGraphicsLayout(parent)
{
    QSizePolicy policy = sizePolicy();
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

QGraphicsFlowLayout::~QGraphicsFlowLayout()
{
    // Items are owned by the scene; only forget them.
    for (QGraphicsLayoutItem* item : qAsConst(m_items))
        item->setParentLayoutItem(nullptr);
}

void QGraphicsFlowLayout::insertItem(int index, QGraphicsLayoutItem* item)
{
    if (!item)
        return;
    item->setParentLayoutItem(this);
    if (QGraphicsItem* gi = item->graphicsItem()) {
        if (QGraphicsLayoutItem* owner = parentLayoutItem()) {
            if (QGraphicsItem* parentItem = owner->graphicsItem())
                gi->setParentItem(parentItem);
        }
    }
    index = qBound(0, index, m_items.size());
    m_items.insert(index, item);
    invalidate();
}

int QGraphicsFlowLayout::count() const
{
    return m_items.size();
}

QGraphicsLayoutItem* QGraphicsFlowLayout::itemAt(int index) const
{
    return index >= 0 && index < m_items.size() ? m_items.at(index) : nullptr;
}

void QGraphicsFlowLayout::removeAt(int index)
{
    if (index < 0 || index >= m_items.size())
        return;
    QGraphicsLayoutItem* item = m_items.takeAt(index);
    item->setParentLayoutItem(nullptr);
    invalidate();
}

qreal QGraphicsFlowLayout::doLayout(const QRectF& rect, bool apply) const
{
    qreal left, top, right, bottom;
    getContentsMargins(&left, &top, &right, &bottom);
    const qreal maxWidth = rect.width() - left - right;

    qreal x = 0;
    qreal y = 0;
    qreal rowHeight = 0;
    QSizeF pref;
    for (QGraphicsLayoutItem* item : m_items) {
        pref = item->effectiveSizeHint(Qt::PreferredSize);
        QSizeF size = pref;
        rowHeight = qMax(rowHeight, pref.height());
        if (x + pref.width() > maxWidth) {
            x = 0;
            // An item wider than the whole row is narrowed, whether it
            // started the row or was wrapped into a new one.
            if (pref.width() > maxWidth)
                size.setWidth(maxWidth);
            y += rowHeight + kSpacing;
            rowHeight = 0;
        }
        if (apply)
            item->setGeometry(QRectF(QPointF(rect.left() + left + x, rect.top() + top + y), size));
        x += pref.width() + kSpacing;
    }
    return top + y + qMax(rowHeight, pref.height()) + bottom;
}

void QGraphicsFlowLayout::setGeometry(const QRectF& rect)
{
    QGraphicsLayout::setGeometry(rect);
    doLayout(geometry(), true);
}

qreal QGraphicsFlowLayout::heightForWidth(qreal width) const
{
    return doLayout(QRectF(0, 0, width, 0), false);
}

QSizeF QGraphicsFlowLayout::minSize(const QSizeF& constraint) const
{
    qreal left, top, right, bottom;
    getContentsMargins(&left, &top, &right, &bottom);
    if (constraint.width() >= 0)
        return QSizeF(constraint.width(), heightForWidth(constraint.width()));
    QSizeF size(0, 0);
    for (QGraphicsLayoutItem* item : m_items)
        size = size.expandedTo(item->effectiveSizeHint(Qt::MinimumSize));
    return size + QSizeF(left + right, top + bottom);
}

QSizeF QGraphicsFlowLayout::prefSize() const
{
    qreal left, top, right, bottom;
    getContentsMargins(&left, &top, &right, &bottom);
    qreal totalWidth = 0;
    qreal maxHeight = 0;
    for (QGraphicsLayoutItem* item : m_items) {
        const QSizeF pref = item->effectiveSizeHint(Qt::PreferredSize);
        totalWidth += pref.width() + kSpacing;
        maxHeight = qMax(maxHeight, pref.height());
    }
    maxHeight += kSpacing;
    const qreal goldenRatio = 1.61803399;
    const qreal width = qSqrt(totalWidth * maxHeight * goldenRatio) + left + right;
    return minSize(QSizeF(width, -1));
}

QSizeF QGraphicsFlowLayout::maxSize() const
{
    qreal left, top, right, bottom;
    getContentsMargins(&left, &top, &right, &bottom);
    qreal totalWidth = 0;
    qreal totalHeight = 0;
    for (QGraphicsLayoutItem* item : m_items) {
        const QSizeF pref = item->effectiveSizeHint(Qt::PreferredSize);
        totalWidth += pref.width();
        totalHeight += pref.height();
    }
    const qreal spacing = kSpacing * qMax(0, m_items.size() - 1);
    return QSizeF(totalWidth + spacing + left + right, totalHeight + spacing + top + bottom);
}

QSizeF QGraphicsFlowLayout::sizeHint(Qt::SizeHint which, const QSizeF& constraint) const
{
    switch (which) {
    case Qt::PreferredSize:
        return prefSize();
    case Qt::MinimumSize:
        return minSize(constraint);
    case Qt::MaximumSize:
        return maxSize();
    default:
        return QSizeF();
    }
}
