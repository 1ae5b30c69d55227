// The command's message box and save-as dialog.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>

#include "ormelin/host.hpp"

namespace ormelin::cli {

/// Messages go to standard error as "ormelin: " and their text and the command
/// goes on (the service keeps the errors it reported, which fail the command). An
/// OK/Cancel question is answered OK by --yes, asked on a terminal, and answered
/// Cancel otherwise. The save-as dialog answers with the
/// path the command was given for a new workbook, or is cancelled.
class ConsoleUi final : public host::Ui {
public:
    ConsoleUi(std::ostream& err, bool assumeYes);

    host::MsgResult MsgBox(const std::string& text, host::MsgButtons buttons, host::MsgIcon icon,
                           const std::string& title) override;
    std::optional<std::string> GetSaveAsFilename(const std::string& initialFileName,
                                                 const std::string& fileFilter) override;

    /// The answer of the next save-as dialog.
    void SetSaveAsAnswer(std::optional<std::string> path) { saveAs_ = std::move(path); }
    /// How many questions were answered Cancel.
    int Cancelled() const { return cancelled_; }

private:
    std::ostream& err_;
    bool assumeYes_;
    std::optional<std::string> saveAs_;
    int cancelled_ = 0;
};

}  // namespace ormelin::cli
