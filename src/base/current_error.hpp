// The error a caught exception stands for, for the routines that turn whatever
// failed into a status or a message.
#pragma once

#include "ormelin/errors.hpp"

namespace ormelin {

/// The error a caught exception stands for: an ormelin::Error as it is, memory
/// exhaustion as OutOfMemory, any other exception of the platform as an
/// application-defined error with its text. Call only inside a catch block.
Error CurrentError();

}  // namespace ormelin
