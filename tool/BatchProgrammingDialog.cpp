#include "BatchProgrammingDialog.h"

#include "BatchProgrammingThread.h"
#include "FileDialog.h"
#include "Ipv4Pattern.h"
#include "MessageBox.h"
#include "XlsxReader.h"

#include <QComboBox>
#include <QDateTime>
#include <QEvent>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRegExpValidator>
#include <QTableWidget>
#include <QTextStream>
#include <QThread>
#include <QVBoxLayout>

namespace {
constexpr int StatusRole = Qt::UserRole + 1;

QTableWidgetItem* centred(const QString& text)
{
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(Qt::AlignCenter);
    return item;
}
}

BatchProgrammingDialog::BatchProgrammingDialog(QWidget* parent, int workers) : QDialog(parent)
{
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    resize(800, 400);
    setAttribute(Qt::WA_QuitOnClose, false); // closing it never ends the program
    m_table = new QTableWidget(0, 4, this);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setContextMenuPolicy(Qt::CustomContextMenu);
    m_comboType = new QComboBox(this);
    m_comboType->addItems({QString(), QString(), QString()});
    m_btnRefresh = new QPushButton(this);
    m_btnImport = new QPushButton(this);
    m_btnExport = new QPushButton(this);
    m_btnProgram = new QPushButton(this);
    m_editIp = new QLineEdit(this);
    m_editIp->setValidator(new QRegExpValidator(QRegExp(QString::fromLatin1(Ipv4Pattern::kPattern)), m_editIp));
    m_btnAdd = new QPushButton(this);
    m_editFile = new QLineEdit(this);
    m_btnChoose = new QPushButton(this);

    auto* side = new QVBoxLayout;
    side->addStretch();
    side->addWidget(m_comboType);
    side->addWidget(m_btnRefresh);
    side->addWidget(m_btnImport);
    side->addWidget(m_btnExport);
    side->addWidget(m_btnProgram);
    auto* top = new QHBoxLayout;
    top->addWidget(m_table, 1);
    top->addLayout(side);
    auto* ipRow = new QHBoxLayout;
    ipRow->addWidget(m_editIp);
    ipRow->addWidget(m_btnAdd);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(m_editFile);
    fileRow->addWidget(m_btnChoose);
    auto* vbox = new QVBoxLayout(this);
    vbox->addLayout(top);
    vbox->addLayout(ipRow);
    vbox->addLayout(fileRow);
    retranslate();

    connect(m_btnRefresh, &QPushButton::clicked, this, &BatchProgrammingDialog::onBtnRefreshClicked);
    connect(m_btnImport, &QPushButton::clicked, this, &BatchProgrammingDialog::onBtnImportClicked);
    connect(m_btnExport, &QPushButton::clicked, this, &BatchProgrammingDialog::onBtnExportClicked);
    connect(m_btnProgram, &QPushButton::clicked, this, &BatchProgrammingDialog::onBtnProgramClicked);
    connect(m_btnAdd, &QPushButton::clicked, this, &BatchProgrammingDialog::onBtnAddClicked);
    connect(m_btnChoose, &QPushButton::clicked, this, &BatchProgrammingDialog::onBtnChooseClicked);
    connect(m_table, &QTableWidget::customContextMenuRequested, this, &BatchProgrammingDialog::onCustomContextMenuRequested);

    const int n = workers >= 0 ? workers : QThread::idealThreadCount();
    for (int i = 0; i < n; ++i) {
        auto* thread = new QThread;
        auto* worker = new BatchProgrammingThread;
        worker->moveToThread(thread);
        connect(worker, &BatchProgrammingThread::finished, this, &BatchProgrammingDialog::onBatchFinished, Qt::QueuedConnection);
        connect(worker, &BatchProgrammingThread::programmingStarted, this, &BatchProgrammingDialog::onProgrammingStarted, Qt::QueuedConnection);
        connect(worker, &BatchProgrammingThread::programmingUpdated, this, &BatchProgrammingDialog::onProgrammingUpdated, Qt::QueuedConnection);
        connect(this, &BatchProgrammingDialog::taskStart, worker, &BatchProgrammingThread::onTaskStart, Qt::QueuedConnection);
        connect(thread, &QThread::finished, worker, &QObject::deleteLater);
        thread->start(QThread::InheritPriority);
        m_threads << thread;
        m_workers << worker;
    }
}

BatchProgrammingDialog::~BatchProgrammingDialog()
{
    for (QThread* thread : m_threads) {
        thread->quit();
        thread->wait();
        delete thread;
    }
}

QString BatchProgrammingDialog::statusText(int status)
{
    switch (status) {
    case 0: return tr("Not Start");
    case 1: return tr("In Progress");
    case 2: return tr("Succeeded");
    case 3: return tr("Failed");
    default: return QStringLiteral("/");
    }
}

void BatchProgrammingDialog::retranslate()
{
    setWindowTitle(tr("Batch Programming"));
    m_table->setHorizontalHeaderLabels({tr("IP"), tr("Version"), tr("Progress"), tr("Status")});
    m_comboType->setItemText(0, tr("APP"));
    m_comboType->setItemText(1, tr("Firmware"));
    m_comboType->setItemText(2, tr("Patch"));
    m_btnRefresh->setText(tr("Refresh Version"));
    m_btnImport->setText(tr("Import Device"));
    m_btnExport->setText(tr("Export Result"));
    m_btnProgram->setText(tr("Program"));
    m_btnAdd->setText(tr("Add Device"));
    m_btnChoose->setText(tr("Choose Programming File"));
}

void BatchProgrammingDialog::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QDialog::changeEvent(event);
}

void BatchProgrammingDialog::setBlockTimeout(int ms)
{
    for (BatchProgrammingThread* w : m_workers)
        w->setBlockTimeout(ms);
}

bool BatchProgrammingDialog::addDevice(const QString& ip)
{
    if (!Ipv4Pattern::isValid(ip) || m_devices.contains(ip))
        return false;
    m_devices << ip;
    const int row = m_table->rowCount();
    m_table->setRowCount(row + 1);
    m_table->setItem(row, 0, centred(ip));
    m_table->setItem(row, 1, centred(QString()));
    m_table->setCellWidget(row, 2, new QProgressBar(m_table));
    QTableWidgetItem* status = centred(QStringLiteral("/"));
    status->setData(StatusRole, 0);
    m_table->setItem(row, 3, status);
    return true;
}

void BatchProgrammingDialog::onBtnAddClicked()
{
    const QString ip = m_editIp->text();
    if (!Ipv4Pattern::isValid(ip)) {
        MessageBox::warning(this, tr("Warning"), tr("IP address is invaild!"), tr("Sure"));
        return;
    }
    if (m_devices.contains(ip)) {
        MessageBox::warning(this, tr("Warning"), tr("IP already exists!"), tr("Sure"));
        return;
    }
    addDevice(ip);
}

void BatchProgrammingDialog::onBtnImportClicked()
{
    const QString path = FileDialog::getOpenFileName(this, tr("Choose Device List File"), QStringLiteral("/"),
                                                     tr("(*.txt *.csv *.xlsx)"));
    if (path.isEmpty())
        return;
    m_devices.clear();
    m_table->clearContents();
    m_table->setRowCount(0);
    if (path.endsWith(QLatin1String("xlsx"))) {
        XlsxReader reader;
        if (!reader.open(path)) {
            MessageBox::warning(this, tr("Warning"), tr("File cannot open!"), tr("Sure"));
            return;
        }
        if (reader.usedRange() == QLatin1String("A1"))
            return;
        for (int row = reader.firstRow(); row <= reader.lastRow(); ++row)
            addDevice(reader.cell(row, reader.firstColumn()));
        return;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        MessageBox::warning(this, tr("Warning"), tr("File cannot open!"), tr("Sure"));
        return;
    }
    QTextStream in(&file);
    while (!in.atEnd()) {
        QString line = in.readLine().simplified();
        if (line.endsWith(QLatin1Char(',')))
            line.chop(1);
        addDevice(line);
    }
}

QString BatchProgrammingDialog::reportText() const
{
    QString text = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")) + QStringLiteral("\n\n");
    text += tr("IP") + QStringLiteral("\t\t\t\t\t") + tr("Result") + QStringLiteral("\n");
    text += QStringLiteral("================================================\n");
    for (int row = 0; row < m_table->rowCount(); ++row) {
        const int status = m_table->item(row, 3)->data(StatusRole).toInt();
        text += m_table->item(row, 0)->text() + QStringLiteral("\t\t") + statusText(status) + QStringLiteral("\n");
    }
    return text;
}

void BatchProgrammingDialog::onBtnExportClicked()
{
    const QString path = FileDialog::getSaveFileName(this, tr("Save Batch Programming Result"), QStringLiteral("/"),
                                                     tr("(*.txt)"));
    if (path.isEmpty())
        return;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        MessageBox::warning(nullptr, tr("Warning"), tr("File cannot open!"), tr("Sure"));
        return;
    }
    if (m_table->rowCount() > 0)
        file.write(reportText().toUtf8());
    file.close();
}

void BatchProgrammingDialog::onBtnChooseClicked()
{
    const QString path = FileDialog::getOpenFileName(this, tr("Choose Programming File"), m_editFile->text(), tr("(*.bin)"));
    if (!path.isEmpty())
        m_editFile->setText(path);
}

void BatchProgrammingDialog::deleteRow(int row)
{
    if (row < 0 || row >= m_table->rowCount())
        return;
    m_devices.removeAt(row);
    m_table->removeRow(row);
}

void BatchProgrammingDialog::onCustomContextMenuRequested(QPoint pos)
{
    const int row = m_table->rowAt(pos.y());
    if (row < 0)
        return;
    QMenu menu(this);
    QAction* del = menu.addAction(tr("Delete"));
    if (menu.exec(m_table->viewport()->mapToGlobal(pos)) == del)
        deleteRow(row);
}

void BatchProgrammingDialog::onBtnProgramClicked()
{
    const QString path = m_editFile->text();
    if (path.isEmpty() || !QFile::exists(path))
        return;
    startRun(1);
}

void BatchProgrammingDialog::onBtnRefreshClicked()
{
    startRun(0);
}

void BatchProgrammingDialog::startRun(int mode)
{
    if (m_devices.isEmpty())
        return;
    m_next = 0;
    m_startedOrder.clear();
    for (int row = 0; row < m_table->rowCount(); ++row)
        m_table->item(row, 3)->setText(QStringLiteral("/"));
    for (BatchProgrammingThread* worker : m_workers) {
        if (m_next >= m_devices.size()) {
            // Left without a device this run: forget the last one, so a
            // broadcast start for that index cannot reach two workers.
            worker->setNextDevice(QString(), -1);
            continue;
        }
        worker->setTask(m_devices[m_next], m_next, mode, m_comboType->currentIndex(), m_editFile->text());
        m_startedOrder << m_next;
        emit taskStart(m_next);
        ++m_next;
    }
}

int BatchProgrammingDialog::rowOfSender()
{
    auto* worker = qobject_cast<BatchProgrammingThread*>(sender());
    if (!worker)
        return -1;
    return m_devices.indexOf(worker->address());
}

void BatchProgrammingDialog::onProgrammingStarted(qlonglong bytesTotal)
{
    const int row = rowOfSender();
    if (row < 0)
        return;
    if (auto* bar = qobject_cast<QProgressBar*>(m_table->cellWidget(row, 2))) {
        bar->setRange(0, int(qMin<qlonglong>(bytesTotal, INT_MAX)));
        bar->setValue(0);
    }
}

void BatchProgrammingDialog::onProgrammingUpdated(qlonglong bytesWritten)
{
    const int row = rowOfSender();
    if (row < 0)
        return;
    if (auto* bar = qobject_cast<QProgressBar*>(m_table->cellWidget(row, 2)))
        bar->setValue(int(qMin<qlonglong>(bytesWritten, INT_MAX)));
}

void BatchProgrammingDialog::onBatchFinished()
{
    auto* worker = qobject_cast<BatchProgrammingThread*>(sender());
    if (!worker)
        return;
    const int row = m_devices.indexOf(worker->address());
    if (row < 0)
        return; // deleted meanwhile: this worker gets no further device
    const int status = worker->status();
    QTableWidgetItem* item = m_table->item(row, 3);
    item->setText(statusText(status));
    item->setData(StatusRole, status);
    if (status == 2 && worker->mode() == 0)
        m_table->item(row, 1)->setText(worker->versionText());
    if (m_next < m_devices.size()) {
        worker->setNextDevice(m_devices[m_next], m_next);
        m_startedOrder << m_next;
        emit taskStart(m_next);
        ++m_next;
    }
}
