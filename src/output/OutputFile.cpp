#include "OutputFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <set>

#include "MessageText.h"

namespace velmora {
namespace fs = std::filesystem;
namespace {

OutputProblem CannotWrite(const std::string& output, int error, const std::string& why = {})
{
    return {error, "cannot write " + Printable(output) + ": " + (why.empty() ? std::strerror(error) : why)};
}

OutputProblem Refused(const std::string& output, int error, const std::string& what)
{
    return {error, "the output " + Printable(output) + " " + what + "; refusing to write over it"};
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

// The program and the libraries this process runs: the files it maps.
std::vector<struct stat> MappedFiles()
{
    std::vector<struct stat> files;
    std::set<std::string> seen;
    std::ifstream maps("/proc/self/maps");
    for (std::string line; std::getline(maps, line);) {
        const auto path = line.find('/');
        if (path == std::string::npos || !seen.insert(line.substr(path)).second) continue;
        struct stat info {};
        if (::stat(line.c_str() + path, &info) == 0) files.push_back(info);
    }
    return files;
}

// A program some process is running cannot be opened for writing; the
// system says so with ETXTBSY. Nothing is changed by the probe.
bool IsRunningProgram(const std::string& path)
{
    const int descriptor = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor >= 0) ::close(descriptor);
    return descriptor < 0 && errno == ETXTBSY;
}

// The path the bytes finally land at: each symbolic link is followed, even
// a dangling one, so that writing replaces (or makes) the file it points to
// and never the link. A loop is ELOOP.
std::optional<fs::path> FinalPath(const fs::path& output, int& error)
{
    fs::path path = output;
    for (int links = 0; links < 40; ++links) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0) {
            if (errno == ENOENT) return path;  // made by the write, or its folder is missing
            error = errno;
            return std::nullopt;
        }
        if (!S_ISLNK(info.st_mode)) return path;
        std::error_code failed;
        const fs::path target = fs::read_symlink(path, failed);
        if (failed) {
            error = failed.value();
            return std::nullopt;
        }
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    error = ELOOP;
    return std::nullopt;
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

// A device or pipe the user named: written as it is. Opening does not wait
// for a reader of a pipe; with none there it is refused.
std::optional<OutputProblem> WriteInPlace(const std::string& output, std::string_view bytes)
{
    const int descriptor = ::open(output.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0) return CannotWrite(output, errno);
    ::fcntl(descriptor, F_SETFL, ::fcntl(descriptor, F_GETFL) & ~O_NONBLOCK);
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

// Why the file now at the target may not be replaced, if it may not.
std::optional<OutputProblem> ReplaceProblem(const std::string& output, const struct stat& existing, OutputName kind)
{
    if (S_ISDIR(existing.st_mode)) return CannotWrite(output, EISDIR);
    if (S_ISLNK(existing.st_mode))
        return CannotWrite(output, ELOOP, "it is a symbolic link, which is never written through");
    if (!S_ISREG(existing.st_mode) && kind == OutputName::Beside)
        return CannotWrite(output, EINVAL, "it is a device or pipe, not a file");
    if (S_ISREG(existing.st_mode) && existing.st_nlink > 1)
        return CannotWrite(output, EMLINK,
                           "it has " + std::to_string(existing.st_nlink) +
                               " hard links; replacing it would part them and writing it in place could leave "
                               "it half-written");
    return std::nullopt;
}

// The new file takes the old one's owner and group, where the process may
// give them; else the old file stays as it is.
std::optional<OutputProblem> KeepOwner(const std::string& output, int descriptor, const struct stat& existing)
{
    struct stat fresh {};
    if (::fstat(descriptor, &fresh) != 0) return CannotWrite(output, errno);
    if (fresh.st_uid == existing.st_uid && fresh.st_gid == existing.st_gid) return std::nullopt;
    if (::fchown(descriptor, existing.st_uid, existing.st_gid) == 0) return std::nullopt;
    return CannotWrite(output, errno,
                       "its owner and group cannot be kept (" + std::string(std::strerror(errno)) + ")");
}

// A temporary file in `folder`, renamed over `target` once whole.
std::optional<OutputProblem> WriteAndRename(const std::string& output, const fs::path& target, std::string_view bytes,
                                            const struct stat* existing)
{
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    // A short name of its own, so any target name the file system takes works.
    std::string temporary = (folder / ".velmora-XXXXXX").string();
    const int descriptor = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (descriptor < 0) return CannotWrite(output, errno);
    std::optional<OutputProblem> problem = existing ? KeepOwner(output, descriptor, *existing) : std::nullopt;
    if (!problem) {
        const mode_t mode = existing ? existing->st_mode & 07777 : NewFileMode();
        if (!WriteAll(descriptor, bytes) || ::fchmod(descriptor, mode) != 0 || ::fsync(descriptor) != 0)
            problem = CannotWrite(output, errno);
    }
    if (::close(descriptor) != 0 && !problem) problem = CannotWrite(output, errno);
    if (!problem && ::rename(temporary.c_str(), target.c_str()) != 0) problem = CannotWrite(output, errno);
    if (problem) ::unlink(temporary.c_str());
    return problem;
}

}  // namespace

std::optional<OutputProblem> RefuseOutput(const std::string& output, const std::vector<KeptFile>& keptFiles)
{
    if (output.empty()) return OutputProblem{ENOENT, "the output file name is empty"};
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
    for (const KeptFile& file : keptFiles) {
        struct stat info {};
        if (::stat(file.path.c_str(), &info) == 0 && SameFile(info, target))
            return Refused(output, EBUSY, "is " + file.what + " " + Printable(file.path.string()));
    }
    for (const struct stat& open : OpenFiles())
        if (SameFile(open, target)) return Refused(output, EBUSY, "is a file this program has open");
    for (const struct stat& mapped : MappedFiles())
        if (SameFile(mapped, target)) return Refused(output, ETXTBSY, "is this program or one of its libraries");
    if (IsRunningProgram(output)) return Refused(output, ETXTBSY, "is a program that is running");
    return std::nullopt;
}

std::optional<OutputProblem> RefuseReplacing(const std::string& output, OutputName kind)
{
    int error = 0;
    const std::optional<fs::path> target = kind == OutputName::Chosen ? FinalPath(output, error) : fs::path(output);
    if (!target) return CannotWrite(output, error);
    struct stat existing {};
    if (::lstat(target->c_str(), &existing) != 0) return std::nullopt;  // the write itself finds the rest
    return ReplaceProblem(output, existing, kind);
}

std::optional<OutputProblem> WriteOutputFile(const std::string& output, std::string_view bytes, OutputName kind)
{
    if (output.empty()) return OutputProblem{ENOENT, "the output file name is empty"};
    int error = 0;
    const std::optional<fs::path> target = kind == OutputName::Chosen ? FinalPath(output, error) : fs::path(output);
    if (!target) return CannotWrite(output, error);
    struct stat existing {};
    if (::lstat(target->c_str(), &existing) != 0) {
        if (errno != ENOENT) return CannotWrite(output, errno);
        return WriteAndRename(output, *target, bytes, nullptr);
    }
    if (auto problem = ReplaceProblem(output, existing, kind)) return problem;
    if (!S_ISREG(existing.st_mode)) return WriteInPlace(output, bytes);
    return WriteAndRename(output, *target, bytes, &existing);
}

int FolderWriteError(const std::string& folder)
{
    std::string temporary = (fs::path(folder.empty() ? "." : folder) / ".velmora-XXXXXX").string();
    const int descriptor = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (descriptor < 0) return errno;
    const std::string block(4096, '\0');
    int error = WriteAll(descriptor, block) && ::fsync(descriptor) == 0 ? 0 : errno;
    if (::close(descriptor) != 0 && error == 0) error = errno;
    ::unlink(temporary.c_str());
    return error;
}

std::string ReasonInChinese(int error)
{
    struct Reason {
        int error;
        const char* words;
    };
    static constexpr Reason kReasons[] = {
        {ENOSPC, "磁盘空间不足"},         {EDQUOT, "磁盘空间不足（超出配额）"}, {EACCES, "没有权限"},
        {EPERM, "没有权限"},              {EROFS, "文件系统是只读的"},        {ENOENT, "找不到文件或文件夹"},
        {EISDIR, "这是一个文件夹"},       {EMLINK, "链接过多"},               {ELOOP, "符号链接过多"},
        {EIO, "输入输出错误"},
    };
    for (const Reason& reason : kReasons)
        if (reason.error == error) return reason.words;
    return std::strerror(error);
}

}  // namespace velmora
