#pragma once

// A console application directory in a temporary folder for the console's
// tests: the shipped cfg files, the built Chinese translation, a fresh
// settings file and data/ups.db open on connection "Global", with a few
// statement helpers. Message-box answers and the login flags are reset.

#include "AppContext.h"
#include "ConsoleSetup.h"
#include "Database.h"
#include "Language.h"
#include "MessageBox.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QVariant>

class ConsoleTestDir
{
public:
    ConsoleTestDir()
    {
        QDir root(m_dir.path());
        root.mkpath(QStringLiteral("cfg"));
        root.mkpath(QStringLiteral("data"));
        root.mkpath(QStringLiteral("translations"));
        const QDir cfg(QStringLiteral(UPS_SOURCE_DIR "/upsconsole/cfg"));
        for (const QString& name : cfg.entryList(QDir::Files))
            QFile::copy(cfg.filePath(name), root.filePath(QStringLiteral("cfg/") + name));
        QFile::copy(QStringLiteral(UPS_BINARY_DIR "/console/translations/zh_CN.qm"),
                    root.filePath(QStringLiteral("translations/zh_CN.qm")));
        AppContext::setAppDirOverride(m_dir.path());
        AppContext::loadSettings();
        Language::instance()->reload();
        m_ok = ConsoleSetup::initDatabase(Database::instance());
        exec(QStringLiteral("pragma synchronous = off;")); // a throw-away file: no need to wait for the disk
        MessageBox::clearAnswers();
        MessageBox::clearShown();
    }
    ~ConsoleTestDir()
    {
        if (Database* db = Database::instance())
            db->removeConnection(QStringLiteral("Global"));
        Database::destroy();
        AppContext* context = AppContext::instance();
        delete context->settings;
        context->settings = nullptr;
        context->loggedIn = false;
        context->isAdmin = false;
    }

    bool ok() const { return m_ok; }
    QString path() const { return m_dir.path(); }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }
    static QSqlDatabase db() { return QSqlDatabase::database(QStringLiteral("Global"), false); }

    static bool exec(const QString& sql, const QVariantList& values = {})
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
    static int count(const QString& sql, const QVariantList& values = {})
    {
        QSqlQuery query(db());
        query.prepare(sql);
        for (const QVariant& value : values)
            query.addBindValue(value);
        if (!query.exec() || !query.next())
            return -1;
        return query.value(0).toInt();
    }
    static QVariant value(const QString& sql, const QVariantList& values = {})
    {
        QSqlQuery query(db());
        query.prepare(sql);
        for (const QVariant& v : values)
            query.addBindValue(v);
        if (!query.exec() || !query.next())
            return QVariant();
        return query.value(0);
    }
    static int addStation(const QString& name, int parent)
    {
        QSqlQuery query(db());
        query.prepare(QStringLiteral(
            "insert into station(name, parent_id, create_time) values(?, ?, strftime('%s','now'));"));
        query.addBindValue(name);
        query.addBindValue(parent);
        if (!query.exec())
            return -1;
        return query.lastInsertId().toInt();
    }
    static bool addDevice(const QString& ip, int station, const QString& name = QString(), bool threePhase = false)
    {
        return exec(QStringLiteral("insert into device(create_time, station_id, is_three_phase, device_ip, community, "
                                   "name, position, admin) values(strftime('%s','now'), ?, ?, ?, 'public', ?, '', '');"),
                    {station, threePhase ? 1 : 0, ip, name});
    }

private:
    QTemporaryDir m_dir;
    bool m_ok = false;
};
