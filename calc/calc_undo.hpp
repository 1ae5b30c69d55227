// Undo actions of the Calc host's own: for changes it makes without Calc's undo
// record (a run of merges), and for what Calc's redo of a command's step does
// not give back (row heights, column widths, manual breaks).
#pragma once

#include <vector>

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/document/XUndoAction.hpp>
#include <com/sun/star/document/XUndoManager.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>

#include "ormelin/host.hpp"

namespace ormelin::calc {

/// Calc's changes end with the undo manager unlocked (their own undo actions
/// not recorded): a host's change inside an undo or redo, or after it, locks it
/// again before the next change.
void Relock(const css::uno::Reference<css::document::XUndoManager>& undo);

/// The undo manager locked for the host's changes inside or after Calc's undo or
/// redo (Calc would record them as a new step and drop the redo list): locked
/// once, unlocked once (the lock is counted); Relock after every change.
class UndoLock {
public:
    explicit UndoLock(css::uno::Reference<css::document::XUndoManager> undo);
    ~UndoLock();
    UndoLock(const UndoLock&) = delete;
    UndoLock& operator=(const UndoLock&) = delete;

private:
    css::uno::Reference<css::document::XUndoManager> undo_;
};

/// The rows (0-based) where a manual break begins a page, in order.
std::vector<sal_Int32> ManualRowBreaks(const css::uno::Reference<css::sheet::XSpreadsheet>& sheet);

/// What a merge did: an area merged, or one taken apart to give way.
struct MergeStep {
    bool merged;
    host::Area area;
};

/// The undo of a run of merges made with Calc's undo off on the sheet at a
/// (0-based) position: the merges taken apart again and the areas that gave way
/// merged again, in the reverse order; redone in order.
css::uno::Reference<css::document::XUndoAction> MergeUndoOf(
    const css::uno::Reference<css::sheet::XSpreadsheetDocument>& doc, sal_Int32 sheet, int lastColumn,
    std::vector<MergeStep> steps);

/// The row heights, column widths and manual row breaks of the sheets at the
/// given (0-based) positions as they are now, as an action for the end of a
/// command's step: its redo gives them back where Calc's redo of the step left
/// others; its undo has nothing to do.
css::uno::Reference<css::document::XUndoAction> LayoutForRedo(
    const css::uno::Reference<css::sheet::XSpreadsheetDocument>& doc, const std::vector<sal_Int32>& sheets);

/// Calc's undo off for a run of changes the host undoes itself.
///
/// The document's switch (IsUndoEnabled) also empties the undo list that is open
/// when it is turned off, and gives the list the configured number of steps when
/// it is turned on: the run opens an undo context of its own first, so that this
/// is its own empty list, never the command's step or the user's undo list. The
/// run's own action goes into that context once the undo is on again. Nothing is
/// turned off when the document records no undo anyway (switched off, or the
/// undo manager locked).
class UndoOff {
public:
    explicit UndoOff(const css::uno::Reference<css::frame::XModel>& model);
    ~UndoOff();
    UndoOff(const UndoOff&) = delete;
    UndoOff& operator=(const UndoOff&) = delete;

    /// Whether Calc's undo is off (the changes need an action of their own).
    bool Off() const { return off_; }

    /// Turns the undo on again, adds the run's action (when there is one) and
    /// closes the context.
    void End(const css::uno::Reference<css::document::XUndoAction>& action);

private:
    css::uno::Reference<css::beans::XPropertySet> props_;
    css::uno::Reference<css::document::XUndoManager> undo_;
    bool entered_ = false, off_ = false;
};

}  // namespace ormelin::calc
