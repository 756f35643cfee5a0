// A stand-in for the update library: DoUpdate appends its two arguments as a
// line to the file named by VELMORA_FAKE_UPDATE_LOG, so a test can count the
// calls and read what they were given.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" __attribute__((visibility("default"))) int DoUpdate(std::uintptr_t window, const char* url) {
    const char* log = std::getenv("VELMORA_FAKE_UPDATE_LOG");
    if (log == nullptr) {
        return 1;
    }
    std::FILE* file = std::fopen(log, "a");
    if (file == nullptr) {
        return 1;
    }
    std::fprintf(file, "%llu %s\n", static_cast<unsigned long long>(window), url);
    std::fclose(file);
    return 0;
}
