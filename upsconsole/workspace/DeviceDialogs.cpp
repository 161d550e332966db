#include "DeviceDialogs.h"

#include <QDesktopServices>
#include <QUrl>

#if __has_include("SettingsDialog.h")
#include "SettingsDialog.h"
#define UPS_HAVE_DEVICE_SETTINGS 1
#endif

namespace DeviceDialogs {

void runSettings(const QString& ipv4, QWidget* parent)
{
#ifdef UPS_HAVE_DEVICE_SETTINGS
    SettingsDialog dialog(ipv4, parent);
    dialog.exec();
#else
    Q_UNUSED(ipv4);
    Q_UNUSED(parent);
#endif
}

void openInBrowser(const QString& ipv4)
{
    QDesktopServices::openUrl(QUrl(QStringLiteral("http://") + ipv4));
}

} // namespace DeviceDialogs
