#include <gtest/gtest.h>

#include <opencc/SimpleConverter.hpp>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "GbkCodec.h"
#include "Script.h"

namespace velmora {
namespace {

constexpr Script kTraditionalScripts[] = {Script::Traditional, Script::Taiwan, Script::HongKong};

const char* OpenccConfiguration(Script script)
{
    return script == Script::Traditional ? "s2t.json" : script == Script::Taiwan ? "s2tw.json" : "s2hk.json";
}

std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

bool HoldsAnyOf(const std::string& text, const std::vector<std::string>& words)
{
    for (const std::string& word : words) {
        if (text.find(word) != std::string::npos) return true;
    }
    return false;
}

struct Golden {
    const char* simplified;
    const char* traditional;
    const char* taiwan;
    const char* hongkong;
};

class GoldenWords : public testing::TestWithParam<Golden> {};

TEST_P(GoldenWords, ConvertAsTheFieldWritesThem)
{
    const Golden& golden = GetParam();
    EXPECT_EQ(ConvertText(golden.simplified, Script::Simplified), golden.simplified);
    EXPECT_EQ(ConvertText(golden.simplified, Script::Traditional), golden.traditional);
    EXPECT_EQ(ConvertText(golden.simplified, Script::Taiwan), golden.taiwan);
    EXPECT_EQ(ConvertText(golden.simplified, Script::HongKong), golden.hongkong);
}

INSTANTIATE_TEST_SUITE_P(
    Script, GoldenWords,
    testing::Values(Golden{"谷雨", "穀雨", "穀雨", "穀雨"}, Golden{"惊蛰", "驚蟄", "驚蟄", "驚蟄"},
                    Golden{"纳音", "納音", "納音", "納音"}, Golden{"钗钏金", "釵釧金", "釵釧金", "釵釧金"},
                    Golden{"农历", "農曆", "農曆", "農曆"}, Golden{"属相", "屬相", "屬相", "屬相"},
                    Golden{"辛丑", "辛丑", "辛丑", "辛丑"}, Golden{"藏干", "藏干", "藏干", "藏干"},
                    Golden{"白腊金", "白蠟金", "白蠟金", "白蠟金"}, Golden{"骨重", "骨重", "骨重", "骨重"},
                    Golden{"天干地支", "天干地支", "天干地支", "天干地支"},
                    // The corrections hold inside longer text.
                    Golden{"空亡子丑", "空亡子丑", "空亡子丑", "空亡子丑"},
                    Golden{"辛丑年为", "辛丑年爲", "辛丑年為", "辛丑年為"},
                    Golden{"巳酉丑金局", "巳酉丑金局", "巳酉丑金局", "巳酉丑金局"},
                    Golden{"年干甲木，时干庚", "年干甲木，時干庚", "年干甲木，時干庚", "年干甲木，時干庚"},
                    Golden{"乙木是阴干", "乙木是陰干", "乙木是陰干", "乙木是陰干"},
                    Golden{"子午冲，丑未冲", "子午沖，丑未沖", "子午沖，丑未沖", "子午沖，丑未沖"},
                    // ... and give way to a longer word that begins inside them.
                    Golden{"出手时干脆", "出手時乾脆", "出手時乾脆", "出手時乾脆"},
                    Golden{"中年干劲", "中年幹勁", "中年幹勁", "中年幹勁"},
                    Golden{"青年干部", "青年幹部", "青年幹部", "青年幹部"},
                    Golden{"丑陋", "醜陋", "醜陋", "醜陋"},
                    // Where the scripts differ.
                    Golden{"人群后面", "人羣後面", "人群後面", "人羣後面"},
                    Golden{"跟着台灯", "跟着檯燈", "跟著檯燈", "跟着枱燈"}));

TEST(KeptWords, StayAsTypedWhereverTheyOccur)
{
    const std::vector<std::string> names = {"李后", "余华"};
    for (Script script : kTraditionalScripts) {
        SCOPED_TRACE(ScriptName(script));
        EXPECT_EQ(ConvertText("李后之后", script, names), "李后之後");
        // 其余 is a phrase of OpenCC's; the name inside it still wins.
        EXPECT_EQ(ConvertText("其余华发", script, names), "其余华發");
        EXPECT_EQ(ConvertText("余华属丑", script, names), ConvertText("余华", Script::Simplified) + "屬丑");
        EXPECT_EQ(ConvertTextKeepingSpan("李后李后", script, 6, 6), "李後李后");
        EXPECT_EQ(ConvertTextKeepingSpan("余华", script, 0, 99), "余华");
    }
}

// OpenCC refuses bytes that are no UTF-8; they pass through and the rest is
// still converted.
TEST(Conversion, CopiesBytesThatAreNoUtf8)
{
    for (Script script : kTraditionalScripts) {
        EXPECT_EQ(ConvertText("农历\xFF白腊金\xE5\x8D", script), "農曆\xFF白蠟金\xE5\x8D") << ScriptName(script);
        EXPECT_EQ(ConvertText("\x80丑时", script, std::vector<std::string>{"\xC0"}), "\x80丑時");
    }
}

// OpenCC's own loader would take dictionaries of these names from the
// working folder first; ours reads OpenCC's data folder only. Run in a fresh
// process, so that the dictionaries are read there.
TEST(Dictionaries, StrayFilesInTheWorkingFolderChangeNothing)
{
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "velmora-stray-opencc";
    std::filesystem::create_directories(folder);
    for (const char* name : {"STPhrases.ocd2", "STCharacters.ocd2", "TWVariants.ocd2", "s2t.json"})
        std::ofstream(folder / name) << "not a dictionary";
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            std::filesystem::current_path(folder);
            const bool right = ConvertText("惊蛰白腊金", Script::Taiwan) == "驚蟄白蠟金";
            std::exit(right ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
    std::filesystem::remove_all(folder);
}

TEST(ScriptNames, RoundTrip)
{
    for (Script script : kScripts) {
        EXPECT_EQ(ParseScript(ScriptName(script)), script);
    }
    EXPECT_EQ(ParseScript("twp"), std::nullopt);
}

// Apart from our own words, the text is converted exactly as OpenCC converts
// it in one piece: walking it in stretches loses none of OpenCC's phrases.
// The commentary texts and the reviewed terms are the text.
TEST(Conversion, AgreesWithOpenccOutsideTheFieldWords)
{
    const std::vector<std::string> fieldWords = CorrectedWords();
    ASSERT_GT(fieldWords.size(), 20u);
    std::vector<std::string> lines = Lines(ReadFile(VELMORA_SOURCE_DIR "/data/script/field-terms.txt"));
    for (const auto& file : std::filesystem::directory_iterator(VELMORA_SOURCE_DIR "/data/texts")) {
        for (std::string& line : Lines(ReadFile(file.path()))) lines.push_back(std::move(line));
    }
    ASSERT_GT(lines.size(), 1000u);
    for (Script script : kTraditionalScripts) {
        const opencc::SimpleConverter opencc(OpenccConfiguration(script));
        std::size_t compared = 0;
        for (const std::string& line : lines) {
            if (HoldsAnyOf(line, fieldWords)) continue;
            EXPECT_EQ(ConvertText(line, script), opencc.Convert(line)) << ScriptName(script);
            ++compared;
        }
        EXPECT_GT(compared, lines.size() / 2);
    }
}

TEST(Gbk, EveryCommentaryTextStaysWithinGbk)
{
    for (const auto& file : std::filesystem::directory_iterator(VELMORA_SOURCE_DIR "/data/texts")) {
        const std::string text = ReadFile(file.path());
        for (Script script : kTraditionalScripts) {
            EXPECT_EQ(CharactersOutsideGbk(ConvertText(text, script)), std::vector<std::string>{})
                << file.path().filename() << " " << ScriptName(script);
        }
    }
}

// Every GBK character, each on a line of its own, stays within GBK in every
// script; OpenCC turns eight of them into characters of the CJK extensions.
TEST(Gbk, EveryGbkCharacterStaysWithinGbk)
{
    std::string characters;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail == 0x7F) continue;
            const std::string character = GbkToUtf8(std::string{static_cast<char>(lead), static_cast<char>(trail)});
            if (character.find("\uFFFD") == std::string::npos) characters += character + "\n";
        }
    }
    ASSERT_GT(characters.size(), 21000u * 4);
    EXPECT_EQ(CharactersOutsideGbk(characters), std::vector<std::string>{});
    EXPECT_EQ(CharactersOutsideGbk("鹮䴉𣈶"), (std::vector<std::string>{"䴉", "𣈶"}));
    for (Script script : kTraditionalScripts) {
        EXPECT_EQ(CharactersOutsideGbk(ConvertText(characters, script)), std::vector<std::string>{})
            << ScriptName(script);
    }
}

}  // namespace
}  // namespace velmora
