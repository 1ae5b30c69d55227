// Rollback: a formed A4 document goes back to exactly its list, whatever the list
// held, and a sheet that holds no formed document is left alone.
#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "forming/forming_fixture.hpp"

namespace ormelin {
namespace {

using testing_support::FormingTest;

/// Everything a sheet shows that rollback could change, over a part of it.
struct Snapshot {
    std::vector<std::string> cells;  // value text and formula of each cell
    std::vector<std::string> merges;
    std::vector<double> heights, widths;
    host::Area used;
    std::size_t links = 0;
    bool operator==(const Snapshot&) const = default;
};

Snapshot Take(const host::Worksheet& w, int rows, int cols) {
    Snapshot s;
    for (int r = 1; r <= rows; ++r) {
        s.heights.push_back(w.RowHeight(r));
        for (int c = 1; c <= cols; ++c) {
            const host::CellContent cc = w.Content(r, c);
            s.cells.push_back(w.CellText(r, c) + "|" + cc.formula);
        }
    }
    for (int c = 1; c <= cols; ++c) s.widths.push_back(w.ColumnWidth(c));
    for (const host::Area& a : w.MergedAreas(host::Area{1, 1, rows, cols})) s.merges.push_back(host::AddressOf(a));
    s.used = w.UsedRange();
    s.links = w.Hyperlinks().size();
    return s;
}

class Rollback : public FormingTest {};

TEST_F(Rollback, SheetWithoutFormedDocumentIsLeftAsItIs) {
    // no document
    ws->SetValue(A("C3"), std::string("заметка"));
    ws->RangeAt("D4:E4").Merge();
    Snapshot before = Take(*ws, 40, 30);
    k->Otkat(ws);
    EXPECT_EQ(Take(*ws, 40, 30), before);
    EXPECT_EQ(k->CurrentWorksheet(), nullptr);
    // every list state
    for (auto kind : {ksSPA_OT, ksPE_OT_1, ksPE_OT_2, ksVN_OT, ksVE_OT, ksSPB_OT, ksVPA_OT}) {
        if (kind == ksSPB_OT || kind == ksVPA_OT)
            k->DocumentBlank(ws, kind);
        else
            FillList(kind, 40);
        ws->SetValue(A("A2"), std::string("данные"));
        const std::int32_t state = State();
        before = Take(*ws, 60, 30);
        const host::SheetView view = ws->View();
        k->Otkat(ws);
        EXPECT_EQ(Take(*ws, 60, 30), before) << kind;
        EXPECT_EQ(ws->View(), view) << kind;
        EXPECT_EQ(State(), state) << kind;
    }
}

TEST_F(Rollback, EndsWithoutCurrentWorksheetAndWithPanesFrozenUnderTheHead) {
    FillList(ksSPA_OT, 30);
    Form(true, true);
    k->Otkat(ws);
    EXPECT_EQ(k->CurrentWorksheet(), nullptr);
    EXPECT_EQ(app.ActiveWindow().View(), host::ViewMode::Normal);
    EXPECT_TRUE(app.ActiveWindow().DisplayGridlines());
    EXPECT_TRUE(app.ActiveWindow().FreezePanes());
    EXPECT_EQ(app.ActiveWindow().SplitRow(), 1);
    EXPECT_EQ(app.Selection().area(), A("A1"));
}

TEST_F(Rollback, TallerAndHiddenListRowsSurviveWithTheirValues) {
    FillList(ksSPA_OT, 60);
    ws->RowHeight(5, 5, 40);    // a list row the user made taller
    ws->RowHeight(30, 31, 60);  // on the second sheet
    ws->RowHeight(40, 40, 0);   // hidden
    ws->RowHeight(45, 45, 26.3);
    Form(false, true);
    for (int i : {4, 29, 30, 38, 39, 44}) EXPECT_DOUBLE_EQ(Height(RowOfEntry(7, i)), i == 39 ? 0 : 26) << i;
    k->Otkat(ws);
    EXPECT_EQ(State(), ksSPA_OT);
    for (int i = 1; i <= 60; ++i) EXPECT_EQ(ws->CellText(i + 1, 4), "строка " + std::to_string(i)) << i;
    EXPECT_DOUBLE_EQ(Height(40), 0);
}

TEST_F(Rollback, RowsAfterAnEmptyRunStayOutOfTheRegistrationSheet) {
    // three full sheets, then exactly 29 empty rows, then more list rows: forming
    // stops at the empty run and the registration sheet is built over it
    Blank(ksSPA_OT);
    const int full = 23 + 2 * 29;
    for (int i = 1; i <= full; ++i) ws->SetValue(host::Area{i + 1, 4, i + 1, 4}, "строка " + std::to_string(i));
    const int after = full + 30;  // list row after the 29 empty ones
    for (int i = after; i < after + 5; ++i) ws->SetValue(host::Area{i + 1, 4, i + 1, 4}, "строка " + std::to_string(i));
    Form(false, true);
    EXPECT_EQ(Text("Y33"), "4");
    for (int i = after; i < after + 5; ++i) {
        const int r = RowOfEntry(7, i);
        ASSERT_GT(r, 0) << i;
        EXPECT_EQ(MergeOf("G" + std::to_string(r)), "") << i;  // not drawn into the table body
    }
    k->Otkat(ws);
    EXPECT_EQ(State(), ksSPA_OT);
    for (int i = 1; i <= full; ++i) EXPECT_EQ(ws->CellText(i + 1, 4), "строка " + std::to_string(i)) << i;
    for (int i = full + 1; i < after; ++i) EXPECT_EQ(ws->CellText(i + 1, 4), "") << i;
    for (int i = after; i < after + 5; ++i) EXPECT_EQ(ws->CellText(i + 1, 4), "строка " + std::to_string(i)) << i;
}

TEST_F(Rollback, ListOfElementsWithoutZoneReturnsToItsOwnList) {
    FillList(ksPE_OT_2, 40);
    ws->SetValue(A("A3"), std::string("R2"));
    ws->SetValue(A("C3"), 4.0);
    Form(true, true);
    ASSERT_EQ(State(), ksPE_OF);
    k->Otkat(ws);
    EXPECT_EQ(State(), ksPE_OT_2);
    EXPECT_EQ(Text("A1"), "Поз.\nобозна-\nчение");
    EXPECT_EQ(Text("B1"), "Наименование");
    EXPECT_EQ(Text("C1"), "Кол.");
    EXPECT_EQ(Text("D1"), "Примечание");
    EXPECT_EQ(Text("E1"), "список");
    ASSERT_TRUE(LinkAt("E1").has_value());
    EXPECT_EQ(LinkAt("E1")->subAddress, "список!A1");
    EXPECT_EQ(Text("A3"), "R2");
    EXPECT_EQ(Text("B3"), "строка 2");
    EXPECT_EQ(Text("C3"), "4");
    EXPECT_DOUBLE_EQ(Width("B"), 57);
    EXPECT_EQ(Text("F1"), "");
}

TEST_F(Rollback, LineNumbersOfTheListOfDocumentsOnDataMediaAreCleared) {
    FillList(ksVN_OT, 30);
    Form();
    k->Otkat(ws);
    EXPECT_EQ(State(), ksVN_OT);
    EXPECT_EQ(Text("A1"), "№ строки");
    for (int r = 2; r <= 40; ++r) EXPECT_EQ(ws->CellText(r, 1), "") << r;
    EXPECT_EQ(Text("B31"), "строка 30");
}

// ------------------------------------------------------------------ round trip

/// A generated list: kind, data cells by (row, column) and the rows made taller.
struct GeneratedList {
    ksStateOfDocument kind;
    int rows;
    std::vector<std::tuple<int, int, host::Value>> cells;
    std::vector<std::pair<int, double>> heights;
    bool forPrint, pageRevi;
};

class ListGenerator {
public:
    explicit ListGenerator(unsigned seed) : rng_(seed) {}

    GeneratedList Next(int columns, ksStateOfDocument kind) {
        GeneratedList g{kind, Int(0, 300), {}, {}, Int(0, 1) == 1, Int(0, 1) == 1};
        // empty runs of every length, long enough to end forming sometimes
        int r = 2;
        while (r <= g.rows + 1) {
            if (Int(0, 40) == 0) {
                r += Int(1, 35);
                continue;
            }
            for (int c = 1; c <= columns; ++c)
                if (Int(0, 2) != 0) g.cells.emplace_back(r, c, Value());
            if (Int(0, 15) == 0) g.heights.emplace_back(r, Int(0, 4) == 0 ? 0.0 : 26.0 + Int(1, 60));
            ++r;
        }
        return g;
    }

private:
    int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    host::Value Value() {
        static const char* const words[] = {"Резистор", "Конденсатор", "ГОСТ 7798-70", "Ø5", "ё", "АБВГ.301234.001",
                                            "Примечание", "шт.", "x", "Микросхема К561ЛА7"};
        switch (Int(0, 5)) {
            case 0: return static_cast<double>(Int(-1000, 100000)) / 4;
            case 1: {  // formulas, some referring to a neighbouring list cell
                static const char* const formulas[] = {"=2*3", "=RC[1]", "=R[-1]C&\"!\"", "=R[1]C[-1]"};
                return std::string(formulas[Int(0, 3)]);
            }
            case 2: {  // a long text of Cyrillic words
                std::string s;
                for (int i = Int(8, 40); i > 0; --i) s += std::string(words[Int(0, 9)]) + " ";
                return s;
            }
            case 3: return std::string("строка\nс переводом");
            default: return std::string(words[Int(0, 9)]);
        }
    }
    std::mt19937 rng_;
};

TEST_F(Rollback, RoundTripRestoresEveryListOfEveryKind) {
    ListGenerator gen(20240607);
    const ksStateOfDocument kinds[] = {ksSPA_OT, ksPE_OT_1, ksPE_OT_2, ksVN_OT, ksVE_OT, ksVPA_OT};
    for (int n = 0; n < 48; ++n) {
        const ksStateOfDocument kind = kinds[n % 6];
        // the list of purchased products has two head rows and eleven columns
        const bool a3 = kind == ksVPA_OT;
        const int columns = a3 ? 11 : ListColumns(kind);
        const int headRows = a3 ? 2 : 1;
        GeneratedList g = gen.Next(columns, kind);
        if (a3) {
            for (auto& cell : g.cells) ++std::get<0>(cell);
            for (auto& height : g.heights) ++height.first;
        }
        ws = book->Add(nullptr, nullptr);
        if (a3)
            k->DocumentBlank(ws, kind);
        else
            Blank(kind);
        // the VN and VPA line-number columns are the form's own counters, cleared by
        // their layouts
        const int firstColumn = kind == ksVN_OT || a3 ? 2 : 1;
        for (const auto& [r, c, v] : g.cells)
            if (c >= firstColumn) ws->SetValue(host::Area{r, c, r, c}, v);
        for (const auto& [r, h] : g.heights) ws->RowHeight(r, r, h);
        const int lastRow = std::max(2, g.rows + headRows) + 40;
        const Snapshot head = Take(*ws, headRows, columns + 1);
        std::vector<std::string> before;
        for (int r = headRows + 1; r <= lastRow; ++r)
            for (int c = firstColumn; c <= columns; ++c)
                before.push_back(ws->CellText(r, c) + "|" + ws->Content(r, c).formula);
        std::ostringstream what;
        what << "list " << n << " kind " << kind << " rows " << g.rows << " print " << g.forPrint << " revi "
             << g.pageRevi;

        ASSERT_EQ(State(), kind) << what.str();
        Form(g.forPrint, g.pageRevi);
        ASSERT_EQ(State(), KindOf(kind) == DocKind::PE ? ksPE_OF : kind + 1) << what.str();
        k->Otkat(ws);

        EXPECT_EQ(State(), kind) << what.str();
        std::vector<std::string> after;
        for (int r = headRows + 1; r <= lastRow; ++r)
            for (int c = firstColumn; c <= columns; ++c)
                after.push_back(ws->CellText(r, c) + "|" + ws->Content(r, c).formula);
        EXPECT_EQ(after, before) << what.str();
        const Snapshot headAfter = Take(*ws, headRows, columns + 1);
        EXPECT_EQ(headAfter.cells, head.cells) << what.str();
        // nothing of the form is left: no merges, no texts right of the link cell
        // or below the list
        // (the head keeps exactly the merges of its list layout)
        EXPECT_EQ(headAfter.merges, head.merges) << what.str();
        EXPECT_TRUE(ws->MergedAreas(host::Area{a3 ? headRows + 1 : 1, 1, 2000, 40}).empty()) << what.str();
        const auto right = ws->Text(host::Area{1, columns + 2, host::kMaxRows, host::kMaxColumns});
        EXPECT_TRUE(right && right->empty()) << what.str();
        const auto below = ws->Text(host::Area{lastRow + 1, 1, host::kMaxRows, host::kMaxColumns});
        EXPECT_TRUE(below && below->empty()) << what.str();
        // every list row is still there with the list row height, hidden ones hidden
        for (const auto& [r, h] : g.heights) EXPECT_DOUBLE_EQ(Height(r), h == 0 ? 0 : 26) << what.str() << " row " << r;
        if (HasFailure()) break;
    }
}

}  // namespace
}  // namespace ormelin

namespace ormelin {
namespace {

// A group specification formed from its list: the column heads, the execution
// numbers "01" and "07" under them, the letter row, entries in rows 5..10 and,
// for the registration column, enough rows for three sheets and the
// change-registration sheet (its column A moves the whole form right).
class GroupSpecificationRollback : public FormingTest {
protected:
    void FormedGroupSpecification(bool registrationColumn) {
        k->DocumentBlank(ws, ksSPB_OT);
        ws->SetValue(A("G2"), std::string("01"));
        ws->SetValue(A("M2"), std::string("07"));
        ws->SetValue(A("G3"), std::string("О1"));
        for (int r = 5; r <= 10; ++r) {
            ws->SetValue(host::Area{r, 4, r, 4}, "обозн " + std::to_string(r));
            ws->SetValue(host::Area{r, 5, r, 5}, "наим " + std::to_string(r));
            ws->SetValue(host::Area{r, 7, r, 7}, static_cast<double>(r));
        }
        if (registrationColumn)
            for (int r = 11; r <= 50; ++r) ws->SetValue(host::Area{r, 4, r, 4}, "обозн " + std::to_string(r));
        Form(false, registrationColumn);
        ASSERT_EQ(ws->CellText(1, 1).empty(), registrationColumn);
    }
};

TEST_F(GroupSpecificationRollback, ReturnsToTheListWithAndWithoutTheRegistrationColumn) {
    for (bool registrationColumn : {false, true}) {
        ws = book->Add(nullptr, nullptr);
        FormedGroupSpecification(registrationColumn);
        ASSERT_EQ(State(), ksSPB_OF) << registrationColumn;
        k->Otkat(ws);
        EXPECT_EQ(State(), ksSPB_OT) << registrationColumn;
        EXPECT_EQ(Text("A1"), "Формат");
        EXPECT_EQ(Text("F1"), "Кол. на исполн.");
        EXPECT_EQ(Text("P1"), "Примечание");
        // the letter and code rows stand above the data again; the code column is gone
        EXPECT_EQ(Text("A3"), "");
        for (int r = 5; r <= 10; ++r) {
            EXPECT_EQ(ws->CellText(r, 4), "обозн " + std::to_string(r)) << r;
            EXPECT_EQ(ws->CellText(r, 5), "наим " + std::to_string(r)) << r;
            EXPECT_EQ(ws->CellText(r, 7), std::to_string(r)) << r;
        }
        // the execution numbers: kept where present, white placeholders elsewhere
        EXPECT_EQ(Text("F2"), "-");
        EXPECT_EQ(StyleOf("F2").font.color, host::Color::Index(2));
        EXPECT_EQ(Text("G2"), "01");
        EXPECT_NE(StyleOf("G2").font.color, host::Color::Index(2));
        EXPECT_EQ(Text("H2"), "02");
        EXPECT_EQ(Text("L2"), "06");
        EXPECT_EQ(Text("M2"), "07");
        EXPECT_NE(StyleOf("M2").font.color, host::Color::Index(2));
        EXPECT_EQ(Text("O2"), "09");
        // the letter row back above the list, nothing of the frame among the rows
        EXPECT_EQ(Text("G3"), "О1");
        for (int r = 11; r <= 50; ++r)
            EXPECT_EQ(ws->CellText(r, 4), registrationColumn ? "обозн " + std::to_string(r) : "") << r;
    }
}

}  // namespace
}  // namespace ormelin

namespace ormelin {
namespace {

TEST_F(FormingTest, FormedPurchasedProductsListRollsBackWithItsZoom) {
    // the column heads of a formed A3 list, two binding-margin columns before them
    ws->RowHeight(1, 60, 26);
    for (const auto& [cell, text] :
         {std::pair{"C1", "№ строки"}, {"D1", "Наименование"}, {"E1", "Код продукции"},
          {"F1", "Обозначение\nдокумента\nна поставку"}, {"G1", "Поставщик"}, {"K1", "Куда входит (обозначение)"},
          {"P1", "Количество"}, {"P2", "на из-\nделие"}, {"Q2", "в ком-\nплекты"}, {"R2", "на ре-\nгулир."},
          {"S2", "всего"}, {"W1", "Приме-\nчание"}, {"A5", "Инв. № подл."}, {"D3", "Болт М6"}, {"S3", "12"},
          {"D30", "рамка"}})
        ws->SetValue(A(cell), std::string(text));
    ws->RowHeight(2, 2, 50);
    ws->RowHeight(30, 30, 15);
    ASSERT_EQ(State(), ksVPA_OF);
    // heads alone, without the form's title blocks, cannot be told from a list:
    // refused, the sheet as it was
    EXPECT_THROW(k->Otkat(ws), Error);
    EXPECT_EQ(State(), ksVPA_OF);
    EXPECT_EQ(Text("D30"), "рамка");
    // a list formed for real comes back with its zoom and frozen heads
    ws = book->Add(nullptr, nullptr);
    k->DocumentBlank(ws, ksVPA_OT);
    ws->SetValue(A("B3"), std::string("Болт М6"));
    ws->SetValue(A("J3"), std::string("12"));
    Form(true, true);
    ASSERT_EQ(State(), ksVPA_OF);
    k->Otkat(ws);
    EXPECT_EQ(State(), ksVPA_OT);
    EXPECT_EQ(Text("B3"), "Болт М6");
    EXPECT_EQ(Text("J3"), "12");
    EXPECT_EQ(app.ActiveWindow().Zoom(), 75);
    EXPECT_EQ(app.ActiveWindow().SplitRow(), 2);
    for (int r = 3; r <= 40; ++r) EXPECT_NE(ws->CellText(r, 2), "рамка") << r;
    EXPECT_TRUE(ws->Text(host::Area{4, 1, 200, 60}) == std::string());
}

}  // namespace
}  // namespace ormelin
