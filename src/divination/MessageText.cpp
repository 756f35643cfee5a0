#include "MessageText.h"

#include <cstdio>

namespace velmora {
namespace {

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7f; }

bool IsContinuation(unsigned char c) { return (c & 0xc0) == 0x80; }

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

std::string Printable(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    while (!text.empty()) {
        const std::size_t length = Utf8CharacterLength(text);
        const auto first = static_cast<unsigned char>(text.front());
        if (length == 0 || (length == 1 && IsControl(first))) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", first);
            out += escaped;
            text.remove_prefix(1);
            continue;
        }
        if (first == '\\') out += '\\';
        out.append(text.substr(0, length));
        text.remove_prefix(length);
    }
    return out;
}

bool IsPlainUtf8(std::string_view text)
{
    while (!text.empty()) {
        const std::size_t length = Utf8CharacterLength(text);
        if (length == 0 || (length == 1 && IsControl(static_cast<unsigned char>(text.front())))) return false;
        text.remove_prefix(length);
    }
    return true;
}

std::string Quoted(std::string_view text) { return '"' + Printable(text) + '"'; }

}  // namespace velmora
