// A formed list of purchased products goes through other spreadsheet programs and
// comes back: saved by LibreOffice or by openpyxl, it is still recognised as
// formed, keeps its A3 page setup, and rolls back to exactly its list, even where
// the program rounded the list rows' height (LibreOffice writes 25.5 points).
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "ormelin/kalvora.hpp"
#include "ormelin/xlsx.hpp"
#include "xlsx/xlsx_fixture.hpp"

namespace ormelin::xlsx::testing {
namespace {

bool HasOffice() { return std::system("command -v soffice >/dev/null 2>&1") == 0; }
bool HasOpenpyxl() { return std::system("/usr/bin/python3 -c 'import openpyxl' >/dev/null 2>&1") == 0; }

constexpr int kRows = 60;
constexpr const char* kSheet = "ВП";

/// A workbook with a list of purchased products of kRows rows, texts in its
/// name, supplier and remark columns and numbers in its quantity columns.
std::shared_ptr<model::ModelWorkbook> ListBook(model::ModelApplication& app, Kalvora& k) {
    auto book = app.NewWorkbook();
    std::shared_ptr<host::Worksheet> ws = book->Sheet(1);
    ws->Name(kSheet);
    k.DocumentBlank(ws, ksVPA_OT);
    for (int i = 1; i <= kRows; ++i) {
        const int r = i + 2;
        if (i % 11 == 0) continue;  // an empty row now and then
        ws->SetValue(Area{r, 2, r, 2}, "Изделие " + std::to_string(i));
        ws->SetValue(Area{r, 5, r, 5}, std::string("АО \"Поставщик\""));
        ws->SetValue(Area{r, 7, r, 7}, static_cast<double>(i % 4 + 1));
        if (i % 7 == 0) ws->SetValue(Area{r, 11, r, 11}, std::string("по месту"));
    }
    return book;
}

/// The list's cells B..K of its data rows, as they show.
std::vector<std::string> ListCells(const host::Worksheet& ws) {
    std::vector<std::string> cells;
    for (int r = 3; r <= kRows + 2; ++r)
        for (int c = 2; c <= 11; ++c) cells.push_back(ws.CellText(r, c));
    return cells;
}

/// Saves the book, lets the other program read and write it, and loads its file.
std::shared_ptr<model::ModelWorkbook> ThroughOffice(model::ModelApplication& app, model::ModelWorkbook& book,
                                                    const ScratchDir& dir) {
    fs::create_directories(dir.path() / "in");
    fs::create_directories(dir.path() / "out");
    SaveWorkbook(book, dir / "in/book.xlsx");
    const std::string command = "cd '" + dir.path().string() + "' && HOME='" + dir.path().string() +
                                "' timeout 180 soffice -env:UserInstallation=file://" + dir.path().string() +
                                "/profile --headless --convert-to xlsx --outdir out in/book.xlsx >soffice.log 2>&1";
    if (std::system(command.c_str()) != 0) return nullptr;
    return LoadWorkbook(app, dir / "out/book.xlsx", nullptr);
}

std::shared_ptr<model::ModelWorkbook> ThroughOpenpyxl(model::ModelApplication& app, model::ModelWorkbook& book,
                                                      const ScratchDir& dir) {
    SaveWorkbook(book, dir / "book.xlsx");
    WriteFile(dir / "cycle.py",
              "import openpyxl\nwb = openpyxl.load_workbook('" + (dir / "book.xlsx") + "')\nwb.save('" +
                  (dir / "back.xlsx") + "')\n");
    if (std::system(("/usr/bin/python3 '" + (dir / "cycle.py") + "' >/dev/null 2>&1").c_str()) != 0) return nullptr;
    return LoadWorkbook(app, dir / "back.xlsx", nullptr);
}

using Cycle = std::shared_ptr<model::ModelWorkbook> (*)(model::ModelApplication&, model::ModelWorkbook&,
                                                        const ScratchDir&);

void FormedDocumentComesBack(Cycle cycle) {
    auto app = MakeApp();
    Kalvora k(*app);
    auto book = ListBook(*app, k);
    std::shared_ptr<host::Worksheet> ws = book->Sheet(1);
    const auto list = ListCells(*ws);
    k.Forming(ws, true, true);
    ASSERT_EQ(k.StateOfDocument(ws), ksVPA_OF);

    ScratchDir dir;
    auto back = cycle(*app, *book, dir);
    ASSERT_TRUE(back);
    std::shared_ptr<host::Worksheet> again = back->FindSheet(kSheet);
    ASSERT_TRUE(again);
    again->Activate();
    EXPECT_EQ(k.StateOfDocument(again), ksVPA_OF);
    EXPECT_EQ(again->CellText(33, 44), "4");  // "Листов": three sheets and the registration sheet
    EXPECT_EQ(again->CellText(36, 34), "Ведомость покупных изделий");
    EXPECT_EQ(again->Page().paperSize, 8);
    EXPECT_EQ(again->Page().orientation, host::PageOrientation::Landscape);
    EXPECT_EQ(again->HPageBreaks(), (std::vector<int>{38, 73, 108, 143}));
    k.Otkat(again);
    EXPECT_EQ(k.StateOfDocument(again), ksVPA_OT);
    EXPECT_EQ(ListCells(*again), list);
    EXPECT_TRUE(again->MergedAreas(Area{3, 1, 400, 60}).empty());
    EXPECT_TRUE(again->Text(Area{kRows + 3, 1, 1000, 60}) == std::string());
}

/// A list another program saved is formed and rolled back: its heads, row heights
/// and sheet edge as that program wrote them.
void SavedListIsFormedAndComesBack(Cycle cycle) {
    auto app = MakeApp();
    Kalvora k(*app);
    auto book = ListBook(*app, k);
    const auto list = ListCells(*book->Sheet(1));
    ScratchDir dir;
    auto back = cycle(*app, *book, dir);
    ASSERT_TRUE(back);
    std::shared_ptr<host::Worksheet> ws = back->FindSheet(kSheet);
    ASSERT_TRUE(ws);
    ws->Activate();
    ASSERT_EQ(k.StateOfDocument(ws), ksVPA_OT);
    k.Forming(ws, true, true);
    ASSERT_EQ(k.StateOfDocument(ws), ksVPA_OF);
    EXPECT_EQ(ws->CellText(33, 44), "4");
    k.Otkat(ws);
    EXPECT_EQ(k.StateOfDocument(ws), ksVPA_OT);
    EXPECT_EQ(ListCells(*ws), list);
    EXPECT_TRUE(ws->Text(Area{kRows + 3, 1, 1000, 60}) == std::string());
}

TEST(PurchasedProductsThroughLibreOffice, SavedListIsFormedAndComesBack) {
    if (!HasOffice()) GTEST_SKIP() << "soffice is not installed";
    SavedListIsFormedAndComesBack(ThroughOffice);
}

TEST(PurchasedProductsThroughOpenpyxl, SavedListIsFormedAndComesBack) {
    if (!HasOpenpyxl()) GTEST_SKIP() << "/usr/bin/python3 with openpyxl is not available";
    SavedListIsFormedAndComesBack(ThroughOpenpyxl);
}

TEST(PurchasedProductsThroughLibreOffice, FormedDocumentComesBack) {
    if (!HasOffice()) GTEST_SKIP() << "soffice is not installed";
    FormedDocumentComesBack(ThroughOffice);
}

TEST(PurchasedProductsThroughOpenpyxl, FormedDocumentComesBack) {
    if (!HasOpenpyxl()) GTEST_SKIP() << "/usr/bin/python3 with openpyxl is not available";
    FormedDocumentComesBack(ThroughOpenpyxl);
}

}  // namespace
}  // namespace ormelin::xlsx::testing
