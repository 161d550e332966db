// Device panel, voltage chart, real-time and identity pages fed with
// SNMPData records the way the engine's devDataChanged delivers them.

#include "ChartWidget.h"
#include "DevInfoWidget.h"
#include "DevicePanel.h"
#include "DeviceTestSupport.h"
#include "LogWidget.h"
#include "RealTimeWidget.h"
#include "SNMP.h"

#include "DialogSettingsEmail.h"
#include "EmailService.h"

#include <QHeaderView>
#include <QLabel>
#include <QProcess>
#include <QTranslator>
#include <QTabWidget>
#include <QTableWidget>

#include <qcustomplot.h>

namespace {
SNMPData record(int inputVol, int outputVol)
{
    SNMPData data;
    data.input_line_vol = inputVol;
    data.output_vol = outputVol;
    return data;
}

QString label(QWidget* page, const char* name)
{
    auto* l = page->findChild<QLabel*>(name);
    return l ? l->text() : QString("<missing %1>").arg(name);
}
}

class TestDevicePanel : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ConsoleDir> m_console;

private slots:
    void init()
    {
        m_console.reset(new ConsoleDir);
        QVERIFY(m_console->ok());
    }
    void cleanup()
    {
        if (SNMP::exists())
            SNMP::destroy();
        m_console.reset();
    }

    // ---- chart ----

    void chartLayout()
    {
        ChartWidget chart;
        QCustomPlot* plot = chart.plot();
        QCOMPARE(plot->graphCount(), 2);
        QCOMPARE(plot->graph(0)->name(), QString("Input"));
        QCOMPARE(plot->graph(1)->name(), QString("Output"));
        QCOMPARE(plot->graph(0)->pen().color(), QColor(Qt::red));
        QCOMPARE(plot->graph(1)->pen().color(), QColor(Qt::blue));
        QVERIFY(plot->legend->visible());
        QCOMPARE(plot->yAxis->range().lower, 0.0);
        QCOMPARE(plot->yAxis->range().upper, 250.0);
        QCOMPARE(plot->xAxis->label(), QString("Time"));
        QCOMPARE(plot->yAxis->label(), QString("Voltage(V)"));
        auto* title = qobject_cast<QCPTextElement*>(plot->plotLayout()->element(0, 0));
        QVERIFY(title);
        QCOMPARE(title->text(), QString("Voltage"));
        auto ticker = plot->xAxis->ticker().dynamicCast<QCPAxisTickerDateTime>();
        QVERIFY(ticker);
        QCOMPARE(ticker->dateTimeFormat(), QString("hh:mm:ss"));
    }

    void chartOnePointPerSecond()
    {
        ChartWidget chart;
        const qint64 t = 1773100000;
        chart.addData(record(2301, 2200), t);
        chart.addData(record(2500, 2100), t);     // same second: ignored
        chart.addData(record(2500, 2100), t - 5); // older: ignored
        QCOMPARE(chart.plot()->graph(0)->dataCount(), 1);
        QCOMPARE(chart.plot()->graph(0)->data()->at(0)->value, 230.1);
        QCOMPARE(chart.plot()->graph(1)->data()->at(0)->value, 220.0);
        QCOMPARE(chart.lastTime(), t);
    }

    void chartKeepsTheLastSixtySeconds()
    {
        ChartWidget chart;
        const qint64 t0 = 1773100000;
        for (int i = 0; i <= 60; ++i)
            chart.addData(record(2000 + i, 1000 + i), t0 + i);
        for (int g = 0; g < 2; ++g) {
            QCPGraph* graph = chart.plot()->graph(g);
            QCOMPARE(graph->dataCount(), 60);
            QCOMPARE(graph->data()->at(0)->key, double(t0 + 1));
            QCOMPARE(graph->data()->at(59)->key, double(t0 + 60));
        }
        QCOMPARE(chart.plot()->graph(0)->data()->at(59)->value, 206.0);
        QCOMPARE(chart.plot()->graph(1)->data()->at(0)->value, 100.1);
        QCOMPARE(chart.plot()->xAxis->range().lower, double(t0));
        QCOMPARE(chart.plot()->xAxis->range().upper, double(t0 + 60));

        // A new device empties both curves; the last time stays.
        chart.changeDevice(true);
        QCOMPARE(chart.plot()->graph(0)->dataCount(), 0);
        QCOMPARE(chart.plot()->graph(1)->dataCount(), 0);
        QVERIFY(chart.isThreePhase());
        chart.addData(record(2300, 2300), t0 + 60);
        QCOMPARE(chart.plot()->graph(0)->dataCount(), 0);
        chart.addData(record(2300, 2300), t0 + 61);
        QCOMPARE(chart.plot()->graph(0)->dataCount(), 1);
    }

    void chartClickReadout()
    {
        ChartWidget chart;
        chart.resize(640, 480);
        chart.show();
        QVERIFY(QTest::qWaitForWindowExposed(&chart));
        QCustomPlot* plot = chart.plot();
        plot->replot();
        const QPoint middle(plot->axisRect()->center().x(), int(plot->yAxis->coordToPixel(125.0)));

        QTest::mouseClick(plot, Qt::RightButton, Qt::NoModifier, middle);
        QCOMPARE(chart.lastReadout(), QString());

        // One pixel of a 0..250 axis is well under one volt here.
        const double voltsPerPixel = 250.0 / plot->axisRect()->height();
        QVERIFY(voltsPerPixel < 1.0);
        auto readout = [&](const QPoint& at) {
            QTest::mouseClick(plot, Qt::LeftButton, Qt::NoModifier, at);
            const QString text = chart.lastReadout();
            const QRegularExpressionMatch m = QRegularExpression("^Voltage: (-?\\d+\\.\\d)V$").match(text);
            return m.hasMatch() ? m.captured(1).toDouble() : -1000.0;
        };
        const double mid = readout(middle);
        QVERIFY2(qAbs(mid - 125.0) <= voltsPerPixel + 0.05, qPrintable(chart.lastReadout()));
        const double top = readout(QPoint(middle.x(), plot->axisRect()->top()));
        QVERIFY2(qAbs(top - 250.0) <= voltsPerPixel + 0.05, qPrintable(chart.lastReadout()));
        const double bottom = readout(QPoint(middle.x(), plot->axisRect()->bottom()));
        QVERIFY2(qAbs(bottom) <= voltsPerPixel + 0.05, qPrintable(chart.lastReadout()));
    }

    // ---- real-time and identity pages ----

    void realTimeValues()
    {
        RealTimeWidget page;
        QCOMPARE(label(&page, "batt_vol"), QString("0.0"));
        SNMPData data;
        data.batt_capacity = 87;
        data.batt_vol = 5432;
        data.batt_temp = 256;
        data.batt_current = -12;
        data.input_line_vol = 2301;
        data.input_line_vol_max = 2450;
        data.input_line_vol_min = 1985;
        data.input_freq = 499;
        data.output_vol = 2200;
        data.output_freq = 500;
        data.output_load = 43;
        page.showData(data);
        const QList<QPair<const char*, QString>> expected = {
            {"batt_capacity", "87"},       {"batt_vol", "54.32"},          {"batt_temp", "25.6"},
            {"batt_current", "-1.2"},      {"input_line_vol", "230.1"},   {"input_line_vol_max", "245.0"},
            {"input_line_vol_min", "198.5"}, {"input_freq", "49.9"},        {"output_vol", "220.0"},
            {"output_freq", "50.0"},       {"output_load", "43"}};
        for (const auto& e : expected)
            QCOMPARE(label(&page, e.first), e.second);
        page.showData(SNMPData());
        QCOMPARE(label(&page, "batt_capacity"), QString("0"));
        QCOMPARE(label(&page, "batt_vol"), QString("0.00"));
        QCOMPARE(label(&page, "output_vol"), QString("0.0"));
    }

    void devInfoTexts()
    {
        DevInfoWidget page;
        SNMPData data;
        qstrcpy(data.ups_model, "MODEL-X");
        qstrcpy(data.ups_name, "\xe6\x9c\xba\xe6\x88\xbf UPS"); // UTF-8
        qstrcpy(data.ups_fw_version, "<b>1.2</b>");
        qstrcpy(data.ups_manufacture_date, "2024-02-03");
        qstrcpy(data.ups_serial, "SN0001");
        qstrcpy(data.agent_fw_version, "A-3.1");
        page.showData(data);
        QCOMPARE(label(&page, "ups_model"), QString("MODEL-X"));
        QCOMPARE(label(&page, "ups_name"), QString::fromUtf8("\xe6\x9c\xba\xe6\x88\xbf UPS"));
        QCOMPARE(label(&page, "ups_fw_version"), QString("<b>1.2</b>"));
        QCOMPARE(page.findChild<QLabel*>("ups_fw_version")->textFormat(), Qt::PlainText);
        QCOMPARE(label(&page, "ups_serial"), QString("SN0001"));
        QCOMPARE(label(&page, "agent_fw_version"), QString("A-3.1"));
        page.showData(SNMPData());
        QCOMPARE(label(&page, "ups_model"), QString());
    }

    // ---- panel ----

    void panelTabs()
    {
        DevicePanel panel;
        const QStringList texts{"Chart", "Real time data", "Data log", "Set log", "Status log", "Dev info"};
        QCOMPARE(panel.tabs()->count(), texts.size());
        for (int i = 0; i < texts.size(); ++i)
            QCOMPARE(panel.tabs()->tabText(i), texts.at(i));
        QCOMPARE(panel.dataLog()->kind(), int(LogWidget::DataLog));
        QCOMPARE(panel.setLog()->kind(), int(LogWidget::SetLog));
        QCOMPARE(panel.statusLog()->kind(), int(LogWidget::StatusLog));
        QCOMPARE(panel.tabs()->widget(0), static_cast<QWidget*>(panel.chart()));
        QCOMPARE(panel.tabs()->widget(5), static_cast<QWidget*>(panel.devInfo()));
    }

    void panelFollowsSelectionAndData()
    {
        QVERIFY(m_console->exec("insert into device(create_time, station_id, is_three_phase, device_ip, community, "
                                "name, position, admin) values(1, 1, 1, '127.0.25.30', 'public', '', '', '');"));
        DevicePanel panel;

        // Hidden: the selection is not taken.
        panel.handleDevItemChanged("127.0.25.30");
        QCOMPARE(panel.currentDevice(), QString());

        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        panel.handleDevItemChanged("127.0.25.30");
        QCOMPARE(panel.currentDevice(), QString("127.0.25.30"));
        QVERIFY(panel.isThreePhase());
        QCOMPARE(panel.findChild<QLabel*>("currentDevice")->text(), QString("127.0.25.30"));
        QCOMPARE(panel.dataLog()->device(), QString("127.0.25.30"));
        QVERIFY(panel.dataLog()->isThreePhase());
        QCOMPARE(panel.dataLog()->table()->columnCount(), 24);
        QCOMPARE(panel.setLog()->device(), QString("127.0.25.30"));
        QVERIFY(!panel.setLog()->isThreePhase());
        QVERIFY(panel.chart()->isThreePhase());
        QVERIFY(panel.realTime()->isThreePhase());
        // The engine has no record yet: zeros and empty texts.
        QCOMPARE(label(panel.realTime(), "batt_capacity"), QString("0"));
        QCOMPARE(label(panel.realTime(), "input_freq"), QString("0.0"));
        QCOMPARE(label(panel.devInfo(), "ups_model"), QString());

        SNMPData data = record(2301, 2200);
        data.batt_capacity = 77;
        qstrcpy(data.ups_model, "MODEL-X");

        // Another device's data changes nothing.
        panel.tabs()->setCurrentIndex(DevicePanel::RealTimeTab);
        panel.handleDeviceData("127.0.25.31", data);
        QCOMPARE(panel.chart()->plot()->graph(0)->dataCount(), 0);
        QCOMPARE(label(panel.realTime(), "batt_capacity"), QString("0"));

        // While "Data log" is current the chart still grows; the log table is untouched.
        panel.tabs()->setCurrentIndex(DevicePanel::DataLogTab);
        panel.handleDeviceData("127.0.25.30", data);
        QCOMPARE(panel.chart()->plot()->graph(0)->dataCount(), 1);
        QCOMPARE(panel.dataLog()->table()->rowCount(), 0);
        QCOMPARE(label(panel.realTime(), "batt_capacity"), QString("0"));
        QCOMPARE(label(panel.devInfo(), "ups_model"), QString());

        panel.tabs()->setCurrentIndex(DevicePanel::RealTimeTab);
        panel.handleDeviceData("127.0.25.30", data);
        QCOMPARE(label(panel.realTime(), "batt_capacity"), QString("77"));
        QCOMPARE(label(panel.devInfo(), "ups_model"), QString());

        panel.tabs()->setCurrentIndex(DevicePanel::DevInfoTab);
        panel.handleDeviceData("127.0.25.30", data);
        QCOMPARE(label(panel.devInfo(), "ups_model"), QString("MODEL-X"));

        // Hidden again: a new selection and new data are ignored.
        panel.hide();
        const qint64 before = panel.chart()->lastTime();
        panel.handleDevItemChanged("127.0.25.31");
        QCOMPARE(panel.currentDevice(), QString("127.0.25.30"));
        data.batt_capacity = 12;
        panel.tabs()->setCurrentIndex(DevicePanel::RealTimeTab);
        panel.handleDeviceData("127.0.25.30", data);
        QCOMPARE(label(panel.realTime(), "batt_capacity"), QString("77"));
        QCOMPARE(panel.chart()->lastTime(), before);

        // A device without a row is single-phase; the chart is cleared.
        panel.show();
        panel.handleDevItemChanged("127.0.25.31");
        QVERIFY(!panel.isThreePhase());
        QCOMPARE(panel.dataLog()->table()->columnCount(), 12);
        QCOMPARE(panel.chart()->plot()->graph(0)->dataCount(), 0);
    }

    void languageChangeRetranslates()
    {
        QTemporaryDir dir;
        const QString qm = dir.filePath("zh_CN.qm");
        QCOMPARE(QProcess::execute(UPS_LRELEASE,
                                   {"-silent", UPS_SOURCE_DIR "/resources/translations/upsconsole_device_zh_CN.ts",
                                    UPS_SOURCE_DIR "/resources/translations/upsconsole_email_zh_CN.ts", "-qm", qm}),
                 0);
        DevicePanel panel;
        DialogSettingsEmail email;
        QTranslator translator;
        QVERIFY(translator.load(qm));
        QVERIFY(QCoreApplication::installTranslator(&translator));
        QTRY_COMPARE(panel.tabs()->tabText(0), QString::fromUtf8("\u56fe\u8868"));
        QCOMPARE(panel.dataLog()->table()->horizontalHeaderItem(0)->text(), QString::fromUtf8("\u65e5\u671f"));
        QCOMPARE(panel.chart()->plot()->graph(0)->name(), QString::fromUtf8("\u8f93\u5165"));
        QCOMPARE(email.windowTitle(), QString::fromUtf8("\u90ae\u4ef6\u8bbe\u7f6e"));
        QVERIFY(QCoreApplication::removeTranslator(&translator));
        QTRY_COMPARE(panel.tabs()->tabText(0), QString("Chart"));
        QCOMPARE(email.windowTitle(), QString("E-Mail Settings"));
        EmailService::destroy();
    }

    void panelConnectsToTheEngineSignal()
    {
        DevicePanel panel;
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        QVERIFY(connect(SNMP::instance(), &SNMP::devDataChanged, &panel, &DevicePanel::handleDeviceData));
        panel.handleDevItemChanged("127.0.25.32");
        panel.tabs()->setCurrentIndex(DevicePanel::RealTimeTab);
        SNMPData data;
        data.output_load = 55;
        emit SNMP::instance()->devDataChanged("127.0.25.32", data);
        QCOMPARE(label(panel.realTime(), "output_load"), QString("55"));
    }
};

QTEST_MAIN(TestDevicePanel)
#include "test_device_panel.moc"
