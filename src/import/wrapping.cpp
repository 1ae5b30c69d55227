// Long texts wrapped onto continuation rows, measured with the metrics of the
// font the forms print with.
//
// The forms name the drafting font ISOCPEUR at 14 pt italic; it prints with the
// drafting font made from the free osifont (fonts-osifont; cmake/make_drafting_font.py),
// or osifont itself, whose advance widths are those of the printed text. Widths are read
// through FreeType at 72 dpi, where one pixel is one point.
#include <ft2build.h>
#include FT_FREETYPE_H

#include <filesystem>
#include <unordered_map>

#include "import/bom.hpp"

namespace ormelin::import {

namespace {

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

std::optional<std::string> FormFontFile() {
    const char* candidates[] = {
#ifdef ORMELIN_DRAFTING_FONT
        ORMELIN_DRAFTING_FONT, ORMELIN_DRAFTING_FONT_INSTALLED,
#endif
        "/usr/share/fonts/truetype/osifont/osifont.ttf", "/usr/share/fonts/truetype/osifont/osifont-lgpl3fe.ttf"};
    std::error_code ec;
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

Measure CoarseMeasure(double points) {
    return [points](std::string_view text) {
        double n = 0;
        ForEachCodePoint(text, [&](char32_t) { n += 1; });
        return n * 0.75 * points;
    };
}

double FieldWidthPoints(double columnCharacters) {
    // A column w characters wide is w * 7 + 5 pixels at 96 dpi (7 pixels being the
    // digit width of the standard font Calibri 11, 5 pixels its padding), that is
    // (7w + 5) * 0.75 points. The cell keeps a margin on either side of its text;
    // 2 points each side are taken off, at least as much as the spreadsheets leave.
    constexpr double kPixel = 72.0 / 96.0;
    constexpr double kMargins = 4.0;
    return (columnCharacters * 7.0 + 5.0) * kPixel - kMargins;
}

namespace {

/// A unit symbol of GOST 8.417 that must stay on the line of its number.
bool IsUnitWord(std::string_view w) {
    static const char* const kUnits[] = {"Ом", "кОм", "МОм", "ГОм", "мОм", "Ф",  "пФ", "нФ", "мкФ", "мФ",
                                         "Гн", "нГн", "мкГн", "мГн", "Гц",  "кГц", "МГц", "ГГц", "В",  "мВ",
                                         "кВ", "А",  "мА", "мкА", "Вт",  "мВт", "кВт", "%",  "°C", "мм"};
    for (const char* u : kUnits) {
        if (w == u) return true;
    }
    return false;
}

bool EndsWithDigit(std::string_view w) { return !w.empty() && w.back() >= '0' && w.back() <= '9'; }
bool StartsWithDigit(std::string_view w) { return !w.empty() && w.front() >= '0' && w.front() <= '9'; }
bool HasDigit(std::string_view w) { return w.find_first_of("0123456789") != std::string_view::npos; }

/// The words of a text that no line break may part, each kept with its blanks:
/// a number and its unit or tolerance ("0,5 А", "±5 %", "Н50-0,1 мкФ"), a
/// document designation and its "ТУ" ("АЖЯР.673546.007 ТУ", "ТУ 16-526.463-80"),
/// a standard and its number ("ГОСТ 21931-76", "ГОСТ Р 52002-2003").
std::vector<std::string> Unbreakable(std::string_view text) {
    std::vector<std::string> words;
    for (std::size_t i = 0; i < text.size();) {
        while (i < text.size() && text[i] == ' ') ++i;
        if (i >= text.size()) break;
        std::size_t j = text.find(' ', i);
        if (j == std::string_view::npos) j = text.size();
        words.emplace_back(text.substr(i, j - i));
        i = j;
    }
    std::vector<std::string> out;
    bool glueNext = false;
    std::string_view previous;
    for (std::size_t k = 0; k < words.size(); ++k) {
        const std::string& w = words[k];
        const bool tolerance = w.rfind("±", 0) == 0 && (EndsWithDigit(previous) || IsUnitWord(previous));
        const bool toPrevious = !out.empty() && (glueNext || tolerance || (IsUnitWord(w) && EndsWithDigit(previous)) ||
                                                 (w == "ТУ" && HasDigit(previous)));
        if (toPrevious) {
            out.back() += " " + w;
        } else {
            out.push_back(w);
        }
        const bool nextIsNumber = k + 1 < words.size() && StartsWithDigit(words[k + 1]);
        glueNext = w == "ГОСТ" || w == "ОСТ" || w == "ОСТ4" || w == "СТП" || w == "ГОСТ Р" ||
                   (w == "Р" && previous == "ГОСТ") || (w == "ТУ" && !toPrevious && nextIsNumber) ||
                   w == "±";
        previous = w;
    }
    return out;
}

}  // namespace

std::vector<std::string> Wrap(std::string_view text, double widthPoints, const Measure& measure) {
    std::vector<std::string> lines;
    std::string line;
    for (const std::string& word : Unbreakable(text)) {
        if (line.empty()) {
            line = word;
            continue;
        }
        std::string longer = line + " " + word;
        if (measure(longer) <= widthPoints) {
            line = std::move(longer);
        } else {
            lines.push_back(std::move(line));
            line = word;
        }
    }
    if (!line.empty() || lines.empty()) lines.push_back(std::move(line));
    return lines;
}

}  // namespace ormelin::import
