#include "DlgUserAdd.h"

#include "DlgPwdInput.h"
#include "MessageBox.h"

#include <QEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVBoxLayout>

DlgUserAdd::DlgUserAdd(int mode, QWidget* parent) : QDialog(parent), m_mode(mode)
{
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    resize(360, 123);
    auto* box = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    m_labelUser = new QLabel(this);
    m_labelPwd = new QLabel(this);
    m_labelPwdCon = new QLabel(this);
    lineEditUsr = new QLineEdit(this);
    lineEditUsr->setObjectName(QStringLiteral("lineEditUsr"));
    lineEditPwd = new QLineEdit(this);
    lineEditPwd->setObjectName(QStringLiteral("lineEditPwd"));
    lineEditPwd->setEchoMode(QLineEdit::Password);
    lineEditPwdCon = new QLineEdit(this);
    lineEditPwdCon->setObjectName(QStringLiteral("lineEditPwdCon"));
    lineEditPwdCon->setEchoMode(QLineEdit::Password);
    form->addRow(m_labelUser, lineEditUsr);
    form->addRow(m_labelPwd, lineEditPwd);
    form->addRow(m_labelPwdCon, lineEditPwdCon);
    box->addLayout(form);
    auto* row = new QHBoxLayout;
    btnSure = new QPushButton(this);
    btnSure->setObjectName(QStringLiteral("btnSure"));
    btnCancel = new QPushButton(this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    row->addWidget(btnSure);
    row->addWidget(btnCancel);
    box->addLayout(row);
    connect(btnSure, &QPushButton::clicked, this, &DlgUserAdd::onBtnSure);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::close);
    retranslate();
}

void DlgUserAdd::setUserName(const QString& name)
{
    m_oldName = name;
    lineEditUsr->setText(name);
}

void DlgUserAdd::retranslate()
{
    m_labelUser->setText(tr("User Name:"));
    m_labelPwd->setText(tr("Password:"));
    m_labelPwdCon->setText(tr("Password Confirm:"));
    btnSure->setText(tr("Sure"));
    btnCancel->setText(tr("Cancel"));
    setWindowTitle(m_mode == 0 ? tr("Add User") : tr("Modify User"));
}

void DlgUserAdd::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QDialog::changeEvent(event);
}

void DlgUserAdd::onBtnSure()
{
    QSqlDatabase db = QSqlDatabase::database(QStringLiteral("Global"), false);
    const QString name = lineEditUsr->text();
    if (m_mode == 0) {
        QSqlQuery exists(db);
        exists.prepare(QStringLiteral("select * from user where username=?;"));
        exists.addBindValue(name);
        if (exists.exec() && exists.next()) {
            MessageBox::warning(this, tr("Warning"), tr("User exists!"), tr("Sure"));
            return;
        }
    }
    if (lineEditPwd->text() != lineEditPwdCon->text()) {
        MessageBox::warning(this, tr("Warning"), tr("Password is not same!"), tr("Sure"));
        return;
    }
    const QByteArray digest = DlgPwdInput::passwordDigest(lineEditPwd->text());
    QSqlQuery query(db);
    if (m_mode == 0) {
        query.prepare(QStringLiteral("insert into user(username, password, isRoot) values(?, ?, ?);"));
        query.addBindValue(name);
        query.addBindValue(digest);
        query.addBindValue(false);
        if (query.exec()) {
            emit addFinished();
            MessageBox::information(this, tr("Information"), tr("Add user successfully!"), tr("Sure"));
            close();
        } else {
            MessageBox::warning(this, tr("Warning"), tr("Failed to add user!"), tr("Sure"));
        }
        return;
    }
    query.prepare(QStringLiteral("update user set username = ?, password = ? where username = ?;"));
    query.addBindValue(name);
    query.addBindValue(digest);
    query.addBindValue(m_oldName);
    if (query.exec() && query.numRowsAffected() > 0) {
        MessageBox::information(this, tr("Information"), tr("Operation succeeded!"), tr("Sure"));
        close();
    } else {
        MessageBox::warning(this, tr("Warning"), tr("Operation failed!"), tr("Sure"));
    }
}
