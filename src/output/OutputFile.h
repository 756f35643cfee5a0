// A file the program writes for the user to keep: a command's result, the
// page's picture beside it, the window's exports. Every one goes the same
// way: the bytes go to a temporary file with a short name of its own in the
// target's folder, which is renamed into place only when all of them are
// written and synced. So a full disk or an interruption leaves the old file
// (or nothing), never a half-written or empty one, and a target name of any
// length the file system allows works.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// Why an output was not written.
struct OutputProblem {
    int error = 0;      // the system's error number behind it (EMLINK, ENOSPC, ...)
    std::string words;  // the problem in English, naming the file as given
};

enum class OutputName {
    // A name the user chose. A symbolic link there is followed and the file
    // it points to written (made, for a dangling link); the link stays. A
    // device or pipe already there (/dev/stdout) is written in place.
    Chosen,
    // A name the program chose beside a chosen one (the page's picture).
    // Nothing there is followed or written through: a link, device or pipe
    // under that name is refused.
    Beside,
};

// A file an output must never be, and what it is in words ("the reading
// database").
struct KeptFile {
    std::filesystem::path path;
    std::string what;
};

// Checks, before any work, that `output` may be written: what is there (or,
// through links, would be there) is none of `keptFiles`, no file this
// process has open or has mapped as its program or a library, no program
// any process is running, and no folder. Files are compared by identity
// (device and inode), so links and other spellings of a path are caught.
std::optional<OutputProblem> RefuseOutput(const std::string& output, const std::vector<KeptFile>& keptFiles);

// What WriteOutputFile would refuse about what is at `output` now (a link,
// device or pipe under a name beside, a folder, several hard links),
// checked before any work; nothing when it may be written.
std::optional<OutputProblem> RefuseReplacing(const std::string& output, OutputName kind);

// Writes the bytes as above. A file that is replaced keeps its mode, owner
// and group (refused when its owner or group cannot be kept); a file with
// several hard links is refused, since replacing it would part the links. A
// new file gets the mode the umask leaves of 0666.
std::optional<OutputProblem> WriteOutputFile(const std::string& output, std::string_view bytes,
                                             OutputName kind = OutputName::Chosen);

// Why `folder` takes no new file now, as the system says it (ENOSPC, EACCES,
// EROFS, ...), or 0 when it does: a small temporary file is written there,
// synced and removed. For a writer that does not say why it failed.
int FolderWriteError(const std::string& folder);

// The system's reason for `error` as the window tells it: the common ones
// in Chinese words of our own, the system's own text for the rest.
std::string ReasonInChinese(int error);

}  // namespace velmora
