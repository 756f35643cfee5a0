// The Nayin names of the sixty-pillar cycle.
#include <cstddef>

#include "UnitPublic.h"

namespace velmora {

const std::string_view NayinTable =
    "甲子乙丑海中金\r\n丙寅丁卯炉中火\r\n戊辰己巳大林木\r\n庚午辛未路旁土\r\n"
    "壬申癸酉剑锋金\r\n甲戌乙亥山头火\r\n丙子丁丑涧下水\r\n戊寅己卯城头土\r\n"
    "庚辰辛巳白腊金\r\n壬午癸未杨柳木\r\n甲申乙酉泉中水\r\n丙戌丁亥屋上土\r\n"
    "戊子己丑霹雳火\r\n庚寅辛卯松柏木\r\n壬辰癸巳长流水\r\n甲午乙未砂中金\r\n"
    "丙申丁酉山下火\r\n戊戌己亥平地木\r\n庚子辛丑璧上土\r\n壬寅癸卯金簿金\r\n"
    "甲辰乙巳覆灯火\r\n丙午丁未天河水\r\n戊申己酉大驿土\r\n庚戌辛亥钗钏金\r\n"
    "壬子癸丑桑柘木\r\n甲寅乙卯大溪水\r\n丙辰丁巳沙中土\r\n戊午己未天上火\r\n"
    "庚申辛酉石榴木\r\n壬戌癸亥大海水";

namespace {

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

bool StartsCharacter(std::string_view text, std::size_t at)
{
    return at >= text.size() || !IsContinuationByte(text[at]);
}

// A match of the needle that begins and ends on character boundaries, as a
// search on characters rather than bytes would find it.
bool HoldsOnCharacterBoundaries(std::string_view line, std::string_view needle)
{
    for (std::size_t at = line.find(needle); at != std::string_view::npos;
         at = line.find(needle, at + 1)) {
        if (StartsCharacter(line, at) && StartsCharacter(line, at + needle.size())) return true;
    }
    return false;
}

std::string_view LastCharacters(std::string_view line, int count)
{
    std::size_t start = line.size();
    while (count > 0 && start > 0) {
        --start;
        if (!IsContinuationByte(line[start])) --count;
    }
    return line.substr(start);
}

}  // namespace

std::string NayinOfPillar(std::string_view pillarName)
{
    if (pillarName.empty()) return {};
    std::string_view rest = NayinTable;
    while (!rest.empty()) {
        const std::size_t end = rest.find("\r\n");
        const std::string_view line = rest.substr(0, end);
        if (HoldsOnCharacterBoundaries(line, pillarName)) return std::string(LastCharacters(line, 3));
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 2);
    }
    return {};
}

}  // namespace velmora
