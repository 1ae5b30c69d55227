// The command's refusals: what it must not write, not accept and not leave
// behind, each checked on the exit status, the message and the file's bytes.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "cli/command_fixture.hpp"
#include "ormelin/model.hpp"
#include "ormelin/xlsx.hpp"
#include "xlsx/xlsx_fixture.hpp"

namespace fs = std::filesystem;

namespace {

using ormelin::testing_support::Bytes;
using ormelin::testing_support::Count;
using ormelin::testing_support::Outcome;

class CliGuard : public ormelin::testing_support::CommandTest {
protected:
    CliGuard() : CommandTest("ormelin-guard-") {}

    /// A workbook with a register and one document sheet of a kind, through the command.
    std::string Document(const std::string& file, const std::string& kind, const std::string& sheet) const {
        const std::string book = Path(file);
        const Outcome r = Run({"new", book, kind, "--name", sheet});
        EXPECT_EQ(r.status, 0) << r.err;
        return book;
    }

};

/// A workbook written through the file layer: sheets with the given names, one
/// cell filled on each so that none is taken for an empty sheet.
std::string MakeBook(const std::string& path, const std::vector<std::string>& sheets) {
    auto ui = std::make_shared<ormelin::model::ScriptedUi>();
    ormelin::model::ModelApplication app(ui);
    auto book = app.NewWorkbook();
    for (std::size_t i = 1; i < sheets.size(); ++i) book->Add(nullptr, book->Sheet(static_cast<int>(i)).get());
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        auto ws = book->Sheet(static_cast<int>(i + 1));
        ws->Name(sheets[i]);
        ws->SetLiteral({1, 1, 1, 1}, std::string("x"));
    }
    ormelin::xlsx::SaveWorkbook(*book, path);
    return path;
}

/// Every displayed text of a sheet.
std::string SheetTexts(const std::string& path, const std::string& sheet) {
    auto ui = std::make_shared<ormelin::model::ScriptedUi>();
    ormelin::model::ModelApplication app(ui);
    auto book = ormelin::xlsx::LoadWorkbook(app, path, nullptr);
    auto ws = book->Sheet(sheet);
    std::string all;
    const auto used = ws->UsedRange();
    for (int r = used.r1; r <= used.r2; ++r) {
        for (int c = used.c1; c <= used.c2; ++c) all += ws->CellText(r, c) + "\n";
    }
    return all;
}

// ------------------------------------------------------------ errors shown by the service

// The register cannot be added beside a sheet "Список" (sheet names ignore case):
// the register routine reports it and goes on. The command fails and writes nothing.
TEST_F(CliGuard, AnErrorMessageOfTheServiceFailsTheCommandAndWritesNothing) {
    const std::string book = MakeBook(Path("b.xlsx"), {"Список", "Лист2"});
    const std::string before = Bytes(book);
    const Outcome r = Run({"new", book, "spa", "--name", "Д"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("FindSPIS: "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("nothing was written"), std::string::npos) << r.err;
    EXPECT_EQ(Bytes(book), before);

    // An information message is no error: a document without a register row forms.
    const std::string doc = Document("d.xlsx", "pe", "ПЭ");
    const Outcome formed = Run({"form", doc, "ПЭ"});
    EXPECT_EQ(formed.status, 0) << formed.err;
    EXPECT_NE(formed.err.find("не найдена"), std::string::npos) << formed.err;
}

// ------------------------------------------------------------ attrs

TEST_F(CliGuard, SettingAttributesNeedsARegister) {
    const std::string book = MakeBook(Path("b.xlsx"), {"Лист1"});
    const std::string before = Bytes(book);
    const Outcome r = Run({"attrs", book, "Лист1", "--set", "aOboz=АБВГ.1"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("\"список\""), std::string::npos) << r.err;
    EXPECT_EQ(Bytes(book), before);
}

// A register without a row or a column for a value would take nothing: the
// command names what is missing and writes nothing.
TEST_F(CliGuard, SettingAttributesNeedsTheirRowAndColumnsInTheRegister) {
    const std::string untitled = MakeBook(Path("u.xlsx"), {"список", "Д"});
    const std::string before = Bytes(untitled);
    const Outcome noRow = Run({"attrs", untitled, "Д", "--set", "aDesi=Иванов"});
    EXPECT_EQ(noRow.status, 1);
    EXPECT_NE(noRow.err.find("no column \"Лист\""), std::string::npos) << noRow.err;
    EXPECT_EQ(Bytes(untitled), before);

    // A register with the sheet and designation columns only.
    const std::string book = MakeBook(Path("b.xlsx"), {"список", "Д"});
    {
        auto ui = std::make_shared<ormelin::model::ScriptedUi>();
        ormelin::model::ModelApplication app(ui);
        auto wb = ormelin::xlsx::LoadWorkbook(app, book, nullptr);
        wb->Sheet("список")->SetLiteral({1, 1, 1, 1}, std::string("Обозначение"));
        wb->Sheet("список")->SetLiteral({1, 2, 1, 2}, std::string("Лист"));
        ormelin::xlsx::SaveWorkbook(*wb, book);
    }
    const std::string partial = Bytes(book);
    const Outcome noColumn =
        Run({"attrs", book, "Д", "--set", "aOboz=АБВГ.1", "--set", "aDesi=Иванов", "--set", "aNaim2=Блок"});
    EXPECT_EQ(noColumn.status, 1);
    EXPECT_NE(noColumn.err.find("aDesi (\"Разраб\")"), std::string::npos) << noColumn.err;
    EXPECT_NE(noColumn.err.find("aNaim2 (\"Наименование\")"), std::string::npos) << noColumn.err;
    EXPECT_EQ(noColumn.err.find("aOboz"), std::string::npos) << noColumn.err;
    EXPECT_EQ(Bytes(book), partial);

    // The columns it has take their values.
    ASSERT_EQ(Run({"attrs", book, "Д", "--set", "aOboz=АБВГ.1"}).status, 0);
    EXPECT_NE(Run({"attrs", book, "Д"}).out.find("\"aOboz\": \"АБВГ.1\""), std::string::npos);
}

TEST_F(CliGuard, NamesTheRegisterDoesNotKeepAreRefusedEachNamed) {
    const std::string book = Document("b.xlsx", "spa", "Д");
    const std::string before = Bytes(book);
    const Outcome r = Run({"attrs", book, "Д", "--set", "aOboz=АБВГ.1", "--set", "aTcon=Сидоров", "--set", "aJob1=x",
                           "--set", "aMass=1", "--set", "Department=ОГК"});
    EXPECT_EQ(r.status, 2);
    for (const char* name : {"aTcon", "aJob1", "aMass", "Department"}) {
        EXPECT_NE(r.err.find(name), std::string::npos) << name << ": " << r.err;
    }
    EXPECT_EQ(r.err.find("aOboz"), std::string::npos) << r.err;
    EXPECT_EQ(Bytes(book), before);

    std::ofstream(Path("a.json")) << R"({"aDesi": "Иванов", "aTdoc1": "x"})";
    const Outcome json = Run({"attrs", book, "Д", "--json", Path("a.json")});
    EXPECT_EQ(json.status, 2);
    EXPECT_NE(json.err.find("aTdoc1"), std::string::npos) << json.err;
    EXPECT_EQ(Bytes(book), before);

    // The file name and the sheet are the register's own.
    const Outcome file = Run({"attrs", book, "Д", "--set", "aFile=other.xls"});
    EXPECT_EQ(file.status, 2);
    EXPECT_NE(file.err.find("aFile"), std::string::npos) << file.err;
    EXPECT_EQ(Bytes(book), before);
}

// Every name that `attrs --help` offers is stored and read back; `attrs` prints
// no other name.
TEST_F(CliGuard, EveryNameTheHelpListsIsKeptByTheRegister) {
    const std::string book = Document("b.xlsx", "spa", "Д");
    const Outcome help = Run({"attrs", "--help"});
    ASSERT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("aDesi: Разраб., surname"), std::string::npos) << help.out;
    std::vector<std::string> names;
    std::istringstream lines(help.out);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("  a", 0) != 0 || line.find(':') == std::string::npos) continue;
        const std::string name = line.substr(2, line.find(':') - 2);
        if (name.find(' ') != std::string::npos || name.find(',') != std::string::npos) continue;
        // Lines 2 and 3 of the name and the organisation are kept joined on one line.
        if (line.find("kept joined") != std::string::npos || line.find("register itself") != std::string::npos) continue;
        names.push_back(name);
    }
    ASSERT_GE(names.size(), 30u) << help.out;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string value = "v" + std::to_string(i);
        const Outcome set = Run({"attrs", book, "Д", "--set", names[i] + "=" + value});
        ASSERT_EQ(set.status, 0) << names[i] << ": " << set.err;
        const Outcome get = Run({"attrs", book, "Д"});
        EXPECT_NE(get.out.find("\"" + names[i] + "\": \"" + value + "\""), std::string::npos)
            << names[i] << " was not kept:\n" << get.out;
    }
    const Outcome get = Run({"attrs", book, "Д"});
    for (const char* dropped : {"aTcon", "aJob1", "aMass", "aIzmk", "aTdoc", "aMate", "Department"}) {
        EXPECT_EQ(get.out.find(std::string("\"") + dropped + "\""), std::string::npos) << dropped;
    }
    EXPECT_NE(get.out.find("\"aShee\": \"Д\""), std::string::npos) << get.out;
}

TEST_F(CliGuard, TheRegisterSheetIsNoDocument) {
    const std::string book = Document("b.xlsx", "spa", "Д");
    const std::string before = Bytes(book);
    const Outcome set = Run({"attrs", book, "список", "--set", "aOboz=X"});
    EXPECT_EQ(set.status, 1);
    EXPECT_NE(set.err.find("register"), std::string::npos) << set.err;
    EXPECT_EQ(Run({"attrs", book, "список"}).status, 1);
    const Outcome del = Run({"delete", book, "список", "--yes"});
    EXPECT_EQ(del.status, 1);
    EXPECT_EQ(Run({"blank", book, "список", "spa"}).status, 1);
    EXPECT_EQ(Bytes(book), before);
    EXPECT_EQ(Run({"state", book}).out, "список\t0\tksDOC_NO\nД\t1\tksSPA_OT\n");
}

// ------------------------------------------------------------ insert-row

TEST_F(CliGuard, RowsGoIntoListsBelowTheirHeadOnly) {
    const std::string book = Document("b.xlsx", "spa", "Д");
    std::string before = Bytes(book);
    const Outcome head = Run({"insert-row", book, "Д", "1"});
    EXPECT_EQ(head.status, 1);
    EXPECT_NE(head.err.find("row 2"), std::string::npos) << head.err;
    EXPECT_EQ(Bytes(book), before);

    // The purchased-products list has a head of two rows.
    const std::string vpa = Document("v.xlsx", "vpa", "ВП");
    const std::string vpaBefore = Bytes(vpa);
    EXPECT_EQ(Run({"insert-row", vpa, "ВП", "2"}).status, 1);
    EXPECT_EQ(Bytes(vpa), vpaBefore);
    EXPECT_EQ(Run({"insert-row", vpa, "ВП", "3"}).status, 0);
    EXPECT_EQ(Run({"state", vpa, "ВП"}).out, "ВП\t8\tksVPA_OT\n");

    ASSERT_EQ(Run({"insert-row", book, "Д", "2"}).status, 0);
    EXPECT_EQ(Run({"state", book, "Д"}).out, "Д\t1\tksSPA_OT\n");
    ASSERT_EQ(Run({"form", book, "Д"}).status, 0);
    before = Bytes(book);
    const Outcome formed = Run({"insert-row", book, "Д", "5"});
    EXPECT_EQ(formed.status, 1);
    EXPECT_NE(formed.err.find("roll it back first"), std::string::npos) << formed.err;
    EXPECT_EQ(Bytes(book), before);
}

// ------------------------------------------------------------ new

TEST_F(CliGuard, NewNamesTheSheetBeforeDrawingItsList) {
    const std::string book = Path("b.xlsx");
    const Outcome r = Run({"new", book, "ve", "--name", "АБВГ.200 (ред.)"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string texts = SheetTexts(book, "АБВГ.200 (ред.)");
    EXPECT_EQ(texts.find("Новый"), std::string::npos) << texts;

    // A sheet "Новый" in the way only matters without --name.
    ASSERT_EQ(Run({"new", book, "vn"}).status, 0);
    const Outcome named = Run({"new", book, "spa", "--name", "Спец"});
    ASSERT_EQ(named.status, 0) << named.err;
    EXPECT_EQ(named.out, "Спец\n");
    EXPECT_EQ(Run({"state", book}).out,
              "список\t0\tksDOC_NO\nАБВГ.200 (ред.)\t14\tksVE_OT\nНовый\t10\tksVN_OT\nСпец\t1\tksSPA_OT\n");

    // A name that is taken is refused.
    const std::string before = Bytes(book);
    const Outcome taken = Run({"new", book, "spa", "--name", "Спец"});
    EXPECT_EQ(taken.status, 1);
    EXPECT_EQ(Bytes(book), before);
}

TEST_F(CliGuard, AFailedNewLeavesNoWorkbookBehind) {
    const std::string book = Path("none.xlsx");
    const Outcome bad = Run({"new", book, "spa", "--name", "a/b"});
    EXPECT_EQ(bad.status, 1);
    EXPECT_FALSE(fs::exists(book));
    const Outcome badKind = Run({"new", book, "xyz"});
    EXPECT_EQ(badKind.status, 2);
    EXPECT_FALSE(fs::exists(book));
}

// ------------------------------------------------------------ pdf

TEST_F(CliGuard, PdfNeverOverwritesTheWorkbookOrAnotherFile) {
    const std::string book = Document("b.xlsx", "spa", "Д");
    const std::string before = Bytes(book);
    const Outcome self = Run({"pdf", book, "Д", book});
    EXPECT_EQ(self.status, 2);
    EXPECT_NE(self.err.find("workbook itself"), std::string::npos) << self.err;
    EXPECT_EQ(Bytes(book), before);
    // The same file under another name.
    ASSERT_EQ(link(book.c_str(), Path("same.pdf").c_str()), 0);
    EXPECT_EQ(Run({"pdf", book, "Д", Path("same.pdf")}).status, 2);
    EXPECT_EQ(Bytes(book), before);

    std::ofstream(Path("notes.txt")) << "my notes";
    const Outcome other = Run({"pdf", book, "Д", Path("notes.txt")});
    EXPECT_EQ(other.status, 2);
    EXPECT_NE(other.err.find("not a PDF"), std::string::npos) << other.err;
    EXPECT_EQ(Bytes(Path("notes.txt")), "my notes");
}

// ormelin's own print needs no print setup; LibreOffice's does, and says so.
TEST_F(CliGuard, PdfOfASheetFormedWithoutPrintSetup) {
    const std::string book = Document("b.xlsx", "spa", "Д");
    ASSERT_EQ(Run({"form", book, "Д"}).status, 0);
    const Outcome own = Run({"pdf", book, "Д", Path("own.pdf")});
    EXPECT_EQ(own.status, 0) << own.err;
    EXPECT_EQ(Bytes(Path("own.pdf")).rfind("%PDF-", 0), 0u);
    const Outcome r = Run({"pdf", book, "Д", Path("d.pdf"), "--via", "libreoffice"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("--print"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(Path("d.pdf")));
}

bool HaveOffice() {
    return std::system("command -v soffice >/dev/null 2>&1") == 0 &&
           std::system("command -v pdfinfo >/dev/null 2>&1") == 0;
}

// Printing through LibreOffice leaves nothing in the temporary folder, whether it
// succeeds or is interrupted; an interrupted run writes no PDF.
TEST_F(CliGuard, PrintingCleansUpOnEveryWayOut) {
    if (!HaveOffice()) GTEST_SKIP() << "LibreOffice or poppler-utils is not installed";
    const std::string book = Document("b.xlsx", "spa", "Д");
    ASSERT_EQ(Run({"form", book, "Д", "--print"}).status, 0);
    const fs::path tmp = dir_ / "tmp";
    fs::create_directories(tmp);
    const std::string tmpEnv = "TMPDIR=" + tmp.string();

    const Outcome done = Run({"pdf", book, "Д", Path("d.pdf"), "--via", "libreoffice"}, {tmpEnv});
    ASSERT_EQ(done.status, 0) << done.err;
    EXPECT_EQ(Bytes(Path("d.pdf")).rfind("%PDF-", 0), 0u);
    EXPECT_TRUE(fs::is_empty(tmp));
    // An earlier PDF is replaced.
    EXPECT_EQ(Run({"pdf", book, "Д", Path("d.pdf"), "--via", "libreoffice"}, {tmpEnv}).status, 0);

    const pid_t pid = Start({"pdf", book, "Д", Path("e.pdf"), "--via", "libreoffice"}, {tmpEnv});
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (fs::is_empty(tmp) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    kill(pid, SIGINT);
    const Outcome stopped = Finish(pid);
    EXPECT_NE(stopped.status, 0);
    EXPECT_TRUE(fs::is_empty(tmp)) << fs::directory_iterator(tmp)->path();
    EXPECT_FALSE(fs::exists(Path("e.pdf")));
}

// ------------------------------------------------------------ help and messages

TEST_F(CliGuard, HelpAndMessagesSayWhatIsTrueForTheCommand) {
    const Outcome top = Run({"--help"});
    EXPECT_EQ(top.out.find("written only when"), std::string::npos) << top.out;
    EXPECT_NE(Run({"form", "--help"}).out.find("written only when"), std::string::npos);
    for (const char* reader : {"pdf", "state", "demo"}) {
        const Outcome h = Run({reader, "--help"});
        EXPECT_EQ(h.out.find("written only when"), std::string::npos) << reader;
        EXPECT_EQ(h.out.find("--output"), std::string::npos) << reader;
    }
    // Every positional argument is described: its line holds more than its name.
    for (const auto& [command, arg] : std::vector<std::pair<std::string, std::string>>{
             {"state", "BOOK"}, {"state", "SHEET"}, {"demo", "DIR"}, {"insert-row", "ROW"}}) {
        const Outcome h = Run({command, "--help"});
        std::istringstream lines(h.out);
        bool described = false;
        for (std::string line; std::getline(lines, line);) {
            const auto at = line.find("  " + arg + " ");
            if (at != std::string::npos && line.find_first_not_of(' ', at + arg.size() + 2) != std::string::npos &&
                line.find_first_not_of(" TEXT:INT", at + arg.size() + 2) != std::string::npos) {
                described = true;
            }
        }
        EXPECT_TRUE(described) << command << " " << arg << ":\n" << h.out;
    }
    const Outcome bogus = Run({"bogus", "x"});
    EXPECT_EQ(bogus.status, 2);
    EXPECT_NE(bogus.err.find("unknown command \"bogus\""), std::string::npos) << bogus.err;
}

TEST_F(CliGuard, MessagesAreRussianUnderARussianLocale) {
    const Outcome ru = Run({"new", Path("b.xlsx"), "xyz"}, {"LANG=ru_RU.UTF-8", "LC_ALL=", "LC_MESSAGES=", "LANGUAGE="});
    EXPECT_EQ(ru.status, 2);
    EXPECT_NE(ru.err.find("неизвестный вид \"xyz\""), std::string::npos) << ru.err;
    const Outcome en = Run({"new", Path("b.xlsx"), "xyz"}, {"LANG=C.UTF-8", "LC_ALL=", "LC_MESSAGES=", "LANGUAGE="});
    EXPECT_NE(en.err.find("unknown kind \"xyz\""), std::string::npos) << en.err;
    // The help and the command-line parser's errors too.
    const std::vector<std::string> russian = {"LANG=ru_RU.UTF-8", "LC_ALL=", "LC_MESSAGES=", "LANGUAGE="};
    const Outcome help = Run({"form", "--help"}, russian);
    EXPECT_EQ(help.status, 0);
    for (const char* text : {"Вызов: ormelin form", "Аргументы:", "Параметры:", "показать эту справку и выйти",
                             "сформировать перечень на листе SHEET"})
        EXPECT_NE(help.out.find(text), std::string::npos) << text << "\n" << help.out;
    EXPECT_EQ(help.out.find("Options"), std::string::npos) << help.out;
    EXPECT_NE(Run({"--help"}, russian).out.find("Команды:"), std::string::npos);
    const Outcome missing = Run({"state"}, russian);
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.err, "не указан обязательный аргумент BOOK\nПодробнее: --help.\n");
    const Outcome range = Run({"state", "--wait", "5000", "b.xlsx"}, russian);
    EXPECT_NE(range.err.find("--wait: значение 5000 вне пределов"), std::string::npos) << range.err;
    EXPECT_EQ(Run({"state"}).err, "BOOK is required\nRun with --help for more information.\n");
    // The service's own texts stay as they are under any locale.
    const std::string book = Document("d.xlsx", "pe", "ПЭ");
    const Outcome formed = Run({"form", book, "ПЭ"}, {"LANG=C.UTF-8", "LC_ALL=", "LC_MESSAGES=", "LANGUAGE="});
    EXPECT_NE(formed.err.find("Строка атрибутов документа в листе \"список\" не найдена"), std::string::npos);
}

// Every message the command says through its catalogue has a Russian translation:
// a message added in English only would show up untranslated under a Russian locale.
namespace {

// The string literals of a run of adjacent literals, joined, escapes kept as written.
std::string JoinedLiterals(const std::string& text, std::size_t& at) {
    std::string out;
    while (true) {
        while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
        if (at >= text.size() || text[at] != '"') return out;
        ++at;
        while (at < text.size() && text[at] != '"') {
            if (text[at] == '\\' && at + 1 < text.size()) out += text[at++];
            out += text[at++];
        }
        ++at;
    }
}

std::set<std::string> CatalogueIds(const std::string& po) {
    std::set<std::string> ids;
    for (std::size_t at = po.find("\nmsgid "); at != std::string::npos; at = po.find("\nmsgid ", at)) {
        at += 7;
        ids.insert(JoinedLiterals(po, at));
    }
    return ids;
}

}  // namespace

TEST(Catalogue, EveryMessageOfTheCommandIsTranslated) {
    const std::set<std::string> ids = CatalogueIds(Bytes(std::string(ORMELIN_SOURCE_DIR) + "/po/ru.po"));
    ASSERT_GT(ids.size(), 20u);
    int messages = 0;
    // The command's own messages, and the check's, which the command shows.
    std::vector<fs::directory_entry> sources;
    for (const char* dir : {"/src/cli", "/src/check"})
        for (const auto& entry : fs::directory_iterator(std::string(ORMELIN_SOURCE_DIR) + dir)) sources.push_back(entry);
    for (const auto& entry : sources) {
        if (entry.path().extension() != ".cpp") continue;
        const std::string code = Bytes(entry.path().string());
        for (const char* call : {"Say(", "Tr(", "Message("}) {
            for (std::size_t at = code.find(call); at != std::string::npos; at = code.find(call, at)) {
                const bool own = at == 0 || !(std::isalnum(static_cast<unsigned char>(code[at - 1])) || code[at - 1] == '_');
                at += std::string(call).size();
                if (!own) continue;
                const std::string message = JoinedLiterals(code, at);
                if (message.empty()) continue;
                ++messages;
                EXPECT_TRUE(ids.count(message)) << entry.path().filename() << ": no translation in po/ru.po for \"" << message << "\"";
            }
        }
    }
    EXPECT_GT(messages, 20);
}

// The manual page is the help text of the program as built.
TEST_F(CliGuard, ManualPageMatchesTheHelp) {
    const std::string script = std::string(ORMELIN_SOURCE_DIR) + "/scripts/make-manpage";
    const std::string made = Path("ormelin.1");
    const std::string cmd = script + " " + std::string(ORMELIN_BINARY_DIR) + "/ormelin > " + made;
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    const std::string page = Bytes(made);
    EXPECT_NE(page.find(".TH ORMELIN 1"), std::string::npos);
    EXPECT_NE(page.find("insert-row"), std::string::npos);
    EXPECT_EQ(page, Bytes(std::string(ORMELIN_SOURCE_DIR) + "/docs/ormelin.1"))
        << "docs/ormelin.1 is out of date: run scripts/make-manpage build/ormelin > docs/ormelin.1";
}

// ------------------------------------------------------------ one workbook, several commands

// A cell text longer than a cell holds is refused when the workbook is read, naming
// the sheet and the cell, before any command does its work; nothing is written.
TEST_F(CliGuard, ACellTextLongerThanACellHoldsIsRefusedAtTheStart) {
    const std::string book = Document("b.xlsx", "spa", "Д");
    using namespace ormelin::xlsx::testing;
    Parts parts = ReadParts(book);
    ReplaceOnce(Part(parts, "xl/sharedStrings.xml"), "Наименование", std::string(40000, 'x'));
    WriteParts(book, parts);
    const std::string before = Bytes(book);
    for (const std::vector<std::string>& args : {std::vector<std::string>{"state", book},
                                                 {"attrs", book, "Д", "--set", "aOboz=1", "-o", Path("out.xlsx")}}) {
        const Outcome r = Run(args);
        EXPECT_EQ(r.status, 3) << args[0];
        EXPECT_NE(r.err.find("sheet \"список\", cell D1: a text of 40000 characters"), std::string::npos) << r.err;
    }
    EXPECT_EQ(Bytes(book), before);
    EXPECT_FALSE(fs::exists(Path("out.xlsx")));
}

// The new file of a save killed before it ended is removed by the next command
// that writes the workbook; one a running save holds is not.
TEST_F(CliGuard, AWritingCommandRemovesTheLeftoversOfKilledSaves) {
    const std::string book = Document("b.xlsx", "spa", "Д");
    std::ofstream(Path(".b.xlsx.k1Ll3d")) << std::string(100000, 'x');
    std::ofstream(Path(".b.xlsx.Ru9n1n")) << "x";
    const int held = open(Path(".b.xlsx.Ru9n1n").c_str(), O_RDONLY);
    ASSERT_EQ(flock(held, LOCK_EX), 0);
    EXPECT_EQ(Run({"state", book}).status, 0);
    EXPECT_TRUE(fs::exists(Path(".b.xlsx.k1Ll3d"))) << "a reading command removes nothing";
    ASSERT_EQ(Run({"attrs", book, "Д", "--set", "aOboz=АБВГ.1"}).status, 0);
    EXPECT_FALSE(fs::exists(Path(".b.xlsx.k1Ll3d")));
    EXPECT_TRUE(fs::exists(Path(".b.xlsx.Ru9n1n")));
    close(held);
}

// Forming a formed sheet and rolling back a list say so in the user's words, and
// write nothing.
TEST_F(CliGuard, FormingTwiceAndRollingBackAListSayWhatIsThere) {
    const std::string book = Document("b.xlsx", "spa", "Д");
    const std::string list = Bytes(book);
    const Outcome back = Run({"rollback", book, "Д"});
    EXPECT_EQ(back.status, 0);
    EXPECT_NE(back.err.find("nothing to roll back"), std::string::npos) << back.err;
    EXPECT_EQ(Bytes(book), list);
    ASSERT_EQ(Run({"form", book, "Д"}).status, 0);
    const std::string formed = Bytes(book);
    const Outcome again = Run({"form", book, "Д"});
    EXPECT_EQ(again.status, 1);
    EXPECT_NE(again.err.find("formed document already"), std::string::npos) << again.err;
    EXPECT_EQ(again.err.find("ksSPA_OF"), std::string::npos) << again.err;
    EXPECT_EQ(Bytes(book), formed);
    // The help says what happens to a name: kept on one line.
    EXPECT_EQ(Run({"attrs", "--help"}).out.find("breaks the line"), std::string::npos);
}

TEST_F(CliGuard, TwoCommandsAtOnceKeepBothChanges) {
    const std::string book = Document("b.xlsx", "spa", "Д");
    for (int round = 0; round < 3; ++round) {
        const std::string a = "Иванов" + std::to_string(round), b = "Петров" + std::to_string(round);
        const pid_t first = Start({"attrs", book, "Д", "--set", "aDesi=" + a});
        // The second starts while the first runs.
        std::vector<std::string> args = {
            std::string(ORMELIN_BINARY_DIR) + "/ormelin", "attrs", book, "Д", "--set", "aChec=" + b};
        std::string cmd;
        for (const auto& x : args) cmd += "'" + x + "' ";
        const int second = std::system((cmd + ">/dev/null 2>&1").c_str());
        const Outcome one = Finish(first);
        EXPECT_EQ(one.status, 0) << one.err;
        EXPECT_EQ(WEXITSTATUS(second), 0);
        const Outcome get = Run({"attrs", book, "Д"});
        EXPECT_NE(get.out.find("\"aDesi\": \"" + a + "\""), std::string::npos) << get.out;
        EXPECT_NE(get.out.find("\"aChec\": \"" + b + "\""), std::string::npos) << get.out;
    }
}

TEST_F(CliGuard, ABusyWorkbookIsRefusedAfterTheWait) {
    const std::string book = Document("b.xlsx", "spa", "Д");
    const std::string before = Bytes(book);
    const int fd = open(book.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(flock(fd, LOCK_EX), 0);
    const Outcome r = Run({"attrs", book, "Д", "--set", "aDesi=Иванов", "--wait", "0.3"});
    close(fd);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("busy"), std::string::npos) << r.err;
    EXPECT_EQ(Bytes(book), before);
}

// The command reads --json after the workbook: while it waits for the JSON, the
// workbook is changed on disk by another program.
TEST_F(CliGuard, AWorkbookChangedDuringTheRunIsNotOverwritten) {
    const std::string book = Document("b.xlsx", "spa", "Д");
    const std::string other = Document("o.xlsx", "vn", "ВН");
    const std::string fifo = Path("attrs.json");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const pid_t pid = Start({"attrs", book, "Д", "--json", fifo});
    {
        std::ofstream json(fifo);  // opens once the command reads it, after loading the workbook
        fs::copy_file(other, book, fs::copy_options::overwrite_existing);
        json << R"({"aDesi": "Иванов"})";
    }
    const Outcome r = Finish(pid);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("changed on disk"), std::string::npos) << r.err;
    EXPECT_EQ(Bytes(book), Bytes(other));
}

TEST_F(CliGuard, AWorkbookOpenInASpreadsheetProgramIsNotWrittenWithoutForce) {
    const std::string book = Document("b.xlsx", "spa", "Д");
    const std::string before = Bytes(book);
    for (const char* owner : {".~lock.b.xlsx#", "~$b.xlsx"}) {
        std::ofstream(Path(owner)) << "x";
        const Outcome r = Run({"attrs", book, "Д", "--set", "aDesi=Иванов"});
        EXPECT_EQ(r.status, 1) << owner;
        EXPECT_NE(r.err.find(owner), std::string::npos) << r.err;
        EXPECT_EQ(Bytes(book), before);
        fs::remove(Path(owner));
    }
    std::ofstream(Path(".~lock.b.xlsx#")) << "x";
    EXPECT_EQ(Run({"attrs", book, "Д", "--set", "aDesi=Иванов", "--force"}).status, 0);
    EXPECT_EQ(Run({"state", book}).status, 0);  // reading is not refused
}

// ------------------------------------------------------------ printing font

// The free font that stands in for the forms' font when printing has every
// character the formed documents of the sample show.
TEST_F(CliGuard, TheStandInFontCoversEveryCharacterOfTheForms) {
    if (std::system("command -v fc-list >/dev/null 2>&1") != 0) GTEST_SKIP() << "fontconfig is not installed";
    if (std::system("fc-list osifont | grep -q .") != 0) GTEST_SKIP() << "osifont is not installed (scripts/setup)";
    const Outcome demo = Run({"demo", Path("demo")});
    ASSERT_EQ(demo.status, 0) << demo.err;
    std::set<char32_t> used;
    auto ui = std::make_shared<ormelin::model::ScriptedUi>();
    ormelin::model::ModelApplication app(ui);
    auto book = ormelin::xlsx::LoadWorkbook(app, Path("demo/ormelin-demo.xlsx"), nullptr);
    for (int i = 1; i <= book->Count(); ++i) {
        auto ws = book->Sheet(i);
        const auto area = ws->UsedRange();
        for (int r = area.r1; r <= area.r2; ++r) {
            for (int c = area.c1; c <= area.c2; ++c) {
                const std::string t = ws->CellText(r, c);
                for (std::size_t k = 0; k < t.size();) {
                    const unsigned char b = static_cast<unsigned char>(t[k]);
                    const int len = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
                    char32_t cp = len == 1 ? b : (b & (0x7F >> len));
                    for (int j = 1; j < len && k + j < t.size(); ++j) cp = (cp << 6) | (t[k + j] & 0x3F);
                    if (cp > 0x20) used.insert(cp);
                    k += static_cast<std::size_t>(len);
                }
            }
        }
    }
    ASSERT_TRUE(used.count(U'Э')) << "the sample shows no Э";
    std::ostringstream charset;
    for (char32_t cp : used) charset << std::hex << static_cast<unsigned>(cp) << ' ';
    const std::string cmd = "fc-list 'osifont:charset=" + charset.str() + "' family | grep -q .";
    EXPECT_EQ(std::system(cmd.c_str()), 0) << "osifont lacks one of: " << charset.str();

    // The sample's documents print with the drafting font, embedded, and need no
    // other font (nothing is said of ISOCPEUR: LibreOffice does not print them).
    EXPECT_EQ(Count(demo.err, "ISOCPEUR"), 0u) << demo.err;
    if (std::system("command -v pdffonts >/dev/null 2>&1") == 0) {
        const std::string fonts = Path("fonts.txt");
        ASSERT_EQ(std::system(("pdffonts '" + Path("demo/АБВГ.436234.001 ПЭ3.pdf") + "' > '" + fonts + "'").c_str()), 0);
        const std::string listed = Bytes(fonts);
        EXPECT_NE(listed.find("Drafting"), std::string::npos) << listed;
        EXPECT_NE(listed.find("yes yes"), std::string::npos) << "the font is not embedded as a subset:\n" << listed;
    }
}

}  // namespace
