#include "AgentSettings.h"
#include "CrashHandler.h"
#include "MainWindow.h"
#include "PowerOff.h"
#include "SNMP.h"
#include "SNMPTrapd.h"

#include <QApplication>
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QtDebug>

#include <memory>

int main(int argc, char* argv[])
{
    int code;
    if (CrashHandler::runReportMode(argc, argv, &code))
        return code;
    CrashHandler::install();

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("protector"));
    QApplication::setApplicationVersion(QStringLiteral("1.0.2"));
    qInstallMessageHandler(messageHandler);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Upsguard: shuts this computer down when its UPS runs out."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption dryRun(QStringLiteral("dry-run-poweroff"),
                                    QStringLiteral("Only log the power-off request instead of powering off."));
    const QCommandLineOption trapPort(QStringLiteral("trap-port"),
                                      QStringLiteral("Listen for traps on <port> (overrides system/trap_port)."),
                                      QStringLiteral("port"));
    parser.addOption(dryRun);
    parser.addOption(trapPort);
    parser.process(app);

    std::unique_ptr<PowerOff> powerOff;
    if (parser.isSet(dryRun))
        powerOff = std::make_unique<DryRunPowerOff>();
    else
        powerOff = std::make_unique<SystemPowerOff>();
    qInfo().noquote() << "Upsguard starting; power-off layer:" << powerOff->name();

    auto* engine = new SNMP;
    if (parser.isSet(trapPort))
        engine->trapd()->setTrapPort(parser.value(trapPort).toInt());
    engine->start();

    auto* window = new MainWindow(powerOff.get());
    window->setEngine(engine);
    QObject::connect(engine, &SNMP::eventTriggered, window, &MainWindow::handleSNMPEvent);
    QObject::connect(engine, &SNMP::statusChanged, window, &MainWindow::handleSNMPStatus);
    QObject::connect(engine, &SNMP::dataReady, window, &MainWindow::handleSNMPData);
    window->show();

    const int result = app.exec();
    delete window;
    delete engine;
    return result;
}
