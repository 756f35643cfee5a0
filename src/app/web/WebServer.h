// A small asynchronous HTTP/1.1 server on one thread: GET and HEAD only,
// no request body, a bounded request head read within a deadline, a bounded
// number of connections per client address, and the safety headers on every
// answer. What each path answers is the caller's handler.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace velmora::web {

struct WebRequest {
    std::string path;   // "/api/reading", still percent-encoded
    std::string query;  // the text after '?', without it
};

struct WebResponse {
    unsigned status = 200;
    std::string contentType;  // "text/html; charset=utf-8"
    std::string body;
    // An answer that takes long to make (a file drawn by another program):
    // when set, the answer is what it returns, made on the server's worker
    // thread so that everyone else is served meanwhile. One is made at a
    // time; a request for another meanwhile is answered 503. It must not
    // touch what the handler uses.
    std::function<WebResponse()> slow = {};
};

inline constexpr std::string_view kPlainTextType = "text/plain; charset=utf-8";

// An answer of one line of plain text.
WebResponse PlainAnswer(unsigned status, std::string_view text);

using WebHandler = std::function<WebResponse(const WebRequest&)>;

struct ServerLimits {
    std::size_t headBytes = 8 * 1024;             // request line and headers together
    std::chrono::milliseconds headDeadline{5000};  // for the whole head of each request
    std::size_t connectionsPerAddress = 64;
    std::size_t connections = 2048;
};

class WebServer {
public:
    // Listens on `host` (an IP address) and `port` (0: any free one). Throws
    // std::runtime_error with the reason when it cannot.
    WebServer(const std::string& host, unsigned short port, WebHandler handler, ServerLimits limits = {});
    ~WebServer();
    WebServer(const WebServer&) = delete;
    WebServer& operator=(const WebServer&) = delete;

    unsigned short Port() const;
    // The URLs to open: the address itself, or for an unspecified address
    // (0.0.0.0, ::) the addresses of the machine's interfaces.
    std::vector<std::string> Urls() const;

    // Serves until SIGINT or SIGTERM or Stop, then closes every connection.
    void Run();
    // Serves until Stop, leaving the process's signals alone (for a server
    // inside a program that has its own use for them).
    void Serve();
    // Ends Run or Serve from any thread: no new connection is taken, the
    // open ones are closed, and Run or Serve returns. Before Run or Serve, it
    // makes them return at once.
    void Stop();

    struct State;  // the sockets and counts, shared with the connections

private:
    std::shared_ptr<State> state_;
};

}  // namespace velmora::web
