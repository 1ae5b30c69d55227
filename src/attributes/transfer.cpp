// Attribute transfer between an attribute record and the document's row in the
// register sheet, and the reference record whose attributes are formulas
// referring to the register's cells.
#include <string>

#include "attributes/register.hpp"
#include "core/frame.hpp"

namespace ormelin {

namespace {

constexpr const char* kStartWithNew = "Начните работу с выбора команды меню Документ > Новый";
constexpr const char* kRowNotFound = "Строка атрибутов документа в листе \"список\" не найдена";

void Notice(host::Application& app, const std::string& text) {
    app.UI().MsgBox(text, host::MsgButtons::OK, host::MsgIcon::Information, std::string());
}

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

}  // namespace

void Kalvora::AttribsToSPIS(AttrDocRef& attDoc, WorksheetRef& oWorksheet) {
    CallFrame frame(*this);
    bool exists = false;
    rowSpis_ = FindRowSPIS(oWorksheet, true, exists);
    if (!exists) return;  // no register: nothing to write to
    if (!rowSpis_ || !ws_) throw Error(ErrorCode::ObjectRequired);
    if (!attDoc) throw Error(ErrorCode::ObjectRequired);

    host::Worksheet& reg = *wsSpis_;
    const int r = rowSpis_->Row();
    WriteCell(reg, r, colSpis_[spFile], spis::FileNameOf(ws_->Parent()));

    const std::string sheet = ws_->Name();
    if (const int c = colSpis_[spShee]; c > 0) {
        WriteCell(reg, r, c, sheet);
        reg.AddHyperlink(host::Hyperlink{host::Area{r, c, r, c}, std::string(),
                                         host::QuoteSheetName(sheet) + "!A1", sheet, std::string()});
    }

    for (const spis::Field& f : spis::kFields) WriteCell(reg, r, colSpis_[f.column], attDoc->Get(f.write));

    rowSpis_->Font().Size(11);
}

void Kalvora::AttribsFromSPIS(AttrDocRef& attDoc, WorksheetRef& oWorksheet) {
    CallFrame frame(*this);
    if (!attDoc) throw Error(ErrorCode::ObjectRequired);
    attDoc->Clear();
    bool exists = false;
    rowSpis_ = FindRowSPIS(oWorksheet, false, exists);
    if (ws_ && ws_->Name() == spis::kSheetName) return;  // the register itself holds no document
    if (!rowSpis_) {
        if (!exists) Notice(app_, kStartWithNew);
        return;
    }

    const host::Worksheet& reg = *wsSpis_;
    const int r = rowSpis_->Row();
    attDoc->Let(AttrProp::aFile, ws_->Parent().Name());
    attDoc->Let(AttrProp::aShee, ws_->Name());
    for (const spis::Field& f : spis::kFields) attDoc->Let(f.read, ReadCell(reg, r, colSpis_[f.column]));
}

void Kalvora::AttribsRefFromSPIS(WorksheetRef& oWorksheet) {
    CallFrame frame(*this);
    bool exists = false;
    rowSpis_ = FindRowSPIS(oWorksheet, false, exists);
    if (!attDoc_) attDoc_ = std::make_shared<AttrDoc>();

    if (!rowSpis_) {
        // A reference record that refers to nothing: forming then draws empty
        // fields rather than the fields of the document referred to before.
        for (const spis::Reference& ref : spis::kReferences) attDoc_->Let(ref.prop, std::string());
        Notice(app_, kRowNotFound);
        return;
    }

    const int r = rowSpis_->Row();
    for (const spis::Reference& ref : spis::kReferences) {
        const int c = colSpis_[ref.column];
        attDoc_->Let(ref.prop, c > 0 ? spis::ReferenceText(r, c, ref.formula) : std::string());
    }
}

}  // namespace ormelin
