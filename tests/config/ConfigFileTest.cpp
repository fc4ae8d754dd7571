// Config.dll's file exports, found by name as the host finds them, with the real engine.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "ConfigApi.h"
#include "TestSupport.h"

using testing_support::BinPath;

namespace {

struct Library {
    HMODULE module = LoadLibraryA(BinPath("Config.dll").c_str());
    LoadConfigFromFileProc load = reinterpret_cast<LoadConfigFromFileProc>(
        reinterpret_cast<void*>(GetProcAddress(module, "LoadConfigFromFile")));
    SaveConfigToFileProc save = reinterpret_cast<SaveConfigToFileProc>(
        reinterpret_cast<void*>(GetProcAddress(module, "SaveConfigToFile")));
    ~Library() { FreeLibrary(module); }
};

struct Engine {
    IVESKAR* e = nullptr;
    Engine() {
        CoCreateInstance(CLSID_VESKAR, nullptr, CLSCTX_INPROC_SERVER, IID_IVESKAR,
                         reinterpret_cast<void**>(&e));
    }
    ~Engine() {
        if (e) e->Release();
    }
    std::string State() const {
        BYTE r, g, b, blend;
        e->GetBackgroundBlend(&r, &g, &b, &blend);
        std::ostringstream out;
        out << int(r) << ',' << int(g) << ',' << int(b) << ',' << int(blend) << ' '
            << e->GetBackgroundMode() << ' ' << e->GetGlyphColour() << ' ' << e->GetGlyphSet()
            << ' ' << e->GetParamA() << ' ' << e->GetParamB() << ' ' << e->GetParamC() << ' '
            << e->GetParamD() << ' ' << e->GetParamE() << ' ' << e->GetParamF();
        return out.str();
    }
};

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

const std::string kDefault = ReadFile(BinPath("default.cfg"));

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    size_t at = text.find(from);
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

class ConfigFileTest : public ::testing::Test {
  protected:
    struct Com {
        Com() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
        ~Com() { CoUninitialize(); }
    } com;
    Library library;
    std::string path = BinPath("config-test.cfg");
    void SetUp() override {
        ASSERT_NE(library.load, nullptr);
        ASSERT_NE(library.save, nullptr);
        ASSERT_FALSE(kDefault.empty());
    }
    void TearDown() override { DeleteFileA(path.c_str()); }
};

} // namespace

TEST_F(ConfigFileTest, SaveThenLoadReproducesEverySetting) {
    Engine source, target;
    ASSERT_NE(source.e, nullptr);
    source.e->SetBackgroundBlend(12, 34, 56, 200);
    source.e->SetBackgroundMode(1);
    source.e->SetGlyphColour(RGB(250, 120, 7));
    source.e->SetGlyphSet(VESKAR_GLYPHS_DIGITS);
    double values[6] = {1.75, 0.25, 33, 24, 0.125, 0.5};
    source.e->SetParamA(&values[0]);
    source.e->SetParamB(&values[1]);
    source.e->SetParamC(&values[2]);
    source.e->SetParamD(&values[3]);
    source.e->SetParamE(&values[4]);
    source.e->SetParamF(&values[5]);
    ASSERT_TRUE(library.save(source.e, 35, HIGH_PRIORITY_CLASS, path.c_str()));

    int interval = 0;
    DWORD priority = IDLE_PRIORITY_CLASS;
    ASSERT_TRUE(library.load(target.e, &interval, &priority, path.c_str()));
    EXPECT_EQ(target.State(), source.State());
    EXPECT_EQ(interval, 35);
    EXPECT_EQ(priority, static_cast<DWORD>(HIGH_PRIORITY_CLASS));
}

TEST_F(ConfigFileTest, DefaultFileLoadsTheDefaults) {
    Engine fresh, loaded;
    int interval = 0;
    DWORD priority = NORMAL_PRIORITY_CLASS;
    ASSERT_TRUE(library.load(loaded.e, &interval, &priority, BinPath("default.cfg").c_str()));
    EXPECT_EQ(loaded.State(), fresh.State());
    EXPECT_EQ(interval, 50);
    EXPECT_EQ(priority, static_cast<DWORD>(IDLE_PRIORITY_CLASS));
}

struct FileCase {
    const char* name;
    std::string text;
    bool accepted;
};

class BadFileTest : public ConfigFileTest, public ::testing::WithParamInterface<FileCase> {};

TEST_P(BadFileTest, GivesTheDocumentedResult) {
    const FileCase& c = GetParam();
    WriteFile(path, c.text);
    Engine engine;
    double marker = 3.5;
    engine.e->SetParamA(&marker);
    const std::string before = engine.State();
    int interval = 77;
    DWORD priority = NORMAL_PRIORITY_CLASS;
    const BOOL loaded = library.load(engine.e, &interval, &priority, path.c_str());
    EXPECT_EQ(loaded != FALSE, c.accepted);
    if (!c.accepted) {
        EXPECT_EQ(engine.State(), before);
        EXPECT_EQ(interval, 77);
        EXPECT_EQ(priority, static_cast<DWORD>(NORMAL_PRIORITY_CLASS));
    }
}

namespace {

std::string Binary() {
    std::string junk;
    for (int i = 0; i < 4000; ++i)
        junk += static_cast<char>((i * 7919) & 0xFF);
    return junk;
}

std::string Huge() {
    std::string text = kDefault;
    while (text.size() < 70 * 1024)
        text += "; padding padding padding padding\r\n";
    return text;
}

} // namespace

INSTANTIATE_TEST_SUITE_P(
    Files, BadFileTest,
    ::testing::Values(
        FileCase{"empty", "", false}, FileCase{"binary", Binary(), false},
        FileCase{"truncated", kDefault.substr(0, kDefault.size() / 2), false},
        FileCase{"wrong_version", Replace(kDefault, "Version=1", "Version=2"), false},
        FileCase{"not_ours", "[Desktop]\r\nWallpaper=x.bmp\r\n", false},
        FileCase{"huge", Huge(), false},
        FileCase{"nul_inside", Replace(kDefault, "Density", std::string("Dens\0ty", 7)), false},
        FileCase{"bad_number", Replace(kDefault, "Density=0.55", "Density=lots"), false},
        FileCase{"bad_priority", Replace(kDefault, "Priority=idle", "Priority=realtime"), false},
        FileCase{"out_of_range", Replace(kDefault, "FallSpeed=0.55", "FallSpeed=1e300"), true},
        FileCase{"unknown_keys", kDefault + "[Engine]\r\nSparkle=yes\r\n[Other]\r\nX=1\r\n", true},
        FileCase{"unix_lines", Replace(kDefault, "\r\n", "\n"), true}),
    [](const ::testing::TestParamInfo<FileCase>& param) { return std::string(param.param.name); });

TEST_F(ConfigFileTest, OutOfRangeValuesAreClamped) {
    std::string text = Replace(kDefault, "FallSpeed=0.55", "FallSpeed=1e300");
    text = Replace(text, "Blend=64", "Blend=999");
    text = Replace(text, "FrameInterval=50", "FrameInterval=-5");
    WriteFile(path, text);
    Engine engine;
    int interval = 0;
    DWORD priority = 0;
    ASSERT_TRUE(library.load(engine.e, &interval, &priority, path.c_str()));
    EXPECT_DOUBLE_EQ(engine.e->GetParamA(), VESKAR_PARAM_A_MAX);
    BYTE r, g, b, blend;
    engine.e->GetBackgroundBlend(&r, &g, &b, &blend);
    EXPECT_EQ(blend, 255);
    EXPECT_EQ(interval, 10);
}

TEST_F(ConfigFileTest, MissingFileIsRefused) {
    Engine engine;
    int interval = 5;
    DWORD priority = 6;
    EXPECT_FALSE(library.load(engine.e, &interval, &priority, BinPath("absent.cfg").c_str()));
    EXPECT_EQ(interval, 5);
}

// A save that cannot complete (here its temporary file cannot be created) leaves the old file
// as it was, never half written.
TEST_F(ConfigFileTest, FailedSaveLeavesTheOldFileIntact) {
    WriteFile(path, kDefault);
    const std::string blocker = path + ".tmp";
    ASSERT_TRUE(CreateDirectoryA(blocker.c_str(), nullptr));
    Engine engine;
    double changed = 2.0;
    engine.e->SetParamA(&changed);
    EXPECT_FALSE(library.save(engine.e, 60, NORMAL_PRIORITY_CLASS, path.c_str()));
    RemoveDirectoryA(blocker.c_str());
    EXPECT_EQ(ReadFile(path), kDefault);
    EXPECT_TRUE(library.save(engine.e, 60, NORMAL_PRIORITY_CLASS, path.c_str()));
    EXPECT_NE(ReadFile(path).find("FallSpeed=2"), std::string::npos);
}

TEST_F(ConfigFileTest, NullArgumentsAreRefused) {
    Engine engine;
    int interval = 0;
    DWORD priority = 0;
    EXPECT_FALSE(library.load(nullptr, &interval, &priority, path.c_str()));
    EXPECT_FALSE(library.load(engine.e, nullptr, &priority, path.c_str()));
    EXPECT_FALSE(library.load(engine.e, &interval, &priority, nullptr));
    EXPECT_FALSE(library.save(nullptr, 50, 0, path.c_str()));
    EXPECT_FALSE(library.save(engine.e, 50, 0, nullptr));
}
