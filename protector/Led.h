#pragma once

#include <QColor>
#include <QWidget>

// A round status lamp.
class Led : public QWidget
{
    Q_OBJECT
public:
    explicit Led(QWidget* parent = nullptr);
    void setColor(const QColor& color);
    QColor color() const { return m_color; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_color = Qt::gray;
};
