#include "RealTimeWidget.h"

#include <QVariant>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {
struct Field
{
    int group; // 0 battery, 1 input, 2 output
    const char* caption;
    const char* name;
    const char* unit;
};

const Field kFields[] = {
    {0, QT_TRANSLATE_NOOP("RealTimeWidget", "Capacity:"), "batt_capacity", "%"},
    {0, QT_TRANSLATE_NOOP("RealTimeWidget", "Voltage:"), "batt_vol", "V"},
    {0, QT_TRANSLATE_NOOP("RealTimeWidget", "Temperature:"), "batt_temp", "\u2103"},
    {0, QT_TRANSLATE_NOOP("RealTimeWidget", "Current:"), "batt_current", "A"},
    {1, QT_TRANSLATE_NOOP("RealTimeWidget", "Line voltage:"), "input_line_vol", "V"},
    {1, QT_TRANSLATE_NOOP("RealTimeWidget", "Line max voltage:"), "input_line_vol_max", "V"},
    {1, QT_TRANSLATE_NOOP("RealTimeWidget", "Line min voltage:"), "input_line_vol_min", "V"},
    {1, QT_TRANSLATE_NOOP("RealTimeWidget", "Frequency:"), "input_freq", "Hz"},
    {2, QT_TRANSLATE_NOOP("RealTimeWidget", "Voltage:"), "output_vol", "V"},
    {2, QT_TRANSLATE_NOOP("RealTimeWidget", "Frequency:"), "output_freq", "Hz"},
    {2, QT_TRANSLATE_NOOP("RealTimeWidget", "Load:"), "output_load", "%"},
};

QString tenths(int value)
{
    return QString::number(value * 0.1, 'f', 1);
}
} // namespace

RealTimeWidget::RealTimeWidget(QWidget* parent)
    : QWidget(parent)
{
    auto* outer = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    m_battery = new QGroupBox(this);
    m_input = new QGroupBox(this);
    m_output = new QGroupBox(this);
    QGroupBox* groups[] = {m_battery, m_input, m_output};
    QGridLayout* grids[3];
    int lines[3] = {0, 0, 0};
    for (int g = 0; g < 3; ++g) {
        grids[g] = new QGridLayout(groups[g]);
        row->addWidget(groups[g]);
    }
    for (const Field& field : kFields) {
        QGroupBox* box = groups[field.group];
        auto* caption = new QLabel(box);
        auto* value = new QLabel(QStringLiteral("0.0"), box);
        value->setObjectName(QLatin1String(field.name));
        value->setFrameShape(QFrame::Panel);
        value->setFrameShadow(QFrame::Sunken);
        value->setMinimumWidth(70);
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        auto* unit = new QLabel(QString::fromUtf8(field.unit), box);
        const int line = lines[field.group]++;
        grids[field.group]->addWidget(caption, line, 0);
        grids[field.group]->addWidget(value, line, 1);
        grids[field.group]->addWidget(unit, line, 2);
        m_rows.append({field.caption, caption, value});
    }
    outer->addLayout(row);
    outer->addStretch();
    retranslateUi();
}

void RealTimeWidget::showData(const SNMPData& data)
{
    for (const Row& row : qAsConst(m_rows)) {
        const QByteArray name = row.value->objectName().toLatin1();
        QString text;
        if (name == "batt_capacity")
            text = QString::number(data.batt_capacity);
        else if (name == "batt_vol")
            text = QString::number(data.batt_vol * 0.01, 'f', 2);
        else if (name == "batt_temp")
            text = tenths(data.batt_temp);
        else if (name == "batt_current")
            text = tenths(data.batt_current);
        else if (name == "input_line_vol")
            text = tenths(data.input_line_vol);
        else if (name == "input_line_vol_max")
            text = tenths(data.input_line_vol_max);
        else if (name == "input_line_vol_min")
            text = tenths(data.input_line_vol_min);
        else if (name == "input_freq")
            text = tenths(data.input_freq);
        else if (name == "output_vol")
            text = tenths(data.output_vol);
        else if (name == "output_freq")
            text = tenths(data.output_freq);
        else if (name == "output_load")
            text = QString::number(data.output_load);
        row.value->setText(text);
    }
}

void RealTimeWidget::retranslateUi()
{
    m_battery->setTitle(tr("Battery"));
    m_input->setTitle(tr("Input"));
    m_output->setTitle(tr("Output"));
    for (const Row& row : qAsConst(m_rows))
        row.captionLabel->setText(tr(row.caption));
}

void RealTimeWidget::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslateUi();
    QWidget::changeEvent(event);
}
