// The file a command writes its result to. It is never one of the files the
// command reads (the reading database above all) and it is never left
// half-written: the bytes go to a temporary file beside it that is renamed
// into place only when all of them are written.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::cli {

// Checks, before any work, that `output` may be written: what is there (or,
// through links, would be there) is no file this process has open and none of
// `readFiles`, and is no folder. Files are compared by identity (device and
// inode), so links and other spellings of a path are caught. The problem in
// words, with the system's reason where there is one, or nothing.
std::optional<std::string> RefuseOutput(const std::string& output, const std::vector<std::filesystem::path>& readFiles);

// Writes the bytes (see above); the problem in words, or nothing. A device
// or pipe that is there already (/dev/null, /dev/stdout) is written in place.
std::optional<std::string> WriteOutputFile(const std::string& output, std::string_view bytes);

}  // namespace velmora::cli
