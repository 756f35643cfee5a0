// The stored-text cipher: DES (FIPS 46-3) in electronic-codebook mode over
// hexadecimal text, and the two-layer form in which the reading database
// keeps its commentary texts.
//
// A stored text is, from the inside out: the GBK bytes of the text, completed
// with zero bytes to a multiple of 8; those DES-encrypted block by block with
// the inner key and written as hexadecimal; that hexadecimal text, completed
// the same way, DES-encrypted with the outer key and written as hexadecimal.
//
// Every function here is pure: the round keys live in a `DesSubkeys` value
// owned by the caller, so any number of threads may decrypt at once.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace velmora {

using DesKey = std::array<std::uint8_t, 8>;    // byte 0 holds key bits 1..8, MSB first
using DesBlock = std::array<std::uint8_t, 8>;  // byte 0 holds block bits 1..8, MSB first

enum class DesDirection { Encrypt, Decrypt };

// The sixteen round keys of one key in the order one direction uses them,
// packed for the round function (two 32-bit words a round, each holding four
// 6-bit groups). Build it with BuildDesSubkeys; the layout is internal.
struct DesSubkeys {
    std::array<std::uint32_t, 32> words{};
};

// Keys of the two layers of a stored text.
inline constexpr std::string_view kStoredTextOuterKey = "varnoskel";
inline constexpr std::string_view kStoredTextInnerKey = "qelvartomisudrakneb";

// Folds any key text into a DES key: character i (counted from 1) is added,
// modulo 256, to byte i mod 8. Longer texts wrap around onto the same bytes.
DesKey PrepareDesKey(std::string_view keyText);

// The FIPS 46-3 key schedule; the parity bits (lowest bit of each byte) are
// ignored. Decrypt gives the round keys in reverse order.
DesSubkeys BuildDesSubkeys(const DesKey& key, DesDirection direction);

// One block through the sixteen rounds with the given round keys.
DesBlock DesCryptBlock(const DesSubkeys& subkeys, const DesBlock& block);

// Every whole block of the bytes in place, each on its own (electronic
// codebook); bytes past the last whole block stay as they are.
void DesCryptBlocks(const DesSubkeys& subkeys, std::span<std::uint8_t> bytes);

// One decryption pass: reads the text as hexadecimal bytes (two digits a
// byte, either case; an odd last digit is a byte of its own), decrypts it in
// blocks of 8 (the last completed with zero bytes) and cuts the result before
// its first zero byte. Empty when the text is empty or holds anything but
// hexadecimal digits.
std::string DesDecryptHex(std::string_view hex, std::string_view keyText);

// The inverse pass: completes the bytes with zeros to a multiple of 8,
// encrypts them and writes upper-case hexadecimal. Empty bytes give an empty text.
std::string DesEncryptHex(std::string_view bytes, std::string_view keyText);

// The GBK bytes of a stored text (the caller decodes them); empty when the
// stored text is not well-formed. A wrong key or damaged data is not
// detected: the result is whatever the decryption gives.
std::string DecryptStoredText(std::string_view stored);

// The stored form of GBK bytes, so that DecryptStoredText gives them back.
// Throws std::invalid_argument for bytes holding a zero byte, which the
// stored form cannot carry.
std::string EncryptStoredText(std::string_view gbkBytes);

}  // namespace velmora
