#include "DisplayLogPage.h"

#include "CardFrame.h"
#include "MessageBox.h"

#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>
#include <cmath>

void UI_DisplayLogPage::setupUi(QWidget* page)
{
    auto* vbox = new QVBoxLayout(page);
    auto* row = new QHBoxLayout;
    comboBoxLogType = new QComboBox(page);
    comboBoxLogType->setObjectName(QStringLiteral("comboBoxLogType"));
    btnOpen = new QPushButton(page);
    btnRefresh = new QPushButton(page);
    btnRefresh->setObjectName(QStringLiteral("Refresh"));
    btnClear = new QPushButton(page);
    row->addWidget(comboBoxLogType);
    row->addWidget(btnOpen);
    row->addWidget(btnRefresh);
    row->addStretch();
    row->addWidget(btnClear);
    vbox->addLayout(row);
    textBrowser = new QTextBrowser(page);
    textBrowser->document()->setMaximumBlockCount(5000);
    vbox->addWidget(textBrowser);
    retranslateUi(page, false);
}

void UI_DisplayLogPage::retranslateUi(QWidget*, bool opened)
{
    btnOpen->setText(opened ? DisplayLogPage::tr("Close") : DisplayLogPage::tr("Open"));
    btnRefresh->setText(DisplayLogPage::tr("Refresh log file"));
    btnClear->setText(DisplayLogPage::tr("Clear"));
}

DisplayLogPage::DisplayLogPage(QWidget* parent) : QWidget(parent), m_ui(std::make_shared<UI_DisplayLogPage>())
{
    m_ui->setupUi(this);
    connect(m_ui->btnRefresh, &QPushButton::clicked, this, &DisplayLogPage::refreshLogType);
    connect(m_ui->btnOpen, &QPushButton::clicked, this, &DisplayLogPage::openLog);
    connect(m_ui->btnClear, &QPushButton::clicked, this, &DisplayLogPage::clearLog);
}

QStringList DisplayLogPage::parseFileList(const QByteArray& payload)
{
    QStringList names;
    int pos = 0;
    while (pos < payload.size()) {
        const int k = quint8(payload[pos]);
        ++pos;
        names << QString::fromUtf8(payload.mid(pos, k));
        pos += k;
    }
    return names;
}

void DisplayLogPage::refreshLogType()
{
    emit sendCmd(CardCmd::ListLogFiles, QByteArray());
}

void DisplayLogPage::openLog()
{
    if (m_opened) {
        m_opened = false;
        m_ui->btnOpen->setText(tr("Open"));
    } else if (m_ui->comboBoxLogType->currentIndex() < 0) {
        MessageBox::warning(nullptr, tr("Warning"), tr("Log file error!"), tr("Sure"));
        return;
    }
    QScrollBar* bar = m_ui->textBrowser->verticalScrollBar();
    bar->setValue(bar->maximum());
    emit sendCmd(CardCmd::OpenLogFile, m_ui->comboBoxLogType->currentText().toLocal8Bit());
}

void DisplayLogPage::clearLog()
{
    m_ui->textBrowser->clear();
}

void DisplayLogPage::handleRespond(int cmd, const quint8* data, int size)
{
    const QByteArray payload(reinterpret_cast<const char*>(data), size);
    switch (cmd) {
    case CardCmd::ListLogFiles: {
        if (payload.isEmpty()) {
            MessageBox::information(nullptr, tr("Information"), tr("No log file is accessible!"), tr("Sure"));
            return;
        }
        m_ui->comboBoxLogType->clear();
        int longest = 0;
        for (const QString& name : parseFileList(payload)) {
            m_ui->comboBoxLogType->addItem(name);
            longest = qMax(longest, name.size());
        }
        const double width = m_ui->comboBoxLogType->font().pointSizeF() * longest * 0.8;
        m_ui->comboBoxLogType->setFixedWidth(int(std::lround(width)));
        return;
    }
    case CardCmd::OpenLogFile:
        if (size > 0 && data[0] != 0) {
            m_opened = true;
            m_ui->btnOpen->setText(tr("Close"));
        } else {
            MessageBox::information(nullptr, tr("Information"), tr("Open log file failed!"), tr("Sure"));
        }
        return;
    case CardCmd::LogData:
    {
        // Plain text, one paragraph per piece; the document drops the
        // oldest paragraphs beyond its block limit.
        QTextDocument* doc = m_ui->textBrowser->document();
        QTextCursor cursor(doc);
        cursor.movePosition(QTextCursor::End);
        if (!doc->isEmpty())
            cursor.insertBlock();
        cursor.insertText(QString::fromUtf8(payload));
        return;
    }
    default:
        return;
    }
}

void DisplayLogPage::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        m_ui->retranslateUi(this, m_opened);
    QWidget::changeEvent(event);
}
