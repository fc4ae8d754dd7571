// Renders a glyph set from a font into coverage masks. A font is used only when its face is
// really installed (not a substitute) and has every glyph of the set, so the rain looks the
// same everywhere; otherwise the built-in shapes are used.
#include "GlyphFont.h"

#include <cstring>
#include <vector>

namespace veskar {
namespace {

struct FontChoice {
    int glyphSet;
    const char* face;
};
const FontChoice kFaces[] = {
    {0, "MS Gothic"},      {0, "Meiryo"},         {0, "Yu Gothic"},   {0, "MS UI Gothic"},
    {1, "Consolas"},       {1, "Lucida Console"}, {1, "Courier New"}, {2, "Consolas"},
    {2, "Lucida Console"}, {2, "Courier New"},
};

std::vector<wchar_t> CharactersOf(int glyphSet) {
    std::vector<wchar_t> chars;
    if (glyphSet == 0) {
        for (wchar_t c = 0xFF66; c <= 0xFF9D; ++c)
            chars.push_back(c); // half-width katakana
    } else if (glyphSet == 1) {
        for (wchar_t c = L'0'; c <= L'9'; ++c)
            chars.push_back(c);
    } else {
        for (wchar_t c = L'A'; c <= L'Z'; ++c)
            chars.push_back(c);
        for (const wchar_t* s = L":=+*<>$%"; *s; ++s)
            chars.push_back(*s);
    }
    return chars;
}

bool FontHasAll(HDC dc, const char* face, const std::vector<wchar_t>& chars) {
    char actual[LF_FACESIZE] = {};
    GetTextFaceA(dc, LF_FACESIZE, actual);
    if (lstrcmpiA(actual, face) != 0) return false;
    std::vector<WORD> indices(chars.size());
    if (GetGlyphIndicesW(dc, chars.data(), static_cast<int>(chars.size()), indices.data(),
                         GGI_MARK_NONEXISTING_GLYPHS) == GDI_ERROR)
        return false;
    for (WORD index : indices)
        if (index == 0xFFFF) return false;
    return true;
}

bool RenderWithFont(GlyphAtlas& atlas, int glyphSet, const char* face, int cellW, int cellH) {
    const std::vector<wchar_t> chars = CharactersOf(glyphSet);
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc) return false;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = cellW;
    info.bmiHeader.biHeight = -cellH;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HFONT font =
        CreateFontA(-(cellH * 9 / 10), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                    OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, FIXED_PITCH, face);
    bool ok = false;
    if (bitmap && font) {
        HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
        HGDIOBJ oldFont = SelectObject(dc, font);
        if (FontHasAll(dc, face, chars)) {
            SetTextColor(dc, RGB(255, 255, 255));
            SetBkMode(dc, TRANSPARENT);
            SetTextAlign(dc, TA_CENTER | TA_TOP);
            atlas.cellWidth = cellW;
            atlas.cellHeight = cellH;
            atlas.count = static_cast<int>(chars.size());
            atlas.coverage.assign(static_cast<size_t>(atlas.count) * cellW * cellH, 0);
            const bool mirrored = glyphSet == 0;
            for (int i = 0; i < atlas.count; ++i) {
                std::memset(bits, 0, static_cast<size_t>(cellW) * cellH * 4);
                TextOutW(dc, cellW / 2, cellH / 20, &chars[i], 1);
                GdiFlush();
                const uint32_t* px = static_cast<const uint32_t*>(bits);
                uint8_t* out = atlas.coverage.data() + static_cast<size_t>(i) * cellW * cellH;
                for (int y = 0; y < cellH; ++y)
                    for (int x = 0; x < cellW; ++x) {
                        int sx = mirrored ? cellW - 1 - x : x;
                        out[y * cellW + x] = static_cast<uint8_t>((px[y * cellW + sx] >> 8) & 0xFF);
                    }
            }
            ok = true;
        }
        SelectObject(dc, oldFont);
        SelectObject(dc, oldBitmap);
    }
    if (font) DeleteObject(font);
    if (bitmap) DeleteObject(bitmap);
    DeleteDC(dc);
    return ok;
}

} // namespace

bool BuildGlyphAtlas(GlyphAtlas& atlas, int glyphSet, int cellWidth, int cellHeight) {
    for (const FontChoice& choice : kFaces) {
        if (choice.glyphSet != glyphSet) continue;
        if (RenderWithFont(atlas, glyphSet, choice.face, cellWidth, cellHeight)) return true;
    }
    BuildBuiltinAtlas(atlas, glyphSet, cellWidth, cellHeight);
    return false;
}

} // namespace veskar
