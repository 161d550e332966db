#include "ToolStartup.h"

#include "MainWindow.h"
#include "ToolSettings.h"

#include <QApplication>
#include <QSettings>
#include <QTranslator>

namespace ToolStartup {

bool loadLanguage(QApplication& app, QTranslator** translator)
{
    QSettings settings(ToolSettings::settingsPath(), QSettings::IniFormat);
    *translator = new QTranslator(&app);
    if (!settings.contains(QStringLiteral("language"))) {
        settings.setValue(QStringLiteral("language"), QStringLiteral("English"));
        return false;
    }
    if (settings.value(QStringLiteral("language")).toString() != QLatin1String("Chinese"))
        return false;
    if ((*translator)->load(ToolSettings::translationPath()))
        app.installTranslator(*translator);
    return true;
}

int run(QApplication& app)
{
    QTranslator* translator = nullptr;
    const bool chinese = loadLanguage(app, &translator);
    MainWindow window;
    window.setTranslator(translator, chinese);
    window.show();
    return app.exec();
}

}
