#include "ToolStartup.h"

#include "MainWindow.h"
#include "ToolSettings.h"

#include <QApplication>
#include <QFile>
#include <QSettings>
#include <QTranslator>

// Outside any namespace, as the resource initialiser requires.
static void initToolResources()
{
    Q_INIT_RESOURCE(tool);
}

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

void applyStyle(QApplication& app)
{
    initToolResources();
    QFile css(QStringLiteral(":/velmora-tool.css"));
    if (css.open(QIODevice::ReadOnly))
        app.setStyleSheet(QString::fromUtf8(css.readAll()));
}

int run(QApplication& app)
{
    applyStyle(app);
    QTranslator* translator = nullptr;
    const bool chinese = loadLanguage(app, &translator);
    MainWindow window;
    window.setTranslator(translator, chinese);
    window.show();
    return app.exec();
}

}
