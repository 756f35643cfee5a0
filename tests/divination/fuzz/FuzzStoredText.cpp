// Any text given to the decrypting passes: no crash, no hang, no zero byte in
// a result, and every encrypted text decrypts back to itself.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "DESCrypt.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace velmora;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    if (DecryptStoredText(input).find('\0') != std::string::npos) std::abort();

    // The first byte chooses how many of the following bytes form a key text.
    const std::size_t keyLength = size == 0 ? 0 : data[0] % 24;
    const std::string_view key = input.substr(size == 0 ? 0 : 1).substr(0, keyLength);
    const std::string_view hex = input.substr(std::min(size, 1 + keyLength));
    if (DesDecryptHex(hex, key).find('\0') != std::string::npos) std::abort();

    if (input.find('\0') == std::string_view::npos) {
        if (DesDecryptHex(DesEncryptHex(input, key), key) != input) std::abort();
        if (DecryptStoredText(EncryptStoredText(input)) != input) std::abort();
    }
    return 0;
}
