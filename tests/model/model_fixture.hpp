// A fresh application with one workbook and its first sheet, for the model tests.
#pragma once

#include <gtest/gtest.h>

#include "ormelin/model.hpp"

namespace ormelin::test {

class ModelTest : public ::testing::Test {
protected:
    ModelTest()
        : ui(std::make_shared<model::ScriptedUi>()),
          app(ui),
          book(app.NewWorkbook()),
          ws(book->ModelSheet(1)) {}

    host::Range R(const std::string& a1) { return ws->RangeAt(a1); }
    std::string Txt(const std::string& a1) { return ws->RangeAt(a1).Text().value_or("<mixed>"); }

    std::shared_ptr<model::ScriptedUi> ui;
    model::ModelApplication app;
    std::shared_ptr<model::ModelWorkbook> book;
    std::shared_ptr<model::ModelWorksheet> ws;
};

/// How many rows the sheet stores a record for: formats of huge areas must not
/// store one per row.
inline int StoredRows(const model::ModelWorksheet& ws) {
    int n = 0;
    ws.ForEachRow([&](int, const model::RowRecord&) { ++n; });
    return n;
}

}  // namespace ormelin::test
