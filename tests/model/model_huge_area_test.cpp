// Formatting, merging, copying and clearing areas that reach the sheet's last row
// or column: the effective formats are those of the same operation on a small
// area, and rows or columns of no content inside the area get no entry.
#include <vector>

#include "model/model_fixture.hpp"

namespace ormelin::test {
namespace {

using host::Area;
using host::kMaxColumns;
using host::kMaxRows;

int StoredCells(const model::ModelWorksheet& ws) {
    int n = 0;
    ws.ForEachCell([&](int, int, const host::CellContent&, model::StyleId) { ++n; });
    return n;
}

class HugeArea : public ModelTest {
protected:
    // Content, cell formats, a formatted column and a formatted row, on a sheet.
    static void Fill(model::ModelWorksheet& s) {
        for (int r = 1; r <= 8; ++r) s.SetLiteral(Area{r, 1, r, 1}, static_cast<double>(r));
        s.RangeAt("B5").Font().Bold(true);
        s.RangeAt("B1").Font().Underline(host::Underline::Single);
        s.Columns("C:C").Font().Size(10);
        s.Rows(4).Font().Italic(true);
        s.RangeAt("E2").NumberFormat("0.00");
    }
    static void Frame(const host::Range& r) {
        r.Interior().Color(host::Color::Rgb(0xFFFF99));
        r.Borders().LineStyle(host::LineStyle::Continuous);
        r.Font().Name("ISOCPEUR");
    }
};

// Rows 3 to the sheet's end and rows 3 to 20 of a twin sheet: every cell above
// row 20 shows the same format, and every row past it shows row 19's.
TEST_F(HugeArea, RowsToTheSheetsEndFormatAsAShortRunDoes) {
    auto twin = std::static_pointer_cast<model::ModelWorksheet>(book->Add(nullptr, ws.get()));
    Fill(*ws);
    Fill(*twin);
    Frame(ws->Rows("3:1048576"));
    Frame(twin->Rows("3:20"));
    EXPECT_LT(StoredRows(*ws), 12);  // rows 1..8 and the first row of the area, not a million
    const std::vector<int> columns = {1, 2, 3, 4, 5, 100, kMaxColumns};
    for (int r : {1, 2, 3, 4, 5, 6, 8, 9, 12, 19, 500000, kMaxRows - 1, kMaxRows}) {
        for (int c : columns) {
            const int twinRow = r <= 19 ? r : 19;
            EXPECT_EQ(ws->CellStyle(r, c), twin->CellStyle(twinRow, c)) << "R" << r << "C" << c;
        }
    }
    EXPECT_EQ(ws->CellStyle(700000, 3).font.size, 10);  // the column's own format stays under the patch
    EXPECT_EQ(ws->CellStyle(700000, 3).fill, host::Color::Rgb(0xFFFF99));
    EXPECT_EQ(ws->CellStyle(2, 7).fill, host::Color{});
    EXPECT_EQ(ws->CellStyle(1, 3).font.size, 10);
    // a later edit sees the same sheet as the twin's
    ws->Columns("C:C").Font().Bold(true);
    twin->Columns("C:C").Font().Bold(true);
    for (int r : {1, 2, 3, 4, 9, 600000}) EXPECT_EQ(ws->CellStyle(r, 3), twin->CellStyle(r <= 19 ? r : 19, 3)) << r;
}

// A bottom border on the last row differs from the rows inside: the area is then
// formatted row by row, as before.
TEST_F(HugeArea, RowsToTheEndWithABottomEdgeStillFormatRight) {
    ws->RangeAt("A3").SetValue(1.0);
    ws->Rows("1048500:1048576").Borders(host::Edge::Bottom).LineStyle(host::LineStyle::Continuous);
    EXPECT_EQ(ws->CellStyle(kMaxRows, 5).bottom.style, host::LineStyle::Continuous);
    EXPECT_EQ(ws->CellStyle(kMaxRows - 1, 5).bottom.style, host::LineStyle::None);
    ws->Rows("10:1048576").Font().Bold(true);
    EXPECT_TRUE(ws->CellStyle(kMaxRows, 5).font.bold);
    EXPECT_EQ(ws->CellStyle(kMaxRows, 5).bottom.style, host::LineStyle::Continuous);
    EXPECT_FALSE(ws->CellStyle(9, 5).font.bold);
    EXPECT_TRUE(ws->CellStyle(10, 5).font.bold);
}

// Whole columns over rows that have formats of their own: the rows' formats take
// the patch; cells outside the area keep what they showed.
TEST_F(HugeArea, ColumnsToTheSheetsEndOverFormattedRows) {
    auto twin = std::static_pointer_cast<model::ModelWorksheet>(book->Add(nullptr, ws.get()));
    Fill(*ws);
    Fill(*twin);
    Frame(ws->Columns("B:XFD"));
    Frame(twin->Columns("B:J"));
    EXPECT_LT(StoredCells(*ws), 40);
    for (int r : {1, 2, 4, 5, 9, kMaxRows}) {
        for (int c : {1, 2, 3, 5, 9}) EXPECT_EQ(ws->CellStyle(r, c), twin->CellStyle(r, c)) << "R" << r << "C" << c;
        EXPECT_EQ(ws->CellStyle(r, 5000), twin->CellStyle(r, 6)) << r;
    }
    EXPECT_TRUE(ws->CellStyle(4, 300).font.italic);
    EXPECT_EQ(ws->CellStyle(4, 1).fill, host::Color{});
    EXPECT_TRUE(ws->CellStyle(4, 1).font.italic);
}

// A copy of an area down to the sheet's last row (not whole columns): cells below
// the stored rows show their columns' formats in both places and are passed over;
// the stored ones are copied as for a small area.
TEST_F(HugeArea, CopyOfAnAreaDownToTheSheetsEnd) {
    auto twin = std::static_pointer_cast<model::ModelWorksheet>(book->Add(nullptr, ws.get()));
    Fill(*ws);
    Fill(*twin);
    ws->Cells().Font().Name("ISOCPEUR");
    twin->Cells().Font().Name("ISOCPEUR");
    ws->RangeAt("F12").SetValue(std::string("в пути"));  // a destination cell the copy overwrites
    twin->RangeAt("F12").SetValue(std::string("в пути"));
    ws->RangeAt("A3:B1048576").Copy(ws->RangeAt("E3"));
    twin->RangeAt("A3:B20").Copy(twin->RangeAt("E3"));
    EXPECT_LT(StoredCells(*ws), 40);
    for (int r : {1, 2, 3, 4, 5, 8, 12, 20}) {
        for (int c : {4, 5, 6, 7}) {
            EXPECT_EQ(ws->Content(r, c).value, twin->Content(r, c).value) << "R" << r << "C" << c;
            EXPECT_EQ(ws->CellStyle(r, c), twin->CellStyle(r, c)) << "R" << r << "C" << c;
        }
    }
    EXPECT_EQ(ws->Content(8, 5).value, host::Value(8.0));
    EXPECT_TRUE(ws->CellStyle(5, 6).font.bold);
    EXPECT_EQ(ws->CellStyle(900000, 6).font.name, "ISOCPEUR");
}

// Heights of rows to the sheet's end: the rows above keep theirs.
TEST_F(HugeArea, RowHeightsToTheSheetsEnd) {
    ws->RowHeight(2, 2, 30);
    ws->RangeAt("A7").SetValue(1.0);
    ws->Rows("5:1048576").RowHeight(8);
    EXPECT_LT(StoredRows(*ws), 6);
    EXPECT_EQ(ws->RowHeight(1), 15);
    EXPECT_EQ(ws->RowHeight(2), 30);
    EXPECT_EQ(ws->RowHeight(4), 15);
    for (int r : {5, 7, 8, 500000, kMaxRows}) EXPECT_EQ(ws->RowHeight(r), 8) << r;
    ws->Rows("3:1048575").RowHeight(9);  // not to the end: row by row, as before
    EXPECT_EQ(ws->RowHeight(3), 9);
    EXPECT_EQ(ws->RowHeight(kMaxRows - 1), 9);
    EXPECT_EQ(ws->RowHeight(kMaxRows), 8);
    EXPECT_EQ(ws->RowHeight(2), 30);
}

// The whole sheet, and clearing, copying, merging and deleting whole rows and
// columns: the results are those of the model's rules, and nothing is stored
// for the area's empty rows.
TEST_F(HugeArea, WholeSheetClearCopyMergeAndDelete) {
    Fill(*ws);
    Frame(ws->Cells());
    EXPECT_EQ(ws->CellStyle(kMaxRows, kMaxColumns).font.name, "ISOCPEUR");
    EXPECT_TRUE(ws->CellStyle(5, 2).font.bold);
    ws->Columns("A:B").Copy(ws->RangeAt("F1"));
    EXPECT_EQ(ws->Content(8, 6).value, host::Value(8.0));
    EXPECT_TRUE(ws->CellStyle(5, 7).font.bold);
    ws->Rows("2:1048576").ClearContents();
    EXPECT_EQ(ws->Content(1, 1).value, host::Value(1.0));
    EXPECT_TRUE(host::IsEmpty(ws->Content(2, 1).value));
    EXPECT_TRUE(ws->CellStyle(5, 2).font.bold);  // formats stay
    ws->Cells().Merge();
    EXPECT_EQ(ws->MergedAreas(Area{1, 1, kMaxRows, kMaxColumns}), (std::vector<Area>{Area{1, 1, kMaxRows, kMaxColumns}}));
    EXPECT_EQ(ws->MergeArea(kMaxRows, kMaxColumns), (Area{1, 1, kMaxRows, kMaxColumns}));
    ws->Cells().UnMerge();
    ws->Rows("3:1048576").Clear();
    EXPECT_FALSE(ws->CellStyle(5, 2).font.bold);
    EXPECT_EQ(ws->CellStyle(2, 2).font.name, "ISOCPEUR");
    ws->Columns("B:XFD").Delete(host::Shift::Left);
    EXPECT_EQ(ws->Content(1, 1).value, host::Value(1.0));
    ws->Rows("1:1048576").Delete();
    EXPECT_EQ(StoredCells(*ws), 0);
    EXPECT_LE(StoredRows(*ws), 1);
}

}  // namespace
}  // namespace ormelin::test
