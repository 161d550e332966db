#include "DeviceDialogs.h"

#include <QDesktopServices>
#include <QUrl>

#include "SettingsDialog.h"

namespace DeviceDialogs {

void runSettings(const QString& ipv4, QWidget* parent)
{
    SettingsDialog dialog(ipv4, parent);
    dialog.exec();
}

void openInBrowser(const QString& ipv4)
{
    QDesktopServices::openUrl(QUrl(QStringLiteral("http://") + ipv4));
}

} // namespace DeviceDialogs
