#include "ormelin/errors.hpp"

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

Error::Error(ErrorCode code) : Error(code, describe(code)) {}

Error::Error(ErrorCode code, const std::string& description)
    : std::runtime_error(description), code_(code), description_(description) {}

}  // namespace ormelin
