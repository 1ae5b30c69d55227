// The command's own messages in the user's language (gettext, domain "ormelin").
// English is the text in the code; a catalogue translates it. The service's
// messages are the system's own Russian texts and are never translated.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

namespace ormelin::cli {

/// Chooses the message language from the environment (LC_ALL, LC_MESSAGES,
/// LANG, LANGUAGE) and finds the catalogues. Only the messages' locale category
/// is set: numbers and texts written into workbooks never depend on the locale.
void InitMessages();

/// The translation of an English message.
const char* Tr(const char* english);

/// Marks an English message kept in a table and translated (Tr) where it is shown.
constexpr const char* Message(const char* english) { return english; }

/// A translated message with {1}, {2}, ... replaced by the arguments.
std::string Say(const char* english, std::initializer_list<std::string> args = {});
/// The same with the arguments in a vector.
std::string Say(const char* english, const std::vector<std::string>& args);

}  // namespace ormelin::cli
