// Importing a bill of materials into a document's list.
#include "import/import.hpp"

#include <unistd.h>

#include "ormelin/attr_doc.hpp"

namespace ormelin::import {

PreparedBom PrepareBom(const BomSource& source) {
    if (::access(source.file.c_str(), R_OK) != 0) throw BomUnreadable(source.file, 0, 0, "cannot be read");
    PreparedBom bom;
    bom.file = source.file;
    bom.elements = ReadBomElements(source.file, source.encoding, source.delimiter, source.sheet, source.profile,
                                   &bom.symbolsLeftOut);
    return bom;
}

std::string AssemblyOf(const std::string& designation) {
    const auto blank = designation.find_last_of(' ');
    if (blank == std::string::npos) return designation;
    std::string base = designation.substr(0, blank);
    while (!base.empty() && base.back() == ' ') base.pop_back();
    return base;
}

namespace {

/// The designation of the assembly, from the document's register row.
std::string AssemblyFromRegister(Documents& docs, const std::shared_ptr<host::Worksheet>& sheet) {
    if (!sheet->Parent().FindSheet("список")) return {};
    auto record = std::make_shared<AttrDoc>();
    std::shared_ptr<host::Worksheet> ws = sheet;
    docs.FromRegister(record, ws);
    return AssemblyOf(record->GetText("aOboz"));
}

}  // namespace

ImportOutcome ImportInto(Documents& docs, const std::shared_ptr<host::Worksheet>& sheet, const PreparedBom& bom,
                         const ImportChoices& choices) {
    ImportOutcome outcome;
    std::shared_ptr<host::Worksheet> ws = sheet;
    const std::int32_t state = docs.State(ws);
    outcome.target = TargetOf(state);
    if (!outcome.target) {
        outcome.refused = IsFormedState(state) ? ImportRefusal::FormedDocument : ImportRefusal::NoTargetList;
        return outcome;
    }

    outcome.convention = choices.designators ? *choices.designators : DetectConvention(bom.elements);
    if (outcome.convention == Convention::Unknown) outcome.undecidedCodes = UndecidedCodes(bom.elements);
    const Naming naming{outcome.convention, choices.rawValues};

    std::vector<ListRow> rows;
    switch (*outcome.target) {
        case Target::Elements:
            rows = ElementListRows(bom.elements, {choices.gap, choices.markDnp ? DnpRule::Mark : DnpRule::Omit},
                                   naming);
            break;
        case Target::Purchased: {
            const std::string assembly = AssemblyFromRegister(docs, sheet);
            outcome.assemblyMissing = assembly.empty();
            rows = PurchasedRows(bom.elements, assembly, naming);
            break;
        }
        case Target::Specification:
            rows = OtherProductRows(bom.elements, NextSpecificationPosition(*sheet), naming);
            break;
    }

    const Measure measure = measure::FormMeasure(14.0, &outcome.coarseMeasure);
    outcome.fill = FillList(sheet, state, rows, choices.replace, measure);
    return outcome;
}

}  // namespace ormelin::import
