// Cell-level features that other programs give a workbook and the model keeps:
// strikethrough, superscript and subscript, theme colours with a tint, the
// cells' protection flags, and formatted runs of a text. A file holding them is
// not reported on loading, so a command writes it in place, and each feature
// comes back exactly as the file had it.
#include <sys/wait.h>

#include <cstdlib>

#include "ormelin/rich_text.hpp"
#include "xlsx/xlsx_fixture.hpp"

namespace ormelin::xlsx::testing {
namespace {

using host::Color;
using host::RichText;
using host::RunFont;
using host::TextRun;

/// What the load report named before these features were kept; none of it may
/// appear any more.
const char* const kNoLongerReported[] = {"strikethrough", "superscript and subscript", "theme colours with a tint",
                                         "cell protection flags", "rich text formatting"};

void ExpectNoneReported(const LoadReport& report) {
    for (const char* what : kNoLongerReported) EXPECT_FALSE(report.Has(what)) << what << " in\n" << report.Describe();
}

std::shared_ptr<const RichText> Runs(std::vector<TextRun> runs) {
    auto text = std::make_shared<RichText>();
    text->runs = std::move(runs);
    return text;
}

/// "Жирный" bold red, " обычный " in the cell's font, "2" italic superscript
/// struck through in a darkened theme colour.
std::shared_ptr<const RichText> SampleRuns() {
    RunFont bold;
    bold.name = "Calibri";
    bold.size = 11;
    bold.bold = true;
    bold.color = Color::Rgb(0xFF0000);
    bold.other = "<family val=\"2\"/>";
    RunFont small;
    small.italic = true;
    small.strikethrough = true;
    small.superscript = true;
    small.size = 9;
    small.color = Color::Theme(4, -0.25);
    return Runs({{"Жирный", bold}, {" обычный ", std::nullopt}, {"2", small}});
}

void LoadText(model::ModelWorksheet& sheet, int row, int column, std::shared_ptr<const RichText> runs) {
    std::string text = runs->Joined();
    sheet.LoadCell(row, column, CellContent{text, "", std::move(runs)}, 0);
}

const RichText* RunsAt(const model::ModelWorksheet& sheet, int row, int column) {
    return sheet.Content(row, column).runs.get();
}

// ---------------------------------------------------------------- the model

TEST(KeptCellFeatures, NewStylePropertiesAreInternedLikeTheOthers) {
    auto app = MakeApp();
    auto book = app->NewWorkbook();
    model::StyleTable& table = book->Styles();
    host::Style struck;
    struck.font.strikethrough = true;
    host::Style tinted;
    tinted.fill = Color::Theme(4, -0.25);
    host::Style unlocked;
    unlocked.locked = false;
    const model::StyleId a = table.Intern(struck), b = table.Intern(tinted), c = table.Intern(unlocked);
    EXPECT_EQ(table.Intern(struck), a);
    EXPECT_EQ(table.Intern(tinted), b);
    EXPECT_EQ(table.Intern(unlocked), c);
    EXPECT_NE(a, b);
    EXPECT_NE(b, c);
    EXPECT_NE(a, table.Intern(host::Style{}));
    // the tint and the theme both tell colours apart
    host::Style lighter = tinted;
    lighter.fill = Color::Theme(4, 0.4);
    host::Style other = tinted;
    other.fill = Color::Theme(5, -0.25);
    EXPECT_NE(table.Intern(lighter), b);
    EXPECT_NE(table.Intern(other), b);
    host::Style hidden;
    hidden.formulaHidden = true;
    EXPECT_NE(table.Intern(hidden), c);
}

TEST(KeptCellFeatures, WritingIntoACellDropsItsRuns) {
    auto app = MakeApp();
    auto book = app->NewWorkbook();
    auto ws = book->ModelSheet(1);
    for (int r = 1; r <= 5; ++r) LoadText(*ws, r, 1, SampleRuns());
    LoadText(*ws, 1, 2, SampleRuns());
    ASSERT_NE(RunsAt(*ws, 1, 1), nullptr);
    EXPECT_TRUE(*RunsAt(*ws, 1, 1) == *SampleRuns());

    ws->SetValue(Area{1, 1, 1, 1}, std::string("Жирный обычный 2"));  // even the same text
    EXPECT_EQ(RunsAt(*ws, 1, 1), nullptr);
    EXPECT_NE(RunsAt(*ws, 1, 2), nullptr) << "a neighbour keeps its runs";
    ws->SetLiteral(Area{2, 1, 2, 1}, std::string("новый"));
    EXPECT_EQ(RunsAt(*ws, 2, 1), nullptr);
    ws->SetFormula(3, 1, "=R1C2", std::string("Жирный обычный 2"));
    EXPECT_EQ(RunsAt(*ws, 3, 1), nullptr);
    ws->ClearContents(Area{4, 1, 4, 1});
    EXPECT_EQ(RunsAt(*ws, 4, 1), nullptr);
    ws->SetValue(Area{4, 1, 4, 1}, std::string("Жирный обычный 2"));
    EXPECT_EQ(RunsAt(*ws, 4, 1), nullptr) << "a cleared cell given text again has no runs";
    ws->Merge(Area{5, 1, 5, 2});  // only the top-left value stays
    LoadText(*ws, 6, 2, SampleRuns());
    ws->Merge(Area{6, 1, 6, 2});
    EXPECT_EQ(RunsAt(*ws, 6, 2), nullptr);
    EXPECT_TRUE(host::IsEmpty(ws->Content(6, 2).value));

    // Runs that do not join to the value are not taken.
    ws->LoadCell(7, 1, CellContent{std::string("другой текст"), "", SampleRuns()}, 0);
    EXPECT_EQ(RunsAt(*ws, 7, 1), nullptr);
    EXPECT_EQ(std::get<std::string>(ws->Content(7, 1).value), "другой текст");
    ws->LoadCell(8, 1, CellContent{std::string("Жирный обычный 2"), "=R1C2", SampleRuns()}, 0);
    EXPECT_EQ(RunsAt(*ws, 8, 1), nullptr) << "a formula's result has no runs";
}

TEST(KeptCellFeatures, RunsMoveWithTheirCell) {
    auto app = MakeApp();
    auto book = app->NewWorkbook();
    auto ws = book->ModelSheet(1);
    LoadText(*ws, 3, 2, SampleRuns());

    ws->InsertRows(1, 2);  // B3 -> B5
    EXPECT_EQ(RunsAt(*ws, 3, 2), nullptr);
    ASSERT_NE(RunsAt(*ws, 5, 2), nullptr);
    EXPECT_TRUE(*RunsAt(*ws, 5, 2) == *SampleRuns());
    ws->InsertColumns(1, 1);  // B5 -> C5
    ASSERT_NE(RunsAt(*ws, 5, 3), nullptr);
    EXPECT_EQ(RunsAt(*ws, 5, 2), nullptr);
    ws->DeleteRows(1, 1);  // C5 -> C4
    ASSERT_NE(RunsAt(*ws, 4, 3), nullptr);
    ws->DeleteColumns(1, 1);  // C4 -> B4
    ASSERT_NE(RunsAt(*ws, 4, 2), nullptr);
    ws->InsertCells(Area{4, 1, 4, 1}, host::Shift::Right);  // B4 -> C4
    ASSERT_NE(RunsAt(*ws, 4, 3), nullptr);
    ws->DeleteCells(Area{1, 3, 1, 3}, host::Shift::Up);  // C4 -> C3
    ASSERT_NE(RunsAt(*ws, 3, 3), nullptr);
    EXPECT_EQ(std::get<std::string>(ws->Content(3, 3).value), "Жирный обычный 2");

    // A copy carries the runs, on the same sheet and onto another workbook's.
    ws->CopyTo(Area{3, 3, 3, 3}, *ws, 10, 1);
    ASSERT_NE(RunsAt(*ws, 10, 1), nullptr);
    EXPECT_TRUE(*RunsAt(*ws, 10, 1) == *SampleRuns());
    auto other = app->NewWorkbook()->ModelSheet(1);
    ws->CopyTo(Area{1, 1, 20, 5}, *other, 1, 1);
    ASSERT_NE(RunsAt(*other, 3, 3), nullptr);
    ws->CopyTo(Area{3, 1, 3, host::kMaxColumns}, *other, 30, 1);  // whole rows
    ASSERT_NE(RunsAt(*other, 30, 3), nullptr);

    // Moved runs are written where their cell now is.
    ScratchDir dir;
    SaveWorkbook(*book, dir / "moved.xlsx");
    LoadReport report;
    auto back = LoadWorkbook(*app, dir / "moved.xlsx", &report);
    EXPECT_TRUE(report.empty()) << report.Describe();
    ASSERT_NE(RunsAt(*back->ModelSheet(1), 3, 3), nullptr);
    EXPECT_TRUE(*RunsAt(*back->ModelSheet(1), 3, 3) == *SampleRuns());
    EXPECT_EQ(RunsAt(*back->ModelSheet(1), 4, 2), nullptr);
}

TEST(KeptCellFeatures, SavedAndLoadedAgainTheyAreTheSame) {
    auto app = MakeApp();
    auto book = app->NewWorkbook();
    auto ws = book->ModelSheet(1);
    host::Style s;
    s.font.strikethrough = true;
    ws->SetCellStyle(1, 1, s);
    s = host::Style{};
    s.font.superscript = true;
    s.font.color = Color::Theme(5, 0.39997558519241921);
    ws->SetCellStyle(1, 2, s);
    s = host::Style{};
    s.font.subscript = true;
    s.fill = Color::Theme(4, -0.25);
    s.left = host::Border{host::LineStyle::Continuous, host::BorderWeight::Thin, Color::Theme(6, -0.499984740745262)};
    s.wrap = true;  // protection beside alignment
    s.locked = false;
    s.formulaHidden = true;
    ws->SetCellStyle(1, 3, s);
    s = host::Style{};
    s.formulaHidden = true;
    ws->SetCellStyle(1, 4, s);
    ws->SetValue(Area{1, 1, 1, 4}, 1.0);
    LoadText(*ws, 2, 1, SampleRuns());
    LoadText(*ws, 3, 1, SampleRuns());  // another cell with equal runs
    ws->SetValue(Area{4, 1, 4, 1}, std::string("Жирный обычный 2"));  // the same text without runs
    // Spaces at the ends of runs, markup and the file's escape in a run's text.
    LoadText(*ws, 5, 1, Runs({{" a<b> & ", std::nullopt}, {"_x0041_ ", RunFont{}}}));

    ScratchDir dir;
    SaveWorkbook(*book, dir / "kept.xlsx");
    LoadReport report;
    auto back = LoadWorkbook(*app, dir / "kept.xlsx", &report);
    EXPECT_TRUE(report.empty()) << report.Describe();
    ExpectSameWorkbook(*book, *back);
    auto b = back->ModelSheet(1);
    EXPECT_TRUE(b->CellStyle(1, 1).font.strikethrough);
    EXPECT_TRUE(b->CellStyle(1, 2).font.superscript);
    EXPECT_EQ(b->CellStyle(1, 2).font.color, Color::Theme(5, 0.39997558519241921));
    EXPECT_EQ(b->CellStyle(1, 3).fill, Color::Theme(4, -0.25));
    EXPECT_EQ(b->CellStyle(1, 3).left.color, Color::Theme(6, -0.499984740745262));
    EXPECT_FALSE(b->CellStyle(1, 3).locked);
    EXPECT_TRUE(b->CellStyle(1, 3).formulaHidden);
    EXPECT_TRUE(b->CellStyle(1, 3).wrap);
    EXPECT_TRUE(b->CellStyle(1, 4).locked);
    EXPECT_TRUE(b->CellStyle(1, 4).formulaHidden);
    ASSERT_NE(RunsAt(*b, 2, 1), nullptr);
    EXPECT_TRUE(*RunsAt(*b, 2, 1) == *SampleRuns());
    ASSERT_NE(RunsAt(*b, 3, 1), nullptr);
    EXPECT_EQ(RunsAt(*b, 4, 1), nullptr) << "a plain text equal to a formatted one stays plain";
    ASSERT_NE(RunsAt(*b, 5, 1), nullptr);
    EXPECT_EQ(RunsAt(*b, 5, 1)->runs.at(0).text, " a<b> & ");
    EXPECT_EQ(RunsAt(*b, 5, 1)->runs.at(1).text, "_x0041_ ");
    EXPECT_EQ(std::get<std::string>(b->Content(5, 1).value), " a<b> & _x0041_ ");
}

TEST(KeptCellFeatures, InlineAndSharedRunsOfAFileAreRead) {
    // A file as the desktop spreadsheet writes runs: a shared string, and an
    // inline string as other programs write it.
    auto app = MakeApp();
    auto book = app->NewWorkbook();
    book->ModelSheet(1)->SetValue(Area{1, 1, 2, 1}, std::string("заменить"));
    ScratchDir dir;
    std::string path = dir / "runs.xlsx";
    SaveWorkbook(*book, path);
    Parts parts = ReadParts(path);
    ReplaceOnce(Part(parts, "xl/sharedStrings.xml"), "<si><t>заменить</t></si>",
                "<si><r><rPr><b/><sz val=\"11\"/><color theme=\"1\"/><rFont val=\"Calibri\"/><family val=\"2\"/>"
                "<scheme val=\"minor\"/></rPr><t>Под</t></r><r><rPr><vertAlign val=\"subscript\"/>"
                "<color theme=\"4\" tint=\"-0.249977111117893\"/></rPr><t xml:space=\"preserve\">строчный </t></r>"
                "<rPh sb=\"0\" eb=\"1\"><t>фонетика</t></rPh></si>");
    ReplaceOnce(Part(parts, "xl/worksheets/sheet1.xml"), "<c r=\"A2\" t=\"s\"><v>0</v></c>",
                "<c r=\"A2\" t=\"inlineStr\"><is><r><t>x</t></r><r><rPr><vertAlign val=\"superscript\"/>"
                "<u val=\"double\"/><i/></rPr><t>2</t></r></is></c>");
    WriteParts(path, parts);

    LoadReport report;
    auto loaded = LoadWorkbook(*app, path, &report);
    EXPECT_TRUE(report.empty()) << report.Describe();
    auto ws = loaded->ModelSheet(1);
    EXPECT_EQ(std::get<std::string>(ws->Content(1, 1).value), "Подстрочный ");
    const RichText* shared = RunsAt(*ws, 1, 1);
    ASSERT_NE(shared, nullptr);
    ASSERT_EQ(shared->runs.size(), 2u);
    ASSERT_TRUE(shared->runs[0].font);
    EXPECT_TRUE(shared->runs[0].font->bold);
    EXPECT_EQ(shared->runs[0].font->name, "Calibri");
    EXPECT_EQ(shared->runs[0].font->color, Color::Theme(1, 0));
    EXPECT_EQ(shared->runs[0].font->other, "<family val=\"2\"/><scheme val=\"minor\"/>");
    ASSERT_TRUE(shared->runs[1].font);
    EXPECT_TRUE(shared->runs[1].font->subscript);
    EXPECT_FALSE(shared->runs[1].font->size) << "a size the run does not give stays unset";
    EXPECT_EQ(shared->runs[1].font->color, Color::Theme(4, -0.249977111117893));
    EXPECT_EQ(std::get<std::string>(ws->Content(2, 1).value), "x2");
    const RichText* inlined = RunsAt(*ws, 2, 1);
    ASSERT_NE(inlined, nullptr);
    ASSERT_EQ(inlined->runs.size(), 2u);
    EXPECT_FALSE(inlined->runs[0].font);
    ASSERT_TRUE(inlined->runs[1].font);
    EXPECT_TRUE(inlined->runs[1].font->superscript);
    EXPECT_TRUE(inlined->runs[1].font->italic);
    EXPECT_EQ(inlined->runs[1].font->underline, host::Underline::Double);

    // Written back, the runs read the same.
    SaveWorkbook(*loaded, dir / "again.xlsx");
    auto again = LoadWorkbook(*app, dir / "again.xlsx", &report);
    EXPECT_TRUE(report.empty()) << report.Describe();
    ExpectSameWorkbook(*loaded, *again);
    std::string strings = Part(parts = ReadParts(dir / "again.xlsx"), "xl/sharedStrings.xml");
    EXPECT_NE(strings.find("<color theme=\"1\"/>"), std::string::npos) << strings;
    EXPECT_NE(strings.find("<color theme=\"4\" tint=\"-0.249977111117893\"/>"), std::string::npos) << strings;
}

// ---------------------------------------------------------------- other programs

bool HasOpenpyxl() {
    static const bool has = std::system("/usr/bin/python3 -c 'import openpyxl' >/dev/null 2>&1") == 0;
    return has;
}

bool HasSoffice() { return std::system("command -v soffice >/dev/null 2>&1") == 0; }

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

/// Runs a Python script with arguments (each quoted); its output in `output`.
int RunPython(const ScratchDir& dir, const std::string& script, std::string& output,
              std::initializer_list<std::string> arguments) {
    std::string file = dir / "script.py", out = dir / "script.out";
    WriteFile(file, script);
    std::string command = "/usr/bin/python3 " + Quote(file);
    for (const auto& a : arguments) command += " " + Quote(a);
    int status = std::system((command + " >" + Quote(out) + " 2>&1").c_str());
    output = ReadFile(out);
    return status;
}

/// Runs the command; its exit status, standard error in `err`.
int Ormelin(const ScratchDir& dir, const std::string& args, std::string& err) {
    std::string errFile = dir / "ormelin.err";
    int status = std::system((std::string(ORMELIN_BINARY_DIR) + "/ormelin " + args + " </dev/null >/dev/null 2>" +
                              Quote(errFile))
                                 .c_str());
    err = ReadFile(errFile);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The runs of a cell as the file holds them, read from the parts (openpyxl
// reads runs' texts only): a list of (text, {property: attributes}).
const char* const kRunsPython = R"PY(
import sys, zipfile, xml.etree.ElementTree as ET
NS = "{http://schemas.openxmlformats.org/spreadsheetml/2006/main}"
REL = "{http://schemas.openxmlformats.org/officeDocument/2006/relationships}id"
def runs_of(path, sheet, ref):
    z = zipfile.ZipFile(path)
    book = ET.fromstring(z.read("xl/workbook.xml"))
    rid = [s.get(REL) for s in book.iter(NS + "sheet") if s.get("name") == sheet][0]
    rels = ET.fromstring(z.read("xl/_rels/workbook.xml.rels"))
    target = [r.get("Target") for r in rels if r.get("Id") == rid][0]
    part = target.lstrip("/") if target.startswith("/") else "xl/" + target
    cell = [c for c in ET.fromstring(z.read(part)).iter(NS + "c") if c.get("r") == ref][0]
    if cell.get("t") == "inlineStr":
        string = cell.find(NS + "is")
    else:
        strings = [si for si in ET.fromstring(z.read("xl/sharedStrings.xml")).iter(NS + "si")]
        string = strings[int(cell.find(NS + "v").text)]
    out = []
    for r in string.findall(NS + "r"):
        rpr = r.find(NS + "rPr")
        props = {} if rpr is None else {p.tag.replace(NS, ""): dict(p.attrib) for p in rpr}
        out.append((r.find(NS + "t").text, props))
    return out
)PY";

// Cells of the sheet "Данные" holding each feature; the two texts with runs are
// put in as the desktop spreadsheet writes them, since openpyxl 3.0 writes none.
const char* const kFeaturesPython = R"PY(
import re, sys, zipfile
import openpyxl
from openpyxl.styles import Font, PatternFill, Protection, Border, Side
from openpyxl.styles.colors import Color
path = sys.argv[1]
wb = openpyxl.Workbook()
wb.active.title = "Лист1"
d = wb.create_sheet("Данные")
d["A1"] = "зачёркнуто"; d["A1"].font = Font(strike=True)
d["A2"] = "x2"; d["A2"].font = Font(vertAlign="superscript")
d["A3"] = "H2O"; d["A3"].font = Font(vertAlign="subscript", strike=True)
d["A4"] = "тон"
d["A4"].fill = PatternFill("solid", fgColor=Color(theme=4, tint=-0.25))
d["A4"].font = Font(color=Color(theme=5, tint=0.39997558519241921))
d["A4"].border = Border(left=Side(style="thin", color=Color(theme=6, tint=-0.499984740745262)))
d["A5"] = 1; d["A5"].protection = Protection(locked=False, hidden=True)
d["A6"] = "=A5*2"; d["A6"].protection = Protection(locked=True, hidden=True)
d["A7"] = "INLINE"
d["A8"] = "SHARED"; d["B8"] = "SHARED"
wb.save(path)
src = zipfile.ZipFile(path)
parts = {n: src.read(n) for n in src.namelist()}
src.close()
sheet = "xl/worksheets/sheet2.xml"
inline = ('<is><r><rPr><rFont val="Calibri"/><b/><color rgb="FFFF0000"/><sz val="11"/><family val="2"/></rPr>'
          '<t>Жирный</t></r><r><t xml:space="preserve"> обычный </t></r><r><rPr><i/><strike/>'
          '<color theme="4" tint="-0.25"/><sz val="9"/><vertAlign val="superscript"/></rPr><t>2</t></r></is>')
shared = ('<si><r><rPr><u/><sz val="12"/><color theme="1"/><rFont val="Arial"/><scheme val="minor"/></rPr><t>Под</t></r>'
          '<r><rPr><vertAlign val="subscript"/></rPr><t>строчный</t></r></si>')
# The shared string is added to the table (made when openpyxl wrote none).
if "xl/sharedStrings.xml" in parts:
    sst = parts["xl/sharedStrings.xml"].decode()
    index = len(re.findall(r"<si[ >]", sst))
    sst = sst.replace("</sst>", shared + "</sst>")
else:
    index = 0
    sst = '<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">' + shared + '</sst>'
    parts["[Content_Types].xml"] = parts["[Content_Types].xml"].replace(b"</Types>",
        b'<Override PartName="/xl/sharedStrings.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml"/></Types>')
    parts["xl/_rels/workbook.xml.rels"] = parts["xl/_rels/workbook.xml.rels"].replace(b"</Relationships>",
        b'<Relationship Id="rIdStrings" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/></Relationships>')
parts["xl/sharedStrings.xml"] = sst.encode()
cell = r'<c r="{}"([^>]*?) t="(?:s|inlineStr)">.*?</c>'
text, n = re.subn(cell.format("A7"), lambda m: '<c r="A7"' + m.group(1) + ' t="inlineStr">' + inline + '</c>',
                  parts[sheet].decode())
assert n == 1, text
for ref in ("A8", "B8"):
    text, n = re.subn(cell.format(ref), lambda m: f'<c r="{ref}"' + m.group(1) + f' t="s"><v>{index}</v></c>', text)
    assert n == 1, text
parts[sheet] = text.encode()
with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as out:
    for name, data in parts.items():
        out.writestr(name, data)
)PY";

// openpyxl's reading of the features in `after`; the runs compared with `before`.
const char* const kCheckPython = R"PY(
after, before = sys.argv[1], sys.argv[2]
failures = []
def check(what, got, want):
    if got != want:
        failures.append(f"{what}: {got!r} != {want!r}")
wb = openpyxl.load_workbook(after)
d = wb["Данные"]
check("strike", d["A1"].font.strike, True)
check("superscript", d["A2"].font.vertAlign, "superscript")
check("subscript", (d["A3"].font.vertAlign, d["A3"].font.strike), ("subscript", True))
c = d["A4"].fill.fgColor
check("fill", (d["A4"].fill.fill_type, c.type, c.theme, c.tint), ("solid", "theme", 4, -0.25))
c = d["A4"].font.color
check("font colour", (c.type, c.theme, c.tint), ("theme", 5, 0.39997558519241921))
c = d["A4"].border.left.color
check("border colour", (d["A4"].border.left.style, c.theme, c.tint), ("thin", 6, -0.499984740745262))
check("unlocked, hidden", (d["A5"].protection.locked, d["A5"].protection.hidden), (False, True))
check("hidden formula", (d["A6"].protection.locked, d["A6"].protection.hidden, d["A6"].value), (True, True, "=A5*2"))
check("plain cell", (d["A1"].protection.locked, d["A1"].protection.hidden), (True, False))
check("inline text", d["A7"].value, "Жирный обычный 2")
check("shared text", (d["A8"].value, d["B8"].value), ("Подстрочный", "Подстрочный"))
runs = runs_of(after, "Данные", "A7")
check("inline runs", [t for t, _ in runs], ["Жирный", " обычный ", "2"])
if len(runs) == 3:
    check("bold red", (runs[0][1].get("b"), runs[0][1].get("color")), ({}, {"rgb": "FFFF0000"}))
    check("plain run", runs[1][1], {})
    check("small run", (runs[2][1].get("vertAlign"), runs[2][1].get("strike"), runs[2][1].get("color")),
          ({"val": "superscript"}, {}, {"theme": "4", "tint": "-0.25"}))
for ref in ("A7", "A8", "B8"):
    check("runs of " + ref, runs_of(after, "Данные", ref), runs_of(before, "Данные", ref))
print("\n".join(failures) if failures else "OK")
)PY";

void WriteFeaturesFile(const ScratchDir& dir, const std::string& path) {
    std::string output;
    ASSERT_EQ(RunPython(dir, kFeaturesPython, output, {path}), 0) << output;
}

TEST(KeptCellFeatures, OpenpyxlFileWrittenInPlaceByTheCommandKeepsThem) {
    if (!HasOpenpyxl()) GTEST_SKIP() << "/usr/bin/python3 with openpyxl is not available";
    ScratchDir dir;
    std::string theirs = dir / "theirs.xlsx", book = dir / "book.xlsx";
    WriteFeaturesFile(dir, theirs);
    fs::copy_file(theirs, book);

    auto app = MakeApp();
    LoadReport report;
    auto loaded = LoadWorkbook(*app, book, &report);
    ExpectNoneReported(report);
    EXPECT_TRUE(report.empty()) << report.Describe();
    ASSERT_NE(RunsAt(*loaded->ModelSheet(2), 7, 1), nullptr);
    // The shared string's runs are shared by the cells that use it.
    EXPECT_EQ(RunsAt(*loaded->ModelSheet(2), 8, 1), RunsAt(*loaded->ModelSheet(2), 8, 2));

    // In place, on the other sheet: nothing is reported, so nothing is refused.
    std::string err;
    ASSERT_EQ(Ormelin(dir, "blank " + Quote(book) + " Лист1 spa", err), 0) << err;
    EXPECT_NE(ReadFile(book), ReadFile(theirs)) << "the command wrote the workbook";
    std::string output;
    EXPECT_EQ(RunPython(dir, std::string(kRunsPython) + "import openpyxl\n" + kCheckPython, output, {book, theirs}), 0)
        << output;
    EXPECT_EQ(output, "OK\n");

    // The written file loads with nothing to report, and a second run changes nothing of them.
    auto again = LoadWorkbook(*app, book, &report);
    EXPECT_TRUE(report.empty()) << report.Describe();
    ASSERT_EQ(Ormelin(dir, "insert-row " + Quote(book) + " Лист1 3", err), 0) << err;
    EXPECT_EQ(RunPython(dir, std::string(kRunsPython) + "import openpyxl\n" + kCheckPython, output, {book, theirs}), 0)
        << output;
    EXPECT_EQ(output, "OK\n");
}

TEST(KeptCellFeatures, LibreOfficeReadsThemBackFromOurFile) {
    if (!HasOpenpyxl()) GTEST_SKIP() << "/usr/bin/python3 with openpyxl is not available";
    if (!HasSoffice()) GTEST_SKIP() << "soffice is not installed";
    ScratchDir dir;
    fs::create_directory(dir.path() / "in");
    fs::create_directory(dir.path() / "out");
    std::string theirs = dir / "theirs.xlsx", ours = dir / "in/book.xlsx";
    WriteFeaturesFile(dir, theirs);
    auto app = MakeApp();
    LoadReport report;
    auto book = LoadWorkbook(*app, theirs, &report);
    SaveWorkbook(*book, ours);
    std::string command = "cd " + Quote(dir.path().string()) + " && HOME=" + Quote(dir.path().string()) +
                          " timeout 180 soffice -env:UserInstallation=file://" + dir.path().string() +
                          "/profile --headless --convert-to xlsx --outdir out in/book.xlsx >soffice.log 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << ReadFile(dir / "soffice.log");

    // LibreOffice's file, read by the model: the features it read from ours.
    auto lo = LoadWorkbook(*app, dir / "out/book.xlsx", &report);
    ExpectNoneReported(report);
    auto d = lo->ModelSheet(2);
    EXPECT_TRUE(d->CellStyle(1, 1).font.strikethrough);
    EXPECT_TRUE(d->CellStyle(2, 1).font.superscript);
    EXPECT_TRUE(d->CellStyle(3, 1).font.subscript);
    EXPECT_FALSE(d->CellStyle(5, 1).locked);
    EXPECT_TRUE(d->CellStyle(5, 1).formulaHidden);
    EXPECT_TRUE(d->CellStyle(6, 1).formulaHidden);
    EXPECT_EQ(std::get<std::string>(d->Content(7, 1).value), "Жирный обычный 2");
    const RichText* runs = RunsAt(*d, 7, 1);
    ASSERT_NE(runs, nullptr);
    ASSERT_EQ(runs->runs.size(), 3u);
    EXPECT_EQ(runs->runs[0].text, "Жирный");
    ASSERT_TRUE(runs->runs[0].font);
    EXPECT_TRUE(runs->runs[0].font->bold);
    EXPECT_EQ(runs->runs[0].font->color, Color::Rgb(0xFF0000));
    ASSERT_TRUE(runs->runs[2].font);
    EXPECT_TRUE(runs->runs[2].font->superscript);
    EXPECT_TRUE(runs->runs[2].font->strikethrough);
    ASSERT_NE(RunsAt(*d, 8, 1), nullptr);
    EXPECT_TRUE(RunsAt(*d, 8, 1)->runs.at(1).font && RunsAt(*d, 8, 1)->runs.at(1).font->subscript);
}

TEST(KeptCellFeatures, LibreOfficeFileWithStrikethroughWrittenInPlaceKeepsIt) {
    if (!HasOpenpyxl()) GTEST_SKIP() << "/usr/bin/python3 with openpyxl is not available";
    if (!HasSoffice()) GTEST_SKIP() << "soffice is not installed";
    ScratchDir dir;
    fs::create_directory(dir.path() / "in");
    fs::create_directory(dir.path() / "out");
    // A page style without header and footer: LibreOffice's default has both.
    WriteFile(dir / "in/book.fods", R"XML(<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0" xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" office:version="1.2"
 office:mimetype="application/vnd.oasis.opendocument.spreadsheet">
<office:automatic-styles><style:style style:name="ce1" style:family="table-cell"><style:text-properties
 style:text-line-through-style="solid" style:text-line-through-type="single"/></style:style>
<style:page-layout style:name="pm1"/></office:automatic-styles>
<office:master-styles><style:master-page style:name="Default" style:page-layout-name="pm1"/></office:master-styles>
<office:body><office:spreadsheet>
<table:table table:name="Лист1"><table:table-row><table:table-cell/></table:table-row></table:table>
<table:table table:name="Данные"><table:table-row><table:table-cell table:style-name="ce1" office:value-type="string">
<text:p>зачёркнуто</text:p></table:table-cell><table:table-cell office:value-type="string"><text:p>прямо</text:p>
</table:table-cell></table:table-row></table:table>
</office:spreadsheet></office:body></office:document>
)XML");
    std::string command = "cd " + Quote(dir.path().string()) + " && HOME=" + Quote(dir.path().string()) +
                          " timeout 180 soffice -env:UserInstallation=file://" + dir.path().string() +
                          "/profile --headless --convert-to xlsx --outdir out in/book.fods >soffice.log 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << ReadFile(dir / "soffice.log");
    std::string book = dir / "out/book.xlsx";

    auto app = MakeApp();
    LoadReport report;
    auto loaded = LoadWorkbook(*app, book, &report);
    ExpectNoneReported(report);
    ASSERT_EQ(loaded->Count(), 2);
    EXPECT_TRUE(loaded->ModelSheet(2)->CellStyle(1, 1).font.strikethrough);
    EXPECT_FALSE(loaded->ModelSheet(2)->CellStyle(1, 2).font.strikethrough);

    std::string err;
    ASSERT_EQ(Ormelin(dir, "blank " + Quote(book) + " Лист1 spa", err), 0) << err;
    std::string output;
    EXPECT_EQ(RunPython(dir, R"PY(
import sys, openpyxl
d = openpyxl.load_workbook(sys.argv[1])["Данные"]
print((d["A1"].value, d["A1"].font.strike, d["B1"].value, bool(d["B1"].font.strike)))
)PY", output, {book}), 0) << output;
    EXPECT_EQ(output, "('зачёркнуто', True, 'прямо', False)\n");
}

}  // namespace
}  // namespace ormelin::xlsx::testing
