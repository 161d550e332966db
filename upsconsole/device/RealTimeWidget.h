#pragma once

// "Real time data" tab of the device panel: battery, input and output values
// of one SNMPData record. Each value label is named after its SNMPData field
// (for example "batt_vol"), so that it can be found with findChild.

#include "SNMPData.h"

#include <QList>
#include <QWidget>

class QGroupBox;
class QLabel;

class RealTimeWidget : public QWidget
{
    Q_OBJECT
public:
    explicit RealTimeWidget(QWidget* parent = nullptr);

    void showData(const SNMPData& data);
    void setThreePhase(bool threePhase) { m_threePhase = threePhase; }
    bool isThreePhase() const { return m_threePhase; }

protected:
    void changeEvent(QEvent* event) override;

private:
    struct Row
    {
        const char* caption;
        QLabel* captionLabel;
        QLabel* value;
    };
    void retranslateUi();

    bool m_threePhase = false;
    QGroupBox* m_battery = nullptr;
    QGroupBox* m_input = nullptr;
    QGroupBox* m_output = nullptr;
    QList<Row> m_rows;
};
