#include "AddDialog.h"

#include "Ipv4Pattern.h"
#include "MessageBox.h"
#include "WorkspaceCommon.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QSqlQuery>
#include <QVBoxLayout>

AddDialog::AddDialog(int kind, int stationId, QWidget* parent)
    : QDialog(parent), m_kind(kind), m_stationId(stationId)
{
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(350, 150);

    m_btnSure = new QPushButton(this);
    m_btnSure->setObjectName(QStringLiteral("btnSure"));

    if (m_kind == 0) {
        auto* row = new QHBoxLayout(this);
        m_labelName = new QLabel(this);
        m_editName = new QLineEdit(this);
        m_editName->setObjectName(QStringLiteral("lineEditName"));
        row->addWidget(m_labelName);
        row->addWidget(m_editName, 1);
        row->addWidget(m_btnSure);
    } else {
        auto* box = new QVBoxLayout(this);
        auto* grid = new QGridLayout;
        m_labelIp = new QLabel(this);
        m_editIp = new QLineEdit(this);
        m_editIp->setObjectName(QStringLiteral("lineEditIp"));
        m_labelCommunity = new QLabel(this);
        m_editCommunity = new QLineEdit(QStringLiteral("public"), this);
        m_editCommunity->setObjectName(QStringLiteral("lineEditCommunity"));
        m_checkContinuous = new QCheckBox(this);
        m_checkContinuous->setObjectName(QStringLiteral("checkContinuous"));
        m_spinCount = new QSpinBox(this);
        m_spinCount->setObjectName(QStringLiteral("spinCount"));
        m_spinCount->setRange(2, 254);
        m_spinCount->setEnabled(false);
        m_checkThreePhase = new QCheckBox(this);
        m_checkThreePhase->setObjectName(QStringLiteral("checkThreePhase"));
        grid->addWidget(m_labelIp, 0, 0);
        grid->addWidget(m_editIp, 0, 1);
        grid->addWidget(m_labelCommunity, 1, 0);
        grid->addWidget(m_editCommunity, 1, 1);
        grid->addWidget(m_checkContinuous, 2, 0);
        grid->addWidget(m_spinCount, 2, 1);
        grid->addWidget(m_checkThreePhase, 3, 0, 1, 2);
        box->addLayout(grid);
        auto* row = new QHBoxLayout;
        row->addStretch();
        row->addWidget(m_btnSure);
        row->addStretch();
        box->addLayout(row);
        connect(m_checkContinuous, &QCheckBox::stateChanged, this, &AddDialog::continuousStateChanged);
    }
    connect(m_btnSure, &QPushButton::clicked, this, &AddDialog::addItem);
    retranslate();
}

void AddDialog::retranslate()
{
    m_btnSure->setText(tr("Sure"));
    if (m_kind == 0) {
        setWindowTitle(tr("Add station"));
        m_labelName->setText(tr("Station name:"));
    } else {
        setWindowTitle(tr("Add device"));
        m_labelIp->setText(tr("<font color=red>*IP Address:"));
        m_labelCommunity->setText(tr("<font color=red>*Community:"));
        m_checkContinuous->setText(tr("Continuous adding device:"));
        m_checkThreePhase->setText(tr("Three phase input"));
    }
}

void AddDialog::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QDialog::changeEvent(event);
}

void AddDialog::continuousStateChanged(int checkState)
{
    m_spinCount->setEnabled(checkState == Qt::Checked);
}

void AddDialog::addItem()
{
    if (m_kind == 0)
        addStation();
    else
        addDevices();
}

void AddDialog::addStation()
{
    const QString name = m_editName->text();
    if (name.isEmpty()) {
        MessageBox::warning(this, tr("Warning"), tr("Station name is null!"), tr("Sure"));
        return;
    }
    QSqlDatabase db = Workspace::globalDb();
    QSqlQuery query(db);
    query.prepare(QStringLiteral("select count(*) from station where name=?;"));
    query.addBindValue(name);
    if (query.exec() && query.next() && query.value(0).toInt() > 0) {
        MessageBox::warning(this, tr("Warning"), tr("Station exists!"), tr("Sure"));
        return;
    }
    QSqlQuery insert(db);
    insert.prepare(QStringLiteral(
        "insert into station(name, parent_id, create_time) values(?, ?, strftime('%s','now'));"));
    insert.addBindValue(name);
    insert.addBindValue(m_stationId);
    if (!insert.exec()) {
        // A failed insert is not a success: say so and keep the dialog open.
        MessageBox::warning(this, tr("Warning"), tr("Add station failed!"), tr("Sure"));
        return;
    }
    emit addStationSuccess();
    MessageBox::information(this, tr("Information"), tr("Add station success!"), tr("Sure"));
    close();
}

void AddDialog::addDevices()
{
    const QString ip = m_editIp->text();
    if (ip.isEmpty()) {
        MessageBox::warning(this, tr("Warning"), tr("IP address is null!"), tr("Sure"));
        return;
    }
    if (!Ipv4Pattern::isValid(ip)) {
        MessageBox::warning(this, tr("Warning"), tr("IP address is vaild!"), tr("Sure"));
        return;
    }
    const QString community = m_editCommunity->text();
    if (community.isEmpty()) {
        MessageBox::warning(this, tr("Warning"), tr("Community is null!"), tr("Sure"));
        return;
    }

    const int dot = ip.lastIndexOf(QLatin1Char('.'));
    const QString prefix = ip.left(dot + 1);
    const int last = ip.mid(dot + 1).toInt();
    int count = 1;
    if (m_checkContinuous->isChecked())
        count = qMin(255 - last, m_spinCount->value());

    QSqlDatabase db = Workspace::globalDb();
    QList<QPair<QString, QString> > added;
    bool failed = !db.transaction();
    for (int i = 0; i < count && !failed; ++i) {
        const QString address = prefix + QString::number(last + i);
        QSqlQuery check(db);
        check.prepare(QStringLiteral("select count(*) from device where device_ip=?;"));
        check.addBindValue(address);
        if (!check.exec() || !check.next()) {
            failed = true;
            break;
        }
        if (check.value(0).toInt() > 0)
            continue;
        QSqlQuery insert(db);
        insert.prepare(QStringLiteral(
            "insert into device(create_time, station_id, is_three_phase, device_ip, community, name, position, admin) "
            "values(strftime('%s', 'now'), ?, ?, ?, ?, '', '', '');"));
        insert.addBindValue(m_stationId);
        insert.addBindValue(m_checkThreePhase->isChecked() ? 1 : 0);
        insert.addBindValue(address);
        insert.addBindValue(community);
        if (!insert.exec()) {
            failed = true;
            break;
        }
        added.append(qMakePair(address, community));
    }
    if (!failed)
        failed = !db.commit();
    if (failed) {
        // Nothing of the run is kept, and nothing is handed to the engine.
        db.rollback();
        MessageBox::warning(this, tr("Warning"), tr("Add device failed!"), tr("Sure"));
        return;
    }

    if (added.isEmpty()) {
        MessageBox::warning(this, tr("Warning"), tr("Device exists!"), tr("Sure"));
    } else {
        emit addDeviceSuccess(added);
        MessageBox::information(this, tr("Information"), tr("Add device success!"), tr("Sure"));
    }
    close();
}
