// Where the reading database is found: the working directory, then the
// program's folder, then the installed data folder; nothing is created.
#include "DatabaseLocation.h"
#include "ReadingDatabase.h"
#include "ReadingTestSupport.h"

#include <gtest/gtest.h>

#include <fstream>

namespace velmora {
namespace {
namespace fs = std::filesystem;
using testing::ScratchFolder;

constexpr std::string_view kOwnDataSource = ".\\Orsk.dll";

struct LookupRow {
    const char* name;
    bool inWorking, inProgram, inData;
    const char* expectedFolder;  // "" : none has it
};

// A program tree: work/ as the working directory, bin/ and share/velmora/.
class DatabasePlacesTree : public ::testing::Test {
protected:
    DatabasePlacesTree()
    {
        for (const char* sub : {"work", "bin", "share/velmora"}) fs::create_directories(root_.Path() / sub);
        places_ = {root_.Path() / "work", root_.Path() / "bin", root_.Path() / "bin/../share/velmora"};
    }
    void PutDatabaseIn(const char* sub) { std::ofstream(root_.Path() / sub / "Orsk.dll") << "x"; }

    ScratchFolder root_;
    DatabasePlaces places_;
};

class DatabaseLookup : public DatabasePlacesTree, public ::testing::WithParamInterface<LookupRow> {};

TEST_P(DatabaseLookup, TakesTheFirstPlaceThatHasIt)
{
    const LookupRow& row = GetParam();
    if (row.inWorking) PutDatabaseIn("work");
    if (row.inProgram) PutDatabaseIn("bin");
    if (row.inData) PutDatabaseIn("share/velmora");
    const auto before = fs::recursive_directory_iterator(root_.Path());
    const std::size_t entries = std::distance(before, fs::recursive_directory_iterator());

    if (*row.expectedFolder) {
        EXPECT_EQ(LocateDatabase(kOwnDataSource, places_).lexically_normal(),
                  root_.Path() / row.expectedFolder / "Orsk.dll");
    } else {
        try {
            LocateDatabase(kOwnDataSource, places_);
            ADD_FAILURE() << "found a database where there is none";
        } catch (const EDatabaseError& e) {
            const std::string message = e.what();
            for (const std::string& place : {"the working directory \"" + (root_.Path() / "work").string() + "\"",
                                            "the program's folder \"" + (root_.Path() / "bin").string() + "\"",
                                            "the data folder \"" + (root_.Path() / "share/velmora").string() + "\""})
                EXPECT_NE(message.find(place), std::string::npos) << message;
        }
    }
    const auto after = fs::recursive_directory_iterator(root_.Path());
    EXPECT_EQ(std::distance(after, fs::recursive_directory_iterator()), entries);  // nothing created
}

INSTANTIATE_TEST_SUITE_P(Rows, DatabaseLookup,
                         ::testing::Values(LookupRow{"working", true, true, true, "work"},
                                           LookupRow{"program", false, true, true, "bin"},
                                           LookupRow{"data", false, false, true, "share/velmora"},
                                           LookupRow{"none", false, false, false, ""}),
                         [](const auto& info) { return std::string(info.param.name); });

// A database the user names (velmora-cli --database) is that file or none:
// a copy in the program's folder must not stand in for it.
TEST_F(DatabasePlacesTree, ANamedDatabaseIsNeverLookedForElsewhere)
{
    PutDatabaseIn("bin");
    PutDatabaseIn("share/velmora");
    EXPECT_THROW(LocateDatabase("Orsk.dll", places_), EDatabaseError);
    const fs::path named = root_.Path() / "bin/Orsk.dll";
    EXPECT_EQ(LocateDatabase(named.string(), places_), named);
}

}  // namespace
}  // namespace velmora
