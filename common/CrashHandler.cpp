#include "CrashHandler.h"

#include "MessageBox.h"

#include <QApplication>
#include <QString>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <execinfo.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <ucontext.h>
#include <unistd.h>

namespace {

const char kReportOption[] = "--crash-report";
const int kSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};

// Everything the handler needs is prepared at installation, so that the
// handler itself only uses async-signal-safe calls.
char g_selfExe[4096];
long g_utcOffset = 0;
alignas(16) char g_altStack[64 * 1024];

// --- async-signal-safe formatting helpers ---

size_t appendText(char* out, size_t pos, size_t cap, const char* text)
{
    while (*text && pos + 1 < cap)
        out[pos++] = *text++;
    out[pos] = '\0';
    return pos;
}

size_t appendHex(char* out, size_t pos, size_t cap, unsigned long long value)
{
    char digits[17];
    int n = 0;
    do {
        const unsigned d = static_cast<unsigned>(value & 0xF);
        digits[n++] = static_cast<char>(d < 10 ? '0' + d : 'a' + d - 10);
        value >>= 4;
    } while (value != 0 && n < 16);
    pos = appendText(out, pos, cap, "0x");
    while (n > 0 && pos + 1 < cap)
        out[pos++] = digits[--n];
    out[pos] = '\0';
    return pos;
}

size_t appendDec(char* out, size_t pos, size_t cap, long long value, int width = 0)
{
    char digits[24];
    int n = 0;
    const bool negative = value < 0;
    unsigned long long v = negative ? static_cast<unsigned long long>(-value) : static_cast<unsigned long long>(value);
    do {
        digits[n++] = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v != 0 && n < 23);
    while (n < width && n < 23)
        digits[n++] = '0';
    if (negative)
        pos = appendText(out, pos, cap, "-");
    while (n > 0 && pos + 1 < cap)
        out[pos++] = digits[--n];
    out[pos] = '\0';
    return pos;
}

void writeAll(int fd, const char* text, size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, text, size);
        if (n <= 0)
            return;
        text += n;
        size -= static_cast<size_t>(n);
    }
}

// Local date-time from Unix seconds without the C library's time zone code.
void dumpFileName(char* out, size_t cap)
{
    long long t = static_cast<long long>(::time(nullptr)) + g_utcOffset;
    long long days = t / 86400;
    long long secs = t % 86400;
    if (secs < 0) {
        secs += 86400;
        --days;
    }
    // Civil date from days since 1970-01-01 (Howard Hinnant's algorithm).
    days += 719468;
    const long long era = (days >= 0 ? days : days - 146096) / 146097;
    const long long doe = days - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    long long year = yoe + era * 400;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    const long long day = doy - (153 * mp + 2) / 5 + 1;
    const long long month = mp < 10 ? mp + 3 : mp - 9;
    if (month <= 2)
        ++year;

    size_t pos = 0;
    out[0] = '\0';
    pos = appendDec(out, pos, cap, year, 4);
    pos = appendDec(out, pos, cap, month, 2);
    pos = appendDec(out, pos, cap, day, 2);
    pos = appendDec(out, pos, cap, secs / 3600, 2);
    pos = appendDec(out, pos, cap, (secs / 60) % 60, 2);
    pos = appendDec(out, pos, cap, secs % 60, 2);
    appendText(out, pos, cap, ".dmp");
}

const char* signalName(int sig)
{
    switch (sig) {
    case SIGSEGV: return "SIGSEGV";
    case SIGBUS: return "SIGBUS";
    case SIGFPE: return "SIGFPE";
    case SIGILL: return "SIGILL";
    case SIGABRT: return "SIGABRT";
    default: return "signal";
    }
}

void onFatalSignal(int sig, siginfo_t* info, void* context)
{
    const unsigned long long address = reinterpret_cast<unsigned long long>(info ? info->si_addr : nullptr);

    char name[64];
    dumpFileName(name, sizeof(name));
    const int fd = ::open(name, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd >= 0) {
        char text[1024];
        size_t pos = 0;
        text[0] = '\0';
        pos = appendText(text, pos, sizeof(text), "Crash report\nprogram: ");
        pos = appendText(text, pos, sizeof(text), g_selfExe);
        pos = appendText(text, pos, sizeof(text), "\npid: ");
        pos = appendDec(text, pos, sizeof(text), ::getpid());
        pos = appendText(text, pos, sizeof(text), "\nsignal: ");
        pos = appendDec(text, pos, sizeof(text), sig);
        pos = appendText(text, pos, sizeof(text), " (");
        pos = appendText(text, pos, sizeof(text), signalName(sig));
        pos = appendText(text, pos, sizeof(text), ")\nsignal code: ");
        pos = appendDec(text, pos, sizeof(text), info ? info->si_code : 0);
        pos = appendText(text, pos, sizeof(text), "\nfault address: ");
        pos = appendHex(text, pos, sizeof(text), address);
#if defined(__x86_64__)
        if (context) {
            const auto* uc = static_cast<const ucontext_t*>(context);
            pos = appendText(text, pos, sizeof(text), "\ninstruction pointer: ");
            pos = appendHex(text, pos, sizeof(text), static_cast<unsigned long long>(uc->uc_mcontext.gregs[REG_RIP]));
        }
#endif
        pos = appendText(text, pos, sizeof(text), "\n\nstack of the faulting thread:\n");
        writeAll(fd, text, pos);

        void* frames[64];
        const int count = ::backtrace(frames, 64);
        ::backtrace_symbols_fd(frames, count, fd);
        ::close(fd);
    }

    // The box cannot be shown from here: start this program again as a
    // reporter and wait for the user to close it.
    char code[32];
    char where[32];
    code[0] = where[0] = '\0';
    appendHex(code, 0, sizeof(code), static_cast<unsigned long long>(sig));
    appendHex(where, 0, sizeof(where), address);
    if (g_selfExe[0] != '\0') {
        const pid_t child = ::fork();
        if (child == 0) {
            char* const args[] = {g_selfExe, const_cast<char*>(kReportOption), code, where, nullptr};
            ::execv(g_selfExe, args);
            ::_exit(127);
        }
        if (child > 0) {
            int status = 0;
            while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
            }
        }
    }

    // End the process with the original signal (the handler was reset).
    ::signal(sig, SIG_DFL);
    sigset_t unblock;
    sigemptyset(&unblock);
    sigaddset(&unblock, sig);
    ::sigprocmask(SIG_UNBLOCK, &unblock, nullptr);
    ::raise(sig);
    ::_exit(128 + sig);
}

} // namespace

namespace CrashHandler {

const char* reportOption()
{
    return kReportOption;
}

void install()
{
    const ssize_t n = ::readlink("/proc/self/exe", g_selfExe, sizeof(g_selfExe) - 1);
    g_selfExe[n > 0 ? n : 0] = '\0';

    const time_t now = ::time(nullptr);
    struct tm local;
    if (::localtime_r(&now, &local))
        g_utcOffset = local.tm_gmtoff;

    // backtrace() loads its unwinder on first use; do that now, not in the
    // handler.
    void* warm[4];
    ::backtrace(warm, 4);

    stack_t ss;
    std::memset(&ss, 0, sizeof(ss));
    ss.ss_sp = g_altStack;
    ss.ss_size = sizeof(g_altStack);
    ::sigaltstack(&ss, nullptr);

    struct sigaction sa;
    std::memset(&sa, 0, sizeof(sa));
    sa.sa_sigaction = onFatalSignal;
    sa.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_RESETHAND;
    sigemptyset(&sa.sa_mask);
    for (int sig : kSignals)
        ::sigaction(sig, &sa, nullptr);
}

bool runReportMode(int argc, char** argv, int* exitCode)
{
    if (argc < 4 || std::strcmp(argv[1], kReportOption) != 0)
        return false;
    QApplication app(argc, argv);
    const QString text = QStringLiteral("Code: %1, address: %2")
                             .arg(QString::fromLatin1(argv[2]), QString::fromLatin1(argv[3]));
    MessageBox::show(MessageBox::Critical, nullptr, QStringLiteral("Crash"), text, QMessageBox::Ok);
    if (exitCode)
        *exitCode = 0;
    return true;
}

} // namespace CrashHandler
