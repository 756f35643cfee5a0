// velmora-cli terms YEAR [TOYEAR]: the moments of the 24 solar terms.
#include <ostream>
#include <string>

#include "CliArguments.h"
#include "CliCommands.h"
#include "TermMoments.h"

namespace velmora::cli {
namespace {

ValueRule YearRule()
{
    return NumberFrom(kFirstMomentYear, kLastMomentYear,
                      "the year is " + std::to_string(kFirstMomentYear) + " to " + std::to_string(kLastMomentYear));
}

int RunTerms(const ParsedArguments& args, std::ostream& out, std::ostream& err)
{
    const int from = std::stoi(args.Words()[0]);
    const int to = args.Words().size() > 1 ? std::stoi(args.Words()[1]) : from;
    if (to < from) {
        err << "velmora-cli terms: TOYEAR " << to << " is earlier than YEAR " << from << "\n";
        return kExitUsage;
    }
    std::string text;
    for (int year = from; year <= to; ++year) {
        const YearTerms& moments = TermMomentsOfYear(year);
        for (int i = 0; i < kTermCount; ++i)
            text.append(std::to_string(year)).append("\t").append(TermName(i)).append("\t")
                .append(std::to_string(TermLongitude(i))).append("\t")
                .append(FormatDateTime(ToCivilTime(moments[i]))).append("\n");
    }
    return FinishOutput(ConvertText(text, ChosenScript(args)), "terms", out, err);
}

}  // namespace

CommandSpec TermsCommand()
{
    return {
        .name = "terms",
        .summary = "The 24 solar terms of each year from YEAR to TOYEAR, one a line, tab-separated: the year, the "
                   "term's name, the Sun's apparent longitude in degrees, and the moment it is reached in Beijing "
                   "time (YYYY-MM-DD HH:MM:SS); 小寒 first, 冬至 last. Checked to the minute for 1900-2100 and sound "
                   "for 1600-2200; further out they rest on an extrapolated difference of time scales.",
        .words = {{"YEAR", "the first year", YearRule()},
                  {"TOYEAR", "the last year (YEAR when not given)", YearRule(), Need::Optional}},
        .options = {ScriptOption()},
        .examples = {"velmora-cli terms 2024", "velmora-cli terms 1986 1991", "velmora-cli terms 2024 --script taiwan"},
        .run = RunTerms,
    };
}

}  // namespace velmora::cli
