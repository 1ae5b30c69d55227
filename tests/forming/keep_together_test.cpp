// Keeping entries whole, on every form at its exact sheet boundary: a heading on
// the last row of a sheet, an entry of two and of three rows across the
// boundary, empty rows where a sheet would begin, an entry longer than a sheet.
// Formed with keep-together the document shows none of these faults (the sheet
// each row lands on, read from the geometry) and rollback gives back the list
// cell for cell, also after LibreOffice and openpyxl saved the formed workbook;
// formed without it (the service's own methods) the check names each fault.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "forming/forming.hpp"
#include "forming/forming_fixture.hpp"
#include "forming/keep_together.hpp"
#include "forming/sheet_dump.hpp"
#include "ormelin/documents.hpp"
#include "ormelin/xlsx.hpp"
#include "xlsx/xlsx_fixture.hpp"

namespace ormelin {
namespace {

using forming::BreakPlace;
using forming::SheetGeometry;
using forming::GeometryOf;
using forming::BottomLineOf;
using lists::BreakFault;

// A list kind as these tests fill it: its first data row, a key column (filled
// on an entry's first row) and the name column, in list columns.
struct Kind {
    ksStateOfDocument state;
    const char* name;
    int firstRow, key, text;
    bool numericKey;
};
constexpr Kind kKinds[] = {
    {ksSPA_OT, "specification", 2, 3, 5, true},
    {ksPE_OT_1, "elements", 2, 2, 3, false},
    {ksVN_OT, "data_media", 2, 2, 3, false},
    {ksVPA_OT, "purchased", 3, 7, 2, true},
    {ksSPB_OT, "group", 5, 3, 5, true},
};

const SheetGeometry& GeometryOfKind(const Kind& kind) { return *GeometryOf(StateEntryOf(kind.state).form); }

/// The sheet a worksheet row of a formed document (no registration sheet) is on.
int SheetOf(const SheetGeometry& g, int row) {
    return row <= g.firstBottomLine ? 1 : 2 + (row - g.firstBottomLine - 1) / g.sheetRows;
}

class KeepTogether : public testing_support::FormingTest, public ::testing::WithParamInterface<Kind> {
protected:
    const Kind& kind = GetParam();
    const SheetGeometry& g = GeometryOfKind(kind);

    /// The list from a pattern, one letter a row: 'E' an entry's first row (key
    /// and name), 'C' its continuation (name only), 'H' a heading (name only,
    /// after an empty row or the top), '_' an empty row. Row i's texts end in i.
    void Fill(const std::string& pattern) {
        k->DocumentBlank(ws, kind.state);
        if (kind.state == ksVPA_OT || kind.state == ksVN_OT) ws->ClearContents(A("A3:A200"));
        for (std::size_t i = 0; i < pattern.size(); ++i) {
            const int r = kind.firstRow + static_cast<int>(i);
            const std::string n = std::to_string(i + 1);
            auto put = [&](int c, const host::Value& v) { ws->SetValue(host::Area{r, c, r, c}, v); };
            switch (pattern[i]) {
                case 'E':
                    put(kind.key, kind.numericKey ? host::Value(static_cast<double>(i + 1)) : host::Value("R" + n));
                    put(kind.text, "запись " + n);
                    break;
                case 'C': put(kind.text, "продолжение " + n); break;
                case 'H': put(kind.text, "Группа " + n); break;
                default: break;
            }
        }
        listRows_ = ws->UsedRange().r2;
        list_ = ListCells();
    }

    /// Every cell of the list's rows, as it shows, row by row, the link cell's
    /// column and one more included (where forming marks its padding rows).
    std::vector<std::string> ListCells() const {
        std::vector<std::string> cells;
        const int lastColumn = lists::EntryColumnsOf(StateEntryOf(kind.state).listLayout).count + 2;
        for (int r = kind.firstRow; r <= listRows_; ++r) {
            std::string row = std::to_string(r);
            for (int c = 1; c <= lastColumn; ++c) row += " | " + ws->CellText(r, c);
            cells.push_back(row);
        }
        return cells;
    }

    forming::FormResult FormKept() {
        ws->Activate();
        return forming::FormList(app, ws, StateEntryOf(kind.state).form, kind.state, AttrDoc{},
                                 {.keepTogether = true});
    }

    /// The worksheet row of list row i (1-based) once formed: its name text.
    int Formed(int i, const char* prefix) const {
        const int c = forming::FormedColumnOf(kind.state, kind.text);
        const std::string want = prefix + std::to_string(i);
        for (int r = 1; r <= ws->UsedRange().r2; ++r)
            if (ws->CellText(r, c) == want) return r;
        return 0;
    }
    int SheetOfEntry(int i, const char* prefix) const { return SheetOf(g, Formed(i, prefix)); }

    /// The first list row of sheet k > 1.
    int FirstListRowOf(int sheet) const { return BottomLineOf(g, sheet - 1) + g.further.topTo; }

    void RollsBackToTheList() {
        k->Otkat(ws);
        EXPECT_EQ(k->StateOfDocument(ws), kind.state);
        const auto got = ListCells();
        for (std::size_t i = 0; i < got.size() && i < list_.size(); ++i)
            if (got[i] != list_[i]) {
                ADD_FAILURE() << "first row that differs: " << got[i] << "; it was " << list_[i];
                break;
            }
        EXPECT_EQ(got.size(), list_.size());
        // nothing below the list, nothing right of it
        for (int r = listRows_ + 1; r <= ws->UsedRange().r2; ++r)
            for (int c = 1; c <= ws->UsedRange().c2; ++c)
                EXPECT_EQ(ws->CellText(r, c), "") << host::AddressOf(host::Area{r, c, r, c});
        EXPECT_LE(ws->UsedRange().c2, lists::EntryColumnsOf(StateEntryOf(kind.state).listLayout).count + 1);
    }

    std::vector<std::string> list_;
    int listRows_ = 0;
};

std::string Times(char c, int n) { return std::string(static_cast<std::size_t>(n), c); }

TEST_P(KeepTogether, HeadingOnTheLastRowGoesWithItsFirstEntry) {
    const int f = g.firstListRows;
    Fill(Times('E', f - 2) + "_H" + "EE");  // the heading is the sheet's last row
    const auto r = FormKept();
    EXPECT_EQ(r.paddingRows, 1);  // the heading moves; the empty row before it ends the sheet
    EXPECT_EQ(SheetOfEntry(f, "Группа "), 2);
    EXPECT_EQ(Formed(f, "Группа ") + 1, Formed(f + 1, "запись "));
    EXPECT_TRUE(forming::SheetBreakFaults(*ws).empty());
    RollsBackToTheList();
}

TEST_P(KeepTogether, EntriesOfTwoAndThreeRowsAreNotSplit) {
    const int f = g.firstListRows, n = g.furtherListRows;
    // a two-row entry from the first sheet's last row; a three-row entry whose
    // last row would open the third sheet
    const std::string pattern = Times('E', f - 1) + "EC" + Times('E', n - 3) + "ECC" + "E";  // sheet 2 padded by 1
    Fill(pattern);
    const auto r = FormKept();
    EXPECT_EQ(r.entriesSplit, 0);
    EXPECT_EQ(SheetOfEntry(f, "запись "), 2);
    EXPECT_EQ(SheetOfEntry(f + 1, "продолжение "), 2);
    const int three = f + 1 + n - 3 + 1;  // list row of the three-row entry's first row, 1-based
    EXPECT_EQ(SheetOfEntry(three, "запись "), 3);
    EXPECT_EQ(SheetOfEntry(three + 2, "продолжение "), 3);
    EXPECT_TRUE(forming::SheetBreakFaults(*ws).empty());
    RollsBackToTheList();
}

TEST_P(KeepTogether, NoSheetBeginsWithEmptyRows) {
    const int f = g.firstListRows;
    Fill(Times('E', f) + "__H" + Times('E', 4));  // two empty rows where sheet 2 would begin
    FormKept();
    EXPECT_EQ(ws->CellText(FirstListRowOf(2), forming::FormedColumnOf(kind.state, kind.text)),
              "запись " + std::to_string(f));
    EXPECT_EQ(SheetOfEntry(f + 3, "Группа "), 2);
    EXPECT_TRUE(forming::SheetBreakFaults(*ws).empty());
    RollsBackToTheList();
}

TEST_P(KeepTogether, AnEntryLongerThanASheetIsSplitAndReported) {
    const int f = g.firstListRows, n = g.furtherListRows;
    Fill("EE" + std::string("E") + Times('C', f + 2 * n) + "E");  // entry 3 runs over sheets 2, 3 and 4
    const auto r = FormKept();
    EXPECT_EQ(r.entriesSplit, 1);
    EXPECT_EQ(r.splitEntryRows, (std::vector<int>{kind.firstRow + 2}));
    EXPECT_EQ(SheetOfEntry(3, "запись "), 2);  // it still starts on a sheet of its own
    EXPECT_EQ(forming::SheetBreakFaults(*ws), (std::vector<BreakPlace>{{3, FirstListRowOf(3), BreakFault::EntrySplit},
                                                                       {4, FirstListRowOf(4), BreakFault::EntrySplit}}));
    RollsBackToTheList();
}

// The service's own methods carry the rows strictly in list order; the check
// names every place where that goes wrong, at its sheet and row.
TEST_P(KeepTogether, WithoutItTheCheckNamesEveryFault) {
    const int f = g.firstListRows, n = g.furtherListRows;
    // sheet 1 ends with a heading; sheet 2 ends inside a two-row entry; sheet 3
    // begins with an empty row
    Fill(Times('E', f - 2) + "_H" + "EC" + Times('E', n - 3) + "EC" + Times('E', n - 1) + "_" + "HE");
    k->Forming(ws, false, false);
    EXPECT_EQ(forming::SheetBreakFaults(*ws),
              (std::vector<BreakPlace>{{1, Formed(f, "Группа "), BreakFault::HeadingAlone},
                                       {3, FirstListRowOf(3), BreakFault::EntrySplit},
                                       {4, FirstListRowOf(4), BreakFault::EmptyTop}}));
    RollsBackToTheList();
}

// Positions and quantities of three characters and more shrink to fit their
// narrow fields, on every form and also without keep-together; a number that
// fits keeps its format.
TEST_P(KeepTogether, NumbersOfThreeCharactersShrinkToFit) {
    const auto& numbers = lists::EntryColumnsOf(StateEntryOf(kind.state).listLayout).numbers;
    if (numbers.empty()) GTEST_SKIP() << "no numbers in narrow fields";
    Fill("EEEE");
    const int c = numbers.front();
    const double values[] = {7, 123, 0.25, 4321};
    for (int i = 0; i < 4; ++i) ws->SetValue(host::Area{kind.firstRow + i, c, kind.firstRow + i, c}, values[i]);
    const bool listShrinks = ws->CellStyle(kind.firstRow, c).shrink;
    k->Forming(ws, false, false);
    const int formed = forming::FormedColumnOf(kind.state, c);
    for (int i = 0; i < 4; ++i) {
        const int r = Formed(i + 1, "запись ");
        ASSERT_GT(r, 0);
        EXPECT_EQ(ws->CellStyle(r, formed).shrink, i == 0 ? listShrinks : true) << values[i];
    }
}

INSTANTIATE_TEST_SUITE_P(EveryForm, KeepTogether, ::testing::ValuesIn(kKinds),
                         [](const auto& p) { return std::string(p.param.name); });

// ------------------------------------------------------------------ the plan on generated lists

// Lists of groups as the documents have them (empty rows, a heading of one or
// two rows, an empty row under it or not, entries of one to four rows), planned
// on every form's geometry: cut into sheets after the padding, every sheet after
// the first begins where a sheet may begin, nothing is split, the rows keep
// their order; and the kinds read row by row back from any row are those of the
// whole list read in order.
TEST(KeepTogetherPlan, GeneratedListsBreakOnlyWhereASheetMayBegin) {
    using lists::RowFill;
    using lists::RowKind;
    std::mt19937 random(22);
    auto pick = [&](int from, int to) { return std::uniform_int_distribution<int>(from, to)(random); };
    for (const SheetGeometry* g : {&forming::kA4Portrait, &forming::kPurchasedProducts, &forming::kA4LandscapeGroup}) {
        for (int round = 0; round < 200; ++round) {
            std::vector<RowFill> fills;
            const int groups = pick(1, 40);
            for (int k = 0; k < groups; ++k) {
                for (int e = pick(0, 2); e > 0; --e) fills.push_back({});
                if (pick(0, 1)) {
                    for (int h = pick(1, 2); h > 0; --h) fills.push_back({false, true});
                    if (pick(0, 1)) fills.push_back({});
                }
                for (int entry = pick(1, 6); entry > 0; --entry) {
                    fills.push_back({true, true});
                    for (int c = pick(0, 3); c > 0; --c) fills.push_back({false, true});
                }
            }
            const auto kinds = lists::ClassifyRows(fills);
            for (std::size_t i = 0; i < fills.size(); ++i)
                ASSERT_EQ(lists::KindOfRow([&](std::size_t k) { return fills[k]; }, i), kinds[i]) << i;

            const forming::KeepPlan plan = forming::PlanKeepTogether(kinds, *g);
            EXPECT_EQ(plan.entriesSplit, 0);
            std::vector<RowKind> padded;
            std::vector<int> origin;  // the list row each padded row is, -1 for padding
            std::size_t next = 0;
            for (std::size_t i = 0; i <= kinds.size(); ++i) {
                for (; next < plan.padding.size() && plan.padding[next].before == i; ++next)
                    for (int p = 0; p < plan.padding[next].rows; ++p) padded.push_back(RowKind::Empty), origin.push_back(-1);
                if (i < kinds.size()) padded.push_back(kinds[i]), origin.push_back(static_cast<int>(i));
            }
            ASSERT_EQ(next, plan.padding.size()) << "padding out of order";
            std::vector<bool> sheetStart(padded.size() + 1, false);
            for (std::size_t start = static_cast<std::size_t>(g->firstListRows); start < padded.size();
                 start += static_cast<std::size_t>(g->furtherListRows)) {
                sheetStart[start] = true;
                ASSERT_NE(origin[start], -1) << "a sheet begins with a padding row";
                EXPECT_EQ(lists::BreakFaultAt(kinds, static_cast<std::size_t>(origin[start])), lists::BreakFault::None)
                    << "sheet break before list row " << origin[start];
            }
            // padding rows only end a sheet
            for (std::size_t r = 0; r < padded.size(); ++r) {
                if (origin[r] != -1) continue;
                std::size_t after = r;
                while (after < padded.size() && origin[after] == -1) ++after;
                EXPECT_TRUE(sheetStart[after]) << "padding row " << r << " does not end a sheet";
            }
        }
    }
}

// ------------------------------------------------------------------ through other programs

// A specification whose sheet ends fall on a heading under its empty row (sheet
// 1), inside a two-row entry (sheet 2) and on a section heading followed by its
// empty row (sheet 3): forming pads 1, 1 and 2 rows.
class KeptSpecification : public KeepTogether {
protected:
    std::string Pattern() const {
        const int f = g.firstListRows, n = g.furtherListRows;
        return "H_" + Times('E', f - 4) + "_H" + Times('E', n - 2) + "EC" + "_H_" + Times('E', n - 8) + "_H_" +
               "ECC" + "_HE";
    }
};


// The same document printed by LibreOffice: positions and quantities of three
// and four digits and a fractional quantity print, none as "###".
TEST_P(KeptSpecification, RollsBackAfterLibreOfficeAndOpenpyxlSavedIt) {
    using namespace xlsx::testing;
    Fill(Pattern());
    ws->Name("СП");
    for (const auto& [cell, number] : {std::pair{"C4", 123.0}, {"F4", 1234.0}, {"C5", 4567.0}, {"F5", 0.25}})
        Put(cell, number);
    list_ = ListCells();
    const auto r = FormKept();
    ASSERT_EQ(r.paddingRows, 4);
    ASSERT_TRUE(forming::SheetBreakFaults(*ws).empty());
    ScratchDir dir;
    std::filesystem::create_directories(dir.path() / "in");
    xlsx::SaveWorkbook(*book, dir / "in/book.xlsx");
    if (HasSoffice()) {
        const std::string pdf = "cd '" + dir.path().string() + "' && HOME='" + dir.path().string() +
                                "' timeout 180 soffice -env:UserInstallation=file://" + dir.path().string() +
                                "/profile --headless --convert-to pdf --outdir pdf in/book.xlsx >pdf.log 2>&1 && "
                                "pdftotext -layout pdf/book.pdf pdf/book.txt";
        ASSERT_EQ(std::system(pdf.c_str()), 0) << ReadFile(dir / "pdf.log");
        const std::string printed = ReadFile(dir / "pdf/book.txt");
        EXPECT_EQ(printed.find("###"), std::string::npos) << printed.substr(0, 3000);
        for (const char* number : {"123", "1234", "4567", "запись 3"})
            EXPECT_NE(printed.find(number), std::string::npos) << number;
        EXPECT_TRUE(printed.find("0,25") != std::string::npos || printed.find("0.25") != std::string::npos);
    }
    struct Program {
        const char* name;
        bool present;
        std::string (*save)(const ScratchDir&);
    };
    const Program programs[] = {
        {"LibreOffice", HasSoffice(),
         [](const ScratchDir& d) {
             return ConvertWithLibreOffice(d, "book.xlsx") ? d / "out/book.xlsx" : std::string();
         }},
        {"openpyxl", HasOpenpyxl(),
         [](const ScratchDir& d) {
             std::string output;
             const std::string script = "import openpyxl\nwb = openpyxl.load_workbook('" + (d / "in/book.xlsx") +
                                        "')\nwb.save('" + (d / "openpyxl.xlsx") + "')\n";
             return RunPython(d, script, output) == 0 ? d / "openpyxl.xlsx" : std::string();
         }},
    };
    for (const Program& p : programs) {
        SCOPED_TRACE(p.name);
        if (!p.present) {
            ADD_FAILURE() << p.name << " is not installed";
            continue;
        }
        const std::string saved = p.save(dir);
        ASSERT_FALSE(saved.empty()) << ReadFile(dir / "soffice.log");
        auto back = xlsx::LoadWorkbook(app, saved, nullptr);
        ASSERT_TRUE(back);
        std::shared_ptr<host::Worksheet> again = back->FindSheet("СП");
        ASSERT_TRUE(again);
        again->Activate();
        EXPECT_TRUE(forming::SheetBreakFaults(*again).empty());
        k->Otkat(again);
        ws = again;
        EXPECT_EQ(k->StateOfDocument(ws), kind.state);
        EXPECT_EQ(ListCells(), list_);
    }
}

INSTANTIATE_TEST_SUITE_P(Specification, KeptSpecification, ::testing::Values(kKinds[0]),
                         [](const auto& p) { return std::string(p.param.name); });

// The reviewed picture of the same specification formed with keep-together
// (tests/forming/reference/spa_kept_together.txt), read against the list: sheet
// 1 ends with entry 21, the empty row under it and one padding row (its mark
// "ormelin:padding" in AB24, right of the link cell AA); sheet 2 begins with
// "Группа 23" and its entry, and ends with entry 50 and one padding row (AB67);
// sheet 3 begins with the two-row entry 51/52 and ends with entry 76, the empty
// row and two padding rows (AB101:AB102); sheet 4 begins with "Группа 78", its
// empty row and the three-row entry 80..82. Four sheets ("Листов" Y33 4), every
// further sheet's frame, heads and title block where the form puts them.
TEST_P(KeptSpecification, MatchesTheReviewedDump) {
    Fill(Pattern());
    FormKept();
    EXPECT_EQ(testing_support::CompareWithReference("spa_kept_together", testing_support::DumpSheet(*ws)), "");
}

}  // namespace
}  // namespace ormelin
