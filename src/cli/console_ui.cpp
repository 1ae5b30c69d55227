#include "cli/console_ui.hpp"

#include <unistd.h>

#include <iostream>
#include <string>

namespace ormelin::cli {

ConsoleUi::ConsoleUi(std::ostream& err, bool assumeYes) : err_(err), assumeYes_(assumeYes) {}

host::MsgResult ConsoleUi::MsgBox(const std::string& text, host::MsgButtons buttons, host::MsgIcon,
                                  const std::string&) {
    if (buttons == host::MsgButtons::OK) {
        err_ << "ormelin: " << text << '\n';
        return host::MsgResult::OK;
    }
    if (assumeYes_) {
        err_ << "ormelin: " << text << " (yes)\n";
        return host::MsgResult::OK;
    }
    if (isatty(STDIN_FILENO) != 0) {
        err_ << "ormelin: " << text << " [y/N] " << std::flush;
        std::string answer;
        if (std::getline(std::cin, answer) && (answer == "y" || answer == "Y" || answer == "yes" ||
                                               answer == "д" || answer == "Д" || answer == "да")) {
            return host::MsgResult::OK;
        }
        ++cancelled_;
        return host::MsgResult::Cancel;
    }
    err_ << "ormelin: " << text << " (no: not on a terminal; pass --yes to confirm)\n";
    ++cancelled_;
    return host::MsgResult::Cancel;
}

std::optional<std::string> ConsoleUi::GetSaveAsFilename(const std::string&, const std::string&) {
    auto answer = saveAs_;
    saveAs_.reset();
    return answer;
}

}  // namespace ormelin::cli
