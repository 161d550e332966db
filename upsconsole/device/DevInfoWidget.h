#pragma once

// "Dev info" tab of the device panel: the identity texts of one SNMPData
// record. Each value label is named after its SNMPData field ("ups_model").

#include "SNMPData.h"

#include <QList>
#include <QWidget>

class QLabel;

class DevInfoWidget : public QWidget
{
    Q_OBJECT
public:
    explicit DevInfoWidget(QWidget* parent = nullptr);

    void showData(const SNMPData& data);

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslateUi();
    QList<QLabel*> m_captions;
    QList<QLabel*> m_values;
};
