#include "base/number.hpp"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace ormelin::text {

namespace {

constexpr const char* kNotANumber = "#NUM!";

std::string Printf(const char* fmt, int precision, double v) {
    char buf[512];
    std::snprintf(buf, sizeof buf, fmt, precision, v);
    return buf;
}

// "1.2300" -> "1.23", "2.000" -> "2"
std::string StripZeros(std::string s) {
    if (s.find('.') == std::string::npos) return s;
    while (!s.empty() && s.back() == '0') s.pop_back();
    if (!s.empty() && s.back() == '.') s.pop_back();
    return s;
}

std::string Scientific(double v, int decimals) {
    std::string s = Printf("%.*E", decimals, v);
    std::size_t e = s.find('E');
    return StripZeros(s.substr(0, e)) + s.substr(e);
}

int SignificantDigits(std::string_view s) {
    int n = 0;
    bool leading = true;
    int pendingZeros = 0;
    for (char ch : s) {
        if (ch == 'E') break;
        if (ch < '0' || ch > '9') continue;
        if (leading && ch == '0') continue;
        leading = false;
        if (ch == '0') {
            ++pendingZeros;
        } else {
            n += pendingZeros + 1;
            pendingZeros = 0;
        }
    }
    return n;
}

std::string FixNegativeZero(std::string s) {
    if (s == "-0") return "0";
    return s;
}

}  // namespace

std::string GeneralNumber(double v) {
    if (std::isnan(v) || std::isinf(v)) return kNotANumber;
    if (v == 0) return "0";
    const double a = std::fabs(v);
    int e = static_cast<int>(std::floor(std::log10(a)));
    if (e >= 11 || e < -5) {
        // a value that rounds up to 1E+11 or more still goes to scientific notation
        return Scientific(v, 5);
    }
    if (e < 0) {
        std::string dec = FixNegativeZero(StripZeros(Printf("%.*f", 9, v)));
        std::string sci = Scientific(v, 5);
        return SignificantDigits(sci) > SignificantDigits(dec) ? sci : dec;
    }
    int decimals = 9 - e;
    if (decimals < 0) decimals = 0;
    std::string dec = FixNegativeZero(StripZeros(Printf("%.*f", decimals, v)));
    std::size_t intLen = dec.find('.');
    if (intLen == std::string::npos) intLen = dec.size();
    if (v < 0) --intLen;
    if (intLen > 11) return Scientific(v, 5);
    return dec;
}

std::string NumberText(double v) {
    if (std::isnan(v) || std::isinf(v)) return kNotANumber;
    if (v == 0) return "0";
    const double a = std::fabs(v);
    if (a >= 1e15 || a < 1e-14) return Printf("%.*G", 15, v);
    // Fifteen significant digits written out in full, however small the number;
    // the exponent is that of the number rounded to them.
    const std::string sci = Printf("%.*E", 14, a);
    const int e = std::atoi(sci.c_str() + sci.find('E') + 1);
    return FixNegativeZero(StripZeros(Printf("%.*f", e < 14 ? 14 - e : 0, v)));
}

}  // namespace ormelin::text
