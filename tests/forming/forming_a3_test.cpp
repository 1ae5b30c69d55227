// A3 forming of the list of purchased products: where the rows land, the sheet
// numbers, the line numbers, the change-registration sheet, the print setup, the
// title blocks against a reviewed dump of a formed document, and rollback.
#include <gtest/gtest.h>

#include <cmath>

#include "forming/forming.hpp"
#include "forming/rollback.hpp"
#include "forming/forming_fixture.hpp"
#include "forming/sheet_dump.hpp"
#include "ormelin/attr_doc.hpp"

namespace ormelin {
namespace {

using testing_support::FormingTest;

// In a formed list the name stands in column D, "на изделие" in AJ.
constexpr int kName = 4;

class A3Forming : public FormingTest {
protected:
    /// A list of purchased products of n data rows, row i holding "строка i" in
    /// its name column and i in its quantity per product.
    void FillVpa(int n) {
        k->DocumentBlank(ws, ksVPA_OT);
        for (int i = 1; i <= n; ++i) {
            ws->SetValue(host::Area{i + 2, 2, i + 2, 2}, "строка " + std::to_string(i));
            ws->SetValue(host::Area{i + 2, 7, i + 2, 7}, static_cast<double>(i));
        }
    }
};

// ------------------------------------------------------------------ reviewed picture

// A list of 24 rows formed with an empty attribute record: two sheets, the second
// holding the 24th row and its title block. The picture (tests/forming/reference/
// vpa_24.txt) was read cell by cell against the form; every value cell of the
// title blocks is empty, every fixed text written.
TEST_F(A3Forming, TwoSheetDocumentMatchesTheReviewedDump) {
    FillVpa(24);
    Form();
    EXPECT_EQ(State(), ksVPA_OF);
    EXPECT_EQ(testing_support::CompareWithReference("vpa_24", testing_support::DumpSheet(*ws)), "");
    for (const char* cell : {"AN33", "AO33", "AM33", "AB34", "AD30", "AH29", "AH32", "AM34", "B32", "B7"})
        EXPECT_EQ(Text(cell), "") << cell;
}

// ------------------------------------------------------------------ pagination

TEST_F(A3Forming, CalledByNameItFormsAndAnswersFalse) {
    FillVpa(5);
    std::vector<Variant> args = {ws, false, false};
    Variant result;
    const CallStatus status = k->InvokeByName("FormingVPA", args, &result);
    ASSERT_TRUE(status.ok()) << status.description;
    ASSERT_TRUE(std::holds_alternative<bool>(result));
    EXPECT_FALSE(std::get<bool>(result));
    EXPECT_EQ(State(), ksVPA_OF);
    EXPECT_EQ(k->CurrentWorksheet(), ws);
    EXPECT_EQ(k->CallDepth(), 0);
    // a formed list is not formed again
    const host::Area used = ws->UsedRange();
    EXPECT_FALSE(Form(true, true));
    EXPECT_EQ(ws->UsedRange(), used);
    // no worksheet: the call fails and says why
    std::vector<Variant> none = {Variant(), false, false};
    EXPECT_FALSE(k->InvokeByName("FormingVPA", none).ok());
    EXPECT_EQ(k->CallDepth(), 0);
}

TEST_F(A3Forming, SheetCountAndWhereTheRowsLand) {
    struct Case {
        int rows;
        double sheets;     // "Листов"
        const char* sheet; // "Лист" on the first sheet
        int lastRowAt;     // worksheet row of the last data row
    };
    for (const Case& c : {Case{0, 1, "", 0}, Case{23, 1, "", 25}, Case{24, 2, "1", 40}, Case{51, 2, "1", 67},
                          Case{52, 3, "1", 75}}) {
        ws = book->Add(nullptr, nullptr);
        FillVpa(c.rows);
        Form();
        EXPECT_EQ(State(), ksVPA_OF) << c.rows;
        EXPECT_EQ(ValueOf("AR33"), host::Value(c.sheets)) << c.rows;
        EXPECT_EQ(Text("AP33"), c.sheet) << c.rows;
        if (c.rows > 0) {
            EXPECT_EQ(RowOfEntry(kName, c.rows), c.lastRowAt) << c.rows;
        }
        // every row in list order, each exactly once: 23 on sheet 1, 28 on the others
        for (int i = 1; i <= c.rows; ++i) {
            const int expected = i <= 23 ? i + 2 : 37 + 35 * ((i - 24) / 28) + 2 + 1 + (i - 24) % 28;
            ASSERT_EQ(RowOfEntry(kName, i), expected) << c.rows << " row " << i;
            ASSERT_EQ(ValueOf("AJ" + std::to_string(expected)), host::Value(double(i))) << i;
        }
        if (c.rows >= 52) {
            EXPECT_EQ(ValueOf("AS70"), host::Value(2.0));  // a sheet number is a number
            EXPECT_EQ(ValueOf("AS105"), host::Value(3.0));
            EXPECT_EQ(Text("AH107"), "Копировал:");
            EXPECT_EQ(Text("AM107"), "Формат А3");
            EXPECT_EQ(Text("D73"), "Наименование");
        }
    }
}

TEST_F(A3Forming, LineNumbersOnEverySheetEmptyRowsIncluded) {
    FillVpa(60);
    ws->SetValue(A("A5"), std::string("чужое"));  // the form's own column: overwritten
    Form();
    EXPECT_EQ(Text("AR33"), "3");
    for (int r = 3; r <= 25; ++r) EXPECT_EQ(ValueOf("C" + std::to_string(r)), host::Value(double(r - 2))) << r;
    for (int first : {40, 75})
        for (int i = 0; i < 28; ++i)
            EXPECT_EQ(ValueOf("C" + std::to_string(first + i)), host::Value(double(i + 1))) << first + i;
    EXPECT_EQ(Text("C26"), "");
    EXPECT_EQ(Text("C38"), "№ строки");
    EXPECT_EQ(Text("C103"), "");  // title block of sheet 3
}

TEST_F(A3Forming, FifteenEmptyRowsWhereASheetWouldBeginEndForming) {
    // 23 rows, then 15 empty ones, then entries
    k->DocumentBlank(ws, ksVPA_OT);
    for (int i : {1, 23, 39, 45}) ws->SetValue(host::Area{i + 2, 2, i + 2, 2}, "строка " + std::to_string(i));
    Form();
    EXPECT_EQ(Text("AR33"), "1");
    EXPECT_EQ(Text("AP33"), "");
    const int at = RowOfEntry(kName, 39);
    EXPECT_EQ(at, 39 + 2 + 12);  // unformed under the only sheet, where the list had it
    EXPECT_EQ(MergeOf("D" + std::to_string(at)), "");
    EXPECT_EQ(RowOfEntry(kName, 45), 45 + 2 + 12);

    // fourteen empty rows do not end it
    ws = book->Add(nullptr, nullptr);
    k->DocumentBlank(ws, ksVPA_OT);
    for (int i : {1, 23, 38}) ws->SetValue(host::Area{i + 2, 2, i + 2, 2}, "строка " + std::to_string(i));
    Form();
    EXPECT_EQ(Text("AR33"), "2");
    EXPECT_EQ(RowOfEntry(kName, 38), 40 + 14);
    EXPECT_EQ(MergeOf("D54"), "D54:N54");
}

TEST_F(A3Forming, ChangeRegistrationSheetForThreeSheetsOrMore) {
    FillVpa(51);
    Form(false, true);
    EXPECT_EQ(Text("AR33"), "2");
    for (int r = 1; r <= 150; ++r) ASSERT_NE(ws->CellText(r, 3), "Лист регистрации изменений") << r;

    ws = book->Add(nullptr, nullptr);
    FillVpa(52);
    Form(false, false);
    EXPECT_EQ(Text("AR33"), "3");
    for (int r = 1; r <= 150; ++r) ASSERT_NE(ws->CellText(r, 3), "Лист регистрации изменений") << r;

    ws = book->Add(nullptr, nullptr);
    FillVpa(52);
    Form(false, true);
    EXPECT_EQ(Text("AR33"), "4");
    EXPECT_EQ(Text("AP33"), "1");
    // sheet 4, in the block from sheet 3's bottom line (row 107), in the A4 layout
    EXPECT_EQ(Text("C108"), "Лист регистрации изменений");
    EXPECT_EQ(MergeOf("C108"), "C108:Z108");
    EXPECT_EQ(Text("E109"), "Номера листов (страниц)");
    EXPECT_EQ(MergeOf("C111"), "C111:D137");
    EXPECT_EQ(MergeOf("Y111"), "Y111:Z137");
    EXPECT_EQ(Content("J111").formula, "=IF(OR(RC[-2]=\"\",RC[-2]=0),\"\",\"Все\")");
    EXPECT_EQ(Text("Z138"), "Лист");
    EXPECT_EQ(ValueOf("Z140"), host::Value(4.0));
    // its own bottom line names its paper
    EXPECT_EQ(Text("M142"), "Копировал:");
    EXPECT_EQ(Text("S142"), "Формат А4");
    EXPECT_EQ(MergeOf("S142"), "S142:Z142");
    for (int r = 108; r <= 142; ++r) ASSERT_EQ(ws->CellText(r, 46), "") << r;  // nothing in A3's columns
    EXPECT_TRUE(ws->Text(host::Area{143, 1, 300, 60}) == std::string());
}

TEST_F(A3Forming, RegistrationSheetLeavesRowsBelowAnEmptyRunAsTheyWere) {
    // three full sheets, 15 empty rows, then entries that the registration table
    // body would otherwise cover
    const int full = 23 + 2 * 28;
    FillVpa(full);
    for (int i = full + 16; i <= full + 25; ++i)
        ws->SetValue(host::Area{i + 2, 2, i + 2, 2}, "строка " + std::to_string(i));
    Form(false, true);
    EXPECT_EQ(Text("AR33"), "4");
    for (int i = full + 16; i <= full + 25; ++i) {
        const int r = RowOfEntry(kName, i);
        ASSERT_GT(r, 142) << i;  // below the registration sheet
        EXPECT_EQ(MergeOf("D" + std::to_string(r)), "") << i;
    }
    k->Otkat(ws);
    EXPECT_EQ(State(), ksVPA_OT);
    for (int i = 1; i <= full + 25; ++i)
        ASSERT_EQ(ws->CellText(i + 2, 2), i <= full || i > full + 15 ? "строка " + std::to_string(i) : "") << i;
}

TEST_F(A3Forming, EverySheetFitsItsPaperAtThePrintZoom) {
    // Printed by a spreadsheet program itself, every sheet (the A4 change-registration
    // sheet among them) must come out on one A3 landscape page: 1190.55 x 841.89 points.
    FillVpa(60);
    Form(true, true);
    const int zoom = ws->Page().zoom;
    ASSERT_GT(zoom, 0);
    ASSERT_EQ(forming::SheetCountOf(*ws, forming::kPurchasedProducts), 4);
    for (int sheet = 1; sheet <= 4; ++sheet) {
        double height = 0;
        for (int r = forming::FirstRowOf(forming::kPurchasedProducts, sheet);
             r <= forming::BottomLineOf(forming::kPurchasedProducts, sheet); ++r)
            height += ws->RowHeight(r);
        EXPECT_LE(height * zoom / 100, 841.89) << "sheet " << sheet << ", " << height << " points high";
        // and not so small that it leaves a good part of the paper empty
        EXPECT_GT(height * zoom / 100, 841.89 * 0.9) << "sheet " << sheet << ", " << height << " points high";
    }
    // the width: a column of w characters of the standard font is 7 w + 5 pixels
    double width = 0;
    for (int c = 1; c <= forming::kPurchasedProducts.columns; ++c) width += (7 * ws->ColumnWidth(c) + 5) * 0.75;
    EXPECT_LE(width * zoom / 100, 1190.55) << width << " points wide";
}

TEST_F(A3Forming, PrintSetupAndZoom) {
    FillVpa(10);
    Form(true);
    EXPECT_TRUE(ws->HPageBreaks().empty());
    EXPECT_EQ(ws->Page().printArea, "$A:$AS");
    EXPECT_EQ(ws->Page().leftMargin, 0);
    EXPECT_EQ(ws->Page().bottomMargin, 0);
    EXPECT_TRUE(ws->Page().centerHorizontally);
    EXPECT_EQ(ws->Page().paperSize, 8);
    EXPECT_EQ(ws->Page().orientation, host::PageOrientation::Landscape);
    EXPECT_EQ(ws->Page().zoom, forming::kPurchasedProducts.printZoom);
    EXPECT_EQ(app.ActiveWindow().View(), host::ViewMode::PageBreakPreview);
    EXPECT_FALSE(app.ActiveWindow().DisplayGridlines());
    EXPECT_EQ(app.ActiveWindow().Zoom(), 75);
    EXPECT_EQ(app.ActiveWindow().SplitRow(), 2);
    EXPECT_TRUE(app.ScreenUpdating());

    ws = book->Add(nullptr, nullptr);
    FillVpa(24);
    Form(true, true);  // two sheets: no registration sheet
    EXPECT_EQ(ws->HPageBreaks(), (std::vector<int>{38, 73}));

    ws = book->Add(nullptr, nullptr);
    FillVpa(52);
    Form(true, true);
    EXPECT_EQ(ws->HPageBreaks(), (std::vector<int>{38, 73, 108, 143}));
}

TEST_F(A3Forming, WithoutPrintSetupOnlyTheZoomChanges) {
    FillVpa(60);
    const host::PageSetup before = ws->Page();
    app.ActiveWindow().Zoom(130);
    Form(false, true);
    EXPECT_EQ(ws->Page(), before);
    EXPECT_TRUE(ws->HPageBreaks().empty());
    EXPECT_EQ(app.ActiveWindow().View(), host::ViewMode::Normal);
    EXPECT_TRUE(app.ActiveWindow().DisplayGridlines());
    EXPECT_EQ(app.ActiveWindow().Zoom(), 75);
    EXPECT_TRUE(app.ScreenUpdating());
}

TEST_F(A3Forming, ListRowsOfOtherHeightsGetTheListRowHeight) {
    FillVpa(40);
    ws->RowHeight(5, 5, 40);     // taller
    ws->RowHeight(30, 31, 60);   // on the second sheet
    ws->RowHeight(12, 12, 0);    // hidden
    ws->RowHeight(20, 20, 25.95);  // as another program rounded it
    Form();
    for (int i : {3, 10, 28, 29, 18}) EXPECT_DOUBLE_EQ(Height(RowOfEntry(kName, i)), i == 10 ? 0 : 26) << i;
    k->Otkat(ws);
    for (int i = 1; i <= 40; ++i) EXPECT_EQ(ws->CellText(i + 2, 2), "строка " + std::to_string(i)) << i;
}

// ------------------------------------------------------------------ geometry

TEST_F(A3Forming, InsertedRowsAreExactlyTheRowsThatAreNotListRows) {
    // every row of the formed sheets that holds no list row is one forming inserted
    for (bool revi : {false, true}) {
        ws = book->Add(nullptr, nullptr);
        FillVpa(60);
        Form(false, revi);
        const int sheets = static_cast<int>(std::get<double>(ValueOf("AR33")));
        ASSERT_EQ(sheets, revi ? 4 : 3);
        // the rows the formed sheet shows as inserted are where the geometry puts them
        const auto spans = forming::FindInsertedRows(*ws, forming::kPurchasedProducts);
        EXPECT_EQ(spans, forming::InsertedRowsOf(forming::kPurchasedProducts, sheets, revi));
        std::vector<bool> listRow(40 + 35 * sheets, false), insertedRow(listRow.size(), false);
        for (int i = 1; i <= 60; ++i) listRow[static_cast<std::size_t>(RowOfEntry(kName, i))] = true;
        for (const forming::RowSpan& span : spans)
            for (int r = span.from; r <= span.to; ++r) insertedRow.at(static_cast<std::size_t>(r)) = true;
        for (int r = 3; r < static_cast<int>(listRow.size()); ++r) {
            const bool inserted = insertedRow[static_cast<std::size_t>(r)];
            if (listRow[static_cast<std::size_t>(r)]) {
                EXPECT_FALSE(inserted) << r;
            }
            // an inserted row never has the list row height; a data row always has it
            if (r <= 37 + 35 * (sheets - 1)) {
                EXPECT_EQ(inserted, std::abs(Height(r) - 26) > 0.4) << revi << " " << r;
            }
        }
    }
}

// ------------------------------------------------------------------ title blocks

TEST_F(A3Forming, RegisterReferencesShowTheRegistersValues) {
    Kalvora::WorkbookRef wb = book;
    k->FindSPIS(wb);
    ws = book->Add(nullptr, nullptr);
    auto rec = std::make_shared<AttrDoc>();
    rec->aOboz("АБВГ.468332.001ВП");
    rec->aNaim("Блок питания");
    rec->aDesi("Иванов");
    rec->aAddb("Т. контр.");
    rec->aLite("О1");
    rec->aIzme("3");
    rec->aInpo("1234");
    rec->aIndu("77");
    Kalvora::AttrDocRef recRef = rec;
    FillVpa(30);
    k->AttribsToSPIS(recRef, ws);
    Form();
    EXPECT_TRUE(ui->messages.empty());
    for (const auto& [cell, text] :
         {std::pair{"AH29", "АБВГ.468332.001ВП"}, {"AH32", "Блок питания"}, {"AD32", "Иванов"}, {"AB34", "Т. контр."},
          {"AM33", "О1"}, {"AN33", ""}, {"AO33", ""}, {"AB30", "3"}, {"B32", "1234"}, {"B20", "77"},
          // sheet 2: title block, lower binding margin and the copied upper one
          {"AH68", "АБВГ.468332.001ВП"}, {"AB69", "3"}, {"B67", "1234"}, {"B57", "77"}, {"A57", "Инв. № дубл."}})
        EXPECT_EQ(Text(cell), text) << cell;
    EXPECT_FALSE(Content("AH29").formula.empty());
    EXPECT_FALSE(Content("AH68").formula.empty());
}

// ------------------------------------------------------------------ rollback

TEST_F(A3Forming, RollbackKeepsListRowsWhoseHeightAnotherProgramRounded) {
    FillVpa(60);
    Form(true, true);
    // LibreOffice writes the 26-point list rows back as 25.5 points
    for (int r = 3; r <= 142; ++r)
        if (Height(r) == 26) ws->RowHeight(r, r, 25.5);
    k->Otkat(ws);
    EXPECT_EQ(State(), ksVPA_OT);
    for (int i = 1; i <= 60; ++i) ASSERT_EQ(ws->CellText(i + 2, 2), "строка " + std::to_string(i)) << i;
    for (int r = 63; r <= 120; ++r) ASSERT_EQ(ws->CellText(r, 2), "") << r;
    EXPECT_DOUBLE_EQ(Height(2), 50);
}

TEST_F(A3Forming, RollsBackToTheListWithItsZoomAndFrozenHead) {
    for (bool print : {false, true}) {
        ws = book->Add(nullptr, nullptr);
        FillVpa(60);
        ws->SetValue(A("F10"), std::string("АБВГ.436234.001"));
        ws->SetValue(A("K62"), std::string("прим."));
        std::vector<std::string> before;
        for (int r = 1; r <= 100; ++r)
            for (int c = 1; c <= 12; ++c) before.push_back(ws->CellText(r, c));
        Form(print, true);
        k->Otkat(ws);
        EXPECT_EQ(State(), ksVPA_OT);
        EXPECT_EQ(app.ActiveWindow().Zoom(), 75);
        EXPECT_EQ(app.ActiveWindow().SplitRow(), 2);
        std::vector<std::string> after;
        for (int r = 1; r <= 100; ++r)
            for (int c = 1; c <= 12; ++c) after.push_back(ws->CellText(r, c));
        EXPECT_EQ(after, before) << print;
        EXPECT_TRUE(ws->MergedAreas(host::Area{3, 1, 2000, 60}).empty());
        EXPECT_TRUE(ws->Text(host::Area{1, 13, 2000, 80}) == std::string());
    }
}

// ------------------------------------------------------------------ the module on its own

TEST_F(A3Forming, FormA3ReportsWhatItDid) {
    struct Case {
        int rows;
        bool print, revi;
        int sheets;
        bool registration;
    };
    for (const Case c : {Case{5, false, true, 1, false}, Case{52, true, false, 3, false}, Case{52, true, true, 4, true},
                         Case{24, false, true, 2, false}}) {
        ws = book->Add(nullptr, nullptr);
        FillVpa(c.rows);
        const forming::FormResult r =
            forming::FormA3(app, ws, AttrDoc{}, {.forPrint = c.print, .pageRevi = c.revi});
        EXPECT_EQ(r.geometry, &forming::kPurchasedProducts) << c.rows;
        EXPECT_EQ(r.sheetCount, c.sheets) << c.rows;
        EXPECT_EQ(r.registrationSheet, c.registration) << c.rows;
        EXPECT_EQ(r.printSetupApplied, c.print) << c.rows;
        EXPECT_FALSE(r.rowsLeftBelow) << c.rows;
        EXPECT_EQ(State(), ksVPA_OF) << c.rows;
        // what the formed sheet says of itself agrees
        EXPECT_EQ(forming::SheetCountOf(*ws, forming::kPurchasedProducts), c.sheets) << c.rows;
        EXPECT_EQ(forming::FindInsertedRows(*ws, forming::kPurchasedProducts),
                  forming::InsertedRowsOf(forming::kPurchasedProducts, c.sheets, c.registration))
            << c.rows;
    }
    // rows left under a run of fifteen empty rows are reported where they now stand
    ws = book->Add(nullptr, nullptr);
    k->DocumentBlank(ws, ksVPA_OT);
    for (int i : {1, 40}) ws->SetValue(host::Area{i + 2, 2, i + 2, 2}, "строка " + std::to_string(i));
    const forming::FormResult r = forming::FormA3(app, ws, AttrDoc{}, {});
    EXPECT_EQ(r.sheetCount, 1);
    ASSERT_TRUE(r.rowsLeftBelow);
    EXPECT_EQ(*r.rowsLeftBelow, RowOfEntry(kName, 40));
    EXPECT_EQ(forming::RowsLeftBelow(*ws, *forming::GeometryOfFormed(ksVPA_OF)), r.rowsLeftBelow);
    // a formed A4 document is read by the A4 geometry, a list by none
    EXPECT_EQ(forming::GeometryOfFormed(ksSPA_OF), &forming::kA4Portrait);
    EXPECT_EQ(forming::GeometryOfFormed(ksVPA_OT), nullptr);
}

TEST_F(A3Forming, RollbackWithoutASheetCountIsRefusedWithNothingChanged) {
    // "Листов" cleared by hand, or a count the worksheet cannot hold: the rows
    // forming inserted cannot be told, so the sheet stays formed as it is
    for (const double count : {0.0, 1e8, 2.5}) {
        ws = book->Add(nullptr, nullptr);
        FillVpa(60);
        Form(true, true);
        if (count == 0)
            ws->ClearContents(A("AR33"));
        else
            ws->SetValue(A("AR33"), count);
        const auto before = ws->Text(host::Area{1, 1, 200, 50});
        const auto merges = ws->MergedAreas(host::Area{1, 1, 200, 50}).size();
        try {
            k->Otkat(ws);
            ADD_FAILURE() << "rollback went through with " << count;
        } catch (const Error& e) {
            const std::string said = e.what();
            EXPECT_NE(said.find("row 33 does not match the form"), std::string::npos) << said;
            EXPECT_NE(said.find("AR33"), std::string::npos) << said;
            EXPECT_NE(said.find("nothing was changed"), std::string::npos) << said;
        }
        EXPECT_EQ(State(), ksVPA_OF) << count;
        EXPECT_EQ(ws->Text(host::Area{1, 1, 200, 50}), before) << count;
        EXPECT_EQ(ws->MergedAreas(host::Area{1, 1, 200, 50}).size(), merges) << count;
    }
}

TEST_F(A3Forming, RollbackRefusesASheetWhoseFormWasDamaged) {
    // 60 entries with the registration sheet: sheet 2 from row 38 (bottom line 72),
    // sheet 3 bottom line 107, the registration sheet from row 108 to 142.
    struct Case {
        const char* what;
        int insertAt;
        const char* clear;
        int firstNamed, lastNamed;
    };
    const Case cases[] = {
        {"a row inside the first title block", 30, nullptr, 26, 31},
        {"the second sheet's \"Лист\" gone", 0, "AS68", 68, 72},
        {"the repeated heads of sheet 3 gone", 0, "D73", 73, 73},
        {"the registration heading gone", 0, "C108", 108, 142},
        {"a row inside the registration sheet's title block", 140, nullptr, 138, 142},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ws = book->Add(nullptr, nullptr);
        FillVpa(60);
        Form(true, true);
        ASSERT_EQ(forming::SheetCountOf(*ws, forming::kPurchasedProducts), 4);
        if (c.insertAt) ws->InsertRows(c.insertAt, 1);
        if (c.clear) ws->ClearContents(A(c.clear));
        const auto before = ws->Text(host::Area{1, 1, 200, 50});
        try {
            k->Otkat(ws);
            ADD_FAILURE() << "rollback went through";
        } catch (const Error& e) {
            const std::string said = e.what();
            const auto at = said.find("row ");
            ASSERT_NE(at, std::string::npos) << said;
            const int named = std::stoi(said.substr(at + 4));
            EXPECT_GE(named, c.firstNamed) << said;
            EXPECT_LE(named, c.lastNamed) << said;
            EXPECT_NE(said.find("nothing was changed"), std::string::npos) << said;
        }
        EXPECT_EQ(ws->Text(host::Area{1, 1, 200, 50}), before);
        EXPECT_EQ(State(), ksVPA_OF);
    }
}

}  // namespace
}  // namespace ormelin
