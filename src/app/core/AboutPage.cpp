#include "AboutPage.h"

#include "GbkCodec.h"
#include "OutputFile.h"
#include "Places.h"
#include "Resources.h"
#include "ResultPage.h"
#include "UnitPublic.h"

#include <filesystem>
#include <stdexcept>

#ifndef VELMORA_VERSION
#error "VELMORA_VERSION is the version the page names"
#endif

namespace velmora {
namespace {

// The result page's own style sheet, so both pages look alike: the
// template's style element, its "%%" read as "%".
std::string ResultPageStyle()
{
    const std::string text = GbkToUtf8(ResourceBytes(kPageTemplateResource, kPageResourceType));
    const std::size_t begin = text.find("<style");
    const std::size_t end = text.find("</style>", begin);
    if (begin == std::string::npos || end == std::string::npos)
        throw std::runtime_error("The page template has no style element");
    return FillPageTemplate(std::string_view(text).substr(begin, end + 8 - begin), {});
}

}  // namespace

std::string AboutPageText(Script script, bool linkToReading)
{
    std::string page = ReplaceAll(ResourceBytes(kAboutPageResource, kPageResourceType), "@PAGE_STYLE@", ResultPageStyle());
    page = ReplaceAll(page, "@VERSION@", VELMORA_VERSION);
    page = ReplaceAll(page, "@PLACE_CREDIT@", HtmlEscape(PlaceDataAttribution()));
    // The reading page lies beside this one under its fixed name.
    page = ReplaceAll(page, "@RETURN@",
                      linkToReading ? "<a href=\"" + std::string(kPageFileName) + "\">返回算命结果</a>" : std::string());
    // The script menu's choices read as the menu shows them, each in its own script.
    const std::string menuChoices[] = {std::string(kScriptMenuChoices)};
    return ConvertText(page, script, menuChoices);
}

std::string AboutPageLocation()
{
    return GetTempFolder() + std::string(kAboutPageFileName);
}

std::string WriteAboutPage(Script script)
{
    const std::string path = AboutPageLocation();
    const bool readingShown = std::filesystem::exists(ResultPageLocation().page);
    WritePagePictureInto(GetTempFolder());
    if (const auto problem = WriteOutputFile(path, AboutPageText(script, readingShown), OutputName::Beside))
        throw std::runtime_error(problem->words);
    return path;
}

}  // namespace velmora
