// Reading and writing formulas, and following structural changes.
#include "formula/formula.hpp"

#include <algorithm>
#include <array>

#include "base/text.hpp"
#include "ormelin/errors.hpp"

namespace ormelin::formula {

namespace {

using Kind = Reference::Kind;
using host::kMaxColumns;
using host::kMaxRows;

constexpr std::array<std::string_view, 7> kErrorLiterals = {"#NULL!", "#DIV/0!", "#VALUE!", "#REF!",
                                                            "#NAME?", "#NUM!",   "#N/A"};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
/// A character that may stand in a name or a bare sheet name.
bool IsNameChar(char c) {
    return IsAsciiLetter(c) || IsDigit(c) || c == '_' || c == '.' || c == '\\' || static_cast<unsigned char>(c) >= 0x80;
}
bool IsNameStart(char c) {
    return IsAsciiLetter(c) || c == '_' || c == '\\' || static_cast<unsigned char>(c) >= 0x80;
}
char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool StartsWithNoCase(std::string_view s, std::size_t at, std::string_view word) {
    if (s.size() - at < word.size()) return false;
    for (std::size_t i = 0; i < word.size(); ++i)
        if (UpperAscii(s[at + i]) != word[i]) return false;
    return true;
}

/// Reads up to 7 digits; returns the number of characters read (0 when none).
std::size_t ReadNumber(std::string_view s, std::size_t at, int& value) {
    std::size_t i = at;
    long v = 0;
    while (i < s.size() && IsDigit(s[i]) && i - at < 8) v = v * 10 + (s[i++] - '0');
    if (i == at || (i < s.size() && IsDigit(s[i]))) return 0;
    value = static_cast<int>(v);
    return i - at;
}

// ------------------------------------------------------------ reference readers

/// A reference must not run on into a name, a call or a sheet prefix.
bool EndsCleanly(std::string_view s, std::size_t at) {
    return at >= s.size() || (!IsNameChar(s[at]) && s[at] != '(' && s[at] != '!');
}

/// One A1 part: "$A$1" (cell), "$A" (column) or "$1" (row), by what is asked.
enum class Part { Cell, Column, Row };

std::size_t ReadA1Part(std::string_view s, std::size_t at, Part part, int base_row, int base_col, Coord& row,
                       Coord& col) {
    std::size_t i = at;
    if (part != Part::Row) {
        bool abs = i < s.size() && s[i] == '$';
        if (abs) ++i;
        std::size_t start = i;
        while (i < s.size() && IsAsciiLetter(s[i]) && i - start < 4) ++i;
        std::size_t n = i - start;
        if (n == 0 || n > 3) return 0;
        int c = text::ColumnNumber(s.substr(start, n));
        if (c == 0) return 0;
        col = abs ? Coord{c, true} : Coord{c - base_col, false};
    }
    if (part != Part::Column) {
        bool abs = i < s.size() && s[i] == '$';
        if (abs) ++i;
        int r = 0;
        std::size_t n = ReadNumber(s, i, r);
        if (n == 0 || r < 1 || r > kMaxRows) return 0;
        i += n;
        row = abs ? Coord{r, true} : Coord{r - base_row, false};
    }
    return i - at;
}

std::size_t ReadA1Reference(std::string_view s, std::size_t at, int base_row, int base_col, Reference& ref) {
    const struct {
        Part part;
        Kind single, range;
    } kinds[] = {{Part::Cell, Kind::Cell, Kind::Area}, {Part::Column, Kind::Columns, Kind::Columns},
                 {Part::Row, Kind::Rows, Kind::Rows}};
    for (const auto& k : kinds) {
        Coord r1, c1, r2, c2;
        std::size_t n1 = ReadA1Part(s, at, k.part, base_row, base_col, r1, c1);
        if (n1 == 0) continue;
        std::size_t i = at + n1;
        std::size_t n2 = 0;
        if (i < s.size() && s[i] == ':') n2 = ReadA1Part(s, i + 1, k.part, base_row, base_col, r2, c2);
        if (n2 > 0 && EndsCleanly(s, i + 1 + n2)) {
            ref.kind = k.range;
            ref.row1 = r1, ref.col1 = c1, ref.row2 = r2, ref.col2 = c2;
            return n1 + 1 + n2;
        }
        if (k.part == Part::Cell && EndsCleanly(s, i)) {
            ref.kind = Kind::Cell;
            ref.row1 = ref.row2 = r1;
            ref.col1 = ref.col2 = c1;
            return n1;
        }
    }
    return 0;
}

/// "R", "R5", "R[-2]" (or the same with C): the letter and its coordinate.
std::size_t ReadR1C1Coord(std::string_view s, std::size_t at, char letter, int limit, Coord& out) {
    if (at >= s.size() || UpperAscii(s[at]) != letter) return 0;
    std::size_t i = at + 1;
    if (i < s.size() && s[i] == '[') {
        std::size_t j = i + 1;
        bool negative = j < s.size() && s[j] == '-';
        if (negative || (j < s.size() && s[j] == '+')) ++j;
        int v = 0;
        std::size_t n = ReadNumber(s, j, v);
        if (n == 0 || j + n >= s.size() || s[j + n] != ']' || v >= limit) return 0;
        out = Coord{negative ? -v : v, false};
        return j + n + 1 - at;
    }
    int v = 0;
    std::size_t n = ReadNumber(s, i, v);
    if (n > 0) {
        if (v < 1 || v > limit) return 0;
        out = Coord{v, true};
        return 1 + n;
    }
    out = Coord{0, false};
    return 1;
}

/// One R1C1 part: R..C.. (cell), R.. (row), C.. (column).
std::size_t ReadR1C1Part(std::string_view s, std::size_t at, Kind& kind, Coord& row, Coord& col) {
    std::size_t n = ReadR1C1Coord(s, at, 'R', kMaxRows, row);
    if (n > 0) {
        std::size_t m = ReadR1C1Coord(s, at + n, 'C', kMaxColumns, col);
        kind = m > 0 ? Kind::Cell : Kind::Rows;
        return n + m;
    }
    n = ReadR1C1Coord(s, at, 'C', kMaxColumns, col);
    kind = Kind::Columns;
    return n;
}

std::size_t ReadR1C1Reference(std::string_view s, std::size_t at, Reference& ref) {
    Kind k1, k2;
    Coord r1, c1, r2, c2;
    std::size_t n1 = ReadR1C1Part(s, at, k1, r1, c1);
    if (n1 == 0) return 0;
    std::size_t i = at + n1;
    if (i < s.size() && s[i] == ':') {
        std::size_t n2 = ReadR1C1Part(s, i + 1, k2, r2, c2);
        if (n2 > 0 && k2 == k1 && EndsCleanly(s, i + 1 + n2)) {
            ref.kind = k1 == Kind::Cell ? Kind::Area : k1;
            ref.row1 = r1, ref.col1 = c1, ref.row2 = r2, ref.col2 = c2;
            return n1 + 1 + n2;
        }
    }
    if (!EndsCleanly(s, i)) return 0;
    ref.kind = k1;
    ref.row1 = ref.row2 = r1;
    ref.col1 = ref.col2 = c1;
    return n1;
}

std::size_t ReadReference(std::string_view s, std::size_t at, Notation n, int row, int col, Reference& ref) {
    if (StartsWithNoCase(s, at, "#REF!")) {
        ref.kind = Kind::Error;
        return 5;
    }
    return n == Notation::A1 ? ReadA1Reference(s, at, row, col, ref) : ReadR1C1Reference(s, at, ref);
}

// ------------------------------------------------------------ reference writers

bool Resolve(const Coord& c, int base, int limit, int& out) {
    out = c.absolute ? c.value : base + c.value;
    return out >= 1 && out <= limit;
}

std::string WriteR1C1Coord(char letter, const Coord& c) {
    std::string s(1, letter);
    if (c.absolute) return s.append(std::to_string(c.value));
    if (c.value != 0) s.append(1, '[').append(std::to_string(c.value)).append(1, ']');
    return s;
}

std::string WriteR1C1(const Reference& r) {
    switch (r.kind) {
        case Kind::Cell: return WriteR1C1Coord('R', r.row1) + WriteR1C1Coord('C', r.col1);
        case Kind::Area:
            return WriteR1C1Coord('R', r.row1) + WriteR1C1Coord('C', r.col1) + ":" + WriteR1C1Coord('R', r.row2) +
                   WriteR1C1Coord('C', r.col2);
        case Kind::Rows:
            return r.row1 == r.row2 ? WriteR1C1Coord('R', r.row1)
                                    : WriteR1C1Coord('R', r.row1) + ":" + WriteR1C1Coord('R', r.row2);
        case Kind::Columns:
            return r.col1 == r.col2 ? WriteR1C1Coord('C', r.col1)
                                    : WriteR1C1Coord('C', r.col1) + ":" + WriteR1C1Coord('C', r.col2);
        case Kind::Error: return "#REF!";
    }
    return {};
}

/// The A1 text of a reference, or nothing when a relative part falls off the sheet.
std::optional<std::string> WriteA1(const Reference& r, int row, int col) {
    int a = 0, b = 0;
    auto column = [&](const Coord& c) -> std::optional<std::string> {
        if (!Resolve(c, col, kMaxColumns, a)) return std::nullopt;
        return std::string(c.absolute ? "$" : "").append(text::ColumnLetters(a));
    };
    auto rowText = [&](const Coord& c) -> std::optional<std::string> {
        if (!Resolve(c, row, kMaxRows, b)) return std::nullopt;
        return std::string(c.absolute ? "$" : "").append(std::to_string(b));
    };
    auto cell = [&](const Coord& rr, const Coord& cc) -> std::optional<std::string> {
        auto x = column(cc);
        auto y = rowText(rr);
        if (!x || !y) return std::nullopt;
        return x->append(*y);
    };
    auto pair = [](std::optional<std::string> x, std::optional<std::string> y) -> std::optional<std::string> {
        if (!x || !y) return std::nullopt;
        return *x + ":" + *y;
    };
    switch (r.kind) {
        case Kind::Cell: return cell(r.row1, r.col1);
        case Kind::Area: return pair(cell(r.row1, r.col1), cell(r.row2, r.col2));
        case Kind::Rows: return pair(rowText(r.row1), rowText(r.row2));
        case Kind::Columns: return pair(column(r.col1), column(r.col2));
        case Kind::Error: return "#REF!";
    }
    return std::nullopt;
}

std::string WriteReference(const Reference& r, Notation n, int row, int col) {
    std::string prefix = r.hasSheet ? QuoteSheet(r.sheet) + "!" : std::string();
    if (n == Notation::R1C1) return prefix + WriteR1C1(r);
    auto body = WriteA1(r, row, col);
    return prefix + (body ? *body : std::string("#REF!"));
}

// ------------------------------------------------------------ tokenizer

class Lexer {
public:
    Lexer(std::string_view s, Notation n, int row, int col) : s_(s), n_(n), row_(row), col_(col) {}

    std::vector<Token> Run() {
        if (!s_.empty() && s_[0] == '=') Emit(Token::Type::Equals, 1);
        while (i_ < s_.size()) Next();
        return std::move(out_);
    }

private:
    void Emit(Token::Type t, std::size_t len) {
        out_.push_back(Token{t, std::string(s_.substr(i_, len)), {}});
        i_ += len;
    }

    void EmitReference(std::size_t start, Reference ref) {
        Token t{Token::Type::Reference, std::string(s_.substr(start, i_ - start)), std::move(ref)};
        out_.push_back(std::move(t));
    }

    /// After a sheet prefix ending at i_: a reference, or false.
    bool ReferenceAfterPrefix(std::size_t start, std::string sheet) {
        Reference ref;
        std::size_t len = ReadReference(s_, i_, n_, row_, col_, ref);
        if (len == 0) return false;
        ref.hasSheet = true;
        ref.sheet = std::move(sheet);
        i_ += len;
        EmitReference(start, std::move(ref));
        return true;
    }

    void Next() {
        char c = s_[i_];
        std::size_t start = i_;
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            std::size_t j = i_;
            while (j < s_.size() && (s_[j] == ' ' || s_[j] == '\t' || s_[j] == '\r' || s_[j] == '\n')) ++j;
            Emit(Token::Type::Space, j - i_);
        } else if (c == '"') {
            std::size_t j = i_ + 1;
            for (;;) {
                std::size_t q = s_.find('"', j);
                if (q == std::string_view::npos) {
                    Emit(Token::Type::Other, s_.size() - i_);
                    return;
                }
                if (q + 1 < s_.size() && s_[q + 1] == '"') {
                    j = q + 2;
                    continue;
                }
                Emit(Token::Type::String, q + 1 - i_);
                return;
            }
        } else if (c == '#') {
            for (std::string_view e : kErrorLiterals)
                if (StartsWithNoCase(s_, i_, e)) return Emit(Token::Type::Error, e.size());
            Emit(Token::Type::Other, 1);
        } else if (c == '\'') {
            std::string sheet;
            std::size_t j = i_ + 1;
            bool closed = false;
            while (j < s_.size()) {
                if (s_[j] == '\'') {
                    if (j + 1 < s_.size() && s_[j + 1] == '\'') {
                        sheet += '\'';
                        j += 2;
                        continue;
                    }
                    closed = true;
                    break;
                }
                sheet += s_[j++];
            }
            if (closed && j + 1 < s_.size() && s_[j + 1] == '!') {
                i_ = j + 2;
                if (ReferenceAfterPrefix(start, std::move(sheet))) return;
                i_ = start;
                return Emit(Token::Type::Other, j + 2 - start);
            }
            Emit(Token::Type::Other, closed ? j + 1 - i_ : s_.size() - i_);
        } else if (IsNameStart(c) || c == '$' || IsDigit(c) || c == '.') {
            Word();
        } else if (c == '(') {
            Emit(Token::Type::Open, 1);
        } else if (c == ')') {
            Emit(Token::Type::Close, 1);
        } else if (c == ',') {
            Emit(Token::Type::Comma, 1);
        } else if ((c == '<' || c == '>') && i_ + 1 < s_.size() &&
                   (s_[i_ + 1] == '=' || (c == '<' && s_[i_ + 1] == '>'))) {
            Emit(Token::Type::Operator, 2);
        } else if (std::string_view("+-*/^&=<>%:").find(c) != std::string_view::npos) {
            Emit(Token::Type::Operator, 1);
        } else {
            std::size_t len = 1;
            while (i_ + len < s_.size() && (static_cast<unsigned char>(s_[i_ + len]) & 0xC0) == 0x80) ++len;
            Emit(Token::Type::Other, len);
        }
    }

    /// A name, a sheet prefix, a reference, a number or a Boolean.
    void Word() {
        std::size_t start = i_;
        if (IsNameStart(s_[i_])) {
            std::size_t j = i_;
            while (j < s_.size() && IsNameChar(s_[j])) ++j;
            if (j < s_.size() && s_[j] == '!') {
                std::string sheet(s_.substr(i_, j - i_));
                i_ = j + 1;
                if (ReferenceAfterPrefix(start, std::move(sheet))) return;
                // a name on a sheet (Sheet1!Total): one name token
                std::size_t k = i_;
                while (k < s_.size() && IsNameChar(s_[k])) ++k;
                i_ = start;
                return Emit(Token::Type::Name, k - start);
            }
        }
        Reference ref;
        std::size_t len = ReadReference(s_, i_, n_, row_, col_, ref);
        if (len > 0 && ref.kind != Kind::Error) {
            i_ += len;
            return EmitReference(start, std::move(ref));
        }
        if (IsDigit(s_[i_]) || s_[i_] == '.') return NumberLiteral();
        if (!IsNameStart(s_[i_])) return Emit(Token::Type::Other, 1);
        std::size_t j = i_;
        while (j < s_.size() && IsNameChar(s_[j])) ++j;
        std::string_view word = s_.substr(i_, j - i_);
        if (j < s_.size() && s_[j] == '(') return Emit(Token::Type::Function, j - i_);
        if ((word.size() == 4 && StartsWithNoCase(word, 0, "TRUE")) ||
            (word.size() == 5 && StartsWithNoCase(word, 0, "FALSE")))
            return Emit(Token::Type::Bool, word.size());
        Emit(Token::Type::Name, j - i_);
    }

    void NumberLiteral() {
        std::size_t j = i_;
        while (j < s_.size() && IsDigit(s_[j])) ++j;
        if (j < s_.size() && s_[j] == '.') {
            ++j;
            while (j < s_.size() && IsDigit(s_[j])) ++j;
        }
        if (j < s_.size() && (s_[j] == 'e' || s_[j] == 'E')) {
            std::size_t k = j + 1;
            if (k < s_.size() && (s_[k] == '+' || s_[k] == '-')) ++k;
            if (k < s_.size() && IsDigit(s_[k])) {
                while (k < s_.size() && IsDigit(s_[k])) ++k;
                j = k;
            }
        }
        if (j == i_ + 1 && s_[i_] == '.') return Emit(Token::Type::Other, 1);
        Emit(Token::Type::Number, j - i_);
    }

    std::string_view s_;
    Notation n_;
    int row_, col_;
    std::size_t i_ = 0;
    std::vector<Token> out_;
};

// ------------------------------------------------------------ adjustment

/// Where a row (or column) goes when rows are inserted or deleted; 0 when it is deleted.
int Move(int x, bool insert, int at, int count, int limit) {
    if (x < at) return x;
    if (insert) return x + count <= limit ? x + count : 0;
    if (x < at + count) return 0;
    return x - count;
}

/// The span [a, b] after the change, or false when all of it is deleted.
bool MoveSpan(int& a, int& b, bool insert, int at, int count, int limit) {
    if (insert) {
        int na = Move(a, true, at, count, limit), nb = Move(b, true, at, count, limit);
        if (na == 0) return false;
        a = na;
        b = nb == 0 ? limit : nb;
        return true;
    }
    int last = at + count - 1;
    if (a >= at && b <= last) return false;
    int na = a < at ? a : a > last ? a - count : at;
    int nb = b < at ? b : b > last ? b - count : at - 1;
    a = na;
    b = nb;
    return true;
}

struct Adjuster {
    const Change& ch;
    std::string_view formulaSheet;
    int row, col;        // formula cell before the change
    int newRow, newCol;  // and after it

    bool RowsChange() const {
        return ch.kind == Change::Kind::InsertRows || ch.kind == Change::Kind::DeleteRows;
    }
    bool Insert() const {
        return ch.kind == Change::Kind::InsertRows || ch.kind == Change::Kind::InsertColumns;
    }

    /// Rewrites one reference; true when it changed.
    bool Apply(Reference& r) const {
        // a lost reference keeps its sheet name, which follows the sheet
        if (r.kind == Kind::Error && ch.kind != Change::Kind::RenameSheet && ch.kind != Change::Kind::DeleteSheet)
            return false;
        const std::string_view target = r.hasSheet ? std::string_view(r.sheet) : formulaSheet;
        const bool onSheet = SameSheet(target, ch.sheet);
        Reference before = r;
        switch (ch.kind) {
            case Change::Kind::RenameSheet:
                if (r.hasSheet && onSheet) r.sheet = ch.newName;
                return !(r == before);
            case Change::Kind::DeleteSheet:
                if (r.hasSheet && onSheet) {
                    r = Reference{};
                    r.kind = Kind::Error;
                    return true;
                }
                return false;
            case Change::Kind::MoveCells: return ApplyMove(r);
            default: break;
        }
        const bool rows = RowsChange();
        const int base = rows ? row : col, newBase = rows ? newRow : newCol;
        const int limit = rows ? kMaxRows : kMaxColumns;
        Coord& c1 = rows ? r.row1 : r.col1;
        Coord& c2 = rows ? r.row2 : r.col2;
        // a whole-row reference has no columns, a whole-column one no rows
        if ((rows && r.kind == Kind::Columns) || (!rows && r.kind == Kind::Rows)) return false;
        int a = c1.absolute ? c1.value : base + c1.value;
        int b = c2.absolute ? c2.value : base + c2.value;
        // a relative reference that already points off the sheet names no cell:
        // it keeps its place (and so still shows #REF!) instead of being lost anew
        const bool offSheet = a < 1 || a > limit || b < 1 || b > limit;
        if (onSheet && !offSheet) {
            bool kept;
            if (r.kind == Kind::Cell) {
                a = b = Move(a, Insert(), ch.at, ch.count, limit);
                kept = a != 0;
            } else {
                int lo = std::min(a, b), hi = std::max(a, b);
                kept = MoveSpan(lo, hi, Insert(), ch.at, ch.count, limit);
                if (a <= b) a = lo, b = hi; else a = hi, b = lo;
            }
            if (!kept) {
                r.kind = Kind::Error;
                return true;
            }
        }
        c1.value = c1.absolute ? a : a - newBase;
        c2.value = c2.absolute ? b : b - newBase;
        return !(r == before);
    }

    /// Cut and paste: references to cells inside the moved area go with them,
    /// references to the cells the paste covers are lost, and a moved formula
    /// keeps pointing at the cells it pointed at.
    bool ApplyMove(Reference& r) const {
        const Reference before = r;
        const bool ownMoved = SameSheet(formulaSheet, ch.sheet) && ch.area.contains(row, col);
        const std::string_view newOwn = ownMoved ? std::string_view(ch.destSheet) : formulaSheet;
        std::string target(r.hasSheet ? std::string_view(r.sheet) : formulaSheet);
        auto at = [](const Coord& c, int base) { return c.absolute ? c.value : base + c.value; };
        int r1 = at(r.row1, row), r2 = at(r.row2, row), c1 = at(r.col1, col), c2 = at(r.col2, col);
        if (r.kind == Kind::Columns) r1 = 1, r2 = kMaxRows;
        if (r.kind == Kind::Rows) c1 = 1, c2 = kMaxColumns;
        const Area span{std::min(r1, r2), std::min(c1, c2), std::max(r1, r2), std::max(c1, c2)};
        const int dr = ch.destRow - ch.area.r1, dc = ch.destColumn - ch.area.c1;
        const Area dest{ch.destRow, ch.destColumn, ch.destRow + ch.area.rows() - 1,
                        ch.destColumn + ch.area.columns() - 1};
        if (SameSheet(target, ch.sheet) && ch.area.contains(span)) {
            if (r.kind != Kind::Columns) r1 += dr, r2 += dr;
            if (r.kind != Kind::Rows) c1 += dc, c2 += dc;
            target = ch.destSheet;
        } else if (SameSheet(target, ch.destSheet) && dest.contains(span)) {
            r.kind = Kind::Error;
            return true;
        }
        if (r.hasSheet) {
            r.sheet = SameSheet(target, r.sheet) ? r.sheet : target;
        } else if (!SameSheet(target, newOwn)) {
            r.hasSheet = true;
            r.sheet = target;
        }
        auto put = [](Coord& c, int value, int base) { c.value = c.absolute ? value : value - base; };
        if (r.kind != Kind::Columns) put(r.row1, r1, newRow), put(r.row2, r2, newRow);
        if (r.kind != Kind::Rows) put(r.col1, c1, newCol), put(r.col2, c2, newCol);
        return !(r == before);
    }
};

/// Whether a formula holds the name of a sheet, bare or quoted, without case.
bool ContainsSheetName(std::string_view formula, std::string_view sheet) {
    const std::string hay = text::Fold(formula), needle = text::Fold(sheet);
    if (needle.empty()) return false;
    std::string quoted;
    for (char c : needle) {
        quoted += c;
        if (c == '\'') quoted += c;
    }
    return hay.find(needle) != std::string::npos || hay.find(quoted) != std::string::npos;
}
}  // namespace

// ---------------------------------------------------------------- public

std::vector<Token> Tokenize(std::string_view formula, Notation notation, int row, int column) {
    return Lexer(formula, notation, row, column).Run();
}

std::string Render(const std::vector<Token>& tokens, Notation notation, int row, int column) {
    std::string out;
    for (const Token& t : tokens)
        out += t.type == Token::Type::Reference ? WriteReference(t.ref, notation, row, column) : t.text;
    return out;
}

std::string ToA1(std::string_view r1c1, int row, int column) {
    return Render(Tokenize(r1c1, Notation::R1C1, row, column), Notation::A1, row, column);
}

namespace {

/// Whether two readings of a formula hold the same tokens: their kinds, and the
/// names as written.
std::size_t FirstDifference(const std::vector<Token>& a, const std::vector<Token>& b) {
    std::size_t i = 0;
    for (; i < a.size() && i < b.size(); ++i) {
        if (a[i].type != b[i].type) return i;
        const bool named = a[i].type == Token::Type::Name || a[i].type == Token::Type::Function;
        if (named && a[i].text != b[i].text) return i;
    }
    return a.size() == b.size() ? std::string::npos : i;
}

}  // namespace

std::string ToR1C1(std::string_view a1, int row, int column) {
    const std::vector<Token> tokens = Tokenize(a1, Notation::A1, row, column);
    std::string r1c1 = Render(tokens, Notation::R1C1, row, column);
    // The model reads the formula in R1C1 notation from now on: it must read as
    // the same formula there ("c" is a name in A1 but the current column in R1C1,
    // and two references side by side run into one another).
    const std::size_t at = FirstDifference(tokens, Tokenize(r1c1, Notation::R1C1, row, column));
    if (at != std::string::npos && !tokens.empty()) {
        const Token& t = tokens[std::min(at, tokens.size() - 1)];
        throw Error(ErrorCode::InvalidArgument,
                    t.type == Token::Type::Name || t.type == Token::Type::Function
                        ? "the name \"" + t.text + "\" of the formula would be read as a reference"
                        : "the formula would be read otherwise in R1C1 notation from \"" + t.text + "\" on");
    }
    return r1c1;
}

bool ReferencesSheet(std::string_view formulaR1C1, std::string_view sheet) {
    for (const Token& t : Tokenize(formulaR1C1, Notation::R1C1, 1, 1))
        if (t.type == Token::Type::Reference && t.ref.hasSheet && SameSheet(t.ref.sheet, sheet)) return true;
    return false;
}

Summary Summarize(std::string_view formulaR1C1) {
    Summary s;
    for (const Token& t : Tokenize(formulaR1C1, Notation::R1C1, 1, 1)) {
        if (t.type != Token::Type::Reference || t.ref.kind == Kind::Error) continue;
        const Reference& r = t.ref;
        s.hasReferences = true;
        bool relRows = r.kind != Kind::Columns && (!r.row1.absolute || !r.row2.absolute);
        bool relCols = r.kind != Kind::Rows && (!r.col1.absolute || !r.col2.absolute);
        s.hasRelative = s.hasRelative || relRows || relCols;
        if (!r.hasSheet) {
            s.refersToOwnSheet = true;
        } else if (std::none_of(s.sheets.begin(), s.sheets.end(),
                                [&](const std::string& x) { return SameSheet(x, r.sheet); })) {
            s.sheets.push_back(r.sheet);
        }
    }
    return s;
}

bool MayNeedAdjust(std::string_view formulaR1C1, std::string_view formulaSheet, const Change& change) {
    const bool structural = change.kind != Change::Kind::DeleteSheet && change.kind != Change::Kind::RenameSheet;
    if (structural && SameSheet(formulaSheet, change.sheet)) return true;
    if (change.kind == Change::Kind::MoveCells &&
        (SameSheet(formulaSheet, change.destSheet) || ContainsSheetName(formulaR1C1, change.destSheet)))
        return true;
    return ContainsSheetName(formulaR1C1, change.sheet);
}

std::optional<std::string> Adjust(std::string_view formulaR1C1, std::string_view formulaSheet, int row, int column,
                                  const Change& change) {
    Adjuster adj{change, formulaSheet, row, column, row, column};
    if (change.kind == Change::Kind::MoveCells) {
        if (SameSheet(formulaSheet, change.sheet) && change.area.contains(row, column)) {
            adj.newRow = row + change.destRow - change.area.r1;
            adj.newCol = column + change.destColumn - change.area.c1;
        }
    } else if (SameSheet(formulaSheet, change.sheet)) {
        auto moved = [&](int x) {
            int y = Move(x, adj.Insert(), change.at, change.count, adj.RowsChange() ? kMaxRows : kMaxColumns);
            return y == 0 ? (adj.Insert() ? x : change.at) : y;
        };
        if (change.kind == Change::Kind::InsertRows || change.kind == Change::Kind::DeleteRows) adj.newRow = moved(row);
        if (change.kind == Change::Kind::InsertColumns || change.kind == Change::Kind::DeleteColumns)
            adj.newCol = moved(column);
    }
    std::vector<Token> tokens = Tokenize(formulaR1C1, Notation::R1C1, row, column);
    bool changed = false;
    for (Token& t : tokens)
        if (t.type == Token::Type::Reference && adj.Apply(t.ref)) changed = true;
    if (!changed) return std::nullopt;
    return Render(tokens, Notation::R1C1, adj.newRow, adj.newCol);
}

}  // namespace ormelin::formula
