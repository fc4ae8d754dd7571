// The rain simulation and its compositor. Each frame moves the drops, works out the brightness
// level and glyph of every cell, and recomposes only the cells whose glyph or level changed,
// over a background that is mixed with the tint once per change, never per frame.
#include "RainCore.h"

#include "VeskarRanges.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace veskar {
namespace {

struct ParamRange {
    double min, max, def;
};
const ParamRange kRanges[6] = {
    {VESKAR_PARAM_A_MIN, VESKAR_PARAM_A_MAX, VESKAR_PARAM_A_DEFAULT},
    {VESKAR_PARAM_B_MIN, VESKAR_PARAM_B_MAX, VESKAR_PARAM_B_DEFAULT},
    {VESKAR_PARAM_C_MIN, VESKAR_PARAM_C_MAX, VESKAR_PARAM_C_DEFAULT},
    {VESKAR_PARAM_D_MIN, VESKAR_PARAM_D_MAX, VESKAR_PARAM_D_DEFAULT},
    {VESKAR_PARAM_E_MIN, VESKAR_PARAM_E_MAX, VESKAR_PARAM_E_DEFAULT},
    {VESKAR_PARAM_F_MIN, VESKAR_PARAM_F_MAX, VESKAR_PARAM_F_DEFAULT},
};

// Trail levels are quantised so that a slowly fading cell is not recomposed every frame.
constexpr int kLevelStep = 6;
constexpr uint8_t kHeadLevel = 255;

inline Pixel Mix(Pixel under, Pixel over, uint32_t alpha) { // alpha 0..256
    uint32_t inv = 256 - alpha;
    uint32_t rb = ((over & 0xFF00FF) * alpha + (under & 0xFF00FF) * inv) >> 8;
    uint32_t g = ((over & 0x00FF00) * alpha + (under & 0x00FF00) * inv) >> 8;
    return (rb & 0xFF00FF) | (g & 0x00FF00);
}

inline Pixel FromColourRef(uint32_t colourRef) { // 0x00BBGGRR -> 0x00RRGGBB
    return ((colourRef & 0xFF) << 16) | (colourRef & 0xFF00) | ((colourRef >> 16) & 0xFF);
}

} // namespace

double ClampParam(int index, double value) {
    const ParamRange& r = kRanges[std::clamp(index, 0, 5)];
    if (!(value == value)) return r.def; // NaN
    return std::clamp(value, r.min, r.max);
}

Settings DefaultSettings() {
    Settings s{};
    s.fallSpeed = kRanges[0].def;
    s.density = kRanges[1].def;
    s.trailLength = kRanges[2].def;
    s.glyphHeight = kRanges[3].def;
    s.changeRate = kRanges[4].def;
    s.headGlow = kRanges[5].def;
    s.tintR = s.tintG = s.tintB = 0;
    s.blend = VESKAR_DEFAULT_BLEND;
    s.backgroundMode = 0;
    s.glyphColour = VESKAR_DEFAULT_GLYPH_COLOUR_VALUE;
    s.glyphSet = 0;
    s.seed = 0x2545F491u;
    return s;
}

void ClampSettings(Settings& s) {
    double* params[6] = {&s.fallSpeed,   &s.density,    &s.trailLength,
                         &s.glyphHeight, &s.changeRate, &s.headGlow};
    for (int i = 0; i < 6; ++i)
        *params[i] = ClampParam(i, *params[i]);
    s.backgroundMode = (s.backgroundMode == 1) ? 1 : 0;
    s.glyphColour &= 0x00FFFFFF;
    s.glyphSet = std::clamp(s.glyphSet, 0, 2);
}

void CellSizeFor(double glyphHeight, int& cellWidth, int& cellHeight) {
    cellHeight = static_cast<int>(std::lround(ClampParam(3, glyphHeight)));
    cellWidth = std::max(4, static_cast<int>(std::lround(cellHeight * 0.62)));
}

RainCore::RainCore() : settings_(DefaultSettings()) {
    changeThreshold_ = static_cast<uint32_t>(settings_.changeRate * 4294967295.0);
    Reseed(settings_.seed);
    RebuildPalette();
}

uint32_t RainCore::Random() { // xorshift32: fast, and repeatable for a given seed
    uint32_t x = rng_;
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    return rng_ = x;
}

float RainCore::RandomUnit() {
    return (Random() >> 8) * (1.0f / 16777216.0f);
}

void RainCore::Reseed(uint32_t seed) {
    settings_.seed = seed;
    rng_ = seed ? seed : 0x9E3779B9u;
    RebuildGrid();
}

void RainCore::SetSettings(const Settings& settings) {
    Settings next = settings;
    ClampSettings(next);
    const Settings old = settings_;
    settings_ = next;
    bool backgroundChanged = old.tintR != next.tintR || old.tintG != next.tintG ||
                             old.tintB != next.tintB || old.blend != next.blend ||
                             old.backgroundMode != next.backgroundMode;
    if (backgroundChanged) RebuildBase();
    RebuildPalette();
    changeThreshold_ = static_cast<uint32_t>(next.changeRate * 4294967295.0);
    if (old.seed != next.seed) Reseed(next.seed);
    fullRedraw_ = true;
}

bool RainCore::AtlasStale() const {
    int w, h;
    CellSizeFor(settings_.glyphHeight, w, h);
    return atlasSet_ != settings_.glyphSet || atlasCellW_ != w || atlasCellH_ != h ||
           atlas_.count == 0;
}

void RainCore::SetAtlas(GlyphAtlas atlas) {
    atlas_ = std::move(atlas);
    const int cw = atlas_.cellWidth, ch = atlas_.cellHeight;
    spans_.assign(static_cast<size_t>(atlas_.count) * ch, Span{0, 0});
    for (int g = 0; g < atlas_.count; ++g) {
        for (int y = 0; y < ch; ++y) {
            const uint8_t* row = atlas_.Glyph(g) + static_cast<size_t>(y) * cw;
            int begin = 0, end = cw;
            while (begin < cw && !row[begin])
                ++begin;
            while (end > begin && !row[end - 1])
                --end;
            spans_[static_cast<size_t>(g) * ch + y] =
                Span{static_cast<uint16_t>(begin), static_cast<uint16_t>(end)};
        }
    }
    atlasSet_ = settings_.glyphSet;
    atlasCellW_ = atlas_.cellWidth;
    atlasCellH_ = atlas_.cellHeight;
    RebuildGrid();
}

void RainCore::SetImage(const Pixel* pixels, int width, int height) {
    if (!pixels || width <= 0 || height <= 0) {
        image_.clear();
        imageWidth_ = imageHeight_ = 0;
    } else {
        image_.assign(pixels, pixels + static_cast<size_t>(width) * height);
        imageWidth_ = width;
        imageHeight_ = height;
    }
    RebuildBase();
}

void RainCore::Resize(int width, int height) {
    width = std::max(0, width);
    height = std::max(0, height);
    if (width == width_ && height == height_) return;
    width_ = width;
    height_ = height;
    frame_.assign(static_cast<size_t>(width) * height, 0);
    RebuildBase();
    RebuildGrid();
}

void RainCore::RebuildPalette() {
    const Pixel glyph = FromColourRef(settings_.glyphColour);
    const Pixel white = 0xFFFFFF;
    palette_[0] = {0, 0};
    for (int level = 1; level < 256; ++level) {
        double t = level / 255.0; // 1 at the head end of the trail
        Pixel colour = glyph;
        // The first few glyphs behind the head glow towards white.
        if (t > 0.86) colour = Mix(glyph, white, static_cast<uint32_t>((t - 0.86) / 0.14 * 110));
        palette_[level] = {colour, static_cast<uint32_t>(std::lround(std::pow(t, 0.8) * 256))};
    }
    const uint32_t glow = static_cast<uint32_t>(std::lround(160 + settings_.headGlow * 96));
    palette_[kHeadLevel] = {Mix(glyph, white, glow), 256};
    fullRedraw_ = true;
}

void RainCore::RebuildBase() {
    base_.assign(static_cast<size_t>(width_) * height_, 0);
    const Pixel tint =
        (Pixel(settings_.tintR) << 16) | (Pixel(settings_.tintG) << 8) | Pixel(settings_.tintB);
    const bool plain = settings_.backgroundMode == 1 || imageWidth_ == 0;
    const uint32_t alpha = settings_.blend + (settings_.blend >> 7); // 255 -> 256
    for (int y = 0; y < height_; ++y) {
        Pixel* row = base_.data() + static_cast<size_t>(y) * width_;
        if (plain) {
            std::fill(row, row + width_, tint);
            continue;
        }
        // Nearest-neighbour scaling when the image and the frame differ in size.
        const int sy = static_cast<int>(static_cast<int64_t>(y) * imageHeight_ / height_);
        const Pixel* src = image_.data() + static_cast<size_t>(sy) * imageWidth_;
        for (int x = 0; x < width_; ++x) {
            const int sx = static_cast<int>(static_cast<int64_t>(x) * imageWidth_ / width_);
            row[x] = Mix(tint, src[sx], alpha);
        }
    }
    fullRedraw_ = true;
}

void RainCore::RebuildGrid() {
    if (atlas_.count == 0 || width_ == 0 || height_ == 0) {
        cols_ = rows_ = 0;
        columns_.clear();
        fullRedraw_ = true;
        return;
    }
    cols_ = (width_ + atlas_.cellWidth - 1) / atlas_.cellWidth;
    rows_ = (height_ + atlas_.cellHeight - 1) / atlas_.cellHeight;
    const size_t cells = static_cast<size_t>(cols_) * rows_;
    glyph_.resize(cells);
    for (uint8_t& g : glyph_)
        g = static_cast<uint8_t>(Random() % atlas_.count);
    level_.assign(cells, 0);
    drawnGlyph_.assign(cells, 0);
    drawnLevel_.assign(cells, 0);
    columns_.assign(static_cast<size_t>(cols_), Column{});
    for (Column& c : columns_) {
        c.active = false;
        c.idle = static_cast<int>(Random() % 40);
        if (RandomUnit() < settings_.density) StartDrop(c, true);
    }
    fullRedraw_ = true;
}

void RainCore::StartDrop(Column& c, bool anywhere) {
    c.active = true;
    c.fade = 0;
    c.speed = static_cast<float>(settings_.fallSpeed * (0.45 + RandomUnit() * 0.9));
    const int trail = static_cast<int>(settings_.trailLength);
    c.trail = std::max(2, static_cast<int>(trail * (0.6 + RandomUnit() * 0.8)));
    c.head = anywhere ? RandomUnit() * rows_ : -RandomUnit() * 4;
    // Some drops stop part-way down and fade where they stand.
    c.stopRow = RandomUnit() < 0.25f ? static_cast<int>(rows_ * (0.3f + RandomUnit() * 0.7f))
                                     : rows_ + c.trail + 1;
}

void RainCore::AdvanceColumns() {
    int active = 0;
    for (const Column& c : columns_)
        active += c.active ? 1 : 0;
    const int wanted = static_cast<int>(std::lround(settings_.density * cols_));
    for (Column& c : columns_) {
        if (c.active) {
            if (c.head < c.stopRow) {
                c.head += c.speed;
            } else {
                c.fade += c.speed / c.trail;
            }
            if (c.fade >= 1.0f || c.head - c.trail > rows_) {
                c.active = false;
                c.idle = static_cast<int>(Random() % 60);
                --active;
            }
        } else if (c.idle > 0) {
            --c.idle;
        } else if (active < wanted && RandomUnit() < 0.08f) {
            StartDrop(c, false);
            ++active;
        }
    }
}

void RainCore::UpdateColumnLevels(int cx) {
    const Column& c = columns_[cx];
    uint8_t* level = level_.data() + cx;
    uint8_t* glyph = glyph_.data() + cx;
    if (!c.active) {
        for (int cy = 0; cy < rows_; ++cy)
            level[static_cast<size_t>(cy) * cols_] = 0;
        return;
    }
    const int headRow = static_cast<int>(std::floor(c.head));
    const bool falling = c.fade == 0 && c.head < c.stopRow;
    // Brightness falls linearly along the trail and with the fade of a stopped drop.
    const int scale = static_cast<int>((1.0f - c.fade) * 250 * 256 / (c.trail + 1));
    const int first = std::max(0, headRow - c.trail), last = std::min(rows_ - 1, headRow);
    const uint32_t changeThreshold = changeThreshold_;
    for (int cy = 0; cy < rows_; ++cy) {
        const size_t i = static_cast<size_t>(cy) * cols_;
        uint8_t next = 0;
        if (cy >= first && cy <= last) {
            const int k = headRow - cy;
            if (k == 0 && falling) {
                next = kHeadLevel;
            } else {
                const int q = (c.trail + 1 - k) * scale >> 8;
                next = static_cast<uint8_t>(std::min(250, q / kLevelStep * kLevelStep));
            }
        }
        if (next == kHeadLevel && level[i] != kHeadLevel) {
            glyph[i] = static_cast<uint8_t>(Random() % atlas_.count); // the head writes anew
        } else if (next != 0 && Random() < changeThreshold) {
            glyph[i] = static_cast<uint8_t>(Random() % atlas_.count);
        }
        level[i] = next;
    }
}

namespace {

// Blends the ink over pixels [begin, end) of a row by each pixel's coverage.
void BlendSpan(Pixel* out, const Pixel* under, const uint8_t* cover, int begin, int end,
               Pixel colour, uint32_t inkAlpha) {
    int x = begin;
#if defined(__SSE2__)
    // Two pixels per register as 16-bit channels: out = under + (ink - under) * a / 256,
    // with the product taken as mulhi((ink - under) * 16, a * 16).
    const __m128i zero = _mm_setzero_si128();
    const __m128i ink = _mm_unpacklo_epi8(_mm_set1_epi32(static_cast<int>(colour)), zero);
    for (; x + 2 <= end; x += 2) {
        const uint32_t a0 = (cover[x] * inkAlpha) >> 8, a1 = (cover[x + 1] * inkAlpha) >> 8;
        if ((a0 | a1) == 0) continue;
        const __m128i alpha =
            _mm_set_epi16(0, short((a1 + (a1 >> 7)) << 4), short((a1 + (a1 >> 7)) << 4),
                          short((a1 + (a1 >> 7)) << 4), 0, short((a0 + (a0 >> 7)) << 4),
                          short((a0 + (a0 >> 7)) << 4), short((a0 + (a0 >> 7)) << 4));
        const __m128i below =
            _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(under + x)), zero);
        const __m128i delta = _mm_slli_epi16(_mm_sub_epi16(ink, below), 4);
        const __m128i mixed = _mm_add_epi16(below, _mm_mulhi_epi16(delta, alpha));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + x), _mm_packus_epi16(mixed, zero));
    }
#endif
    for (; x < end; ++x) {
        const uint32_t a = (cover[x] * inkAlpha) >> 8;
        if (a) out[x] = Mix(under[x], colour, a + (a >> 7));
    }
}

} // namespace

void RainCore::ComposeCell(int cx, int cy) {
    const int cw = atlas_.cellWidth, ch = atlas_.cellHeight;
    const int x0 = cx * cw, y0 = cy * ch;
    const int w = std::min(cw, width_ - x0), h = std::min(ch, height_ - y0);
    const size_t i = static_cast<size_t>(cy) * cols_ + cx;
    const uint8_t level = level_[i];
    const Ink ink = palette_[level];
    for (int y = 0; y < h; ++y) {
        const size_t offset = static_cast<size_t>(y0 + y) * width_ + x0;
        std::memcpy(frame_.data() + offset, base_.data() + offset, sizeof(Pixel) * w);
        if (level == 0) continue;
        // Only the span of the row that has ink is blended.
        const Span span = spans_[static_cast<size_t>(glyph_[i]) * ch + y];
        BlendSpan(frame_.data() + offset, base_.data() + offset,
                  atlas_.Glyph(glyph_[i]) + static_cast<size_t>(y) * cw, span.begin,
                  std::min<int>(span.end, w), ink.colour, ink.alpha);
    }
    drawnGlyph_[i] = glyph_[i];
    drawnLevel_[i] = level;
}

void RainCore::ComposeAll() {
    std::memcpy(frame_.data(), base_.data(), sizeof(Pixel) * frame_.size());
    for (int cy = 0; cy < rows_; ++cy) {
        for (int cx = 0; cx < cols_; ++cx) {
            const size_t i = static_cast<size_t>(cy) * cols_ + cx;
            if (level_[i]) ComposeCell(cx, cy);
            drawnGlyph_[i] = glyph_[i];
            drawnLevel_[i] = level_[i];
        }
    }
}

void RainCore::Step() {
    dirtyCount_ = 0;
    if (width_ == 0 || height_ == 0) return;
    if (cols_ == 0) { // no glyphs yet: show the background alone
        std::memcpy(frame_.data(), base_.data(), sizeof(Pixel) * frame_.size());
        return;
    }
    AdvanceColumns();
    for (int cx = 0; cx < cols_; ++cx)
        UpdateColumnLevels(cx);
    if (fullRedraw_) {
        ComposeAll();
        fullRedraw_ = false;
        dirtyCount_ = cols_ * rows_;
        return;
    }
    for (int cy = 0; cy < rows_; ++cy) {
        for (int cx = 0; cx < cols_; ++cx) {
            const size_t i = static_cast<size_t>(cy) * cols_ + cx;
            if (level_[i] == drawnLevel_[i] && (level_[i] == 0 || glyph_[i] == drawnGlyph_[i]))
                continue;
            ComposeCell(cx, cy);
            ++dirtyCount_;
        }
    }
}

} // namespace veskar
