// Any bytes as a commentary file, a weight table or a connection string:
// the parsers either accept them or throw their own error, never crash.
#include "ReadingDatabase.h"
#include "ReadingSource.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    using namespace velmora;
    try {
        for (const readingdb::SourceText& entry : readingdb::ParseTextFile(input, "fuzz.txt"))
            readingdb::StoreText(entry.text, "fuzz.txt", entry.key);
    } catch (const readingdb::ESourceError&) {
    }
    try {
        readingdb::ParseBoneWeights(input, "fuzz.tsv");
    } catch (const readingdb::ESourceError&) {
    }
    try {
        const ConnectionSettings settings = ParseConnectionString(input);
        ResolveDataSource(settings.dataSource, "/work");
    } catch (const EDatabaseError&) {
    }
    return 0;
}
