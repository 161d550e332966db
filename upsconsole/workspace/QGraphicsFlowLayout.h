#pragma once

#include <QGraphicsLayout>
#include <QList>

// Lays its items out left to right and wraps them like text.
class QGraphicsFlowLayout : public QGraphicsLayout
{
public:
    static constexpr qreal kSpacing = 6;

    explicit QGraphicsFlowLayout(QGraphicsLayoutItem* parent = nullptr);
    ~QGraphicsFlowLayout() override;

    void insertItem(int index, QGraphicsLayoutItem* item);
    void addItem(QGraphicsLayoutItem* item) { insertItem(count(), item); }

    int count() const override;
    QGraphicsLayoutItem* itemAt(int index) const override;
    void removeAt(int index) override;
    void setGeometry(const QRectF& rect) override;

    // Height needed for the given width (margins included).
    qreal heightForWidth(qreal width) const;

protected:
    QSizeF sizeHint(Qt::SizeHint which, const QSizeF& constraint = QSizeF()) const override;

private:
    qreal doLayout(const QRectF& rect, bool apply) const;
    QSizeF minSize(const QSizeF& constraint) const;
    QSizeF prefSize() const;
    QSizeF maxSize() const;

    QList<QGraphicsLayoutItem*> m_items;
};
