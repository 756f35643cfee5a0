#include "TaskMemory.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

namespace velmora {

namespace {
std::atomic<std::size_t> liveBlocks{0};
}

void* TaskMemAlloc(std::size_t bytes) {
    // A zero-byte request still gets a distinct block, as the system allocator does.
    void* block = std::malloc(bytes == 0 ? 1 : bytes);
    if (block != nullptr) {
        ++liveBlocks;
    }
    return block;
}

void TaskMemFree(void* block) {
    if (block == nullptr) {
        return;
    }
    std::free(block);
    --liveBlocks;
}

std::size_t TaskMemBlocksInUse() {
    return liveBlocks.load();
}

char16_t* CopyToTaskMemory(std::u16string_view text) {
    const std::size_t bytes = 2 * text.size() + 2;
    auto* block = static_cast<char16_t*>(TaskMemAlloc(bytes));
    if (block == nullptr) {
        return nullptr;
    }
    std::memset(block, 0, bytes);
    if (!text.empty()) {
        std::memcpy(block, text.data(), 2 * text.size());
    }
    return block;
}

}  // namespace velmora
