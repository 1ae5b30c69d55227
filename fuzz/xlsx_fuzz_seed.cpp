// Writes the fuzzers' seed corpora: small workbooks saved from the model into the
// first folder given, and the same workbooks as structured inputs of the parts
// target (fuzz/parts.hpp) into the second, so that no binary file is kept in the
// sources.
#include <fstream>
#include <iostream>
#include <memory>
#include <string>

#include "ormelin/model.hpp"
#include "ormelin/xlsx.hpp"
#include "parts.hpp"

using namespace ormelin;
using host::Area;

namespace {

constexpr const char* kForeignParts = R"(%%% [Content_Types].xml
<?xml version="1.0" encoding="UTF-8"?><Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"><Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/><Default Extension="xml" ContentType="application/xml"/><Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/><Override PartName="/xl/worksheets/sheet1.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/><Override PartName="/xl/styles.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml"/><Override PartName="/xl/sharedStrings.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml"/><Override PartName="/docProps/core.xml" ContentType="application/vnd.openxmlformats-package.core-properties+xml"/><Override PartName="/docProps/app.xml" ContentType="application/vnd.openxmlformats-officedocument.extended-properties+xml"/><Override PartName="/docProps/custom.xml" ContentType="application/vnd.openxmlformats-officedocument.custom-properties+xml"/></Types>
%%% _rels/.rels
<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/><Relationship Id="rId2" Type="http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties" Target="docProps/core.xml"/><Relationship Id="rId3" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/extended-properties" Target="docProps/app.xml"/><Relationship Id="rId4" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/custom-properties" Target="docProps/custom.xml"/></Relationships>
%%% docProps/core.xml
<?xml version="1.0" encoding="UTF-8"?><cp:coreProperties xmlns:cp="http://schemas.openxmlformats.org/package/2006/metadata/core-properties" xmlns:dc="http://purl.org/dc/elements/1.1/" xmlns:dcterms="http://purl.org/dc/terms/" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance"><dc:title>Перечень</dc:title><dc:creator>ГИП</dc:creator><dcterms:created xsi:type="dcterms:W3CDTF">2024-01-02T03:04:05Z</dcterms:created></cp:coreProperties>
%%% docProps/app.xml
<?xml version="1.0" encoding="UTF-8"?><Properties xmlns="http://schemas.openxmlformats.org/officeDocument/2006/extended-properties"><Application>LibreOffice</Application></Properties>
%%% docProps/custom.xml
<?xml version="1.0" encoding="UTF-8"?><Properties xmlns="http://schemas.openxmlformats.org/officeDocument/2006/custom-properties" xmlns:vt="http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes"><property fmtid="{D5CDD505-2E9C-101B-9397-08002B2CF9AE}" pid="2" name="Шифр"><vt:lpwstr>АБВГ</vt:lpwstr></property></Properties>
%%% xl/workbook.xml
<?xml version="1.0" encoding="UTF-8"?><workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><workbookPr/><bookViews><workbookView activeTab="0"/></bookViews><sheets><sheet name="Лист 1" sheetId="1" r:id="rId1"/></sheets><definedNames><definedName name="_xlnm.Print_Area" localSheetId="0">'Лист 1'!$A$1:$F$40</definedName><definedName name="итог">'Лист 1'!$B$2</definedName></definedNames><calcPr calcId="191029"/></workbook>
%%% xl/_rels/workbook.xml.rels
<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/><Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/><Relationship Id="rId3" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="/xl/sharedStrings.xml"/></Relationships>
%%% xl/styles.xml
<?xml version="1.0" encoding="UTF-8"?><styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><numFmts count="2"><numFmt numFmtId="164" formatCode="0.000"/><numFmt numFmtId="165" formatCode="dd/mm/yyyy;@"/></numFmts><fonts count="3"><font><sz val="10"/><name val="Arial"/><family val="2"/></font><font><b/><u val="double"/><sz val="12"/><color theme="1" tint="-0.25"/><name val="GOST type A"/></font><font><strike/><vertAlign val="superscript"/><sz val="8"/><color indexed="10"/><name val="Arial"/></font></fonts><fills count="3"><fill><patternFill patternType="none"/></fill><fill><patternFill patternType="gray125"/></fill><fill><patternFill patternType="solid"><fgColor theme="4" tint="0.4"/><bgColor indexed="64"/></patternFill></fill></fills><borders count="2"><border><left/><right/><top/><bottom/><diagonal/></border><border><left style="thin"><color auto="1"/></left><right style="dashed"><color rgb="FF00FF00"/></right><top style="double"/><bottom style="hair"/><diagonal/></border></borders><cellStyleXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0"/></cellStyleXfs><cellXfs count="4"><xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0"/><xf numFmtId="164" fontId="1" fillId="2" borderId="1" xfId="0" applyNumberFormat="1" applyFont="1"><alignment horizontal="centerContinuous" vertical="top" wrapText="1" shrinkToFit="1" indent="2"/><protection locked="0" hidden="1"/></xf><xf numFmtId="165" fontId="2" fillId="0" borderId="0" xfId="0"><alignment textRotation="255"/></xf><xf numFmtId="49" fontId="0" fillId="0" borderId="1" xfId="0"/></cellXfs><cellStyles count="1"><cellStyle name="Normal" xfId="0" builtinId="0"/></cellStyles><dxfs count="0"/></styleSheet>
%%% xl/sharedStrings.xml
<?xml version="1.0" encoding="UTF-8"?><sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" count="3" uniqueCount="3"><si><t xml:space="preserve"> Поз. </t></si><si><r><rPr><b/><sz val="10"/></rPr><t>Наиме</t></r><r><t>нование_x000D_</t></r></si><si><t>_x005F_x0041_</t><rPh sb="0" eb="1"><t>ア</t></rPh></si></sst>
%%% xl/worksheets/sheet1.xml
<?xml version="1.0" encoding="UTF-8"?><worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><sheetPr><pageSetUpPr fitToPage="0"/></sheetPr><dimension ref="A1:F40"/><sheetViews><sheetView showGridLines="0" zoomScale="85" workbookViewId="0"><pane xSplit="1" ySplit="2" topLeftCell="B3" activePane="bottomRight" state="frozen"/><selection pane="bottomRight" activeCell="C5" sqref="C5:D6"/></sheetView></sheetViews><sheetFormatPr baseColWidth="10" defaultColWidth="11.5" defaultRowHeight="12.8" customHeight="1"/><cols><col min="1" max="1" width="6.5" customWidth="1" style="3"/><col min="2" max="5" width="20" customWidth="1"/><col min="6" max="16384" width="11.5" style="3"/></cols><sheetData><row r="1" spans="1:6" s="1" customFormat="1" ht="30" customHeight="1"><c r="A1" s="1" t="s"><v>0</v></c><c r="B1" t="s"><v>1</v></c><c r="C1" t="inlineStr"><is><r><t>Кол</t></r><r><rPr><i/></rPr><t>.</t></r></is></c><c r="D1" t="s"><v>2</v></c></row><row r="2"><c r="A2"><v>1.5E-3</v></c><c r="B2" s="2"><f>SUM(A2:A4)*2</f><v>0.003</v></c><c r="C2"><f t="shared" ref="C2:C4" si="0">A2+$B$2</f><v>0.0045</v></c><c r="D2" t="b"><v>0</v></c><c r="E2" t="e"><v>#DIV/0!</v></c><c r="F2" t="str"><f>IF(A2&gt;0,"да","нет")</f><v>да</v></c></row><row r="3" hidden="1"><c r="C3"><f t="shared" si="0"/><v>0</v></c></row><row r="4" ht="0" customHeight="1"><c r="A4"><v>-2</v></c><c r="C4"><f t="shared" si="0"/><v>0</v></c></row><row r="40"><c r="F40" s="3" t="inlineStr"><is><t>конец</t></is></c></row></sheetData><mergeCells count="2"><mergeCell ref="A5:B6"/><mergeCell ref="C40:E40"/></mergeCells><hyperlinks><hyperlink ref="A40" r:id="rId1" tooltip="сайт"/><hyperlink ref="B40" location="'Лист 1'!A1" display="назад"/></hyperlinks><printOptions horizontalCentered="1"/><pageMargins left="0.5" right="0.3" top="0.4" bottom="0.4" header="0.2" footer="0.2"/><pageSetup paperSize="8" scale="90" firstPageNumber="3" orientation="landscape" useFirstPageNumber="1"/><rowBreaks count="2" manualBreakCount="2"><brk id="10" max="16383" man="1"/><brk id="20" max="16383" man="1"/></rowBreaks><colBreaks count="1" manualBreakCount="1"><brk id="3" max="1048575" man="1"/></colBreaks></worksheet>
%%% xl/worksheets/_rels/sheet1.xml.rels
<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/hyperlink" Target="https://example.org/a?b=1&amp;c=2" TargetMode="External"/></Relationships>
)";

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::cerr << "usage: xlsx_fuzz_seed FOLDER [PARTS-FOLDER]\n";
        return 2;
    }
    std::string folder = argv[1];
    model::ModelApplication app(std::make_shared<model::ScriptedUi>());

    // A plain list.
    auto plain = app.NewWorkbook();
    auto sheet = plain->ModelSheet(1);
    for (int r = 1; r <= 5; ++r) {
        sheet->SetLiteral(Area{r, 1, r, 1}, static_cast<double>(r));
        sheet->SetLiteral(Area{r, 2, r, 2}, std::string("строка ") + std::to_string(r));
    }
    xlsx::SaveWorkbook(*plain, folder + "/plain.xlsx");

    // A formed page: formats, merges, links, formulas, page setup and view.
    auto formed = app.NewWorkbook();
    auto doc = formed->ModelSheet(1);
    doc->Name("Документ");
    auto reg = std::static_pointer_cast<model::ModelWorksheet>(formed->Add(nullptr, doc.get()));
    reg->Name("список");
    reg->SetLiteral(Area{1, 1, 1, 1}, std::string("АБВГ.123456.001"));
    host::FormatPatch p;
    p.fontName = std::string("ISOCPEUR");
    p.fontSize = 14;
    p.italic = true;
    p.orientation = -90;
    p.numberFormat = std::string("@");
    p.borders[0].style = host::LineStyle::Continuous;
    p.borders[0].weight = host::BorderWeight::Medium;
    p.fill = host::Color::Rgb(0xFFFF99);
    doc->Format(Area{1, 1, 4, 3}, p);
    doc->Merge(Area{1, 1, 2, 2});
    doc->SetFormula(3, 1, "=список!R1C1", std::string("АБВГ.123456.001"));
    doc->SetLiteral(Area{3, 2, 3, 2}, true);
    doc->SetLiteral(Area{3, 3, 3, 3}, host::CellError::NA);
    doc->AddHyperlink(host::Hyperlink{Area{4, 1, 4, 1}, "", "'список'!A1", "список", ""});
    doc->RowHeight(1, 1, 43);
    doc->RowHeight(5, 5, 0);
    doc->ColumnWidth(1, 2, 3);
    doc->Page().printArea = "$A:$Z";
    doc->Page().orientation = host::PageOrientation::Landscape;
    doc->AddHPageBreak(4);
    doc->View().frozenRows = 1;
    doc->View().view = host::ViewMode::PageBreakPreview;
    xlsx::SaveWorkbook(*formed, folder + "/formed.xlsx");

    // Whole rows, whole columns and the whole sheet formatted; properties.
    auto wide = app.NewWorkbook();
    auto ws = wide->ModelSheet(1);
    host::FormatPatch fill;
    fill.fill = host::Color::Rgb(0xCCFFCC);
    fill.bold = true;
    ws->Format(Area{1, 1, host::kMaxRows, host::kMaxColumns}, fill);
    host::FormatPatch frame;
    frame.borders[2].style = host::LineStyle::Continuous;
    ws->Format(Area{1, 3, host::kMaxRows, 4}, frame);
    ws->Format(Area{2, 1, 3, host::kMaxColumns}, p);
    ws->SetLiteral(Area{2, 3, 2, 3}, 3.25);
    ws->SetLiteral(Area{7, 1, 7, 1}, std::string("_x0041_ & <b> \"'"));
    ws->SetValue(Area{8, 1, 8, 1}, std::string("=SUM(R[-6]C[2]:R[-6]C[3])&\"x\""));
    ws->Merge(Area{10, 1, 12, 5});
    ws->StandardHeight(17.5);
    wide->Properties().core =
        "<cp:coreProperties xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/metadata/core-properties\" "
        "xmlns:dc=\"http://purl.org/dc/elements/1.1/\"><dc:title>Перечень</dc:title></cp:coreProperties>";
    xlsx::SaveWorkbook(*wide, folder + "/wide.xlsx");

    // A text as long as a cell holds: one character more must be refused at the
    // load, as the save refuses it.
    auto longest = app.NewWorkbook();
    longest->ModelSheet(1)->SetLiteral(Area{1, 1, 1, 1}, std::string(32767, 'x'));
    longest->ModelSheet(1)->SetLiteral(Area{2, 1, 2, 1}, std::string("ж"));
    xlsx::SaveWorkbook(*longest, folder + "/longest.xlsx");

    if (argc == 3) {
        // Written by hand as other programs write: shared formulas, inline and rich
        // strings, number formats, theme colours, a format over every column, row
        // spans, defined names, breaks, a hyperlink with its relationship, custom
        // properties.
        std::ofstream(std::string(argv[2]) + "/foreign.parts", std::ios::binary) << kForeignParts;
        for (const char* name : {"plain", "formed", "wide", "longest"}) {
            std::ofstream out(std::string(argv[2]) + "/" + name + ".parts", std::ios::binary);
            out << fuzzparts::Unpack(folder + "/" + name + ".xlsx");
            if (!out) {
                std::cerr << "xlsx_fuzz_seed: cannot write " << argv[2] << "\n";
                return 1;
            }
        }
    }
    return 0;
}
