// Attribute transfer between an attribute record and a document's row of the
// register, and the reference record whose attributes are formulas referring to
// the row's cells. Each function works on a register found by the row lookup
// (register.hpp) and a row of it; the lookup and the notices are the caller's.
#pragma once

#include "attributes/register.hpp"
#include "ormelin/attr_doc.hpp"

namespace ormelin::attributes {

/// Told when a record is read and the workbook has no register.
inline constexpr const char* kStartWithNew = "Начните работу с выбора команды меню Документ > Новый";
/// Told when the reference record finds no register row.
inline constexpr const char* kRowNotFound = "Строка атрибутов документа в листе \"список\" не найдена";

/// Writes record into register row `row`: the workbook's file name, the document's
/// sheet name with a hyperlink to its A1, and the 30 attributes, each as a literal
/// text in its column (columns the header lacks are passed over); the row's font
/// size becomes 11.
void AttribsToSPIS(const Register& reg, int row, const host::Worksheet& document, const AttrDoc& record);

/// Fills record from register row `row`: the workbook's name and the document's
/// sheet name, then the 30 attributes from the displayed texts of their columns
/// (empty for columns the header lacks). The record is not cleared first.
void AttribsFromSPIS(const Register& reg, int row, const host::Worksheet& document, AttrDoc& record);

/// Sets the 30 register-backed attributes of the reference record to the formula
/// texts of their cells in register row `row` (empty for columns the header lacks).
void AttribsRefFromSPIS(const Register& reg, int row, AttrDoc& reference);

/// A reference record that refers to nothing: its 30 register-backed attributes
/// empty, so that forming draws empty fields rather than those of the document
/// referred to before.
void ReferToNothing(AttrDoc& reference);

}  // namespace ormelin::attributes
