#include "DlgUser.h"

#include "DlgUserAdd.h"
#include "MessageBox.h"

#include <QCheckBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QVariant>

namespace {
QSqlDatabase globalDb()
{
    return QSqlDatabase::database(QStringLiteral("Global"), false);
}
const char kUserName[] = "userName";
}

DlgUser::DlgUser(QWidget* parent) : QDialog(parent)
{
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    resize(450, 300);
    setFixedSize(450, 300);
    auto* box = new QVBoxLayout(this);
    tableWidget = new QTableWidget(0, 4, this);
    tableWidget->setObjectName(QStringLiteral("tableWidget"));
    tableWidget->verticalHeader()->hide();
    box->addWidget(tableWidget);
    auto* row = new QHBoxLayout;
    btnAdd = new QPushButton(this);
    btnAdd->setObjectName(QStringLiteral("btnAdd"));
    btnClose = new QPushButton(this);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    row->addWidget(btnAdd);
    row->addStretch();
    row->addWidget(btnClose);
    box->addLayout(row);
    connect(btnAdd, &QPushButton::clicked, this, &DlgUser::onBtnAdd);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::close);
    retranslate();
    refresh();
}

void DlgUser::retranslate()
{
    setWindowTitle(tr("User"));
    tableWidget->setHorizontalHeaderLabels({tr("User Name"), tr("isRoot"), QString(), QString()});
    btnAdd->setText(tr("Add"));
    btnClose->setText(tr("Close"));
}

void DlgUser::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
        refresh(); // the row buttons carry texts as well
    }
    QDialog::changeEvent(event);
}

void DlgUser::refresh()
{
    tableWidget->clearContents();
    tableWidget->setRowCount(0);
    QSqlQuery query(globalDb());
    if (!query.exec(QStringLiteral("select username, isRoot from user;")))
        return;
    while (query.next()) {
        const QString name = query.value(0).toString();
        const bool isRoot = query.value(1).toBool();
        const int row = tableWidget->rowCount();
        tableWidget->insertRow(row);
        auto* item = new QTableWidgetItem(name);
        item->setFlags(item->flags() & ~Qt::ItemIsEditable);
        tableWidget->setItem(row, 0, item);

        auto* check = new QCheckBox(tableWidget);
        check->setChecked(isRoot);
        check->setProperty(kUserName, name);
        check->setEnabled(!isRoot);
        connect(check, &QCheckBox::clicked, this, &DlgUser::onCheckBoxClicked);
        tableWidget->setCellWidget(row, 1, check);

        auto* modify = new QPushButton(tr("Modify"), tableWidget);
        modify->setProperty(kUserName, name);
        connect(modify, &QPushButton::clicked, this, &DlgUser::onBtnModify);
        tableWidget->setCellWidget(row, 2, modify);

        auto* del = new QPushButton(tr("Delete"), tableWidget);
        del->setProperty(kUserName, name);
        del->setEnabled(!isRoot);
        connect(del, &QPushButton::clicked, this, &DlgUser::onBtnDelete);
        tableWidget->setCellWidget(row, 3, del);
    }
}

void DlgUser::onBtnAdd()
{
    DlgUserAdd dialog(0, this);
    connect(&dialog, &DlgUserAdd::addFinished, this, &DlgUser::refresh);
    dialog.exec();
}

void DlgUser::onBtnModify()
{
    const QString name = sender() ? sender()->property(kUserName).toString() : QString();
    DlgUserAdd dialog(1, this);
    dialog.setUserName(name);
    dialog.exec();
}

void DlgUser::onBtnDelete()
{
    const QString name = sender() ? sender()->property(kUserName).toString() : QString();
    const int answer =
        MessageBox::warning(this, tr("Warning"), tr("Are you sure to delete this user?!"), tr("Sure"), tr("Cancel"));
    if (answer != 0)
        return;
    QSqlQuery query(globalDb());
    // The administrator's row is never deleted, even if the list is stale.
    query.prepare(QStringLiteral("delete from user where username=? and isRoot=0;"));
    query.addBindValue(name);
    if (query.exec()) {
        refresh();
        MessageBox::information(this, tr("Information"), tr("Delete user successfully!"), tr("Sure"));
    } else {
        MessageBox::warning(this, tr("Warning"), tr("Failed to delete user!"), tr("Sure"));
    }
}

bool DlgUser::setAdministrator(const QString& userName)
{
    QSqlDatabase db = globalDb();
    if (!db.transaction())
        return false;
    QSqlQuery clear(db);
    QSqlQuery set(db);
    set.prepare(QStringLiteral("update user set isRoot = 1 where username=?;"));
    set.addBindValue(userName);
    const bool ok = clear.exec(QStringLiteral("update user set isRoot = 0 where isRoot = 1;")) && set.exec() &&
                    set.numRowsAffected() > 0;
    if (!ok || !db.commit()) {
        db.rollback();
        return false;
    }
    return true;
}

void DlgUser::onCheckBoxClicked(bool isChecked)
{
    if (!isChecked)
        return;
    auto* check = qobject_cast<QCheckBox*>(sender());
    const QString name = check ? check->property(kUserName).toString() : QString();
    const int answer = MessageBox::information(this, tr("Information"),
                                               tr("Are you sure to set this user as administrator?"), tr("Sure"),
                                               tr("Cancel"));
    if (answer != 0) {
        if (check)
            check->setChecked(false);
        return;
    }
    if (setAdministrator(name)) {
        refresh();
        MessageBox::information(this, tr("Information"), tr("Operation succeeded!"), tr("Sure"));
    } else {
        if (check)
            check->setChecked(false);
        MessageBox::warning(this, tr("Warning"), tr("Operation failed!"), tr("Sure"));
    }
}
