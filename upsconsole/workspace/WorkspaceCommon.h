#pragma once

#include <QSqlDatabase>
#include <QString>

// Small helpers shared by the workspace widgets.
namespace Workspace {

// The GUI thread's database connection. Never opens a closed connection by
// itself: statements on a closed connection simply fail.
inline QSqlDatabase globalDb()
{
    return QSqlDatabase::database(QStringLiteral("Global"), false);
}

// Makes the console's compiled-in pictures (:/qrc/image/...) available; the
// resources live in a static library, so they are registered explicitly.
void ensureResources();

// Picture of a device state: 1 green, 2 red, anything else grey.
QString stateIconPath(int state);

// Unix seconds shown as local time.
QString formatTime(qint64 seconds);

} // namespace Workspace
