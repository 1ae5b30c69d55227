// The ESKD menu's commands on the Calc host: each as the command line does it,
// through the typed service and the command's shared checks and messages.
#pragma once

#include <string>
#include <vector>

#include "calc_host.hpp"

namespace ormelin::calc {

/// What a command did: whether it changed the document, the error that ended it
/// (empty: none) and the notes to show.
struct Outcome {
    bool changed = false;
    std::string error;
    std::vector<std::string> notes;
};

/// Runs a command (component.cpp lists them) on the application's workbook.
/// extensionDir holds the message catalogues (locale/); uiLocale is the office's
/// interface language ("ru", "en-US").
Outcome RunCommand(CalcApplication& app, const std::string& command, const std::string& extensionDir,
                   const std::string& uiLocale);

/// The undo step's title of a command.
std::string StepTitle(const std::string& command);

}  // namespace ormelin::calc
