#include "SettingsPage.h"

#include "CardFrame.h"
#include "Ipv4Pattern.h"
#include "MessageBox.h"

#include <QCheckBox>
#include <QDateTime>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegExpValidator>
#include <QTableWidget>
#include <QVBoxLayout>

void UI_SettingPage::setupUi(QWidget* page)
{
    auto* vbox = new QVBoxLayout(page);
    groupIp = new QGroupBox(page);
    auto* ipGrid = new QGridLayout(groupIp);
    for (int i = 0; i < 5; ++i) {
        labels[i] = new QLabel(groupIp);
        ipEdits[i] = new QLineEdit(groupIp);
        ipEdits[i]->setValidator(new QRegExpValidator(QRegExp(QString::fromLatin1(Ipv4Pattern::kPattern)), ipEdits[i]));
        ipGrid->addWidget(labels[i], i, 0);
        ipGrid->addWidget(ipEdits[i], i, 1);
    }
    auto* ipButtons = new QHBoxLayout;
    btnIpRead = new QPushButton(groupIp);
    btnIpWrite = new QPushButton(groupIp);
    btnIpReset = new QPushButton(groupIp);
    ipButtons->addWidget(btnIpRead);
    ipButtons->addWidget(btnIpWrite);
    ipButtons->addWidget(btnIpReset);
    ipGrid->addLayout(ipButtons, 5, 0, 1, 2);
    labelNote = new QLabel(groupIp);
    labelNote->setTextFormat(Qt::RichText);
    ipGrid->addWidget(labelNote, 6, 0, 1, 2);
    vbox->addWidget(groupIp);

    groupDate = new QGroupBox(page);
    auto* dateBox = new QHBoxLayout(groupDate);
    labelDate = new QLabel(groupDate);
    lineEditDate = new QLineEdit(groupDate);
    lineEditDate->setValidator(new QRegExpValidator(
        QRegExp(QStringLiteral("2[0-9]{3}-(1[0-2]|0[1-9])-[0-3][0-9] ([0-9]{2}:){2}[0-9]{2}")), lineEditDate));
    btnDeviceDate = new QPushButton(groupDate);
    btnSyncDate = new QPushButton(groupDate);
    dateBox->addWidget(labelDate);
    dateBox->addWidget(lineEditDate);
    dateBox->addWidget(btnDeviceDate);
    dateBox->addWidget(btnSyncDate);
    vbox->addWidget(groupDate);

    groupPort = new QGroupBox(page);
    auto* portBox = new QVBoxLayout(groupPort);
    tablePorts = new QTableWidget(4, 3, groupPort);
    tablePorts->setFixedHeight(150);
    tablePorts->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    tablePorts->verticalHeader()->setVisible(false);
    for (int row = 0; row < 4; ++row) {
        auto* item = new QTableWidgetItem;
        item->setFlags(item->flags() & ~Qt::ItemIsEditable);
        tablePorts->setItem(row, 0, item);
        portChecks[row] = new QCheckBox(tablePorts);
        portChecks[row]->setChecked(true);
        tablePorts->setCellWidget(row, 1, portChecks[row]);
        portEdits[row] = new QLineEdit(tablePorts);
        portEdits[row]->setStyleSheet(QStringLiteral("border:none"));
        portEdits[row]->setPlaceholderText(QStringLiteral("1~65534"));
        portEdits[row]->setValidator(new QIntValidator(1, 65534, portEdits[row]));
        tablePorts->setCellWidget(row, 2, portEdits[row]);
    }
    portBox->addWidget(tablePorts);
    auto* portButtons = new QHBoxLayout;
    btnPortRead = new QPushButton(groupPort);
    btnPortWrite = new QPushButton(groupPort);
    portButtons->addStretch();
    portButtons->addWidget(btnPortRead);
    portButtons->addWidget(btnPortWrite);
    portBox->addLayout(portButtons);
    vbox->addWidget(groupPort);
    vbox->addStretch();
    retranslateUi(page);
}

void UI_SettingPage::retranslateUi(QWidget*)
{
    groupIp->setTitle(SettingsPage::tr("IP settings"));
    const QStringList names{SettingsPage::tr("IP Address:"), SettingsPage::tr("Netmask:"), SettingsPage::tr("Gateway:"),
                            SettingsPage::tr("DNS1:"), SettingsPage::tr("DNS2:")};
    for (int i = 0; i < 5; ++i)
        labels[i]->setText(names[i]);
    btnIpRead->setText(SettingsPage::tr("Read"));
    btnIpWrite->setText(SettingsPage::tr("Write"));
    btnIpReset->setText(SettingsPage::tr("Reset"));
    labelNote->setText(SettingsPage::tr("<font color=#FF0000>*Note: This settings will be effect when next boot."));
    groupDate->setTitle(SettingsPage::tr("Date settings"));
    labelDate->setText(SettingsPage::tr("Date:"));
    btnDeviceDate->setText(SettingsPage::tr("Device date"));
    btnSyncDate->setText(SettingsPage::tr("Sync date"));
    groupPort->setTitle(SettingsPage::tr("Port settings"));
    tablePorts->setHorizontalHeaderLabels({SettingsPage::tr("Item"), SettingsPage::tr("Enable"), SettingsPage::tr("Port")});
    const QStringList rows{QStringLiteral("SSH"), QStringLiteral("Telnet"), QStringLiteral("HTTP"), QStringLiteral("HTTPS")};
    for (int row = 0; row < 4; ++row)
        tablePorts->item(row, 0)->setText(rows[row]);
    btnPortRead->setText(SettingsPage::tr("Read"));
    btnPortWrite->setText(SettingsPage::tr("Write"));
}

SettingsPage::SettingsPage(QWidget* parent) : QWidget(parent), m_ui(std::make_shared<UI_SettingPage>())
{
    m_ui->setupUi(this);
    connect(m_ui->btnIpRead, &QPushButton::clicked, this, [this] { emit sendCmd(CardCmd::ReadIpSettings, QByteArray()); });
    connect(m_ui->btnIpWrite, &QPushButton::clicked, this, &SettingsPage::writeIp);
    connect(m_ui->btnIpReset, &QPushButton::clicked, this, [this] { emit sendCmd(CardCmd::ResetIpSettings, QByteArray()); });
    connect(m_ui->btnDeviceDate, &QPushButton::clicked, this, [this] { emit sendCmd(CardCmd::ReadDate, QByteArray()); });
    connect(m_ui->btnSyncDate, &QPushButton::clicked, this, &SettingsPage::syncDate);
    connect(m_ui->btnPortRead, &QPushButton::clicked, this, [this] { emit sendCmd(CardCmd::ReadPorts, QByteArray()); });
    connect(m_ui->btnPortWrite, &QPushButton::clicked, this, &SettingsPage::writePorts);
    for (QCheckBox* box : m_ui->portChecks)
        connect(box, &QCheckBox::toggled, this, &SettingsPage::onCheckBoxPortChecked);
}

QByteArray SettingsPage::buildIpPayload(const QStringList& fields)
{
    QByteArray payload(80, '\0');
    for (int i = 0; i < 5 && i < fields.size(); ++i) {
        const QByteArray text = fields[i].toLocal8Bit().left(16);
        payload.replace(i * 16, text.size(), text);
    }
    return payload;
}

void SettingsPage::writeIp()
{
    QStringList fields;
    for (QLineEdit* edit : m_ui->ipEdits) {
        if (!Ipv4Pattern::isValid(edit->text())) {
            MessageBox::information(nullptr, tr("Tip"), tr("Format error!"), tr("Sure"));
            return;
        }
        fields << edit->text();
    }
    emit sendCmd(CardCmd::WriteIpSettings, buildIpPayload(fields));
}

void SettingsPage::syncDate()
{
    emit sendCmd(CardCmd::SyncDate, QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")).toLatin1());
}

void SettingsPage::writePorts()
{
    QByteArray payload;
    for (int row = 0; row < 4; ++row) {
        bool ok = false;
        const int port = m_ui->portEdits[row]->text().toInt(&ok);
        if (!ok || port < 1 || port > 65534) {
            MessageBox::warning(nullptr, tr("Warning"), tr("Port settings error!"), tr("Sure"));
            return;
        }
        payload.append(char(m_ui->portChecks[row]->isChecked() ? 1 : 0));
        payload.append(char((port >> 8) & 0xFF)).append(char(port & 0xFF));
    }
    emit sendCmd(CardCmd::WritePorts, payload);
}

void SettingsPage::handleRespond(int cmd, const quint8* data, int size)
{
    const char* bytes = reinterpret_cast<const char*>(data);
    switch (cmd) {
    case CardCmd::ReadIpSettings:
        if (size != 80) {
            MessageBox::information(nullptr, tr("Tip"), tr("Read IP infomation failed!"), tr("Sure"));
            return;
        }
        for (int i = 0; i < 5; ++i) {
            const QByteArray field(bytes + i * 16, 16);
            const int zero = field.indexOf('\0');
            m_ui->ipEdits[i]->setText(QString::fromLocal8Bit(zero >= 0 ? field.left(zero) : field));
        }
        return;
    case CardCmd::ReadDate:
        if (size != 19) {
            MessageBox::information(nullptr, tr("Tip"), tr("Read date failed!"), tr("Sure"));
            return;
        }
        m_ui->lineEditDate->setText(QString::fromLatin1(bytes, size));
        return;
    case CardCmd::ReadPorts:
        if (size != 12) {
            MessageBox::information(nullptr, tr("Tip"), tr("Read port settings failed!"), tr("Sure"));
            return;
        }
        for (int row = 0; row < 4; ++row) {
            const bool enabled = data[row * 3] != 0;
            const int port = (data[row * 3 + 1] << 8) | data[row * 3 + 2];
            m_ui->portChecks[row]->setChecked(enabled);
            m_ui->portEdits[row]->setText(QString::number(port));
            m_ui->portEdits[row]->setEnabled(enabled);
        }
        return;
    default:
        return;
    }
}

void SettingsPage::onCheckBoxPortChecked(bool checked)
{
    for (int row = 0; row < 4; ++row)
        if (sender() == m_ui->portChecks[row])
            m_ui->portEdits[row]->setEnabled(checked);
}

void SettingsPage::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        m_ui->retranslateUi(this);
    QWidget::changeEvent(event);
}
