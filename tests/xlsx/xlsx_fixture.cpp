#include "xlsx/xlsx_fixture.hpp"

#include "ormelin/rich_text.hpp"

#include <set>

namespace ormelin::xlsx::testing {

using host::BorderWeight;
using host::Color;
using host::Edge;
using host::FormatPatch;
using host::LineStyle;

namespace {

FormatPatch Font(const std::string& name, double size, bool italic) {
    FormatPatch p;
    p.fontName = name;
    p.fontSize = size;
    p.italic = italic;
    return p;
}

void Line(FormatPatch& p, Edge e, LineStyle style, BorderWeight weight) {
    auto& b = p.borders[static_cast<std::size_t>(e)];
    b.style = style;
    b.weight = weight;
}

}  // namespace

std::shared_ptr<model::ModelWorkbook> SampleWorkbook(model::ModelApplication& app) {
    auto book = app.NewWorkbook();
    auto list = book->ModelSheet(1);
    list->Name("список");
    auto doc = std::static_pointer_cast<model::ModelWorksheet>(book->Add(nullptr, list.get()));
    doc->Name("Лист 2");
    auto whole = std::static_pointer_cast<model::ModelWorksheet>(book->Add(nullptr, doc.get()));
    whole->Name("Весь лист");

    // Register sheet: plain values of every kind.
    list->SetLiteral(Area{1, 1, 1, 1}, std::string("Обозначение"));
    list->SetLiteral(Area{1, 2, 1, 2}, std::string("Строка с переводом\nстроки и  пробелами "));
    list->SetLiteral(Area{2, 1, 2, 1}, 1.5);
    list->SetLiteral(Area{2, 2, 2, 2}, -2.25e20);
    list->SetLiteral(Area{2, 3, 2, 3}, true);
    list->SetLiteral(Area{2, 4, 2, 4}, false);
    list->SetLiteral(Area{2, 5, 2, 5}, host::CellError::NA);
    list->SetLiteral(Area{2, 6, 2, 6}, host::CellError::Div0);
    list->SetLiteral(Area{3, 1, 3, 1}, std::string("=не формула"));
    list->SetLiteral(Area{3, 2, 3, 2}, std::string("Повтор"));
    list->SetLiteral(Area{3, 3, 3, 3}, std::string("Повтор"));

    // The document sheet: formulas, formats, geometry, merges, links, page, view.
    doc->SetFormula(1, 1, "=список!R1C1", std::string("Обозначение"));
    doc->SetFormula(1, 2, "=R[1]C[-1]*2", 3.0);
    doc->SetLiteral(Area{2, 1, 2, 1}, 1.5);
    doc->SetFormula(2, 2, "=IF(список!R2C3,\"да\",\"\")", std::string("да"));
    doc->SetFormula(2, 3, "=IF(R1C1=\"\",\"\",R1C1&\" \"&список!R1C2)", std::string(""));
    doc->SetFormula(2, 4, "=SUM(R1C1:R2C2)", 4.5);
    doc->SetFormula(2, 5, "=1/0", host::CellError::Div0);

    FormatPatch base = Font("ISOCPEUR", 14, true);
    base.horizontal = host::HAlign::Center;
    base.vertical = host::VAlign::Center;
    base.fontColor = Color::Rgb(0);
    doc->Format(Area{1, 1, 30, 12}, base);

    FormatPatch up;
    up.orientation = 90;
    doc->Format(Area{3, 1, 3, 1}, up);
    FormatPatch down;
    down.orientation = -90;
    down.vertical = host::VAlign::Bottom;
    doc->Format(Area{3, 2, 3, 2}, down);
    doc->SetLiteral(Area{3, 1, 3, 1}, std::string("№ строки"));
    doc->SetLiteral(Area{3, 2, 3, 2}, std::string("Формат"));

    FormatPatch text;
    text.numberFormat = std::string("@");
    text.wrap = true;
    text.horizontal = host::HAlign::Left;
    text.indent = 2;
    text.readingOrder = host::ReadingOrder::RightToLeft;
    doc->Format(Area{4, 1, 4, 2}, text);
    doc->SetLiteral(Area{4, 1, 4, 1}, std::string("=R1C1 как текст"));

    FormatPatch fancy;
    fancy.numberFormat = std::string("0.00");
    fancy.shrink = true;
    fancy.bold = true;
    fancy.underline = host::Underline::Double;
    fancy.fontColor = Color::Index(3);
    fancy.fill = Color::Rgb(0xFFFF99);
    fancy.vertical = host::VAlign::Top;
    doc->Format(Area{5, 3, 5, 4}, fancy);
    doc->SetLiteral(Area{5, 3, 5, 3}, 2.0);

    FormatPatch frame;
    Line(frame, Edge::Left, LineStyle::Continuous, BorderWeight::Medium);
    Line(frame, Edge::Top, LineStyle::Continuous, BorderWeight::Thick);
    Line(frame, Edge::Bottom, LineStyle::Continuous, BorderWeight::Thin);
    Line(frame, Edge::Right, LineStyle::Dash, BorderWeight::Thin);
    Line(frame, Edge::InsideVertical, LineStyle::Continuous, BorderWeight::Hairline);
    Line(frame, Edge::InsideHorizontal, LineStyle::Dot, BorderWeight::Thin);
    frame.borders[static_cast<std::size_t>(Edge::Top)].color = Color::Rgb(0x1F497D);
    doc->Format(Area{6, 1, 8, 3}, frame);

    doc->StandardHeight(26);
    doc->RowHeight(1, 1, 43);
    doc->RowHeight(2, 5, 26);
    doc->RowHeight(9, 9, 15);
    doc->RowHeight(10, 10, 0);
    doc->RowHeight(11, 11, 8.25);
    doc->ColumnWidth(1, 1, 3);
    doc->ColumnWidth(2, 3, 1.57);
    doc->ColumnWidth(4, 4, 20.71);
    doc->ColumnWidth(6, 6, 0);
    doc->ColumnWidth(7, 7, 0.5);

    FormatPatch rowFormat = Font("Arial", 8, false);
    doc->Format(Area{12, 1, 12, host::kMaxColumns}, rowFormat);
    doc->SetLiteral(Area{12, 2, 12, 2}, std::string("в отформатированной строке"));
    FormatPatch columnFormat;
    columnFormat.horizontal = host::HAlign::Right;
    columnFormat.fill = Color::Rgb(0xCCFFCC);
    doc->Format(Area{1, 15, host::kMaxRows, 15}, columnFormat);
    doc->SetLiteral(Area{40, 15, 40, 15}, 7.0);

    doc->Merge(Area{13, 1, 14, 2});
    doc->Merge(Area{13, 3, 13, 5});
    doc->SetLiteral(Area{13, 1, 13, 1}, std::string("Объединено"));

    doc->SetLiteral(Area{1, 7, 1, 7}, std::string("список"));
    doc->AddHyperlink(host::Hyperlink{Area{1, 7, 1, 7}, "", "'список'!A1", "список", ""});
    doc->SetLiteral(Area{1, 8, 1, 8}, std::string("сайт"));
    doc->AddHyperlink(host::Hyperlink{Area{1, 8, 1, 8}, "https://example.com/a", "", "сайт", "подсказка"});

    host::PageSetup& page = doc->Page();
    page.printArea = "$A:$Z";
    page.leftMargin = page.rightMargin = page.topMargin = page.bottomMargin = 0;
    page.headerMargin = 0.2 * 72;
    page.centerHorizontally = page.centerVertically = true;
    page.orientation = host::PageOrientation::Landscape;
    page.paperSize = 8;
    page.zoom = 98;
    doc->AddHPageBreak(37);
    doc->AddHPageBreak(73);

    host::SheetView& view = doc->View();
    view.view = host::ViewMode::PageBreakPreview;
    view.frozenRows = 2;
    view.displayZeros = false;
    view.displayGridlines = false;
    view.zoom = 85;
    view.selection = Area{5, 2, 6, 3};

    // A sheet formatted as a whole, with one column and one row of their own.
    whole->Format(Area{1, 1, host::kMaxRows, host::kMaxColumns}, Font("ISOCPEUR", 12, true));
    FormatPatch bold;
    bold.bold = true;
    whole->Format(Area{1, 3, host::kMaxRows, 3}, bold);
    whole->ColumnWidth(2, 2, 30.71);
    whole->RowHeight(4, 4, 20);
    whole->SetLiteral(Area{2, 2, 2, 2}, std::string("текст"));
    whole->View().view = host::ViewMode::PageLayout;

    doc->Activate();
    return book;
}

namespace {

struct CellView {
    CellContent content;
    host::Style style;
};

std::map<std::pair<int, int>, CellView> Cells(const model::ModelWorksheet& sheet) {
    std::map<std::pair<int, int>, CellView> cells;
    sheet.ForEachCell([&](int row, int column, const CellContent& content, model::StyleId) {
        cells[{row, column}] = CellView{content, sheet.CellStyle(row, column)};
    });
    return cells;
}

std::string ValueText(const host::Value& v) {
    return std::visit(
        [](const auto& x) -> std::string {
            using T = std::decay_t<decltype(x)>;
            if constexpr (std::is_same_v<T, std::monostate>) return "(empty)";
            else if constexpr (std::is_same_v<T, std::string>) return "\"" + x + "\"";
            else if constexpr (std::is_same_v<T, double>) return std::to_string(x);
            else if constexpr (std::is_same_v<T, bool>) return x ? "TRUE" : "FALSE";
            else return host::ErrorText(x);
        },
        v);
}

}  // namespace

void ExpectSameWorkbook(const model::ModelWorkbook& expected, const model::ModelWorkbook& actual) {
    ASSERT_EQ(expected.Count(), actual.Count());
    EXPECT_EQ(expected.ActiveSheet()->Name(), actual.ActiveSheet()->Name());
    for (int i = 1; i <= expected.Count(); ++i) {
        auto e = expected.ModelSheet(i);
        auto a = actual.ModelSheet(i);
        SCOPED_TRACE("sheet " + e->Name());
        EXPECT_EQ(e->Name(), a->Name());

        auto ec = Cells(*e), ac = Cells(*a);
        std::set<std::pair<int, int>> keys;
        for (const auto& [k, v] : ec) keys.insert(k);
        for (const auto& [k, v] : ac) keys.insert(k);
        for (const auto& k : keys) {
            SCOPED_TRACE("cell " + host::ColumnLetters(k.second) + std::to_string(k.first));
            CellContent ee = e->Content(k.first, k.second), aa = a->Content(k.first, k.second);
            EXPECT_EQ(ValueText(ee.value), ValueText(aa.value));
            EXPECT_EQ(ee.formula, aa.formula);
            EXPECT_EQ(ee.runs == nullptr, aa.runs == nullptr) << "formatted runs";
            if (ee.runs && aa.runs) {
                EXPECT_TRUE(*ee.runs == *aa.runs) << "formatted runs";
            }
            EXPECT_TRUE(e->CellStyle(k.first, k.second) == a->CellStyle(k.first, k.second));
        }
        // Effective formats and geometry over a grid that covers every record.
        for (int r = 1; r <= 80; ++r) {
            EXPECT_DOUBLE_EQ(e->RowHeight(r), a->RowHeight(r)) << "row " << r;
            for (int c : {1, 2, 3, 5, 8, 15, 16, 200})
                EXPECT_TRUE(e->CellStyle(r, c) == a->CellStyle(r, c)) << "style of R" << r << "C" << c;
        }
        for (int c : {1, 2, 3, 4, 5, 6, 7, 8, 15, 16, 300, host::kMaxColumns})
            EXPECT_NEAR(e->ColumnWidth(c), a->ColumnWidth(c), 1e-9) << "column " << c;
        EXPECT_DOUBLE_EQ(e->StandardHeight(), a->StandardHeight());
        EXPECT_TRUE(e->CellStyle(host::kMaxRows, host::kMaxColumns) == a->CellStyle(host::kMaxRows, host::kMaxColumns));

        Area all{1, 1, host::kMaxRows, host::kMaxColumns};
        EXPECT_EQ(e->MergedAreas(all), a->MergedAreas(all));
        auto el = e->Hyperlinks(), al = a->Hyperlinks();
        ASSERT_EQ(el.size(), al.size());
        for (std::size_t k = 0; k < el.size(); ++k) {
            EXPECT_EQ(host::AddressOf(el[k].anchor), host::AddressOf(al[k].anchor));
            EXPECT_EQ(el[k].address, al[k].address);
            EXPECT_EQ(el[k].subAddress, al[k].subAddress);
            EXPECT_EQ(el[k].textToDisplay, al[k].textToDisplay);
            EXPECT_EQ(el[k].screenTip, al[k].screenTip);
        }
        EXPECT_EQ(e->Page(), a->Page());
        EXPECT_EQ(e->HPageBreaks(), a->HPageBreaks());
        EXPECT_EQ(e->View(), a->View());
    }
}

}  // namespace ormelin::xlsx::testing
