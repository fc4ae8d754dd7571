// Runs a test program with the stand-in shell desktop already in place:
//   standin_run PROGRAM [ARGS...]
// The hook library records the shell's windows when the first process loads it, so programs
// that load it at their own start need the desktop before they start.
#include <windows.h>

#include <cstdio>
#include <string>

int main() {
    // The command line after our own program name, passed on unchanged.
    std::string rest = GetCommandLineA();
    const bool quoted = !rest.empty() && rest[0] == '"';
    size_t end = quoted ? rest.find('"', 1) + 1 : rest.find(' ');
    rest = end == std::string::npos || end >= rest.size() ? "" : rest.substr(end + 1);

    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string dir(self);
    dir = dir.substr(0, dir.find_last_of("\\/"));
    std::string standinLine = "\"" + dir + "\\standin_desktop.exe\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION standin = {}, program = {};
    if (!CreateProcessA(nullptr, &standinLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &standin))
        return 2;
    HWND top = nullptr, list = nullptr;
    for (int i = 0; i < 500 && !list; ++i) {
        Sleep(20);
        top = FindWindowA("Progman", "Program Manager");
        list = FindWindowExA(FindWindowExA(top, nullptr, "SHELLDLL_DefView", nullptr), nullptr,
                             "SysListView32", nullptr);
    }
    Sleep(200);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    std::string programLine = rest;
    DWORD code = 3;
    if (list && CreateProcessA(nullptr, &programLine[0], nullptr, nullptr, TRUE, 0, nullptr,
                               dir.c_str(), &startup, &program)) {
        WaitForSingleObject(program.hProcess, INFINITE);
        GetExitCodeProcess(program.hProcess, &code);
        CloseHandle(program.hProcess);
        CloseHandle(program.hThread);
    } else {
        std::fprintf(stderr, "standin_run: could not start the desktop or %s\n", rest.c_str());
    }
    if (top) PostMessageA(top, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(standin.hProcess, 5000) != WAIT_OBJECT_0)
        TerminateProcess(standin.hProcess, 1);
    CloseHandle(standin.hProcess);
    CloseHandle(standin.hThread);
    return static_cast<int>(code);
}
