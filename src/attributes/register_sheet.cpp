// The register sheet "список": finding or creating it (FindSPIS), reading its
// header into the column map, locating the row of a document, and the register
// cell naming a worksheet's document (CellSpis).
#include <algorithm>
#include <string>

#include "attributes/register.hpp"
#include "core/frame.hpp"

namespace ormelin {

namespace spis {

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
    std::size_t longest = 0, current = 0;
    for (unsigned char ch : text) {
        if (ch == '\n') {
            current = 0;
        } else if ((ch & 0xC0) != 0x80 && ch != '\r') {  // a code point starts here
            longest = std::max(longest, ++current);
        }
    }
    return longest;
}

}  // namespace spis

namespace {

std::string TrimBlanks(std::string_view s) {
    const auto b = s.find_first_not_of(' ');
    if (b == std::string_view::npos) return {};
    const auto e = s.find_last_not_of(' ');
    return std::string(s.substr(b, e - b + 1));
}

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
void ReportFindSpis(host::Application& app, const Error& e) {
    app.UI().MsgBox("FindSPIS: " + e.description(), host::MsgButtons::OK, host::MsgIcon::None, std::string());
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
        for (int r = used.r1; r <= used.r2; ++r) longest = std::max(longest, spis::LongestLine(w.CellText(r, c)));
        w.ColumnWidth(c, c, std::max(standard, static_cast<double>(longest)));
    }
}

}  // namespace

void Kalvora::FindSPIS(WorkbookRef& oWorkBook) {
    CallFrame frame(*this);
    // Every step runs on its own: a failing step is reported and the next one runs.
    std::shared_ptr<host::Worksheet> reg;
    bool done = false;
    auto step = [&](auto&& body) {
        if (done) return;
        try {
            body();
        } catch (...) {
            ReportFindSpis(app_, CurrentError());
        }
    };

    step([&] {
        if (!oWorkBook) {
            done = true;
            throw Error(ErrorCode::ObjectRequired);
        }
        reg = spis::RegisterOf(*oWorkBook);
        if (reg) {
            // an existing register is only brought to the front
            done = true;
            MoveToFront(*oWorkBook, *reg);
        }
    });
    step([&] {
        host::Workbook& book = *oWorkBook;
        auto only = book.Count() == 1 ? book.Sheet(1) : nullptr;
        if (only && IsBlank(*only)) {
            // a workbook's single empty worksheet becomes the register
            only->Clear(host::Area{1, 1, host::kMaxRows, host::kMaxColumns});
            only->Name(spis::kSheetName);
            reg = only;
            return;
        }
        auto first = book.Sheet(1);
        auto added = book.Add(first.get(), nullptr);
        try {
            added->Name(spis::kSheetName);
        } catch (...) {
            try {
                added->Delete();  // no register under another name
            } catch (...) {
            }
            throw;
        }
        reg = added;
    });
    if (!reg) return;
    step([&] { MoveToFront(*oWorkBook, *reg); });
    step([&] { reg->Format(host::Area{1, 1, host::kMaxRows, host::kMaxColumns}, AllCellsFormat()); });
    step([&] {
        for (const spis::ColumnTitles& t : spis::kColumns) {
            const int c = static_cast<int>(t.column) + 1;
            reg->SetLiteral(host::Area{1, c, 1, c}, std::string(t.created));
        }
    });
    step([&] { reg->Format(host::Area{1, 1, 1, spis::kHeaderColumns}, HeaderFormat()); });
    step([&] { FitColumns(*reg); });
}

void Kalvora::ColumnMapSPIS() {
    colSpis_.fill(0);
    if (!wsSpis_) throw Error(ErrorCode::ObjectRequired);
    const host::Area used = wsSpis_->UsedRange();
    for (int c = 1; c <= used.c2; ++c) {
        if (auto column = spis::ColumnOfTitle(TrimBlanks(wsSpis_->CellText(1, c)))) colSpis_[*column] = c;
    }
}

std::optional<host::Range> Kalvora::FindRowSPIS(WorksheetRef& oWorksheet, bool bCreate, bool& bSpisExists) {
    // Silent: a missing register is told by bSpisExists; a failing step is passed over.
    bSpisExists = false;
    if (oWorksheet)
        ws_ = oWorksheet;
    else
        oWorksheet = ws_;

    wsSpis_.reset();
    try {
        // the register of the document's own workbook; with no worksheet, the active one's
        std::shared_ptr<host::Workbook> active;
        const host::Workbook* book = nullptr;
        if (oWorksheet) {
            book = &oWorksheet->Parent();
        } else {
            active = app_.ActiveWorkbook();
            book = active.get();
        }
        if (book) wsSpis_ = spis::RegisterOf(*book);
    } catch (...) {
    }
    if (!wsSpis_) {
        colSpis_.fill(0);
        return std::nullopt;
    }
    bSpisExists = true;

    try {
        ColumnMapSPIS();
    } catch (...) {
    }
    int last = 1;
    try {
        last = std::max(1, wsSpis_->UsedRange().r2);
    } catch (...) {
    }
    if (!oWorksheet) return std::nullopt;  // no document to look for

    const int c = colSpis_[spShee];
    if (c > 0) {
        std::string name;
        bool named = false;
        try {
            name = oWorksheet->Name();
            named = true;
        } catch (...) {
        }
        for (int r = 2; named && r <= last; ++r) {
            try {
                if (wsSpis_->CellText(r, c) == name) return wsSpis_->Rows(r);
            } catch (...) {
            }
        }
    }
    if (bCreate) return wsSpis_->Rows(last + 1);
    return std::nullopt;
}

std::optional<host::Range> Kalvora::CellSpis(WorksheetRef& oWorksheet) {
    CallFrame frame(*this);
    bool exists = false;
    rowSpis_ = FindRowSPIS(oWorksheet, true, exists);
    if (!rowSpis_) return std::nullopt;
    const int c = colSpis_[spShee];
    if (c <= 0) return std::nullopt;  // a register without a "Лист" column names no document
    return rowSpis_->Item(1, c);
}

}  // namespace ormelin
