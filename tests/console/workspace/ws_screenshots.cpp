// Takes the README's pictures of the console's main window: a small station
// tree over simulated cards (upssim on 127.0.24.1-10, UDP 24161, control on
// 127.0.0.1:24902), logged in through the real login dialog, in table and
// icon mode, in English and in Chinese.
//
//   ws_screenshots <output dir> <console dir with cfg/ and translations/>
//
// Run it under a display (scripts/screenshots.sh uses Xvfb).

#include "AppContext.h"
#include "ConsoleSetup.h"
#include "Database.h"
#include "DlgPwdInput.h"
#include "Language.h"
#include "MainWidget.h"
#include "MainWindow.h"
#include "IconItemGraphicsView.h"
#include "ManageTreeView.h"
#include "SNMP.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QSqlQuery>
#include <QStandardItem>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

static void wait(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
}

static int addStation(const QString& name, int parent)
{
    QSqlQuery q(QSqlDatabase::database(QStringLiteral("Global"), false));
    q.prepare(QStringLiteral("insert into station(name, parent_id, create_time) values(?, ?, strftime('%s','now'));"));
    q.addBindValue(name);
    q.addBindValue(parent);
    q.exec();
    return q.lastInsertId().toInt();
}

static void addDevice(const QString& ip, int station, const QString& name, bool threePhase = false)
{
    QSqlQuery q(QSqlDatabase::database(QStringLiteral("Global"), false));
    q.prepare(QStringLiteral("insert into device(create_time, station_id, is_three_phase, device_ip, community, name, "
                             "position, admin) values(strftime('%s','now'), ?, ?, ?, 'public', ?, '', '');"));
    q.addBindValue(station);
    q.addBindValue(threePhase ? 1 : 0);
    q.addBindValue(ip);
    q.addBindValue(name);
    q.exec();
}

static bool save(QWidget* window, const QString& path)
{
    const bool ok = window->grab().save(path);
    QTextStream(stdout) << (ok ? "saved " : "FAILED ") << path << Qt::endl;
    return ok;
}

int main(int argc, char* argv[])
{
    qputenv("MIBS", "");
    QApplication app(argc, argv);
    if (argc < 3) {
        QTextStream(stderr) << "usage: ws_screenshots <output dir> <console dir>" << Qt::endl;
        return 2;
    }
    const QString outDir = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    const QString consoleDir = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(outDir);

    QTemporaryDir work;
    QDir root(work.path());
    root.mkpath(QStringLiteral("cfg"));
    root.mkpath(QStringLiteral("data"));
    root.mkpath(QStringLiteral("translations"));
    for (const QString& sub : {QStringLiteral("cfg"), QStringLiteral("translations")}) {
        const QDir from(consoleDir + QLatin1Char('/') + sub);
        for (const QString& name : from.entryList(QDir::Files))
            QFile::copy(from.filePath(name), root.filePath(sub + QLatin1Char('/') + name));
    }
    qputenv("SNMP_PERSISTENT_DIR", QFile::encodeName(root.filePath(QStringLiteral("snmp"))));
    AppContext::setAppDirOverride(work.path());
    AppContext::loadSettings();
    if (!ConsoleSetup::initDatabase(Database::instance()))
        return 1;
    ConsoleSetup::initSettingsDefaults();
    QSettings* settings = AppContext::instance()->settings;
    settings->setValue(QStringLiteral("snmp/snmp_port"), 24161);
    settings->setValue(QStringLiteral("snmp/trap_port"), 24163);
    settings->setValue(QStringLiteral("snmp/polling_cycle"), 1000);
    settings->setValue(QStringLiteral("snmp/snmp_version"), 1);

    const int north = addStation(QStringLiteral("North campus"), 0);
    const int hallA = addStation(QStringLiteral("Hall A"), north);
    const int hallB = addStation(QStringLiteral("Hall B"), north);
    const int south = addStation(QStringLiteral("South campus"), 0);
    addStation(QStringLiteral("Lab"), south);
    for (int i = 1; i <= 4; ++i)
        addDevice(QStringLiteral("127.0.24.%1").arg(i), hallA, QStringLiteral("UPS-A%1").arg(i), i == 4);
    for (int i = 5; i <= 7; ++i)
        addDevice(QStringLiteral("127.0.24.%1").arg(i), hallB, QStringLiteral("UPS-B%1").arg(i - 4));
    addDevice(QStringLiteral("127.0.24.8"), north, QStringLiteral("Core UPS"));
    for (int i = 9; i <= 10; ++i)
        addDevice(QStringLiteral("127.0.24.%1").arg(i), south, QStringLiteral("UPS-S%1").arg(i - 8));
    addDevice(QStringLiteral("127.0.24.99"), hallA, QStringLiteral("Spare (off)"));

    SNMP::instance()->start();
    auto* window = new MainWindow;
    {
        DlgPwdInput login;
        login.userEdit()->setText(QStringLiteral("admin"));
        login.passwordEdit()->setText(QStringLiteral("plomb"));
        login.sureButton()->click();
        if (login.result() != QDialog::Accepted)
            return 1;
    }
    window->setUserActionVisible(AppContext::instance()->isAdmin);
    window->resize(1180, 720);
    window->show();
    window->stationTree()->expandAll();
    window->stationView()->handleStationChanged(north, QStringLiteral("North campus"));
    if (QStandardItem* item = window->stationTree()->findItem(north))
        window->stationTree()->setCurrentIndex(item->index());
    wait(7000); // a few polling passes
    QTableWidget* table = window->stationView()->table();

    bool ok = true;
    QAction* english = window->languageMenu()->actions().value(0);
    QAction* chinese = window->languageMenu()->actions().value(1);
    for (QAction* language : {english, chinese}) {
        if (!language)
            continue;
        const QString tag = language == english ? QStringLiteral("en") : QStringLiteral("zh_CN");
        language->trigger();
        if (window->devicePanelAction()->isChecked())
            window->devicePanelAction()->trigger();
        window->tableModeAction()->trigger();
        window->stationView()->handleStationChanged(north, QStringLiteral("North campus"));
        wait(2500);
        table->resizeColumnsToContents();
        ok = save(window, outDir + QStringLiteral("/console-table-") + tag + QStringLiteral(".png")) && ok;
        // icons, with the device panel showing a card's live values
        window->iconModeAction()->trigger();
        window->stationView()->handleStationChanged(hallA, QStringLiteral("Hall A"));
        window->devicePanelAction()->trigger();
        if (auto* tabs = window->stationView()->devicePanel()->findChild<QTabWidget*>())
            tabs->setCurrentIndex(1);
        emit window->stationView()->iconView()->devItemClicked(QStringLiteral("127.0.24.1"));
        wait(3000);
        ok = save(window, outDir + QStringLiteral("/console-icons-") + tag + QStringLiteral(".png")) && ok;
    }
    settings->setValue(QStringLiteral("display_mode"), 0);
    delete window;
    return ok ? 0 : 1;
}
