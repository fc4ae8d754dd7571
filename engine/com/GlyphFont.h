// Builds a glyph atlas from an installed font that has every glyph of the set, or from our own
// glyph shapes where the machine has no such font.
#pragma once
#include <windows.h>
#include "RainCore.h"

namespace veskar {
// Returns true when a font was used, false when the built-in shapes were.
bool BuildGlyphAtlas(GlyphAtlas& atlas, int glyphSet, int cellWidth, int cellHeight);
} // namespace veskar
