// The HTML replacements on any text: no crash, and what they promise holds.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "UnitPublic.h"

namespace {

std::size_t Count(std::string_view text, std::string_view part)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string_view::npos;
         at = text.find(part, at + part.size()))
        ++count;
    return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace velmora;
    const std::string_view input(reinterpret_cast<const char*>(data), size);

    const std::string html = TextToHtml(input);
    if (html.find(' ') != std::string::npos || html.find("\r\n") != std::string::npos) std::abort();

    const std::string broken = BreakAfterHeadings(input);
    if (Count(broken, "]<br>") != Count(input, "]")) std::abort();

    // Every "]" is closed exactly once, whatever else the text holds.
    if (Count(BoldHeadings(input), "]</strong>") != Count(input, "]")) std::abort();
    BoldHeadings(BreakAfterHeadings(html));
    IsDigitsOnly(input);
    return 0;
}
