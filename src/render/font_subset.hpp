// The drafting font as a PDF embeds it: a TrueType font read from its file, cut
// down to the glyphs a print uses (the other glyphs emptied, so that glyph ids
// stay those of the whole font), with what a PDF font descriptor says of it.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace ormelin::render {

/// What a PDF font descriptor says of a TrueType font, in the font's units.
struct FontFacts {
    std::string postScriptName;  // "name" table id 6, else "Font"
    int unitsPerEm = 1000;
    int xMin = 0, yMin = 0, xMax = 0, yMax = 0;  // "head": the glyphs' box
    int ascent = 0, descent = 0;                  // "hhea"
    int capHeight = 0;                            // "OS/2" version 2 or later, else the ascent
    double italicAngle = 0;                       // "post"
    int numGlyphs = 0;
};

/// A TrueType font file's bytes. Throws std::runtime_error naming what is wrong
/// when the file cannot be read or is no TrueType font with glyph outlines.
class TrueTypeFont {
public:
    explicit TrueTypeFont(const std::string& file);

    const FontFacts& Facts() const { return facts_; }

    /// The font with only the glyphs given (and glyph 0, and the components of
    /// the composite ones among them): glyf and loca rewritten, the other glyphs
    /// empty under their own ids; head, hhea, hmtx, maxp, cvt, fpgm, prep and OS/2
    /// kept; checksums recomputed.
    std::string Subset(const std::set<std::uint32_t>& glyphs) const;

private:
    struct Table {
        std::uint32_t tag = 0, offset = 0, length = 0;
    };
    const Table* Find(const char* tag) const;
    std::string_view Bytes(const Table& t) const;
    /// The byte range of a glyph in "glyf".
    std::pair<std::uint32_t, std::uint32_t> GlyphRange(std::uint32_t glyph) const;

    std::string data_;
    std::vector<Table> tables_;
    FontFacts facts_;
    bool longLoca_ = false;
};

/// The six capitals a subset font's name begins with ("ABCDEF+"), from the glyphs
/// it holds: the same glyphs, the same tag.
std::string SubsetTag(const std::set<std::uint32_t>& glyphs);

}  // namespace ormelin::render
