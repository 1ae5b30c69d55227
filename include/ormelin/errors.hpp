// Errors of the library and of the spreadsheet host.
//
// Every failure that travels to a caller is an ormelin::Error: a number and a
// description, as the automation interface reports them. The numbers and texts
// of the platform's own errors are ours to choose; they are all kept here.
#pragma once

#include <cstdint>
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

/// Why the spreadsheet refused an operation. Every refusal carries the number
/// ApplicationDefined, as the automation interface reports it; the reason tells
/// the refusals apart without reading their texts.
enum class Refusal : std::uint8_t {
    None,                    // not a refusal of the model (or one without a reason of its own)
    ContentOffSheet,         // an insertion would push content past the sheet's last row or column
    PartOfMergedArea,        // an operation would change part of a merged area
    MergedAreasOverlap,      // a merge over an area that already holds merged areas
    CopySizeMismatch,        // the copy area and the paste area differ in size
    RowHeightOutOfRange,     // a row height outside 0..409.5 points
    ColumnWidthOutOfRange,   // a column width outside 0..255 characters
    PageBreakPlace,          // a page break before row 2 or past the last row
    SheetNameLength,         // a sheet name of no or more than 31 characters
    SheetNameCharacters,     // a sheet name holding []:*?/\ .
    SheetNameApostrophe,     // a sheet name beginning or ending with an apostrophe
    SheetNameTaken,          // another sheet of the workbook has that name (ignoring case)
    SheetOfAnotherWorkbook,  // a sheet given as a place in a workbook it does not belong to
    LastSheet,               // deleting the only sheet of a workbook
    ZoomOutOfRange,          // a zoom outside 10..400 percent
    NoSuchRow,               // a row number outside the sheet
    WorkbookOfAnotherApplication,  // a workbook that another application holds
    RangeOutsideSheet,       // a range reaching past the sheet's edges
    EmptyRange,              // a range of no cells
    OrientationOutOfRange,   // a text orientation outside -90..90 degrees
    IndentOutOfRange,        // an indent outside 0..250
    FontSizeOutOfRange,      // a font size outside 1..409 points
};

/// The description that goes with each error number.
const char* describe(ErrorCode code) noexcept;
/// The description that goes with each refusal ("Cannot change part of a merged cell").
const char* describe(Refusal reason) noexcept;

class Error : public std::runtime_error {
public:
    explicit Error(ErrorCode code);
    Error(ErrorCode code, const std::string& description);
    /// A refusal: the number ApplicationDefined, the reason and its description.
    explicit Error(Refusal reason);
    ErrorCode code() const noexcept { return code_; }
    long number() const noexcept { return static_cast<long>(code_); }
    const std::string& description() const noexcept { return description_; }
    /// The reason of a refusal; Refusal::None for every other error.
    Refusal refusal() const noexcept { return refusal_; }

private:
    ErrorCode code_;
    std::string description_;
    Refusal refusal_ = Refusal::None;
};

}  // namespace ormelin
