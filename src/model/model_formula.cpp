// The embedded model's formulas: what they show and how they follow the sheets.
//
// A formula cell keeps its R1C1 text and the cached value it was given (by the
// loader, or nothing for a formula just written). What it shows is worked out
// when it is read: the formula is evaluated over the workbook's cells, formulas
// it refers to in turn, with a guard against circular references. Nothing is
// recalculated when cells change, so an edit costs nothing extra.
//
// References follow insertions and deletions of rows and columns, renamed and
// deleted sheets. Each sheet counts what its formulas may depend on
// (FormulaCounts), and a change visits only the sheets whose counts say that one
// of their formulas may be affected: inserting rows into a document whose title
// blocks hold thousands of absolute references into the register sheet does not
// pass over them.
#include <algorithm>
#include <map>
#include <tuple>

#include "model/model_impl.hpp"

namespace ormelin::model::detail {

namespace {

using formula::Change;
using formula::Reference;
using formula::Token;
using Kind = formula::Reference::Kind;

// ---------------------------------------------------------------- counting

bool IsBandChange(Change::Kind k, bool& rows) {
    switch (k) {
        case Change::Kind::InsertRows:
        case Change::Kind::DeleteRows: rows = true; return true;
        case Change::Kind::InsertColumns:
        case Change::Kind::DeleteColumns: rows = false; return true;
        default: return false;
    }
}

/// What a formula adds to the counts: it depends on its text alone.
struct FormulaReach {
    bool rows = false, columns = false, referring = false;
    std::vector<std::string> named;  // case-folded
};

FormulaReach ReachOfFormula(std::string_view formulaR1C1) {
    FormulaReach reach;
    for (const Token& t : formula::Tokenize(formulaR1C1, formula::Notation::R1C1, 1, 1)) {
        if (t.type != Token::Type::Reference) continue;
        const Reference& r = t.ref;
        reach.referring = true;
        if (r.hasSheet) {
            std::string key = FoldedSheetName(r.sheet);
            if (std::find(reach.named.begin(), reach.named.end(), key) == reach.named.end())
                reach.named.push_back(std::move(key));
        }
        if (r.kind == Kind::Error) continue;
        const bool hasRows = r.kind != Kind::Columns, hasColumns = r.kind != Kind::Rows;
        if (r.hasSheet) {
            // the formula moves with its own sheet, the cell it points at does not
            reach.rows = reach.rows || (hasRows && (!r.row1.absolute || !r.row2.absolute));
            reach.columns = reach.columns || (hasColumns && (!r.col1.absolute || !r.col2.absolute));
        } else {
            // an offset of 0 moves with the formula; anything else may not
            auto moves = [](const formula::Coord& c) { return c.absolute || c.value != 0; };
            reach.rows = reach.rows || (hasRows && (moves(r.row1) || moves(r.row2)));
            reach.columns = reach.columns || (hasColumns && (moves(r.col1) || moves(r.col2)));
        }
    }
    return reach;
}

/// Adds a formula to the counts, as many times as it is stored. A formed
/// document stores the same few formulas on every sheet (in R1C1 a formula
/// reads the same wherever it is copied): the last ones read are remembered.
void Count(FormulaCounts& counts, std::string_view formulaR1C1, long times = 1) {
    struct Remembered {
        std::string formula;
        FormulaReach reach;
    };
    constexpr std::size_t kRemembered = 32;
    thread_local std::vector<Remembered> remembered;
    thread_local std::size_t oldest = 0;
    const FormulaReach* reach = nullptr;
    for (const Remembered& r : remembered) {
        if (r.formula == formulaR1C1) {
            reach = &r.reach;
            break;
        }
    }
    if (!reach) {
        Remembered fresh{std::string(formulaR1C1), ReachOfFormula(formulaR1C1)};
        if (remembered.size() < kRemembered) {
            remembered.push_back(std::move(fresh));
            reach = &remembered.back().reach;
        } else {
            remembered[oldest] = std::move(fresh);
            reach = &remembered[oldest].reach;
            oldest = (oldest + 1) % kRemembered;
        }
    }
    if (reach->rows) counts.rows += times;
    if (reach->columns) counts.columns += times;
    if (reach->referring) counts.referring += times;
    for (const auto& key : reach->named) counts.named[key] += times;
}

// ---------------------------------------------------------------- evaluation

/// The sheet of a workbook named so (without regard to case), or null.
const SheetData* FindSheet(const SheetData& own, std::string_view name) {
    if (!own.bookData) return nullptr;
    for (const SheetData* s : own.bookData->sheets) {
        if (!s->deleted && formula::SameSheet(s->name, name)) return s;
    }
    return nullptr;
}

/// How many formulas one evaluation follows into one another before it stops
/// (each level takes stack); a longer chain is evaluated from its far end first.
constexpr int kMaxChain = 128;

/// A formula cell of some sheet.
struct FormulaCell {
    const SheetData* sheet;
    int row, column;
    const Cell* cell;
};

/// Thrown where a chain of formulas reaches kMaxChain: the formula there is
/// evaluated on its own first, and the reading that met it starts again.
struct ChainTooLong {
    FormulaCell at;
};

/// One reading of a formula cell and everything it evaluates on the way.
struct Reading {
    using Key = std::tuple<const SheetData*, int, int>;
    std::vector<Key> open;         // the formulas being evaluated, outermost first
    std::map<Key, host::Value> done;  // formulas met more than once are evaluated once
    bool circular = false;

    host::Value Evaluate(const SheetData& s, int row, int column, const Cell& cell);
    /// The value of a formula cell however long the chain of formulas it reads:
    /// a chain longer than kMaxChain is cut into pieces evaluated far end first.
    host::Value Read(const FormulaCell& top);
};

class BookCells final : public formula::CellSource {
public:
    BookCells(Reading& reading, const SheetData& own) : reading_(reading), own_(own) {}

    host::Value CellValue(std::string_view sheet, int row, int column) const override {
        const SheetData* s = sheet.empty() ? &own_ : FindSheet(own_, sheet);
        if (!s) return host::CellError::Ref;
        const Row* r = s->rows.find(row);
        const Cell* cell = r ? r->find(column) : nullptr;
        if (!cell) return {};
        if (!cell->hasFormula()) return cell->value.get();
        return reading_.Evaluate(*s, row, column, *cell);
    }

    std::optional<Area> Extent(std::string_view sheet) const override {
        const SheetData* s = sheet.empty() ? &own_ : FindSheet(own_, sheet);
        if (!s) return std::nullopt;
        const int rows = std::max(1, static_cast<int>(s->rows.size()));
        const int columns = s->countsValid && s->cMax ? s->cMax : host::kMaxColumns;
        return Area{1, 1, rows, columns};
    }

private:
    Reading& reading_;
    const SheetData& own_;
};

host::Value Reading::Evaluate(const SheetData& s, int row, int column, const Cell& cell) {
    const Key key{&s, row, column};
    if (std::find(open.begin(), open.end(), key) != open.end()) {
        circular = true;
        return cell.value.get();
    }
    if (auto it = done.find(key); it != done.end()) return it->second;
    if (open.size() >= static_cast<std::size_t>(kMaxChain)) throw ChainTooLong{{&s, row, column, &cell}};
    open.push_back(key);
    formula::Result result = formula::Evaluate(cell.formula(), row, column, BookCells(*this, s));
    open.pop_back();
    host::Value v = result.known ? std::move(result.value) : cell.value.get();
    if (!open.empty()) done.emplace(key, v);
    return v;
}

host::Value Reading::Read(const FormulaCell& top) {
    std::vector<FormulaCell> pending{top};
    host::Value value;
    while (!pending.empty()) {
        const FormulaCell at = pending.back();
        try {
            value = Evaluate(*at.sheet, at.row, at.column, *at.cell);
        } catch (const ChainTooLong& deep) {
            open.clear();
            const bool again = std::any_of(pending.begin(), pending.end(), [&](const FormulaCell& p) {
                return p.sheet == deep.at.sheet && p.row == deep.at.row && p.column == deep.at.column;
            });
            if (again) {  // a loop of formulas longer than the chain: circular
                circular = true;
                return top.cell->value.get();
            }
            pending.push_back(deep.at);
            continue;
        }
        done.emplace(Key{at.sheet, at.row, at.column}, value);
        pending.pop_back();
    }
    return value;
}

// ---------------------------------------------------------------- adjustment

/// Whether the cell at (row, column) of the changed sheet is removed by the change.
bool Removed(const Change& ch, int row, int column) {
    switch (ch.kind) {
        case Change::Kind::DeleteRows: return row >= ch.at && row < ch.at + ch.count;
        case Change::Kind::DeleteColumns: return column >= ch.at && column < ch.at + ch.count;
        default: return false;
    }
}

/// Adjusts every formula of sheet t to the change and counts them again.
void Pass(SheetData& t, const SheetData& changed, const Change& ch) {
    FormulaCounts counts;
    const bool own = &t == &changed;
    for (std::size_t i = 0; i < t.rows.size(); ++i) {
        const int r = static_cast<int>(i) + 1;
        for (Cell& cell : t.rows.at(i).cells) {
            if (!cell.hasFormula()) continue;
            if (!(own && Removed(ch, r, cell.col)) && formula::MayNeedAdjust(cell.formula(), t.name, ch)) {
                if (auto adjusted = formula::Adjust(cell.formula(), t.name, r, cell.col, ch))
                    cell.setFormula(std::move(*adjusted));
            }
            Count(counts, cell.formula());
        }
    }
    t.formulas = std::move(counts);
}

}  // namespace

std::string FoldedSheetName(std::string_view name) { return text::Fold(name); }

void NoteFormula(SheetData& s, std::string_view formulaR1C1, long times) {
    if (!formulaR1C1.empty() && times > 0) Count(s.formulas, formulaR1C1, times);
}

host::Value FormulaValue(const SheetData& s, int row, int column, const Cell& cell) {
    Reading reading;
    host::Value v = reading.Read(FormulaCell{&s, row, column, &cell});
    return reading.circular ? cell.value.get() : v;
}

namespace {

/// Calls visit with every sheet whose formulas a change in sheet s may alter.
template <typename Visit>
void ForSheetsAffected(const SheetData& s, const formula::Change& change, Visit visit) {
    if (!s.bookData) return;
    const std::string key = FoldedSheetName(s.name);
    bool rows = false;
    const bool band = IsBandChange(change.kind, rows);
    for (SheetData* t : s.bookData->sheets) {
        if (t->deleted) continue;
        const bool own = t == &s;
        if (own && change.kind == Change::Kind::DeleteSheet) continue;
        bool affected = false;
        if (auto it = t->formulas.named.find(key); it != t->formulas.named.end() && it->second > 0) affected = true;
        if (own && band) affected = affected || (rows ? t->formulas.rows : t->formulas.columns) > 0;
        if (own && change.kind == Change::Kind::MoveCells) affected = affected || t->formulas.referring > 0;
        if (affected) visit(*t);
    }
}

}  // namespace

void AdjustFormulas(SheetData& s, const formula::Change& change) {
    ForSheetsAffected(s, change, [&](SheetData& t) { Pass(t, s, change); });
}

void RecountFormulas(SheetData& s) {
    FormulaCounts counts;
    for (std::size_t i = 0; i < s.rows.size(); ++i) {
        for (const Cell& cell : s.rows.at(i).cells)
            if (cell.hasFormula()) Count(counts, cell.formula());
    }
    s.formulas = std::move(counts);
}

bool FormulasMayChange(const SheetData& s, const formula::Change& change) {
    bool any = false;
    ForSheetsAffected(s, change, [&](const SheetData&) { any = true; });
    return any;
}

}  // namespace ormelin::model::detail
