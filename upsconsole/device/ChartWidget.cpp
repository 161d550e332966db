#include "ChartWidget.h"

#include <QVariant>
#include <QDateTime>
#include <QEvent>
#include <QMouseEvent>
#include <QToolTip>
#include <QVBoxLayout>

#include <qcustomplot.h>

ChartWidget::ChartWidget(QWidget* parent)
    : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    m_plot = new QCustomPlot(this);
    layout->addWidget(m_plot);

    m_plot->plotLayout()->insertRow(0);
    m_title = new QCPTextElement(m_plot, QString(), QFont(font().family(), 12, QFont::Bold));
    m_plot->plotLayout()->addElement(0, 0, m_title);

    QCPGraph* input = m_plot->addGraph();
    input->setPen(QPen(Qt::red));
    QCPGraph* output = m_plot->addGraph();
    output->setPen(QPen(Qt::blue));
    m_plot->legend->setVisible(true);

    QSharedPointer<QCPAxisTickerDateTime> ticker(new QCPAxisTickerDateTime);
    ticker->setDateTimeFormat(QStringLiteral("hh:mm:ss"));
    ticker->setDateTimeSpec(Qt::LocalTime);
    m_plot->xAxis->setTicker(ticker);
    m_plot->yAxis->setRange(0, 250);
    const double now = double(QDateTime::currentSecsSinceEpoch());
    m_plot->xAxis->setRange(now - kMaxPoints, now);

    connect(m_plot, &QCustomPlot::mousePress, this, &ChartWidget::handlePlotClickEvent);
    retranslateUi();
}

void ChartWidget::addData(const SNMPData& data)
{
    addData(data, QDateTime::currentSecsSinceEpoch());
}

void ChartWidget::addData(const SNMPData& data, qint64 now)
{
    if (now <= m_lastTime)
        return; // one point per second at most
    m_lastTime = now;
    const double values[2] = {data.input_line_vol * 0.1, data.output_vol * 0.1};
    for (int i = 0; i < 2; ++i) {
        while (m_keys[i].size() >= kMaxPoints) {
            m_keys[i].removeFirst();
            m_values[i].removeFirst();
        }
        m_keys[i].append(double(now));
        m_values[i].append(values[i]);
        m_plot->graph(i)->setData(m_keys[i], m_values[i], true);
    }
    m_plot->xAxis->setRange(double(now), kMaxPoints, Qt::AlignRight);
    m_plot->replot(QCustomPlot::rpQueuedReplot);
}

void ChartWidget::changeDevice(bool threePhase)
{
    m_threePhase = threePhase;
    for (int i = 0; i < 2; ++i) {
        m_keys[i].clear();
        m_values[i].clear();
        m_plot->graph(i)->data()->clear();
    }
    m_plot->replot();
}

void ChartWidget::handlePlotClickEvent(QMouseEvent* event)
{
    if (!event || event->button() != Qt::LeftButton)
        return;
    if (!m_plot->viewport().contains(event->pos()))
        return;
    const double value = m_plot->yAxis->pixelToCoord(event->pos().y());
    m_lastReadout = tr("Voltage: %1V").arg(QString::number(value, 'f', 1));
    QToolTip::showText(event->globalPos(), m_lastReadout, m_plot);
}

void ChartWidget::retranslateUi()
{
    m_title->setText(tr("Voltage"));
    m_plot->xAxis->setLabel(tr("Time"));
    m_plot->yAxis->setLabel(tr("Voltage(V)"));
    m_plot->graph(0)->setName(tr("Input"));
    m_plot->graph(1)->setName(tr("Output"));
    m_plot->replot(QCustomPlot::rpQueuedReplot);
}

void ChartWidget::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslateUi();
    QWidget::changeEvent(event);
}
