// The one home of the list row heights that lists, forming, rollback and the
// command share: every list data row is 26 points high, and every row forming
// inserts differs from that by more than the tolerance.
#pragma once

namespace ormelin::lists {

/// The height every list data row has, in points.
inline constexpr double kListRowHeight = 26;
/// The tolerance by which a row of another height still counts as a list row.
inline constexpr double kHeightTolerance = 0.4;
/// The height of a list's column-head row, and of the repeated column-head row of
/// every further sheet.
inline constexpr double kHeadRowHeight = 43;

/// Whether a row of this height is a list row (rollback keeps exactly these; a
/// hidden row, of height 0, counts as one).
constexpr bool IsListRowHeight(double h) {
    const double d = h - kListRowHeight;
    return h == 0 || !(d > kHeightTolerance || d < -kHeightTolerance);
}

}  // namespace ormelin::lists
