// Displayed texts of cell values: the General format, simple numeric formats and
// date formats over serial dates of the 1900 and the 1904 date systems.
#include "host/display.hpp"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "base/text.hpp"

namespace ormelin::host {

namespace {

struct Date {
    int year, month, day, hour, minute, second;
};

// Civil date of a day count from 1970-01-01.
void CivilFromDays(long long z, int& y, int& m, int& d) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    long long yy = yoe + era * 400;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    if (m <= 2) ++yy;
    y = static_cast<int>(yy);
}

// A serial of the 1900 date system: 1 is 1 January 1900, 60 the 29 February
// 1900 that the system counts, 0 the day before 1 January.
Date FromSerial(double serial) {
    Date dt{};
    long long days = static_cast<long long>(std::floor(serial));
    double frac = serial - static_cast<double>(days);
    long long secs = std::llround(frac * 86400.0);
    if (secs >= 86400) {
        secs -= 86400;
        ++days;
    }
    dt.hour = static_cast<int>(secs / 3600);
    dt.minute = static_cast<int>(secs / 60 % 60);
    dt.second = static_cast<int>(secs % 60);
    if (days == 0) {
        dt.year = 1900, dt.month = 1, dt.day = 0;
    } else if (days == 60) {
        dt.year = 1900, dt.month = 2, dt.day = 29;
    } else {
        // 25569 is 1970-01-01; serials below 60 lie one day later than the count says
        long long fromEpoch = days - 25569 + (days < 60 ? 1 : 0);
        CivilFromDays(fromEpoch, dt.year, dt.month, dt.day);
    }
    return dt;
}

const char* const kMonthNames[] = {"January", "February", "March",     "April",   "May",      "June",
                                   "July",    "August",   "September", "October", "November", "December"};

std::string TwoDigits(int n) {
    std::string s = std::to_string(n);
    return s.size() < 2 ? "0" + s : s;
}

// The first section of a format (sections are separated by ';' outside quotes).
std::vector<std::string> Sections(const std::string& fmt) {
    std::vector<std::string> out(1);
    bool quoted = false;
    for (std::size_t i = 0; i < fmt.size(); ++i) {
        char ch = fmt[i];
        if (ch == '"') quoted = !quoted;
        if (ch == '\\' && i + 1 < fmt.size()) {
            out.back() += ch;
            out.back() += fmt[++i];
            continue;
        }
        if (ch == ';' && !quoted) {
            out.emplace_back();
            continue;
        }
        out.back() += ch;
    }
    return out;
}

// Drops colour and condition brackets such as [Red] or [$-419].
std::string DropBrackets(const std::string& s) {
    std::string out;
    bool quoted = false;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '"') quoted = !quoted;
        if (!quoted && s[i] == '[') {
            std::size_t close = s.find(']', i);
            if (close == std::string::npos) break;
            i = close;
            continue;
        }
        out += s[i];
    }
    return out;
}

bool IsDateFormat(const std::string& s) {
    bool quoted = false;
    bool date = false;
    for (std::size_t i = 0; i < s.size(); ++i) {
        char ch = static_cast<char>(std::tolower(static_cast<unsigned char>(s[i])));
        if (s[i] == '"') quoted = !quoted;
        if (quoted) continue;
        if (s[i] == '\\') {
            ++i;
            continue;
        }
        if (ch == '0' || ch == '#' || ch == '?') return false;
        if (ch == 'd' || ch == 'y' || ch == 'm' || ch == 'h' || ch == 's') date = true;
    }
    return date;
}

std::string FormatDate(double serial, const std::string& fmt) {
    if (serial < 0 || serial >= 2958466) return "########";
    Date dt = FromSerial(serial);
    std::string out;
    bool lastWasHour = false;
    for (std::size_t i = 0; i < fmt.size();) {
        char raw = fmt[i];
        char ch = static_cast<char>(std::tolower(static_cast<unsigned char>(raw)));
        if (raw == '"') {
            std::size_t close = fmt.find('"', i + 1);
            if (close == std::string::npos) close = fmt.size();
            out += fmt.substr(i + 1, close - i - 1);
            i = close + 1;
            continue;
        }
        if (raw == '\\' && i + 1 < fmt.size()) {
            out += fmt[i + 1];
            i += 2;
            continue;
        }
        std::size_t n = 1;
        if (ch == 'd' || ch == 'm' || ch == 'y' || ch == 'h' || ch == 's') {
            while (i + n < fmt.size() && std::tolower(static_cast<unsigned char>(fmt[i + n])) == ch) ++n;
        }
        switch (ch) {
            case 'y':
                out += n <= 2 ? TwoDigits(dt.year % 100) : std::to_string(dt.year);
                break;
            case 'd':
                if (n == 1) out += std::to_string(dt.day);
                else if (n == 2) out += TwoDigits(dt.day);
                else {
                    // day names: the weekday of the serial (serial 1 was a Sunday in this system)
                    static const char* const names[] = {"Saturday", "Sunday",   "Monday", "Tuesday",
                                                        "Wednesday", "Thursday", "Friday"};
                    long long dayNo = static_cast<long long>(std::floor(serial)) % 7;
                    std::string name = names[dayNo];
                    out += n == 3 ? name.substr(0, 3) : name;
                }
                break;
            case 'm':
                if (lastWasHour && n <= 2) {
                    out += n == 1 ? std::to_string(dt.minute) : TwoDigits(dt.minute);
                } else if (n == 1) {
                    out += std::to_string(dt.month);
                } else if (n == 2) {
                    out += TwoDigits(dt.month);
                } else {
                    std::string name = kMonthNames[dt.month - 1];
                    out += n == 3 ? name.substr(0, 3) : name;
                }
                break;
            case 'h':
                out += n == 1 ? std::to_string(dt.hour) : TwoDigits(dt.hour);
                break;
            case 's':
                out += n == 1 ? std::to_string(dt.second) : TwoDigits(dt.second);
                break;
            default:
                out += raw;
        }
        // "mm" right after an hour (across a separator) reads as minutes
        if (ch == 'h') lastWasHour = true;
        else if (ch != ':' && ch != ' ') lastWasHour = false;
        i += n;
    }
    return out;
}

// |v| in fixed notation with the given decimals, rounded as the spreadsheet
// rounds: the value taken to 15 significant digits, then halves away from zero.
std::string FixedDecimal(double v, int decimals) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", std::fabs(v));
    std::string text = buf;
    const std::size_t e = text.find('e');
    std::string digits = text.substr(0, 1) + text.substr(2, e - 2);  // 15 digits
    const int exponent = std::atoi(text.c_str() + e + 1);
    int point = exponent + 1;  // digits before the decimal point
    if (point < 0) {
        digits.insert(0, static_cast<std::size_t>(-point), '0');
        point = 0;
    }
    const std::size_t keep = static_cast<std::size_t>(point + decimals);
    if (digits.size() < keep + 1) digits.append(keep + 1 - digits.size(), '0');
    const bool up = digits[keep] >= '5';
    digits.resize(keep);
    if (up) {
        std::size_t i = keep;
        while (i > 0 && digits[i - 1] == '9') digits[--i] = '0';
        if (i == 0) {
            digits.insert(digits.begin(), '1');
            ++point;
        } else {
            ++digits[i - 1];
        }
    }
    std::string intPart = digits.substr(0, static_cast<std::size_t>(point));
    std::string frac = digits.substr(static_cast<std::size_t>(point));
    const std::size_t nz = intPart.find_first_not_of('0');
    intPart = nz == std::string::npos ? "0" : intPart.substr(nz);
    return decimals > 0 ? intPart + "." + frac : intPart;
}

std::string GroupThousands(const std::string& digits) {
    std::string out;
    int count = 0;
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (count > 0 && count % 3 == 0) out.insert(out.begin(), ',');
        out.insert(out.begin(), *it);
        ++count;
    }
    return out;
}

std::string FormatNumber(double v, const std::string& fmt, bool signInFormat) {
    // prefix literal, digit block, suffix literal
    std::string prefix, suffix;
    int decimals = 0;
    int minInt = 0;
    bool thousands = false, percent = false, inBlock = false, afterPoint = false, blockDone = false;
    for (std::size_t i = 0; i < fmt.size(); ++i) {
        char ch = fmt[i];
        std::string literal;
        if (ch == '"') {
            std::size_t close = fmt.find('"', i + 1);
            if (close == std::string::npos) close = fmt.size();
            literal = fmt.substr(i + 1, close - i - 1);
            i = close;
        } else if (ch == '\\' && i + 1 < fmt.size()) {
            literal = fmt.substr(++i, 1);
        } else if (ch == '_' && i + 1 < fmt.size()) {
            literal = " ";
            ++i;
        } else if (ch == '*' && i + 1 < fmt.size()) {
            ++i;
        } else if (!blockDone && (ch == '0' || ch == '#' || ch == '?' || (inBlock && (ch == ',' || ch == '.')) ||
                                  (!inBlock && ch == '.'))) {
            inBlock = true;
            if (ch == '.') afterPoint = true;
            else if (ch == ',') thousands = true;
            else if (afterPoint) ++decimals;
            else if (ch == '0') ++minInt;
            continue;
        } else if (ch == '%') {
            percent = true;
            literal = "%";
        } else {
            literal = std::string(1, ch);
        }
        if (inBlock) blockDone = true;
        (blockDone ? suffix : prefix) += literal;
    }
    if (!inBlock) return prefix + suffix;
    const double x = std::fabs(v) * (percent ? 100.0 : 1.0);
    const std::string s = FixedDecimal(x, decimals);
    std::string intPart = s.substr(0, s.find('.'));
    std::string fracPart = decimals > 0 ? s.substr(s.find('.') + 1) : "";
    if (minInt == 0 && intPart == "0") intPart.clear();
    while (static_cast<int>(intPart.size()) < minInt) intPart.insert(intPart.begin(), '0');
    if (thousands) intPart = GroupThousands(intPart);
    std::string body = intPart + (decimals > 0 ? "." + fracPart : "");
    bool negative = v < 0 && !signInFormat && s.find_first_not_of("0.") != std::string::npos;
    return (negative ? "-" : "") + prefix + body + suffix;
}

}  // namespace

/// Serial 0 of the 1904 date system, 1 January 1904, in the 1900 date system.
constexpr double kDays1900To1904 = 1462;

std::string DisplayValue(const Value& v, const std::string& numberFormat, bool date1904) {
    if (std::holds_alternative<std::monostate>(v)) return {};
    if (auto* s = std::get_if<std::string>(&v)) {
        // An empty fourth section (";;;") shows no text, as in every spreadsheet.
        if (numberFormat.find(';') != std::string::npos) {
            const auto sections = Sections(numberFormat);
            if (sections.size() >= 4 && sections[3].empty()) return {};
        }
        return *s;
    }
    if (auto* b = std::get_if<bool>(&v)) return *b ? "TRUE" : "FALSE";
    if (auto* e = std::get_if<CellError>(&v)) return ErrorText(*e);
    const double x = std::get<double>(v);
    if (numberFormat.empty() || text::EqualsNoCase(numberFormat, "General") || numberFormat == "@") return GeneralNumber(x);
    if (std::isnan(x) || std::isinf(x)) return ErrorText(CellError::Num);
    auto sections = Sections(numberFormat);
    std::string section = sections[0];
    bool signInFormat = false;
    if (x < 0 && sections.size() > 1 && !sections[1].empty()) {
        section = sections[1];
        signInFormat = true;
    } else if (x == 0 && sections.size() > 2 && !sections[2].empty()) {
        section = sections[2];
    }
    section = DropBrackets(section);
    if (text::EqualsNoCase(section, "General")) return GeneralNumber(signInFormat ? -x : x);
    if (IsDateFormat(section)) {
        if (date1904 && x < 0) return "########";
        return FormatDate(date1904 ? x + kDays1900To1904 : x, section);
    }
    return FormatNumber(x, section, signInFormat);
}

}  // namespace ormelin::host
