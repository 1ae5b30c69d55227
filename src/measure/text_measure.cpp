// Text measured with the metrics of the font the forms print with.
//
// The forms name the drafting font ISOCPEUR at 14 pt italic; it prints with the
// drafting font made from the free osifont (fonts-osifont; cmake/make_drafting_font.py),
// or osifont itself, whose advance widths are those of the printed text. Widths are read
// through FreeType at 72 dpi, where one pixel is one point.
#include "measure/text_measure.hpp"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <filesystem>
#include <memory>
#include <unordered_map>
#include <vector>

namespace ormelin::measure {

namespace {

/// A loaded face and the advances read so far.
class FontFace {
public:
    FontFace(FT_Library lib, FT_Face face, double points) : lib_(lib), face_(face), points_(points) {}
    ~FontFace() {
        FT_Done_Face(face_);
        FT_Done_FreeType(lib_);
    }
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    double Width(std::string_view text) {
        double w = 0;
        ForEachCodePoint(text, [&](char32_t cp) { w += Advance(cp); });
        return w;
    }

private:
    double Advance(char32_t cp) {
        if (auto it = advances_.find(cp); it != advances_.end()) return it->second;
        double a = points_;   // a character the font lacks counts a full em
        const FT_UInt glyph = FT_Get_Char_Index(face_, cp);
        if (glyph != 0 && FT_Load_Glyph(face_, glyph, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) == 0) {
            a = static_cast<double>(face_->glyph->advance.x) / 64.0;
        }
        advances_.emplace(cp, a);
        return a;
    }

    FT_Library lib_;
    FT_Face face_;
    double points_;
    std::unordered_map<char32_t, double> advances_;
};

}  // namespace

std::optional<Measure> FontMeasure(const std::string& fontFile, double points) {
    FT_Library lib = nullptr;
    if (FT_Init_FreeType(&lib) != 0) return std::nullopt;
    FT_Face face = nullptr;
    if (FT_New_Face(lib, fontFile.c_str(), 0, &face) != 0) {
        FT_Done_FreeType(lib);
        return std::nullopt;
    }
    // 72 dpi: a pixel of the face is a point of the printed text.
    if (FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(points * 64.0), 72, 72) != 0) {
        FT_Done_Face(face);
        FT_Done_FreeType(lib);
        return std::nullopt;
    }
    auto f = std::make_shared<FontFace>(lib, face, points);
    return Measure([f](std::string_view text) { return f->Width(text); });
}

namespace {
std::string& CarriedFontFile() {
    static std::string file;
    return file;
}
}  // namespace

void UseFormFontFile(const std::string& fontFile) { CarriedFontFile() = fontFile; }

std::optional<std::string> FormFontFile() {
    std::error_code ec;
    if (const std::string& carried = CarriedFontFile(); !carried.empty() && std::filesystem::is_regular_file(carried, ec))
        return carried;
    const char* candidates[] = {
#ifdef ORMELIN_DRAFTING_FONT
        ORMELIN_DRAFTING_FONT, ORMELIN_DRAFTING_FONT_INSTALLED,
#endif
        "/usr/share/fonts/truetype/osifont/osifont.ttf", "/usr/share/fonts/truetype/osifont/osifont-lgpl3fe.ttf"};
    for (const char* c : candidates) {
        if (std::filesystem::is_regular_file(c, ec)) return std::string(c);
    }
    return std::nullopt;
}

std::string FontFamily(const std::string& fontFile) {
    std::string family;
    FT_Library lib = nullptr;
    if (FT_Init_FreeType(&lib) != 0) return family;
    FT_Face face = nullptr;
    if (FT_New_Face(lib, fontFile.c_str(), 0, &face) == 0) {
        if (face->family_name) family = face->family_name;
        FT_Done_Face(face);
    }
    FT_Done_FreeType(lib);
    return family;
}

std::optional<double> CapHeightPerEm(const std::string& fontFile) {
    std::optional<double> share;
    FT_Library lib = nullptr;
    if (FT_Init_FreeType(&lib) != 0) return share;
    FT_Face face = nullptr;
    if (FT_New_Face(lib, fontFile.c_str(), 0, &face) == 0) {
        const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
        if (os2 && os2->version >= 2 && os2->sCapHeight > 0 && face->units_per_EM > 0) {
            share = static_cast<double>(os2->sCapHeight) / face->units_per_EM;
        } else if (face->units_per_EM > 0) {
            const FT_UInt h = FT_Get_Char_Index(face, 'H');
            if (h != 0 && FT_Load_Glyph(face, h, FT_LOAD_NO_SCALE) == 0)
                share = static_cast<double>(face->glyph->metrics.height) / face->units_per_EM;
        }
        FT_Done_Face(face);
    }
    FT_Done_FreeType(lib);
    return share;
}

Measure CoarseMeasure(double points) {
    return [points](std::string_view text) {
        double n = 0;
        ForEachCodePoint(text, [&](char32_t) { n += 1; });
        return n * 0.75 * points;
    };
}

Measure FormMeasure(double points, bool* coarse) {
    if (auto file = FormFontFile()) {
        if (auto m = FontMeasure(*file, points)) {
            if (coarse) *coarse = false;
            return *m;
        }
    }
    if (coarse) *coarse = true;
    return CoarseMeasure(points);
}

struct FontGlyphs::Face {
    FT_Library lib = nullptr;
    FT_Face face = nullptr;
    // the characters met so far; the forms' alphabets (Latin, Cyrillic) directly
    mutable std::vector<Glyph> low = std::vector<Glyph>(0x500);
    mutable std::vector<bool> lowKnown = std::vector<bool>(0x500, false);
    mutable std::unordered_map<char32_t, Glyph> high;
    ~Face() {
        if (face) FT_Done_Face(face);
        if (lib) FT_Done_FreeType(lib);
    }
    Glyph Load(char32_t cp) const {
        Glyph g;
        g.id = FT_Get_Char_Index(face, cp);
        g.advance = Advance(g.id);
        return g;
    }
    double Advance(std::uint32_t id) const {
        // unscaled, unhinted: the advance in font units, as the measure's linear widths
        if (FT_Load_Glyph(face, id, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0) return 0;
        return static_cast<double>(face->glyph->advance.x);
    }
};

std::optional<FontGlyphs> FontGlyphs::Open(const std::string& fontFile) {
    auto f = std::make_shared<Face>();
    if (FT_Init_FreeType(&f->lib) != 0) return std::nullopt;
    if (FT_New_Face(f->lib, fontFile.c_str(), 0, &f->face) != 0 || f->face->units_per_EM == 0) return std::nullopt;
    return FontGlyphs(std::move(f));
}

FontGlyphs::Glyph FontGlyphs::Of(char32_t cp) const {
    if (cp < face_->low.size()) {
        if (!face_->lowKnown[cp]) {
            face_->low[cp] = face_->Load(cp);
            face_->lowKnown[cp] = true;
        }
        return face_->low[cp];
    }
    if (auto it = face_->high.find(cp); it != face_->high.end()) return it->second;
    return face_->high.emplace(cp, face_->Load(cp)).first->second;
}

double FontGlyphs::AdvanceOf(std::uint32_t glyph) const { return face_->Advance(glyph); }

int FontGlyphs::UnitsPerEm() const { return face_->face->units_per_EM; }

double FieldWidthPoints(double columnCharacters) {
    // A column w characters wide is w * 7 + 5 pixels at 96 dpi (7 pixels being the
    // digit width of the standard font Calibri 11, 5 pixels its padding), that is
    // (7w + 5) * 0.75 points. The cell keeps a margin on either side of its text;
    // 2 points each side are taken off, at least as much as the spreadsheets leave.
    constexpr double kPixel = 72.0 / 96.0;
    constexpr double kMargins = 4.0;
    return (columnCharacters * 7.0 + 5.0) * kPixel - kMargins;
}

}  // namespace ormelin::measure
