#pragma once

#include <QString>

// Paths of the tool's files, relative to the working directory.
namespace ToolSettings {
inline QString settingsPath() { return QStringLiteral("config/settings.ini"); }
inline QString completerPath() { return QStringLiteral("config/completer.dat"); }
inline QString translationPath() { return QStringLiteral("translations/zh.qm"); }
}
