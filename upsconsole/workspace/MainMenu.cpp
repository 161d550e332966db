#include "MainMenu.h"

#include "AddDialog.h"
#include "AttributeDialog.h"
#include "DeviceDialogs.h"
#include "MessageBox.h"
#include "WorkspaceCommon.h"

#include <QSqlQuery>

MainMenu::MainMenu(bool hasDevice, int stationId, const QStringList& addresses, const QString& stationName,
                   QWidget* parent)
    : QMenu(parent), m_hasDevice(hasDevice && !addresses.isEmpty()), m_stationId(stationId),
      m_addresses(addresses), m_stationName(stationName)
{
    m_settings = addAction(tr("Settings"), this, &MainMenu::onSettings);
    m_browser = addAction(tr("Browser device"), this, &MainMenu::onBrowser);
    addSeparator();
    m_add = addAction(tr("Add"), this, &MainMenu::onAdd);
    m_delete = addAction(tr("Delete"), this, &MainMenu::onDelete);
    addSeparator();
    m_attribute = addAction(tr("Attribute"), this, &MainMenu::onAttribute);
    addSeparator();
    m_refresh = addAction(tr("Refresh"), this, &MainMenu::refreshDev);

    m_settings->setEnabled(m_hasDevice);
    m_browser->setEnabled(m_hasDevice);
    m_delete->setEnabled(m_hasDevice);
    m_attribute->setEnabled(m_hasDevice);
}

void MainMenu::onSettings()
{
    if (!m_addresses.isEmpty())
        DeviceDialogs::runSettings(m_addresses.first(), parentWidget());
}

void MainMenu::onBrowser()
{
    for (const QString& address : qAsConst(m_addresses))
        DeviceDialogs::openInBrowser(address);
}

void MainMenu::onAdd()
{
    AddDialog dialog(1, m_stationId, parentWidget());
    connect(&dialog, &AddDialog::addDeviceSuccess, this, &MainMenu::addSuccess);
    dialog.exec();
}

void MainMenu::onDelete()
{
    if (m_addresses.isEmpty())
        return;
    const int answer = MessageBox::warning(parentWidget(), tr("Warning"), tr("Are you sure to delete this deivce?"),
                                           tr("Yes"), tr("No"));
    if (answer != 0)
        return;
    QSqlDatabase db = Workspace::globalDb();
    bool ok = db.transaction();
    for (const QString& address : qAsConst(m_addresses)) {
        if (!ok)
            break;
        QSqlQuery query(db);
        query.prepare(QStringLiteral("delete from device where device_ip=?;"));
        query.addBindValue(address);
        ok = query.exec();
    }
    if (ok)
        ok = db.commit();
    if (!ok) {
        // The rows are still there: keep polling them and say so.
        db.rollback();
        MessageBox::warning(parentWidget(), tr("Warning"), tr("Delete device failed!"), tr("Sure"));
        return;
    }
    emit delSuccess(m_addresses);
    MessageBox::information(parentWidget(), tr("Information"), tr("Delete device success!"), tr("Sure"));
}

void MainMenu::onAttribute()
{
    if (m_addresses.isEmpty())
        return;
    AttributeDialog dialog(1, parentWidget());
    dialog.showDevice(m_addresses.first(), m_stationName);
}
