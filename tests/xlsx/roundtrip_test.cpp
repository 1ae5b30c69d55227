// Saving a model workbook and loading the file back keeps what the model holds.
#include <pugixml.hpp>

#include "xlsx/common.hpp"
#include "xlsx/xlsx_fixture.hpp"

namespace ormelin::xlsx::testing {
namespace {

using host::Color;

class RoundTrip : public ::testing::Test {
protected:
    std::shared_ptr<model::ModelApplication> app = MakeApp();
    ScratchDir dir;

    std::shared_ptr<model::ModelWorkbook> SaveAndLoad(const model::ModelWorkbook& book, LoadReport* report = nullptr) {
        std::string path = dir / "book.xlsx";
        SaveWorkbook(book, path);
        return LoadWorkbook(*app, path, report);
    }
};

TEST_F(RoundTrip, KeepsEverythingTheModelHolds) {
    auto book = SampleWorkbook(*app);
    LoadReport report;
    auto loaded = SaveAndLoad(*book, &report);
    EXPECT_TRUE(report.empty()) << report.Describe();
    ExpectSameWorkbook(*book, *loaded);
}

TEST_F(RoundTrip, SecondGenerationIsTheSame) {
    auto book = SampleWorkbook(*app);
    auto first = SaveAndLoad(*book);
    auto second = SaveAndLoad(*first);
    ExpectSameWorkbook(*book, *second);
}

TEST_F(RoundTrip, SpotChecksOfTheLoadedWorkbook) {
    auto loaded = SaveAndLoad(*SampleWorkbook(*app));
    auto doc = loaded->ModelSheet(2);
    ASSERT_EQ(doc->Name(), "Лист 2");
    EXPECT_EQ(loaded->ActiveSheet()->Name(), "Лист 2");
    EXPECT_EQ(doc->Content(1, 1).formula, "=список!R1C1");
    EXPECT_EQ(std::get<std::string>(doc->Content(1, 1).value), "Обозначение");
    EXPECT_EQ(doc->Content(2, 5).formula, "=1/0");
    EXPECT_EQ(std::get<host::CellError>(doc->Content(2, 5).value), host::CellError::Div0);
    EXPECT_EQ(doc->CellStyle(3, 2).orientation, -90);
    EXPECT_EQ(doc->CellStyle(3, 1).orientation, 90);
    EXPECT_EQ(doc->CellStyle(1, 1).font.name, "ISOCPEUR");
    EXPECT_EQ(doc->CellStyle(1, 1).font.color, Color::Rgb(0));
    EXPECT_EQ(doc->CellStyle(5, 3).font.color, Color::Index(3));
    EXPECT_DOUBLE_EQ(doc->RowHeight(1), 43);
    EXPECT_DOUBLE_EQ(doc->RowHeight(9), 15);
    EXPECT_DOUBLE_EQ(doc->RowHeight(10), 0);
    EXPECT_DOUBLE_EQ(doc->RowHeight(20), 26);
    EXPECT_NEAR(doc->ColumnWidth(2), 1.57, 1e-9);
    EXPECT_EQ(doc->HPageBreaks(), (std::vector<int>{37, 73}));
    EXPECT_EQ(doc->View().view, host::ViewMode::PageBreakPreview);
    EXPECT_EQ(doc->View().frozenRows, 2);
    EXPECT_EQ(doc->Page().printArea, "$A:$Z");
    EXPECT_DOUBLE_EQ(doc->Page().leftMargin, 0);
    EXPECT_EQ(doc->Page().orientation, host::PageOrientation::Landscape);

    auto list = loaded->ModelSheet(1);
    EXPECT_EQ(std::get<std::string>(list->Content(3, 1).value), "=не формула");
    EXPECT_TRUE(list->Content(3, 1).formula.empty());
    EXPECT_EQ(std::get<host::CellError>(list->Content(2, 5).value), host::CellError::NA);
    EXPECT_TRUE(list->Content(2, 5).formula.empty());
}

TEST_F(RoundTrip, FileUsesTheFileFormsOfModelValues) {
    std::string path = dir / "book.xlsx";
    SaveWorkbook(*SampleWorkbook(*app), path);
    auto parts = ReadParts(path);
    const std::string& sheet = Part(parts, "xl/worksheets/sheet2.xml");
    // -90 degrees is 180 in the file; a link inside the workbook is a location.
    EXPECT_NE(Part(parts, "xl/styles.xml").find("textRotation=\"180\""), std::string::npos);
    EXPECT_NE(sheet.find("location=\"'список'!A1\""), std::string::npos);
    EXPECT_NE(sheet.find("view=\"pageBreakPreview\""), std::string::npos);
    EXPECT_NE(sheet.find("<brk id=\"36\""), std::string::npos);
    EXPECT_NE(sheet.find("<f>список!$A$1</f>"), std::string::npos);
    EXPECT_NE(sheet.find("left=\"0\""), std::string::npos);
    EXPECT_NE(Part(parts, "xl/workbook.xml").find("_xlnm.Print_Area"), std::string::npos);
    // Every part is well-formed XML.
    for (const auto& [name, bytes] : parts) {
        if (name.size() < 4 || (name.substr(name.size() - 4) != ".xml" && name.substr(name.size() - 5) != ".rels")) continue;
        pugi::xml_document doc;
        EXPECT_TRUE(doc.load_buffer(bytes.data(), bytes.size())) << name;
    }
}

TEST_F(RoundTrip, ColourIndexesOfFillsAndBordersComeBackAsIndexes) {
    auto book = app->NewWorkbook();
    auto sheet = book->ModelSheet(1);
    host::FormatPatch p;
    p.fill = Color::Index(6);  // yellow
    p.borders[0].style = host::LineStyle::Continuous;
    p.borders[0].color = Color::Index(3);  // red
    sheet->Format(Area{1, 1, 1, 1}, p);
    auto loaded = SaveAndLoad(*book);
    EXPECT_EQ(loaded->ModelSheet(1)->CellStyle(1, 1).fill, Color::Index(6));
    EXPECT_EQ(loaded->ModelSheet(1)->CellStyle(1, 1).left.color, Color::Index(3));
}

TEST_F(RoundTrip, EveryLineStyleAndWeightComesBackAsItsFileLine) {
    using host::BorderWeight;
    using host::LineStyle;
    auto book = app->NewWorkbook();
    auto sheet = book->ModelSheet(1);
    int row = 1;
    std::vector<std::tuple<LineStyle, BorderWeight, LineStyle, BorderWeight>> cases = {
        {LineStyle::Continuous, BorderWeight::Hairline, LineStyle::Continuous, BorderWeight::Hairline},
        {LineStyle::Continuous, BorderWeight::Thin, LineStyle::Continuous, BorderWeight::Thin},
        {LineStyle::Continuous, BorderWeight::Medium, LineStyle::Continuous, BorderWeight::Medium},
        {LineStyle::Continuous, BorderWeight::Thick, LineStyle::Continuous, BorderWeight::Thick},
        {LineStyle::Dash, BorderWeight::Thin, LineStyle::Dash, BorderWeight::Thin},
        {LineStyle::Dash, BorderWeight::Medium, LineStyle::Dash, BorderWeight::Medium},
        {LineStyle::Dash, BorderWeight::Thick, LineStyle::Dash, BorderWeight::Medium},
        {LineStyle::DashDot, BorderWeight::Medium, LineStyle::DashDot, BorderWeight::Medium},
        {LineStyle::DashDotDot, BorderWeight::Thin, LineStyle::DashDotDot, BorderWeight::Thin},
        {LineStyle::Dot, BorderWeight::Thin, LineStyle::Dot, BorderWeight::Thin},
        {LineStyle::Double, BorderWeight::Thin, LineStyle::Double, BorderWeight::Thin},
        {LineStyle::Double, BorderWeight::Thick, LineStyle::Double, BorderWeight::Thin},
        {LineStyle::SlantDashDot, BorderWeight::Thin, LineStyle::SlantDashDot, BorderWeight::Thin},
    };
    for (const auto& [style, weight, s2, w2] : cases) {
        host::FormatPatch p;
        p.borders[static_cast<std::size_t>(host::Edge::Bottom)].style = style;
        p.borders[static_cast<std::size_t>(host::Edge::Bottom)].weight = weight;
        sheet->Format(Area{row, 1, row, 1}, p);
        ++row;
    }
    auto loaded = SaveAndLoad(*book)->ModelSheet(1);
    row = 1;
    for (const auto& [style, weight, s2, w2] : cases) {
        const auto& b = loaded->CellStyle(row, 1).bottom;
        EXPECT_EQ(b.style, s2) << "row " << row;
        EXPECT_EQ(b.weight, w2) << "row " << row;
        ++row;
    }
}

TEST_F(RoundTrip, NumberFormatsAndAlignmentsOfEveryKind) {
    auto book = app->NewWorkbook();
    auto sheet = book->ModelSheet(1);
    std::vector<std::string> formats = {"General", "@", "0", "0.00", "#,##0", "dd.mm.yy", "0%", "# ?/?",
                                        "[h]:mm:ss", "\"№\" 0", "0.000E+00"};
    for (std::size_t i = 0; i < formats.size(); ++i) {
        host::FormatPatch p;
        p.numberFormat = formats[i];
        p.horizontal = static_cast<host::HAlign>(i % 8);
        p.vertical = static_cast<host::VAlign>(i % 5);
        p.underline = static_cast<host::Underline>(i % 5);
        sheet->Format(Area{static_cast<int>(i) + 1, 1, static_cast<int>(i) + 1, 1}, p);
        sheet->SetLiteral(Area{static_cast<int>(i) + 1, 1, static_cast<int>(i) + 1, 1}, 0.25);
    }
    auto loaded = SaveAndLoad(*book)->ModelSheet(1);
    for (std::size_t i = 0; i < formats.size(); ++i) {
        const auto& s = loaded->CellStyle(static_cast<int>(i) + 1, 1);
        EXPECT_EQ(s.numberFormat, formats[i]);
        EXPECT_EQ(s.horizontal, static_cast<host::HAlign>(i % 8)) << i;
        EXPECT_EQ(s.vertical, static_cast<host::VAlign>(i % 5)) << i;
        EXPECT_EQ(s.font.underline, static_cast<host::Underline>(i % 5)) << i;
    }
}

TEST_F(RoundTrip, ManyRowsKeepTheirOrderAndSharedStrings) {
    auto book = app->NewWorkbook();
    auto sheet = book->ModelSheet(1);
    for (int r = 1; r <= 3000; ++r) {
        sheet->SetLiteral(Area{r, 1, r, 1}, static_cast<double>(r));
        sheet->SetLiteral(Area{r, 2, r, 2}, std::string(r % 2 ? "нечётная" : "чётная"));
        sheet->SetFormula(r, 3, "=RC[-2]*2", static_cast<double>(2 * r));
    }
    auto loaded = SaveAndLoad(*book)->ModelSheet(1);
    for (int r : {1, 2, 1500, 3000}) {
        EXPECT_DOUBLE_EQ(std::get<double>(loaded->Content(r, 1).value), r);
        EXPECT_EQ(std::get<std::string>(loaded->Content(r, 2).value), r % 2 ? "нечётная" : "чётная");
        EXPECT_EQ(loaded->Content(r, 3).formula, "=RC[-2]*2");
    }
}

TEST_F(RoundTrip, SaverInstalledOnTheApplicationWritesTheFile) {
    InstallSaver(*app);
    auto book = app->NewWorkbook();
    book->ModelSheet(1)->SetLiteral(Area{1, 1, 1, 1}, std::string("через SaveAs"));
    std::string path = dir / "saved as.xlsx";
    book->SaveAs(path);
    auto loaded = LoadWorkbook(*app, path, nullptr);
    EXPECT_EQ(std::get<std::string>(loaded->ModelSheet(1)->Content(1, 1).value), "через SaveAs");
    EXPECT_TRUE(loaded->HasPath());
}

// The sheet's defaults and the document properties of a file come back from a
// save; a workbook that never had them writes the file's own.
TEST_F(RoundTrip, SheetDefaultsComeBackAndColumnsWithoutWidthTakeThem) {
    auto book = app->NewWorkbook();
    auto sheet = book->ModelSheet(1);
    sheet->Defaults().fileColumnWidth = 11.53515625;  // as LibreOffice writes its standard width
    sheet->Defaults().baseColumnWidth = 10;
    sheet->Defaults().customHeight = false;
    sheet->LoadStandardWidth(detail::StandardWidthOf(sheet->Defaults()));
    sheet->StandardHeight(12.8);
    host::FormatPatch bold;
    bold.bold = true;
    sheet->Format(Area{1, 3, host::kMaxRows, 3}, bold);  // column C: a format, no width of its own
    sheet->ColumnWidth(5, 5, 0);                         // column E hidden
    sheet->ColumnWidth(2, 2, 20.71);

    LoadReport report;
    auto loaded = SaveAndLoad(*book, &report);
    EXPECT_TRUE(report.empty()) << report.Describe();
    auto back = loaded->ModelSheet(1);
    EXPECT_EQ(back->Defaults(), sheet->Defaults());
    EXPECT_DOUBLE_EQ(back->StandardHeight(), 12.8);
    EXPECT_DOUBLE_EQ(back->ColumnWidth(1), 10.86);  // 81 pixels
    EXPECT_DOUBLE_EQ(back->ColumnWidth(3), 10.86);
    EXPECT_DOUBLE_EQ(back->ColumnWidth(2), 20.71);
    EXPECT_DOUBLE_EQ(back->ColumnWidth(5), 0);
    EXPECT_TRUE(back->CellStyle(7, 3).font.bold);
    for (const auto& c : back->Columns()) {
        if (c.first <= 3 && c.last >= 3) {
            EXPECT_LT(c.width, 0) << "column C came back with a width of its own";
        }
    }

    // The file states them as it was given them.
    std::string xml = [&] {
        for (auto& [name, bytes] : ReadParts(dir / "book.xlsx"))
            if (name == "xl/worksheets/sheet1.xml") return bytes;
        return std::string();
    }();
    EXPECT_NE(xml.find("<sheetFormatPr baseColWidth=\"10\" defaultColWidth=\"11.53515625\" defaultRowHeight=\"12.8\"/>"),
              std::string::npos) << xml;
    EXPECT_NE(xml.find("<col min=\"3\" max=\"3\" width=\"11.53515625\" style="), std::string::npos) << xml;
}

TEST_F(RoundTrip, WorkbookWithoutFileDefaultsKeepsTheStandardOnes) {
    auto book = app->NewWorkbook();
    auto sheet = book->ModelSheet(1);
    host::FormatPatch bold;
    bold.bold = true;
    sheet->Format(Area{1, 3, host::kMaxRows, 3}, bold);
    auto back = SaveAndLoad(*book)->ModelSheet(1);
    EXPECT_DOUBLE_EQ(back->StandardWidth(), 8.43);
    EXPECT_DOUBLE_EQ(back->ColumnWidth(3), 8.43);
    EXPECT_EQ(back->Defaults().fileColumnWidth, -1);
    EXPECT_EQ(back->Defaults().baseColumnWidth, 8);
    EXPECT_FALSE(back->Defaults().customHeight.value_or(true));
    auto parts = ReadParts(dir / "book.xlsx");
    for (auto& [name, bytes] : parts) {
        if (name == "xl/worksheets/sheet1.xml") {
            EXPECT_NE(bytes.find("<sheetFormatPr defaultRowHeight=\"15\"/>"), std::string::npos) << bytes;
            EXPECT_NE(bytes.find("<col min=\"3\" max=\"3\" width=\"9.140625\""), std::string::npos) << bytes;
        }
        if (name == "docProps/app.xml") {
            EXPECT_NE(bytes.find("<Application>Microsoft Excel</Application>"), std::string::npos);
        }
        EXPECT_NE(name, "docProps/custom.xml");
    }
}

TEST_F(RoundTrip, DocumentPropertiesAreWrittenBackAsTheyWereRead) {
    const std::string core =
        "<cp:coreProperties xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/metadata/core-properties\" "
        "xmlns:dc=\"http://purl.org/dc/elements/1.1/\"><dc:title>Перечень &amp; ведомость</dc:title>"
        "<dc:creator>Иванов</dc:creator></cp:coreProperties>";
    const std::string appXml =
        "<Properties xmlns=\"http://schemas.openxmlformats.org/officeDocument/2006/extended-properties\">"
        "<Application>LibreOffice/7.4</Application></Properties>";
    const std::string custom =
        "<Properties xmlns=\"http://schemas.openxmlformats.org/officeDocument/2006/custom-properties\" "
        "xmlns:vt=\"http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes\">"
        "<property fmtid=\"{D5CDD505-2E9C-101B-9397-08002B2CF9AE}\" pid=\"2\" name=\"Шифр\"><vt:lpwstr>АБВГ</vt:lpwstr>"
        "</property></Properties>";
    auto book = app->NewWorkbook();
    book->Properties() = {core, appXml, custom};
    LoadReport report;
    auto loaded = SaveAndLoad(*book, &report);
    EXPECT_TRUE(report.empty()) << report.Describe();
    EXPECT_EQ(loaded->Properties().core, core);
    EXPECT_EQ(loaded->Properties().app, appXml);
    EXPECT_EQ(loaded->Properties().custom, custom);
    bool typed = false;
    for (auto& [name, bytes] : ReadParts(dir / "book.xlsx")) {
        if (name == "[Content_Types].xml")
            typed = bytes.find("/docProps/custom.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.custom-properties+xml\"") != std::string::npos;
        if (name == "docProps/custom.xml") {
            EXPECT_EQ(bytes.substr(bytes.find('\n') + 1), custom);
        }
    }
    EXPECT_TRUE(typed);
}

TEST(FormulaText, FileSideHasNoEqualsSign) {
    EXPECT_EQ(detail::ToA1("=список!R1C1", 5, 5), "список!$A$1");
    EXPECT_EQ(detail::ToA1("=R[-1]C&\"x\"", 2, 1), "A1&\"x\"");
    EXPECT_EQ(detail::ToR1C1("A1&\"x\"", 2, 1), "=R[-1]C&\"x\"");
    EXPECT_EQ(detail::ToR1C1("'Лист 2'!B2", 1, 1), "='Лист 2'!R[1]C[1]");
}

TEST(ColumnWidths, FileWidthsReadAsCharacters) {
    EXPECT_DOUBLE_EQ(detail::CharactersFromFileWidth(3.7109375), 3);       // the writer's 3
    EXPECT_DOUBLE_EQ(detail::CharactersFromFileWidth(9.140625), 8.43);     // the standard width
    EXPECT_DOUBLE_EQ(detail::CharactersFromFileWidth(0.85546875), 0.5);
    EXPECT_DOUBLE_EQ(detail::CharactersFromFileWidth(10), 9.29);           // a width as openpyxl writes it
    EXPECT_DOUBLE_EQ(detail::CharactersFromFileWidth(0), 0);
}

TEST(ColumnWidths, StandardWidthOfTheFilesDefaults) {
    model::SheetDefaults defaults;
    EXPECT_DOUBLE_EQ(detail::StandardWidthOf(defaults), 8.43);  // no defaults given
    defaults.baseColumnWidth = 10;
    EXPECT_DOUBLE_EQ(detail::StandardWidthOf(defaults), 10.71);  // as the desktop spreadsheet shows base 10
    defaults.fileColumnWidth = 11.53515625;
    EXPECT_DOUBLE_EQ(detail::StandardWidthOf(defaults), 10.86);  // LibreOffice's standard width, 81 pixels
    defaults.fileColumnWidth = 12;
    EXPECT_DOUBLE_EQ(detail::StandardWidthOf(defaults), 11.29);  // a default as openpyxl writes it
}

}  // namespace
}  // namespace ormelin::xlsx::testing
