// A service object over the embedded model with list sheets of every A4 kind, and
// readers of what a formed document shows.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/kalvora_fixture.hpp"

namespace ormelin::testing_support {

class FormingTest : public KalvoraTest {
protected:
    /// The column of each kind's list that holds the position, name or designation:
    /// a column that takes free text in every kind.
    static int TextColumn(ksStateOfDocument kind) {
        switch (kind) {
            case ksSPA_OT: return 4;   // D "Обозначение"
            case ksPE_OT_1: return 3;  // C "Наименование"
            case ksPE_OT_2: return 2;  // B "Наименование"
            case ksVN_OT: return 2;    // B designation
            default: return 1;         // A "Обозначение документа"
        }
    }
    /// The number of list columns of a kind (without the link cell).
    static int ListColumns(ksStateOfDocument kind) {
        switch (kind) {
            case ksSPA_OT: return 7;
            case ksPE_OT_1: return 5;
            case ksPE_OT_2: return 4;
            case ksVN_OT: return 4;
            default: return 5;
        }
    }

    /// Draws the empty list of a kind on ws. The list of elements without the zone
    /// column is the list of elements whose column A the user deleted.
    void Blank(ksStateOfDocument kind) {
        k->DocumentBlank(ws, kind == ksPE_OT_2 ? ksPE_OT_1 : kind);
        if (kind == ksPE_OT_2) ws->DeleteColumns(1, 1);
        if (kind == ksVE_OT) ws->ClearContents(A("A2:E10"));  // the pre-filled first entry
    }

    /// A list of n data rows, row i holding "строка i" in the kind's text column.
    void FillList(ksStateOfDocument kind, int n) {
        Blank(kind);
        const int c = TextColumn(kind);
        for (int i = 1; i <= n; ++i) ws->SetValue(host::Area{i + 1, c, i + 1, c}, "строка " + std::to_string(i));
    }

    /// Where "строка i" stands after forming, as its worksheet row (0: nowhere).
    int RowOfEntry(int col, int i) const {
        const std::string want = "строка " + std::to_string(i);
        const int last = ws->UsedRange().r2;
        for (int r = 1; r <= last; ++r)
            if (ws->CellText(r, col) == want) return r;
        return 0;
    }

    host::CellContent Content(const std::string& cell) const {
        const auto a = A(cell);
        return ws->Content(a.r1, a.c1);
    }

    bool Form(bool forPrint = false, bool pageRevi = false) { return k->Forming(ws, forPrint, pageRevi); }
    std::int32_t State() { return k->StateOfDocument(ws); }
};

}  // namespace ormelin::testing_support
