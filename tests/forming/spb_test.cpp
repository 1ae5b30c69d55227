// Group specification forming: where the list rows land and how many sheets
// there are, the change-registration sheet and its column, the print block, the
// title blocks with an empty record and with register references, and rollback
// of what forming made, down to a round trip over generated lists.
#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "forming/forming_fixture.hpp"
#include "forming/forming_spb.hpp"
#include "forming/sheet_dump.hpp"
#include "ormelin/attr_doc.hpp"

namespace ormelin {
namespace {

// The designation column: D of the list, F of the form (G with the registration column).
constexpr int kListDesignation = 4;
constexpr int kFormDesignation = 6;

class GroupSpecification : public testing_support::FormingTest {
protected:
    /// A blank group specification with the executions "-", "01", "02".
    void Blank() {
        k->DocumentBlank(ws, ksSPB_OT);
        for (const auto& [cell, text] : {std::pair{"F2", "-"}, {"G2", "01"}, {"H2", "02"}})
            ws->SetValue(A(cell), std::string(text));
    }
    /// Data row i (from 1) of the list holds "строка i" and its quantity.
    void Entry(int i) {
        const int r = i + 4;
        ws->SetValue(host::Area{r, kListDesignation, r, kListDesignation}, "строка " + std::to_string(i));
        ws->SetValue(host::Area{r, 6, r, 6}, static_cast<double>(i));
    }
    void List(int n) {
        Blank();
        for (int i = 1; i <= n; ++i) Entry(i);
    }
    int Row(int i, int column = kFormDesignation) const { return RowOfEntry(column, i); }
    /// The register sheet and a document sheet after it.
    void WithRegister() {
        Kalvora::WorkbookRef wb = book;
        k->FindSPIS(wb);
        ws = book->Add(nullptr, nullptr);
    }
    void Register(const std::vector<std::pair<const char*, std::string>>& attrs) {
        auto rec = std::make_shared<AttrDoc>();
        for (const auto& [name, value] : attrs) rec->LetText(name, value);
        Kalvora::AttrDocRef ref = rec;
        k->AttribsToSPIS(ref, ws);
    }
    std::string At(const std::string& column, int row) const { return Text(column + std::to_string(row)); }
};

// ------------------------------------------------------------------ reviewed picture

// A list of 30 rows formed for print with the change-registration sheet and an
// empty attribute record: the 30th row opens sheet 3, the registration sheet
// follows it as sheet 4 and moves the form one column right. The picture
// (tests/forming/reference/spb_30_print_revi.txt) was read against the form:
// grid widths, sheet rows, heads, title blocks, the registration table and the
// print setup.
TEST_F(GroupSpecification, ThreeSheetDocumentWithRegistrationMatchesTheReviewedDump) {
    List(30);
    Form(true, true);
    ASSERT_EQ(State(), ksSPB_OF);
    EXPECT_EQ(testing_support::CompareWithReference("spb_30_print_revi", testing_support::DumpSheet(*ws)), "");
}

// ------------------------------------------------------------------ pagination

TEST_F(GroupSpecification, SheetCountAndWhereTheListRowsLand) {
    struct Case {
        int rows;
        const char* sheets;  // "Листов" (AD23)
        const char* sheet;   // "Лист" (AB23): only when there are several
        int lastAt;          // worksheet row of the last list row
    };
    for (const Case& c : {Case{0, "1", "", 0}, Case{8, "1", "", 12}, Case{9, "2", "1", 32}, Case{25, "2", "1", 48},
                          Case{26, "3", "1", 58}}) {
        ws = book->Add(nullptr, nullptr);
        List(c.rows);
        Form();
        ASSERT_EQ(State(), ksSPB_OF) << c.rows;
        EXPECT_EQ(Text("AD23"), c.sheets) << c.rows;
        EXPECT_EQ(Text("AB23"), c.sheet) << c.rows;
        if (c.rows) { EXPECT_EQ(Row(c.rows), c.lastAt) << c.rows; }
        if (c.rows >= 8) { EXPECT_EQ(Row(8), 12) << c.rows; }
        if (c.rows >= 9) {
            EXPECT_EQ(Row(9), 32) << c.rows;  // sheet 2 under its heads
            EXPECT_EQ(Text("F30"), "Обозначение");
            EXPECT_EQ(Text("O31"), "-");
            EXPECT_EQ(ValueOf("AE51"), host::Value(2.0));  // sheet 2's number
            EXPECT_EQ(Text("P53"), "Копировал:");
        }
        if (c.rows >= 26) { EXPECT_EQ(ValueOf("AE77"), host::Value(3.0)); }
        // the letter and code rows of the list stand under the first sheet's list rows
        EXPECT_EQ(Text("N13"), "Лит.");
        EXPECT_EQ(Text("N16"), "Код");
    }
}

TEST_F(GroupSpecification, EmptyRowsInsideTheListDoNotEndIt) {
    // 38 empty rows after the eighth: the 47th row is still found
    Blank();
    for (int i : {1, 8, 47}) Entry(i);
    Form();
    EXPECT_EQ(Text("AD23"), "4");
    EXPECT_EQ(Row(47), 26 * 3 + 6 + 4);
    EXPECT_EQ(MergeOf("F" + std::to_string(Row(47))), "F88:H88");
}

TEST_F(GroupSpecification, RunOf39EmptyRowsEndsTheDocument) {
    Blank();
    for (int i : {1, 8, 48, 50}) Entry(i);
    Form();
    EXPECT_EQ(Text("AD23"), "1");
    EXPECT_EQ(Text("AB23"), "");
    // the rows after the run stay below the only sheet, unformed
    EXPECT_EQ(Row(48), 27 + 39 + 1);
    EXPECT_EQ(MergeOf("F67"), "");
    EXPECT_EQ(forming::SpbFirstRowLeftBelow(*ws), 67);
    // and return to their places
    k->Otkat(ws);
    EXPECT_EQ(State(), ksSPB_OT);
    EXPECT_EQ(ws->CellText(48 + 4, kListDesignation), "строка 48");
    EXPECT_EQ(ws->CellText(50 + 4, kListDesignation), "строка 50");
}

TEST_F(GroupSpecification, ChangeRegistrationSheetMovesTheFormOneColumnRight) {
    List(26);
    Form(true, true);
    ASSERT_EQ(State(), ksSPB_OF);
    EXPECT_EQ(ws->Page().printArea, "$A:$AF");
    // sheet and count one column right; the registration sheet counts
    EXPECT_EQ(ValueOf("AC23"), host::Value(1.0));
    EXPECT_EQ(ValueOf("AE23"), host::Value(4.0));
    EXPECT_EQ(Text("AD23"), "");
    EXPECT_EQ(Text("B3"), "Формат");
    EXPECT_EQ(Row(26, kFormDesignation + 1), 58);
    // column A of the first sheet is the empty inserted column
    const auto columnA = ws->Text(A("A1:A27"));
    EXPECT_TRUE(columnA && columnA->empty());
    EXPECT_DOUBLE_EQ(Width("A"), 2);
    // the registration sheet below sheet 3 (rows 80..118)
    EXPECT_EQ(Text("AF82"), "Лист регистрации изменений");
    EXPECT_EQ(MergeOf("AF82"), "AF82:AF118");
    EXPECT_EQ(Text("B82"), "Изм.");
    EXPECT_EQ(ValueOf("B117"), host::Value(4.0));
    EXPECT_EQ(Text("A96"), "Копировал:");
    EXPECT_EQ(Text("A106"), "Формат А4");
    EXPECT_EQ(StyleOf("AF82").orientation, -90);
    EXPECT_EQ(ws->HPageBreaks(), (std::vector<int>{28, 54, 80}));
    EXPECT_EQ(ws->Page().orientation, host::PageOrientation::Landscape);
    EXPECT_EQ(ws->Page().paperSize, 9);
    EXPECT_EQ(ws->Page().zoom, 98);
    EXPECT_EQ(ws->Page().leftMargin, 0);
    EXPECT_EQ(app.ActiveWindow().View(), host::ViewMode::PageBreakPreview);
    EXPECT_FALSE(app.ActiveWindow().DisplayGridlines());
    EXPECT_EQ(app.ActiveWindow().Zoom(), 100);
    EXPECT_EQ(forming::SpbFirstRowLeftBelow(*ws), 0);
}

TEST_F(GroupSpecification, RegistrationSheetOnlyFromThreeSheetsAndOnlyWhenAsked) {
    auto hasRegistration = [&] {
        for (int r = 1; r <= 200; ++r)
            for (int c = 30; c <= 32; ++c)
                if (ws->CellText(r, c) == "Лист регистрации изменений") return true;
        return false;
    };
    List(25);  // two sheets
    Form(true, true);
    EXPECT_FALSE(hasRegistration());
    EXPECT_EQ(Text("AD23"), "2");
    EXPECT_EQ(ws->Page().printArea, "$A:$AE");
    EXPECT_EQ(ws->HPageBreaks(), (std::vector<int>{28, 54}));

    ws = book->Add(nullptr, nullptr);
    List(26);  // three sheets, not asked
    Form(true, false);
    EXPECT_FALSE(hasRegistration());
    EXPECT_EQ(Text("AD23"), "3");
    EXPECT_EQ(Text("A3"), "Формат");

    ws = book->Add(nullptr, nullptr);
    List(0);
    Form(true, true);
    EXPECT_EQ(ws->HPageBreaks(), (std::vector<int>{28}));
}

TEST_F(GroupSpecification, UserTextInColumnAOfTheFirstSheetCannotMoveTheSheetNumbers) {
    // the "Формат" column filled with one text on every list row of the first sheet
    Blank();
    for (int i = 1; i <= 30; ++i) {
        Entry(i);
        ws->SetValue(host::Area{i + 4, 1, i + 4, 1}, std::string("А4"));
    }
    Form(false, false);
    EXPECT_EQ(ValueOf("AD23"), host::Value(3.0));
    EXPECT_EQ(ValueOf("AB23"), host::Value(1.0));
    EXPECT_EQ(Text("AE23"), "");
    // and rollback keeps the column
    k->Otkat(ws);
    EXPECT_EQ(Text("A1"), "Формат");
    EXPECT_EQ(Text("A5"), "А4");
    EXPECT_EQ(Text("D34"), "строка 30");
}

TEST_F(GroupSpecification, WithoutPrintBlockPageViewAndBreaksStayAsTheyWere) {
    List(40);
    const host::PageSetup before = ws->Page();
    app.ActiveWindow().Zoom(85);
    Form(false, true);
    EXPECT_EQ(ws->Page(), before);
    EXPECT_TRUE(ws->HPageBreaks().empty());
    EXPECT_EQ(app.ActiveWindow().View(), host::ViewMode::Normal);
    EXPECT_TRUE(app.ActiveWindow().DisplayGridlines());
    EXPECT_EQ(app.ActiveWindow().Zoom(), 100);
    EXPECT_TRUE(app.ScreenUpdating());
    EXPECT_EQ(app.ActiveWindow().SplitRow(), 4);  // binding lines and heads frozen
    EXPECT_FALSE(app.ActiveWindow().DisplayZeros());
}

TEST_F(GroupSpecification, ListRowsKeepTheListRowHeightAndFrameRowsNeverHaveIt) {
    Blank();
    for (int i = 1; i <= 60; ++i) Entry(i);
    ws->RowHeight(7, 7, 40);     // a taller list row on sheet 1
    ws->RowHeight(20, 20, 26.3);
    ws->RowHeight(30, 30, 0);    // hidden
    Form(false, true);
    const bool registration = true;
    const int sheets = 5;  // 8 + 3 * 17 = 59 < 60 rows
    ASSERT_EQ(ValueOf("AE23"), host::Value(double(sheets + 1)));
    std::vector<bool> frame(400, false);
    for (const auto& [r1, r2] : forming::GroupFrameRows(sheets, registration))
        for (long long r = r1; r <= r2; ++r) frame[static_cast<std::size_t>(r)] = true;
    for (int i = 1; i <= 60; ++i) {
        const int r = Row(i, kFormDesignation + 1);
        ASSERT_GT(r, 0) << i;
        EXPECT_FALSE(frame[r]) << i;
        EXPECT_DOUBLE_EQ(Height(r), i == 26 ? 0 : 26) << i;
    }
    const int last = 26 * sheets + 1 + 39;
    for (int r = 5; r <= last; ++r)
        if (frame[r]) { EXPECT_GT(std::abs(Height(r) - 26), 0.4) << r; }
}

// ------------------------------------------------------------------ title blocks

TEST_F(GroupSpecification, EmptyRecordLeavesValueCellsEmptyButTheCaptions) {
    List(30);
    Form(false, true);
    ASSERT_EQ(ui->messages.size(), 1u);  // no register row
    // values (one column right: the registration column was inserted)
    for (const char* cell : {"B2", "H2", "I2", "J2", "M2", "Q2", "S17", "Y17", "Q18", "K20", "L20", "M20", "P20",
                             "M22", "P22", "M23", "P23", "K24", "M24", "P24", "M25", "P25", "M26", "P26", "Q19",
                             "Q22", "Z23", "Z24", "K50", "L50", "M50", "P50", "Q49", "B29", "C82", "C84", "C86",
                             "C94", "B96", "F82", "F85", "F88", "F92", "F102", "F106", "F115"})
        EXPECT_EQ(Text(cell), "") << cell;
    // the first-use field stays empty, the designation's cell keeps its connecting text
    EXPECT_EQ(Text("X2"), "");
    EXPECT_EQ(Text("U3"), " & \"-\"");
    for (const auto& [cell, text] :
         {std::pair{"B1", "Инв. № подл."}, {"H1", "Подп. и дата"}, {"I1", "Взам. инв. №"}, {"J1", "Инв. № дубл."},
          {"M1", "Подп. и дата"}, {"Q1", "Справ. №"}, {"X1", "Перв. примен."}, {"K21", "Изм."}, {"L21", "Лист"},
          {"M21", "№ докум."}, {"N21", "Подп."}, {"P21", "Дата"}, {"K22", "Разраб."}, {"K23", "Пров."},
          {"K25", "Н. контр."}, {"K26", "Утв."}, {"Z22", "Лит."}, {"AC22", "Лист"}, {"AE22", "Листов"},
          {"Q27", "Копировал:"}, {"Z27", "Формат А4"}, {"K52", "Изм."}, {"P52", "Дата"}, {"AF49", "Лист"},
          {"AB82", "Изм."}, {"AE85", "Номера листов (страниц)"}, {"AB92", "новых"}, {"AB115", "Дата"}})
        EXPECT_EQ(Text(cell), text) << cell;
}

TEST_F(GroupSpecification, WithRegisterReferencesEveryValueCellFollowsTheRegister) {
    WithRegister();
    List(30);
    const std::vector<std::pair<const char*, std::string>> attrs = {
        {"aInpo", "1234"},       {"aInpd", "подп. 1"},   {"aInvz", "4321"},       {"aIndu", "77"},
        {"aIndd", "подп. 2"},    {"aSpra", "АБВГ.9"},    {"aPerv", "АБВГ.001"},   {"aProj", "П-17"},
        {"aOboz", "АБВГ.002"},   {"aAlit", "Лит. доп."}, {"aAdoc", "Док. доп."},  {"aIcus", "Заказчик"},
        {"aIzme", "3"},          {"aIzml", "Зам."},      {"aNdoc", "АБВГ.12-24"}, {"aIzmd", "01.02.26"},
        {"aDesi", "Иванов"},     {"aDesd", "02.02.26"},  {"aChec", "Петров"},     {"aChed", "03.02.26"},
        {"aAddb", "Т. контр."},  {"aAddf", "Сидоров"},   {"aAddd", "04.02.26"},   {"aNcon", "Кузнецова"},
        {"aNcod", "05.02.26"},   {"aAppr", "Смирнов"},   {"aAppd", "06.02.26"},   {"aNaim", "Блок"},
        {"aLite", "О1"},         {"aFirm", "АО Ормелин"},
    };
    Register(attrs);
    Form(false, true);
    EXPECT_TRUE(ui->messages.empty());
    auto value = [&](const char* name) {
        for (const auto& [n, v] : attrs)
            if (std::string(n) == name) return v;
        return std::string("?");
    };
    const std::vector<std::pair<const char*, const char*>> cells = {
        // first sheet (one column right of the grid)
        {"B2", "aInpo"}, {"H2", "aInpd"}, {"I2", "aInvz"}, {"J2", "aIndu"}, {"M2", "aIndd"}, {"Q2", "aSpra"},
        {"S17", "aAlit"}, {"Y17", "aAdoc"}, {"Q18", "aIcus"}, {"K20", "aIzme"}, {"L20", "aIzml"}, {"M20", "aNdoc"},
        {"P20", "aIzmd"}, {"M22", "aDesi"}, {"P22", "aDesd"}, {"M23", "aChec"}, {"P23", "aChed"}, {"K24", "aAddb"},
        {"M24", "aAddf"}, {"P24", "aAddd"}, {"M25", "aNcon"}, {"P25", "aNcod"}, {"M26", "aAppr"}, {"P26", "aAppd"},
        {"Q19", "aOboz"}, {"Q22", "aNaim"}, {"Z23", "aLite"}, {"Z24", "aFirm"},
        // sheet 2 and its binding lines
        {"K50", "aIzme"}, {"L50", "aIzml"}, {"M50", "aNdoc"}, {"P50", "aIzmd"}, {"Q49", "aOboz"}, {"B29", "aInpo"},
        // the registration sheet's strip and table
        {"C82", "aIzme"}, {"C84", "aIzml"}, {"C86", "aNdoc"}, {"C94", "aIzmd"}, {"B96", "aOboz"}, {"F82", "aIzme"},
        {"F102", "aNdoc"}, {"F115", "aIzmd"},
    };
    for (const auto& [cell, name] : cells) {
        EXPECT_NE(Content(cell).formula.find("список!R"), std::string::npos) << cell << " " << Content(cell).formula;
        EXPECT_EQ(Text(cell), value(name)) << cell;
    }
    EXPECT_EQ(Text("X2"), "АБВГ.001     П-17");
    EXPECT_EQ(Text("U3"), "АБВГ.002-");
    EXPECT_EQ(Text("U56"), "АБВГ.002-");  // the heads of sheet 3
    // a change: the table says which sheets
    EXPECT_EQ(Text("F85"), "-");
    EXPECT_EQ(Text("F88"), "-");
    EXPECT_EQ(Text("F92"), "Все");
    EXPECT_EQ(Text("F106"), "-");

    // the register's row edited later: the form follows
    const auto reg = book->FindSheet("список");
    ASSERT_TRUE(reg);
    auto rec = std::make_shared<AttrDoc>();
    Kalvora::AttrDocRef ref = rec;
    k->AttribsFromSPIS(ref, ws);
    rec->LetText("aOboz", "АБВГ.003");
    k->AttribsToSPIS(ref, ws);
    EXPECT_EQ(Text("Q19"), "АБВГ.003");
}

TEST_F(GroupSpecification, EmptyChangeNumberInTheRegisterLeavesTheTableEmpty) {
    WithRegister();
    List(30);
    Register({{"aOboz", "АБВГ.002"}});
    // the register row's change cells emptied as a user or another program leaves them
    const auto reg = book->FindSheet("список");
    ASSERT_TRUE(reg);
    const host::Area used = reg->UsedRange();
    for (int r = 2; r <= used.r2; ++r)
        for (int c = 1; c <= used.c2; ++c)
            if (reg->CellText(r, c).empty()) reg->ClearContents(host::Area{r, c, r, c});
    Form(false, true);
    EXPECT_NE(Content("F82").formula, "");
    for (const char* cell : {"F82", "F85", "F88", "F92", "F102", "F106"}) EXPECT_EQ(Text(cell), "") << cell;
}

TEST_F(GroupSpecification, DatesOfALiteralRecordReadAsDates) {
    Blank();
    Entry(1);
    AttrDoc rec;
    rec.LetText("aDesd", "12.10.2026");
    rec.LetText("aChed", "2026-10-14");
    rec.LetText("aAppd", "31.02.2026");  // no such day
    rec.LetText("aNcod", "после");
    forming::FormSPB(app, ws, rec, {});
    EXPECT_EQ(Text("O22"), "12.10.26");
    EXPECT_EQ(Text("O23"), "14.10.26");
    EXPECT_EQ(Text("O26"), "31.02.2026");
    EXPECT_EQ(Text("O25"), "после");
    EXPECT_EQ(forming::DateText("=список!R2C13"), "=список!R2C13");
    EXPECT_EQ(forming::DateText("1.2.99"), "01.02.99");
    EXPECT_EQ(forming::DateText("29.02.2023"), "29.02.2023");
    EXPECT_EQ(forming::DateText("29.02.2024"), "29.02.24");
}

TEST_F(GroupSpecification, MergesAndFramesOfTheSheets) {
    List(30);
    Form();
    for (const auto& [cell, merge] :
         {std::pair{"A3", "A3:B4"}, {"F3", "F3:H4"}, {"I3", "I3:N4"}, {"O3", "O3:S3"}, {"T3", "T3:AB3"},
          {"AC3", "AC3:AE4"}, {"Q4", "Q4:R4"}, {"AA4", "AA4:AB4"}, {"A5", "A5:B5"}, {"I12", "I12:N12"},
          {"AC12", "AC12:AE12"}, {"Q15", "Q15:R15"}, {"A13", "A13:M18"}, {"N13", "N13:N15"}, {"N17", "N17:O18"},
          {"A19", "A19:I26"}, {"P19", "P19:AE21"}, {"P22", "P22:X26"}, {"Y24", "Y24:AE26"}, {"W1", "W1:AE1"},
          {"A1", "A1:F1"}, {"O28", "O28:AE29"}, {"A30", "A30:B31"}, {"I32", "I32:N32"}, {"AC48", "AC48:AE48"},
          {"A49", "A49:I52"}, {"P49", "P49:AD52"}, {"AE51", "AE51:AE52"}, {"O50", "O50:O51"}, {"M52", "M52:N52"}})
        EXPECT_EQ(MergeOf(cell), merge) << cell;
    EXPECT_EQ(MergeOf("E5"), "");
    EXPECT_EQ(MergeOf("P5"), "");
    auto boxed = [&](const char* cell) {
        const host::Style& s = StyleOf(cell);
        return s.left.style == host::LineStyle::Continuous && s.right.style == host::LineStyle::Continuous &&
               s.top.style == host::LineStyle::Continuous && s.bottom.style == host::LineStyle::Continuous;
    };
    for (const char* cell : {"A1", "N2", "P1", "AE2", "A3", "AE12", "E8", "N14", "AE16", "P17", "AE18", "J19", "AE26",
                             "A32", "AE48", "J49", "AE52", "A28"})
        EXPECT_TRUE(boxed(cell)) << cell;
    EXPECT_NE(StyleOf("O1").left.style, host::LineStyle::Continuous);  // O1:O2 stay unframed... 
    EXPECT_EQ(StyleOf("P3").left.style, host::LineStyle::None);       // no inner lines in O3:AB3
    EXPECT_EQ(StyleOf("A20").left.style, host::LineStyle::Continuous);
    EXPECT_EQ(StyleOf("A20").right.style, host::LineStyle::None);
    EXPECT_EQ(StyleOf("P27").bottom.style, host::LineStyle::None);  // the line under the frame
}

// ------------------------------------------------------------------ rollback

TEST_F(GroupSpecification, RollbackWithAndWithoutTheRegistrationSheetGivesTheSameList) {
    std::vector<std::string> lists[2];
    for (bool registration : {false, true}) {
        ws = book->Add(nullptr, nullptr);
        List(45);
        ws->SetValue(A("F3"), std::string("О1"));
        ws->SetValue(A("G4"), std::string("АБ"));
        Form(true, registration);
        ASSERT_EQ(State(), ksSPB_OF);
        ASSERT_EQ(Text("A1").empty(), registration);
        k->Otkat(ws);
        ASSERT_EQ(State(), ksSPB_OT) << registration;
        EXPECT_EQ(Text("J1"), ws->Name() + "-");
        for (int r = 2; r <= 120; ++r)
            for (int c = 1; c <= 18; ++c) lists[registration].push_back(ws->CellText(r, c));
        EXPECT_EQ(Text("F3"), "О1");
        EXPECT_EQ(Text("G4"), "АБ");
        for (int i = 1; i <= 45; ++i) EXPECT_EQ(ws->CellText(i + 4, kListDesignation), "строка " + std::to_string(i));
        EXPECT_EQ(Text("D50"), "");
        EXPECT_EQ(Text("Q1"), "список");
        EXPECT_DOUBLE_EQ(Height(4), 57);
    }
    EXPECT_EQ(lists[0], lists[1]);
}

TEST_F(GroupSpecification, RollbackKeepsExecutionNumbersAndGivesEmptyOnesTheWhitePlaceholder) {
    List(12);
    ws->RangeAt("G2").Font().ColorIndex(3);
    ws->SetValue(A("I2"), std::string(""));
    Form(false, false);
    k->Otkat(ws);
    EXPECT_EQ(Text("F2"), "-");
    EXPECT_EQ(Text("G2"), "01");
    EXPECT_EQ(StyleOf("G2").font.color, host::Color::Index(3));
    EXPECT_NE(StyleOf("H2").font.color, host::Color::Index(2));
    EXPECT_EQ(Text("I2"), "03");
    EXPECT_EQ(StyleOf("I2").font.color, host::Color::Index(2));
    EXPECT_EQ(Text("O2"), "09");
    EXPECT_EQ(StyleOf("O2").font.color, host::Color::Index(2));
}

/// A generated group specification: data cells of rows 5.., the letter and code
/// rows, the execution numbers, rows made taller or hidden.
struct GeneratedSpb {
    int rows;
    std::vector<std::tuple<int, int, host::Value>> cells;
    std::vector<std::pair<int, double>> heights;
    bool forPrint, pageRevi;
};

class SpbGenerator {
public:
    explicit SpbGenerator(unsigned seed) : rng_(seed) {}
    GeneratedSpb Next() {
        GeneratedSpb g{Int(0, 160), {}, {}, Int(0, 1) == 1, Int(0, 1) == 1};
        // executions: numbers of some, letters and codes under them
        for (int c = 6; c <= 15; ++c) {
            if (Int(0, 2) == 0) g.cells.emplace_back(2, c, std::string(Int(0, 1) ? "0" : "1") + std::to_string(c % 10));
            if (Int(0, 3) == 0) g.cells.emplace_back(3, c, std::string("О") + std::to_string(Int(1, 3)));
            if (Int(0, 3) == 0) g.cells.emplace_back(4, c, std::string("К") + std::to_string(Int(1, 99)));
        }
        int r = 5;
        while (r <= g.rows + 4) {
            if (Int(0, 30) == 0) {  // a run of empty rows, sometimes long enough to end forming
                r += Int(1, 45);
                continue;
            }
            for (int c = 1; c <= 16; ++c)
                if (Int(0, 3) == 0) g.cells.emplace_back(r, c, Value(r, c));
            if (Int(0, 12) == 0) g.heights.emplace_back(r, Int(0, 3) == 0 ? 0.0 : 26.0 + Int(1, 50));
            ++r;
        }
        return g;
    }

private:
    int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    host::Value Value(int r, int c) {
        static const char* const words[] = {"Болт", "Гайка М6", "ГОСТ 7798-70", "Ø5", "ё", "АБВГ.301234.001",
                                            "Кронштейн", "шт.", "x", "Плата печатная"};
        switch (Int(0, 5)) {
            case 0: return static_cast<double>(Int(0, 1000));
            case 1:
                // formulas, some referring to a neighbouring list cell (never into the head rows)
                if (c > 1 && r > 5) {
                    static const char* const formulas[] = {"=2*3", "=RC[1]", "=R[-1]C&\"!\"", "=R[1]C[-1]"};
                    return std::string(formulas[Int(0, 3)]);
                }
                return std::string("=1+1");
            case 2: {
                std::string s;
                for (int i = Int(8, 30); i > 0; --i) s += std::string(words[Int(0, 9)]) + " ";
                return s;
            }
            default: return std::string(words[Int(0, 9)]);
        }
    }
    std::mt19937 rng_;
};

TEST_F(GroupSpecification, RoundTripRestoresEveryList) {
    SpbGenerator gen(20250113);
    for (int n = 0; n < 24; ++n) {
        const GeneratedSpb g = gen.Next();
        ws = book->Add(nullptr, nullptr);
        k->DocumentBlank(ws, ksSPB_OT);
        for (const auto& [r, c, v] : g.cells) ws->SetValue(host::Area{r, c, r, c}, v);
        for (const auto& [r, h] : g.heights) ws->RowHeight(r, r, h);
        const int lastRow = g.rows + 4 + 50;
        auto take = [&](int from) {
            std::vector<std::string> cells;
            for (int r = from; r <= lastRow; ++r)
                for (int c = 1; c <= 16; ++c) cells.push_back(ws->CellText(r, c) + "|" + ws->Content(r, c).formula);
            return cells;
        };
        const std::vector<std::string> before = take(3);
        std::vector<std::string> numbers;
        for (int c = 6; c <= 15; ++c) numbers.push_back(ws->CellText(2, c));
        std::ostringstream what;
        what << "list " << n << " rows " << g.rows << " print " << g.forPrint << " revi " << g.pageRevi;

        ASSERT_EQ(State(), ksSPB_OT) << what.str();
        Form(g.forPrint, g.pageRevi);
        ASSERT_EQ(State(), ksSPB_OF) << what.str();
        k->Otkat(ws);
        ASSERT_EQ(State(), ksSPB_OT) << what.str();

        EXPECT_EQ(take(3), before) << what.str();
        for (int c = 6; c <= 15; ++c)
            if (!numbers[c - 6].empty()) { EXPECT_EQ(ws->CellText(2, c), numbers[c - 6]) << what.str() << " column " << c; }
        EXPECT_TRUE(ws->MergedAreas(host::Area{3, 1, 2000, 40}).empty()) << what.str();
        const auto right = ws->Text(host::Area{1, 18, host::kMaxRows, host::kMaxColumns});
        EXPECT_TRUE(right && right->empty()) << what.str();
        const auto below = ws->Text(host::Area{lastRow + 1, 1, host::kMaxRows, host::kMaxColumns});
        EXPECT_TRUE(below && below->empty()) << what.str();
        for (const auto& [r, h] : g.heights) EXPECT_DOUBLE_EQ(Height(r), h == 0 ? 0 : 26) << what.str() << " row " << r;
        if (HasFailure()) break;
    }
}

}  // namespace
}  // namespace ormelin

namespace ormelin {
namespace {

// Another program (LibreOffice) keeps row heights on its own grid: the list rows
// of 26 points come back at 25.5 and the frame rows near their heights. Rollback
// still keeps every list row, the rows left below the last sheet among them.
TEST_F(GroupSpecification, RollbackAfterAnotherProgramRoundedTheHeights) {
    for (bool registration : {false, true}) {
        ws = book->Add(nullptr, nullptr);
        Blank();
        for (int i = 1; i <= 45; ++i) Entry(i);
        Entry(99);  // after the last sheet (list rows 43..59) and 39 empty rows: left below
        ws->RowHeight(20, 20, 0);
        Form(false, registration);
        ASSERT_GT(forming::SpbFirstRowLeftBelow(*ws), 0);
        const int last = ws->UsedRange().r2;
        for (int r = 1; r <= last; ++r) {
            const double h = Height(r);
            if (h == 26) ws->RowHeight(r, r, 25.5);
            if (h == 20) ws->RowHeight(r, r, 19.5);
            if (h == 23) ws->RowHeight(r, r, 22.5);
        }
        k->Otkat(ws);
        ASSERT_EQ(State(), ksSPB_OT) << registration;
        for (int i = 1; i <= 45; ++i) EXPECT_EQ(ws->CellText(i + 4, kListDesignation), "строка " + std::to_string(i)) << i;
        EXPECT_EQ(ws->CellText(99 + 4, kListDesignation), "строка 99") << registration;
        // list rows keep the heights they had: the hidden one, the rounded ones
        EXPECT_DOUBLE_EQ(Height(20), 0);
        EXPECT_DOUBLE_EQ(Height(21), 25.5);
    }
}

}  // namespace
}  // namespace ormelin
