#include "AppContext.h"

#include <QCoreApplication>
#include <QDir>
#include <QSettings>

namespace {
AppContext* g_context = nullptr;
QString g_appDirOverride;
}

AppContext* AppContext::instance()
{
    if (!g_context)
        g_context = new AppContext();
    return g_context;
}

AppContext* AppContext::loadSettings()
{
    AppContext* ctx = instance();
    ctx->isAdmin = false;
    ctx->loggedIn = false;
    delete ctx->settings;
    ctx->settings = new QSettings(appPath(QStringLiteral("cfg/settings.ini")), QSettings::IniFormat);
    return ctx;
}

void AppContext::setAppDirOverride(const QString& dir)
{
    g_appDirOverride = dir;
}

QString AppContext::appDir()
{
    if (!g_appDirOverride.isEmpty())
        return g_appDirOverride;
    return QCoreApplication::applicationDirPath();
}

QString AppContext::appPath(const QString& relative)
{
    return QDir(appDir()).filePath(relative);
}
