// What every forming routine does at its end: the list rows' height before the
// sheets are cut, the print setup of the formed sheets (each step on its own, a
// step that fails is skipped) and the window's last settings.
#pragma once

#include <functional>

#include "ormelin/host.hpp"

namespace ormelin::forming {

/// The paper a formed document is printed on.
struct Paper {
    const char* printArea;  // "$A:$Z"
    host::PageOrientation orientation;
    int paperSize;  // 9 A4, 8 A3
};

inline constexpr Paper kPaperA4Portrait{"$A:$Z", host::PageOrientation::Portrait, 9};
inline constexpr Paper kPaperA3Landscape{"$A:$AS", host::PageOrientation::Landscape, 8};

/// Runs one step of the print setup; a step that fails is skipped.
void Try(const std::function<void()>& step);

/// Every list data row from firstDataRow down that is not hidden gets the list row
/// height, so that rollback, which keeps exactly the rows of that height, keeps
/// them all.
void ListRowsToListHeight(host::Worksheet& w, int firstDataRow);

/// Page setup (print area, no margins, centred, orientation, paper, zoom 100),
/// gridlines off and page break preview on the window, and the horizontal page
/// breaks before the first row of every sheet after the first: firstBreak,
/// firstBreak + sheetRows, ... (one after the last sheet too); a document of one
/// sheet keeps none. Each step runs on its own.
void SetUpPrinting(host::Application& app, host::Worksheet& w, const Paper& paper, int sheets, int firstBreak,
                   int sheetRows);

/// The window's zoom and screen updating on, at the end of forming; with tolerant
/// set (after a print setup) a failing step is skipped.
void EndForming(host::Application& app, int zoom, bool tolerant);

}  // namespace ormelin::forming
