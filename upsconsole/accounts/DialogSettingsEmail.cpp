#include "DialogSettingsEmail.h"

#include "Aes.h"
#include "AppContext.h"
#include "Database.h"
#include "EmailService.h"
#include "MessageBox.h"

#include <QVariant>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QSqlQuery>
#include <QVBoxLayout>

QQueue<QString> DialogSettingsEmail::s_inputs;

void DialogSettingsEmail::setNextInputText(const QString& text)
{
    s_inputs.enqueue(text);
}

DialogSettingsEmail::DialogSettingsEmail(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    resize(360, 480);
    setAttribute(Qt::WA_QuitOnClose, false);

    auto* layout = new QVBoxLayout(this);
    chkBoxEnable = new QCheckBox(this);
    chkBoxEnable->setObjectName(QStringLiteral("chkBoxEnable"));
    layout->addWidget(chkBoxEnable);

    groupSender = new QGroupBox(this);
    groupSender->setObjectName(QStringLiteral("groupSender"));
    auto* grid = new QGridLayout(groupSender);
    auto addRow = [&](int row, QLabel*& label, QWidget* field, const char* name) {
        label = new QLabel(groupSender);
        field->setObjectName(QLatin1String(name));
        grid->addWidget(label, row, 0);
        grid->addWidget(field, row, 1);
    };
    leSenderName = new QLineEdit(groupSender);
    addRow(0, lblSenderName, leSenderName, "leSenderName");
    leSenderAddr = new QLineEdit(groupSender);
    addRow(1, lblSenderAddr, leSenderAddr, "leSenderAddr");
    leServerAddr = new QLineEdit(groupSender);
    addRow(2, lblServerAddr, leServerAddr, "leServerAddr");
    leServerPort = new QLineEdit(groupSender);
    addRow(3, lblServerPort, leServerPort, "leServerPort");
    cbBoxEncrypt = new QComboBox(groupSender);
    cbBoxEncrypt->addItems({QString(), QString(), QString()});
    addRow(4, lblEncrypt, cbBoxEncrypt, "cbBoxEncrypt");
    chkBoxAuth = new QCheckBox(groupSender);
    chkBoxAuth->setObjectName(QStringLiteral("chkBoxAuth"));
    grid->addWidget(chkBoxAuth, 5, 0, 1, 2);
    leAccount = new QLineEdit(groupSender);
    addRow(6, lblAccount, leAccount, "leAccount");
    lePassword = new QLineEdit(groupSender);
    lePassword->setEchoMode(QLineEdit::Password);
    addRow(7, lblPassword, lePassword, "lePassword");
    btnSendTest = new QPushButton(groupSender);
    addRow(8, lblSendTest, btnSendTest, "btnSendTest");
    layout->addWidget(groupSender);

    groupUser = new QGroupBox(this);
    groupUser->setObjectName(QStringLiteral("groupUser"));
    auto* userLayout = new QVBoxLayout(groupUser);
    listWidget = new QListWidget(groupUser);
    listWidget->setObjectName(QStringLiteral("listWidget"));
    userLayout->addWidget(listWidget);
    auto* buttons = new QHBoxLayout;
    btnAdd = new QPushButton(groupUser);
    btnAdd->setObjectName(QStringLiteral("btnAdd"));
    btnModify = new QPushButton(groupUser);
    btnModify->setObjectName(QStringLiteral("btnModify"));
    btnDelete = new QPushButton(groupUser);
    btnDelete->setObjectName(QStringLiteral("btnDelete"));
    buttons->addWidget(btnAdd);
    buttons->addWidget(btnModify);
    buttons->addWidget(btnDelete);
    userLayout->addLayout(buttons);
    layout->addWidget(groupUser);

    retranslateUi();

    // Fill from the configuration before connecting, so that filling stores nothing.
    const EmailConfig& config = EmailService::instance()->config();
    leSenderName->setText(config.senderName);
    leSenderAddr->setText(config.senderAddr);
    leServerAddr->setText(config.serverAddr);
    leServerPort->setText(QString::number(config.serverPort));
    cbBoxEncrypt->setCurrentIndex(config.encrypt < 3 ? config.encrypt : 0);
    leAccount->setText(config.senderAccount);
    lePassword->setText(config.senderPassword);
    listWidget->addItems(config.receivers);
    if (listWidget->count() > 0)
        listWidget->setCurrentRow(0);
    chkBoxAuth->setChecked(config.auth);
    leAccount->setEnabled(config.auth);
    lePassword->setEnabled(config.auth);
    chkBoxEnable->setChecked(config.enable);
    groupSender->setEnabled(config.enable);
    groupUser->setEnabled(config.enable);

    connect(chkBoxEnable, &QCheckBox::clicked, this, &DialogSettingsEmail::onChkEnableClicked);
    connect(chkBoxAuth, &QCheckBox::clicked, this, &DialogSettingsEmail::onChkAuthClicked);
    connect(leSenderName, &QLineEdit::textChanged, this, &DialogSettingsEmail::onLeSenderNameChanged);
    connect(leSenderAddr, &QLineEdit::textChanged, this, &DialogSettingsEmail::onLeSenderAddrChanged);
    connect(leAccount, &QLineEdit::textChanged, this, &DialogSettingsEmail::onLeSenderAccountChanged);
    connect(lePassword, &QLineEdit::textChanged, this, &DialogSettingsEmail::onLeSenderPasswordChanged);
    connect(leServerAddr, &QLineEdit::textChanged, this, &DialogSettingsEmail::onLeServerAddrChanged);
    connect(leServerPort, &QLineEdit::textChanged, this, &DialogSettingsEmail::onLeServerPortChanged);
    connect(cbBoxEncrypt, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &DialogSettingsEmail::onCbEncryptChanged);
    connect(btnSendTest, &QPushButton::clicked, this, &DialogSettingsEmail::onBtnSendTestClicked);
    connect(btnAdd, &QPushButton::clicked, this, &DialogSettingsEmail::onBtnAddClicked);
    connect(btnModify, &QPushButton::clicked, this, &DialogSettingsEmail::onBtnModifyClicked);
    connect(btnDelete, &QPushButton::clicked, this, &DialogSettingsEmail::onBtnDelClicked);
}

void DialogSettingsEmail::retranslateUi()
{
    setWindowTitle(tr("E-Mail Settings"));
    chkBoxEnable->setText(tr("Enable E-Mail"));
    groupSender->setTitle(tr("E-Mail Sender"));
    lblSenderName->setText(tr("Sender Name:"));
    lblSenderAddr->setText(tr("Sender Address:"));
    lblServerAddr->setText(tr("SMTP Server Address:"));
    lblServerPort->setText(tr("SMTP Port:"));
    lblEncrypt->setText(tr("Encryption :"));
    cbBoxEncrypt->setItemText(0, tr("No"));
    cbBoxEncrypt->setItemText(1, tr("STARTTLS"));
    cbBoxEncrypt->setItemText(2, tr("SSL/TLS"));
    chkBoxAuth->setText(tr("Authentication"));
    lblAccount->setText(tr("Sender Account:"));
    lblPassword->setText(tr("Sender Password:"));
    lblSendTest->setText(tr("Send Test E-Mail"));
    btnSendTest->setText(tr("Sure"));
    groupUser->setTitle(tr("Notified E-Mail Address"));
    btnAdd->setText(tr("Add"));
    btnModify->setText(tr("Modify"));
    btnDelete->setText(tr("Delete"));
}

void DialogSettingsEmail::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslateUi();
    QDialog::changeEvent(event);
}

void DialogSettingsEmail::writeSetting(const QString& key, const QVariant& value)
{
    AppContext* context = AppContext::instance();
    if (context && context->settings)
        context->settings->setValue(key, value);
}

void DialogSettingsEmail::onChkEnableClicked(bool checked)
{
    EmailService::instance()->config().enable = checked;
    groupSender->setEnabled(checked);
    groupUser->setEnabled(checked);
    writeSetting(QStringLiteral("email/enable"), checked);
}

void DialogSettingsEmail::onChkAuthClicked(bool checked)
{
    EmailService::instance()->config().auth = checked;
    leAccount->setEnabled(checked);
    lePassword->setEnabled(checked);
    writeSetting(QStringLiteral("email/auth"), checked);
}

void DialogSettingsEmail::onLeSenderNameChanged(QString name)
{
    EmailService::instance()->config().senderName = name;
    writeSetting(QStringLiteral("email/senderName"), name);
}

void DialogSettingsEmail::onLeSenderAddrChanged(QString addr)
{
    EmailService::instance()->config().senderAddr = addr;
    writeSetting(QStringLiteral("email/senderAddr"), addr);
}

void DialogSettingsEmail::onLeSenderAccountChanged(QString account)
{
    EmailService::instance()->config().senderAccount = account;
    writeSetting(QStringLiteral("email/senderAccount"), account);
}

void DialogSettingsEmail::onLeSenderPasswordChanged(QString password)
{
    EmailService::instance()->config().senderPassword = password;
    writeSetting(QStringLiteral("email/senderPassword"),
                 QString::fromLatin1(encryptPassword(password.toLocal8Bit())));
}

void DialogSettingsEmail::onLeServerAddrChanged(QString addr)
{
    EmailService::instance()->config().serverAddr = addr;
    writeSetting(QStringLiteral("email/serverAddr"), addr);
}

void DialogSettingsEmail::onLeServerPortChanged(QString port)
{
    EmailService::instance()->config().serverPort = port.toUShort();
    writeSetting(QStringLiteral("email/serverPort"), port);
}

void DialogSettingsEmail::onCbEncryptChanged(int index)
{
    if (index < 0)
        return;
    EmailService::instance()->config().encrypt = quint8(index);
    writeSetting(QStringLiteral("email/encrypt"), index);
}

void DialogSettingsEmail::onBtnSendTestClicked()
{
    EmailService::instance()->send(tr("Test E-Mail"), tr("This is a test e-mail."), true);
}

bool DialogSettingsEmail::askAddress(const QString& title, const QString& initial, QString* result)
{
    if (!s_inputs.isEmpty()) {
        *result = s_inputs.dequeue();
        return !result->isEmpty();
    }
    bool ok = false;
    *result = QInputDialog::getText(this, title, QStringLiteral("Addrees:"), QLineEdit::Normal, initial, &ok);
    return ok && !result->isEmpty();
}

void DialogSettingsEmail::onBtnAddClicked()
{
    QString address;
    if (!askAddress(QStringLiteral("Add E-Mail Receiver"), QString(), &address))
        return;
    QSqlQuery query(Database::instance()->getDatabase(QStringLiteral("Global")));
    query.prepare(QStringLiteral("insert into email_user(address) values(?);"));
    query.addBindValue(address);
    query.exec();
    listWidget->addItem(address);
    listWidget->setCurrentRow(listWidget->count() - 1);
    EmailService::instance()->config().receivers.append(address);
}

void DialogSettingsEmail::onBtnModifyClicked()
{
    QListWidgetItem* item = listWidget->currentItem();
    if (!item)
        return; // nothing selected: nothing to modify
    const QString old = item->text();
    QString address;
    if (!askAddress(QStringLiteral("Modify E-Mail Receiver"), old, &address) || address == old)
        return;
    QSqlQuery query(Database::instance()->getDatabase(QStringLiteral("Global")));
    query.prepare(QStringLiteral("update email_user set address=? where address=?;"));
    query.addBindValue(address);
    query.addBindValue(old);
    query.exec();
    item->setText(address);
    QStringList& receivers = EmailService::instance()->config().receivers;
    receivers.removeAll(old);
    receivers.append(address);
}

void DialogSettingsEmail::onBtnDelClicked()
{
    QListWidgetItem* item = listWidget->currentItem();
    if (!item)
        return; // nothing selected: nothing to delete
    if (MessageBox::information(this, tr("Information"), tr("Are you sure to delete this address?"), tr("Sure"),
                                tr("Cancel"))
        != 0)
        return;
    const QString address = item->text();
    delete listWidget->takeItem(listWidget->row(item));
    QSqlQuery query(Database::instance()->getDatabase(QStringLiteral("Global")));
    query.prepare(QStringLiteral("delete from email_user where address=?;"));
    query.addBindValue(address);
    query.exec();
    EmailService::instance()->config().receivers.removeAll(address);
}
