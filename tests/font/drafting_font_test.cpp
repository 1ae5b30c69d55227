// The drafting font the forms print with (cmake/make_drafting_font.py): every
// character the forms, the lists and the demo show is drawn, none is missing,
// empty or a filled box; and the font is osifont under a name of its own.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SFNT_NAMES_H
#include FT_TRUETYPE_IDS_H
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace {

/// What is wrong with the way a font draws a character.
enum class Flaw { kMissing, kEmpty, kFilledBox };

std::string Describe(const std::map<char32_t, Flaw>& flaws) {
    std::string out;
    for (const auto& [cp, flaw] : flaws) {
        char buf[48];
        std::snprintf(buf, sizeof buf, "U+%04X %s; ", static_cast<unsigned>(cp),
                      flaw == Flaw::kMissing ? "missing" : flaw == Flaw::kEmpty ? "empty" : "a filled box");
        out += buf;
    }
    return out;
}

class Face {
public:
    explicit Face(const char* file) {
        if (FT_Init_FreeType(&lib_) != 0 || FT_New_Face(lib_, file, 0, &face_) != 0) face_ = nullptr;
        // 100 pixels to the em: osifont's strokes are about 7 pixels wide.
        if (face_) FT_Set_Pixel_Sizes(face_, 0, 100);
    }
    ~Face() {
        if (face_) FT_Done_Face(face_);
        if (lib_) FT_Done_FreeType(lib_);
    }
    Face(const Face&) = delete;
    Face& operator=(const Face&) = delete;
    explicit operator bool() const { return face_ != nullptr; }
    FT_Face operator->() const { return face_; }

    /// The side of the largest square of solid ink in the rendered character:
    /// about the stroke width for a drawn letter, -1 if the font has no glyph for it.
    int SolidSquare(char32_t cp) const {
        const FT_UInt glyph = FT_Get_Char_Index(face_, cp);
        if (glyph == 0) return -1;
        if (FT_Load_Glyph(face_, glyph, FT_LOAD_RENDER) != 0) return -1;
        const FT_Bitmap& bm = face_->glyph->bitmap;
        const int w = static_cast<int>(bm.width), h = static_cast<int>(bm.rows);
        std::vector<int> side(static_cast<std::size_t>((w + 1) * (h + 1)), 0);
        int best = 0;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                if (bm.buffer[y * bm.pitch + x] < 128) continue;
                auto at = [&](int yy, int xx) -> int& { return side[static_cast<std::size_t>(yy * (w + 1) + xx)]; };
                at(y + 1, x + 1) = 1 + std::min({at(y, x), at(y, x + 1), at(y + 1, x)});
                best = std::max(best, at(y + 1, x + 1));
            }
        }
        return best;
    }

    /// The characters that are missing, empty or a filled box: a square of solid
    /// ink more than twice as wide as the font's strokes (the median square).
    std::map<char32_t, Flaw> Flaws(const std::u32string& text) const {
        std::map<char32_t, int> squares;
        for (char32_t cp : text) squares[cp] = SolidSquare(cp);
        std::vector<int> drawn;
        for (const auto& [cp, s] : squares) {
            if (s > 0) drawn.push_back(s);
        }
        std::map<char32_t, Flaw> flaws;
        if (drawn.empty()) return flaws;
        std::nth_element(drawn.begin(), drawn.begin() + static_cast<long>(drawn.size() / 2), drawn.end());
        const int stroke = drawn[drawn.size() / 2];
        for (const auto& [cp, s] : squares) {
            if (s < 0) flaws[cp] = Flaw::kMissing;
            else if (s == 0 && cp != U' ') flaws[cp] = Flaw::kEmpty;
            else if (s > 2 * stroke) flaws[cp] = Flaw::kFilledBox;
        }
        return flaws;
    }

private:
    FT_Library lib_ = nullptr;
    FT_Face face_ = nullptr;
};

/// The Russian and Latin alphabets, digits, every printable ASCII character, and
/// the signs the forms, the lists and the demo show or names commonly carry.
std::u32string FormCharacters() {
    std::u32string s;
    for (char32_t c = U'А'; c <= U'я'; ++c) s += c;
    s += U"Ёё";
    for (char32_t c = 0x20; c <= 0x7E; ++c) s += c;
    s += U"№±°×«»–—…“”„‘’−‐";
    return s;
}

TEST(DraftingFont, DrawsEveryCharacterOfTheForms) {
    Face font(ORMELIN_DRAFTING_FONT);
    ASSERT_TRUE(font) << "cannot load " << ORMELIN_DRAFTING_FONT;
    const auto flaws = font.Flaws(FormCharacters());
    EXPECT_TRUE(flaws.empty()) << Describe(flaws);

    // The same check finds what osifont, the font it is made from, gets wrong.
    Face osifont(ORMELIN_OSIFONT);
    ASSERT_TRUE(osifont) << "cannot load " << ORMELIN_OSIFONT;
    const std::map<char32_t, Flaw> expected = {
        {U'Ё', Flaw::kFilledBox}, {U'Э', Flaw::kFilledBox}, {U'э', Flaw::kFilledBox}, {U'ё', Flaw::kFilledBox},
        {U'‐', Flaw::kMissing},   {U'‘', Flaw::kMissing},   {U'“', Flaw::kMissing},   {U'”', Flaw::kMissing},
        {U'„', Flaw::kMissing},   {U'…', Flaw::kMissing},   {U'−', Flaw::kMissing}};
    EXPECT_EQ(Describe(osifont.Flaws(FormCharacters())), Describe(expected));
}

std::string Name(const Face& face, FT_UShort id) {
    const FT_UInt n = FT_Get_Sfnt_Name_Count(face.operator->());
    for (FT_UInt i = 0; i < n; ++i) {
        FT_SfntName name;
        if (FT_Get_Sfnt_Name(face.operator->(), i, &name) != 0 || name.name_id != id) continue;
        if (name.platform_id != TT_PLATFORM_MICROSOFT) continue;
        std::string text;  // UTF-16BE; the names are ASCII
        for (FT_UInt k = 1; k < name.string_len; k += 2) text += static_cast<char>(name.string[k]);
        return text;
    }
    return {};
}

TEST(DraftingFont, IsOsifontUnderItsOwnNameWithOsifontsLicence) {
    Face font(ORMELIN_DRAFTING_FONT);
    Face osifont(ORMELIN_OSIFONT);
    ASSERT_TRUE(font && osifont);
    EXPECT_STREQ(font->family_name, "Ormelin Drafting");
    EXPECT_EQ(Name(font, TT_NAME_ID_PS_NAME), "OrmelinDrafting");
    // osifont's copyright and licence with its font exception stay, and say what changed.
    const std::string notice = Name(font, TT_NAME_ID_COPYRIGHT);
    EXPECT_EQ(notice.rfind(Name(osifont, TT_NAME_ID_COPYRIGHT), 0), 0u) << notice;
    EXPECT_NE(notice.find("As a special exception"), std::string::npos) << notice;
    EXPECT_NE(notice.find("ormelin"), std::string::npos) << notice;
    EXPECT_NE(Name(font, 13).find("font exception"), std::string::npos);

    // Every character osifont draws keeps its advance, but the redrawn Э and э
    // (mirror images of Є and є, whose advances they take).
    int compared = 0;
    FT_UInt glyph = 0;
    for (FT_ULong cp = FT_Get_First_Char(osifont.operator->(), &glyph); glyph != 0;
         cp = FT_Get_Next_Char(osifont.operator->(), cp, &glyph)) {
        if (cp == U'Э' || cp == U'э') continue;
        const FT_UInt ours = FT_Get_Char_Index(font.operator->(), cp);
        ASSERT_NE(ours, 0u) << "U+" << std::hex << cp;
        ASSERT_EQ(FT_Load_Glyph(osifont.operator->(), glyph, FT_LOAD_NO_SCALE), 0);
        const FT_Pos theirs = osifont->glyph->advance.x;
        ASSERT_EQ(FT_Load_Glyph(font.operator->(), ours, FT_LOAD_NO_SCALE), 0);
        EXPECT_EQ(font->glyph->advance.x, theirs) << "U+" << std::hex << cp;
        ++compared;
    }
    EXPECT_GT(compared, 500);
    FT_Load_Glyph(font.operator->(), FT_Get_Char_Index(font.operator->(), U'Є'), FT_LOAD_NO_SCALE);
    const FT_Pos ye = font->glyph->advance.x;
    FT_Load_Glyph(font.operator->(), FT_Get_Char_Index(font.operator->(), U'Э'), FT_LOAD_NO_SCALE);
    EXPECT_EQ(font->glyph->advance.x, ye);
}

}  // namespace
