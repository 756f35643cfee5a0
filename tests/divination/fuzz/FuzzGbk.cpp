// Any bytes as GBK or as UTF-8: the decoder gives valid UTF-8, and a text
// that encodes to GBK decodes back to itself.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "GbkCodec.h"

namespace {

bool IsValidUtf8(std::string_view text)
{
    for (std::size_t at = 0; at < text.size();) {
        const auto lead = static_cast<unsigned char>(text[at]);
        const std::size_t length = lead < 0x80 ? 1 : lead >= 0xC2 && lead < 0xE0 ? 2
                                 : lead >= 0xE0 && lead < 0xF0               ? 3
                                 : lead >= 0xF0 && lead < 0xF5               ? 4
                                                                             : 0;
        if (length == 0 || at + length > text.size()) return false;
        for (std::size_t i = 1; i < length; ++i)
            if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80) return false;
        at += length;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace velmora;
    const std::string_view input(reinterpret_cast<const char*>(data), size);

    const std::string decoded = GbkToUtf8(input);
    if (!IsValidUtf8(decoded)) std::abort();

    if (const auto gbk = Utf8ToGbk(input)) {
        if (GbkToUtf8(*gbk) != input) std::abort();
        if (GbkByteLength(input) != gbk->size()) std::abort();
    }
    Utf8ToGb18030(input);
    GbkByteLength(input);
    return 0;
}
