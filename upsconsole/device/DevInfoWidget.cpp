#include "DevInfoWidget.h"

#include <QVariant>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>

namespace {
struct Field
{
    const char* caption;
    const char* name;
};

const Field kFields[] = {
    {QT_TRANSLATE_NOOP("DevInfoWidget", "Model:"), "ups_model"},
    {QT_TRANSLATE_NOOP("DevInfoWidget", "Name:"), "ups_name"},
    {QT_TRANSLATE_NOOP("DevInfoWidget", "UPS FW version:"), "ups_fw_version"},
    {QT_TRANSLATE_NOOP("DevInfoWidget", "Manufacture date:"), "ups_manufacture_date"},
    {QT_TRANSLATE_NOOP("DevInfoWidget", "SN:"), "ups_serial"},
    {QT_TRANSLATE_NOOP("DevInfoWidget", "Agent FW version:"), "agent_fw_version"},
};

// The card's texts are NUL-terminated within their fixed buffers.
QString text(const char* field)
{
    return QString::fromUtf8(field, int(qstrnlen(field, SNMPData::kTextSize)));
}
} // namespace

DevInfoWidget::DevInfoWidget(QWidget* parent)
    : QWidget(parent)
{
    auto* grid = new QGridLayout(this);
    int row = 0;
    for (const Field& field : kFields) {
        auto* caption = new QLabel(this);
        auto* value = new QLabel(this);
        value->setObjectName(QLatin1String(field.name));
        value->setTextFormat(Qt::PlainText);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        grid->addWidget(caption, row, 0);
        grid->addWidget(value, row, 1);
        m_captions.append(caption);
        m_values.append(value);
        ++row;
    }
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(row, 1);
    retranslateUi();
}

void DevInfoWidget::showData(const SNMPData& data)
{
    const char* fields[] = {data.ups_model,  data.ups_name,   data.ups_fw_version, data.ups_manufacture_date,
                            data.ups_serial, data.agent_fw_version};
    for (int i = 0; i < m_values.size(); ++i)
        m_values.at(i)->setText(text(fields[i]));
}

void DevInfoWidget::retranslateUi()
{
    for (int i = 0; i < m_captions.size(); ++i)
        m_captions.at(i)->setText(tr(kFields[i].caption));
}

void DevInfoWidget::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslateUi();
    QWidget::changeEvent(event);
}
