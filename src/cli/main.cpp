// ormelin: the command that plays the spreadsheet host. It opens a workbook, calls
// the document service on one of its sheets, and writes the workbook back.
#include <iostream>

#include "cli/app.hpp"

int main(int argc, char** argv) {
    ormelin::cli::LeaveWorkbooksToExit();
    return ormelin::cli::Main(argc, argv, std::cout, std::cerr);
}
