// velmora-cli serve: the readings over HTTP for the phones and tablets of
// the house, until Ctrl-C.
#include <iostream>
#include <optional>
#include <ostream>

#include "CliArguments.h"
#include "CliCommands.h"
#include "ReadingDatabase.h"
#include "ReadingServer.h"

namespace velmora::cli {
namespace {

constexpr std::string_view kDefaultListen = "127.0.0.1:8288";

struct Listen {
    std::string host;
    unsigned short port = 0;
};

// HOST:PORT, an IPv6 host in brackets ([::1]:8288).
std::optional<Listen> ParseListen(std::string_view text)
{
    const std::size_t colon = text.rfind(':');
    if (colon == std::string_view::npos || colon == 0) return std::nullopt;
    std::string_view host = text.substr(0, colon);
    if (host.front() == '[') {
        if (host.back() != ']') return std::nullopt;
        host = host.substr(1, host.size() - 2);
    }
    const auto port = ParseInt(text.substr(colon + 1));
    if (!port || *port < 0 || *port > 65535 || text.substr(colon + 1).starts_with('+')) return std::nullopt;
    return Listen{std::string(host), static_cast<unsigned short>(*port)};
}

std::optional<std::string> ListenRule(std::string_view value)
{
    if (ParseListen(value)) return std::nullopt;
    return "the address is HOST:PORT, e.g. 127.0.0.1:8288, 0.0.0.0:8288 or [::1]:8288";
}

int RunServe(const ParsedArguments& args, std::ostream& out, std::ostream& err)
{
    const Listen listen = *ParseListen(args.Value("--listen").value_or(std::string(kDefaultListen)));
    const auto database = args.Value("--database");
    try {
        ReadingServer reading(
            database ? WithDataSource(kReadingConnectionString, *database) : std::string(kReadingConnectionString),
            listen.host, listen.port);
        web::WebServer& server = reading.Server();
        out << "Velmora serves readings at:\n";
        for (const std::string& url : server.Urls()) out << "  " << url << "\n";
        out << "Ctrl-C ends it.\n";
        out.flush();
        server.Run();
        out << "Velmora has stopped serving.\n";
        return kExitOk;
    } catch (const std::exception& error) {
        err << "velmora-cli serve: " << error.what() << "\n";
        return kExitFailure;
    }
}

}  // namespace

CommandSpec ServeCommand()
{
    return {
        .name = "serve",
        .summary = "Serves readings over HTTP to the browsers of phones and computers until Ctrl-C (SIGINT or "
                   "SIGTERM): a form at /, a reading's page at /reading?name=...&sex=...&gregorian=...&hour=..., "
                   "the same as JSON (as reading --format json) at /api/reading?..., the birthplaces at "
                   "/api/places?q=TEXT, and with velmora-render beside it the reading as /reading.pdf?... and "
                   "/reading.png?.... A query parameter is a reading option without its dashes, a switch 1, on or "
                   "true. The reading database is read once at the start; while the window holds it, serve ends "
                   "with status 1.",
        .words = {},
        .options =
            {
                {"--listen", "HOST:PORT", "the address to listen on (127.0.0.1:8288 when not given); "
                 "0.0.0.0:8288 lets the other devices of the network in", ListenRule},
                {"--database", "PATH", "read this reading database instead of Orsk.dll"},
            },
        .examples = {"velmora-cli serve", "velmora-cli serve --listen 0.0.0.0:8288"},
        .run = RunServe,
    };
}

}  // namespace velmora::cli
