// upsconsole: start-up of the monitoring console.

#include "AppContext.h"
#include "ConsoleSetup.h"
#include "CrashHandler.h"
#include "Database.h"
#include "DlgPwdInput.h"
#include "MainWindow.h"
#include "MessageBox.h"
#include "SNMP.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    int exitCode = 0;
    if (CrashHandler::runReportMode(argc, argv, &exitCode))
        return exitCode;

    CrashHandler::install();

    auto* app = new QApplication(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Velmora"));
    QApplication::setOrganizationDomain(QStringLiteral("velmora.example"));
    QApplication::setApplicationName(QStringLiteral("upsconsole"));

    AppContext::loadSettings();

    if (!ConsoleSetup::initDatabase(Database::instance())) {
        MessageBox::warning(nullptr, QCoreApplication::translate("main", "Warning"),
                            QCoreApplication::translate("main", "Init failed!"),
                            QCoreApplication::translate("main", "Sure"), QString(), QString(), 0, -1);
        Database::destroy();
        delete app;
        return -1;
    }

    ConsoleSetup::initSettingsDefaults();

    // Polling runs from here on, also while the login dialog is open.
    SNMP::instance()->start();

    // -- main window and login --
    int result = 0;
    {
        // The window is built hidden; it is shown only after a login. Its
        // destruction tears the engine and the database down.
        auto* window = new MainWindow;
        auto* login = new DlgPwdInput;
        if (login->exec() == QDialog::Accepted) {
            window->setUserActionVisible(AppContext::instance()->isAdmin);
            window->show();
            result = app->exec();
        }
        delete login;
        delete window;
    }
    // -- end of main window and login --

    SNMP::destroy();
    Database::destroy();
    delete app;
    return result;
}
