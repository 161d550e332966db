#include "WorkspaceCommon.h"

#include <QDateTime>
#include <QtGlobal>

static void initConsoleResources()
{
    Q_INIT_RESOURCE(upsconsole);
}

namespace Workspace {

void ensureResources()
{
    static bool done = false;
    if (!done) {
        done = true;
        initConsoleResources();
    }
}

QString stateIconPath(int state)
{
    switch (state) {
    case 1:
        return QStringLiteral(":/qrc/image/green.ico");
    case 2:
        return QStringLiteral(":/qrc/image/red.ico");
    default:
        return QStringLiteral(":/qrc/image/grey.ico");
    }
}

QString formatTime(qint64 seconds)
{
    return QDateTime::fromSecsSinceEpoch(seconds).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

} // namespace Workspace
