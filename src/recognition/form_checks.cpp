// The host's short answer whether a worksheet holds a formed document, a list or
// nothing.
#include <array>

#include "recognition/recognition.hpp"

namespace ormelin::recognition {

namespace {

/// The formed states answered with 1; the superseded formed layouts (16 to 19)
/// and the formed list of electronic originals (21) are not among them.
constexpr std::array<std::int32_t, 7> kFormed = {ksSPA_OF, ksSPB_OF, ksPE_OF, ksVPA_OF, ksVN_OF, ksTB_OF, ksVE_OF};

}  // namespace

std::int32_t FormedAnswer(std::int32_t state) {
    if (state == ksDOC_NO) return -1;
    for (std::int32_t f : kFormed)
        if (state == f) return 1;
    return 0;
}

}  // namespace ormelin::recognition
