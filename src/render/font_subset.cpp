// A TrueType font cut down to the glyphs a print uses. The glyph ids stay those of
// the whole font (a PDF names glyphs by id, CIDToGIDMap /Identity): the glyphs not
// used are emptied, not removed, which costs four bytes of "loca" and of "hmtx"
// each. The tables a PDF reader needs to draw TrueType outlines are kept; the
// character map, names and layout tables are left out (the PDF maps characters
// itself). See the OpenType specification's chapters on the tables named here.
#include "render/font_subset.hpp"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace ormelin::render {

namespace {

std::uint32_t Tag(const char* t) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(t[0])) << 24 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(t[1])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(t[2])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(t[3]));
}

/// Big-endian reading with the bounds checked: a short font is an error, never a
/// read past its end.
class Reader {
public:
    Reader(std::string_view bytes, const std::string& what) : b_(bytes), what_(what) {}
    std::uint32_t U8(std::size_t at) const {
        Need(at, 1);
        return static_cast<unsigned char>(b_[at]);
    }
    std::uint32_t U16(std::size_t at) const {
        Need(at, 2);
        return U8Raw(at) << 8 | U8Raw(at + 1);
    }
    std::int32_t S16(std::size_t at) const { return static_cast<std::int16_t>(static_cast<std::uint16_t>(U16(at))); }
    std::uint32_t U32(std::size_t at) const {
        Need(at, 4);
        return U8Raw(at) << 24 | U8Raw(at + 1) << 16 | U8Raw(at + 2) << 8 | U8Raw(at + 3);
    }
    std::size_t size() const { return b_.size(); }

private:
    std::uint32_t U8Raw(std::size_t at) const { return static_cast<unsigned char>(b_[at]); }
    void Need(std::size_t at, std::size_t n) const {
        if (at > b_.size() || b_.size() - at < n) throw std::runtime_error(what_ + " is cut short");
    }
    std::string_view b_;
    const std::string& what_;
};

void Put16(std::string& out, std::uint32_t v) {
    out += static_cast<char>((v >> 8) & 0xFF);
    out += static_cast<char>(v & 0xFF);
}
void Put32(std::string& out, std::uint32_t v) {
    Put16(out, v >> 16);
    Put16(out, v & 0xFFFF);
}
void Set16(std::string& s, std::size_t at, std::uint32_t v) {
    s[at] = static_cast<char>((v >> 8) & 0xFF);
    s[at + 1] = static_cast<char>(v & 0xFF);
}
void Set32(std::string& s, std::size_t at, std::uint32_t v) {
    Set16(s, at, v >> 16);
    Set16(s, at + 2, v & 0xFFFF);
}

/// The table checksum: the sum of its big-endian 32-bit words, zero-padded.
std::uint32_t CheckSum(std::string_view s) {
    std::uint32_t sum = 0;
    std::size_t i = 0;
    for (; i + 4 <= s.size(); i += 4)
        sum += static_cast<std::uint32_t>(static_cast<unsigned char>(s[i])) << 24 |
               static_cast<std::uint32_t>(static_cast<unsigned char>(s[i + 1])) << 16 |
               static_cast<std::uint32_t>(static_cast<unsigned char>(s[i + 2])) << 8 |
               static_cast<std::uint32_t>(static_cast<unsigned char>(s[i + 3]));
    std::uint32_t last = 0;
    for (int k = 0; i < s.size(); ++i, ++k) last |= static_cast<std::uint32_t>(static_cast<unsigned char>(s[i])) << (24 - 8 * k);
    return sum + last;
}

/// A PostScript name as a PDF name may hold it.
std::string CleanName(const std::string& s) {
    std::string out;
    for (char c : s)
        if (c > ' ' && c < 0x7F && !std::strchr("()<>[]{}/%#", c)) out += c;
    return out;
}

// composite glyph flags
constexpr std::uint32_t kArgsAreWords = 0x0001, kHaveScale = 0x0008, kMoreComponents = 0x0020,
                        kHaveXYScale = 0x0040, kHaveTwoByTwo = 0x0080;

}  // namespace

TrueTypeFont::TrueTypeFont(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw std::runtime_error("the drafting font " + file + " cannot be read");
    data_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    const std::string what = "the drafting font " + file;
    const Reader r(data_, what);
    const std::uint32_t version = r.U32(0);
    if (version != 0x00010000 && version != Tag("true"))
        throw std::runtime_error(what + " is no TrueType font with glyph outlines");
    const std::uint32_t count = r.U16(4);
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t at = 12 + 16 * i;
        Table t{r.U32(at), r.U32(at + 8), r.U32(at + 12)};
        if (t.offset > data_.size() || data_.size() - t.offset < t.length)
            throw std::runtime_error(what + " has a table past its end");
        tables_.push_back(t);
    }
    for (const char* need : {"head", "hhea", "hmtx", "maxp", "loca", "glyf"})
        if (!Find(need)) throw std::runtime_error(what + " has no \"" + need + "\" table");
    const Reader head(Bytes(*Find("head")), what);
    facts_.unitsPerEm = static_cast<int>(head.U16(18));
    if (facts_.unitsPerEm == 0) throw std::runtime_error(what + " has no units per em");
    facts_.xMin = head.S16(36);
    facts_.yMin = head.S16(38);
    facts_.xMax = head.S16(40);
    facts_.yMax = head.S16(42);
    longLoca_ = head.S16(50) == 1;
    const Reader hhea(Bytes(*Find("hhea")), what);
    facts_.ascent = hhea.S16(4);
    facts_.descent = hhea.S16(6);
    facts_.numGlyphs = static_cast<int>(Reader(Bytes(*Find("maxp")), what).U16(4));
    if (Find("loca")->length < (static_cast<std::uint32_t>(facts_.numGlyphs) + 1) * (longLoca_ ? 4 : 2))
        throw std::runtime_error(what + " has a \"loca\" table shorter than its glyphs");
    facts_.capHeight = facts_.ascent;
    if (const Table* os2 = Find("OS/2")) {
        const Reader o(Bytes(*os2), what);
        if (o.size() >= 90 && o.U16(0) >= 2) facts_.capHeight = o.S16(88);
    }
    if (const Table* post = Find("post")) {
        const Reader p(Bytes(*post), what);
        if (p.size() >= 8) facts_.italicAngle = static_cast<std::int32_t>(p.U32(4)) / 65536.0;
    }
    if (const Table* name = Find("name")) {
        const std::string_view n = Bytes(*name);
        const Reader nr(n, what);
        const std::uint32_t records = nr.U16(2), strings = nr.U16(4);
        for (std::uint32_t i = 0; i < records && facts_.postScriptName.empty(); ++i) {
            const std::size_t at = 6 + 12 * i;
            const std::uint32_t platform = nr.U16(at), nameId = nr.U16(at + 6), length = nr.U16(at + 8),
                                offset = nr.U16(at + 10);
            if (nameId != 6 || strings + offset + length > n.size()) continue;
            std::string s;
            if (platform == 3 || platform == 0) {
                for (std::uint32_t k = 0; k + 1 < length; k += 2) s += static_cast<char>(nr.U16(strings + offset + k));
            } else {
                s.assign(n.substr(strings + offset, length));
            }
            facts_.postScriptName = CleanName(s);
        }
    }
    if (facts_.postScriptName.empty()) facts_.postScriptName = "Font";
}

const TrueTypeFont::Table* TrueTypeFont::Find(const char* tag) const {
    const std::uint32_t t = Tag(tag);
    for (const Table& table : tables_)
        if (table.tag == t) return &table;
    return nullptr;
}

std::string_view TrueTypeFont::Bytes(const Table& t) const {
    return std::string_view(data_).substr(t.offset, t.length);
}

std::pair<std::uint32_t, std::uint32_t> TrueTypeFont::GlyphRange(std::uint32_t glyph) const {
    const Reader loca(Bytes(*Find("loca")), "the font's \"loca\" table");
    std::uint32_t from = 0, to = 0;
    if (longLoca_) {
        from = loca.U32(4 * glyph);
        to = loca.U32(4 * glyph + 4);
    } else {
        from = loca.U16(2 * glyph) * 2;
        to = loca.U16(2 * glyph + 2) * 2;
    }
    if (to < from || to > Find("glyf")->length) throw std::runtime_error("the font's glyph " + std::to_string(glyph) +
                                                                         " lies outside its \"glyf\" table");
    return {from, to};
}

std::string TrueTypeFont::Subset(const std::set<std::uint32_t>& used) const {
    const auto count = static_cast<std::uint32_t>(facts_.numGlyphs);
    const std::string_view glyf = Bytes(*Find("glyf"));
    // the glyphs kept: glyph 0 (.notdef), those used, and every composite's components
    std::vector<bool> keep(count, false);
    std::vector<std::uint32_t> todo(used.begin(), used.end());
    todo.push_back(0);
    while (!todo.empty()) {
        const std::uint32_t g = todo.back();
        todo.pop_back();
        if (g >= count || keep[g]) continue;
        keep[g] = true;
        const auto [from, to] = GlyphRange(g);
        if (to - from < 10) continue;  // empty
        const Reader r(glyf.substr(from, to - from), "the font's glyph " + std::to_string(g));
        if (r.S16(0) >= 0) continue;  // simple
        std::size_t at = 10;
        for (std::uint32_t flags = kMoreComponents; flags & kMoreComponents;) {
            flags = r.U16(at);
            todo.push_back(r.U16(at + 2));
            at += 4 + ((flags & kArgsAreWords) ? 4 : 2);
            if (flags & kHaveScale)
                at += 2;
            else if (flags & kHaveXYScale)
                at += 4;
            else if (flags & kHaveTwoByTwo)
                at += 8;
        }
    }
    std::string newGlyf, newLoca;
    newLoca.reserve(4 * (count + 1));
    for (std::uint32_t g = 0; g < count; ++g) {
        Put32(newLoca, static_cast<std::uint32_t>(newGlyf.size()));
        if (!keep[g]) continue;
        const auto [from, to] = GlyphRange(g);
        newGlyf.append(glyf.substr(from, to - from));
        newGlyf.resize((newGlyf.size() + 3) & ~std::size_t{3}, '\0');
    }
    Put32(newLoca, static_cast<std::uint32_t>(newGlyf.size()));

    std::string head(Bytes(*Find("head")));
    Set32(head, 8, 0);   // checkSumAdjustment, set below
    Set16(head, 50, 1);  // long "loca"
    // the tables in the order of their tags, as the table directory wants them
    struct Out {
        std::uint32_t tag;
        std::string bytes;
    };
    std::vector<Out> out;
    for (const char* tag : {"OS/2", "cvt ", "fpgm", "glyf", "head", "hhea", "hmtx", "loca", "maxp", "prep"}) {
        const std::uint32_t t = Tag(tag);
        if (t == Tag("glyf")) {
            out.push_back({t, std::move(newGlyf)});
        } else if (t == Tag("loca")) {
            out.push_back({t, std::move(newLoca)});
        } else if (t == Tag("head")) {
            out.push_back({t, std::move(head)});
        } else if (const Table* table = Find(tag)) {
            out.push_back({t, std::string(Bytes(*table))});
        }
    }
    std::sort(out.begin(), out.end(), [](const Out& a, const Out& b) { return a.tag < b.tag; });
    const auto n = static_cast<std::uint32_t>(out.size());
    std::uint32_t power = 1, log2 = 0;
    while (power * 2 <= n) power *= 2, ++log2;
    std::string font;
    Put32(font, 0x00010000);
    Put16(font, n);
    Put16(font, power * 16);
    Put16(font, log2);
    Put16(font, n * 16 - power * 16);
    std::uint32_t offset = 12 + 16 * n;
    std::size_t headAt = 0;
    for (const Out& t : out) {
        Put32(font, t.tag);
        Put32(font, CheckSum(t.bytes));
        Put32(font, offset);
        Put32(font, static_cast<std::uint32_t>(t.bytes.size()));
        if (t.tag == Tag("head")) headAt = offset;
        offset += (static_cast<std::uint32_t>(t.bytes.size()) + 3) & ~3u;
    }
    for (const Out& t : out) {
        font += t.bytes;
        font.resize((font.size() + 3) & ~std::size_t{3}, '\0');
    }
    Set32(font, headAt + 8, 0xB1B0AFBAu - CheckSum(font));
    return font;
}

std::string SubsetTag(const std::set<std::uint32_t>& glyphs) {
    std::uint64_t h = 14695981039346656037ull;  // FNV-1a
    for (std::uint32_t g : glyphs)
        for (int k = 0; k < 4; ++k) {
            h ^= (g >> (8 * k)) & 0xFF;
            h *= 1099511628211ull;
        }
    std::string tag;
    for (int i = 0; i < 6; ++i, h /= 26) tag += static_cast<char>('A' + h % 26);
    return tag;
}

}  // namespace ormelin::render
