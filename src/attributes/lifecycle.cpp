// Creating and deleting documents in a workbook: a new document's sheet "Новый"
// after the workbook has been saved once and has its register; deleting a
// document's worksheet together with its register row.
#include <string>

#include "attributes/register.hpp"
#include "core/frame.hpp"

namespace ormelin {

namespace {

constexpr const char* kNewSheet = "Новый";
constexpr const char* kSaveFilter = "Книга Excel (*.xlsx),*.xlsx";
constexpr const char* kSaveOnce = "Для продолжения сохраните один раз файл";
constexpr const char* kNewSheetTaken = "Лист и именем \"Новый\" должен быть удален или переименован";
constexpr const char* kDeleteRowNotFound = "Строка атрибутов в листе \"список\" не найдена";
constexpr const char* kDeleteQuestion = "Вы действительно хотите безвозвратно удалить документ ";

/// Saved as a workbook file: it has a file and its name has a workbook extension.
bool IsSavedWorkbook(const host::Workbook& book) {
    return book.HasPath() && spis::IsWorkbookFileName(book.Name());
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

bool Kalvora::DocumentIsNew(WorksheetRef& oWorksheet) {
    CallFrame frame(*this);
    std::shared_ptr<host::Workbook> book;
    try {
        if (!oWorksheet) throw Error(ErrorCode::ObjectRequired);
        book = oWorksheet->Parent().shared_from_this();
        if (!IsSavedWorkbook(*book)) {
            book->Activate();  // the dialog is about this workbook
            const std::string initial = book->Name() + ".xlsx";
            if (auto path = app_.UI().GetSaveAsFilename(initial, kSaveFilter)) book->SaveAs(*path);
            if (!IsSavedWorkbook(*book)) {
                app_.UI().MsgBox(kSaveOnce, host::MsgButtons::OK, host::MsgIcon::Information, std::string());
                return false;
            }
        }
        FindSPIS(book);
    } catch (...) {
        return false;  // the workbook could not be prepared; FindSPIS reports its own failures
    }

    std::shared_ptr<host::Worksheet> added;
    try {
        auto last = book->Sheet(book->Count());
        added = book->Add(nullptr, last.get());
        added->Name(kNewSheet);
    } catch (...) {
        if (added) {
            try {
                added->Delete();  // no stray sheet under a default name
            } catch (...) {
            }
        }
        app_.UI().MsgBox(kNewSheetTaken, host::MsgButtons::OK, host::MsgIcon::Information, std::string());
        return false;
    }
    return true;
}

bool Kalvora::DocumentIsDelete(WorksheetRef& oWorksheet) {
    CallFrame frame(*this);
    if (!oWorksheet) throw Error(ErrorCode::ObjectRequired);
    wsSpis_ = spis::RegisterOf(oWorksheet->Parent());
    if (!wsSpis_) throw Error(ErrorCode::SubscriptOutOfRange, "The workbook has no sheet \"список\"");
    host::Worksheet& reg = *wsSpis_;

    const int cSheet = HeaderColumn(reg, "Лист");
    const int cOboz = HeaderColumn(reg, "Обозначение");

    const std::string name = oWorksheet->Name();
    const int last = reg.UsedRange().r2;
    int r = 0;
    for (int row = 2; row <= last && !r; ++row)
        if (reg.CellText(row, cSheet) == name) r = row;
    if (!r) {
        app_.UI().MsgBox(kDeleteRowNotFound, host::MsgButtons::OK, host::MsgIcon::Information, std::string());
        return false;
    }

    const std::string designation = reg.CellText(r, cOboz);
    const host::MsgResult answer = app_.UI().MsgBox(kDeleteQuestion + designation + "?", host::MsgButtons::OKCancel,
                                                    host::MsgIcon::Question, std::string());
    if (answer != host::MsgResult::OK) return false;

    AlertsOff quiet(app_);
    // The worksheet goes first: when it cannot be deleted, its register row stays.
    oWorksheet->Delete();
    reg.DeleteRows(r, 1);
    return true;
}

}  // namespace ormelin
