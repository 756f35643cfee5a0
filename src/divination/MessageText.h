// Text that goes into a message about a file or an argument: whatever a user
// typed or a folder holds is shown, but never as a control character that
// would move the cursor or ring the terminal, and never as broken UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace velmora {

// The text with each control character, DEL and byte that is no part of a
// UTF-8 character written as \xNN (a backslash as \\); the rest as it is.
std::string Printable(std::string_view text);

// The text in double quotes, made printable as above: the form every message
// gives a file name or a value in.
std::string Quoted(std::string_view text);

// The length of the UTF-8 character at the start of `text`, or 0 when it
// does not start with one (overlong forms and surrogates are none).
std::size_t Utf8CharacterLength(std::string_view text);

// Columns the text takes in a terminal: a wide (Chinese) character takes two,
// anything else one.
std::size_t DisplayWidth(std::string_view text);

// True when the text is UTF-8 throughout and holds no control character.
bool IsPlainUtf8(std::string_view text);

}  // namespace velmora
