// Converting one reading's commentary texts (one section of each text file,
// about 4.5 KB: both sexes' bone texts, so a little more than a reading has) into each traditional script, OpenCC's dictionaries loaded;
// the target is under 2 ms. Beside it, what loading one script's dictionaries
// costs (paid once per process, on the first conversion into that script)
// and OpenCC alone on the same texts.
//
// Run: build/bench/script_bench
#include <benchmark/benchmark.h>

#include <opencc/SimpleConverter.hpp>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "Script.h"

namespace {

using namespace velmora;

// The sections ("@ key" and the lines below it) of a commentary text file.
std::vector<std::string> Sections(const std::filesystem::path& file)
{
    std::ifstream in(file);
    std::vector<std::string> sections;
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with("@")) sections.emplace_back();
        if (!sections.empty()) sections.back() += line + "\n";
    }
    return sections;
}

// Twelve readings' texts: the n-th of them takes the n-th section of each file.
std::vector<std::string> ReadingTexts()
{
    std::vector<std::string> readings(12);
    for (const auto& file : std::filesystem::directory_iterator(VELMORA_SOURCE_DIR "/data/texts")) {
        const std::vector<std::string> sections = Sections(file.path());
        for (std::size_t n = 0; n < readings.size() && !sections.empty(); ++n) {
            readings[n] += sections[(n * 7) % sections.size()];
        }
    }
    return readings;
}

void BM_ConvertReadingTexts(benchmark::State& state)
{
    const auto script = static_cast<Script>(state.range(0));
    const std::vector<std::string> readings = ReadingTexts();
    ConvertText("加载", script);
    std::size_t n = 0, bytes = 0;
    for (auto _ : state) {
        const std::string& text = readings[n++ % readings.size()];
        benchmark::DoNotOptimize(ConvertText(text, script));
        bytes += text.size();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
    state.SetLabel(std::string(ScriptName(script)));
}
BENCHMARK(BM_ConvertReadingTexts)
    ->Arg(static_cast<int>(Script::Traditional))
    ->Arg(static_cast<int>(Script::Taiwan))
    ->Arg(static_cast<int>(Script::HongKong))
    ->Unit(benchmark::kMicrosecond);

// The same texts through OpenCC alone, without our dictionary: what the
// corrections add is the difference.
void BM_OpenccAloneReadingTexts(benchmark::State& state)
{
    const opencc::SimpleConverter converter("s2t.json");
    const std::vector<std::string> readings = ReadingTexts();
    std::size_t n = 0;
    for (auto _ : state) benchmark::DoNotOptimize(converter.Convert(readings[n++ % readings.size()]));
}
BENCHMARK(BM_OpenccAloneReadingTexts)->Unit(benchmark::kMicrosecond);

void BM_LoadOpenccDictionaries(benchmark::State& state)
{
    for (auto _ : state) {
        const opencc::SimpleConverter converter("s2tw.json");
        benchmark::DoNotOptimize(&converter);
    }
}
BENCHMARK(BM_LoadOpenccDictionaries)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
