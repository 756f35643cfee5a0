#include "RenderHelper.h"

#include <cerrno>
#include <charconv>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "MessageText.h"
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

// SIGTERM or SIGINT while the helper runs: noted here, acted on by the wait.
volatile std::sig_atomic_t interruption = 0;

extern "C" void NoteInterruption(int signal) { interruption = signal; }

// While it lives, TERM and INT only note themselves, so that the helper and
// the temporary folder (which holds the person's name and birth date) go
// with this process instead of staying behind.
class InterruptionNoted {
public:
    InterruptionNoted()
    {
        interruption = 0;
        struct sigaction noting {};
        noting.sa_handler = NoteInterruption;
        sigemptyset(&noting.sa_mask);
        sigaction(SIGTERM, &noting, &term_);
        sigaction(SIGINT, &noting, &int_);
    }
    ~InterruptionNoted()
    {
        sigaction(SIGTERM, &term_, nullptr);
        sigaction(SIGINT, &int_, nullptr);
    }
    InterruptionNoted(const InterruptionNoted&) = delete;
    InterruptionNoted& operator=(const InterruptionNoted&) = delete;

private:
    struct sigaction term_ {};
    struct sigaction int_ {};
};

// The helper ended by a signal to velmora-cli: the signal, raised again with
// its usual effect once everything is cleaned up.
struct Interrupted {
    int signal;
};

// The bound on one render: VELMORA_RENDER_TIMEOUT seconds, else 60.
std::chrono::seconds RenderBound()
{
    const char* chosen = std::getenv("VELMORA_RENDER_TIMEOUT");
    if (chosen == nullptr || *chosen == '\0') return std::chrono::seconds(60);
    const std::string_view text(chosen);
    unsigned seconds = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seconds);
    if (error != std::errc() || end != text.data() + text.size() || seconds == 0 || seconds > 86400)
        throw std::runtime_error("VELMORA_RENDER_TIMEOUT=" + Printable(text) +
                                 ": the bound is a whole number of seconds from 1 to 86400");
    return std::chrono::seconds(seconds);
}

// Ends the helper and whatever it started (its process group) and reaps it.
void EndHelper(pid_t child)
{
    ::kill(-child, SIGKILL);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
}

// Waits for the helper within the bound; its status, or throws when the
// bound passes or velmora-cli is interrupted (the helper ended either way).
int WaitForHelper(pid_t child, const std::string& helper, std::chrono::seconds bound)
{
    const auto deadline = std::chrono::steady_clock::now() + bound;
    for (;;) {
        int status = 0;
        const pid_t done = waitpid(child, &status, WNOHANG);
        if (done == child) {
            ::kill(-child, SIGKILL);  // anything it left running
            return status;
        }
        if (done < 0 && errno != EINTR) {
            EndHelper(child);
            throw std::runtime_error("lost the rendering helper: " + std::string(std::strerror(errno)));
        }
        if (interruption != 0) {
            EndHelper(child);
            throw Interrupted{interruption};
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            EndHelper(child);
            throw std::runtime_error(helper + " did not finish within " + std::to_string(bound.count()) +
                                     " s and was stopped (VELMORA_RENDER_TIMEOUT=SECONDS sets another bound)");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

// Runs the helper in a process group of its own and waits for it. The
// engine talks a lot on its error output: what it said goes into `log` and
// is shown only when it fails.
void RunHelper(const std::vector<std::string>& arguments, const std::filesystem::path& log)
{
    const std::chrono::seconds bound = RenderBound();  // a bad bound is told before anything starts
    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    pid_t child = 0;
    const int failed = posix_spawn(&child, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (failed != 0)
        throw std::runtime_error("cannot start " + Printable(arguments[0]) + ": " + std::strerror(failed));
    const int status = WaitForHelper(child, Printable(arguments[0]), bound);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error(Printable(arguments[0]) + " could not render the page:\n" + ReadBytes(log));
}

// A PDF starts with its header and ends with %%EOF (a line end may follow);
// a PNG starts with its signature. Anything else is no result.
bool LooksLike(std::string_view kind, std::string_view bytes)
{
    if (kind == "png") return bytes.starts_with("\x89PNG\r\n\x1a\n");
    while (!bytes.empty() && (bytes.back() == '\n' || bytes.back() == '\r' || bytes.back() == ' '))
        bytes.remove_suffix(1);
    return bytes.starts_with("%PDF-") && bytes.ends_with("%%EOF");
}

}  // namespace

std::string RenderHelperPath()
{
    if (const char* chosen = std::getenv("VELMORA_RENDER"); chosen != nullptr && *chosen != '\0') return chosen;
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    return (error ? std::filesystem::path("velmora-render") : self.parent_path() / "velmora-render").string();
}

bool RenderHelperAvailable()
{
    return access(RenderHelperPath().c_str(), X_OK) == 0;
}

std::string RenderPage(std::string_view kind, const std::string& pageBytes)
{
    const InterruptionNoted noted;
    try {
        return RenderPageForServer(kind, pageBytes);
    } catch (const Interrupted& interrupted) {
        // Ends this process as the signal would have, now that nothing is left behind.
        std::signal(interrupted.signal, SIG_DFL);
        std::raise(interrupted.signal);
        throw std::runtime_error("interrupted");
    }
}

// Without InterruptionNoted nothing is noted, so nothing is Interrupted.
std::string RenderPageForServer(std::string_view kind, const std::string& pageBytes)
{
    std::string bytes;
    {
        const PrivateFolder folder;
        const std::filesystem::path page = folder.Path() / std::string(kPageFileName);
        const std::filesystem::path result = folder.Path() / ("reading." + std::string(kind));
        WriteBytes(page, pageBytes);
        WritePagePictureInto(folder.Path().string());
        RunHelper({RenderHelperPath(), std::string(kind), page.string(), result.string()},
                  folder.Path() / "helper.log");
        bytes = ReadBytes(result);
    }  // the folder is gone here, whatever happened
    if (!LooksLike(kind, bytes))
        throw std::runtime_error(Printable(RenderHelperPath()) + " wrote no " + std::string(kind) +
                                 (bytes.empty() ? "" : " (what it wrote is something else)"));
    return bytes;
}

}  // namespace velmora::cli
