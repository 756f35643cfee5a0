// The routes of the reading server. A reading's query is turned into the
// reading command's own arguments, so its rules and messages are those of
// the command line.
#include "ReadingServer.h"

#include <nlohmann/json.hpp>
#include <sstream>
#include <vector>

#include "CliCommands.h"
#include "RenderHelper.h"
#include "ResultPage.h"
#include "WebPages.h"
#include "WebQuery.h"

namespace velmora::cli {
namespace {

using web::WebRequest;
using web::WebResponse;

constexpr std::string_view kHtml = "text/html; charset=utf-8";
constexpr std::string_view kJson = "application/json; charset=utf-8";

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

// What a reading's request asks for.
enum class ReadingForm { Page, Json, Pdf, Png };

// The page drawn as a PDF or PNG by the rendering helper, on the server's
// worker thread: it holds only the page's bytes, never the database.
WebResponse DrawnFile(std::string kind, std::string page)
{
    WebResponse answer;
    answer.slow = [kind = std::move(kind), page = std::move(page)] {
        return WebResponse{200, kind == "pdf" ? "application/pdf" : "image/png", RenderPageForServer(kind, page)};
    };
    return answer;
}

WebResponse AnswerReadingRequest(const WebRequest& request, ReadingForm form, TDatabaseQuery& query, bool withFiles)
{
    const bool asJson = form == ReadingForm::Json;
    const auto items = web::ParseQuery(request.query);
    if (!items) return Problem(400, asJson, "the query holds a broken %-escape");
    const web::QueryArguments mapped = web::ArgumentsFromQuery(*items, ReadingParameters());
    if (!mapped.problem.empty()) return Problem(400, asJson, mapped.problem);
    const ReadingAnswer answer = AnswerReading(mapped.args, query);
    if (answer.status == kExitUsage) return Problem(400, asJson, answer.problem);
    if (answer.status != kExitOk) return Problem(422, asJson, answer.problem);
    if (asJson) return {200, std::string(kJson), ReadingJsonDocument(answer)};
    if (form != ReadingForm::Page)
        // The page as velmora-cli reading --format pdf or png draws it.
        return DrawnFile(form == ReadingForm::Pdf ? "pdf" : "png",
                         RenderResultPage(answer.record, answer.input.name, answer.input.sex, answer.script));
    const std::string page =
        RenderResultPageText(answer.record, answer.input.name, answer.input.sex, answer.script);
    return {200, std::string(kHtml), web::ScreenPage(page, request.query, withFiles)};
}

WebResponse AnswerPlaces(const WebRequest& request)
{
    const auto items = web::ParseQuery(request.query);
    if (!items) return web::PlainAnswer(400, "the query holds a broken %-escape");
    std::vector<std::string> args = {"places"};
    for (const auto& [name, value] : *items) {
        if (name == "q" && !value.empty()) args.push_back(value);
        else if (name == "script" && !value.empty()) args.insert(args.end(), {"--script", value});
        else if (name != "q" && name != "script")
            return web::PlainAnswer(400, "no parameter '" + name + "'");
    }
    std::ostringstream out, err;
    const int status = RunCli(args, out, err);
    if (status == kExitOk) return {200, std::string(web::kPlainTextType), out.str()};
    return {status == kExitUsage ? 400u : 404u, std::string(web::kPlainTextType), err.str()};
}

// The PDF and the PNG only when the rendering helper is there at the start.
web::WebHandler Routes(TDatabaseQuery& query)
{
    return [&query, withFiles = RenderHelperAvailable()](const WebRequest& request) -> WebResponse {
        if (request.path == "/") return {200, std::string(kHtml), web::FormPage()};
        if (request.path == "/reading") return AnswerReadingRequest(request, ReadingForm::Page, query, withFiles);
        if (request.path == "/api/reading") return AnswerReadingRequest(request, ReadingForm::Json, query, withFiles);
        if (request.path == "/reading.pdf" && withFiles)
            return AnswerReadingRequest(request, ReadingForm::Pdf, query, withFiles);
        if (request.path == "/reading.png" && withFiles)
            return AnswerReadingRequest(request, ReadingForm::Png, query, withFiles);
        if (request.path == "/api/places") return AnswerPlaces(request);
        if (request.path == "/bg.gif") return {200, "image/gif", std::string(PagePictureBytes())};
        return web::PlainAnswer(404, "No such page.");
    };
}

TDatabaseConnection& Opened(TDatabaseConnection& connection)
{
    connection.Open();
    return connection;
}

TDatabaseConnection& CopiedFrom(TDatabaseConnection& connection, const TDatabaseConnection& source)
{
    connection.OpenCopyOf(source);
    return connection;
}

}  // namespace

ReadingServer::ReadingServer(const std::string& connectionString, const std::string& host, unsigned short port)
    : connection_(connectionString, DatabaseUse::MemoryCopy),
      query_(Opened(connection_)),
      server_(host, port, Routes(query_))
{
}

ReadingServer::ReadingServer(const TDatabaseConnection& source, const std::string& host, unsigned short port)
    : connection_(source.ConnectionString(), DatabaseUse::MemoryCopy),
      query_(CopiedFrom(connection_, source)),
      server_(host, port, Routes(query_))
{
}

}  // namespace velmora::cli
