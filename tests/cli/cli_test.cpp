// The command, run as a user runs it: exit statuses, what it prints, and what it
// writes (or leaves untouched).
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "cli/command_fixture.hpp"
#include "forming/keep_together.hpp"
#include "ormelin/model.hpp"
#include "ormelin/xlsx.hpp"

namespace fs = std::filesystem;

namespace {

using ormelin::testing_support::Bytes;
using ormelin::testing_support::Outcome;
using ormelin::testing_support::Quote;

class Cli : public ormelin::testing_support::CommandTest {};

TEST_F(Cli, UsageErrorsExitWithTwo) {
    EXPECT_EQ(Ormelin("").status, 2);
    EXPECT_EQ(Ormelin("bogus").status, 2);
    EXPECT_EQ(Ormelin("state").status, 2);                      // BOOK missing
    Outcome r = Ormelin("new " + Quote(Path("a.xlsx")) + " xyz");  // unknown kind
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("xyz"), std::string::npos);
    EXPECT_FALSE(fs::exists(Path("a.xlsx")));
}

TEST_F(Cli, HelpAndVersionSucceed) {
    Outcome h = Ormelin("--help");
    EXPECT_EQ(h.status, 0);
    for (const char* word : {"new", "blank", "state", "insert-row", "form", "rollback", "attrs", "delete", "pdf", "demo",
                             "Exit status"}) {
        EXPECT_NE(h.out.find(word), std::string::npos) << word;
    }
    Outcome v = Ormelin("--version");
    EXPECT_EQ(v.status, 0);
    EXPECT_NE(v.out.find("ormelin"), std::string::npos);
}

TEST_F(Cli, MissingOrDamagedWorkbookExitsWithThreeAndNamesIt) {
    Outcome missing = Ormelin("state " + Quote(Path("none.xlsx")));
    EXPECT_EQ(missing.status, 3);
    EXPECT_NE(missing.err.find("none.xlsx"), std::string::npos);

    std::ofstream(Path("bad.xlsx"), std::ios::binary) << "PK\x03\x04 this is not a zip archive";
    std::string before = Bytes(Path("bad.xlsx"));
    Outcome bad = Ormelin("blank " + Quote(Path("bad.xlsx")) + " Лист1 spa");
    EXPECT_EQ(bad.status, 3);
    EXPECT_NE(bad.err.find("bad.xlsx"), std::string::npos);
    EXPECT_EQ(Bytes(Path("bad.xlsx")), before);
}

/// A workbook with one empty sheet "Лист1", written through the file layer.
std::string MakeBook(const std::string& path) {
    auto ui = std::make_shared<ormelin::model::ScriptedUi>();
    ormelin::model::ModelApplication app(ui);
    auto book = app.NewWorkbook();
    ormelin::xlsx::SaveWorkbook(*book, path);
    return path;
}

TEST_F(Cli, BlankThenStateReportsTheList) {
    std::string book = MakeBook(Path("b.xlsx"));
    Outcome r = Ormelin("blank " + Quote(book) + " Лист1 spa");
    ASSERT_EQ(r.status, 0) << r.err;
    Outcome s = Ormelin("state " + Quote(book));
    EXPECT_EQ(s.status, 0) << s.err;
    EXPECT_EQ(s.out, "Лист1\t1\tksSPA_OT\n");

    Outcome one = Ormelin("state " + Quote(book) + " Лист1");
    EXPECT_EQ(one.out, "Лист1\t1\tksSPA_OT\n");

    Outcome pe = Ormelin("blank " + Quote(book) + " Лист1 pe");
    ASSERT_EQ(pe.status, 0) << pe.err;
    EXPECT_EQ(Ormelin("state " + Quote(book)).out, "Лист1\t5\tksPE_OT_1\n");
}

TEST_F(Cli, FailedOperationWritesNothing) {
    std::string book = MakeBook(Path("c.xlsx"));
    std::string before = Bytes(book);
    Outcome r = Ormelin("blank " + Quote(book) + " НетТакого spa");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("НетТакого"), std::string::npos);
    EXPECT_EQ(Bytes(book), before);
}

TEST_F(Cli, OutputOptionLeavesTheBookAlone) {
    std::string book = MakeBook(Path("d.xlsx"));
    std::string before = Bytes(book);
    Outcome r = Ormelin("blank " + Quote(book) + " Лист1 vn -o " + Quote(Path("e.xlsx")));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Bytes(book), before);
    EXPECT_EQ(Ormelin("state " + Quote(Path("e.xlsx"))).out, "Лист1\t10\tksVN_OT\n");
}

TEST_F(Cli, InsertRowAddsAListRow) {
    std::string book = MakeBook(Path("f.xlsx"));
    ASSERT_EQ(Ormelin("blank " + Quote(book) + " Лист1 spa").status, 0);
    Outcome r = Ormelin("insert-row " + Quote(book) + " Лист1 3");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Ormelin("insert-row " + Quote(book) + " Лист1 0").status, 2);
    EXPECT_EQ(Ormelin("insert-row " + Quote(book) + " Лист1 abc").status, 2);
}

TEST_F(Cli, WorkbookWithPartsTheModelDropsIsNotOverwrittenInPlace) {
    // A workbook that holds a comment: writing it back would lose the comment.
    std::string py = "/usr/bin/python3";
    if (access(py.c_str(), X_OK) != 0) GTEST_SKIP() << "python3 is not installed";
    std::string book = Path("g.xlsx");
    std::string script = "import openpyxl\nfrom openpyxl.comments import Comment\nwb=openpyxl.Workbook()\n"
                         "ws=wb.active\nws.title='Лист1'\nws['A1']='x'\nws['A1'].comment=Comment('note','me')\n"
                         "wb.save('" + book + "')\n";
    std::ofstream(Path("make.py")) << script;
    if (std::system((py + " " + Quote(Path("make.py")) + " 2>/dev/null").c_str()) != 0) {
        GTEST_SKIP() << "openpyxl is not installed";
    }
    std::string before = Bytes(book);
    Outcome refused = Ormelin("blank " + Quote(book) + " Лист1 spa");
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("comment"), std::string::npos) << refused.err;
    EXPECT_EQ(Bytes(book), before);

    Outcome elsewhere = Ormelin("blank " + Quote(book) + " Лист1 spa -o " + Quote(Path("h.xlsx")));
    EXPECT_EQ(elsewhere.status, 0) << elsewhere.err;
    Outcome forced = Ormelin("blank " + Quote(book) + " Лист1 spa --force");
    EXPECT_EQ(forced.status, 0) << forced.err;
    EXPECT_NE(Bytes(book), before);
}

}  // namespace

namespace {

TEST_F(Cli, NewStartsAWorkbookWithRegisterAndList) {
    std::string book = Path("new.xlsx");
    Outcome r = Ormelin("new " + Quote(book) + " spa --name " + Quote("АБВГ.1 Спецификация"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "АБВГ.1 Спецификация\n");
    Outcome s = Ormelin("state " + Quote(book));
    // The empty sheet the new workbook started with became the register.
    EXPECT_EQ(s.out, "список\t0\tksDOC_NO\nАБВГ.1 Спецификация\t1\tksSPA_OT\n");

    // Without --name the sheet is "Новый"; a second one is refused until it is renamed.
    Outcome second = Ormelin("new " + Quote(book) + " vn");
    ASSERT_EQ(second.status, 0) << second.err;
    EXPECT_EQ(second.out, "Новый\n");
    std::string before = Bytes(book);
    Outcome third = Ormelin("new " + Quote(book) + " ve");
    EXPECT_EQ(third.status, 1);
    EXPECT_NE(third.err.find("Новый"), std::string::npos) << third.err;
    EXPECT_EQ(Bytes(book), before);
}

TEST_F(Cli, AttributesSetThenReadBackEqual) {
    std::string book = Path("attrs.xlsx");
    ASSERT_EQ(Ormelin("new " + Quote(book) + " spa --name Док").status, 0);
    Outcome set = Ormelin("attrs " + Quote(book) + " Док --set aOboz=АБВГ.436234.001 --set " +
                          Quote("aDesi=Иванов") + " --set " + Quote("aNaim1==не формула"));
    ASSERT_EQ(set.status, 0) << set.err;
    Outcome get = Ormelin("attrs " + Quote(book) + " Док");
    ASSERT_EQ(get.status, 0) << get.err;
    EXPECT_NE(get.out.find("\"aOboz\": \"АБВГ.436234.001\""), std::string::npos) << get.out;
    EXPECT_NE(get.out.find("\"aDesi\": \"Иванов\""), std::string::npos) << get.out;
    EXPECT_NE(get.out.find("\"aNaim1\": \"=не формула\""), std::string::npos) << get.out;

    std::ofstream(Path("a.json")) << R"({"aChec": "Петров", "aLite": "О1"})";
    ASSERT_EQ(Ormelin("attrs " + Quote(book) + " Док --json " + Quote(Path("a.json"))).status, 0);
    Outcome again = Ormelin("attrs " + Quote(book) + " Док");
    EXPECT_NE(again.out.find("\"aChec\": \"Петров\""), std::string::npos) << again.out;
    EXPECT_NE(again.out.find("\"aOboz\": \"АБВГ.436234.001\""), std::string::npos) << again.out;

    std::string before = Bytes(book);
    EXPECT_EQ(Ormelin("attrs " + Quote(book) + " Док --set nosuch=1").status, 2);
    EXPECT_EQ(Ormelin("attrs " + Quote(book) + " Док --set noequals").status, 2);
    std::ofstream(Path("bad.json")) << "{not json";
    EXPECT_EQ(Ormelin("attrs " + Quote(book) + " Док --json " + Quote(Path("bad.json"))).status, 2);
    EXPECT_EQ(Bytes(book), before);
}

TEST_F(Cli, FormThenRollbackReturnsTheList) {
    std::string book = Path("form.xlsx");
    ASSERT_EQ(Ormelin("new " + Quote(book) + " pe --name ПЭ").status, 0);
    Outcome formed = Ormelin("form " + Quote(book) + " ПЭ --print --revisions");
    ASSERT_EQ(formed.status, 0) << formed.err;
    EXPECT_NE(Ormelin("state " + Quote(book) + " ПЭ").out.find("ksPE_OF"), std::string::npos);
    // A formed document cannot be formed again; nothing is written.
    std::string before = Bytes(book);
    EXPECT_EQ(Ormelin("form " + Quote(book) + " ПЭ").status, 1);
    EXPECT_EQ(Bytes(book), before);
    Outcome back = Ormelin("rollback " + Quote(book) + " ПЭ");
    ASSERT_EQ(back.status, 0) << back.err;
    EXPECT_EQ(Ormelin("state " + Quote(book) + " ПЭ").out, "ПЭ\t5\tksPE_OT_1\n");
}

TEST_F(Cli, DeleteAsksAndNeedsYesOffATerminal) {
    std::string book = Path("del.xlsx");
    ASSERT_EQ(Ormelin("new " + Quote(book) + " vn --name ВН").status, 0);
    ASSERT_EQ(Ormelin("attrs " + Quote(book) + " ВН --set aOboz=АБВГ.2").status, 0);
    std::string before = Bytes(book);
    Outcome no = Ormelin("delete " + Quote(book) + " ВН");
    EXPECT_EQ(no.status, 1);
    EXPECT_NE(no.err.find("Вы действительно хотите безвозвратно удалить документ АБВГ.2?"), std::string::npos)
        << no.err;
    EXPECT_EQ(Bytes(book), before);
    Outcome yes = Ormelin("delete " + Quote(book) + " ВН --yes");
    ASSERT_EQ(yes.status, 0) << yes.err;
    EXPECT_EQ(Ormelin("state " + Quote(book)).out.find("ВН"), std::string::npos);
}

}  // namespace

namespace {

// A real client prints what the formed document shows: the designation comes from
// the register through the title block's formula.
TEST_F(Cli, FormedSpecificationPrintsThroughLibreOffice) {
    if (std::system("command -v soffice >/dev/null 2>&1") != 0 ||
        std::system("command -v pdftotext >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "LibreOffice or poppler-utils is not installed";
    }
    std::string book = Path("print.xlsx");
    ASSERT_EQ(Ormelin("new " + Quote(book) + " spa --name Спец").status, 0);
    ASSERT_EQ(Ormelin("attrs " + Quote(book) + " Спец --set aOboz=АБВГ.777001.001 --set aDesi=Иванов").status, 0);
    Outcome formed = Ormelin("form " + Quote(book) + " Спец --print");
    ASSERT_EQ(formed.status, 0) << formed.err;
    Outcome printed = Ormelin("pdf " + Quote(book) + " Спец " + Quote(Path("spec.pdf")));
    ASSERT_EQ(printed.status, 0) << printed.err;
    std::string text = Path("page1.txt");
    ASSERT_EQ(std::system(("pdftotext -f 1 -l 1 " + Quote(Path("spec.pdf")) + " " + Quote(text)).c_str()), 0);
    std::string page = Bytes(text);
    for (const char* expected : {"АБВГ.777001.001", "Иванов", "Разраб.", "Лит.", "Листов", "Формат А4"}) {
        EXPECT_NE(page.find(expected), std::string::npos) << expected << " not on the first page:\n" << page;
    }
}

}  // namespace

namespace {

// Forming ends at a run of 29 empty rows where a sheet would begin; the rows below
// stay unformed, and the command says from which row.
TEST_F(Cli, RollbackOfAListSaysThereIsNothingToRollBackAndWritesNothing) {
    std::string book = Path("list.xlsx");
    ASSERT_EQ(Ormelin("new " + Quote(book) + " pe --name ПЭ").status, 0);
    const std::string before = Bytes(book);
    Outcome back = Ormelin("rollback " + Quote(book) + " ПЭ");
    EXPECT_EQ(back.status, 0) << back.err;
    EXPECT_NE(back.err.find("nothing to roll back"), std::string::npos) << back.err;
    EXPECT_EQ(Bytes(book), before);
    // Forming a formed document fails and names what the sheet holds in words a user reads.
    ASSERT_EQ(Ormelin("form " + Quote(book) + " ПЭ").status, 0);
    const std::string formed = Bytes(book);
    Outcome again = Ormelin("form " + Quote(book) + " ПЭ");
    EXPECT_EQ(again.status, 1);
    EXPECT_EQ(Bytes(book), formed);
}

TEST_F(Cli, FormSaysWhereARunOfEmptyRowsLeftTheList) {
    std::string book = Path("gap.xlsx");
    ASSERT_EQ(Ormelin("new " + Quote(book) + " spa --name Спец").status, 0);
    {
        auto ui = std::make_shared<ormelin::model::ScriptedUi>();
        ormelin::model::ModelApplication app(ui);
        auto wb = ormelin::xlsx::LoadWorkbook(app, book, nullptr);
        auto ws = wb->Sheet("Спец");
        for (int r = 2; r <= 24; ++r) ws->SetLiteral({r, 5, r, 5}, "Деталь " + std::to_string(r - 1));
        ws->SetLiteral({54, 5, 54, 5}, std::string("После пропуска"));  // rows 25..53 stay empty
        ormelin::xlsx::SaveWorkbook(*wb, book);
    }
    Outcome formed = Ormelin("form " + Quote(book) + " Спец");
    ASSERT_EQ(formed.status, 0) << formed.err;
    // One sheet (rows 1..37); the 29 empty rows follow the bottom line, then the entry.
    EXPECT_NE(formed.err.find("from row 67 on"), std::string::npos) << formed.err;

    std::string full = Path("full.xlsx");
    ASSERT_EQ(Ormelin("new " + Quote(full) + " spa --name Спец").status, 0);
    Outcome plain = Ormelin("form " + Quote(full) + " Спец");
    ASSERT_EQ(plain.status, 0);
    EXPECT_EQ(plain.err.find("left below"), std::string::npos) << plain.err;
}

// `form` keeps entries whole unless told not to, and names on standard error,
// in the user's language, an entry it had to split all the same.
TEST_F(Cli, FormKeepsEntriesWholeAndNamesAnEntryItSplits) {
    const std::string book = Path("keep.xlsx");
    ASSERT_EQ(Ormelin("new " + Quote(book) + " pe --name ПЭ").status, 0);
    {
        auto ui = std::make_shared<ormelin::model::ScriptedUi>();
        ormelin::model::ModelApplication app(ui);
        auto wb = ormelin::xlsx::LoadWorkbook(app, book, nullptr);
        auto ws = wb->Sheet("ПЭ");
        for (int r = 2; r <= 22; ++r) ws->SetLiteral({r, 2, r, 2}, "R" + std::to_string(r));
        ws->SetLiteral({24, 3, 24, 3}, std::string("Конденсаторы"));  // the first sheet's last row
        ws->SetLiteral({25, 2, 25, 2}, std::string("C1"));
        ws->SetLiteral({26, 2, 26, 2}, std::string("D1"));  // an entry of 70 rows
        for (int r = 27; r <= 95; ++r) ws->SetLiteral({r, 3, r, 3}, "строка " + std::to_string(r));
        ormelin::xlsx::SaveWorkbook(*wb, book);
    }
    const std::string plain = Path("plain.xlsx");
    std::filesystem::copy_file(book, plain);
    const std::vector<std::string> russian = {"LANG=ru_RU.UTF-8", "LC_ALL=", "LC_MESSAGES=", "LANGUAGE="};
    const Outcome kept = Run({"form", book, "ПЭ"}, russian);
    ASSERT_EQ(kept.status, 0) << kept.err;
    EXPECT_NE(kept.err.find("запись со строки 26 перечня длиннее листа и разделена между листами"), std::string::npos)
        << kept.err;
    EXPECT_EQ(ormelin::testing_support::Count(kept.err, "длиннее листа"), 1U) << kept.err;
    const Outcome strict = Ormelin("form " + Quote(plain) + " ПЭ --no-keep-together");
    ASSERT_EQ(strict.status, 0) << strict.err;
    EXPECT_EQ(strict.err.find("longer than a sheet"), std::string::npos) << strict.err;

    auto ui = std::make_shared<ormelin::model::ScriptedUi>();
    ormelin::model::ModelApplication app(ui);
    using ormelin::lists::BreakFault;
    const auto faultsOf = [&](const std::string& path) {
        std::vector<BreakFault> what;
        for (const auto& place : ormelin::forming::SheetBreakFaults(*ormelin::xlsx::LoadWorkbook(app, path, nullptr)->Sheet("ПЭ")))
            what.push_back(place.what);
        return what;
    };
    // kept: the heading opens sheet 2 with its entry; only the long entry is split
    EXPECT_EQ(faultsOf(book), (std::vector<BreakFault>{BreakFault::EntrySplit, BreakFault::EntrySplit}));
    // strictly in list order: the heading ends sheet 1 alone
    EXPECT_EQ(faultsOf(plain), (std::vector<BreakFault>{BreakFault::HeadingAlone, BreakFault::EntrySplit,
                                                        BreakFault::EntrySplit}));
}

}  // namespace

namespace {

// The sample: every document formed, with its register row, and printed one
// formed sheet to one page (the bottom line stays on its sheet's page).
TEST_F(Cli, DemoWritesFormedDocumentsAndPrintsEachSheetOnItsPage) {
    Outcome demo = Ormelin("demo " + Quote(Path("demo")));
    ASSERT_EQ(demo.status, 0) << demo.err;
    std::string book = Path("demo/ormelin-demo.xlsx");
    Outcome state = Ormelin("state " + Quote(book));
    EXPECT_EQ(state.out,
              "список\t0\tksDOC_NO\nАБВГ.436234.001\t2\tksSPA_OF\nАБВГ.436234.001 ПЭ3\t7\tksPE_OF\n"
              "АБВГ.436234.001 ВН\t11\tksVN_OF\nАБВГ.436234.001 ВЭ\t15\tksVE_OF\n"
              "АБВГ.436234.001 ВП\t9\tksVPA_OF\n"
              "АБВГ.436234.002\t4\tksSPB_OF\n");
    Outcome attrs = Ormelin("attrs " + Quote(book) + " " + Quote("АБВГ.436234.001 ВН"));
    EXPECT_NE(attrs.out.find("\"aOboz\": \"АБВГ.436234.001 ВН\""), std::string::npos) << attrs.out;

    if (std::system("command -v soffice >/dev/null 2>&1") != 0 ||
        std::system("command -v pdfinfo >/dev/null 2>&1") != 0 ||
        std::system("command -v pdftotext >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "LibreOffice or poppler-utils is not installed";
    }
    // The specification: three sheets of list and the change-registration sheet.
    std::string pdf = Path("demo/АБВГ.436234.001.pdf");
    ASSERT_TRUE(fs::exists(pdf));
    std::string info = Path("info.txt");
    ASSERT_EQ(std::system(("pdfinfo " + Quote(pdf) + " > " + Quote(info)).c_str()), 0);
    EXPECT_NE(Bytes(info).find("Pages:           4\n"), std::string::npos) << Bytes(info);

    // The group specification: one landscape page per sheet, the change-registration sheet last.
    const std::string group = Path("demo/АБВГ.436234.002.pdf");
    ASSERT_TRUE(fs::exists(group));
    const std::string groupInfo = Path("group-info.txt");
    ASSERT_EQ(std::system(("pdfinfo " + Quote(group) + " > " + Quote(groupInfo)).c_str()), 0);
    EXPECT_NE(Bytes(groupInfo).find("Pages:           4\n"), std::string::npos) << Bytes(groupInfo);
    EXPECT_NE(Bytes(groupInfo).find("841.89 x 595"), std::string::npos) << Bytes(groupInfo);
    const std::string groupText = Path("group-page1.txt");
    ASSERT_EQ(std::system(("pdftotext -f 1 -l 1 " + Quote(group) + " " + Quote(groupText)).c_str()), 0);
    const std::string groupPage = Bytes(groupText);
    for (const char* expected : {"АБВГ.436234.002", "Разраб.", "Лит.", "Формат А4", "Кол. на исполн."})
        EXPECT_NE(groupPage.find(expected), std::string::npos) << expected << " not on page 1:\n" << groupPage;
    const std::string last = Path("group-page4.txt");
    ASSERT_EQ(std::system(("pdftotext -f 4 -l 4 " + Quote(group) + " " + Quote(last)).c_str()), 0);
    EXPECT_NE(Bytes(last).find("Лист регистрации изменений"), std::string::npos) << Bytes(last);

    // The list of purchased products (imported from the sample's bill of materials): A3 landscape pages, one per sheet.
    const std::string purchased = Path("demo/АБВГ.436234.001 ВП.pdf");
    ASSERT_TRUE(fs::exists(purchased)) << demo.out;
    const std::string a3Info = Path("a3-info.txt");
    ASSERT_EQ(std::system(("pdfinfo " + Quote(purchased) + " > " + Quote(a3Info)).c_str()), 0);
    // five A3 sheets ("Листов" 6 with the change-registration sheet), one page each
    Outcome count = Ormelin("state " + Quote(Path("demo/ormelin-demo.xlsx")) + " " + Quote("АБВГ.436234.001 ВП"));
    EXPECT_NE(count.out.find("ksVPA_OF"), std::string::npos) << count.out;
    EXPECT_NE(Bytes(a3Info).find("Pages:           6\n"), std::string::npos) << Bytes(a3Info);
    EXPECT_NE(Bytes(a3Info).find("1190.55 x 841.89 pts (A3)"), std::string::npos) << Bytes(a3Info);
    const std::string lastPage = Path("a3-page6.txt");
    ASSERT_EQ(std::system(("pdftotext -f 6 -l 6 " + Quote(purchased) + " " + Quote(lastPage)).c_str()), 0);
    EXPECT_NE(Bytes(lastPage).find("Лист регистрации изменений"), std::string::npos) << Bytes(lastPage);
    const std::string a3Text = Path("a3-page1.txt");
    ASSERT_EQ(std::system(("pdftotext -f 1 -l 1 " + Quote(purchased) + " " + Quote(a3Text)).c_str()), 0);
    const std::string a3Page = Bytes(a3Text);
    for (const char* expected :
         {"Ведомость покупных изделий", "Разраб.", "Листов", "Формат А3", "АБВГ.436234.001 ВП", "Наименование"})
        EXPECT_NE(a3Page.find(expected), std::string::npos) << expected << " not on the first page:\n" << a3Page;
}

}  // namespace

namespace {

// The group specification through the command and through the other programs
// that open the workbook: LibreOffice and openpyxl load and save the formed
// document, and it still rolls back to its list.
class GroupSpecificationCli : public Cli {
protected:
    /// A group specification of n data rows on sheet "ГС" (row 4 + i holds "деталь i"),
    /// with a register row whose change cells are empty.
    std::string Book(int n, const std::vector<int>& only = {}, const std::string& name = "gs.xlsx") {
        std::string book = Path(name);
        EXPECT_EQ(Ormelin("new " + Quote(book) + " spb --name ГС").status, 0);
        EXPECT_EQ(Ormelin("attrs " + Quote(book) + " ГС --set aOboz=АБВГ.777002.001 --set aDesi=Иванов").status, 0);
        auto ui = std::make_shared<ormelin::model::ScriptedUi>();
        ormelin::model::ModelApplication app(ui);
        auto wb = ormelin::xlsx::LoadWorkbook(app, book, nullptr);
        auto ws = wb->Sheet("ГС");
        for (int c = 6; c <= 8; ++c) ws->SetLiteral({2, c, 2, c}, std::string(c == 6 ? "-" : c == 7 ? "01" : "02"));
        auto put = [&](int i) {
            ws->SetLiteral({i + 4, 4, i + 4, 4}, "деталь " + std::to_string(i));
            ws->SetLiteral({i + 4, 6 + i % 3, i + 4, 6 + i % 3}, static_cast<double>(i));
        };
        if (only.empty()) {
            for (int i = 1; i <= n; ++i) put(i);
        } else {
            for (int i : only) put(i);
        }
        ormelin::xlsx::SaveWorkbook(*wb, book);
        return book;
    }
    /// The list's cells (rows 1..rows, columns A..P) as texts.
    static std::vector<std::string> ListCells(const std::string& book, int rows) {
        auto ui = std::make_shared<ormelin::model::ScriptedUi>();
        ormelin::model::ModelApplication app(ui);
        auto wb = ormelin::xlsx::LoadWorkbook(app, book, nullptr);
        auto ws = wb->Sheet("ГС");
        std::vector<std::string> cells;
        for (int r = 1; r <= rows; ++r)
            for (int c = 1; c <= 16; ++c) cells.push_back(ws->CellText(r, c));
        return cells;
    }
    static bool HasOffice() { return std::system("command -v soffice >/dev/null 2>&1") == 0; }
    /// LibreOffice opens the workbook and saves it as .xlsx in place.
    bool ThroughLibreOffice(const std::string& book) {
        const std::string out = Path("lo");
        const std::string cmd = "cd " + Quote(dir_.string()) + " && HOME=" + Quote(dir_.string()) +
                                " timeout 180 soffice -env:UserInstallation=file://" + dir_.string() +
                                "/profile --headless --convert-to xlsx --outdir " + Quote(out) + " " + Quote(book) +
                                " >/dev/null 2>&1";
        if (std::system(cmd.c_str()) != 0) return false;
        fs::copy_file(fs::path(out) / fs::path(book).filename(), book, fs::copy_options::overwrite_existing);
        return true;
    }
};

TEST_F(GroupSpecificationCli, FormSaysWhereARunOfEmptyRowsLeftTheList) {
    std::string book = Book(0, {1, 8, 48});
    Outcome formed = Ormelin("form " + Quote(book) + " ГС");
    ASSERT_EQ(formed.status, 0) << formed.err;
    // one sheet (rows 1..27), the 39 empty rows, then the 48th list row
    EXPECT_NE(formed.err.find("from row 67 on"), std::string::npos) << formed.err;

    std::string full = Book(30, {}, "full.xlsx");
    Outcome plain = Ormelin("form " + Quote(full) + " ГС --print --revisions");
    ASSERT_EQ(plain.status, 0) << plain.err;
    EXPECT_EQ(plain.err.find("left below"), std::string::npos) << plain.err;
}

TEST_F(GroupSpecificationCli, FormedDocumentSurvivesLibreOfficeAndRollsBack) {
    if (!HasOffice()) GTEST_SKIP() << "soffice is not installed";
    std::string book = Book(40);
    const std::vector<std::string> list = ListCells(book, 50);
    ASSERT_EQ(Ormelin("form " + Quote(book) + " ГС --print --revisions").status, 0);
    ASSERT_TRUE(ThroughLibreOffice(book));
    EXPECT_EQ(Ormelin("state " + Quote(book) + " ГС").out, "ГС\t4\tksSPB_OF\n");
    {
        // LibreOffice recalculated the sheet: with no change number the registration
        // table shows nothing, and the title block shows the register's designation
        auto ui = std::make_shared<ormelin::model::ScriptedUi>();
        ormelin::model::ModelApplication app(ui);
        auto wb = ormelin::xlsx::LoadWorkbook(app, book, nullptr);
        auto ws = wb->Sheet("ГС");
        const int top = 26 * 3 + 2;  // the registration sheet after three sheets
        for (int r : {top + 2, top + 5, top + 8, top + 12, top + 26}) {
            const auto v = ws->Content(r, 6).value;
            EXPECT_TRUE(ormelin::host::IsEmpty(v) || v == ormelin::host::Value(std::string()))
                << "row " << r << ": " << ws->CellText(r, 6);
            EXPECT_FALSE(ws->Content(r, 6).formula.empty()) << r;
        }
        EXPECT_EQ(ws->CellText(19, 17), "АБВГ.777002.001");
        EXPECT_EQ(ws->CellText(22, 13), "Иванов");
    }
    // LibreOffice's file is written back in place: nothing in it is refused
    Outcome back = Ormelin("rollback " + Quote(book) + " ГС");
    ASSERT_EQ(back.status, 0) << back.err;
    EXPECT_EQ(Ormelin("state " + Quote(book) + " ГС").out, "ГС\t3\tksSPB_OT\n");
    std::vector<std::string> after = ListCells(book, 50);
    // the execution numbers left empty get their white placeholders; the rest is the list
    for (std::size_t i = 16 + 8; i < 16 + 15; ++i) after[i] = list[i];
    after[9] = list[9];  // J1: the sheet's name over the execution numbers
    for (std::size_t i = 0; i < list.size(); ++i)
        EXPECT_EQ(after[i], list[i]) << "row " << i / 16 + 1 << " column " << i % 16 + 1;
}

TEST_F(GroupSpecificationCli, FormedDocumentSurvivesOpenpyxlAndRollsBack) {
    const std::string py = "/usr/bin/python3";
    if (std::system((py + " -c 'import openpyxl' >/dev/null 2>&1").c_str()) != 0) {
        GTEST_SKIP() << "/usr/bin/python3 with openpyxl is not available";
    }
    std::string book = Book(40);
    const std::vector<std::string> list = ListCells(book, 50);
    ASSERT_EQ(Ormelin("form " + Quote(book) + " ГС --print --revisions").status, 0);
    const std::string script = "import openpyxl,sys\nwb=openpyxl.load_workbook(sys.argv[1])\nwb.save(sys.argv[1])\n";
    std::ofstream(Path("resave.py")) << script;
    ASSERT_EQ(std::system((py + " " + Quote(Path("resave.py")) + " " + Quote(book)).c_str()), 0);
    EXPECT_EQ(Ormelin("state " + Quote(book) + " ГС").out, "ГС\t4\tksSPB_OF\n");
    Outcome back = Ormelin("rollback " + Quote(book) + " ГС");
    ASSERT_EQ(back.status, 0) << back.err;
    EXPECT_EQ(Ormelin("state " + Quote(book) + " ГС").out, "ГС\t3\tksSPB_OT\n");
    std::vector<std::string> after = ListCells(book, 50);
    for (std::size_t i = 16 + 8; i < 16 + 15; ++i) after[i] = list[i];
    after[9] = list[9];
    EXPECT_EQ(after, list);
}



// Forming the A3 list ends at 15 empty rows where a sheet would begin; the command
// says from which row the list was left below the last sheet.
TEST_F(Cli, FormOfThePurchasedProductsListSaysWhereRowsWereLeft) {
    std::string book = Path("vpa.xlsx");
    ASSERT_EQ(Ormelin("new " + Quote(book) + " vpa --name ВП").status, 0);
    {
        auto ui = std::make_shared<ormelin::model::ScriptedUi>();
        ormelin::model::ModelApplication app(ui);
        auto wb = ormelin::xlsx::LoadWorkbook(app, book, nullptr);
        auto ws = wb->Sheet("ВП");
        for (int r = 3; r <= 25; ++r) ws->SetLiteral({r, 2, r, 2}, "Изделие " + std::to_string(r - 2));
        ws->SetLiteral({41, 2, 41, 2}, std::string("После пропуска"));  // rows 26..40 stay empty
        ormelin::xlsx::SaveWorkbook(*wb, book);
    }
    Outcome formed = Ormelin("form " + Quote(book) + " ВП --print --revisions");
    ASSERT_EQ(formed.status, 0) << formed.err;
    EXPECT_NE(Ormelin("state " + Quote(book) + " ВП").out.find("ksVPA_OF"), std::string::npos);
    // one sheet (rows 1..37); the 15 empty rows follow the bottom line, then the entry
    EXPECT_NE(formed.err.find("from row 53 on"), std::string::npos) << formed.err;
    Outcome back = Ormelin("rollback " + Quote(book) + " ВП");
    ASSERT_EQ(back.status, 0) << back.err;
    EXPECT_EQ(Ormelin("state " + Quote(book) + " ВП").out, "ВП\t8\tksVPA_OT\n");

    std::string full = Path("full.xlsx");
    ASSERT_EQ(Ormelin("new " + Quote(full) + " vpa --name ВП").status, 0);
    Outcome plain = Ormelin("form " + Quote(full) + " ВП");
    ASSERT_EQ(plain.status, 0) << plain.err;
    EXPECT_EQ(plain.err.find("left below"), std::string::npos) << plain.err;
}

}  // namespace
