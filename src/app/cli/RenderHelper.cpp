#include "RenderHelper.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "ResultPage.h"

extern char** environ;

namespace velmora::cli {
namespace {

// A folder only this process uses, removed with everything in it at the end.
class PrivateFolder {
public:
    PrivateFolder()
    {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/velmora-render-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("cannot make a temporary folder: " + std::string(std::strerror(errno)));
        path_ = pattern;
    }
    ~PrivateFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    PrivateFolder(const PrivateFolder&) = delete;
    PrivateFolder& operator=(const PrivateFolder&) = delete;
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

void WriteBytes(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file) throw std::runtime_error("cannot write " + path.string());
}

std::string ReadBytes(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

// Runs the helper and waits for it. The engine talks a lot on its error
// output: what it said goes into `log` and is shown only when it fails.
void RunHelper(const std::vector<std::string>& arguments, const std::filesystem::path& log)
{
    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t child = 0;
    const int failed = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0)
        throw std::runtime_error("cannot start " + arguments[0] + ": " + std::strerror(failed));
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) throw std::runtime_error("lost the rendering helper: " + std::string(std::strerror(errno)));
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error(arguments[0] + " could not render the page:\n" + ReadBytes(log));
}

}  // namespace

std::string RenderHelperPath()
{
    if (const char* chosen = std::getenv("VELMORA_RENDER"); chosen != nullptr && *chosen != '\0') return chosen;
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    return (error ? std::filesystem::path("velmora-render") : self.parent_path() / "velmora-render").string();
}

std::string RenderPage(std::string_view kind, const std::string& pageBytes)
{
    const PrivateFolder folder;
    const std::filesystem::path page = folder.Path() / std::string(kPageFileName);
    const std::filesystem::path result = folder.Path() / ("reading." + std::string(kind));
    WriteBytes(page, pageBytes);
    WritePagePictureInto(folder.Path().string());
    RunHelper({RenderHelperPath(), std::string(kind), page.string(), result.string()}, folder.Path() / "helper.log");
    std::string bytes = ReadBytes(result);
    if (bytes.empty()) throw std::runtime_error(RenderHelperPath() + " wrote no " + std::string(kind));
    return bytes;
}

}  // namespace velmora::cli
