// The earlier writer, through libxlsxwriter: kept only while its output is
// compared with the streaming writer's.
//
// One libxlsxwriter format is made per style of the workbook's style table, on
// first use. Every cell is written with its effective style (its own, else its
// row's, column's or sheet's), as the file gives a cell without a style the
// workbook's default rather than its row's. The file is written under a
// temporary name in the destination's folder and renamed over the destination.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <unordered_map>

#include <pugixml.hpp>
#include <xlsxwriter.h>
#include <zip.h>

#include "ormelin/xlsx.hpp"
#include "xlsx/common.hpp"

namespace ormelin::xlsx {

using namespace detail;
using host::Color;
using host::CellContent;
using host::Style;
using model::ModelWorkbook;
using model::ModelWorksheet;
using model::StyleId;

namespace {

lxw_color_t LxwColor(const Color& c) {
    std::uint32_t rgb = c.kind == Color::Kind::Index ? PaletteRgb(FileIndexOf(static_cast<int>(c.value))) : c.value;
    rgb &= 0xFFFFFF;
    return rgb == 0 ? static_cast<lxw_color_t>(LXW_COLOR_BLACK) : rgb;  // 0 means "no colour" to libxlsxwriter
}

void Check(lxw_error error, const std::string& where) {
    if (error != LXW_NO_ERROR) Fail(where, lxw_strerror(error));
}

std::string SheetWhere(const ModelWorksheet& sheet) { return "sheet \"" + sheet.Name() + "\""; }
std::string CellWhere(const ModelWorksheet& sheet, int row, int column) {
    return SheetWhere(sheet) + " cell " + host::ColumnLetters(column) + std::to_string(row);
}

class Writer {
public:
    Writer(const ModelWorkbook& book, lxw_workbook* wb) : book_(book), wb_(wb) {}

    /// Writes every sheet; returns the 1-based positions of sheets shown in
    /// page break preview, which libxlsxwriter cannot write.
    std::vector<std::pair<int, int>> Run();

private:
    lxw_format* FormatOf(StyleId id);
    void WriteSheet(const ModelWorksheet& sheet, lxw_worksheet* ws);
    void WriteCell(const ModelWorksheet& sheet, lxw_worksheet* ws, int row, int column, const CellContent& content,
                   lxw_format* format);

    const ModelWorkbook& book_;
    lxw_workbook* wb_;
    std::vector<lxw_format*> formats_;
};

lxw_format* Writer::FormatOf(StyleId id) {
    if (id >= formats_.size()) formats_.resize(std::max<std::size_t>(id + 1, book_.Styles().Size()), nullptr);
    if (formats_[id]) return formats_[id];
    const Style& s = book_.Styles().Get(id);
    lxw_format* f = workbook_add_format(wb_);
    if (!f) Fail("xl/styles.xml", "out of memory");
    if (s.numberFormat != "General") format_set_num_format(f, s.numberFormat.c_str());
    if (s.font != host::Font{}) {
        format_set_font_name(f, s.font.name.c_str());
        format_set_font_size(f, s.font.size);
        if (s.font.bold) format_set_bold(f);
        if (s.font.italic) format_set_italic(f);
        if (s.font.underline != host::Underline::None) format_set_underline(f, LxwUnderline(s.font.underline));
        if (s.font.color.kind == Color::Kind::Rgb) format_set_font_color(f, LxwColor(s.font.color));
        if (s.font.color.kind == Color::Kind::Index) {
            int index = FileIndexOf(static_cast<int>(s.font.color.value));
            if (index >= 0) format_set_color_indexed(f, static_cast<std::uint8_t>(index));
        }
    }
    if (s.horizontal != host::HAlign::General) format_set_align(f, LxwHAlign(s.horizontal));
    if (s.vertical != host::VAlign::Bottom) format_set_align(f, LxwVAlign(s.vertical));
    if (s.orientation != 0) format_set_rotation(f, static_cast<std::int16_t>(std::clamp(s.orientation, -90, 90)));
    if (s.wrap) format_set_text_wrap(f);
    if (s.shrink) format_set_shrink(f);
    if (s.indent > 0) format_set_indent(f, static_cast<std::uint8_t>(std::min(s.indent, 250)));
    if (s.readingOrder != host::ReadingOrder::Context)
        format_set_reading_order(f, s.readingOrder == host::ReadingOrder::LeftToRight ? 1 : 2);
    if (s.fill.kind != Color::Kind::Automatic) {
        format_set_pattern(f, LXW_PATTERN_SOLID);
        format_set_bg_color(f, LxwColor(s.fill));
    }
    struct Edge {
        const host::Border& border;
        void (*style)(lxw_format*, std::uint8_t);
        void (*color)(lxw_format*, lxw_color_t);
    };
    const Edge edges[] = {{s.left, format_set_left, format_set_left_color},
                          {s.top, format_set_top, format_set_top_color},
                          {s.bottom, format_set_bottom, format_set_bottom_color},
                          {s.right, format_set_right, format_set_right_color}};
    for (const auto& e : edges) {
        const BorderCode* code = BorderFor(e.border.style, e.border.weight);
        if (!code) continue;
        e.style(f, code->lxw);
        if (e.border.color.kind != Color::Kind::Automatic) e.color(f, LxwColor(e.border.color));
    }
    formats_[id] = f;
    return f;
}

std::vector<std::pair<int, int>> Writer::Run() {
    std::vector<std::pair<int, int>> previews;
    auto active = book_.ActiveSheet();
    for (int i = 1; i <= book_.Count(); ++i) {
        auto sheet = book_.ModelSheet(i);
        lxw_worksheet* ws = workbook_add_worksheet(wb_, sheet->Name().c_str());
        if (!ws) Fail(SheetWhere(*sheet), "libxlsxwriter refuses the sheet name");
        WriteSheet(*sheet, ws);
        if (active.get() == sheet.get()) worksheet_activate(ws);
        if (sheet->View().view == host::ViewMode::PageBreakPreview) previews.emplace_back(i, sheet->View().zoom);
    }
    return previews;
}

void Writer::WriteSheet(const ModelWorksheet& sheet, lxw_worksheet* ws) {
    const std::string where = SheetWhere(sheet);

    // Geometry and whole-row and whole-column formats.
    double standard = sheet.StandardHeight();
    if (standard != LXW_DEF_ROW_HEIGHT) worksheet_set_default_row(ws, standard, 0);

    std::optional<StyleId> sheetStyle = sheet.SheetStyle();
    std::vector<StyleId> columnStyles(host::kMaxColumns + 1, sheetStyle.value_or(0));
    int next = 1;
    auto setColumns = [&](int first, int last, double width, std::optional<StyleId> style) {
        lxw_row_col_options options{};
        if (width == 0) options.hidden = 1;
        if (width <= 0) width = LXW_DEF_COL_WIDTH;
        lxw_format* format = style ? FormatOf(*style) : nullptr;
        Check(worksheet_set_column_opt(ws, static_cast<lxw_col_t>(first - 1), static_cast<lxw_col_t>(last - 1), width,
                                       format, &options),
              where + " columns");
    };
    for (const auto& c : sheet.Columns()) {
        if (c.first < next || c.last < c.first || c.last > host::kMaxColumns) continue;
        if (sheetStyle && c.first > next) setColumns(next, c.first - 1, -1, sheetStyle);
        std::optional<StyleId> style = c.style ? c.style : sheetStyle;
        if (style)
            for (int i = c.first; i <= c.last; ++i) columnStyles[static_cast<std::size_t>(i)] = *style;
        setColumns(c.first, c.last, c.width, style);
        next = c.last + 1;
    }
    if (sheetStyle && next <= host::kMaxColumns) setColumns(next, host::kMaxColumns, -1, sheetStyle);

    std::unordered_map<int, StyleId> rowStyles;
    sheet.ForEachRow([&](int row, const model::RowRecord& record) {
        lxw_row_col_options options{};
        double height = record.height;
        if (height == 0) {
            options.hidden = 1;
            height = standard;
        } else if (height < 0) {
            height = LXW_DEF_ROW_HEIGHT;  // libxlsxwriter's mark for "the sheet's standard height"
        } else if (height == LXW_DEF_ROW_HEIGHT && standard != LXW_DEF_ROW_HEIGHT) {
            // 15 points is that mark too; the next double is written as "15".
            height = std::nextafter(LXW_DEF_ROW_HEIGHT, 16.0);
        }
        lxw_format* format = nullptr;
        if (record.style) {
            rowStyles[row] = *record.style;
            format = FormatOf(*record.style);
        }
        if (record.height < 0 && !record.style) return;
        Check(worksheet_set_row_opt(ws, static_cast<lxw_row_t>(row - 1), height, format, &options),
              where + " row " + std::to_string(row));
    });
    auto fallbackStyle = [&](int row, int column) {
        auto it = rowStyles.find(row);
        return it != rowStyles.end() ? it->second : columnStyles[static_cast<std::size_t>(column)];
    };

    // Merged areas first: libxlsxwriter writes blank cells into them, which the
    // cells written afterwards replace.
    for (const auto& area : sheet.MergedAreas(host::Area{1, 1, host::kMaxRows, host::kMaxColumns})) {
        if (area.single()) continue;
        Check(worksheet_merge_range(ws, static_cast<lxw_row_t>(area.r1 - 1), static_cast<lxw_col_t>(area.c1 - 1),
                                    static_cast<lxw_row_t>(area.r2 - 1), static_cast<lxw_col_t>(area.c2 - 1), "", nullptr),
              where + " merge " + host::AddressOf(area));
    }

    // Hyperlinks: libxlsxwriter writes the link's text into its cell; the cell's
    // own content, written afterwards, replaces it. A link inside the workbook
    // keeps its text in the file, so its cell is blanked when it has no content.
    std::vector<std::pair<int, int>> linkCells;
    for (const auto& link : sheet.Hyperlinks()) {
        int row = link.anchor.r1, column = link.anchor.c1;
        std::string url = link.address.empty() ? "internal:" + link.subAddress
                          : link.subAddress.empty() ? link.address
                                                    : link.address + "#" + link.subAddress;
        const char* text = link.textToDisplay.empty() ? nullptr : link.textToDisplay.c_str();
        const char* tip = link.screenTip.empty() ? nullptr : link.screenTip.c_str();
        lxw_format* format = FormatOf(fallbackStyle(row, column));
        Check(worksheet_write_url_opt(ws, static_cast<lxw_row_t>(row - 1), static_cast<lxw_col_t>(column - 1),
                                      url.c_str(), format, text, tip),
              CellWhere(sheet, row, column) + " hyperlink");
        // An external link keeps no text of its own in the file: it shows its
        // cell's text, which libxlsxwriter has just written.
        if (link.address.empty()) linkCells.emplace_back(row, column);
    }
    std::sort(linkCells.begin(), linkCells.end());

    // Cells, in row order.
    std::size_t nextLink = 0;
    sheet.ForEachCell([&](int row, int column, const CellContent& content, StyleId style) {
        lxw_format* format = FormatOf(style);
        while (nextLink < linkCells.size() && linkCells[nextLink] < std::pair(row, column)) {
            // A link cell with no content of its own shows nothing, as in the model.
            auto [r, c] = linkCells[nextLink++];
            Check(worksheet_write_blank(ws, static_cast<lxw_row_t>(r - 1), static_cast<lxw_col_t>(c - 1),
                                        FormatOf(fallbackStyle(r, c))),
                  CellWhere(sheet, r, c));
        }
        if (nextLink < linkCells.size() && linkCells[nextLink] == std::pair(row, column)) ++nextLink;
        WriteCell(sheet, ws, row, column, content, format);
    });
    for (; nextLink < linkCells.size(); ++nextLink) {
        auto [r, c] = linkCells[nextLink];
        Check(worksheet_write_blank(ws, static_cast<lxw_row_t>(r - 1), static_cast<lxw_col_t>(c - 1),
                                    FormatOf(fallbackStyle(r, c))),
              CellWhere(sheet, r, c));
    }

    // Page setup.
    const host::PageSetup& page = sheet.Page();
    if (!page.printArea.empty()) {
        std::string first = page.printArea.substr(0, page.printArea.find(','));
        try {
            host::Area a = host::ParseAddress(first.substr(first.rfind('!') == std::string::npos ? 0 : first.rfind('!') + 1));
            Check(worksheet_print_area(ws, static_cast<lxw_row_t>(a.r1 - 1), static_cast<lxw_col_t>(a.c1 - 1),
                                       static_cast<lxw_row_t>(a.r2 - 1), static_cast<lxw_col_t>(a.c2 - 1)),
                  where + " print area");
        } catch (const Error& e) {
            if (e.code() == ErrorCode::FileError) throw;
            Fail(where, "print area \"" + page.printArea + "\" is not an address");
        }
    }
    worksheet_set_margins(ws, page.leftMargin / 72, page.rightMargin / 72, page.topMargin / 72, page.bottomMargin / 72);
    if (std::fabs(page.headerMargin - 0.3 * 72) > 1e-9) {
        lxw_header_footer_options options{};
        options.margin = page.headerMargin / 72;
        Check(worksheet_set_header_opt(ws, "", &options), where + " header margin");
    }
    if (std::fabs(page.footerMargin - 0.3 * 72) > 1e-9) {
        lxw_header_footer_options options{};
        options.margin = page.footerMargin / 72;
        Check(worksheet_set_footer_opt(ws, "", &options), where + " footer margin");
    }
    if (page.centerHorizontally) worksheet_center_horizontally(ws);
    if (page.centerVertically) worksheet_center_vertically(ws);
    if (page.orientation == host::PageOrientation::Landscape) worksheet_set_landscape(ws);
    if (page.paperSize > 0 && page.paperSize < 256) worksheet_set_paper(ws, static_cast<std::uint8_t>(page.paperSize));
    if (page.zoom != 100 && page.zoom >= 10 && page.zoom <= 400)
        worksheet_set_print_scale(ws, static_cast<std::uint16_t>(page.zoom));

    // Manual page breaks: each given as the row above it, counted from 0.
    std::vector<lxw_row_t> breaks;
    for (int row : sheet.HPageBreaks())
        if (row >= 2 && breaks.size() < LXW_BREAKS_MAX) breaks.push_back(static_cast<lxw_row_t>(row - 1));
    if (!breaks.empty()) {
        breaks.push_back(0);
        Check(worksheet_set_h_pagebreaks(ws, breaks.data()), where + " page breaks");
    }

    // The sheet's view.
    const host::SheetView& view = sheet.View();
    if (view.frozenRows > 0 || view.frozenColumns > 0) {
        int top = std::max(view.scrollRow - 1, view.frozenRows);
        worksheet_freeze_panes_opt(ws, static_cast<lxw_row_t>(view.frozenRows), static_cast<lxw_col_t>(view.frozenColumns),
                                   static_cast<lxw_row_t>(top), static_cast<lxw_col_t>(view.frozenColumns), 0);
    }
    if (!view.displayZeros) worksheet_hide_zero(ws);
    if (!view.displayGridlines) worksheet_gridlines(ws, LXW_HIDE_ALL_GRIDLINES);
    if (view.zoom != 100 && view.zoom >= 10 && view.zoom <= 400) worksheet_set_zoom(ws, static_cast<std::uint16_t>(view.zoom));
    if (view.view == host::ViewMode::PageLayout) worksheet_set_page_view(ws);
    const host::Area& sel = view.selection;
    if (!(sel == host::Area{}))
        worksheet_set_selection(ws, static_cast<lxw_row_t>(sel.r1 - 1), static_cast<lxw_col_t>(sel.c1 - 1),
                                static_cast<lxw_row_t>(sel.r2 - 1), static_cast<lxw_col_t>(sel.c2 - 1));
}

void Writer::WriteCell(const ModelWorksheet& sheet, lxw_worksheet* ws, int row, int column, const CellContent& content,
                       lxw_format* format) {
    auto r = static_cast<lxw_row_t>(row - 1);
    auto c = static_cast<lxw_col_t>(column - 1);
    lxw_error error = LXW_NO_ERROR;
    if (!content.formula.empty()) {
        std::string formula = "=" + ToA1(content.formula, row, column);
        const host::Value& v = content.value;
        if (const double* number = std::get_if<double>(&v); number && std::isfinite(*number)) {
            error = worksheet_write_formula_num(ws, r, c, formula.c_str(), format, *number);
        } else {
            std::string cached;
            if (const auto* text = std::get_if<std::string>(&v)) cached = *text;
            if (const bool* flag = std::get_if<bool>(&v)) cached = *flag ? "TRUE" : "FALSE";
            if (const auto* e = std::get_if<host::CellError>(&v)) cached = host::ErrorText(*e);
            error = worksheet_write_formula_str(ws, r, c, formula.c_str(), format, cached.c_str());
        }
    } else {
        std::visit(
            [&](const auto& value) {
                using T = std::decay_t<decltype(value)>;
                if constexpr (std::is_same_v<T, std::monostate>) {
                    error = worksheet_write_blank(ws, r, c, format);
                } else if constexpr (std::is_same_v<T, std::string>) {
                    error = value.empty() ? worksheet_write_blank(ws, r, c, format)
                                          : worksheet_write_string(ws, r, c, value.c_str(), format);
                } else if constexpr (std::is_same_v<T, double>) {
                    if (std::isfinite(value))
                        error = worksheet_write_number(ws, r, c, value, format);
                    else
                        error = worksheet_write_formula_str(ws, r, c, "=#NUM!", format, "#NUM!");
                } else if constexpr (std::is_same_v<T, bool>) {
                    error = worksheet_write_boolean(ws, r, c, value ? 1 : 0, format);
                } else {
                    // The file format has error cells, libxlsxwriter does not: an error
                    // constant is written as a formula of that error alone.
                    std::string text = host::ErrorText(value);
                    error = worksheet_write_formula_str(ws, r, c, ("=" + text).c_str(), format, text.c_str());
                }
            },
            content.value);
    }
    Check(error, CellWhere(sheet, row, column));
}

/// Marks sheets as shown in page break preview, in the archive libxlsxwriter
/// has written: libxlsxwriter has no call for this view.
void MarkPageBreakPreview(const std::string& file, const std::vector<std::pair<int, int>>& sheets) {
    int code = 0;
    zip_t* archive = zip_open(file.c_str(), 0, &code);
    if (!archive) Fail(file, "cannot reopen the written archive");
    std::vector<std::string> keep;  // buffers stay alive until zip_close
    keep.reserve(sheets.size());
    for (auto [position, zoom] : sheets) {
        std::string part = "xl/worksheets/sheet" + std::to_string(position) + ".xml";
        zip_int64_t index = zip_name_locate(archive, part.c_str(), 0);
        zip_stat_t st;
        zip_file_t* f = index < 0 || zip_stat_index(archive, static_cast<zip_uint64_t>(index), 0, &st) != 0
                            ? nullptr
                            : zip_fopen_index(archive, static_cast<zip_uint64_t>(index), 0);
        if (!f) {
            zip_discard(archive);
            Fail(part, "cannot reopen the written part");
        }
        std::string bytes(static_cast<std::size_t>(st.size), '\0');
        zip_int64_t n = zip_fread(f, bytes.data(), st.size);
        zip_fclose(f);
        pugi::xml_document doc;
        if (n != static_cast<zip_int64_t>(st.size) || !doc.load_buffer(bytes.data(), bytes.size())) {
            zip_discard(archive);
            Fail(part, "cannot reread the written part");
        }
        pugi::xml_node view = doc.child("worksheet").child("sheetViews").child("sheetView");
        view.remove_attribute("view");
        view.prepend_attribute("view") = "pageBreakPreview";
        view.remove_attribute("zoomScaleSheetLayoutView");
        view.append_attribute("zoomScaleSheetLayoutView") = zoom;
        struct Sink : pugi::xml_writer {
            std::string out;
            void write(const void* data, size_t size) override { out.append(static_cast<const char*>(data), size); }
        } sink;
        doc.save(sink, "", pugi::format_raw, pugi::encoding_utf8);
        keep.push_back(std::move(sink.out));
        // The part is deleted and added again rather than replaced: libzip keeps
        // its slowest deflate level for a replaced entry, whatever it is told,
        // and a formed sheet's part runs to tens of megabytes.
        zip_source_t* source = zip_source_buffer(archive, keep.back().data(), keep.back().size(), 0);
        zip_int64_t added = -1;
        if (!source || zip_delete(archive, static_cast<zip_uint64_t>(index)) != 0 ||
            (added = zip_file_add(archive, part.c_str(), source, 0)) < 0) {
            if (source) zip_source_free(source);
            zip_discard(archive);
            Fail(part, "cannot replace the written part");
        }
        // The fastest level: the part is deflated a second time here, and a formed
        // sheet's part compresses well enough at it (about a third larger).
        zip_set_file_compression(archive, static_cast<zip_uint64_t>(added), ZIP_CM_DEFLATE, 1);
    }
    if (zip_close(archive) != 0) {
        std::string text = zip_strerror(archive);
        zip_discard(archive);
        Fail(file, "cannot rewrite the archive (" + text + ")");
    }
}

/// A file of its own in the destination's folder, removed unless released.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::string& destination) {
        auto slash = destination.find_last_of('/');
        std::string folder = slash == std::string::npos ? "." : destination.substr(0, slash);
        std::string base = slash == std::string::npos ? destination : destination.substr(slash + 1);
        std::string pattern = (slash == std::string::npos ? std::string() : folder + "/") + "." + base + ".XXXXXX";
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        int fd = mkstemp(name.data());
        if (fd < 0) Fail(destination, std::string("cannot create a file in ") + folder + " (" + std::strerror(errno) + ")");
        // Keep the destination's permissions, or those of a new file.
        struct stat st;
        if (stat(destination.c_str(), &st) == 0) {
            fchmod(fd, st.st_mode & 07777);
        } else {
            mode_t mask = umask(0);
            umask(mask);
            fchmod(fd, 0666 & ~mask);
        }
        close(fd);
        path_.assign(name.data());
    }
    ~TemporaryFile() {
        if (!path_.empty()) std::remove(path_.c_str());
    }
    const std::string& path() const { return path_; }
    void RenameTo(const std::string& destination) {
        if (std::rename(path_.c_str(), destination.c_str()) != 0)
            Fail(destination, std::string("cannot replace the file (") + std::strerror(errno) + ")");
        path_.clear();
    }

private:
    std::string path_;
};

struct WorkbookCloser {
    lxw_workbook* wb;
    ~WorkbookCloser() {
        if (wb) lxw_workbook_free(wb);
    }
};

}  // namespace

void detail::SaveWorkbookLegacy(const ModelWorkbook& book, const std::string& path) {
    if (book.Count() == 0) Fail(path, "a workbook without sheets cannot be saved");
    TemporaryFile temp(path);
    lxw_workbook_options options{};
    options.constant_memory = LXW_FALSE;
    WorkbookCloser closer{workbook_new_opt(temp.path().c_str(), &options)};
    if (!closer.wb) Fail(path, "libxlsxwriter cannot start a workbook");
    std::vector<std::pair<int, int>> previews;
    try {
        previews = Writer(book, closer.wb).Run();
    } catch (const Error& e) {
        if (e.code() == ErrorCode::FileError) throw;
        Fail(path, e.description());
    }
    lxw_error error = workbook_close(closer.wb);
    closer.wb = nullptr;  // workbook_close frees it
    if (error != LXW_NO_ERROR) Fail(path, std::string("cannot write the workbook (") + lxw_strerror(error) + ")");
    if (!previews.empty()) MarkPageBreakPreview(temp.path(), previews);
    temp.RenameTo(path);
}


}  // namespace ormelin::xlsx
