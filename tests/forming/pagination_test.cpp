// A4 forming: how a list is cut into sheets, the sheet numbers, the
// change-registration sheet, the line numbers of the list of documents on data
// media, the print setup, and the dispatcher.
#include <gtest/gtest.h>

#include "forming/forming_fixture.hpp"

namespace ormelin {
namespace {

using testing_support::FormingTest;

// In a formed specification the designation stands in column G.
constexpr int kSpaDesignation = 7;

class Pagination : public FormingTest {};

TEST_F(Pagination, SheetCountAndWhereTheRowsLand) {
    struct Case {
        int rows;
        const char* sheets;   // "Листов"
        const char* sheet;    // "Лист" on the first sheet
        int lastRowAt;        // worksheet row of the last data row
    };
    for (const Case& c : {Case{0, "1", "", 0}, Case{1, "1", "", 2}, Case{23, "1", "", 24}, Case{24, "2", "1", 39},
                          Case{52, "2", "1", 67}, Case{53, "3", "1", 74}}) {
        FillList(ksSPA_OT, c.rows);
        Form();
        EXPECT_EQ(State(), ksSPA_OF) << c.rows;
        EXPECT_EQ(Text("Y33"), c.sheets) << c.rows;
        EXPECT_EQ(Text("V33"), c.sheet) << c.rows;
        if (c.rows > 0) {
            EXPECT_EQ(RowOfEntry(kSpaDesignation, c.rows), c.lastRowAt) << c.rows;
        }
        // every row keeps its place in list order: the 23rd on sheet 1, the 24th
        // opens sheet 2 under its column heads
        if (c.rows >= 23) {
            EXPECT_EQ(RowOfEntry(kSpaDesignation, 23), 24) << c.rows;
        }
        if (c.rows >= 24) {
            EXPECT_EQ(RowOfEntry(kSpaDesignation, 24), 39) << c.rows;
            EXPECT_EQ(Text("G38"), "Обозначение") << c.rows;
            EXPECT_EQ(Text("Z70"), "2") << c.rows;  // sheet number of sheet 2
        }
        if (c.rows >= 53) {
            EXPECT_EQ(RowOfEntry(kSpaDesignation, 52), 67);
            EXPECT_EQ(Text("Z105"), "3");
        }
    }
}

TEST_F(Pagination, SheetNumbersAreNumbers) {
    FillList(ksSPA_OT, 53);
    Form();
    EXPECT_EQ(ValueOf("Y33"), host::Value(3.0));
    EXPECT_EQ(ValueOf("V33"), host::Value(1.0));
    EXPECT_EQ(ValueOf("Z70"), host::Value(2.0));
}

TEST_F(Pagination, RunOf29EmptyRowsWhereASheetWouldBeginEndsForming) {
    // rows 1..23 filled, 24..52 empty, 53..60 filled
    Blank(ksSPA_OT);
    for (int i : {1, 23, 53, 60}) ws->SetValue(host::Area{i + 1, 4, i + 1, 4}, "строка " + std::to_string(i));
    Form();
    EXPECT_EQ(Text("Y33"), "1");
    EXPECT_EQ(Text("V33"), "");
    // the rows under the empty run stay unformed below the only sheet
    const int at = RowOfEntry(kSpaDesignation, 53);
    EXPECT_EQ(at, 54 + 13);
    EXPECT_EQ(MergeOf("G" + std::to_string(at)), "");
    EXPECT_EQ(RowOfEntry(kSpaDesignation, 60), 61 + 13);
}

TEST_F(Pagination, RunOf28EmptyRowsDoesNotEndForming) {
    Blank(ksSPA_OT);
    for (int i : {1, 23, 52}) ws->SetValue(host::Area{i + 1, 4, i + 1, 4}, "строка " + std::to_string(i));
    Form();
    EXPECT_EQ(Text("Y33"), "2");
    EXPECT_EQ(RowOfEntry(kSpaDesignation, 52), 67);
    EXPECT_EQ(MergeOf("G67"), "G67:O67");
}

TEST_F(Pagination, ChangeRegistrationSheetOnlyForThreeSheetsOrMore) {
    FillList(ksSPA_OT, 52);
    Form(false, true);
    EXPECT_EQ(Text("Y33"), "2");
    for (int r = 1; r <= 120; ++r) ASSERT_NE(ws->CellText(r, 3), "Лист регистрации изменений") << r;

    FillList(ksSPA_OT, 53);
    Form(false, false);
    EXPECT_EQ(Text("Y33"), "3");
    for (int r = 1; r <= 150; ++r) ASSERT_NE(ws->CellText(r, 3), "Лист регистрации изменений") << r;

    FillList(ksSPA_OT, 53);
    Form(false, true);
    EXPECT_EQ(Text("Y33"), "4");
    // sheet 4 is built in the block that starts at sheet 3's bottom line (row 107)
    EXPECT_EQ(Text("C108"), "Лист регистрации изменений");
    EXPECT_EQ(MergeOf("C108"), "C108:Z108");
    EXPECT_EQ(Text("C109"), "Изм.");
    EXPECT_EQ(Text("E109"), "Номера листов (страниц)");
    EXPECT_EQ(Text("E110"), "изменен-\nных");
    EXPECT_EQ(Text("R109"), "Входящий №\nсопроводитель\nного докум.\nи дата");
    EXPECT_EQ(Text("Y109"), "Дата");
    // the table body: one tall cell per column
    EXPECT_EQ(MergeOf("C111"), "C111:D137");
    EXPECT_EQ(MergeOf("R111"), "R111:U137");
    // an empty register cell referred to gives 0: the change number counts as empty then too
    EXPECT_EQ(Content("E111").formula, "=IF(OR(RC[-2]=\"\",RC[-2]=0),\"\",\"-\")");
    EXPECT_EQ(Content("J111").formula, "=IF(OR(RC[-2]=\"\",RC[-2]=0),\"\",\"Все\")");
    // with no change number the formula columns show nothing
    EXPECT_EQ(Text("E111"), "");
    EXPECT_EQ(Text("J111"), "");
    // title block of the registration sheet: its own number
    EXPECT_EQ(Text("Z140"), "4");
    EXPECT_EQ(Text("Z138"), "Лист");
    EXPECT_EQ(Text("M142"), "Копировал:");
}

TEST_F(Pagination, LineNumbersOfTheListOfDocumentsOnDataMedia) {
    FillList(ksVN_OT, 60);
    Form();
    EXPECT_EQ(State(), ksVN_OF);
    EXPECT_EQ(Text("Y33"), "3");
    for (int r = 2; r <= 24; ++r) EXPECT_EQ(ValueOf("C" + std::to_string(r)), host::Value(double(r - 1))) << r;
    for (int first : {39, 74})  // the data rows of sheets 2 and 3, empty rows included
        for (int i = 0; i < 29; ++i)
            EXPECT_EQ(ValueOf("C" + std::to_string(first + i)), host::Value(double(i + 1))) << first + i;
    EXPECT_EQ(Text("C38"), "№ строки");
    EXPECT_EQ(Text("C25"), "");
}

TEST_F(Pagination, PrintSetupAndPageBreaks) {
    FillList(ksSPA_OT, 10);
    Form(true);
    EXPECT_TRUE(ws->HPageBreaks().empty());
    EXPECT_EQ(ws->Page().printArea, "$A:$Z");
    EXPECT_EQ(ws->Page().leftMargin, 0);
    EXPECT_EQ(ws->Page().topMargin, 0);
    EXPECT_TRUE(ws->Page().centerHorizontally);
    EXPECT_TRUE(ws->Page().centerVertically);
    EXPECT_EQ(ws->Page().paperSize, 9);
    EXPECT_EQ(ws->Page().orientation, host::PageOrientation::Portrait);
    EXPECT_EQ(app.ActiveWindow().View(), host::ViewMode::PageBreakPreview);
    EXPECT_FALSE(app.ActiveWindow().DisplayGridlines());
    EXPECT_TRUE(app.ScreenUpdating());

    ws = book->Add(nullptr, nullptr);
    FillList(ksSPA_OT, 53);
    Form(true, true);
    EXPECT_EQ(ws->HPageBreaks(), (std::vector<int>{38, 73, 108, 143}));

    ws = book->Add(nullptr, nullptr);
    FillList(ksSPA_OT, 24);
    Form(true);
    EXPECT_EQ(ws->HPageBreaks(), (std::vector<int>{38, 73}));
}

TEST_F(Pagination, WithoutPrintSetupPageAndViewStayAsTheyWere) {
    FillList(ksSPA_OT, 60);
    const host::PageSetup before = ws->Page();
    Form(false, true);
    EXPECT_EQ(ws->Page(), before);
    EXPECT_TRUE(ws->HPageBreaks().empty());
    EXPECT_EQ(app.ActiveWindow().View(), host::ViewMode::Normal);
    EXPECT_TRUE(app.ScreenUpdating());
    EXPECT_EQ(app.ActiveWindow().SplitRow(), 1);  // head row frozen
}

TEST_F(Pagination, ResultIsFalseAndFormedOrUnservedSheetsAreLeftAlone) {
    FillList(ksSPA_OT, 5);
    EXPECT_FALSE(Form());
    const std::string head = Text("G1");
    const auto used = ws->UsedRange();
    EXPECT_FALSE(Form());  // already formed: nothing happens
    EXPECT_EQ(ws->UsedRange(), used);
    EXPECT_EQ(Text("G1"), head);
    EXPECT_EQ(Text("A1"), "Перв. примен.");

    auto empty = book->Add(nullptr, nullptr);
    EXPECT_FALSE(k->Forming(empty, true, true));
    EXPECT_EQ(empty->UsedRange(), host::ParseAddress("A1"));
    EXPECT_EQ(empty->CellText(1, 1), "");

    k->DocumentBlank(empty, ksTB_OT);
    for (const auto& [cell, text] : {std::pair{"A1", "Поз."}, {"B1", "Провод"}, {"C1", "Откуда идет"},
                                     {"D1", "Куда поступает"}, {"E1", "Длина"}, {"F1", "Примеч."}})
        empty->SetValue(host::ParseAddress(cell), std::string(text));
    EXPECT_FALSE(k->Forming(empty, true, true));
    EXPECT_EQ(empty->CellText(1, 1), "Поз.");
    EXPECT_EQ(k->StateOfDocument(empty), ksTB_OT);
}

TEST_F(Pagination, GroupSpecificationAndPurchasedProductsGoToTheirOwnRoutines) {
    // the group specification is formed by its own routine, in A4 landscape
    k->DocumentBlank(ws, ksSPB_OT);
    std::vector<Variant> args = {ws, true, true};
    EXPECT_TRUE(k->InvokeByName("Forming", args).ok());
    EXPECT_EQ(State(), ksSPB_OF);
    EXPECT_EQ(ws->Page().orientation, host::PageOrientation::Landscape);
    EXPECT_EQ(ws->Page().paperSize, 9);
    // the list of purchased products is formed into its A3 sheets
    ws = book->Add(nullptr, nullptr);
    k->DocumentBlank(ws, ksVPA_OT);
    args = {ws, true, true};
    const CallStatus status = k->InvokeByName("Forming", args);
    EXPECT_TRUE(status.ok()) << status.description;
    EXPECT_EQ(State(), ksVPA_OF);
    EXPECT_EQ(ws->Page().paperSize, 8);
}

TEST_F(Pagination, FormingAWithZeroFormsASpecification) {
    FillList(ksSPA_OT, 3);
    EXPECT_FALSE(k->FormingA(ws, 0, false, false));
    EXPECT_EQ(State(), ksSPA_OF);
    EXPECT_EQ(MergeOf("G2"), "G2:O2");
    EXPECT_EQ(Text("M36"), "");
}

TEST_F(Pagination, FormingAWithAnotherKindRunsOnlyTheKindIndependentSteps) {
    // a connection table: binding margin, grid and frames, but no field merges
    Blank(ksSPA_OT);
    ws->SetValue(host::ParseAddress("A30"), std::string("x"));
    EXPECT_FALSE(k->FormingA(ws, ksTB_OT, false, false));
    EXPECT_EQ(Text("A1"), "Перв. примен.");
    EXPECT_EQ(Text("C1"), "Формат");
    EXPECT_EQ(Text("D1"), "Зона");
    EXPECT_EQ(MergeOf("D1"), "");
    EXPECT_EQ(Text("Y33"), "2");
    EXPECT_EQ(Text("M36"), "");
    EXPECT_DOUBLE_EQ(Width("Q"), 10.0);
}

}  // namespace
}  // namespace ormelin
