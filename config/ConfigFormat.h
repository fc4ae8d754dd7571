// The configuration file format: a small, hand-editable ini-style text. Portable (no Windows
// headers), so the parser also builds natively for its fuzz target and unit tests.
//
//   ; Corvane configuration
//   [Engine]
//   Version=1
//   FallSpeed=0.55        (parameter A)   ... the six parameters, by name
//   Tint=0,0,0            red, green, blue
//   Blend=64
//   BackgroundMode=image  image | plain
//   GlyphColour=30FF60    RRGGBB
//   GlyphSet=katakana     katakana | digits | latin
//   [Host]
//   FrameInterval=50      milliseconds
//   Priority=idle         idle | below normal | normal | above normal | high
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace corvane_config {

// Files larger than this are not ours: nothing beyond it is read.
constexpr size_t kMaxFileSize = 64 * 1024;
constexpr int kFormatVersion = 1;
constexpr int kMinFrameInterval = 10;
constexpr int kMaxFrameInterval = 1000;

// The Windows priority classes, by value, so that this file needs no Windows headers.
enum PriorityClass : uint32_t {
    kIdle = 0x40,
    kBelowNormal = 0x4000,
    kNormal = 0x20,
    kAboveNormal = 0x8000,
    kHigh = 0x80,
};

struct Values {
    double params[6]; // A..F
    uint8_t tint[3];  // red, green, blue
    uint8_t blend;
    int backgroundMode;   // 0 image, 1 plain
    uint32_t glyphColour; // COLORREF, 0x00BBGGRR
    int glyphSet;         // 0 katakana, 1 digits, 2 latin
    int frameInterval;    // ms
    uint32_t priorityClass;
};

Values DefaultValues();

// Validates the whole text before anything is taken; on failure `out` is untouched and
// `error` says why. Out-of-range numbers are clamped; unknown keys and sections are ignored.
bool Parse(const char* data, size_t size, Values& out, std::string* error = nullptr);
std::string Format(const Values& values);
const char* PriorityName(uint32_t priorityClass); // null for classes the format lacks

} // namespace corvane_config
