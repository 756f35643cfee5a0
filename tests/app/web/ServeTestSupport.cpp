#include "ServeTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <arpa/inet.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

#include "ReadingTestSupport.h"

extern char** environ;

namespace velmora::cli::serve_test {

namespace fs = std::filesystem;

const fs::path& SampleDatabase()
{
    static const velmora::testing::ScratchFolder folder;
    static const fs::path file = [] {
        const fs::path copy = folder.Path() / "Orsk.dll";
        fs::copy_file(VELMORA_SAMPLE_READING_DB, copy);
        return copy;
    }();
    return file;
}

int Connect(int port, const char* from)
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    inet_pton(AF_INET, from, &local.sin_addr);
    bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local);
    sockaddr_in server{};
    server.sin_family = AF_INET;
    server.sin_port = htons(static_cast<uint16_t>(port));
    inet_pton(AF_INET, "127.0.0.1", &server.sin_addr);
    if (connect(fd, reinterpret_cast<sockaddr*>(&server), sizeof server) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

namespace {

// An answer whose head and Content-Length bytes of body are in.
bool IsWholeAnswer(const std::string& raw)
{
    const std::size_t split = raw.find("\r\n\r\n");
    const std::size_t length = raw.find("Content-Length: ");
    if (split == std::string::npos || length == std::string::npos || length > split) return false;
    return raw.size() - split - 4 >= std::stoul(raw.substr(length + 16));
}

}  // namespace

std::string ReadAll(int fd, std::chrono::milliseconds limit, bool oneAnswer)
{
    std::string answer;
    const auto end = Clock::now() + limit;
    while (Clock::now() < end) {
        pollfd ready{fd, POLLIN, 0};
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
        if (poll(&ready, 1, static_cast<int>(std::max<long long>(left, 0))) <= 0) break;
        char chunk[65536];
        const ssize_t n = read(fd, chunk, sizeof chunk);
        if (n <= 0) break;
        answer.append(chunk, static_cast<std::size_t>(n));
        if (oneAnswer && IsWholeAnswer(answer)) break;
    }
    return answer;
}

Answer Exchange(int port, const std::string& request)
{
    const int fd = Connect(port);
    EXPECT_GE(fd, 0);
    EXPECT_EQ(write(fd, request.data(), request.size()), static_cast<ssize_t>(request.size()));
    const bool head = request.starts_with("HEAD");
    // A whole answer ends the wait at once; the long bound only matters for a
    // server slowed down by the sanitizers on a busy machine. A HEAD answer
    // has no length to end it, so its wait is the short one.
    const std::string raw = ReadAll(fd, std::chrono::milliseconds(head ? 3000 : 15000), !head);
    close(fd);
    Answer answer;
    const std::size_t split = raw.find("\r\n\r\n");
    answer.head = raw.substr(0, split);
    answer.body = split == std::string::npos ? "" : raw.substr(split + 4);
    if (raw.size() > 12) answer.status = std::stoi(raw.substr(9, 3));
    return answer;
}

Answer Get(int port, const std::string& target)
{
    return Exchange(port, "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n");
}

Server::Server(const fs::path& database)
{
    int pipeEnds[2];
    EXPECT_EQ(pipe(pipeEnds), 0);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_adddup2(&files, pipeEnds[1], 1);
    posix_spawn_file_actions_adddup2(&files, pipeEnds[1], 2);
    posix_spawn_file_actions_addclose(&files, pipeEnds[0]);
    const std::string program = VELMORA_CLI_PROGRAM;
    const std::string databaseText = database.string();
    std::vector<const char*> args = {program.c_str(), "serve", "--listen", "127.0.0.1:0", "--database",
                                     databaseText.c_str(), nullptr};
    EXPECT_EQ(posix_spawn(&pid_, program.c_str(), &files, nullptr, const_cast<char**>(args.data()), environ), 0);
    posix_spawn_file_actions_destroy(&files);
    close(pipeEnds[1]);
    output_ = pipeEnds[0];
    // The first lines name the URL, or say why there is none.
    const auto end = Clock::now() + std::chrono::seconds(60);
    while (Clock::now() < end && said_.find("Ctrl-C") == std::string::npos) {
        const std::string more = ReadAll(output_, std::chrono::milliseconds(200));
        said_ += more;
        if (more.empty() && waitpid(pid_, &status_, WNOHANG) == pid_) {
            ended_ = true;
            break;
        }
    }
    const std::size_t at = said_.find("http://127.0.0.1:");
    if (at != std::string::npos) port_ = std::stoi(said_.substr(at + 17));
}

Server::~Server()
{
    if (!ended_) Stop();
    close(output_);
}

int Server::Stop()
{
    if (!ended_) {
        kill(pid_, SIGTERM);
        waitpid(pid_, &status_, 0);
        ended_ = true;
        said_ += ReadAll(output_, std::chrono::milliseconds(200));
    }
    return WIFEXITED(status_) ? WEXITSTATUS(status_) : 128 + WTERMSIG(status_);
}

}  // namespace velmora::cli::serve_test
