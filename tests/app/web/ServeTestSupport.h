// What the tests of velmora-cli serve share: the sample reading database,
// the server as a process of its own on a free loopback port, and requests
// over plain sockets.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <string>

namespace velmora::cli::serve_test {

using Clock = std::chrono::steady_clock;

// A copy of the sample reading database, made once per test program.
const std::filesystem::path& SampleDatabase();

// A connected socket from `from` (any loopback address) to the server; -1
// when it refuses.
int Connect(int port, const char* from = "127.0.0.1");

// Everything the server sends until it closes or `limit` passes, or with
// `oneAnswer` until one whole answer is in (for a connection kept open).
std::string ReadAll(int fd, std::chrono::milliseconds limit = std::chrono::milliseconds(3000), bool oneAnswer = false);

struct Answer {
    int status = 0;
    std::string head;
    std::string body;
};

// Sends `request` on a fresh connection and reads the answer.
Answer Exchange(int port, const std::string& request);
Answer Get(int port, const std::string& target);

// velmora-cli serve on 127.0.0.1 at a free port, ended with SIGTERM when
// the test is done.
class Server {
public:
    explicit Server(const std::filesystem::path& database = SampleDatabase());
    ~Server();
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    int Port() const { return port_; }
    const std::string& Said() const { return said_; }
    // Ends the server with SIGTERM and gives its exit status.
    int Stop();

private:
    pid_t pid_ = -1;
    int output_ = -1;
    int port_ = 0;
    int status_ = 0;
    bool ended_ = false;
    std::string said_;
};

}  // namespace velmora::cli::serve_test
