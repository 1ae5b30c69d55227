// Damaged and hostile files are refused with a FileError that names the part;
// parts the model does not hold are listed in the load report; saving is atomic.
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "xlsx/file_calls.hpp"
#include "xlsx/xlsx_fixture.hpp"

namespace ormelin::xlsx::testing {
namespace {

using detail::FileCalls;
using detail::SystemFileCalls;
using detail::UseFileCalls;

class Damaged : public ::testing::Test {
protected:
    void SetUp() override {
        good = dir / "good.xlsx";
        auto book = app->NewWorkbook();
        auto sheet = book->ModelSheet(1);
        sheet->SetLiteral(Area{1, 1, 1, 1}, std::string("текст"));
        sheet->SetLiteral(Area{2, 1, 2, 1}, 2.0);
        host::FormatPatch bold;
        bold.bold = true;
        sheet->Format(Area{1, 1, 1, 1}, bold);
        SaveWorkbook(*book, good);
        parts = ReadParts(good);
        activeBefore = app->ActiveWorkbook();
        booksBefore = app->Workbooks();
    }

    std::string Rewritten() {
        std::string path = dir / "damaged.xlsx";
        WriteParts(path, parts);
        return path;
    }

    void ExpectRefused(const std::string& path, std::initializer_list<std::string> fragments, const Limits& limits = {}) {
        ExpectFileError([&] { LoadWorkbook(*app, path, nullptr, limits); }, fragments);
        EXPECT_EQ(app->ActiveWorkbook(), activeBefore) << "a refused file became the active workbook";
        EXPECT_EQ(app->Workbooks(), booksBefore) << "a refused file left a workbook open";
    }

    std::shared_ptr<model::ModelApplication> app = MakeApp();
    ScratchDir dir;
    std::string good;
    Parts parts;
    std::shared_ptr<host::Workbook> activeBefore;
    std::vector<std::shared_ptr<host::Workbook>> booksBefore;
};

TEST_F(Damaged, TheGoodFileLoads) {
    LoadReport report;
    auto book = LoadWorkbook(*app, good, &report);
    EXPECT_TRUE(report.empty());
    EXPECT_EQ(std::get<std::string>(book->ModelSheet(1)->Content(1, 1).value), "текст");
    EXPECT_TRUE(book->ModelSheet(1)->CellStyle(1, 1).font.bold);
}

TEST_F(Damaged, TruncatedArchive) {
    std::string bytes = ReadFile(good);
    for (std::size_t keep : {bytes.size() / 2, bytes.size() - 10, std::size_t{30}, std::size_t{0}}) {
        std::string path = dir / "truncated.xlsx";
        WriteFile(path, bytes.substr(0, keep));
        ExpectRefused(path, {path});
    }
}

TEST_F(Damaged, NotAnArchiveOrNoFile) {
    std::string path = dir / "text.xlsx";
    WriteFile(path, "это не архив");
    ExpectRefused(path, {path});
    ExpectRefused(dir / "missing.xlsx", {"missing.xlsx"});
}

TEST_F(Damaged, MissingSheetPart) {
    parts.erase(std::remove_if(parts.begin(), parts.end(),
                               [](const auto& p) { return p.first == "xl/worksheets/sheet1.xml"; }),
                parts.end());
    ExpectRefused(Rewritten(), {"xl/worksheets/sheet1.xml", "missing"});
}

TEST_F(Damaged, MissingWorkbookPart) {
    parts.erase(std::remove_if(parts.begin(), parts.end(), [](const auto& p) { return p.first == "xl/workbook.xml"; }),
                parts.end());
    ExpectRefused(Rewritten(), {"xl/workbook.xml"});
}

TEST_F(Damaged, MalformedXmlNamesThePartAndOffset) {
    Part(parts, "xl/worksheets/sheet1.xml") = "<worksheet><sheetData><row r=\"1\"><c r=\"A1\"></row>";
    ExpectRefused(Rewritten(), {"xl/worksheets/sheet1.xml: malformed XML at offset"});
}

/// A sheet of `rows` rows, several megabytes of XML: its rows are read a slice
/// at a time. `insideData` goes at the start of <sheetData>.
std::string LargeSheet(int rows, const std::string& insideData = "") {
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                      "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
                      "<cols><col min=\"1\" max=\"1\" width=\"30\" customWidth=\"1\"/></cols><sheetData>" + insideData;
    for (int r = 1; r <= rows; ++r) {
        const std::string n = std::to_string(r);
        xml += "<row r=\"" + n + "\"" + (r % 7 == 0 ? " ht=\"20.25\" customHeight=\"1\"" : "") + ">";
        xml += "<c r=\"A" + n + "\" t=\"inlineStr\"><is><t>строка " + n + " &amp; &lt;r&gt;</t></is></c>";
        xml += "<c r=\"B" + n + "\" s=\"1\"><v>" + std::to_string(r * 0.25) + "</v></c>";
        if (r % 3 == 0) xml += "<c r=\"D" + n + "\" t=\"b\"><v>1</v></c>";
        xml += "</row>\n";
    }
    xml += "</sheetData><mergeCells count=\"1\"><mergeCell ref=\"E10:F12\"/></mergeCells>"
           "<rowBreaks count=\"2\" manualBreakCount=\"2\"><brk id=\"9999\" max=\"16383\" man=\"1\"/>"
           "<brk id=\"25000\" max=\"16383\" man=\"1\"/></rowBreaks></worksheet>";
    return xml;
}

TEST_F(Damaged, ALargeSheetReadsTheSameInSlicesAsWhole) {
    // A comment in the rows makes the reader take the whole part as one
    // document; without one it reads the rows a slice at a time. Both must give
    // the same workbook, which is saved and compared part by part.
    const int rows = 30000;
    std::map<std::string, std::string> saved;
    for (const std::string inside : {"", "<!-- </row> --><?mark </row>?>"}) {
        Part(parts, "xl/worksheets/sheet1.xml") = LargeSheet(rows, inside);
        ASSERT_GT(Part(parts, "xl/worksheets/sheet1.xml").size(), 3u << 20);
        auto book = LoadWorkbook(*app, Rewritten());
        auto sheet = book->ModelSheet(1);
        EXPECT_EQ(std::get<std::string>(sheet->Content(rows, 1).value), "строка 30000 & <r>");
        EXPECT_EQ(std::get<double>(sheet->Content(rows - 1, 2).value), (rows - 1) * 0.25);
        EXPECT_EQ(sheet->HPageBreaks(), (std::vector<int>{10000, 25001}));
        EXPECT_EQ(sheet->MergedAreas(Area{1, 1, rows, 10}), (std::vector<Area>{Area{10, 5, 12, 6}}));
        EXPECT_EQ(sheet->UsedRange(), (Area{1, 1, rows, 4}));
        std::string out = dir / ("saved" + std::to_string(saved.size()) + ".xlsx");
        SaveWorkbook(*book, out);
        Parts back = ReadParts(out);
        saved[inside] = Part(back, "xl/worksheets/sheet1.xml");
        app->CloseWorkbook(book);
    }
    ASSERT_EQ(saved.size(), 2u);
    EXPECT_TRUE(saved.begin()->second == saved.rbegin()->second) << "the two ways of reading gave different sheets";
}

TEST_F(Damaged, MalformedRowsFarIntoALargeSheetNameTheirOffset) {
    std::string& sheet = Part(parts, "xl/worksheets/sheet1.xml");
    sheet = LargeSheet(30000);
    const std::size_t at = sheet.find("<row r=\"28000\"");
    sheet.insert(at, "<c r=\"A27999\"></row>");  // a cell left open: "</c>" is missing
    try {
        LoadWorkbook(*app, Rewritten());
        FAIL() << "a malformed row was read";
    } catch (const Error& e) {
        const std::string message = e.what();
        const std::string key = "malformed XML at offset ";
        ASSERT_NE(message.find(key), std::string::npos) << message;
        const std::size_t offset = std::stoul(message.substr(message.find(key) + key.size()));
        EXPECT_GE(offset, at) << message;
        EXPECT_LE(offset, at + 40) << "the offset is not where the fault is in the part: " << message;
    }
}

TEST_F(Damaged, MalformedSharedStrings) {
    Part(parts, "xl/sharedStrings.xml") += "<junk";
    ExpectRefused(Rewritten(), {"xl/sharedStrings.xml: malformed XML"});
}

TEST_F(Damaged, StyleIndexOutOfRange) {
    ReplaceOnce(Part(parts, "xl/worksheets/sheet1.xml"), "s=\"1\"", "s=\"999\"");
    ExpectRefused(Rewritten(), {"xl/worksheets/sheet1.xml", "style index 999", "A1"});
}

TEST_F(Damaged, FontIndexOutOfRangeInStyles) {
    ReplaceOnce(Part(parts, "xl/styles.xml"), "fontId=\"1\"", "fontId=\"77\"");
    ExpectRefused(Rewritten(), {"xl/styles.xml", "font 77"});
}

TEST_F(Damaged, SharedStringIndexOutOfRange) {
    ReplaceOnce(Part(parts, "xl/worksheets/sheet1.xml"), "<v>0</v>", "<v>12</v>");
    ExpectRefused(Rewritten(), {"xl/worksheets/sheet1.xml", "shared string 12"});
}

// Load and save keep one rule for a cell's text: 32,767 characters load and save
// again; one more is refused at the load, naming the sheet and the cell, as the
// save would refuse it. A formula's result is the formula's and loads.
TEST_F(Damaged, ACellTextLongerThanACellHoldsIsRefusedAtTheLoad) {
    std::string fits;
    for (int i = 0; i < 32767; ++i) fits += "ж";
    ReplaceOnce(Part(parts, "xl/sharedStrings.xml"), "текст", fits);
    const std::string path = Rewritten();
    auto other = MakeApp();
    SaveWorkbook(*LoadWorkbook(*other, path), dir / "again.xlsx");
    EXPECT_EQ(std::get<std::string>(LoadWorkbook(*other, dir / "again.xlsx")->ModelSheet(1)->Content(1, 1).value), fits);

    ReplaceOnce(Part(parts, "xl/sharedStrings.xml"), fits, fits + "ж");
    ExpectRefused(Rewritten(), {"sheet \"Лист1\", cell A1", "32768 characters", "32,767"});
    // The same text inline.
    parts = ReadParts(good);
    ReplaceOnce(Part(parts, "xl/worksheets/sheet1.xml"), "t=\"s\"><v>0</v>",
                "t=\"inlineStr\"><is><t>" + std::string(40000, 'x') + "</t></is>");
    ExpectRefused(Rewritten(), {"cell A1", "40000 characters"});
}

// An empty text is no content, however the file writes it (an empty shared
// string, an inline string without its text): what loads is what a save keeps,
// an empty cell with its format (found by the parts fuzzer).
TEST_F(Damaged, AnEmptyTextLoadsAsAnEmptyCellWithItsFormat) {
    for (const char* cell : {"t=\"inlineStr\"> t=\"shared\"/><v>0</v>", "t=\"inlineStr\"><is><t></t></is>",
                             "t=\"str\"><v></v>"}) {
        SCOPED_TRACE(cell);
        parts = ReadParts(good);
        ReplaceOnce(Part(parts, "xl/worksheets/sheet1.xml"), "t=\"s\"><v>0</v>", cell);
        auto loaded = LoadWorkbook(*app, Rewritten(), nullptr);
        const host::CellContent a1 = loaded->ModelSheet(1)->Content(1, 1);
        EXPECT_TRUE(host::IsEmpty(a1.value));
        EXPECT_TRUE(loaded->ModelSheet(1)->CellStyle(1, 1).font.bold);
        SaveWorkbook(*loaded, dir / "again.xlsx");
        auto again = LoadWorkbook(*app, dir / "again.xlsx", nullptr);
        EXPECT_TRUE(host::IsEmpty(again->ModelSheet(1)->Content(1, 1).value));
        EXPECT_TRUE(again->ModelSheet(1)->CellStyle(1, 1).font.bold);
    }
}

// A formula with a name that R1C1 notation reads as a reference ("c" is the
// current column there) would come back changed: it is refused (found by the
// parts fuzzer: "...&c=2..." became "...&C=2...").
TEST_F(Damaged, AFormulaNameReadAsAReferenceIsRefused) {
    ReplaceOnce(Part(parts, "xl/worksheets/sheet1.xml"), "<c r=\"A2\"><v>2</v></c>",
                "<c r=\"A2\"><f>b=1&amp;c=2</f><v>0</v></c>");
    ExpectRefused(Rewritten(), {"xl/worksheets/sheet1.xml", "the name \"c\""});
}

TEST_F(Damaged, CellsOutOfTheSheetOrNotNumbers) {
    auto original = Part(parts, "xl/worksheets/sheet1.xml");
    ReplaceOnce(Part(parts, "xl/worksheets/sheet1.xml"), "r=\"A2\"", "r=\"XFE2\"");
    ExpectRefused(Rewritten(), {"xl/worksheets/sheet1.xml", "\"XFE2\" lies beyond the last column"});
    Part(parts, "xl/worksheets/sheet1.xml") = original;
    ReplaceOnce(Part(parts, "xl/worksheets/sheet1.xml"), "r=\"A2\"", "r=\"A1048577\"");
    ExpectRefused(Rewritten(), {"xl/worksheets/sheet1.xml", "\"A1048577\" lies beyond the last row"});
    Part(parts, "xl/worksheets/sheet1.xml") = original;
    ReplaceOnce(Part(parts, "xl/worksheets/sheet1.xml"), "r=\"A2\"", "r=\"2A\"");
    ExpectRefused(Rewritten(), {"xl/worksheets/sheet1.xml", "\"2A\" is not a cell reference"});
    Part(parts, "xl/worksheets/sheet1.xml") = original;
    ReplaceOnce(Part(parts, "xl/worksheets/sheet1.xml"), "r=\"A2\"", "r=\"A3\"");
    ExpectRefused(Rewritten(), {"xl/worksheets/sheet1.xml", "\"A3\" is not in row 2"});
    Part(parts, "xl/worksheets/sheet1.xml") = original;
    ReplaceOnce(Part(parts, "xl/worksheets/sheet1.xml"), "<v>2</v>", "<v>два</v>");
    ExpectRefused(Rewritten(), {"xl/worksheets/sheet1.xml", "A2", "not a number"});
}

TEST_F(Damaged, MergeThatIsNoAddress) {
    ReplaceOnce(Part(parts, "xl/worksheets/sheet1.xml"), "</sheetData>",
                "</sheetData><mergeCells count=\"1\"><mergeCell ref=\"A1:??\"/></mergeCells>");
    ExpectRefused(Rewritten(), {"xl/worksheets/sheet1.xml"});
}

TEST_F(Damaged, PartThatInflatesPastTheBound) {
    // Three mebibytes of blanks deflate to a few kilobytes.
    std::string& sheet = Part(parts, "xl/worksheets/sheet1.xml");
    sheet.insert(sheet.find("?>") + 2, std::string(3 << 20, ' '));
    std::string path = Rewritten();
    EXPECT_LT(ReadFile(path).size(), 100000u);
    Limits limits;
    limits.maxPartBytes = 1 << 20;
    ExpectRefused(path, {"xl/worksheets/sheet1.xml", "inflates past"}, limits);
    EXPECT_NO_THROW(LoadWorkbook(*app, path, nullptr));  // within the default bound
}

TEST_F(Damaged, TotalInflatedSizeIsBounded) {
    for (const char* name : {"xl/sharedStrings.xml", "xl/styles.xml"}) {
        std::string& p = Part(parts, name);
        p.insert(p.find("?>") + 2, std::string(600 << 10, ' '));
    }
    std::string path = Rewritten();
    Limits limits;
    limits.maxTotalBytes = 1 << 20;
    ExpectRefused(path, {"xl/styles.xml", "inflates past"}, limits);
}

TEST_F(Damaged, TooManyParts) {
    Limits limits;
    limits.maxEntries = 5;
    ExpectRefused(good, {"too many parts"}, limits);
}

TEST_F(Damaged, ExternalEntitiesAreNotResolved) {
    std::string secret = dir / "secret.txt";
    WriteFile(secret, "секрет");
    std::string& sst = Part(parts, "xl/sharedStrings.xml");
    sst = "<?xml version=\"1.0\"?><!DOCTYPE sst [<!ENTITY x SYSTEM \"file://" + secret +
          "\">]><sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><si><t>&x;</t></si></sst>";
    try {
        auto book = LoadWorkbook(*app, Rewritten(), nullptr);
        auto value = book->ModelSheet(1)->Content(1, 1).value;
        ASSERT_TRUE(std::holds_alternative<std::string>(value));
        EXPECT_EQ(std::get<std::string>(value).find("секрет"), std::string::npos);
    } catch (const Error& e) {
        EXPECT_EQ(e.code(), ErrorCode::FileError);
    }
}

TEST_F(Damaged, ReportListsWhatTheModelDoesNotHold) {
    parts.emplace_back("xl/media/image1.png", "png");
    parts.emplace_back("xl/vbaProject.bin", "vba");
    parts.emplace_back("xl/comments1.xml", "<comments/>");
    ReplaceOnce(Part(parts, "xl/worksheets/sheet1.xml"), "<pageMargins",
                "<conditionalFormatting sqref=\"A1\"/><dataValidations count=\"0\"/><pageMargins");
    ReplaceOnce(Part(parts, "xl/workbook.xml"), "<calcPr",
                "<definedNames><definedName name=\"Итого\">Sheet1!$A$1</definedName></definedNames><calcPr");
    LoadReport report;
    auto book = LoadWorkbook(*app, Rewritten(), &report);
    for (const char* what : {"images", "macros (vbaProject)", "comments", "conditional formats", "data validation",
                             "defined names"})
        EXPECT_TRUE(report.Has(what)) << what << " missing from\n" << report.Describe();
    EXPECT_NE(report.Describe().find("xl/media/image1.png"), std::string::npos);
    EXPECT_EQ(std::get<std::string>(book->ModelSheet(1)->Content(1, 1).value), "текст");
}

TEST_F(Damaged, DocumentPropertiesThatCannotBeKeptAreReported) {
    const std::string customRel =
        "<Relationship Id=\"rId9\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
        "custom-properties\" Target=\"docProps/custom.xml\"/></Relationships>";
    auto loadReport = [&](const std::string& path) {
        LoadReport report;
        auto book = LoadWorkbook(*app, path, &report);
        EXPECT_EQ(std::get<std::string>(book->ModelSheet(1)->Content(1, 1).value), "текст");
        return std::make_pair(report, book);
    };
    // Not well-formed custom properties, and core properties of another kind.
    const Parts original = parts;
    ReplaceOnce(Part(parts, "_rels/.rels"), "</Relationships>", customRel);
    parts.emplace_back("docProps/custom.xml", "<Properties><property name=\"x\"></Properties>");
    Part(parts, "docProps/core.xml") = "<other/>";
    auto [report, book] = loadReport(Rewritten());
    EXPECT_TRUE(report.Has("custom document properties")) << report.Describe();
    EXPECT_NE(report.Describe().find("(docProps/custom.xml)"), std::string::npos) << report.Describe();
    EXPECT_NE(report.Describe().find("document properties (docProps/core.xml)"), std::string::npos) << report.Describe();
    EXPECT_TRUE(book->Properties().custom.empty());
    EXPECT_TRUE(book->Properties().core.empty());

    // Custom properties past the bound.
    parts = original;
    ReplaceOnce(Part(parts, "_rels/.rels"), "</Relationships>", customRel);
    parts.emplace_back("docProps/custom.xml", "<Properties><!--" + std::string(std::size_t{1} << 20, 'x') + "--></Properties>");
    auto [large, largeBook] = loadReport(Rewritten());
    EXPECT_TRUE(large.Has("custom document properties")) << large.Describe();
    EXPECT_TRUE(largeBook->Properties().custom.empty());

    // Custom properties the package does not name.
    parts = original;
    parts.emplace_back("docProps/custom.xml", "<Properties/>");
    EXPECT_TRUE(loadReport(Rewritten()).first.Has("custom document properties"));
}

TEST_F(Damaged, DefaultColumnWidthOutOfRange) {
    const Parts original = parts;
    ReplaceOnce(Part(parts, "xl/worksheets/sheet1.xml"), "<sheetFormatPr ", "<sheetFormatPr defaultColWidth=\"300\" ");
    ExpectRefused(Rewritten(), {"xl/worksheets/sheet1.xml", "default column width \"300\" out of range"});
    parts = original;
    ReplaceOnce(Part(parts, "xl/worksheets/sheet1.xml"), "<sheetFormatPr ", "<sheetFormatPr baseColWidth=\"-3\" ");
    ExpectRefused(Rewritten(), {"xl/worksheets/sheet1.xml", "default column width base -3 out of range"});
    // The widest default the file allows is the widest column the model holds.
    parts = original;
    ReplaceOnce(Part(parts, "xl/worksheets/sheet1.xml"), "<sheetFormatPr ", "<sheetFormatPr defaultColWidth=\"256\" ");
    EXPECT_DOUBLE_EQ(LoadWorkbook(*app, Rewritten())->ModelSheet(1)->ColumnWidth(4), 255);
}

TEST_F(Damaged, FailedLoadsLeaveNoWorkbookOpen) {
    ReplaceOnce(Part(parts, "xl/worksheets/sheet1.xml"), "</sheetData>", "</sheetDta>");
    std::string malformed = Rewritten();
    for (int attempt = 0; attempt < 3; ++attempt) ExpectRefused(malformed, {"xl/worksheets/sheet1.xml"});
    EXPECT_EQ(app->Workbooks().size(), 1u);

    // The only workbook failing to load leaves none at all.
    auto alone = MakeApp();
    EXPECT_THROW(LoadWorkbook(*alone, malformed), Error);
    EXPECT_TRUE(alone->Workbooks().empty());
    EXPECT_EQ(alone->ActiveWorkbook(), nullptr);
}

TEST_F(Damaged, DateSystemOf1904IsKept) {
    ReplaceOnce(Part(parts, "xl/workbook.xml"), "<workbookPr/>", "<workbookPr date1904=\"1\"/>");
    LoadReport report;
    auto book = LoadWorkbook(*app, Rewritten(), &report);
    EXPECT_TRUE(report.items.empty()) << report.Describe();
    EXPECT_TRUE(book->Date1904());
}

TEST_F(Damaged, OutlineLevelsBeyondSevenAreKeptAsSevenAndReported) {
    ReplaceOnce(Part(parts, "xl/worksheets/sheet1.xml"), "<row r=\"1\"", "<row r=\"1\" outlineLevel=\"8\"");
    LoadReport report;
    auto sheet = LoadWorkbook(*app, Rewritten(), &report)->ModelSheet(1);
    EXPECT_TRUE(report.Has("outline levels beyond 7 (kept as 7)")) << report.Describe();
    int level = -1;
    sheet->ForEachRow([&](int row, const model::RowRecord& record) {
        if (row == 1) level = record.outlineLevel;
    });
    EXPECT_EQ(level, 7);
}

TEST_F(Damaged, AHiddenColumnsWidthThatCannotBeIsDropped) {
    ReplaceOnce(Part(parts, "xl/worksheets/sheet1.xml"), "<sheetData>",
                "<cols><col min=\"2\" max=\"2\" width=\"9999\" customWidth=\"1\" hidden=\"1\"/></cols><sheetData>");
    LoadReport report;
    auto sheet = LoadWorkbook(*app, Rewritten(), &report)->ModelSheet(1);
    EXPECT_TRUE(report.empty()) << report.Describe();
    EXPECT_EQ(sheet->ColumnWidth(2), 0);
    auto columns = sheet->Columns();
    ASSERT_EQ(columns.size(), 1u);
    EXPECT_LT(columns[0].hiddenWidth, 0);
}

TEST_F(Damaged, FuzzedBytesNeverCrash) {
    // A cheap deterministic mutation run; the libFuzzer target goes further.
    std::string bytes = ReadFile(good);
    std::uint32_t seed = 12345;
    for (int round = 0; round < 200; ++round) {
        std::string mutated = bytes;
        for (int k = 0; k < 4; ++k) {
            seed = seed * 1664525u + 1013904223u;
            mutated[seed % mutated.size()] = static_cast<char>(seed >> 24);
        }
        try {
            LoadWorkbookFromMemory(*app, mutated.data(), mutated.size(), "mutated.xlsx");
        } catch (const Error& e) {
            EXPECT_EQ(e.code(), ErrorCode::FileError) << e.description();
        }
    }
}

// ---------------------------------------------------------------- atomic save

class AtomicSave : public ::testing::Test {
protected:
    std::shared_ptr<model::ModelApplication> app = MakeApp();
    ScratchDir dir;

    std::vector<std::string> Files() {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir.path())) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(AtomicSave, FailedSaveLeavesTheEarlierFileAndNoLeftovers) {
    std::string path = dir / "book.xlsx";
    auto book = app->NewWorkbook();
    book->ModelSheet(1)->SetLiteral(Area{1, 1, 1, 1}, std::string("первая версия"));
    SaveWorkbook(*book, path);
    std::string before = ReadFile(path);

    // A text longer than a cell can hold makes the writer refuse the cell.
    book->ModelSheet(1)->SetLiteral(Area{2, 1, 2, 1}, std::string(40000, 'x'));
    ExpectFileError([&] { SaveWorkbook(*book, path); }, {"sheet \"Лист1\", cell A2", "40000 characters"});
    EXPECT_EQ(ReadFile(path), before);
    EXPECT_EQ(Files(), std::vector<std::string>{"book.xlsx"});
}

// A save killed outright leaves its new file beside the workbook. The cleaner
// removes such files of ours that no running save holds locked, and nothing else.
TEST_F(AtomicSave, LeftoversOfKilledSavesAreRemovedAndRunningSavesKept) {
    const std::string path = dir / "book.xlsx";
    auto book = app->NewWorkbook();
    for (int r = 1; r <= 20000; ++r) book->ModelSheet(1)->SetLiteral(Area{r, 1, r, 8}, std::string("строка"));
    SaveWorkbook(*book, path);
    const pid_t saver = fork();
    if (saver == 0) {
        try {
            for (;;) SaveWorkbook(*book, path);
        } catch (...) {
        }
        _exit(1);
    }
    ASSERT_GT(saver, 0);
    auto pending = [&] {
        for (const auto& e : fs::directory_iterator(dir.path()))
            if (e.path().filename().string().rfind(".book.xlsx.", 0) == 0) return true;
        return false;
    };
    for (int i = 0; i < 2000 && !pending(); ++i) usleep(5000);
    ASSERT_TRUE(pending()) << "the save never began";
    // A running save's file is kept.
    EXPECT_EQ(RemoveLeftoverSaves(path), 0u);
    kill(saver, SIGKILL);
    waitpid(saver, nullptr, 0);
    for (const auto& e : fs::directory_iterator(dir.path())) {
        const std::string name = e.path().filename().string();
        if (name.rfind(".book.xlsx.", 0) == 0) fs::rename(e.path(), dir / ".book.xlsx.Killed");
    }
    ASSERT_TRUE(fs::exists(dir / ".book.xlsx.Killed"));

    // Files that only look alike, and one a running save holds, stay.
    for (const char* name : {".book.xlsx.held01", ".other.xlsx.AbC123", ".book.xlsx.AbC12", ".book.xlsx.AbC1-3", "book.xlsx.AbC123"})
        std::ofstream(dir / name) << "x";
    const int held = open((dir / ".book.xlsx.held01").c_str(), O_RDONLY);
    ASSERT_EQ(flock(held, LOCK_EX), 0);
    EXPECT_EQ(RemoveLeftoverSaves(path), 1u);
    close(held);
    EXPECT_EQ(Files(), (std::vector<std::string>{".book.xlsx.AbC1-3", ".book.xlsx.AbC12", ".book.xlsx.held01",
                                                 ".other.xlsx.AbC123", "book.xlsx", "book.xlsx.AbC123"}));
}

TEST_F(AtomicSave, DestinationFolderMissingOrNotWritable) {
    auto book = app->NewWorkbook();
    ExpectFileError([&] { SaveWorkbook(*book, dir / "нет папки/book.xlsx"); }, {"нет папки"});

    std::string folder = dir / "locked";
    fs::create_directory(folder);
    std::string path = folder + "/book.xlsx";
    SaveWorkbook(*book, path);
    std::string before = ReadFile(path);
    chmod(folder.c_str(), 0555);
    // Permissions do not bind the superuser: for one, the folder refuses the new
    // file as a folder without write permission does.
    FileCalls refusing = SystemFileCalls();
    refusing.mkstemp = [](char*) {
        errno = EACCES;
        return -1;
    };
    if (geteuid() == 0) UseFileCalls(&refusing);
    book->ModelSheet(1)->SetLiteral(Area{1, 1, 1, 1}, 1.0);
    ExpectFileError([&] { SaveWorkbook(*book, path); }, {"locked", "Permission denied"});
    UseFileCalls(nullptr);
    EXPECT_EQ(ReadFile(path), before);
}

// Each way the system can fail a save (a full disk while writing, a failing
// flush to disk, a rename refused) leaves the file as it was, no new file beside
// it, and an error naming the file.
TEST_F(AtomicSave, EveryFailingStepOfTheSaveKeepsTheFile) {
    std::string path = dir / "book.xlsx";
    auto book = app->NewWorkbook();
    SaveWorkbook(*book, path);
    const std::string before = ReadFile(path);
    book->ModelSheet(1)->SetLiteral(Area{1, 1, 1, 1}, std::string("изменение"));

    struct Failing {
        const char* what;
        const char* says;
        FileCalls calls;
    };
    FileCalls full = SystemFileCalls(), unflushed = SystemFileCalls(), unrenamed = SystemFileCalls();
    full.write = [](int, const void*, std::size_t) -> ssize_t {
        errno = ENOSPC;
        return -1;
    };
    full.pwrite = [](int, const void*, std::size_t, off_t) -> ssize_t {
        errno = ENOSPC;
        return -1;
    };
    unflushed.fsync = [](int) {
        errno = EIO;
        return -1;
    };
    unrenamed.rename = [](const char*, const char*) {
        errno = EXDEV;
        return -1;
    };
    for (const Failing& f : {Failing{"disk full", "No space left on device", full},
                             Failing{"flush", "Input/output error", unflushed},
                             Failing{"rename", "Invalid cross-device link", unrenamed}}) {
        SCOPED_TRACE(f.what);
        UseFileCalls(&f.calls);
        ExpectFileError([&] { SaveWorkbook(*book, path); }, {"book.xlsx", f.says});
        UseFileCalls(nullptr);
        EXPECT_EQ(ReadFile(path), before);
        EXPECT_EQ(Files(), std::vector<std::string>{"book.xlsx"});
    }
    // and with the system's calls again the save goes through
    SaveWorkbook(*book, path);
    EXPECT_NE(ReadFile(path), before);
}

TEST_F(AtomicSave, DestinationThatIsAFolderIsLeftAlone) {
    std::string path = dir / "папка.xlsx";
    fs::create_directory(path);
    auto book = app->NewWorkbook();
    ExpectFileError([&] { SaveWorkbook(*book, path); }, {"папка.xlsx"});
    EXPECT_TRUE(fs::is_directory(path));
    EXPECT_EQ(Files(), std::vector<std::string>{"папка.xlsx"});
}

TEST_F(AtomicSave, FailingSaverOfTheApplicationKeepsTheFile) {
    std::string path = dir / "book.xlsx";
    auto book = app->NewWorkbook();
    SaveWorkbook(*book, path);
    std::string before = ReadFile(path);
    app->SetSaver([](const model::ModelWorkbook&, const std::string&) {
        throw Error(ErrorCode::FileError, "disk full");
    });
    EXPECT_THROW(book->SaveAs(path), Error);
    EXPECT_EQ(ReadFile(path), before);
}

TEST_F(AtomicSave, OverwriteKeepsThePermissionsOfTheFile) {
    std::string path = dir / "book.xlsx";
    auto book = app->NewWorkbook();
    SaveWorkbook(*book, path);
    chmod(path.c_str(), 0640);
    SaveWorkbook(*book, path);
    struct stat st;
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

}  // namespace
}  // namespace ormelin::xlsx::testing
