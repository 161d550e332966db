#include "LogWidget.h"

#include "AppContext.h"
#include "CodeTextFile.h"
#include "Database.h"
#include "FileDialog.h"
#include "Language.h"
#include "MessageBox.h"

#include <QVariant>
#include <QDateEdit>
#include <QDateTime>
#include <QEvent>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSqlQuery>
#include <QTableWidget>
#include <QVBoxLayout>

#include <xlsxwriter.h>

namespace {

const char* const kSinglePhaseColumns[] = {
    QT_TRANSLATE_NOOP("LogWidget", "Date"),
    QT_TRANSLATE_NOOP("LogWidget", "Battery capacity"),
    QT_TRANSLATE_NOOP("LogWidget", "Battery voltage"),
    QT_TRANSLATE_NOOP("LogWidget", "Battery temperature"),
    QT_TRANSLATE_NOOP("LogWidget", "Battery current"),
    QT_TRANSLATE_NOOP("LogWidget", "Input line voltage"),
    QT_TRANSLATE_NOOP("LogWidget", "Input max line voltage"),
    QT_TRANSLATE_NOOP("LogWidget", "Input min line voltage"),
    QT_TRANSLATE_NOOP("LogWidget", "Input frequency"),
    QT_TRANSLATE_NOOP("LogWidget", "Output voltage"),
    QT_TRANSLATE_NOOP("LogWidget", "Output frequency"),
    QT_TRANSLATE_NOOP("LogWidget", "Output load"),
};

const char* const kThreePhaseColumns[] = {
    QT_TRANSLATE_NOOP("LogWidget", "Input R phase voltage"),
    QT_TRANSLATE_NOOP("LogWidget", "Input S phase voltage"),
    QT_TRANSLATE_NOOP("LogWidget", "Input T phase voltage"),
    QT_TRANSLATE_NOOP("LogWidget", "Output R phase voltage"),
    QT_TRANSLATE_NOOP("LogWidget", "Output S phase voltage"),
    QT_TRANSLATE_NOOP("LogWidget", "Output T phase voltage"),
    QT_TRANSLATE_NOOP("LogWidget", "Output R phase load"),
    QT_TRANSLATE_NOOP("LogWidget", "Output S phase load"),
    QT_TRANSLATE_NOOP("LogWidget", "Output T phase load"),
    QT_TRANSLATE_NOOP("LogWidget", "Bypass R phase voltage"),
    QT_TRANSLATE_NOOP("LogWidget", "Bypass S phase voltage"),
    QT_TRANSLATE_NOOP("LogWidget", "Bypass T phase voltage"),
};

const char* const kSetLogColumns[] = {
    QT_TRANSLATE_NOOP("LogWidget", "Date"),
    QT_TRANSLATE_NOOP("LogWidget", "Item"),
    QT_TRANSLATE_NOOP("LogWidget", "Value"),
    QT_TRANSLATE_NOOP("LogWidget", "Result"),
};

const char* const kStatusLogColumns[] = {
    QT_TRANSLATE_NOOP("LogWidget", "Date"),
    QT_TRANSLATE_NOOP("LogWidget", "Status"),
};

// The range is [start, end): a row stamped exactly at midnight belongs to
// the day it starts.
const char kSinglePhaseQuery[] =
    "select date, batt_capacity, batt_vol, batt_temp, batt_current, input_line_vol, input_line_vol_max, "
    "input_line_vol_min, input_freq, output_vol, output_freq, output_load from data "
    "where device_ip=? and date>=? and date<? order by date desc;";
const char kThreePhaseQuery[] =
    "select d1.date, d1.batt_capacity, d1.batt_vol, d1.batt_temp, d1.batt_current, d1.input_line_vol, "
    "d1.input_line_vol_max, d1.input_line_vol_min, d1.input_freq, d1.output_vol, d1.output_freq, "
    "d1.output_load, d2.input_r_vol, d2.input_s_vol, d2.input_t_vol, d2.output_r_vol, d2.output_s_vol, "
    "d2.output_t_vol, d2.output_r_load, d2.output_s_load, d2.output_t_load, d2.bypass_r_vol, "
    "d2.bypass_s_vol, d2.bypass_t_vol from data d1 inner join three_phase_data d2 "
    "on d1.device_ip=d2.device_ip and d1.date=d2.date "
    "where d1.device_ip=? and d1.date>=? and d1.date<? order by d1.date desc;";
const char kSetLogQuery[] =
    "select date,type,value,result from set_log where device_ip=? and date>=? and date<? order by date desc;";
const char kStatusLogQuery[] =
    "select date,status from status_log where device_ip=? and date>=? and date<? order by date desc;";

QString dateText(const QVariant& value)
{
    return QDateTime::fromSecsSinceEpoch(value.toLongLong()).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

} // namespace

LogWidget::LogWidget(int kind, QWidget* parent)
    : QWidget(parent)
    , m_kind(kind)
{
    m_logTexts.reset(new CodeTextFile(AppContext::appPath(QStringLiteral("cfg/log.conf"))));
    m_trapTexts.reset(new CodeTextFile(AppContext::appPath(QStringLiteral("cfg/trap.conf"))));

    auto* layout = new QVBoxLayout(this);
    auto* bar = new QHBoxLayout;
    m_startLabel = new QLabel(this);
    m_startEdit = new QDateEdit(QDate::currentDate(), this);
    m_startEdit->setObjectName(QStringLiteral("startDate"));
    m_endLabel = new QLabel(this);
    m_endEdit = new QDateEdit(QDate::currentDate(), this);
    m_endEdit->setObjectName(QStringLiteral("endDate"));
    for (QDateEdit* edit : {m_startEdit, m_endEdit}) {
        edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        edit->setCalendarPopup(true);
    }
    m_btnQuery = new QPushButton(this);
    m_btnQuery->setObjectName(QStringLiteral("btnQuery"));
    m_btnClear = new QPushButton(this);
    m_btnClear->setObjectName(QStringLiteral("btnClear"));
    m_btnExport = new QPushButton(this);
    m_btnExport->setObjectName(QStringLiteral("btnExport"));
    bar->addWidget(m_startLabel);
    bar->addWidget(m_startEdit);
    bar->addWidget(m_endLabel);
    bar->addWidget(m_endEdit);
    bar->addWidget(m_btnQuery);
    bar->addWidget(m_btnClear);
    bar->addWidget(m_btnExport);
    bar->addStretch();
    layout->addLayout(bar);

    m_table = new QTableWidget(this);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_table->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(m_table);

    setColumns();
    retranslateUi();

    connect(m_btnQuery, &QPushButton::clicked, this, &LogWidget::readLogs);
    connect(m_btnClear, &QPushButton::clicked, this, &LogWidget::onBtnClearClicked);
    connect(m_btnExport, &QPushButton::clicked, this, &LogWidget::onBtnExportClicked);
}

LogWidget::~LogWidget() = default;

void LogWidget::setColumns()
{
    QStringList headers;
    switch (m_kind) {
    case DataLog:
        for (const char* text : kSinglePhaseColumns)
            headers << tr(text);
        if (m_threePhase) {
            for (const char* text : kThreePhaseColumns)
                headers << tr(text);
        }
        break;
    case SetLog:
        for (const char* text : kSetLogColumns)
            headers << tr(text);
        break;
    default:
        for (const char* text : kStatusLogColumns)
            headers << tr(text);
        break;
    }
    m_table->setColumnCount(headers.size());
    m_table->setHorizontalHeaderLabels(headers);
}

void LogWidget::retranslateUi()
{
    m_startLabel->setText(tr("Start date:"));
    m_endLabel->setText(tr("End date:"));
    m_btnQuery->setText(tr("Sure"));
    m_btnClear->setText(tr("Clear logs"));
    m_btnExport->setText(tr("Export"));
    setColumns();
}

void LogWidget::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslateUi();
    QWidget::changeEvent(event);
}

void LogWidget::setDevice(const QString& ipv4, bool threePhase)
{
    if (ipv4 == m_device && threePhase == m_threePhase)
        return;
    m_table->clearContents();
    m_table->setRowCount(0);
    const bool flagChanged = threePhase != m_threePhase;
    m_device = ipv4;
    m_threePhase = threePhase;
    if (m_kind == DataLog && flagChanged)
        setColumns();
}

QString LogWidget::cellText(int column, const QVariant& value) const
{
    if (column == 0)
        return dateText(value);
    switch (m_kind) {
    case DataLog:
        // capacity, output load and the three per-phase loads are whole numbers
        if (column == 1 || column == 11 || (column >= 18 && column <= 20))
            return QString::number(value.toInt());
        if (column == 2)
            return QString::number(value.toInt() * 0.01, 'f', 2);
        return QString::number(value.toInt() * 0.1, 'f', 1);
    case SetLog:
        if (column == 1)
            return m_logTexts->textOf(QStringLiteral("settings_") + Language::instance()->currentLocale(),
                                      value.toInt());
        if (column == 3)
            return value.toInt() == 1 ? tr("Success") : tr("Fail");
        return value.toString();
    default: {
        const QString text = m_trapTexts->textOf(QStringLiteral("Event_") + Language::instance()->currentLocale(),
                                                 value.toInt());
        return text.isEmpty() ? QString::number(value.toInt()) : text;
    }
    }
}

void LogWidget::readLogs()
{
    const QDateTime startTime(m_startEdit->date(), QTime(0, 0), Qt::LocalTime);
    const QDateTime endTime(m_endEdit->date().addDays(1), QTime(0, 0), Qt::LocalTime);
    m_start = uint(startTime.toSecsSinceEpoch());
    m_end = uint(endTime.toSecsSinceEpoch());
    if (m_start > m_end) {
        MessageBox::warning(this, tr("Warning"), tr("Select range of time error!"), tr("Sure"));
        return;
    }
    m_table->clearContents();
    m_table->setRowCount(0);
    if (m_device.isEmpty())
        return;

    const char* sql = kStatusLogQuery;
    if (m_kind == DataLog)
        sql = m_threePhase ? kThreePhaseQuery : kSinglePhaseQuery;
    else if (m_kind == SetLog)
        sql = kSetLogQuery;

    QSqlQuery query(Database::instance()->getDatabase(QStringLiteral("Global")));
    query.prepare(QLatin1String(sql));
    query.addBindValue(m_device);
    query.addBindValue(m_start);
    query.addBindValue(m_end);
    if (!query.exec())
        return;

    const int columns = m_table->columnCount();
    int row = 0;
    while (query.next()) {
        m_table->insertRow(row);
        for (int column = 0; column < columns; ++column) {
            auto* item = new QTableWidgetItem(cellText(column, query.value(column)));
            item->setTextAlignment(Qt::AlignCenter);
            m_table->setItem(row, column, item);
        }
        ++row;
    }
}

void LogWidget::onBtnClearClicked()
{
    if (MessageBox::warning(this, tr("Warning"), tr("Are you sure to clear all logs?!"), tr("Yes"), tr("No")) != 0)
        return;
    QStringList statements;
    switch (m_kind) {
    case DataLog:
        statements << QStringLiteral("delete from data where device_ip=?;")
                   << QStringLiteral("delete from three_phase_data where device_ip=?;");
        break;
    case SetLog:
        statements << QStringLiteral("delete from set_log where device_ip=?;");
        break;
    default:
        statements << QStringLiteral("delete from status_log where device_ip=?;");
        break;
    }
    QSqlDatabase database = Database::instance()->getDatabase(QStringLiteral("Global"));
    for (const QString& statement : qAsConst(statements)) {
        QSqlQuery query(database);
        query.prepare(statement);
        query.addBindValue(m_device);
        query.exec();
    }
    MessageBox::information(this, tr("Information"), tr("Clear logs finished!"), tr("Sure"));
}

void LogWidget::onBtnExportClicked()
{
    const QString fileName = FileDialog::getSaveFileName(this, tr("Export logs"), QStringLiteral("/"),
                                                         QStringLiteral("CSV(*.csv);;Excel File(*.xlsx)"));
    if (fileName.isEmpty())
        return;
    const bool ok = fileName.endsWith(QLatin1String(".csv")) ? exportCsv(m_table, fileName)
                                                              : exportXlsx(m_table, fileName);
    if (ok)
        MessageBox::information(nullptr, tr("Information"), tr("Export succeed!"), tr("Sure"));
}

QString LogWidget::csvField(const QString& text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n'))
        && !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

bool LogWidget::exportCsv(const QTableWidget* table, const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        return false;
    const int columns = table->columnCount();
    QByteArray out;
    for (int column = 0; column < columns; ++column) {
        const QTableWidgetItem* header = table->horizontalHeaderItem(column);
        if (header)
            out += csvField(header->text()).toLocal8Bit() + ',';
    }
    out += '\n';
    for (int row = 0; row < table->rowCount(); ++row) {
        for (int column = 0; column < columns; ++column) {
            const QTableWidgetItem* item = table->item(row, column);
            const QString text = item ? item->text() : QString();
            out += csvField(QLatin1Char('\'') + text).toLocal8Bit() + ',';
        }
        out += '\n';
    }
    return file.write(out) == out.size() && file.flush();
}

bool LogWidget::exportXlsx(const QTableWidget* table, const QString& fileName)
{
    lxw_workbook* workbook = workbook_new(QFile::encodeName(fileName).constData());
    if (!workbook)
        return false;
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, nullptr);
    lxw_format* format = workbook_add_format(workbook);
    format_set_align(format, LXW_ALIGN_CENTER);
    format_set_align(format, LXW_ALIGN_VERTICAL_CENTER);

    const int columns = table->columnCount();
    for (int column = 0; column < columns; ++column) {
        const QTableWidgetItem* header = table->horizontalHeaderItem(column);
        if (!header)
            continue;
        worksheet_set_column(sheet, lxw_col_t(column), lxw_col_t(column), 20, nullptr);
        worksheet_write_string(sheet, 0, lxw_col_t(column), header->text().toUtf8().constData(), nullptr);
    }
    for (int row = 0; row < table->rowCount(); ++row) {
        for (int column = 0; column < columns; ++column) {
            const QTableWidgetItem* item = table->item(row, column);
            const QString text = item && !item->text().isEmpty() ? QLatin1Char('\'') + item->text() : QString();
            worksheet_write_string(sheet, lxw_row_t(row + 1), lxw_col_t(column), text.toUtf8().constData(), format);
        }
    }
    return workbook_close(workbook) == LXW_NO_ERROR;
}
