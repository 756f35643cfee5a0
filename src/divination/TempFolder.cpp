// The folder the result page and its picture are written to.
//
// The page files have fixed names. In a temporary folder shared by all users
// another user could plant a symbolic link at such a name and have this
// program overwrite a file of its user, so on POSIX the files go into a
// folder of this user's own, which is checked before it is used. When that
// folder cannot be used (something else planted at its name first), the
// process makes a fresh private folder of its own instead and removes it at
// exit: the page is never shown from a place another user controls, and it is
// always shown.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <stdexcept>
#include <string>
#include <system_error>

#include "MessageText.h"
#include "UnitPublic.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace velmora {

#ifdef _WIN32

void RemoveFreshTempFolder() noexcept {}

std::string GetTempFolder()
{
    wchar_t path[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, path);
    if (length == 0 || length > MAX_PATH)
        throw std::runtime_error("The system gives no usable temporary folder");
    const int size = WideCharToMultiByte(CP_UTF8, 0, path, static_cast<int>(length), nullptr, 0,
                                         nullptr, nullptr);
    std::string folder(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, path, static_cast<int>(length), folder.data(), size, nullptr,
                        nullptr);
    if (folder.empty() || (folder.back() != '\\' && folder.back() != '/')) folder += '\\';
    return folder;
}

#else

namespace {

std::string EnvironmentFolder(const char* variable)
{
    const char* value = std::getenv(variable);
    if (value == nullptr || value[0] != '/') return {};  // unset, empty or relative
    return value;
}

bool IsUsableBase(const std::string& base)
{
    struct stat info {};
    return !base.empty() && stat(base.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
           access(base.c_str(), W_OK | X_OK) == 0;
}

std::string WithoutTrailingSlashes(std::string path)
{
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

[[noreturn]] void Refuse(const std::string& folder, const std::string& reason)
{
    throw std::runtime_error("Cannot use the temporary folder " + Quoted(folder) + ": " + reason);
}

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor()
    {
        if (fd_ >= 0) close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

// Makes the folder if need be and checks, on the opened folder itself (so
// nothing can be swapped in between), that it is a real directory of this
// user that nobody else may enter.
void MakePrivateFolder(const std::string& folder)
{
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) Refuse(folder, std::strerror(errno));
    const Descriptor fd(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (fd.get() < 0) {
        const int error = errno;
        if (error == ELOOP || error == ENOTDIR)
            Refuse(folder, "it is a symbolic link or not a directory");
        Refuse(folder, std::strerror(error));
    }
    struct stat info {};
    if (fstat(fd.get(), &info) != 0) Refuse(folder, std::strerror(errno));
    if (!S_ISDIR(info.st_mode)) Refuse(folder, "it is not a directory");
    if (info.st_uid != geteuid()) Refuse(folder, "it belongs to another user");
    if ((info.st_mode & 077) != 0 && fchmod(fd.get(), 0700) != 0)
        Refuse(folder, std::strerror(errno));
}

// The first of the runtime folder, TMPDIR and /tmp that is a folder this
// user may write in; "" for the root folder.
std::string UsableBase()
{
    std::string base = "/tmp";
    for (const char* variable : {"XDG_RUNTIME_DIR", "TMPDIR"}) {
        const std::string candidate = WithoutTrailingSlashes(EnvironmentFolder(variable));
        if (IsUsableBase(candidate)) {
            base = candidate;
            break;
        }
    }
    return base == "/" ? std::string() : base;
}

// This process's own folder, made with a name nobody can guess beforehand
// and removed at a normal exit.
class FreshFolder {
public:
    ~FreshFolder() { Remove(); }

    void Release()
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        Remove();
    }

    std::string In(const std::string& base, const std::string& why)
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        struct stat info {};
        if (folder_.empty() || folder_.rfind(base + "/", 0) != 0 || lstat(folder_.c_str(), &info) != 0) {
            Remove();
            std::string pattern = base + "/velmora-" + std::to_string(geteuid()) + "-XXXXXX";
            if (mkdtemp(pattern.data()) == nullptr) {
                pattern = "/tmp/velmora-" + std::to_string(geteuid()) + "-XXXXXX";
                if (mkdtemp(pattern.data()) == nullptr) Refuse(pattern, std::strerror(errno) + ("; " + why));
            }
            folder_ = pattern;
            std::fprintf(stderr, "velmora: %s; using \"%s\" instead\n", why.c_str(), folder_.c_str());
        }
        MakePrivateFolder(folder_);  // still ours, still closed
        return folder_;
    }

private:
    void Remove()
    {
        std::error_code ignored;
        if (!folder_.empty()) std::filesystem::remove_all(folder_, ignored);
        folder_.clear();
    }

    std::mutex mutex_;
    std::string folder_;
};

FreshFolder& Fresh()
{
    static FreshFolder fresh;
    return fresh;
}

}  // namespace

void RemoveFreshTempFolder() noexcept { Fresh().Release(); }

std::string GetTempFolder()
{
    FreshFolder& fresh = Fresh();
    const std::string base = UsableBase();
    const std::string folder = base + "/velmora-" + std::to_string(geteuid());
    try {
        MakePrivateFolder(folder);
        return folder + "/";
    } catch (const std::runtime_error& refused) {
        return fresh.In(base, refused.what()) + "/";
    }
}

#endif

}  // namespace velmora
