// Evaluating formulas.
#include <charconv>
#include <cmath>
#include <cstdio>
#include <map>

#include "formula/coercion.hpp"
#include "formula/formula.hpp"

namespace ormelin::formula {

namespace {

using namespace coercion;

/// Thrown when the formula holds something the engine does not evaluate.
struct Unknown {};

// ------------------------------------------------------------ syntax tree

struct Node {
    enum class K : std::uint8_t { Number, Text, Bool, Error, Ref, Missing, Unary, Percent, Binary, Call };
    K k = K::Missing;
    double number = 0;
    std::string text;   // Text: the literal's content; Unary/Binary: the operator; Call: the upper-case name
    bool boolean = false;
    CellError error = CellError::Value;
    Reference ref;
    std::vector<int> kids;
};

CellError ErrorOf(std::string_view t) {
    static const std::pair<std::string_view, CellError> kErrors[] = {
        {"#NULL!", CellError::Null}, {"#DIV/0!", CellError::Div0}, {"#VALUE!", CellError::Value},
        {"#REF!", CellError::Ref},   {"#NAME?", CellError::Name},  {"#NUM!", CellError::Num},
        {"#N/A", CellError::NA}};
    std::string up;
    for (char c : t) up += c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
    for (const auto& [name, e] : kErrors)
        if (up == name) return e;
    return CellError::Value;
}

/// Recursive descent over the tokens, blanks left out. Binding from loosest:
/// comparison, &, + -, * /, ^, %, unary sign, ":".
class Parser {
public:
    explicit Parser(const std::vector<Token>& tokens) {
        for (const Token& t : tokens)
            if (t.type != Token::Type::Space) toks_.push_back(&t);
    }

    /// The root node; throws Unknown on what cannot be read.
    int Parse(std::vector<Node>& nodes) {
        nodes_ = &nodes;
        if (pos_ < toks_.size() && toks_[pos_]->type == Token::Type::Equals) ++pos_;
        int root = Comparison();
        if (pos_ != toks_.size()) throw Unknown{};
        return root;
    }

private:
    const Token* Peek() const { return pos_ < toks_.size() ? toks_[pos_] : nullptr; }
    bool IsOp(std::initializer_list<std::string_view> ops) const {
        const Token* t = Peek();
        if (!t || t->type != Token::Type::Operator) return false;
        for (auto o : ops)
            if (t->text == o) return true;
        return false;
    }
    int Add(Node n) {
        nodes_->push_back(std::move(n));
        return static_cast<int>(nodes_->size() - 1);
    }
    int Binary(std::string op, int a, int b) {
        Node n;
        n.k = Node::K::Binary;
        n.text = std::move(op);
        n.kids = {a, b};
        return Add(std::move(n));
    }
    template <class Next>
    int LeftAssoc(std::initializer_list<std::string_view> ops, Next next) {
        int a = (this->*next)();
        while (IsOp(ops)) {
            std::string op = toks_[pos_++]->text;
            int b = (this->*next)();
            a = Binary(std::move(op), a, b);
        }
        return a;
    }
    int Comparison() { return LeftAssoc({"=", "<>", "<", ">", "<=", ">="}, &Parser::Concat); }
    int Concat() { return LeftAssoc({"&"}, &Parser::Additive); }
    int Additive() { return LeftAssoc({"+", "-"}, &Parser::Multiplicative); }
    int Multiplicative() { return LeftAssoc({"*", "/"}, &Parser::Power); }
    int Power() { return LeftAssoc({"^"}, &Parser::Percent); }
    int Percent() {
        int a = Sign();
        while (IsOp({"%"})) {
            ++pos_;
            Node n;
            n.k = Node::K::Percent;
            n.kids = {a};
            a = Add(std::move(n));
        }
        return a;
    }
    int Sign() {
        if (IsOp({"-", "+"})) {
            if (++signs_ > kMaxDepth) throw Unknown{};
            Node n;
            n.k = Node::K::Unary;
            n.text = toks_[pos_++]->text;
            n.kids = {Sign()};
            return Add(std::move(n));
        }
        int a = Primary();
        if (IsOp({":"})) throw Unknown{};  // ranges built by operator
        return a;
    }
    int Primary() {
        const Token* t = Peek();
        if (!t || ++depth_ > kMaxDepth) throw Unknown{};
        struct Leave {
            int& d;
            ~Leave() { --d; }
        } leave{depth_};
        ++pos_;
        Node n;
        switch (t->type) {
            case Token::Type::Number: {
                n.k = Node::K::Number;
                auto r = std::from_chars(t->text.data(), t->text.data() + t->text.size(), n.number);
                if (r.ec != std::errc()) throw Unknown{};
                return Add(std::move(n));
            }
            case Token::Type::String:
                n.k = Node::K::Text;
                for (std::size_t i = 1; i + 1 < t->text.size(); ++i) {
                    n.text += t->text[i];
                    if (t->text[i] == '"') ++i;
                }
                return Add(std::move(n));
            case Token::Type::Bool:
                n.k = Node::K::Bool;
                n.boolean = UpperAscii(t->text) == "TRUE";
                return Add(std::move(n));
            case Token::Type::Error:
                n.k = Node::K::Error;
                n.error = ErrorOf(t->text);
                return Add(std::move(n));
            case Token::Type::Reference:
                n.k = Node::K::Ref;
                n.ref = t->ref;
                return Add(std::move(n));
            case Token::Type::Open: {
                int inner = Comparison();
                if (!Peek() || Peek()->type != Token::Type::Close) throw Unknown{};
                ++pos_;
                return inner;
            }
            case Token::Type::Function: return Call(t->text);
            default: throw Unknown{};
        }
    }
    int Call(const std::string& name) {
        if (!Peek() || Peek()->type != Token::Type::Open) throw Unknown{};
        ++pos_;
        Node n;
        n.k = Node::K::Call;
        n.text = UpperAscii(name);
        if (Peek() && Peek()->type == Token::Type::Close) {
            ++pos_;
            return Add(std::move(n));
        }
        for (;;) {
            const Token* t = Peek();
            if (t && (t->type == Token::Type::Comma || t->type == Token::Type::Close)) {
                n.kids.push_back(Add(Node{}));  // an omitted argument
            } else {
                n.kids.push_back(Comparison());
            }
            t = Peek();
            if (!t) throw Unknown{};
            ++pos_;
            if (t->type == Token::Type::Close) break;
            if (t->type != Token::Type::Comma) throw Unknown{};
        }
        return Add(std::move(n));
    }

    static constexpr int kMaxDepth = 200;  // nesting of parentheses, calls and signs
    std::vector<const Token*> toks_;
    std::size_t pos_ = 0;
    int depth_ = 0, signs_ = 0;
    std::vector<Node>* nodes_ = nullptr;
};

// ------------------------------------------------------------ values

/// What a node yields: a value, or an area of a sheet.
struct Operand {
    Value value;
    bool isRef = false;
    std::string sheet;  // empty: the formula's own sheet
    Area area;
};

// ------------------------------------------------------------ evaluator

class Evaluator;
using Impl = Operand (Evaluator::*)(const std::vector<int>& args);

struct FunctionInfo {
    std::size_t minArgs, maxArgs;
    Impl impl;
};

const std::map<std::string, FunctionInfo, std::less<>>& Functions();

class Evaluator {
public:
    Evaluator(const std::vector<Node>& nodes, int row, int col, const CellSource& cells)
        : nodes_(nodes), row_(row), col_(col), cells_(cells) {}

    Operand Eval(int id) {
        const Node& n = nodes_[static_cast<std::size_t>(id)];
        switch (n.k) {
            case Node::K::Number: return Val(n.number);
            case Node::K::Text: return Val(n.text);
            case Node::K::Bool: return Val(n.boolean);
            case Node::K::Error: return Val(n.error);
            case Node::K::Missing: return Val(Value{});
            case Node::K::Ref: return RefOperand(n.ref);
            case Node::K::Unary: {
                Operand a = Eval(n.kids[0]);
                if (n.text == "+") return a;
                auto x = ToNumber(Scalar(a));
                if (auto e = std::get_if<CellError>(&x)) return Val(*e);
                return Val(Numeric(-std::get<double>(x)));
            }
            case Node::K::Percent: {
                // "1%%%": a run of percent signs, as long as the formula, taken without recursion
                int operand = id, signs = 0;
                for (; nodes_[static_cast<std::size_t>(operand)].k == Node::K::Percent; ++signs)
                    operand = nodes_[static_cast<std::size_t>(operand)].kids[0];
                auto x = ToNumber(Scalar(Eval(operand)));
                if (auto e = std::get_if<CellError>(&x)) return Val(*e);
                double v = std::get<double>(x);
                for (int k = 0; k < signs; ++k) v /= 100;
                return Val(Numeric(v));
            }
            case Node::K::Binary: return Val(Chain(id));
            case Node::K::Call: {
                const auto& fns = Functions();
                auto it = fns.find(n.text);
                if (it == fns.end()) throw Unknown{};
                if (n.kids.size() < it->second.minArgs || n.kids.size() > it->second.maxArgs) throw Unknown{};
                return (this->*(it->second.impl))(n.kids);
            }
        }
        throw Unknown{};
    }

    /// Binary operators read left to right ("=A1+A2+...+A9000"): the parser
    /// nests their left operands as deep as the formula is long, so the chain is
    /// walked down its left side and evaluated back up without recursion.
    Value Chain(int id) {
        std::vector<int> spine;
        int left = id;
        for (; nodes_[static_cast<std::size_t>(left)].k == Node::K::Binary;
             left = nodes_[static_cast<std::size_t>(left)].kids[0])
            spine.push_back(left);
        Value acc = Scalar(Eval(left));
        for (auto it = spine.rbegin(); it != spine.rend(); ++it) {
            const Node& n = nodes_[static_cast<std::size_t>(*it)];
            Value right = Scalar(Eval(n.kids[1]));
            acc = Binary(n.text, std::move(acc), std::move(right));
        }
        return acc;
    }

    /// A value in a one-value place: a single cell's value, or the cell of an
    /// area in the formula's row or column.
    Value Scalar(const Operand& o) {
        if (!o.isRef) return o.value;
        const Area& a = o.area;
        if (a.single()) return cells_.CellValue(o.sheet, a.r1, a.c1);
        if (a.c1 == a.c2 && row_ >= a.r1 && row_ <= a.r2) return cells_.CellValue(o.sheet, row_, a.c1);
        if (a.r1 == a.r2 && col_ >= a.c1 && col_ <= a.c2) return cells_.CellValue(o.sheet, a.r1, col_);
        return CellError::Value;
    }

    // ---- functions (one per spreadsheet function)

    Operand If(const std::vector<int>& args) {
        auto c = ToBool(Scalar(Eval(args[0])));
        if (auto e = std::get_if<CellError>(&c)) return Val(*e);
        bool yes = std::get<bool>(c);
        if (!yes && args.size() < 3) return Val(false);
        return Branch(args[yes ? 1 : 2]);
    }
    Operand IfError(const std::vector<int>& args) {
        Value v = Scalar(Eval(args[0]));
        if (AsError(v)) return Branch(args[1]);
        return Val(std::move(v));
    }
    Operand Concatenate(const std::vector<int>& args) {
        std::string out;
        for (int a : args) {
            auto t = ToText(Scalar(Eval(a)));
            if (auto e = std::get_if<CellError>(&t)) return Val(*e);
            out += std::get<std::string>(t);
        }
        return Val(out);
    }
    Operand And(const std::vector<int>& args) { return Logical(args, true); }
    Operand Or_(const std::vector<int>& args) { return Logical(args, false); }
    Operand Not(const std::vector<int>& args) {
        auto b = ToBool(Scalar(Eval(args[0])));
        if (auto e = std::get_if<CellError>(&b)) return Val(*e);
        return Val(!std::get<bool>(b));
    }
    Operand Len(const std::vector<int>& args) {
        return WithText(args[0], [](const std::string& s) { return Value(static_cast<double>(text::Length(s))); });
    }
    Operand Trim(const std::vector<int>& args) {
        return WithText(args[0], [](const std::string& s) {
            std::string out;
            for (char c : s) {
                if (c == ' ' && (out.empty() || out.back() == ' ')) continue;
                out += c;
            }
            if (!out.empty() && out.back() == ' ') out.pop_back();
            return Value(out);
        });
    }
    Operand Upper(const std::vector<int>& args) { return Recase(args, text::Upper); }
    Operand Lower(const std::vector<int>& args) { return Recase(args, text::Lower); }
    Operand Left(const std::vector<int>& args) { return Part(args, false); }
    Operand Right(const std::vector<int>& args) { return Part(args, true); }
    Operand Mid(const std::vector<int>& args) {
        auto t = ToText(Scalar(Eval(args[0])));
        if (auto e = std::get_if<CellError>(&t)) return Val(*e);
        auto start = ToNumber(Scalar(Eval(args[1])));
        if (auto e = std::get_if<CellError>(&start)) return Val(*e);
        auto count = ToNumber(Scalar(Eval(args[2])));
        if (auto e = std::get_if<CellError>(&count)) return Val(*e);
        double s = std::floor(std::get<double>(start)), n = std::floor(std::get<double>(count));
        if (s < 1 || n < 0) return Val(CellError::Value);
        std::u32string u = text::Decode(std::get<std::string>(t));
        if (s > static_cast<double>(u.size())) return Val(std::string());
        std::size_t from = static_cast<std::size_t>(s) - 1;
        std::size_t len = static_cast<std::size_t>(std::min(n, static_cast<double>(u.size() - from)));
        return Val(text::Encode(std::u32string_view(u).substr(from, len)));
    }
    Operand Sum(const std::vector<int>& args) {
        double total = 0;
        if (auto e = Numbers(args, [&](double x) { total += x; })) return Val(*e);
        return Val(Numeric(total));
    }
    Operand Min(const std::vector<int>& args) { return Extreme(args, -1); }
    Operand Max(const std::vector<int>& args) { return Extreme(args, 1); }
    Operand Count(const std::vector<int>& args) {
        double n = 0;
        for (int a : args) {
            Operand o = Eval(a);
            if (o.isRef) {
                if (auto e = ForEach(o, [&](const Value& v) { n += std::holds_alternative<double>(v); })) return Val(*e);
            } else if (std::holds_alternative<double>(o.value) || std::holds_alternative<bool>(o.value) ||
                       (std::holds_alternative<std::string>(o.value) &&
                        std::holds_alternative<double>(ParseNumber(std::get<std::string>(o.value))))) {
                n += 1;
            }
        }
        return Val(n);
    }
    Operand CountA(const std::vector<int>& args) {
        double n = 0;
        for (int a : args) {
            Operand o = Eval(a);
            if (o.isRef) {
                if (auto e = ForEach(o, [&](const Value& v) { n += !IsEmpty(v); }, false)) return Val(*e);
            } else if (nodes_[static_cast<std::size_t>(a)].k != Node::K::Missing) {
                n += 1;
            }
        }
        return Val(n);
    }
    Operand IsBlank(const std::vector<int>& args) {
        Operand o = Eval(args[0]);
        return Val(o.isRef && IsEmpty(Scalar(o)));
    }
    Operand Abs(const std::vector<int>& args) { return Math1(args, [](double x) { return std::fabs(x); }); }
    Operand Int(const std::vector<int>& args) { return Math1(args, [](double x) { return std::floor(x); }); }
    Operand Round(const std::vector<int>& args) {
        return Math2(args, [](double x, double digits) -> Value {
            double p = std::pow(10.0, std::trunc(digits));
            double r = std::round(x * p) / p;
            return Numeric(r);
        });
    }
    Operand Mod(const std::vector<int>& args) {
        return Math2(args, [](double a, double b) -> Value {
            if (b == 0) return CellError::Div0;
            return Numeric(a - b * std::floor(a / b));
        });
    }

private:
    static Operand Val(Value v) { return Operand{std::move(v), false, {}, {}}; }

    Operand Branch(int id) {
        if (nodes_[static_cast<std::size_t>(id)].k == Node::K::Missing) return Val(0.0);
        return Eval(id);
    }

    Operand RefOperand(const Reference& r) {
        using K = Reference::Kind;
        if (r.kind == K::Error) return Val(CellError::Ref);
        auto at = [](const Coord& c, int base) { return c.absolute ? c.value : base + c.value; };
        Area a;
        switch (r.kind) {
            case K::Rows: a = {at(r.row1, row_), 1, at(r.row2, row_), host::kMaxColumns}; break;
            case K::Columns: a = {1, at(r.col1, col_), host::kMaxRows, at(r.col2, col_)}; break;
            default: a = {at(r.row1, row_), at(r.col1, col_), at(r.row2, row_), at(r.col2, col_)}; break;
        }
        if (a.r1 > a.r2) std::swap(a.r1, a.r2);
        if (a.c1 > a.c2) std::swap(a.c1, a.c2);
        if (a.r1 < 1 || a.c1 < 1 || a.r2 > host::kMaxRows || a.c2 > host::kMaxColumns) return Val(CellError::Ref);
        return Operand{{}, true, r.hasSheet ? r.sheet : std::string(), a};
    }

    /// Calls fn with every cell of an area that lies in the sheet's extent; the
    /// first error value ends the walk and is returned when errorsStop is set.
    template <class Fn>
    std::optional<CellError> ForEach(const Operand& o, Fn fn, bool errorsStop = true) {
        Area a = o.area;
        if (auto ext = cells_.Extent(o.sheet)) {
            a = {std::max(a.r1, ext->r1), std::max(a.c1, ext->c1), std::min(a.r2, ext->r2), std::min(a.c2, ext->c2)};
            if (a.r1 > a.r2 || a.c1 > a.c2) return std::nullopt;
        }
        if (a.count() > 4'000'000) throw Unknown{};
        for (int r = a.r1; r <= a.r2; ++r)
            for (int c = a.c1; c <= a.c2; ++c) {
                Value v = cells_.CellValue(o.sheet, r, c);
                if (auto e = AsError(v); e && errorsStop) return *e;
                fn(v);
            }
        return std::nullopt;
    }

    /// The numbers of arguments as SUM takes them: in areas only numbers count;
    /// a direct argument is turned into a number.
    template <class Fn>
    std::optional<CellError> Numbers(const std::vector<int>& args, Fn fn) {
        for (int a : args) {
            Operand o = Eval(a);
            if (o.isRef) {
                if (auto e = ForEach(o, [&](const Value& v) {
                        if (auto d = std::get_if<double>(&v)) fn(*d);
                    }))
                    return e;
                continue;
            }
            auto x = ToNumber(o.value);
            if (auto e = std::get_if<CellError>(&x)) return *e;
            fn(std::get<double>(x));
        }
        return std::nullopt;
    }

    Operand Extreme(const std::vector<int>& args, int direction) {
        std::optional<double> best;
        auto take = [&](double x) {
            if (!best || (direction > 0 ? x > *best : x < *best)) best = x;
        };
        if (auto e = Numbers(args, take)) return Val(*e);
        return Val(best.value_or(0.0));
    }

    Operand Logical(const std::vector<int>& args, bool all) {
        std::optional<bool> result;
        auto take = [&](bool b) { result = result ? (all ? (*result && b) : (*result || b)) : b; };
        for (int a : args) {
            Operand o = Eval(a);
            if (o.isRef) {
                auto e = ForEach(o, [&](const Value& v) {
                    if (auto d = std::get_if<double>(&v)) take(*d != 0);
                    if (auto b = std::get_if<bool>(&v)) take(*b);
                });
                if (e) return Val(*e);
                continue;
            }
            auto b = ToBool(o.value);
            if (auto e = std::get_if<CellError>(&b)) return Val(*e);
            take(std::get<bool>(b));
        }
        if (!result) return Val(CellError::Value);
        return Val(*result);
    }

    template <class Fn>
    Operand WithText(int arg, Fn fn) {
        auto t = ToText(Scalar(Eval(arg)));
        if (auto e = std::get_if<CellError>(&t)) return Val(*e);
        return Val(fn(std::get<std::string>(t)));
    }

    Operand Recase(const std::vector<int>& args, std::string (*map)(std::string_view)) {
        return WithText(args[0], [map](const std::string& s) { return Value(map(s)); });
    }

    Operand Part(const std::vector<int>& args, bool fromRight) {
        auto t = ToText(Scalar(Eval(args[0])));
        if (auto e = std::get_if<CellError>(&t)) return Val(*e);
        double n = 1;
        if (args.size() > 1) {
            auto x = ToNumber(Scalar(Eval(args[1])));
            if (auto e = std::get_if<CellError>(&x)) return Val(*e);
            n = std::floor(std::get<double>(x));
        }
        if (n < 0) return Val(CellError::Value);
        std::u32string u = text::Decode(std::get<std::string>(t));
        std::size_t len = static_cast<std::size_t>(std::min(n, static_cast<double>(u.size())));
        std::u32string_view v(u);
        return Val(text::Encode(fromRight ? v.substr(u.size() - len) : v.substr(0, len)));
    }

    template <class Fn>
    Operand Math1(const std::vector<int>& args, Fn fn) {
        auto x = ToNumber(Scalar(Eval(args[0])));
        if (auto e = std::get_if<CellError>(&x)) return Val(*e);
        return Val(Numeric(fn(std::get<double>(x))));
    }

    template <class Fn>
    Operand Math2(const std::vector<int>& args, Fn fn) {
        auto x = ToNumber(Scalar(Eval(args[0])));
        if (auto e = std::get_if<CellError>(&x)) return Val(*e);
        auto y = ToNumber(Scalar(Eval(args[1])));
        if (auto e = std::get_if<CellError>(&y)) return Val(*e);
        return Val(fn(std::get<double>(x), std::get<double>(y)));
    }

    static Value Binary(const std::string& op, const Value& a, const Value& b) {
        if (op == "&") {
            auto x = ToText(a);
            if (auto e = std::get_if<CellError>(&x)) return *e;
            auto y = ToText(b);
            if (auto e = std::get_if<CellError>(&y)) return *e;
            return std::get<std::string>(x) + std::get<std::string>(y);
        }
        if (op == "=" || op == "<>" || op == "<" || op == ">" || op == "<=" || op == ">=") {
            auto c = Compare(a, b);
            if (auto e = std::get_if<CellError>(&c)) return *e;
            int r = std::get<int>(c);
            if (op == "=") return r == 0;
            if (op == "<>") return r != 0;
            if (op == "<") return r < 0;
            if (op == ">") return r > 0;
            if (op == "<=") return r <= 0;
            return r >= 0;
        }
        auto x = ToNumber(a);
        if (auto e = std::get_if<CellError>(&x)) return *e;
        auto y = ToNumber(b);
        if (auto e = std::get_if<CellError>(&y)) return *e;
        double p = std::get<double>(x), q = std::get<double>(y);
        if (op == "+") return Numeric(p + q);
        if (op == "-") return Numeric(p - q);
        if (op == "*") return Numeric(p * q);
        if (op == "/") return q == 0 ? Value(CellError::Div0) : Numeric(p / q);
        if (p == 0 && q == 0) return CellError::Num;
        if (p == 0 && q < 0) return CellError::Div0;
        return Numeric(std::pow(p, q));
    }

    const std::vector<Node>& nodes_;
    int row_, col_;
    const CellSource& cells_;
};

constexpr std::size_t kMany = 255;

const std::map<std::string, FunctionInfo, std::less<>>& Functions() {
    static const std::map<std::string, FunctionInfo, std::less<>> table = {
        {"IF", {2, 3, &Evaluator::If}},
        {"IFERROR", {2, 2, &Evaluator::IfError}},
        {"CONCATENATE", {1, kMany, &Evaluator::Concatenate}},
        {"AND", {1, kMany, &Evaluator::And}},
        {"OR", {1, kMany, &Evaluator::Or_}},
        {"NOT", {1, 1, &Evaluator::Not}},
        {"LEN", {1, 1, &Evaluator::Len}},
        {"TRIM", {1, 1, &Evaluator::Trim}},
        {"UPPER", {1, 1, &Evaluator::Upper}},
        {"LOWER", {1, 1, &Evaluator::Lower}},
        {"LEFT", {1, 2, &Evaluator::Left}},
        {"RIGHT", {1, 2, &Evaluator::Right}},
        {"MID", {3, 3, &Evaluator::Mid}},
        {"SUM", {1, kMany, &Evaluator::Sum}},
        {"MIN", {1, kMany, &Evaluator::Min}},
        {"MAX", {1, kMany, &Evaluator::Max}},
        {"COUNT", {1, kMany, &Evaluator::Count}},
        {"COUNTA", {1, kMany, &Evaluator::CountA}},
        {"ISBLANK", {1, 1, &Evaluator::IsBlank}},
        {"ABS", {1, 1, &Evaluator::Abs}},
        {"INT", {1, 1, &Evaluator::Int}},
        {"ROUND", {2, 2, &Evaluator::Round}},
        {"MOD", {2, 2, &Evaluator::Mod}},
    };
    return table;
}

}  // namespace

std::vector<std::string> KnownFunctions() {
    std::vector<std::string> names;
    for (const auto& [name, info] : Functions()) names.push_back(name);
    return names;
}

Result Evaluate(std::string_view formulaR1C1, int row, int column, const CellSource& cells) {
    try {
        std::vector<Token> tokens = Tokenize(formulaR1C1, Notation::R1C1, row, column);
        std::vector<Node> nodes;
        int root = Parser(tokens).Parse(nodes);
        Evaluator ev(nodes, row, column, cells);
        Value v = ev.Scalar(ev.Eval(root));
        if (IsEmpty(v)) v = 0.0;
        return Result{std::move(v), true};
    } catch (const Unknown&) {
        return Result{Value{}, false};
    }
}

Result Evaluate(std::string_view formulaR1C1, int row, int column, const FunctionSource::Fn& cells) {
    return Evaluate(formulaR1C1, row, column, FunctionSource(cells));
}

}  // namespace ormelin::formula
