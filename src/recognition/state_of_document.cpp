// Recognising what a worksheet holds: the displayed texts of a few header cells
// are compared with the header signatures of the kind table (state.hpp), in its
// order; the first signature that matches gives the code.
#include "recognition/recognition.hpp"

namespace ormelin::recognition {

namespace {

bool Matches(const host::Worksheet& w, const kinds::Signature& s) {
    bool all = true;
    for (const kinds::Probe& p : s) {  // every cell is read, matched or not
        if (!p.cell) break;
        const host::Area a = host::ParseAddress(p.cell);
        if (w.CellText(a.r1, a.c1) != p.text) all = false;
    }
    return all;
}

}  // namespace

ksStateOfDocument StateOf(const host::Worksheet& w) noexcept {
    try {
        for (const kinds::Recognised& s : kinds::kSignatures)
            if (Matches(w, s.probes)) return s.state;
    } catch (...) {
        // Recognition is silent: whatever fails, no document is recognised.
    }
    return ksDOC_NO;
}

}  // namespace ormelin::recognition
