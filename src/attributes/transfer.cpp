// Attribute transfer between an attribute record and the document's row in the
// register sheet, and the reference record whose attributes are formulas
// referring to the register's cells.
#include "attributes/transfer.hpp"

#include <string>

namespace ormelin::attributes {

namespace {

/// Writes a text into the row's cell of a register column as a literal, whatever
/// the cell's format and whatever the text begins with. A column missing from the
/// header (0) is passed over.
void WriteCell(host::Worksheet& reg, int row, int column, const std::string& text) {
    if (column <= 0) return;
    reg.SetLiteral(host::Area{row, column, row, column}, text);
}

/// The displayed text of the row's cell of a register column; empty for a column
/// missing from the header.
std::string ReadCell(const host::Worksheet& reg, int row, int column) {
    if (column <= 0) return {};
    return reg.CellText(row, column);
}

/// The "Лист" cell: the sheet name, with a hyperlink to the sheet's A1.
void WriteSheetLink(host::Worksheet& reg, int row, int column, const std::string& sheet) {
    if (column <= 0) return;
    WriteCell(reg, row, column, sheet);
    reg.AddHyperlink(host::Hyperlink{host::Area{row, column, row, column}, std::string(),
                                     host::QuoteSheetName(sheet) + "!A1", sheet, std::string()});
}

}  // namespace

void AttribsToSPIS(const Register& reg, int row, const host::Worksheet& document, const AttrDoc& record) {
    if (!reg) throw Error(ErrorCode::ObjectRequired);
    host::Worksheet& sheet = *reg.sheet;
    WriteCell(sheet, row, reg.Column(spFile), FileNameOf(document.Parent()));
    WriteSheetLink(sheet, row, reg.Column(spShee), document.Name());
    for (const Field& f : kFields) WriteCell(sheet, row, reg.Column(f.column), record.Get(f.write));
    sheet.Rows(row).Font().Size(11);
}

void AttribsFromSPIS(const Register& reg, int row, const host::Worksheet& document, AttrDoc& record) {
    if (!reg) throw Error(ErrorCode::ObjectRequired);
    record.Let(AttrProp::aFile, document.Parent().Name());
    record.Let(AttrProp::aShee, document.Name());
    for (const Field& f : kFields) record.Let(f.read, ReadCell(*reg.sheet, row, reg.Column(f.column)));
}

void AttribsRefFromSPIS(const Register& reg, int row, AttrDoc& reference) {
    for (const Reference& ref : kReferences) {
        const int c = reg.Column(ref.column);
        reference.Let(ref.prop, c > 0 ? ReferenceText(row, c, ref.formula) : std::string());
    }
}

void ReferToNothing(AttrDoc& reference) {
    for (const Reference& ref : kReferences) reference.Let(ref.prop, std::string());
}

}  // namespace ormelin::attributes
