// A recording engine for in-process host tests: it counts every call and remembers what the
// device context looked like when DrawFrame was called.
#pragma once
#include <windows.h>

#include "Veskar.h"

struct FakeEngine : IVESKAR {
    LONG refs = 1;
    int releases = 0;
    int drawFrames = 0;
    int attaches = 0;
    int setBackgrounds = 0;
    int getBlendCalls = 0;
    int getModeCalls = 0;
    int copies = 0;
    IVESKAR* lastCopySource = nullptr;
    HDC lastDc = nullptr;
    POINT lastViewportOrigin = {};
    bool lastClipMatched = false; // the DC's clip region equalled expectedClip
    HRGN expectedClip = nullptr;
    int lastClipResult = -1;
    HWND attachedWindow = nullptr;
    BITMAP lastBackground = {};
    bool lastBackgroundValid = false;
    BYTE blend[4] = {0, 0, 0, 64};
    int mode = 0;
    double params[6] = {0, 0, 0, 0, 0, 0};
    int paramSets[6] = {0, 0, 0, 0, 0, 0};
    int paramGets[6] = {0, 0, 0, 0, 0, 0};

    FakeEngine() = default;
    virtual ~FakeEngine() = default;
    FakeEngine(const FakeEngine&) = delete;
    FakeEngine& operator=(const FakeEngine&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IVESKAR)) {
            *out = static_cast<IVESKAR*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    // Never deletes itself: tests own it and read its counters after the host let it go.
    ULONG STDMETHODCALLTYPE Release() override {
        ++releases;
        return --refs;
    }
    HRESULT STDMETHODCALLTYPE CopySettingsFrom(IVESKAR* source) override {
        ++copies;
        lastCopySource = source;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DrawFrame(HDC dc) override {
        ++drawFrames;
        lastDc = dc;
        GetViewportOrgEx(dc, &lastViewportOrigin);
        HRGN clip = CreateRectRgn(0, 0, 0, 0);
        lastClipResult = GetClipRgn(dc, clip);
        lastClipMatched = expectedClip && lastClipResult == 1 && EqualRgn(clip, expectedClip);
        DeleteObject(clip);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Attach(HWND window, HBITMAP background) override {
        ++attaches;
        attachedWindow = window;
        return SetBackground(background);
    }
    HRESULT STDMETHODCALLTYPE SetBackgroundBlend(BYTE r, BYTE g, BYTE b, BYTE a) override {
        blend[0] = r, blend[1] = g, blend[2] = b, blend[3] = a;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetBackgroundBlend(BYTE* r, BYTE* g, BYTE* b, BYTE* a) override {
        ++getBlendCalls;
        *r = blend[0], *g = blend[1], *b = blend[2], *a = blend[3];
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetBackgroundMode(int m) override {
        mode = m;
        return S_OK;
    }
    int STDMETHODCALLTYPE GetBackgroundMode() override {
        ++getModeCalls;
        return mode;
    }
    HRESULT STDMETHODCALLTYPE SetGlyphColour(COLORREF) override { return S_OK; }
    COLORREF STDMETHODCALLTYPE GetGlyphColour() override { return 0; }
    HRESULT STDMETHODCALLTYPE SetBackground(HBITMAP background) override {
        ++setBackgrounds;
        lastBackgroundValid = GetObjectA(background, sizeof lastBackground, &lastBackground) != 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetGlyphSet(int) override { return S_OK; }
    int STDMETHODCALLTYPE GetGlyphSet() override { return 0; }
    HRESULT STDMETHODCALLTYPE SetRandomSeed(UINT) override { return S_OK; }

    double Set(int i, double* v) {
        ++paramSets[i];
        params[i] = *v;
        return params[i];
    }
    double Get(int i) {
        ++paramGets[i];
        return params[i];
    }
    double STDMETHODCALLTYPE SetParamA(double* v) override { return Set(0, v); }
    double STDMETHODCALLTYPE GetParamA() override { return Get(0); }
    double STDMETHODCALLTYPE SetParamB(double* v) override { return Set(1, v); }
    double STDMETHODCALLTYPE GetParamB() override { return Get(1); }
    double STDMETHODCALLTYPE SetParamC(double* v) override { return Set(2, v); }
    double STDMETHODCALLTYPE GetParamC() override { return Get(2); }
    double STDMETHODCALLTYPE SetParamD(double* v) override { return Set(3, v); }
    double STDMETHODCALLTYPE GetParamD() override { return Get(3); }
    double STDMETHODCALLTYPE SetParamE(double* v) override { return Set(4, v); }
    double STDMETHODCALLTYPE GetParamE() override { return Get(4); }
    double STDMETHODCALLTYPE SetParamF(double* v) override { return Set(5, v); }
    double STDMETHODCALLTYPE GetParamF() override { return Get(5); }
};
