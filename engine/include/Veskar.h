// The rendering engine's COM interface, shared by the host, the engine and the configuration
// library. Veskar.dll exports the class and interface identifiers as data symbols.
#pragma once
#include <windows.h>
#include <unknwn.h>

#ifdef VESKAR_BUILDING_DLL
#define VESKAR_DATA extern "C" __declspec(dllexport)
#else
#define VESKAR_DATA extern "C" __declspec(dllimport)
#endif

VESKAR_DATA const CLSID CLSID_VESKAR;
VESKAR_DATA const IID IID_IVESKAR;

// Background modes (SetBackgroundMode): the background image mixed with the tint by the blend
// byte, or the tint alone.
enum VeskarBackgroundMode { VESKAR_BG_IMAGE = 0, VESKAR_BG_PLAIN = 1 };

// Glyph sets (SetGlyphSet).
enum VeskarGlyphSet {
    VESKAR_GLYPHS_KATAKANA = 0,
    VESKAR_GLYPHS_DIGITS = 1,
    VESKAR_GLYPHS_LATIN = 2
};

#include "VeskarRanges.h"

#define VESKAR_DEFAULT_GLYPH_COLOUR RGB(0x30, 0xFF, 0x60)

struct IVESKAR : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE CopySettingsFrom(IVESKAR* source) = 0;
    virtual HRESULT STDMETHODCALLTYPE DrawFrame(HDC dc) = 0;
    virtual HRESULT STDMETHODCALLTYPE Attach(HWND window, HBITMAP background) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetBackgroundBlend(BYTE r, BYTE g, BYTE b, BYTE blend) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetBackgroundBlend(BYTE* r, BYTE* g, BYTE* b,
                                                         BYTE* blend) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetBackgroundMode(int mode) = 0;
    virtual int STDMETHODCALLTYPE GetBackgroundMode() = 0;
    virtual HRESULT STDMETHODCALLTYPE SetGlyphColour(COLORREF colour) = 0;
    virtual COLORREF STDMETHODCALLTYPE GetGlyphColour() = 0;
    virtual HRESULT STDMETHODCALLTYPE SetBackground(HBITMAP background) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetGlyphSet(int glyphSet) = 0;
    virtual int STDMETHODCALLTYPE GetGlyphSet() = 0;
    virtual HRESULT STDMETHODCALLTYPE SetRandomSeed(UINT seed) = 0;
    virtual double STDMETHODCALLTYPE SetParamA(double* value) = 0;
    virtual double STDMETHODCALLTYPE GetParamA() = 0;
    virtual double STDMETHODCALLTYPE SetParamB(double* value) = 0;
    virtual double STDMETHODCALLTYPE GetParamB() = 0;
    virtual double STDMETHODCALLTYPE SetParamC(double* value) = 0;
    virtual double STDMETHODCALLTYPE GetParamC() = 0;
    virtual double STDMETHODCALLTYPE SetParamD(double* value) = 0;
    virtual double STDMETHODCALLTYPE GetParamD() = 0;
    virtual double STDMETHODCALLTYPE SetParamE(double* value) = 0;
    virtual double STDMETHODCALLTYPE GetParamE() = 0;
    virtual double STDMETHODCALLTYPE SetParamF(double* value) = 0;
    virtual double STDMETHODCALLTYPE GetParamF() = 0;
};
