// Draws the agent's windows offscreen into PNG files for the documentation:
//   protector_screenshots <output dir>
// Main window with hosts in all three colours and events, the settings
// dialog and the event log, in English and Chinese. Not a test.
#include "TestSupport.h"

#include "AgentDatabase.h"
#include "Language.h"
#include "ListWidgetItem.h"
#include "LogDialog.h"
#include "MainWindow.h"
#include "SettingsDialog.h"

#include <QApplication>
#include <QTest>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTableWidget>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("UPS_MESSAGEBOX_AUTO", "0");
    QApplication app(argc, argv);
    const QString outDir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    font.setPixelSize(13);
    QApplication::setFont(font);

    AgentWorkDir dir;
    AgentDatabase::createSchema();
    {
        QSqlQuery q(AgentDatabase::database());
        q.exec("insert into snmp_session(date, ip, port, version, community) values(0, '192.168.1.20', 161, 0, 'public')");
        q.exec("insert into snmp_session(date, ip, port, version, userName, password) "
               "values(0, '192.168.1.21', 161, 1, 'upsmd5des', 'desprivpass')");
        q.exec("insert into snmp_session(date, ip, port, version, community) values(0, '192.168.1.22', 161, 0, 'public')");
    }
    AgentSettings::write("shutdown/ac_failed_time", 5);

    for (int language : {0, 1}) {
        AgentSettings::write("system/language", language);
        CountingPowerOff powerOff;
        MainWindow window(&powerOff);
        window.handleSNMPStatus("192.168.1.20", 1);
        window.handleSNMPData("192.168.1.20", statusBytes(2, 0, 2, 100));
        window.handleSNMPStatus("192.168.1.21", 1);
        window.handleSNMPEvent("192.168.1.20", 1);
        window.handleSNMPEvent("192.168.1.21", 1);
        window.handleSNMPData("192.168.1.21", statusBytes(2, 1, 3, 87));
        window.handleSNMPEvent("192.168.1.21", 6);
        window.handleSNMPEvent("192.168.1.22", 0);
        window.show();
        QTest::qWait(1100); // the status-bar clock
        QApplication::processEvents();
        const QString suffix = language == 0 ? "en" : "zh";
        window.grab().save(outDir + "/protector_main_" + suffix + ".png");

        SettingsDialog settings(&window);
        settings.show();
        QApplication::processEvents();
        settings.grab().save(outDir + "/protector_settings_" + suffix + ".png");
        settings.findChild<QTabWidget*>()->setCurrentIndex(1);
        QApplication::processEvents();
        settings.grab().save(outDir + "/protector_settings_shutdown_" + suffix + ".png");

        LogDialog log(&window);
        log.show();
        QApplication::processEvents();
        log.grab().save(outDir + "/protector_log_" + suffix + ".png");
        window.hide();
        Database::destroy();
        AgentDatabase::createSchema();
    }
    return 0;
}
