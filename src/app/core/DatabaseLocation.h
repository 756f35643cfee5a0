// Where the reading database is looked for. The program's own data source,
// ".\Orsk.dll", is looked for in the working directory, then in the folder of
// the running program, then in the installed data folder (share/velmora
// beside the program's bin folder, so /usr/bin/velmora reads
// /usr/share/velmora/Orsk.dll). Any other data source, such as the command
// line's --database, is taken as written. Nothing is ever created anywhere.
#pragma once

#include <filesystem>
#include <string_view>

namespace velmora {

// The places to look in, in order.
struct DatabasePlaces {
    std::filesystem::path workingDirectory;
    std::filesystem::path programFolder;  // empty when the system does not tell
    std::filesystem::path dataFolder;     // empty when the program folder is unknown
};

// The places of this process at this moment. Throws EDatabaseError when the
// working directory is unknown.
DatabasePlaces CurrentDatabasePlaces();

// The file to open for `dataSource`: the first place that has it. Throws
// EDatabaseError listing every place looked at when none has it.
std::filesystem::path LocateDatabase(std::string_view dataSource, const DatabasePlaces& places);

}  // namespace velmora
