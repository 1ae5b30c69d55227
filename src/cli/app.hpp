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

/// Leaves the workbooks of the runs that follow to the end of the process
/// instead of taking them apart object by object: the command's own process
/// ends right after its run, and freeing a large workbook cell by cell costs
/// more than a tenth of forming it. Not for a caller that goes on running.
void LeaveWorkbooksToExit();

/// Writes the sample workbook into the folder and returns its path.
std::string WriteDemo(const std::string& dir, std::ostream& err);

}  // namespace ormelin::cli
