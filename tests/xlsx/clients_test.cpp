// Files we write open in other spreadsheet programs, and their files open in
// the model: openpyxl (when /usr/bin/python3 has it) and LibreOffice (soffice).
#include <cstdlib>

#include "xlsx/xlsx_fixture.hpp"

namespace ormelin::xlsx::testing {
namespace {

TEST(Openpyxl, ReadsOurFile) {
    if (!HasOpenpyxl()) GTEST_SKIP() << "/usr/bin/python3 with openpyxl is not available";
    auto app = MakeApp();
    ScratchDir dir;
    std::string path = dir / "ours.xlsx";
    SaveWorkbook(*SampleWorkbook(*app), path);
    std::string script = R"PY(
import sys, openpyxl
wb = openpyxl.load_workbook(")PY" + path + R"PY(")
failures = []
def check(what, got, want):
    if got != want:
        failures.append(f"{what}: {got!r} != {want!r}")
check("sheets", wb.sheetnames, ["список", "Лист 2", "Весь лист"])
check("active", wb.active.title, "Лист 2")
ws = wb["Лист 2"]
check("merges", sorted(str(r) for r in ws.merged_cells.ranges), ["A13:B14", "C13:E13"])
check("row 1 height", ws.row_dimensions[1].height, 43)
check("row 9 height", ws.row_dimensions[9].height, 15)
check("row 10 hidden", ws.row_dimensions[10].hidden, True)
check("default height", ws.sheet_format.defaultRowHeight, 26)
check("column A width", ws.column_dimensions["A"].width, 3.7109375)
check("column D width", round(ws.column_dimensions["D"].width, 4), 21.4258)
f = ws["A1"].font
check("font", (f.name, f.sz, bool(f.i), bool(f.b)), ("ISOCPEUR", 14, True, False))
check("rotation 90", ws["A3"].alignment.textRotation, 90)
check("rotation -90", ws["B3"].alignment.textRotation, 180)
check("wrap", ws["A4"].alignment.wrapText, True)
check("indent", ws["A4"].alignment.indent, 2)
check("number format", ws["A4"].number_format, "@")
check("border", (ws["A6"].border.left.style, ws["A6"].border.top.style), ("medium", "thick"))
check("formula", ws["A1"].value, "=список!$A$1")
check("link location", ws["G1"].hyperlink.location, "'список'!A1")
check("link text", ws["G1"].value, "список")
check("external link", ws["H1"].hyperlink.target, "https://example.com/a")
check("print area", "$A:$Z" in str(ws.print_area), True)
ps = ws.page_setup
check("page", (ps.orientation, str(ps.paperSize), str(ps.scale)), ("landscape", "8", "98"))
check("margins", (ws.page_margins.left, ws.page_margins.top, ws.page_margins.header), (0, 0, 0.2))
check("centred", (ws.print_options.horizontalCentered, ws.print_options.verticalCentered), (True, True))
check("breaks", [b.id for b in ws.row_breaks.brk], [36, 72])
check("frozen", ws.freeze_panes, "A3")
check("view", (ws.sheet_view.view, ws.sheet_view.showZeros, ws.sheet_view.showGridLines), ("pageBreakPreview", False, False))
reg = wb["список"]
check("values", [reg["A2"].value, reg["B2"].value, reg["C2"].value, reg["E2"].value], [1.5, -2.25e20, True, "#N/A"])
check("error cell", reg["E2"].data_type, "e")
check("text with line feed", reg["B1"].value, "Строка с переводом\nстроки и  пробелами ")
print("\n".join(failures) if failures else "OK")
)PY";
    std::string output;
    EXPECT_EQ(RunPython(dir, script, output), 0) << output;
    EXPECT_EQ(output, "OK\n");
}

TEST(Openpyxl, ItsFileLoadsIntoTheModel) {
    if (!HasOpenpyxl()) GTEST_SKIP() << "/usr/bin/python3 with openpyxl is not available";
    ScratchDir dir;
    std::string path = dir / "theirs.xlsx";
    std::string script = R"PY(
import openpyxl
from openpyxl.styles import Font, Alignment, Border, Side, PatternFill
from openpyxl.worksheet.hyperlink import Hyperlink
wb = openpyxl.Workbook()
ws = wb.active
ws.title = "Документ"
ws["A1"] = "Наименование"
ws["A1"].font = Font(name="ISOCPEUR", size=14, italic=True, bold=True, color="FF0000")
ws["A1"].alignment = Alignment(horizontal="center", vertical="center", textRotation=90, wrap_text=True)
ws["B1"] = 42
ws["B1"].number_format = "0.00"
ws["B1"].border = Border(bottom=Side(style="medium"), left=Side(style="thin"))
ws["B1"].fill = PatternFill("solid", fgColor="FFFF99")
ws["C1"] = True
ws["D1"] = "=B1*2"
ws["E1"] = "вниз"
ws["E1"].alignment = Alignment(textRotation=180)
ws.merge_cells("A3:C4")
ws["A3"] = "объединено"
ws.row_dimensions[1].height = 43
ws.column_dimensions["A"].width = 10
ws["F1"] = "список"
ws["F1"].hyperlink = Hyperlink(ref="F1", location="'Список'!A1", display="список")
ws.print_area = "A1:F30"
ws.page_setup.orientation = "landscape"
ws.page_setup.paperSize = 9
ws.page_margins.left = 0.5
ws.freeze_panes = "A2"
wb.create_sheet("Список")["A1"] = "регистр"
wb.save(")PY" + path + R"PY(")
)PY";
    std::string output;
    ASSERT_EQ(RunPython(dir, script, output), 0) << output;

    auto app = MakeApp();
    LoadReport report;
    auto book = LoadWorkbook(*app, path, &report);
    EXPECT_TRUE(report.empty()) << report.Describe();
    ASSERT_EQ(book->Count(), 2);
    auto ws = book->ModelSheet(1);
    EXPECT_EQ(ws->Name(), "Документ");
    EXPECT_EQ(book->ModelSheet(2)->Name(), "Список");
    EXPECT_EQ(std::get<std::string>(ws->Content(1, 1).value), "Наименование");
    EXPECT_DOUBLE_EQ(std::get<double>(ws->Content(1, 2).value), 42);
    EXPECT_EQ(std::get<bool>(ws->Content(1, 3).value), true);
    EXPECT_EQ(ws->Content(1, 4).formula, "=RC[-2]*2");
    const auto& a1 = ws->CellStyle(1, 1);
    EXPECT_EQ(a1.font.name, "ISOCPEUR");
    EXPECT_DOUBLE_EQ(a1.font.size, 14);
    EXPECT_TRUE(a1.font.italic && a1.font.bold);
    EXPECT_EQ(a1.font.color, host::Color::Rgb(0xFF0000));
    EXPECT_EQ(a1.orientation, 90);
    EXPECT_TRUE(a1.wrap);
    EXPECT_EQ(a1.horizontal, host::HAlign::Center);
    const auto& b1 = ws->CellStyle(1, 2);
    EXPECT_EQ(b1.numberFormat, "0.00");
    EXPECT_EQ(b1.bottom.style, host::LineStyle::Continuous);
    EXPECT_EQ(b1.bottom.weight, host::BorderWeight::Medium);
    EXPECT_EQ(b1.left.weight, host::BorderWeight::Thin);
    EXPECT_EQ(b1.fill, host::Color::Rgb(0xFFFF99));
    EXPECT_EQ(ws->CellStyle(1, 5).orientation, -90);
    EXPECT_EQ(ws->MergedAreas(Area{1, 1, 10, 10}), (std::vector<Area>{Area{3, 1, 4, 3}}));
    EXPECT_DOUBLE_EQ(ws->RowHeight(1), 43);
    EXPECT_DOUBLE_EQ(ws->ColumnWidth(1), 9.29);
    auto links = ws->Hyperlinks();
    ASSERT_EQ(links.size(), 1u);
    EXPECT_EQ(links[0].subAddress, "'Список'!A1");
    EXPECT_EQ(links[0].anchor, (Area{1, 6, 1, 6}));
    EXPECT_EQ(ws->Page().printArea, "$A$1:$F$30");
    EXPECT_EQ(ws->Page().orientation, host::PageOrientation::Landscape);
    EXPECT_DOUBLE_EQ(ws->Page().leftMargin, 36);
    EXPECT_EQ(ws->View().frozenRows, 1);
}

TEST(Openpyxl, WhatTheModelCannotHoldIsReported) {
    if (!HasOpenpyxl()) GTEST_SKIP() << "/usr/bin/python3 with openpyxl is not available";
    ScratchDir dir;
    std::string path = dir / "features.xlsx";
    std::string script = R"PY(
import openpyxl
from openpyxl.styles import Font, PatternFill, Protection
from openpyxl.styles.colors import Color
wb = openpyxl.Workbook()
wb.epoch = openpyxl.utils.datetime.CALENDAR_MAC_1904
ws = wb.active
ws["A1"] = "зачёркнуто"
ws["A1"].font = Font(strike=True)
ws["A2"] = "x"
ws["A2"].font = Font(vertAlign="superscript")
ws["A3"].fill = PatternFill("solid", fgColor=Color(theme=4, tint=0.4))
ws["A4"].protection = Protection(locked=False)
ws.row_dimensions.group(5, 7, outline_level=1, hidden=True)
ws.sheet_format.defaultColWidth = 12
ws.sheet_view.rightToLeft = True
ws.print_options.gridLines = True
wb.custom_doc_props.append(openpyxl.packaging.custom.StringProperty(name="Шифр", value="АБВГ")) if hasattr(wb, "custom_doc_props") else None
wb.save(")PY" + path + R"PY(")
)PY";
    std::string output;
    ASSERT_EQ(RunPython(dir, script, output), 0) << output;
    auto app = MakeApp();
    LoadReport report;
    LoadWorkbook(*app, path, &report);
    // The date system, outline groups, right-to-left, printed gridlines, strikethrough,
    // superscript, tinted theme colours and protection flags are kept.
    for (const char* what : {"the 1904 date system", "outline levels and groups", "right-to-left sheets",
                             "printed gridlines and headings", "strikethrough", "superscript and subscript",
                             "theme colours with a tint", "cell protection flags"})
        EXPECT_FALSE(report.Has(what)) << what << " in\n" << report.Describe();
    // The sheet's default column width is kept, so it is not reported.
    EXPECT_FALSE(report.Has("the sheet's default column width")) << report.Describe();
}

// What other programs give a file that the model keeps without showing it: the
// sheet's default column width and row height, and the document properties.
// openpyxl writes core properties itself; custom properties are added to its
// file as the desktop spreadsheet writes them.
const char* const kPropertiesPython = R"PY(
import sys, zipfile, datetime, xml.etree.ElementTree as ET
import openpyxl
CUSTOM_NS = "http://schemas.openxmlformats.org/officeDocument/2006/custom-properties"
VT_NS = "http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes"
def add_custom(path, props):
    # props: (name, vt type, text)
    items = "".join(
        f'<property fmtid="{{D5CDD505-2E9C-101B-9397-08002B2CF9AE}}" pid="{i + 2}" name="{n}"><vt:{t}>{v}</vt:{t}></property>'
        for i, (n, t, v) in enumerate(props))
    xml = (f'<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n<Properties xmlns="{CUSTOM_NS}" '
           f'xmlns:vt="{VT_NS}">{items}</Properties>')
    src = zipfile.ZipFile(path)
    parts = {n: src.read(n) for n in src.namelist()}
    src.close()
    parts["docProps/custom.xml"] = xml.encode()
    parts["[Content_Types].xml"] = parts["[Content_Types].xml"].replace(b"</Types>",
        b'<Override PartName="/docProps/custom.xml" ContentType="application/vnd.openxmlformats-officedocument.custom-properties+xml"/></Types>')
    parts["_rels/.rels"] = parts["_rels/.rels"].replace(b"</Relationships>",
        b'<Relationship Id="rIdCustom" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/custom-properties" Target="docProps/custom.xml"/></Relationships>')
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as out:
        for n, b in parts.items():
            out.writestr(n, b)
def custom_of(path):
    z = zipfile.ZipFile(path)
    rels = z.read("_rels/.rels").decode()
    if "custom-properties" not in rels or "docProps/custom.xml" not in z.namelist():
        return []
    root = ET.fromstring(z.read("docProps/custom.xml"))
    out = []
    for p in root:
        value = p[0]
        out.append((p.get("name"), value.tag.split("}")[1], value.text))
    return sorted(out)
def width_of(ws, column):
    # a column's own width, else the sheet's default, in the whole pixels shown
    width = ws.sheet_format.defaultColWidth
    for d in ws.column_dimensions.values():
        if d.min and d.max and d.min <= column <= d.max and d.width:
            width = d.width
    return round(width * 7) if width is not None else None
def facts(path):
    wb = openpyxl.load_workbook(path)
    p = wb.properties
    core = (p.title, p.subject, p.creator, p.keywords, p.description, p.lastModifiedBy, p.category,
            p.created, p.modified)
    sheets = []
    for ws in wb.worksheets:
        f = ws.sheet_format
        sheets.append((ws.title, f.baseColWidth, f.defaultColWidth, f.defaultRowHeight, bool(f.customHeight),
                       [width_of(ws, column) for column in range(1, 5)]))
    return core, sheets, custom_of(path)
)PY";

/// A file written by openpyxl with the defaults and the properties, saved in
/// `path` (custom properties added to it).
void WritePropertiesFile(const ScratchDir& dir, const std::string& path) {
    std::string script = std::string(kPropertiesPython) + R"PY(
import datetime
wb = openpyxl.Workbook()
ws = wb.active
ws.title = "Спецификация"
ws["A1"] = "Поз."
ws["B2"] = 7
ws.sheet_format.baseColWidth = 10
ws.sheet_format.defaultColWidth = 12.5703125
ws.sheet_format.defaultRowHeight = 20
ws.sheet_format.customHeight = True
ws.column_dimensions["B"].width = 30.7109375
ws2 = wb.create_sheet("Лист2")
ws2["A1"] = 1
ws2.sheet_format.baseColWidth = 10
p = wb.properties
p.title = "Спецификация изделия"
p.subject = "Перечень"
p.creator = "Иванов И. И."
p.keywords = "спецификация; изделие"
p.description = "Примечание к документу"
p.lastModifiedBy = "Петров П. П."
p.category = "Конструкторские документы"
p.created = datetime.datetime(2024, 3, 5, 10, 20, 30)
p.modified = datetime.datetime(2025, 1, 2, 3, 4, 5)
wb.save(sys.argv[1])
add_custom(sys.argv[1], [("Шифр", "lpwstr", "АБВГ.123456.001"), ("Листов", "i4", "12"), ("Масса", "r8", "1.25"),
                         ("Утверждён", "bool", "true"), ("Дата", "filetime", "2024-03-05T10:20:30Z")])
)PY";
    std::string output;
    ASSERT_EQ(RunPython(dir, script, output, path), 0) << output;
}

/// openpyxl's reading of two files: "SAME" when defaults and properties agree.
std::string CompareFacts(const ScratchDir& dir, const std::string& before, const std::string& after) {
    std::string script = std::string(kPropertiesPython) + R"PY(
a, b = facts(sys.argv[1]), facts(sys.argv[2])
if not a[2]:
    print("no custom properties in the first file")
elif a == b:
    print("SAME")
else:
    for what, x, y in zip(("core", "sheets", "custom"), a, b):
        if x != y:
            print(what, x, "!=", y)
)PY";
    std::string output;
    RunPython(dir, script, output, before + "' '" + after);
    return output;
}

// Print and view settings the model does not hold are named, each sheet on its
// own, so an in-place write is refused rather than printing differently; the
// defaults (as openpyxl and LibreOffice write them) are not.
TEST(Openpyxl, PrintAndViewSettingsTheModelDoesNotHoldAreReported) {
    if (!HasOpenpyxl()) GTEST_SKIP() << "/usr/bin/python3 with openpyxl is not available";
    ScratchDir dir;
    std::string path = dir / "settings.xlsx";
    std::string script = R"PY(
import openpyxl
wb = openpyxl.Workbook()
ws = wb.active
ws["A1"] = "ч/б"
ws.page_setup.blackAndWhite = True
ws.sheet_view.showRowColHeaders = False
plain = wb.create_sheet("Обычный")
plain["A1"] = "x"
plain.page_setup.pageOrder = "downThenOver"
plain.page_setup.copies = 1
plain.page_setup.orientation = "landscape"
plain.sheet_view.showRowColHeaders = True
wb.create_sheet("Скрытые").sheet_format.zeroHeight = True
wb.save(")PY" + path + R"PY(")
)PY";
    std::string output;
    ASSERT_EQ(RunPython(dir, script, output), 0) << output;
    auto app = MakeApp();
    LoadReport report;
    LoadWorkbook(*app, path, &report);
    ASSERT_EQ(report.items.size(), 3u) << report.Describe();
    EXPECT_NE(report.items[0].what.find("black and white"), std::string::npos) << report.Describe();
    EXPECT_NE(report.items[1].what.find("hidden headings"), std::string::npos) << report.Describe();
    EXPECT_NE(report.items[2].what.find("zero height"), std::string::npos) << report.Describe();
    EXPECT_EQ(report.items[0].part, "xl/worksheets/sheet1.xml");
    EXPECT_EQ(report.items[1].part, "xl/worksheets/sheet1.xml");
    EXPECT_EQ(report.items[2].part, "xl/worksheets/sheet3.xml");
}

TEST(KeptThroughSaving, OpenpyxlFileSavedInPlaceKeepsDefaultsAndProperties) {
    if (!HasOpenpyxl()) GTEST_SKIP() << "/usr/bin/python3 with openpyxl is not available";
    ScratchDir dir;
    std::string theirs = dir / "theirs.xlsx", ours = dir / "ours.xlsx";
    WritePropertiesFile(dir, theirs);
    fs::copy_file(theirs, ours);

    auto app = MakeApp();
    InstallSaver(*app);
    LoadReport report;
    auto book = LoadWorkbook(*app, ours, &report);
    EXPECT_TRUE(report.empty()) << report.Describe();
    auto sheet = book->ModelSheet(1);
    // 12.5703125 is 88 pixels: 83 of them over the 7-pixel digit.
    EXPECT_DOUBLE_EQ(sheet->ColumnWidth(1), 11.86);
    EXPECT_DOUBLE_EQ(sheet->ColumnWidth(3), 11.86);
    EXPECT_DOUBLE_EQ(sheet->ColumnWidth(2), 30);
    EXPECT_DOUBLE_EQ(sheet->StandardHeight(), 20);
    // Base 10 without a default width: 75 pixels rounded up to 80.
    EXPECT_DOUBLE_EQ(book->ModelSheet(2)->ColumnWidth(1), 10.71);

    book->Save();  // in place, as the command writes
    EXPECT_EQ(CompareFacts(dir, theirs, ours), "SAME\n");
    // Saving again gives the same again: nothing drifts from step to step.
    auto again = LoadWorkbook(*app, ours, &report);
    EXPECT_TRUE(report.empty()) << report.Describe();
    again->Save();
    EXPECT_EQ(CompareFacts(dir, theirs, ours), "SAME\n");
}

TEST(KeptThroughSaving, LibreOfficeFileSavedInPlaceKeepsDefaultsAndProperties) {
    if (!HasOpenpyxl()) GTEST_SKIP() << "/usr/bin/python3 with openpyxl is not available";
    if (!HasSoffice()) GTEST_SKIP() << "soffice is not installed";
    ScratchDir dir;
    fs::create_directory(dir.path() / "in");
    fs::create_directory(dir.path() / "out");
    WritePropertiesFile(dir, dir / "in/book.xlsx");
    ASSERT_TRUE(ConvertWithLibreOffice(dir, "book.xlsx")) << ReadFile(dir / "soffice.log");
    std::string theirs = dir / "out/book.xlsx", ours = dir / "ours.xlsx";
    fs::copy_file(theirs, ours);

    auto app = MakeApp();
    InstallSaver(*app);
    LoadReport report;
    auto book = LoadWorkbook(*app, ours, &report);
    EXPECT_TRUE(report.empty()) << report.Describe();
    book->Save();
    EXPECT_EQ(CompareFacts(dir, theirs, ours), "SAME\n");
}

TEST(LibreOffice, ConvertsOurFileAndWeLoadTheResult) {
    if (!HasSoffice()) GTEST_SKIP() << "soffice is not installed";
    auto app = MakeApp();
    ScratchDir dir;
    fs::create_directory(dir.path() / "in");
    fs::create_directory(dir.path() / "out");
    std::string in = dir / "in/book.xlsx";
    SaveWorkbook(*SampleWorkbook(*app), in);
    ASSERT_TRUE(ConvertWithLibreOffice(dir, "book.xlsx")) << ReadFile(dir / "soffice.log");
    LoadReport report;
    auto book = LoadWorkbook(*app, dir / "out/book.xlsx", &report);
    ASSERT_EQ(book->Count(), 3);
    auto doc = book->ModelSheet(2);
    EXPECT_EQ(doc->Name(), "Лист 2");
    EXPECT_EQ(doc->Content(1, 1).formula, "=список!R1C1");
    EXPECT_EQ(std::get<std::string>(doc->Content(1, 1).value), "Обозначение");
    EXPECT_EQ(doc->CellStyle(1, 1).font.name, "ISOCPEUR");
    EXPECT_EQ(doc->CellStyle(3, 2).orientation, -90);
    EXPECT_NEAR(doc->RowHeight(1), 43, 0.5);
    EXPECT_NEAR(doc->ColumnWidth(4), 20.71, 0.1);
    EXPECT_EQ(doc->MergedAreas(Area{1, 1, 20, 10}), (std::vector<Area>{Area{13, 1, 14, 2}, Area{13, 3, 13, 5}}));
    EXPECT_EQ(doc->HPageBreaks(), (std::vector<int>{37, 73}));
    EXPECT_EQ(doc->Page().orientation, host::PageOrientation::Landscape);
    // A headless conversion keeps no view settings (frozen panes, zoom), so none are checked.
    auto links = doc->Hyperlinks();
    ASSERT_FALSE(links.empty());
    EXPECT_EQ(links[0].anchor, (Area{1, 7, 1, 7}));
    EXPECT_EQ(std::get<std::string>(book->ModelSheet(1)->Content(1, 2).value), "Строка с переводом\nстроки и  пробелами ");
}

}  // namespace
}  // namespace ormelin::xlsx::testing
