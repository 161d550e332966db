// Installs the crash handler and then writes to address 0x1000.
#include "CrashHandler.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    int code = 0;
    if (CrashHandler::runReportMode(argc, argv, &code))
        return code;
    CrashHandler::install();
    if (argc > 1 && std::strcmp(argv[1], "--abort") == 0) {
        std::fprintf(stderr, "aborting\n");
        __builtin_trap();
    }
    volatile int* bad = reinterpret_cast<volatile int*>(0x1000);
    *bad = 42;
    return 0;
}
