#include "ListWidgetItem.h"

#include "Led.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>

ListWidgetItem::ListWidgetItem(const QString& host, QWidget* parent)
    : QWidget(parent)
    , m_host(host)
    , m_label(new QLabel(host, this))
    , m_led(new Led(this))
{
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_label);
    layout->addWidget(m_led);
    layout->addStretch();
    m_led->setColor(Qt::gray);
    setToolTip(tr("Offline"));
}

QString ListWidgetItem::statusTip(const QByteArray& data)
{
    const auto byteAt = [&data](int i) { return i < data.size() ? static_cast<quint8>(data.at(i)) : quint8(0); };
    const quint8 battery = byteAt(0);
    const quint8 input = byteAt(1);
    const quint8 output = byteAt(2);
    const quint8 capacity = byteAt(3);

    QString batteryText;
    if (battery == 2)
        batteryText = tr("Normal");
    else if (battery == 3)
        batteryText = tr("Battery low");
    else
        batteryText = tr("Unknow");

    QString inputText;
    if (input == 0)
        inputText = tr("Normal");
    else if (input == 1)
        inputText = tr("No transfer");
    else if (input == 2)
        inputText = tr("High line voltage");
    else
        inputText = tr("Unknown");

    QString outputText;
    if (output == 2)
        outputText = tr("On line");
    else if (output == 3)
        outputText = tr("On battery");
    else if (output == 6)
        outputText = tr("On bypass");
    else
        outputText = tr("Unknow");

    return tr("Battery status: %1").arg(batteryText) + QLatin1Char('\n') + tr("Input status: %1").arg(inputText)
        + QLatin1Char('\n') + tr("Output status: %1").arg(outputText) + QLatin1Char('\n')
        + tr("Battery capacity: %1 %").arg(capacity);
}

void ListWidgetItem::refreshTip()
{
    setToolTip(m_tipShowsData ? statusTip(m_data) : tr("Offline"));
}

void ListWidgetItem::setStatus(int status)
{
    m_status = status;
    m_led->setColor(status == 0 ? QColor(Qt::gray) : QColor(Qt::green));
    m_tipShowsData = status != 0;
    refreshTip();
}

void ListWidgetItem::setData(const QByteArray& data)
{
    m_data = data.left(4);
    m_data.resize(4);
    m_tipShowsData = true;
    refreshTip();
    const bool alarm = static_cast<quint8>(m_data.at(0)) == 3 || m_data.at(1) != 0;
    if (alarm != m_alarm) {
        m_alarm = alarm;
        m_led->setColor(alarm ? QColor(Qt::red) : QColor(Qt::green));
    }
}

void ListWidgetItem::setHost(const QString& host)
{
    m_host = host;
    m_label->setText(host);
}

void ListWidgetItem::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        refreshTip();
    QWidget::changeEvent(event);
}
