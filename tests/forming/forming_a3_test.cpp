// A3 forming of the list of purchased products: where the rows land, the sheet
// numbers, the line numbers, the change-registration sheet, the print setup, the
// title blocks against a reviewed dump of a formed document, and rollback.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "forming/forming_a3.hpp"
#include "forming/forming_fixture.hpp"
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
    /// Rows r1..r2 as text: row number and height, every cell that shows anything,
    /// and the merged areas that start in the row.
    std::string Dump(int r1, int r2, int lastColumn = 46) const {
        std::ostringstream out;
        for (int r = r1; r <= r2; ++r) {
            out << r << " h" << Height(r) << ":";
            for (int c = 1; c <= lastColumn; ++c) {
                const std::string t = ws->CellText(r, c);
                if (!t.empty()) {
                    std::string flat = t;
                    for (char& ch : flat)
                        if (ch == '\n') ch = '|';
                    out << " " << host::AddressOf(host::Area{r, c, r, c}) << "=" << flat;
                }
            }
            std::string merges;
            for (const host::Area& m : ws->MergedAreas(host::Area{r, 1, r, lastColumn}))
                if (m.r1 == r) merges += " " + host::AddressOf(m);
            if (!merges.empty()) out << " [" << merges.substr(1) << "]";
            out << "\n";
        }
        return out.str();
    }
};

// ------------------------------------------------------------------ reviewed dump

// A list of 24 rows formed with an empty attribute record: the first sheet's heads,
// its last data rows, title area, title block and bottom line; sheet 2's heads,
// first and last data rows, title block and bottom line. Reviewed cell by cell
// against the form; every value cell is empty, every fixed text written.
const char* const kTwoSheetsReference =
        "1 h24: A1=Перв. примен. B1= & \"     \" &  C1=№ строки D1=Наименование O1=Код продукции R1=Обозначение|документа|на поставку AA1=Поставщик AE1=Куда входит (обозначение) AJ1=Количество AQ1=Приме-|чание AT1=список [A1:A6 B1:B6 C1:C2 D1:N2 O1:Q2 R1:Z2 AA1:AD2 AE1:AI2 AJ1:AP1 AQ1:AS2 AT1:AT2]\n"
        "2 h50: AJ2=на из-|делие AK2=в ком-|плекты AL2=на ре-|гулир. AO2=всего [AL2:AN2 AO2:AP2]\n"
        "3 h26: C3=1 D3=строка 1 AJ3=1 [D3:N3 O3:Q3 R3:Z3 AA3:AD3 AE3:AI3 AL3:AN3 AO3:AP3 AQ3:AS3]\n"
        "24 h26: C24=22 D24=строка 22 AJ24=22 [D24:N24 O24:Q24 R24:Z24 AA24:AD24 AE24:AI24 AL24:AN24 AO24:AP24 AQ24:AS24]\n"
        "25 h26: C25=23 D25=строка 23 AJ25=23 [D25:N25 O25:Q25 R25:Z25 AA25:AD25 AE25:AI25 AL25:AN25 AO25:AP25 AQ25:AS25]\n"
        "26 h5: [C26:AG28 AH26:AH27 AI26:AK27 AL26:AS27]\n"
        "27 h37: A27=Подп. и дата [A27:A31 B27:B31]\n"
        "28 h23: [AH28:AS28]\n"
        "29 h15: [C29:AA36 AD29:AE29 AH29:AS31]\n"
        "30 h15: [AD30:AE30]\n"
        "31 h15: AB31=Изм. AC31=Лист AD31=№ докум. AF31=Подп. AG31=Дата [AD31:AE31]\n"
        "32 h15: A32=Инв. № подл. AB32=Разраб. AM32=Лит. AP32=Лист AR32=Листов [A32:A36 B32:B36 AB32:AC32 AD32:AE32 AH32:AL35 AM32:AO32 AP32:AQ32 AR32:AS32]\n"
        "33 h15: AB33=Пров. AP33=1 AR33=2 [AB33:AC33 AD33:AE33 AP33:AQ33 AR33:AS33]\n"
        "34 h15: [AB34:AC34 AD34:AE34 AM34:AS36]\n"
        "35 h15: AB35=Н. контр. [AB35:AC35 AD35:AE35]\n"
        "36 h15: AB36=Утв. AH36=Ведомость покупных изделий [AB36:AC36 AD36:AE36 AH36:AL36]\n"
        "37 h15: AH37=Копировал: AM37=Формат А3 [A37:AG37 AH37:AL37 AM37:AS37]\n"
        "38 h24: C38=№ строки D38=Наименование O38=Код продукции R38=Обозначение|документа|на поставку AA38=Поставщик AE38=Куда входит (обозначение) AJ38=Количество AQ38=Приме-|чание [C38:C39 D38:N39 O38:Q39 R38:Z39 AA38:AD39 AE38:AI39 AJ38:AP38 AQ38:AS39]\n"
        "39 h50: AJ39=на из-|делие AK39=в ком-|плекты AL39=на ре-|гулир. AO39=всего [AL39:AN39 AO39:AP39]\n"
        "40 h26: C40=1 D40=строка 24 AJ40=24 [D40:N40 O40:Q40 R40:Z40 AA40:AD40 AE40:AI40 AL40:AN40 AO40:AP40 AQ40:AS40]\n"
        "41 h26: C41=2 [D41:N41 O41:Q41 R41:Z41 AA41:AD41 AE41:AI41 AL41:AN41 AO41:AP41 AQ41:AS41]\n"
        "66 h26: C66=27 [D66:N66 O66:Q66 R66:Z66 AA66:AD66 AE66:AI66 AL66:AN66 AO66:AP66 AQ66:AS66]\n"
        "67 h26: A67=Инв. № подл. C67=28 [A67:A71 B67:B71 D67:N67 O67:Q67 R67:Z67 AA67:AD67 AE67:AI67 AL67:AN67 AO67:AP67 AQ67:AS67]\n"
        "68 h15: AS68=Лист [C68:AA71 AD68:AE68 AH68:AR71 AS68:AS69]\n"
        "69 h6: [AB69:AB70 AC69:AC70 AD69:AE70 AF69:AF70 AG69:AG70]\n"
        "70 h9: AS70=2 [AS70:AS71]\n"
        "71 h15: AB71=Изм. AC71=Лист AD71=№ докум. AF71=Подп. AG71=Дата [AD71:AE71]\n"
        "72 h15: AH72=Копировал: AM72=Формат А3 [A72:AG72 AH72:AL72 AM72:AS72]\n"
        "73 h26:\n";

TEST_F(A3Forming, TwoSheetDocumentMatchesTheReviewedDump) {
    FillVpa(24);
    Form();
    EXPECT_EQ(State(), ksVPA_OF);
    EXPECT_EQ(Dump(1, 3) + Dump(24, 41) + Dump(66, 73), kTwoSheetsReference);
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
    EXPECT_EQ(Content("J111").formula, "=IF(RC[-2]=\"\",\"\",\"Все\")");
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
    EXPECT_EQ(ws->Page().zoom, 100);
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
        std::vector<bool> listRow(40 + 35 * sheets, false);
        for (int i = 1; i <= 60; ++i) listRow[static_cast<std::size_t>(RowOfEntry(kName, i))] = true;
        for (int r = 3; r < static_cast<int>(listRow.size()); ++r) {
            const bool inserted = forming::InsertedRow(forming::kPurchasedProducts, r, sheets, revi);
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

}  // namespace
}  // namespace ormelin
