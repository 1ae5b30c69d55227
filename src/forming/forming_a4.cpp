// Forming an A4 document: the dispatcher, and the A4 forming of the specification
// and the three A4 lists (elements, documents on data media, operational
// documents). The list stays where it is: blank columns are inserted so that each
// list column becomes a field of the form, and frame rows are inserted between the
// data rows so that every sheet of 23 (first) or 29 (further) data rows carries
// its frame, column heads and title block.
// Format patches below name only the fields they change; the others stay empty.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

#include <cmath>
#include <string>
#include <vector>

#include "core/frame.hpp"
#include "forming/print_setup.hpp"
#include "forming/steps.hpp"
#include "ormelin/attr_doc.hpp"

namespace ormelin {

namespace {

using H = host::HAlign;
using V = host::VAlign;

// Column grid of the A4 form, columns A..Z.
constexpr double kWidthsA4[26] = {
    2.0, 3.0, 3.0, 3.0, 1.0, 2.0, 3.5, 4.0, 4.0, 2.5, 2.0, 2.0, 3.5,    // A..M
    3.5, 2.0, 6.0, 10.0, 6.0, 2.0, 2.0, 2.0, 2.0, 2.0, 2.0, 4.0, 4.5,   // N..Z
};

// Field grid of each A4 kind: the whole columns inserted after A:B, one insertion
// after the other, which bring every list column onto the first column of its
// field; the fields (column spans merged on every data and head row); the block
// row from which a subsequent sheet's rows are merged (row 2 is the head row,
// which for some kinds already carries its merges from the copied head).
struct A4Grid {
    ksStateOfDocument state;
    const char* kindName;
    std::vector<const char*> inserted;
    std::vector<const char*> fields;
    int firstMergedBlockRow;
    bool lineNumbers;  // column C holds the line number on its sheet
};

const std::vector<A4Grid>& Grids() {
    static const std::vector<A4Grid> grids = {
        {ksSPA_OT, "", {"F:F", "H:O", "Q:U", "W:W", "Y:Z"},
         // "Формат", "Зона", "Поз.", "Обозначение", "Наименование", "Кол.", "Приме-\nчание"
         {"C:C", "D:D", "E:F", "G:O", "P:U", "V:W", "X:Z"}, 2, false},
        {ksPE_OT_1, "Перечень элементов", {"E:G", "I:T", "V:V", "X:Z"},
         // "Зона", "Поз.\nобозна-\nчение", "Наименование", "Кол.", "Примечание"
         {"C:C", "D:G", "H:T", "U:V", "W:Z"}, 3, false},
        {ksPE_OT_2, "Перечень элементов", {"D:G", "I:T", "V:V", "X:Z"},
         // "Поз.\nобозна-\nчение", "Наименование", "Кол.", "Примечание"
         {"C:G", "H:T", "U:V", "W:Z"}, 3, false},
        {ksVN_OT, "Ведомость документов на носителях данных", {"E:O", "Q:V", "X:Z"},
         // "№ строки", "Обозначение, имя файла,\nразмер ...", "Наименование", "Примечание"
         {"C:C", "D:O", "P:V", "W:Z"}, 3, true},
        {ksVE_OT, "Ведомость эксплуатационных документов", {"D:L", "N:R", "T:T", "V:V", "X:Z"},
         // "Обозначение документа", "Наименование документа", "Кол.\nэкз.,\nшт.", "№\nэкз.", "Место\nнахождения"
         {"C:L", "M:R", "S:T", "U:V", "W:Z"}, 2, false},
    };
    return grids;
}

/// The grid of a state (0 counts as the specification), or none.
const A4Grid* GridOf(std::int32_t state) {
    if (state == ksDOC_NO) state = ksSPA_OT;
    for (const A4Grid& g : Grids())
        if (g.state == state) return &g;
    return nullptr;
}

/// The fields of a grid that span several columns: the merges of every row.
std::vector<std::pair<int, int>> MergedFields(const A4Grid* grid) {
    std::vector<std::pair<int, int>> spans;
    if (!grid) return spans;
    for (const char* f : grid->fields) {
        const host::Area a = host::ParseAddress(f);
        if (a.c2 > a.c1) spans.emplace_back(a.c1, a.c2);
    }
    return spans;
}

void MergeRows(host::Worksheet& w, const std::vector<std::pair<int, int>>& spans, int r1, int r2) {
    for (int r = r1; r <= r2; ++r)
        for (const auto& [c1, c2] : spans) w.Merge(host::Area{r, c1, r, c2});
}

// Frame lines: every edge and inner line of the ranges.
void DrawFrame(const std::shared_ptr<host::Worksheet>& sheet, int top, std::initializer_list<const char*> ranges) {
    for (const char* a : ranges)
        host::Range(sheet, forming::At(a, top)).Borders().LineStyle(host::LineStyle::Continuous);
}

constexpr int kFirstSheetRows = 24;      // head row and 23 data rows
constexpr int kFirstBottomLine = 37;
constexpr int kSheetRows = 35;           // rows of a subsequent sheet
constexpr int kCandidateRows = 29;       // data rows of a subsequent sheet

}  // namespace

bool Kalvora::Forming(WorksheetRef& oWorksheet, bool bForPrint, bool bPageRevi) {
    CallFrame frame(*this);
    const std::int32_t state = StateOfDocument(oWorksheet);
    switch (state) {
        case ksSPA_OT:
        case ksPE_OT_1:
        case ksPE_OT_2:
        case ksVN_OT:
        case ksVE_OT: FormingA(oWorksheet, state, bForPrint, bPageRevi); break;
        case ksSPB_OT: {
            bool print = bForPrint, revi = bPageRevi;
            FormingSPB(oWorksheet, print, revi);
            break;
        }
        case ksVPA_OT: {
            bool print = bForPrint, revi = bPageRevi;
            FormingVPA(oWorksheet, print, revi);
            break;
        }
        default: break;  // no document, a formed one, or a kind without forming
    }
    return false;
}

void Kalvora::ColumnsWidthA4() {
    host::Worksheet& w = Sheet();
    for (int c = 1; c <= 26; ++c) w.ColumnWidth(c, c, kWidthsA4[c - 1]);
}

bool Kalvora::FormingA(WorksheetRef& oWorksheet, std::int32_t lStateOfDoc, bool bForPrint, bool bPageRevi) {
    CallFrame frame(*this);
    if (!oWorksheet) throw Error(ErrorCode::ObjectRequired);
    // 1, 2: the worksheet and its attributes
    ws_ = oWorksheet;
    {
        WorksheetRef current;
        AttribsRefFromSPIS(current);
    }
    if (!attDoc_) attDoc_ = std::make_shared<AttrDoc>();
    // 3, 4: screen, panes
    ScreenRefresh();
    const auto sheet = ws_;
    host::Worksheet& w = *sheet;
    host::Window& win = app_.ActiveWindow();
    w.Rows(2).Select();
    win.FreezePanes(true);
    win.DisplayZeros(false);
    forming::ListRowsToListHeight(w, 2);

    // 5: binding-margin columns
    w.Columns("A:B").Insert();
    w.Columns("A:B").ApplyFormat({.numberFormat = "General", .horizontal = H::Center, .vertical = V::Center,
                                  .orientation = 90, .fontSize = 11});
    // 6, 7: column step and grid
    const A4Grid* grid = GridOf(lStateOfDoc);
    const std::string kindName = grid ? grid->kindName : "";
    if (grid)
        for (const char* cols : grid->inserted) w.Columns(cols).Insert();
    ColumnsWidthA4();
    // 8: first sheet's title block
    TitleFirst();
    // 9: first-sheet field merges (the head row with the grid of the data rows)
    const auto spans = MergedFields(grid);
    const bool numbered = grid && grid->lineNumbers;
    for (int r = 1; r <= kFirstSheetRows; ++r) {
        if (numbered && r > 1) w.SetValue(host::Area{r, 3, r, 3}, static_cast<double>(r - 1));
        MergeRows(w, spans, r, r);
    }
    // 10: kind name under the product name
    w.Range_("M36").Value_(kindName);
    // 11: first-sheet frame
    DrawFrame(sheet, 1, {"A1:B13", "A16:B36", "C1:Z36"});
    w.Range_("C26:L28").ApplyFormat(forming::NoLine(host::Edge::Top));
    w.Range_("M32:R36").ApplyFormat(forming::NoLine(host::Edge::InsideHorizontal));

    // 12: pagination, one subsequent sheet while the next 29 rows hold anything
    const host::Area bottomLine{kFirstBottomLine, 1, kFirstBottomLine, host::kMaxColumns};
    int b = kFirstBottomLine;  // the selected cell's row: the last sheet's bottom line
    std::int32_t n = 1;
    w.Range_("A37").Select();
    for (;;) {
        const auto candidates = w.Text(host::Area{b + 1, 1, b + kCandidateRows, host::kMaxColumns});
        if (candidates && candidates->empty()) break;
        ++n;
        rngPage_ = host::Range(sheet, host::Area{b, 1, b + 35, host::kMaxColumns});
        PageNext(n, rngPage_, attDoc_);
        if (grid) MergeRows(w, spans, b + grid->firstMergedBlockRow - 1, b + 30);
        if (numbered)
            for (int r = 3; r <= 31; ++r) w.SetValue(host::Area{b + r - 1, 3, b + r - 1, 3}, static_cast<double>(r - 2));
        DrawFrame(sheet, b, {"A18:B35", "C2:Z35"});
        w.CopyTo(bottomLine, w, b + 35, 1);
        b += kSheetRows;
        w.Cells(b, 1).Select();
    }

    // 13: change-registration sheet
    if (n > 2 && bPageRevi) {
        ++n;
        rngPage_ = host::Range(sheet, host::Area{b, 1, b + 35, host::kMaxColumns});
        PageRevi(n, rngPage_, attDoc_);
        for (const char* body : forming::kRegistrationBody) w.Merge(forming::At(body, b));
        DrawFrame(sheet, b, {"A18:B35", "C2:Z35"});
        w.CopyTo(bottomLine, w, b + 35, 1);
    }

    // 14: sheet and sheet count on the first sheet
    if (n > 1) w.Range_("V33").Value_(1.0);
    w.Range_("Y33").Value_(static_cast<double>(n));
    // 15
    rngPage_.reset();
    w.Rows(2).Show();

    // 16: print setup, each step on its own
    if (bForPrint) forming::SetUpPrinting(app_, w, forming::kPaperA4Portrait, n, 38, kSheetRows);
    // 17
    forming::EndForming(app_, 100, bForPrint);
    return false;
}

}  // namespace ormelin
