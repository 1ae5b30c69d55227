// Values as the drafting rules write them: a number with a decimal comma and the
// unit symbol of GOST 8.417 ("4,7 кОм", "8,2 пФ", "2,2 мкФ", "±5 %", "50 В",
// "0,125 Вт"), from the multipliers and RKM codes of CAD libraries (4k7, 4R7,
// 8p2, 100n, 2.2uF, 10kΩ).
#include <cmath>
#include <cstdlib>

#include "import/bom.hpp"

namespace ormelin::import {

namespace {

/// A suffix after a number: the unit it stands for and its factor.
struct Suffix {
    const char* text;
    const char* unit;   // GOST 8.417 symbol with its prefix
    double factor;
};

// The suffixes of each main unit; those of one character also stand between the
// digits of an RKM code (4k7, 4R7, 8p2).
constexpr Suffix kOhm[] = {
    {"R", "Ом", 1},       {"r", "Ом", 1},        {"\u03A9", "Ом", 1},   {"\u2126", "Ом", 1},        {"Ohm", "Ом", 1},
    {"ohm", "Ом", 1},     {"Ohms", "Ом", 1},     {"ohms", "Ом", 1},     {"OHM", "Ом", 1},      {"Ом", "Ом", 1},
    {"k", "кОм", 1e3},    {"K", "кОм", 1e3},     {"k\u03A9", "кОм", 1e3}, {"K\u03A9", "кОм", 1e3}, {"k\u2126", "кОм", 1e3},
    {"kOhm", "кОм", 1e3}, {"kohm", "кОм", 1e3},  {"KOhm", "кОм", 1e3},  {"кОм", "кОм", 1e3},  {"M", "МОм", 1e6},
    {"M\u03A9", "МОм", 1e6}, {"M\u2126", "МОм", 1e6},    {"MOhm", "МОм", 1e6},  {"Meg", "МОм", 1e6},  {"МОм", "МОм", 1e6},
    {"G", "ГОм", 1e9},    {"G\u03A9", "ГОм", 1e9},    {"ГОм", "ГОм", 1e9},   {"m\u03A9", "мОм", 1e-3},   {"мОм", "мОм", 1e-3},
};
constexpr Suffix kFarad[] = {
    {"F", "Ф", 1},          {"Ф", "Ф", 1},          {"p", "пФ", 1e-12},     {"P", "пФ", 1e-12},
    {"pF", "пФ", 1e-12},    {"PF", "пФ", 1e-12},    {"pf", "пФ", 1e-12},    {"пФ", "пФ", 1e-12},
    {"n", "нФ", 1e-9},      {"N", "нФ", 1e-9},      {"nF", "нФ", 1e-9},     {"NF", "нФ", 1e-9},
    {"nf", "нФ", 1e-9},     {"нФ", "нФ", 1e-9},     {"u", "мкФ", 1e-6},     {"U", "мкФ", 1e-6},
    {"µ", "мкФ", 1e-6},     {"μ", "мкФ", 1e-6},     {"uF", "мкФ", 1e-6},    {"UF", "мкФ", 1e-6},
    {"uf", "мкФ", 1e-6},    {"µF", "мкФ", 1e-6},    {"μF", "мкФ", 1e-6},    {"мкФ", "мкФ", 1e-6},
    {"mF", "мФ", 1e-3},     {"мФ", "мФ", 1e-3},
};
constexpr Suffix kHenry[] = {
    {"H", "Гн", 1},        {"Гн", "Гн", 1},         {"n", "нГн", 1e-9},     {"nH", "нГн", 1e-9},
    {"нГн", "нГн", 1e-9},  {"u", "мкГн", 1e-6},     {"µ", "мкГн", 1e-6},    {"μ", "мкГн", 1e-6},
    {"uH", "мкГн", 1e-6},  {"µH", "мкГн", 1e-6},    {"μH", "мкГн", 1e-6},   {"мкГн", "мкГн", 1e-6},
    {"m", "мГн", 1e-3},    {"mH", "мГн", 1e-3},     {"мГн", "мГн", 1e-3},
};
constexpr Suffix kHertz[] = {
    {"Hz", "Гц", 1},        {"HZ", "Гц", 1},        {"hz", "Гц", 1},        {"Гц", "Гц", 1},
    {"k", "кГц", 1e3},      {"K", "кГц", 1e3},      {"kHz", "кГц", 1e3},    {"KHz", "кГц", 1e3},
    {"kHZ", "кГц", 1e3},    {"кГц", "кГц", 1e3},    {"M", "МГц", 1e6},      {"MHz", "МГц", 1e6},
    {"MHZ", "МГц", 1e6},    {"Mhz", "МГц", 1e6},    {"МГц", "МГц", 1e6},    {"GHz", "ГГц", 1e9},
    {"ГГц", "ГГц", 1e9},
};
// Voltage, current and power, of any kind.
constexpr Suffix kOther[] = {
    {"V", "В", 1},        {"v", "В", 1},          {"В", "В", 1},          {"mV", "мВ", 1e-3},    {"мВ", "мВ", 1e-3},
    {"kV", "кВ", 1e3},    {"KV", "кВ", 1e3},      {"кВ", "кВ", 1e3},      {"A", "А", 1},         {"А", "А", 1},
    {"mA", "мА", 1e-3},   {"мА", "мА", 1e-3},     {"uA", "мкА", 1e-6},    {"µA", "мкА", 1e-6},   {"мкА", "мкА", 1e-6},
    {"W", "Вт", 1},       {"w", "Вт", 1},         {"Вт", "Вт", 1},        {"mW", "мВт", 1e-3},   {"мВт", "мВт", 1e-3},
    {"kW", "кВт", 1e3},   {"кВт", "кВт", 1e3},
};

struct Suffixes {
    const Suffix* begin;
    const Suffix* end;
};
template <std::size_t N>
Suffixes Of(const Suffix (&t)[N]) {
    return {t, t + N};
}

Suffixes MainTable(MainUnit unit) {
    switch (unit) {
        case MainUnit::Ohm: return Of(kOhm);
        case MainUnit::Farad: return Of(kFarad);
        case MainUnit::Henry: return Of(kHenry);
        case MainUnit::Hertz: return Of(kHertz);
        case MainUnit::None: break;
    }
    return {nullptr, nullptr};
}

const Suffix* Find(Suffixes t, std::string_view text) {
    for (const Suffix* s = t.begin; s != t.end; ++s) {
        if (text == s->text) return s;
    }
    return nullptr;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

/// The length of the number at the start of the text: digits with one decimal
/// point or comma between digits.
std::size_t NumberLength(std::string_view t) {
    std::size_t i = 0;
    while (i < t.size() && IsDigit(t[i])) ++i;
    if (i > 0 && i + 1 < t.size() && (t[i] == '.' || t[i] == ',') && IsDigit(t[i + 1])) {
        ++i;
        while (i < t.size() && IsDigit(t[i])) ++i;
    }
    return i;
}

/// The number with a decimal comma.
std::string Comma(std::string_view number) {
    std::string out(number);
    for (auto& c : out) {
        if (c == '.') c = ',';
    }
    return out;
}

double NumberOf(const std::string& withComma) {
    std::string dotted = withComma;
    for (auto& c : dotted) {
        if (c == ',') c = '.';
    }
    return std::strtod(dotted.c_str(), nullptr);
}

struct Quantity {
    std::string text;
    double magnitude = 0;
};

/// One token as a quantity of the table: a number and a suffix ("4.7uF", "10k",
/// "100" when bare numbers count), or an RKM code ("4k7", "4R7", "R47", "8p2F").
std::optional<Quantity> ParseIn(std::string_view t, Suffixes table, bool bare) {
    if (!table.begin) return std::nullopt;
    const std::size_t n = NumberLength(t);
    if (n == 0) {
        // "R47": an RKM code with nothing before its letter.
        if (t.size() >= 2 && (t[0] == 'R' || t[0] == 'r') && IsDigit(t[1]) && Find(table, "R")) {
            const std::size_t d = 1 + NumberLength(t.substr(1));
            if (d == t.size() && t.find_first_of(".,") == std::string_view::npos) {
                const std::string number = "0," + std::string(t.substr(1));
                return Quantity{number + " Ом", NumberOf(number)};
            }
        }
        return std::nullopt;
    }
    const std::string_view number = t.substr(0, n), rest = t.substr(n);
    if (rest.empty()) {
        if (!bare) return std::nullopt;
        const Suffix* unit = table.begin;   // the first: the unit without prefix
        return Quantity{Comma(number) + " " + unit->unit, NumberOf(Comma(number))};
    }
    if (const Suffix* s = Find(table, rest)) {
        return Quantity{Comma(number) + " " + s->unit, NumberOf(Comma(number)) * s->factor};
    }
    // An RKM code: whole digits, a letter of one character, digits, and a unit word
    // of factor one at most.
    if (number.find_first_of(".,") != std::string_view::npos) return std::nullopt;
    const Suffix* letter = nullptr;
    std::size_t letterLength = 0;
    for (const Suffix* s = table.begin; s != table.end; ++s) {
        const std::string_view text = s->text;
        if (text.size() <= 2 && (text.size() == 1 || static_cast<unsigned char>(text[0]) >= 0x80) && rest.substr(0, text.size()) == text && text.size() > letterLength &&
            rest.size() > text.size() && IsDigit(rest[text.size()])) {
            letter = s;
            letterLength = text.size();
        }
    }
    if (!letter) return std::nullopt;
    const std::string_view after = rest.substr(letterLength);
    std::size_t d = 0;
    while (d < after.size() && IsDigit(after[d])) ++d;
    const std::string_view tail = after.substr(d);
    if (!tail.empty()) {
        const Suffix* unit = Find(table, tail);
        if (!unit || unit->factor != 1) return std::nullopt;
    }
    const std::string value = std::string(number) + "," + std::string(after.substr(0, d));
    return Quantity{value + " " + letter->unit, NumberOf(value) * letter->factor};
}

/// A tolerance: "5%", "±5%", "+-5%", "+/-5%" as "±5 %".
std::optional<std::string> Tolerance(std::string_view t) {
    for (std::string_view sign : {"±", "+-", "+/-", ""}) {
        if (t.substr(0, sign.size()) != sign) continue;
        const std::string_view rest = t.substr(sign.size());
        const std::size_t n = NumberLength(rest);
        if (n > 0 && rest.substr(n) == "%") return "±" + Comma(rest.substr(0, n)) + " %";
    }
    return std::nullopt;
}

/// The tokens of a value: split at blanks, and at "/" between a unit and the
/// next quantity ("100nF/50V"), not in a fraction ("1/4W").
std::vector<std::string> Tokens(std::string_view value) {
    std::vector<std::string> out;
    std::string token;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        const bool slash = c == '/' && !(i > 0 && IsDigit(value[i - 1]) && i + 1 < value.size() && IsDigit(value[i + 1]));
        if (c == ' ' || c == '\t' || slash) {
            if (!token.empty()) out.push_back(std::move(token));
            token.clear();
        } else {
            token += c;
        }
    }
    if (!token.empty()) out.push_back(std::move(token));
    return out;
}

}  // namespace

GostValue FormatValue(std::string_view value, MainUnit unit) {
    GostValue out;
    const Suffixes main = MainTable(unit);
    std::vector<std::string> tokens = Tokens(value);
    std::vector<std::string> written;
    bool mainFound = false, changed = false;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        std::string token = tokens[i];
        // "10 кОм", "4.7 uF", "5 %": a number and its unit written apart.
        if (i + 1 < tokens.size() && NumberLength(token) == token.size() &&
            NumberLength(tokens[i + 1]) == 0 && tokens[i + 1].find_first_of("0123456789") == std::string::npos) {
            const std::string joined = token + tokens[i + 1];
            if ((!mainFound && ParseIn(joined, main, false)) || ParseIn(joined, Of(kOther), false) || Tolerance(joined)) {
                token = joined;
                ++i;
            }
        }
        std::optional<std::string> text;
        if (!mainFound) {
            if (auto q = ParseIn(token, main, unit == MainUnit::Ohm)) {
                text = q->text;
                out.magnitude = q->magnitude;
                mainFound = true;
            }
        }
        if (!text) {
            if (auto q = ParseIn(token, Of(kOther), false)) text = q->text;
        }
        if (!text) text = Tolerance(token);
        changed = changed || text.has_value();
        written.push_back(text ? *text : token);
    }
    if (!changed) {
        out.text = std::string(value);
        return out;
    }
    for (const auto& w : written) out.text += (out.text.empty() ? "" : " ") + w;
    return out;
}

}  // namespace ormelin::import
