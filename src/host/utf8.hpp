// Small UTF-8 helpers for sheet names: decoding, letters of any script, case
// folding of the scripts a workbook's sheet names are written in.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ormelin::host::utf8 {

/// The code point at i (advancing i); a malformed byte decodes as itself.
inline char32_t Next(std::string_view s, std::size_t& i) {
    auto b = static_cast<unsigned char>(s[i++]);
    if (b < 0x80) return b;
    int extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
    if (extra == 0) return b;
    char32_t cp = b & (0x3F >> extra);
    for (int k = 0; k < extra && i < s.size(); ++k) {
        auto c = static_cast<unsigned char>(s[i]);
        if ((c & 0xC0) != 0x80) break;
        cp = (cp << 6) | (c & 0x3F);
        ++i;
    }
    return cp;
}

inline void Append(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

/// Letters beyond ASCII: Latin, Greek, Cyrillic, Armenian, Hebrew, Arabic, the
/// Indic blocks, kana, Hangul and CJK ideographs.
inline bool IsLetter(char32_t cp) {
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

inline char32_t ToLower(char32_t cp) {
    if (cp >= 'A' && cp <= 'Z') return cp + 32;
    if (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7) return cp + 32;
    if (cp >= 0x100 && cp <= 0x17F && cp != 0x130 && cp != 0x131 && cp != 0x138 && cp != 0x149) {
        // the Latin Extended-A pairs alternate upper/lower; the block shifts parity at 0x139..0x148 and 0x179..0x17E
        bool oddUpper = (cp >= 0x139 && cp <= 0x148) || (cp >= 0x179 && cp <= 0x17E);
        if (oddUpper ? (cp % 2 == 1) : (cp % 2 == 0)) return cp + 1;
        return cp;
    }
    if (cp >= 0x391 && cp <= 0x3AB && cp != 0x3A2) return cp + 32;
    if (cp >= 0x410 && cp <= 0x42F) return cp + 32;
    if (cp >= 0x400 && cp <= 0x40F) return cp + 80;
    if (cp >= 0x460 && cp <= 0x4FF && cp % 2 == 0 && !(cp >= 0x482 && cp <= 0x489)) return cp + 1;
    return cp;
}

/// The text folded to lower case, for case-insensitive comparison of names.
inline std::string Fold(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) Append(out, ToLower(Next(s, i)));
    return out;
}

inline std::size_t Length(std::string_view s) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < s.size();) {
        Next(s, i);
        ++n;
    }
    return n;
}

}  // namespace ormelin::host::utf8
