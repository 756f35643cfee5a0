// The task allocator: blocks that one side of the browser host allocates and
// the other side frees, the way a translated URL is handed to the engine.
// Plain C++; the count of live blocks lets the tests prove that every block
// handed out is freed again.
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

namespace velmora {

// A block of `bytes` bytes, or nullptr when the system has no memory left.
void* TaskMemAlloc(std::size_t bytes);
// Frees a block from TaskMemAlloc; nullptr is ignored.
void TaskMemFree(void* block);
// Blocks handed out by TaskMemAlloc and not yet freed.
std::size_t TaskMemBlocksInUse();

// Owns a block from the task allocator until it goes out of scope.
struct TaskMemDeleter {
    void operator()(void* block) const { TaskMemFree(block); }
};
using TaskMemPtr = std::unique_ptr<char16_t[], TaskMemDeleter>;

// A zero-terminated UTF-16 copy of `text` from the task allocator: 2n + 2
// bytes for n code units, the last two zero. The caller frees it with
// TaskMemFree. nullptr when the allocator has no memory left.
char16_t* CopyToTaskMemory(std::u16string_view text);

}  // namespace velmora
