// DES after FIPS 46-3, arranged for speed the usual way: the initial and
// final permutations are short networks of bit swaps, and each S-box is
// merged with the permutation P into one table of 64 words, so a round is
// eight lookups in 2 KB of tables. Both halves travel rotated left by one bit
// through the rounds; then every 6-bit group of the expansion E sits at a
// byte boundary of either the half or the half rotated by four, and E needs
// no work of its own.
#include "DESCrypt.h"

#include <bit>
#include <cstddef>
#include <stdexcept>

namespace velmora {
namespace {

using u32 = std::uint32_t;
using u64 = std::uint64_t;

// The permutation tables as FIPS 46-3 prints them: output bit k (from 1, MSB
// first) is input bit table[k-1].
constexpr std::array<int, 64> kInitialPermutation = {
    58, 50, 42, 34, 26, 18, 10, 2, 60, 52, 44, 36, 28, 20, 12, 4,
    62, 54, 46, 38, 30, 22, 14, 6, 64, 56, 48, 40, 32, 24, 16, 8,
    57, 49, 41, 33, 25, 17, 9,  1, 59, 51, 43, 35, 27, 19, 11, 3,
    61, 53, 45, 37, 29, 21, 13, 5, 63, 55, 47, 39, 31, 23, 15, 7};

constexpr std::array<int, 32> kPermutationP = {16, 7, 20, 21, 29, 12, 28, 17, 1,  15, 23,
                                               26, 5, 18, 31, 10, 2,  8,  24, 14, 32, 27,
                                               3,  9, 19, 13, 30, 6,  22, 11, 4,  25};

constexpr std::array<int, 56> kPermutedChoice1 = {
    57, 49, 41, 33, 25, 17, 9,  1,  58, 50, 42, 34, 26, 18, 10, 2,  59, 51, 43,
    35, 27, 19, 11, 3,  60, 52, 44, 36, 63, 55, 47, 39, 31, 23, 15, 7,  62, 54,
    46, 38, 30, 22, 14, 6,  61, 53, 45, 37, 29, 21, 13, 5,  28, 20, 12, 4};

constexpr std::array<int, 48> kPermutedChoice2 = {
    14, 17, 11, 24, 1,  5,  3,  28, 15, 6,  21, 10, 23, 19, 12, 4,  26, 8,  16, 7,  27, 20, 13, 2,
    41, 52, 31, 37, 47, 55, 30, 40, 51, 45, 33, 48, 44, 49, 39, 56, 34, 53, 46, 42, 50, 36, 29, 32};

constexpr std::array<int, 16> kKeyRotations = {1, 1, 2, 2, 2, 2, 2, 2, 1, 2, 2, 2, 2, 2, 2, 1};

// S-boxes S1..S8, each four rows of sixteen.
constexpr std::array<std::array<std::uint8_t, 64>, 8> kSBoxes = {{
    {14, 4,  13, 1, 2,  15, 11, 8,  3,  10, 6,  12, 5,  9,  0, 7,  0, 15, 7,  4,  14, 2,
     13, 1,  10, 6, 12, 11, 9,  5,  3,  8,  4,  1,  14, 8,  13, 6, 2,  11, 15, 12, 9,  7,
     3,  10, 5,  0, 15, 12, 8,  2,  4,  9,  1,  7,  5,  11, 3,  14, 10, 0,  6,  13},
    {15, 1,  8,  14, 6,  11, 3, 4,  9,  7,  2,  13, 12, 0,  5,  10, 3, 13, 4,  7,  15, 2,
     8,  14, 12, 0,  1,  10, 6, 9,  11, 5,  0,  14, 7,  11, 10, 4,  13, 1, 5,  8,  12, 6,
     9,  3,  2,  15, 13, 8,  10, 1, 3,  15, 4,  2,  11, 6,  7,  12, 0,  5,  14, 9},
    {10, 0,  9,  14, 6, 3,  15, 5,  1,  13, 12, 7,  11, 4,  2,  8,  13, 7,  0,  9,  3,  4,
     6,  10, 2,  8,  5, 14, 12, 11, 15, 1,  13, 6,  4,  9,  8,  15, 3,  0,  11, 1,  2,  12,
     5,  10, 14, 7,  1, 10, 13, 0,  6,  9,  8,  7,  4,  15, 14, 3,  11, 5,  2,  12},
    {7,  13, 14, 3, 0,  6,  9,  10, 1,  2, 8,  5,  11, 12, 4,  15, 13, 8,  11, 5,  6,  15,
     0,  3,  4,  7, 2,  12, 1,  10, 14, 9, 10, 6,  9,  0,  12, 11, 7,  13, 15, 1,  3,  14,
     5,  2,  8,  4, 3,  15, 0,  6,  10, 1, 13, 8,  9,  4,  5,  11, 12, 7,  2,  14},
    {2,  12, 4,  1,  7,  10, 11, 6,  8,  5, 3,  15, 13, 0,  14, 9,  14, 11, 2,  12, 4, 7,
     13, 1,  5,  0,  15, 10, 3,  9,  8,  6, 4,  2,  1,  11, 10, 13, 7,  8,  15, 9,  12, 5,
     6,  3,  0,  14, 11, 8,  12, 7,  1,  14, 2, 13, 6,  15, 0,  9,  10, 4,  5,  3},
    {12, 1,  10, 15, 9, 2,  6,  8,  0,  13, 3,  4,  14, 7,  5,  11, 10, 15, 4,  2,  7,  12,
     9,  5,  6,  1,  13, 14, 0, 11, 3,  8,  9,  14, 15, 5,  2,  8,  12, 3,  7,  0,  4,  10,
     1,  13, 11, 6,  4,  3,  2, 12, 9,  5,  15, 10, 11, 14, 1,  7,  6,  0,  8,  13},
    {4,  11, 2,  14, 15, 0,  8,  13, 3,  12, 9,  7,  5,  10, 6,  1,  13, 0,  11, 7, 4,  9,
     1,  10, 14, 3,  5,  12, 2,  15, 8,  6,  1,  4,  11, 13, 12, 3,  7,  14, 10, 15, 6, 8,
     0,  5,  9,  2,  6,  11, 13, 8,  1,  4,  10, 7,  9,  5,  0,  15, 14, 2,  3,  12},
    {13, 2,  8,  4, 6,  15, 11, 1,  10, 9,  3,  14, 5,  0,  12, 7,  1,  15, 13, 8,  10, 3,
     7,  4,  12, 5, 6,  11, 0,  14, 9,  2,  7,  11, 4,  1,  9,  12, 14, 2,  0,  6,  10, 13,
     15, 3,  5,  8, 2,  1,  14, 7,  4,  10, 8,  13, 15, 12, 9,  0,  3,  5,  6,  11},
}};

// Applies a FIPS permutation table to the low `inBits` bits of `in`.
template <std::size_t N>
constexpr u64 Permute(u64 in, const std::array<int, N>& table, int inBits)
{
    u64 out = 0;
    for (int from : table) out = (out << 1) | ((in >> (inBits - from)) & 1);
    return out;
}

// kSpTable[s][group] = P applied to S-box s's output for the 6-bit group, the
// output standing at bits 4s+1..4s+4, rotated left by one like the halves.
using SpTables = std::array<std::array<u32, 64>, 8>;

constexpr SpTables MakeSpTables()
{
    SpTables tables{};
    for (int s = 0; s < 8; ++s) {
        for (int group = 0; group < 64; ++group) {
            const int row = ((group >> 4) & 2) | (group & 1);
            const int column = (group >> 1) & 15;
            const u64 sOut = u64{kSBoxes[s][row * 16 + column]} << (28 - 4 * s);
            tables[s][group] = std::rotl(static_cast<u32>(Permute(sOut, kPermutationP, 32)), 1);
        }
    }
    return tables;
}

constexpr SpTables kSpTable = MakeSpTables();

// Exchanges the bits of `b` selected by `mask` with the bits of `a` that
// stand `shift` places higher; a few such exchanges make up the initial
// permutation.
constexpr void SwapBits(u32& a, u32& b, int shift, u32 mask)
{
    const u32 t = ((a >> shift) ^ b) & mask;
    b ^= t;
    a ^= t << shift;
}

// The initial permutation of the block halves as a network of bit swaps
// (moving no data through tables), ending with both halves rotated left by
// one bit as the rounds expect them.
constexpr void InitialPermutation(u32& left, u32& right)
{
    SwapBits(left, right, 4, 0x0f0f0f0f);
    SwapBits(left, right, 16, 0x0000ffff);
    SwapBits(right, left, 2, 0x33333333);
    SwapBits(right, left, 8, 0x00ff00ff);
    right = std::rotl(right, 1);
    const u32 t = (left ^ right) & 0xaaaaaaaa;
    left ^= t;
    right ^= t;
    left = std::rotl(left, 1);
}

// The inverse network; takes L16 and R16 as the rounds leave them and gives
// the output block, whose first half comes from R16.
constexpr u64 FinalPermutation(u32 left, u32 right)
{
    right = std::rotr(right, 1);
    const u32 t = (left ^ right) & 0xaaaaaaaa;
    left ^= t;
    right ^= t;
    left = std::rotr(left, 1);
    SwapBits(left, right, 8, 0x00ff00ff);
    SwapBits(left, right, 2, 0x33333333);
    SwapBits(right, left, 16, 0x0000ffff);
    SwapBits(right, left, 4, 0x0f0f0f0f);
    return (u64{right} << 32) | left;
}

// The networks are checked against the printed table while compiling: a
// permutation is fixed by where each single bit goes.
constexpr bool NetworksMatchTheTable()
{
    for (int bit = 0; bit < 64; ++bit) {
        const u64 in = u64{1} << bit;
        u32 left = static_cast<u32>(in >> 32);
        u32 right = static_cast<u32>(in);
        InitialPermutation(left, right);
        const u64 permuted = (u64{std::rotr(left, 1)} << 32) | std::rotr(right, 1);
        if (permuted != Permute(in, kInitialPermutation, 64)) return false;
        // The rounds leave R16 in the high half of the final input, L16 in the low.
        const u64 out = FinalPermutation(std::rotl(static_cast<u32>(in), 1),
                                         std::rotl(static_cast<u32>(in >> 32), 1));
        if (Permute(out, kInitialPermutation, 64) != in) return false;
    }
    return true;
}
static_assert(NetworksMatchTheTable());

// With the half rotated left by one, the even S-box groups (S1, S3, S5, S7)
// sit at the bytes of the half rotated right by four, the odd ones at the
// bytes of the half itself.
inline u32 RoundFunction(u32 half, const u32* key)
{
    const u32 even = std::rotr(half, 4) ^ key[0];
    const u32 odd = half ^ key[1];
    return kSpTable[0][(even >> 24) & 63] | kSpTable[2][(even >> 16) & 63] |
           kSpTable[4][(even >> 8) & 63] | kSpTable[6][even & 63] |
           kSpTable[1][(odd >> 24) & 63] | kSpTable[3][(odd >> 16) & 63] |
           kSpTable[5][(odd >> 8) & 63] | kSpTable[7][odd & 63];
}

u64 LoadBigEndian(const std::uint8_t* bytes)
{
    u64 value = 0;
    for (int i = 0; i < 8; ++i) value = (value << 8) | bytes[i];
    return value;
}

void StoreBigEndian(u64 value, std::uint8_t* bytes)
{
    for (int i = 7; i >= 0; --i, value >>= 8) bytes[i] = static_cast<std::uint8_t>(value);
}

// N independent blocks side by side. One block alone waits on the latency
// of each round's lookups; several interleaved keep the processor busy, and
// electronic-codebook mode lets every block go its own way.
template <int N>
void CryptLanes(const DesSubkeys& subkeys, u64* blocks)
{
    u32 left[N];
    u32 right[N];
    for (int i = 0; i < N; ++i) {
        left[i] = static_cast<u32>(blocks[i] >> 32);
        right[i] = static_cast<u32>(blocks[i]);
        InitialPermutation(left[i], right[i]);
    }
    const u32* key = subkeys.words.data();
    for (int round = 0; round < 16; round += 2, key += 4) {
        // Two rounds a turn spare the swap of the halves.
        for (int i = 0; i < N; ++i) left[i] ^= RoundFunction(right[i], key);
        for (int i = 0; i < N; ++i) right[i] ^= RoundFunction(left[i], key + 2);
    }
    for (int i = 0; i < N; ++i) blocks[i] = FinalPermutation(left[i], right[i]);
}

// Packs a 48-bit round key into the two words the round function expects:
// groups 1, 3, 5, 7 (from 1) in the first word, 2, 4, 6, 8 in the second,
// each at the low six bits of a byte, first group in the top byte.
void PackRoundKey(u64 roundKey, u32* words)
{
    auto group = [roundKey](int g) { return static_cast<u32>((roundKey >> (42 - 6 * g)) & 63); };
    words[0] = (group(0) << 24) | (group(2) << 16) | (group(4) << 8) | group(6);
    words[1] = (group(1) << 24) | (group(3) << 16) | (group(5) << 8) | group(7);
}

constexpr std::array<std::int8_t, 256> MakeHexDigitValues()
{
    std::array<std::int8_t, 256> values{};
    values.fill(-1);
    for (int d = 0; d < 10; ++d) values['0' + d] = static_cast<std::int8_t>(d);
    for (int d = 0; d < 6; ++d) {
        values['a' + d] = static_cast<std::int8_t>(10 + d);
        values['A' + d] = static_cast<std::int8_t>(10 + d);
    }
    return values;
}

constexpr std::array<std::int8_t, 256> kHexDigitValues = MakeHexDigitValues();

// Hexadecimal text to bytes, zero-completed to whole blocks; false on any
// character that is not a hexadecimal digit. An odd last digit is a byte of
// its own value.
bool ReadHexBlocks(std::string_view hex, std::string& bytes)
{
    auto digit = [](char c) { return kHexDigitValues[static_cast<unsigned char>(c)]; };
    const std::size_t count = (hex.size() + 1) / 2;
    bytes.assign((count + 7) / 8 * 8, '\0');
    std::size_t i = 0;
    for (; i + 1 < hex.size(); i += 2) {
        const int high = digit(hex[i]);
        const int low = digit(hex[i + 1]);
        if ((high | low) < 0) return false;
        bytes[i / 2] = static_cast<char>(high * 16 + low);
    }
    if (i < hex.size()) {
        const int last = digit(hex[i]);
        if (last < 0) return false;
        bytes[i / 2] = static_cast<char>(last);
    }
    return true;
}

void CryptBlocksInPlace(const DesSubkeys& subkeys, std::string& bytes)
{
    DesCryptBlocks(subkeys, {reinterpret_cast<std::uint8_t*>(bytes.data()), bytes.size()});
}

std::string DecryptHexWith(const DesSubkeys& subkeys, std::string_view hex)
{
    // An empty text reads as one empty piece, which is no hexadecimal number.
    std::string bytes;
    if (hex.empty() || !ReadHexBlocks(hex, bytes)) return {};
    CryptBlocksInPlace(subkeys, bytes);
    const std::size_t zero = bytes.find('\0');
    if (zero != std::string::npos) bytes.resize(zero);
    return bytes;
}

std::string EncryptHexWith(const DesSubkeys& subkeys, std::string_view plain)
{
    std::string bytes(plain);
    bytes.resize((bytes.size() + 7) / 8 * 8, '\0');
    CryptBlocksInPlace(subkeys, bytes);
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string hex(2 * bytes.size(), '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        hex[2 * i] = kDigits[byte >> 4];
        hex[2 * i + 1] = kDigits[byte & 15];
    }
    return hex;
}

// The round keys of the two built-in keys never change; they are built once
// and only read afterwards.
struct StoredTextKeys {
    DesSubkeys outer;
    DesSubkeys inner;
};

const StoredTextKeys& StoredTextDecryptionKeys()
{
    static const StoredTextKeys keys{
        BuildDesSubkeys(PrepareDesKey(kStoredTextOuterKey), DesDirection::Decrypt),
        BuildDesSubkeys(PrepareDesKey(kStoredTextInnerKey), DesDirection::Decrypt)};
    return keys;
}

}  // namespace

DesKey PrepareDesKey(std::string_view keyText)
{
    DesKey key{};
    for (std::size_t i = 0; i < keyText.size(); ++i)
        key[(i + 1) % 8] += static_cast<std::uint8_t>(keyText[i]);
    return key;
}

DesSubkeys BuildDesSubkeys(const DesKey& key, DesDirection direction)
{
    constexpr u32 kHalfMask = (u32{1} << 28) - 1;
    const u64 choice1 = Permute(LoadBigEndian(key.data()), kPermutedChoice1, 64);
    u32 c = static_cast<u32>(choice1 >> 28) & kHalfMask;
    u32 d = static_cast<u32>(choice1) & kHalfMask;
    DesSubkeys subkeys;
    for (int round = 0; round < 16; ++round) {
        const int r = kKeyRotations[round];
        c = ((c << r) | (c >> (28 - r))) & kHalfMask;
        d = ((d << r) | (d >> (28 - r))) & kHalfMask;
        const u64 roundKey = Permute((u64{c} << 28) | d, kPermutedChoice2, 56);
        const int slot = direction == DesDirection::Encrypt ? round : 15 - round;
        PackRoundKey(roundKey, &subkeys.words[2 * slot]);
    }
    return subkeys;
}

DesBlock DesCryptBlock(const DesSubkeys& subkeys, const DesBlock& block)
{
    u64 value = LoadBigEndian(block.data());
    CryptLanes<1>(subkeys, &value);
    DesBlock out;
    StoreBigEndian(value, out.data());
    return out;
}

void DesCryptBlocks(const DesSubkeys& subkeys, std::span<std::uint8_t> bytes)
{
    constexpr std::size_t kLanes = 4;
    std::size_t at = 0;
    for (; at + 8 * kLanes <= bytes.size(); at += 8 * kLanes) {
        u64 blocks[kLanes];
        for (std::size_t i = 0; i < kLanes; ++i) blocks[i] = LoadBigEndian(&bytes[at + 8 * i]);
        CryptLanes<kLanes>(subkeys, blocks);
        for (std::size_t i = 0; i < kLanes; ++i) StoreBigEndian(blocks[i], &bytes[at + 8 * i]);
    }
    for (; at + 8 <= bytes.size(); at += 8) {
        u64 block = LoadBigEndian(&bytes[at]);
        CryptLanes<1>(subkeys, &block);
        StoreBigEndian(block, &bytes[at]);
    }
}

std::string DesDecryptHex(std::string_view hex, std::string_view keyText)
{
    return DecryptHexWith(BuildDesSubkeys(PrepareDesKey(keyText), DesDirection::Decrypt), hex);
}

std::string DesEncryptHex(std::string_view bytes, std::string_view keyText)
{
    return EncryptHexWith(BuildDesSubkeys(PrepareDesKey(keyText), DesDirection::Encrypt), bytes);
}

std::string DecryptStoredText(std::string_view stored)
{
    const StoredTextKeys& keys = StoredTextDecryptionKeys();
    return DecryptHexWith(keys.inner, DecryptHexWith(keys.outer, stored));
}

std::string EncryptStoredText(std::string_view gbkBytes)
{
    if (gbkBytes.find('\0') != std::string_view::npos)
        throw std::invalid_argument("A stored text cannot hold a zero byte");
    return DesEncryptHex(DesEncryptHex(gbkBytes, kStoredTextInnerKey), kStoredTextOuterKey);
}

}  // namespace velmora
