// Errors of the library and of the spreadsheet host.
//
// Every failure that travels to a caller is an ormelin::Error: a number and a
// description, as the automation interface reports them. The numbers and texts
// of the platform's own errors are ours to choose; they are all kept here.
#pragma once

#include <stdexcept>
#include <string>

namespace ormelin {

enum class ErrorCode : long {
    TypeMismatch = 13,          // an argument of the wrong kind (a workbook where a worksheet is due)
    SubscriptOutOfRange = 9,    // a sheet name or index that does not exist
    ObjectRequired = 91,        // an unset object reference (no current worksheet)
    ObjectDeleted = 424,        // a reference to a worksheet that has been deleted
    InvalidArgument = 5,        // an argument outside its range (an address that does not parse)
    ApplicationDefined = 1004,  // an operation the spreadsheet refuses (sheet full, bad merge)
    NotImplemented = 0x80004001,// a method whose behaviour is not built yet
    FileError = 1005,           // a workbook file that cannot be read or written
    Cancelled = 1006,           // the user cancelled an operation
    // calls by dispatch identifier or by name
    Overflow = 6,               // a number outside the range of its parameter's type
    OutOfMemory = 7,            // the platform ran out of memory
    MemberNotFound = 0x80020003,// no method with that dispatch identifier
    UnknownName = 0x80020006,   // no method with that name
    BadParamCount = 0x8002000E, // more arguments than the method takes
    ParamNotOptional = 0x8002000F,// a required argument omitted
};

/// The description that goes with each error number.
const char* describe(ErrorCode code) noexcept;

class Error : public std::runtime_error {
public:
    explicit Error(ErrorCode code);
    Error(ErrorCode code, const std::string& description);
    ErrorCode code() const noexcept { return code_; }
    long number() const noexcept { return static_cast<long>(code_); }
    const std::string& description() const noexcept { return description_; }

private:
    ErrorCode code_;
    std::string description_;
};

}  // namespace ormelin
