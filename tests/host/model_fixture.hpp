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

    host::Range R(const std::string& a1) { return ws->Range_(a1); }
    std::string Txt(const std::string& a1) { return ws->Range_(a1).Text().value_or("<mixed>"); }

    std::shared_ptr<model::ScriptedUi> ui;
    model::ModelApplication app;
    std::shared_ptr<model::ModelWorkbook> book;
    std::shared_ptr<model::ModelWorksheet> ws;
};

}  // namespace ormelin::test
