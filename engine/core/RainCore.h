// The portable heart of the rendering engine: the rain simulation and a software compositor that
// writes a 32-bit pixel buffer. No Windows headers here, so the same code builds natively for
// the benchmark and the unit tests.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace veskar {

// Pixels are 0x00RRGGBB, the memory order of a 32-bit top-down DIB (B, G, R, X).
using Pixel = uint32_t;

struct Settings {
    double fallSpeed;   // A
    double density;     // B
    double trailLength; // C
    double glyphHeight; // D
    double changeRate;  // E
    double headGlow;    // F
    uint8_t tintR, tintG, tintB, blend;
    int backgroundMode;   // 0 image mixed with tint, 1 tint alone
    uint32_t glyphColour; // COLORREF layout, 0x00BBGGRR
    int glyphSet;         // 0 katakana, 1 digits, 2 latin
    uint32_t seed;
};

Settings DefaultSettings();
double ClampParam(int index, double value); // index 0..5 for A..F
void ClampSettings(Settings& s);

// Coverage of every glyph of a set, each cellWidth x cellHeight bytes (0 = none, 255 = full).
struct GlyphAtlas {
    int cellWidth = 0;
    int cellHeight = 0;
    int count = 0;
    std::vector<uint8_t> coverage;
    const uint8_t* Glyph(int index) const {
        return coverage.data() + static_cast<size_t>(index) * cellWidth * cellHeight;
    }
};

void CellSizeFor(double glyphHeight, int& cellWidth, int& cellHeight);
// Our own glyph shapes, used where the machine has no font with the set's glyphs.
void BuildBuiltinAtlas(GlyphAtlas& atlas, int glyphSet, int cellWidth, int cellHeight);
int BuiltinGlyphCount(int glyphSet);

class RainCore {
  public:
    RainCore();
    void SetSettings(const Settings& settings);
    const Settings& GetSettings() const { return settings_; }
    // Needs a rebuilt atlas when the glyph set or the glyph height changed.
    bool AtlasStale() const;
    void SetAtlas(GlyphAtlas atlas);
    void SetImage(const Pixel* pixels, int width, int height);
    bool HasImage() const { return imageWidth_ > 0; }
    const std::vector<Pixel>& Image() const { return image_; }
    int ImageWidth() const { return imageWidth_; }
    int ImageHeight() const { return imageHeight_; }
    void Reseed(uint32_t seed);
    void Resize(int width, int height);
    // One animation step; recomposes the changed cells of the frame buffer.
    void Step();
    const Pixel* Frame() const { return frame_.data(); }
    int Width() const { return width_; }
    int Height() const { return height_; }
    int DirtyCellsLastFrame() const { return dirtyCount_; }

  private:
    struct Column {
        float head;  // row of the drop's head
        float speed; // rows per frame
        float fade;  // 0 while falling, grows once the drop has stopped
        int trail;   // length in glyphs
        int stopRow; // row where the head stops
        int idle;    // frames before the column may start again
        bool active;
    };
    struct Span { // the inked columns of one row of a glyph
        uint16_t begin, end;
    };
    struct Ink {
        Pixel colour;
        uint32_t alpha; // 0..256
    };

    uint32_t Random();
    float RandomUnit();
    void RebuildPalette();
    void RebuildBase();
    void RebuildGrid();
    void StartDrop(Column& column, bool anywhere);
    void AdvanceColumns();
    void UpdateColumnLevels(int cx);
    void ComposeCell(int cx, int cy);
    void ComposeAll();

    Settings settings_;
    GlyphAtlas atlas_;
    std::vector<Span> spans_;
    int atlasSet_ = -1, atlasCellW_ = 0, atlasCellH_ = 0;
    std::vector<Pixel> image_;
    int imageWidth_ = 0, imageHeight_ = 0;
    std::vector<Pixel> base_;
    std::vector<Pixel> frame_;
    int width_ = 0, height_ = 0;
    int cols_ = 0, rows_ = 0;
    std::vector<Column> columns_;
    std::vector<uint8_t> glyph_, level_, drawnGlyph_, drawnLevel_;
    Ink palette_[256];
    uint32_t rng_ = 1;
    uint32_t changeThreshold_ = 0;
    int dirtyCount_ = 0;
    bool fullRedraw_ = true;
};

} // namespace veskar
