// Uses the installed headers and library: a workbook in the model, a formula
// over a sheet, a refusal with its reason, and a save through the file layer.
#include <cstdio>
#include <filesystem>
#include <string>

#include "ormelin/errors.hpp"
#include "ormelin/model.hpp"
#include "ormelin/xlsx.hpp"

int main(int argc, char** argv) {
    using namespace ormelin;
    if (argc != 2) return 2;
    model::ModelApplication app(std::make_shared<model::ScriptedUi>());
    auto book = app.NewWorkbook();
    auto sheet = book->ModelSheet(1);
    sheet->RangeAt("A1").SetValue(std::string("список"));
    sheet->RangeAt("B1").SetValue(std::string("=RC[-1]&\" 1\""));
    if (sheet->CellText(1, 2) != "список 1") return 3;
    try {
        sheet->Name("a/b");
        return 4;
    } catch (const Error& e) {
        if (e.refusal() != Refusal::SheetNameCharacters) return 5;
    }
    xlsx::SaveWorkbook(*book, argv[1]);
    if (!std::filesystem::exists(argv[1])) return 6;
    std::puts("ok");
    return 0;
}
