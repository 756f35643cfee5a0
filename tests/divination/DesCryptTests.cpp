// The DES block cipher against published known answers and against Nettle,
// and the hexadecimal passes and two-layer stored texts built on it.
#include <gtest/gtest.h>
#include <nettle/des.h>

#include <random>
#include <stdexcept>
#include <thread>
#include <vector>

#include "DESCrypt.h"
#include "HexText.h"

namespace velmora {
namespace {

using test::BlockToHex;
using test::BytesToHex;
using test::HexToBlock;
using test::HexToBytes;

DesKey KeyFromHex(std::string_view hex) { return HexToBlock(hex); }

// ---------------------------------------------------------------------------
// Block cipher

struct KnownAnswer {
    const char* name;
    const char* key;
    const char* plain;
    const char* cipher;
    friend void PrintTo(const KnownAnswer& row, std::ostream* out) { *out << row.name; }
};

class DesKnownAnswer : public testing::TestWithParam<KnownAnswer> {};

TEST_P(DesKnownAnswer, EncryptsAndDecrypts)
{
    const KnownAnswer& row = GetParam();
    const DesKey key = KeyFromHex(row.key);
    const DesSubkeys forward = BuildDesSubkeys(key, DesDirection::Encrypt);
    const DesSubkeys backward = BuildDesSubkeys(key, DesDirection::Decrypt);
    EXPECT_EQ(BlockToHex(DesCryptBlock(forward, HexToBlock(row.plain))), row.cipher);
    EXPECT_EQ(BlockToHex(DesCryptBlock(backward, HexToBlock(row.cipher))), row.plain);
}

// The classic worked example, and rows of the NIST variable-plaintext,
// variable-key, permutation and substitution tests.
INSTANTIATE_TEST_SUITE_P(
    Fips, DesKnownAnswer,
    testing::Values(
        KnownAnswer{"WorkedExample", "133457799BBCDFF1", "0123456789ABCDEF", "85E813540F0AB405"},
        KnownAnswer{"VarPlainBit1", "0101010101010101", "8000000000000000", "95F8A5E5DD31D900"},
        KnownAnswer{"VarPlainBit2", "0101010101010101", "4000000000000000", "DD7F121CA5015619"},
        KnownAnswer{"VarPlainBit3", "0101010101010101", "2000000000000000", "2E8653104F3834EA"},
        KnownAnswer{"VarPlainBit4", "0101010101010101", "1000000000000000", "4BD388FF6CD81D4F"},
        KnownAnswer{"VarPlainBit5", "0101010101010101", "0800000000000000", "20B9E767B2FB1456"},
        KnownAnswer{"VarPlainBit57", "0101010101010101", "0000000000000080", "2FBC291A570DB5C4"},
        KnownAnswer{"VarPlainBit64", "0101010101010101", "0000000000000001", "166B40B44ABA4BD6"},
        KnownAnswer{"VarKeyBit1", "8001010101010101", "0000000000000000", "95A8D72813DAA94D"},
        KnownAnswer{"VarKeyBit2", "4001010101010101", "0000000000000000", "0EEC1487DD8C26D5"},
        KnownAnswer{"VarKeyBit3", "2001010101010101", "0000000000000000", "7AD16FFB79C45926"},
        KnownAnswer{"VarKeyBit4", "1001010101010101", "0000000000000000", "D3746294CA6A6CF3"},
        KnownAnswer{"VarKeyBit57", "0101010101010180", "0000000000000000", "9CC62DF43B6EED74"},
        KnownAnswer{"VarKeyBit63", "0101010101010102", "0000000000000000", "869EFD7F9F265A09"},
        KnownAnswer{"Permutation1", "1046913489980131", "0000000000000000", "88D55E54F54C97B4"},
        KnownAnswer{"Permutation2", "1007103489988020", "0000000000000000", "0C0CC00C83EA48FD"},
        KnownAnswer{"Substitution1", "7CA110454A1A6E57", "01A1D6D039776742", "690F5B0D9A26939B"},
        KnownAnswer{"Substitution2", "0131D9619DC1376E", "5CD54CA83DEF57DA", "7A389D10354BD271"},
        KnownAnswer{"Substitution3", "07A1133E4A0B2686", "0248D43806F67172", "868EBB51CAB4599A"}),
    [](const testing::TestParamInfo<KnownAnswer>& info) { return std::string(info.param.name); });

TEST(DesBlock, IgnoresTheParityBitOfEveryKeyByte)
{
    DesKey key = KeyFromHex("133457799BBCDFF1");
    for (auto& byte : key) byte ^= 1;
    const DesSubkeys subkeys = BuildDesSubkeys(key, DesDirection::Encrypt);
    EXPECT_EQ(BlockToHex(DesCryptBlock(subkeys, HexToBlock("0123456789ABCDEF"))),
              "85E813540F0AB405");
}

TEST(DesBlock, AgreesWithNettleOnRandomKeysAndBlocksBothWays)
{
    std::mt19937_64 random(20090921);
    int compared = 0;
    while (compared < 4000) {
        DesKey key;
        DesBlock block;
        for (auto& b : key) b = static_cast<std::uint8_t>(random());
        for (auto& b : block) b = static_cast<std::uint8_t>(random());
        des_ctx nettle;
        if (!des_set_key(&nettle, key.data())) continue;  // Nettle refuses weak keys
        DesBlock expectedCipher;
        DesBlock expectedPlain;
        des_encrypt(&nettle, 8, expectedCipher.data(), block.data());
        des_decrypt(&nettle, 8, expectedPlain.data(), block.data());
        ASSERT_EQ(DesCryptBlock(BuildDesSubkeys(key, DesDirection::Encrypt), block), expectedCipher)
            << "key " << BlockToHex(key) << " block " << BlockToHex(block);
        ASSERT_EQ(DesCryptBlock(BuildDesSubkeys(key, DesDirection::Decrypt), block), expectedPlain)
            << "key " << BlockToHex(key) << " block " << BlockToHex(block);
        ++compared;
    }
}

TEST(DesBlock, RunsOfBlocksAgreeWithNettleAndLeaveTheTailAlone)
{
    // Lengths around the four blocks the run takes at a time.
    std::mt19937 random(5);
    const DesKey key = KeyFromHex("0E329232EA6D0D73");
    des_ctx nettle;
    ASSERT_TRUE(des_set_key(&nettle, key.data()));
    for (std::size_t length : {0u, 7u, 8u, 24u, 32u, 40u, 93u, 256u}) {
        std::vector<std::uint8_t> bytes(length);
        for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
        std::vector<std::uint8_t> expected = bytes;
        const std::size_t whole = length / 8 * 8;
        des_decrypt(&nettle, whole, expected.data(), bytes.data());
        DesCryptBlocks(BuildDesSubkeys(key, DesDirection::Decrypt), bytes);
        EXPECT_EQ(bytes, expected) << "length " << length;
    }
}

// ---------------------------------------------------------------------------
// Key text folding

struct KeyFolding {
    const char* name;
    std::string text;
    const char* key;
    friend void PrintTo(const KeyFolding& row, std::ostream* out) { *out << row.name; }
};

class PrepareDesKeyRows : public testing::TestWithParam<KeyFolding> {};

TEST_P(PrepareDesKeyRows, FoldsTheTextOntoEightBytes)
{
    EXPECT_EQ(BlockToHex(PrepareDesKey(GetParam().text)), GetParam().key);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, PrepareDesKeyRows,
    testing::Values(KeyFolding{"Empty", "", "0000000000000000"},
                    // Up to seven characters fill bytes 1.. and leave byte 0 at zero.
                    KeyFolding{"SevenCharacters", "ABCDEFG", "0041424344454647"},
                    KeyFolding{"EighthGoesToByteZero", "ABCDEFGH", "4841424344454647"},
                    // v+l = 0xE2 on byte 1; the rest stand alone.
                    KeyFolding{"OuterKey", "varnoskel", "65E261726E6F736B"},
                    KeyFolding{"SumWrapsModulo256", std::string(9, '\xFF'), "FFFEFFFFFFFFFFFF"}),
    [](const testing::TestParamInfo<KeyFolding>& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// Hexadecimal passes

// Encrypts with Nettle, so these tests do not lean on the encrypting pass.
std::string NettleEncryptHex(std::string bytes, std::string_view keyText)
{
    bytes.resize((bytes.size() + 7) / 8 * 8, '\0');
    des_ctx nettle;
    des_set_key(&nettle, PrepareDesKey(keyText).data());
    std::string cipher(bytes.size(), '\0');
    des_encrypt(&nettle, bytes.size(), reinterpret_cast<std::uint8_t*>(cipher.data()),
                reinterpret_cast<const std::uint8_t*>(bytes.data()));
    return BytesToHex(cipher);
}

std::string ToLower(std::string text)
{
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

TEST(DesDecryptHex, ReadsWhatNettleWroteInEitherCase)
{
    const std::string plain = "Seventeen letters";
    const std::string hex = NettleEncryptHex(plain, "a key");
    EXPECT_EQ(DesDecryptHex(hex, "a key"), plain);
    EXPECT_EQ(DesDecryptHex(ToLower(hex), "a key"), plain);
}

TEST(DesDecryptHex, EmptyTextGivesEmptyText) { EXPECT_EQ(DesDecryptHex("", "a key"), ""); }

struct BadDigit {
    const char* name;
    std::size_t position;
    char character;
    friend void PrintTo(const BadDigit& row, std::ostream* out) { *out << row.name; }
};

class DesDecryptHexBadDigit : public testing::TestWithParam<BadDigit> {};

TEST_P(DesDecryptHexBadDigit, EmptiesTheWholeResult)
{
    std::string hex = NettleEncryptHex("three blocks of plain text", "a key");
    ASSERT_EQ(DesDecryptHex(hex, "a key"), "three blocks of plain text");
    hex[GetParam().position] = GetParam().character;
    EXPECT_EQ(DesDecryptHex(hex, "a key"), "");
}

INSTANTIATE_TEST_SUITE_P(
    Positions, DesDecryptHexBadDigit,
    testing::Values(BadDigit{"LetterGInFirstBlock", 0, 'g'}, BadDigit{"SpaceInSecondBlock", 21, ' '},
                    BadDigit{"SignInLastBlock", 63, '-'}, BadDigit{"ZeroByteAtEnd", 63, '\0'},
                    BadDigit{"HighByte", 40, '\xB0'}),
    [](const testing::TestParamInfo<BadDigit>& info) { return std::string(info.param.name); });

TEST(DesDecryptHex, OddLastDigitIsAByteOfItsOwnValue)
{
    // "…5", "…05" and "…0500000000000000" all name the same last block.
    const std::string hex = NettleEncryptHex("ABCDEFGH", "a key");
    const std::string odd = DesDecryptHex(hex + "5", "a key");
    EXPECT_EQ(odd.substr(0, 8), "ABCDEFGH");
    EXPECT_EQ(odd, DesDecryptHex(hex + "05", "a key"));
    EXPECT_EQ(odd, DesDecryptHex(hex + "0500000000000000", "a key"));
    EXPECT_NE(odd, DesDecryptHex(hex + "5000000000000000", "a key"));
}

TEST(DesDecryptHex, CutsAtTheFirstZeroByte)
{
    const std::string hex = NettleEncryptHex(std::string("before\0after the zero", 22), "a key");
    EXPECT_EQ(DesDecryptHex(hex, "a key"), "before");
}

TEST(DesDecryptHex, LongKeyTextsThatFoldAlikeDecryptAlike)
{
    // Byte 1 holds 'v' + 'l' in the first key and 'w' + 'k' in the second.
    const std::string hex = NettleEncryptHex("same key after folding", "varnoskel");
    EXPECT_EQ(DesDecryptHex(hex, "warnoskek"), "same key after folding");
    EXPECT_NE(DesDecryptHex(hex, "varnoskek"), "same key after folding");
}

TEST(DesEncryptHex, WritesUpperCaseHexOfZeroCompletedBlocks)
{
    EXPECT_EQ(DesEncryptHex("", "a key"), "");
    EXPECT_EQ(DesEncryptHex("12345678", "a key"), NettleEncryptHex("12345678", "a key"));
    EXPECT_EQ(DesEncryptHex("123456789", "a key"), NettleEncryptHex("123456789", "a key"));
    EXPECT_EQ(DesEncryptHex("123456789", "a key").size(), 32u);
}

// ---------------------------------------------------------------------------
// Stored texts

// 称骨 in GBK, then a line end and a bracketed heading.
const std::string kGbkSample = "\xB3\xC6\xB9\xC7\r\n    [\xCB\xB5\xC3\xF7]";

TEST(StoredText, DecryptsTheTwoLayersNettleBuilt)
{
    const std::string stored =
        NettleEncryptHex(NettleEncryptHex(kGbkSample, kStoredTextInnerKey), kStoredTextOuterKey);
    EXPECT_EQ(DecryptStoredText(stored), kGbkSample);
    EXPECT_EQ(DecryptStoredText(ToLower(stored)), kGbkSample);
    EXPECT_EQ(EncryptStoredText(kGbkSample), stored);
}

TEST(StoredText, RoundTripsEveryTextWithoutZeroBytes)
{
    std::mt19937 random(44);
    std::uniform_int_distribution<int> byte(1, 255);
    for (std::size_t length = 0; length <= 40; ++length) {
        std::string text(length, '\0');
        for (char& c : text) c = static_cast<char>(byte(random));
        EXPECT_EQ(DecryptStoredText(EncryptStoredText(text)), text) << "length " << length;
    }
}

TEST(StoredText, MalformedOrWronglyKeyedTextsGiveEmptyText)
{
    EXPECT_EQ(DecryptStoredText(""), "");
    EXPECT_EQ(DecryptStoredText("not hexadecimal"), "");
    // With another outer key the first pass gives bytes that are no
    // hexadecimal text, and the second pass fails.
    const std::string wrongOuter =
        NettleEncryptHex(NettleEncryptHex(kGbkSample, kStoredTextInnerKey), "another key");
    EXPECT_EQ(DecryptStoredText(wrongOuter), "");
}

TEST(StoredText, RefusesToStoreAZeroByte)
{
    EXPECT_THROW(EncryptStoredText(std::string("a\0b", 3)), std::invalid_argument);
}

TEST(StoredText, DecryptsConcurrentlyWithDifferentKeys)
{
    // Each thread decrypts with its own key; round keys shared between the
    // passes would mix the keys up.
    const std::string stored = EncryptStoredText(kGbkSample);
    auto worker = [&](int id, bool& ok) {
        const std::string key = "thread key " + std::to_string(id);
        const std::string own = DesEncryptHex("text of thread " + std::to_string(id), key);
        for (int i = 0; i < 300 && ok; ++i)
            ok = DecryptStoredText(stored) == kGbkSample &&
                 DesDecryptHex(own, key) == "text of thread " + std::to_string(id);
    };
    std::vector<std::thread> threads;
    bool ok[4] = {true, true, true, true};
    for (int id = 0; id < 4; ++id) threads.emplace_back(worker, id, std::ref(ok[id]));
    for (auto& thread : threads) thread.join();
    for (bool threadOk : ok) EXPECT_TRUE(threadOk);
}

}  // namespace
}  // namespace velmora
