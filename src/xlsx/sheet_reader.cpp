// Loading a worksheet part of an .xlsx file into the embedded model: its
// properties, columns, rows and cells (shared formulas, texts, styles), merged
// areas, hyperlinks, page setup and view.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <map>
#include <set>
#include <unordered_map>
#include <utility>

#include <pugixml.hpp>

#include "ormelin/xlsx.hpp"
#include "xlsx/archive.hpp"
#include "xlsx/loader.hpp"
#include "xlsx/common.hpp"
#include "xlsx/package.hpp"
#include "xlsx/string_runs.hpp"
#include "xlsx/styles.hpp"
#include "xlsx/xml_in.hpp"

namespace ormelin::xlsx::detail {

/// Parses a cell reference "B12" of a <c> element.
bool ParseCellRef(const char* text, CellRef& ref) {
    int column = 0, row = 0, letters = 0, digits = 0;
    const char* p = text;
    for (; *p >= 'A' && *p <= 'Z'; ++p, ++letters) column = column * 26 + (*p - 'A' + 1);
    for (; *p >= '0' && *p <= '9'; ++p, ++digits) row = row * 10 + (*p - '0');
    if (*p || letters == 0 || letters > 3 || digits == 0 || digits > 7) return false;
    ref.row = row, ref.column = column;
    return row >= 1 && row <= host::kMaxRows && column >= 1 && column <= host::kMaxColumns;
}

std::string CellName(int row, int column) { return host::ColumnLetters(column) + std::to_string(row); }

/// A cell's own text longer than a cell holds is refused here, as a save would
/// refuse it: what loads can be saved. A formula's result is the formula's.
void CheckCellText(const CellContent& content, const std::string& sheet, int row, int column, const std::string& part) {
    const auto* text = std::get_if<std::string>(&content.value);
    if (!text || !content.formula.empty()) return;
    if (auto tooLong = TextTooLong(*text, sheet, row, column)) Fail(part, *tooLong);
}

/// Why the reference of a <c> element in row `row` cannot be taken: not a cell
/// reference at all, a cell beyond the last column or row of a sheet, or a cell
/// of another row. Built only when a reference has failed.
std::string BadCellRef(const char* text, int row) {
    const std::string quoted = std::string("cell reference \"") + text + "\"";
    long long column = 0, number = 0;
    int letters = 0, digits = 0;
    const char* p = text;
    for (; *p >= 'A' && *p <= 'Z' && letters < 8; ++p, ++letters) column = column * 26 + (*p - 'A' + 1);
    for (; *p >= '0' && *p <= '9' && digits < 12; ++p, ++digits) number = number * 10 + (*p - '0');
    if (*p || letters == 0 || digits == 0) return quoted + " is not a cell reference";
    if (column > host::kMaxColumns) return quoted + " lies beyond the last column (XFD) of a sheet";
    if (number < 1 || number > host::kMaxRows) return quoted + " lies beyond the last row (1048576) of a sheet";
    return quoted + " is not in row " + std::to_string(row);
}

void Loader::ReadSheet(ModelWorksheet& sheet, const std::string& part, const host::PrintArea& printArea) {
    XmlPart xml;
    SheetRowsText rows;
    ParseWorksheet(zip_, part, xml, rows);
    auto root = xml.Root("worksheet");

    for (auto e = root.first_child(); e; e = e.next_sibling())
        for (const auto& u : kUnsupportedElements)
            if (Is(e, u.prefix)) report_.Add(u.what, part);
    if (auto hf = Child(root, "headerFooter"))
        for (auto h = hf.first_child(); h; h = h.next_sibling())
            if (*h.child_value()) report_.Add("headers and footers", part);
    ReadSheetProperties(sheet, Child(root, "sheetPr"), part);

    if (auto format = Child(root, "sheetFormatPr")) {
        model::SheetDefaults& defaults = sheet.Defaults();
        int base = IntAttr(format, "baseColWidth", 8, part);
        if (base < 0 || base > 255) Fail(part, "default column width base " + std::to_string(base) + " out of range");
        defaults.baseColumnWidth = base;
        if (auto w = Attr(format, "defaultColWidth")) {
            double fileWidth = DoubleAttr(format, "defaultColWidth", 0, part);
            if (!(fileWidth >= 0 && fileWidth <= 255 + 1))
                Fail(part, std::string("default column width \"") + w.value() + "\" out of range");
            defaults.fileColumnWidth = fileWidth;
        }
        sheet.LoadStandardWidth(std::min(StandardWidthOf(defaults), 255.0));  // the widest column the model holds
        // outlineLevelRow and outlineLevelCol follow from the rows' and columns' levels
        double standard = DoubleAttr(format, "defaultRowHeight", -1, part);
        if (standard > 0 && standard <= 409.5 && standard != sheet.StandardHeight()) sheet.StandardHeight(standard);
        defaults.customHeight = Flag(format, "customHeight", false);
        if (Flag(format, "zeroHeight", false)) report_.Add("rows hidden unless shown (zero height by default)", part);
    }
    ReadColumns(sheet, Child(root, "cols"), part);

    std::set<int> breaks;
    for (auto b : Child(root, "rowBreaks").children()) {
        if (!Is(b, "brk") || !Flag(b, "man", false)) continue;
        int id = IntAttr(b, "id", 0, part);
        if (id >= 1 && id < host::kMaxRows) breaks.insert(id + 1);  // the break follows row id
    }
    ReadCells(sheet, Child(root, "sheetData"), rows, part, breaks);

    for (auto m : Child(root, "mergeCells").children()) {
        if (!Is(m, "mergeCell")) continue;
        Area area = host::ParseAddress(Attr(m, "ref").value());
        if (!area.single()) sheet.LoadMerge(area);
    }
    ReadHyperlinks(sheet, Child(root, "hyperlinks"), part);
    ReadPage(sheet, root, part);
    sheet.Page().printArea = printArea;
    ReadView(sheet, Child(root, "sheetViews"), part);
}

void Loader::ReadSheetProperties(ModelWorksheet& sheet, const pugi::xml_node& pr, const std::string& part) {
    if (!pr) return;
    if (Flag(Child(pr, "pageSetUpPr"), "fitToPage", false)) report_.Add("fit to pages", part);
    if (Child(pr, "tabColor")) report_.Add("sheet tab colour", part);
    if (auto o = Child(pr, "outlinePr")) {
        model::SheetOutline& outline = sheet.Outline();
        outline.summaryBelow = Flag(o, "summaryBelow", true);
        outline.summaryRight = Flag(o, "summaryRight", true);
        outline.applyStyles = Flag(o, "applyStyles", false);
        outline.showSymbols = Flag(o, "showOutlineSymbols", true);
    }
}

/// The outline level of a row or column element: 0..7, the levels a sheet has;
/// a deeper one is kept as 7 and reported.
std::uint8_t OutlineLevel(const pugi::xml_node& n, const std::string& part, LoadReport& report) {
    int level = IntAttr(n, "outlineLevel", 0, part);
    if (level >= 0 && level <= 7) return static_cast<std::uint8_t>(level);
    report.Add("outline levels beyond 7 (kept as 7)", part);
    return level < 0 ? 0 : 7;
}

void Loader::ReadColumns(ModelWorksheet& sheet, const pugi::xml_node& cols, const std::string& part) {
    struct Col {
        int first, last;
        double width;
        std::optional<StyleId> style;
        double hiddenWidth;
        std::uint8_t outlineLevel;
        bool collapsed;
        double fileWidth;
    };
    std::vector<Col> list;
    const double defaultWidth = FileDefaultWidth(sheet);
    for (auto c : cols.children()) {
        if (!Is(c, "col")) continue;
        int first = IntAttr(c, "min", 0, part), last = IntAttr(c, "max", 0, part);
        if (first < 1 || last < first || last > host::kMaxColumns)
            Fail(part, "column range " + std::to_string(first) + ":" + std::to_string(last) + " out of the sheet");
        const std::uint8_t level = OutlineLevel(c, part, report_);
        const bool hidden = Flag(c, "hidden", false);
        double width = -1;
        double keptWidth = -1;  // the file's own width, written back unchanged
        if (auto w = Attr(c, "width")) {
            // A hidden column's width is only kept beside it: one it cannot have is dropped.
            double fileWidth = -1;
            if (!hidden) fileWidth = DoubleAttr(c, "width", 0, part);
            else if (!Number(std::string_view(w.value()), fileWidth)) fileWidth = -1;
            if (!(fileWidth >= 0 && fileWidth <= 255 + 1)) {
                if (!hidden) Fail(part, std::string("column width \"") + w.value() + "\" out of range");
            } else if (Flag(c, "customWidth", false) || std::fabs(fileWidth - defaultWidth) > 1e-6) {
                // A column given the sheet's default width (as the writer gives it to
                // columns that only carry a format) has no width of its own.
                width = CharactersFromFileWidth(fileWidth);
                keptWidth = fileWidth;
            }
        }
        // A hidden column has width 0 in the model; its own width is kept beside it.
        double hiddenWidth = -1;
        if (hidden) hiddenWidth = std::exchange(width, 0.0);
        if (hiddenWidth == 0) hiddenWidth = -1;  // hidden by a width of 0: no width to show again
        std::optional<StyleId> style;
        if (Attr(c, "style")) style = StyleOf(static_cast<std::size_t>(IntAttr(c, "style", 0, part)), part, 0, first);
        list.push_back({first, last, width, style, hiddenWidth, level, Flag(c, "collapsed", false), keptWidth});
    }
    std::sort(list.begin(), list.end(), [](const Col& a, const Col& b) { return a.first < b.first; });
    // Overlapping runs (a damaged file): a column keeps the first run that names it,
    // so that the work stays bounded by the sheet's width.
    int named = 0;
    for (auto& c : list) {
        c.first = std::max(c.first, named + 1);
        named = std::max(named, c.last);
    }
    list.erase(std::remove_if(list.begin(), list.end(), [](const Col& c) { return c.first > c.last; }), list.end());

    // A format that covers every column of the sheet is the sheet's own format.
    std::optional<StyleId> sheetStyle;
    if (!list.empty() && list.back().last == host::kMaxColumns && list.back().style) {
        int next = 1;
        bool covered = true;
        for (const auto& c : list) {
            if (c.first != next || !c.style) covered = false;
            next = c.last + 1;
        }
        if (covered && next == host::kMaxColumns + 1) sheetStyle = list.back().style;
    }
    columnStyles_.assign(host::kMaxColumns + 1, sheetStyle.value_or(0));
    if (sheetStyle) sheet.LoadSheetStyle(*sheetStyle);
    for (auto& c : list) {
        if (c.style)
            for (int i = c.first; i <= c.last; ++i) columnStyles_[static_cast<std::size_t>(i)] = *c.style;
        if (sheetStyle && c.style == sheetStyle) c.style.reset();
        if (c.width < 0 && !c.style && c.outlineLevel == 0 && !c.collapsed) continue;
        sheet.LoadColumns(
            model::ColumnRecord{c.first, c.last, c.width, c.style, c.hiddenWidth, c.outlineLevel, c.collapsed, c.fileWidth});
    }
}

/// The value and formula of one <c> element.
CellContent Loader::ReadCell(const pugi::xml_node& c, std::string_view type, int row, int column,
                             const std::string& part, SharedFormulas& shared) {
    CellContent content;
    pugi::xml_node v, f;
    for (auto e = c.first_child(); e; e = e.next_sibling()) {
        if (e.type() != pugi::node_element) continue;
        if (Is(e, "v")) v = e;
        else if (Is(e, "f")) f = e;
    }
    const char* text = v.child_value();
    if (type == "s") {
        if (v) {
            long long index = -1;
            if (!Number(std::string_view(text), index) || index < 0 ||
                static_cast<std::size_t>(index) >= strings_.size())
                Fail(part, "shared string " + std::string(text) + " out of range at " + CellName(row, column));
            content.value = strings_[static_cast<std::size_t>(index)];
            if (!stringRuns_.empty()) {
                if (auto it = stringRuns_.find(static_cast<std::size_t>(index)); it != stringRuns_.end())
                    content.runs = it->second;
            }
        }
    } else if (type == "inlineStr") {
        auto is = Child(c, "is");
        if (auto t = Child(is, "t")) {
            content.value = Unescape(t.child_value());
        } else {
            content.runs = ReadRuns(is, part);
            content.value = content.runs ? content.runs->Joined() : std::string();
        }
    } else if (type == "str") {
        content.value = Unescape(text);
    } else if (type == "b") {
        if (v) content.value = std::string_view(text) == "1" || std::string_view(text) == "true";
    } else if (type == "e") {
        if (v) content.value = CellErrorNamed(text).value_or(host::CellError::NA);
    } else if (type == "d") {
        if (v) content.value = std::string(text);
        report_.Add("date cells (kept as text)", part);
    } else if (v && *text) {
        double number = 0;
        if (!Number(std::string_view(text), number))
            Fail(part, "cell " + CellName(row, column) + ": \"" + text + "\" is not a number");
        content.value = number;
    }

    if (f) {
        std::string_view kind = Attr(f, "t").value();
        if (kind == "shared") {
            int si = IntAttr(f, "si", -1, part);
            if (*f.child_value()) {
                content.formula = ToR1C1(f.child_value(), row, column);
                shared[si] = SharedFormula{content.formula, ReachOf(content.formula)};
            } else if (auto it = shared.find(si); it != shared.end()) {
                // In R1C1 every cell of a shared formula has the same text, unless a
                // reference falls off the sheet there (a damaged file): it reads "#REF!".
                content.formula = it->second.reach.FitsAt(row, column)
                                      ? it->second.r1c1
                                      : ToR1C1(ToA1(it->second.r1c1, row, column), row, column);
            }
        } else if (*f.child_value()) {
            if (kind == "array") report_.Add("array formulas", part);
            if (kind == "dataTable") report_.Add("data tables", part);
            content.formula = ToR1C1(f.child_value(), row, column);
        }
        if (!Savable(content.formula, false)) CheckSavable(content.formula, false, part, "the formula of " + CellName(row, column));
        // An error constant is saved as a formula of that error alone.
        if (auto error = CellErrorNamed(std::string_view(content.formula).substr(std::min<std::size_t>(1, content.formula.size())))) {
            content.formula.clear();
            content.value = *error;
        } else if (type == "str" && !content.formula.empty()) {
            if (auto e = CellErrorNamed(std::get<std::string>(content.value))) content.value = *e;
        }
    }

    return content;
}

model::RowRecord Loader::ReadRowRecord(ModelWorksheet& sheet, const pugi::xml_node& r, const std::string& part,
                                        int& lastRow) {
    enum { kR, kHt, kHidden, kCustomHeight, kCustomFormat, kS, kOutlineLevel, kCollapsed };
    static constexpr const char* kRowAttributes[] = {"r", "ht", "hidden", "customHeight", "customFormat",
                                                     "s", "outlineLevel", "collapsed"};
    const AttrsOf attrs(r, kRowAttributes);
    const auto& found = attrs.found;
    const int row = found[kR] ? IntAttr(found[kR], 0, part) : lastRow + 1;
    if (row < 1 || row > host::kMaxRows || row <= lastRow)
        Fail(part, "row number " + std::to_string(row) + " out of order or out of the sheet");
    lastRow = row;

    model::RowRecord record;
    if (found[kOutlineLevel]) record.outlineLevel = OutlineLevel(r, part, report_);
    record.collapsed = Flag(found[kCollapsed], false);
    if (Flag(found[kHidden], false)) {
        // A hidden row has height 0 in the model; its own height, when it is
        // one the row can have, is kept beside it.
        record.height = 0;
        double height = -1;
        if (const auto& ht = found[kHt]; ht && Number(std::string_view(ht.value()), height) && height > 0 &&
            height <= 409.5 && (Flag(found[kCustomHeight], false) || height != sheet.StandardHeight()))
            record.hiddenHeight = static_cast<float>(height);
    } else if (found[kHt]) {
        double height = DoubleAttr(found[kHt], -1, part);
        if (height < 0 || height > 409.5) Fail(part, "row " + std::to_string(row) + ": height out of range");
        if (Flag(found[kCustomHeight], false) || height != sheet.StandardHeight()) record.height = height;
    }
    if (Flag(found[kCustomFormat], false) && found[kS])
        record.style = StyleOf(static_cast<std::size_t>(IntAttr(found[kS], 0, part)), part, row, 0);
    return record;
}

void Loader::ReadRowCells(ModelWorksheet& sheet, const pugi::xml_node& r, int row, const model::RowRecord& record,
                          const std::string& part, SharedFormulas& shared) {
    int lastColumn = 0;
    for (auto c = r.first_child(); c; c = c.next_sibling()) {
        if (!Is(c, "c")) continue;
        // The attributes of a cell are taken in one pass, by their one-letter names.
        pugi::xml_attribute refAttr, styleAttr, typeAttr;
        for (auto a = c.first_attribute(); a; a = a.next_attribute()) {
            const char* name = a.name();
            if (name[0] == '\0' || name[1] != '\0') continue;
            if (name[0] == 'r') refAttr = a;
            else if (name[0] == 's') styleAttr = a;
            else if (name[0] == 't') typeAttr = a;
        }
        CellRef ref{row, lastColumn + 1};
        if (refAttr) {
            if (!ParseCellRef(refAttr.value(), ref) || ref.row != row) Fail(part, BadCellRef(refAttr.value(), row));
        }
        if (ref.column > host::kMaxColumns) Fail(part, "cell out of the sheet in row " + std::to_string(row));
        lastColumn = ref.column;

        std::size_t xf = 0;
        if (styleAttr) {
            long long value = -1;
            if (!Number(std::string_view(styleAttr.value()), value) || value < 0 || value > 2000000000LL)
                value = IntAttr(c, "s", 0, part);  // a number of another form, or the message naming it
            xf = static_cast<std::size_t>(value);  // a negative index is refused as out of range
        }
        StyleId style = StyleOf(xf, part, row, ref.column);

        CellContent content = ReadCell(c, typeAttr.value(), row, ref.column, part, shared);
        if (const auto* text = std::get_if<std::string>(&content.value); text && text->size() > kMaxCellCharacters)
            CheckCellText(content, sheet.Name(), row, ref.column, part);  // the name only for a text that may be too long
        // An empty text (an empty shared or inline string, an inline string
        // without its text) is no content: a saved cell holds no empty text.
        if (const auto* text = std::get_if<std::string>(&content.value);
            text && text->empty() && content.formula.empty()) {
            content.value = std::monostate{};
            content.runs = nullptr;
        }
        if (host::IsEmpty(content.value) && content.formula.empty()) {
            StyleId fallback = record.style ? *record.style : columnStyles_[static_cast<std::size_t>(ref.column)];
            if (style == fallback) continue;
        }
        sheet.LoadCell(row, ref.column, std::move(content), style);
    }
}

void Loader::ReadCells(ModelWorksheet& sheet, pugi::xml_node data, const SheetRowsText& rows, const std::string& part,
                       const std::set<int>& breaks) {
    SharedFormulas shared;
    int lastRow = 0;
    auto breakAt = breaks.begin();
    auto flushBreaks = [&](int upTo) {
        for (; breakAt != breaks.end() && *breakAt < upTo; ++breakAt) {
            model::RowRecord record;
            record.manualBreak = true;
            sheet.LoadRow(*breakAt, record);
        }
    };
    auto readRow = [&](const pugi::xml_node& r) {
        if (!Is(r, "row")) return;
        model::RowRecord record = ReadRowRecord(sheet, r, part, lastRow);
        const int row = lastRow;
        flushBreaks(row);
        if (breakAt != breaks.end() && *breakAt == row) {
            record.manualBreak = true;
            ++breakAt;
        }
        if (record.height >= 0 || record.style || record.manualBreak || record.outlined()) sheet.LoadRow(row, record);
        ReadRowCells(sheet, r, row, record, part, shared);
    };

    if (rows) {
        ForEachRowSlice(part, rows, [&](const pugi::xml_node& slice) {
            for (auto r = slice.first_child(); r; r = r.next_sibling()) readRow(r);
        });
    } else {
        // Each row is taken out of the document once read, so that its memory
        // goes back while the worksheet grows.
        for (auto r = data.first_child(), after = r.next_sibling(); r;
             data.remove_child(r), r = after, after = r.next_sibling())
            readRow(r);
    }
    flushBreaks(host::kMaxRows + 1);
}

void Loader::ReadHyperlinks(ModelWorksheet& sheet, const pugi::xml_node& links, const std::string& part) {
    if (!links) return;
    std::vector<Rel> rels;
    bool relsRead = false;
    for (auto h : links.children()) {
        if (!Is(h, "hyperlink")) continue;
        host::Hyperlink link;
        link.anchor = host::ParseAddress(Attr(h, "ref").value());
        link.subAddress = Attr(h, "location").value();
        if (auto display = Attr(h, "display")) {
            link.textToDisplay = display.value();
        } else {
            CellContent cell = sheet.Content(link.anchor.r1, link.anchor.c1);
            // its cell's text (one that could not be written as the link's own is left to the cell)
            if (auto* text = std::get_if<std::string>(&cell.value); text && Savable(*text, true)) link.textToDisplay = *text;
        }
        link.screenTip = Attr(h, "tooltip").value();
        const std::string which = "the hyperlink of " + CellName(link.anchor.r1, link.anchor.c1);
        CheckSavable(link.subAddress, true, part, which);
        CheckSavable(link.textToDisplay, true, part, which);
        CheckSavable(link.screenTip, true, part, which);
        if (auto id = Attr(h, "id")) {
            if (!relsRead) rels = ReadRels(zip_, part, false), relsRead = true;
            for (const auto& r : rels)
                if (r.id == id.value()) link.address = r.target;
            CheckSavable(link.address, true, part, which);
        }
        if (link.address.empty() && link.subAddress.empty()) continue;
        sheet.AddHyperlink(link);
    }
}

void Loader::ReadPage(ModelWorksheet& sheet, const pugi::xml_node& root, const std::string& part) {
    host::PageSetup& page = sheet.Page();
    if (auto m = Child(root, "pageMargins")) {
        page.leftMargin = DoubleAttr(m, "left", page.leftMargin / 72, part) * 72;
        page.rightMargin = DoubleAttr(m, "right", page.rightMargin / 72, part) * 72;
        page.topMargin = DoubleAttr(m, "top", page.topMargin / 72, part) * 72;
        page.bottomMargin = DoubleAttr(m, "bottom", page.bottomMargin / 72, part) * 72;
        page.headerMargin = DoubleAttr(m, "header", page.headerMargin / 72, part) * 72;
        page.footerMargin = DoubleAttr(m, "footer", page.footerMargin / 72, part) * 72;
    }
    if (auto p = Child(root, "printOptions")) {
        page.centerHorizontally = Flag(p, "horizontalCentered", false);
        page.centerVertically = Flag(p, "verticalCentered", false);
        page.printGridlines = Flag(p, "gridLines", false);
        page.printHeadings = Flag(p, "headings", false);
    }
    if (auto s = Child(root, "pageSetup")) {
        // no paper size (0 or less) leaves the default; a printer's own size (256 and up) is kept
        if (int paper = IntAttr(s, "paperSize", page.paperSize, part); paper > 0) page.paperSize = paper;
        page.zoom = std::clamp(IntAttr(s, "scale", page.zoom, part), 10, 400);
        std::string_view orientation = Attr(s, "orientation").value();
        if (orientation == "landscape") page.orientation = host::PageOrientation::Landscape;
        if (orientation == "portrait") page.orientation = host::PageOrientation::Portrait;
        // Print settings the model does not hold, named when they differ from the default.
        const std::string_view order = Attr(s, "pageOrder").value();
        const std::string_view comments = Attr(s, "cellComments").value();
        const std::string_view errors = Attr(s, "errors").value();
        if ((!order.empty() && order != "downThenOver") || Flag(s, "blackAndWhite", false) || Flag(s, "draft", false) ||
            IntAttr(s, "copies", 1, part) > 1 ||
            (Flag(s, "useFirstPageNumber", false) && IntAttr(s, "firstPageNumber", 1, part) != 1) ||
            (!comments.empty() && comments != "none") || (!errors.empty() && errors != "displayed"))
            report_.Add("print settings (page order, black and white, draft, copies, first page number, "
                        "printed comments or errors)",
                        part);
    }
}

void Loader::ReadView(ModelWorksheet& sheet, const pugi::xml_node& views, const std::string& part) {
    auto v = Child(views, "sheetView");
    if (!v) return;
    host::SheetView& view = sheet.View();
    view.rightToLeft = Flag(v, "rightToLeft", false);
    if (!Flag(v, "showOutlineSymbols", true)) sheet.Outline().showSymbols = false;
    std::string_view mode = Attr(v, "view").value();
    view.view = mode == "pageBreakPreview" ? host::ViewMode::PageBreakPreview
                : mode == "pageLayout"     ? host::ViewMode::PageLayout
                                           : host::ViewMode::Normal;
    view.displayGridlines = Flag(v, "showGridLines", true);
    view.displayZeros = Flag(v, "showZeros", true);
    // View settings the model does not hold, named when they differ from the default.
    if (!Flag(v, "showRowColHeaders", true) || Flag(v, "showFormulas", false) || !Flag(v, "defaultGridColor", true) ||
        !Flag(v, "showRuler", true) || !Flag(v, "showWhiteSpace", true))
        report_.Add("sheet view settings (hidden headings, formulas shown, gridline colour, ruler or white space)", part);
    int zoom = IntAttr(v, "zoomScale", 100, part);
    if (view.view == host::ViewMode::PageBreakPreview && Attr(v, "zoomScaleSheetLayoutView"))
        zoom = IntAttr(v, "zoomScaleSheetLayoutView", zoom, part);
    view.zoom = std::clamp(zoom == 0 ? 100 : zoom, 10, 400);

    auto rowOf = [&](const char* cell) {
        CellRef ref;
        return *cell && ParseCellRef(cell, ref) ? ref.row : 1;
    };
    view.scrollRow = rowOf(Attr(v, "topLeftCell").value());
    std::string_view activePane = "topLeft";
    if (auto pane = Child(v, "pane")) {
        std::string_view state = Attr(pane, "state").value();
        if (state == "frozen" || state == "frozenSplit") {
            view.frozenRows = std::clamp(IntAttr(pane, "ySplit", 0, part), 0, host::kMaxRows - 1);
            view.frozenColumns = std::clamp(IntAttr(pane, "xSplit", 0, part), 0, host::kMaxColumns - 1);
            int top = rowOf(Attr(pane, "topLeftCell").value());
            // The scrolling pane starting right under the frozen rows (or, in a damaged
            // file, inside them) is the unscrolled view.
            view.scrollRow = top <= view.frozenRows + 1 ? 1 : top;
        } else {
            report_.Add("split panes", part);
        }
        if (auto a = Attr(pane, "activePane")) activePane = a.value();
    }
    for (auto s : v.children()) {
        if (!Is(s, "selection")) continue;
        auto pane = Attr(s, "pane");
        if (pane ? activePane != pane.value() : activePane != "topLeft") continue;
        std::string sqref = Attr(s, "sqref").value();
        if (sqref.empty()) sqref = Attr(s, "activeCell").value();
        auto space = sqref.find(' ');
        if (space != std::string::npos) sqref.resize(space);
        if (!sqref.empty()) view.selection = host::ParseAddress(sqref);
    }
}

}  // namespace ormelin::xlsx::detail
