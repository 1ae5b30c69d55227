// The register sheet "список": finding or creating it (FindSPIS), reading its
// header into the column map, locating the row of a document, and the register
// cell naming a worksheet's document (CellSpis).
#include <algorithm>
#include <string>
#include <vector>

#include "attributes/register.hpp"
#include "base/text.hpp"
#include "base/current_error.hpp"

namespace ormelin::attributes {

std::shared_ptr<host::Worksheet> RegisterOf(const host::Workbook& book) {
    const int n = book.Count();
    for (int i = 1; i <= n; ++i) {
        auto sheet = book.Sheet(i);
        if (sheet && sheet->Name() == kSheetName) return sheet;
    }
    return nullptr;
}

std::optional<SpisColumn> ColumnOfTitle(std::string_view title) {
    for (const ColumnTitles& t : kColumns)
        for (const char* accepted : t.accepted)
            if (accepted && title == accepted) return t.column;
    return std::nullopt;
}

std::optional<SpisColumn> ColumnOfAttribute(AttrProp p) {
    if (p == AttrProp::aFile) return spFile;
    if (p == AttrProp::aShee) return spShee;
    switch (Info(p).group) {
        case AttrGroup::Naim: return spNaim;
        case AttrGroup::Firm: return spFirm;
        default: break;
    }
    for (const Field& f : kFields)
        if (f.write == p || f.read == p) return f.column;
    return std::nullopt;
}

std::string ReferenceText(int row, int column, bool formula) {
    std::string text = formula ? "=" : "";
    text += host::QuoteSheetName(kSheetName);
    text += "!R" + std::to_string(row) + "C" + std::to_string(column);
    return text;
}

bool IsWorkbookFileName(std::string_view name) {
    for (std::string_view ext : {".xls", ".xlsx", ".xlsm"})
        if (name.size() > ext.size() && name.substr(name.size() - ext.size()) == ext) return true;
    return false;
}

std::string FileNameOf(const host::Workbook& book) {
    std::string name = book.Name();
    if (book.HasPath() || IsWorkbookFileName(name)) return name;
    return name + ".xlsx";
}

std::size_t LongestLine(std::string_view text) {
    std::size_t longest = 0;
    for (std::size_t from = 0; from <= text.size();) {
        const std::size_t end = std::min(text.find('\n', from), text.size());
        const std::string_view line = text.substr(from, end - from);
        longest = std::max(longest, text::Length(line) - static_cast<std::size_t>(std::count(line.begin(), line.end(), '\r')));
        from = end + 1;
    }
    return longest;
}

void Notice(host::Application& app, const std::string& text) {
    app.UI().MsgBox(text, host::MsgButtons::OK, host::MsgIcon::Information, std::string());
}

namespace {

/// A worksheet with nothing on it: an empty used range and no value in A1.
bool IsBlank(const host::Worksheet& w) {
    const host::Area used = w.UsedRange();
    if (!used.single() || used.r1 != 1 || used.c1 != 1) return false;
    const host::CellContent a1 = w.Content(1, 1);
    return host::IsEmpty(a1.value) && a1.formula.empty();
}

/// FindSPIS's error handling: the message, a new workbook after a refused
/// operation (1004), the active workbook saved. Failures of the handling itself
/// are passed over.
void ReportFindSpis(host::Application& app, const Error& e, std::vector<std::string>& reported) {
    reported.push_back("FindSPIS: " + e.description());
    app.UI().MsgBox(reported.back(), host::MsgButtons::OK, host::MsgIcon::None, std::string());
    if (e.code() == ErrorCode::ApplicationDefined) {
        try {
            app.AddWorkbook();
        } catch (...) {
        }
    }
    try {
        if (auto book = app.ActiveWorkbook()) book->Save();
    } catch (...) {
    }
}

void MoveToFront(host::Workbook& book, host::Worksheet& sheet) {
    if (sheet.Index() == 1) return;
    auto first = book.Sheet(1);
    sheet.Move(first.get(), nullptr);
}

/// The register's formats: every cell, then the header row.
host::FormatPatch AllCellsFormat() {
    host::FormatPatch p;
    p.numberFormat = "@";
    p.horizontal = host::HAlign::Left;
    p.vertical = host::VAlign::Center;
    p.fontSize = 11;
    p.italic = true;
    return p;
}

host::FormatPatch HeaderFormat() {
    host::FormatPatch p;
    p.horizontal = host::HAlign::Center;
    for (auto& b : p.borders) b.style = host::LineStyle::Continuous;
    p.fill = host::Color::Index(36);
    p.bold = true;
    return p;
}

/// The model has no AutoFit: each used column takes the width of its longest
/// text in characters, at least the sheet's standard width.
void FitColumns(host::Worksheet& w) {
    const host::Area used = w.UsedRange();
    const double standard = w.StandardWidth();
    for (int c = used.c1; c <= used.c2; ++c) {
        std::size_t longest = 0;
        for (int r = used.r1; r <= used.r2; ++r) longest = std::max(longest, LongestLine(w.CellText(r, c)));
        w.ColumnWidth(c, c, std::max(standard, static_cast<double>(longest)));
    }
}

// ------------------------------------------------------------------ FindSPIS's steps

/// Runs one step of FindSPIS: its failure is reported, and FindSPIS goes on.
template <class Step>
void RunReported(host::Application& app, std::vector<std::string>& reported, Step&& step) {
    try {
        step();
    } catch (...) {
        ReportFindSpis(app, CurrentError(), reported);
    }
}

/// No register yet: a workbook's single empty worksheet becomes the register;
/// otherwise a sheet "список" is added in front. An added sheet that cannot take
/// the name is deleted again, so that no register stays under another name.
std::shared_ptr<host::Worksheet> TakeOrAddRegisterSheet(host::Workbook& book) {
    auto only = book.Count() == 1 ? book.Sheet(1) : nullptr;
    if (only && IsBlank(*only)) {
        only->Clear(host::Area{1, 1, host::kMaxRows, host::kMaxColumns});
        only->Name(kSheetName);
        return only;
    }
    auto first = book.Sheet(1);
    auto added = book.Add(first.get(), nullptr);
    try {
        added->Name(kSheetName);
    } catch (...) {
        try {
            added->Delete();
        } catch (...) {
        }
        throw;
    }
    return added;
}

void FormatAllCells(host::Worksheet& reg) {
    reg.Format(host::Area{1, 1, host::kMaxRows, host::kMaxColumns}, AllCellsFormat());
}

void WriteHeader(host::Worksheet& reg) {
    for (const ColumnTitles& t : kColumns) {
        const int c = static_cast<int>(t.column) + 1;
        reg.SetLiteral(host::Area{1, c, 1, c}, std::string(t.created));
    }
}

void FormatHeader(host::Worksheet& reg) { reg.Format(host::Area{1, 1, 1, kHeaderColumns}, HeaderFormat()); }

// ------------------------------------------------------------------ the row lookup's steps

/// The register a lookup reads: that of the document's workbook, else that of the
/// active workbook; null when there is none or it cannot be reached.
std::shared_ptr<host::Worksheet> RegisterForLookup(host::Application& app, const host::Worksheet* document) {
    try {
        if (document) return RegisterOf(document->Parent());
        if (auto active = app.ActiveWorkbook()) return RegisterOf(*active);
    } catch (...) {
    }
    return nullptr;
}

/// The last used row of the register, at least the header row.
int LastUsedRow(const host::Worksheet& reg) {
    try {
        return std::max(1, reg.UsedRange().r2);
    } catch (...) {
        return 1;
    }
}

}  // namespace

std::vector<std::string> FindSPIS(host::Application& app, const std::shared_ptr<host::Workbook>& book) {
    std::vector<std::string> reported;
    // Find an existing register: a missing workbook, or a register found (only
    // brought to the front), ends FindSPIS.
    std::shared_ptr<host::Worksheet> reg;
    bool ended = false;
    RunReported(app, reported, [&] {
        if (!book) {
            ended = true;
            throw Error(ErrorCode::ObjectRequired);
        }
        reg = RegisterOf(*book);
        if (reg) {
            ended = true;
            MoveToFront(*book, *reg);
        }
    });
    if (ended) return reported;

    RunReported(app, reported, [&] { reg = TakeOrAddRegisterSheet(*book); });
    if (!reg) return reported;

    RunReported(app, reported, [&] { MoveToFront(*book, *reg); });
    RunReported(app, reported, [&] { FormatAllCells(*reg); });
    RunReported(app, reported, [&] { WriteHeader(*reg); });
    RunReported(app, reported, [&] { FormatHeader(*reg); });
    RunReported(app, reported, [&] { FitColumns(*reg); });
    return reported;
}

void ScanColumnMap(const host::Worksheet& reg, ColumnMap& map) {
    map.fill(0);
    const host::Area used = reg.UsedRange();
    for (int c = 1; c <= used.c2; ++c) {
        if (auto column = ColumnOfTitle(text::Trim(reg.CellText(1, c)))) map[*column] = c;
    }
}

int RowOfSheet(const Register& reg, const std::string& name, int last) {
    const int c = reg.Column(spShee);
    if (!reg || c <= 0) return 0;
    for (int r = 2; r <= last; ++r) {
        try {
            if (reg.sheet->CellText(r, c) == name) return r;
        } catch (...) {
        }
    }
    return 0;
}

RowLookup FindRow(host::Application& app, const host::Worksheet* document, bool create) {
    RowLookup found;
    found.reg.sheet = RegisterForLookup(app, document);
    if (!found.reg) return found;
    try {
        ScanColumnMap(*found.reg.sheet, found.reg.columns);
    } catch (...) {
    }
    const int last = LastUsedRow(*found.reg.sheet);
    if (!document) return found;  // no document to look for

    // The document's row, by the name of its worksheet.
    if (found.reg.Column(spShee) > 0) {
        std::optional<std::string> name;
        try {
            name = document->Name();
        } catch (...) {
        }
        if (name) {
            if (const int r = RowOfSheet(found.reg, *name, last)) {
                found.row = found.reg.sheet->Rows(r);
                return found;
            }
        }
    }
    // None: the first free row below the register when one is to be created.
    if (create) found.row = found.reg.sheet->Rows(last + 1);
    return found;
}

std::optional<host::Range> SheetCell(const Register& reg, host::Range row) {
    const int c = reg.Column(spShee);
    if (c <= 0) return std::nullopt;  // a register without a "Лист" column names no document
    return row.Item(1, c);
}

}  // namespace ormelin::attributes

