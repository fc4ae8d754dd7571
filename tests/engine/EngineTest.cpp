// Veskar.dll through COM, as the host and the configuration library use it: settings round
// trips, clamping, background copies, and the pixels of drawn frames.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "Veskar.h"

namespace {

struct ComApartment {
    ComApartment() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    ~ComApartment() { CoUninitialize(); }
};

IVESKAR* NewEngine() {
    IVESKAR* engine = nullptr;
    CoCreateInstance(CLSID_VESKAR, nullptr, CLSCTX_INPROC_SERVER, IID_IVESKAR,
                     reinterpret_cast<void**>(&engine));
    return engine;
}

HBITMAP SolidBitmap(int width, int height, COLORREF colour) {
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, bitmap);
    HBRUSH brush = CreateSolidBrush(colour);
    RECT all = {0, 0, width, height};
    FillRect(memory, &all, brush);
    DeleteObject(brush);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

// A 32-bit memory canvas that frames are drawn into and read back from.
class Canvas {
  public:
    Canvas(int width, int height, COLORREF fill) : width_(width), height_(height) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_),
                                   nullptr, 0);
        old_ = SelectObject(dc_, bitmap_);
        Fill(fill);
    }
    ~Canvas() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    HDC Dc() const { return dc_; }
    void Fill(COLORREF colour) {
        for (int i = 0; i < width_ * height_; ++i)
            bits_[i] = (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
    }
    COLORREF At(int x, int y) const {
        GdiFlush();
        const DWORD p = bits_[y * width_ + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }

  private:
    int width_, height_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
    DWORD* bits_ = nullptr;
};

HWND SizedWindow(int width, int height) {
    return CreateWindowExA(0, "STATIC", "engine test", WS_POPUP, 0, 0, width, height, nullptr,
                           nullptr, nullptr, nullptr);
}

void SetAllParams(IVESKAR* e, const double values[6]) {
    double v[6];
    for (int i = 0; i < 6; ++i)
        v[i] = values[i];
    e->SetParamA(&v[0]);
    e->SetParamB(&v[1]);
    e->SetParamC(&v[2]);
    e->SetParamD(&v[3]);
    e->SetParamE(&v[4]);
    e->SetParamF(&v[5]);
}

struct Snapshot {
    BYTE blend[4];
    int mode, glyphSet;
    COLORREF colour;
    double params[6];
    bool operator==(const Snapshot& o) const {
        for (int i = 0; i < 6; ++i)
            if (params[i] != o.params[i]) return false;
        return std::equal(blend, blend + 4, o.blend) && mode == o.mode && glyphSet == o.glyphSet &&
               colour == o.colour;
    }
};

Snapshot Take(IVESKAR* e) {
    Snapshot s = {};
    e->GetBackgroundBlend(&s.blend[0], &s.blend[1], &s.blend[2], &s.blend[3]);
    s.mode = e->GetBackgroundMode();
    s.glyphSet = e->GetGlyphSet();
    s.colour = e->GetGlyphColour();
    s.params[0] = e->GetParamA();
    s.params[1] = e->GetParamB();
    s.params[2] = e->GetParamC();
    s.params[3] = e->GetParamD();
    s.params[4] = e->GetParamE();
    s.params[5] = e->GetParamF();
    return s;
}

class EngineTest : public ::testing::Test {
  protected:
    ComApartment com;
    IVESKAR* engine = nullptr;
    HWND window = nullptr;
    void SetUp() override {
        engine = NewEngine();
        ASSERT_NE(engine, nullptr) << "Veskar.dll is not registered";
        window = SizedWindow(160, 120);
    }
    void TearDown() override {
        if (engine) engine->Release();
        DestroyWindow(window);
    }
    void NoRain() {
        double none = 0;
        engine->SetParamB(&none);
    }
};

} // namespace

TEST_F(EngineTest, DefaultsAreDocumented) {
    BYTE r, g, b, blend;
    engine->GetBackgroundBlend(&r, &g, &b, &blend);
    EXPECT_EQ(blend, VESKAR_DEFAULT_BLEND);
    EXPECT_EQ(r | g | b, 0);
    EXPECT_EQ(engine->GetBackgroundMode(), 0);
    EXPECT_EQ(engine->GetGlyphColour(), static_cast<COLORREF>(VESKAR_DEFAULT_GLYPH_COLOUR));
    EXPECT_DOUBLE_EQ(engine->GetParamA(), VESKAR_PARAM_A_DEFAULT);
    EXPECT_DOUBLE_EQ(engine->GetParamD(), VESKAR_PARAM_D_DEFAULT);
}

TEST_F(EngineTest, CopySettingsThereAndBackRestoresExactly) {
    IVESKAR* backup = NewEngine();
    ASSERT_NE(backup, nullptr);
    const double custom[6] = {1.25, 0.3, 33, 21, 0.2, 0.4};
    SetAllParams(engine, custom);
    engine->SetBackgroundBlend(10, 20, 30, 200);
    engine->SetBackgroundMode(1);
    engine->SetGlyphColour(RGB(200, 100, 50));
    engine->SetGlyphSet(VESKAR_GLYPHS_LATIN);
    const Snapshot before = Take(engine);

    backup->CopySettingsFrom(engine);
    EXPECT_TRUE(Take(backup) == before);

    const double other[6] = {3, 0.9, 5, 40, 0.9, 0.1};
    SetAllParams(engine, other);
    engine->SetBackgroundBlend(1, 2, 3, 4);
    engine->SetBackgroundMode(0);
    engine->SetGlyphSet(VESKAR_GLYPHS_DIGITS);
    EXPECT_FALSE(Take(engine) == before);

    engine->CopySettingsFrom(backup);
    EXPECT_TRUE(Take(engine) == before);
    backup->Release();
}

struct ClampCase {
    int param;
    double set, expected;
};

class ClampTest : public EngineTest, public ::testing::WithParamInterface<ClampCase> {};

TEST_P(ClampTest, StoresValuesClampedToTheirRange) {
    using Set = double (STDMETHODCALLTYPE IVESKAR::*)(double*);
    using Get = double (STDMETHODCALLTYPE IVESKAR::*)();
    const Set sets[6] = {&IVESKAR::SetParamA, &IVESKAR::SetParamB, &IVESKAR::SetParamC,
                         &IVESKAR::SetParamD, &IVESKAR::SetParamE, &IVESKAR::SetParamF};
    const Get gets[6] = {&IVESKAR::GetParamA, &IVESKAR::GetParamB, &IVESKAR::GetParamC,
                         &IVESKAR::GetParamD, &IVESKAR::GetParamE, &IVESKAR::GetParamF};
    const ClampCase& c = GetParam();
    double value = c.set;
    EXPECT_DOUBLE_EQ((engine->*sets[c.param])(&value), c.expected);
    EXPECT_DOUBLE_EQ((engine->*gets[c.param])(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Params, ClampTest,
    ::testing::Values(ClampCase{0, 100, VESKAR_PARAM_A_MAX}, ClampCase{0, -1, VESKAR_PARAM_A_MIN},
                      ClampCase{0, 1.5, 1.5}, ClampCase{1, 2, 1.0}, ClampCase{1, -0.5, 0.0},
                      ClampCase{2, 1, VESKAR_PARAM_C_MIN}, ClampCase{2, 1e9, VESKAR_PARAM_C_MAX},
                      ClampCase{3, 2, VESKAR_PARAM_D_MIN}, ClampCase{3, 500, VESKAR_PARAM_D_MAX},
                      ClampCase{4, 7, 1.0}, ClampCase{5, -3, 0.0},
                      ClampCase{3, std::nan(""), VESKAR_PARAM_D_DEFAULT}));

TEST_F(EngineTest, BackgroundIsCopiedBeforeTheCallerDeletesIt) {
    NoRain();
    engine->SetBackgroundBlend(0, 0, 0, 255);
    HBITMAP red = SolidBitmap(160, 120, RGB(255, 0, 0));
    engine->Attach(window, red);
    DeleteObject(red);
    Canvas canvas(160, 120, RGB(0, 0, 0));
    engine->DrawFrame(canvas.Dc());
    EXPECT_EQ(canvas.At(5, 5), RGB(255, 0, 0));
    EXPECT_EQ(canvas.At(150, 110), RGB(255, 0, 0));

    HBITMAP green = SolidBitmap(160, 120, RGB(0, 255, 0));
    engine->SetBackground(green);
    DeleteObject(green);
    engine->DrawFrame(canvas.Dc());
    EXPECT_EQ(canvas.At(80, 60), RGB(0, 255, 0));
}

struct BlendCase {
    BYTE blend;
    int mode;
    COLORREF expected; // image white over a blue tint
};

class BlendTest : public EngineTest, public ::testing::WithParamInterface<BlendCase> {};

TEST_P(BlendTest, BackgroundMixesImageAndTintByTheBlend) {
    NoRain();
    HBITMAP white = SolidBitmap(160, 120, RGB(255, 255, 255));
    engine->Attach(window, white);
    DeleteObject(white);
    engine->SetBackgroundBlend(0, 0, 255, GetParam().blend);
    engine->SetBackgroundMode(GetParam().mode);
    Canvas canvas(160, 120, RGB(1, 2, 3));
    engine->DrawFrame(canvas.Dc());
    const COLORREF got = canvas.At(40, 40), want = GetParam().expected;
    EXPECT_NEAR(GetRValue(got), GetRValue(want), 2);
    EXPECT_NEAR(GetGValue(got), GetGValue(want), 2);
    EXPECT_NEAR(GetBValue(got), GetBValue(want), 2);
}

INSTANTIATE_TEST_SUITE_P(Blends, BlendTest,
                         ::testing::Values(BlendCase{255, 0, RGB(255, 255, 255)},
                                           BlendCase{0, 0, RGB(0, 0, 255)},
                                           BlendCase{128, 0, RGB(128, 128, 255)},
                                           BlendCase{64, 0, RGB(64, 64, 255)},
                                           BlendCase{255, 1, RGB(0, 0, 255)}));

TEST_F(EngineTest, RainHasABrightHeadAndATrailThatFades) {
    double full = 1, slow = 0.5, trail = 12, height = 16;
    engine->SetParamB(&full);
    engine->SetParamA(&slow);
    engine->SetParamC(&trail);
    engine->SetParamD(&height);
    engine->SetRandomSeed(1234);
    engine->SetBackgroundBlend(0, 0, 0, 0);
    HWND big = SizedWindow(320, 400);
    engine->Attach(big, nullptr);
    Canvas canvas(320, 400, RGB(0, 0, 0));
    for (int i = 0; i < 40; ++i)
        engine->DrawFrame(canvas.Dc());

    // Per column of cells: the brightest pixel of each cell.
    const int cellW = static_cast<int>(std::lround(16 * 0.62)), cellH = 16;
    int heads = 0, fadingTrails = 0;
    for (int cx = 0; cx * cellW < 320; ++cx) {
        std::vector<int> green(400 / cellH, 0), white(400 / cellH, 0);
        for (int cy = 0; cy < 400 / cellH; ++cy)
            for (int y = cy * cellH; y < (cy + 1) * cellH; ++y)
                for (int x = cx * cellW; x < std::min(320, (cx + 1) * cellW); ++x) {
                    COLORREF c = canvas.At(x, y);
                    green[cy] = std::max(green[cy], static_cast<int>(GetGValue(c)));
                    white[cy] =
                        std::max(white[cy], static_cast<int>(std::min(GetRValue(c), GetBValue(c))));
                }
        for (int cy = 8; cy < 400 / cellH; ++cy) {
            if (white[cy] < 200) continue; // a head: all channels bright
            ++heads;
            // The trail above: green, and dimmer further up.
            if (green[cy - 1] > 100 && green[cy - 1] > green[cy - 7] && white[cy - 3] < 200)
                ++fadingTrails;
        }
    }
    EXPECT_GT(heads, 3);
    EXPECT_GT(fadingTrails, heads / 2);
    DestroyWindow(big);
}

TEST_F(EngineTest, ClippedOutPixelsStayUntouched) {
    double full = 1;
    engine->SetParamB(&full);
    engine->SetBackgroundBlend(0, 0, 255, 0);
    engine->Attach(window, nullptr);
    Canvas canvas(160, 120, RGB(255, 0, 255));
    HRGN clip = CreateRectRgn(0, 0, 160, 120);
    HRGN hole = CreateRectRgn(20, 30, 70, 90);
    CombineRgn(clip, clip, hole, RGN_DIFF);
    SelectClipRgn(canvas.Dc(), clip);
    for (int i = 0; i < 5; ++i)
        engine->DrawFrame(canvas.Dc());
    for (int y = 30; y < 90; y += 7)
        for (int x = 20; x < 70; x += 7)
            EXPECT_EQ(canvas.At(x, y), RGB(255, 0, 255));
    EXPECT_NE(canvas.At(100, 100), RGB(255, 0, 255));
    DeleteObject(hole);
    DeleteObject(clip);
}

TEST_F(EngineTest, FrameFollowsTheWindowSize) {
    NoRain();
    engine->SetBackgroundBlend(0, 255, 0, 0);
    engine->Attach(window, nullptr);
    Canvas canvas(320, 240, RGB(255, 0, 255));
    engine->DrawFrame(canvas.Dc());
    EXPECT_EQ(canvas.At(150, 110), RGB(0, 255, 0));
    EXPECT_EQ(canvas.At(200, 200), RGB(255, 0, 255)); // outside the 160x120 window
    SetWindowPos(window, nullptr, 0, 0, 320, 240, SWP_NOMOVE | SWP_NOZORDER);
    engine->DrawFrame(canvas.Dc());
    EXPECT_EQ(canvas.At(300, 230), RGB(0, 255, 0));
}

TEST_F(EngineTest, LogicalOriginFollowsTheViewport) {
    NoRain();
    engine->SetBackgroundBlend(255, 0, 0, 0);
    engine->Attach(window, nullptr);
    Canvas canvas(320, 240, RGB(0, 0, 0));
    SetViewportOrgEx(canvas.Dc(), 100, 50, nullptr);
    engine->DrawFrame(canvas.Dc());
    EXPECT_EQ(canvas.At(99, 49), RGB(0, 0, 0));
    EXPECT_EQ(canvas.At(100, 50), RGB(255, 0, 0));
    EXPECT_EQ(canvas.At(259, 169), RGB(255, 0, 0));
}

// Under Wine GetGuiResources answers 0, so leaks are also seen by the handle the next new
// object gets: a leaked object would hold its table slot, and the probe would move.
TEST_F(EngineTest, ThousandsOfFramesCreateNoGdiObjects) {
    double full = 1, change = 1;
    engine->SetParamB(&full);
    engine->SetParamE(&change);
    engine->Attach(window, nullptr);
    Canvas canvas(160, 120, RGB(0, 0, 0));
    engine->DrawFrame(canvas.Dc());
    auto probe = [] {
        HRGN region = CreateRectRgn(0, 0, 1, 1);
        DeleteObject(region);
        return reinterpret_cast<UINT_PTR>(region);
    };
    const DWORD objectsBefore = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    const UINT_PTR before = probe();
    for (int i = 0; i < 3000; ++i)
        engine->DrawFrame(canvas.Dc());
    EXPECT_EQ(probe() & 0xFFFF, before & 0xFFFF);
    EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), objectsBefore);
}

TEST_F(EngineTest, GlyphSetsAllDraw) {
    double full = 1;
    engine->SetParamB(&full);
    engine->SetBackgroundBlend(0, 0, 0, 0);
    engine->Attach(window, nullptr);
    for (int set : {VESKAR_GLYPHS_KATAKANA, VESKAR_GLYPHS_DIGITS, VESKAR_GLYPHS_LATIN}) {
        engine->SetGlyphSet(set);
        EXPECT_EQ(engine->GetGlyphSet(), set);
        Canvas canvas(160, 120, RGB(0, 0, 0));
        for (int i = 0; i < 20; ++i)
            engine->DrawFrame(canvas.Dc());
        int lit = 0;
        for (int y = 0; y < 120; y += 2)
            for (int x = 0; x < 160; x += 2)
                lit += GetGValue(canvas.At(x, y)) > 60;
        EXPECT_GT(lit, 50) << "glyph set " << set;
    }
}
