// The guard around every call into the configuration library: an exception that leaves the
// library is reported with a fixed text and counts as failure.
#pragma once

// Runs call(context) and returns its result; false, after reporting failureText, when the
// call throws. On 32-bit builds the runtime cannot unwind a C++ exception from another module
// into this one: the library's runtime then ends in abort(), which the guard also catches.
bool RunConfigCall(bool (*call)(void*), void* context, const char* failureText);

template <typename Call> bool GuardConfigCall(const char* failureText, Call call) {
    return RunConfigCall([](void* c) { return (*static_cast<Call*>(c))(); }, &call, failureText);
}
