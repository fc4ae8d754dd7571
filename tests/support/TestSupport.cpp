// Helpers shared by the Wine-run tests.
#include "TestSupport.h"

#include "CorvaneIds.h"
#include "../standin/StandinProtocol.h"

namespace testing_support {

std::string BinDir() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir(path);
    return dir.substr(0, dir.find_last_of("\\/"));
}

std::string BinPath(const char* file) {
    return BinDir() + "\\" + file;
}

void PumpMessages(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    do {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) continue;
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    } while (GetTickCount() - start < milliseconds);
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs) return false;
        PumpMessages(10);
    }
    return true;
}

HWND WaitForTopWindow(const char* className, const char* title, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindWindowA(className, title)) != nullptr; }, timeoutMs);
    return found;
}

Process::~Process() {
    Kill();
}

bool Process::Start(const std::string& commandLine, const char* directory) {
    std::string mutableLine = commandLine;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    return CreateProcessA(nullptr, &mutableLine[0], nullptr, nullptr, FALSE, 0, nullptr, directory,
                          &startup, &info_) != 0;
}

int Process::Wait(DWORD timeoutMs) {
    if (!info_.hProcess) return -1;
    if (WaitForSingleObject(info_.hProcess, timeoutMs) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(info_.hProcess, &code);
    return static_cast<int>(code);
}

void Process::WaitForIdle(DWORD timeoutMs) {
    if (info_.hProcess) WaitForInputIdle(info_.hProcess, timeoutMs);
}

bool Process::Running() const {
    return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

void Process::Kill() {
    if (!info_.hProcess) return;
    if (Running()) {
        TerminateProcess(info_.hProcess, 99);
        WaitForSingleObject(info_.hProcess, 5000);
    }
    CloseHandle(info_.hProcess);
    CloseHandle(info_.hThread);
    info_ = PROCESS_INFORMATION();
}

namespace {

// The texts of a dialog's static controls, one per line: a message box has one, a form several.
void GetDialogText(HWND dialog, char* text, int size) {
    struct Collect {
        char* out;
        int size;
        static BOOL CALLBACK Visit(HWND child, LPARAM self) {
            auto* c = reinterpret_cast<Collect*>(self);
            char name[32] = {}, line[512] = {};
            GetClassNameA(child, name, sizeof name);
            if (lstrcmpiA(name, "Static") != 0 || !GetWindowTextA(child, line, sizeof line))
                return TRUE;
            if (c->out[0]) lstrcatA(c->out, "\n");
            if (lstrlenA(c->out) + lstrlenA(line) + 2 < c->size) lstrcatA(c->out, line);
            return TRUE;
        }
    } collect = {text, size};
    text[0] = '\0';
    EnumChildWindows(dialog, Collect::Visit, reinterpret_cast<LPARAM>(&collect));
}

} // namespace

MessageBoxWatcher::MessageBoxWatcher(std::vector<std::string> captions)
    : captions_(std::move(captions)), thread_([this] { Run(); }) {}

MessageBoxWatcher::~MessageBoxWatcher() {
    stop_ = true;
    thread_.join();
}

void MessageBoxWatcher::Run() {
    while (!stop_) {
        HWND box = nullptr;
        while ((box = FindWindowExA(nullptr, box, "#32770", nullptr)) != nullptr) {
            char caption[128] = {}, text[1024] = {};
            GetWindowTextA(box, caption, sizeof caption);
            bool wanted = false;
            for (const std::string& c : captions_)
                wanted = wanted || c == caption;
            if (!wanted) continue;
            GetDialogText(box, text, sizeof text);
            {
                std::lock_guard<std::mutex> lock(mutex_);
                boxes_.push_back({caption, text});
            }
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            // The box must be gone before the search can find it again.
            for (int i = 0; i < 300 && IsWindow(box); ++i)
                Sleep(10);
        }
        Sleep(20);
    }
}

std::vector<CapturedBox> MessageBoxWatcher::Boxes() {
    std::lock_guard<std::mutex> lock(mutex_);
    return boxes_;
}

std::vector<std::string> MessageBoxWatcher::Texts() {
    std::vector<std::string> texts;
    for (const CapturedBox& box : Boxes())
        texts.push_back(box.text);
    return texts;
}

void MessageBoxWatcher::Clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    boxes_.clear();
}

StandinDesktop::StandinDesktop(const char* form) {
    process_.Start("\"" + BinPath("standin_desktop.exe") + "\" " + form);
    if (std::string(form) == "/none") {
        WaitForTopWindow("CorvaneStandinIdle", nullptr);
        return;
    }
    const bool deskFolder = std::string(form) == "/deskfolder";
    // The top window appears before its children: wait for the whole tree.
    WaitUntil([&] {
        top = deskFolder ? FindWindowA("DesktopBackgroundClass", nullptr)
                         : FindWindowA("Progman", "Program Manager");
        view = FindWindowExA(top, nullptr, deskFolder ? "DeskFolder" : "SHELLDLL_DefView", nullptr);
        list = FindWindowExA(view, nullptr, "SysListView32", nullptr);
        return top && view && list && SendMessageA(top, STANDIN_ICON_COUNT, 0, 0) > 0;
    });
}

StandinDesktop::~StandinDesktop() {
    HWND window = top ? top : FindWindowA("CorvaneStandinIdle", nullptr);
    if (window) PostMessageA(window, WM_CLOSE, 0, 0);
    if (process_.Wait(5000) < 0) process_.Kill();
}

HostProcess::~HostProcess() {
    if (process.Running()) Stop();
}

bool HostProcess::Start() {
    return process.Start("\"" + BinPath("tavrin.exe") + "\"", BinDir().c_str());
}

HWND HostProcess::Listener(DWORD timeoutMs) {
    HWND listener = WaitForTopWindow(CORVANE_LISTENER_CLASS, nullptr, timeoutMs);
    // The listener exists from the middle of start-up; the host is ready once it waits in its
    // message loop.
    if (listener) process.WaitForIdle(timeoutMs);
    return listener;
}

int HostProcess::Stop() {
    HWND listener = FindWindowA(CORVANE_LISTENER_CLASS, nullptr);
    if (listener) {
        DWORD_PTR result = 0;
        SendMessageTimeoutA(listener, WM_CLOSE, 0, 0, SMTO_NORMAL, 10000, &result);
    }
    int code = process.Wait(15000);
    if (code < 0) process.Kill();
    return code;
}

HWND FindRenderingWindow() {
    // EnumChildWindows visits every descendant, so one pass over each top window suffices.
    struct Search {
        static BOOL CALLBACK Visit(HWND window, LPARAM found) {
            char name[64] = {};
            GetClassNameA(window, name, sizeof name);
            if (lstrcmpA(name, CORVANE_RENDER_CLASS) != 0) return TRUE;
            *reinterpret_cast<HWND*>(found) = window;
            return FALSE;
        }
        static BOOL CALLBACK VisitTop(HWND window, LPARAM found) {
            if (Visit(window, found)) EnumChildWindows(window, Visit, found);
            return *reinterpret_cast<HWND*>(found) ? FALSE : TRUE;
        }
    };
    HWND found = nullptr;
    EnumWindows(Search::VisitTop, reinterpret_cast<LPARAM>(&found));
    return found;
}

} // namespace testing_support
