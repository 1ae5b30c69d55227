// The forming module on its own, without a service object: what FormA4 reports it
// did, the geometry of the sheets it makes, the reference pictures of every formed
// A4 kind, and forming followed by rollback.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "forming/forming.hpp"
#include "forming/geometry.hpp"
#include "forming/rollback.hpp"
#include "forming/sheet_dump.hpp"
#include "lists/lists.hpp"
#include "ormelin/model.hpp"
#include "recognition/recognition.hpp"

namespace ormelin {
namespace {

class FormModule : public ::testing::Test {
protected:
    std::shared_ptr<model::ScriptedUi> ui = std::make_shared<model::ScriptedUi>();
    model::ModelApplication app{ui};
    std::shared_ptr<model::ModelWorkbook> book = app.NewWorkbook();
    std::shared_ptr<host::Worksheet> ws = book->Sheet(1);
    AttrDoc record;
    std::vector<std::string> failures;  // layout failures reported

    lists::ReportFn Report() {
        return [this](const char* routine, std::exception_ptr) { failures.push_back(routine); };
    }

    static int TextColumn(ksStateOfDocument kind) {
        switch (kind) {
            case ksSPA_OT: return 4;
            case ksPE_OT_1: return 3;
            case ksPE_OT_2: return 2;
            case ksVN_OT: return 2;
            default: return 1;
        }
    }

    /// The list of a kind with entries "строка i" at the given list rows (1-based).
    void List(ksStateOfDocument kind, const std::vector<int>& entries) {
        lists::DocumentBlank(app, ws, kind == ksPE_OT_2 ? ksPE_OT_1 : kind, Report());
        if (kind == ksPE_OT_2) ws->DeleteColumns(1, 1);
        if (kind == ksVE_OT) ws->ClearContents(host::ParseAddress("A2:E10"));
        const int c = TextColumn(kind);
        for (int i : entries) ws->SetValue(host::Area{i + 1, c, i + 1, c}, "строка " + std::to_string(i));
    }
    void List(ksStateOfDocument kind, int n) {
        std::vector<int> entries;
        for (int i = 1; i <= n; ++i) entries.push_back(i);
        List(kind, entries);
    }

    forming::FormResult Form(ksStateOfDocument kind, bool forPrint = false, bool pageRevi = false) {
        return forming::FormA4(app, ws, kind, record, {.forPrint = forPrint, .pageRevi = pageRevi});
    }

    /// The rows whose cell in the column shows the text.
    std::vector<int> RowsShowing(const std::string& text, int column) const {
        std::vector<int> rows;
        for (int r = 1; r <= ws->UsedRange().r2; ++r)
            if (ws->CellText(r, column) == text) rows.push_back(r);
        return rows;
    }

    int RowOfEntry(int col, int i) const {
        const std::string want = "строка " + std::to_string(i);
        for (int r = 1; r <= ws->UsedRange().r2; ++r)
            if (ws->CellText(r, col) == want) return r;
        return 0;
    }

    void SetUp() override {
        record.Let(AttrProp::aOboz, "АБВГ.469135.001");
        record.Let(AttrProp::aDesi, "Иванов");
        record.Let(AttrProp::aIzme, "1");
    }
};

// ------------------------------------------------------------------ what forming reports

TEST_F(FormModule, SheetCountFollowsTheListLength) {
    struct Case {
        int entries;
        int sheets;
    };
    // 23 list rows fit the first sheet, 29 every further one.
    for (const Case c : {Case{1, 1}, Case{23, 1}, Case{24, 2}, Case{52, 2}, Case{53, 3}}) {
        ws = book->Add(nullptr, nullptr);
        List(ksSPA_OT, c.entries);
        const auto result = Form(ksSPA_OT);
        EXPECT_EQ(result.sheetCount, c.sheets) << c.entries << " entries";
        EXPECT_EQ(ws->CellText(33, 25), std::to_string(c.sheets)) << c.entries << " entries";  // "Листов"
        EXPECT_EQ(result.geometry, &forming::kA4Portrait);
        EXPECT_FALSE(result.registrationSheet);
        EXPECT_FALSE(result.rowsLeftBelow);
        EXPECT_FALSE(result.printSetupApplied);
        EXPECT_GT(RowOfEntry(7, c.entries), 0) << "the last entry is kept";
    }
    EXPECT_TRUE(failures.empty());
}

TEST_F(FormModule, RegistrationSheetOnlyAfterTwoSheetsWhenAskedFor) {
    List(ksPE_OT_1, 30);
    auto two = Form(ksPE_OT_1, false, true);
    EXPECT_EQ(two.sheetCount, 2);
    EXPECT_FALSE(two.registrationSheet);
    EXPECT_TRUE(RowsShowing("Лист регистрации изменений", 3).empty());

    ws = book->Add(nullptr, nullptr);
    List(ksPE_OT_1, 60);
    auto four = Form(ksPE_OT_1, false, true);
    EXPECT_EQ(four.sheetCount, 4);
    EXPECT_TRUE(four.registrationSheet);
    EXPECT_EQ(ws->CellText(33, 25), "4");
    EXPECT_EQ(ws->CellText(33, 22), "1");
    // The registration sheet is the fourth: its heading under the third sheet's bottom line.
    EXPECT_EQ(RowsShowing("Лист регистрации изменений", 3), std::vector<int>{108});
}

TEST_F(FormModule, BottomLinesStandWhereEverySheetEnds) {
    List(ksVE_OT, 60);
    const auto result = Form(ksVE_OT, true, true);
    ASSERT_EQ(result.sheetCount, 4);
    // The first sheet ends in row 37, every further one 35 rows lower.
    EXPECT_EQ(RowsShowing("Копировал:", 13), (std::vector<int>{37, 72, 107, 142}));
    EXPECT_EQ(ws->UsedRange().r2, 142);
    EXPECT_TRUE(result.printSetupApplied);
    EXPECT_EQ(ws->HPageBreaks(), (std::vector<int>{38, 73, 108, 143}));
    EXPECT_EQ(ws->Page().printArea, "$A:$Z");
    EXPECT_EQ(ws->Page().paperSize, 9);
}

TEST_F(FormModule, EntriesAfterARunOfEmptyRowsAreReportedLeftBelow) {
    // Entries 1..5, then a sheet's worth of empty rows, then entry 40.
    List(ksVN_OT, std::vector<int>{1, 2, 3, 4, 5, 40});
    const auto result = Form(ksVN_OT);
    EXPECT_EQ(result.sheetCount, 2);  // entries 24..52 would be the second sheet: 40 is among them
    EXPECT_FALSE(result.rowsLeftBelow);

    ws = book->Add(nullptr, nullptr);
    List(ksVN_OT, std::vector<int>{1, 2, 3, 4, 5, 60});
    const auto left = Form(ksVN_OT);
    EXPECT_EQ(left.sheetCount, 1);
    ASSERT_TRUE(left.rowsLeftBelow);
    EXPECT_EQ(*left.rowsLeftBelow, RowOfEntry(4, 60));
    EXPECT_GT(*left.rowsLeftBelow, 37);
    // The command reads the same from the formed sheet alone.
    EXPECT_EQ(forming::RowsLeftBelow(*ws), left.rowsLeftBelow);
}

TEST_F(FormModule, SheetCountCellThatIsNoCountReadsAsNothing) {
    List(ksSPA_OT, 3);
    Form(ksSPA_OT);
    EXPECT_EQ(forming::SheetCountOf(*ws), 1);
    for (const host::Value& v : {host::Value{std::string("x")}, host::Value{0.0}, host::Value{-3.0},
                                 host::Value{1e300}, host::Value{}}) {
        ws->SetValue(host::Area{33, 25, 33, 25}, v);
        EXPECT_FALSE(forming::SheetCountOf(*ws));
        EXPECT_FALSE(forming::RowsLeftBelow(*ws));
    }
}

TEST_F(FormModule, NoSheetIsAnError) {
    EXPECT_THROW(forming::FormA4(app, nullptr, ksSPA_OT, record, {}), Error);
    EXPECT_THROW(forming::RollBack(app, nullptr, Report()), Error);
}

// ------------------------------------------------------------------ list row heights

TEST(ListRowHeight, ToleranceAroundTheListRowHeight) {
    EXPECT_TRUE(forming::IsListRowHeight(26));
    EXPECT_TRUE(forming::IsListRowHeight(26.4));
    EXPECT_TRUE(forming::IsListRowHeight(25.6));
    EXPECT_TRUE(forming::IsListRowHeight(0));  // hidden
    EXPECT_FALSE(forming::IsListRowHeight(26.41));
    EXPECT_FALSE(forming::IsListRowHeight(25.59));
    EXPECT_FALSE(forming::IsListRowHeight(43));
    EXPECT_FALSE(forming::IsListRowHeight(15));
}

// ------------------------------------------------------------------ reference pictures

struct KindCase {
    ksStateOfDocument kind;
    const char* name;
};

TEST_F(FormModule, FormedSheetsMatchTheirReferencePictures) {
    for (const KindCase c : {KindCase{ksSPA_OT, "spa_30"}, KindCase{ksPE_OT_1, "pe_zone_30"},
                             KindCase{ksPE_OT_2, "pe_30"}, KindCase{ksVN_OT, "vn_30"}, KindCase{ksVE_OT, "ve_30"}}) {
        ws = book->Add(nullptr, nullptr);
        List(c.kind, 30);
        Form(c.kind);
        EXPECT_EQ(testing_support::CompareWithReference(c.name, testing_support::DumpSheet(*ws)), "");
    }
    // Three sheets, the change-registration sheet and the print setup.
    ws = book->Add(nullptr, nullptr);
    List(ksSPA_OT, 60);
    Form(ksSPA_OT, true, true);
    EXPECT_EQ(testing_support::CompareWithReference("spa_60_print_revi", testing_support::DumpSheet(*ws)), "");
}

// ------------------------------------------------------------------ form, then roll back

TEST_F(FormModule, RollBackGivesBackTheListOfEveryKind) {
    for (const ksStateOfDocument kind : {ksSPA_OT, ksPE_OT_1, ksPE_OT_2, ksVN_OT, ksVE_OT}) {
        ws = book->Add(nullptr, nullptr);
        List(kind, 60);
        Form(kind, true, true);
        EXPECT_TRUE(IsFormedState(recognition::StateOf(*ws))) << kind;
        EXPECT_TRUE(forming::RollBack(app, ws, Report())) << kind;
        EXPECT_EQ(recognition::StateOf(*ws), kind);
        const int c = TextColumn(kind);
        for (int i = 1; i <= 60; ++i) {
            EXPECT_EQ(ws->CellText(i + 1, c), "строка " + std::to_string(i)) << kind << " entry " << i;
            EXPECT_DOUBLE_EQ(ws->RowHeight(i + 1), 26) << kind << " entry " << i;
        }
        // A second rollback finds no formed document and changes nothing.
        EXPECT_FALSE(forming::RollBack(app, ws, Report()));
    }
    EXPECT_TRUE(failures.empty());
}

}  // namespace
}  // namespace ormelin
