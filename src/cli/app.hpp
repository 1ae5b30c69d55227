#pragma once

#include <iosfwd>
#include <string>

namespace ormelin::cli {

/// Exit statuses of the command.
enum Exit : int {
    kOk = 0,
    kFailed = 1,        // the operation failed; nothing was written
    kUsage = 2,         // the command line is wrong
    kBadWorkbook = 3,   // the workbook cannot be read or is not a valid .xlsx
};

int Main(int argc, char** argv, std::ostream& out, std::ostream& err);

/// Writes the sample workbook into the folder and returns its path.
std::string WriteDemo(const std::string& dir, std::ostream& err);

}  // namespace ormelin::cli
