// Saving the embedded model as an .xlsx file.
//
// Every part is written here, streaming from the model into the archive: one
// function per part, mirroring the reader's functions of the same part. Cells
// carry the style id of the workbook's style table as their cell format index
// (the table is written as it is), and their effective style (their own, else
// their row's, column's or sheet's), because a cell element without a style
// means the workbook's default in the file rather than its row's.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <map>
#include <unordered_map>

#include "ormelin/xlsx.hpp"
#include "xlsx/common.hpp"
#include "xlsx/package.hpp"
#include "xlsx/string_runs.hpp"
#include "xlsx/styles.hpp"
#include "xlsx/save_file.hpp"
#include "xlsx/xml_out.hpp"

namespace ormelin::xlsx {

using namespace detail;
using host::CellContent;
using host::Color;
using host::Style;
using model::ModelWorkbook;
using model::ModelWorksheet;
using model::StyleId;

namespace {


std::string SheetPart(int position) { return "xl/worksheets/sheet" + std::to_string(position) + ".xml"; }

// ---------------------------------------------------------------- workbook

void WriteWorkbook(ArchiveWriter& zip, const ModelWorkbook& book) {
    XmlOut x(zip, "xl/workbook.xml");
    x.Raw("<workbook xmlns=\"").Raw(kMainNs).Raw("\" xmlns:r=\"").Raw(kRelNs).Raw("\">");
    x.Raw(book.Date1904() ? "<workbookPr date1904=\"1\"/>" : "<workbookPr/>");
    int active = 0;
    auto activeSheet = book.ActiveSheet();
    for (int i = 1; i <= book.Count(); ++i)
        if (book.ModelSheet(i).get() == activeSheet.get()) active = i - 1;
    x.Raw("<bookViews><workbookView").Attr("activeTab", active).Raw("/></bookViews><sheets>");
    for (int i = 1; i <= book.Count(); ++i)
        x.Raw("<sheet").Attr("name", book.ModelSheet(i)->Name()).Attr("sheetId", i).Attr("r:id", "rId" + std::to_string(i)).Raw("/>");
    x.Raw("</sheets>");
    bool names = false;
    for (int i = 1; i <= book.Count(); ++i) {
        auto sheet = book.ModelSheet(i);
        const host::PrintArea& area = sheet->Page().printArea;
        if (area.empty()) continue;
        const std::string text = area.Reference(sheet->Name());  // "'Лист 1'!$A$1:$Z$99,'Лист 1'!$A$120:$Z$140"
        if (!names) x.Raw("<definedNames>"), names = true;
        x.Raw("<definedName name=\"_xlnm.Print_Area\"").Attr("localSheetId", i - 1).Raw(">");
        x.PlainText(text, [] { return std::string("the print area"); }).Raw("</definedName>");
    }
    if (names) x.Raw("</definedNames>");
    // Cached values are written with every formula; the desktop spreadsheet
    // recalculates on opening all the same.
    x.Raw("<calcPr calcId=\"124519\" fullCalcOnLoad=\"1\"/></workbook>");
    x.Close();
}

// ---------------------------------------------------------------- shared strings

class SharedStrings {
public:
    std::uint32_t Index(const std::string& text) {
        auto [it, added] = index_.try_emplace(text, static_cast<std::uint32_t>(order_.size()));
        if (added) order_.push_back({&it->first, nullptr});
        ++uses_;
        return it->second;
    }
    /// A text with formatted runs: one entry for each set of runs (cells that
    /// share a string of the file share its runs).
    std::uint32_t Index(const std::shared_ptr<const host::RichText>& runs) {
        auto [it, added] = richIndex_.emplace(runs, static_cast<std::uint32_t>(order_.size()));
        if (added) order_.push_back({nullptr, runs.get()});
        ++uses_;
        return it->second;
    }

    void Write(ArchiveWriter& zip) const {
        XmlOut x(zip, "xl/sharedStrings.xml");
        x.Raw("<sst xmlns=\"").Raw(kMainNs).Raw("\"").Attr("count", static_cast<long long>(uses_))
            .Attr("uniqueCount", static_cast<long long>(order_.size())).Raw(">");
        for (const auto& [s, runs] : order_) {
            if (runs) {
                x.Raw("<si>");
                WriteRuns(x, *runs);
                x.Raw("</si>");
                continue;
            }
            bool keepSpaces = !s->empty() && (std::isspace(static_cast<unsigned char>(s->front())) ||
                                              std::isspace(static_cast<unsigned char>(s->back())));
            x.Raw(keepSpaces ? "<si><t xml:space=\"preserve\">" : "<si><t>").Text(*s).Raw("</t></si>");
        }
        x.Raw("</sst>");
        x.Close();
    }

private:
    struct Entry {
        const std::string* text;
        const host::RichText* runs;
    };
    std::unordered_map<std::string, std::uint32_t> index_;
    std::map<std::shared_ptr<const host::RichText>, std::uint32_t> richIndex_;  // holds the runs until written
    std::vector<Entry> order_;
    std::uint64_t uses_ = 0;
};

// ---------------------------------------------------------------- sheets

class SheetWriter {
public:
    SheetWriter(ArchiveWriter& zip, const ModelWorksheet& sheet, int position, bool active, SharedStrings& strings,
                SaveReport& report)
        : zip_(zip), sheet_(sheet), position_(position), active_(active), strings_(strings), report_(report) {}

    void Write();

private:
    void WriteSheetProperties(XmlOut& x);
    void WriteSheetView(XmlOut& x);
    void WriteSheetFormat(XmlOut& x);
    void WriteColumns(XmlOut& x);
    void WriteCells(XmlOut& x);
    void WriteCell(XmlOut& x, int row, int column, const CellContent& content, StyleId style);
    void WriteMerges(XmlOut& x);
    void WriteHyperlinks(XmlOut& x);
    void WritePage(XmlOut& x);
    void WriteBreaks(XmlOut& x);

    ArchiveWriter& zip_;
    const ModelWorksheet& sheet_;
    int position_;
    bool active_;
    SharedStrings& strings_;
    SaveReport& report_;
    std::vector<Relationship> rels_;
};

void SheetWriter::Write() {
    XmlOut x(zip_, SheetPart(position_));
    x.Raw("<worksheet xmlns=\"").Raw(kMainNs).Raw("\" xmlns:r=\"").Raw(kRelNs).Raw("\">");
    WriteSheetProperties(x);
    WriteSheetView(x);
    WriteSheetFormat(x);
    WriteColumns(x);
    WriteCells(x);
    WriteMerges(x);
    WriteHyperlinks(x);
    WritePage(x);
    WriteBreaks(x);
    x.Raw("</worksheet>");
    x.Close();
    if (!rels_.empty()) WriteRels(zip_, "xl/worksheets/_rels/sheet" + std::to_string(position_) + ".xml.rels", rels_);
}

void SheetWriter::WriteSheetProperties(XmlOut& x) {
    const model::SheetOutline& outline = sheet_.Outline();
    if (outline.summaryBelow && outline.summaryRight && !outline.applyStyles) return;
    x.Raw("<sheetPr><outlinePr");
    if (outline.applyStyles) x.Raw(" applyStyles=\"1\"");
    if (!outline.summaryBelow) x.Raw(" summaryBelow=\"0\"");
    if (!outline.summaryRight) x.Raw(" summaryRight=\"0\"");
    x.Raw("/></sheetPr>");
}

void SheetWriter::WriteSheetView(XmlOut& x) {
    const host::SheetView& view = sheet_.View();
    x.Raw("<sheetViews><sheetView");
    if (active_) x.Raw(" tabSelected=\"1\"");
    if (view.rightToLeft) x.Raw(" rightToLeft=\"1\"");
    if (!sheet_.Outline().showSymbols) x.Raw(" showOutlineSymbols=\"0\"");
    if (!view.displayGridlines) x.Raw(" showGridLines=\"0\"");
    if (!view.displayZeros) x.Raw(" showZeros=\"0\"");
    if (view.view == host::ViewMode::PageBreakPreview) x.Raw(" view=\"pageBreakPreview\"");
    if (view.view == host::ViewMode::PageLayout) x.Raw(" view=\"pageLayout\"");
    const bool frozen = view.frozenRows > 0 || view.frozenColumns > 0;
    if (!frozen && view.scrollRow > 1 && view.scrollRow <= host::kMaxRows)
        x.Raw(" topLeftCell=\"").Cell(view.scrollRow, 1).Raw("\"");
    int zoom = std::clamp(view.zoom, 10, 400);
    if (zoom != 100) x.Attr("zoomScale", zoom);
    if (view.view == host::ViewMode::PageBreakPreview) x.Attr("zoomScaleSheetLayoutView", zoom);
    else if (zoom != 100) x.Attr("zoomScaleNormal", zoom);
    x.Raw(" workbookViewId=\"0\">");
    std::string_view pane = "";
    if (frozen) {
        int rows = std::clamp(view.frozenRows, 0, host::kMaxRows - 1);
        int columns = std::clamp(view.frozenColumns, 0, host::kMaxColumns - 1);
        int top = std::min(std::max(view.scrollRow, rows + 1), host::kMaxRows);
        pane = rows > 0 && columns > 0 ? "bottomRight" : rows > 0 ? "bottomLeft" : "topRight";
        x.Raw("<pane");
        if (columns > 0) x.Attr("xSplit", columns);
        if (rows > 0) x.Attr("ySplit", rows);
        x.Raw(" topLeftCell=\"").Cell(top, columns + 1).Raw("\"").Attr("activePane", pane).Raw(" state=\"frozen\"/>");
    }
    host::Area sel = view.selection;
    if (sel == host::Area{} || sel.r1 < 1 || sel.c1 < 1) sel = host::Area{1, 1, 1, 1};
    x.Raw("<selection");
    if (!pane.empty()) x.Attr("pane", pane);
    x.Raw(" activeCell=\"").Cell(sel.r1, sel.c1).Raw("\"").Attr("sqref", host::AddressOf(sel)).Raw("/>");
    x.Raw("</sheetView></sheetViews>");
}

void SheetWriter::WriteSheetFormat(XmlOut& x) {
    const model::SheetDefaults& defaults = sheet_.Defaults();
    double standard = sheet_.StandardHeight();
    x.Raw("<sheetFormatPr");
    if (defaults.baseColumnWidth != 8) x.Attr("baseColWidth", defaults.baseColumnWidth);
    if (defaults.fileColumnWidth >= 0) x.AttrNumber("defaultColWidth", defaults.fileColumnWidth);
    x.AttrNumber("defaultRowHeight", standard);
    if (defaults.customHeight.value_or(standard != 15)) x.Raw(" customHeight=\"1\"");
    // the deepest outline levels of the rows and of the columns
    int rowLevel = 0, columnLevel = 0;
    sheet_.ForEachRow([&](int, const model::RowRecord& record) { rowLevel = std::max<int>(rowLevel, record.outlineLevel); });
    for (const auto& c : sheet_.Columns()) columnLevel = std::max<int>(columnLevel, c.outlineLevel);
    if (rowLevel > 0) x.Attr("outlineLevelRow", rowLevel);
    if (columnLevel > 0) x.Attr("outlineLevelCol", columnLevel);
    x.Raw("/>");
}

void SheetWriter::WriteColumns(XmlOut& x) {
    std::optional<StyleId> sheetStyle = sheet_.SheetStyle();
    bool open = false;
    // The sheet's standard width, which the reader takes as none of the column's own.
    const double standard = FileDefaultWidth(sheet_);
    auto col = [&](model::ColumnRecord c) {
        if (!open) x.Raw("<cols>"), open = true;
        x.Raw("<col").Attr("min", c.first).Attr("max", c.last);
        // a hidden column is written with the width it shows again when unhidden
        const double width = c.width == 0 ? c.hiddenWidth : c.width;
        if (width <= 0) x.AttrNumber("width", standard);
        else if (c.fileWidth >= 0 && CharactersFromFileWidth(c.fileWidth) == width)
            x.AttrNumber("width", c.fileWidth).Raw(" customWidth=\"1\"");  // the file's own, to the last digit
        else x.AttrNumber("width", FileWidthFromCharacters(std::min(width, 255.0))).Raw(" customWidth=\"1\"");
        if (c.width == 0) x.Raw(" hidden=\"1\"");
        if (c.style) x.Attr("style", static_cast<long long>(*c.style));
        if (c.outlineLevel > 0) x.Attr("outlineLevel", std::min<int>(c.outlineLevel, 7));
        if (c.collapsed) x.Raw(" collapsed=\"1\"");
        x.Raw("/>");
    };
    int next = 1;
    for (auto c : sheet_.Columns()) {
        if (c.first < next || c.last < c.first || c.last > host::kMaxColumns) continue;
        if (sheetStyle && c.first > next) col({next, c.first - 1, -1, sheetStyle});
        if (!c.style) c.style = sheetStyle;
        col(c);
        next = c.last + 1;
    }
    if (sheetStyle && next <= host::kMaxColumns) col({next, host::kMaxColumns, -1, sheetStyle});
    if (open) x.Raw("</cols>");
}

void SheetWriter::WriteCells(XmlOut& x) {
    std::vector<std::pair<int, model::RowRecord>> records;
    sheet_.ForEachRow([&](int row, const model::RowRecord& record) { records.emplace_back(row, record); });
    std::size_t nextRecord = 0;
    int openRow = 0;
    auto rowStart = [&](int row, const model::RowRecord* record, bool empty) {
        x.Raw("<row r=\"").Int(row).Raw("\"");
        if (record) {
            if (record->height == 0 && record->hiddenHeight > 0)  // written with the height it shows again
                x.AttrNumber("ht", std::min<double>(record->hiddenHeight, 409.5)).Raw(" customHeight=\"1\"");
            if (record->height == 0) x.Raw(" hidden=\"1\"");
            else if (record->height > 0) x.AttrNumber("ht", std::min(record->height, 409.5)).Raw(" customHeight=\"1\"");
            if (record->style) x.Attr("s", static_cast<long long>(*record->style)).Raw(" customFormat=\"1\"");
            if (record->outlineLevel > 0) x.Attr("outlineLevel", std::min<int>(record->outlineLevel, 7));
            if (record->collapsed) x.Raw(" collapsed=\"1\"");
        }
        x.Raw(empty ? "/>" : ">");
    };
    // Rows with a record of their own and no cells before `row`.
    auto recordsBefore = [&](int row) {
        for (; nextRecord < records.size() && records[nextRecord].first < row; ++nextRecord) {
            const auto& [r, record] = records[nextRecord];
            if (record.height >= 0 || record.style || record.outlined()) rowStart(r, &record, true);
        }
    };
    x.Raw("<sheetData>");
    sheet_.ForEachCell([&](int row, int column, const CellContent& content, StyleId style) {
        if (row != openRow) {
            if (openRow) x.Raw("</row>");
            recordsBefore(row);
            const model::RowRecord* record = nullptr;
            if (nextRecord < records.size() && records[nextRecord].first == row) record = &records[nextRecord++].second;
            rowStart(row, record, false);
            openRow = row;
        }
        WriteCell(x, row, column, content, style);
    });
    if (openRow) x.Raw("</row>");
    recordsBefore(host::kMaxRows + 1);
    x.Raw("</sheetData>");
}

void SheetWriter::WriteCell(XmlOut& x, int row, int column, const CellContent& content, StyleId style) {
    const host::Value& v = content.value;
    const auto* number = std::get_if<double>(&v);
    const bool nonFinite = number && !std::isfinite(*number);  // the file has no such numbers: #NUM!
    const auto* text = std::get_if<std::string>(&v);
    // The cell's start, and the whole of a plain number, shared string or blank,
    // written straight into the text: the bulk of every sheet.
    char* p = x.Reserve(128);
    p = PutRef(Put(p, "<c r=\""), row, column);
    *p++ = '"';
    if (style != 0) {
        p = PutInt(Put(p, " s=\""), style);
        *p++ = '"';
    }
    if (content.formula.empty()) {
        if (number && !nonFinite) {
            p = Put(p, "><v>");
            p = std::to_chars(p, p + 32, *number).ptr;
            x.Commit(Put(p, "</v></c>"));
            return;
        }
        if (host::IsEmpty(v)) {
            x.Commit(Put(p, "/>"));
            return;
        }
        if (text && !text->empty() && text->size() <= kMaxCellCharacters && !content.runs) {
            x.Commit(Put(PutInt(Put(p, " t=\"s\"><v>"), strings_.Index(*text)), "</v></c>"));
            return;
        }
    }
    x.Commit(p);
    if (!content.formula.empty()) {
        if (number && !nonFinite) x.Raw("><f>");
        else if (std::holds_alternative<bool>(v)) x.Raw(" t=\"b\"><f>");
        else if (std::holds_alternative<host::CellError>(v) || nonFinite) x.Raw(" t=\"e\"><f>");
        else x.Raw(" t=\"str\"><f>");
        std::string a1 = ToA1(content.formula, row, column);
        x.PlainText(a1, [&] { return "the formula of " + host::ColumnLetters(column) + std::to_string(row); }).Raw("</f>");
        if (number && !nonFinite) x.Raw("<v>").Number(*number).Raw("</v>");
        else if (nonFinite) x.Raw("<v>#NUM!</v>");
        else if (const bool* flag = std::get_if<bool>(&v)) x.Raw(*flag ? "<v>1</v>" : "<v>0</v>");
        else if (const auto* e = std::get_if<host::CellError>(&v)) x.Raw("<v>").Raw(host::ErrorText(*e)).Raw("</v>");
        else if (text) x.Raw("<v>").Text(*text).Raw("</v>");
        // a formula without a cached value has no <v>
        x.Raw("</c>");
        return;
    }
    if (number && !nonFinite) {
        x.Raw("><v>").Number(*number).Raw("</v></c>");
    } else if (text && !text->empty()) {
        if (auto tooLong = TextTooLong(*text, sheet_.Name(), row, column)) throw Error(ErrorCode::FileError, *tooLong);
        const bool rich = content.runs && content.runs->Joined() == *text;
        x.Raw(" t=\"s\"><v>").Int(rich ? strings_.Index(content.runs) : strings_.Index(*text)).Raw("</v></c>");
    } else if (const bool* flag = std::get_if<bool>(&v)) {
        x.Raw(*flag ? " t=\"b\"><v>1</v></c>" : " t=\"b\"><v>0</v></c>");
    } else if (const auto* e = std::get_if<host::CellError>(&v)) {
        x.Raw(" t=\"e\"><v>").Raw(host::ErrorText(*e)).Raw("</v></c>");
    } else if (nonFinite) {
        x.Raw(" t=\"e\"><v>#NUM!</v></c>");
    } else {
        x.Raw("/>");
    }
}

void SheetWriter::WriteMerges(XmlOut& x) {
    auto areas = sheet_.MergedAreas(host::Area{1, 1, host::kMaxRows, host::kMaxColumns});
    std::erase_if(areas, [](const host::Area& a) { return a.single(); });
    if (areas.empty()) return;
    x.Raw("<mergeCells").Attr("count", static_cast<long long>(areas.size())).Raw(">");
    for (const auto& a : areas) {
        x.Raw("<mergeCell ref=\"").Cell(a.r1, a.c1).Raw(":").Cell(a.r2, a.c2).Raw("\"/>");
    }
    x.Raw("</mergeCells>");
}

void SheetWriter::WriteHyperlinks(XmlOut& x) {
    auto links = sheet_.Hyperlinks();
    if (links.empty()) return;
    x.Raw("<hyperlinks>");
    for (const auto& link : links) {
        x.Raw("<hyperlink").Attr("ref", host::AddressOf(link.anchor));
        if (!link.address.empty()) {
            rels_.push_back({std::string(kRelTypes) + "hyperlink", link.address, true});
            x.Attr("r:id", "rId" + std::to_string(rels_.size()));
        }
        if (!link.subAddress.empty()) x.Attr("location", link.subAddress);
        if (!link.textToDisplay.empty()) x.Attr("display", link.textToDisplay);
        if (!link.screenTip.empty()) x.Attr("tooltip", link.screenTip);
        x.Raw("/>");
    }
    x.Raw("</hyperlinks>");
}

void SheetWriter::WritePage(XmlOut& x) {
    const host::PageSetup& page = sheet_.Page();
    if (page.centerHorizontally || page.centerVertically || page.printGridlines || page.printHeadings) {
        x.Raw("<printOptions");
        if (page.centerHorizontally) x.Raw(" horizontalCentered=\"1\"");
        if (page.centerVertically) x.Raw(" verticalCentered=\"1\"");
        if (page.printHeadings) x.Raw(" headings=\"1\"");
        if (page.printGridlines) x.Raw(" gridLines=\"1\"");
        x.Raw("/>");
    }
    x.Raw("<pageMargins").AttrNumber("left", page.leftMargin / 72).AttrNumber("right", page.rightMargin / 72)
        .AttrNumber("top", page.topMargin / 72).AttrNumber("bottom", page.bottomMargin / 72)
        .AttrNumber("header", page.headerMargin / 72).AttrNumber("footer", page.footerMargin / 72).Raw("/>");
    x.Raw("<pageSetup");
    if (page.paperSize > 0) x.Attr("paperSize", page.paperSize);
    if (page.zoom != 100 && page.zoom >= 10 && page.zoom <= 400) x.Attr("scale", page.zoom);
    x.Raw(page.orientation == host::PageOrientation::Landscape ? " orientation=\"landscape\"/>" : " orientation=\"portrait\"/>");
}

void SheetWriter::WriteBreaks(XmlOut& x) {
    std::vector<int> rows = sheet_.HPageBreaks();
    std::erase_if(rows, [](int row) { return row < 2 || row > host::kMaxRows; });
    if (rows.empty()) return;
    if (rows.size() > kMaxManualBreaks) {
        report_.breaks.push_back({sheet_.Name(), static_cast<int>(rows.size()), static_cast<int>(kMaxManualBreaks)});
        rows.resize(kMaxManualBreaks);
    }
    x.Raw("<rowBreaks").Attr("count", static_cast<long long>(rows.size()))
        .Attr("manualBreakCount", static_cast<long long>(rows.size())).Raw(">");
    for (int row : rows) x.Raw("<brk id=\"").Int(row - 1).Raw("\" max=\"16383\" man=\"1\"/>");  // the break follows row id
    x.Raw("</rowBreaks>");
}

// ---------------------------------------------------------------- the package

void WritePackage(ArchiveWriter& zip, const ModelWorkbook& book, SaveReport& report) {
    const int count = book.Count();
    const model::DocumentProperties& properties = book.Properties();
    const bool custom = !properties.custom.empty();
    const bool theme = !book.Theme().empty();
    WriteContentTypes(zip, count, custom, theme);
    std::vector<Relationship> packageRels{{std::string(kRelTypes) + "officeDocument", "xl/workbook.xml"},
                                          {std::string(kCorePropertiesRel), "docProps/core.xml"},
                                          {std::string(kRelTypes) + "extended-properties", "docProps/app.xml"}};
    if (custom) packageRels.push_back({std::string(kCustomPropertiesRel), "docProps/custom.xml"});
    WriteRels(zip, "_rels/.rels", packageRels);
    WriteDocumentProperties(zip, properties);
    WriteWorkbook(zip, book);
    std::vector<Relationship> bookRels;
    for (int i = 1; i <= count; ++i)
        bookRels.push_back({std::string(kRelTypes) + "worksheet", "worksheets/sheet" + std::to_string(i) + ".xml"});
    bookRels.push_back({std::string(kRelTypes) + "styles", "styles.xml"});
    bookRels.push_back({std::string(kRelTypes) + "sharedStrings", "sharedStrings.xml"});
    if (theme) bookRels.push_back({std::string(kThemeRel), std::string(kThemePart).substr(3)});
    WriteRels(zip, "xl/_rels/workbook.xml.rels", bookRels);
    WriteStyles(zip, book);
    WriteTheme(zip, book.Theme());
    SharedStrings strings;
    auto active = book.ActiveSheet();
    for (int i = 1; i <= count; ++i) {
        auto sheet = book.ModelSheet(i);
        SheetWriter(zip, *sheet, i, sheet.get() == active.get(), strings, report).Write();
    }
    strings.Write(zip);
}

}  // namespace

std::string SaveReport::Describe() const {
    std::string text;
    for (const auto& b : breaks)
        text += "sheet \"" + b.sheet + "\": " + std::to_string(b.given) + " manual page breaks, the file keeps " +
                std::to_string(b.kept) + "; from printed page " + std::to_string(b.kept + 1) +
                " on the pages break automatically\n";
    return text;
}

SaveReport SaveWorkbook(const ModelWorkbook& book, const std::string& path) {
    if (book.Count() == 0) Fail(path, "a workbook without sheets cannot be saved");
    SaveReport report;
    SaveFile file(path);
    try {
        ArchiveWriter zip(file.Descriptor(), path);
        WritePackage(zip, book, report);
        zip.Finish();
    } catch (const Error& e) {
        if (e.code() == ErrorCode::FileError) throw;
        Fail(path, e.description());
    } catch (const std::bad_alloc&) {
        Fail(path, "out of memory");
    }
    file.Commit();
    return report;
}

void InstallSaver(model::ModelApplication& app) {
    app.SetSaver([](const ModelWorkbook& book, const std::string& path) { SaveWorkbook(book, path); });
}

}  // namespace ormelin::xlsx
