// `ormelin import`, run as a user runs it: the three kinds of list filled from
// KiCad- and Altium-style files, refusals that leave the workbook as it was, and
// the cycle through a real spreadsheet program.
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
#include "ormelin/model.hpp"
#include "ormelin/xlsx.hpp"

namespace fs = std::filesystem;

namespace {

using ormelin::testing_support::Outcome;
using ormelin::testing_support::Quote;

class ImportCli : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("ormelin-import-" + std::to_string(getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        book_ = Path("book.xlsx");
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Path(const std::string& name) const { return (dir_ / name).string(); }

    Outcome Run(const std::string& cmd) const {
        std::string errFile = Path("stderr.txt");
        Outcome r;
        FILE* p = popen((cmd + " </dev/null 2>" + Quote(errFile)).c_str(), "r");
        if (!p) return r;
        std::array<char, 4096> buf{};
        std::size_t n;
        while ((n = fread(buf.data(), 1, buf.size(), p)) > 0) r.out.append(buf.data(), n);
        int st = pclose(p);
        r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
        r.err = Bytes(errFile);
        return r;
    }
    Outcome Ormelin(const std::string& args) const {
        return Run(std::string(ORMELIN_BINARY_DIR) + "/ormelin " + args);
    }
    void Write(const std::string& name, const std::string& text) const {
        std::ofstream(Path(name), std::ios::binary) << text;
    }
    static std::string Bytes(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    /// A new document of the kind on a sheet of the book.
    void NewDocument(const std::string& kind, const std::string& sheet) {
        ASSERT_EQ(Ormelin("new " + Quote(book_) + " " + kind + " --name " + Quote(sheet)).status, 0);
    }
    /// The displayed text of a cell of the saved book.
    std::string Cell(const std::string& sheet, const std::string& a1) const {
        auto app = std::make_shared<ormelin::model::ModelApplication>(std::make_shared<ormelin::model::ScriptedUi>());
        auto book = ormelin::xlsx::LoadWorkbook(*app, book_);
        auto a = ormelin::host::ParseAddress(a1);
        return book->Sheet(sheet)->CellText(a.r1, a.c1);
    }
    std::string Import(const std::string& sheet, const std::string& bom, const std::string& more = "") const {
        return "import " + Quote(book_) + " " + Quote(sheet) + " " + Quote(Path(bom)) + (more.empty() ? "" : " " + more);
    }

    fs::path dir_;
    std::string book_;
};

const char* kKicadGrouped =
    "\"Refs\",\"Value\",\"Footprint\",\"Qty\",\"DNP\",\"MPN\",\"Manufacturer\"\n"
    "\"C1, C2, C3, C4\",\"100n\",\"C_0603\",\"4\",\"\",\"\",\"\"\n"
    "\"R1, R2\",\"10k\",\"R_0603\",\"2\",\"\",\"\",\"\"\n"
    "\"R3\",\"1k\",\"R_0603\",\"1\",\"DNP\",\"\",\"\"\n"
    "\"VD1\",\"1N4148\",\"SOD-123\",\"1\",\"\",\"1N4148W\",\"Diodes\"\n";

TEST_F(ImportCli, KicadFileFillsTheListOfElements) {
    NewDocument("pe", "ПЭ3");
    Write("bom.csv", kKicadGrouped);
    Outcome r = Ormelin(Import("ПЭ3", "bom.csv"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Cell("ПЭ3", "B2"), "C1...C4");
    EXPECT_EQ(Cell("ПЭ3", "C2"), "Конденсатор 100 нФ");
    EXPECT_EQ(Cell("ПЭ3", "D2"), "4");
    EXPECT_EQ(Cell("ПЭ3", "B4"), "R1, R2") << "R3 is not fitted and left out";
    EXPECT_EQ(Cell("ПЭ3", "B6"), "VD1");
    EXPECT_EQ(Cell("ПЭ3", "C6"), "Диод 1N4148W 1N4148 Diodes");
    EXPECT_EQ(Ormelin("state " + Quote(book_) + " ПЭ3").out, "ПЭ3\t5\tksPE_OT_1\n");
}

TEST_F(ImportCli, AltiumFileFillsThePurchasedProductsWithTheAssemblyFromTheRegister) {
    NewDocument("vpa", "ВП");
    ASSERT_EQ(Ormelin("attrs " + Quote(book_) + " ВП --set aOboz='АБВГ.436234.001 ВП'").status, 0);
    Write("bom.csv",
          "\"Comment\";\"Designator\";\"Quantity\";\"Manufacturer 1\";\"Manufacturer Part Number 1\";\"Supplier 1\"\n"
          "\"10k\";\"R1, R2, R5\";\"3\";\"Yageo\";\"RC0603\";\"ЧипДип\"\n"
          "\"100n\";\"C1\";\"1\";\"Murata\";\"GRM188\";\"Элитан\"\n");
    Outcome r = Ormelin(Import("ВП", "bom.csv", "--profile altium"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Cell("ВП", "A3"), "");
    EXPECT_EQ(Cell("ВП", "B3"), "Конденсатор GRM188 100 нФ");
    EXPECT_EQ(Cell("ВП", "B4"), "Резистор RC0603 10 кОм");
    EXPECT_EQ(Cell("ВП", "E4"), "ЧипДип");
    EXPECT_EQ(Cell("ВП", "F4"), "АБВГ.436234.001");
    EXPECT_EQ(Cell("ВП", "G4"), "3");
    EXPECT_EQ(Cell("ВП", "J4"), "3");
}

TEST_F(ImportCli, SpecificationGetsItsOtherProductsFromACp1251File) {
    NewDocument("spa", "СП");
    // "Вилка" in cp1251, ";" as the delimiter, as the Russian versions of spreadsheets write CSV.
    Write("bom.csv", "Reference;Value;Qty\nXP1;DB-9M;1\nXS1;\xC2\xE8\xEB\xEA\xE0;1\n");
    Outcome r = Ormelin(Import("СП", "bom.csv"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Cell("СП", "E2"), "Прочие изделия");
    EXPECT_EQ(Cell("СП", "E3"), "");
    EXPECT_EQ(Cell("СП", "C4"), "1");
    EXPECT_EQ(Cell("СП", "E4"), "Вилка DB-9M");
    EXPECT_EQ(Cell("СП", "E5"), "Вилка") << "a name that begins with a kind's name gets no other";
    EXPECT_EQ(Cell("СП", "G5"), "XS1");
}

// A position the next one cannot follow is named by its cell; nothing is written.
TEST_F(ImportCli, APositionOutOfRangeIsNamedAndNothingWritten) {
    NewDocument("spa", "СП");
    {
        auto app = std::make_shared<ormelin::model::ModelApplication>(std::make_shared<ormelin::model::ScriptedUi>());
        auto book = ormelin::xlsx::LoadWorkbook(*app, book_);
        book->Sheet("СП")->SetLiteral({2, 3, 2, 3}, 2147483647.0);
        book->Sheet("СП")->SetLiteral({2, 5, 2, 5}, std::string("Плата"));
        ormelin::xlsx::SaveWorkbook(*book, book_);
    }
    const std::string before = Bytes(book_);
    Write("bom.csv", "Reference,Value\nXS1,DB9\n");
    Outcome r = Ormelin(Import("СП", "bom.csv"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("cell C2"), std::string::npos) << r.err;
    EXPECT_EQ(Bytes(book_), before);
}

TEST_F(ImportCli, RefusalsAndBadInputLeaveTheWorkbookUntouched) {
    NewDocument("pe", "ПЭ3");
    Write("bom.csv", kKicadGrouped);
    ASSERT_EQ(Ormelin(Import("ПЭ3", "bom.csv")).status, 0);
    const std::string before = Bytes(book_);

    Outcome again = Ormelin(Import("ПЭ3", "bom.csv"));
    EXPECT_EQ(again.status, 1);
    EXPECT_NE(again.err.find("--replace"), std::string::npos) << again.err;

    Write("bad.csv", "Reference,Value,Qty\nR1,1k,1\nR2,1k,two\n");
    Outcome bad = Ormelin(Import("ПЭ3", "bad.csv", "--replace"));
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.err.find("bad.csv:3:3"), std::string::npos) << bad.err;

    Write("dup.csv", "Reference,Value\nR1,1k\nR1,2k\n");
    Outcome dup = Ormelin(Import("ПЭ3", "dup.csv", "--replace"));
    EXPECT_EQ(dup.status, 1);
    EXPECT_NE(dup.err.find("dup.csv:3:1"), std::string::npos) << dup.err;

    // One stray byte in a UTF-8 file: refused where it stands, not read as cp1251.
    Write("stray.csv", "Reference,Value\nR1,Резистор\nR2,Кон\xFF" "денсатор\n");
    Outcome stray = Ormelin(Import("ПЭ3", "stray.csv", "--replace"));
    EXPECT_EQ(stray.status, 1);
    EXPECT_NE(stray.err.find("stray.csv:3:7"), std::string::npos) << stray.err;
    EXPECT_NE(stray.err.find("--encoding"), std::string::npos) << stray.err;

    // No device, pipe or folder is read, nor a file beyond the bound: refused at once.
    for (const std::string& device : {std::string("/dev/zero"), dir_.string()}) {
        Outcome endless = Ormelin("import " + Quote(book_) + " ПЭ3 " + Quote(device) + " --replace");
        EXPECT_EQ(endless.status, 1) << device;
        EXPECT_NE(endless.err.find("not a regular file"), std::string::npos) << endless.err;
    }
    {
        std::ofstream big(Path("big.csv"), std::ios::binary);
        big << "Reference,Value\n";
        big.seekp(100LL * 1024 * 1024);
        big << "R1,1k\n";   // sparse: 100 MB and a few bytes
    }
    Outcome big = Ormelin(Import("ПЭ3", "big.csv", "--replace"));
    EXPECT_EQ(big.status, 1);
    EXPECT_NE(big.err.find("more than the 100 MB"), std::string::npos) << big.err;

    EXPECT_EQ(Ormelin(Import("ПЭ3", "bom.csv", "--profile nosuch")).status, 2);
    EXPECT_EQ(Ormelin(Import("ПЭ3", "missing.csv")).status, 2);
    EXPECT_EQ(Ormelin(Import("ПЭ3", "bom.csv", "--encoding koi8")).status, 2);
    EXPECT_EQ(Bytes(book_), before) << "nothing was written";

    ASSERT_EQ(Ormelin("form " + Quote(book_) + " ПЭ3").status, 0);
    Outcome formed = Ormelin(Import("ПЭ3", "bom.csv", "--replace"));
    EXPECT_EQ(formed.status, 1);
    EXPECT_NE(formed.err.find("formed"), std::string::npos) << formed.err;
}

TEST_F(ImportCli, ReplaceReplacesTheRowsAndAProfileFileNamesOwnColumns) {
    NewDocument("pe", "ПЭ3");
    Write("bom.csv", kKicadGrouped);
    ASSERT_EQ(Ormelin(Import("ПЭ3", "bom.csv")).status, 0);
    Write("our.json", R"({"columns": {"designators": "Поз", "value": "Имя", "note": "Прим"}})");
    Write("our.csv", "Поз\tИмя\tПрим\nHL1\tL-53GD\tзелёный\n");
    Outcome r = Ormelin(Import("ПЭ3", "our.csv", "--replace --profile " + Quote(Path("our.json"))));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Cell("ПЭ3", "B2"), "HL1");
    EXPECT_EQ(Cell("ПЭ3", "E2"), "зелёный");
    EXPECT_EQ(Cell("ПЭ3", "B4"), "") << "the earlier rows are gone";
    EXPECT_EQ(Cell("ПЭ3", "B6"), "");
}

TEST_F(ImportCli, ThroughLibreOfficeAndImportAgain) {
    const char* office = "/usr/bin/soffice";
    if (access(office, X_OK) != 0) GTEST_SKIP() << "LibreOffice is not installed";
    NewDocument("pe", "ПЭ3");
    Write("bom.csv", kKicadGrouped);
    ASSERT_EQ(Ormelin(Import("ПЭ3", "bom.csv")).status, 0);
    // LibreOffice opens the workbook and saves it as its own .xlsx.
    const std::string saved = Path("lo");
    fs::create_directories(saved);
    Outcome lo = Run(std::string(office) + " --headless -env:UserInstallation=file://" + Path("profile") +
                     " --convert-to xlsx:'Calc MS Excel 2007 XML' --outdir " + Quote(saved) + " " + Quote(book_));
    ASSERT_EQ(lo.status, 0) << lo.err;
    fs::copy_file(fs::path(saved) / "book.xlsx", book_, fs::copy_options::overwrite_existing);
    EXPECT_EQ(Cell("ПЭ3", "B2"), "C1...C4");

    // The list LibreOffice saved is formed and rolled back, then imported again.
    Outcome formed = Ormelin("form " + Quote(book_) + " ПЭ3 --print --force");
    ASSERT_EQ(formed.status, 0) << formed.err;
    Outcome back = Ormelin("rollback " + Quote(book_) + " ПЭ3 --force");
    ASSERT_EQ(back.status, 0) << back.err;
    EXPECT_EQ(Cell("ПЭ3", "B2"), "C1...C4");
    Write("bom2.csv", "Reference,Value\nR1,1k\nR2,1k\nR3,1k\n");
    Outcome r = Ormelin(Import("ПЭ3", "bom2.csv", "--replace --force"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Cell("ПЭ3", "B2"), "R1...R3");
    EXPECT_EQ(Cell("ПЭ3", "B3"), "");
    EXPECT_EQ(Cell("ПЭ3", "B4"), "") << "nothing of the earlier import is left";
}

// The notes a user typed survive a re-import through a LibreOffice save: on rows
// whose elements come back; the note of an element that is gone is named.
TEST_F(ImportCli, ReplaceKeepsTheNotesTypedInTheList) {
    NewDocument("pe", "ПЭ3");
    Write("bom.csv", kKicadGrouped);
    ASSERT_EQ(Ormelin(Import("ПЭ3", "bom.csv")).status, 0);
    ASSERT_EQ(Cell("ПЭ3", "B4"), "R1, R2");
    {
        auto app = std::make_shared<ormelin::model::ModelApplication>(std::make_shared<ormelin::model::ScriptedUi>());
        auto book = ormelin::xlsx::LoadWorkbook(*app, book_);
        book->Sheet("ПЭ3")->SetLiteral({2, 5, 2, 5}, std::string("Подбор"));
        book->Sheet("ПЭ3")->SetLiteral({4, 5, 4, 5}, std::string("0,1 %"));
        book->Sheet("ПЭ3")->SetLiteral({6, 5, 6, 5}, std::string("Радиатор"));
        ormelin::xlsx::SaveWorkbook(*book, book_);
    }
    if (access("/usr/bin/soffice", X_OK) == 0) {
        const std::string saved = Path("lo");
        fs::create_directories(saved);
        Outcome lo = Run(std::string("/usr/bin/soffice --headless -env:UserInstallation=file://") + Path("profile") +
                         " --convert-to xlsx:'Calc MS Excel 2007 XML' --outdir " + Quote(saved) + " " + Quote(book_));
        ASSERT_EQ(lo.status, 0) << lo.err;
        fs::copy_file(fs::path(saved) / "book.xlsx", book_, fs::copy_options::overwrite_existing);
    }
    // C5 comes new, R2 and VD1 are gone.
    Write("bom2.csv", "Reference,Value\nC1,100n\nC2,100n\nC3,100n\nC4,100n\nC5,100n\nR1,10k\n");
    Outcome r = Ormelin(Import("ПЭ3", "bom2.csv", "--replace --force"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Cell("ПЭ3", "B2"), "C1...C5");
    EXPECT_EQ(Cell("ПЭ3", "E2"), "Подбор");
    EXPECT_EQ(Cell("ПЭ3", "B4"), "R1");
    EXPECT_EQ(Cell("ПЭ3", "E4"), "0,1 %");
    EXPECT_EQ(Cell("ПЭ3", "B6"), "");
    EXPECT_NE(r.err.find("\"Радиатор\" of VD1 is dropped"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("0,1 %"), std::string::npos) << r.err;
}

// A KiCad script's file with its preamble and power symbols: the IEC codes are
// found, the symbols counted in the summary; --designators gives the convention.
TEST_F(ImportCli, AScriptsBomWithPreambleAndPowerSymbols) {
    NewDocument("pe", "ПЭ3");
    Write("bom.csv",
          "\"Source:\",\"/home/user/board.sch\"\n\"Component Count:\",\"6\"\n"
          "\"Ref\",\"Qnty\",\"Value\",\"Cmp name\",\"Footprint\",\"Description\",\"Vendor\"\n"
          "\"D1 \",\"1\",\"SM4007\",\"D\",\"\",\"\",\"\"\n"
          "\"U1 \",\"1\",\"CD4047BP\",\"CD4047\",\"\",\"\",\"\"\n"
          "\"R1 R2 \",\"2\",\"4k7\",\"R\",\"\",\"\",\"\"\n"
          "\"#PWR01 #PWR02 \",\"2\",\"GND\",\"GND\",\"\",\"\",\"\"\n");
    Outcome r = Ormelin(Import("ПЭ3", "bom.csv"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("2 power and flag symbols"), std::string::npos) << r.out;
    EXPECT_EQ(Cell("ПЭ3", "C2"), "Диод SM4007");
    EXPECT_EQ(Cell("ПЭ3", "C4"), "Резистор 4,7 кОм");
    EXPECT_EQ(Cell("ПЭ3", "B4"), "R1, R2");
    EXPECT_EQ(Cell("ПЭ3", "C6"), "Микросхема CD4047BP");
    ASSERT_EQ(Ormelin(Import("ПЭ3", "bom.csv", "--replace --designators gost --raw-values")).status, 0);
    EXPECT_EQ(Cell("ПЭ3", "C2"), "Микросхема SM4007");
    EXPECT_EQ(Cell("ПЭ3", "C4"), "Резистор 4k7");
    EXPECT_EQ(Ormelin(Import("ПЭ3", "bom.csv", "--replace --designators ansi")).status, 2);
}

}  // namespace
