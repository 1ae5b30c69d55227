// The kinds of elements the letter codes of designators name, under the two
// conventions boards are drawn by: GOST 2.710 (D a microcircuit, VD a diode, X a
// connector) and the IEC/IEEE use of KiCad and Altium libraries (D a diode, U a
// microcircuit, J a connector, Y a crystal).
#include <algorithm>
#include <set>

#include "import/bom.hpp"

namespace ormelin::import {

namespace {

// Codes that mean the same under both conventions.
constexpr Kind kCommon[] = {
    {"A", "Устройство", "Устройства", MainUnit::None},
    {"C", "Конденсатор", "Конденсаторы", MainUnit::Farad},
    {"F", "Предохранитель", "Предохранители", MainUnit::None},
    {"K", "Реле", "Реле", MainUnit::None},
    {"L", "Дроссель", "Дроссели", MainUnit::Henry},
    {"M", "Двигатель", "Двигатели", MainUnit::None},
    {"R", "Резистор", "Резисторы", MainUnit::Ohm},
    {"T", "Трансформатор", "Трансформаторы", MainUnit::None},
};

// GOST 2.710, table 1 (one-letter codes) and table 2 (two-letter codes).
constexpr Kind kGost[] = {
    {"BA", "Громкоговоритель", "Громкоговорители", MainUnit::None},
    {"BQ", "Резонатор кварцевый", "Резонаторы кварцевые", MainUnit::Hertz},
    {"D", "Микросхема", "Микросхемы", MainUnit::None},
    {"DA", "Микросхема", "Микросхемы", MainUnit::None},
    {"DD", "Микросхема", "Микросхемы", MainUnit::None},
    {"DS", "Микросхема", "Микросхемы", MainUnit::None},
    {"E", "Элемент", "Элементы", MainUnit::None},
    {"EL", "Лампа", "Лампы", MainUnit::None},
    {"FU", "Предохранитель", "Предохранители", MainUnit::None},
    {"GB", "Батарея", "Батареи", MainUnit::None},
    {"HA", "Сигнализатор звуковой", "Сигнализаторы звуковые", MainUnit::None},
    {"HG", "Индикатор", "Индикаторы", MainUnit::None},
    {"HL", "Индикатор", "Индикаторы", MainUnit::None},
    {"RK", "Терморезистор", "Терморезисторы", MainUnit::Ohm},
    {"RP", "Потенциометр", "Потенциометры", MainUnit::Ohm},
    {"RU", "Варистор", "Варисторы", MainUnit::None},
    {"SA", "Переключатель", "Переключатели", MainUnit::None},
    {"SB", "Кнопка", "Кнопки", MainUnit::None},
    {"TV", "Трансформатор", "Трансформаторы", MainUnit::None},
    {"VD", "Диод", "Диоды", MainUnit::None},
    {"VS", "Тиристор", "Тиристоры", MainUnit::None},
    {"VT", "Транзистор", "Транзисторы", MainUnit::None},
    {"X", "Соединитель", "Соединители", MainUnit::None},
    {"XP", "Вилка", "Вилки", MainUnit::None},
    {"XS", "Розетка", "Розетки", MainUnit::None},
    {"XT", "Клемма", "Клеммы", MainUnit::None},
    {"ZQ", "Резонатор кварцевый", "Резонаторы кварцевые", MainUnit::Hertz},
};

// IEC 60617 / IEEE 315 reference designators as KiCad and Altium libraries use them.
constexpr Kind kIec[] = {
    {"BT", "Батарея", "Батареи", MainUnit::None},
    {"BZ", "Сигнализатор звуковой", "Сигнализаторы звуковые", MainUnit::None},
    {"CN", "Соединитель", "Соединители", MainUnit::None},
    {"D", "Диод", "Диоды", MainUnit::None},
    {"DS", "Индикатор", "Индикаторы", MainUnit::None},
    {"FB", "Фильтр помехоподавляющий", "Фильтры помехоподавляющие", MainUnit::None},
    {"IC", "Микросхема", "Микросхемы", MainUnit::None},
    {"J", "Соединитель", "Соединители", MainUnit::None},
    {"LED", "Светодиод", "Светодиоды", MainUnit::None},
    {"LS", "Громкоговоритель", "Громкоговорители", MainUnit::None},
    {"P", "Соединитель", "Соединители", MainUnit::None},
    {"Q", "Транзистор", "Транзисторы", MainUnit::None},
    {"SW", "Переключатель", "Переключатели", MainUnit::None},
    {"U", "Микросхема", "Микросхемы", MainUnit::None},
    {"XTAL", "Резонатор кварцевый", "Резонаторы кварцевые", MainUnit::Hertz},
    {"Y", "Резонатор кварцевый", "Резонаторы кварцевые", MainUnit::Hertz},
};

// Codes only one convention uses: these decide which one a BOM follows. (D, DS,
// X and the common codes are used by both.)
const std::set<std::string_view> kGostOnly = {"BA", "BQ", "DA", "DD", "EL", "FU", "GB", "HA", "HG", "HL", "RK",
                                              "RP", "RU", "SA", "SB", "TV", "VD", "VS", "VT", "XP", "XS", "XT",
                                              "XW", "ZQ"};
const std::set<std::string_view> kIecOnly = {"BT", "BZ", "CN", "FB", "IC", "J", "LED", "LS", "P", "Q",
                                             "SW", "TP", "U", "XTAL", "Y"};

template <std::size_t N>
const Kind* Find(const Kind (&table)[N], std::string_view letters) {
    for (const auto& k : table) {
        if (letters == k.code) return &k;
    }
    return nullptr;
}

}  // namespace

std::string LowerText(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto b = static_cast<unsigned char>(s[i]);
        if (b < 0x80) {
            out += static_cast<char>(std::tolower(b));
            continue;
        }
        if (i + 1 < s.size()) {
            const auto c = static_cast<unsigned char>(s[i + 1]);
            char32_t cp = ((b & 0x1F) << 6) | (c & 0x3F);
            if ((b & 0xE0) == 0xC0 && cp >= 0x0400 && cp <= 0x042F) {
                cp = cp >= 0x0410 ? cp + 0x20 : cp + 0x50;   // А..Я -> а..я, Ѐ..Џ -> ѐ..џ
                out += static_cast<char>(0xC0 | (cp >> 6));
                out += static_cast<char>(0x80 | (cp & 0x3F));
                ++i;
                continue;
            }
        }
        out += static_cast<char>(b);
    }
    return out;
}

namespace {

/// The words that name a kind at the start of a product's name, in lower case:
/// every kind name, singular and plural, and the names of kinds that share a code.
const std::set<std::string>& KindWords() {
    static const std::set<std::string> words = [] {
        std::set<std::string> w;
        auto add = [&](const char* name) {
            const std::string lower = LowerText(name);
            w.insert(lower.substr(0, lower.find(' ')));
        };
        for (const auto& k : kCommon) add(k.one), add(k.many);
        for (const auto& k : kGost) add(k.one), add(k.many);
        for (const auto& k : kIec) add(k.one), add(k.many);
        for (const char* extra : {"Стабилитрон", "Стабилитроны", "Разъем", "Разъемы", "Разъём", "Разъёмы", "Вилка",
                                  "Вилки", "Розетка", "Розетки", "Резонатор", "Резонаторы", "Кварц", "Светодиод",
                                  "Светодиоды", "Оптрон", "Оптроны", "Катушка", "Катушки", "Симистор",
                                  "Симисторы", "Супрессор", "Супрессоры", "Фильтр", "Фильтры", "Выключатель",
                                  "Выключатели", "Держатель", "Держатели", "Перемычка", "Перемычки", "Модуль",
                                  "Модули", "Плата", "Платы", "Индуктивность", "Индуктивности"}) {
            add(extra);
        }
        return w;
    }();
    return words;
}

}  // namespace

const Kind* KindOf(std::string_view letters, Convention convention) {
    if (const Kind* k = Find(kCommon, letters)) return k;
    switch (convention) {
        case Convention::Gost: return Find(kGost, letters);
        case Convention::Iec: return Find(kIec, letters);
        case Convention::Unknown: break;
    }
    // Unknown: a code named alike by both conventions keeps its name.
    const Kind* g = Find(kGost, letters);
    const Kind* i = Find(kIec, letters);
    if (g && kGostOnly.count(letters)) return g;
    if (i && kIecOnly.count(letters)) return i;
    return nullptr;
}

Convention DetectConvention(const std::vector<Element>& elements) {
    std::set<std::string_view> codes;
    for (const auto& e : elements) {
        if (!e.letters.empty()) codes.insert(e.letters);
    }
    std::size_t gost = 0, iec = 0;
    for (const auto code : codes) {
        gost += kGostOnly.count(code);
        iec += kIecOnly.count(code);
    }
    if (gost > iec) return Convention::Gost;
    if (iec > gost) return Convention::Iec;
    return Convention::Unknown;
}

std::vector<std::string> UndecidedCodes(const std::vector<Element>& elements) {
    std::set<std::string> out;
    for (const auto& e : elements) {
        if (e.letters.empty()) continue;
        const bool named = Find(kGost, e.letters) || Find(kIec, e.letters);
        if (named && !KindOf(e.letters, Convention::Unknown)) out.insert(e.letters);
    }
    return {out.begin(), out.end()};
}

std::string KindWordOf(std::string_view text) {
    const std::string lower = LowerText(text.substr(0, text.find(' ')));
    return KindWords().count(lower) ? lower : std::string();
}

}  // namespace ormelin::import
