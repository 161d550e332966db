#include "ProgrammingPage.h"

#include "BatchProgrammingDialog.h"
#include "CardFrame.h"
#include "FileDialog.h"
#include "MessageBox.h"
#include "ProgramVersion.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>

void UI_ProgrammingPage::setupUi(QWidget* page)
{
    auto* grid = new QGridLayout;
    labelType = new QLabel(page);
    comboBoxType = new QComboBox(page);
    comboBoxType->setObjectName(QStringLiteral("comboBoxType"));
    btnBackup = new QPushButton(page);
    labelVersionTitle = new QLabel(page);
    labelVersion = new QLabel(page);
    labelVersion->setObjectName(QStringLiteral("labelVersion"));
    btnRead = new QPushButton(page);
    labelFile = new QLabel(page);
    lineEditFile = new QLineEdit(page);
    btnChoose = new QPushButton(page);
    btnProgramming = new QPushButton(page);
    btnBatch = new QPushButton(page);
    labelProgress = new QLabel(page);
    progressBar = new QProgressBar(page);
    progressBar->setValue(0);
    labelStatus = new QLabel(page);
    labelStatus->setStyleSheet(QStringLiteral("color: red; font: 32px; "));
    labelStatus->setAlignment(Qt::AlignCenter);

    grid->addWidget(labelType, 0, 0);
    grid->addWidget(comboBoxType, 0, 1);
    grid->addWidget(btnBackup, 0, 2);
    grid->addWidget(labelVersionTitle, 1, 0);
    grid->addWidget(labelVersion, 1, 1);
    grid->addWidget(btnRead, 1, 2);
    grid->addWidget(labelFile, 2, 0);
    grid->addWidget(lineEditFile, 2, 1);
    grid->addWidget(btnChoose, 2, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnProgramming);
    buttons->addWidget(btnBatch);
    grid->addLayout(buttons, 3, 0, 1, 3);
    grid->addWidget(labelProgress, 4, 0);
    grid->addWidget(progressBar, 4, 1, 1, 2);

    auto* vbox = new QVBoxLayout(page);
    vbox->addLayout(grid);
    vbox->addWidget(labelStatus);
    vbox->addStretch();
    retranslateUi(page);
}

void UI_ProgrammingPage::retranslateUi(QWidget*)
{
    labelType->setText(ProgrammingPage::tr("Programming type    :"));
    const int index = comboBoxType->currentIndex();
    comboBoxType->clear();
    comboBoxType->addItems({ProgrammingPage::tr("APP"), ProgrammingPage::tr("Firmware"), ProgrammingPage::tr("Patch")});
    comboBoxType->setCurrentIndex(index < 0 ? 0 : index);
    btnBackup->setText(ProgrammingPage::tr("Backup"));
    labelVersionTitle->setText(ProgrammingPage::tr("Current version     :"));
    btnRead->setText(ProgrammingPage::tr("Read"));
    labelFile->setText(ProgrammingPage::tr("Programming file    :"));
    btnChoose->setText(ProgrammingPage::tr("Choose"));
    btnProgramming->setText(ProgrammingPage::tr("Programming"));
    btnBatch->setText(ProgrammingPage::tr("Batch Programming"));
    labelProgress->setText(ProgrammingPage::tr("Programming progress:"));
}

ProgrammingPage::ProgrammingPage(QWidget* parent)
    : QWidget(parent), m_ui(std::make_shared<UI_ProgrammingPage>()), m_state(std::make_unique<ProgrammingState>())
{
    m_state->retranslating = true;
    m_ui->setupUi(this);
    m_state->retranslating = false;
    m_state->timer.setInterval(10000);
    m_state->batchDialog = new BatchProgrammingDialog(nullptr);

    connect(&m_state->timer, &QTimer::timeout, this, &ProgrammingPage::programmingTimeout);
    connect(m_ui->btnChoose, &QPushButton::clicked, this, &ProgrammingPage::chooseProgrammingFile);
    connect(m_ui->btnProgramming, &QPushButton::clicked, this, &ProgrammingPage::programmingSlot);
    connect(m_ui->btnRead, &QPushButton::clicked, this, &ProgrammingPage::readVersionSlot);
    connect(m_ui->btnBackup, &QPushButton::clicked, this, &ProgrammingPage::backupSlot);
    connect(m_ui->comboBoxType, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &ProgrammingPage::progTypeChanged);
    connect(m_ui->btnBatch, &QPushButton::clicked, this, [this] { m_state->batchDialog->exec(); });
}

ProgrammingPage::~ProgrammingPage()
{
    delete m_state->batchDialog;
}

void ProgrammingPage::reset()
{
    if (m_state->file.isOpen())
        m_state->file.close();
    m_ui->labelStatus->clear();
    m_state->busy = false;
    m_state->backingUp = false;
    m_state->done = 0;
    m_state->total = 0;
    m_state->retries = 0;
    m_state->sequence = 0;
    m_state->timer.stop();
}

void ProgrammingPage::updateProgress(qint64 value)
{
    m_ui->progressBar->setValue(int(value));
    const int max = m_ui->progressBar->maximum();
    const double percent = max > 0 ? double(value) * 100.0 / double(max) : 0.0;
    m_ui->progressBar->setFormat(tr("Progress: %1%").arg(QString::number(percent, 'f', 2)));
}

void ProgrammingPage::chooseProgrammingFile()
{
    const QString current = m_ui->lineEditFile->text();
    const QString start = current.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::DesktopLocation)
                                            : QFileInfo(current).absolutePath();
    const QString file = FileDialog::getOpenFileName(this, tr("Choose programming file"), start, tr("Binary Files(*.bin)"));
    if (!file.isEmpty())
        m_ui->lineEditFile->setText(file);
}

void ProgrammingPage::readVersionSlot()
{
    ++m_state->versionRequests;
    emit sendCmd(CardCmd::ReadVersion, QByteArray(1, char(m_ui->comboBoxType->currentIndex())));
}

void ProgrammingPage::progTypeChanged(int index)
{
    if (m_state->retranslating || index < 0)
        return;
    readVersionSlot();
}

void ProgrammingPage::programmingSlot()
{
    if (m_ui->lineEditFile->text().isEmpty()) {
        MessageBox::information(this, tr("Tip"), tr("Programming file is not choosen!"), tr("Sure"));
        return;
    }
    reset();
    m_state->busy = true;
    // Answers carry no program type: the answers to version requests still
    // outstanding (for example after a type change) come first and must not
    // be taken for the firmware's version.
    m_state->versionAnswersToSkip = m_state->versionRequests;
    ++m_state->versionRequests;
    emit sendCmd(CardCmd::ReadVersion, QByteArray(1, char(1)));
}

void ProgrammingPage::sendBlock()
{
    ProgrammingState& s = *m_state;
    QByteArray block = s.file.read(qMin<qint64>(1024, s.total - s.done));
    if (block.isEmpty())
        return;
    if (!s.oldProtocol) {
        const int imageBytes = block.size();
        block.prepend(char(s.sequence));
        s.sequence = quint8(s.sequence + 1);
        s.lastBlock = block;
        s.done += imageBytes;
    } else {
        s.done += block.size();
    }
    emit sendCmd(CardCmd::ProgramBlock, block);
    updateProgress(s.done);
    if (s.done < s.total)
        s.timer.start();
    else
        s.timer.stop();
}

void ProgrammingPage::failBackup()
{
    // A truncated backup must not look like a good one.
    const QString path = m_state->file.fileName();
    reset();
    if (!path.isEmpty())
        QFile::remove(path);
    MessageBox::warning(this, tr("Warning"), tr("Backup file failed!"), tr("Sure"));
}

void ProgrammingPage::handleRespond(int cmd, const quint8* data, int size)
{
    ProgrammingState& s = *m_state;
    const QByteArray payload(reinterpret_cast<const char*>(data), size);
    switch (cmd) {
    case CardCmd::ReadVersion:
        s.versionRequests = qMax(0, s.versionRequests - 1);
        if (!s.busy) {
            m_ui->labelVersion->setText(QString::fromUtf8(payload));
            return;
        }
        if (s.versionAnswersToSkip > 0) {
            --s.versionAnswersToSkip;
            return;
        }
        if (s.file.isOpen())
            return; // an upload is already under way
        s.oldProtocol = ProgramVersion::isOldProtocol(payload);
        s.file.setFileName(m_ui->lineEditFile->text());
        if (!s.file.open(QIODevice::ReadOnly)) {
            reset();
            MessageBox::warning(this, tr("Warning"), tr("Open programming file failed!"), tr("Sure"));
            return;
        }
        s.total = s.file.size();
        {
            QByteArray start(1, char(m_ui->comboBoxType->currentIndex()));
            const quint32 total = quint32(s.total);
            start.append(char(total >> 24)).append(char(total >> 16)).append(char(total >> 8)).append(char(total));
            emit sendCmd(CardCmd::ProgramStart, start);
        }
        return;
    case CardCmd::ProgramStart:
        if (!s.busy || !s.file.isOpen())
            return;
        if (size > 0 && data[0] != 0) {
            m_ui->progressBar->setRange(0, int(qMin<qint64>(s.total, INT_MAX)));
            updateProgress(0);
            m_ui->labelStatus->setText(tr("Programming..."));
            sendBlock();
        } else {
            reset();
            MessageBox::warning(this, tr("Warning"), tr("Start programming failed!"), tr("Sure"));
        }
        return;
    case CardCmd::ProgramBlock:
        if (!s.busy || !s.file.isOpen())
            return;
        if (size > 0 && data[0] != 0) {
            s.retries = 0;
            sendBlock();
        } else {
            reset();
            MessageBox::warning(this, tr("Warning"), tr("Programming failed!"), tr("Sure"));
        }
        return;
    case CardCmd::ProgramInstalling:
        reset();
        m_ui->labelStatus->setText(tr("Installing program..."));
        return;
    case CardCmd::ProgramFinished:
        m_ui->labelStatus->clear();
        MessageBox::information(this, tr("Information"), tr("Programming finish!"), tr("Sure"));
        return;
    case CardCmd::BackupPreparing:
        m_ui->labelStatus->setText(tr("Backuping program..."));
        return;
    case CardCmd::BackupStart: {
        if (size != 4) {
            MessageBox::warning(this, tr("Warning"), tr("Start backup failed!"), tr("Sure"));
            return;
        }
        const quint32 total = (quint32(data[0]) << 24) | (quint32(data[1]) << 16) | (quint32(data[2]) << 8) | quint32(data[3]);
        if (total == 0) {
            m_ui->labelStatus->clear();
            MessageBox::warning(this, tr("Warning"), tr("Start backup failed!"), tr("Sure"));
            return;
        }
        s.backupPath = FileDialog::getSaveFileName(this, tr("Backup program"), QCoreApplication::applicationDirPath(),
                                                   tr("Binary File(*.bin)"));
        if (s.backupPath.isEmpty()) {
            m_ui->labelStatus->clear();
            return;
        }
        if (s.busy)
            return; // never mix a backup into a running upload
        s.total = total;
        s.done = 0;
        m_ui->progressBar->setRange(0, int(qMin<quint32>(total, INT_MAX)));
        updateProgress(0);
        if (s.file.isOpen())
            s.file.close();
        s.file.setFileName(s.backupPath);
        if (!s.file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            MessageBox::warning(this, tr("Warning"), tr("Cannot open backup file!"), tr("Sure"));
            return;
        }
        s.backingUp = true;
        emit sendCmd(CardCmd::BackupBlock, QByteArray());
        m_ui->labelStatus->setText(tr("Receiving backup file..."));
        return;
    }
    case CardCmd::BackupBlock:
        if (!s.backingUp || !s.file.isOpen())
            return;
        if (size > 0) {
            if (s.file.write(payload) != payload.size()) {
                failBackup();
                return;
            }
            s.done += size;
            updateProgress(s.done);
            if (s.done < s.total) {
                emit sendCmd(CardCmd::BackupBlock, QByteArray());
            } else {
                reset();
                MessageBox::information(this, tr("Information"), tr("Backup file finished!"), tr("Sure"));
            }
        } else {
            failBackup();
        }
        return;
    default:
        return;
    }
}

void ProgrammingPage::handleError()
{
    if (m_state->backingUp) {
        failBackup();
        return;
    }
    if (!m_state->busy)
        return;
    reset();
    MessageBox::information(this, tr("Information"), tr("Programming failed!"), tr("Sure"));
}

void ProgrammingPage::programmingTimeout()
{
    ProgrammingState& s = *m_state;
    if (!s.oldProtocol && s.retries <= 2) {
        ++s.retries;
        emit sendCmd(CardCmd::ProgramBlock, s.lastBlock);
        return;
    }
    reset();
    MessageBox::warning(this, tr("Warning"), tr("Programming timeout!"), tr("Sure"));
}

void ProgrammingPage::backupSlot()
{
    emit sendCmd(CardCmd::BackupStart, QByteArray(1, char(m_ui->comboBoxType->currentIndex())));
}

void ProgrammingPage::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        m_state->retranslating = true;
        m_ui->retranslateUi(this);
        m_state->retranslating = false;
    }
    QWidget::changeEvent(event);
}
