// Formula text between the model's R1C1 notation and the file's A1 notation.
//
// A reference rewriter, not a formula parser: it walks the text, copies string
// literals, quoted sheet names, function names and other names unchanged, and
// rewrites the cell, row and column references it meets. The formula engine of
// src/host takes over this conversion once it offers it.
#include <charconv>
#include <string>

#include "xlsx/common.hpp"

namespace ormelin::xlsx::detail {

namespace {

bool IsNameChar(char ch) {
    auto u = static_cast<unsigned char>(ch);
    return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z') || (ch >= '0' && ch <= '9') || ch == '_' ||
           ch == '.' || ch == '\\' || ch == '$' || u >= 0x80;
}

bool IsLetter(char ch) { return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z'); }
bool IsDigit(char ch) { return ch >= '0' && ch <= '9'; }

// Copies a literal that begins at text[i] with the quote character q (doubled
// quotes stand for one) and returns the index after it.
std::size_t CopyQuoted(std::string_view text, std::size_t i, char q, std::string& out) {
    out += text[i++];
    while (i < text.size()) {
        out += text[i];
        if (text[i] == q) {
            if (i + 1 < text.size() && text[i + 1] == q) {
                out += text[++i];
            } else {
                return i + 1;
            }
        }
        ++i;
    }
    return i;
}

// ---------------------------------------------------------------- A1 side

struct A1Part {
    int column = 0, row = 0;          // 0: absent
    bool absColumn = false, absRow = false;
};

// Parses "$A$1", "A1", "$A", "12" (a whole token). Returns false if it is none.
bool ParseA1Part(std::string_view tok, A1Part& p) {
    std::size_t i = 0;
    if (i < tok.size() && tok[i] == '$' && i + 1 < tok.size() && IsLetter(tok[i + 1])) p.absColumn = true, ++i;
    std::size_t l = i;
    while (i < tok.size() && IsLetter(tok[i])) ++i;
    if (i - l > 3) return false;
    if (i > l) {
        p.column = host::ColumnNumber(tok.substr(l, i - l));
        if (p.column == 0) return false;
    } else {
        p.absColumn = false;
    }
    if (i < tok.size() && tok[i] == '$') p.absRow = true, ++i;
    std::size_t d = i;
    while (i < tok.size() && IsDigit(tok[i])) ++i;
    if (i != tok.size()) return false;
    if (i > d) {
        if (i - d > 7) return false;
        int row = 0;
        std::from_chars(tok.data() + d, tok.data() + i, row);
        if (row < 1 || row > host::kMaxRows) return false;
        p.row = row;
    } else if (p.absRow) {
        return false;
    }
    return p.column != 0 || p.row != 0;
}

std::string R1C1Axis(char axis, int value, bool absolute, int base) {
    std::string s(1, axis);
    if (absolute) return s + std::to_string(value);
    if (value != base) s += "[" + std::to_string(value - base) + "]";
    return s;
}

std::string PartToR1C1(const A1Part& p, int row, int column) {
    std::string s;
    if (p.row) s += R1C1Axis('R', p.row, p.absRow, row);
    if (p.column) s += R1C1Axis('C', p.column, p.absColumn, column);
    return s;
}

// ---------------------------------------------------------------- R1C1 side

struct RCPart {
    bool hasRow = false, hasColumn = false;
    int row = 0, column = 0;  // resolved numbers; 0 when out of the sheet
    bool absRow = false, absColumn = false;
};

// Parses an axis after its letter: "[n]", "n" or nothing.
bool ParseAxis(std::string_view text, std::size_t& i, int base, bool& absolute, int& value, int max) {
    long v = 0;
    if (i < text.size() && text[i] == '[') {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '-' || text[j] == '+')) ++j;
        std::size_t d = j;
        while (j < text.size() && IsDigit(text[j])) ++j;
        if (j == d || j - d > 8 || j >= text.size() || text[j] != ']') return false;
        long off = 0;
        std::from_chars(text.data() + d, text.data() + j, off);
        if (text[i + 1] == '-') off = -off;
        v = base + off;
        absolute = false;
        i = j + 1;
    } else if (i < text.size() && IsDigit(text[i])) {
        std::size_t d = i;
        while (i < text.size() && IsDigit(text[i])) ++i;
        if (i - d > 8) return false;
        std::from_chars(text.data() + d, text.data() + i, v);
        absolute = true;
    } else {
        v = base;
        absolute = false;
    }
    value = v >= 1 && v <= max ? static_cast<int>(v) : 0;
    return true;
}

// Parses an R1C1 reference part at text[i]; on success moves i past it.
bool ParseRC(std::string_view text, std::size_t& i, int row, int column, RCPart& p) {
    std::size_t j = i;
    if (j < text.size() && (text[j] == 'R' || text[j] == 'r')) {
        ++j;
        if (!ParseAxis(text, j, row, p.absRow, p.row, host::kMaxRows)) return false;
        p.hasRow = true;
    }
    if (j < text.size() && (text[j] == 'C' || text[j] == 'c')) {
        ++j;
        if (!ParseAxis(text, j, column, p.absColumn, p.column, host::kMaxColumns)) return false;
        p.hasColumn = true;
    }
    if (!p.hasRow && !p.hasColumn) return false;
    if (j < text.size() && (IsNameChar(text[j]) || text[j] == '(' || text[j] == '!')) return false;
    i = j;
    return true;
}

std::string RowA1(const RCPart& p) { return (p.absRow ? "$" : "") + std::to_string(p.row); }
std::string ColumnA1(const RCPart& p) { return (p.absColumn ? "$" : "") + host::ColumnLetters(p.column); }

bool Resolved(const RCPart& p) { return (!p.hasRow || p.row) && (!p.hasColumn || p.column); }

}  // namespace

std::string ToR1C1(std::string_view text, int row, int column) {
    std::string out = "=";
    std::size_t i = !text.empty() && text[0] == '=' ? 1 : 0;
    while (i < text.size()) {
        char ch = text[i];
        if (ch == '"') {
            i = CopyQuoted(text, i, '"', out);
            continue;
        }
        if (ch == '\'') {
            i = CopyQuoted(text, i, '\'', out);
            continue;
        }
        if (ch == '[') {  // structured reference or external book: copied as it stands
            std::size_t j = text.find(']', i);
            j = j == std::string_view::npos ? text.size() : j + 1;
            out.append(text.substr(i, j - i));
            i = j;
            continue;
        }
        if (!IsNameChar(ch)) {
            out += ch;
            ++i;
            continue;
        }
        std::size_t j = i;
        while (j < text.size() && IsNameChar(text[j])) ++j;
        std::string_view tok = text.substr(i, j - i);
        A1Part a;
        if (j < text.size() && (text[j] == '!' || text[j] == '(')) {
            out.append(tok);
        } else if (ParseA1Part(tok, a)) {
            // A range "A1:B2", "A:B" or "1:2", or a single cell.
            std::size_t k = j;
            A1Part b;
            if (k < text.size() && text[k] == ':') {
                std::size_t e = k + 1;
                while (e < text.size() && IsNameChar(text[e])) ++e;
                if (ParseA1Part(text.substr(k + 1, e - k - 1), b) && (b.row != 0) == (a.row != 0) &&
                    (b.column != 0) == (a.column != 0)) {
                    out += PartToR1C1(a, row, column) + ":" + PartToR1C1(b, row, column);
                    i = e;
                    continue;
                }
            }
            if (a.row && a.column)
                out += PartToR1C1(a, row, column);
            else
                out.append(tok);  // a lone number or name
        } else {
            out.append(tok);
        }
        i = j;
    }
    return out;
}

std::string ToA1(std::string_view text, int row, int column) {
    std::string out;
    std::size_t i = !text.empty() && text[0] == '=' ? 1 : 0;
    while (i < text.size()) {
        char ch = text[i];
        if (ch == '"') {
            i = CopyQuoted(text, i, '"', out);
            continue;
        }
        if (ch == '\'') {
            i = CopyQuoted(text, i, '\'', out);
            continue;
        }
        if (!IsNameChar(ch)) {
            out += ch;
            ++i;
            continue;
        }
        RCPart a;
        std::size_t k = i;
        if (ParseRC(text, k, row, column, a)) {
            RCPart b;
            std::size_t e = k + 1;
            bool range = k < text.size() && text[k] == ':' && ParseRC(text, e, row, column, b) &&
                         a.hasRow == b.hasRow && a.hasColumn == b.hasColumn;
            if (!range) b = a, e = k;
            if (!Resolved(a) || !Resolved(b)) {
                out += "#REF!";
            } else if (a.hasRow && a.hasColumn) {
                out += ColumnA1(a) + RowA1(a);
                if (range) out += ":" + ColumnA1(b) + RowA1(b);
            } else if (a.hasRow) {
                out += RowA1(a) + ":" + RowA1(b);
            } else {
                out += ColumnA1(a) + ":" + ColumnA1(b);
            }
            i = e;
            continue;
        }
        std::size_t j = i;
        while (j < text.size() && IsNameChar(text[j])) ++j;
        out.append(text.substr(i, j - i));
        i = j;
    }
    return out;
}

}  // namespace ormelin::xlsx::detail
