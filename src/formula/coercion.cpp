// How a formula's operands turn into numbers, texts and truth values.
#include "formula/coercion.hpp"

#include <charconv>
#include <cmath>

namespace ormelin::formula::coercion {

std::string UpperAscii(std::string_view s) {
    std::string up(s);
    for (char& c : up)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return up;
}

Or<double> ParseNumber(std::string_view s) {
    std::size_t b = 0, e = s.size();
    while (b < e && s[b] == ' ') ++b;
    while (e > b && s[e - 1] == ' ') --e;
    s = s.substr(b, e - b);
    double scale = 1;
    if (!s.empty() && s.back() == '%') {
        scale = 0.01;
        s.remove_suffix(1);
    }
    bool negative = false;
    if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
        negative = s[0] == '-';
        s.remove_prefix(1);
    }
    if (s.empty() || s[0] == '+' || s[0] == '-') return CellError::Value;
    double d = 0;
    auto r = std::from_chars(s.data(), s.data() + s.size(), d);
    if (r.ec != std::errc() || r.ptr != s.data() + s.size()) return CellError::Value;
    return (negative ? -d : d) * scale;
}

Or<double> ToNumber(const Value& v) {
    if (IsEmpty(v)) return 0.0;
    if (auto d = std::get_if<double>(&v)) return *d;
    if (auto b = std::get_if<bool>(&v)) return *b ? 1.0 : 0.0;
    if (auto s = std::get_if<std::string>(&v)) return ParseNumber(*s);
    return std::get<CellError>(v);
}

Or<std::string> ToText(const Value& v) {
    if (IsEmpty(v)) return std::string();
    if (auto d = std::get_if<double>(&v)) return GeneralText(*d);
    if (auto b = std::get_if<bool>(&v)) return std::string(*b ? "TRUE" : "FALSE");
    if (auto s = std::get_if<std::string>(&v)) return *s;
    return std::get<CellError>(v);
}

Or<bool> ToBool(const Value& v) {
    if (IsEmpty(v)) return false;
    if (auto d = std::get_if<double>(&v)) return *d != 0;
    if (auto b = std::get_if<bool>(&v)) return *b;
    if (auto s = std::get_if<std::string>(&v)) {
        std::string up = UpperAscii(*s);
        if (up == "TRUE") return true;
        if (up == "FALSE") return false;
        return CellError::Value;
    }
    return std::get<CellError>(v);
}

Or<int> Compare(Value a, Value b) {
    if (auto e = AsError(a)) return *e;
    if (auto e = AsError(b)) return *e;
    auto zeroLike = [](const Value& other) -> Value {
        if (std::holds_alternative<std::string>(other)) return std::string();
        if (std::holds_alternative<bool>(other)) return false;
        return 0.0;
    };
    if (IsEmpty(a) && IsEmpty(b)) return 0;
    if (IsEmpty(a)) a = zeroLike(b);
    if (IsEmpty(b)) b = zeroLike(a);
    auto rank = [](const Value& v) { return std::holds_alternative<double>(v) ? 0 : std::holds_alternative<std::string>(v) ? 1 : 2; };
    int ra = rank(a), rb = rank(b);
    if (ra != rb) return ra < rb ? -1 : 1;
    auto sign = [](auto x, auto y) { return x < y ? -1 : y < x ? 1 : 0; };
    if (ra == 0) return sign(std::get<double>(a), std::get<double>(b));
    if (ra == 2) return sign(std::get<bool>(a), std::get<bool>(b));
    return sign(text::Fold(std::get<std::string>(a)), text::Fold(std::get<std::string>(b)));
}

Value Numeric(double d) {
    if (!std::isfinite(d)) return CellError::Num;
    return d == 0 ? 0.0 : d;
}

}  // namespace ormelin::formula::coercion
