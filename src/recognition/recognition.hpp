// The recognition module: what a worksheet holds, told by the displayed texts of
// a few header cells. Silent: a worksheet that cannot be read holds no document.
#pragma once

#include <cstdint>

#include "ormelin/host.hpp"
#include "ormelin/state.hpp"

namespace ormelin::recognition {

/// The state of the document on the worksheet; ksDOC_NO for none, and whenever
/// reading the worksheet fails.
ksStateOfDocument StateOf(const host::Worksheet& w) noexcept;

/// The host's short answer for a state: 1 for a formed document of a current
/// layout, 0 for a list or a superseded formed layout, -1 for no document.
std::int32_t FormedAnswer(std::int32_t state);

}  // namespace ormelin::recognition
