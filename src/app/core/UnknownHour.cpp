#include "UnknownHour.h"

#include <algorithm>

#include "UnitPublic.h"

namespace velmora {
namespace {

constexpr int kPillarCount = 4;
constexpr int kHourPosition = 3;
const char* const kPositionNames[kPillarCount] = {"年柱", "月柱", "日柱", "时柱"};

std::string JoinWords(const std::vector<std::string>& words)
{
    std::string text;
    for (const std::string& word : words) text += (text.empty() ? "" : " ") + word;
    return text;
}

std::string CandidateName(const CandidateTime& time, const TKarvoInfo& reading)
{
    return time.lateZi ? "夜子时" : reading.HourName;
}

HourCandidate MakeCandidate(const CandidateTime& time, const TKarvoInfo& reading)
{
    const auto pillars = SpaceSeparated(reading.SiZhu);
    return {time.hour,
            CandidateName(time, reading),
            reading.SiZhu,
            pillars.size() == kPillarCount ? pillars[kHourPosition] : std::string(),
            reading.GuZhong,
            reading.BoneWeightTenths};
}

// The positions of the year, month and day pillars on which every candidate agrees.
std::vector<bool> SharedPositions(const std::vector<HourCandidate>& candidates)
{
    std::vector<bool> shared(kHourPosition, true);
    const auto first = SpaceSeparated(candidates.front().SiZhu);
    for (const HourCandidate& candidate : candidates) {
        const auto pillars = SpaceSeparated(candidate.SiZhu);
        for (int i = 0; i < kHourPosition; ++i)
            if (pillars.size() != first.size() || pillars[i] != first[i]) shared[i] = false;
    }
    return shared;
}

std::vector<std::string> KeepShared(const std::string& text, const std::vector<bool>& shared)
{
    const auto words = SpaceSeparated(text);
    std::vector<std::string> kept;
    for (std::size_t i = 0; i < shared.size() && i < words.size(); ++i)
        if (shared[i]) kept.push_back(words[i]);
    return kept;
}

// The hour's own fields stay empty: nothing is made up for an hour nobody knows.
void ClearHourFields(TKarvoInfo& r)
{
    for (std::string* field : {&r.Hour, &r.HourName, &r.HourText, &r.GuZhong, &r.GuZhongText, &r.ClockTime,
                               &r.StandardTime, &r.SolarTime, &r.BeijingMoment, &r.SolarMoment})
        field->clear();
    r.BoneWeightTenths = 0;
}

std::string UnknownHourNote(bool solarTime, ZiSchool school, const std::string& range)
{
    std::string note = std::string("出生时辰不详：本次按") + (solarTime ? "真太阳时" : "") +
                       "子时0:00、丑时2:00……亥时22:00逐一推算各时辰的四柱与骨重";
    if (school == ZiSchool::Late) note += "，夜子时按23:30推算";
    return note + "。骨重在" + range + "之间；与时辰无关的年、月、日、属相和星座解说照常给出。";
}

std::string DifferingNote(const std::vector<bool>& shared)
{
    std::string which;
    for (int i = 0; i < kHourPosition; ++i)
        if (!shared[i]) which += (which.empty() ? "" : "、") + std::string(kPositionNames[i]);
    return "出生当天有节气交接，各时辰的" + which + "并不相同：上方只列出各时辰共同的柱，各时辰的完整四柱见时辰表。";
}

}  // namespace

std::vector<CandidateTime> CandidateTimes(ZiSchool school)
{
    std::vector<CandidateTime> times;
    for (int hour = 0; hour < 24; hour += 2) times.push_back({hour, 0, false});
    if (school == ZiSchool::Late) times.push_back({23, 30, true});
    return times;
}

std::string CandidateWeightRange(const std::vector<HourCandidate>& candidates)
{
    if (candidates.empty()) return {};
    const auto [lightest, heaviest] = std::minmax_element(
        candidates.begin(), candidates.end(),
        [](const HourCandidate& a, const HourCandidate& b) { return a.BoneWeightTenths < b.BoneWeightTenths; });
    if (lightest->BoneWeightTenths == heaviest->BoneWeightTenths) return lightest->GuZhong;
    return lightest->GuZhong + "至" + heaviest->GuZhong;
}

bool ReadUnknownHour(const CandidateReader& read, ZiSchool school, bool solarTime, TKarvoInfo& record)
{
    std::optional<TKarvoInfo> noon = read({12, 0, false}, ChartDetail::Whole);
    if (!noon) return false;
    std::vector<HourCandidate> candidates;
    for (const CandidateTime& time : CandidateTimes(school)) {
        const auto reading = read(time, ChartDetail::BoneWeight);
        if (!reading) return false;
        candidates.push_back(MakeCandidate(time, *reading));
    }
    TKarvoInfo& r = *noon;
    const std::vector<bool> shared = SharedPositions(candidates);
    r.SiZhu = JoinWords(KeepShared(r.SiZhu, shared));
    r.WuXing = JoinWords(KeepShared(r.WuXing, shared));
    ClearHourFields(r);
    r.HourUnknown = true;
    r.Notes = {UnknownHourNote(solarTime, school, CandidateWeightRange(candidates))};
    if (std::find(shared.begin(), shared.end(), false) != shared.end()) r.Notes.push_back(DifferingNote(shared));
    r.Candidates = std::move(candidates);
    record = std::move(r);
    return true;
}

}  // namespace velmora
