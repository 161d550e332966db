#pragma once

// Shared set-up of the workspace tests: a console application directory in a
// temporary folder (shipped cfg files, the Chinese translation, settings
// file, data/ups.db on connection "Global") and a few helpers.

#include "../ConsoleTestDir.h"
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

using WsDir = ConsoleTestDir;

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
