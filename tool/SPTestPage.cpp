#include "SPTestPage.h"

#include "CardFrame.h"
#include "Crc16Modbus.h"
#include "MessageBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>
#include <QVBoxLayout>

void UI_SPTestPage::setupUi(QWidget* page)
{
    auto* grid = new QGridLayout;
    checkBoxRs485 = new QCheckBox(page);
    labelPortName = new QLabel(page);
    lineEditPortName = new QLineEdit(page);
    labelBaud = new QLabel(page);
    comboBoxBaud = new QComboBox(page);
    comboBoxBaud->addItems({"1200", "2400", "4800", "9600", "19200", "38400", "57600", "115200"});
    comboBoxBaud->setCurrentIndex(3);
    labelDataBits = new QLabel(page);
    comboBoxDataBits = new QComboBox(page);
    comboBoxDataBits->addItems({"5", "6", "7", "8"});
    comboBoxDataBits->setCurrentIndex(3);
    labelFlow = new QLabel(page);
    comboBoxFlow = new QComboBox(page);
    comboBoxFlow->addItems({QString(), QString(), QString()});
    labelParity = new QLabel(page);
    comboBoxParity = new QComboBox(page);
    comboBoxParity->addItems({QString(), QString(), QString()});
    labelStopBits = new QLabel(page);
    comboBoxStopBits = new QComboBox(page);
    comboBoxStopBits->addItems({"1", "2"});
    btnConnect = new QPushButton(page);
    btnClear = new QPushButton(page);

    grid->addWidget(checkBoxRs485, 0, 0, 1, 2);
    grid->addWidget(labelPortName, 1, 0);
    grid->addWidget(lineEditPortName, 1, 1);
    grid->addWidget(labelBaud, 2, 0);
    grid->addWidget(comboBoxBaud, 2, 1);
    grid->addWidget(labelDataBits, 3, 0);
    grid->addWidget(comboBoxDataBits, 3, 1);
    grid->addWidget(labelFlow, 4, 0);
    grid->addWidget(comboBoxFlow, 4, 1);
    grid->addWidget(labelParity, 5, 0);
    grid->addWidget(comboBoxParity, 5, 1);
    grid->addWidget(labelStopBits, 6, 0);
    grid->addWidget(comboBoxStopBits, 6, 1);
    grid->addWidget(btnConnect, 7, 0);
    grid->addWidget(btnClear, 7, 1);
    grid->setRowStretch(8, 1);

    auto* right = new QVBoxLayout;
    textRecord = new QTextEdit(page);
    textRecord->setReadOnly(true);
    right->addWidget(textRecord);
    auto* formats = new QHBoxLayout;
    radioHex = new QRadioButton(page);
    radioHex->setChecked(true);
    radioAscii = new QRadioButton(page);
    radioModbus = new QRadioButton(page);
    formats->addWidget(radioHex);
    formats->addWidget(radioAscii);
    formats->addWidget(radioModbus);
    formats->addStretch();
    right->addLayout(formats);
    auto* sendRow = new QHBoxLayout;
    lineEditSend = new QLineEdit(page);
    btnSend = new QPushButton(page);
    sendRow->addWidget(lineEditSend);
    sendRow->addWidget(btnSend);
    right->addLayout(sendRow);

    auto* hbox = new QHBoxLayout(page);
    hbox->addLayout(grid);
    hbox->addLayout(right, 1);
    retranslateUi(page, false);
}

void UI_SPTestPage::retranslateUi(QWidget*, bool opened)
{
    checkBoxRs485->setText(SPTestPage::tr("RS485:"));
    labelPortName->setText(SPTestPage::tr("Port Name:"));
    labelBaud->setText(SPTestPage::tr("Buad Rate:"));
    labelDataBits->setText(SPTestPage::tr("Data Bits:"));
    labelFlow->setText(SPTestPage::tr("Flow Control:"));
    labelParity->setText(SPTestPage::tr("Parity:"));
    labelStopBits->setText(SPTestPage::tr("Stop Bits:"));
    comboBoxParity->setItemText(0, SPTestPage::tr("None"));
    comboBoxParity->setItemText(1, SPTestPage::tr("Even"));
    comboBoxParity->setItemText(2, SPTestPage::tr("Odd"));
    comboBoxFlow->setItemText(0, SPTestPage::tr("None"));
    comboBoxFlow->setItemText(1, SPTestPage::tr("Hardware"));
    comboBoxFlow->setItemText(2, SPTestPage::tr("Software"));
    btnConnect->setText(opened ? SPTestPage::tr("Disconnect") : SPTestPage::tr("Connect"));
    btnClear->setText(SPTestPage::tr("Clear"));
    radioHex->setText(SPTestPage::tr("Hex"));
    radioAscii->setText(SPTestPage::tr("ASCII"));
    radioModbus->setText(SPTestPage::tr("Modbus"));
    btnSend->setText(SPTestPage::tr("Send"));
}

SPTestPage::SPTestPage(QWidget* parent) : QWidget(parent), m_ui(std::make_shared<UI_SPTestPage>())
{
    m_ui->setupUi(this);
    connect(m_ui->btnSend, &QPushButton::clicked, this, &SPTestPage::sendData);
    connect(m_ui->btnClear, &QPushButton::clicked, this, &SPTestPage::clearRecord);
    connect(m_ui->btnConnect, &QPushButton::clicked, this, &SPTestPage::openPortEvent);
    connect(m_ui->radioHex, &QRadioButton::toggled, this, &SPTestPage::sendTypeChaned);
    connect(m_ui->radioAscii, &QRadioButton::toggled, this, &SPTestPage::sendTypeChaned);
    connect(m_ui->radioModbus, &QRadioButton::toggled, this, &SPTestPage::sendTypeChaned);
}

QByteArray SPTestPage::openPayload() const
{
    QByteArray p;
    p.append(char(m_ui->checkBoxRs485->isChecked() ? 1 : 0));
    const QString name = m_ui->lineEditPortName->text();
    const QByteArray nameBytes = name.toUtf8();
    // The length counts the name's bytes, so that non-ASCII names stay parseable.
    p.append(char(qMin(nameBytes.size(), 255)));
    p.append(nameBytes.left(255));
    p.append(char(m_ui->comboBoxBaud->currentIndex()));
    p.append(char(m_ui->comboBoxDataBits->currentIndex()));
    p.append(char(m_ui->comboBoxParity->currentIndex()));
    p.append(char(m_ui->comboBoxFlow->currentIndex()));
    p.append(char(m_ui->comboBoxStopBits->currentIndex()));
    return p;
}

QByteArray SPTestPage::parseHex(const QString& text)
{
    QByteArray bytes;
    for (const QString& part : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        bool ok = false;
        const qulonglong value = part.toULongLong(&ok, 16);
        bytes.append(char(ok ? (value & 0xFF) : 0));
    }
    return bytes;
}

QString SPTestPage::hexText(const QByteArray& bytes)
{
    QString text;
    for (char c : bytes)
        text += QStringLiteral("%1 ").arg(quint8(c), 2, 16, QLatin1Char('0'));
    return text;
}

QString SPTestPage::recordEntry(bool send, const QString& data, const QString& stamp)
{
    QString entry = stamp + (send ? tr("Send: \n") : tr("Receive: \n")) + data + QStringLiteral("\n");
    entry.replace(QLatin1Char('&'), QStringLiteral("&amp;"));
    entry.replace(QLatin1Char('>'), QStringLiteral("&gt;"));
    entry.replace(QLatin1Char('<'), QStringLiteral("&lt;"));
    entry.replace(QLatin1Char('"'), QStringLiteral("&quot;"));
    entry.replace(QLatin1Char('\''), QStringLiteral("&#39;"));
    entry.replace(QLatin1Char(' '), QStringLiteral("&nbsp;"));
    entry.replace(QLatin1Char('\n'), QStringLiteral("<br>"));
    entry.replace(QLatin1Char('\r'), QStringLiteral("<br>"));
    const int r = send ? 58 : 50, g = send ? 95 : 205, b = send ? 205 : 50;
    return QStringLiteral("<font color=#%1%2%3>")
               .arg(r, 2, 16, QLatin1Char('0'))
               .arg(g, 2, 16, QLatin1Char('0'))
               .arg(b, 2, 16, QLatin1Char('0')) +
           entry;
}

void SPTestPage::appendRecord(bool send, const QString& data)
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("[yyyy-MM-dd hh:mm:ss.zzz] "));
    m_ui->textRecord->append(recordEntry(send, data, stamp));
}

void SPTestPage::openPortEvent()
{
    if (m_opened) {
        m_opened = false;
        m_ui->btnConnect->setText(tr("Connect"));
        emit sendCmd(CardCmd::SerialOpen, QByteArray());
        return;
    }
    emit sendCmd(CardCmd::SerialOpen, openPayload());
}

void SPTestPage::sendData()
{
    if (!m_opened) {
        MessageBox::warning(nullptr, tr("Warning"), tr("Port not opened!"), tr("Sure"));
        return;
    }
    const QString text = m_ui->lineEditSend->text();
    if (text.isEmpty())
        return;
    QByteArray payload;
    QString shown;
    if (m_sendType == 1) {
        payload = text.toLatin1();
        shown = text;
    } else {
        payload = parseHex(text);
        if (payload.isEmpty())
            return;
        if (m_sendType == 2)
            payload = Crc16Modbus::append(payload);
        shown = hexText(payload);
    }
    emit sendCmd(CardCmd::SerialSend, payload);
    appendRecord(true, shown);
}

void SPTestPage::handleRespond(int cmd, const quint8* data, int size)
{
    const QByteArray payload(reinterpret_cast<const char*>(data), size);
    switch (cmd) {
    case CardCmd::SerialOpen:
        if (size > 0 && data[0] != 0) {
            m_opened = true;
            m_ui->btnConnect->setText(tr("Disconnect"));
        } else {
            MessageBox::warning(nullptr, tr("Warning"), tr("Open device's serial port failed!"), tr("Sure"));
        }
        return;
    case CardCmd::SerialSend:
        if (size > 0 && data[0] == 0) {
            m_opened = false;
            m_ui->btnConnect->setText(tr("Connect"));
            MessageBox::warning(nullptr, tr("Warning"), tr("Send data to device's serial port failed!"), tr("Sure"));
        }
        return;
    case CardCmd::SerialData:
        appendRecord(false, m_sendType == 1 ? QString::fromUtf8(payload) : hexText(payload));
        return;
    default:
        return;
    }
}

void SPTestPage::clearRecord()
{
    m_ui->textRecord->clear();
}

void SPTestPage::sendTypeChaned()
{
    if (sender() == m_ui->radioHex && m_ui->radioHex->isChecked())
        m_sendType = 0;
    else if (sender() == m_ui->radioAscii && m_ui->radioAscii->isChecked())
        m_sendType = 1;
    else if (sender() == m_ui->radioModbus && m_ui->radioModbus->isChecked())
        m_sendType = 2;
}

void SPTestPage::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        m_ui->retranslateUi(this, m_opened);
    QWidget::changeEvent(event);
}
