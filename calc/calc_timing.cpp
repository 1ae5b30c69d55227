// The host's timing journal (calc_timing.hpp).
#include "calc_timing.hpp"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <fstream>
#include <vector>

namespace ormelin::calc {

namespace {

constexpr const char* kNames[] = {
    "Content", "SetValue", "SetLiteral", "SetFormula", "CellText", "Text", "CellStyle", "Format", "SetCellStyle",
    "RowHeight (read)", "RowHeight (set)", "ColumnWidth (read)", "ColumnWidth (set)", "InsertRows", "DeleteRows",
    "InsertColumns", "DeleteColumns", "InsertCells", "DeleteCells", "Clear", "ClearContents", "CopyTo", "Merge",
    "MergeEach", "UnMerge", "MergeArea", "MergedAreas", "UsedRange", "Hyperlinks", "PageBreaks", "Flush"};
static_assert(std::size(kNames) == static_cast<std::size_t>(Member::Count));

struct Total {
    long long calls = 0;
    std::chrono::steady_clock::duration time{};
};

std::array<Total, static_cast<std::size_t>(Member::Count)> totals;
int depth = 0;  // calls under way: only the outermost is counted

const char* Journal() {
    static const char* path = [] {
        const char* p = std::getenv("ORMELIN_CALC_TIMING");
        return p && *p ? p : nullptr;
    }();
    return path;
}

}  // namespace

bool Timing() { return Journal() != nullptr; }

Timed::Timed(Member m) : member_(m) {
    if (!Timing()) return;
    counted_ = depth++ == 0;
    if (counted_) start_ = std::chrono::steady_clock::now();
}

Timed::~Timed() {
    if (!Timing()) return;
    --depth;
    if (!counted_) return;
    Total& t = totals[static_cast<std::size_t>(member_)];
    ++t.calls;
    t.time += std::chrono::steady_clock::now() - start_;
}

void WriteTimes() {
    if (!Timing()) return;
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < totals.size(); ++i)
        if (totals[i].calls) order.push_back(i);
    std::sort(order.begin(), order.end(), [](std::size_t a, std::size_t b) { return totals[a].time > totals[b].time; });
    std::ofstream out(Journal(), std::ios::app);
    for (const std::size_t i : order)
        out << "  " << kNames[i] << '\t' << totals[i].calls << " calls\t"
            << std::chrono::duration<double, std::milli>(totals[i].time).count() << " ms\n";
    totals = {};
}

}  // namespace ormelin::calc
