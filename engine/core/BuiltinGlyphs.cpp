// Our own 5x7 glyph shapes: the fallback where the machine has no font with a set's glyphs, and
// the atlas of the native benchmark. Katakana shapes are mirrored, as the rain shows them.
#include "RainCore.h"

#include <algorithm>
#include <cstring>

namespace veskar {
namespace {

constexpr int kPatternWidth = 5;
constexpr int kPatternHeight = 7;

// Each glyph: 7 rows of 5 cells, row by row; '#' is ink.
const char* const kKatakana[] = {
    "#####....#..##...#....#...#...#....", "....#...#...##..#.#....#....#....#.",
    "..#..######...#....#...#...#..##...", ".....#####..#....#....#....#..#####",
    "...#.#####...#...##..#.#.#..#...##.", "..#..#####..#.#..#.#.#..#.#..##..#.",
    "..#..#####..#..#####..#....#....#..", ".#....#####...#....#...#...#..##...",
    ".#....#####..#....#....#...#...#...", ".....#####....#....#....#....######",
    ".#.#.#####.#.#..#.#....#...#...#...", "##.......###..#....#...#...#..##...",
    "#####....#...#...#...#.#.#...#.....", ".#....#...#####.#..#.#.#..#.....###",
    "#...##...#.#..#....#...#...#..##...", ".#....#####...#.##.#...#...#..##...",
    "...#####....#..#####..#....#...#...", "#.#.##.#.#....#....#...#...#..##...",
    "####......#####..#....#...#...#....", ".#....#....##...#.#..#....#....#...",
    "..#..#####..#....#....#...#...#....", "......###................#####.....",
    "#####....#.#.#...#...#.#.#.........", "..#..#####...#...#...###.#.#.#..#..",
    "....#....#...#....#...#...#...#....", "......#.#..#.#..#..##...##...#.....",
    "#....#...#####.#....#....#.....####", "#####....#....#...#...#...#...#....",
    "..#..#####..#..#.#.##.#.#..#...##..", "#####....#...#..##....#.....#......",
    ".##.....#..##.....#.###.....##.....", "..#....#...#....#...#..#.#####....#",
    "....##..#..##....#...#.#.#.........", ".#...#####.#..#.#.#...#....#....#..",
    "......###....#....#....#.#####.....", "#####....#....######....#....######",
    ".###......#####....#...#...#..##...", "#..#.#..#.#..#.#..#....#...#...#...",
    "..#.#..#.#..#.#.#..#.#.#.#.##......", "#....#....#....#...##..#.#.#..##...",
    ".....######...##...##...######.....", "######...##...#....#...#...#..##...",
    "#.....#..#....#....#...#...#..##...",
};

const char* const kDigits[] = {
    ".###.#...##..###.#.###..##...#.###.", "..#...##....#....#....#....#...###.",
    ".###.#...#....#...#...#...#...#####", "#####...#...#.....#.....##...#.###.",
    "...#...##..#.#.#..#.#####...#....#.", "######....####.....#....##...#.###.",
    "..##..#...#....####.#...##...#.###.", "#####....#...#...#...#....#....#...",
    ".###.#...##...#.###.#...##...#.###.", ".###.#...##...#.####....#...#..##..",
};

const char* const kLatin[] = {
    ".###.#...##...#######...##...##...#", "####.#...##...#####.#...##...#####.",
    ".###.#...##....#....#....#...#.###.", "###..#..#.#...##...##...##..#.###..",
    "######....#....####.#....#....#####", "######....#....####.#....#....#....",
    ".###.#...##....#.####...##...#.####", "#...##...##...#######...##...##...#",
    ".###...#....#....#....#....#...###.", "..###...#....#....#....#.#..#..##..",
    "#...##..#.#.#..##...#.#..#..#.#...#", "#....#....#....#....#....#....#####",
    "#...###.###.#.##.#.##...##...##...#", "#...##...###..##.#.##..###...##...#",
    ".###.#...##...##...##...##...#.###.", "####.#...##...#####.#....#....#....",
    ".###.#...##...##...##.#.##..#..##.#", "####.#...##...#####.#.#..#..#.#...#",
    ".#####....#.....###.....#....#####.", "#####..#....#....#....#....#....#..",
    "#...##...##...##...##...##...#.###.", "#...##...##...##...##...#.#.#...#..",
    "#...##...##...##.#.##.#.##.#.#.#.#.", "#...##...#.#.#...#...#.#.#...##...#",
    "#...##...#.#.#...#....#....#....#..", "#####....#...#...#...#...#....#####",
    ".......#....#.........#....#.......", "..........#####.....#####..........",
    ".......#....#..#####..#....#.......", ".....#.#.#.###.#####.###.#.#.#.....",
    "...#...#...#...#.....#.....#.....#.", ".#.....#.....#.....#...#...#...#...",
    "..#...#####.#...###...#.#####...#..", "##...##..#...#...#...#...#..##...##",
};

struct PatternSet {
    const char* const* glyphs;
    int count;
    bool mirrored;
};

PatternSet PatternsFor(int glyphSet) {
    switch (glyphSet) {
    case 1: return {kDigits, static_cast<int>(sizeof kDigits / sizeof *kDigits), false};
    case 2: return {kLatin, static_cast<int>(sizeof kLatin / sizeof *kLatin), false};
    default: return {kKatakana, static_cast<int>(sizeof kKatakana / sizeof *kKatakana), true};
    }
}

bool Ink(const char* pattern, int x, int y) {
    if (x < 0 || y < 0 || x >= kPatternWidth || y >= kPatternHeight) return false;
    size_t index = static_cast<size_t>(y * kPatternWidth + x);
    return index < std::strlen(pattern) && pattern[index] == '#';
}

// Renders one pattern into a cell by 4x4 supersampling, which gives soft, anti-aliased edges.
void RenderPattern(const char* pattern, bool mirrored, int cellW, int cellH, uint8_t* out) {
    const int marginX = std::max(1, cellW / 8);
    const int marginY = std::max(1, cellH / 10);
    const double boxW = std::max(1, cellW - 2 * marginX);
    const double boxH = std::max(1, cellH - 2 * marginY);
    for (int y = 0; y < cellH; ++y) {
        for (int x = 0; x < cellW; ++x) {
            int hits = 0;
            for (int sy = 0; sy < 4; ++sy) {
                for (int sx = 0; sx < 4; ++sx) {
                    double u = (x + (sx + 0.5) / 4.0 - marginX) / boxW * kPatternWidth;
                    double v = (y + (sy + 0.5) / 4.0 - marginY) / boxH * kPatternHeight;
                    if (u < 0 || v < 0) continue;
                    int px = static_cast<int>(u), py = static_cast<int>(v);
                    if (mirrored) px = kPatternWidth - 1 - px;
                    hits += Ink(pattern, px, py) ? 1 : 0;
                }
            }
            out[y * cellW + x] = static_cast<uint8_t>(hits * 255 / 16);
        }
    }
}

} // namespace

int BuiltinGlyphCount(int glyphSet) {
    return PatternsFor(glyphSet).count;
}

void BuildBuiltinAtlas(GlyphAtlas& atlas, int glyphSet, int cellWidth, int cellHeight) {
    PatternSet set = PatternsFor(glyphSet);
    atlas.cellWidth = cellWidth;
    atlas.cellHeight = cellHeight;
    atlas.count = set.count;
    atlas.coverage.assign(static_cast<size_t>(set.count) * cellWidth * cellHeight, 0);
    for (int i = 0; i < set.count; ++i) {
        RenderPattern(set.glyphs[i], set.mirrored, cellWidth, cellHeight,
                      atlas.coverage.data() + static_cast<size_t>(i) * cellWidth * cellHeight);
    }
}

} // namespace veskar
