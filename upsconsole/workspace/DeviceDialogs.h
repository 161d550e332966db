#pragma once

#include <QString>

class QWidget;

// Entry points into the device views used by the station view and the icon view.
namespace DeviceDialogs {
// Runs the device settings dialog of one address modally.
void runSettings(const QString& ipv4, QWidget* parent);
// Opens the card's web page in the desktop's browser (nothing happens
// where no browser is configured).
void openInBrowser(const QString& ipv4);
}
