#pragma once

// Last-chance handler for fatal signals (SIGSEGV, SIGBUS, SIGFPE, SIGILL,
// SIGABRT).
//
// On a fault it writes "yyyyMMddhhmmss.dmp" in the working directory with a
// readable report (signal, fault address, stack trace of the faulting
// thread), using only async-signal-safe calls, then starts this same program
// again in report mode to show the "Crash" box, and ends the process.
//
// Every program calls CrashHandler::runReportMode() first thing in main():
// when the process was started as a crash reporter it shows the box and
// returns true (main then returns). Then it calls install().
namespace CrashHandler {
void install();
bool runReportMode(int argc, char** argv, int* exitCode);
// The command-line option that starts a program as crash reporter.
const char* reportOption();
}
