// The ESKD menu's commands on the Calc host: each as the command line does it,
// through the typed service and the command's shared checks and messages.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "calc_host.hpp"

namespace ormelin::calc {

/// What a command did: whether it changed the document, the error that ended it
/// (empty: none) and the notes to show, with the icon they are shown with.
struct Outcome {
    bool changed = false;
    std::string error;
    std::vector<std::string> notes;
    host::MsgIcon noteIcon = host::MsgIcon::Information;
};

/// Attribute names and values, as `attrs --set NAME=VALUE` takes them.
using AttributeValues = std::vector<std::pair<std::string, std::string>>;

/// Runs a command (component.cpp lists them) on the application's workbook.
/// extensionDir holds the message catalogues (locale/); uiLocale is the office's
/// interface language ("ru", "en-US"); values are the attributes the command
/// "attributes" sets.
Outcome RunCommand(CalcApplication& app, const std::string& command, const std::string& extensionDir,
                   const std::string& uiLocale, const AttributeValues& values = {});

/// Whether a command only reads the document: it runs without an undo step.
bool ReadsOnly(const std::string& command);

/// The undo step's title of a command.
std::string StepTitle(const std::string& command);

/// One row of the attributes dialog: the attribute, the field it fills (in the
/// user's language), its value in the register and whether it may be changed.
struct AttributeRow {
    std::string name, field, value;
    bool settable = false;
};

/// The register's attributes of the active sheet's document, in the order of
/// `ormelin attrs`; an error (the register sheet is active, ...) in the outcome.
Outcome ReadAttributes(CalcApplication& app, const std::string& extensionDir, const std::string& uiLocale,
                       std::vector<AttributeRow>& rows);

/// The PDF file name the file dialog proposes: the workbook's name, with the
/// active sheet's when it holds the formed document that is printed.
std::string PdfDefaultName(CalcApplication& app);

}  // namespace ormelin::calc
