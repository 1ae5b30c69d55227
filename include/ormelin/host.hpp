// The spreadsheet host: the one interface through which the library touches a
// workbook. It mirrors the members of the desktop spreadsheet's object model that
// the library uses (application, window, workbook, worksheet, range with its font,
// borders and interior, page setup, page breaks, hyperlinks, message box and
// save-as dialog), with the same names, so that the document code reads like the
// layouts it draws.
//
// Worksheet, Workbook, Window and Application are abstract: the embedded model
// (model.hpp) implements them, and a running spreadsheet application could stand
// behind the same classes. Range is a plain handle (a worksheet and an area) whose
// members forward to the worksheet's area operations, so a host implements areas
// once and every Range member follows.
//
// Conventions: rows and columns count from 1; an Area is inclusive on both ends;
// heights and font sizes are points; widths are characters of the standard font.
// Every operation on a deleted worksheet throws Error(ObjectDeleted).
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "ormelin/errors.hpp"

namespace ormelin::host {

inline constexpr int kMaxRows = 1048576;
inline constexpr int kMaxColumns = 16384;

// ---------------------------------------------------------------- addresses

struct Area {
    int r1 = 1, c1 = 1, r2 = 1, c2 = 1;

    int rows() const { return r2 - r1 + 1; }
    int columns() const { return c2 - c1 + 1; }
    long long count() const { return static_cast<long long>(rows()) * columns(); }
    bool contains(int r, int c) const { return r >= r1 && r <= r2 && c >= c1 && c <= c2; }
    bool contains(const Area& a) const { return a.r1 >= r1 && a.r2 <= r2 && a.c1 >= c1 && a.c2 <= c2; }
    bool intersects(const Area& a) const { return a.r1 <= r2 && a.r2 >= r1 && a.c1 <= c2 && a.c2 >= c1; }
    bool entireRows() const { return c1 == 1 && c2 == kMaxColumns; }
    bool entireColumns() const { return r1 == 1 && r2 == kMaxRows; }
    bool single() const { return r1 == r2 && c1 == c2; }
    friend bool operator==(const Area&, const Area&) = default;
};

/// 1 -> "A", 27 -> "AA". Throws Error(InvalidArgument) outside 1..kMaxColumns.
std::string ColumnLetters(int column);
/// "A" -> 1, "aa" -> 27; 0 when the text is not a column name within the sheet.
int ColumnNumber(std::string_view letters);
/// Parses "E5", "A1:B2", "A:B", "1:2", "$A:$Z", "$B$3". Throws Error(InvalidArgument).
Area ParseAddress(std::string_view a1);
/// "E5", "A1:B2", "A:B", "1:2"; with absolute=true "$E$5", "$A:$Z", "$1:$2".
std::string AddressOf(const Area& area, bool absolute = false);
/// A sheet name as it stands in a reference: quoted with doubled apostrophes
/// when it holds anything but letters, digits and underscores (список stays bare,
/// "Лист 1" becomes 'Лист 1', "O'Neil" becomes 'O''Neil').
std::string QuoteSheetName(std::string_view name);

// ---------------------------------------------------------------- values

enum class CellError : std::uint8_t { Null, Div0, Value, Ref, Name, Num, NA };
/// "#NULL!", "#DIV/0!", "#VALUE!", "#REF!", "#NAME?", "#NUM!", "#N/A".
const char* ErrorText(CellError e);

/// A cell's value: empty, text, number, boolean or error.
using Value = std::variant<std::monostate, std::string, double, bool, CellError>;

inline bool IsEmpty(const Value& v) { return std::holds_alternative<std::monostate>(v); }

// ---------------------------------------------------------------- formats

enum class HAlign : std::uint8_t { General, Left, Center, Right, Fill, Justify, CenterAcrossSelection, Distributed };
enum class VAlign : std::uint8_t { Top, Center, Bottom, Justify, Distributed };
enum class ReadingOrder : std::uint8_t { Context, LeftToRight, RightToLeft };
enum class LineStyle : std::uint8_t { None, Continuous, Dash, DashDot, DashDotDot, Dot, Double, SlantDashDot };
enum class BorderWeight : std::uint8_t { Hairline, Thin, Medium, Thick };
enum class Underline : std::uint8_t { None, Single, Double, SingleAccounting, DoubleAccounting };
/// Border indexes of a range: the four outer edges and the lines between its cells.
enum class Edge : std::uint8_t { Left, Top, Bottom, Right, InsideVertical, InsideHorizontal };

/// A colour: automatic, an RGB value (0xRRGGBB), an index of the default palette,
/// or a colour of the workbook's theme (0..11) lightened or darkened by a tint
/// (-1..1, as the file gives it). Font colour 0 (black) is Rgb(0); fill "none" is
/// Automatic.
struct Color {
    enum class Kind : std::uint8_t { Automatic, Rgb, Index, Theme };
    Kind kind = Kind::Automatic;
    std::uint32_t value = 0;
    double tint = 0;  // Theme only

    static Color Auto() { return {}; }
    static Color Rgb(std::uint32_t rgb) { return {Kind::Rgb, rgb}; }
    static Color Index(int index) { return {Kind::Index, static_cast<std::uint32_t>(index)}; }
    static Color Theme(int theme, double tint) { return {Kind::Theme, static_cast<std::uint32_t>(theme), tint}; }
    friend bool operator==(const Color&, const Color&) = default;
};

struct Border {
    LineStyle style = LineStyle::None;
    BorderWeight weight = BorderWeight::Thin;
    Color color;
    friend bool operator==(const Border&, const Border&) = default;
};

struct Font {
    std::string name = "Calibri";
    double size = 11;
    bool bold = false;
    bool italic = false;
    Underline underline = Underline::None;
    bool strikethrough = false;
    bool superscript = false;
    bool subscript = false;
    Color color;
    friend bool operator==(const Font&, const Font&) = default;
};

/// Everything a cell's format holds. The model interns styles: equal styles share
/// one entry of the workbook's style table.
struct Style {
    std::string numberFormat = "General";
    HAlign horizontal = HAlign::General;
    VAlign vertical = VAlign::Bottom;
    int orientation = 0;  // degrees -90..90
    bool wrap = false;
    bool shrink = false;
    int indent = 0;
    ReadingOrder readingOrder = ReadingOrder::Context;
    Font font;
    Color fill;  // Automatic: no fill
    Border left, top, bottom, right;
    bool locked = true;          // protected when the sheet is
    bool formulaHidden = false;  // the formula is not shown when the sheet is protected
    friend bool operator==(const Style&, const Style&) = default;
};

std::size_t HashStyle(const Style& s) noexcept;

/// A change of format: only the fields that hold a value are changed.
/// Border entries follow Edge: an outer edge applies to the cells on that side of
/// the area, an inside entry to the edges between the area's cells. Setting an
/// outer edge to LineStyle::None also clears the facing edge of the neighbouring
/// cell outside the area, so that the line disappears from view.
struct FormatPatch {
    struct BorderPatch {
        std::optional<LineStyle> style;
        std::optional<BorderWeight> weight;
        std::optional<Color> color;
        bool empty() const { return !style && !weight && !color; }
        friend bool operator==(const BorderPatch&, const BorderPatch&) = default;
    };
    std::optional<std::string> numberFormat;
    std::optional<HAlign> horizontal;
    std::optional<VAlign> vertical;
    std::optional<int> orientation;
    std::optional<bool> wrap;
    std::optional<bool> shrink;
    std::optional<int> indent;
    std::optional<ReadingOrder> readingOrder;
    std::optional<std::string> fontName;
    std::optional<double> fontSize;
    std::optional<bool> bold;
    std::optional<bool> italic;
    std::optional<Underline> underline;
    std::optional<Color> fontColor;
    std::optional<Color> fill;
    std::array<BorderPatch, 6> borders{};

    /// Whether the patch changes nothing.
    bool empty() const;
    /// Applies the patch to one cell's style; edges are those of that cell.
    void ApplyTo(Style& s, const Border* left, const Border* top, const Border* bottom,
                 const Border* right) const;
    friend bool operator==(const FormatPatch&, const FormatPatch&) = default;
};

// ---------------------------------------------------------------- sheet-level records

struct Hyperlink {
    Area anchor;
    std::string address;        // external target; empty for a link inside the workbook
    std::string subAddress;     // "список!A1"
    std::string textToDisplay;
    std::string screenTip;
    friend bool operator==(const Hyperlink&, const Hyperlink&) = default;
};

enum class PageOrientation : std::uint8_t { Portrait = 1, Landscape = 2 };

/// A sheet's print area: the areas printed, in order (none: the sheet prints what it
/// holds). An area is a rectangle, whole columns or whole rows.
///
/// As text it is the areas' absolute addresses joined by commas, as the spreadsheet's
/// PageSetup.PrintArea gives it: "$A:$Z", "$A$1:$C$5,$E$1:$F$2", "$1:$3". Assigning a
/// text parses it ("" clears); a text that is not such a list throws
/// Error(InvalidArgument) naming it, and the print area stays as it was.
///
/// A reference names every area with its sheet, quoted as every reference quotes it
/// (QuoteSheetName): "'a,b'!$A:$Z,'a,b'!$1:$3". The file keeps a print area so, as the
/// sheet's defined name _xlnm.Print_Area.
class PrintArea {
public:
    PrintArea() = default;
    /// Throws Error(InvalidArgument) when an area lies outside the sheet.
    explicit PrintArea(std::vector<Area> areas);
    PrintArea& operator=(std::string_view text);

    const std::vector<Area>& Areas() const { return areas_; }
    bool empty() const { return areas_.empty(); }
    /// "$A:$Z,$B$2:$C$4"; empty when there is none.
    std::string Text() const;
    operator std::string() const { return Text(); }

    /// "'a,b'!$A:$Z,'a,b'!$B$2:$C$4" for the sheet "a,b"; empty when there is none.
    std::string Reference(std::string_view sheet) const;
    /// Reads a reference: areas of the given sheet (its name in any case, quoted or
    /// bare as a reference may write it, or left out) joined by commas. Nothing when
    /// the text is anything else: an area of another sheet, a lost reference (#REF!),
    /// a name, a formula, or no area at all.
    static std::optional<PrintArea> FromReference(std::string_view text, std::string_view sheet);

    friend bool operator==(const PrintArea&, const PrintArea&) = default;
    friend bool operator==(const PrintArea& area, std::string_view text) { return area.Text() == text; }

private:
    std::vector<Area> areas_;
};

std::ostream& operator<<(std::ostream& out, const PrintArea& area);

struct PageSetup {
    PrintArea printArea;  // empty: none
    double leftMargin = 0.7 * 72, rightMargin = 0.7 * 72, topMargin = 0.75 * 72, bottomMargin = 0.75 * 72;  // points
    double headerMargin = 0.3 * 72, footerMargin = 0.3 * 72;
    bool centerHorizontally = false;
    bool centerVertically = false;
    PageOrientation orientation = PageOrientation::Portrait;
    int paperSize = 9;   // 9 A4, 8 A3
    int zoom = 100;      // percent
    bool printGridlines = false;  // the cell gridlines are printed
    bool printHeadings = false;   // the row numbers and column letters are printed
    friend bool operator==(const PageSetup&, const PageSetup&) = default;
};

enum class ViewMode : std::uint8_t { Normal = 1, PageBreakPreview = 2, PageLayout = 3 };

/// What a window shows of a worksheet; kept per worksheet, as the file keeps it.
struct SheetView {
    ViewMode view = ViewMode::Normal;
    int frozenRows = 0;      // rows above the split stay in view (0: no freeze)
    int frozenColumns = 0;
    bool displayZeros = true;
    bool displayGridlines = true;
    int zoom = 100;
    Area selection{};        // A1 by default
    int scrollRow = 1;       // first row shown
    bool frozen = false;     // FreezePanes is on (also when it froze nothing: A1 selected)
    bool rightToLeft = false;  // column A at the right edge, columns running leftwards
    friend bool operator==(const SheetView&, const SheetView&) = default;
};

// ---------------------------------------------------------------- messages and dialogs

enum class MsgButtons : std::uint8_t { OK, OKCancel };
enum class MsgIcon : std::uint8_t { None, Information, Question, Exclamation, Critical };
enum class MsgResult : std::uint8_t { OK, Cancel };

/// Supplied by the host: the message box and the save-as dialog.
class Ui {
public:
    virtual ~Ui() = default;
    virtual MsgResult MsgBox(const std::string& text, MsgButtons buttons, MsgIcon icon,
                             const std::string& title) = 0;
    /// The save-as dialog: a path, or nothing when the user cancelled.
    virtual std::optional<std::string> GetSaveAsFilename(const std::string& initialFileName,
                                                         const std::string& fileFilter) = 0;
};

// ---------------------------------------------------------------- objects

class Workbook;
class Application;
class Range;
struct RichText;  // rich_text.hpp

/// One cell's content: its value (the cached result for a formula) and its formula
/// text in R1C1 notation beginning with "=" (empty for a plain value); a text
/// value may come with formatted runs whose texts join to it.
struct CellContent {
    Value value;
    std::string formula;
    std::shared_ptr<const RichText> runs = nullptr;  // null: plain text
};

enum class Shift : std::uint8_t { Down, Right, Up, Left };

/// A run of whole columns: count columns from column at.
struct ColumnRun {
    int at = 1;
    int count = 1;
};

class Worksheet : public std::enable_shared_from_this<Worksheet> {
public:
    virtual ~Worksheet() = default;

    // identity and life
    virtual std::string Name() const = 0;
    virtual void Name(const std::string& name) = 0;   // unique within the workbook, 1..31 characters
    virtual Workbook& Parent() const = 0;
    virtual bool IsDeleted() const = 0;
    virtual void Activate() = 0;
    virtual void Delete() = 0;                        // removes the sheet from its workbook
    virtual int Index() const = 0;                    // 1-based position in the workbook
    /// Moves the sheet before or after another sheet of its workbook (Worksheet.Move).
    /// A host without sheet moves refuses with Error(NotImplemented).
    virtual void Move(const Worksheet* before, const Worksheet* after) {
        (void)before;
        (void)after;
        throw Error(ErrorCode::NotImplemented, "Worksheet.Move is not supported by this host");
    }

    // content
    virtual CellContent Content(int row, int column) const = 0;
    /// Writes a value into every cell of the area. A text beginning with "=" is a
    /// formula (R1C1 notation) unless the cell's number format is text ("@").
    virtual void SetValue(const Area& area, const Value& value) = 0;
    /// Writes a value as a literal whatever it begins with.
    virtual void SetLiteral(const Area& area, const Value& value) = 0;
    /// Writes a formula (R1C1, beginning with "=") with its cached value.
    virtual void SetFormula(int row, int column, const std::string& formulaR1C1, const Value& cached) = 0;
    /// The displayed text of one cell (number formats applied, line feeds kept).
    virtual std::string CellText(int row, int column) const = 0;
    /// The common displayed text of an area, or nothing when its cells differ.
    virtual std::optional<std::string> Text(const Area& area) const = 0;
    /// Whether any formula of the sheet holds a reference, so that what it shows may
    /// change when other cells change or move; a host that cannot tell says true.
    virtual bool HasReferringFormulas() const { return true; }

    // formats
    /// The effective style of a cell (its own, else its row's, its column's or the sheet's).
    virtual const Style& CellStyle(int row, int column) const = 0;
    virtual void Format(const Area& area, const FormatPatch& patch) = 0;
    virtual void SetCellStyle(int row, int column, const Style& style) = 0;

    // geometry
    virtual double RowHeight(int row) const = 0;
    virtual void RowHeight(int r1, int r2, double points) = 0;  // 0 hides
    virtual double ColumnWidth(int column) const = 0;
    virtual void ColumnWidth(int c1, int c2, double characters) = 0;
    virtual double StandardHeight() const = 0;
    virtual void StandardHeight(double points) = 0;
    virtual double StandardWidth() const = 0;

    // structure
    virtual void InsertRows(int at, int count) = 0;
    virtual void DeleteRows(int at, int count) = 0;
    virtual void InsertColumns(int at, int count) = 0;
    virtual void DeleteColumns(int at, int count) = 0;
    /// Runs of whole columns inserted (deleted) one after the other in the order
    /// given, each at its column at that moment: the same as that many calls of
    /// InsertColumns (DeleteColumns), done by the model in one pass over the sheet.
    virtual void InsertColumnRuns(const std::vector<ColumnRun>& runs) {
        for (const ColumnRun& run : runs) InsertColumns(run.at, run.count);
    }
    virtual void DeleteColumnRuns(const std::vector<ColumnRun>& runs) {
        for (const ColumnRun& run : runs) DeleteColumns(run.at, run.count);
    }
    /// Inserts or deletes cells of a part of the sheet, shifting the rest of those
    /// rows or columns; an area of entire rows or columns inserts or deletes them.
    virtual void InsertCells(const Area& area, Shift shift) = 0;
    virtual void DeleteCells(const Area& area, Shift shift) = 0;
    virtual void Clear(const Area& area) = 0;          // values, formulas, formats, merges, links
    virtual void ClearContents(const Area& area) = 0;  // values and formulas
    /// Copies values, formulas, styles and merges of the area to the destination's
    /// top-left cell; copying entire rows also copies their heights, entire columns
    /// their widths.
    virtual void CopyTo(const Area& source, Worksheet& destination, int row, int column) = 0;

    // merges
    virtual void Merge(const Area& area) = 0;
    /// Merges each area apart, in order, as Merge does one: a form's runs of row
    /// merges, which a host may make in bulk.
    virtual void MergeEach(const std::vector<Area>& areas) {
        for (const Area& a : areas) Merge(a);
    }
    virtual void UnMerge(const Area& area) = 0;
    /// The merged area that holds the cell, or nothing.
    virtual std::optional<Area> MergeArea(int row, int column) const = 0;
    /// Every merged area that intersects the given area.
    virtual std::vector<Area> MergedAreas(const Area& within) const = 0;

    /// The bounding box of the cells that hold a value or a style of their own, and
    /// of rows and columns given a format or a height of their own; A1 on an empty sheet.
    virtual Area UsedRange() const = 0;

    // hyperlinks
    virtual void AddHyperlink(const Hyperlink& link) = 0;  // replaces a link on the same anchor
    virtual std::vector<Hyperlink> Hyperlinks() const = 0;

    // page
    virtual PageSetup& Page() = 0;
    virtual const PageSetup& Page() const = 0;
    /// Manual horizontal page breaks: each is the row that begins a new page, ascending.
    virtual std::vector<int> HPageBreaks() const = 0;
    virtual void AddHPageBreak(int row) = 0;
    virtual void RemoveHPageBreak(int row) = 0;
    virtual bool DisplayAutomaticPageBreaks() const = 0;
    virtual void DisplayAutomaticPageBreaks(bool on) = 0;

    // view
    virtual SheetView& View() = 0;
    virtual const SheetView& View() const = 0;

    // ranges
    Range Cells();
    Range Cells(int row, int column);
    Range RangeAt(const std::string& a1);
    Range RangeAt(const Area& area);
    Range Rows(int row);
    Range Rows(const std::string& a1);      // "1:2"
    Range Columns(int column);
    Range Columns(const std::string& a1);   // "A:B"
    Range Used();
};

class Workbook : public std::enable_shared_from_this<Workbook> {
public:
    virtual ~Workbook() = default;
    virtual std::string Name() const = 0;       // file name, or "Книга1" before the first save
    virtual std::string FullName() const = 0;   // path, or Name() before the first save
    virtual bool HasPath() const = 0;           // saved to (or loaded from) a file
    virtual Application& Parent() const = 0;

    virtual int Count() const = 0;
    /// By 1-based index or by name; throws Error(SubscriptOutOfRange).
    virtual std::shared_ptr<Worksheet> Sheet(int index) const = 0;
    virtual std::shared_ptr<Worksheet> Sheet(const std::string& name) const = 0;
    virtual std::shared_ptr<Worksheet> FindSheet(const std::string& name) const = 0;  // or null
    /// Adds a worksheet before or after another (at the end when both are null).
    virtual std::shared_ptr<Worksheet> Add(const Worksheet* before, const Worksheet* after) = 0;
    virtual std::shared_ptr<Worksheet> ActiveSheet() const = 0;
    virtual void Activate() = 0;

    virtual void Save() = 0;
    virtual void SaveAs(const std::string& path) = 0;
};

/// The active workbook's window; its settings are those of the active worksheet.
class Window {
public:
    virtual ~Window() = default;
    virtual ViewMode View() const = 0;
    virtual void View(ViewMode mode) = 0;
    virtual bool FreezePanes() const = 0;
    /// On: rows above the selection's first row and columns left of its first column stay.
    virtual void FreezePanes(bool on) = 0;
    virtual int SplitRow() const = 0;       // rows frozen
    virtual int SplitColumn() const = 0;
    virtual bool DisplayZeros() const = 0;
    virtual void DisplayZeros(bool on) = 0;
    virtual bool DisplayGridlines() const = 0;
    virtual void DisplayGridlines(bool on) = 0;
    virtual int Zoom() const = 0;
    virtual void Zoom(int percent) = 0;
    virtual int ScrollRow() const = 0;
    virtual void ScrollRow(int row) = 0;
};

/// The spreadsheet application. Lifetime: a service object (Kalvora) keeps a plain
/// reference to the application it was made over, so the application must outlive
/// every service object and every call on one; the objects it hands out (workbooks,
/// worksheets by shared pointer, the window by reference) are the host's to keep.
class Application {
public:
    virtual ~Application() = default;
    virtual bool ScreenUpdating() const = 0;
    virtual void ScreenUpdating(bool on) = 0;
    virtual bool DisplayAlerts() const = 0;
    virtual void DisplayAlerts(bool on) = 0;
    virtual std::string Name() const = 0;
    virtual Window& ActiveWindow() = 0;
    virtual std::shared_ptr<Workbook> ActiveWorkbook() const = 0;
    virtual std::vector<std::shared_ptr<Workbook>> Workbooks() const = 0;
    /// Adds a new workbook, which becomes the active one (Workbooks.Add).
    /// A host that cannot add workbooks refuses with Error(NotImplemented).
    virtual std::shared_ptr<Workbook> AddWorkbook() {
        throw Error(ErrorCode::NotImplemented, "Workbooks.Add is not supported by this host");
    }
    /// The selection of the active window (an area of the active worksheet).
    virtual Range Selection() = 0;
    virtual Ui& UI() = 0;
    /// A length in centimetres as points.
    virtual double CentimetersToPoints(double cm) const { return cm * 72.0 / 2.54; }
};

// ---------------------------------------------------------------- range

/// A rectangle of one worksheet. Members mirror the spreadsheet's Range object;
/// getters return the property of the first cell unless they say otherwise.
class Range {
public:
    Range(std::shared_ptr<Worksheet> sheet, const Area& area);

    Worksheet& Sheet() const;
    std::shared_ptr<Worksheet> SheetPtr() const { return sheet_; }
    const Area& area() const { return area_; }

    // parts of the range (positions count within the range, from 1)
    Range Item(int row, int column = 1) const;
    Range Cells(int row, int column) const { return Item(row, column); }
    Range RangeAt(const std::string& a1) const;   // "A17:B24" relative to the range's top-left cell
    Range Rows(int row) const;
    Range Rows(const std::string& a1) const;     // "2:30"
    Range Columns(int column) const;
    Range Columns(const std::string& a1) const;  // "A:B"
    Range EntireRow() const;
    Range EntireColumn() const;
    Range Offset(int rows, int columns) const;
    Range Resize(int rows, int columns) const;
    long long Count() const { return area_.count(); }
    int Row() const { return area_.r1; }
    int Column() const { return area_.c1; }
    std::string Address(bool absolute = true) const;

    // content
    Value FirstValue() const;                        // first cell's value
    void SetValue(const Value& v) const;             // every cell
    void Values(const std::vector<Value>& row) const;  // left to right across the range
    std::optional<std::string> Text() const;        // common displayed text or nothing
    std::string Formula() const;                    // first cell: R1C1 formula or the value as text
    void Formula(const std::string& f) const;

    // format
    std::string NumberFormat() const;
    void NumberFormat(const std::string& f) const;
    HAlign HorizontalAlignment() const;
    void HorizontalAlignment(HAlign a) const;
    VAlign VerticalAlignment() const;
    void VerticalAlignment(VAlign a) const;
    int Orientation() const;
    void Orientation(int degrees) const;
    bool WrapText() const;
    void WrapText(bool on) const;
    bool ShrinkToFit() const;
    void ShrinkToFit(bool on) const;
    int IndentLevel() const;
    void IndentLevel(int level) const;
    enum ReadingOrder ReadingOrder() const;
    void ReadingOrder(enum ReadingOrder order) const;
    void ApplyFormat(const FormatPatch& patch) const;

    class FontRef {
    public:
        explicit FontRef(const Range& r) : s_(r.sheet_), a_(r.area_) {}
        std::string Name() const;
        void Name(const std::string& n) const;
        double Size() const;
        void Size(double s) const;
        bool Bold() const;
        void Bold(bool b) const;
        bool Italic() const;
        void Italic(bool b) const;
        host::Underline Underline() const;
        void Underline(host::Underline u) const;
        host::Color Color() const;
        void Color(host::Color c) const;       // Color(0) is black: Color::Rgb(0)
        void ColorIndex(int index) const;
    private:
        std::shared_ptr<Worksheet> s_;
        Area a_;
    };
    FontRef Font() const { return FontRef(*this); }

    /// Borders of the range: all edges and inside lines, or one of them.
    class BordersRef {
    public:
        BordersRef(const Range& r, std::optional<Edge> edge) : s_(r.sheet_), a_(r.area_), edge_(edge) {}
        host::LineStyle LineStyle() const;
        void LineStyle(host::LineStyle s) const;
        host::BorderWeight Weight() const;
        void Weight(host::BorderWeight w) const;
    private:
        std::shared_ptr<Worksheet> s_;
        Area a_;
        std::optional<Edge> edge_;
    };
    BordersRef Borders() const { return BordersRef(*this, std::nullopt); }
    BordersRef Borders(Edge e) const { return BordersRef(*this, e); }

    class InteriorRef {
    public:
        explicit InteriorRef(const Range& r) : s_(r.sheet_), a_(r.area_) {}
        host::Color Color() const;
        void ColorIndex(int index) const;   // <= 0 or -4142: none
        void Color(host::Color c) const;
    private:
        std::shared_ptr<Worksheet> s_;
        Area a_;
    };
    InteriorRef Interior() const { return InteriorRef(*this); }

    // geometry
    double RowHeight() const;
    void RowHeight(double points) const;
    double ColumnWidth() const;
    void ColumnWidth(double characters) const;

    // merges
    bool MergeCells() const;          // the first cell lies in a merged area
    void MergeCells(bool on) const;   // true merges, false undoes every merge in the range
    void Merge() const;
    void UnMerge() const;
    Range MergeArea() const;

    // structure
    void Insert(Shift shift = Shift::Down) const;
    void Delete(Shift shift = Shift::Up) const;
    void Clear() const;
    void ClearContents() const;
    void Copy(const Range& destination) const;

    // window and links
    void Select() const;     // activates the sheet and makes the range its selection
    void Show() const;       // scrolls the window to the range
    void AddHyperlink(const std::string& address, const std::string& subAddress,
                      const std::string& textToDisplay = {}) const;

private:
    std::shared_ptr<Worksheet> sheet_;
    Area area_;
};

}  // namespace ormelin::host
