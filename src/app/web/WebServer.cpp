#include "WebServer.h"

#include <utility>  // before Asio, whose coroutine header needs std::exchange

#include <ifaddrs.h>
#include <netinet/in.h>

#include <csignal>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string_view>
#include <vector>

#include <boost/asio.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>

namespace velmora::web {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = asio::ip::tcp;

namespace {

// No script at all, nothing from another origin; the pages' own inline
// style stays allowed.
constexpr std::string_view kContentSecurityPolicy =
    "default-src 'none'; img-src 'self'; style-src 'self' 'unsafe-inline'; form-action 'self'; "
    "base-uri 'none'; frame-ancestors 'none'";

// The parser keeps the request line once it has read it whole: without a
// target the line itself was over the limit.
WebResponse HeadTooLarge(const http::request_parser<http::empty_body>& parser)
{
    if (parser.get().target().empty()) return PlainAnswer(414, "The request line is too long.");
    return PlainAnswer(431, "The request headers are too large.");
}

class Session;

}  // namespace

struct WebServer::State {
    State(WebHandler handler, ServerLimits limits) : handler(std::move(handler)), limits(limits) {}

    asio::io_context io{1};
    tcp::acceptor acceptor{io};
    // Only while Run serves: a server inside another program leaves its signals be.
    std::optional<asio::signal_set> signals;
    WebHandler handler;
    ServerLimits limits;
    std::map<asio::ip::address, std::size_t> perAddress;
    std::size_t open = 0;
    // The open connections, for Stop to close; only touched on the server's thread.
    std::set<Session*> sessions;
    bool stopped = false;
    // The worker for slow answers, and whether it is busy (known on the server's thread).
    asio::thread_pool worker{1};
    bool workerBusy = false;
};

namespace {

class Session : public std::enable_shared_from_this<Session> {
public:
    Session(tcp::socket socket, asio::ip::address client, std::shared_ptr<WebServer::State> state)
        : stream_(std::move(socket)), client_(std::move(client)), state_(std::move(state))
    {
        ++state_->perAddress[client_];
        ++state_->open;
        state_->sessions.insert(this);
    }
    ~Session()
    {
        if (--state_->perAddress[client_] == 0) state_->perAddress.erase(client_);
        --state_->open;
        state_->sessions.erase(this);
    }

    void ReadHead()
    {
        parser_.emplace();
        parser_->header_limit(static_cast<std::uint32_t>(state_->limits.headBytes));
        parser_->body_limit(0);
        // The deadline covers the whole head, however slowly it trickles in.
        stream_.expires_after(state_->limits.headDeadline);
        http::async_read_header(stream_, buffer_, *parser_,
                                [self = shared_from_this()](beast::error_code error, std::size_t) {
                                    self->OnHead(error);
                                });
    }

    // Ends the connection; what it was waiting for completes as aborted.
    void Close()
    {
        beast::error_code ignored;
        stream_.socket().shutdown(tcp::socket::shutdown_both, ignored);
        stream_.close();
    }

private:
    void OnHead(beast::error_code error)
    {
        if (error == http::error::header_limit)
            return Send(HeadTooLarge(*parser_), false, false);
        if (error == http::error::body_limit)
            return Send(PlainAnswer(413, "A request carries no body here."), false, false);
        if (error == http::error::end_of_stream || error == beast::error::timeout) return Close();
        // A fault of the request itself is answered; one of the socket is not.
        if (error && error.category() == beast::error_code(http::error::bad_version).category())
            return Send(PlainAnswer(400, "The request is malformed."), false, false);
        if (error) return Close();
        const auto& request = parser_->get();
        if (request.method() != http::verb::get && request.method() != http::verb::head) {
            WebResponse refused = PlainAnswer(405, "Only GET and HEAD are answered.");
            return Send(std::move(refused), false, false, true);
        }
        if (request.chunked() || (request.has_content_length() && parser_->content_length().value_or(0) > 0))
            return Send(PlainAnswer(413, "A request carries no body here."), false, false);
        const std::string_view target(request.target().data(), request.target().size());
        const std::size_t question = target.find('?');
        WebRequest asked{std::string(target.substr(0, question)),
                         question == std::string_view::npos ? std::string() : std::string(target.substr(question + 1))};
        WebResponse answer;
        try {
            answer = state_->handler(asked);
        } catch (const std::exception&) {
            answer = PlainAnswer(500, "The server could not answer.");
        }
        if (answer.slow) return MakeSlowly(std::move(answer.slow), request.keep_alive(), request.method() == http::verb::head);
        Send(std::move(answer), request.keep_alive(), request.method() == http::verb::head);
    }

    // The answer is made on the worker and sent from the server's thread.
    void MakeSlowly(std::function<WebResponse()> make, bool keepAlive, bool headOnly)
    {
        if (state_->workerBusy) {
            return Send(PlainAnswer(503, "Another file is being made; try again in a moment."), false, headOnly);
        }
        state_->workerBusy = true;
        asio::post(state_->worker, [self = shared_from_this(), make = std::move(make), keepAlive, headOnly] {
            WebResponse made;
            try {
                made = make();
            } catch (const std::exception&) {
                made = PlainAnswer(500, "The server could not make the file.");
            }
            asio::post(self->state_->io, [self, made = std::move(made), keepAlive, headOnly]() mutable {
                self->state_->workerBusy = false;
                self->Send(std::move(made), keepAlive, headOnly);
            });
        });
    }

    void Send(WebResponse answer, bool keepAlive, bool headOnly, bool allowHeader = false)
    {
        auto response = std::make_shared<http::response<http::string_body>>(http::int_to_status(answer.status), 11);
        response->set(http::field::content_type, answer.contentType);
        response->set("Content-Security-Policy", std::string(kContentSecurityPolicy));
        response->set("X-Content-Type-Options", "nosniff");
        response->set("Referrer-Policy", "no-referrer");
        response->set("X-Frame-Options", "DENY");
        response->set(http::field::cache_control, "no-store");
        if (allowHeader) response->set(http::field::allow, "GET, HEAD");
        response->keep_alive(keepAlive);
        response->content_length(answer.body.size());
        if (!headOnly) response->body() = std::move(answer.body);
        stream_.expires_after(state_->limits.headDeadline);
        http::async_write(stream_, *response,
                          [self = shared_from_this(), response, keepAlive](beast::error_code error, std::size_t) {
                              if (error || !keepAlive) return self->Close();
                              self->ReadHead();
                          });
    }

    beast::tcp_stream stream_;
    beast::flat_buffer buffer_;
    std::optional<http::request_parser<http::empty_body>> parser_;
    asio::ip::address client_;
    std::shared_ptr<WebServer::State> state_;
};

void Accept(const std::shared_ptr<WebServer::State>& state)
{
    state->acceptor.async_accept([state](beast::error_code error, tcp::socket socket) {
        if (error == asio::error::operation_aborted || !state->acceptor.is_open()) return;
        if (!error) {
            beast::error_code noPeer;
            const auto peer = socket.remote_endpoint(noPeer);
            // Over its share, a client's new connection is closed at once:
            // its own slow connections cannot crowd out anyone else's.
            const auto counted = noPeer ? state->perAddress.end() : state->perAddress.find(peer.address());
            const std::size_t mine = counted == state->perAddress.end() ? 0 : counted->second;
            if (!noPeer && state->open < state->limits.connections && mine < state->limits.connectionsPerAddress)
                std::make_shared<Session>(std::move(socket), peer.address(), state)->ReadHead();
        }
        Accept(state);
    });
}

std::string UrlOf(const asio::ip::address& address, unsigned short port)
{
    const std::string host = address.is_v6() ? "[" + address.to_string() + "]" : address.to_string();
    return "http://" + host + ":" + std::to_string(port) + "/";
}

// The IPv4 and IPv6 addresses of the machine's interfaces.
std::vector<asio::ip::address> InterfaceAddresses(bool v6)
{
    std::vector<asio::ip::address> addresses;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) return addresses;
    for (const ifaddrs* entry = list; entry; entry = entry->ifa_next) {
        if (!entry->ifa_addr) continue;
        if (entry->ifa_addr->sa_family == AF_INET) {
            const auto* in = reinterpret_cast<const sockaddr_in*>(entry->ifa_addr);
            addresses.push_back(asio::ip::address_v4(ntohl(in->sin_addr.s_addr)));
        } else if (v6 && entry->ifa_addr->sa_family == AF_INET6) {
            const auto* in = reinterpret_cast<const sockaddr_in6*>(entry->ifa_addr);
            asio::ip::address_v6::bytes_type bytes;
            std::copy(std::begin(in->sin6_addr.s6_addr), std::end(in->sin6_addr.s6_addr), bytes.begin());
            const asio::ip::address_v6 address(bytes);
            if (!address.is_link_local()) addresses.push_back(address);
        }
    }
    freeifaddrs(list);
    return addresses;
}

}  // namespace

WebServer::WebServer(const std::string& host, unsigned short port, WebHandler handler, ServerLimits limits)
    : state_(std::make_shared<State>(std::move(handler), limits))
{
    beast::error_code error;
    const auto address = asio::ip::make_address(host, error);
    if (error) throw std::runtime_error("'" + host + "' is no IP address");
    const tcp::endpoint endpoint(address, port);
    state_->acceptor.open(endpoint.protocol(), error);
    if (!error) state_->acceptor.set_option(asio::socket_base::reuse_address(true), error);
    if (!error) state_->acceptor.bind(endpoint, error);
    if (!error) state_->acceptor.listen(asio::socket_base::max_listen_connections, error);
    if (error) throw std::runtime_error("cannot listen on " + UrlOf(address, port) + ": " + error.message());
}

WebServer::~WebServer() = default;

unsigned short WebServer::Port() const
{
    return state_->acceptor.local_endpoint().port();
}

std::vector<std::string> WebServer::Urls() const
{
    const tcp::endpoint local = state_->acceptor.local_endpoint();
    if (!local.address().is_unspecified()) return {UrlOf(local.address(), local.port())};
    std::vector<std::string> urls;
    for (const auto& address : InterfaceAddresses(local.address().is_v6())) urls.push_back(UrlOf(address, local.port()));
    return urls;
}

void WebServer::Run()
{
    const std::shared_ptr<State> state = state_;
    state->signals.emplace(state->io, SIGINT, SIGTERM);
    state->signals->async_wait([this](beast::error_code error, int) {
        if (!error) Stop();
    });
    Serve();
    state->signals.reset();
}

void WebServer::Serve()
{
    Accept(state_);
    state_->io.run();
    // A slow answer still being made is waited for, and its sending (to a
    // closed connection) run, so that nothing is left holding the server.
    state_->worker.join();
    state_->io.restart();
    state_->io.poll();
}

// Everything is closed on the server's own thread; with nothing left to wait
// for, the loop returns by itself.
void WebServer::Stop()
{
    asio::post(state_->io, [state = state_] {
        if (state->stopped) return;
        state->stopped = true;
        beast::error_code ignored;
        state->acceptor.close(ignored);
        if (state->signals) state->signals->cancel(ignored);
        // A copy: a connection leaves the set when it ends.
        const std::set<Session*> open = state->sessions;
        for (Session* session : open) session->Close();
    });
}

WebResponse PlainAnswer(unsigned status, std::string_view text)
{
    return {status, std::string(kPlainTextType), std::string(text) + "\n"};
}

}  // namespace velmora::web
