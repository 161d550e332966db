#include "DlgPwdInput.h"

#include "AppContext.h"
#include "MessageBox.h"

#include <QCryptographicHash>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>

DlgPwdInput::DlgPwdInput(QWidget* parent) : QDialog(parent)
{
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    resize(360, 100);
    auto* grid = new QGridLayout(this);
    label_2 = new QLabel(this);
    label_2->setObjectName(QStringLiteral("label_2"));
    lineEditUser = new QLineEdit(this);
    lineEditUser->setObjectName(QStringLiteral("lineEditUser"));
    label = new QLabel(this);
    label->setObjectName(QStringLiteral("label"));
    lineEditPwd = new QLineEdit(this);
    lineEditPwd->setObjectName(QStringLiteral("lineEditPwd"));
    lineEditPwd->setEchoMode(QLineEdit::Password);
    btnSure = new QPushButton(this);
    btnSure->setObjectName(QStringLiteral("btnSure"));
    btnSure->setDefault(true);
    grid->addWidget(label_2, 0, 0);
    grid->addWidget(lineEditUser, 0, 2);
    grid->addWidget(label, 1, 0);
    grid->addWidget(lineEditPwd, 1, 2);
    grid->addWidget(btnSure, 1, 3);
    setTabOrder(lineEditUser, lineEditPwd);
    setTabOrder(lineEditPwd, btnSure);
    connect(btnSure, &QPushButton::clicked, this, &DlgPwdInput::onBtnSureClicked);
    retranslate();
}

void DlgPwdInput::retranslate()
{
    setWindowTitle(tr("Login"));
    label_2->setText(tr("User Name:"));
    label->setText(tr("Password:"));
    btnSure->setText(tr("Sure"));
}

void DlgPwdInput::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QDialog::changeEvent(event);
}

QByteArray DlgPwdInput::passwordDigest(const QString& password)
{
    return QCryptographicHash::hash(password.toLocal8Bit(), QCryptographicHash::Md5);
}

void DlgPwdInput::onBtnSureClicked()
{
    QSqlQuery query(QSqlDatabase::database(QStringLiteral("Global"), false));
    query.prepare(QStringLiteral("select password, isRoot from user where username=?;"));
    query.addBindValue(lineEditUser->text());
    if (!query.exec() || !query.next()) {
        MessageBox::warning(this, tr("Warning"), tr("User does not exist!"), tr("Sure"));
        return;
    }
    if (query.value(0).toByteArray() != passwordDigest(lineEditPwd->text())) {
        MessageBox::warning(this, tr("Warning"), tr("Password is incorrect!"), tr("Sure"));
        return;
    }
    AppContext* context = AppContext::instance();
    context->loggedIn = true;
    context->isAdmin = query.value(1).toBool();
    accept();
}
