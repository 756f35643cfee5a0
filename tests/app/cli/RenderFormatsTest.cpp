// velmora-cli's PDF and PNG through the rendering helper, checked with
// poppler and the PNG's own header.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "CliRun.h"
#include "ReadingTestSupport.h"

namespace {

using velmora::cli::CliRun;
using velmora::cli::kExitOk;
using velmora::cli::RunCommand;

std::string ToolOutput(const std::string& command)
{
    std::string output;
    if (FILE* tool = popen(command.c_str(), "r")) {
        char buffer[4096];
        while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, tool)) output.append(buffer, n);
        pclose(tool);
    }
    return output;
}

// Width and height from the PNG's header (big-endian, after the signature and IHDR's type).
std::pair<unsigned, unsigned> PngSize(const std::string& bytes)
{
    const auto at = [&](std::size_t i) {
        return (unsigned(static_cast<unsigned char>(bytes[i])) << 24) | (unsigned(static_cast<unsigned char>(bytes[i + 1])) << 16) |
               (unsigned(static_cast<unsigned char>(bytes[i + 2])) << 8) | unsigned(static_cast<unsigned char>(bytes[i + 3]));
    };
    return bytes.size() > 24 ? std::pair{at(16), at(20)} : std::pair{0u, 0u};
}

class RenderFormats : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("VELMORA_RENDER", VELMORA_RENDER_PROGRAM, 1);
        std::filesystem::copy_file(VELMORA_SAMPLE_READING_DB, database_);
    }

    CliRun Reading(const std::string& format, const std::string& output)
    {
        return RunCommand("reading", {"--name", "张三", "--sex", "男", "--gregorian", "1984-2-4", "--hour", "23",
                                      "--database", database_.string(), "--format", format,
                                      "--output", output});
    }

    velmora::testing::ScratchFolder folder_;
    std::filesystem::path database_ = folder_.Path() / "sample.db";
};

TEST_F(RenderFormats, PdfHoldsTheReadingAsTextInAnEmbeddedChineseFont)
{
    const std::string pdf = (folder_.Path() / "reading.pdf").string();
    const CliRun run = Reading("pdf", pdf);
    ASSERT_EQ(run.status, kExitOk) << run.err;
    const std::string text = ToolOutput("pdftotext -enc UTF-8 '" + pdf + "' -");
    EXPECT_NE(text.find("张三"), std::string::npos) << text;
    EXPECT_NE(text.find("骨重："), std::string::npos) << text;
    EXPECT_NE(ToolOutput("pdfinfo '" + pdf + "'").find("(A4)"), std::string::npos);
    EXPECT_NE(ToolOutput("pdffonts '" + pdf + "'").find("WenQuanYi"), std::string::npos);
}

TEST_F(RenderFormats, PngIsTheWholePageAtTwiceTheScale)
{
    const std::string png = (folder_.Path() / "reading.png").string();
    const CliRun run = Reading("png", png);
    ASSERT_EQ(run.status, kExitOk) << run.err;
    const auto [width, height] = PngSize(velmora::testing::ReadBytes(png));
    EXPECT_EQ(width, 2u * 740u);  // the window's page width, twice
    EXPECT_GT(height, 2u * 422u);  // all of it, not the 422 pixels the window's view shows
    EXPECT_EQ(height % 2, 0u);
}

TEST_F(RenderFormats, AMissingHelperIsAnErrorNotAnEmptyFile)
{
    setenv("VELMORA_RENDER", (folder_.Path() / "no-such-helper").c_str(), 1);
    const std::string pdf = (folder_.Path() / "reading.pdf").string();
    const CliRun run = Reading("pdf", pdf);
    EXPECT_NE(run.status, kExitOk);
    EXPECT_NE(run.err.find("no-such-helper"), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(pdf));
}

}  // namespace
