// Deciphering the commentary texts of one reading, and DES block throughput
// next to OpenSSL's and Nettle's DES in the same run.
//   bench/stored-text.sh   (medians of repeated, interleaved runs)
#include <benchmark/benchmark.h>
#include <nettle/des.h>
#include <openssl/evp.h>
#include <openssl/provider.h>

#include <array>
#include <cstdlib>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "DESCrypt.h"
#include "GbkCodec.h"
#include "UnitPublic.h"

namespace {

using namespace velmora;

// A commentary of about 2 KB of GBK text: indented headings, CR LF line ends.
std::string Commentary(int variant)
{
    const std::string paragraph =
        "    [命局概说]\r\n"
        "    这段文字只用来测量解密的速度：春天的树木抽出新枝，院子里的人们忙着播种，"
        "傍晚的风把炊烟吹得斜斜的。" +
        std::to_string(variant) + "\r\n";
    std::string text;
    while (text.size() < 2048) text += *Utf8ToGbk(paragraph);
    text.resize(2048);
    return text;
}

const std::vector<std::string>& ReadingStoredTexts()
{
    static const std::vector<std::string> texts = [] {
        std::vector<std::string> stored;
        for (int i = 0; i < 8; ++i) stored.push_back(EncryptStoredText(Commentary(i)));
        return stored;
    }();
    return texts;
}

// The eight texts of one reading: year, month, day, hour, bone weight, star
// sign, animal and animal month.
void BM_DecipherReading(benchmark::State& state)
{
    const auto& stored = ReadingStoredTexts();
    for (auto _ : state) {
        for (const std::string& text : stored) benchmark::DoNotOptimize(DecryptStoredText(text));
    }
    state.SetLabel("8 texts of 2 KB");
}
BENCHMARK(BM_DecipherReading)->Unit(benchmark::kMicrosecond);

// The same texts all the way to the HTML the page shows.
void BM_ReadingTextsToHtml(benchmark::State& state)
{
    const auto& stored = ReadingStoredTexts();
    for (auto _ : state) {
        for (const std::string& text : stored)
            benchmark::DoNotOptimize(TextToHtml(GbkToUtf8(DecryptStoredText(text))));
    }
}
BENCHMARK(BM_ReadingTextsToHtml)->Unit(benchmark::kMicrosecond);

constexpr std::size_t kBlocks = 4096;

std::vector<std::uint8_t> RandomBytes(std::size_t count)
{
    std::mt19937 random(7);
    std::vector<std::uint8_t> bytes(count);
    for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
    return bytes;
}

const DesKey kKey = {0x13, 0x34, 0x57, 0x79, 0x9B, 0xBC, 0xDF, 0xF1};

void BM_DesBlocks_Velmora(benchmark::State& state)
{
    const DesSubkeys subkeys = BuildDesSubkeys(kKey, DesDirection::Encrypt);
    std::vector<std::uint8_t> data = RandomBytes(8 * kBlocks);
    for (auto _ : state) {
        for (std::size_t at = 0; at < data.size(); at += 8) {
            DesBlock block;
            std::copy_n(data.begin() + static_cast<std::ptrdiff_t>(at), 8, block.begin());
            block = DesCryptBlock(subkeys, block);
            std::copy(block.begin(), block.end(), data.begin() + static_cast<std::ptrdiff_t>(at));
        }
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * data.size()));
}
BENCHMARK(BM_DesBlocks_Velmora);

// The run of blocks that the deciphering passes use.
void BM_DesBlocks_VelmoraRun(benchmark::State& state)
{
    const DesSubkeys subkeys = BuildDesSubkeys(kKey, DesDirection::Encrypt);
    std::vector<std::uint8_t> data = RandomBytes(8 * kBlocks);
    for (auto _ : state) {
        DesCryptBlocks(subkeys, data);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * data.size()));
}
BENCHMARK(BM_DesBlocks_VelmoraRun);

void BM_DesBlocks_OpenSsl(benchmark::State& state)
{
    if (OSSL_PROVIDER_load(nullptr, "legacy") == nullptr) {
        state.SkipWithError("OpenSSL's legacy provider is missing");
        return;
    }
    EVP_CIPHER* cipher = EVP_CIPHER_fetch(nullptr, "DES-ECB", nullptr);
    EVP_CIPHER_CTX* context = EVP_CIPHER_CTX_new();
    if (cipher == nullptr || context == nullptr ||
        EVP_EncryptInit_ex2(context, cipher, kKey.data(), nullptr, nullptr) != 1) {
        state.SkipWithError("OpenSSL has no DES-ECB");
        return;
    }
    EVP_CIPHER_CTX_set_padding(context, 0);
    std::vector<std::uint8_t> data = RandomBytes(8 * kBlocks);
    std::vector<std::uint8_t> out(data.size());
    for (auto _ : state) {
        int written = 0;
        EVP_EncryptUpdate(context, out.data(), &written, data.data(), static_cast<int>(data.size()));
        data.swap(out);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * data.size()));
    EVP_CIPHER_CTX_free(context);
    EVP_CIPHER_free(cipher);
}
BENCHMARK(BM_DesBlocks_OpenSsl);

void BM_DesBlocks_Nettle(benchmark::State& state)
{
    des_ctx context;
    des_set_key(&context, kKey.data());
    std::vector<std::uint8_t> data = RandomBytes(8 * kBlocks);
    for (auto _ : state) {
        des_encrypt(&context, data.size(), data.data(), data.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * data.size()));
}
BENCHMARK(BM_DesBlocks_Nettle);

}  // namespace

BENCHMARK_MAIN();
