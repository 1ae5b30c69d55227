// Print areas of sheets whose names hold what a reference must quote: a comma,
// an apostrophe, "!" and a space. They stay as they were through many saves in
// place and through LibreOffice; a print area that is no range of its own sheet
// is named in the load report.
#include "xlsx/xlsx_fixture.hpp"

namespace ormelin::xlsx::testing {
namespace {

/// Sheet names with the print areas given them, as the spreadsheet's text.
const std::vector<std::pair<std::string, std::string>> kSheets = {
    {"a,b", "$A$1:$C$5"},
    {"O'Neil", "$A:$Z,$1:$3"},
    {"x!y", "$A$1:$C$5,$E$1:$F$2"},
    {"Лист 1", "$B$2"},
};

std::shared_ptr<model::ModelWorkbook> BookOfAwkwardNames(model::ModelApplication& app) {
    auto book = app.NewWorkbook();
    for (std::size_t i = 0; i < kSheets.size(); ++i) {
        auto ws = i == 0 ? book->ModelSheet(1) : book->ModelSheet(book->Add(nullptr, nullptr)->Index());
        ws->Name(kSheets[i].first);
        ws->SetLiteral(Area{1, 1, 1, 1}, kSheets[i].first);
        ws->Page().printArea = kSheets[i].second;
    }
    return book;
}

std::string DefinedNames(const std::string& path) {
    Parts parts = ReadParts(path);
    const std::string& book = Part(parts, "xl/workbook.xml");
    const auto begin = book.find("<definedNames>"), end = book.find("</definedNames>");
    if (begin == std::string::npos || end == std::string::npos) return {};
    return book.substr(begin, end - begin);
}

void ExpectPrintAreas(const model::ModelWorkbook& book, const std::string& when) {
    ASSERT_EQ(book.Count(), static_cast<int>(kSheets.size())) << when;
    for (std::size_t i = 0; i < kSheets.size(); ++i) {
        auto ws = book.ModelSheet(static_cast<int>(i) + 1);
        EXPECT_EQ(ws->Name(), kSheets[i].first) << when;
        EXPECT_EQ(ws->Page().printArea, kSheets[i].second) << when << ", sheet " << kSheets[i].first;
    }
}

TEST(PrintAreaFile, AwkwardSheetNamesKeepTheirPrintAreasThroughTenSavesInPlace) {
    auto app = MakeApp();
    InstallSaver(*app);
    ScratchDir dir;
    const std::string path = dir / "book.xlsx";
    SaveWorkbook(*BookOfAwkwardNames(*app), path);
    const std::string names = DefinedNames(path);
    for (const char* text : {">'a,b'!$A$1:$C$5<", ">'O''Neil'!$A:$Z,'O''Neil'!$1:$3<",
                             ">'x!y'!$A$1:$C$5,'x!y'!$E$1:$F$2<", ">'Лист 1'!$B$2<"})
        EXPECT_NE(names.find(text), std::string::npos) << text << " is not in " << names;
    for (int save = 1; save <= 10; ++save) {
        LoadReport report;
        auto book = LoadWorkbook(*app, path, &report);
        EXPECT_TRUE(report.empty()) << report.Describe();
        ExpectPrintAreas(*book, "load " + std::to_string(save));
        book->Save();
        app->CloseWorkbook(book);
        ASSERT_EQ(DefinedNames(path), names) << "save " << save;
    }
}

TEST(PrintAreaFile, LibreOfficeKeepsThePrintAreasOfAwkwardSheetNames) {
    if (!HasSoffice()) GTEST_SKIP() << "soffice is not installed";
    auto app = MakeApp();
    ScratchDir dir;
    std::filesystem::create_directories(dir.path() / "in");
    SaveWorkbook(*BookOfAwkwardNames(*app), dir / "in/book.xlsx");
    ASSERT_TRUE(ConvertWithLibreOffice(dir, "book.xlsx")) << ReadFile(dir / "soffice.log");
    LoadReport report;
    auto book = LoadWorkbook(*app, dir / "out/book.xlsx", &report);
    EXPECT_FALSE(report.Has("print areas other than ranges of their own sheet")) << report.Describe();
    ExpectPrintAreas(*book, "after LibreOffice");
    // and what LibreOffice made of them goes back to the same file text as ours
    const std::string ours = dir / "ours.xlsx", again = dir / "again.xlsx";
    SaveWorkbook(*BookOfAwkwardNames(*app), ours);
    SaveWorkbook(*book, again);
    EXPECT_EQ(DefinedNames(again), DefinedNames(ours));
}

// A print area the model cannot hold as ranges of its sheet loads without it and is
// named in the load report, so the command does not write over the file in place.
TEST(PrintAreaFile, APrintAreaThatIsNoRangeOfItsSheetIsReported) {
    auto app = MakeApp();
    ScratchDir dir;
    const std::string good = dir / "good.xlsx";
    SaveWorkbook(*BookOfAwkwardNames(*app), good);
    const Parts saved = ReadParts(good);
    for (const char* other : {"'a,b'!#REF!", "'x!y'!$A$1:$C$5", "a,b!$A$1:$C$5", "'a,b'!Итого"}) {
        Parts parts = saved;
        ReplaceOnce(Part(parts, "xl/workbook.xml"), "'a,b'!$A$1:$C$5", other);
        const std::string path = dir / "other.xlsx";
        WriteParts(path, parts);
        LoadReport report;
        auto book = LoadWorkbook(*app, path, &report);
        EXPECT_TRUE(report.Has("print areas other than ranges of their own sheet")) << other;
        EXPECT_NE(report.Describe().find("xl/workbook.xml"), std::string::npos) << report.Describe();
        EXPECT_TRUE(book->ModelSheet(1)->Page().printArea.empty()) << other;
        EXPECT_EQ(book->ModelSheet(3)->Page().printArea, "$A$1:$C$5,$E$1:$F$2") << other;
    }
    // nor is a print area of no sheet dropped unsaid
    Parts parts = saved;
    ReplaceOnce(Part(parts, "xl/workbook.xml"), "localSheetId=\"3\"", "localSheetId=\"7\"");
    WriteParts(dir / "none.xlsx", parts);
    LoadReport report;
    auto book = LoadWorkbook(*app, dir / "none.xlsx", &report);
    EXPECT_TRUE(report.Has("print areas other than ranges of their own sheet")) << report.Describe();
    EXPECT_TRUE(book->ModelSheet(4)->Page().printArea.empty());
}

}  // namespace
}  // namespace ormelin::xlsx::testing
