// Parser and writer of the configuration file format. Every input is treated as hostile:
// bounded, checked for binary content, validated completely before any value is used.
#include "ConfigFormat.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "VeskarRanges.h"

namespace corvane_config {
namespace {

struct ParamKey {
    const char* name;
    double min, max;
};
const ParamKey kParams[6] = {
    {"FallSpeed", VESKAR_PARAM_A_MIN, VESKAR_PARAM_A_MAX},
    {"Density", VESKAR_PARAM_B_MIN, VESKAR_PARAM_B_MAX},
    {"TrailLength", VESKAR_PARAM_C_MIN, VESKAR_PARAM_C_MAX},
    {"GlyphHeight", VESKAR_PARAM_D_MIN, VESKAR_PARAM_D_MAX},
    {"GlyphChangeRate", VESKAR_PARAM_E_MIN, VESKAR_PARAM_E_MAX},
    {"HeadGlow", VESKAR_PARAM_F_MIN, VESKAR_PARAM_F_MAX},
};

struct Name {
    const char* text;
    uint32_t value;
};
const Name kPriorities[] = {{"idle", kIdle},
                            {"below normal", kBelowNormal},
                            {"normal", kNormal},
                            {"above normal", kAboveNormal},
                            {"high", kHigh}};
const Name kGlyphSets[] = {{"katakana", 0}, {"digits", 1}, {"latin", 2}};
const Name kModes[] = {{"image", 0}, {"plain", 1}};

// Keys that every file of ours has; a file without one of them is truncated or not ours.
enum Required : unsigned {
    kHasVersion = 1u << 0,
    kHasParams = 0x3Fu << 1, // one bit per parameter
    kHasTint = 1u << 7,
    kHasBlend = 1u << 8,
    kHasMode = 1u << 9,
    kHasColour = 1u << 10,
    kHasGlyphSet = 1u << 11,
    kHasInterval = 1u << 12,
    kHasPriority = 1u << 13,
    kHasAll = (1u << 14) - 1,
};

std::string Trim(const std::string& text) {
    size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string::npos) return std::string();
    size_t end = text.find_last_not_of(" \t");
    return text.substr(begin, end - begin + 1);
}

bool EqualsIgnoringCase(const std::string& a, const char* b) {
    size_t n = std::strlen(b);
    if (a.size() != n) return false;
    for (size_t i = 0; i < n; ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

// A decimal number: [sign] digits [. digits] [e [sign] digits], nothing else. The syntax is
// checked here; strtod then converts it correctly rounded (the host never changes the C
// locale, so the decimal point is '.').
bool ParseNumber(const std::string& text, double& out) {
    const size_t n = text.size();
    if (n == 0 || n > 64) return false;
    size_t i = 0;
    if (text[i] == '+' || text[i] == '-') ++i;
    size_t digits = 0;
    while (i < n && text[i] >= '0' && text[i] <= '9')
        ++i, ++digits;
    if (i < n && text[i] == '.')
        for (++i; i < n && text[i] >= '0' && text[i] <= '9'; ++i)
            ++digits;
    if (digits == 0) return false;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
        size_t exponentDigits = 0;
        while (i < n && text[i] >= '0' && text[i] <= '9')
            ++i, ++exponentDigits;
        if (exponentDigits == 0) return false;
    }
    if (i != n) return false;
    const double value = std::strtod(text.c_str(), nullptr);
    if (!std::isfinite(value)) return false;
    out = value;
    return true;
}

bool ParseByte(const std::string& text, uint8_t& out) {
    double value;
    if (!ParseNumber(Trim(text), value)) return false;
    out = static_cast<uint8_t>(std::clamp(std::lround(std::clamp(value, -1.0, 256.0)), 0L, 255L));
    return true;
}

bool ParseName(const std::string& text, const Name* names, size_t count, uint32_t& out) {
    for (size_t i = 0; i < count; ++i)
        if (EqualsIgnoringCase(text, names[i].text)) return out = names[i].value, true;
    double number;
    if (!ParseNumber(text, number)) return false;
    for (size_t i = 0; i < count; ++i)
        if (number == names[i].value) return out = names[i].value, true;
    return false;
}

bool ParseTint(const std::string& text, uint8_t tint[3]) {
    size_t first = text.find(','), second = text.find(',', first + 1);
    if (first == std::string::npos || second == std::string::npos ||
        text.find(',', second + 1) != std::string::npos)
        return false;
    return ParseByte(text.substr(0, first), tint[0]) &&
           ParseByte(text.substr(first + 1, second - first - 1), tint[1]) &&
           ParseByte(text.substr(second + 1), tint[2]);
}

bool ParseColour(const std::string& text, uint32_t& colourRef) {
    std::string hex = text.size() == 7 && text[0] == '#' ? text.substr(1) : text;
    if (hex.size() != 6) return false;
    uint32_t rgb = 0;
    for (char c : hex) {
        int digit = (c >= '0' && c <= '9')   ? c - '0'
                    : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                    : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                             : -1;
        if (digit < 0) return false;
        rgb = rgb << 4 | static_cast<uint32_t>(digit);
    }
    colourRef = ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
    return true;
}

struct Parser {
    Values values = DefaultValues();
    unsigned seen = 0;
    std::string section;
    std::string error;

    bool Fail(const std::string& why) {
        error = why;
        return false;
    }

    bool EngineKey(const std::string& key, const std::string& value) {
        for (int i = 0; i < 6; ++i) {
            if (!EqualsIgnoringCase(key, kParams[i].name)) continue;
            double number;
            if (!ParseNumber(value, number)) return Fail(key + " is not a number");
            values.params[i] = std::clamp(number, kParams[i].min, kParams[i].max);
            seen |= 1u << (1 + i);
            return true;
        }
        uint32_t named = 0;
        if (EqualsIgnoringCase(key, "Version")) {
            double version;
            if (!ParseNumber(value, version) || version != kFormatVersion)
                return Fail("unsupported version " + value);
            seen |= kHasVersion;
        } else if (EqualsIgnoringCase(key, "Tint")) {
            if (!ParseTint(value, values.tint)) return Fail("Tint is not red,green,blue");
            seen |= kHasTint;
        } else if (EqualsIgnoringCase(key, "Blend")) {
            if (!ParseByte(value, values.blend)) return Fail("Blend is not a number");
            seen |= kHasBlend;
        } else if (EqualsIgnoringCase(key, "BackgroundMode")) {
            if (!ParseName(value, kModes, 2, named)) return Fail("unknown BackgroundMode");
            values.backgroundMode = static_cast<int>(named);
            seen |= kHasMode;
        } else if (EqualsIgnoringCase(key, "GlyphColour")) {
            if (!ParseColour(value, values.glyphColour)) return Fail("GlyphColour is not RRGGBB");
            seen |= kHasColour;
        } else if (EqualsIgnoringCase(key, "GlyphSet")) {
            if (!ParseName(value, kGlyphSets, 3, named)) return Fail("unknown GlyphSet");
            values.glyphSet = static_cast<int>(named);
            seen |= kHasGlyphSet;
        }
        return true; // unknown keys are ignored
    }

    bool HostKey(const std::string& key, const std::string& value) {
        if (EqualsIgnoringCase(key, "FrameInterval")) {
            double ms;
            if (!ParseNumber(value, ms)) return Fail("FrameInterval is not a number");
            values.frameInterval = static_cast<int>(
                std::lround(std::clamp(ms, double(kMinFrameInterval), double(kMaxFrameInterval))));
            seen |= kHasInterval;
        } else if (EqualsIgnoringCase(key, "Priority")) {
            uint32_t priority = 0;
            if (!ParseName(value, kPriorities, sizeof kPriorities / sizeof *kPriorities, priority))
                return Fail("unknown Priority");
            values.priorityClass = priority;
            seen |= kHasPriority;
        }
        return true;
    }

    bool Line(const std::string& raw) {
        std::string line = Trim(raw);
        if (line.empty() || line[0] == ';' || line[0] == '#') return true;
        if (line[0] == '[') {
            if (line.back() != ']') return Fail("bad section header");
            section = Trim(line.substr(1, line.size() - 2));
            return true;
        }
        size_t equals = line.find('=');
        if (equals == std::string::npos) return Fail("a line without '='");
        const std::string key = Trim(line.substr(0, equals)), value = Trim(line.substr(equals + 1));
        if (EqualsIgnoringCase(section, "Engine")) return EngineKey(key, value);
        if (EqualsIgnoringCase(section, "Host")) return HostKey(key, value);
        return true; // unknown sections are ignored
    }
};

} // namespace

Values DefaultValues() {
    Values v = {};
    const double params[6] = {VESKAR_PARAM_A_DEFAULT, VESKAR_PARAM_B_DEFAULT,
                              VESKAR_PARAM_C_DEFAULT, VESKAR_PARAM_D_DEFAULT,
                              VESKAR_PARAM_E_DEFAULT, VESKAR_PARAM_F_DEFAULT};
    std::copy(params, params + 6, v.params);
    v.blend = VESKAR_DEFAULT_BLEND;
    v.glyphColour = VESKAR_DEFAULT_GLYPH_COLOUR_VALUE;
    v.frameInterval = 50;
    v.priorityClass = kIdle;
    return v;
}

const char* PriorityName(uint32_t priorityClass) {
    for (const Name& name : kPriorities)
        if (name.value == priorityClass) return name.text;
    return nullptr;
}

bool Parse(const char* data, size_t size, Values& out, std::string* error) {
    Parser parser;
    auto fail = [&](const std::string& why) {
        if (error) *error = why;
        return false;
    };
    if (!data || size == 0) return fail("empty file");
    if (size > kMaxFileSize) return fail("file too large");
    size_t start = 0;
    if (size >= 3 && std::memcmp(data, "\xEF\xBB\xBF", 3) == 0) start = 3; // UTF-8 mark
    std::string line;
    for (size_t i = start; i <= size; ++i) {
        const char c = i < size ? data[i] : '\n';
        if (c == '\n') {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (!parser.Line(line)) return fail(parser.error);
            line.clear();
        } else if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\r') {
            return fail("binary content");
        } else {
            line += c;
        }
    }
    if (!(parser.seen & kHasVersion)) return fail("not a configuration file of ours");
    if ((parser.seen & kHasAll) != kHasAll) return fail("missing keys: the file is truncated");
    out = parser.values;
    return true;
}

std::string Format(const Values& v) {
    static const char* const kSetNames[] = {"katakana", "digits", "latin"};
    const char* priority = PriorityName(v.priorityClass);
    char text[1024];
    const uint32_t c = v.glyphColour;
    std::snprintf(text, sizeof text,
                  "; Corvane configuration. Numbers out of range are clamped when read.\r\n"
                  "[Engine]\r\nVersion=%d\r\n"
                  "; glyph rows per frame, 0.05 .. 4\r\nFallSpeed=%.17g\r\n"
                  "; share of active columns, 0 .. 1\r\nDensity=%.17g\r\n"
                  "; glyphs, 2 .. 120\r\nTrailLength=%.17g\r\n"
                  "; pixels, 8 .. 96\r\nGlyphHeight=%.17g\r\n"
                  "; changes per glyph and frame, 0 .. 1\r\nGlyphChangeRate=%.17g\r\n"
                  "; 0 .. 1\r\nHeadGlow=%.17g\r\n"
                  "; red,green,blue\r\nTint=%u,%u,%u\r\n"
                  "; 0 = the tint alone .. 255 = the background image in full\r\nBlend=%u\r\n"
                  "; image | plain\r\nBackgroundMode=%s\r\n"
                  "; RRGGBB\r\nGlyphColour=%02X%02X%02X\r\n"
                  "; katakana | digits | latin\r\nGlyphSet=%s\r\n"
                  "[Host]\r\n; milliseconds per frame, %d .. %d\r\nFrameInterval=%d\r\n"
                  "; idle | below normal | normal | above normal | high\r\nPriority=%s\r\n",
                  kFormatVersion, v.params[0], v.params[1], v.params[2], v.params[3], v.params[4],
                  v.params[5], v.tint[0], v.tint[1], v.tint[2], v.blend,
                  v.backgroundMode == 1 ? "plain" : "image", c & 0xFF, (c >> 8) & 0xFF,
                  (c >> 16) & 0xFF, kSetNames[std::clamp(v.glyphSet, 0, 2)], kMinFrameInterval,
                  kMaxFrameInterval,
                  std::clamp(v.frameInterval, kMinFrameInterval, kMaxFrameInterval),
                  priority ? priority : "idle");
    return text;
}

} // namespace corvane_config
