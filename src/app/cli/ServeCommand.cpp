// velmora-cli serve: the readings over HTTP for the phones and tablets of
// the house. A reading's query is turned into the reading command's own
// arguments, so its rules and messages are those of the command line.
#include <iostream>
#include <limits>
#include <nlohmann/json.hpp>
#include <ostream>

#include "CliArguments.h"
#include "CliCommands.h"
#include "PlaceSearch.h"
#include "ReadingDatabase.h"
#include "ResultPage.h"
#include "WebPages.h"
#include "WebQuery.h"
#include "WebServer.h"

namespace velmora::cli {
namespace {

using web::WebRequest;
using web::WebResponse;

constexpr std::string_view kHtml = "text/html; charset=utf-8";
constexpr std::string_view kJson = "application/json; charset=utf-8";
constexpr std::string_view kDefaultListen = "127.0.0.1:8288";

// The reading's options a request may give; never --format, --output or
// --database.
const std::vector<web::ParameterSpec>& ReadingParameters()
{
    static const std::vector<web::ParameterSpec> parameters = {
        {"name"}, {"sex"}, {"gregorian"}, {"lunar"}, {"leap", true}, {"hour"}, {"minute"}, {"precise", true},
        {"place"}, {"longitude"}, {"latitude"}, {"timezone"}, {"zi"}, {"chart", true}, {"as-of"}, {"script"},
    };
    return parameters;
}

// The problem of a request as JSON; bytes that are no UTF-8 are replaced.
std::string JsonProblem(std::string_view problem)
{
    const nlohmann::ordered_json json = {{"error", problem}};
    return json.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

WebResponse Problem(unsigned status, bool asJson, std::string_view problem)
{
    if (asJson) return {status, std::string(kJson), JsonProblem(problem)};
    return {status, std::string(kHtml), web::ProblemPage(problem)};
}

WebResponse AnswerReadingRequest(const WebRequest& request, bool asJson, TDatabaseQuery& query)
{
    const auto items = web::ParseQuery(request.query);
    if (!items) return Problem(400, asJson, "the query holds a broken %-escape");
    const web::QueryArguments mapped = web::ArgumentsFromQuery(*items, ReadingParameters());
    if (!mapped.problem.empty()) return Problem(400, asJson, mapped.problem);
    const ReadingAnswer answer = AnswerReading(mapped.args, query);
    if (answer.status == kExitUsage) return Problem(400, asJson, answer.problem);
    if (answer.status != kExitOk) return Problem(422, asJson, answer.problem);
    if (asJson) return {200, std::string(kJson), ReadingJsonDocument(answer)};
    const std::string page =
        RenderResultPageText(answer.record, answer.input.name, answer.input.sex, answer.script);
    return {200, std::string(kHtml), web::ScreenPage(page, request.query)};
}

WebResponse AnswerPlaces(const WebRequest& request)
{
    const auto items = web::ParseQuery(request.query);
    if (!items) return {400, "text/plain; charset=utf-8", "the query holds a broken %-escape\n"};
    std::vector<std::string> args = {"places"};
    for (const auto& [name, value] : *items) {
        if (name == "q" && !value.empty()) args.push_back(value);
        else if (name == "script" && !value.empty()) args.insert(args.end(), {"--script", value});
        else if (name != "q" && name != "script")
            return {400, "text/plain; charset=utf-8", "no parameter '" + name + "'\n"};
    }
    std::ostringstream out, err;
    const int status = RunCli(args, out, err);
    if (status == kExitOk) return {200, "text/plain; charset=utf-8", out.str()};
    return {status == kExitUsage ? 400u : 404u, "text/plain; charset=utf-8", err.str()};
}

web::WebHandler Routes(TDatabaseQuery& query)
{
    return [&query](const WebRequest& request) -> WebResponse {
        if (request.path == "/") return {200, std::string(kHtml), web::FormPage()};
        if (request.path == "/reading") return AnswerReadingRequest(request, false, query);
        if (request.path == "/api/reading") return AnswerReadingRequest(request, true, query);
        if (request.path == "/api/places") return AnswerPlaces(request);
        if (request.path == "/bg.gif") return {200, "image/gif", std::string(PagePictureBytes())};
        return {404, "text/plain; charset=utf-8", "No such page.\n"};
    };
}

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
        TDatabaseConnection connection(
            database ? WithDataSource(kReadingConnectionString, *database) : std::string(kReadingConnectionString),
            DatabaseUse::MemoryCopy);
        connection.Open();
        TDatabaseQuery query(connection);
        web::WebServer server(listen.host, listen.port, Routes(query));
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
                   "/api/places?q=TEXT. A query parameter is a reading option without its dashes, a switch 1, on or "
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
