// The Calc host's own undo actions (calc_undo.hpp).
#include "calc/calc_undo.hpp"

#include <algorithm>

#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/document/UndoFailedException.hpp>
#include <com/sun/star/document/XUndoManagerSupplier.hpp>
#include <com/sun/star/sheet/TablePageBreakData.hpp>
#include <com/sun/star/sheet/XSheetCellCursor.hpp>
#include <com/sun/star/sheet/XSheetPageBreak.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XUsedAreaCursor.hpp>
#include <com/sun/star/sheet/XCellRangeAddressable.hpp>
#include <com/sun/star/table/XColumnRowRange.hpp>
#include <com/sun/star/table/XTableColumns.hpp>
#include <com/sun/star/table/XTableRows.hpp>
#include <com/sun/star/util/XMergeable.hpp>
#include <cppuhelper/exc_hlp.hxx>
#include <cppuhelper/implbase1.hxx>

using namespace css;
using css::uno::Any;
using css::uno::Reference;
using css::uno::Sequence;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;
using rtl::OUString;

namespace ormelin::calc {

void Relock(const Reference<document::XUndoManager>& undo) {
    if (undo->isLocked()) return;
    undo->unlock();
    undo->lock();
}

UndoLock::UndoLock(Reference<document::XUndoManager> undo) : undo_(std::move(undo)) { undo_->lock(); }

UndoLock::~UndoLock() {
    try {
        undo_->unlock();
    } catch (const css::uno::Exception&) {
    }
}

std::vector<sal_Int32> ManualRowBreaks(const Reference<sheet::XSpreadsheet>& sheet) {
    std::vector<sal_Int32> out;
    // The sheet's list of breaks (marked deprecated, and still the one call that gives them).
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    const Sequence<sheet::TablePageBreakData> breaks =
        Reference<sheet::XSheetPageBreak>(sheet, UNO_QUERY_THROW)->getRowPageBreaks();
#pragma GCC diagnostic pop
    for (const sheet::TablePageBreakData& b : breaks)
        if (b.ManualBreak) out.push_back(b.Position);
    return out;
}

namespace {

/// Runs changes of an undo action's own on the sheet at a position of the
/// document. Calc records a change made while it undoes or redoes a step as a new
/// step and drops the redo list, the running step among it: the changes run
/// under an UndoLock (and call Relock after each). A failure is the action's
/// (UndoFailedException).
template <class F>
void RunLocked(cppu::OWeakObject* action, const Reference<sheet::XSpreadsheetDocument>& doc, sal_Int32 index, F f) {
    try {
        Reference<document::XUndoManager> undo =
            Reference<document::XUndoManagerSupplier>(doc, UNO_QUERY_THROW)->getUndoManager();
        Reference<container::XIndexAccess> sheets(doc->getSheets(), UNO_QUERY_THROW);
        const Reference<sheet::XSpreadsheet> sheet(sheets->getByIndex(index), UNO_QUERY_THROW);
        const UndoLock lock(undo);
        f(sheet, undo);
    } catch (const document::UndoFailedException&) {
        throw;
    } catch (const css::uno::Exception& e) {
        throw document::UndoFailedException(e.Message, action, cppu::getCaughtException());
    }
}

/// The sheet is found by its position when the action runs: Calc's undo of a
/// later step may have made its object anew.
class MergeUndo final : public cppu::WeakImplHelper1<document::XUndoAction> {
public:
    MergeUndo(Reference<sheet::XSpreadsheetDocument> doc, sal_Int32 sheet, int lastColumn, std::vector<MergeStep> steps)
        : doc_(std::move(doc)), sheet_(sheet), lastColumn_(lastColumn), steps_(std::move(steps)) {}

    OUString SAL_CALL getTitle() override { return "ormelin: merges"; }
    void SAL_CALL undo() override {
        RunLocked(this, doc_, sheet_, [&](const auto& sheet, const auto& undo) {
            for (auto s = steps_.rbegin(); s != steps_.rend(); ++s) {
                MergeOf(sheet, s->area)->merge(!s->merged);
                Relock(undo);
            }
        });
    }
    void SAL_CALL redo() override {
        RunLocked(this, doc_, sheet_, [&](const auto& sheet, const auto& undo) {
            for (const MergeStep& s : steps_) {
                MergeOf(sheet, s.area)->merge(s.merged);
                Relock(undo);
            }
        });
    }

private:
    Reference<util::XMergeable> MergeOf(const Reference<sheet::XSpreadsheet>& sheet, const host::Area& a) const {
        return Reference<util::XMergeable>(
            sheet->getCellRangeByPosition(a.c1 - 1, a.r1 - 1, std::min(a.c2, lastColumn_) - 1, a.r2 - 1),
            UNO_QUERY_THROW);
    }

    Reference<sheet::XSpreadsheetDocument> doc_;
    sal_Int32 sheet_;
    int lastColumn_;
    std::vector<MergeStep> steps_;
};

/// A row's or column's size (1/100 mm) and, for a row, whether a manual break
/// begins a page at it.
struct Size {
    sal_Int32 size = 0;
    bool manualBreak = false;
};

Size SizeOf(const Reference<container::XIndexAccess>& all, sal_Int32 i, bool row) {
    Size out;
    Reference<beans::XPropertySet> p(all->getByIndex(i), UNO_QUERY_THROW);
    p->getPropertyValue(row ? OUString("Height") : OUString("Width")) >>= out.size;
    if (row) p->getPropertyValue("IsManualPageBreak") >>= out.manualBreak;
    return out;
}

/// A sheet's rows and columns up to its used area.
struct Layout {
    sal_Int32 sheet = 0;
    std::vector<Size> rows, columns;
};

/// Gives rows or columns the sizes and breaks wanted where they differ: a run of
/// one size in one property set.
void GiveSizes(const Reference<sheet::XSpreadsheet>& sheet, const Reference<container::XIndexAccess>& all,
               const std::vector<Size>& want, bool row, const Reference<document::XUndoManager>& undo) {
    const sal_Int32 n = static_cast<sal_Int32>(want.size());
    std::vector<Size> now(want.size());
    for (sal_Int32 i = 0; i < n; ++i) now[i] = SizeOf(all, i, row);
    for (sal_Int32 i = 0; i < n;) {
        if (now[i].size == want[i].size) {
            ++i;
            continue;
        }
        sal_Int32 j = i;
        while (j + 1 < n && now[j + 1].size != want[j + 1].size && want[j + 1].size == want[i].size) ++j;
        Reference<table::XColumnRowRange> run(
            row ? sheet->getCellRangeByPosition(0, i, 0, j) : sheet->getCellRangeByPosition(i, 0, j, 0), UNO_QUERY_THROW);
        Reference<beans::XPropertySet>(row ? Reference<uno::XInterface>(run->getRows()) : Reference<uno::XInterface>(run->getColumns()),
                                       UNO_QUERY_THROW)
            ->setPropertyValue(row ? OUString("Height") : OUString("Width"), Any(want[i].size));
        Relock(undo);
        i = j + 1;
    }
    if (!row) return;
    // A break the redo left further down, below the rows kept, goes too.
    std::vector<sal_Int32> breaks = ManualRowBreaks(sheet);
    for (sal_Int32 i = 0; i < n; ++i)
        if (want[i].manualBreak) breaks.push_back(i);
    std::sort(breaks.begin(), breaks.end());
    breaks.erase(std::unique(breaks.begin(), breaks.end()), breaks.end());
    for (sal_Int32 r : breaks) {
        const bool wanted = r < n && want[r].manualBreak;
        const bool is = r < n ? now[r].manualBreak : true;
        if (wanted == is) continue;
        Reference<beans::XPropertySet>(all->getByIndex(r), UNO_QUERY_THROW)->setPropertyValue("IsStartOfNewPage", Any(wanted));
        Relock(undo);
    }
}

class LayoutRedo final : public cppu::WeakImplHelper1<document::XUndoAction> {
public:
    LayoutRedo(Reference<sheet::XSpreadsheetDocument> doc, std::vector<Layout> layouts)
        : doc_(std::move(doc)), layouts_(std::move(layouts)) {}

    OUString SAL_CALL getTitle() override { return "ormelin: row heights and column widths"; }
    void SAL_CALL undo() override {}
    void SAL_CALL redo() override {
        for (const Layout& l : layouts_)
            RunLocked(this, doc_, l.sheet, [&](const Reference<sheet::XSpreadsheet>& sheet, const auto& undo) {
                Reference<table::XColumnRowRange> cr(sheet, UNO_QUERY_THROW);
                GiveSizes(sheet, Reference<container::XIndexAccess>(cr->getRows(), UNO_QUERY_THROW), l.rows, true, undo);
                GiveSizes(sheet, Reference<container::XIndexAccess>(cr->getColumns(), UNO_QUERY_THROW), l.columns, false,
                          undo);
            });
    }

private:
    Reference<sheet::XSpreadsheetDocument> doc_;
    std::vector<Layout> layouts_;
};

}  // namespace

Reference<document::XUndoAction> MergeUndoOf(const Reference<sheet::XSpreadsheetDocument>& doc, sal_Int32 sheet,
                                             int lastColumn, std::vector<MergeStep> steps) {
    return new MergeUndo(doc, sheet, lastColumn, std::move(steps));
}

Reference<document::XUndoAction> LayoutForRedo(const Reference<sheet::XSpreadsheetDocument>& doc,
                                               const std::vector<sal_Int32>& sheets) {
    std::vector<Layout> layouts;
    Reference<container::XIndexAccess> all(doc->getSheets(), UNO_QUERY_THROW);
    for (sal_Int32 index : sheets) {
        const Reference<sheet::XSpreadsheet> sheet(all->getByIndex(index), UNO_QUERY_THROW);
        Reference<sheet::XSheetCellCursor> cursor = sheet->createCursor();
        Reference<sheet::XUsedAreaCursor>(cursor, UNO_QUERY_THROW)->gotoEndOfUsedArea(false);
        const table::CellRangeAddress end =
            Reference<sheet::XCellRangeAddressable>(cursor, UNO_QUERY_THROW)->getRangeAddress();
        Layout l;
        l.sheet = index;
        Reference<table::XColumnRowRange> cr(sheet, UNO_QUERY_THROW);
        Reference<container::XIndexAccess> rows(cr->getRows(), UNO_QUERY_THROW);
        Reference<container::XIndexAccess> columns(cr->getColumns(), UNO_QUERY_THROW);
        // the row after the used area too: the last sheet's bottom line breaks before it
        const sal_Int32 lastRow = std::min(end.EndRow + 1, rows->getCount() - 1);
        for (sal_Int32 r = 0; r <= lastRow; ++r) l.rows.push_back(SizeOf(rows, r, true));
        for (sal_Int32 c = 0; c <= end.EndColumn; ++c) l.columns.push_back(SizeOf(columns, c, false));
        layouts.push_back(std::move(l));
    }
    return new LayoutRedo(doc, std::move(layouts));
}

UndoOff::UndoOff(const Reference<frame::XModel>& model) {
    props_.set(model, UNO_QUERY);
    Reference<document::XUndoManagerSupplier> supplier(model, UNO_QUERY);
    if (!props_.is() || !supplier.is()) return;
    undo_ = supplier->getUndoManager();
    bool enabled = false;
    props_->getPropertyValue("IsUndoEnabled") >>= enabled;
    if (!enabled || !undo_.is() || undo_->isLocked()) return;
    undo_->enterUndoContext("ormelin");
    entered_ = true;
    props_->setPropertyValue("IsUndoEnabled", Any(false));
    off_ = true;
}

UndoOff::~UndoOff() {
    try {
        End(nullptr);
    } catch (...) {
    }
}

void UndoOff::End(const Reference<document::XUndoAction>& action) {
    if (off_) {
        off_ = false;
        props_->setPropertyValue("IsUndoEnabled", Any(true));
    }
    if (!entered_) return;
    entered_ = false;
    if (action.is()) undo_->addUndoAction(action);
    undo_->leaveUndoContext();
}

}  // namespace ormelin::calc
