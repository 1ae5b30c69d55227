// The Calc host's own undo actions (calc_undo.hpp).
#include "calc/calc_undo.hpp"

#include <algorithm>
#include <set>

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

std::set<sal_Int32> ManualRowBreaks(const Reference<sheet::XSpreadsheet>& sheet) {
    std::set<sal_Int32> out;
    // The sheet's list of breaks (marked deprecated, and still the one call that gives them).
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    const Sequence<sheet::TablePageBreakData> breaks =
        Reference<sheet::XSheetPageBreak>(sheet, UNO_QUERY_THROW)->getRowPageBreaks();
#pragma GCC diagnostic pop
    for (const sheet::TablePageBreakData& b : breaks)
        if (b.ManualBreak) out.insert(b.Position);
    return out;
}

namespace {

/// Runs changes of an undo action's own on the sheet at a position of the
/// document. Calc records a change made while it undoes or redoes a step as a new
/// step and drops the redo list, the running step among it: the undo manager is
/// kept locked for the changes (the changes call Relock after each), and unlocked
/// once. A failure is the action's (UndoFailedException).
template <class F>
void RunLocked(cppu::OWeakObject* action, const Reference<sheet::XSpreadsheetDocument>& doc, sal_Int32 index, F f) {
    try {
        Reference<document::XUndoManager> undo =
            Reference<document::XUndoManagerSupplier>(doc, UNO_QUERY_THROW)->getUndoManager();
        Reference<container::XIndexAccess> sheets(doc->getSheets(), UNO_QUERY_THROW);
        const Reference<sheet::XSpreadsheet> sheet(sheets->getByIndex(index), UNO_QUERY_THROW);
        undo->lock();
        try {
            f(sheet, undo);
        } catch (...) {
            undo->unlock();
            throw;
        }
        undo->unlock();
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

/// A sheet's row heights and column widths (1/100 mm) up to its used area, and its
/// manual row breaks.
struct Layout {
    sal_Int32 sheet = 0;
    std::vector<sal_Int32> heights, widths;
    std::set<sal_Int32> breaks;
};

/// Sizes of rows or columns, in runs of one size: one property set a run.
template <class Get, class Set>
void GiveSizes(const std::vector<sal_Int32>& want, Get get, Set set, const Reference<document::XUndoManager>& undo) {
    const sal_Int32 n = static_cast<sal_Int32>(want.size());
    std::vector<bool> differs(want.size());
    for (sal_Int32 i = 0; i < n; ++i) differs[i] = get(i) != want[i];
    for (sal_Int32 i = 0; i < n;) {
        if (!differs[i]) {
            ++i;
            continue;
        }
        sal_Int32 j = i;
        while (j + 1 < n && differs[j + 1] && want[j + 1] == want[i]) ++j;
        set(i, j, want[i]);
        Relock(undo);
        i = j + 1;
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
                Reference<container::XIndexAccess> rows(cr->getRows(), UNO_QUERY_THROW);
                Reference<container::XIndexAccess> columns(cr->getColumns(), UNO_QUERY_THROW);
                GiveSizes(
                    l.heights, [&](sal_Int32 r) { return Size(rows, r, "Height"); },
                    [&](sal_Int32 r1, sal_Int32 r2, sal_Int32 v) {
                        Reference<table::XColumnRowRange> run(sheet->getCellRangeByPosition(0, r1, 0, r2),
                                                              UNO_QUERY_THROW);
                        Reference<beans::XPropertySet>(run->getRows(), UNO_QUERY_THROW)
                            ->setPropertyValue("Height", Any(v));
                    },
                    undo);
                GiveSizes(
                    l.widths, [&](sal_Int32 c) { return Size(columns, c, "Width"); },
                    [&](sal_Int32 c1, sal_Int32 c2, sal_Int32 v) {
                        Reference<table::XColumnRowRange> run(sheet->getCellRangeByPosition(c1, 0, c2, 0),
                                                              UNO_QUERY_THROW);
                        Reference<beans::XPropertySet>(run->getColumns(), UNO_QUERY_THROW)
                            ->setPropertyValue("Width", Any(v));
                    },
                    undo);
                const std::set<sal_Int32> now = ManualRowBreaks(sheet);
                for (sal_Int32 r : now)
                    if (!l.breaks.count(r)) {
                        Reference<beans::XPropertySet>(rows->getByIndex(r), UNO_QUERY_THROW)
                            ->setPropertyValue("IsStartOfNewPage", Any(false));
                        Relock(undo);
                    }
                for (sal_Int32 r : l.breaks)
                    if (!now.count(r)) {
                        Reference<beans::XPropertySet>(rows->getByIndex(r), UNO_QUERY_THROW)
                            ->setPropertyValue("IsStartOfNewPage", Any(true));
                        Relock(undo);
                    }
            });
    }

    static sal_Int32 Size(const Reference<container::XIndexAccess>& all, sal_Int32 i, const char* name) {
        sal_Int32 v = 0;
        Reference<beans::XPropertySet>(all->getByIndex(i), UNO_QUERY_THROW)->getPropertyValue(OUString::createFromAscii(name)) >>= v;
        return v;
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
        for (sal_Int32 r = 0; r <= end.EndRow; ++r) l.heights.push_back(LayoutRedo::Size(rows, r, "Height"));
        for (sal_Int32 c = 0; c <= end.EndColumn; ++c) l.widths.push_back(LayoutRedo::Size(columns, c, "Width"));
        l.breaks = ManualRowBreaks(sheet);
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
