// Rollback: a formed document goes back to its list. Frames and merges are
// removed, the binding-margin columns deleted, every row that forming inserted
// deleted (found by the form's geometry and checked by what those rows show, so
// list rows keep whatever height another program gave them), the columns
// that are then empty deleted, and the list layout of the kind applied again with
// its rollback flag. The list data cells are never rewritten.
#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>
#include <string>

#include "base/text.hpp"
#include "forming/forming.hpp"
#include "forming/keep_together.hpp"
#include "forming/rollback.hpp"
#include "lists/lists.hpp"
#include "recognition/recognition.hpp"

namespace ormelin::forming {

namespace {

// The execution numbers the group specification's list carries under
// "Кол. на исполн.", by their distance from its first column.
struct Execution {
    int offset;
    const char* text;
};
constexpr Execution kExecutions[] = {
    {0, "-"}, {1, "01"}, {2, "02"}, {4, "03"}, {5, "04"}, {6, "05"}, {7, "06"}, {8, "07"}, {10, "08"}, {12, "09"},
};
constexpr int kWhite = 2;

/// The first cell of a row whose displayed text contains the text; Error(ObjectRequired)
/// when there is none.
host::Range FindInRow(const std::shared_ptr<host::Worksheet>& sheet, int row, const std::string& text) {
    const int last = sheet->UsedRange().c2;
    for (int c = 1; c <= last; ++c)
        if (sheet->CellText(row, c).find(text) != std::string::npos) return sheet->Cells(row, c);
    throw Error(ErrorCode::ObjectRequired, "\"" + text + "\" not found in row " + std::to_string(row));
}


[[noreturn]] void Mismatch(int row, const std::string& what) {
    throw Error(ErrorCode::InvalidArgument,
                "row " + std::to_string(row) + " does not match the form (" + what +
                    "): the rows forming inserted cannot be told from the list rows; nothing was changed");
}

/// Whether the mark holds at worksheet row r; otherwise what was expected.
std::optional<std::string> MarkFails(const host::Worksheet& w, const RowMark& m, int r) {
    if (m.text) {
        if (w.CellText(r, m.column) == m.text) return std::nullopt;
        std::string t = m.text;
        std::replace(t.begin(), t.end(), '\n', ' ');
        return "\"" + t + "\" expected in " + text::ColumnLetters(m.column) + std::to_string(r);
    }
    const host::Area want{r, m.column, r + m.rows - 1, m.lastColumn};
    const auto got = w.MergeArea(r, m.column);
    if (got && *got == want) return std::nullopt;
    return "the merged field " + host::AddressOf(want) + " expected";
}

/// The first of the marks that fails with the sheet's base row, as its row and
/// what was expected there.
std::optional<std::pair<int, std::string>> FirstFailing(const host::Worksheet& w, const RowMark* begin,
                                                        const RowMark* end, int base) {
    for (const RowMark* m = begin; m != end; ++m)
        if (m->column > 0)
            if (auto fails = MarkFails(w, *m, base + m->row)) return std::pair{base + m->row, *fails};
    return std::nullopt;
}

void CheckMarks(const host::Worksheet& w, const RowMark* begin, const RowMark* end, int base) {
    if (const auto fails = FirstFailing(w, begin, end, base)) Mismatch(fails->first, fails->second);
}

/// The first row from `from` on that shows the bottom line, or 0.
int NextBottomLine(const host::Worksheet& w, const SheetGeometry& g, int from) {
    const int last = w.UsedRange().r2;
    for (int r = from; r <= last; ++r)
        if (!MarkFails(w, g.bottomLine, r)) return r;
    return 0;
}

/// Whether row r repeats row 1 (the head row) across the form's columns.
bool RepeatsHead(const host::Worksheet& w, const SheetGeometry& g, int r) {
    for (int c = 3; c <= g.columns; ++c)
        if (w.CellText(r, c) != w.CellText(1, c)) return false;
    return true;
}

/// The bottom line of a sheet whose title block shows all its marks: where the
/// geometry puts it, or else the first bottom line from `from` on (the sheet's
/// list rows being more or fewer). When neither, the first row of the expected
/// title block that does not match is named.
int SheetBottom(const host::Worksheet& w, const SheetGeometry& g, const InsertedSheetRows& s, int expected,
                int from) {
    const auto atExpected = FirstFailing(w, std::begin(s.titleMarks), std::end(s.titleMarks), expected);
    if (!atExpected) return expected;
    const int found = NextBottomLine(w, g, from);
    if (found && found != expected && !FirstFailing(w, std::begin(s.titleMarks), std::end(s.titleMarks), found))
        return found;
    Mismatch(atExpected->first, atExpected->second);
}

}  // namespace

const SheetGeometry* GeometryOfFormed(std::int32_t formed) {
    if (!IsFormedState(formed)) return nullptr;
    return GeometryOf(StateEntryOf(formed).form);
}

std::vector<RowSpan> InsertedRowsOf(const SheetGeometry& g, int sheets, bool registrationSheet) {
    std::vector<RowSpan> rows;
    if (sheets < 1) return rows;
    const int firstTitle = g.firstBottomLine - g.first.titleRows + 1;
    rows.push_back({firstTitle, g.firstBottomLine});
    for (int k = 2; k <= sheets; ++k) {
        const InsertedSheetRows& s = registrationSheet && k == sheets ? g.registration : g.further;
        const int b = BottomLineOf(g, k - 1);
        if (s.topTo >= s.topFrom) rows.push_back({b + s.topFrom - 1, b + s.topTo - 1});
        const int bottom = b + (s.rows ? s.rows : g.sheetRows);
        if (s.titleRows > 0) rows.push_back({bottom - s.titleRows + 1, bottom});
    }
    return rows;
}

std::vector<RowSpan> FindInsertedRows(const host::Worksheet& w, const SheetGeometry& g) {
    std::vector<RowSpan> rows;
    // The first sheet: its bottom line, its title block above it, the sheet count in it.
    const int listStart = 2;
    int bottom = SheetBottom(w, g, g.first, g.firstBottomLine, listStart);
    rows.push_back({bottom - g.first.titleRows + 1, bottom});
    const int countRow = bottom + g.sheetCountCell.row - g.firstBottomLine;
    const host::CellContent count = w.Content(countRow, g.sheetCountCell.column);
    const auto* n = std::get_if<double>(&count.value);
    if (!n || !(*n >= 1) || *n > host::kMaxRows || *n != std::floor(*n))
        Mismatch(countRow, "the number of sheets expected in " + text::ColumnLetters(g.sheetCountCell.column) +
                               std::to_string(countRow));
    const int sheets = static_cast<int>(*n);
    // Every further sheet from the previous bottom line: its top rows, its list
    // rows, its title block up to its own bottom line.
    for (int k = 2; k <= sheets; ++k) {
        const int b = bottom;
        const bool registration =
            k == sheets && !MarkFails(w, g.registrationHeading, b + g.registrationHeading.row - 1);
        const InsertedSheetRows& s = registration ? g.registration : g.further;
        if (s.repeatsHead && !RepeatsHead(w, g, b + s.repeatsHead - 1))
            Mismatch(b + s.repeatsHead - 1, "the repeated column heads expected");
        CheckMarks(w, std::begin(s.topMarks), std::end(s.topMarks), b - 1);
        const int topEnd = s.topTo >= s.topFrom ? b + s.topTo - 1 : b;
        if (s.topTo >= s.topFrom) rows.push_back({b + s.topFrom - 1, topEnd});
        bottom = SheetBottom(w, g, s, b + (s.rows ? s.rows : g.sheetRows), topEnd + s.titleRows);
        if (s.titleRows > 0) rows.push_back({bottom - s.titleRows + 1, bottom});
    }
    return rows;
}

const SheetGeometry* FormedGeometryOn(const host::Worksheet& w, std::int32_t formedState) {
    const SheetGeometry* g = GeometryOfFormed(formedState);
    if (g && StateEntryOf(formedState).form == FormId::A4LandscapeGroup) {
        const bool moved = !NextBottomLine(w, kA4LandscapeGroup, 2) && NextBottomLine(w, kA4LandscapeGroupMoved, 2);
        return moved ? &kA4LandscapeGroupMoved : &kA4LandscapeGroup;
    }
    return g;
}

namespace {

/// The window shows the sheet plainly: normal view, gridlines, no frozen panes.
host::Window& PlainWindow(host::Worksheet& w, host::Application& app) {
    w.Activate();
    host::Window& win = app.ActiveWindow();
    win.View(host::ViewMode::Normal);
    win.DisplayGridlines(true);
    win.FreezePanes(false);
    w.DisplayAutomaticPageBreaks(false);
    return win;
}

// ------------------------------------------------------------------ group specification

/// The group specification's form columns and header rows give way to its list
/// head: the empty column A, the two rows above the head; the execution numbers
/// under "Кол. на исполн." written back in white where empty; the code column.
void RemoveGroupFormColumns(const std::shared_ptr<host::Worksheet>& sheet) {
    host::Worksheet& w = *sheet;
    const auto column = w.Text(host::ParseAddress("A1:A27"));
    if (column && column->empty()) w.Columns("A:A").Delete();
    w.Rows("1:2").Delete();
    w.Rows("3:4").Insert();
    w.CopyTo(host::ParseAddress("15:16"), w, 3, 1);
    const host::Range base = FindInRow(sheet, 1, "Кол. на исполн.").Offset(1, 0);
    for (const Execution& e : kExecutions) {
        const host::Range cell = base.Offset(0, e.offset);
        if (w.CellText(cell.Row(), cell.Column()).empty()) {
            cell.SetValue(std::string(e.text));
            cell.Font().ColorIndex(kWhite);
        }
    }
    FindInRow(sheet, 4, "Код").EntireColumn().Delete();
}

// ------------------------------------------------------------------ end of the group specification

/// The columns left empty, from right to left. Deleting a column changes what
/// the others show only through formulas that read cells; without such formulas
/// the empty columns are all found first and deleted together.
void DeleteEmptyColumns(host::Worksheet& w) {
    const bool oneByOne = w.HasReferringFormulas();
    std::vector<host::ColumnRun> empty;  // right to left, neighbours joined
    for (int c = w.UsedRange().c2; c >= 1; --c) {
        const host::Range column = w.Columns(c);
        column.Select();
        const auto text = w.Text(column.area());
        if (!text || !text->empty()) continue;
        if (oneByOne) w.DeleteColumns(c, 1);
        else if (!empty.empty() && empty.back().at == c + 1) --empty.back().at, ++empty.back().count;
        else empty.push_back(host::ColumnRun{c, 1});
    }
    w.DeleteColumnRuns(empty);
}

}  // namespace

bool RollBack(host::Application& app, const std::shared_ptr<host::Worksheet>& sheet, const lists::ReportFn& report) {
    if (!sheet) throw Error(ErrorCode::ObjectRequired);
    host::Worksheet& w = *sheet;
    const std::int32_t formed = recognition::StateOf(w);
    if (!IsFormedState(formed)) return false;

    // The rows forming inserted, found before anything changes: a sheet whose
    // form cannot be told apart from its list is refused as it stands.
    const SheetGeometry* geometry = GeometryOfFormed(formed);
    const bool group = StateEntryOf(formed).form == FormId::A4LandscapeGroup;
    std::vector<RowSpan> inserted;
    if (geometry) {
        const SheetGeometry& on = *FormedGeometryOn(w, formed);
        inserted = FindInsertedRows(w, on);
        // The rows forming padded to keep entries whole go too (those a user
        // filled stay, without their mark).
        for (const int r : TakePaddingRows(w, on, formed)) inserted.push_back({r, r});
        std::sort(inserted.begin(), inserted.end(), [](const RowSpan& a, const RowSpan& b) { return a.from < b.from; });
    }

    host::Window& win = PlainWindow(w, app);
    const host::Range all = w.Cells();
    all.Borders().LineStyle(host::LineStyle::None);
    all.MergeCells(false);
    const int firstDataRow = FirstDataRow(KindOf(formed));
    if (group)
        RemoveGroupFormColumns(sheet);
    else
        w.Columns("A:B").Delete();
    if (geometry) {
        // Bottom up, so that the rows still to delete keep their numbers.
        for (auto span = inserted.rbegin(); span != inserted.rend(); ++span)
            w.DeleteRows(span->from, span->to - span->from + 1);
    } else {
        lists::RowDelete(sheet, firstDataRow);
    }
    DeleteEmptyColumns(w);

    // The list head again, by the list the sheet now holds.
    const std::int32_t list = recognition::StateOf(w);
    if (const auto layout = lists::LayoutOfList(list)) lists::ColumnsWidthAndHead(sheet, *layout, true, report);
    // A list whose form keeps a zoom of its own (the list of purchased products) is shown at it.
    if (const SheetGeometry* form = GeometryOf(StateEntryOf(list).form); IsListState(list) && form && form->zoom != 100)
        win.Zoom(form->zoom);

    w.Rows(firstDataRow).Select();
    win.FreezePanes(true);
    w.RangeAt("A1").Select();
    return true;
}

}  // namespace ormelin::forming
