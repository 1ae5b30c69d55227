// The model's cells and columns: runs of whole columns inserted or deleted at
// once give exactly what as many single insertions or deletions give (cells,
// styles, merged areas, column records, links, formulas); the compact cell gives
// back every kind of value as it was stored.
#include <cmath>
#include <limits>
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
                case 2: ws.RangeAt(host::Area{r, c, r, c}).Interior().Color(host::Color::Rgb(0x102030u + static_cast<unsigned>(pick(3)))); break;
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
    ws.RangeAt("C1:H40").Borders().LineStyle(host::LineStyle::Continuous);
    ws.ColumnWidth(4, 6, 3.5);
    ws.ColumnWidth(12, 12, 20);
    ws.RangeAt("J:J").Interior().Color(host::Color::Rgb(0x00FF00));
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

namespace ormelin::test {
namespace {

TEST(ReferringFormulas, AnsweredFromTheFormulasTheSheetStillHolds) {
    model::ModelApplication app(std::make_shared<model::ScriptedUi>());
    auto ws = app.NewWorkbook()->ModelSheet(1);
    ws->SetValue(host::Area{1, 1, 1, 1}, std::string("text"));
    ws->SetValue(host::Area{2, 1, 2, 1}, std::string("=1+2"));
    EXPECT_FALSE(ws->HasReferringFormulas()) << "a formula without references reads no cell";
    ws->SetValue(host::Area{3, 2, 3, 2}, std::string("=R1C1"));
    ws->SetValue(host::Area{5, 2, 5, 2}, std::string("=список!R5C3"));
    EXPECT_TRUE(ws->HasReferringFormulas());
    ws->DeleteRows(3, 1);
    EXPECT_TRUE(ws->HasReferringFormulas()) << "the reference into another sheet is still there";
    ws->ClearContents(host::Area{4, 2, 4, 2});
    EXPECT_FALSE(ws->HasReferringFormulas()) << "both formulas with references are gone";
    EXPECT_EQ(ws->CellText(2, 1), "3");
}

}  // namespace
}  // namespace ormelin::test

// ---------------------------------------------------------------- the compact cell

namespace ormelin::test {
namespace {

TEST(CellValues, EveryKindComesBackAsStored) {
    model::ModelApplication app(std::make_shared<model::ScriptedUi>());
    auto ws = app.NewWorkbook()->ModelSheet(1);
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<host::Value> values = {
        0.0, -0.0, 1.5, -2.25e300, std::numeric_limits<double>::denorm_min(), std::numeric_limits<double>::max(),
        std::numeric_limits<double>::lowest(), inf, -inf, true, false, std::string(), std::string("Обозначение"),
        std::string("a\0b", 3), std::string(100000, 'x'), host::CellError::Null, host::CellError::Div0,
        host::CellError::Value, host::CellError::Ref, host::CellError::Name, host::CellError::Num, host::CellError::NA,
    };
    for (std::size_t i = 0; i < values.size(); ++i) ws->SetLiteral(host::Area{static_cast<int>(i) + 1, 2, static_cast<int>(i) + 1, 2}, values[i]);
    ws->CopyTo(host::ParseAddress("B1:B30"), *ws, 1, 4);  // the copies own their texts
    ws->ClearContents(host::ParseAddress("B1:B30"));
    for (std::size_t i = 0; i < values.size(); ++i) {
        const host::Value got = ws->Content(static_cast<int>(i) + 1, 4).value;
        EXPECT_EQ(got, values[i]) << "row " << i + 1;
        if (auto* d = std::get_if<double>(&values[i])) {
            EXPECT_EQ(std::signbit(*d), std::signbit(std::get<double>(got))) << "row " << i + 1;
        }
    }
    EXPECT_TRUE(host::IsEmpty(ws->Content(1, 2).value)) << "cleared";
    EXPECT_TRUE(host::IsEmpty(ws->Content(static_cast<int>(values.size()) + 1, 4).value)) << "an empty cell is not an empty text";
    EXPECT_FALSE(host::IsEmpty(ws->Content(12, 4).value)) << "an empty text is a value";
}

TEST(CellValues, NotANumberStaysANumber) {
    model::ModelApplication app(std::make_shared<model::ScriptedUi>());
    auto ws = app.NewWorkbook()->ModelSheet(1);
    ws->SetLiteral(host::Area{1, 1, 1, 1}, std::numeric_limits<double>::quiet_NaN());
    ws->SetLiteral(host::Area{2, 1, 2, 1}, -std::numeric_limits<double>::quiet_NaN());
    for (int r : {1, 2}) {
        const host::Value v = ws->Content(r, 1).value;
        ASSERT_TRUE(std::holds_alternative<double>(v));
        EXPECT_TRUE(std::isnan(std::get<double>(v)));
    }
}

TEST(CellValues, FormulaKeepsItsCachedValueAndLosesBothWhenCleared) {
    model::ModelApplication app(std::make_shared<model::ScriptedUi>());
    auto ws = app.NewWorkbook()->ModelSheet(1);
    ws->SetFormula(1, 1, "=FOO()", std::string("cached"));  // an unknown function shows the cached value
    ws->RangeAt("A1").Interior().Color(host::Color::Rgb(0xFF0000));
    EXPECT_EQ(ws->Content(1, 1).formula, "=FOO()");
    EXPECT_EQ(ws->CellText(1, 1), "cached");
    ws->ClearContents(host::ParseAddress("A1"));
    EXPECT_EQ(ws->Content(1, 1).formula, "");
    EXPECT_TRUE(host::IsEmpty(ws->Content(1, 1).value));
    EXPECT_EQ(ws->CellStyle(1, 1).fill, host::Color::Rgb(0xFF0000)) << "the style stays";
}

}  // namespace
}  // namespace ormelin::test
