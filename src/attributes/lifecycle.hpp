// Creating and deleting documents in a workbook. A new document's sheet "Новый"
// is added once the workbook has been saved as a workbook file and has its
// register (the register is ensured by the caller, between SaveOnce and
// AddNewSheet); a document is deleted together with its register row.
#pragma once

#include "attributes/register.hpp"

namespace ormelin::lifecycle {

/// Makes sure the workbook is saved as a workbook file: a never-saved one is
/// activated and offered the save-as dialog with its name plus ".xlsx". False,
/// after the notice "Для продолжения сохраните один раз файл", when it is still
/// not saved as one.
bool SaveOnce(host::Application& app, host::Workbook& book);

/// Adds the new document's sheet "Новый" after the workbook's last sheet. False,
/// after the notice about the sheet "Новый", when it cannot be added under that
/// name; a sheet added but not named is deleted again.
bool AddNewSheet(host::Application& app, host::Workbook& book);

/// Asks the user's confirmation and deletes the document's worksheet and then its
/// row of register reg (found by the exact titles "Лист" and "Обозначение", no
/// synonyms). False, after a notice, when the register has no row for the sheet;
/// false when the user declines. Throws when reg is null or lacks either title.
bool DocumentIsDelete(host::Application& app, host::Worksheet& document, host::Worksheet* reg);

}  // namespace ormelin::lifecycle
