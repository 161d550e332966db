#include "AddHostDialog.h"

#include "AgentDatabase.h"
#include "Ipv4Pattern.h"
#include "MessageBox.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVBoxLayout>

namespace {
QString trMain(const char* text)
{
    return QCoreApplication::translate("MainWindow", text);
}
} // namespace

AddHostDialog::AddHostDialog(Mode mode, const SNMPInfo& info, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_mode(mode)
    , m_old(mode == ModifyMode ? info : SNMPInfo())
{
    setWindowTitle(mode == ModifyMode ? trMain("Modify") : trMain("Add"));
    resize(400, 300);

    auto* layout = new QVBoxLayout(this);
    auto* hostRow = new QHBoxLayout;
    m_host = new QLineEdit(this);
    m_host->setValidator(Ipv4Pattern::createValidator(m_host));
    hostRow->addWidget(new QLabel(trMain("Host:"), this));
    hostRow->addWidget(m_host);
    layout->addLayout(hostRow);

    auto* portRow = new QHBoxLayout;
    m_port = new QLineEdit(this);
    m_port->setValidator(new QIntValidator(0, 65535, m_port));
    m_community = new QLineEdit(this);
    portRow->addWidget(new QLabel(trMain("SNMP port:"), this));
    portRow->addWidget(m_port);
    portRow->addStretch();
    portRow->addWidget(new QLabel(trMain("Community:"), this));
    portRow->addWidget(m_community);
    layout->addLayout(portRow);

    auto* versionRow = new QHBoxLayout;
    m_v2 = new QRadioButton(trMain("SNMP v1/v2"), this);
    m_v3 = new QRadioButton(trMain("SNMP v3"), this);
    versionRow->addWidget(m_v2);
    versionRow->addWidget(m_v3);
    layout->addLayout(versionRow);

    auto* grid = new QGridLayout;
    m_user = new QLineEdit(this);
    m_password = new QLineEdit(this);
    m_password->setEchoMode(QLineEdit::Password);
    m_auth = new QComboBox(this);
    m_auth->addItems({QStringLiteral("MD5"), QStringLiteral("SHA")});
    m_priv = new QComboBox(this);
    m_priv->addItems({QStringLiteral("DES"), QStringLiteral("AES")});
    grid->addWidget(new QLabel(trMain("User name:"), this), 0, 0);
    grid->addWidget(m_user, 0, 1);
    grid->addWidget(new QLabel(trMain("Password:"), this), 1, 0);
    grid->addWidget(m_password, 1, 1);
    grid->addWidget(new QLabel(trMain("Authenticate:"), this), 2, 0);
    grid->addWidget(m_auth, 2, 1);
    grid->addWidget(new QLabel(trMain("Privacy:"), this), 3, 0);
    grid->addWidget(m_priv, 3, 1);
    layout->addLayout(grid);

    auto* buttons = new QHBoxLayout;
    auto* sure = new QPushButton(trMain("Sure"), this);
    auto* cancel = new QPushButton(trMain("Cancel"), this);
    buttons->addStretch();
    buttons->addWidget(sure);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);

    connect(m_v2, &QRadioButton::toggled, this, &AddHostDialog::handleSNMPVersionChanged);
    connect(m_v3, &QRadioButton::toggled, this, &AddHostDialog::handleSNMPVersionChanged);
    connect(sure, &QPushButton::clicked, this, &AddHostDialog::onSure);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    if (mode == AddMode) {
        m_v2->setChecked(true);
        m_community->setText(QStringLiteral("public"));
        m_port->setText(QStringLiteral("161"));
    } else {
        QSqlQuery query(AgentDatabase::database());
        query.prepare(QStringLiteral("select * from snmp_session where ip=:1;"));
        query.bindValue(QStringLiteral(":1"), m_old.ip);
        if (query.exec() && query.next()) {
            const QSqlRecord record = query.record();
            m_host->setText(record.value(QStringLiteral("ip")).toString());
            m_port->setText(record.value(QStringLiteral("port")).toString());
            const int version = record.value(QStringLiteral("version")).toInt();
            if (version == 0) {
                m_v2->setChecked(true);
                m_community->setText(record.value(QStringLiteral("community")).toString());
            } else if (version == 1) {
                m_v3->setChecked(true);
                m_auth->setCurrentIndex(record.value(QStringLiteral("authType")).toInt());
                m_priv->setCurrentIndex(record.value(QStringLiteral("privType")).toInt());
                m_user->setText(record.value(QStringLiteral("userName")).toString());
                m_password->setText(record.value(QStringLiteral("password")).toString());
            }
        }
    }
    handleSNMPVersionChanged(true);
}

void AddHostDialog::handleSNMPVersionChanged(bool checked)
{
    const bool v3 = m_v3->isChecked();
    const bool v2 = m_v2->isChecked();
    m_community->setEnabled(v2);
    m_user->setEnabled(v3);
    m_password->setEnabled(v3);
    m_auth->setEnabled(v3);
    m_priv->setEnabled(v3);
}

void AddHostDialog::warn(const QString& text)
{
    MessageBox::warning(this, trMain("Warning"), text, trMain("Sure"));
}

bool AddHostDialog::hostExists(const QString& ip)
{
    QSqlQuery query(AgentDatabase::database());
    query.prepare(QStringLiteral("select count(*) from snmp_session where ip=:1;"));
    query.bindValue(QStringLiteral(":1"), ip);
    return query.exec() && query.next() && query.value(0).toInt() > 0;
}

void AddHostDialog::onSure()
{
    const QString host = m_host->text();
    if (!Ipv4Pattern::isValid(host)) {
        warn(trMain("Host format error!"));
        return;
    }
    if (m_port->text().isEmpty()) {
        warn(trMain("SNMP port error!"));
        return;
    }
    SNMPInfo info;
    info.ip = host;
    info.port = m_port->text().toInt();

    QSqlQuery query(AgentDatabase::database());
    if (m_v2->isChecked()) {
        const QString community = m_community->text();
        if (community.isEmpty()) {
            warn(trMain("Community error!"));
            return;
        }
        if (m_mode == AddMode && hostExists(host)) {
            warn(trMain("SNMP host exists!"));
            return;
        }
        info.version = 0;
        info.community = community;
        if (m_mode == AddMode) {
            query.prepare(QStringLiteral("insert into snmp_session(date, ip, port, version, community) "
                                         "values(strftime('%s','now'), :1, :2, :3, :4);"));
        } else {
            query.prepare(QStringLiteral(
                "update snmp_session set ip=:1, port=:2, version=:3, community=:4 where ip=:5;"));
            query.bindValue(QStringLiteral(":5"), m_old.ip);
        }
        query.bindValue(QStringLiteral(":1"), host);
        query.bindValue(QStringLiteral(":2"), info.port);
        query.bindValue(QStringLiteral(":3"), 0);
        query.bindValue(QStringLiteral(":4"), community);
    } else if (m_v3->isChecked()) {
        const QString user = m_user->text();
        const QString password = m_password->text();
        if (user.isEmpty()) {
            warn(trMain("User name cannot be null!"));
            return;
        }
        if (user.size() < 8) {
            warn(trMain("User name must be greater than 8 characters!"));
            return;
        }
        if (!password.isEmpty() && password.size() < 8) {
            warn(trMain("Password must be greater than 8 characters!"));
            return;
        }
        if (m_mode == AddMode && hostExists(host)) {
            warn(trMain("SNMP host exists!"));
            return;
        }
        info.version = 1;
        info.authType = m_auth->currentIndex();
        info.privType = m_priv->currentIndex();
        info.userName = user;
        info.password = password;
        if (m_mode == AddMode) {
            query.prepare(QStringLiteral(
                "insert into snmp_session(date, ip, port, version, authType, privType, userName, password) "
                "values(strftime('%s','now'), :1, :2, :3, :4, :5, :6, :7);"));
        } else {
            query.prepare(QStringLiteral("update snmp_session set ip=:1, port=:2, version=:3, authType=:4, "
                                         "privType=:5,userName=:6, password=:7 where ip=:8;"));
            query.bindValue(QStringLiteral(":8"), m_old.ip);
        }
        query.bindValue(QStringLiteral(":1"), host);
        query.bindValue(QStringLiteral(":2"), info.port);
        query.bindValue(QStringLiteral(":3"), 1);
        query.bindValue(QStringLiteral(":4"), info.authType);
        query.bindValue(QStringLiteral(":5"), info.privType);
        query.bindValue(QStringLiteral(":6"), user);
        query.bindValue(QStringLiteral(":7"), password);
    } else {
        warn(trMain("SNMP version error!"));
        return;
    }

    if (!query.exec())
        return;
    if (m_mode == ModifyMode)
        emit hostModified(info, m_old);
    else
        emit hostAdded(info);
    accept();
}
