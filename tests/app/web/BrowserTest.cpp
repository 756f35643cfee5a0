// velmora-cli serve in a real browser: headless Chromium shows the form and
// a reading (a birthplace abroad, the chart) at a phone's size and a
// desktop's, saving screenshots for a person to look at, with the page's
// viewport where a phone heeds it; and it submits the
// form as the browser has built it: the form's action and fields are read
// from the page Chromium rendered, filled in as a user would, sent the way a
// browser sends a GET form, and the reading that comes back names the person.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "ReadingTestSupport.h"
#include "ServeTestSupport.h"

extern char** environ;

namespace velmora::cli {
namespace {

namespace fs = std::filesystem;
using namespace serve_test;

// What headless Chromium writes to its standard output for `args`; its
// profile lives in a scratch folder, its messages are dropped.
std::string Chromium(std::vector<std::string> args)
{
    static const velmora::testing::ScratchFolder profile;
    args.insert(args.begin(), {"chromium", "--headless", "--no-sandbox", "--disable-gpu", "--hide-scrollbars",
                               "--no-first-run", "--user-data-dir=" + profile.Path().string()});
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    int pipeEnds[2];
    EXPECT_EQ(pipe(pipeEnds), 0);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_adddup2(&files, pipeEnds[1], 1);
    posix_spawn_file_actions_addopen(&files, 2, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addclose(&files, pipeEnds[0]);
    pid_t pid = -1;
    const int spawned = posix_spawnp(&pid, "chromium", &files, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&files);
    close(pipeEnds[1]);
    EXPECT_EQ(spawned, 0) << "chromium is not installed (tools/debian-packages.txt lists it)";
    const std::string output = spawned == 0 ? ReadAll(pipeEnds[0], std::chrono::seconds(120)) : "";
    close(pipeEnds[0]);
    if (spawned == 0) waitpid(pid, nullptr, 0);
    return output;
}

std::string PageAt(int port, const std::string& target)
{
    return "http://127.0.0.1:" + std::to_string(port) + target;
}

struct Size {
    int width;
    int height;
};

// The width and height a PNG file's header gives; zeros for no PNG.
Size PngSize(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    unsigned char header[24] = {};
    in.read(reinterpret_cast<char*>(header), sizeof header);
    if (!in || header[1] != 'P' || header[2] != 'N' || header[3] != 'G') return {0, 0};
    const auto big = [&](int at) {
        return int(header[at]) << 24 | int(header[at + 1]) << 16 | int(header[at + 2]) << 8 | int(header[at + 3]);
    };
    return {big(16), big(20)};
}

// An attribute of a tag as Chromium writes it back (always in double quotes).
std::string Attribute(const std::string& tag, const std::string& name)
{
    std::smatch found;
    if (!std::regex_search(tag, found, std::regex("\\s" + name + "=\"([^\"]*)\""))) return {};
    std::string value = found[1];
    for (const auto& [entity, character] : std::vector<std::pair<std::string, std::string>>{
             {"&quot;", "\""}, {"&lt;", "<"}, {"&gt;", ">"}, {"&amp;", "&"}})
        for (std::size_t at = value.find(entity); at != std::string::npos; at = value.find(entity, at + 1))
            value.replace(at, entity.size(), character);
    return value;
}

bool HasAttribute(const std::string& tag, const std::string& name)
{
    return std::regex_search(tag, std::regex("\\s" + name + "(=|\\s|>|$)"));
}

// application/x-www-form-urlencoded, as a browser encodes a GET form.
std::string FormEncoded(const std::string& text)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string encoded;
    for (const unsigned char c : text) {
        if (std::isalnum(c) || c == '*' || c == '-' || c == '.' || c == '_') encoded += static_cast<char>(c);
        else if (c == ' ') encoded += '+';
        else encoded += {'%', hex[c >> 4], hex[c & 15]};
    }
    return encoded;
}

// What a user does to the form: types into fields, picks radio buttons and
// list items, ticks boxes. Every name must be one of the form's.
struct UserInput {
    std::map<std::string, std::string> typed;
    std::map<std::string, std::string> picked;
    std::set<std::string> ticked;
};

// The query a browser sends for the form in `dom` filled in with `input`:
// each field in document order, the boxes only when ticked, a list's picked
// item or its selected or first one. `unused` gets the names of `input` the
// form has no field (or no such item) for.
std::string SubmittedQuery(const std::string& form, const UserInput& input, std::set<std::string>& unused)
{
    for (const auto& [name, value] : input.typed) unused.insert(name);
    for (const auto& [name, value] : input.picked) unused.insert(name);
    unused.insert(input.ticked.begin(), input.ticked.end());
    std::vector<std::pair<std::string, std::string>> items;
    const std::regex control("<select\\b[^>]*>[\\s\\S]*?</select>|<input\\b[^>]*>");
    for (auto at = std::sregex_iterator(form.begin(), form.end(), control); at != std::sregex_iterator(); ++at) {
        const std::string whole = (*at)[0];
        const std::string tag = whole.substr(0, whole.find('>') + 1);
        const std::string name = Attribute(tag, "name");
        if (name.empty()) continue;
        if (whole.starts_with("<select")) {
            std::vector<std::string> options;
            std::string chosen;
            const std::regex option("<option\\b[^>]*>");
            for (auto o = std::sregex_iterator(whole.begin(), whole.end(), option); o != std::sregex_iterator(); ++o) {
                options.push_back(Attribute((*o)[0], "value"));
                if (chosen.empty() && HasAttribute((*o)[0], "selected")) chosen = options.back();
            }
            if (chosen.empty() && !options.empty()) chosen = options.front();
            if (const auto pick = input.picked.find(name); pick != input.picked.end() &&
                std::find(options.begin(), options.end(), pick->second) != options.end()) {
                chosen = pick->second;
                unused.erase(name);
            }
            items.emplace_back(name, chosen);
            continue;
        }
        const std::string type = Attribute(tag, "type");
        const std::string value = Attribute(tag, "value");
        if (type == "radio") {
            const auto pick = input.picked.find(name);
            const bool on = pick == input.picked.end() ? HasAttribute(tag, "checked") : pick->second == value;
            if (pick != input.picked.end() && on) unused.erase(name);
            if (on) items.emplace_back(name, value);
        } else if (type == "checkbox") {
            const bool on = input.ticked.count(name) > 0 || HasAttribute(tag, "checked");
            unused.erase(name);
            if (on) items.emplace_back(name, value.empty() ? "on" : value);
        } else if (type != "submit" && type != "button") {
            const auto typed = input.typed.find(name);
            if (typed != input.typed.end()) unused.erase(name);
            items.emplace_back(name, typed != input.typed.end() ? typed->second : value);
        }
    }
    std::string query;
    for (const auto& [name, value] : items)
        query += (query.empty() ? "" : "&") + FormEncoded(name) + "=" + FormEncoded(value);
    return query;
}

const std::string kReadingTarget =
    "/reading?name=%E5%BC%A0%E4%B8%89&sex=%E7%94%B7&gregorian=1990-5-17&hour=8&minute=30"
    "&place=%E5%8F%B0%E5%8C%97%E5%B8%82&chart=1";

TEST(Browser, ShowsTheFormAndAReadingAtAPhonesSizeAndADesktops)
{
    Server server;
    ASSERT_GT(server.Port(), 0) << server.Said();
    const fs::path folder = VELMORA_SCREENSHOT_DIR;
    fs::create_directories(folder);
    const struct {
        std::string target;
        std::string name;
    } pages[] = {{"/", "web-form"}, {kReadingTarget, "web-reading"}};
    const struct {
        Size size;
        std::string name;
    } screens[] = {{{390, 844}, "phone"}, {{1280, 900}, "desktop"}};
    for (const auto& page : pages)
        for (const auto& screen : screens) {
            const fs::path shot = folder / (page.name + "-" + screen.name + ".png");
            fs::remove(shot);
            Chromium({"--screenshot=" + shot.string(),
                      "--window-size=" + std::to_string(screen.size.width) + "," + std::to_string(screen.size.height),
                      PageAt(server.Port(), page.target)});
            const Size size = PngSize(shot);
            EXPECT_EQ(size.width, screen.size.width) << shot;
            EXPECT_EQ(size.height, screen.size.height) << shot;
        }
    // The reading's page as the browser holds it: the birthplace abroad and the chart.
    const std::string dom = Chromium({"--dump-dom", PageAt(server.Port(), kReadingTarget)});
    for (const std::string shown : {"姓名：张三", "台北市", "Asia/Taipei", "八字详盘", "大运"})
        EXPECT_NE(dom.find(shown), std::string::npos) << shown;
    // A phone sizes the page by its viewport line only when the browser kept
    // it in the head; anything that belongs to the body ends the head early.
    EXPECT_LT(dom.find("<meta name=\"viewport\""), dom.find("</head>")) << dom.substr(0, 600);
}

TEST(Browser, SubmitsTheFormItRendered)
{
    Server server;
    ASSERT_GT(server.Port(), 0) << server.Said();
    const std::string dom = Chromium({"--dump-dom", PageAt(server.Port(), "/")});
    std::smatch form;
    ASSERT_TRUE(std::regex_search(dom, form, std::regex("<form\\b[^>]*>[\\s\\S]*?</form>"))) << dom.substr(0, 500);
    const std::string formText = form[0];
    const std::string formTag = formText.substr(0, formText.find('>') + 1);
    EXPECT_EQ(Attribute(formTag, "method"), "get");
    const std::string action = Attribute(formTag, "action");
    ASSERT_TRUE(action.starts_with("/")) << formTag;

    const UserInput input{
        .typed = {{"name", "李 四&"}, {"date", "1990-5-17"}, {"minute", "30"}, {"place", "台北市"}},
        .picked = {{"sex", "女"}, {"calendar", "gregorian"}, {"hour", "8"}},
        .ticked = {"chart"},
    };
    std::set<std::string> unused;
    const std::string query = SubmittedQuery(formText, input, unused);
    EXPECT_TRUE(unused.empty()) << "the form has no field for " << *unused.begin();

    const std::string reading = Chromium({"--dump-dom", PageAt(server.Port(), action + "?" + query)});
    for (const std::string shown : {"姓名：李 四&amp;", "性别：女", "台北市", "八字详盘"})
        EXPECT_NE(reading.find(shown), std::string::npos) << shown << " not in\n" << reading.substr(0, 1500);
}

}  // namespace
}  // namespace velmora::cli
