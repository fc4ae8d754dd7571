// Exceptions from the configuration library. 64-bit code unwinds through the system's
// exception dispatch, so a C++ exception thrown in Config.dll reaches the catch here. 32-bit
// MinGW code unwinds with tables that each module registers with its own statically linked
// runtime: an exception cannot leave the module that threw it, and that module's runtime calls
// std::terminate and so abort(). abort() raises SIGABRT through the C runtime DLL, which every
// module shares, so the guard catches that signal and jumps back out of the library.
#include "ConfigGuard.h"

#include <csetjmp>
#include <csignal>
#include <cstdlib>

#include "core/HostState.h"

namespace {

// The innermost guard's jump buffer; guards can nest when a handler runs inside a call.
std::jmp_buf* g_activeGuard = nullptr;

void OnAbort(int) {
    if (g_activeGuard) std::longjmp(*g_activeGuard, 1);
    std::_Exit(3);
}

struct CallFrame {
    bool (*call)(void*);
    void* context;
};

// Kept apart from RunConfigCall so that nothing with a destructor lives across setjmp.
bool CallWithAbortTrap(const CallFrame& frame, bool& aborted) {
    std::jmp_buf jump;
    std::jmp_buf* outer = g_activeGuard;
    void (*previous)(int) = std::signal(SIGABRT, OnAbort);
    // abort() shows "abnormal program termination" in a message box in GUI programs unless
    // the report goes to standard error.
    const int previousMode = _set_error_mode(_OUT_TO_STDERR);
    volatile bool result = false;
    if (setjmp(jump) == 0) {
        g_activeGuard = &jump;
        result = frame.call(frame.context);
        aborted = false;
    } else {
        aborted = true;
    }
    g_activeGuard = outer;
    _set_error_mode(previousMode);
    std::signal(SIGABRT, previous);
    return result;
}

} // namespace

bool RunConfigCall(bool (*call)(void*), void* context, const char* failureText) {
    bool aborted = false;
    bool result = false;
    try {
        result = CallWithAbortTrap(CallFrame{call, context}, aborted);
    } catch (...) {
        aborted = true;
    }
    if (!aborted) return result;
    ReportFailure(failureText);
    return false;
}
