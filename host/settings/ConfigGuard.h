// The guard around every call into the configuration library: an exception that leaves the
// library is reported with a fixed text and counts as failure.
#pragma once
#include "core/HostState.h"

template <typename Call> bool GuardConfigCall(const char* failureText, Call call) {
    try {
        return call();
    } catch (...) {
        ReportFailure(failureText);
        return false;
    }
}
