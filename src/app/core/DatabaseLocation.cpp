#include "DatabaseLocation.h"

#include "MessageText.h"
#include "ReadingDatabase.h"

#include <string>
#include <system_error>
#include <vector>

#ifndef VELMORA_DATA_FROM_PROGRAM
#define VELMORA_DATA_FROM_PROGRAM "../share/velmora"
#endif

namespace velmora {
namespace fs = std::filesystem;

namespace {

// The data source every connection of the program uses unless told otherwise.
constexpr std::string_view kProgramDataSource = ".\\Orsk.dll";

fs::path RunningProgramFolder()
{
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::path() : program.parent_path();
}

std::string Quoted(const fs::path& path) { return velmora::Quoted(path.string()); }

std::string NotFound(const fs::path& file, const std::vector<std::string>& looked)
{
    std::string places;
    for (std::size_t i = 0; i < looked.size(); ++i) {
        if (i > 0) places += i + 1 == looked.size() ? " or " : ", ";
        places += looked[i];
    }
    return "Cannot open the reading database: there is no file " + Quoted(file.filename()) + " in " + places + ".";
}

}  // namespace

DatabasePlaces CurrentDatabasePlaces()
{
    DatabasePlaces places;
    std::error_code error;
    places.workingDirectory = fs::current_path(error);
    if (error)
        throw EDatabaseError("Cannot open the reading database: the working directory is unknown (" +
                             error.message() + ").");
    places.programFolder = RunningProgramFolder();
    if (!places.programFolder.empty())
        places.dataFolder = (places.programFolder / VELMORA_DATA_FROM_PROGRAM).lexically_normal();
    return places;
}

fs::path LocateDatabase(std::string_view dataSource, const DatabasePlaces& places)
{
    const fs::path inWorkingDirectory = ResolveDataSource(dataSource, places.workingDirectory);
    std::vector<std::pair<fs::path, std::string>> candidates{
        {inWorkingDirectory, "the working directory " + Quoted(inWorkingDirectory.parent_path())}};
    if (dataSource == kProgramDataSource) {
        if (!places.programFolder.empty())
            candidates.emplace_back(ResolveDataSource(dataSource, places.programFolder),
                                    "the program's folder " + Quoted(places.programFolder.lexically_normal()));
        if (!places.dataFolder.empty())
            candidates.emplace_back(ResolveDataSource(dataSource, places.dataFolder),
                                    "the data folder " + Quoted(places.dataFolder.lexically_normal()));
    } else if (inWorkingDirectory.parent_path() != places.workingDirectory.lexically_normal()) {
        candidates.front().second = Quoted(inWorkingDirectory.parent_path());
    }

    std::vector<std::string> looked;
    for (const auto& [file, where] : candidates) {
        std::error_code error;
        // Anything at the name counts (the caller says what is wrong with
        // it), and so does a name the system cannot follow (a loop of links,
        // a file in place of a folder), whose reason the caller gives; but a
        // link to nothing is nothing.
        const auto status = fs::status(file, error);
        if (fs::exists(status) || (error && error != std::errc::no_such_file_or_directory)) return file;
        looked.push_back(where);
    }
    throw EDatabaseError(NotFound(inWorkingDirectory, looked));
}

}  // namespace velmora
