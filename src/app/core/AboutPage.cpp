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

void ReplaceAll(std::string& text, std::string_view field, std::string_view value)
{
    for (std::size_t at = text.find(field); at != std::string::npos; at = text.find(field, at + value.size()))
        text.replace(at, field.size(), value);
}

// The result page's own style sheet, so both pages look alike: the
// template's style element, its "%%" read as "%".
std::string ResultPageStyle()
{
    const auto pageTemplate = FindResource(kPageTemplateResource, kPageResourceType);
    if (!pageTemplate) throw std::runtime_error("Resource " + std::string(kPageTemplateResource) + " not found");
    const std::string text = GbkToUtf8(*pageTemplate);
    const std::size_t begin = text.find("<style");
    const std::size_t end = text.find("</style>", begin);
    if (begin == std::string::npos || end == std::string::npos)
        throw std::runtime_error("The page template has no style element");
    return FillPageTemplate(std::string_view(text).substr(begin, end + 8 - begin), {});
}

std::string_view AboutTemplate()
{
    const auto page = FindResource(kAboutPageResource, kPageResourceType);
    if (!page) throw std::runtime_error("Resource " + std::string(kAboutPageResource) + " not found");
    return *page;
}

}  // namespace

std::string AboutPageText(Script script, bool linkToReading)
{
    std::string page(AboutTemplate());
    ReplaceAll(page, "@PAGE_STYLE@", ResultPageStyle());
    ReplaceAll(page, "@VERSION@", VELMORA_VERSION);
    ReplaceAll(page, "@PLACE_CREDIT@", HtmlEscape(PlaceDataAttribution()));
    // The reading page lies beside this one under its fixed name.
    ReplaceAll(page, "@RETURN@",
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
