// A service object over the embedded spreadsheet model, with a scripted message
// box, and short readers of what a worksheet shows.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "ormelin/kalvora.hpp"
#include "ormelin/model.hpp"

namespace ormelin {

/// Reaches what the automation surface does not: the specification's layout on
/// the current worksheet, and the current worksheet itself.
struct KalvoraTestAccess {
    static void SPA_ColumnsWidthAndHead(Kalvora& k, bool bOtkat) {
        k.Typed().ColumnsWidthAndHead(ListLayout::SPA, bOtkat);
    }
    static void SetCurrent(Kalvora& k, std::shared_ptr<host::Worksheet> ws) { k.Typed().SetCurrentWorksheet(std::move(ws)); }
};

namespace testing_support {

class KalvoraTest : public ::testing::Test {
protected:
    std::shared_ptr<model::ScriptedUi> ui = std::make_shared<model::ScriptedUi>();
    model::ModelApplication app{ui};
    std::shared_ptr<model::ModelWorkbook> book = app.NewWorkbook();
    std::shared_ptr<Kalvora> k = Kalvora::Create(app);
    std::shared_ptr<host::Worksheet> ws = book->Sheet(1);

    host::Area A(const std::string& a1) const { return host::ParseAddress(a1); }
    std::string Text(const std::string& cell) const {
        const auto a = A(cell);
        return ws->CellText(a.r1, a.c1);
    }
    host::Value ValueOf(const std::string& cell) const {
        const auto a = A(cell);
        return ws->Content(a.r1, a.c1).value;
    }
    const host::Style& StyleOf(const std::string& cell) const {
        const auto a = A(cell);
        return ws->CellStyle(a.r1, a.c1);
    }
    double Width(const std::string& column) const { return ws->ColumnWidth(host::ColumnNumber(column)); }
    double Height(int row) const { return ws->RowHeight(row); }
    /// The merged area holding the cell, as an address ("" when not merged).
    std::string MergeOf(const std::string& cell) const {
        const auto a = A(cell);
        const auto m = ws->MergeArea(a.r1, a.c1);
        return m ? host::AddressOf(*m) : std::string();
    }
    /// The hyperlink anchored at the cell, if any.
    std::optional<host::Hyperlink> LinkAt(const std::string& cell) const {
        for (const auto& l : ws->Hyperlinks())
            if (l.anchor == A(cell)) return l;
        return std::nullopt;
    }
    void Put(const std::string& cell, const host::Value& v) { ws->SetValue(A(cell), v); }
};

}  // namespace testing_support
}  // namespace ormelin
