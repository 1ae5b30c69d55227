// Runs of whole columns inserted or deleted at once give exactly what as many
// single insertions or deletions give: cells, styles, merged areas, column
// records, links and frozen panes, and formulas where the sheet has them.
#include <random>
#include <sstream>

#include <gtest/gtest.h>

#include "forming/sheet_dump.hpp"
#include "ormelin/model.hpp"

namespace ormelin::test {
namespace {

using host::ColumnRun;

/// Everything the model keeps of a sheet's columns and cells, as text.
std::string Picture(const model::ModelWorksheet& ws) {
    std::ostringstream out;
    auto& book = dynamic_cast<const model::ModelWorkbook&>(ws.Parent());
    ws.ForEachCell([&](int r, int c, const host::CellContent& content, model::StyleId style) {
        out << r << ',' << c << " [" << content.formula << "] ";
        std::visit([&](const auto& v) {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, std::monostate>) out << "empty";
            else if constexpr (std::is_same_v<T, host::CellError>) out << host::ErrorText(v);
            else out << v;
        }, content.value);
        const host::Style& st = book.Styles().Get(style);
        out << " fill " << st.fill.value << " border " << static_cast<int>(st.left.style) << '\n';
    });
    for (const auto& rec : ws.Columns())
        out << "cols " << rec.first << ':' << rec.last << ' ' << rec.width << ' ' << rec.style.value_or(999) << '\n';
    for (const auto& link : ws.Hyperlinks()) out << "link " << host::AddressOf(link.anchor) << '\n';
    out << "frozen " << ws.View().frozenColumns << '\n';
    return out.str() + testing_support::DumpSheet(ws);
}

/// A sheet of random values, styled cells, merged areas, column widths and links.
void Fill(model::ModelWorksheet& ws, unsigned seed, bool formulas) {
    std::mt19937 rng(seed);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    for (int r = 1; r <= 30; ++r) {
        for (int k = 0; k < 8; ++k) {
            const int c = 1 + pick(30);
            switch (pick(5)) {
                case 0: ws.SetValue(host::Area{r, c, r, c}, std::string("t") + std::to_string(r * 100 + c)); break;
                case 1: ws.SetValue(host::Area{r, c, r, c}, static_cast<double>(pick(1000)) / 8); break;
                case 2: ws.Range_(host::Area{r, c, r, c}).Interior().Color(host::Color::Rgb(0x102030u + static_cast<unsigned>(pick(3)))); break;
                case 3: ws.SetValue(host::Area{r, c, r, c}, pick(2) == 0); break;
                default:
                    if (formulas) ws.SetValue(host::Area{r, c, r, c}, std::string("=RC[-1]&R1C3"));
                    break;
            }
        }
        if (pick(3) == 0) {
            const int c = 1 + pick(25);
            ws.Merge(host::Area{r, c, r + pick(2), c + 1 + pick(4)});
        }
    }
    ws.Range_("C1:H40").Borders().LineStyle(host::LineStyle::Continuous);
    ws.ColumnWidth(4, 6, 3.5);
    ws.ColumnWidth(12, 12, 20);
    ws.Range_("J:J").Interior().Color(host::Color::Rgb(0x00FF00));
    host::Hyperlink link;
    link.anchor = host::Area{3, 9, 3, 11};
    link.subAddress = "A1";
    ws.AddHyperlink(link);
    ws.AddHyperlink(host::Hyperlink{host::Area{5, 20, 5, 20}, "", "B2", "to B2", ""});
}

class ColumnRuns : public ::testing::TestWithParam<unsigned> {
protected:
    ColumnRuns()
        : app(std::make_shared<model::ScriptedUi>()),
          one(app.NewWorkbook()->ModelSheet(1)),
          runs(app.NewWorkbook()->ModelSheet(1)) {}

    model::ModelApplication app;
    std::shared_ptr<model::ModelWorksheet> one, runs;
};

TEST_P(ColumnRuns, InsertedAtOnceAsOneByOne) {
    // the field grids of the forms: runs inside, between and at the edge of the filled columns
    const std::vector<std::vector<ColumnRun>> cases = {
        {{6, 1}, {8, 8}, {17, 5}, {23, 1}, {25, 2}},
        {{1, 2}, {3, 1}, {1, 1}},
        {{5, 10}, {5, 3}, {40, 2}, {2, 1}},
        {{31, 4}, {12, 0}, {29, 3}},
    };
    for (bool formulas : {false, true}) {
        for (const auto& list : cases) {
            auto a = app.NewWorkbook()->ModelSheet(1), b = app.NewWorkbook()->ModelSheet(1);
            Fill(*a, GetParam(), formulas);
            Fill(*b, GetParam(), formulas);
            for (const ColumnRun& run : list) a->InsertColumns(run.at, run.count);
            b->InsertColumnRuns(list);
            ASSERT_EQ(Picture(*a), Picture(*b)) << "seed " << GetParam() << (formulas ? " with formulas" : "");
        }
    }
}

TEST_P(ColumnRuns, DeletedAtOnceAsOneByOne) {
    const std::vector<std::vector<ColumnRun>> cases = {
        {{30, 1}, {27, 2}, {20, 1}, {12, 3}, {4, 1}},  // right to left, as rollback deletes empty columns
        {{2, 3}, {2, 3}, {1, 1}},                        // left to right, each at the columns left then
        {{10, 30}, {3, 2}, {100, 5}},                    // up to beyond the filled columns
        {{5, 0}, {7, 1}},
    };
    for (bool formulas : {false, true}) {
        for (const auto& list : cases) {
            auto a = app.NewWorkbook()->ModelSheet(1), b = app.NewWorkbook()->ModelSheet(1);
            Fill(*a, GetParam(), formulas);
            Fill(*b, GetParam(), formulas);
            for (const ColumnRun& run : list) a->DeleteColumns(run.at, run.count);
            b->DeleteColumnRuns(list);
            ASSERT_EQ(Picture(*a), Picture(*b)) << "seed " << GetParam() << (formulas ? " with formulas" : "");
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, ColumnRuns, ::testing::Values(1u, 2u, 3u, 17u, 4242u));

TEST(ColumnRunsAtTheEdge, ContentPushedOffTheSheetRefusesAsOneByOne) {
    model::ModelApplication app(std::make_shared<model::ScriptedUi>());
    auto ws = app.NewWorkbook()->ModelSheet(1);
    ws->SetValue(host::Area{1, host::kMaxColumns - 2, 1, host::kMaxColumns - 2}, std::string("last"));
    ws->SetValue(host::Area{2, 1, 2, 1}, std::string("first"));
    // the first run fits, the second would push the value off the sheet
    EXPECT_THROW(ws->InsertColumnRuns({{1, 1}, {1, 2}}), Error);
    EXPECT_EQ(ws->CellText(1, host::kMaxColumns - 1), "last");
    EXPECT_EQ(ws->CellText(2, 2), "first");
}

}  // namespace
}  // namespace ormelin::test
