// The lists module: drawing a kind's list (blank sheet, column widths and head,
// link cell) on a given worksheet, and inserting and removing list rows.
//
// The layout routines report their failures rather than throwing them: a failure
// stops the layout at its step and is handed to the caller's report function with
// the routine's name ("SPA_ColumnsWidthAndHead", ...); the call then returns
// normally. The row routines throw.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <optional>

#include "ormelin/host.hpp"
#include "ormelin/state.hpp"

namespace ormelin::lists {

/// The list layouts (the kind table names them): one per kind, and the list of
/// elements without its zone column, whose head rollback redraws.
using Layout = ListLayout;

/// Receives a layout routine's failure: its name and the exception. Without one
/// (an empty function) the failure is thrown to the caller.
using ReportFn = std::function<void(const char* routine, std::exception_ptr failure)>;

/// The name a layout reports its failures under.
const char* RoutineOf(Layout layout);

/// The layout a list state draws on rollback (the list of elements without the
/// zone column its own), or nothing for a kind without a list layout.
std::optional<Layout> LayoutOfList(std::int32_t listState);

/// Column widths, column formats, the head and the link cell of a layout on the
/// sheet. With bOtkat (rollback) the formats and texts that only a blank list
/// takes are left out.
void ColumnsWidthAndHead(const std::shared_ptr<host::Worksheet>& sheet, Layout layout, bool bOtkat,
                         const ReportFn& report);

/// The sheet wiped and given the base list format, list row height and head row.
void SheetPrepare(host::Application& app, const std::shared_ptr<host::Worksheet>& sheet);

/// The empty list of a state on the sheet, under frozen panes; a state without a
/// list leaves the prepared sheet. Errors outside the layout end the call.
void DocumentBlank(host::Application& app, const std::shared_ptr<host::Worksheet>& sheet, ksStateOfDocument kssod,
                   const ReportFn& report);

/// Inserts a list row with the list row format at row r (1-based) of the range.
void RowInsert(const host::Range& target, int r);

/// Deletes every row from row n down whose height marks it as no list row (a
/// hidden row counts as a list row). Error(ObjectRequired) without a sheet.
void RowDelete(const std::shared_ptr<host::Worksheet>& sheet, int n);

}  // namespace ormelin::lists
