#pragma once

// Shared set-up of the workspace tests: a console application directory in a
// temporary folder (shipped cfg files, the Chinese translation, settings
// file, data/ups.db on connection "Global") and a few helpers.

#include "AppContext.h"
#include "ConsoleSetup.h"
#include "Database.h"
#include "Language.h"
#include "MessageBox.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QSettings>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

class WsDir
{
public:
    WsDir()
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
    ~WsDir()
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

// Answers the next pop-up menu by choosing the entry with the given text
// (nothing is chosen when the text is empty). The enabled state of every
// entry is recorded in `entries` (text -> enabled).
inline void answerNextMenu(const QString& text, QMap<QString, bool>* entries = nullptr, int attempts = 100)
{
    QTimer::singleShot(20, [text, entries, attempts]() {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu) {
            if (attempts > 0)
                answerNextMenu(text, entries, attempts - 1);
            return;
        }
        QAction* chosen = nullptr;
        for (QAction* action : menu->actions()) {
            if (action->isSeparator())
                continue;
            if (entries)
                entries->insert(action->text(), action->isEnabled());
            if (action->text() == text)
                chosen = action;
        }
        if (chosen && chosen->isEnabled()) {
            menu->setActiveAction(chosen);
            QTest::keyClick(menu, Qt::Key_Return);
        } else {
            QTest::keyClick(menu, Qt::Key_Escape);
        }
    });
}

// Runs `check` on the next modal dialog of type T once it is shown, then
// closes it.
template <typename T, typename F>
void answerNextDialog(F check, int attempts = 200)
{
    QTimer::singleShot(10, [check, attempts]() {
        T* dialog = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* d = qobject_cast<T*>(w)) {
                if (d->isVisible())
                    dialog = d;
            }
        }
        if (!dialog) {
            if (attempts > 0)
                answerNextDialog<T>(check, attempts - 1);
            return;
        }
        check(dialog);
        dialog->reject();
    });
}
