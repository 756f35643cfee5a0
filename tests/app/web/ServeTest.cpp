// velmora-cli serve as its own process on a loopback port: what each request
// is answered with, the JSON against the command line's, slow clients, the
// head's deadline, the end on SIGTERM and a database the window holds; and
// the same server inside the window's process, stopped from its thread.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>

#include <arpa/inet.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "CliCommands.h"
#include "ReadingDatabase.h"
#include "ReadingServer.h"
#include "ReadingTestSupport.h"
#include "ServeTestSupport.h"

namespace velmora::cli {
namespace {

namespace fs = std::filesystem;
using namespace serve_test;

Server& Shared()
{
    static Server server;
    return server;
}

constexpr std::string_view kQuery = "name=%E5%BC%A0%E4%B8%89&sex=%E7%94%B7&gregorian=1983-2-15&hour=20";

TEST(Serve, AnswersEachRequestWithItsStatusAndTheSafetyHeaders)
{
    const std::string big(9000, 'a');
    const std::string query(kQuery);
    const struct {
        std::string request;
        int status;
        std::string_view contentType;
    } cases[] = {
        {"GET / HTTP/1.1\r\n\r\n", 200, "text/html; charset=utf-8"},
        {"HEAD / HTTP/1.1\r\n\r\n", 200, "text/html; charset=utf-8"},
        {"GET /reading?" + query + " HTTP/1.1\r\n\r\n", 200, "text/html; charset=utf-8"},
        {"GET /api/reading?" + query + " HTTP/1.1\r\n\r\n", 200, "application/json; charset=utf-8"},
        {"GET /api/reading?" + query + "&hour=24 HTTP/1.1\r\n\r\n", 400, "application/json; charset=utf-8"},
        {"GET /reading?" + query + "&output=/tmp/x HTTP/1.1\r\n\r\n", 400, "text/html; charset=utf-8"},
        {"GET /reading?" + query + "&gregorian=1990-2-30 HTTP/1.1\r\n\r\n", 400, "text/html; charset=utf-8"},
        // What the form sends, its empty fields and all.
        {"GET /reading?name=a&sex=%E5%A5%B3&calendar=lunar&date=2001-4-1&leap=1&hour=unknown&minute=&place=&"
         "longitude=&latitude=&zi=&script= HTTP/1.1\r\n\r\n", 200, "text/html; charset=utf-8"},
        {"GET /api/places?q=%E6%88%90%E9%83%BD HTTP/1.1\r\n\r\n", 200, "text/plain; charset=utf-8"},
        {"GET /bg.gif HTTP/1.1\r\n\r\n", 200, "image/gif"},
        {"GET /../../etc/passwd HTTP/1.1\r\n\r\n", 404, "text/plain; charset=utf-8"},
        {"GET /Orsk.dll HTTP/1.1\r\n\r\n", 404, "text/plain; charset=utf-8"},
        {"POST / HTTP/1.1\r\nContent-Length: 0\r\n\r\n", 405, "text/plain; charset=utf-8"},
        {"DELETE / HTTP/1.1\r\n\r\n", 405, "text/plain; charset=utf-8"},
        {"GET / HTTP/1.1\r\nContent-Length: 3\r\n\r\nabc", 413, "text/plain; charset=utf-8"},
        {"GET /" + big + " HTTP/1.1\r\n\r\n", 414, "text/plain; charset=utf-8"},
        {"GET / HTTP/1.1\r\nX-Big: " + big + "\r\n\r\n", 431, "text/plain; charset=utf-8"},
        {"GET / HTTP/9\r\n\r\n", 400, "text/plain; charset=utf-8"},
    };
    for (const auto& c : cases) {
        const Answer answer = Exchange(Shared().Port(), c.request);
        const std::string what = c.request.substr(0, 60);
        EXPECT_EQ(answer.status, c.status) << what;
        EXPECT_NE(answer.head.find("Content-Type: " + std::string(c.contentType) + "\r\n"), std::string::npos) << what;
        for (const char* header :
             {"Content-Security-Policy: default-src 'none'; img-src 'self'; style-src 'self' 'unsafe-inline';",
              "X-Content-Type-Options: nosniff\r\n", "Referrer-Policy: no-referrer\r\n", "X-Frame-Options: DENY\r\n"})
            EXPECT_NE(answer.head.find(header), std::string::npos) << what << " lacks " << header;
        if (c.request.starts_with("HEAD")) {
            EXPECT_EQ(answer.body, "");
        }
    }
}

TEST(Serve, EscapesEveryValueItShows)
{
    const struct {
        std::string target;
        std::string_view shown;
    } cases[] = {
        {"/reading?name=%3Cscript%3Ex%3C/script%3E&sex=%E7%94%B7&gregorian=1983-2-15&hour=20",
         "&lt;script&gt;x&lt;/script&gt;"},
        {"/reading?name=a&sex=%3Cb%3E&gregorian=1983-2-15&hour=20", "&lt;b&gt;"},
        {"/reading?%3Cimg%20src%3Dx%3E=1", "no parameter '&lt;img src=x&gt;'"},
    };
    for (const auto& c : cases) {
        const Answer answer = Get(Shared().Port(), c.target);
        EXPECT_NE(answer.body.find(c.shown), std::string::npos) << c.target << "\n" << answer.body;
        EXPECT_EQ(answer.body.find("<script"), std::string::npos) << c.target;
        EXPECT_EQ(answer.body.find("<img"), std::string::npos) << c.target;
        EXPECT_EQ(answer.body.find("<b>"), std::string::npos) << c.target;
    }
}

TEST(Serve, AnUnknownHoursCandidatesLeadToTheirReadings)
{
    const Answer unknown = Get(Shared().Port(), "/reading?name=a&sex=%E7%94%B7&gregorian=1990-1-1&hour=unknown");
    ASSERT_NE(unknown.body.find("时辰不详"), std::string::npos);
    const std::size_t at = unknown.body.find("href=\"/reading?");
    ASSERT_NE(at, std::string::npos) << unknown.body;
    std::string link = unknown.body.substr(at + 6, unknown.body.find('"', at + 6) - at - 6);
    for (std::size_t amp; (amp = link.find("&amp;")) != std::string::npos;) link.replace(amp, 5, "&");
    EXPECT_EQ(link, "/reading?name=a&sex=%E7%94%B7&gregorian=1990-1-1&hour=0");
    const Answer candidate = Get(Shared().Port(), link);
    EXPECT_EQ(candidate.status, 200);
    EXPECT_EQ(candidate.body.find("时辰不详"), std::string::npos);
}

TEST(Serve, JsonIsTheCommandLinesByteForByte)
{
    const struct {
        std::string query;
        std::vector<std::string> options;
    } cases[] = {
        {std::string(kQuery) + "&as-of=2026-12-08",
         {"--name", "张三", "--sex", "男", "--gregorian", "1983-2-15", "--hour", "20", "--as-of", "2026-12-08"}},
        {"name=%E6%9D%8E%E5%9B%9B&sex=%E5%A5%B3&lunar=2001-4-1&leap=1&hour=unknown&chart=true&as-of=2026-1-1&script="
         "taiwan",
         {"--name", "李四", "--sex", "女", "--lunar", "2001-4-1", "--leap", "--hour", "unknown", "--chart", "--as-of",
          "2026-1-1", "--script", "taiwan"}},
        {"name=w&sex=%E7%94%B7&gregorian=2024-6-2&hour=0&minute=30&place=%E5%96%80%E4%BB%80%E5%9C%B0%E5%8C%BA"
         "&zi=early&as-of=2026-1-1",
         {"--name", "w", "--sex", "男", "--gregorian", "2024-6-2", "--hour", "0", "--minute", "30", "--place", "喀什地区",
          "--zi", "early", "--as-of", "2026-1-1"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"reading", "--format", "json", "--database", SampleDatabase().string()};
        args.insert(args.end(), c.options.begin(), c.options.end());
        std::ostringstream out, err;
        ASSERT_EQ(RunCli(args, out, err), kExitOk) << err.str();
        EXPECT_EQ(Get(Shared().Port(), "/api/reading?" + c.query).body, out.str()) << c.query;
    }
}

TEST(Serve, SlowClientsLeaveAFreshRequestAnsweredWithinASecond)
{
    // Three hundred clients of another loopback address each trickle a
    // request head one byte at a time.
    std::vector<int> slow;
    for (int i = 0; i < 300; ++i)
        if (const int fd = Connect(Shared().Port(), "127.0.0.2"); fd >= 0) slow.push_back(fd);
    ASSERT_EQ(slow.size(), 300u);
    const std::string head = "GET / HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Slow: ";
    for (std::size_t byte = 0; byte < head.size(); ++byte)
        for (const int fd : slow) (void)send(fd, &head[byte], 1, MSG_NOSIGNAL);
    const auto start = Clock::now();
    const Answer fresh = Get(Shared().Port(), "/api/reading?" + std::string(kQuery));
    const auto took = Clock::now() - start;
    EXPECT_EQ(fresh.status, 200);
    EXPECT_LT(took, std::chrono::seconds(1));
    // Beyond its share of connections, the slow address was turned away: closed,
    // or reset since it had sent bytes. A server slowed down by the sanitizers
    // may still be closing them, so each is given until a common deadline.
    int refused = 0;
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    for (const int fd : slow) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        pollfd ready{fd, POLLIN, 0};
        char c;
        if (poll(&ready, 1, static_cast<int>(std::max<long long>(left, 0))) == 1) {
            const ssize_t got = recv(fd, &c, 1, MSG_DONTWAIT);
            if (got == 0 || (got < 0 && errno == ECONNRESET)) ++refused;
        }
        close(fd);
    }
    EXPECT_GE(refused, 300 - 64);
}

TEST(Serve, ClosesAHeadNotFinishedWithinItsDeadline)
{
    const int fd = Connect(Shared().Port());
    ASSERT_GE(fd, 0);
    ASSERT_EQ(write(fd, "GET / HTTP/1.1\r\n", 16), 16);
    const auto start = Clock::now();
    EXPECT_EQ(ReadAll(fd, std::chrono::milliseconds(8000)), "");
    const auto took = Clock::now() - start;
    close(fd);
    EXPECT_GT(took, std::chrono::milliseconds(4500));
    EXPECT_LT(took, std::chrono::milliseconds(7000));
}

TEST(Serve, EndsCleanlyOnSigterm)
{
    Server server;
    ASSERT_GT(server.Port(), 0) << server.Said();
    EXPECT_EQ(Get(server.Port(), "/").status, 200);
    EXPECT_EQ(server.Stop(), kExitOk) << server.Said();
}

TEST(Serve, RefusesToStartWhileTheWindowHoldsTheDatabase)
{
    const velmora::testing::ScratchFolder folder;
    const fs::path database = folder.Path() / "Orsk.dll";
    fs::copy_file(VELMORA_SAMPLE_READING_DB, database);
    TDatabaseConnection window(WithDataSource(kReadingConnectionString, database.string()), DatabaseUse::Exclusive);
    window.Open();
    Server server(database);
    EXPECT_EQ(server.Stop(), kExitFailure);
    EXPECT_NE(server.Said().find(kHeldByWindowReason), std::string::npos) << server.Said();
}

TEST(Serve, HoldsNoLockOnTheDatabaseWhileServing)
{
    const velmora::testing::ScratchFolder folder;
    const fs::path database = folder.Path() / "Orsk.dll";
    fs::copy_file(VELMORA_SAMPLE_READING_DB, database);
    Server server(database);
    ASSERT_GT(server.Port(), 0) << server.Said();
    // The window takes the file for itself only when nobody reads it.
    TDatabaseConnection window(WithDataSource(kReadingConnectionString, database.string()), DatabaseUse::Exclusive);
    EXPECT_NO_THROW(window.Open());
    EXPECT_EQ(Get(server.Port(), "/api/reading?" + std::string(kQuery)).status, 200);
}

// With the rendering helper beside it, the reading's page links to its PDF
// and picture, which the helper draws while the server answers others; one
// is drawn at a time.
TEST(Serve, DrawsThePdfAndThePictureWhileServingOthers)
{
    const std::string query(kQuery);
    if (Get(Shared().Port(), "/reading?" + query).body.find("href=\"/reading.pdf?") == std::string::npos)
        GTEST_SKIP() << "no velmora-render in this build (it comes with the window)";
    const int drawing = Connect(Shared().Port());
    const std::string request = "GET /reading.pdf?" + query + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n";
    ASSERT_EQ(write(drawing, request.data(), request.size()), static_cast<ssize_t>(request.size()));
    EXPECT_EQ(Get(Shared().Port(), "/").status, 200);
    EXPECT_EQ(Get(Shared().Port(), "/reading.png?" + query).status, 503);
    pollfd ready{drawing, POLLIN, 0};
    EXPECT_EQ(poll(&ready, 1, 0), 0) << "the PDF came before the form";
    const std::string pdf = ReadAll(drawing, std::chrono::milliseconds(60000), true);
    close(drawing);
    EXPECT_NE(pdf.find("Content-Type: application/pdf\r\n"), std::string::npos) << pdf.substr(0, 300);
    EXPECT_NE(pdf.find("\r\n\r\n%PDF-"), std::string::npos);

    const Answer png = Get(Shared().Port(), "/reading.png?" + query + "&chart=1");
    EXPECT_EQ(png.status, 200);
    EXPECT_NE(png.head.find("Content-Type: image/png\r\n"), std::string::npos);
    EXPECT_TRUE(png.body.starts_with("\x89PNG\r\n\x1a\n"));
    EXPECT_EQ(Get(Shared().Port(), "/reading.pdf?" + query + "&hour=24").status, 400);
}

// The window serves the database it holds for itself, and Stop from its
// thread ends serving at once, though a client keeps its connection open
// after an answer (which alone would last until the head's deadline).
TEST(Serve, InsideTheWindowServesItsHeldDatabaseAndStopsAtOnce)
{
    const velmora::testing::ScratchFolder folder;
    const fs::path database = folder.Path() / "Orsk.dll";
    fs::copy_file(VELMORA_SAMPLE_READING_DB, database);
    TDatabaseConnection window(WithDataSource(kReadingConnectionString, database.string()), DatabaseUse::Exclusive);
    window.Open();
    ReadingServer reading(window, "127.0.0.1", 0);
    std::thread serving([&] { reading.Server().Serve(); });
    const int port = reading.Server().Port();
    const int kept = Connect(port);
    const std::string request = "GET /api/reading?" + std::string(kQuery) + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
    EXPECT_EQ(write(kept, request.data(), request.size()), static_cast<ssize_t>(request.size()));
    EXPECT_EQ(ReadAll(kept, std::chrono::milliseconds(15000), true).substr(0, 12), "HTTP/1.1 200");
    const auto start = Clock::now();
    reading.Server().Stop();
    serving.join();
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(2));
    EXPECT_EQ(ReadAll(kept), "");  // closed, not waited for
    EXPECT_LT(Connect(port), 0);
    close(kept);
}

}  // namespace
}  // namespace velmora::cli
