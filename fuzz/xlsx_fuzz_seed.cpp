// Writes the fuzzer's seed corpus into the folder given: small workbooks saved
// from the model, so that no binary file is kept in the sources.
#include <iostream>
#include <memory>
#include <string>

#include "ormelin/model.hpp"
#include "ormelin/xlsx.hpp"

using namespace ormelin;
using host::Area;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: xlsx_fuzz_seed FOLDER\n";
        return 2;
    }
    std::string folder = argv[1];
    model::ModelApplication app(std::make_shared<model::ScriptedUi>());

    // A plain list.
    auto plain = app.NewWorkbook();
    auto sheet = plain->ModelSheet(1);
    for (int r = 1; r <= 5; ++r) {
        sheet->SetLiteral(Area{r, 1, r, 1}, static_cast<double>(r));
        sheet->SetLiteral(Area{r, 2, r, 2}, std::string("строка ") + std::to_string(r));
    }
    xlsx::SaveWorkbook(*plain, folder + "/plain.xlsx");

    // A formed page: formats, merges, links, formulas, page setup and view.
    auto formed = app.NewWorkbook();
    auto doc = formed->ModelSheet(1);
    doc->Name("Документ");
    auto reg = std::static_pointer_cast<model::ModelWorksheet>(formed->Add(nullptr, doc.get()));
    reg->Name("список");
    reg->SetLiteral(Area{1, 1, 1, 1}, std::string("АБВГ.123456.001"));
    host::FormatPatch p;
    p.fontName = std::string("ISOCPEUR");
    p.fontSize = 14;
    p.italic = true;
    p.orientation = -90;
    p.numberFormat = std::string("@");
    p.borders[0].style = host::LineStyle::Continuous;
    p.borders[0].weight = host::BorderWeight::Medium;
    p.fill = host::Color::Rgb(0xFFFF99);
    doc->Format(Area{1, 1, 4, 3}, p);
    doc->Merge(Area{1, 1, 2, 2});
    doc->SetFormula(3, 1, "=список!R1C1", std::string("АБВГ.123456.001"));
    doc->SetLiteral(Area{3, 2, 3, 2}, true);
    doc->SetLiteral(Area{3, 3, 3, 3}, host::CellError::NA);
    doc->AddHyperlink(host::Hyperlink{Area{4, 1, 4, 1}, "", "'список'!A1", "список", ""});
    doc->RowHeight(1, 1, 43);
    doc->RowHeight(5, 5, 0);
    doc->ColumnWidth(1, 2, 3);
    doc->Page().printArea = "$A:$Z";
    doc->Page().orientation = host::PageOrientation::Landscape;
    doc->AddHPageBreak(4);
    doc->View().frozenRows = 1;
    doc->View().view = host::ViewMode::PageBreakPreview;
    xlsx::SaveWorkbook(*formed, folder + "/formed.xlsx");
    return 0;
}
