// Long texts wrapped onto continuation rows, measured as they print
// (measure/text_measure.hpp).
#include "import/bom.hpp"

namespace ormelin::import {

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
