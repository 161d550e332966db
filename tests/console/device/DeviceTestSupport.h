#pragma once

// Shared set-up of the device-view and e-mail tests: a console application
// directory in a temporary folder with the shipped cfg files, the settings
// file and data/ups.db on connection "Global".

#include "AppContext.h"
#include "ConsoleSetup.h"
#include "Database.h"
#include "Language.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

class ConsoleDir
{
public:
    ConsoleDir()
    {
        QDir root(m_dir.path());
        root.mkpath(QStringLiteral("cfg"));
        root.mkpath(QStringLiteral("data"));
        const QDir cfg(QStringLiteral(UPS_SOURCE_DIR "/upsconsole/cfg"));
        for (const QString& name : cfg.entryList(QDir::Files))
            QFile::copy(cfg.filePath(name), root.filePath(QStringLiteral("cfg/") + name));
        AppContext::setAppDirOverride(m_dir.path());
        AppContext::loadSettings();
        Language::instance()->reload();
        m_ok = ConsoleSetup::initDatabase(Database::instance());
    }
    ~ConsoleDir()
    {
        Database::instance()->removeConnection(QStringLiteral("Global"));
        Database::destroy();
        AppContext* context = AppContext::instance();
        delete context->settings;
        context->settings = nullptr;
    }

    bool ok() const { return m_ok; }
    QString path() const { return m_dir.path(); }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }
    QSqlDatabase db() const { return Database::instance()->getDatabase(QStringLiteral("Global")); }

    // Runs a statement with bound values; returns false on failure.
    bool exec(const QString& sql, const QVariantList& values = {}) const
    {
        QSqlQuery query(db());
        query.prepare(sql);
        for (const QVariant& value : values)
            query.addBindValue(value);
        if (!query.exec()) {
            qWarning() << sql << query.lastError().text();
            return false;
        }
        return true;
    }
    int count(const QString& sql, const QVariantList& values = {}) const
    {
        QSqlQuery query(db());
        query.prepare(sql);
        for (const QVariant& value : values)
            query.addBindValue(value);
        if (!query.exec() || !query.next())
            return -1;
        return query.value(0).toInt();
    }

private:
    QTemporaryDir m_dir;
    bool m_ok = false;
};
