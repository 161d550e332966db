#pragma once

#include <QString>

class QSettings;

// Process-wide context of the console: login state and the settings file
// cfg/settings.ini under the application directory.
struct AppContext
{
    bool isAdmin = false;
    bool loggedIn = false;
    QSettings* settings = nullptr;

    static AppContext* instance();
    // Creates the context with both flags false and opens the settings file.
    // Calling it again replaces the settings object (tests use this after
    // changing the application directory).
    static AppContext* loadSettings();

    // Absolute path of a file under the application directory
    // (QCoreApplication::applicationDirPath(), unless overridden).
    static QString appPath(const QString& relative);
    // Tests point the console at a temporary directory instead of the
    // directory of the test binary.
    static void setAppDirOverride(const QString& dir);
    static QString appDir();
};
