// The streaming writer against the libxlsxwriter one it replaces: both files of
// the same workbook load into the same values, formulas, effective styles,
// merges, geometry, breaks, views and page setup.
#include <cstdlib>
#include <set>

#include "ormelin/kalvora.hpp"
#include "xlsx/common.hpp"
#include "xlsx/xlsx_fixture.hpp"

namespace ormelin::xlsx::testing {
namespace {

using host::Color;
using host::Style;

/// The earlier writer saved fill and border colours given as a colour index as
/// their RGB value, and dropped shrink-to-fit from a style that also wraps; the
/// two are compared by what they show.
Style Shown(Style s) {
    if (s.wrap) s.shrink = false;
    auto rgb = [](Color& c) {
        if (c.kind == Color::Kind::Index) c = Color::Rgb(detail::PaletteRgb(detail::FileIndexOf(static_cast<int>(c.value))));
    };
    rgb(s.fill);
    rgb(s.left.color), rgb(s.top.color), rgb(s.right.color), rgb(s.bottom.color);
    rgb(s.font.color);
    return s;
}

std::string ValueOf(const host::Value& v) {
    return std::visit(
        [](const auto& x) -> std::string {
            using T = std::decay_t<decltype(x)>;
            if constexpr (std::is_same_v<T, std::monostate>) return "<empty>";
            else if constexpr (std::is_same_v<T, std::string>) return "s:" + x;
            else if constexpr (std::is_same_v<T, double>) return "n:" + std::to_string(x);
            else if constexpr (std::is_same_v<T, bool>) return x ? "TRUE" : "FALSE";
            else return std::string("e:") + host::ErrorText(x);
        },
        v);
}

class TwoWriters : public ::testing::Test {
protected:
    std::shared_ptr<model::ModelApplication> app = MakeApp();
    ScratchDir dir;

    void ExpectSameFiles(const model::ModelWorkbook& book) {
        std::string streamed = dir / "streamed.xlsx", legacy = dir / "legacy.xlsx";
        SaveWorkbook(book, streamed);
        detail::SaveWorkbookLegacy(book, legacy);
        LoadReport r1, r2;
        auto a = LoadWorkbook(*app, streamed, &r1);
        auto b = LoadWorkbook(*app, legacy, &r2);
        EXPECT_TRUE(r1.empty()) << r1.Describe();
        ASSERT_EQ(a->Count(), b->Count());
        EXPECT_EQ(a->ActiveSheet()->Name(), b->ActiveSheet()->Name());
        for (int i = 1; i <= a->Count(); ++i) {
            auto x = a->ModelSheet(i), y = b->ModelSheet(i);
            SCOPED_TRACE("sheet " + x->Name());
            EXPECT_EQ(x->Name(), y->Name());
            std::set<std::pair<int, int>> cells;
            for (auto* s : {x.get(), y.get()})
                s->ForEachCell([&](int r, int c, const CellContent&, model::StyleId) { cells.emplace(r, c); });
            int lastRow = 1;
            for (auto [r, c] : cells) {
                lastRow = std::max(lastRow, r);
                CellContent cx = x->Content(r, c), cy = y->Content(r, c);
                ASSERT_EQ(ValueOf(cx.value), ValueOf(cy.value)) << host::ColumnLetters(c) << r;
                ASSERT_EQ(cx.formula, cy.formula) << host::ColumnLetters(c) << r;
                ASSERT_TRUE(Shown(x->CellStyle(r, c)) == Shown(y->CellStyle(r, c))) << host::ColumnLetters(c) << r;
            }
            for (int r = 1; r <= lastRow + 2; ++r) ASSERT_DOUBLE_EQ(x->RowHeight(r), y->RowHeight(r)) << "row " << r;
            for (int c = 1; c <= 60; ++c) ASSERT_DOUBLE_EQ(x->ColumnWidth(c), y->ColumnWidth(c)) << "column " << c;
            EXPECT_DOUBLE_EQ(x->StandardHeight(), y->StandardHeight());
            Area all{1, 1, host::kMaxRows, host::kMaxColumns};
            EXPECT_EQ(x->MergedAreas(all), y->MergedAreas(all));
            EXPECT_EQ(x->HPageBreaks(), y->HPageBreaks());
            EXPECT_EQ(x->View(), y->View());
            EXPECT_EQ(x->Page(), y->Page());
            // A link without text of its own: the earlier writer gave it its
            // location as text, the streaming one leaves it its cell's text.
            auto lx = x->Hyperlinks(), ly = y->Hyperlinks();
            ASSERT_EQ(lx.size(), ly.size());
            for (std::size_t k = 0; k < lx.size(); ++k) {
                lx[k].textToDisplay = ly[k].textToDisplay;
                EXPECT_EQ(lx[k], ly[k]);
            }
        }
    }
};

TEST_F(TwoWriters, SampleWorkbook) { ExpectSameFiles(*SampleWorkbook(*app)); }

TEST_F(TwoWriters, FormedSpecificationLists) {
    for (int rows : {40, 700}) {
        SCOPED_TRACE(std::to_string(rows) + " rows");
        auto k = Kalvora::Create(*app);
        auto book = app->NewWorkbook();
        std::shared_ptr<host::Worksheet> ws = book->Sheet(1);
        k->SPA_Blank(ws);
        for (int i = 1; i <= rows; ++i) {
            if (i % 7 == 0) continue;
            ws->SetValue(Area{i + 1, 1, i + 1, 1}, std::string("А4"));
            ws->SetValue(Area{i + 1, 4, i + 1, 4}, "АБВГ.301234." + std::to_string(100 + i));
            ws->SetValue(Area{i + 1, 5, i + 1, 5}, "Резистор С2-33Н-0,25-" + std::to_string(i) + " кОм");
            ws->SetValue(Area{i + 1, 6, i + 1, 6}, static_cast<double>(i % 5 + 1));
        }
        k->Forming(ws, true, false);
        ExpectSameFiles(*book);
    }
}

TEST_F(TwoWriters, DemoWorkbooks) {
    std::string demo = dir / "demo";
    std::string command = std::string("'") + ORMELIN_BINARY_DIR + "/ormelin' demo '" + demo + "' >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    int files = 0;
    for (const auto& entry : fs::directory_iterator(demo)) {
        if (entry.path().extension() != ".xlsx") continue;
        SCOPED_TRACE(entry.path().filename().string());
        ++files;
        ExpectSameFiles(*LoadWorkbook(*app, entry.path().string(), nullptr));
    }
    EXPECT_GT(files, 0);
}

}  // namespace
}  // namespace ormelin::xlsx::testing
