// The host's short answer whether a worksheet holds a formed document, a list or
// nothing.
#include "recognition/recognition.hpp"

namespace ormelin::recognition {

std::int32_t FormedAnswer(std::int32_t state) {
    if (state == ksDOC_NO) return -1;
    // The superseded formed layouts and the formed list of electronic originals
    // answer as a list does.
    return StateEntryOf(state).current ? 1 : 0;
}

}  // namespace ormelin::recognition
