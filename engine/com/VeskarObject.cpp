// IVESKAR over RainCore. Bitmaps handed in are copied at once: the caller deletes its handle
// right after the call. The frame is handed to the device context in one SetDIBitsToDevice
// call, which honours the clip region and viewport origin the caller selected.
#include "VeskarObject.h"
#include "GlyphFont.h"

#include <new>
#include <vector>

const IID IID_IVeskarState = {
    0x89da5239, 0x88f0, 0x4b1a, {0xa7, 0x69, 0x32, 0x05, 0xbe, 0x88, 0x70, 0x0f}};

namespace {

LONG g_liveObjects = 0;

// Reads any bitmap as 32-bit top-down pixels.
bool ReadBitmapPixels(HBITMAP bitmap, std::vector<veskar::Pixel>& pixels, int& width, int& height) {
    BITMAP info = {};
    if (!bitmap || !GetObjectA(bitmap, sizeof info, &info) || info.bmWidth <= 0 ||
        info.bmHeight <= 0)
        return false;
    width = info.bmWidth;
    height = info.bmHeight;
    pixels.assign(static_cast<size_t>(width) * height, 0);
    BITMAPINFO header = {};
    header.bmiHeader.biSize = sizeof header.bmiHeader;
    header.bmiHeader.biWidth = width;
    header.bmiHeader.biHeight = -height;
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 32;
    header.bmiHeader.biCompression = BI_RGB;
    HDC dc = GetDC(nullptr);
    int lines = GetDIBits(dc, bitmap, 0, height, pixels.data(), &header, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    for (veskar::Pixel& p : pixels)
        p &= 0xFFFFFF;
    return lines == height;
}

struct VeskarObject : IVESKAR {
    LONG refs = 1;
    HWND window = nullptr;
    veskar::RainCore core;
    BITMAPINFO frameInfo = {};

    VeskarObject() {
        InterlockedIncrement(&g_liveObjects);
        RebuildAtlas();
    }
    virtual ~VeskarObject() { InterlockedDecrement(&g_liveObjects); }
    VeskarObject(const VeskarObject&) = delete;
    VeskarObject& operator=(const VeskarObject&) = delete;

    void RebuildAtlas() {
        if (!core.AtlasStale()) return;
        int w, h;
        veskar::CellSizeFor(core.GetSettings().glyphHeight, w, h);
        veskar::GlyphAtlas atlas;
        veskar::BuildGlyphAtlas(atlas, core.GetSettings().glyphSet, w, h);
        core.SetAtlas(std::move(atlas));
    }

    template <typename Change> void Update(Change change) {
        Guarded([&] {
            veskar::Settings s = core.GetSettings();
            change(s);
            core.SetSettings(s);
            RebuildAtlas();
            return S_OK;
        });
    }

    double SetParam(int index, const double* value) {
        if (!value) return GetParam(index);
        Update([&](veskar::Settings& s) {
            double* fields[6] = {&s.fallSpeed,   &s.density,    &s.trailLength,
                                 &s.glyphHeight, &s.changeRate, &s.headGlow};
            *fields[index] = veskar::ClampParam(index, *value);
        });
        return GetParam(index);
    }
    double GetParam(int index) const {
        const veskar::Settings& s = core.GetSettings();
        const double fields[6] = {s.fallSpeed,   s.density,    s.trailLength,
                                  s.glyphHeight, s.changeRate, s.headGlow};
        return fields[index];
    }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IVESKAR) ||
            IsEqualIID(iid, IID_IVeskarState)) {
            *out = static_cast<IVESKAR*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&refs); }
    ULONG STDMETHODCALLTYPE Release() override {
        LONG left = InterlockedDecrement(&refs);
        if (left == 0) delete this;
        return left;
    }

    // IVESKAR
    HRESULT STDMETHODCALLTYPE CopySettingsFrom(IVESKAR* source) override {
        return Guarded([&] { return CopySettings(source); });
    }

    // No exception may leave a COM method: a failed allocation (a huge bitmap, a huge window)
    // is an error result.
    template <typename Body> static HRESULT Guarded(Body body) {
        try {
            return body();
        } catch (...) {
            return E_OUTOFMEMORY;
        }
    }

    HRESULT CopySettings(IVESKAR* source) {
        if (!source) return E_POINTER;
        if (source == this) return S_OK;
        void* state = nullptr;
        if (SUCCEEDED(source->QueryInterface(IID_IVeskarState, &state))) {
            VeskarObject* other = static_cast<VeskarObject*>(static_cast<IVESKAR*>(state));
            core.SetSettings(other->core.GetSettings());
            // The background travels with the settings, so a copy back after screen-save
            // mode also brings the desktop's background back.
            core.SetImage(other->core.Image().data(), other->core.ImageWidth(),
                          other->core.ImageHeight());
            RebuildAtlas();
            other->Release();
            return S_OK;
        }
        return CopyThroughInterface(source);
    }

    HRESULT CopyThroughInterface(IVESKAR* source) {
        Update([&](veskar::Settings& s) {
            source->GetBackgroundBlend(&s.tintR, &s.tintG, &s.tintB, &s.blend);
            s.backgroundMode = source->GetBackgroundMode();
            s.glyphColour = source->GetGlyphColour();
            s.glyphSet = source->GetGlyphSet();
            s.fallSpeed = source->GetParamA();
            s.density = source->GetParamB();
            s.trailLength = source->GetParamC();
            s.glyphHeight = source->GetParamD();
            s.changeRate = source->GetParamE();
            s.headGlow = source->GetParamF();
        });
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE DrawFrame(HDC dc) override {
        return Guarded([&] { return Draw(dc); });
    }

    HRESULT Draw(HDC dc) {
        if (!dc) return E_INVALIDARG;
        RECT client = {};
        if (window && GetClientRect(window, &client)) {
            core.Resize(client.right, client.bottom);
        } else if (core.Width() == 0 && core.HasImage()) {
            core.Resize(core.ImageWidth(), core.ImageHeight());
        }
        if (core.Width() == 0 || core.Height() == 0) return S_FALSE;
        core.Step();
        frameInfo.bmiHeader.biSize = sizeof frameInfo.bmiHeader;
        frameInfo.bmiHeader.biWidth = core.Width();
        frameInfo.bmiHeader.biHeight = -core.Height();
        frameInfo.bmiHeader.biPlanes = 1;
        frameInfo.bmiHeader.biBitCount = 32;
        frameInfo.bmiHeader.biCompression = BI_RGB;
        SetDIBitsToDevice(dc, 0, 0, core.Width(), core.Height(), 0, 0, 0, core.Height(),
                          core.Frame(), &frameInfo, DIB_RGB_COLORS);
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE Attach(HWND target, HBITMAP background) override {
        return Guarded([&] {
            window = target;
            RECT client = {};
            if (window && GetClientRect(window, &client)) core.Resize(client.right, client.bottom);
            return SetBackground(background);
        });
    }

    HRESULT STDMETHODCALLTYPE SetBackgroundBlend(BYTE r, BYTE g, BYTE b, BYTE blend) override {
        Update([&](veskar::Settings& s) {
            s.tintR = r;
            s.tintG = g;
            s.tintB = b;
            s.blend = blend;
        });
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetBackgroundBlend(BYTE* r, BYTE* g, BYTE* b, BYTE* blend) override {
        const veskar::Settings& s = core.GetSettings();
        if (r) *r = s.tintR;
        if (g) *g = s.tintG;
        if (b) *b = s.tintB;
        if (blend) *blend = s.blend;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetBackgroundMode(int mode) override {
        Update([&](veskar::Settings& s) { s.backgroundMode = mode; });
        return S_OK;
    }
    int STDMETHODCALLTYPE GetBackgroundMode() override { return core.GetSettings().backgroundMode; }
    HRESULT STDMETHODCALLTYPE SetGlyphColour(COLORREF colour) override {
        Update([&](veskar::Settings& s) { s.glyphColour = colour; });
        return S_OK;
    }
    COLORREF STDMETHODCALLTYPE GetGlyphColour() override { return core.GetSettings().glyphColour; }
    HRESULT STDMETHODCALLTYPE SetBackground(HBITMAP background) override {
        return Guarded([&] {
            std::vector<veskar::Pixel> pixels;
            int w = 0, h = 0;
            if (!ReadBitmapPixels(background, pixels, w, h)) return E_INVALIDARG;
            core.SetImage(pixels.data(), w, h);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE SetGlyphSet(int glyphSet) override {
        Update([&](veskar::Settings& s) { s.glyphSet = glyphSet; });
        return S_OK;
    }
    int STDMETHODCALLTYPE GetGlyphSet() override { return core.GetSettings().glyphSet; }
    HRESULT STDMETHODCALLTYPE SetRandomSeed(UINT seed) override {
        Update([&](veskar::Settings& s) { s.seed = seed; });
        return S_OK;
    }
    double STDMETHODCALLTYPE SetParamA(double* v) override { return SetParam(0, v); }
    double STDMETHODCALLTYPE GetParamA() override { return GetParam(0); }
    double STDMETHODCALLTYPE SetParamB(double* v) override { return SetParam(1, v); }
    double STDMETHODCALLTYPE GetParamB() override { return GetParam(1); }
    double STDMETHODCALLTYPE SetParamC(double* v) override { return SetParam(2, v); }
    double STDMETHODCALLTYPE GetParamC() override { return GetParam(2); }
    double STDMETHODCALLTYPE SetParamD(double* v) override { return SetParam(3, v); }
    double STDMETHODCALLTYPE GetParamD() override { return GetParam(3); }
    double STDMETHODCALLTYPE SetParamE(double* v) override { return SetParam(4, v); }
    double STDMETHODCALLTYPE GetParamE() override { return GetParam(4); }
    double STDMETHODCALLTYPE SetParamF(double* v) override { return SetParam(5, v); }
    double STDMETHODCALLTYPE GetParamF() override { return GetParam(5); }
};

} // namespace

HRESULT CreateVeskarObject(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    VeskarObject* object = new (std::nothrow) VeskarObject();
    if (!object) return E_OUTOFMEMORY;
    HRESULT hr = object->QueryInterface(iid, out);
    object->Release();
    return hr;
}

LONG VeskarLiveObjects() {
    return g_liveObjects;
}
