// Creating and deleting documents in a workbook: a new document's sheet "Новый"
// after the workbook has been saved once and has its register; deleting a
// document's worksheet together with its register row.
#include "attributes/lifecycle.hpp"

#include <string>

namespace ormelin::lifecycle {

namespace {

constexpr const char* kNewSheet = "Новый";
constexpr const char* kSaveFilter = "Книга Excel (*.xlsx),*.xlsx";
constexpr const char* kSaveOnce = "Для продолжения сохраните один раз файл";
constexpr const char* kNewSheetTaken = "Лист и именем \"Новый\" должен быть удален или переименован";
constexpr const char* kDeleteRowNotFound = "Строка атрибутов в листе \"список\" не найдена";
constexpr const char* kDeleteQuestion = "Вы действительно хотите безвозвратно удалить документ ";

/// Saved as a workbook file: it has a file and its name has a workbook extension.
bool IsSavedWorkbook(const host::Workbook& book) {
    return book.HasPath() && attributes::IsWorkbookFileName(book.Name());
}

/// The first register row from row 2 whose "Лист" cell shows the sheet's name
/// exactly; 0 when there is none.
int RowOfDocument(const host::Worksheet& reg, int sheetColumn, const std::string& name) {
    const int last = reg.UsedRange().r2;
    for (int row = 2; row <= last; ++row)
        if (reg.CellText(row, sheetColumn) == name) return row;
    return 0;
}

/// The column of row 1 whose whole text is the title; Error(ObjectRequired)
/// when there is none (the search found nothing to take the column of).
int HeaderColumn(const host::Worksheet& reg, const std::string& title) {
    const host::Area used = reg.UsedRange();
    for (int c = 1; c <= used.c2; ++c)
        if (reg.CellText(1, c) == title) return c;
    throw Error(ErrorCode::ObjectRequired, "The register has no column \"" + title + "\"");
}

/// The application's alerts off while it lives, back on at its end.
class AlertsOff {
public:
    explicit AlertsOff(host::Application& app) : app_(app) { app_.DisplayAlerts(false); }
    ~AlertsOff() {
        try {
            app_.DisplayAlerts(true);
        } catch (...) {
        }
    }
    AlertsOff(const AlertsOff&) = delete;
    AlertsOff& operator=(const AlertsOff&) = delete;

private:
    host::Application& app_;
};

}  // namespace

bool SaveOnce(host::Application& app, host::Workbook& book) {
    if (IsSavedWorkbook(book)) return true;
    book.Activate();  // the dialog is about this workbook
    const std::string initial = book.Name() + ".xlsx";
    if (auto path = app.UI().GetSaveAsFilename(initial, kSaveFilter)) book.SaveAs(*path);
    if (IsSavedWorkbook(book)) return true;
    attributes::Notice(app, kSaveOnce);
    return false;
}

bool AddNewSheet(host::Application& app, host::Workbook& book) {
    std::shared_ptr<host::Worksheet> added;
    try {
        auto last = book.Sheet(book.Count());
        added = book.Add(nullptr, last.get());
        added->Name(kNewSheet);
    } catch (...) {
        if (added) {
            try {
                added->Delete();  // no stray sheet under a default name
            } catch (...) {
            }
        }
        attributes::Notice(app, kNewSheetTaken);
        return false;
    }
    return true;
}

bool DocumentIsDelete(host::Application& app, host::Worksheet& document, host::Worksheet* reg) {
    if (!reg) throw Error(ErrorCode::SubscriptOutOfRange, "The workbook has no sheet \"список\"");
    const int cSheet = HeaderColumn(*reg, "Лист");
    const int cOboz = HeaderColumn(*reg, "Обозначение");

    const int r = RowOfDocument(*reg, cSheet, document.Name());
    if (!r) {
        attributes::Notice(app, kDeleteRowNotFound);
        return false;
    }

    const std::string designation = reg->CellText(r, cOboz);
    const host::MsgResult answer = app.UI().MsgBox(kDeleteQuestion + designation + "?", host::MsgButtons::OKCancel,
                                                   host::MsgIcon::Question, std::string());
    if (answer != host::MsgResult::OK) return false;

    AlertsOff quiet(app);
    // The worksheet goes first: when it cannot be deleted, its register row stays.
    document.Delete();
    reg->DeleteRows(r, 1);
    return true;
}

}  // namespace ormelin::lifecycle
