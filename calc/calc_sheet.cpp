// The Calc host's worksheet: cells, formats, geometry, structure and merges
// over the sheet's UNO objects (calc_host.hpp says what is emulated).
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include <com/sun/star/awt/FontSlant.hpp>
#include <com/sun/star/awt/FontStrikeout.hpp>
#include <com/sun/star/awt/FontUnderline.hpp>
#include <com/sun/star/awt/FontWeight.hpp>
#include <com/sun/star/beans/XMultiPropertySet.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/document/XUndoAction.hpp>
#include <com/sun/star/document/XUndoManager.hpp>
#include <com/sun/star/document/XUndoManagerListener.hpp>
#include <com/sun/star/document/XUndoManagerSupplier.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/sheet/CellDeleteMode.hpp>
#include <com/sun/star/sheet/CellFlags.hpp>
#include <com/sun/star/sheet/CellInsertMode.hpp>
#include <com/sun/star/sheet/FormulaResult.hpp>
#include <com/sun/star/sheet/XCellAddressable.hpp>
#include <com/sun/star/sheet/XCellFormatRangesSupplier.hpp>
#include <com/sun/star/sheet/XCellRangeAddressable.hpp>
#include <com/sun/star/sheet/XCellRangeData.hpp>
#include <com/sun/star/sheet/XCellRangeMovement.hpp>
#include <com/sun/star/sheet/XCellRangesQuery.hpp>
#include <com/sun/star/sheet/XSheetCellCursor.hpp>
#include <com/sun/star/sheet/XSheetCellRanges.hpp>
#include <com/sun/star/sheet/XSheetOperation.hpp>
#include <com/sun/star/sheet/XPrintAreas.hpp>
#include <com/sun/star/sheet/XSheetPageBreak.hpp>
#include <com/sun/star/sheet/XSpreadsheetView.hpp>
#include <com/sun/star/sheet/XSpreadsheets.hpp>
#include <com/sun/star/sheet/XUsedAreaCursor.hpp>
#include <com/sun/star/table/BorderLine2.hpp>
#include <com/sun/star/table/BorderLineStyle.hpp>
#include <com/sun/star/table/CellContentType.hpp>
#include <com/sun/star/table/CellHoriJustify.hpp>
#include <com/sun/star/table/CellVertJustify2.hpp>
#include <com/sun/star/table/TableBorder2.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/table/XColumnRowRange.hpp>
#include <com/sun/star/table/XTableColumns.hpp>
#include <com/sun/star/table/XTableRows.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/text/XTextContent.hpp>
#include <com/sun/star/text/XTextCursor.hpp>
#include <com/sun/star/text/XTextField.hpp>
#include <com/sun/star/text/XTextFieldsSupplier.hpp>
#include <com/sun/star/util/CellProtection.hpp>
#include <com/sun/star/util/XMergeable.hpp>
#include <com/sun/star/util/XProtectable.hpp>
#include <cppuhelper/implbase2.hxx>
#include <rtl/ref.hxx>

#include "calc/calc_format.hpp"
#include "calc/calc_timing.hpp"
#include "calc/calc_undo.hpp"
#include "calc_host.hpp"
#include "formula/formula.hpp"
#include "host/display.hpp"

using namespace css;
using css::uno::Any;
using css::uno::Reference;
using css::uno::Sequence;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;
using rtl::OUString;

namespace ormelin::calc {

namespace {

using host::Area;

/// The sheet's cell range of an area (rows and columns 1-based, clipped to the
/// columns Calc's sheet has).
table::CellRangeAddress AddressOf(sal_Int16 sheet, const Area& a, int lastColumn) {
    table::CellRangeAddress r;
    r.Sheet = sheet;
    r.StartColumn = a.c1 - 1;
    r.EndColumn = std::min(a.c2, lastColumn) - 1;
    r.StartRow = a.r1 - 1;
    r.EndRow = a.r2 - 1;
    return r;
}

Area AreaOf(const table::CellRangeAddress& r, int lastColumn) {
    Area a{r.StartRow + 1, r.StartColumn + 1, r.EndRow + 1, r.EndColumn + 1};
    if (a.c2 >= lastColumn) a.c2 = host::kMaxColumns;  // the sheet's last column stands for every column
    return a;
}

constexpr double kMm100PerPoint = 2540.0 / 72.0;
// Column widths are characters of the standard font, as the files give them
// (whole pixels of a 7-pixel digit, 5 of them padding); a unit of the files'
// width is 1.958 mm in Calc (its measure of the standard font's digit, found
// by reading and writing the files).
constexpr double kMm100PerFileUnit = 195.8;

sal_Int32 WidthMm100(double characters) {
    const double pixels = characters < 1 ? std::floor(characters * 12 + 0.5) : std::floor(characters * 7 + 0.5) + 5;
    const double fileWidth = std::floor(pixels / 7 * 256) / 256;
    return static_cast<sal_Int32>(std::lround(fileWidth * kMm100PerFileUnit));
}

double WidthCharacters(sal_Int32 mm100) {
    const double pixels = std::round(mm100 / kMm100PerFileUnit * 7);
    const double characters = pixels >= 12 ? (pixels - 5) / 7 : pixels / 12;
    return std::round(characters * 100) / 100;
}

/// Calc moves a sheet's print areas with the rows and columns inserted or deleted
/// before them; the host keeps them where they were, as the model does.
class KeepPrintAreas {
public:
    explicit KeepPrintAreas(const Reference<sheet::XSpreadsheet>& sheet)
        : print_(sheet, UNO_QUERY_THROW), kept_(print_->getPrintAreas()) {}
    ~KeepPrintAreas() {
        try {
            if (kept_.hasElements()) {
                print_->setPrintAreas(kept_);
                DropPrintAreaName(Reference<sheet::XSpreadsheet>(print_, UNO_QUERY_THROW));
            }
        } catch (...) {
        }
    }
    KeepPrintAreas(const KeepPrintAreas&) = delete;
    KeepPrintAreas& operator=(const KeepPrintAreas&) = delete;

private:
    Reference<sheet::XPrintAreas> print_;
    Sequence<table::CellRangeAddress> kept_;
};

/// A column's width (1/100 mm) and whether it shows.
struct ColumnSize {
    sal_Int32 width = 0;
    bool visible = true;
};

ColumnSize ColumnSizeOf(const Reference<sheet::XSpreadsheet>& sheet, int column) {
    Reference<beans::XPropertySet> c(
        Reference<table::XColumnRowRange>(sheet, UNO_QUERY_THROW)->getColumns()->getByIndex(column - 1),
        UNO_QUERY_THROW);
    ColumnSize size;
    c->getPropertyValue("Width") >>= size.width;
    c->getPropertyValue("IsVisible") >>= size.visible;
    return size;
}

void SetColumnSize(const Reference<sheet::XSpreadsheet>& sheet, int c1, int c2, const ColumnSize& size) {
    if (c1 > c2) return;
    Reference<table::XColumnRowRange> cols(sheet->getCellRangeByPosition(c1 - 1, 0, c2 - 1, 0), UNO_QUERY_THROW);
    Reference<beans::XPropertySet> p(cols->getColumns(), UNO_QUERY_THROW);
    p->setPropertyValue("Width", Any(size.width));
    p->setPropertyValue("IsVisible", Any(size.visible));
}

/// The text a cell holds (a formula's text result), whatever its number format
/// shows: a cell's own text (XText) is the text as shown, empty for a text the
/// format ";;;" hides.
std::string StoredText(const Reference<sheet::XSpreadsheet>& sheet, int row, int column) {
    const Sequence<Sequence<Any>> data =
        Reference<sheet::XCellRangeData>(sheet->getCellRangeByPosition(column - 1, row - 1, column - 1, row - 1),
                                         UNO_QUERY_THROW)
            ->getDataArray();
    OUString text;
    if (data.hasElements() && data[0].hasElements()) data[0][0] >>= text;
    return S(text);
}

/// The column (from `first` on) from which every row r1..r2 is empty and of one
/// format up to the sheet's last column (from that column on the rows need no
/// cell of their own).
int UniformEndOf(const Reference<sheet::XSpreadsheet>& sheet, int r1, int r2, int last, int first = 1) {
    if (first >= last) return last;
    Reference<table::XCellRange> rows = sheet->getCellRangeByPosition(first - 1, r1 - 1, last - 1, r2 - 1);
    // Calc's runs of one format: rectangles over columns whose formats are alike.
    Reference<container::XIndexAccess> runs(
        Reference<sheet::XCellFormatRangesSupplier>(rows, UNO_QUERY_THROW)->getCellFormatRanges(), UNO_QUERY_THROW);
    int from = first;
    for (sal_Int32 i = 0; i < runs->getCount(); ++i) {
        const table::CellRangeAddress a =
            Reference<sheet::XCellRangeAddressable>(runs->getByIndex(i), UNO_QUERY_THROW)->getRangeAddress();
        if (a.EndColumn == last - 1) from = std::max(from, a.StartColumn + 1);
    }
    if (from >= last) return last;
    Reference<sheet::XCellRangesQuery> query(sheet->getCellRangeByPosition(from - 1, r1 - 1, last - 1, r2 - 1),
                                             UNO_QUERY_THROW);
    const Sequence<table::CellRangeAddress> filled =
        query->queryContentCells(sheet::CellFlags::VALUE | sheet::CellFlags::DATETIME | sheet::CellFlags::STRING |
                                 sheet::CellFlags::ANNOTATION | sheet::CellFlags::FORMULA)
            ->getRangeAddresses();
    for (const table::CellRangeAddress& a : filled) from = std::max(from, a.EndColumn + 2);
    return std::min(from, last);
}

/// Calc (7.4) gives the columns that come in at the end of the columns it has
/// made, when it deletes columns, no format at all, where the columns it has not
/// made have the format of the sheet's end (a column format of the file): its
/// undo of inserted columns, a deletion of them, leaves that many columns after
/// the sheet's formatted ones without that format. This undo action, added to a
/// command's undo step before its first insertion of columns, gives the columns
/// after `from` (empty and of the end's format before the command) the format of
/// the column `from` again once the undo is over.
///
/// The column `from` is made by the command (a value written and cleared), so that
/// Calc holds it with the end's format and its undo keeps it (it copies a column
/// it has not made as one without format). The repair waits for the end of the
/// undo (the undo manager's listener): changing the document inside Calc's undo
/// of the step corrupted its heap; the undo manager is locked meanwhile (and
/// again after each change, whose end unlocks it), so that the repair adds no
/// undo step of its own and the redo stays.
class ColumnEndRepair final
    : public cppu::WeakImplHelper2<document::XUndoAction, document::XUndoManagerListener> {
public:
    ColumnEndRepair(Reference<frame::XModel> model, Reference<sheet::XSpreadsheet> sheet, int from, int last)
        : model_(std::move(model)), sheet_(std::move(sheet)), from_(from), last_(last) {}

    // XUndoAction
    OUString SAL_CALL getTitle() override { return "ormelin: column formats"; }
    void SAL_CALL redo() override {}
    void SAL_CALL undo() override { pending_ = true; }

    // XUndoManagerListener
    void SAL_CALL actionUndone(const document::UndoManagerEvent&) override {
        if (!pending_) return;
        pending_ = false;
        try {
            const Reference<document::XUndoManager> undo =
                Reference<document::XUndoManagerSupplier>(model_, UNO_QUERY_THROW)->getUndoManager();
            const UndoLock lock(undo);
            Repair(undo);
        } catch (const css::uno::Exception&) {
        }
    }
    void SAL_CALL undoActionAdded(const document::UndoManagerEvent&) override {}
    void SAL_CALL actionRedone(const document::UndoManagerEvent&) override {}
    void SAL_CALL allActionsCleared(const lang::EventObject&) override {}
    void SAL_CALL redoActionsCleared(const lang::EventObject&) override {}
    void SAL_CALL resetAll(const lang::EventObject&) override {}
    void SAL_CALL enteredContext(const document::UndoManagerEvent&) override {}
    void SAL_CALL enteredHiddenContext(const document::UndoManagerEvent&) override {}
    void SAL_CALL leftContext(const document::UndoManagerEvent&) override {}
    void SAL_CALL leftHiddenContext(const document::UndoManagerEvent&) override {}
    void SAL_CALL cancelledContext(const document::UndoManagerEvent&) override {}
    void SAL_CALL disposing(const lang::EventObject&) override {}

    /// Makes the column `from` of a sheet (its cells empty there) Calc's own.
    static void Make(const Reference<sheet::XSpreadsheet>& sheet, int from) {
        sheet->getCellByPosition(from - 1, 0)->setValue(0);
        Reference<sheet::XSheetOperation>(sheet->getCellRangeByPosition(from - 1, 0, from - 1, 0), UNO_QUERY_THROW)
            ->clearContents(sheet::CellFlags::VALUE);
    }

private:
    void Repair(const Reference<document::XUndoManager>& undo) {
        const int end = UniformEndOf(sheet_, 1, host::kMaxRows, last_, from_ + 1);
        if (end <= from_ + 1) return;
        // Calc fits row heights to a change unless told not to.
        Reference<beans::XPropertySet> props(model_, UNO_QUERY);
        bool adjust = false;
        if (props.is()) props->getPropertyValue("IsAdjustHeightEnabled") >>= adjust;
        if (adjust) props->setPropertyValue("IsAdjustHeightEnabled", Any(false));
        Reference<sheet::XCellRangeMovement> move(sheet_, UNO_QUERY_THROW);
        const sal_Int16 index =
            static_cast<sal_Int16>(Reference<sheet::XCellRangeAddressable>(sheet_, UNO_QUERY_THROW)->getRangeAddress().Sheet);
        const table::CellRangeAddress source = AddressOf(index, {1, from_, host::kMaxRows, from_}, last_);
        try {
            for (int c = from_ + 1; c < end; ++c) {
                const ColumnSize size = ColumnSizeOf(sheet_, c);  // a whole column's copy takes its width along
                table::CellAddress to;
                to.Sheet = index;
                to.Column = c - 1;
                to.Row = 0;
                move->copyRange(to, source);
                Relock(undo);
                Reference<beans::XPropertySet> column(
                    Reference<table::XColumnRowRange>(sheet_, UNO_QUERY_THROW)->getColumns()->getByIndex(c - 1),
                    UNO_QUERY_THROW);
                column->setPropertyValue("Width", Any(size.width));
                Relock(undo);
                column->setPropertyValue("IsVisible", Any(size.visible));
                Relock(undo);
            }
        } catch (const css::uno::Exception&) {
            if (adjust) props->setPropertyValue("IsAdjustHeightEnabled", Any(true));
            throw;
        }
        if (adjust) props->setPropertyValue("IsAdjustHeightEnabled", Any(true));
    }

    Reference<frame::XModel> model_;
    Reference<sheet::XSpreadsheet> sheet_;
    int from_, last_;
    bool pending_ = false;  // undone: the repair follows once the undo is over
};

/// Runs shorter than this are merged with Calc's own undo: the context and the
/// switch cost about as much as a few merges.
constexpr std::size_t kMergeRun = 8;

}  // namespace

CalcWorksheet::CalcWorksheet(CalcWorkbook& book, Reference<sheet::XSpreadsheet> sheet)
    : book_(book), sheet_(std::move(sheet)) {}

void CalcWorksheet::Check() const {
    if (deleted_) throw Error(ErrorCode::ObjectDeleted, "The worksheet has been deleted");
}

int CalcWorksheet::LastColumn() const try {
    static int last = 0;
    if (!last) {
        Reference<table::XColumnRowRange> cr(sheet_, UNO_QUERY_THROW);
        last = cr->getColumns()->getCount();
    }
    return last;
} catch (const css::uno::Exception& e) {
    Fail(e);
}

Reference<table::XCellRange> CalcWorksheet::RangeOf(const Area& a) const try {
    Check();
    if (a.r1 < 1 || a.c1 < 1 || a.r2 < a.r1 || a.c2 < a.c1 || a.r2 > host::kMaxRows || a.c2 > host::kMaxColumns)
        throw Error(ErrorCode::InvalidArgument, "The area " + host::AddressOf(a) + " lies outside the sheet");
    return sheet_->getCellRangeByPosition(a.c1 - 1, a.r1 - 1, std::min(a.c2, LastColumn()) - 1, a.r2 - 1);
} catch (const css::uno::Exception& e) {
    Fail(e);
}

void CalcWorksheet::Changed(int r1, int r2, bool moved) {
    std::erase_if(uniformEnds_, [&](const auto& e) {
        const auto& [rows, end] = e;
        return moved ? rows.second >= r1 : rows.first <= r2 && rows.second >= r1;
    });
}

// ------------------------------------------------------------------ identity

std::string CalcWorksheet::Name() const try {
    Check();
    return S(Reference<container::XNamed>(sheet_, UNO_QUERY_THROW)->getName());
} catch (const css::uno::Exception& e) {
    Fail(e);
}

void CalcWorksheet::Name(const std::string& name) try {
    Check();
    Reference<container::XNamed> named(sheet_, UNO_QUERY_THROW);
    if (S(named->getName()) == name) return;
    if (name.empty() || name.size() > 31 * 4 || name.find_first_of("[]:*?/\\") != std::string::npos ||
        name.front() == '\'' || name.back() == '\'')
        throw Error(ErrorCode::ApplicationDefined, "The sheet name \"" + name + "\" is not allowed");
    if (auto other = book_.FindSheet(name); other && other.get() != this)
        throw Error(ErrorCode::ApplicationDefined, "A sheet named \"" + name + "\" exists already");
    named->setName(U(name));
} catch (const css::uno::Exception& e) {
    Fail(e);
}

host::Workbook& CalcWorksheet::Parent() const { return book_; }
bool CalcWorksheet::IsDeleted() const { return deleted_; }

void CalcWorksheet::Activate() try {
    Check();
    Reference<sheet::XSpreadsheetView> view(book_.Model()->getCurrentController(), UNO_QUERY);
    if (view.is()) view->setActiveSheet(sheet_);
} catch (const css::uno::Exception& e) {
    Fail(e);
}

void CalcWorksheet::Delete() try {
    Check();
    const std::string name = Name();
    book_.Document()->getSheets()->removeByName(U(name));
    deleted_ = true;
    book_.Forget(this);
} catch (const css::uno::Exception& e) {
    Fail(e);
}

int CalcWorksheet::Index() const try {
    Check();
    Reference<sheet::XCellRangeAddressable> a(sheet_, UNO_QUERY_THROW);
    return a->getRangeAddress().Sheet + 1;
} catch (const css::uno::Exception& e) {
    Fail(e);
}

void CalcWorksheet::Move(const host::Worksheet* before, const host::Worksheet* after) try {
    Check();
    int to = before ? before->Index() - 1 : after ? after->Index() : book_.Count();
    const int from = Index() - 1;
    if (to > from) --to;  // moveByName counts the position before the sheet leaves its place
    book_.Document()->getSheets()->moveByName(U(Name()), static_cast<sal_Int16>(to > from ? to + 1 : to));
} catch (const css::uno::Exception& e) {
    Fail(e);
}

// ------------------------------------------------------------------ content

host::CellContent CalcWorksheet::Content(int row, int column) const try {
    const Timed timed(Member::Content);
    Check();
    host::CellContent out;
    if (column > LastColumn()) return out;
    Reference<table::XCell> cell = sheet_->getCellByPosition(column - 1, row - 1);
    switch (cell->getType()) {
    case table::CellContentType_EMPTY:
        break;
    case table::CellContentType_VALUE:
        out.value = cell->getValue();
        break;
    case table::CellContentType_TEXT:
        out.value = StoredText(sheet_, row, column);
        break;
    case table::CellContentType_FORMULA: {
        out.formula = FormulaR1C1(book_, sheet_, row, column, cell);
        if (const sal_Int32 e = cell->getError()) {
            out.value = ErrorOf(e);
            break;
        }
        sal_Int32 kind = 0;
        Reference<beans::XPropertySet>(cell, UNO_QUERY_THROW)->getPropertyValue("FormulaResultType2") >>= kind;
        if (kind == sheet::FormulaResult::VALUE)
            out.value = cell->getValue();
        else
            out.value = StoredText(sheet_, row, column);
        break;
    }
    default:
        break;
    }
    return out;
} catch (const css::uno::Exception& e) {
    Fail(e);
}

void CalcWorksheet::SetValue(const Area& area, const host::Value& value) try {
    Changed(area.r1, area.r2);
    const Timed timed(Member::SetValue);
    const auto* text = std::get_if<std::string>(&value);
    if (text && !text->empty() && (*text)[0] == '=') {
        Reference<table::XCellRange> range = RangeOf(area);
        for (int r = area.r1; r <= area.r2; ++r)
            for (int c = area.c1; c <= std::min(area.c2, LastColumn()); ++c) {
                if (book_.NumberFormatText(CellFormatKey(sheet_, r, c)) == "@")
                    SetLiteral({r, c, r, c}, value);
                else
                    SetFormula(r, c, *text, {});
            }
        return;
    }
    SetLiteral(area, value);
} catch (const css::uno::Exception& e) {
    Fail(e);
}

void CalcWorksheet::SetLiteral(const Area& area, const host::Value& value) try {
    Changed(area.r1, area.r2);
    const Timed timed(Member::SetLiteral);
    Reference<table::XCellRange> range = RangeOf(area);
    if (host::IsEmpty(value)) {
        Reference<sheet::XSheetOperation>(range, UNO_QUERY_THROW)
            ->clearContents(sheet::CellFlags::VALUE | sheet::CellFlags::DATETIME | sheet::CellFlags::STRING |
                            sheet::CellFlags::FORMULA);
        return;
    }
    Any item;
    if (const auto* s = std::get_if<std::string>(&value)) item <<= U(*s);
    else if (const auto* d = std::get_if<double>(&value)) item <<= *d;
    else if (const auto* b = std::get_if<bool>(&value)) item <<= (*b ? 1.0 : 0.0);
    else item <<= U(host::ErrorText(std::get<host::CellError>(value)));
    const int rows = area.rows(), cols = std::min(area.c2, LastColumn()) - area.c1 + 1;
    if (rows == 1 && cols == 1) {
        Reference<table::XCell> cell = sheet_->getCellByPosition(area.c1 - 1, area.r1 - 1);
        if (const auto* s = std::get_if<std::string>(&value))
            Reference<css::text::XText>(cell, UNO_QUERY_THROW)->setString(U(*s));
        else
            cell->setValue(std::get_if<double>(&value) ? std::get<double>(value) : std::get<bool>(value) ? 1.0 : 0.0);
        return;
    }
    Sequence<Any> line(cols);
    for (sal_Int32 i = 0; i < cols; ++i) line.getArray()[i] = item;
    Sequence<Sequence<Any>> data(rows);
    for (sal_Int32 i = 0; i < rows; ++i) data.getArray()[i] = line;
    Reference<sheet::XCellRangeData>(range, UNO_QUERY_THROW)->setDataArray(data);
} catch (const css::uno::Exception& e) {
    Fail(e);
}

void CalcWorksheet::SetFormula(int row, int column, const std::string& formulaR1C1, const host::Value&) try {
    Changed(row, row);
    const Timed timed(Member::SetFormula);
    Check();
    // Calc computes the value itself: the cached value is not kept.
    SetFormulaR1C1(book_, sheet_, row, column, formulaR1C1);
} catch (const css::uno::Exception& e) {
    Fail(e);
}

std::string CalcWorksheet::CellText(int row, int column) const try {
    const Timed timed(Member::CellText);
    return TextOf(row, column, Content(row, column));
} catch (const css::uno::Exception& e) {
    Fail(e);
}

std::string CalcWorksheet::TextOf(int row, int column, const host::CellContent& content) const {
    if (host::IsEmpty(content.value)) return {};
    if (std::holds_alternative<std::string>(content.value)) return std::get<std::string>(content.value);
    return host::DisplayValue(content.value, book_.NumberFormatText(CellFormatKey(sheet_, row, column)));
}

std::optional<std::string> CalcWorksheet::Text(const Area& area) const try {
    const Timed timed(Member::Text);
    Check();
    if (area.single()) return CellText(area.r1, area.c1);
    // No one call gives it: the texts of the cells that hold something, found by
    // one query for the cells with contents.
    std::optional<std::string> common;
    long long shown = 0;
    const int r2 = area.r2, c2 = std::min(area.c2, LastColumn());
    if (area.r1 <= r2 && area.c1 <= c2) {
        Reference<sheet::XCellRangesQuery> query(sheet_->getCellRangeByPosition(area.c1 - 1, area.r1 - 1, c2 - 1, r2 - 1),
                                                 UNO_QUERY_THROW);
        const Sequence<table::CellRangeAddress> parts =
            query
                ->queryContentCells(sheet::CellFlags::VALUE | sheet::CellFlags::DATETIME | sheet::CellFlags::STRING |
                                    sheet::CellFlags::FORMULA)
                ->getRangeAddresses();
        for (const table::CellRangeAddress& part : parts)
            for (int r = part.StartRow + 1; r <= part.EndRow + 1; ++r)
                for (int c = part.StartColumn + 1; c <= part.EndColumn + 1; ++c) {
                    const host::CellContent content = Content(r, c);
                    if (host::IsEmpty(content.value)) continue;
                    ++shown;
                    std::string t = TextOf(r, c, content);
                    if (!common) common = std::move(t);
                    else if (*common != t) return std::nullopt;
                }
    }
    if (shown < area.count()) {
        if (common && !common->empty()) return std::nullopt;
        return std::string();
    }
    return common.value_or(std::string());
} catch (const css::uno::Exception& e) {
    Fail(e);
}

// ------------------------------------------------------------------ formats

const host::Style& CalcWorksheet::CellStyle(int row, int column) const try {
    const Timed timed(Member::CellStyle);
    Check();
    style_ = ReadStyle(book_, sheet_->getCellByPosition(std::min(column, LastColumn()) - 1, row - 1));
    return style_;
} catch (const css::uno::Exception& e) {
    Fail(e);
}

void CalcWorksheet::Format(const Area& area, const host::FormatPatch& patch) try {
    Changed(area.r1, area.r2);
    const Timed timed(Member::Format);
    Reference<table::XCellRange> range = RangeOf(area);
    ApplyPatch(book_, sheet_, range, area, patch, LastColumn());
} catch (const css::uno::Exception& e) {
    Fail(e);
}

void CalcWorksheet::SetCellStyle(int row, int column, const host::Style& style) try {
    const Timed timed(Member::SetCellStyle);
    Format({row, column, row, column}, PatchOf(style));
} catch (const css::uno::Exception& e) {
    Fail(e);
}

// ------------------------------------------------------------------ geometry

double CalcWorksheet::RowHeight(int row) const try {
    const Timed timed(Member::RowHeightGet);
    Check();
    Reference<table::XColumnRowRange> cr(sheet_, UNO_QUERY_THROW);
    Reference<beans::XPropertySet> r(cr->getRows()->getByIndex(row - 1), UNO_QUERY_THROW);
    bool visible = true;
    r->getPropertyValue("IsVisible") >>= visible;
    if (!visible) return 0;
    sal_Int32 h = 0;
    r->getPropertyValue("Height") >>= h;
    return std::round(h / kMm100PerPoint * 4) / 4;  // Calc keeps 1/100 mm: points to the quarter
} catch (const css::uno::Exception& e) {
    Fail(e);
}

void CalcWorksheet::RowHeight(int r1, int r2, double points) try {
    const Timed timed(Member::RowHeightSet);
    Reference<table::XCellRange> column = RangeOf({r1, 1, r2, 1});
    Reference<beans::XPropertySet> p(Reference<table::XColumnRowRange>(column, UNO_QUERY_THROW)->getRows(),
                                     UNO_QUERY_THROW);
    if (points <= 0) {
        p->setPropertyValue("IsVisible", Any(false));
        return;
    }
    p->setPropertyValue("Height", Any(static_cast<sal_Int32>(std::lround(points * kMm100PerPoint))));
    // Rows shown already are left so (each change of rows is an undo action of
    // Calc's, and costs more the longer the sheet): one query finds hidden ones.
    const Sequence<table::CellRangeAddress> shown =
        Reference<sheet::XCellRangesQuery>(column, UNO_QUERY_THROW)->queryVisibleCells()->getRangeAddresses();
    long long visible = 0;
    for (const table::CellRangeAddress& a : shown) visible += a.EndRow - a.StartRow + 1;
    if (visible < r2 - r1 + 1) p->setPropertyValue("IsVisible", Any(true));
} catch (const css::uno::Exception& e) {
    Fail(e);
}

double CalcWorksheet::ColumnWidth(int column) const try {
    const Timed timed(Member::ColumnWidthGet);
    Check();
    if (column > LastColumn()) return StandardWidth();
    Reference<table::XColumnRowRange> cr(sheet_, UNO_QUERY_THROW);
    Reference<beans::XPropertySet> c(cr->getColumns()->getByIndex(column - 1), UNO_QUERY_THROW);
    bool visible = true;
    c->getPropertyValue("IsVisible") >>= visible;
    if (!visible) return 0;
    sal_Int32 w = 0;
    c->getPropertyValue("Width") >>= w;
    return WidthCharacters(w);
} catch (const css::uno::Exception& e) {
    Fail(e);
}

void CalcWorksheet::ColumnWidth(int c1, int c2, double characters) try {
    const Timed timed(Member::ColumnWidthSet);
    Check();
    c2 = std::min(c2, LastColumn());
    if (c1 > c2) return;
    Reference<table::XColumnRowRange> cols(sheet_->getCellRangeByPosition(c1 - 1, 0, c2 - 1, 0), UNO_QUERY_THROW);
    Reference<beans::XPropertySet> p(cols->getColumns(), UNO_QUERY_THROW);
    if (characters <= 0) {
        p->setPropertyValue("IsVisible", Any(false));
        return;
    }
    p->setPropertyValue("Width", Any(WidthMm100(characters)));
    p->setPropertyValue("IsVisible", Any(true));
} catch (const css::uno::Exception& e) {
    Fail(e);
}

double CalcWorksheet::StandardHeight() const try {
    Check();
    // The height of a row that has none of its own: Calc's default for the default font.
    return 15;
} catch (const css::uno::Exception& e) {
    Fail(e);
}

void CalcWorksheet::StandardHeight(double) { Check(); }

double CalcWorksheet::StandardWidth() const try {
    Check();
    return 8.43;
} catch (const css::uno::Exception& e) {
    Fail(e);
}

// ------------------------------------------------------------------ structure

void CalcWorksheet::InsertRows(int at, int count) try {
    Changed(at, host::kMaxRows, true);
    const Timed timed(Member::InsertRows);
    Check();
    KeepPrintAreas keep(sheet_);
    Reference<table::XColumnRowRange>(sheet_, UNO_QUERY_THROW)->getRows()->insertByIndex(at - 1, count);
} catch (const css::uno::Exception& e) {
    Fail(e);
}

void CalcWorksheet::DeleteRows(int at, int count) try {
    Changed(at, host::kMaxRows, true);
    const Timed timed(Member::DeleteRows);
    Check();
    KeepPrintAreas keep(sheet_);
    Reference<table::XColumnRowRange>(sheet_, UNO_QUERY_THROW)->getRows()->removeByIndex(at - 1, count);
} catch (const css::uno::Exception& e) {
    Fail(e);
}

void CalcWorksheet::InsertColumns(int at, int count) try {
    Changed(1, host::kMaxRows, true);
    const Timed timed(Member::InsertColumns);
    Check();
    KeepPrintAreas keep(sheet_);
    // New columns take the width of the column before them (of the first one when
    // they come first), as the model's do; Calc gives them its standard width.
    const ColumnSize size = ColumnSizeOf(sheet_, at > 1 ? at - 1 : at);
    // The columns that are empty and of the end's format before the command's
    // first insertion are given that format again when Calc undoes the command
    // (ColumnEndRepair, undone after every insertion of the command is).
    if (!endRepair_) {
        endRepair_ = true;
        const int last = LastColumn();
        const int end = UniformEndOf(sheet_, 1, host::kMaxRows, last);
        Reference<document::XUndoManagerSupplier> undo(book_.Model(), UNO_QUERY);
        if (end + 1 < last && undo.is()) {
            ColumnEndRepair::Make(sheet_, end);
            Reference<document::XUndoManager> manager = undo->getUndoManager();
            rtl::Reference<ColumnEndRepair> repair = new ColumnEndRepair(book_.Model(), sheet_, end, last);
            manager->addUndoAction(Reference<document::XUndoAction>(repair.get()));
            manager->addUndoManagerListener(Reference<document::XUndoManagerListener>(repair.get()));
        }
    }
    Reference<table::XColumnRowRange>(sheet_, UNO_QUERY_THROW)->getColumns()->insertByIndex(at - 1, count);
    SetColumnSize(sheet_, at, std::min(at + count - 1, LastColumn()), size);
} catch (const css::uno::Exception& e) {
    Fail(e);
}

void CalcWorksheet::DeleteColumns(int at, int count) try {
    Changed(1, host::kMaxRows, true);
    const Timed timed(Member::DeleteColumns);
    Check();
    KeepPrintAreas keep(sheet_);
    // The columns that come in at the sheet's end have the width the columns
    // there had, as in the model (none of their own); Calc gives them its standard width.
    const int last = LastColumn();
    count = std::min(count, last - at + 1);
    if (count <= 0) return;
    const ColumnSize size = ColumnSizeOf(sheet_, last);
    Reference<table::XColumnRowRange>(sheet_, UNO_QUERY_THROW)->getColumns()->removeByIndex(at - 1, count);
    SetColumnSize(sheet_, last - count + 1, last, size);
    // and the formats of the last column, which the model's rows give every
    // column they do not hold (Calc's new columns have none)
    if (last - count >= at) {
        Reference<sheet::XCellRangeMovement> move(sheet_, UNO_QUERY_THROW);
        const sal_Int16 index = static_cast<sal_Int16>(Index() - 1);
        const table::CellRangeAddress from = AddressOf(index, {1, last - count, host::kMaxRows, last - count}, last);
        for (int c = last - count + 1; c <= last; ++c) {
            table::CellAddress to;
            to.Sheet = index;
            to.Column = c - 1;
            to.Row = 0;
            move->copyRange(to, from);
        }
    }
} catch (const css::uno::Exception& e) {
    Fail(e);
}

void CalcWorksheet::InsertCells(const Area& area, host::Shift shift) try {
    Changed(area.r1, host::kMaxRows, true);
    const Timed timed(Member::InsertCells);
    Check();
    if (area.entireRows()) return InsertRows(area.r1, area.rows());
    if (area.entireColumns()) return InsertColumns(area.c1, area.columns());
    const auto mode = shift == host::Shift::Right ? sheet::CellInsertMode_RIGHT : sheet::CellInsertMode_DOWN;
    KeepPrintAreas keep(sheet_);
    Reference<sheet::XCellRangeMovement>(sheet_, UNO_QUERY_THROW)
        ->insertCells(AddressOf(static_cast<sal_Int16>(Index() - 1), area, LastColumn()), mode);
} catch (const css::uno::Exception& e) {
    Fail(e);
}

void CalcWorksheet::DeleteCells(const Area& area, host::Shift shift) try {
    Changed(area.r1, host::kMaxRows, true);
    const Timed timed(Member::DeleteCells);
    Check();
    if (area.entireRows()) return DeleteRows(area.r1, area.rows());
    if (area.entireColumns()) return DeleteColumns(area.c1, area.columns());
    const auto mode = shift == host::Shift::Left ? sheet::CellDeleteMode_LEFT : sheet::CellDeleteMode_UP;
    KeepPrintAreas keep(sheet_);
    Reference<sheet::XCellRangeMovement>(sheet_, UNO_QUERY_THROW)
        ->removeRange(AddressOf(static_cast<sal_Int16>(Index() - 1), area, LastColumn()), mode);
} catch (const css::uno::Exception& e) {
    Fail(e);
}

void CalcWorksheet::Clear(const Area& area) try {
    Changed(area.r1, area.r2);
    const Timed timed(Member::Clear);
    Reference<table::XCellRange> range = RangeOf(area);
    Reference<util::XMergeable>(range, UNO_QUERY_THROW)->merge(false);
    Reference<sheet::XSheetOperation>(range, UNO_QUERY_THROW)
        ->clearContents(sheet::CellFlags::VALUE | sheet::CellFlags::DATETIME | sheet::CellFlags::STRING |
                        sheet::CellFlags::ANNOTATION | sheet::CellFlags::FORMULA | sheet::CellFlags::HARDATTR |
                        sheet::CellFlags::STYLES | sheet::CellFlags::EDITATTR | sheet::CellFlags::FORMATTED);
} catch (const css::uno::Exception& e) {
    Fail(e);
}

void CalcWorksheet::ClearContents(const Area& area) try {
    Changed(area.r1, area.r2);
    const Timed timed(Member::ClearContents);
    Reference<table::XCellRange> range = RangeOf(area);
    Reference<sheet::XSheetOperation>(range, UNO_QUERY_THROW)
        ->clearContents(sheet::CellFlags::VALUE | sheet::CellFlags::DATETIME | sheet::CellFlags::STRING |
                        sheet::CellFlags::FORMULA);
} catch (const css::uno::Exception& e) {
    Fail(e);
}

void CalcWorksheet::CopyTo(const Area& source, host::Worksheet& destination, int row, int column) try {
    const Timed timed(Member::CopyTo);
    Check();
    auto& dest = dynamic_cast<CalcWorksheet&>(destination);
    table::CellAddress to;
    to.Sheet = static_cast<sal_Int16>(dest.Index() - 1);
    to.Column = column - 1;
    to.Row = row - 1;
    Area copied = source;
    std::vector<Sequence<Any>> ends;  // the format of each row's uniform end
    const int last = LastColumn();
    if (source.entireRows() && column == 1) {
        // Calc copies whole rows cell by cell up to its last column (over half a
        // second a row): the part that holds contents or formats of their own is
        // copied, and the cells after it, empty and of one format each row up to
        // the sheet's end, pass on that format in one call a row.
        const auto key = std::make_pair(source.r1, source.r2);
        if (const auto known = uniformEnds_.find(key); known != uniformEnds_.end()) {
            copied.c2 = known->second;
        } else {
            copied.c2 = UniformEndOf(sheet_, source.r1, source.r2, last);
            uniformEnds_.emplace(key, copied.c2);
        }
        if (copied.c2 < last)
            for (int r = source.r1; r <= source.r2; ++r)  // read before the copy: the rows may overlap
                ends.push_back(CellFormat(sheet_->getCellByPosition(copied.c2 - 1, r - 1)));
    }
    dest.Changed(row, row + source.rows() - 1);
    Reference<sheet::XCellRangeMovement>(dest.sheet_, UNO_QUERY_THROW)
        ->copyRange(to, AddressOf(static_cast<sal_Int16>(Index() - 1), copied, last));
    for (std::size_t i = 0; i < ends.size(); ++i) {
        const int r = row + static_cast<int>(i);
        Reference<table::XCellRange> end = dest.sheet_->getCellRangeByPosition(copied.c2, r - 1, last - 1, r - 1);
        // Clearing costs Calc a copy of the cells for its undo: only where something is.
        constexpr sal_Int32 kContents = sheet::CellFlags::VALUE | sheet::CellFlags::DATETIME |
                                        sheet::CellFlags::STRING | sheet::CellFlags::ANNOTATION |
                                        sheet::CellFlags::FORMULA;
        if (Reference<sheet::XCellRangesQuery>(end, UNO_QUERY_THROW)
                ->queryContentCells(kContents)
                ->getRangeAddresses()
                .hasElements())
            Reference<sheet::XSheetOperation>(end, UNO_QUERY_THROW)->clearContents(kContents);
        SetCellFormat(end, ends[i]);
    }
    // Calc copies contents, formats and merges; the heights of whole rows and the
    // widths of whole columns go with them here.
    if (source.entireRows())
        for (int r = source.r1; r <= source.r2; ++r) dest.RowHeight(row + r - source.r1, row + r - source.r1, RowHeight(r));
    if (source.entireColumns())
        for (int c = source.c1; c <= std::min(source.c2, LastColumn()); ++c)
            dest.ColumnWidth(column + c - source.c1, column + c - source.c1, ColumnWidth(c));
} catch (const css::uno::Exception& e) {
    Fail(e);
}

// ------------------------------------------------------------------ merges

void CalcWorksheet::MergeOne(const Area& area, std::vector<MergeStep>* done) {
    if (area.single()) return;
    Changed(area.r1, area.r2);
    // An area merged already stays as it is (and its undo keeps it so).
    if (done && MergeArea(area.r1, area.c1) == area) return;
    // The merged areas the area holds or reaches into give way to it, as in the
    // model; Calc refuses to merge over them (silently, through its API), so that
    // the top-left cell's merged area is then another one.
    Reference<util::XMergeable> range(RangeOf(area), UNO_QUERY_THROW);
    range->merge(true);
    if (MergeArea(area.r1, area.c1) != area) {
        TakeApart(area, done);
        range->merge(true);
    }
    if (done) done->push_back({true, area});
}

void CalcWorksheet::Merge(const Area& area) try {
    const Timed timed(Member::Merge);
    MergeOne(area, nullptr);
} catch (const css::uno::Exception& e) {
    Fail(e);
}

void CalcWorksheet::MergeEach(const std::vector<Area>& areas) try {
    const Timed timed(Member::MergeEach);
    Check();
    std::optional<UndoOff> off;
    if (areas.size() >= kMergeRun) off.emplace(book_.Model());
    if (!off || !off->Off()) {
        for (const Area& a : areas) MergeOne(a, nullptr);
        return;
    }
    // What was merged before a failure is undone with the command's step.
    std::vector<MergeStep> done;
    const auto action = [&] {
        return done.empty() ? Reference<document::XUndoAction>()
                            : MergeUndoOf(book_.Document(), Index() - 1, LastColumn(), std::move(done));
    };
    try {
        for (const Area& a : areas) MergeOne(a, &done);
    } catch (...) {
        off->End(action());
        throw;
    }
    off->End(action());
} catch (const css::uno::Exception& e) {
    Fail(e);
}

void CalcWorksheet::TakeApart(const Area& area, std::vector<MergeStep>* done) {
    for (const Area& m : MergedAreas(area)) {
        Changed(m.r1, m.r2);  // the whole merged area, which may reach beyond the area
        Reference<util::XMergeable>(RangeOf(m), UNO_QUERY_THROW)->merge(false);
        if (done) done->push_back({false, m});
    }
}

void CalcWorksheet::UnMerge(const Area& area) try {
    const Timed timed(Member::UnMerge);
    TakeApart(area, nullptr);
} catch (const css::uno::Exception& e) {
    Fail(e);
}

std::optional<Area> CalcWorksheet::MergeArea(int row, int column) const try {
    const Timed timed(Member::MergeArea);
    Check();
    if (column > LastColumn()) return std::nullopt;
    Reference<sheet::XSheetCellCursor> cursor =
        sheet_->createCursorByRange(Reference<sheet::XSheetCellRange>(
            sheet_->getCellRangeByPosition(column - 1, row - 1, column - 1, row - 1), UNO_QUERY_THROW));
    cursor->collapseToMergedArea();
    const Area a = AreaOf(Reference<sheet::XCellRangeAddressable>(cursor, UNO_QUERY_THROW)->getRangeAddress(),
                          LastColumn() + 1);
    if (a.single()) return std::nullopt;
    return a;
} catch (const css::uno::Exception& e) {
    Fail(e);
}

std::vector<Area> CalcWorksheet::MergedAreas(const Area& within) const try {
    const Timed timed(Member::MergedAreas);
    Check();
    // Calc says whether a range holds the top-left cell of a merged area: the
    // range is halved until the cells are found. Areas that begin above or left
    // of it reach into its first row or first column.
    std::vector<Area> out;
    const Area used = UsedRange();
    Area box = within;
    box.r2 = std::min(box.r2, std::max(used.r2, 1));
    box.c2 = std::min({box.c2, std::max(used.c2, 1), LastColumn()});
    if (box.r1 > box.r2 || box.c1 > box.c2) return out;
    auto add = [&](const Area& a) {
        if (a.intersects(within) && std::find(out.begin(), out.end(), a) == out.end()) out.push_back(a);
    };
    std::vector<Area> todo{box};
    while (!todo.empty()) {
        const Area a = todo.back();
        todo.pop_back();
        Reference<util::XMergeable> m(
            sheet_->getCellRangeByPosition(a.c1 - 1, a.r1 - 1, a.c2 - 1, a.r2 - 1), UNO_QUERY_THROW);
        if (!m->getIsMerged()) continue;
        if (a.single()) {
            if (auto area = MergeArea(a.r1, a.c1)) add(*area);
            continue;
        }
        if (a.rows() >= a.columns()) {
            const int mid = a.r1 + (a.rows() - 1) / 2;
            todo.push_back({mid + 1, a.c1, a.r2, a.c2});
            todo.push_back({a.r1, a.c1, mid, a.c2});
        } else {
            const int mid = a.c1 + (a.columns() - 1) / 2;
            todo.push_back({a.r1, mid + 1, a.r2, a.c2});
            todo.push_back({a.r1, a.c1, a.r2, mid});
        }
    }
    if (box.r1 > 1)
        for (int c = box.c1; c <= box.c2; ++c)
            if (auto a = MergeArea(box.r1, c); a && a->r1 < box.r1) add(*a);
    if (box.c1 > 1)
        for (int r = box.r1; r <= box.r2; ++r)
            if (auto a = MergeArea(r, box.c1); a && a->c1 < box.c1) add(*a);
    std::sort(out.begin(), out.end(), [](const Area& x, const Area& y) {
        return x.r1 != y.r1 ? x.r1 < y.r1 : x.c1 < y.c1;
    });
    return out;
} catch (const css::uno::Exception& e) {
    Fail(e);
}

Area CalcWorksheet::UsedRange() const try {
    const Timed timed(Member::UsedRange);
    Check();
    // Calc's used area: cells with contents or visible formats.
    Reference<sheet::XSheetCellCursor> cursor = sheet_->createCursor();
    Reference<sheet::XUsedAreaCursor> used(cursor, UNO_QUERY_THROW);
    used->gotoStartOfUsedArea(false);
    used->gotoEndOfUsedArea(true);
    Area a = AreaOf(Reference<sheet::XCellRangeAddressable>(cursor, UNO_QUERY_THROW)->getRangeAddress(),
                    LastColumn() + 1);
    return a;
} catch (const css::uno::Exception& e) {
    Fail(e);
}

// ------------------------------------------------------------------ hyperlinks

void CalcWorksheet::AddHyperlink(const host::Hyperlink& link) try {
    Changed(link.anchor.r1, link.anchor.r1);
    Check();
    Reference<table::XCell> cell = sheet_->getCellByPosition(link.anchor.c1 - 1, link.anchor.r1 - 1);
    Reference<css::text::XText> text(cell, UNO_QUERY_THROW);
    std::string url = link.address;
    if (!link.subAddress.empty()) {
        // "список!A1" is "#список.A1" in Calc
        std::string sub = link.subAddress;
        if (auto bang = sub.rfind('!'); bang != std::string::npos) sub[bang] = '.';
        url += "#" + sub;
    }
    std::string shown = link.textToDisplay;
    if (shown.empty()) shown = S(text->getString());
    if (shown.empty()) shown = link.address.empty() ? link.subAddress : link.address;
    Reference<lang::XMultiServiceFactory> factory(book_.Model(), UNO_QUERY_THROW);
    Reference<beans::XPropertySet> field(factory->createInstance("com.sun.star.text.TextField.URL"), UNO_QUERY_THROW);
    field->setPropertyValue("URL", Any(U(url)));
    field->setPropertyValue("Representation", Any(U(shown)));
    text->setString(OUString());
    // inserted at a cursor of the cell's text: Calc takes fields only there
    Reference<css::text::XTextCursor> cursor = text->createTextCursor();
    text->insertTextContent(Reference<css::text::XTextRange>(cursor, UNO_QUERY_THROW),
                            Reference<css::text::XTextContent>(field, UNO_QUERY_THROW), false);
} catch (const css::uno::Exception& e) {
    Fail(e);
}

std::vector<host::Hyperlink> CalcWorksheet::Hyperlinks() const try {
    const Timed timed(Member::Hyperlinks);
    Check();
    // No list of links: the text fields of the cells that hold text.
    std::vector<host::Hyperlink> out;
    Reference<sheet::XCellRangesQuery> query(sheet_, UNO_QUERY_THROW);
    Reference<container::XEnumerationAccess> cells(query->queryContentCells(sheet::CellFlags::STRING)->getCells(),
                                                   UNO_QUERY_THROW);
    Reference<container::XEnumeration> e = cells->createEnumeration();
    while (e->hasMoreElements()) {
        Reference<css::text::XTextFieldsSupplier> fields(e->nextElement(), UNO_QUERY);
        if (!fields.is()) continue;
        Reference<container::XEnumeration> f = fields->getTextFields()->createEnumeration();
        while (f->hasMoreElements()) {
            Reference<beans::XPropertySet> field(f->nextElement(), UNO_QUERY);
            OUString url, shown;
            if (!field.is() || !(field->getPropertyValue("URL") >>= url)) continue;
            field->getPropertyValue("Representation") >>= shown;
            const table::CellAddress at = Reference<sheet::XCellAddressable>(fields, UNO_QUERY_THROW)->getCellAddress();
            host::Hyperlink link;
            link.anchor = {at.Row + 1, at.Column + 1, at.Row + 1, at.Column + 1};
            std::string u = S(url);
            if (auto hash = u.find('#'); hash != std::string::npos) {
                link.subAddress = u.substr(hash + 1);
                if (auto dot = link.subAddress.rfind('.'); dot != std::string::npos) link.subAddress[dot] = '!';
                u.resize(hash);
            }
            link.address = u;
            link.textToDisplay = S(shown);
            out.push_back(link);
        }
    }
    return out;
} catch (const css::uno::Exception& e) {
    Fail(e);
}

// ------------------------------------------------------------------ page breaks

std::vector<int> CalcWorksheet::HPageBreaks() const try {
    const Timed timed(Member::PageBreaks);
    Check();
    std::vector<int> rows;
    for (sal_Int32 b : ManualRowBreaks(sheet_)) rows.push_back(b + 1);
    return rows;
} catch (const css::uno::Exception& e) {
    Fail(e);
}

void CalcWorksheet::AddHPageBreak(int row) try {
    const Timed timed(Member::PageBreaks);
    Check();
    Reference<beans::XPropertySet> r(
        Reference<table::XColumnRowRange>(sheet_, UNO_QUERY_THROW)->getRows()->getByIndex(row - 1), UNO_QUERY_THROW);
    r->setPropertyValue("IsStartOfNewPage", Any(true));
} catch (const css::uno::Exception& e) {
    Fail(e);
}

void CalcWorksheet::RemoveHPageBreak(int row) try {
    const Timed timed(Member::PageBreaks);
    Check();
    Reference<beans::XPropertySet> r(
        Reference<table::XColumnRowRange>(sheet_, UNO_QUERY_THROW)->getRows()->getByIndex(row - 1), UNO_QUERY_THROW);
    r->setPropertyValue("IsStartOfNewPage", Any(false));
} catch (const css::uno::Exception& e) {
    Fail(e);
}

}  // namespace ormelin::calc
