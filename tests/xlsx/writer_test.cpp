// What the writer puts in the file beyond the model's plain values: counts past
// old limits, texts that need escaping, and saves that must never destroy.
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <cstdlib>
#include <thread>

#include <pugixml.hpp>

#include "ormelin/attr_doc.hpp"
#include "ormelin/kalvora.hpp"
#include "xlsx/xlsx_fixture.hpp"

namespace ormelin::xlsx::testing {
namespace {

std::string SheetXml(const std::string& path, int position = 1) {
    auto parts = ReadParts(path);
    return Part(parts, "xl/worksheets/sheet" + std::to_string(position) + ".xml");
}

// ---------------------------------------------------------------- counts

TEST(WriterCounts, MergesPastSixteenBitsAndBreaksPastTheLimit) {
    auto app = MakeApp();
    ScratchDir dir;
    auto book = app->NewWorkbook();
    auto sheet = book->ModelSheet(1);
    sheet->Name("Документ");
    const int merges = 70000;
    for (int r = 1; r <= merges; ++r) sheet->LoadMerge(Area{r, 1, r, 3});
    for (int k = 1; k <= 1100; ++k) sheet->AddHPageBreak(1 + 37 * k);

    std::string path = dir / "many.xlsx";
    SaveReport report = SaveWorkbook(*book, path);
    ASSERT_EQ(report.breaks.size(), 1u);
    EXPECT_EQ(report.breaks[0].sheet, "Документ");
    EXPECT_EQ(report.breaks[0].given, 1100);
    EXPECT_EQ(report.breaks[0].kept, 1026);
    EXPECT_NE(report.Describe().find("1027"), std::string::npos) << report.Describe();

    std::string xml = SheetXml(path);
    EXPECT_NE(xml.find("<mergeCells count=\"70000\">"), std::string::npos);
    EXPECT_NE(xml.find("<rowBreaks count=\"1026\" manualBreakCount=\"1026\">"), std::string::npos);

    auto loaded = LoadWorkbook(*app, path)->ModelSheet(1);
    auto areas = loaded->MergedAreas(Area{1, 1, host::kMaxRows, host::kMaxColumns});
    ASSERT_EQ(areas.size(), static_cast<std::size_t>(merges));
    EXPECT_EQ(areas.back(), (Area{merges, 1, merges, 3}));
    auto breaks = loaded->HPageBreaks();
    ASSERT_EQ(breaks.size(), 1026u);
    EXPECT_EQ(breaks.front(), 38);
    EXPECT_EQ(breaks.back(), 1 + 37 * 1026);

    // Within the limit nothing is reported.
    sheet->RemoveHPageBreak(1 + 37 * 1100);
    for (int k = 1027; k < 1100; ++k) sheet->RemoveHPageBreak(1 + 37 * k);
    EXPECT_TRUE(SaveWorkbook(*book, path).empty());
}

TEST(WriterCounts, CommandSaysFromWhichPrintedSheetBreaksAreAutomatic) {
    // A specification list long enough for more printed sheets than the file keeps breaks.
    auto app = MakeApp();
    ScratchDir dir;
    const std::string name = "АБВГ.436234.001";
    auto k = Kalvora::Create(*app);
    auto book = app->NewWorkbook();
    std::shared_ptr<host::Worksheet> ws = book->Sheet(1);
    k->SPA_Blank(ws);
    for (int i = 1; i <= 33000; ++i) {
        ws->SetValue(Area{i + 1, 4, i + 1, 4}, "АБВГ.301234." + std::to_string(100 + i % 900));
        ws->SetValue(Area{i + 1, 5, i + 1, 5}, "Резистор " + std::to_string(i));
    }
    ws->Name(name);
    std::string input = dir / "list.xlsx", output = dir / "formed.xlsx", err = dir / "err.txt";
    book->SetPath(input);
    std::shared_ptr<host::Workbook> bookRef = book;
    k->FindSPIS(bookRef);
    auto attrs = std::make_shared<AttrDoc>();
    attrs->LetText("aOboz", name);
    k->AttribsToSPIS(attrs, ws);
    SaveWorkbook(*book, input);

    std::string command = std::string("'") + ORMELIN_BINARY_DIR + "/ormelin' form '" + input + "' '" + name +
                          "' --print -o '" + output + "' 2>'" + err + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << ReadFile(err);
    std::string message = ReadFile(err);
    EXPECT_NE(message.find("sheet \"" + name + "\""), std::string::npos) << message;
    EXPECT_NE(message.find("the file keeps 1026; from printed sheet 1027 on the printout falls back to automatic page breaks"),
              std::string::npos)
        << message;
    EXPECT_EQ(LoadWorkbook(*app, output)->ModelSheet(2)->HPageBreaks().size(), 1026u);
}

// ---------------------------------------------------------------- texts

TEST(WriterTexts, EscapesControlCharactersAndTheFilesOwnEscape) {
    auto app = MakeApp();
    ScratchDir dir;
    auto book = app->NewWorkbook();
    auto sheet = book->ModelSheet(1);
    const std::vector<std::string> texts = {
        "_x0041_",                    // would read back as "A"
        "a_x005F_b",                  // the escape of the underscore itself
        "_x12",                       // too short to be an escape: as it is
        std::string("до\x01после"),   // U+0001
        "строка\r\nдругая",           // a carriage return survives
        "     ",                      // whitespace only
        "  поля  ",                   // leading and trailing spaces
        "таб\tи\nперевод",
        "<&>\"'",
        "\xEF\xBF\xBF",               // U+FFFF, no XML character
        std::string("_x000D\x01_"),   // an escape once U+0001 is escaped (found by the parts fuzzer)
        "_x0041",                     // at the end
    };
    // LibreOffice reads an escaped underscore that an escape follows as one
    // escape ("_x005F_x000D_x0001__" as a carriage return and "x0001__"): these
    // texts are checked through our own reader only.
    const std::size_t lastForLibreOffice = texts.size() - 2;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        int r = static_cast<int>(i) + 1;
        sheet->SetLiteral(Area{r, 1, r, 1}, texts[i]);
        sheet->SetFormula(r, 2, "=RC[-1]", texts[i]);  // the same text as a cached value
    }
    std::string path = dir / "texts.xlsx";
    SaveWorkbook(*book, path);

    for (const auto& [name, bytes] : ReadParts(path)) {
        pugi::xml_document doc;
        EXPECT_TRUE(doc.load_buffer(bytes.data(), bytes.size())) << name;
    }
    auto loaded = LoadWorkbook(*app, path)->ModelSheet(1);
    for (std::size_t i = 0; i < texts.size(); ++i) {
        int r = static_cast<int>(i) + 1;
        EXPECT_EQ(std::get<std::string>(loaded->Content(r, 1).value), texts[i]) << "row " << r;
        EXPECT_EQ(std::get<std::string>(loaded->Content(r, 2).value), texts[i]) << "cached, row " << r;
    }

    // openpyxl decodes only the escaped underscore of shared strings.
    if (std::system("/usr/bin/python3 -c 'import openpyxl' >/dev/null 2>&1") == 0) {
        std::string script = dir / "read.py", out = dir / "read.out";
        WriteFile(script, "import openpyxl, sys\nws = openpyxl.load_workbook(sys.argv[1]).active\n"
                          "for r in (1, 6, 7):\n"
                          "    sys.stdout.buffer.write(repr(ws.cell(r, 1).value).encode() + b'\\n')\n");
        ASSERT_EQ(std::system(("/usr/bin/python3 '" + script + "' '" + path + "' >'" + out + "'").c_str()), 0);
        EXPECT_EQ(ReadFile(out), "'_x0041_'\n'     '\n'  поля  '\n");
    }
    // LibreOffice decodes every escape: its own file of ours holds the same texts
    // (but for the carriage return, which it drops from a line break itself).
    if (std::system("command -v soffice >/dev/null 2>&1") == 0) {
        fs::create_directory(dir.path() / "out");
        std::string command = "cd '" + dir.path().string() + "' && HOME='" + dir.path().string() +
                              "' timeout 180 soffice -env:UserInstallation=file://" + dir.path().string() +
                              "/profile --headless --convert-to xlsx --outdir out texts.xlsx >soffice.log 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0) << ReadFile(dir / "soffice.log");
        auto theirs = LoadWorkbook(*app, dir / "out/texts.xlsx")->ModelSheet(1);
        for (std::size_t i = 0; i < lastForLibreOffice; ++i) {
            int r = static_cast<int>(i) + 1;
            if (texts[i].find('\r') != std::string::npos) continue;
            host::Value value = theirs->Content(r, 1).value;
            auto* text = std::get_if<std::string>(&value);
            ASSERT_TRUE(text) << "row " << r;
            EXPECT_EQ(*text, texts[i]) << "LibreOffice, row " << r;
        }
    }
}

// The writer gathers text in a buffer of about a megabyte: texts of the most
// characters a cell holds, escapes falling on every side of the buffer's edge,
// and a kept part larger than the whole buffer all come back whole.
TEST(WriterTexts, TextsAcrossTheBuffersEdgeAndLargerThanItComeBackWhole) {
    auto app = MakeApp();
    ScratchDir dir;
    auto book = app->NewWorkbook();
    auto sheet = book->ModelSheet(1);
    std::vector<std::string> texts;
    for (int i = 0; i < 90; ++i) {
        // 32,767 characters, two bytes each but for the markup moving along the text
        std::string t;
        for (int k = 0; k < 32767; ++k) t += (k % 997 == i % 997) ? "<" : (k % 1009 == i) ? "&" : "ж";
        texts.push_back(std::move(t));
    }
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const int r = static_cast<int>(i) + 1;
        sheet->SetLiteral(Area{r, 1, r, 1}, texts[i]);               // a shared string
        sheet->SetFormula(r, 2, "=RC[-1]", texts[i]);                // a cached value in the sheet itself
        sheet->SetLiteral(Area{r, 3, r, 3}, static_cast<double>(r) / 7);
    }
    // a theme part of two megabytes, written as it was kept
    std::string& theme = book->Theme();
    theme = "<a:theme xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" name=\"x\"><!--" +
            std::string(2 << 20, 'x') + "--><a:themeElements/></a:theme>";
    const std::string path = dir / "long.xlsx";
    SaveWorkbook(*book, path);

    auto parts = ReadParts(path);
    EXPECT_GT(Part(parts, "xl/worksheets/sheet1.xml").size(), std::size_t{4} << 20);
    EXPECT_EQ(Part(parts, "xl/theme/theme1.xml").find(theme) != std::string::npos, true);
    auto loaded = LoadWorkbook(*app, path)->ModelSheet(1);
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const int r = static_cast<int>(i) + 1;
        EXPECT_EQ(std::get<std::string>(loaded->Content(r, 1).value), texts[i]) << "row " << r;
        EXPECT_EQ(std::get<std::string>(loaded->Content(r, 2).value), texts[i]) << "cached, row " << r;
        EXPECT_EQ(std::get<double>(loaded->Content(r, 3).value), static_cast<double>(r) / 7) << "row " << r;
    }
}

TEST(WriterTexts, ControlCharacterInAFormulaFailsTheSave) {
    auto app = MakeApp();
    ScratchDir dir;
    auto book = app->NewWorkbook();
    book->ModelSheet(1)->SetFormula(3, 2, std::string("=\"a\x02\""), std::string("a"));
    std::string path = dir / "bad.xlsx";
    ExpectFileError([&] { SaveWorkbook(*book, path); }, {"B3", "U+0002"});
    EXPECT_FALSE(fs::exists(path));
}

// ---------------------------------------------------------------- saves that never destroy

class SafeSave : public ::testing::Test {
protected:
    std::shared_ptr<model::ModelApplication> app = MakeApp();
    ScratchDir dir;

    std::vector<std::string> Files(const std::string& folder) {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    /// A workbook whose file runs to a few megabytes.
    std::shared_ptr<model::ModelWorkbook> BigBook() {
        auto book = app->NewWorkbook();
        auto sheet = book->ModelSheet(1);
        for (int r = 1; r <= 30000; ++r)
            for (int c = 1; c <= 6; ++c)
                sheet->SetLiteral(Area{r, c, r, c}, "Строка " + std::to_string(r * 7 + c) + " графы " + std::to_string(c));
        return book;
    }
};

/// A small file system of its own, mounted when the tests may mount (as root).
class Mount {
public:
    Mount(const std::string& where, const char* options) : where_(where) {
        fs::create_directories(where);
        mounted_ = ::mount("tmpfs", where.c_str(), "tmpfs", 0, options) == 0;
    }
    ~Mount() {
        if (mounted_) ::umount2(where_.c_str(), MNT_DETACH);
    }
    bool mounted() const { return mounted_; }
    bool ReadOnly() { return ::mount("tmpfs", where_.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) == 0; }

private:
    std::string where_;
    bool mounted_ = false;
};

TEST_F(SafeSave, FolderThatFillsUpKeepsTheOriginal) {
    Mount small(dir / "small", "size=512k");
    if (!small.mounted()) GTEST_SKIP() << "cannot mount a small file system here";
    std::string path = dir / "small/book.xlsx";
    auto book = app->NewWorkbook();
    book->ModelSheet(1)->SetLiteral(Area{1, 1, 1, 1}, std::string("первая версия"));
    SaveWorkbook(*book, path);
    std::string before = ReadFile(path);

    ExpectFileError([&] { SaveWorkbook(*BigBook(), path); }, {"book.xlsx", "No space left on device"});
    EXPECT_EQ(ReadFile(path), before);
    EXPECT_EQ(Files(dir / "small"), std::vector<std::string>{"book.xlsx"});
}

TEST_F(SafeSave, ReadOnlyFolderKeepsTheOriginal) {
    Mount folder(dir / "ro", "size=1m");
    if (!folder.mounted()) GTEST_SKIP() << "cannot mount a file system here";
    std::string path = dir / "ro/book.xlsx";
    auto book = app->NewWorkbook();
    SaveWorkbook(*book, path);
    std::string before = ReadFile(path);
    ASSERT_TRUE(folder.ReadOnly());
    book->ModelSheet(1)->SetLiteral(Area{1, 1, 1, 1}, 2.0);
    ExpectFileError([&] { SaveWorkbook(*book, path); }, {"cannot create a file", "Read-only file system"});
    EXPECT_EQ(ReadFile(path), before);
    EXPECT_EQ(Files(dir / "ro"), std::vector<std::string>{"book.xlsx"});
}

TEST_F(SafeSave, CommandFailsWithStatusOneAndKeepsTheOriginal) {
    Mount full(dir / "full", "size=256k"), ro(dir / "ro", "size=256k");
    if (!full.mounted() || !ro.mounted()) GTEST_SKIP() << "cannot mount a file system here";
    auto book = app->NewWorkbook();
    for (const std::string& folder : {dir / "full", dir / "ro"}) {
        SCOPED_TRACE(folder);
        std::string path = folder + "/book.xlsx";
        SaveWorkbook(*book, path);
        std::string before = ReadFile(path);
        if (folder == dir / "full") {
            // Fill what is left of the file system.
            std::ofstream filler(folder + "/filler", std::ios::binary);
            std::string block(4096, 'x');
            while (filler.write(block.data(), block.size())) {
            }
        } else {
            ASSERT_TRUE(ro.ReadOnly());
        }
        std::string err = dir / "err.txt";
        std::string command = std::string("'") + ORMELIN_BINARY_DIR + "/ormelin' new '" + path + "' spa 2>'" + err + "' >/dev/null";
        int status = std::system(command.c_str());
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 1) << ReadFile(err);
        const std::string cause = folder == dir / "full" ? "No space left on device" : "Read-only file system";
        EXPECT_NE(ReadFile(err).find("book.xlsx"), std::string::npos) << ReadFile(err);
        EXPECT_NE(ReadFile(err).find(cause), std::string::npos) << ReadFile(err);
        EXPECT_EQ(ReadFile(path), before);
        auto files = Files(folder);
        std::erase(files, std::string("filler"));
        EXPECT_EQ(files, std::vector<std::string>{"book.xlsx"});
    }
}

TEST_F(SafeSave, SymbolicLinkIsWrittenThroughToItsTarget) {
    fs::create_directory(dir / "real");
    std::string target = dir / "real/book.xlsx", link = dir / "link.xlsx";
    auto book = app->NewWorkbook();
    SaveWorkbook(*book, target);
    fs::create_symlink(target, link);
    book->ModelSheet(1)->SetLiteral(Area{1, 1, 1, 1}, std::string("через ссылку"));
    SaveWorkbook(*book, link);
    EXPECT_TRUE(fs::is_symlink(link));
    auto loaded = LoadWorkbook(*app, target);
    EXPECT_EQ(std::get<std::string>(loaded->ModelSheet(1)->Content(1, 1).value), "через ссылку");
    EXPECT_EQ(Files(dir / "real"), std::vector<std::string>{"book.xlsx"});
}

TEST_F(SafeSave, OnlyRegularFilesOrNewPathsAreReplaced) {
    auto book = app->NewWorkbook();
    std::string fifo = dir / "pipe.xlsx";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    ExpectFileError([&] { SaveWorkbook(*book, fifo); }, {"pipe.xlsx", "not a regular file"});
    struct stat st;
    ASSERT_EQ(::lstat(fifo.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    ExpectFileError([&] { SaveWorkbook(*book, "/dev/null"); }, {"/dev/null", "not a regular file"});
    EXPECT_EQ(Files(dir.path().string()), std::vector<std::string>{"pipe.xlsx"});
}

TEST_F(SafeSave, OwnerGroupAndModeAreKept) {
    std::string path = dir / "book.xlsx";
    auto book = app->NewWorkbook();
    SaveWorkbook(*book, path);
    ASSERT_EQ(::chmod(path.c_str(), 0604), 0);
    if (geteuid() == 0) {
        ASSERT_EQ(::chown(path.c_str(), 4321, 4322), 0);
    }
    struct stat before;
    ASSERT_EQ(::stat(path.c_str(), &before), 0);
    SaveWorkbook(*book, path);
    struct stat after;
    ASSERT_EQ(::stat(path.c_str(), &after), 0);
    EXPECT_NE(before.st_ino, after.st_ino);  // a new file took the old one's place
    EXPECT_EQ(after.st_mode & 07777, 0604u);
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(after.st_gid, before.st_gid);
}

TEST_F(SafeSave, TerminatedSaveLeavesNoFileBehind) {
    std::string path = dir / "book.xlsx";
    auto book = BigBook();
    SaveWorkbook(*book, path);
    std::string before = ReadFile(path);
    for (int signal : {SIGTERM, SIGINT}) {
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (;;) SaveWorkbook(*book, path);  // saves the same bytes over and over
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        ::kill(child, signal);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal);
        EXPECT_EQ(Files(dir.path().string()), std::vector<std::string>{"book.xlsx"});
        EXPECT_EQ(ReadFile(path), before);
    }
}

}  // namespace
}  // namespace ormelin::xlsx::testing
