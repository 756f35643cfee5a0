#include "OutputFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "MessageText.h"

namespace velmora::cli {
namespace fs = std::filesystem;
namespace {

std::string CannotWrite(const std::string& output, int error)
{
    return "cannot write " + Printable(output) + ": " + std::strerror(error);
}

bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// Every file this process has open, as the system lists them.
std::vector<struct stat> OpenFiles()
{
    std::vector<struct stat> files;
    DIR* folder = opendir("/proc/self/fd");
    if (!folder) return files;
    const int own = dirfd(folder);
    while (const dirent* entry = readdir(folder)) {
        struct stat info {};
        if (entry->d_name[0] == '.' || std::atoi(entry->d_name) == own) continue;
        if (fstatat(own, entry->d_name, &info, 0) == 0) files.push_back(info);
    }
    closedir(folder);
    return files;
}

// The path the bytes finally land at: a link is followed, so that writing
// through it replaces the file it points to, not the link.
fs::path FinalPath(const std::string& output)
{
    std::error_code error;
    if (!fs::is_symlink(fs::symlink_status(output, error))) return output;
    const fs::path resolved = fs::weakly_canonical(output, error);
    return error ? fs::path(output) : resolved;
}

bool WriteAll(int descriptor, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            if (written == 0) errno = ENOSPC;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

std::optional<std::string> WriteInPlace(const std::string& output, std::string_view bytes)
{
    const int descriptor = ::open(output.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (descriptor < 0) return CannotWrite(output, errno);
    const bool written = WriteAll(descriptor, bytes);
    const int error = errno;
    if (::close(descriptor) != 0 && written) return CannotWrite(output, errno);
    if (!written) return CannotWrite(output, error);
    return std::nullopt;
}

mode_t NewFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

std::optional<std::string> RefuseOutput(const std::string& output, const std::vector<fs::path>& readFiles)
{
    if (output.empty()) return "the output file name is empty";
    struct stat target {};
    if (::stat(output.c_str(), &target) != 0) {
        const int error = errno;
        if (error != ENOENT) return CannotWrite(output, error);
        // Nothing there yet; a dangling link or a folder that does not exist
        // is found by the write itself. A read file is always there, so
        // nothing that does not exist can be one.
        return std::nullopt;
    }
    if (S_ISDIR(target.st_mode)) return CannotWrite(output, EISDIR);
    if (!S_ISREG(target.st_mode)) return std::nullopt;
    for (const fs::path& file : readFiles) {
        struct stat info {};
        if (::stat(file.c_str(), &info) == 0 && SameFile(info, target))
            return "the output " + Printable(output) + " is the reading database " + Printable(file.string()) +
                   "; refusing to write over it";
    }
    for (const struct stat& open : OpenFiles())
        if (SameFile(open, target))
            return "the output " + Printable(output) + " is a file velmora-cli has open; refusing to write over it";
    return std::nullopt;
}

std::optional<std::string> WriteOutputFile(const std::string& output, std::string_view bytes)
{
    const fs::path target = FinalPath(output);
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode)) return CannotWrite(output, EISDIR);
    if (exists && !S_ISREG(existing.st_mode)) return WriteInPlace(output, bytes);

    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::string hidden = target.filename().string();
    hidden.insert(0, 1, '.');
    std::string temporary = (folder / hidden).string() + ".XXXXXX";
    const int descriptor = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (descriptor < 0) return CannotWrite(output, errno);
    const mode_t mode = exists ? existing.st_mode & 07777 : NewFileMode();
    bool ok = WriteAll(descriptor, bytes) && ::fchmod(descriptor, mode) == 0 && ::fsync(descriptor) == 0;
    int error = errno;
    if (::close(descriptor) != 0 && ok) ok = false, error = errno;
    if (ok && ::rename(temporary.c_str(), target.c_str()) != 0) ok = false, error = errno;
    if (!ok) {
        ::unlink(temporary.c_str());
        return CannotWrite(output, error);
    }
    return std::nullopt;
}

}  // namespace velmora::cli
