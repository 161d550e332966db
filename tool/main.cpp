#include "CrashHandler.h"
#include "ToolStartup.h"

#include <QApplication>

int main(int argc, char** argv)
{
    int code;
    if (CrashHandler::runReportMode(argc, argv, &code))
        return code;
    CrashHandler::install();
    QApplication app(argc, argv);
    return ToolStartup::run(app);
}
