// The one home for measuring text as it prints: the advance widths of the
// drafting font the forms print with, read through FreeType. The import wraps long
// names with it, the checker finds texts wider than their fields with it and the
// renderer fits texts into their fields with it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace ormelin::measure {

/// Width of a text in points as printed in the list's font.
using Measure = std::function<double(std::string_view)>;

/// The code points of UTF-8 text (a broken byte counts as one character).
template <typename F>
void ForEachCodePoint(std::string_view s, F f) {
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        int len = b < 0x80 ? 1 : (b >> 5) == 0x6 ? 2 : (b >> 4) == 0xE ? 3 : (b >> 3) == 0x1E ? 4 : 1;
        if (i + static_cast<std::size_t>(len) > s.size()) len = 1;
        char32_t cp = len == 1 ? b : static_cast<char32_t>(b & (0xFF >> (len + 1)));
        for (int k = 1; k < len; ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        f(cp);
        i += static_cast<std::size_t>(len);
    }
}

/// The measure of a font file at a size in points through FreeType, or nothing
/// when the font file cannot be loaded. A character the font lacks counts a full em.
std::optional<Measure> FontMeasure(const std::string& fontFile, double points = 14.0);
/// The font file the forms print with: the drafting font made from osifont, as
/// carried by the program (UseFormFontFile), built or installed, else osifont
/// itself; nothing when neither is there.
std::optional<std::string> FormFontFile();
/// The drafting font a program carries with it (the Calc extension's own copy),
/// looked for before the built and installed ones. Set once, before measuring.
void UseFormFontFile(const std::string& fontFile);
/// The family name of a font file (for fontconfig), or empty when it cannot be read.
std::string FontFamily(const std::string& fontFile);
/// The height of the font's capitals as a share of its em (OS/2 sCapHeight, else
/// the height of "H"), or nothing when the font file cannot be read. GOST 2.304
/// sizes are capital heights: the renderer sets the em from it.
std::optional<double> CapHeightPerEm(const std::string& fontFile);
/// A measure that assumes every character as wide as the widest of the font;
/// used when the font is missing.
Measure CoarseMeasure(double points = 14.0);
/// The measure of the form's font at the size, or the coarse measure when the
/// font cannot be loaded (coarse says which).
Measure FormMeasure(double points = 14.0, bool* coarse = nullptr);

/// The glyphs of a font file as a printed text sets them: each character's glyph
/// id and advance (in the font's units), read through FreeType like the measure's
/// widths, so that a text drawn with these advances is as wide as it was measured.
/// A character the font lacks is glyph 0.
class FontGlyphs {
public:
    struct Glyph {
        std::uint32_t id = 0;
        double advance = 0;  // font units, unhinted
    };
    /// Nothing when the font file cannot be loaded.
    static std::optional<FontGlyphs> Open(const std::string& fontFile);
    Glyph Of(char32_t cp) const;
    /// The advance of a glyph by its id.
    double AdvanceOf(std::uint32_t glyph) const;
    int UnitsPerEm() const;

private:
    struct Face;
    explicit FontGlyphs(std::shared_ptr<Face> face) : face_(std::move(face)) {}
    std::shared_ptr<Face> face_;
};

/// The width in points of text that fits a list column of the width in characters.
double FieldWidthPoints(double columnCharacters);

}  // namespace ormelin::measure
