// The program holds its texts as UTF-8; GBK (code page 936) appears only at
// the edges: deciphered database texts, the result page file and the byte
// limit of the name box. These conversions are those edges.
//
// Each thread keeps its own converters, so every function may be called from
// any thread.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// GBK bytes to UTF-8. A byte sequence that is no GBK character becomes
// U+FFFD, one for each byte that starts no character; never throws.
std::string GbkToUtf8(std::string_view gbk);

// UTF-8 to GBK bytes; nothing when the text holds a character that GBK
// cannot write, or bytes that are no UTF-8.
std::optional<std::string> Utf8ToGbk(std::string_view utf8);

// UTF-8 to GB18030, which writes every GBK character with the same bytes as
// GBK and every other character too, so a page labelled gb2312 loses nothing.
// Bytes that are no UTF-8 become U+FFFD.
std::string Utf8ToGb18030(std::string_view utf8);

// Bytes the text takes in GBK; a character outside GBK counts with its
// GB18030 length (4 bytes, or 2 for the few characters GB18030 adds in its
// two-byte range).
std::size_t GbkByteLength(std::string_view utf8);

}  // namespace velmora
