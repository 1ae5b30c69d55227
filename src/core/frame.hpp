// How a call runs through the service object: the call frame that every public
// method opens, and the exception-to-error mapping of the error styles.
#pragma once

#include <exception>
#include <memory>
#include <new>
#include <string>
#include <utility>

#include "base/current_error.hpp"
#include "ormelin/errors.hpp"
#include "ormelin/host.hpp"
#include "ormelin/kalvora.hpp"

namespace ormelin {

/// Opened on entry to every public method and closed on every exit path. While it
/// is open the instance holds a reference on itself (when a shared pointer owns it)
/// and counts the call.
class Kalvora::CallFrame {
public:
    explicit CallFrame(Kalvora& k) : k_(k), self_(k.weak_from_this().lock()) { ++k_.callDepth_; }
    ~CallFrame() { --k_.callDepth_; }
    CallFrame(const CallFrame&) = delete;
    CallFrame& operator=(const CallFrame&) = delete;

private:
    Kalvora& k_;
    std::shared_ptr<Kalvora> self_;
};

}  // namespace ormelin
