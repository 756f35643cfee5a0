// Checks of one stored commentary text against the form the result page
// relies on, and of a whole column against repeated sentences. Each finding
// is a short sentence for a test failure message.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velmora::testing {

struct LengthRange {
    std::size_t least, most;  // characters that are not white space
};

// Characters that are not white space (spaces, tabs, line breaks, U+3000).
std::size_t VisibleLength(std::string_view utf8);

// The sentences of a text: pieces between 。！？； and line ends, trimmed,
// headings left out.
std::vector<std::string> Sentences(std::string_view utf8);

// Deciphers a stored text and checks it: valid GBK, CR LF line ends, a
// heading line first ("    [title]"), paragraph lines indented by four
// spaces, no empty lines, no characters the page would take for markup, and
// a length within `range`. Fills `plain` with the UTF-8 text when it
// deciphers.
std::vector<std::string> CheckStoredText(std::string_view stored, LengthRange range, std::string* plain = nullptr);

// Sentences that appear more than once among the texts of one column
// (key, plain text), each named with the keys it appears under.
std::vector<std::string> RepeatedSentences(const std::vector<std::pair<std::string, std::string>>& texts);

}  // namespace velmora::testing
