#pragma once

// "Chart" tab of the device panel: input and output voltage of the current
// device over the last minute, at most one point per second.

#include "SNMPData.h"

#include <QVector>
#include <QWidget>

class QCustomPlot;
class QCPTextElement;
class QMouseEvent;

class ChartWidget : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kMaxPoints = 60;

    explicit ChartWidget(QWidget* parent = nullptr);

    // Adds a live record, stamped with the current time (whole seconds).
    void addData(const SNMPData& data);
    // Same, with the time given in Unix seconds.
    void addData(const SNMPData& data, qint64 now);
    // A new device: empties both curves and replots.
    void changeDevice(bool threePhase);

    QCustomPlot* plot() const { return m_plot; }
    qint64 lastTime() const { return m_lastTime; }
    bool isThreePhase() const { return m_threePhase; }
    // Text of the last click read-out ("Voltage: %1V").
    QString lastReadout() const { return m_lastReadout; }

public slots:
    void handlePlotClickEvent(QMouseEvent* event);

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslateUi();

    QCustomPlot* m_plot = nullptr;
    QCPTextElement* m_title = nullptr;
    QVector<double> m_keys[2];
    QVector<double> m_values[2];
    qint64 m_lastTime = 0;
    bool m_threePhase = false;
    QString m_lastReadout;
};
