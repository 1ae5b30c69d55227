// Rollback finds the rows forming inserted by the form and what they show, not by
// row heights: list rows whose heights another program rounded or a user changed
// come back, rows a user inserted among the list rows come back, and a form that
// cannot be told apart from its list is refused with nothing changed. Empty
// title-block fields and the first registration entry show nothing.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "forming/forming.hpp"
#include "forming/forming_fixture.hpp"
#include "ormelin/attr_doc.hpp"
#include "forming/geometry.hpp"
#include "forming/rollback.hpp"
#include "forming/forming_spb.hpp"

namespace ormelin {
namespace {

using testing_support::FormingTest;

/// The text and formula of every cell of the list part of a sheet, row by row.
std::vector<std::string> ListCells(const host::Worksheet& w, int rows, int cols, int fromCol = 1) {
    std::vector<std::string> cells;
    for (int r = 1; r <= rows; ++r) {
        std::string line;
        for (int c = fromCol; c <= cols; ++c) line += w.CellText(r, c) + "|" + w.Content(r, c).formula + "\t";
        cells.push_back(line);
    }
    return cells;
}

/// Every cell, merge and height of a sheet, to see that a refusal changed nothing.
std::vector<std::string> Everything(const host::Worksheet& w) {
    const host::Area used = w.UsedRange();
    std::vector<std::string> all = ListCells(w, used.r2, used.c2);
    for (int r = 1; r <= used.r2; ++r) all.push_back(std::to_string(w.RowHeight(r)));
    for (const host::Area& a : w.MergedAreas(used)) all.push_back(host::AddressOf(a));
    return all;
}

class RollbackByForm : public FormingTest {
protected:
    /// The worksheet rows that hold a list entry of the formed sheet, top down.
    std::vector<int> ListRowsOf(int n) const {
        std::vector<int> rows;
        for (int i = 1; i <= n; ++i) rows.push_back(RowOf(i));
        return rows;
    }
    /// The worksheet row that shows "строка i" in any column (0: none).
    int RowOf(int i) const {
        const host::Area used = ws->UsedRange();
        for (int c = 1; c <= used.c2; ++c)
            if (const int r = RowOfEntry(c, i)) return r;
        return 0;
    }
};

TEST_F(RollbackByForm, ListRowsOfAnyHeightComeBackWithEveryCell) {
    // Heights another program or a user gives list rows: LibreOffice's 25.5, a
    // rounding either side of 26, a taller row, a hidden row.
    const double drift[] = {25.5, 25.95, 26.25, 30, 0, 26};
    std::mt19937 rng(20261207);
    const ksStateOfDocument kinds[] = {ksSPA_OT, ksPE_OT_1, ksPE_OT_2, ksVN_OT, ksVE_OT};
    for (int round = 0; round < 10; ++round) {
        const ksStateOfDocument kind = kinds[round % 5];
        const int n = std::uniform_int_distribution<int>(1, 130)(rng);
        const bool revisions = round % 2 == 0;
        SCOPED_TRACE("kind " + std::to_string(kind) + ", " + std::to_string(n) + " rows, registration " +
                     std::to_string(revisions));
        ws = book->Add(nullptr, nullptr);
        FillList(kind, n);
        const int cols = ListColumns(kind);
        // a formula among the entries: it must come back as a formula
        ws->SetValue(host::Area{2, cols, 2, cols}, std::string("=1+1"));
        // the list of documents on data media has its line numbers rewritten
        const int from = kind == ksVN_OT ? 2 : 1;
        const auto list = ListCells(*ws, n + 1, cols, from);
        const std::int32_t listState = State();
        Form(true, revisions);
        ASSERT_NE(State(), ksDOC_NO);
        // the rows the content finds are the rows the form's geometry gives
        const auto count = forming::SheetCountOf(*ws);
        ASSERT_TRUE(count);
        const bool registration = revisions && *count > 3;
        EXPECT_EQ(forming::FindInsertedRows(*ws, forming::kA4Portrait),
                  forming::InsertedRowsOf(forming::kA4Portrait, static_cast<int>(*count), registration));
        for (int row : ListRowsOf(n)) {
            ASSERT_GT(row, 0);
            ws->RowHeight(row, row, drift[std::uniform_int_distribution<int>(0, 5)(rng)]);
        }
        k->Otkat(ws);
        EXPECT_EQ(State(), listState);
        EXPECT_EQ(ListCells(*ws, n + 1, cols, from), list);
    }
}

TEST_F(RollbackByForm, PurchasedProductsListRowsOfAnyHeightComeBack) {
    // the A3 list: two head rows, its name in column B
    const double drift[] = {25.5, 25.95, 26.25, 30, 0, 26};
    std::mt19937 rng(20261208);
    for (int round = 0; round < 6; ++round) {
        const int n = std::uniform_int_distribution<int>(1, 130)(rng);
        const bool revisions = round % 2 == 0;
        SCOPED_TRACE(std::to_string(n) + " rows, registration " + std::to_string(revisions));
        ws = book->Add(nullptr, nullptr);
        k->DocumentBlank(ws, ksVPA_OT);
        for (int i = 1; i <= n; ++i) {
            ws->SetValue(host::Area{i + 2, 2, i + 2, 2}, "строка " + std::to_string(i));
            ws->SetValue(host::Area{i + 2, 10, i + 2, 10}, static_cast<double>(i));
        }
        const auto list = ListCells(*ws, n + 2, 11, 2);
        Form(true, revisions);
        ASSERT_EQ(State(), ksVPA_OF);
        const auto count = forming::SheetCountOf(*ws, forming::kPurchasedProducts);
        ASSERT_TRUE(count);
        EXPECT_EQ(forming::FindInsertedRows(*ws, forming::kPurchasedProducts),
                  forming::InsertedRowsOf(forming::kPurchasedProducts, static_cast<int>(*count),
                                          revisions && *count > 3));
        for (int row : ListRowsOf(n)) {
            ASSERT_GT(row, 0);
            ws->RowHeight(row, row, drift[std::uniform_int_distribution<int>(0, 5)(rng)]);
        }
        k->Otkat(ws);
        EXPECT_EQ(State(), ksVPA_OT);
        EXPECT_EQ(ListCells(*ws, n + 2, 11, 2), list);
    }
}

TEST_F(RollbackByForm, ARowAUserInsertedAmongTheListRowsComesBack) {
    FillList(ksSPA_OT, 70);
    const auto list = ListCells(*ws, 71, 7);
    Form(true, true);
        ASSERT_NE(State(), ksDOC_NO);
    // a row inserted into the first and into the second sheet's list, one of them
    // holding an entry the user typed in the formed document
    const int second = RowOf(40);
    ASSERT_GT(second, 0);
    ws->InsertRows(second, 1);
    ws->SetValue(host::Area{second, 5, second, 5}, std::string("вставлено"));
    ws->RowHeight(second, second, 15);  // the height of a title-block row
    ws->InsertRows(10, 1);
    k->Otkat(ws);
    EXPECT_EQ(State(), ksSPA_OT);
    // the entries in their order, the inserted rows among them
    std::vector<std::string> back = ListCells(*ws, 73, 7);
    std::vector<std::string> want = list;
    std::string empty;
    for (int c = 0; c < 7; ++c) empty += "|\t";
    want.insert(want.begin() + 9, empty);  // the empty row inserted at row 10
    int found = 0;
    for (std::size_t r = 0; r < back.size(); ++r)
        if (back[r].find("вставлено") != std::string::npos) found = static_cast<int>(r) + 1;
    ASSERT_GT(found, 0);
    EXPECT_EQ(ws->CellText(found - 1, 4), "строка 39");
    EXPECT_EQ(ws->CellText(found + 1, 4), "строка 40");
    back.erase(back.begin() + found - 1);
    EXPECT_EQ(back, want);
}

TEST_F(RollbackByForm, AFormThatDoesNotMatchIsRefusedNamingItsFirstRowAndLeftAsItIs) {
    struct Case {
        const char* what;
        int insertAt;  // a row inserted there (0: none)
        const char* clear;  // a mark cleared
        int firstNamed, lastNamed;  // the row named lies in the damaged part
    };
    // 60 entries with the registration sheet: sheet 2 from row 38 (bottom line 72),
    // sheet 3 bottom line 107, the registration sheet's block from row 107.
    const Case cases[] = {
        {"a row inside the first title block", 31, nullptr, 25, 31},
        {"a row inside the third sheet's title block", 104, nullptr, 103, 104},
        {"a row inside the registration table head", 110, nullptr, 108, 110},
        {"the first bottom line's text gone", 0, "M37", 25, 37},
        {"the repeated heads of sheet 2 gone", 0, "C38", 38, 38},
        {"the sheet count gone", 0, "Y33", 33, 33},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ws = book->Add(nullptr, nullptr);
        FillList(ksSPA_OT, 80);
        Form(true, true);
        ASSERT_NE(State(), ksDOC_NO);
        ASSERT_EQ(forming::SheetCountOf(*ws), 4);
        if (c.insertAt) ws->InsertRows(c.insertAt, 1);
        if (c.clear) ws->ClearContents(A(c.clear));
        const auto before = Everything(*ws);
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
        EXPECT_EQ(Everything(*ws), before);
        EXPECT_EQ(State(), ksSPA_OF);
    }
}

TEST_F(RollbackByForm, EmptyRegisterCellsShowNothingAndTheRegistrationEntryFollowsTheChangeNumber) {
    Kalvora::WorkbookRef wb = book;
    k->FindSPIS(wb);
    ws = book->Add(nullptr, nullptr);
    auto rec = std::make_shared<AttrDoc>();
    rec->aOboz("АБВГ.468332.001");
    Kalvora::AttrDocRef recRef = rec;
    FillList(ksSPA_OT, 60);
    k->AttribsToSPIS(recRef, ws);
    Form(true, true);
        ASSERT_NE(State(), ksDOC_NO);
    // Every cell of the formed sheet that refers to an empty register cell, a date
    // among them, shows nothing; the designation shows its value.
    const host::Area used = ws->UsedRange();
    int references = 0;
    for (int r = 1; r <= used.r2; ++r)
        for (int c = 1; c <= used.c2; ++c) {
            const host::CellContent cc = ws->Content(r, c);
            if (cc.formula.find("список") == std::string::npos) continue;
            ++references;
            const std::string shown = ws->CellText(r, c);
            if (shown.find("АБВГ") != std::string::npos) continue;
            EXPECT_TRUE(shown.empty() || shown == "     ") << host::AddressOf({r, c, r, c}) << " shows \"" << shown
                                                          << "\" for " << cc.formula;
        }
    EXPECT_GT(references, 40);
    EXPECT_EQ(Text("K30"), "");
    // the first registration entry (block from row 107, entry row 111)
    for (const char* cell : {"C111", "E111", "H111", "J111", "R111"}) EXPECT_EQ(Text(cell), "") << cell;
    rec->aIzme("3");
    rec->aNdoc("АБВГ.15-26");
    rec->aIzmd("45000");
    k->AttribsToSPIS(recRef, ws);
    EXPECT_EQ(Text("C111"), "3");
    EXPECT_EQ(Text("E111"), "-");
    EXPECT_EQ(Text("H111"), "-");
    EXPECT_EQ(Text("J111"), "Все");
    EXPECT_EQ(Text("R111"), "-");
    EXPECT_EQ(Text("C30"), "3");
}

// ------------------------------------------------------------------ group specification

/// A group specification list of n entries for executions "-", "01", "02": entry i
/// holds "строка i" as its designation and i as its quantity.
void GroupList(Kalvora& k, std::shared_ptr<host::Worksheet> ws, int n) {
    k.DocumentBlank(ws, ksSPB_OT);
    ws->SetValue(host::ParseAddress("F2"), std::string("-"));
    ws->SetValue(host::ParseAddress("G2"), std::string("01"));
    ws->SetValue(host::ParseAddress("H2"), std::string("02"));
    for (int i = 1; i <= n; ++i) {
        ws->SetValue(host::Area{i + 4, 4, i + 4, 4}, "строка " + std::to_string(i));
        ws->SetValue(host::Area{i + 4, 6, i + 4, 6}, static_cast<double>(i));
    }
}

TEST_F(RollbackByForm, GroupSpecificationListRowsOfAnyHeightComeBack) {
    const double drift[] = {25.5, 25.95, 26.25, 30, 0, 26};
    std::mt19937 rng(20261208);
    for (int round = 0; round < 8; ++round) {
        const int n = std::uniform_int_distribution<int>(1, 130)(rng);
        const bool revisions = round % 2 == 0;
        SCOPED_TRACE(std::to_string(n) + " rows, registration " + std::to_string(revisions));
        ws = book->Add(nullptr, nullptr);
        GroupList(*k, ws, n);
        const int cols = 16;  // A..P, "Примечание" last
        std::vector<std::string> list = ListCells(*ws, n + 4, cols);
        list.erase(list.begin(), list.begin() + 4);  // the head's execution numbers get placeholders
        Form(true, revisions);
        ASSERT_EQ(State(), ksSPB_OF);
        const auto form = forming::SpbSheetsOnForm(*ws);
        ASSERT_TRUE(form);
        EXPECT_EQ(form->registration, revisions && form->sheets > 2);
        const forming::SheetGeometry& g =
            form->registration ? forming::kA4LandscapeGroupMoved : forming::kA4LandscapeGroup;
        const int sheets = form->sheets + (form->registration ? 1 : 0);
        EXPECT_EQ(forming::FindInsertedRows(*ws, g), forming::InsertedRowsOf(g, sheets, form->registration));
        for (int i = 1; i <= n; ++i) {
            const int row = RowOf(i);
            ASSERT_GT(row, 0) << i;
            ws->RowHeight(row, row, drift[std::uniform_int_distribution<int>(0, 5)(rng)]);
        }
        k->Otkat(ws);
        ASSERT_EQ(State(), ksSPB_OT);
        std::vector<std::string> back = ListCells(*ws, n + 4, cols);
        back.erase(back.begin(), back.begin() + 4);
        EXPECT_EQ(back, list);
    }
}

TEST_F(RollbackByForm, AGroupSpecificationThatDoesNotMatchIsRefusedAndLeftAsItIs) {
    struct Case {
        const char* what;
        bool registration;
        int insertAt;       // a row inserted there (0: none)
        const char* clear;  // a mark cleared
        int firstNamed, lastNamed;
    };
    // 40 entries: sheets end at rows 27, 53 and 79; the registration sheet, when
    // there, is rows 80..118 and moves the form one column right.
    const Case cases[] = {
        {"the first bottom line's text gone", false, 0, "P27", 13, 27},
        {"the first bottom line's text gone, registration sheet", true, 0, "Q27", 13, 27},
        {"a row inside the second title block", false, 50, nullptr, 49, 53},
        {"the heads of sheet 3 gone", false, 0, "O56", 54, 57},
        {"the registration sheet's caption gone", true, 0, "AF82", 80, 118},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ws = book->Add(nullptr, nullptr);
        GroupList(*k, ws, 40);
        Form(true, c.registration);
        ASSERT_EQ(State(), ksSPB_OF);
        if (c.insertAt) ws->InsertRows(c.insertAt, 1);
        if (c.clear) ws->ClearContents(A(c.clear));
        const auto before = Everything(*ws);
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
        EXPECT_EQ(Everything(*ws), before);
        EXPECT_EQ(State(), ksSPB_OF);
    }
}

TEST_F(RollbackByForm, EverySheetFitsItsPaperAtThePrintZoom) {
    FillList(ksVE_OT, 120);
    Form(true, true);
        ASSERT_NE(State(), ksDOC_NO);
    const std::vector<int> breaks = ws->HPageBreaks();
    ASSERT_GE(breaks.size(), 4u);
    const double paper = 841.89;  // A4, portrait, no margins
    int from = 1;
    for (int to : breaks) {
        double height = 0;
        for (int r = from; r < to; ++r) height += ws->RowHeight(r);
        EXPECT_LE(height * ws->Page().zoom / 100.0, paper) << "rows " << from << ".." << to - 1;
        EXPECT_GT(height, 800) << "rows " << from << ".." << to - 1;
        from = to;
    }
}

}  // namespace
}  // namespace ormelin
