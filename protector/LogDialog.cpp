#include "LogDialog.h"

#include "AgentDatabase.h"
#include "CodeTextFile.h"
#include "Database.h"
#include "FileDialog.h"
#include "Language.h"
#include "MessageBox.h"

#include <QCoreApplication>
#include <QDateEdit>
#include <QDateTime>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSqlQuery>
#include <QTableWidget>
#include <QTextCodec>
#include <QTextStream>
#include <QVBoxLayout>

#include <xlsxwriter.h>

#include <memory>
#include <thread>

namespace {
QString trLog(const char* text)
{
    return QCoreApplication::translate("LogWidget", text);
}
QString trMainWidget(const char* text)
{
    return QCoreApplication::translate("MainWidget", text);
}
} // namespace

LogDialog::LogDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    resize(600, 450);
    setWindowTitle(trMainWidget("Event log"));

    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    m_start = new QDateEdit(QDate::currentDate(), this);
    m_end = new QDateEdit(QDate::currentDate(), this);
    for (QDateEdit* edit : {m_start, m_end}) {
        edit->setCalendarPopup(true);
        edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    }
    auto* readButton = new QPushButton(trLog("Read"), this);
    top->addWidget(new QLabel(trLog("Start date:"), this));
    top->addWidget(m_start);
    top->addWidget(new QLabel(trLog("End date:"), this));
    top->addWidget(m_end);
    top->addWidget(readButton);
    layout->addLayout(top);

    m_table = new QTableWidget(0, 3, this);
    m_table->setHorizontalHeaderLabels(
        {trMainWidget("Date"), trMainWidget("Host address"), trMainWidget("Event")});
    m_table->setColumnWidth(0, 130);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    layout->addWidget(m_table);

    auto* bottom = new QHBoxLayout;
    auto* saveButton = new QPushButton(trLog("Save as..."), this);
    auto* clearButton = new QPushButton(trLog("Clear"), this);
    auto* okButton = new QPushButton(trLog("OK"), this);
    bottom->addStretch();
    bottom->addWidget(saveButton);
    bottom->addWidget(clearButton);
    bottom->addWidget(okButton);
    layout->addLayout(bottom);

    m_waitBox = new QMessageBox(this);
    m_eventTexts = CodeTextFile::registered(QStringLiteral("cfg/protector.cfg"));

    onBtnReadLog();

    connect(readButton, &QPushButton::clicked, this, &LogDialog::onBtnReadLog);
    connect(saveButton, &QPushButton::clicked, this, &LogDialog::onBtnSave);
    connect(clearButton, &QPushButton::clicked, this, &LogDialog::onBtnClear);
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(this, &LogDialog::exportStarted, this, &LogDialog::onWaitExport);
    connect(this, &LogDialog::exportFinished, this, &LogDialog::onExportFinished);
}

LogDialog::~LogDialog() = default;

QString LogDialog::eventText(int event) const
{
    if (!m_eventTexts)
        return QString();
    const QString section = Language::instance()->eventSection();
    return m_eventTexts->textOf(section, event);
}

void LogDialog::onBtnReadLog()
{
    m_table->clearContents();
    m_table->setRowCount(0);
    const qint64 start = QDateTime(m_start->date(), QTime(0, 0)).toSecsSinceEpoch();
    const qint64 end = QDateTime(m_end->date(), QTime(0, 0)).toSecsSinceEpoch() + 86400;
    if (end < start)
        return;

    QSqlQuery query(AgentDatabase::database());
    query.prepare(QStringLiteral(
        "select date, host, event from snmp_event where date between :1 and :2 order by date desc;"));
    query.bindValue(QStringLiteral(":1"), start);
    query.bindValue(QStringLiteral(":2"), end);
    if (!query.exec())
        return;
    const int rows = Database::rowCount(query, Database::BeforeFirst);
    m_table->setRowCount(rows);
    int row = 0;
    while (query.next() && row < rows) {
        const QStringList cells{
            QDateTime::fromSecsSinceEpoch(query.value(0).toLongLong()).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
            query.value(1).toString(), eventText(query.value(2).toInt())};
        for (int column = 0; column < cells.size(); ++column) {
            auto* item = new QTableWidgetItem(cells.at(column));
            item->setTextAlignment(Qt::AlignCenter);
            m_table->setItem(row, column, item);
        }
        ++row;
    }
}

void LogDialog::onBtnClear()
{
    const int answer = MessageBox::information(this, tr("Information"), tr("Are you sure to remove all logs?"),
                                               tr("Sure"), tr("Cancel"));
    if (answer != 0)
        return;
    m_table->clearContents();
    m_table->setRowCount(0);
    QSqlQuery query(AgentDatabase::database());
    query.exec(QStringLiteral("delete from snmp_event;"));
    query.exec(QStringLiteral("update sqlite_sequence SET seq = 0 where name='snmp_event';"));
}

LogDialog::TableText LogDialog::snapshot(const QTableWidget* table)
{
    TableText text;
    for (int column = 0; column < table->columnCount(); ++column) {
        const QTableWidgetItem* header = table->horizontalHeaderItem(column);
        text.header << (header ? header->text() : QString());
    }
    for (int row = 0; row < table->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < table->columnCount(); ++column) {
            const QTableWidgetItem* item = table->item(row, column);
            cells << (item ? item->text() : QString());
        }
        text.rows << cells;
    }
    return text;
}

void LogDialog::onBtnSave()
{
    if (m_exportRunning)
        return;
    QString selectedFilter;
    const QString fileName = FileDialog::getSaveFileName(this, tr("Save event log"), QString(),
                                                         QStringLiteral("CSV file (*.csv);;XLSX file(*.xlsx)"),
                                                         &selectedFilter);
    if (fileName.isEmpty())
        return;
    // The thread works on a copy of the texts, never on the widgets.
    const TableText text = snapshot(m_table);
    m_exportRunning = true;
    m_exportDone = false;
    // The notifier reaches the dialog by queued connections, which Qt drops
    // if the dialog is gone before the thread ends.
    auto* notifier = new ExportNotifier;
    connect(notifier, &ExportNotifier::started, this, &LogDialog::exportStarted, Qt::QueuedConnection);
    connect(notifier, &ExportNotifier::finished, this, &LogDialog::exportFinished, Qt::QueuedConnection);
    std::thread([notifier, text, fileName]() {
        emit notifier->started();
        const bool ok = fileName.endsWith(QLatin1String(".csv")) ? saveCsv(text, fileName)
                                                                 : saveXlsx(text, fileName);
        emit notifier->finished(ok);
        notifier->deleteLater();
    }).detach();
}

void LogDialog::onWaitExport()
{
    if (m_exportDone)
        return; // finished before the box could be shown
    m_waitBox->setIcon(QMessageBox::Information);
    m_waitBox->setWindowTitle(tr("Export log"));
    m_waitBox->setText(tr("Waiting for operation completed..."));
    m_waitBox->exec();
}

void LogDialog::onExportFinished(bool result)
{
    m_exportRunning = false;
    m_exportDone = true;
    if (m_waitBox->isVisible())
        m_waitBox->done(0);
    MessageBox::information(this, tr("Information"),
                            tr("Export log %1 !").arg(result ? tr("success") : tr("failed")), tr("Sure"));
}

bool LogDialog::saveCsv(const TableText& table, const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QTextStream stream(&file);
    stream.setCodec(QTextCodec::codecForName("GBK"));
    // Spreadsheet programs expect CR LF, whatever system wrote the file.
    const QLatin1String lineEnd("\r\n");
    for (const QString& header : table.header) {
        if (!header.isNull())
            stream << header << ',';
    }
    stream << lineEnd;
    for (const QStringList& row : table.rows) {
        stream << '\'' << row.value(0) << ',' << row.value(1) << ',' << row.value(2) << ',' << lineEnd;
    }
    stream.flush();
    file.close();
    return stream.status() == QTextStream::Ok && file.error() == QFile::NoError;
}

bool LogDialog::saveXlsx(const TableText& table, const QString& fileName)
{
    if (QFile::exists(fileName))
        QFile::remove(fileName);
    const QByteArray path = QFile::encodeName(fileName);
    lxw_workbook* workbook = workbook_new(path.constData());
    if (!workbook)
        return false;
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, nullptr);
    if (!sheet) {
        workbook_close(workbook);
        return false;
    }
    // Row 1: the header texts; below them the cells as text (the leading
    // apostrophe of the automation writer only marks a text cell).
    for (int column = 0; column < table.header.size(); ++column) {
        const QString& text = table.header.at(column);
        if (!text.isEmpty())
            worksheet_write_string(sheet, 0, lxw_col_t(column), text.toUtf8().constData(), nullptr);
    }
    for (int row = 0; row < table.rows.size(); ++row) {
        const QStringList& cells = table.rows.at(row);
        for (int column = 0; column < table.header.size(); ++column) {
            worksheet_write_string(sheet, lxw_row_t(row + 1), lxw_col_t(column),
                                   cells.value(column).toUtf8().constData(), nullptr);
        }
    }
    return workbook_close(workbook) == LXW_NO_ERROR;
}
