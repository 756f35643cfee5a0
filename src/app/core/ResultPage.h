// The result page: the page template among the program's resources filled
// with a reading, its headings set in bold, written with its background
// picture into the private temporary folder for the result browser.
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>

#include "KarvoInfo.h"
#include "Script.h"

namespace velmora {

// The resources of the page, of type "MYHTML".
inline constexpr std::string_view kPageResourceType = "MYHTML";
inline constexpr std::string_view kPageTemplateResource = "html";
inline constexpr std::string_view kPagePictureResource = "BG";

inline constexpr std::string_view kPageFileName = "template.html";
// The page's style refers to its picture by this plain name beside the page,
// so a saved page and its picture travel together.
inline constexpr std::string_view kPagePictureFileName = "bg.gif";

// The links of an unknown hour's candidates: the page itself with a query
// naming the hour the candidate stands for, e.g. ?hour=2. The window answers
// them; anywhere else they lead back to the same page.
inline constexpr std::string_view kCandidateQueryItem = "hour";

// The texts of the page in document order. The name and sex are those of
// the input fields when the page is built, HTML-escaped.
inline constexpr std::size_t kResultPageTextCount = 15;
std::array<std::string, kResultPageTextCount> ResultPageTexts(const TKarvoInfo& record, std::string_view name,
                                                             std::string_view sex);

// The template with each "%s" replaced by the next text (a "%" in a text is
// not interpreted) and each "%%" by "%".
std::string FillPageTemplate(std::string_view pageTemplate, std::span<const std::string> texts);

// The finished page text: template filled, then BoldHeadings over all of it.
std::string BuildResultPage(std::string_view pageTemplate, const TKarvoInfo& record, std::string_view name,
                            std::string_view sex);

// & < > and " as character references.
std::string HtmlEscape(std::string_view text);

// The bytes of the page file for a reading: the template resource filled,
// as GB18030 text with CR LF line ends. In a traditional script the whole
// page is converted but the typed name.
std::string RenderResultPage(const TKarvoInfo& record, std::string_view name, std::string_view sex,
                             Script script = Script::Simplified);

// The same page as UTF-8 text, its lines ending in CR LF, for a front end
// that declares its own encoding (the web server).
std::string RenderResultPageText(const TKarvoInfo& record, std::string_view name, std::string_view sex,
                                 Script script = Script::Simplified);

struct ResultPagePaths {
    std::string page;
    std::string picture;
};

// Where the page and its picture live: the folder of GetTempFolder.
ResultPagePaths ResultPageLocation();

// Writes the template and the picture from the resources, reads the
// template back, fills it and writes the page over it as GB18030 text with
// CR LF line ends. Gives the path of the page. Errors are thrown.
std::string WriteResultPage(const TKarvoInfo& record, std::string_view name, std::string_view sex,
                            Script script = Script::Simplified);

// The bytes of the page's picture (a GIF) among the resources.
std::string_view PagePictureBytes();

// Writes the page's picture into `folder` under the name the page asks for,
// so that a copy of the page saved there shows its motif, through the same
// safe path as every output (never through a link, into a device or half).
// Errors are thrown.
void WritePagePictureInto(const std::string& folder);

// The file name, without extension, proposed for a saved reading: the name
// and the Gregorian birth date, as "张三 1990年5月1日". Characters that file
// systems refuse become "_"; without a reading it is "算命结果".
std::string ReadingFileBaseName(const TKarvoInfo& record, std::string_view name);

// Deletes the page, its picture and the About page beside them, and the folder made for this process
// alone when there is one; errors are ignored.
void RemoveResultPageFiles() noexcept;

}  // namespace velmora
