#include "ormelin/errors.hpp"

#include <exception>
#include <new>

#include "base/current_error.hpp"

namespace ormelin {

const char* describe(ErrorCode code) noexcept {
    switch (code) {
        case ErrorCode::TypeMismatch: return "Type mismatch";
        case ErrorCode::SubscriptOutOfRange: return "Subscript out of range";
        case ErrorCode::ObjectRequired: return "Object variable or With block variable not set";
        case ErrorCode::ObjectDeleted: return "Object required: the worksheet has been deleted";
        case ErrorCode::InvalidArgument: return "Invalid procedure call or argument";
        case ErrorCode::ApplicationDefined: return "Application-defined or object-defined error";
        case ErrorCode::NotImplemented: return "Not implemented";
        case ErrorCode::FileError: return "The workbook file cannot be read or written";
        case ErrorCode::Cancelled: return "Cancelled by the user";
        case ErrorCode::Overflow: return "Overflow";
        case ErrorCode::OutOfMemory: return "Out of memory";
        case ErrorCode::MemberNotFound: return "Member not found";
        case ErrorCode::UnknownName: return "Unknown name";
        case ErrorCode::BadParamCount: return "Invalid number of parameters";
        case ErrorCode::ParamNotOptional: return "Parameter not optional";
    }
    return "Unknown error";
}

const char* describe(Refusal reason) noexcept {
    switch (reason) {
        case Refusal::None: return describe(ErrorCode::ApplicationDefined);
        case Refusal::ContentOffSheet: return "Cannot shift nonblank cells off the worksheet";
        case Refusal::PartOfMergedArea: return "Cannot change part of a merged cell";
        case Refusal::MergedAreasOverlap: return "Merged areas must not overlap";
        case Refusal::CopySizeMismatch: return "The copy area and the paste area are not the same size";
        case Refusal::RowHeightOutOfRange: return "Row height out of range";
        case Refusal::ColumnWidthOutOfRange: return "Column width out of range";
        case Refusal::PageBreakPlace: return "A page break cannot stand there";
        case Refusal::SheetNameLength: return "A sheet name has 1 to 31 characters";
        case Refusal::SheetNameCharacters: return "A sheet name cannot hold []:*?/\\";
        case Refusal::SheetNameApostrophe: return "A sheet name cannot begin or end with an apostrophe";
        case Refusal::SheetNameTaken: return "That name is already taken";
        case Refusal::SheetOfAnotherWorkbook: return "The sheet belongs to another workbook";
        case Refusal::LastSheet: return "A workbook must keep at least one sheet";
        case Refusal::ZoomOutOfRange: return "Zoom is 10 to 400 percent";
        case Refusal::NoSuchRow: return "No such row";
        case Refusal::WorkbookOfAnotherApplication: return "The workbook belongs to another application";
        case Refusal::RangeOutsideSheet: return "The range lies outside the sheet";
        case Refusal::EmptyRange: return "A range has at least one cell";
        case Refusal::OrientationOutOfRange: return "Orientation is -90 to 90 degrees";
        case Refusal::IndentOutOfRange: return "Indent is 0 to 250";
        case Refusal::FontSizeOutOfRange: return "Font size is 1 to 409 points";
    }
    return describe(ErrorCode::ApplicationDefined);
}

Error::Error(ErrorCode code) : Error(code, describe(code)) {}

Error::Error(Refusal reason) : Error(ErrorCode::ApplicationDefined, describe(reason)) { refusal_ = reason; }

Error::Error(ErrorCode code, const std::string& description)
    : std::runtime_error(description), code_(code), description_(description) {}

Error CurrentError() {
    try {
        throw;
    } catch (const Error& e) {
        return e;
    } catch (const std::bad_alloc&) {
        return Error(ErrorCode::OutOfMemory);
    } catch (const std::exception& e) {
        return Error(ErrorCode::ApplicationDefined, e.what());
    } catch (...) {
        return Error(ErrorCode::ApplicationDefined);
    }
}

}  // namespace ormelin
