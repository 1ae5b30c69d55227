// What forming does on every form, before and after the sheets are cut: the window
// prepared and the list rows given the list row height first; the print setup of
// the formed sheets (each step on its own, a step that fails is skipped) and the
// window's last settings at the end. The form's geometry says where and how.
#pragma once

#include <functional>

#include "forming/geometry.hpp"
#include "ormelin/host.hpp"

namespace ormelin::forming {

/// Runs one step of the print setup; a step that fails is skipped.
void Try(const std::function<void()>& step);

/// The form's column widths, from column `from` to its last.
void ColumnWidthsOf(host::Worksheet& w, const SheetGeometry& g, int from);

/// The screen repainted once, the panes frozen under the head rows, zeros hidden.
void PrepareWindow(host::Application& app, host::Worksheet& w, const SheetGeometry& g);

/// Every list data row from the first on that is not hidden gets the list row
/// height, so that every sheet is as high as the form's print zoom is made for,
/// and rollback keeps exactly these rows.
void ListRowsToListHeight(host::Worksheet& w, int firstDataRow);

/// Page setup (print area, no margins, centred, orientation, paper, the form's
/// print zoom),
/// gridlines off and page break preview on the window, and a horizontal page
/// break before the first row of every sheet after the first (one after the last
/// sheet too); a document of one sheet drops the sheet's first break instead,
/// unless the form keeps a break after a single sheet.
/// Each step runs on its own.
void SetUpPrinting(host::Application& app, host::Worksheet& w, const SheetGeometry& g, int sheets);

/// The window's zoom and screen updating on, at the end of forming; after a
/// print setup (tolerant) a failing step is skipped.
void EndForming(host::Application& app, const SheetGeometry& g, bool tolerant);

}  // namespace ormelin::forming
