#include "base/text.hpp"

#include <algorithm>

namespace ormelin::text {

char32_t Next(std::string_view s, std::size_t& i) {
    auto b = static_cast<unsigned char>(s[i++]);
    const int extra = b >= 0xF8 ? 0 : b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
    if (extra == 0 || i + static_cast<std::size_t>(extra) > s.size()) return b;
    char32_t cp = b & (0x3F >> extra);
    for (int k = 0; k < extra; ++k) {
        auto c = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
        if ((c & 0xC0) != 0x80) return b;  // a lone lead byte stands for itself
        cp = (cp << 6) | (c & 0x3F);
    }
    i += static_cast<std::size_t>(extra);
    return cp;
}

void Append(std::string& out, char32_t cp) {
    auto put = [&out](char32_t v) { out.push_back(static_cast<char>(v)); };
    if (cp < 0x80) {
        put(cp);
    } else if (cp < 0x800) {
        put(0xC0 | (cp >> 6));
        put(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        put(0xE0 | (cp >> 12));
        put(0x80 | ((cp >> 6) & 0x3F));
        put(0x80 | (cp & 0x3F));
    } else {
        put(0xF0 | (cp >> 18));
        put(0x80 | ((cp >> 12) & 0x3F));
        put(0x80 | ((cp >> 6) & 0x3F));
        put(0x80 | (cp & 0x3F));
    }
}

std::u32string Decode(std::string_view s) {
    std::u32string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) out.push_back(Next(s, i));
    return out;
}

std::string Encode(std::u32string_view s) {
    std::string out;
    out.reserve(s.size());
    for (char32_t c : s) Append(out, c);
    return out;
}

std::size_t Length(std::string_view s) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < s.size(); ++n) Next(s, i);
    return n;
}

bool IsLetter(char32_t cp) {
    if (cp < 0x80) return (cp >= 'A' && cp <= 'Z') || (cp >= 'a' && cp <= 'z');
    if (cp == 0xAA || cp == 0xB5 || cp == 0xBA) return true;
    if (cp >= 0xC0 && cp <= 0x24F) return cp != 0xD7 && cp != 0xF7;
    if (cp >= 0x370 && cp <= 0x3FF) return cp != 0x37E && cp != 0x387;
    if (cp >= 0x400 && cp <= 0x52F) return !(cp >= 0x482 && cp <= 0x489);
    if (cp >= 0x531 && cp <= 0x587) return true;
    if (cp >= 0x5D0 && cp <= 0x5EA) return true;
    if (cp >= 0x620 && cp <= 0x64A) return true;
    if (cp >= 0x900 && cp <= 0xDFF) return true;
    if (cp >= 0x1E00 && cp <= 0x1FFF) return true;
    if (cp >= 0x3041 && cp <= 0x30FF) return cp != 0x30FB;
    if (cp >= 0x4E00 && cp <= 0x9FFF) return true;
    if (cp >= 0xAC00 && cp <= 0xD7A3) return true;
    return false;
}

namespace {

// Blocks whose capitals and small letters alternate: the capital stands at the
// even (or, with oddUpper, the odd) code point and its small letter follows.
struct PairedBlock {
    char32_t first, last;
    bool oddUpper;
};
constexpr PairedBlock kPaired[] = {
    {0x100, 0x12F, false}, {0x132, 0x137, false}, {0x139, 0x148, true},  {0x14A, 0x177, false},
    {0x179, 0x17E, true},  {0x460, 0x481, false}, {0x48A, 0x4BF, false}, {0x4C1, 0x4CE, true},
    {0x4D0, 0x52F, false},
};

// Blocks where a run of capitals maps to a run of small letters at a fixed offset.
struct ShiftedBlock {
    char32_t first, last;  // capitals
    char32_t offset;       // small letter = capital + offset
};
constexpr ShiftedBlock kShifted[] = {
    {'A', 'Z', 32},     {0xC0, 0xD6, 32},   {0xD8, 0xDE, 32},   {0x391, 0x3A1, 32}, {0x3A3, 0x3AB, 32},
    {0x388, 0x38A, 37}, {0x386, 0x386, 38}, {0x38C, 0x38C, 64}, {0x38E, 0x38F, 63}, {0x410, 0x42F, 32},
    {0x400, 0x40F, 80}, {0x4C0, 0x4C0, 15}, {0x178, 0x178, static_cast<char32_t>(0xFF - 0x178)},
};

}  // namespace

char32_t ToLower(char32_t cp) {
    for (const auto& b : kShifted)
        if (cp >= b.first && cp <= b.last) return cp + b.offset;
    for (const auto& b : kPaired)
        if (cp >= b.first && cp <= b.last && (cp % 2 == 1) == b.oddUpper) return cp + 1;
    return cp;
}

char32_t ToUpper(char32_t cp) {
    if (cp == 0x3C2) return 0x3A3;  // final sigma
    for (const auto& b : kShifted)
        if (cp >= b.first + b.offset && cp <= b.last + b.offset) return cp - b.offset;
    for (const auto& b : kPaired)
        if (cp > b.first && cp <= b.last && (cp % 2 == 1) != b.oddUpper) return cp - 1;
    return cp;
}

std::string Lower(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) Append(out, ToLower(Next(s, i)));
    return out;
}

std::string Upper(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) Append(out, ToUpper(Next(s, i)));
    return out;
}

bool EqualsNoCase(std::string_view a, std::string_view b) { return a == b || Fold(a) == Fold(b); }

std::string Trim(std::string_view s) {
    const auto first = s.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const auto last = s.find_last_not_of(' ');
    return std::string(s.substr(first, last - first + 1));
}

std::string ColumnLetters(int column) {
    constexpr int kMaxColumns = 16384;
    if (column < 1 || column > kMaxColumns) return {};
    std::string s;
    for (; column > 0; column = (column - 1) / 26) s.push_back(static_cast<char>('A' + (column - 1) % 26));
    std::reverse(s.begin(), s.end());
    return s;
}

int ColumnNumber(std::string_view letters) {
    if (letters.empty() || letters.size() > 3) return 0;
    int n = 0;
    for (char ch : letters) {
        const char u = ch >= 'a' && ch <= 'z' ? static_cast<char>(ch - 'a' + 'A') : ch;
        if (u < 'A' || u > 'Z') return 0;
        n = n * 26 + (u - 'A' + 1);
    }
    return n <= 16384 ? n : 0;
}

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool Is(char c, char upper) { return c == upper || c == upper + ('a' - 'A'); }

/// Digits from i on; returns where they end.
std::size_t SkipDigits(std::string_view s, std::size_t i) {
    while (i < s.size() && IsDigit(s[i])) ++i;
    return i;
}

/// A name a formula could read as a reference: "A1", "xfd1048576" (letters then
/// digits) or "R", "C", "R1", "RC", "R1C1", "rc5".
bool ReadsAsReference(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && i < 4 && IsAsciiLetter(s[i])) ++i;
    if (i >= 1 && i <= 3 && i < s.size() && SkipDigits(s, i) == s.size()) return true;
    i = 0;
    if (i < s.size() && Is(s[i], 'R')) i = SkipDigits(s, i + 1);
    if (i < s.size() && Is(s[i], 'C')) i = SkipDigits(s, i + 1);
    return !s.empty() && i == s.size();
}

}  // namespace

std::string QuoteSheetName(std::string_view name) {
    bool bare = !name.empty() && !IsDigit(name.front()) && !ReadsAsReference(name);
    for (std::size_t i = 0; bare && i < name.size();) {
        const char32_t cp = Next(name, i);
        bare = cp == '_' || (cp < 0x80 && IsDigit(static_cast<char>(cp))) || IsLetter(cp);
    }
    if (bare) return std::string(name);
    std::string out = "'";
    for (char ch : name) {
        if (ch == '\'') out += '\'';
        out += ch;
    }
    out += '\'';
    return out;
}

}  // namespace ormelin::text
