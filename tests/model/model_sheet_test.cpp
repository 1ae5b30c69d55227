#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <tuple>

#include "model/model_fixture.hpp"

namespace ormelin::test {
namespace {

using host::Area;
using host::Edge;
using host::LineStyle;
using host::Value;

// ---------------------------------------------------------------- values and text

TEST_F(ModelTest, ValuesFormulasAndTextFormat) {
    R("A1").SetValue(std::string("=R1C2&\"x\""));
    EXPECT_EQ(ws->Content(1, 1).formula, "=R1C2&\"x\"");
    EXPECT_EQ(std::get<std::string>(ws->Content(1, 1).value), "x");  // B1 is empty: the formula's result
    R("A2").NumberFormat("@");
    R("A2").SetValue(std::string("=1+1"));
    EXPECT_EQ(ws->Content(2, 1).formula, "");
    EXPECT_EQ(std::get<std::string>(ws->Content(2, 1).value), "=1+1");
    ws->SetLiteral(Area{3, 1, 3, 1}, std::string("=x"));
    EXPECT_EQ(ws->Content(3, 1).formula, "");
    ws->SetFormula(4, 1, "=R1C1", 5.0);
    EXPECT_EQ(ws->CellText(4, 1), "x");  // evaluated, not the cached 5
    EXPECT_EQ(R("A4").Formula(), "=R1C1");
    R("B1").SetValue(2.5);
    EXPECT_EQ(R("B1").Formula(), "2.5");
}

TEST_F(ModelTest, TextOfAMixedRangeIsNothing) {
    R("A1").SetValue(std::string("x"));
    EXPECT_EQ(R("A1:B1").Text(), std::nullopt);          // "x" and ""
    EXPECT_NE(R("A1:B1").Text(), std::optional<std::string>(""));
    EXPECT_EQ(R("A1:A1").Text(), std::optional<std::string>("x"));
    R("B1").SetValue(std::string("x"));
    EXPECT_EQ(R("A1:B1").Text(), std::optional<std::string>("x"));
    EXPECT_EQ(R("C1:D5").Text(), std::optional<std::string>(""));
    EXPECT_EQ(ws->Rows("2:30").Text(), std::optional<std::string>(""));
    R("XFD30").SetValue(std::string("y"));
    EXPECT_EQ(ws->Rows("2:30").Text(), std::nullopt);
}

TEST_F(ModelTest, NumbersDisplayAsTheSpreadsheetShowsThem) {
    R("A1").SetValue(1.0);
    R("A2").SetValue(0.1 + 0.2);
    R("A3").SetValue(1234567890123.0);
    R("A4").SetValue(1e-7);
    R("A5").SetValue(45000.0);
    R("A5").NumberFormat("dd.mm.yyyy");
    R("A6").SetValue(true);
    R("A7").SetValue(host::CellError::Ref);
    R("A8").SetValue(std::string("два\nряда"));
    EXPECT_EQ(Txt("A1"), "1");
    EXPECT_EQ(Txt("A2"), "0.3");
    EXPECT_EQ(Txt("A3"), "1.23457E+12");
    EXPECT_EQ(Txt("A4"), "1E-07");
    EXPECT_EQ(Txt("A5"), "15.03.2023");
    EXPECT_EQ(Txt("A6"), "TRUE");
    EXPECT_EQ(Txt("A7"), "#REF!");
    EXPECT_EQ(Txt("A8"), "два\nряда");
    R("A9").SetValue(0.0);
    EXPECT_EQ(Txt("A9"), "0");
    app.ActiveWindow().DisplayZeros(false);
    EXPECT_EQ(Txt("A9"), "");
    EXPECT_EQ(Txt("A1"), "1");
}

TEST_F(ModelTest, ValuesAcrossARow) {
    R("B2:E2").Values({Value(std::string("a")), Value(2.0), Value(true)});
    EXPECT_EQ(Txt("B2"), "a");
    EXPECT_EQ(Txt("C2"), "2");
    EXPECT_EQ(Txt("D2"), "TRUE");
    EXPECT_EQ(Txt("E2"), "#N/A");
}

// ---------------------------------------------------------------- formats

TEST_F(ModelTest, EffectiveStylePrecedence) {
    ws->Cells().Font().Size(14);
    ws->Columns("B:B").Font().Size(10);
    ws->Rows(3).Font().Size(12);
    EXPECT_EQ(ws->CellStyle(1, 1).font.size, 14);
    EXPECT_EQ(ws->CellStyle(1, 2).font.size, 10);
    EXPECT_EQ(ws->CellStyle(3, 1).font.size, 12);
    EXPECT_EQ(ws->CellStyle(3, 2).font.size, 12);  // row over column
    R("B3").Font().Bold(true);
    // formatting the column again reaches the cell in the formatted row
    ws->Columns("B:B").Font().Italic(true);
    EXPECT_TRUE(ws->CellStyle(3, 2).font.italic);
    EXPECT_TRUE(ws->CellStyle(3, 2).font.bold);
    EXPECT_EQ(ws->CellStyle(3, 2).font.size, 12);
    EXPECT_FALSE(ws->CellStyle(3, 1).font.italic);
    // a formatted row reaches the cells of formatted columns
    ws->Rows(5).Font().Underline(host::Underline::Single);
    EXPECT_EQ(ws->CellStyle(5, 2).font.underline, host::Underline::Single);
    EXPECT_EQ(ws->CellStyle(5, 2).font.size, 10);
    EXPECT_EQ(ws->CellStyle(6, 2).font.underline, host::Underline::None);
}

TEST_F(ModelTest, UsedRangeAfterFormattingEveryRowStaysSmall) {
    EXPECT_EQ(ws->UsedRange(), (Area{1, 1, 1, 1}));
    ws->Cells().NumberFormat("General");
    ws->Cells().RowHeight(26);
    ws->Cells().HorizontalAlignment(host::HAlign::Center);
    ws->Cells().Borders().LineStyle(LineStyle::None);
    ws->Cells().Font().Name("ISOCPEUR");
    ws->Rows(1).RowHeight(43);
    EXPECT_EQ(ws->UsedRange(), (Area{1, 1, 1, 1}));
    EXPECT_EQ(ws->RowHeight(1000000), 26);
    EXPECT_EQ(ws->CellStyle(1000000, 16000).font.name, "ISOCPEUR");
    R("C7").SetValue(1.0);
    EXPECT_EQ(ws->UsedRange(), (Area{1, 3, 7, 3}));  // row 1 by its height, column C by its cell
    ws->InsertRows(2, 3);  // still possible: nothing reaches the end of the sheet
    EXPECT_EQ(ws->UsedRange(), (Area{1, 3, 10, 3}));
}

TEST_F(ModelTest, BorderOuterNoneClearsTheNeighbour) {
    R("C25:L28").Borders().LineStyle(LineStyle::Continuous);
    EXPECT_EQ(ws->CellStyle(25, 3).bottom.style, LineStyle::Continuous);
    EXPECT_EQ(ws->CellStyle(26, 3).top.style, LineStyle::Continuous);
    R("C26:L28").Borders(Edge::Top).LineStyle(LineStyle::None);
    for (int c = 3; c <= 12; ++c) {
        EXPECT_EQ(ws->CellStyle(25, c).bottom.style, LineStyle::None) << c;
        EXPECT_EQ(ws->CellStyle(26, c).top.style, LineStyle::None) << c;
        EXPECT_EQ(ws->CellStyle(25, c).top.style, LineStyle::Continuous) << c;
    }
    EXPECT_EQ(ws->CellStyle(26, 3).left.style, LineStyle::Continuous);
    // inside lines only between the cells of the area
    R("M32:R36").Borders(Edge::InsideHorizontal).LineStyle(LineStyle::Continuous);
    EXPECT_EQ(ws->CellStyle(32, 13).top.style, LineStyle::None);
    EXPECT_EQ(ws->CellStyle(32, 13).bottom.style, LineStyle::Continuous);
    EXPECT_EQ(ws->CellStyle(36, 13).bottom.style, LineStyle::None);
    // an outer edge set to none where nothing was drawn leaves the neighbours alone
    R("E50:F51").Borders(Edge::Left).LineStyle(LineStyle::None);
    EXPECT_FALSE(ws->OwnStyle(50, 4).has_value());
}

// A patch's results are kept in the workbook across areas: the same patch
// given again, after many others, and a patch that differs in one detail only
// each give their own format.
TEST_F(ModelTest, PatchesGivenAgainAfterOthersKeepTheirOwnResults) {
    for (int k = 1; k <= 20; ++k) {
        const std::string row = std::to_string(k);
        R("B" + row + ":D" + row).Font().Color(host::Color::Rgb(static_cast<std::uint32_t>(k)));
    }
    R("B21:D21").Font().Color(host::Color::Rgb(1));
    R("B22:D22").Font().Color(host::Color::Rgb(20));
    R("B23:D23").Borders(Edge::Left).LineStyle(LineStyle::Continuous);
    R("B24:D24").Borders(Edge::Left).Weight(host::BorderWeight::Thick);
    R("B25:D25").Borders(Edge::Right).LineStyle(LineStyle::Continuous);
    for (int k = 1; k <= 20; ++k) {
        for (int c = 2; c <= 4; ++c)
            EXPECT_EQ(ws->CellStyle(k, c).font.color, host::Color::Rgb(static_cast<std::uint32_t>(k))) << k << " " << c;
    }
    EXPECT_EQ(ws->CellStyle(21, 3).font.color, host::Color::Rgb(1));
    EXPECT_EQ(ws->CellStyle(22, 3).font.color, host::Color::Rgb(20));
    EXPECT_EQ(ws->CellStyle(23, 2).left.weight, host::BorderWeight::Thin);
    EXPECT_EQ(ws->CellStyle(24, 2).left.weight, host::BorderWeight::Thick);
    EXPECT_EQ(ws->CellStyle(24, 2).left.style, LineStyle::Continuous);
    EXPECT_EQ(ws->CellStyle(25, 2).left.style, LineStyle::None);
    EXPECT_EQ(ws->CellStyle(25, 4).right.style, LineStyle::Continuous);
    // the same frame over areas that already hold other formats
    R("F5").Font().Bold(true);
    for (int top : {1, 4, 7}) {
        const std::string a = "F" + std::to_string(top) + ":G" + std::to_string(top + 2);
        R(a).Borders().LineStyle(LineStyle::Continuous);
    }
    EXPECT_TRUE(ws->CellStyle(5, 6).font.bold);
    EXPECT_EQ(ws->CellStyle(5, 6).left.style, LineStyle::Continuous);
    EXPECT_FALSE(ws->CellStyle(4, 6).font.bold);
    EXPECT_EQ(ws->CellStyle(9, 7).right.style, LineStyle::Continuous);
}

// Patching a span of a row: values stay, cells left with no format of their
// own and no content go, and a column's or row's format is what the others
// fall back on.
TEST_F(ModelTest, PatchingPartOfARowKeepsValuesAndDropsCellsLeftEmpty) {
    ws->Columns("E:E").Font().Size(9);
    R("B2").SetValue(std::string("б"));
    R("D2").Font().Italic(true);
    R("G2").SetValue(7.0);
    R("A2:H2").Interior().ColorIndex(6);
    for (int c = 1; c <= 8; ++c) EXPECT_EQ(ws->CellStyle(2, c).fill, host::Color::Index(6)) << c;
    EXPECT_EQ(ws->CellStyle(2, 5).font.size, 9);
    EXPECT_TRUE(ws->CellStyle(2, 4).font.italic);
    R("A2:H2").Interior().ColorIndex(-4142);
    EXPECT_EQ(R("B2").Text(), "б");
    EXPECT_EQ(R("G2").Text(), "7");
    EXPECT_TRUE(ws->CellStyle(2, 4).font.italic);
    EXPECT_EQ(ws->CellStyle(2, 5).font.size, 9);
    for (int c : {1, 3, 6, 8}) EXPECT_FALSE(ws->OwnStyle(2, c).has_value()) << c;
    EXPECT_FALSE(ws->OwnStyle(2, 5).has_value());  // back to its column's format
    EXPECT_EQ(ws->UsedRange(), (Area{2, 2, 2, 7}));
    // a span over a row not stored yet, and one over a formatted row
    R("C9:D9").Font().Bold(true);
    EXPECT_TRUE(ws->CellStyle(9, 4).font.bold);
    EXPECT_FALSE(ws->CellStyle(9, 5).font.bold);
    ws->Rows(11).Font().Size(16);
    R("B11:C11").Font().Bold(true);
    EXPECT_EQ(ws->CellStyle(11, 2).font.size, 16);
    EXPECT_TRUE(ws->CellStyle(11, 3).font.bold);
    EXPECT_FALSE(ws->CellStyle(11, 4).font.bold);
}

TEST_F(ModelTest, InteriorAndFontColours) {
    R("A1").Interior().ColorIndex(6);
    EXPECT_EQ(R("A1").Interior().Color(), host::Color::Index(6));
    R("A1").Interior().ColorIndex(-4142);
    EXPECT_EQ(R("A1").Interior().Color(), host::Color::Auto());
    R("A1").Interior().ColorIndex(0);
    EXPECT_EQ(R("A1").Interior().Color(), host::Color::Auto());
    R("A1").Font().ColorIndex(0);
    EXPECT_EQ(R("A1").Font().Color(), host::Color::Index(0));
    R("A1").Font().Color(host::Color::Rgb(0));
    EXPECT_EQ(R("A1").Font().Color(), host::Color::Rgb(0));
}

TEST_F(ModelTest, StylesAreInterned) {
    const auto before = book->Styles().Size();
    for (int r = 1; r <= 200; ++r) R("A" + std::to_string(r) + ":Z" + std::to_string(r)).Font().Bold(true);
    EXPECT_LE(book->Styles().Size(), before + 1);
    EXPECT_EQ(ws->OwnStyle(7, 3), ws->OwnStyle(150, 20));
}

// ---------------------------------------------------------------- merges

TEST_F(ModelTest, MergeKeepsTopLeftAndReplacesOverlaps) {
    R("A1").SetValue(std::string("keep"));
    R("B2").SetValue(std::string("gone"));
    R("A1:B2").Merge();
    EXPECT_EQ(Txt("A1"), "keep");
    EXPECT_TRUE(host::IsEmpty(ws->Content(2, 2).value));
    EXPECT_EQ(ws->MergeArea(2, 2), (Area{1, 1, 2, 2}));
    R("D1:E1").Merge();
    R("B1:D3").Merge();  // overlaps both
    EXPECT_EQ(ws->MergedAreas(Area{1, 1, 10, 10}), (std::vector<Area>{Area{1, 2, 3, 4}}));
    EXPECT_FALSE(ws->MergeArea(1, 1).has_value());
    EXPECT_FALSE(ws->MergeArea(1, 5).has_value());
    EXPECT_TRUE(R("C2").MergeCells());
    EXPECT_EQ(R("C2").MergeArea().Address(false), "B1:D3");
    R("D3:F4").MergeCells(false);
    EXPECT_TRUE(ws->MergedAreas(Area{1, 1, 10, 10}).empty());
}

TEST_F(ModelTest, InsertionInsideAMergedAreaWidensIt) {
    R("C5:D31").Merge();
    R("F5:G6").Merge();
    ws->InsertRows(10, 3);
    EXPECT_EQ(ws->MergeArea(5, 3), (Area{5, 3, 34, 4}));
    ws->InsertRows(5, 1);  // at the top row: the whole area moves down
    EXPECT_EQ(ws->MergeArea(6, 3), (Area{6, 3, 35, 4}));
    EXPECT_EQ(ws->MergeArea(6, 6), (Area{6, 6, 7, 7}));
    EXPECT_FALSE(ws->MergeArea(5, 3).has_value());
    ws->InsertColumns(4, 2);
    EXPECT_EQ(ws->MergeArea(6, 3), (Area{6, 3, 35, 6}));
    EXPECT_EQ(ws->MergeArea(6, 8), (Area{6, 8, 7, 9}));
    ws->InsertColumns(3, 1);
    EXPECT_EQ(ws->MergeArea(6, 4), (Area{6, 4, 35, 7}));
}

TEST_F(ModelTest, DeletingRowsShrinksOrRemovesMerges) {
    R("A2:B6").Merge();
    R("D3:D4").Merge();
    R("F8:G9").Merge();
    ws->DeleteRows(3, 2);
    EXPECT_EQ(ws->MergeArea(2, 1), (Area{2, 1, 4, 2}));
    EXPECT_FALSE(ws->MergeArea(3, 4).has_value());  // D3:D4 went with its rows
    EXPECT_EQ(ws->MergeArea(6, 6), (Area{6, 6, 7, 7}));
    ws->DeleteRows(1, 2);  // cuts the top of A2:B4
    EXPECT_EQ(ws->MergeArea(1, 1), (Area{1, 1, 2, 2}));
    ws->DeleteRows(4, 1);  // F4:G5 loses a row and stays a merge of two cells
    EXPECT_EQ(ws->MergeArea(4, 6), (Area{4, 6, 4, 7}));
}

// ---------------------------------------------------------------- structure

TEST_F(ModelTest, InsertedRowsTakeTheFormatOfTheRowAbove) {
    ws->Rows(4).RowHeight(30);
    ws->Rows(4).Font().Bold(true);
    R("C4").Interior().ColorIndex(3);
    R("C4").SetValue(std::string("v"));
    ws->InsertRows(5, 2);
    EXPECT_EQ(ws->RowHeight(5), 30);
    EXPECT_EQ(ws->RowHeight(6), 30);
    EXPECT_TRUE(ws->CellStyle(5, 1).font.bold);
    EXPECT_EQ(ws->CellStyle(6, 3).fill, host::Color::Index(3));
    EXPECT_TRUE(host::IsEmpty(ws->Content(5, 3).value));
    // at row 1 the new row takes the format of the row below it
    ws->Rows(1).RowHeight(43);
    ws->InsertRows(1, 1);
    EXPECT_EQ(ws->RowHeight(1), 43);
    EXPECT_EQ(ws->RowHeight(2), 43);
    EXPECT_EQ(Txt("C5"), "v");
}

TEST_F(ModelTest, InsertionThatWouldPushContentOffTheSheetFails) {
    R("B1048576").SetValue(std::string("last"));
    R("A5").SetValue(std::string("five"));
    try {
        ws->InsertRows(3, 1);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.code(), ErrorCode::ApplicationDefined);
    }
    EXPECT_EQ(Txt("A5"), "five");
    EXPECT_EQ(Txt("B1048576"), "last");
    EXPECT_THROW(ws->Rows(1).Insert(), Error);
    // a merged area reaching the last row counts as content too
    R("B1048576").ClearContents();
    ws->InsertRows(3, 1);
    R("C1048575:C1048576").Merge();
    EXPECT_THROW(ws->InsertRows(3, 1), Error);
    EXPECT_EQ(Txt("A6"), "five");
    // inserting at the last row of an empty end: the new row takes the format, nothing more
    R("C1048575:C1048576").UnMerge();
    ws->Rows(1048575).RowHeight(20);
    ws->InsertRows(1048576, 3);
    EXPECT_EQ(ws->RowHeight(1048576), 20);
    EXPECT_EQ(ws->UsedRange().r2, 1048576);
    // columns likewise
    R("XFD1").SetValue(1.0);
    EXPECT_THROW(ws->InsertColumns(1, 1), Error);
    EXPECT_EQ(Txt("A6"), "five");
}

TEST_F(ModelTest, FormatsAtTheSheetsEdgeDoNotBlockInsertions) {
    // a list saved by LibreOffice or openpyxl: a column format run reaching XFD,
    // a row format down to the last row and styled empty cells at both edges
    R("A1").SetValue(std::string("a"));
    ws->Columns("B:XFD").Font().Bold(true);
    ws->ColumnWidth(2, host::kMaxColumns, 12);
    ws->Rows("1048570:1048576").Font().Italic(true);
    host::Style twoDecimals;
    twoDecimals.numberFormat = "0.00";
    ws->SetCellStyle(1048576, 2, twoDecimals);
    ws->SetCellStyle(7, host::kMaxColumns, twoDecimals);
    ws->InsertColumns(1, 2);
    EXPECT_EQ(Txt("C1"), "a");
    EXPECT_TRUE(ws->CellStyle(1, 5).font.bold);
    EXPECT_TRUE(ws->CellStyle(1, host::kMaxColumns).font.bold);  // the run still reaches the edge
    EXPECT_EQ(ws->ColumnWidth(host::kMaxColumns), 12);
    ws->InsertRows(1, 3);
    EXPECT_EQ(Txt("C4"), "a");
    EXPECT_TRUE(ws->CellStyle(1048576, 1).font.italic);
    EXPECT_FALSE(ws->UsedRange().r2 > host::kMaxRows);
    ws->RangeAt("A2:D2").Insert(host::Shift::Down);
    ws->RangeAt("A9:B9").Insert(host::Shift::Right);
    EXPECT_EQ(Txt("C5"), "a");
    // nothing was stored past the edges
    ws->ForEachCell([](int row, int column, const host::CellContent&, model::StyleId) {
        EXPECT_LE(row, host::kMaxRows);
        EXPECT_LE(column, host::kMaxColumns);
    });
    // a value at the edge still refuses every insertion that would push it off
    R("XFD2").SetValue(std::string("edge"));
    EXPECT_THROW(ws->InsertColumns(1, 1), Error);
    EXPECT_THROW(ws->RangeAt("A2").Insert(host::Shift::Right), Error);
    ws->RangeAt("A3").Insert(host::Shift::Right);  // another row: nothing of its content reaches the edge
    R("D1048576").SetValue(std::string("bottom"));
    EXPECT_THROW(ws->InsertRows(1, 1), Error);
    EXPECT_THROW(ws->RangeAt("D10").Insert(host::Shift::Down), Error);
    ws->RangeAt("E10").Insert(host::Shift::Down);
    EXPECT_EQ(Txt("C5"), "a");
    EXPECT_EQ(Txt("XFD2"), "edge");
    EXPECT_EQ(Txt("D1048576"), "bottom");
}

/// The reason of the refusal an operation raises, or Refusal::None when it passes.
template <class Op>
Refusal RefusalOf(Op op) {
    try {
        op();
    } catch (const Error& e) {
        EXPECT_EQ(e.code(), ErrorCode::ApplicationDefined);
        return e.refusal();
    }
    return Refusal::None;
}

TEST_F(ModelTest, ColumnsWithoutAWidthTakeTheSheetsStandardWidth) {
    EXPECT_DOUBLE_EQ(ws->ColumnWidth(1), 8.43);  // a new sheet's standard width
    ws->ColumnWidth(2, 2, 3);
    ws->LoadStandardWidth(10.71);  // as a file's default width gives it
    EXPECT_DOUBLE_EQ(ws->StandardWidth(), 10.71);
    EXPECT_DOUBLE_EQ(ws->ColumnWidth(1), 10.71);
    EXPECT_DOUBLE_EQ(ws->ColumnWidth(host::kMaxColumns), 10.71);
    EXPECT_DOUBLE_EQ(ws->ColumnWidth(2), 3);
    EXPECT_DOUBLE_EQ(R("C1").ColumnWidth(), 10.71);
    for (double bad : {-1.0, 255.5, std::nan("")})
        EXPECT_THROW(ws->LoadStandardWidth(bad), ormelin::Error) << bad;
    EXPECT_DOUBLE_EQ(ws->ColumnWidth(1), 10.71);
    // The file's defaults are the sheet's own: another sheet keeps its own.
    ws->Defaults().baseColumnWidth = 10;
    book->AddNamed("Второй");
    EXPECT_EQ(book->ModelSheet(2)->Defaults(), model::SheetDefaults{});
    EXPECT_DOUBLE_EQ(book->ModelSheet(2)->ColumnWidth(1), 8.43);
    EXPECT_EQ(ws->Defaults().baseColumnWidth, 10);
}

TEST_F(ModelTest, RefusalsSayWhyWithoutTheirTexts) {
    R("A1").SetValue(std::string("a"));
    R("B2:C3").Merge();
    R("XFD5").SetValue(1.0);
    EXPECT_EQ(RefusalOf([&] { ws->InsertColumns(1, 1); }), Refusal::ContentOffSheet);
    EXPECT_EQ(RefusalOf([&] { ws->RangeAt("C2:C3").Insert(host::Shift::Down); }), Refusal::PartOfMergedArea);
    EXPECT_EQ(RefusalOf([&] { ws->LoadMerge(Area{3, 3, 4, 4}); }), Refusal::MergedAreasOverlap);
    EXPECT_EQ(RefusalOf([&] { ws->RowHeight(1, 1, 410); }), Refusal::RowHeightOutOfRange);
    EXPECT_EQ(RefusalOf([&] { ws->ColumnWidth(1, 1, 256); }), Refusal::ColumnWidthOutOfRange);
    EXPECT_EQ(RefusalOf([&] { ws->AddHPageBreak(1); }), Refusal::PageBreakPlace);
    EXPECT_EQ(RefusalOf([&] { ws->Name(std::string(32, 'x')); }), Refusal::SheetNameLength);
    EXPECT_EQ(RefusalOf([&] { ws->Name("a/b"); }), Refusal::SheetNameCharacters);
    EXPECT_EQ(RefusalOf([&] { ws->Name("'a"); }), Refusal::SheetNameApostrophe);
    auto other = book->AddNamed("Другой");
    EXPECT_EQ(RefusalOf([&] { ws->Name("ДРУГОЙ"); }), Refusal::SheetNameTaken);
    other->Delete();
    EXPECT_EQ(RefusalOf([&] { ws->Delete(); }), Refusal::LastSheet);
    EXPECT_EQ(RefusalOf([&] { R("A1").Font().Size(500); }), Refusal::FontSizeOutOfRange);
    EXPECT_EQ(RefusalOf([&] { R("A1").Orientation(91); }), Refusal::OrientationOutOfRange);
    EXPECT_EQ(RefusalOf([&] { R("A1").IndentLevel(251); }), Refusal::IndentOutOfRange);
    EXPECT_EQ(RefusalOf([&] { R("A1").Resize(0, 1); }), Refusal::EmptyRange);
    // what was refused changed nothing
    EXPECT_EQ(Txt("A1"), "a");
    EXPECT_EQ(ws->MergeArea(2, 2), std::optional<Area>(Area{2, 2, 3, 3}));
    EXPECT_EQ(book->Count(), 1);
}

TEST_F(ModelTest, DeleteRowsAndColumnsMoveCells) {
    R("A1").SetValue(std::string("a"));
    R("A5").SetValue(std::string("b"));
    R("D1").SetValue(std::string("c"));
    ws->DeleteRows(2, 3);
    EXPECT_EQ(Txt("A2"), "b");
    ws->DeleteColumns(2, 2);
    EXPECT_EQ(Txt("B1"), "c");
    EXPECT_EQ(ws->UsedRange(), (Area{1, 1, 2, 2}));
}

TEST_F(ModelTest, InsertAndDeleteCellsShiftPartOfTheSheet) {
    R("B2").SetValue(std::string("b2"));
    R("B3").SetValue(std::string("b3"));
    R("C2").SetValue(std::string("c2"));
    R("B2:B3").Insert(host::Shift::Down);
    EXPECT_EQ(Txt("B4"), "b2");
    EXPECT_EQ(Txt("B5"), "b3");
    EXPECT_EQ(Txt("C2"), "c2");
    R("B2:B3").Delete(host::Shift::Up);
    EXPECT_EQ(Txt("B2"), "b2");
    R("A2").Insert(host::Shift::Right);
    EXPECT_EQ(Txt("C2"), "b2");
    EXPECT_EQ(Txt("D2"), "c2");
    EXPECT_EQ(Txt("B3"), "b3");
    R("A2:B2").Delete(host::Shift::Left);
    EXPECT_EQ(Txt("A2"), "b2");
    R("5:5").Insert(host::Shift::Down);  // entire rows go to InsertRows
    R("B3").SetValue(std::string("x"));
    R("3:3").Delete();
    EXPECT_EQ(Txt("B3"), "");
}

TEST_F(ModelTest, ClearRemovesEverythingAndClearContentsOnlyValues) {
    R("A1:B2").Merge();
    R("A1").SetValue(std::string("x"));
    R("A1").Font().Bold(true);
    R("A1").AddHyperlink("", "список!A1", "список");
    R("D1").SetValue(1.0);
    R("D1").Font().Bold(true);
    R("D1").ClearContents();
    EXPECT_TRUE(ws->CellStyle(1, 4).font.bold);
    EXPECT_EQ(Txt("D1"), "");
    ws->Cells().Clear();
    EXPECT_TRUE(ws->MergedAreas(Area{1, 1, 5, 5}).empty());
    EXPECT_TRUE(ws->Hyperlinks().empty());
    EXPECT_FALSE(ws->CellStyle(1, 1).font.bold);
    EXPECT_EQ(ws->UsedRange(), (Area{1, 1, 1, 1}));
}

TEST_F(ModelTest, CopyOfEntireRowsCarriesHeightsMergesAndBorders) {
    ws->Rows(37).RowHeight(14);
    R("C37").SetValue(std::string("Копировал:"));
    R("C37:H37").Merge();
    R("C37:Z37").Borders(Edge::Top).LineStyle(LineStyle::Continuous);
    R("X37").SetValue(std::string("Формат А4"));
    R("X37").Formula(std::string("=R1C1"));
    ws->Rows(37).Copy(ws->RangeAt("A72"));
    EXPECT_EQ(ws->RowHeight(72), 14);
    EXPECT_EQ(Txt("C72"), "Копировал:");
    EXPECT_EQ(ws->MergeArea(72, 5), (Area{72, 3, 72, 8}));
    EXPECT_EQ(ws->CellStyle(72, 10).top.style, LineStyle::Continuous);
    EXPECT_EQ(ws->Content(72, 24).formula, "=R1C1");
    // a larger destination receives the source once, at its top-left cell
    R("A1:B1").Values({Value(1.0), Value(2.0)});
    R("A1:B1").Copy(R("D5:H9"));
    EXPECT_EQ(Txt("D5"), "1");
    EXPECT_EQ(Txt("E5"), "2");
    EXPECT_EQ(Txt("F5"), "");
    EXPECT_EQ(Txt("D6"), "");
}

TEST_F(ModelTest, CopyToAnotherWorkbookReinternsStyles) {
    auto other = app.NewWorkbook();
    R("A1").SetValue(std::string("x"));
    R("A1").Font().Name("ISOCPEUR");
    R("A1").Copy(other->ModelSheet(1)->RangeAt("B2"));
    EXPECT_EQ(other->ModelSheet(1)->CellStyle(2, 2).font.name, "ISOCPEUR");
    EXPECT_EQ(other->ModelSheet(1)->CellText(2, 2), "x");
}

// ---------------------------------------------------------------- breaks, links, view

TEST_F(ModelTest, PageBreaksMoveWithInsertions) {
    ws->AddHPageBreak(38);
    ws->AddHPageBreak(73);
    ws->AddHPageBreak(20);
    EXPECT_EQ(ws->HPageBreaks(), (std::vector<int>{20, 38, 73}));
    ws->InsertRows(25, 13);
    EXPECT_EQ(ws->HPageBreaks(), (std::vector<int>{20, 51, 86}));
    ws->DeleteRows(1, 5);
    EXPECT_EQ(ws->HPageBreaks(), (std::vector<int>{15, 46, 81}));
    ws->RemoveHPageBreak(46);
    EXPECT_EQ(ws->HPageBreaks(), (std::vector<int>{15, 81}));
    ws->DeleteRows(15, 1);
    EXPECT_EQ(ws->HPageBreaks(), (std::vector<int>{80}));
}

TEST_F(ModelTest, HyperlinksMoveWithTheirAnchors) {
    R("E1").AddHyperlink("", "список!A1", "список");
    EXPECT_EQ(Txt("E1"), "список");
    ws->InsertColumns(1, 2);
    ws->InsertRows(1, 1);
    auto links = ws->Hyperlinks();
    ASSERT_EQ(links.size(), 1u);
    EXPECT_EQ(links[0].anchor, (Area{2, 7, 2, 7}));
    EXPECT_EQ(links[0].subAddress, "список!A1");
    EXPECT_EQ(links[0].textToDisplay, "список");
    R("G2").AddHyperlink("http://example.org", "", "");
    EXPECT_EQ(ws->Hyperlinks().size(), 1u);  // replaced
    ws->DeleteColumns(7, 1);
    EXPECT_TRUE(ws->Hyperlinks().empty());
}

TEST_F(ModelTest, FreezePanesFollowTheSelection) {
    auto& win = app.ActiveWindow();
    win.FreezePanes(true);  // A1 selected: on, but nothing frozen
    EXPECT_TRUE(win.FreezePanes());
    EXPECT_EQ(win.SplitRow(), 0);
    EXPECT_EQ(win.SplitColumn(), 0);
    ws->Rows(2).Select();
    win.FreezePanes(true);
    EXPECT_EQ(win.SplitRow(), 1);
    EXPECT_EQ(win.SplitColumn(), 0);
    ws->InsertRows(1, 2);  // inside the frozen rows: the split moves down
    EXPECT_EQ(ws->View().frozenRows, 3);
    ws->RangeAt("C5").Select();
    win.FreezePanes(true);
    EXPECT_EQ(win.SplitRow(), 4);
    EXPECT_EQ(win.SplitColumn(), 2);
    ws->InsertColumns(1, 2);
    EXPECT_EQ(win.SplitColumn(), 4);
    win.FreezePanes(false);
    EXPECT_FALSE(win.FreezePanes());
}

TEST_F(ModelTest, SelectActivatesTheSheetAndShowScrolls) {
    auto second = book->Add(nullptr, ws.get());
    EXPECT_EQ(second->Name(), "Лист2");
    EXPECT_EQ(book->ActiveSheet(), second);
    ws->RangeAt("B7:C8").Select();
    EXPECT_EQ(book->ActiveSheet(), ws);
    EXPECT_EQ(app.Selection().area(), (Area{7, 2, 8, 3}));
    ws->Rows(40).Show();
    EXPECT_EQ(app.ActiveWindow().ScrollRow(), 40);
    app.ActiveWindow().Zoom(85);
    EXPECT_EQ(ws->View().zoom, 85);
    EXPECT_EQ(second->View().zoom, 100);
}

TEST_F(ModelTest, RelativeRanges) {
    host::Range block = ws->RangeAt("A37:Z72");
    EXPECT_EQ(block.RangeAt("A17:B24").Address(false), "A53:B60");
    EXPECT_EQ(block.Rows("2:30").Address(false), "A38:Z66");
    EXPECT_EQ(block.Item(2).Address(false), "A38");
    EXPECT_EQ(block.Cells(3, 4).Address(false), "D39");
    EXPECT_EQ(block.Columns(2).Address(false), "B37:B72");
    EXPECT_EQ(block.Rows(1).EntireRow().Address(false), "37:37");
    EXPECT_EQ(ws->RangeAt("C5").EntireColumn().Address(true), "$C:$C");
    EXPECT_EQ(ws->RangeAt("C5").Offset(1, -1).Address(false), "B6");
    EXPECT_EQ(ws->RangeAt("C5").Resize(2, 3).Address(false), "C5:E6");
    EXPECT_EQ(ws->RangeAt("C5:E6").Count(), 6);
    EXPECT_THROW(ws->RangeAt("A1").Offset(-1, 0), Error);
}

}  // namespace
}  // namespace ormelin::test

namespace ormelin::test {
namespace {

// Random row insertions and deletions against a plain vector of rows: the gap
// buffer must keep every value and height where a straightforward model puts them.
TEST_F(ModelTest, RowStoreFollowsAPlainModelThroughRandomEdits) {
    struct Plain {
        std::string text;
        double height = -1;
    };
    std::vector<Plain> plain(300);
    for (int r = 1; r <= 300; ++r) {
        plain[r - 1].text = "r" + std::to_string(r);
        ws->SetLiteral(Area{r, 2, r, 2}, plain[r - 1].text);
        if (r % 7 == 0) {
            plain[r - 1].height = r % 50;
            ws->RowHeight(r, r, r % 50);
        }
    }
    unsigned seed = 12345;
    auto next = [&](int n) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 16) % static_cast<unsigned>(n));
    };
    int cursor = 1;
    for (int step = 0; step < 400; ++step) {
        cursor = std::max(1, std::min<int>(static_cast<int>(plain.size()) + 1, cursor + next(21) - 10));
        const int count = 1 + next(4);
        if (next(2) == 0) {
            ws->InsertRows(cursor, count);
            // inserted rows: no values, the height of the row above (of the row itself at row 1)
            const int src = cursor > 1 ? cursor - 2 : 0;
            const double h = src < static_cast<int>(plain.size()) ? plain[src].height : -1;
            if (cursor - 1 <= static_cast<int>(plain.size()))
                plain.insert(plain.begin() + (cursor - 1), count, Plain{"", h});
        } else {
            ws->DeleteRows(cursor, count);
            if (cursor - 1 < static_cast<int>(plain.size())) {
                auto last = std::min<std::size_t>(plain.size(), cursor - 1 + count);
                plain.erase(plain.begin() + (cursor - 1), plain.begin() + last);
            }
        }
    }
    for (int r = 1; r <= static_cast<int>(plain.size()); ++r) {
        ASSERT_EQ(ws->CellText(r, 2), plain[r - 1].text) << r;
        const double h = plain[r - 1].height < 0 ? 15 : plain[r - 1].height;
        ASSERT_EQ(ws->RowHeight(r), h) << r;
    }
    EXPECT_EQ(ws->CellText(static_cast<int>(plain.size()) + 1, 2), "");
}

}  // namespace
}  // namespace ormelin::test

namespace ormelin::test {
namespace {

// Random merges, row insertions and deletions against a plain list of areas
// following the same rules: the row store's merge bookkeeping (areas kept at
// their top-left row, found by looking back) must agree with it.
TEST_F(ModelTest, MergesFollowAPlainListThroughRandomEdits) {
    std::vector<Area> plain;
    unsigned seed = 777;
    auto next = [&](int n) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 16) % static_cast<unsigned>(n));
    };
    auto sorted = [](std::vector<Area> v) {
        std::sort(v.begin(), v.end(), [](const Area& a, const Area& b) {
            return std::tie(a.r1, a.c1, a.r2, a.c2) < std::tie(b.r1, b.c1, b.r2, b.c2);
        });
        return v;
    };
    for (int step = 0; step < 600; ++step) {
        const int op = next(3);
        if (op == 0) {
            const int r = 1 + next(60), c = 1 + next(8);
            Area a{r, c, r + next(next(4) == 0 ? 12 : 3), c + next(3)};
            if (a.single()) continue;
            ws->Merge(a);
            std::erase_if(plain, [&](const Area& m) { return m.intersects(a); });
            plain.push_back(a);
        } else if (op == 1) {
            const int at = 1 + next(70), n = 1 + next(5);
            ws->InsertRows(at, n);
            for (Area& m : plain) {
                if (m.r1 >= at) m.r1 += n, m.r2 += n;
                else if (m.r2 >= at) m.r2 += n;
            }
        } else {
            const int at = 1 + next(70), n = 1 + next(5), last = at + n - 1;
            ws->DeleteRows(at, n);
            std::vector<Area> kept;
            for (Area m : plain) {
                auto map = [&](int x, bool start) { return x < at ? x : x > last ? x - n : (start ? at : at - 1); };
                Area k{map(m.r1, true), m.c1, map(m.r2, false), m.c2};
                if (k.r2 < k.r1 || k.single()) continue;
                kept.push_back(k);
            }
            plain = kept;
        }
        ASSERT_EQ(sorted(ws->MergedAreas(Area{1, 1, host::kMaxRows, 20})), sorted(plain)) << "step " << step;
    }
    for (int r = 1; r <= 120; ++r) {
        for (int c = 1; c <= 12; ++c) {
            std::optional<Area> expected;
            for (const Area& m : plain) {
                if (m.contains(r, c)) expected = m;
            }
            ASSERT_EQ(ws->MergeArea(r, c), expected) << r << "," << c;
        }
    }
}

}  // namespace
}  // namespace ormelin::test

namespace ormelin::test {
namespace {

// The used range kept up to date through row insertions and deletions agrees
// with one worked out from every cell and row record.
TEST_F(ModelTest, UsedRangeFollowsRowEditsExactly) {
    unsigned seed = 99;
    auto next = [&](int n) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 16) % static_cast<unsigned>(n));
    };
    for (int i = 0; i < 40; ++i) {
        const int r = 2 + 2 * i, c = 3 + next(25);
        ws->SetLiteral(Area{r, c, r, c}, 1.0);
    }
    ws->UsedRange();  // counted once; from here on only row edits
    for (int step = 0; step < 200; ++step) {
        const int at = 1 + next(90), n = 1 + next(4);
        if (next(2)) ws->InsertRows(at, n);
        else ws->DeleteRows(at, n);
        int r1 = 0, r2 = 0, c1 = 0, c2 = 0;
        ws->ForEachCell([&](int r, int c, const host::CellContent&, model::StyleId) {
            if (!r1) r1 = r;
            r2 = std::max(r2, r);
            c1 = c1 ? std::min(c1, c) : c;
            c2 = std::max(c2, c);
        });
        const Area expected = r1 ? Area{r1, c1, r2, c2} : Area{1, 1, 1, 1};
        ASSERT_EQ(ws->UsedRange(), expected) << "step " << step;
    }
}

}  // namespace
}  // namespace ormelin::test
