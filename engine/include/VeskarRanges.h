// The documented ranges and defaults of the engine's settings, without Windows headers, so
// the configuration file parser can use them natively as well.
#pragma once

// Parameters A..F: doubles, stored clamped to [min, max].
//   A fall speed          glyph rows per frame      0.05 .. 4.0    default 0.55
//   B density             share of active columns   0.0  .. 1.0    default 0.55
//   C trail length        glyphs                    2    .. 120    default 20
//   D glyph height        pixels                    8    .. 96     default 16
//   E glyph change rate   changes per glyph/frame   0.0  .. 1.0    default 0.03
//   F head glow           brightness of the head    0.0  .. 1.0    default 0.85
#define VESKAR_PARAM_A_MIN 0.05
#define VESKAR_PARAM_A_MAX 4.0
#define VESKAR_PARAM_A_DEFAULT 0.55
#define VESKAR_PARAM_B_MIN 0.0
#define VESKAR_PARAM_B_MAX 1.0
#define VESKAR_PARAM_B_DEFAULT 0.55
#define VESKAR_PARAM_C_MIN 2.0
#define VESKAR_PARAM_C_MAX 120.0
#define VESKAR_PARAM_C_DEFAULT 20.0
#define VESKAR_PARAM_D_MIN 8.0
#define VESKAR_PARAM_D_MAX 96.0
#define VESKAR_PARAM_D_DEFAULT 16.0
#define VESKAR_PARAM_E_MIN 0.0
#define VESKAR_PARAM_E_MAX 1.0
#define VESKAR_PARAM_E_DEFAULT 0.03
#define VESKAR_PARAM_F_MIN 0.0
#define VESKAR_PARAM_F_MAX 1.0
#define VESKAR_PARAM_F_DEFAULT 0.85

// Other defaults: mode 0 (image mixed with the tint), blend 64 over a black tint, a green
// glyph colour (COLORREF 0x00BBGGRR), katakana.
#define VESKAR_DEFAULT_BLEND 64
#define VESKAR_DEFAULT_GLYPH_COLOUR_VALUE 0x0060FF30u
