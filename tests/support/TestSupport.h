// Helpers shared by the Wine-run tests: the programs beside the test, child processes, waiting
// for windows, and a watcher that records and closes message boxes so none can hang a test.
#pragma once
#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testing_support {

// The folder of the running test program, where every built program and library lies.
std::string BinDir();
std::string BinPath(const char* file);

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 10000);
HWND WaitForTopWindow(const char* className, const char* title, DWORD timeoutMs = 10000);
// Pumps this thread's messages for a while, so timers and posted messages get handled.
void PumpMessages(DWORD milliseconds);

class Process {
  public:
    Process() = default;
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    bool Start(const std::string& commandLine, const char* directory = nullptr);
    // Waits for the exit; returns the exit code, or -1 on time-out.
    int Wait(DWORD timeoutMs = 15000);
    bool Running() const;
    // Waits until the process waits for input in its message loop.
    void WaitForIdle(DWORD timeoutMs);
    DWORD Id() const { return info_.dwProcessId; }
    void Kill();

  private:
    PROCESS_INFORMATION info_ = {};
};

struct CapturedBox {
    std::string caption;
    std::string text;
};

// Watches all top-level dialog windows on a thread of its own; each box whose caption is in
// the list is recorded and closed with OK.
class MessageBoxWatcher {
  public:
    explicit MessageBoxWatcher(std::vector<std::string> captions = {"debug", "Error"});
    ~MessageBoxWatcher();
    MessageBoxWatcher(const MessageBoxWatcher&) = delete;
    MessageBoxWatcher& operator=(const MessageBoxWatcher&) = delete;
    std::vector<CapturedBox> Boxes();
    std::vector<std::string> Texts();
    void Clear();

  private:
    void Run();
    std::vector<std::string> captions_;
    std::mutex mutex_;
    std::vector<CapturedBox> boxes_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// The stand-in shell desktop in its own process; form "" (Progman), "/deskfolder" or "/none".
class StandinDesktop {
  public:
    explicit StandinDesktop(const char* form = "");
    ~StandinDesktop();
    StandinDesktop(const StandinDesktop&) = delete;
    StandinDesktop& operator=(const StandinDesktop&) = delete;
    HWND top = nullptr, view = nullptr, list = nullptr;

  private:
    Process process_;
};

// A tavrin.exe process; Stop() closes it the way the launcher does (WM_CLOSE to the listener).
class HostProcess {
  public:
    HostProcess() = default;
    ~HostProcess();
    HostProcess(const HostProcess&) = delete;
    HostProcess& operator=(const HostProcess&) = delete;
    bool Start();
    // The listener window, once the host has finished start-up.
    HWND Listener(DWORD timeoutMs = 15000);
    int Stop();
    Process process;
};

HWND FindRenderingWindow();

} // namespace testing_support
