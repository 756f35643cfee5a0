// The divination routines of a reading: the five elements of the pillars and
// the missing ones, the Nayin names, the bone-weight wording, the HTML
// replacements of the database texts, the temporary folder and the files
// written from the program's embedded resources, and the input digit check.
//
// Texts are UTF-8. The routines are free functions without state of their
// own; a routine that cannot give a result returns an empty text, -1 or false.
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>

namespace velmora {

// ---------------------------------------------------------------------------
// Five elements

// The element names in the order of the element indices; it is also the order
// in which missing elements are reported.
inline constexpr std::array<std::string_view, 5> ElementList = {"金", "木", "水", "火", "土"};

// Element name of the pillar's stem followed by that of its branch: 己丑 gives
// 土土. Empty for an index outside 0..59.
std::string PillarElements(int sexagenary);

// Branch name of the pillar (寅 for 甲寅); empty for an index outside 0..59.
std::string PillarBranchName(int sexagenary);

// The text followed by its summary: (五行平衡) when all five element names
// occur in it, else (五行缺金,水) with the missing ones in ElementList order.
std::string DescribeMissingElements(std::string_view elements);

// ---------------------------------------------------------------------------
// Nayin

// Thirty lines joined by CR LF: two consecutive pillars of the sixty-pillar
// cycle followed by their Nayin name, in cycle order.
extern const std::string_view NayinTable;

// Nayin name of the first line that holds the text, e.g. 戊寅 gives 城头土;
// empty when no line holds it, or when the text is empty.
std::string NayinOfPillar(std::string_view pillarName);

// ---------------------------------------------------------------------------
// Bone weight

// Position of the first entry 0..highestIndex equal to the text, or -1.
int IndexOfText(std::string_view text, std::span<const std::string_view> list, int highestIndex);

// The traditional wording of a weight in liang, from its "%.1f" digits: the
// integer digits and the tenth become numerals, the point becomes 两 and
// zeros are dropped (4.4 gives 四两四, 3.0 gives 三两). The digits are those
// of the C locale whatever the process locale is.
std::string FormatBoneWeight(double weight);

// ---------------------------------------------------------------------------
// HTML replacements (all occurrences, left to right, never rescanning what
// was inserted)

// Every `from` in the text becomes `to`.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);

// CR LF becomes <br>, then each space becomes two &nbsp.
std::string TextToHtml(std::string_view text);

// Each "]" is followed by a line break and eight &nbsp.
std::string BreakAfterHeadings(std::string_view text);

// Each "]" becomes "]</strong>", then eight &nbsp directly before "[" become
// "<strong>[", so an indented bracketed heading comes out bold.
std::string BoldHeadings(std::string_view page);

// A commentary as plain text, from its HTML (TextToHtml's, parts joined by
// <br>): each line without its indentation, empty lines dropped, joined by
// "\n", so a heading in brackets and each paragraph are one line each.
std::string CommentaryPlainText(std::string_view html);

// True when every byte is an ASCII digit; true for an empty text.
bool IsDigitsOnly(std::string_view text);

// ---------------------------------------------------------------------------
// Files

// The folder for the page files, with its trailing separator. On POSIX a
// private folder of the user (mode 0700, owned by the user, no symbolic link)
// under $XDG_RUNTIME_DIR when that is usable, else under $TMPDIR or /tmp; on
// Windows the system's temporary folder. Throws std::runtime_error when no
// such folder can be made or the one found is not private.
std::string GetTempFolder();

// Removes the fresh folder GetTempFolder made for this process (when the
// user's own could not be used) with what is in it; a later GetTempFolder
// makes another. The user's own folder stays. For the way out.
void RemoveFreshTempFolder() noexcept;

// Writes the bytes of the embedded resource to the file, replacing it, and
// returns true. Name and type match without regard to case. Throws
// std::runtime_error "Resource NAME not found", or
// "Cannot create file "FILE". REASON" when the file cannot be written.
bool SaveResourceToFile(std::string_view name, std::string_view type, const std::string& fileName);

}  // namespace velmora
