// Wallpaper and desktop colour, in-process over HostState with a recording engine.
//
// Wine keeps system colours per process: a running process is told of another process's
// SetSysColors (WM_SYSCOLORCHANGE) but its GetSysColor still answers the old colour. On
// Windows the new colour is seen. So the user's colour changes here are made in this process,
// the one the host runs in.
#include "InProcessHost.h"

#include <string>
#include <vector>

#include "desktop/Background.h"
#include "desktop/DesktopColour.h"
#include "desktop/Wallpaper.h"

using namespace testing_support;

namespace {

const char kDesktopKey[] = "Control Panel\\Desktop";

// The colours seen at each WM_SYSCOLORCHANGE that reaches the rendering window.
std::vector<COLORREF>& SeenColours() {
    static std::vector<COLORREF> seen;
    return seen;
}
LRESULT CALLBACK RecordColourChange(int code, WPARAM wParam, LPARAM lParam) {
    auto* message = reinterpret_cast<CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && message->message == WM_SYSCOLORCHANGE &&
        message->hwnd == g_host.renderingWindow)
        SeenColours().push_back(GetSysColor(COLOR_BACKGROUND));
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Counts the refresh commands posted to the desktop window.
int g_refreshCommands = 0;
LRESULT CALLBACK DesktopRecorder(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && wParam == 0x0001A220) ++g_refreshCommands;
    return DefWindowProcA(window, message, wParam, lParam);
}

void SetUserColour(COLORREF colour) { // as the display settings would: no ledger entry
    const INT element = COLOR_BACKGROUND;
    SetSysColors(1, &element, &colour);
}

struct RegistryValue {
    std::string name;
    std::vector<BYTE> data;
    DWORD type = 0;
    bool existed = false;
    explicit RegistryValue(const char* value) : name(value) {
        HKEY key;
        RegOpenKeyExA(HKEY_CURRENT_USER, kDesktopKey, 0, KEY_QUERY_VALUE, &key);
        DWORD size = 0;
        existed = RegQueryValueExA(key, value, nullptr, &type, nullptr, &size) == ERROR_SUCCESS;
        data.resize(size + 1);
        if (existed) RegQueryValueExA(key, value, nullptr, &type, data.data(), &size);
        data.resize(size);
        RegCloseKey(key);
    }
    ~RegistryValue() {
        HKEY key;
        RegOpenKeyExA(HKEY_CURRENT_USER, kDesktopKey, 0, KEY_SET_VALUE, &key);
        if (existed)
            RegSetValueExA(key, name.c_str(), 0, type, data.data(),
                           static_cast<DWORD>(data.size()));
        else
            RegDeleteValueA(key, name.c_str());
        RegCloseKey(key);
    }
    RegistryValue(const RegistryValue&) = delete;
    RegistryValue& operator=(const RegistryValue&) = delete;
};

void WriteValue(const char* name, DWORD type, const std::string& text) {
    HKEY key;
    RegOpenKeyExA(HKEY_CURRENT_USER, kDesktopKey, 0, KEY_SET_VALUE, &key);
    RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>(text.size() + 1));
    RegCloseKey(key);
}

std::string ReadValue(const char* name) {
    RegistryValue value(name);
    return value.existed ? std::string(value.data.begin(), value.data.end()) : std::string();
}

} // namespace

class DesktopTest : public InProcessHost {
  protected:
    COLORREF userColour = 0;
    HWND desktop = nullptr;
    RegistryValue savedWallpaper{"Wallpaper"};
    void SetUp() override {
        InProcessHost::SetUp();
        userColour = g_host.originalDesktopColour;
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DesktopRecorder;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "TestDesktopRecorder";
        RegisterClassA(&wc);
        desktop = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                  wc.hInstance, nullptr);
        g_host.desktopWindow = desktop;
        g_refreshCommands = 0;
    }
    void TearDown() override {
        InProcessHost::TearDown(); // the shutdown gives the user's desktop back
        DestroyWindow(desktop);
        SetUserColour(userColour);
    }
    HWND AttachHtmlWindow() {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "Internet Explorer_Server";
        RegisterClassA(&wc);
        return CreateWindowExA(0, wc.lpszClassName, "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, view,
                               nullptr, wc.hInstance, nullptr);
    }
};

TEST_F(DesktopTest, EachHostChangeAddsOneLedgerEntryThatItsNotificationRemoves) {
    const size_t before = g_host.colourLedger.size();
    ForceDesktopColour();
    PumpMessages(50);
    EXPECT_EQ(g_host.colourLedger.size(), before);
    EXPECT_EQ(g_host.lastDesktopColour, 0u);
    EXPECT_EQ(GetSysColor(COLOR_BACKGROUND), 0u);
    EXPECT_TRUE(g_host.colourForced);
    EXPECT_EQ(engine.setBackgrounds, 0); // the host's own change needs nothing
}

TEST_F(DesktopTest, CaptureWhileSuppressedShowsTheUserColourThenBlack) {
    g_host.originalDesktopColour = RGB(10, 20, 30);
    ForceDesktopColour();
    SuppressWallpaper();
    ASSERT_TRUE(g_host.desktopSuppressed);
    PumpMessages(50);
    SeenColours().clear();
    HHOOK hook =
        SetWindowsHookExA(WH_CALLWNDPROC, RecordColourChange, nullptr, GetCurrentThreadId());
    HBITMAP bitmap = CreateBackgroundBitmap();
    PumpMessages(50);
    UnhookWindowsHookEx(hook);
    DeleteObject(bitmap);
    EXPECT_EQ(SeenColours(), (std::vector<COLORREF>{RGB(10, 20, 30), 0}));
    EXPECT_TRUE(g_host.colourLedger.empty());
    EXPECT_TRUE(g_host.desktopSuppressed);
}

TEST_F(DesktopTest, AnotherSystemColourChangesNothing) {
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    const INT element = COLOR_WINDOW;
    const COLORREF other = window ^ 0x00101010;
    SetSysColors(1, &element, &other);
    PumpMessages(50);
    SetSysColors(1, &element, &window);
    PumpMessages(50);
    EXPECT_EQ(engine.setBackgrounds, 0);
    EXPECT_TRUE(g_host.colourLedger.empty());
    EXPECT_FALSE(g_host.colourForced);
}

TEST_F(DesktopTest, UserChangeToTheFrontEntryIsTakenAsTheHosts) {
    g_host.colourLedger.push_back(RGB(1, 2, 3)); // a change of the host's still on its way
    SetUserColour(RGB(1, 2, 3));
    PumpMessages(50);
    EXPECT_TRUE(g_host.colourLedger.empty());
    EXPECT_EQ(engine.setBackgrounds, 0);
    EXPECT_NE(g_host.originalDesktopColour, RGB(1, 2, 3));
}

TEST_F(DesktopTest, UserColourChangeWhileSuppressedBecomesTheColourToRestore) {
    UpdateDesktopSuppression(); // blend 64: suppressed
    PumpMessages(50);
    ASSERT_TRUE(g_host.desktopSuppressed);
    SetUserColour(RGB(0, 128, 0));
    PumpMessages(100);
    EXPECT_EQ(g_host.originalDesktopColour, RGB(0, 128, 0));
    EXPECT_EQ(engine.setBackgrounds, 1); // a capture of the user's new desktop
    EXPECT_TRUE(engine.lastBackgroundValid);
    EXPECT_EQ(GetSysColor(COLOR_BACKGROUND), 0u); // and black again
    EXPECT_TRUE(g_host.desktopSuppressed);
    RestoreDesktop();
    PumpMessages(50);
    EXPECT_EQ(GetSysColor(COLOR_BACKGROUND), RGB(0, 128, 0));
}

TEST_F(DesktopTest, WithoutAnEngineTheDesktopIsSuppressed) {
    g_host.engine = nullptr;
    SendMessageA(g_host.renderingWindow, WM_TIMER, CORVANE_TIMER_ANIMATION, 0);
    EXPECT_TRUE(g_host.desktopSuppressed);
    EXPECT_EQ(GetSysColor(COLOR_BACKGROUND), 0u);
    g_host.engine = &engine;
}

struct SuppressionCase {
    BYTE blend;
    int mode;
    bool suppressed;
    int modeCalls; // GetBackgroundMode is asked only from blend 128 up
};

class SuppressionTest : public DesktopTest,
                        public ::testing::WithParamInterface<SuppressionCase> {};

TEST_P(SuppressionTest, FollowsTheEnginesBackgroundState) {
    const SuppressionCase& c = GetParam();
    // From either state, the next frame takes the state the engine asks for.
    for (bool start : {false, true}) {
        engine.blend[3] = 0;
        if (start) UpdateDesktopSuppression();
        engine.blend[3] = c.blend;
        engine.mode = c.mode;
        engine.getModeCalls = 0;
        engine.getBlendCalls = 0;
        SendMessageA(g_host.renderingWindow, WM_TIMER, CORVANE_TIMER_ANIMATION, 0);
        EXPECT_EQ(g_host.desktopSuppressed, c.suppressed);
        EXPECT_EQ(engine.getBlendCalls, 1);
        EXPECT_EQ(engine.getModeCalls, c.modeCalls);
    }
}

INSTANTIATE_TEST_SUITE_P(
    States, SuppressionTest,
    ::testing::Values(SuppressionCase{64, 0, true, 0}, SuppressionCase{127, 1, true, 0},
                      SuppressionCase{128, 1, true, 1}, SuppressionCase{255, 1, true, 1},
                      SuppressionCase{128, 0, false, 1}, SuppressionCase{200, 2, false, 1}));

struct WallpaperCase {
    const char* name;
    DWORD type;
    std::string value;
    bool known;
    const char* report;
};

class SaveWallpaperTest : public DesktopTest,
                          public ::testing::WithParamInterface<WallpaperCase> {};

TEST_P(SaveWallpaperTest, StoresOnlyWhatItCanRead) {
    const WallpaperCase& c = GetParam();
    // The registry watcher would report the same change, and its handler stores any text.
    StopRegistryWatcher();
    boxes.Clear();
    g_host.originalWallpaper = "before";
    g_host.originalWallpaperKnown = false;
    WriteValue("Wallpaper", c.type, c.value);
    SaveOriginalWallpaper(nullptr);
    EXPECT_EQ(g_host.originalWallpaperKnown, c.known);
    if (c.known) {
        EXPECT_EQ(g_host.originalWallpaper, c.value);
    }
    PumpMessages(50);
    const std::vector<std::string> reports =
        c.report ? std::vector<std::string>{c.report} : std::vector<std::string>{};
    EXPECT_EQ(boxes.Texts(), reports);
    StartRegistryWatcher();
}

INSTANTIATE_TEST_SUITE_P(
    Values, SaveWallpaperTest,
    ::testing::Values(
        WallpaperCase{"plain", REG_SZ, "C:\\pictures\\sea.bmp", true, nullptr},
        WallpaperCase{"empty", REG_SZ, "", true, nullptr},
        WallpaperCase{"too_long", REG_SZ, std::string(300, 'w'), false, nullptr},
        WallpaperCase{"expand", REG_EXPAND_SZ, "%USERPROFILE%\\sea.bmp", false,
                      "Wallpaper not stored because of bizzare queried type when reading current "
                      "screensaver."}),
    [](const ::testing::TestParamInfo<WallpaperCase>& param) {
        return std::string(param.param.name);
    });

TEST_F(DesktopTest, ActiveDesktopChangesAreCountedAndRefreshed) {
    HWND html = AttachHtmlWindow();
    g_host.originalActiveDesktopWallpaper = L"";
    g_host.originalActiveDesktopWallpaperKnown = true;
    g_host.selfCausedDesktopRefreshes = 0;
    SuppressWallpaper();
    RestoreWallpaper();
    PumpMessages(50);
    // Wine creates the Active Desktop object: an ApplyChanges and a refresh command each time.
    EXPECT_EQ(g_host.selfCausedDesktopRefreshes, 4);
    EXPECT_EQ(g_refreshCommands, 2);
    DestroyWindow(html);
}

TEST_F(DesktopTest, WithoutTheHtmlWindowNothingIsCountedOrRefreshed) {
    g_host.originalActiveDesktopWallpaperKnown = true;
    SuppressWallpaper();
    RestoreWallpaper();
    PumpMessages(50);
    EXPECT_EQ(g_host.selfCausedDesktopRefreshes, 0);
    EXPECT_EQ(g_refreshCommands, 0);
}

TEST_F(DesktopTest, OwnRefreshNoticesUseUpTheCountAndNeverSuppress) {
    HWND html = AttachHtmlWindow();
    HWND other =
        CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 1, 1, view, nullptr, nullptr, nullptr);
    g_host.selfCausedDesktopRefreshes = 2;
    g_host.desktopSuppressed = true;
    OnDesktopChildAttached(other);
    OnDesktopChildAttached(html);
    PumpMessages(50);
    EXPECT_EQ(g_host.selfCausedDesktopRefreshes, 0);
    EXPECT_EQ(g_refreshCommands, 0); // no suppression ran
    // With the count used up, a new HTML window on a suppressed desktop loses its wallpaper.
    OnDesktopChildAttached(html);
    PumpMessages(50);
    EXPECT_EQ(g_refreshCommands, 1);
    DestroyWindow(other);
    DestroyWindow(html);
}

TEST_F(DesktopTest, SuppressionNeverWritesTheUsersSettings) {
    WriteValue("Wallpaper", REG_SZ, "C:\\pictures\\kept.bmp");
    SuppressWallpaper();
    ForceDesktopColour();
    PumpMessages(50);
    EXPECT_EQ(ReadValue("Wallpaper"), std::string("C:\\pictures\\kept.bmp") + '\0');
}

// Wine registers the Active Desktop class; with its server entry gone for a moment, creating
// the object fails as on a system without Active Desktop.
TEST_F(DesktopTest, WithoutTheActiveDesktopObjectOnlyTheRefreshIsCounted) {
    const char* server = "CLSID\\{75048700-EF1F-11D0-9888-006097DEACF9}\\InprocServer32";
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, server, 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    char dll[MAX_PATH] = {}, model[64] = {};
    DWORD dllSize = sizeof dll, modelSize = sizeof model;
    RegQueryValueExA(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(dll), &dllSize);
    RegQueryValueExA(key, "ThreadingModel", nullptr, nullptr, reinterpret_cast<BYTE*>(model),
                     &modelSize);
    RegCloseKey(key);
    ASSERT_EQ(RegDeleteKeyA(HKEY_CLASSES_ROOT, server), ERROR_SUCCESS);

    HWND html = AttachHtmlWindow();
    g_host.originalActiveDesktopWallpaperKnown = true;
    g_host.selfCausedDesktopRefreshes = 0;
    SuppressWallpaper();
    RestoreWallpaper();
    PumpMessages(50);

    RegCreateKeyExA(HKEY_CLASSES_ROOT, server, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                    nullptr);
    RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(dll), dllSize);
    RegSetValueExA(key, "ThreadingModel", 0, REG_SZ, reinterpret_cast<const BYTE*>(model),
                   modelSize);
    RegCloseKey(key);
    EXPECT_EQ(g_host.selfCausedDesktopRefreshes, 2);
    EXPECT_EQ(g_refreshCommands, 2);
    EXPECT_TRUE(boxes.Texts().empty());
    DestroyWindow(html);
}
