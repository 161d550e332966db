#include "Led.h"

#include <QPainter>

Led::Led(QWidget* parent)
    : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void Led::setColor(const QColor& color)
{
    m_color = color;
    update();
}

QSize Led::sizeHint() const
{
    return QWidget::sizeHint();
}

QSize Led::minimumSizeHint() const
{
    return QWidget::minimumSizeHint();
}

void Led::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(m_color);
    const int h = height();
    painter.drawEllipse(h / 4, h / 4, h / 2, h / 2);
}
