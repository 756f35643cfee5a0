// Hexadecimal helpers for the tests, kept apart from the program's own reader
// so a fault there cannot hide itself.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace velmora::test {

inline std::string HexToBytes(std::string_view hex)
{
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes += static_cast<char>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16));
    return bytes;
}

inline std::string BytesToHex(std::string_view bytes)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    for (unsigned char c : bytes) {
        hex += kDigits[c >> 4];
        hex += kDigits[c & 15];
    }
    return hex;
}

inline std::array<std::uint8_t, 8> HexToBlock(std::string_view hex)
{
    std::array<std::uint8_t, 8> block{};
    const std::string bytes = HexToBytes(hex);
    for (std::size_t i = 0; i < block.size() && i < bytes.size(); ++i)
        block[i] = static_cast<std::uint8_t>(bytes[i]);
    return block;
}

inline std::string BlockToHex(const std::array<std::uint8_t, 8>& block)
{
    return BytesToHex(std::string_view(reinterpret_cast<const char*>(block.data()), block.size()));
}

}  // namespace velmora::test
