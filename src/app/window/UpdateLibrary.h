// The update library: an optional library beside the program (Update.dll on
// Windows, libUpdate.so elsewhere) whose DoUpdate the window calls once, about
// five seconds after start-up, with its window handle and the address of the
// update notice. What the library does with them is its own business; without
// the library there is simply no call.
#pragma once

#include <QLibrary>
#include <QString>

#include <cstdint>

#ifdef _WIN32
#define VELMORA_STDCALL __stdcall
#else
#define VELMORA_STDCALL
#endif

namespace velmora {

// DoUpdate(window handle, zero-terminated single-byte URL); the result is not used.
using TDoUpdate = int(VELMORA_STDCALL*)(std::uintptr_t window, const char* url);

inline constexpr char kUpdateFunctionName[] = "DoUpdate";

// The library's file in `folder`.
QString UpdateLibraryPath(const QString& folder);

class TUpdateLibrary {
public:
    explicit TUpdateLibrary(const QString& folder);
    // DoUpdate, loading the library the first time; null when the library or
    // the function is missing. The library stays loaded for the program's life.
    TDoUpdate Resolve();

private:
    QLibrary library_;
};

}  // namespace velmora
