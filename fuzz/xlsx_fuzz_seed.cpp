// Writes the fuzzers' seed corpora: small workbooks saved from the model into the
// first folder given, and the same workbooks as structured inputs of the parts
// target (fuzz/parts.hpp) into the second, so that no binary file is kept in the
// sources.
#include <fstream>
#include <iostream>
#include <memory>
#include <string>

#include "ormelin/model.hpp"
#include "ormelin/xlsx.hpp"
#include "parts.hpp"

using namespace ormelin;
using host::Area;

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::cerr << "usage: xlsx_fuzz_seed FOLDER [PARTS-FOLDER]\n";
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

    // Whole rows, whole columns and the whole sheet formatted; properties.
    auto wide = app.NewWorkbook();
    auto ws = wide->ModelSheet(1);
    host::FormatPatch fill;
    fill.fill = host::Color::Rgb(0xCCFFCC);
    fill.bold = true;
    ws->Format(Area{1, 1, host::kMaxRows, host::kMaxColumns}, fill);
    host::FormatPatch frame;
    frame.borders[2].style = host::LineStyle::Continuous;
    ws->Format(Area{1, 3, host::kMaxRows, 4}, frame);
    ws->Format(Area{2, 1, 3, host::kMaxColumns}, p);
    ws->SetLiteral(Area{2, 3, 2, 3}, 3.25);
    ws->SetLiteral(Area{7, 1, 7, 1}, std::string("_x0041_ & <b> \"'"));
    ws->SetValue(Area{8, 1, 8, 1}, std::string("=SUM(R[-6]C[2]:R[-6]C[3])&\"x\""));
    ws->Merge(Area{10, 1, 12, 5});
    ws->StandardHeight(17.5);
    wide->Properties().core =
        "<cp:coreProperties xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/metadata/core-properties\" "
        "xmlns:dc=\"http://purl.org/dc/elements/1.1/\"><dc:title>Перечень</dc:title></cp:coreProperties>";
    xlsx::SaveWorkbook(*wide, folder + "/wide.xlsx");

    if (argc == 3) {
        for (const char* name : {"plain", "formed", "wide"}) {
            std::ofstream out(std::string(argv[2]) + "/" + name + ".parts", std::ios::binary);
            out << fuzzparts::Unpack(folder + "/" + name + ".xlsx");
            if (!out) {
                std::cerr << "xlsx_fuzz_seed: cannot write " << argv[2] << "\n";
                return 1;
            }
        }
    }
    return 0;
}
