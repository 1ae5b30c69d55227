// How a command ends early: an exit status and a message for standard error.
#pragma once

#include <string>

namespace ormelin::cli {

/// A failure that ends the command with an exit status and a message.
struct Failure {
    int status;
    std::string message;
};

}  // namespace ormelin::cli
