#include "MessageText.h"

#include <algorithm>
#include <cstdio>

namespace velmora {
namespace {

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7f; }

bool IsContinuation(unsigned char c) { return (c & 0xc0) == 0x80; }

// A control character at the start of `character` (one whole UTF-8
// character): C0, DEL, or C1 (U+0080 to U+009F, written C2 80 to C2 9F), which
// some terminals act on as they do on C0.
bool IsControlCharacter(std::string_view character)
{
    const auto first = static_cast<unsigned char>(character.front());
    if (character.size() == 1) return IsControl(first);
    return character.size() == 2 && first == 0xc2 && static_cast<unsigned char>(character[1]) < 0xa0;
}

void AppendEscaped(std::string& out, std::string_view bytes)
{
    for (const char byte : bytes) {
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\x%02x", static_cast<unsigned char>(byte));
        out += escaped;
    }
}

}  // namespace

std::size_t Utf8CharacterLength(std::string_view text)
{
    if (text.empty()) return 0;
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) return 1;
    std::size_t length = 0;
    char32_t lowest = 0;
    char32_t code = 0;
    if ((lead & 0xe0) == 0xc0) length = 2, lowest = 0x80, code = lead & 0x1f;
    else if ((lead & 0xf0) == 0xe0) length = 3, lowest = 0x800, code = lead & 0x0f;
    else if ((lead & 0xf8) == 0xf0) length = 4, lowest = 0x10000, code = lead & 0x07;
    else return 0;
    if (text.size() < length) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if (!IsContinuation(byte(i))) return 0;
        code = (code << 6) | (byte(i) & 0x3f);
    }
    if (code < lowest || code > 0x10ffff || (code >= 0xd800 && code <= 0xdfff)) return 0;
    return length;
}

std::size_t DisplayWidth(std::string_view text)
{
    std::size_t width = 0;
    while (!text.empty()) {
        const std::size_t length = std::max<std::size_t>(Utf8CharacterLength(text), 1);
        width += length >= 3 ? 2 : 1;
        text.remove_prefix(length);
    }
    return width;
}

std::string Printable(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    while (!text.empty()) {
        const std::size_t length = Utf8CharacterLength(text);
        if (length == 0 || IsControlCharacter(text.substr(0, length))) {
            const std::size_t escaped = length == 0 ? 1 : length;
            AppendEscaped(out, text.substr(0, escaped));
            text.remove_prefix(escaped);
            continue;
        }
        if (text.front() == '\\') out += '\\';
        out.append(text.substr(0, length));
        text.remove_prefix(length);
    }
    return out;
}

bool IsPlainUtf8(std::string_view text)
{
    while (!text.empty()) {
        const std::size_t length = Utf8CharacterLength(text);
        if (length == 0 || IsControlCharacter(text.substr(0, length))) return false;
        text.remove_prefix(length);
    }
    return true;
}

std::string Quoted(std::string_view text) { return '"' + Printable(text) + '"'; }

}  // namespace velmora
