// Where a command's time goes inside Calc: with the environment variable
// ORMELIN_CALC_TIMING naming a file, the host counts the calls of each of its
// members and the time they took (the outermost call only: a member that calls
// another counts once), and the application appends the totals to that file
// when it ends (calc/tests/time_forming.py prints them).
#pragma once

#include <chrono>
#include <string>

namespace ormelin::calc {

enum class Member {
    Content, SetValue, SetLiteral, SetFormula, CellText, Text, CellStyle, Format, SetCellStyle, RowHeightGet,
    RowHeightSet, ColumnWidthGet, ColumnWidthSet, InsertRows, DeleteRows, InsertColumns, DeleteColumns, InsertCells,
    DeleteCells, Clear, ClearContents, CopyTo, Merge, MergeEach, UnMerge, MergeArea, MergedAreas, UsedRange, Hyperlinks,
    PageBreaks, Flush, Count
};

/// Whether the journal is kept (ORMELIN_CALC_TIMING set and not empty).
bool Timing();

/// Counts one call of a member and its time, when the journal is kept.
class Timed {
public:
    explicit Timed(Member m);
    ~Timed();
    Timed(const Timed&) = delete;
    Timed& operator=(const Timed&) = delete;

private:
    Member member_;
    bool counted_ = false;
    std::chrono::steady_clock::time_point start_;
};

/// Appends the totals since the last call to the journal ("member calls ms" lines,
/// the costliest first) and starts them again.
void WriteTimes();

}  // namespace ormelin::calc
