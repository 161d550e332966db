// The device logs against a real SQLite file: date ranges, cell texts from
// the code-text files, clearing, and export to CSV and .xlsx (read back with
// openpyxl).

#include "DeviceTestSupport.h"
#include "FileDialog.h"
#include "LogWidget.h"
#include "MessageBox.h"

#include <QDateEdit>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>

namespace {
const char kDevice[] = "127.0.25.10";
const char kOther[] = "127.0.25.11";
const QDate kDay(2026, 3, 10);

qint64 at(const QDate& date, int h, int m, int s)
{
    return QDateTime(date, QTime(h, m, s), Qt::LocalTime).toSecsSinceEpoch();
}
}

class TestLogWidget : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ConsoleDir> m_console;

    bool insertData(const QString& ip, qint64 date, int seed, bool threePhase)
    {
        // batt_capacity, batt_vol, batt_temp, batt_current, input_line_vol,
        // input_line_vol_max, input_line_vol_min, input_freq, output_vol,
        // output_freq, output_load
        QVariantList values{date, ip, 2, 0, "2025-01-01", 90 + seed, 1234 + seed, 253, 15, 2301, 2405, 2010, 500,
                            2200 + seed, 499, 40 + seed};
        if (!m_console->exec("insert into data(date, device_ip, batt_status, batt_running_time, "
                             "batt_last_replace_date, batt_capacity, batt_vol, batt_temp, batt_current, input_phase, "
                             "input_line_vol, input_line_vol_max, input_line_vol_min, input_freq, "
                             "input_line_fail_reason, output_status, output_phase, output_vol, output_freq, "
                             "output_load, batt_remain_time, batt_replace_flag, batt_full_charge_vol) "
                             "values(?, ?, ?, ?, ?, ?, ?, ?, ?, 1, ?, ?, ?, ?, 0, 2, 1, ?, ?, ?, 0, 0, 0);",
                             values))
            return false;
        if (!threePhase)
            return true;
        return m_console->exec(
            "insert into three_phase_data(date, device_ip, batt_vol, batt_capacity, batt_remain_time, batt_cur, "
            "batt_temp, input_freq, input_r_vol, input_s_vol, input_t_vol, output_freq, output_r_vol, output_s_vol, "
            "output_t_vol, output_r_load, output_s_load, output_t_load, bypass_freq, bypass_r_vol, bypass_s_vol, "
            "bypass_t_vol) values(?, ?, 0, 0, 0, 0, 0, 500, 2201, 2202, 2203, 500, 2211, 2212, 2213, 31, 32, 33, "
            "500, 2221, 2222, 2223);",
            {date, ip});
    }

    static QStringList row(const QTableWidget* table, int r)
    {
        QStringList out;
        for (int c = 0; c < table->columnCount(); ++c)
            out << (table->item(r, c) ? table->item(r, c)->text() : QString("<none>"));
        return out;
    }

    static void query(LogWidget& widget, const QDate& start, const QDate& end)
    {
        widget.startDateEdit()->setDate(start);
        widget.endDateEdit()->setDate(end);
        QTest::mouseClick(widget.findChild<QPushButton*>("btnQuery"), Qt::LeftButton);
    }

private slots:
    void initTestCase()
    {
        // Safety net: a box nobody answered prints to stderr instead of waiting.
        qputenv("UPS_MESSAGEBOX_AUTO", "1");
    }

    void init()
    {
        m_console.reset(new ConsoleDir);
        QVERIFY(m_console->ok());
        Language::instance()->setCurrentIndex(0);
        MessageBox::clearAnswers();
        MessageBox::clearShown();
        FileDialog::clearNextFileNames();
    }

    void cleanup() { m_console.reset(); }

    void datesStartAtToday()
    {
        LogWidget widget(LogWidget::StatusLog);
        QCOMPARE(widget.startDateEdit()->date(), QDate::currentDate());
        QCOMPARE(widget.endDateEdit()->date(), QDate::currentDate());
        QCOMPARE(widget.startDateEdit()->displayFormat(), QString("yyyy-MM-dd"));
        QVERIFY(widget.startDateEdit()->calendarPopup());
        QCOMPARE(widget.table()->editTriggers(), QAbstractItemView::NoEditTriggers);
    }

    void dateRange_data()
    {
        QTest::addColumn<int>("startOffset");
        QTest::addColumn<int>("endOffset");
        QTest::addColumn<QStringList>("dates");
        QTest::addColumn<bool>("warning");
        const QString d = kDay.toString("yyyy-MM-dd");
        const QString next = kDay.addDays(1).toString("yyyy-MM-dd");
        QTest::newRow("same day") << 0 << 0
                                  << QStringList{d + " 23:59:59", d + " 12:00:00", d + " 00:00:00"} << false;
        QTest::newRow("two days") << 0 << 1
                                  << QStringList{next + " 00:00:00", d + " 23:59:59", d + " 12:00:00",
                                                 d + " 00:00:00"}
                                  << false;
        QTest::newRow("end one day before start") << 0 << -1 << QStringList{} << false;
        QTest::newRow("end two days before start") << 0 << -2 << QStringList{"kept"} << true;
    }

    void dateRange()
    {
        QFETCH(int, startOffset);
        QFETCH(int, endOffset);
        QFETCH(QStringList, dates);
        QFETCH(bool, warning);
        const qint64 stamps[] = {at(kDay.addDays(-1), 23, 59, 59), at(kDay, 0, 0, 0), at(kDay, 12, 0, 0),
                                 at(kDay, 23, 59, 59), at(kDay.addDays(1), 0, 0, 0), at(kDay.addDays(2), 0, 0, 1)};
        for (qint64 stamp : stamps) {
            QVERIFY(m_console->exec("insert into status_log(date, device_ip, status) values(?, ?, 6);",
                                    {stamp, kDevice}));
            QVERIFY(m_console->exec("insert into status_log(date, device_ip, status) values(?, ?, 3);",
                                    {stamp, kOther}));
        }
        LogWidget widget(LogWidget::StatusLog);
        widget.setDevice(kDevice, false);
        if (warning) {
            // A table filled by an earlier query stays as it was.
            widget.table()->setRowCount(1);
            widget.table()->setItem(0, 0, new QTableWidgetItem("kept"));
            MessageBox::setNextAnswer(0);
        }
        query(widget, kDay.addDays(startOffset), kDay.addDays(endOffset));
        if (warning) {
            QCOMPARE(MessageBox::shown().size(), 1);
            QCOMPARE(MessageBox::lastShown().title, QString("Warning"));
            QCOMPARE(MessageBox::lastShown().text, QString("Select range of time error!"));
        } else {
            QCOMPARE(MessageBox::shown().size(), 0);
        }
        QStringList shown;
        for (int r = 0; r < widget.table()->rowCount(); ++r)
            shown << widget.table()->item(r, 0)->text();
        QCOMPARE(shown, dates);
        if (!warning) {
            for (int r = 0; r < widget.table()->rowCount(); ++r)
                QCOMPARE(widget.table()->item(r, 1)->text(), QString("Mains power failed, UPS on battery"));
        }
    }

    void statusAndSettingsTexts_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("language");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("status, English")
            << int(LogWidget::StatusLog) << 0
            << QStringList{"Communication lost", "Mains power failed, UPS on battery", "77"};
        QTest::newRow("settings, English")
            << int(LogWidget::SetLog) << 0 << QStringList{"UPS Max Input Volt.(V)|2654|Success", "Buzzer|1|Fail",
                                                           "|5|Success"};
        QTest::newRow("settings, Chinese")
            << int(LogWidget::SetLog) << 1
            << QStringList{QString::fromUtf8("UPS最高输入电压(V)|2654|Success"), QString::fromUtf8("蜂鸣器|1|Fail"),
                           "|5|Success"};
    }

    void statusAndSettingsTexts()
    {
        QFETCH(int, kind);
        QFETCH(int, language);
        QFETCH(QStringList, expected);
        Language::instance()->setCurrentIndex(language);
        const qint64 base = at(kDay, 8, 0, 0);
        QVERIFY(m_console->exec("insert into status_log(date, device_ip, status) values(?, ?, 77);", {base, kDevice}));
        QVERIFY(m_console->exec("insert into status_log(date, device_ip, status) values(?, ?, 6);",
                                {base + 1, kDevice}));
        QVERIFY(m_console->exec("insert into status_log(date, device_ip, status) values(?, ?, 0);",
                                {base + 2, kDevice}));
        QVERIFY(m_console->exec("insert into set_log(date, device_ip, type, value, result) values(?, ?, 99, '5', 1);",
                                {base, kDevice}));
        QVERIFY(m_console->exec("insert into set_log(date, device_ip, type, value, result) values(?, ?, 13, '1', 0);",
                                {base + 1, kDevice}));
        QVERIFY(m_console->exec(
            "insert into set_log(date, device_ip, type, value, result) values(?, ?, 4, '2654', 1);", {base + 2, kDevice}));

        LogWidget widget(kind);
        widget.setDevice(kDevice, false);
        query(widget, kDay, kDay);
        QCOMPARE(widget.table()->rowCount(), expected.size());
        for (int r = 0; r < expected.size(); ++r) {
            const QStringList cells = row(widget.table(), r);
            QCOMPARE(cells.first(), QDateTime::fromSecsSinceEpoch(base + 2 - r).toString("yyyy-MM-dd hh:mm:ss"));
            QCOMPARE(cells.mid(1).join('|'), expected.at(r));
            QCOMPARE(widget.table()->item(r, 1)->textAlignment(), int(Qt::AlignCenter));
        }
        Language::instance()->setCurrentIndex(0);
    }

    void dataLogColumnsAndValues()
    {
        QVERIFY(insertData(kDevice, at(kDay, 9, 0, 0), 0, true));
        QVERIFY(insertData(kDevice, at(kDay, 9, 1, 0), 1, true));
        QVERIFY(insertData(kOther, at(kDay, 9, 0, 0), 5, false));
        LogWidget widget(LogWidget::DataLog);
        QCOMPARE(widget.table()->columnCount(), 12);
        QCOMPARE(widget.table()->horizontalHeaderItem(11)->text(), QString("Output load"));

        widget.setDevice(kDevice, false);
        query(widget, kDay, kDay);
        QCOMPARE(widget.table()->rowCount(), 2);
        QCOMPARE(row(widget.table(), 0).mid(1), QStringList({"91", "12.35", "25.3", "1.5", "230.1", "240.5", "201.0",
                                                             "50.0", "220.1", "49.9", "41"}));

        // Three-phase: 24 columns from the join, per-phase loads as integers.
        widget.setDevice(kDevice, true);
        QCOMPARE(widget.table()->rowCount(), 0);
        QCOMPARE(widget.table()->columnCount(), 24);
        QCOMPARE(widget.table()->horizontalHeaderItem(23)->text(), QString("Bypass T phase voltage"));
        query(widget, kDay, kDay);
        QCOMPARE(widget.table()->rowCount(), 2);
        QCOMPARE(row(widget.table(), 1).mid(12), QStringList({"220.1", "220.2", "220.3", "221.1", "221.2", "221.3",
                                                              "31", "32", "33", "222.1", "222.2", "222.3"}));

        // The same device again keeps the table; another device clears it.
        widget.setDevice(kDevice, true);
        QCOMPARE(widget.table()->rowCount(), 2);
        widget.setDevice(kOther, false);
        QCOMPARE(widget.table()->rowCount(), 0);
        QCOMPARE(widget.table()->columnCount(), 12);
    }

    void clearLogs_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QList<int>>("left"); // data, three_phase_data, set_log, status_log of kDevice
        QTest::newRow("data log") << int(LogWidget::DataLog) << 0 << QList<int>{0, 0, 1, 1};
        QTest::newRow("data log, No") << int(LogWidget::DataLog) << 1 << QList<int>{1, 1, 1, 1};
        QTest::newRow("set log") << int(LogWidget::SetLog) << 0 << QList<int>{1, 1, 0, 1};
        QTest::newRow("status log") << int(LogWidget::StatusLog) << 0 << QList<int>{1, 1, 1, 0};
    }

    void clearLogs()
    {
        QFETCH(int, kind);
        QFETCH(int, answer);
        QFETCH(QList<int>, left);
        for (const char* ip : {kDevice, kOther}) {
            QVERIFY(insertData(ip, at(kDay, 9, 0, 0), 0, true));
            QVERIFY(m_console->exec("insert into set_log(date, device_ip, type, value, result) "
                                    "values(1, ?, 4, '1', 1);", {ip}));
            QVERIFY(m_console->exec("insert into status_log(date, device_ip, status) values(1, ?, 2);", {ip}));
        }
        LogWidget widget(kind);
        widget.setDevice(kDevice, true);
        MessageBox::setNextAnswer(answer);
        MessageBox::setNextAnswer(0);
        QTest::mouseClick(widget.findChild<QPushButton*>("btnClear"), Qt::LeftButton);
        QCOMPARE(MessageBox::shown().first().text, QString("Are you sure to clear all logs?!"));
        if (answer == 0) {
            QCOMPARE(MessageBox::shown().size(), 2);
            QCOMPARE(MessageBox::lastShown().text, QString("Clear logs finished!"));
        } else {
            QCOMPARE(MessageBox::shown().size(), 1);
            MessageBox::clearAnswers();
        }
        const char* tables[] = {"data", "three_phase_data", "set_log", "status_log"};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(m_console->count(QString("select count(*) from %1 where device_ip=?;").arg(tables[i]), {kDevice}),
                     left.at(i));
            QCOMPARE(m_console->count(QString("select count(*) from %1 where device_ip=?;").arg(tables[i]), {kOther}),
                     1);
        }
    }

    void exportCsv()
    {
        const qint64 base = at(kDay, 8, 0, 0);
        const QStringList values{"plain", "a,b", "say \"hi\"", "line1\nline2", ""};
        for (int i = 0; i < values.size(); ++i)
            QVERIFY(m_console->exec("insert into set_log(date, device_ip, type, value, result) values(?, ?, 4, ?, 1);",
                                    {base - i, kDevice, values.at(i)}));
        LogWidget widget(LogWidget::SetLog);
        widget.setDevice(kDevice, false);
        query(widget, kDay, kDay);
        QCOMPARE(widget.table()->rowCount(), 5);

        QTemporaryDir out;
        const QString file = out.filePath("set log.csv");
        FileDialog::setNextFileName(file);
        MessageBox::setNextAnswer(0);
        QTest::mouseClick(widget.findChild<QPushButton*>("btnExport"), Qt::LeftButton);
        QCOMPARE(MessageBox::lastShown().text, QString("Export succeed!"));
        QFile csv(file);
        QVERIFY(csv.open(QIODevice::ReadOnly));
        const QByteArray content = csv.readAll();
        QByteArray expected = "Date,Item,Value,Result,\n";
        const char* cells[] = {"'plain,", "\"'a,b\",", "\"'say \"\"hi\"\"\",", "\"'line1\nline2\",", "',"};
        for (int i = 0; i < 5; ++i)
            expected += "'" + QDateTime::fromSecsSinceEpoch(base - i).toString("yyyy-MM-dd hh:mm:ss").toLatin1()
                        + ",'UPS Max Input Volt.(V)," + cells[i] + "'Success,\n";
        QCOMPARE(content, expected);

        // An independent CSV reader sees five fields (and the trailing empty one) per row.
        QProcess python;
        python.start("/usr/bin/python3", {"-c", "import csv,sys,json; print(json.dumps(list(csv.reader(open(sys.argv[1], "
                                                "newline='')))))", file});
        QVERIFY(python.waitForFinished(20000));
        const QJsonArray rows = QJsonDocument::fromJson(python.readAllStandardOutput()).array();
        QCOMPARE(rows.size(), 6);
        for (const QJsonValue& r : rows)
            QCOMPARE(r.toArray().size(), 5);
        QCOMPARE(rows.at(2).toArray().at(2).toString(), QString("'a,b"));
        QCOMPARE(rows.at(3).toArray().at(2).toString(), QString("'say \"hi\""));
        QCOMPARE(rows.at(4).toArray().at(2).toString(), QString("'line1\nline2"));
    }

    void exportXlsx()
    {
        if (QProcess::execute("/usr/bin/python3", {"-c", "import openpyxl"}) != 0)
            QSKIP("python3-openpyxl not installed");
        QVERIFY(insertData(kDevice, at(kDay, 9, 0, 0), 0, true));
        QVERIFY(insertData(kDevice, at(kDay, 9, 1, 0), 1, true));
        LogWidget widget(LogWidget::DataLog);
        widget.setDevice(kDevice, true);
        query(widget, kDay, kDay);
        QCOMPARE(widget.table()->rowCount(), 2);
        widget.table()->item(1, 5)->setText(QString()); // an empty cell

        QTemporaryDir out;
        const QString file = out.filePath("data.xlsx");
        FileDialog::setNextFileName(file);
        MessageBox::setNextAnswer(0);
        QTest::mouseClick(widget.findChild<QPushButton*>("btnExport"), Qt::LeftButton);
        QCOMPARE(MessageBox::lastShown().text, QString("Export succeed!"));

        const char* script =
            "import json, sys, openpyxl\n"
            "ws = openpyxl.load_workbook(sys.argv[1]).active\n"
            "rows = [[c.value for c in r] for r in ws.iter_rows()]\n"
            "fmt = [[c.alignment.horizontal, c.alignment.vertical] for c in ws[2]]\n"
            "widths = [ws.column_dimensions[openpyxl.utils.get_column_letter(i + 1)].width for i in range(ws.max_column)]\n"
            "print(json.dumps({'rows': rows, 'fmt': fmt, 'widths': widths}))\n";
        QProcess python;
        python.start("/usr/bin/python3", {"-c", script, file});
        QVERIFY(python.waitForFinished(30000));
        QCOMPARE(python.exitCode(), 0);
        const QJsonObject book = QJsonDocument::fromJson(python.readAllStandardOutput()).object();
        const QJsonArray rows = book["rows"].toArray();
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows.at(0).toArray().size(), 24);
        for (int c = 0; c < 24; ++c) {
            QCOMPARE(rows.at(0).toArray().at(c).toString(), widget.table()->horizontalHeaderItem(c)->text());
            for (int r = 0; r < 2; ++r) {
                const QString text = widget.table()->item(r, c)->text();
                const QJsonValue cell = rows.at(r + 1).toArray().at(c);
                if (text.isEmpty())
                    QVERIFY(cell.isNull() || cell.toString().isEmpty());
                else
                    QCOMPARE(cell.toString(), "'" + text);
            }
            const double width = book["widths"].toArray().at(c).toDouble();
            QVERIFY2(width >= 20.0 && width < 21.0, qPrintable(QString::number(width)));
            QCOMPARE(book["fmt"].toArray().at(c).toArray().at(0).toString(), QString("center"));
            QCOMPARE(book["fmt"].toArray().at(c).toArray().at(1).toString(), QString("center"));
        }
    }

    void exportFailureOrCancelShowsNothing()
    {
        LogWidget widget(LogWidget::StatusLog);
        FileDialog::setNextFileName(QString()); // cancelled
        QTest::mouseClick(widget.findChild<QPushButton*>("btnExport"), Qt::LeftButton);
        FileDialog::setNextFileName("/nonexistent-dir/x.csv");
        QTest::mouseClick(widget.findChild<QPushButton*>("btnExport"), Qt::LeftButton);
        FileDialog::setNextFileName("/nonexistent-dir/x.xlsx");
        QTest::mouseClick(widget.findChild<QPushButton*>("btnExport"), Qt::LeftButton);
        QCOMPARE(MessageBox::shown().size(), 0);
    }

    void csvFieldQuoting_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("field");
        QTest::newRow("plain") << "'abc" << "'abc";
        QTest::newRow("comma") << "'a,b" << "\"'a,b\"";
        QTest::newRow("quote") << "'a\"b" << "\"'a\"\"b\"";
        QTest::newRow("line feed") << "'a\nb" << "\"'a\nb\"";
        QTest::newRow("carriage return") << "'a\rb" << "\"'a\rb\"";
        QTest::newRow("apostrophe only") << "'" << "'";
    }

    void csvFieldQuoting()
    {
        QFETCH(QString, text);
        QFETCH(QString, field);
        QCOMPARE(LogWidget::csvField(text), field);
    }
};

QTEST_MAIN(TestLogWidget)
#include "test_log_widget.moc"
