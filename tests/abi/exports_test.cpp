// The committed list of entry points, each resolved in the loaded library. That the
// library exports nothing else, the LibraryTables tests read from the file.

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "tests/testhost/test_host.h"

namespace {

std::vector<std::string> committedList() {
    std::ifstream file(WT_EXPORTED_SYMBOLS_FILE);
    std::vector<std::string> names;
    for (std::string line; std::getline(file, line);) {
        if (!line.empty()) names.push_back(line);
    }
    return names;
}

TEST(Exports, TheCommittedListNamesEachEntryPointOnce) {
    const auto names = committedList();
    ASSERT_FALSE(names.empty());
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), names.size());
    for (const auto& name : names) EXPECT_EQ(name.rfind("ts3plugin_", 0), 0u) << name;
}

TEST(Exports, EveryListedEntryPointResolvesInTheLoadedLibrary) {
    wt::testhost::TestHost host;
    ASSERT_TRUE(host.loaded()) << host.loadError();
    for (const auto& name : committedList()) {
        EXPECT_NE(host.symbol(name.c_str()), nullptr) << name;
    }
}

}  // namespace
